#pragma once

#include "platform/registry/Registry.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace cva::registry {

// Writes registry keys and values to a REGEDIT4 file (CR LF line ends, text in the ANSI
// code page, which is UTF-8 here). The file is appended to, never emptied: the first
// writer of an empty file puts the "REGEDIT4" line in front, later ones add their keys
// after an empty line. Keys and values that cannot be read are left out silently.
class CRegBackup {
public:
    // Opens (creating when missing) the file for appending; IsOpen tells whether that
    // worked, and every operation does nothing when it did not.
    CRegBackup(reg::CRegistry& registry, const std::string& filePath);
    virtual ~CRegBackup();
    CRegBackup(const CRegBackup&) = delete;
    CRegBackup& operator=(const CRegBackup&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // The message to show when the file could not be opened.
    static std::string OpenFailureMessage(const std::string& filePath);

    // The key, its values and all its subkeys: the key's header first, then every
    // subkey depth first with its values, then the key's header again with its own
    // values. rootName is written in the headers; empty: GetRootName(root).
    void BackupKeyTree(reg::HKEY root, const std::string& subKey, std::string_view rootName = {});
    // The key's header and the one value whose name matches without regard to case (the
    // header alone when there is none; an empty name is the default value).
    void BackupValue(reg::HKEY root, const std::string& subKey, const std::string& valueName,
                     std::string_view rootName = {});
    // One key's header (unless noHeader) and all its values.
    void BackupKeyValues(reg::HKEY key, const std::string& subKey, const std::string& keyPathText,
                         bool noHeader);

    // The data part of a value line, line end included. Types without a text form of
    // their own are written as hex(N) with N in decimal, so every line stays complete.
    static void FormatValueData(reg::DWORD type, const reg::BYTE* data, reg::DWORD size,
                                std::string& out);
    // The name part of a value line: "@=" for the default value.
    static std::string FormatValueName(const std::string& name);
    // "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS";
    // empty for every other handle.
    static std::string GetRootName(reg::HKEY root);

private:
    struct SFileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    // The "REGEDIT4" line for an empty file, an empty line otherwise, then the header.
    void WriteFirstHeader(const std::string& keyPathText);
    void Write(const std::string& text);

    reg::CRegistry& m_registry;
    std::unique_ptr<std::FILE, SFileCloser> m_file;
};

} // namespace cva::registry
