#include "core/app/ApplicationDlg.h"

#include "core/app/AppCore.h"
#include "core/app/ApplyHistory.h"
#include "core/app/UserPrompts.h"
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMain.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"
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

// The pages' owner: IHostOwner and IPageOwner both name their prompts Prompts(), with
// different answers, so one class cannot be both.
class CDialogPageOwner : public pages::IPageOwner {
public:
    explicit CDialogPageOwner(CApplicationDlg& dlg) : m_dlg(dlg) {}
    bool ConfirmApply() override { return m_dlg.ConfirmApply(); }
    void CallRoutine(const std::string& name, const std::vector<int32_t>& args) override {
        m_dlg.CallRoutine(name, args);
    }
    void RecordApplied() override { m_dlg.RecordApplied(); }
    IUserPrompts* Prompts() override { return &m_dlg.Prompts(); }
    std::optional<int> FindCatalogueEntry(const std::string& fileName) override {
        return m_dlg.FindCatalogueEntry(fileName);
    }
    void OpenCatalogueEntry(int index) override { m_dlg.OpenCatalogueEntry(index); }

private:
    CApplicationDlg& m_dlg;
};

} // namespace

SSessionRequests SSessionRequests::FromCore(CAppCore& core) {
    SSessionRequests requests;
    requests.m_restart = [&core] { core.RequestRestart(); };
    requests.m_logoff = [&core] { core.RequestLogoff(); };
    requests.m_restartCount = [&core] { return core.m_nRestartRequests; };
    requests.m_logoffCount = [&core] { return core.m_nLogoffRequests; };
    requests.m_logger = &core.m_logger;
    return requests;
}

CApplicationDlg::PageFactory CApplicationDlg::DefaultPageFactory() {
    return [](int pageIndex) -> std::unique_ptr<pages::CPropertyPageBase> {
        switch (pageIndex) {
        case pages::PAGE_MAIN: return std::make_unique<pages::CPropertyPageMain>();
        case pages::PAGE_CHECK: return std::make_unique<pages::CPropertyPageCheck>();
        case pages::PAGE_EDIT: return std::make_unique<pages::CPropertyPageEdit>();
        case pages::PAGE_RADIO: return std::make_unique<pages::CPropertyPageRadio>();
        case pages::PAGE_LIST: return std::make_unique<pages::CPropertyPageList>();
        case pages::PAGE_MULTI: return std::make_unique<pages::CPropertyPageMulti>();
        case pages::PAGE_HTML: return std::make_unique<pages::CPropertyPageHtml>();
        default: return nullptr;
        }
    };
}

CApplicationDlg::CApplicationDlg(target::CTargetSystem& target, settings::CSettingsStore& settings,
                                 IUserPrompts& prompts, SSessionRequests requests,
                                 std::string profileFolder, PageFactory pageFactory)
    : m_catalogue(settings, target.WindowsVersionCode(), target.Kind() == target::TargetKind::Wine),
      m_plugins(m_catalogue.m_plugins),
      m_target(target), m_settings(settings), m_prompts(prompts), m_requests(std::move(requests)),
      m_mru(std::move(profileFolder)), m_menus(settings, target.WindowsVersionCode()),
      m_pPageOwner(std::make_unique<CDialogPageOwner>(*this)) {
    for (int i = 0; i < pages::PAGE_COUNT; ++i) {
        auto& page = m_pages[static_cast<size_t>(i)];
        if (pageFactory) page = pageFactory(i);
        if (!page) page = std::make_unique<CPlainPage>(i);
        page->SetOwner(m_pPageOwner.get());
        page->SetVisible(i == m_nPageIndex);
    }
    m_mru.Load(kRecentFile, kRecentMaximum);
    LoadSettings();
}

CApplicationDlg::~CApplicationDlg() {
    // The script's last routines (Class_Terminate) may still talk to the pages.
    m_pHost.reset();
    if (m_hUserHive) m_target.Registry().RegCloseKey(m_hUserHive);
    if (m_bRecordRecent) m_mru.Save();
    m_catalogue.SaveCatalogueCache();
}

pages::IPageOwner& CApplicationDlg::PageOwner() {
    return *m_pPageOwner;
}

void CApplicationDlg::SetHeader(const std::string& text) {
    m_strHeader = text;
    View().SetHeaderText(text);
}

void CApplicationDlg::SetLevel(int level) {
    m_nLevel = level >= 0 && level <= 4 ? level : -1;
    View().SetLevelIndicator(level);
}

logging::CActionLogger& CApplicationDlg::Logger() {
    return m_requests.m_logger ? *m_requests.m_logger : m_closedLog;
}

std::string CApplicationDlg::RequestPane() const {
    return app::RequestPaneText(m_requests.m_restartCount ? m_requests.m_restartCount() : 0,
                                m_requests.m_logoffCount ? m_requests.m_logoffCount() : 0);
}

bool CApplicationDlg::ConfirmApply() {
    // A preview changes nothing, so there is nothing to confirm.
    if (IsPreviewing() || m_pPresetPrompts) return true;
    return CApplyHistory(m_settings, m_prompts, Logger()).ConfirmApply();
}

void CApplicationDlg::CallRoutine(const std::string& name, const std::vector<int32_t>& args) {
    if (!m_pHost) return;
    std::vector<vbs::Variant> variants;
    variants.reserve(args.size());
    for (int32_t value : args) variants.emplace_back(value);
    const uint32_t result = CallJournaled(name, variants);
    // A routine the script does not have is no error: pages call OnEvent and OnApply
    // whether or not the plugin wrote them.
    if (result != script::S_OK && result != script::DISP_E_UNKNOWNNAME) ++m_nScriptErrors;
}

void CApplicationDlg::RecordApplied() {
    // The history and the log tell what happened to the target: an apply whose changes
    // did not reach it is not one.
    if (!m_strWriteFailure.empty() || IsPreviewing()) return;
    CApplyHistory(m_settings, m_prompts, Logger()).RecordApplied(m_catalogue, m_nCurrentPlugin);
}

std::optional<int> CApplicationDlg::FindCatalogueEntry(const std::string& fileName) {
    const int index = m_catalogue.FindByFileName(fileName);
    if (index < 0) return std::nullopt;
    return index;
}

void CApplicationDlg::OpenCatalogueEntry(int index) {
    OpenEntry(index);
}

void CApplicationDlg::ScriptRunning(std::chrono::milliseconds running) {
    View().ScriptRunning(running);
}

void CApplicationDlg::ScriptEnded() {
    View().ScriptEnded();
}

void CApplicationDlg::StopScript() {
    if (m_pHost) m_pHost->Interrupt();
}

IApplicationView& CApplicationDlg::View() {
    return m_pView ? *m_pView : NullView();
}

void CApplicationDlg::SetMessage(const std::string& text) {
    m_strStatus = text;
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
    for (int i = 0; i < pages::PAGE_COUNT; ++i)
        if (i != pageIndex) m_pages[static_cast<size_t>(i)]->SetVisible(false);
    if (pages::CPropertyPageBase* page = Page(pageIndex)) {
        page->SetVisible(true);
        page->EnableControls(true);
        // DisableWindow of the previous script lasts only until a page is shown again.
        page->SetWindowEnabled(true);
    }
    View().ShowPage(pageIndex);
    // The list page's own state carries the check boxes, so that its rows can be
    // checked and read by the script whether or not a window shows them.
    const bool checklist = m_nPluginKind == KIND_CHECKLIST;
    if (checklist || m_nPluginKind == KIND_LIST) {
        if (auto* list = dynamic_cast<pages::CPropertyPageList*>(Page(pages::PAGE_LIST)))
            list->SetCheckBoxes(checklist);
        View().SetListCheckBoxes(checklist);
    }
}

void CApplicationDlg::PostQuit() {
    if (IsPreviewing()) return;
    m_bQuitPosted = true;
    View().RequestQuit();
}

void CApplicationDlg::AddRestartRequest() {
    if (m_requests.m_restart && !IsPreviewing()) m_requests.m_restart();
}

void CApplicationDlg::AddLogoffRequest() {
    if (m_requests.m_logoff && !IsPreviewing()) m_requests.m_logoff();
}

void CApplicationDlg::OnOptionsChanged() {
    if (m_pHost) m_pHost->m_bRecycleDeletes = m_settings.GetProfileInt(kSettings, "DELTO", 1) != 0;
}

bool CApplicationDlg::LoadPlugin(int index, std::string* why) {
    if (index < 0 || index >= static_cast<int>(m_plugins.size())) return false;
    std::string path = m_plugins[static_cast<size_t>(index)].path;
    m_nScriptErrors = 0;
    m_strWriteFailure.clear();
    if (files::GetFileAttributes(path) == files::INVALID_FILE_ATTRIBUTES) {
        // The catalogue no longer matches the folder: rescan at the next start.
        m_catalogue.InvalidateCache();
        m_prompts.MessageBox("Unable to open plugin " + path, kAppTitle, MB_OK | MB_ICONERROR);
        if (why) *why = "the file does not exist";
        return false;
    }
    std::optional<plugin::CPluginFile> loaded = OpenPluginFile(path, why);
    if (!loaded) return false;
    SetMessage("Loading...");

    m_pHost.reset();
    m_pHost = std::make_unique<script::CHost_Proxy>(
        m_target, m_settings.GetProfileInt(kSettings, "DELTO", 1) != 0);
    if (!m_pHost->CreateEngine(u"vbScript")) {
        m_pHost.reset();
        m_prompts.MessageBox("Unable to create script engine.\nCannot continue.", kAppTitle,
                             MB_OK | MB_ICONERROR);
        PostQuit();
        return true;
    }
    m_pHost->SetMainWindow(this);
    m_pHost->SetBackupFolder(m_catalogue.ProfileFolder() + "/Backups");
    m_nCurrentPlugin = index;
    m_bHasExport = false;

    plugin::CPluginFile file = std::move(*loaded);
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

    SetHeader(plugin::HeaderText(file, kAppTitle));
    ShowPage(pageIndex);
    const int level = file.GetInt("settings", "LEVEL", 1);
    SetLevel(level);
    if (!path.empty() && m_nPluginKind != KIND_NONE) FillPage(path, file, level);
    SetMessage("Ready");
    return true;
}

std::optional<plugin::CPluginFile> CApplicationDlg::OpenPluginFile(const std::string& path,
                                                                   std::string* why) {
    std::string refusal;
    std::optional<plugin::CPluginFile> file = plugin::CPluginFile::LoadPlugin(path, refusal);
    if (!file) {
        m_prompts.MessageBox("Unable to open plugin " + path + ": " + refusal + ".", kAppTitle,
                             MB_OK | MB_ICONERROR);
        if (why) *why = refusal;
    }
    return file;
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
    std::string script = plugin::RemoveBlockComments(std::move(text.m_script), &text.m_scriptLines);
    // Errors name the line of the plugin file, not of the text with the prelude in front.
    m_pHost->SetSourceLines(plugin::ComposedScriptFirstLine(optionExplicit), std::move(text.m_scriptLines));
    if (!m_pHost->ParseScript(plugin::ComposeScript(script, optionExplicit))) ++m_nScriptErrors;
    if (m_pHost) {
        const uint32_t result = CallJournaled("OnInit", {});
        if (result != script::S_OK && result != script::DISP_E_UNKNOWNNAME) ++m_nScriptErrors;
    }
    // The start routine may have shown another page or ended the host; AfterInit goes to
    // the page the plugin was opened on, as that is the one whose items it set up.
    page->AfterInit();

    if (m_bRecordRecent) {
        m_mru.Add(plugin::PluginFileName(path));
        m_mru.Save();
    }
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
