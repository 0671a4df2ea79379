#pragma once

#include "core/app/ApplicationView.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;

namespace cva::app {
class CAppCore;
class CApplicationDlg;
}
namespace cva::options {
struct SOptionsResult;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::gui {

class CBalloonHelp;
class CGfxOutBarCtrl;
class CInfobarCtrl;
class CPluginSearchDlg;
class CScriptStopBar;
class CTreeCtrlEx;

// The running version as the update check compares it: three fields of the program's
// file version and "PluginVersion" as the fourth.
std::string UpdateVersionText(uint32_t fileVersionMS, uint32_t fileVersionLS, unsigned int pluginVersion);

// Command identifiers of the menus, toolbar and accelerators.
enum ECommand : int {
    ID_EXPORT = 32789, ID_SEARCH = 32791, ID_UPDATE = 57610, ID_EXIT = 32781,
    ID_NEXT_PAGE = 32784, ID_PREV_PAGE = 32785, ID_REFRESH = 32790, ID_REFRESH_ALL = 32797,
    ID_OPTIONS = 32792, ID_NEXT_CATEGORY = 32802, ID_PREV_CATEGORY = 32803,
    ID_VIEW_ALL = 32807, ID_VIEW_FAVORITES = 32804, ID_VIEW_APPLIED = 32805, ID_VIEW_POPULAR = 32806,
    ID_ADD_FAVORITE = 32787, ID_ORGANIZE = 32788, ID_HELP_TOPICS = 57666, ID_WEBSITE = 32794,
    ID_ABOUT = 57664, ID_INFORMATION = 32796, ID_UNDO_APPLY = 32812, ID_SAVE_PRESET = 32813,
    ID_APPLY_PRESET = 32814,
};

// The main window: outlook bar, header, page area, menus, toolbar and status bar over
// the window logic of CApplicationDlg.
class CApplicationWindow : public QMainWindow, public app::IApplicationView {
    Q_OBJECT
public:
    static constexpr int kArrowDelayMs = 50;

    CApplicationWindow(app::CApplicationDlg& logic, settings::CSettingsStore& settings, QWidget* parent = nullptr);
    ~CApplicationWindow() override;

    // What the options act on beyond the window: the log, the folders, the target.
    void SetAppCore(app::CAppCore* core) { m_pCore = core; }
    // The options sheet at a page (0 Logging, 2 Favorites, ...); what OK changed takes
    // effect at once (ApplicationOptions.cpp).
    void ShowOptions(int page);
    // Asked when the close box closes the window (not on Exit).
    void SetCloseQuestions(std::function<void()> ask) { m_closeQuestions = std::move(ask); }
    // Builds the catalogue (the one plugin of the command line, else the folder) with a
    // progress dialog and shows the first folder.
    void StartCatalogue(const std::string& singlePlugin);

    QAction* Command(int id) const;
    CGfxOutBarCtrl* OutBar() const { return m_pOutBar; }
    CTreeCtrlEx* CurrentTree() const;
    // The command-update pass of the idle loop: enabled and checked states, the request pane.
    void UpdateCommandUI();
    void OnCommand(int id);
    // Takes back the newest apply of `plugin` (a file name; empty: of any plugin) on the
    // target that was not undone. When the target changed since, the differences are
    // shown and the user may undo it anyway. The open page is read again after
    // (ApplicationUndo.cpp).
    void UndoApply(const std::string& plugin = {});

    // IApplicationView
    void SetStatusText(app::EStatusPane pane, const std::string& text) override;
    void SetHeaderText(const std::string& text) override;
    void SetLevelIndicator(int level) override;
    void ShowAlert(const std::string& title, const std::string& text) override;
    void ShowPage(int pageIndex) override;
    void RequestQuit() override;
    void ScriptRunning(std::chrono::milliseconds running) override;
    void ScriptEnded() override;
    CScriptStopBar* StopBar() const { return m_pStopBar; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& help,
                        const QKeySequence& keys = {});
    void FillFavoritesMenu();
    void FillToolsMenu();
    void ShowTreeMenu(const QPoint& globalPos);
    void RebuildOutBar();
    void ConnectTrees();
    void SyncFromModel();
    void OnTreeSelection(int folder);
    void OpenSelection();
    void OnFolderChanged(int folder);
    // The page's Preview: its Apply run against an overlay, the changes shown.
    void OnPreview();
    void OpenEntry(int index);
    void ShowInformation();
    void EditPluginFile();
    void ShowAbout();
    void OpenWebsite();
    void OpenManual();
    void OnCheckForUpdate();
    void NotAvailable(const QString& what);
    void ApplyOptions(const options::SOptionsResult& result);
    void SavePlacement();
    // Ctrl+Z: Undo Last Apply, unless an edit field has the focus (it undoes its typing).
    void OnUndoShortcut();
    // Tells the user once when the journal entry of an apply could not be written.
    void ShowJournalFailure();
    void RestorePlacement();

    app::CApplicationDlg& m_logic;
    app::CAppCore* m_pCore = nullptr;
    settings::CSettingsStore& m_settings;
    std::function<void()> m_closeQuestions;
    std::map<int, QAction*> m_commands;
    QMenu* m_pFavoritesMenu = nullptr;
    QMenu* m_pToolsMenu = nullptr;
    CGfxOutBarCtrl* m_pOutBar = nullptr;
    CInfobarCtrl* m_pHeader = nullptr;
    CScriptStopBar* m_pStopBar = nullptr;
    QStackedWidget* m_pPages = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QLabel* m_pProfileIcon = nullptr;
    QLabel* m_pProfilePane = nullptr;
    QLabel* m_pTargetPane = nullptr;
    QLabel* m_pRequestIcon = nullptr;
    QLabel* m_pRequestPane = nullptr;
    QLabel* m_pLevelIcon = nullptr;
    QLabel* m_pLevelPane = nullptr;
    QPointer<CBalloonHelp> m_pBalloon;
    CPluginSearchDlg* m_pSearch = nullptr;
    QTimer m_arrowTimer;
    QTimer m_idleTimer;
    bool m_bExiting = false;
    bool m_bQuitAfterScript = false;
    std::string m_strShownJournalFailure;
};

} // namespace cva::gui
