// The main window's catalogue commands: start, opening the selected tree item, moving
// through pages and categories, the views, search, favorites and tools.
#include "core/app/ApplicationDlg.h"

#include "core/app/UserPrompts.h"
#include "core/pages/PropertyPageMain.h"
#include "platform/process/ModuleVersion.h"
#include "platform/settings/SettingsStore.h"

#include <cstdio>

namespace cva::app {

namespace {

constexpr const char* kSettings = "Settings";

// "major.minor" of the running program, empty when its version note cannot be read.
std::string ProgramVersion() {
    process::CModuleVersion version;
    if (!version.GetFileVersionInfo("/proc/self/exe")) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", version.Field(0), version.Field(1));
    return text;
}

} // namespace

void CApplicationDlg::ShowStartPage() {
    m_nPluginKind = KIND_NONE;
    m_nCurrentPlugin = -1;
    if (auto* main = dynamic_cast<pages::CPropertyPageMain*>(Page(pages::PAGE_MAIN))) {
        main->SetFolders(m_catalogue.ProfileFolder(), m_catalogue.PluginFolder());
        main->SetHeaderInfo(ProgramVersion(), m_settings.GetProfileInt(kSettings, "TotalPluginsInUse", 0));
    }
    SetHeader(kAppTitle);
    ShowPage(pages::PAGE_MAIN);
    SetLevel(-1);
}

void CApplicationDlg::StartCatalogue(const std::string& singlePlugin, ICatalogueProgress* progress) {
    m_bReady = false;
    ShowStartPage();
    m_catalogue.SetProgress(progress);
    if (singlePlugin.empty())
        m_catalogue.BuildCatalogue(0);
    else if (OpenPluginFile(singlePlugin, nullptr))
        m_catalogue.LoadSinglePlugin(singlePlugin);
    else
        m_catalogue.Clear(); // the user has been told why the file is no plugin
    m_catalogue.SetProgress(nullptr);
    // The start page's header counts the plugins the scan has just found.
    ShowStartPage();
    // The first folder is selected before the window counts as ready, so a start never
    // runs a plugin's script on its own: the first page opens when the user picks it.
    if (m_catalogue.GetFolderCount() > 0) {
        CCatalogueNavigation(m_catalogue).SelectFolder(0);
        OpenSelectedItem();
    }
    m_bReady = true;
    SetLevel(-1);
    BuildProfileList();
}

void CApplicationDlg::OpenSelectedItem() {
    m_bHasExport = false;
    m_nPluginKind = KIND_NONE;
    m_nCurrentPlugin = -1;
    const SOpenSelection selection = CCatalogueNavigation(m_catalogue).OpenSelection(m_bReady);
    if (selection.pluginIndex >= 0) {
        SetLevel(0);
        LoadPlugin(selection.pluginIndex);
    } else {
        ShowStartPage();
    }
    if (!selection.statusText.empty()) SetMessage(selection.statusText);
}

void CApplicationDlg::SelectFolder(int folder) {
    if (folder < 0 || folder >= m_catalogue.GetFolderCount()) return;
    CCatalogueNavigation(m_catalogue).SelectFolder(folder);
    OpenSelectedItem();
}

void CApplicationDlg::NextPage() {
    CCatalogueNavigation(m_catalogue).NextPage();
    OpenSelectedItem();
}

void CApplicationDlg::PreviousPage() {
    CCatalogueNavigation(m_catalogue).PreviousPage();
    OpenSelectedItem();
}

void CApplicationDlg::NextCategory() {
    if (m_catalogue.GetFolderCount() == 0) return;
    CCatalogueNavigation(m_catalogue).NextCategory();
    OpenSelectedItem();
}

void CApplicationDlg::PreviousCategory() {
    if (m_catalogue.GetFolderCount() == 0) return;
    CCatalogueNavigation(m_catalogue).PreviousCategory();
    OpenSelectedItem();
}

void CApplicationDlg::Refresh() {
    if (m_catalogue.IsValidIndex(m_nCurrentPlugin))
        LoadPlugin(m_nCurrentPlugin);
    else
        OpenSelectedItem();
}

void CApplicationDlg::RefreshAll() {
    m_pHost.reset();
    ShowStartPage();
    m_catalogue.RefreshAll();
    SetLevel(-1);
}

void CApplicationDlg::ShowView(ECatalogueView view) {
    // The old catalogue's indexes die with it: nothing may stay open on them.
    m_pHost.reset();
    ShowStartPage();
    switch (view) {
    case kViewPopular: m_catalogue.ShowPopular(); break;
    case kViewFavorites: m_catalogue.ShowFavorites(); break;
    case kViewApplied: m_catalogue.ShowApplied(); break;
    default: m_catalogue.ShowAll(); break;
    }
    SetLevel(-1);
}

std::vector<SSearchRow> CApplicationDlg::Search(const std::string& word) const {
    return CPluginSearch(m_catalogue).Search(word);
}

bool CApplicationDlg::OpenEntry(int index) {
    if (!CCatalogueNavigation(m_catalogue).Locate(index)) return false;
    OpenSelectedItem();
    return true;
}

int CApplicationDlg::OpenFile(const std::string& fileName) {
    const int index = CCatalogueNavigation(m_catalogue).LocateFile(fileName);
    if (index >= 0) OpenSelectedItem();
    return index;
}

bool CApplicationDlg::OnFavorite(unsigned int id) {
    return m_menus.OnFavorite(id, [this](const std::string& fileName) { OpenFile(fileName); });
}

int CApplicationDlg::OnTool(unsigned int id) {
    const int result = m_menus.OnTool(id, m_target);
    // A tool that names a program the target lacks would otherwise do nothing at all.
    if (result <= 32 && !m_menus.ToolCommand(id).empty())
        m_prompts.MessageBox(m_menus.ToolFailureText(id, result, m_target), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return result;
}

bool CApplicationDlg::OnAddToFavorites() {
    if (!m_catalogue.IsValidIndex(m_nCurrentPlugin)) return false;
    return m_menus.OnAddToFavorites(m_plugins[static_cast<size_t>(m_nCurrentPlugin)].path, m_prompts);
}

} // namespace cva::app
