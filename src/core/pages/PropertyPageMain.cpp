#include "core/pages/PropertyPageMain.h"

#include "core/app/Maker.h"
#include "core/pages/PageOwner.h"
#include "core/registry/MRU.h"
#include "platform/ini/IniFile.h"

#include <cstdio>

namespace cva::pages {

namespace {

constexpr const char* kTagline = "hidden settings within reach";

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

} // namespace

void CPropertyPageMain::SetFolders(const std::string& profileFolder, const std::string& pluginFolder) {
    m_strProfileFolder = profileFolder;
    m_strPluginFolder = pluginFolder;
}

std::string CPropertyPageMain::BuildHeader(const std::string& version, int totalPlugins) {
    char count[32];
    if (totalPlugins == 0) std::snprintf(count, sizeof count, " ? ");
    else std::snprintf(count, sizeof count, "%d", totalPlugins);
    std::string header = "<b>Corvanta</b><font color = \"DarkBlue\"> \"";
    header += kTagline;
    header += "\"</font><br>Version : <b>";
    header += version;
    header += "</b>     Plug-ins : <b>";
    header += count;
    header += "</b><br><u><a href = \"";
    header += app::kMakerWebsite;
    header += "\">Visit website..</a></u>   <u><a href = \"";
    header += app::kMakerSupport;
    header += "\">Get Help</a></u><br>";
    header += "Made by ";
    header += app::kMakerName;
    header += ".";
    return header;
}

void CPropertyPageMain::SetHeaderInfo(const std::string& version, int totalPlugins) {
    m_strHeader = BuildHeader(version, totalPlugins);
    if (m_pView) m_pView->HeaderChanged(m_strHeader);
}

void CPropertyPageMain::SetVisible(bool visible) {
    CPropertyPageBase::SetVisible(visible);
    if (visible) Fill();
}

void CPropertyPageMain::SelectTab(int tab) {
    if (tab < TAB_RECENT || tab > TAB_USED) return;
    m_nTab = tab;
    if (m_pView) m_pView->StartTabChanged(tab);
    Fill();
}

void CPropertyPageMain::AddRow(const std::string& fileName, const std::string& time) {
    if (fileName.empty() || m_pOwner == nullptr) return;
    std::optional<int> index = m_pOwner->FindCatalogueEntry(fileName);
    if (!index) return;
    std::string folder = m_strPluginFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    auto file = ini::CIniFile::Load(folder + fileName);
    if (!file) return;
    char caption[260];
    file->GetProfileString("settings", "caption", "none", caption, sizeof caption);
    std::string text = caption;
    if (text.empty() || IsNone(text)) return;
    m_rows.push_back({text, time, *index});
}

void CPropertyPageMain::Fill() {
    m_rows.clear();
    if (!m_strProfileFolder.empty()) {
        registry::CMRU list(m_strProfileFolder);
        if (m_nTab == TAB_RECENT) {
            list.Load("mru.ini", kRecentShown);
            for (int i = 0; i < list.GetCount() && i < kRecentShown; ++i) AddRow(list.GetAt(i), {});
        } else if (m_nTab == TAB_FAVORITES) {
            list.Load("favorites.ini");
            for (const std::string& line : list.Items()) {
                size_t equals = line.find('=');
                if (equals == std::string::npos) continue;
                AddRow(Trim(line.substr(equals + 1)), {});
            }
        } else {
            list.Load("applied.ini");
            for (const std::string& line : list.Items()) {
                size_t mark = line.find('?');
                if (mark == std::string::npos) AddRow(Trim(line), {});
                else AddRow(Trim(line.substr(0, mark)), Trim(line.substr(mark + 1)));
            }
        }
    }
    if (m_pView) m_pView->RowsChanged();
}

bool CPropertyPageMain::ClickRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_pOwner == nullptr) return false;
    m_pOwner->OpenCatalogueEntry(m_rows[static_cast<size_t>(row)].m_catalogueIndex);
    return true;
}

SPageSnapshot CPropertyPageMain::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "main");
    snapshot.m_html = m_strHeader;
    snapshot.m_tab = m_nTab;
    snapshot.m_columnCount = 2;
    for (const SRow& row : m_rows) {
        SRowSnapshot out;
        out.m_columns = {row.m_caption, row.m_time};
        out.m_data = row.m_catalogueIndex;
        snapshot.m_rows.push_back(std::move(out));
    }
    return snapshot;
}

} // namespace cva::pages
