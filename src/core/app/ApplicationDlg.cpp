#include "core/app/ApplicationDlg.h"

#include "core/app/AppCore.h"
#include "core/app/UserPrompts.h"
#include "core/plugin/PluginFile.h"
#include "platform/files/FileAttributes.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <cstdio>

namespace cva::app {

namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kRecentFile = "mru.ini";
constexpr int kRecentMaximum = 10;

// A page of the kind nobody has supplied: it answers with the base's defaults.
class CPlainPage : public pages::CPropertyPageBase {
public:
    explicit CPlainPage(int index) : m_nIndex(index) {}
    int PageIndex() const override { return m_nIndex; }

private:
    int m_nIndex;
};

IApplicationView& NullView() {
    static IApplicationView view;
    return view;
}

} // namespace

SSessionRequests SSessionRequests::FromCore(CAppCore& core) {
    return {[&core] { core.RequestRestart(); }, [&core] { core.RequestLogoff(); }};
}

CApplicationDlg::CApplicationDlg(target::CTargetSystem& target, settings::CSettingsStore& settings,
                                 IUserPrompts& prompts, SSessionRequests requests,
                                 std::string profileFolder, PageFactory pageFactory)
    : m_target(target), m_settings(settings), m_prompts(prompts), m_requests(std::move(requests)),
      m_mru(std::move(profileFolder)) {
    for (int i = 0; i < pages::PAGE_COUNT; ++i) {
        if (pageFactory) m_pages[static_cast<size_t>(i)] = pageFactory(i);
        if (!m_pages[static_cast<size_t>(i)])
            m_pages[static_cast<size_t>(i)] = std::make_unique<CPlainPage>(i);
    }
    m_mru.Load(kRecentFile, kRecentMaximum);
}

CApplicationDlg::~CApplicationDlg() {
    // The script's last routines (Class_Terminate) may still talk to the pages.
    m_pHost.reset();
    m_mru.Save();
}

IApplicationView& CApplicationDlg::View() {
    return m_pView ? *m_pView : NullView();
}

void CApplicationDlg::SetMessage(const std::string& text) {
    if (m_pView) m_pView->SetStatusText(EStatusPane::Message, text);
}

pages::CPropertyPageBase* CApplicationDlg::Page(int pageIndex) {
    if (pageIndex < 0 || pageIndex >= pages::PAGE_COUNT) return nullptr;
    return m_pages[static_cast<size_t>(pageIndex)].get();
}

pages::CPropertyPageBase* CApplicationDlg::CurrentPage() {
    return Page(m_nPageIndex);
}

void CApplicationDlg::ShowPage(int pageIndex) {
    m_nPageIndex = pageIndex;
    if (m_pHost) m_pHost->ReleaseScriptHandles();
    if (pages::CPropertyPageBase* page = Page(pageIndex)) {
        page->EnableControls(true);
        // DisableWindow of the previous script lasts only until a page is shown again.
        page->SetWindowEnabled(true);
    }
    View().ShowPage(pageIndex);
    if (m_nPluginKind == KIND_CHECKLIST)
        View().SetListCheckBoxes(true);
    else if (m_nPluginKind == KIND_LIST)
        View().SetListCheckBoxes(false);
}

void CApplicationDlg::PostQuit() {
    m_bQuitPosted = true;
    View().RequestQuit();
}

void CApplicationDlg::AddRestartRequest() {
    if (m_requests.m_restart) m_requests.m_restart();
}

void CApplicationDlg::AddLogoffRequest() {
    if (m_requests.m_logoff) m_requests.m_logoff();
}

void CApplicationDlg::OnOptionsChanged() {
    if (m_pHost) m_pHost->m_bRecycleDeletes = m_settings.GetProfileInt(kSettings, "DELTO", 1) != 0;
}

void CApplicationDlg::LoadPlugin(int index) {
    if (index < 0 || index >= static_cast<int>(m_plugins.size())) return;
    std::string path = m_plugins[static_cast<size_t>(index)].m_strPath;
    if (files::GetFileAttributes(path) == files::INVALID_FILE_ATTRIBUTES) {
        // The catalogue no longer matches the folder: rescan at the next start.
        m_settings.WriteProfileInt(kSettings, "CacheValid", 0);
        m_bCacheUsable = false;
        m_prompts.MessageBox("Unable to open plugin " + path, kAppTitle, MB_OK | MB_ICONERROR);
        return;
    }
    SetMessage("Loading...");

    m_pHost.reset();
    m_pHost = std::make_unique<script::CHost_Proxy>(
        m_target, m_settings.GetProfileInt(kSettings, "DELTO", 1) != 0);
    if (!m_pHost->CreateEngine(u"vbScript")) {
        m_pHost.reset();
        m_prompts.MessageBox("Unable to create script engine.\nCannot continue.", kAppTitle,
                             MB_OK | MB_ICONERROR);
        PostQuit();
        return;
    }
    m_pHost->SetMainWindow(this);
    m_nCurrentPlugin = index;
    m_bHasExport = false;

    // A file that exists but cannot be read counts as an empty one.
    plugin::CPluginFile file = plugin::CPluginFile::Load(path).value_or(plugin::CPluginFile());
    int pageIndex = pages::PAGE_MAIN;
    if (std::optional<plugin::SPageType> type =
            plugin::MatchPageType(file.GetString("interface", "type", "none"))) {
        m_nPluginKind = type->m_pluginKind;
        pageIndex = type->m_pageIndex;
    } else {
        // Not a page this program knows: no entry counts as open and every further read
        // takes its default.
        m_nCurrentPlugin = -1;
        path.clear();
        file = plugin::CPluginFile();
    }

    View().SetHeaderText(plugin::HeaderText(file, kAppTitle));
    ShowPage(pageIndex);
    const int level = file.GetInt("settings", "LEVEL", 1);
    View().SetLevelIndicator(level);
    if (!path.empty() && m_nPluginKind != KIND_NONE) FillPage(path, file, level);
    SetMessage("Ready");
}

void CApplicationDlg::FillPage(const std::string& path, const plugin::CPluginFile& file,
                               int level) {
    pages::CPropertyPageBase* page = CurrentPage();
    if (!page) return;
    const bool encrypted = file.GetInt("settings", "Encrypted", 0) != 0;
    page->LoadItems(path);
    plugin::SPluginText text = file.ReadText(encrypted);
    if (text.m_hasExport) m_bHasExport = true;
    page->SetDescription(plugin::NormaliseDescription(text.m_description));
    if (text.m_script.empty()) return;

    const bool optionExplicit = file.GetInt("settings", "OPTIONEXPLICIT", 1) != 0;
    m_pHost->ParseScript(plugin::ComposeScript(
        plugin::RemoveBlockComments(std::move(text.m_script)), optionExplicit));
    m_pHost->CallRoutine(u"OnInit");
    // The start routine may have shown another page or ended the host; AfterInit goes to
    // the page the plugin was opened on, as that is the one whose items it set up.
    page->AfterInit();

    m_mru.Add(plugin::PluginFileName(path));
    m_mru.Save();
    ShowExpertWarning(level, file.GetString("settings", "Warning", "none"));
}

void CApplicationDlg::ShowExpertWarning(int level, const std::string& warning) {
    if (level < 3) return;
    if ((m_settings.GetProfileInt("settings", "Option5", 3) & 1) == 0) return;
    std::string text;
    // An empty "Warning=" would only put a blank line above the text.
    if (!warning.empty() && !text::EqualsNoCaseUtf8(warning, "none")) text = warning + "\n";
    char risk[160];
    std::snprintf(risk, sizeof risk,
                  "Incorrect use of this tweak page can be %s for your system, and is recommended "
                  "for experts only !",
                  level == 4 ? "fatal" : "dangerous");
    text += risk;
    View().ShowAlert("Alert", text);
}

} // namespace cva::app
