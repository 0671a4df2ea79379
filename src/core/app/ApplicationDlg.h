#pragma once

#include "core/app/ApplicationView.h"
#include "core/app/CatalogueNavigation.h"
#include "core/app/PluginCatalogue.h"
#include "core/app/PluginInfo.h"
#include "core/app/PluginSearch.h"
#include "core/app/Preset.h"
#include "core/journal/JournalDiff.h"
#include "core/log/ActionLogger.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PropertyPageBase.h"
#include "core/plugin/PluginFile.h"
#include "core/registry/FavoritesMenus.h"
#include "core/registry/MRU.h"
#include "core/script/HostOwner.h"
#include "core/script/HostProxy.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cva::settings {
class CSettingsStore;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::app {

class CAppCore;
class IUserPrompts;

// Plugin kinds ("type" of the plugin file); 0 while no plugin page is open.
enum EPluginKind : int {
    KIND_NONE = 0,
    KIND_CHECK = 1,
    KIND_EDIT = 2,
    KIND_RADIO = 3,
    KIND_LIST = 4,
    KIND_CHECKLIST = 5,
    KIND_MULTI = 6,
    KIND_HTML = 7,
};

// Where restart and log-off requests of scripts are counted (the application object).
struct SSessionRequests {
    std::function<void()> m_restart;
    std::function<void()> m_logoff;
    // The pending counts the status bar's request pane shows; null: none pending.
    std::function<int()> m_restartCount;
    std::function<int()> m_logoffCount;
    // The action log that "Applied - <file>" goes to; null: a log that stays closed.
    logging::CActionLogger* m_logger = nullptr;

    static SSessionRequests FromCore(CAppCore& core);
};

// The main window's logic without a window: the catalogue entries, the seven page
// objects, the open plugin and its script host, the recently-opened list. A view shows
// what happens; the host object reaches the current page through IHostOwner.
class CApplicationDlg : public script::IHostOwner {
public:
    using PageFactory = std::function<std::unique_ptr<pages::CPropertyPageBase>(int pageIndex)>;

    // The seven real page kinds, by page index.
    static PageFactory DefaultPageFactory();

    // profileFolder holds "mru.ini". Without a factory every index gets a page with the
    // base's answers.
    CApplicationDlg(target::CTargetSystem& target, settings::CSettingsStore& settings,
                    IUserPrompts& prompts, SSessionRequests requests, std::string profileFolder,
                    PageFactory pageFactory = {});
    ~CApplicationDlg() override;
    CApplicationDlg(const CApplicationDlg&) = delete;
    CApplicationDlg& operator=(const CApplicationDlg&) = delete;

    // Null: nothing is shown (as before the window's controls exist).
    void SetView(IApplicationView* view) {
        m_pView = view;
        UpdateProfilePane();
        UpdateTargetPane();
    }
    // --- Other users' profiles (ApplicationProfiles.cpp) -------------------------------
    // "Profile: COMPUTER\user" for the user whose settings are edited.
    void UpdateProfilePane();
    // The user whose settings are edited, as the profile pane names them.
    std::string ProfileEntryName() const;
    // Fills m_arrProfiles from the target's ProfileList, then shows the selected profile.
    void BuildProfileList();
    // Re-reads what the options change and loads the hive of the profile m_nProfile
    // names as HKEY_USERS\Corvanta; a profile whose hive cannot be loaded gives way to
    // the running user without a message (ProfileLoadError tells why).
    void LoadSettings();
    // " failed with error N: <the system's text>" in a box titled "Error".
    void ShowSystemError(reg::LSTATUS code);
    // The options sheet's OK: LoadSettings with the profile its Profile page chose
    // (nothing: the choice stays). When that changes the user whose settings are edited,
    // the open page is opened again to show that user's settings.
    void OnOptionsOk(std::optional<int> profile);
    reg::LSTATUS ProfileLoadError() const { return m_nProfileLoadError; }

    // Opens catalogue entry `index`: reads the file, shows its page, runs its script.
    // False when the file is refused (gone, unreadable or no plugin file): the user is
    // told why, `why` gets the reason, and the page shown stays as it was.
    bool LoadPlugin(int index, std::string* why = nullptr);
    void ShowPage(int pageIndex);
    // Re-reads "DELTO" into the open host object: the first step of LoadSettings, which
    // is what the options sheet's OK calls.
    void OnOptionsChanged();
    // --- Another target (ApplicationTarget.cpp) ----------------------------------------
    // Before the target is replaced: the open page's script lets go of it and another
    // user's hive is unloaded (the running user is chosen again).
    void BeforeTargetChange();
    // After: the catalogue, menus and panes follow the new target's version and name,
    // and the profile list holds the new target's users.
    void OnTargetChanged();
    void UpdateTargetPane();
    target::CTargetSystem& Target() { return m_target; }

    pages::CPropertyPageBase* Page(int pageIndex);
    script::CHost_Proxy* Host() { return m_pHost.get(); }
    registry::CMRU& RecentList() { return m_mru; }
    bool IsQuitPosted() const { return m_bQuitPosted; }

    // --- The catalogue and moving through it (ApplicationCommands.cpp) ---------------
    // Builds the catalogue as the window's start does: the one plugin of the command
    // line, else the cache or a scan; then the start page and the first folder.
    void StartCatalogue(const std::string& singlePlugin = {}, ICatalogueProgress* progress = nullptr);
    // Opens what the current folder's tree has selected (a leaf's plugin, or the start
    // page for a category node or no selection).
    void OpenSelectedItem();
    void SelectFolder(int folder);
    void NextPage();
    void PreviousPage();
    void NextCategory();
    void PreviousCategory();
    // "Refresh" opens the open plugin again; the views rebuild the catalogue.
    void Refresh();
    void RefreshAll();
    void ShowView(ECatalogueView view);
    std::vector<SSearchRow> Search(const std::string& word) const;
    // Opens a catalogue entry through its tree leaf (search rows, favorites, start page).
    bool OpenEntry(int index);
    // The first entry of a plugin file name, opened; -1 when the catalogue lacks it.
    int OpenFile(const std::string& fileName);
    void ShowStartPage();

    // Favorites and tools menus and their commands.
    registry::CFavoritesMenus& Menus() { return m_menus; }
    bool OnFavorite(unsigned int id);
    int OnTool(unsigned int id);
    bool OnAddToFavorites();

    // Export Tweak (ApplicationExport.cpp): the open page's "Export" section, added to a
    // file the user picks. ExportPlugin does it for a plugin file without asking; false
    // with `why` when nothing could be written.
    void OnExportTweak();
    bool ExportPlugin(const std::string& pluginPath, const std::string& filePath, std::string& why,
                      size_t* keys = nullptr, size_t* values = nullptr);
    // Presets (ApplicationPreset.cpp). Save Preset: the history of applied plugins as a
    // preset file the user picks, for other targets and computers. Apply Preset: a preset
    // file the user picks, confirmed once, applied plugin by plugin on this target in the
    // All view (`allViewShown` is told once it is there), with a summary of what became
    // of each.
    void OnSavePreset();
    void OnApplyPreset(const std::function<void()>& allViewShown = {});

    CPluginCatalogue& Catalogue() { return m_catalogue; }
    const CPluginCatalogue& Catalogue() const { return m_catalogue; }
    bool IsReady() const { return m_bReady; }
    // What the window's header, level indicator and status panes show now.
    const std::string& HeaderText() const { return m_strHeader; }
    int Level() const { return m_nLevel; }
    const std::string& StatusText() const { return m_strStatus; }
    std::string RequestPane() const;
    // Script errors (rejected text or a failed routine) since the last LoadPlugin.
    int ScriptErrorCount() const { return m_nScriptErrors; }
    // Why the last journal entry could not be written; empty when it was.
    const std::string& JournalFailure() const { return m_strJournalFailure; }
    // What of the last journaled routine's changes cannot be undone (a file too large to
    // keep), one line each; empty when all of it can.
    const std::vector<std::string>& UndoWarnings() const { return m_arrUndoWarnings; }
    // Why the changes of the last routine (the apply) did not all reach the target;
    // empty when they did. Such an apply is not recorded as applied.
    const std::string& WriteFailure() const { return m_strWriteFailure; }

    // A preview (ApplicationPreview.cpp): from BeginPreview to EndPreview every routine
    // runs against an overlay of the target (its registry kept in memory, file writes
    // held aside, reads seeing both); nothing is saved, journaled, recorded as applied
    // or logged, no program starts and no restart or log-off is asked for.
    void BeginPreview();
    // What the routines since BeginPreview would have changed; the target stays as it was.
    journal::SJournalEntry EndPreview();
    bool IsPreviewing() const { return m_pPreview != nullptr; }
    struct SPreviewResult {
        std::vector<journal::SDiffChange> m_changes;
        std::string m_error; // the script's error, or why its changes would not be written
    };
    // The current page's Apply run as a preview, the page left as the user had it;
    // nullopt when the page has no enabled Apply.
    std::optional<SPreviewResult> PreviewApply();

    // IHostOwner
    pages::CPropertyPageBase* CurrentPage() override;
    reg::HKEY UserHive() override { return m_hUserHive; }
    IUserPrompts& Prompts() override { return m_pPresetPrompts ? *m_pPresetPrompts : m_prompts; }
    void PostQuit() override;
    void AddRestartRequest() override;
    void AddLogoffRequest() override;
    void ScriptRunning(std::chrono::milliseconds running) override;
    void ScriptEnded() override;
    // Stops the running script routine with the engine's interrupt: it ends with the
    // error "The script was stopped by the program", and what it wrote until then is
    // saved as after any script error. Nothing happens when no script runs.
    void StopScript();

    // What the pages ask of their owner (pages::IPageOwner, through PageOwner()). Both
    // owner interfaces name their prompts Prompts(), so the pages get a small adapter.
    bool ConfirmApply();
    // One plugin of a preset opened, its actions done and its page applied; what became of
    // it, for people.
    std::string ApplyPresetPlugin(const SPresetPlugin& plugin, bool& applied);
    void CallRoutine(const std::string& name, const std::vector<int32_t>& args);
    void RecordApplied();
    std::optional<int> FindCatalogueEntry(const std::string& fileName);
    void OpenCatalogueEntry(int index);
    pages::IPageOwner& PageOwner();

    // Declared first among the members that use it: m_plugins refers into it.
    CPluginCatalogue m_catalogue;
    std::vector<PLUGIN_INFO>& m_plugins;
    int m_nCurrentPlugin = -1;
    int m_nPluginKind = KIND_NONE;
    int m_nPageIndex = pages::PAGE_MAIN;
    bool m_bHasExport = false;
    reg::HKEY m_hUserHive = nullptr; // another user's mounted hive, null for the running user
    std::string m_strUserName;
    // Entry 0: the running user's login name; then the other users' profile folders.
    std::vector<std::string> m_arrProfiles;
    int m_nProfile = 0;
    // Whether an opened plugin goes on the recently-used list; a dry run leaves the
    // profile folder as it was.
    bool m_bRecordRecent = true;

private:
    IApplicationView& View();
    void SetHeader(const std::string& text);
    void SetLevel(int level);
    logging::CActionLogger& Logger();
    void SetMessage(const std::string& text);
    // The plugin file at `path`; std::nullopt, after telling the user why, for a file
    // that cannot be read or is no plugin.
    std::optional<plugin::CPluginFile> OpenPluginFile(const std::string& path, std::string* why);
    void FillPage(const std::string& path, const plugin::CPluginFile& file, int level);
    void ShowExpertWarning(int level, const std::string& warning);
    // Runs a script routine with the registry's changes recorded; what the routine changed
    // and saved becomes one journal entry (ApplicationJournal.cpp).
    uint32_t CallJournaled(const std::string& name, std::span<const vbs::Variant> args);
    uint32_t CallPreviewed(const std::string& name, std::span<const vbs::Variant> args);

    target::CTargetSystem& m_target;
    settings::CSettingsStore& m_settings;
    IUserPrompts& m_prompts;
    SSessionRequests m_requests;
    IApplicationView* m_pView = nullptr;
    registry::CMRU m_mru;
    bool m_bQuitPosted = false;
    // The pages outlive the host: a script's last calls may still reach the page.
    std::array<std::unique_ptr<pages::CPropertyPageBase>, pages::PAGE_COUNT> m_pages;
    std::unique_ptr<script::CHost_Proxy> m_pHost;
    registry::CFavoritesMenus m_menus;
    std::unique_ptr<pages::IPageOwner> m_pPageOwner;
    logging::CActionLogger m_closedLog;
    bool m_bReady = false;
    std::string m_strHeader;
    int m_nLevel = -1;
    std::string m_strStatus;
    int m_nScriptErrors = 0;
    std::string m_strWriteFailure;
    // While a preset's plugin is applied: its answers before the user (and the preset,
    // confirmed once for all its pages, needs no confirmation of each).
    IUserPrompts* m_pPresetPrompts = nullptr;
    std::string m_strJournalFailure;
    std::vector<std::string> m_arrUndoWarnings;
    reg::LSTATUS m_nProfileLoadError = 0;
    struct SPreview;
    std::shared_ptr<SPreview> m_pPreview;
};

} // namespace cva::app
