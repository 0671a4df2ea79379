#pragma once

#include "core/pages/PropertyPageBase.h"

#include <vector>

namespace cva::pages {

// The start page, shown while no plugin is open: a header with the product, its
// version and the number of plug-ins, and three lists from which one click opens a
// plugin: recently viewed (mru.ini), favorites (favorites.ini) and applied (applied.ini).
class CPropertyPageMain : public CPropertyPageBase {
public:
    enum ETab : int { TAB_RECENT = 0, TAB_FAVORITES = 1, TAB_USED = 2 };
    static constexpr int kRecentShown = 10;

    struct SRow {
        std::string m_caption;
        std::string m_time; // "Used" tab: when the plugin was applied
        int m_catalogueIndex = 0;
    };

    int PageIndex() const override { return PAGE_MAIN; }

    // Where the lists live ("ProfileDir") and where plugin files are ("PluginDir").
    void SetFolders(const std::string& profileFolder, const std::string& pluginFolder);
    // The header for the program's version ("major.minor", may be empty) and the
    // "TotalPluginsInUse" setting (0: not known yet).
    void SetHeaderInfo(const std::string& version, int totalPlugins);
    static std::string BuildHeader(const std::string& version, int totalPlugins);
    const std::string& Header() const { return m_strHeader; }

    // Showing the page refills the list, so it reflects the current files.
    void SetVisible(bool visible) override;
    void SelectTab(int tab);
    int Tab() const { return m_nTab; }
    void Fill();
    const std::vector<SRow>& Rows() const { return m_rows; }
    // The user clicked a row: the owner opens its catalogue entry.
    bool ClickRow(int row);

    SPageSnapshot Snapshot() const override;

private:
    void AddRow(const std::string& fileName, const std::string& time);

    std::string m_strProfileFolder;
    std::string m_strPluginFolder;
    std::string m_strHeader = BuildHeader({}, 0);
    int m_nTab = TAB_RECENT;
    std::vector<SRow> m_rows;
};

} // namespace cva::pages
