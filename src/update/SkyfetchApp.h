#pragma once

#include "update/VersionCheck.h"

#include <string>

class QWidget;

namespace cva::update {

// The update server when the settings name none.
inline constexpr const char* kDefaultUpdateServer = "https://updates.meridot.example";

// The library's state from load to unload: the caller's texts and the last check.
class CSkyfetchApp {
public:
    static CSkyfetchApp& Instance();

    bool CheckForUpdate(QWidget* parent, std::string version, std::string product, std::string shortName);
    int GetSetupFilePath(char* buffer, int length) const;

    // "UpdateServer" of section "Settings", else the default.
    static std::string UpdateServer();

    std::string m_strVersion;
    std::string m_strProduct;
    std::string m_strShortName;
    CVersionCheck m_checker;
};

} // namespace cva::update
