// The window's commands: menu bar, tree pop-up menu, toolbar, status bar and the
// command-update pass.
#include "gui/window/ApplicationWindow.h"

#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/Maker.h"
#include "core/app/UserPrompts.h"
#include "core/plugin/PluginFile.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/Icons.h"
#include "gui/window/PluginSearchDlg.h"
#include "gui/window/TreeCtrlEx.h"
#include "platform/process/ModuleVersion.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QShortcut>
#include <QToolBar>
#include <QUrl>

#include <cstdio>

namespace cva::gui {

namespace {

constexpr const char* kWebsite = app::kMakerWebsite;
constexpr unsigned int kFirstFavorite = 3584;
constexpr unsigned int kFirstTool = 3840;

} // namespace

QAction* CApplicationWindow::AddCommand(QMenu* menu, int id, const QString& text, const QString& help,
                                        const QKeySequence& keys) {
    QAction* action = m_commands.count(id) ? m_commands[id] : nullptr;
    if (!action) {
        action = new QAction(text, this);
        action->setObjectName(QStringLiteral("cmd%1").arg(id));
        action->setStatusTip(help);
        if (!keys.isEmpty()) {
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_commands[id] = action;
        addAction(action);
    }
    if (menu) menu->addAction(action);
    return action;
}

QAction* CApplicationWindow::Command(int id) const {
    auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : found->second;
}

void CApplicationWindow::CreateMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    AddCommand(file, ID_EXPORT, QStringLiteral("&Export Tweak..."), QStringLiteral("Export the current settings of this tweak-page to a REG file"), QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(file, ID_SEARCH, QStringLiteral("Search..."), QStringLiteral("Search for a page"), QKeySequence(Qt::CTRL | Qt::Key_F));
    AddCommand(file, ID_SAVE_PRESET, QStringLiteral("Save &Preset..."), QStringLiteral("Save the applied tweaks as a preset for other systems"));
    AddCommand(file, ID_APPLY_PRESET, QStringLiteral("&Apply Preset..."), QStringLiteral("Apply the tweaks of a preset to this target"));
    file->addSeparator();
    // The shortcut is the window's own (OnUndoShortcut): an edit field keeps Ctrl+Z.
    AddCommand(file, ID_UNDO_APPLY, QStringLiteral("&Undo Last Apply\tCtrl+Z"), QStringLiteral("Take back the changes of the last apply on this target"));
    auto* undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    undoKey->setObjectName(QStringLiteral("undoShortcut"));
    connect(undoKey, &QShortcut::activated, this, &CApplicationWindow::OnUndoShortcut);
    file->addSeparator();
    AddCommand(file, ID_UPDATE, QStringLiteral("Update..."), QStringLiteral("Connect to our website and check for updates"));
    file->addSeparator();
    AddCommand(file, ID_EXIT, QStringLiteral("E&xit"), QStringLiteral("Quit the application"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    AddCommand(view, ID_NEXT_PAGE, QStringLiteral("&Next Page"), QStringLiteral("Show the next page"), QKeySequence(Qt::CTRL | Qt::Key_Down));
    AddCommand(view, ID_PREV_PAGE, QStringLiteral("&Previous Page"), QStringLiteral("Show the previous page"), QKeySequence(Qt::CTRL | Qt::Key_Up));
    view->addSeparator();
    AddCommand(view, ID_REFRESH, QStringLiteral("&Refresh"), QStringLiteral("Read this page again"), QKeySequence(Qt::Key_F5));
    AddCommand(view, ID_REFRESH_ALL, QStringLiteral("Refresh All"), QStringLiteral("Read all plugins again"));
    view->addSeparator();
    AddCommand(view, ID_OPTIONS, QStringLiteral("&Options..."), QStringLiteral("Change the options"), QKeySequence(Qt::CTRL | Qt::Key_O));
    view->addSeparator();
    AddCommand(view, ID_NEXT_CATEGORY, QStringLiteral("Next Category"), QStringLiteral("Show the next category"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    AddCommand(view, ID_PREV_CATEGORY, QStringLiteral("Previous  Category"), QStringLiteral("Show the previous category"), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    view->addSeparator();
    QMenu* category = view->addMenu(QStringLiteral("Category"));
    AddCommand(category, ID_VIEW_ALL, QStringLiteral("All"), QStringLiteral("Show all pages"))->setCheckable(true);
    category->addSeparator();
    AddCommand(category, ID_VIEW_FAVORITES, QStringLiteral("Favorites"), QStringLiteral("Show the favorite pages"))->setCheckable(true);
    AddCommand(category, ID_VIEW_APPLIED, QStringLiteral("Applied"), QStringLiteral("Show the pages applied before"))->setCheckable(true);
    AddCommand(category, ID_VIEW_POPULAR, QStringLiteral("Popular"), QStringLiteral("Show the popular pages"))->setCheckable(true);

    m_pFavoritesMenu = bar->addMenu(QStringLiteral("F&avorites"));
    m_pFavoritesMenu->setObjectName(QStringLiteral("favoritesMenu"));
    FillFavoritesMenu();
    m_pToolsMenu = bar->addMenu(QStringLiteral("&Tools"));
    m_pToolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    FillToolsMenu();

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    AddCommand(help, ID_HELP_TOPICS, QStringLiteral("&Help Topics"), QStringLiteral("List the help topics"), QKeySequence(Qt::Key_F1));
    help->addSeparator();
    AddCommand(help, ID_WEBSITE, QStringLiteral("&Visit Website..."), QStringLiteral("Open the web site of the program"));
    AddCommand(help, ID_ABOUT, QStringLiteral("&About..."), QStringLiteral("Show the program's version"));
    AddCommand(nullptr, ID_INFORMATION, QStringLiteral("&Information..."), QStringLiteral("Show the information of this page"), QKeySequence(Qt::CTRL | Qt::Key_I));

    // Menu help in the message pane; "Ready" again when the menu closes.
    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        connect(menu, &QMenu::hovered, this, [this](QAction* action) {
            if (!action->statusTip().isEmpty()) m_pMessagePane->setText(action->statusTip());
        });
        connect(menu, &QMenu::aboutToHide, this, [this] { m_pMessagePane->setText(QStringLiteral("Ready")); });
        connect(menu, &QMenu::aboutToShow, this, &CApplicationWindow::UpdateCommandUI);
    }
}

void CApplicationWindow::FillFavoritesMenu() {
    m_pFavoritesMenu->clear();
    AddCommand(m_pFavoritesMenu, ID_ADD_FAVORITE, QStringLiteral("&Add To Favorites..."), QStringLiteral("Add this page to the favorites"), QKeySequence(Qt::CTRL | Qt::Key_B));
    AddCommand(m_pFavoritesMenu, ID_ORGANIZE, QStringLiteral("&Organize..."), QStringLiteral("Organize the favorites"));
    for (const registry::SMenuEntry& entry : m_logic.Menus().BuildFavoritesMenu()) {
        if (entry.separator) {
            m_pFavoritesMenu->addSeparator();
            continue;
        }
        QAction* action = m_pFavoritesMenu->addAction(QString::fromStdString(entry.text));
        action->setStatusTip(QStringLiteral("Open this favorite page"));
        const unsigned int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] {
            m_logic.OnFavorite(id);
            SyncFromModel();
        });
    }
}

void CApplicationWindow::FillToolsMenu() {
    m_pToolsMenu->clear();
    const registry::SToolsMenu tools = m_logic.Menus().BuildToolsMenu();
    m_pToolsMenu->menuAction()->setVisible(!tools.removeMenu);
    for (const registry::SMenuEntry& entry : tools.entries) {
        if (entry.separator) {
            m_pToolsMenu->addSeparator();
            continue;
        }
        QAction* action = m_pToolsMenu->addAction(QString::fromStdString(entry.text));
        action->setStatusTip(QStringLiteral("Open this tool"));
        const unsigned int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { m_logic.OnTool(id); });
    }
}

void CApplicationWindow::ShowTreeMenu(const QPoint& globalPos) {
    UpdateCommandUI();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("treeMenu154"));
    menu.addAction(Command(ID_ADD_FAVORITE));
    menu.addAction(Command(ID_EXPORT));
    menu.addAction(Command(ID_REFRESH));
    menu.addSeparator();
    QAction* next = menu.addAction(QStringLiteral("Next"));
    QAction* previous = menu.addAction(QStringLiteral("Previous"));
    menu.addSeparator();
    menu.addAction(Command(ID_INFORMATION));
    // The Applied view offers to take back the open plugin's last apply.
    QAction* undo = nullptr;
    const bool applied = m_logic.Catalogue().m_nView == app::kViewApplied;
    if (applied && m_logic.Catalogue().IsValidIndex(m_logic.m_nCurrentPlugin)) {
        menu.addSeparator();
        undo = menu.addAction(QStringLiteral("Undo"));
        undo->setObjectName(QStringLiteral("treeMenuUndo"));
    }
    QAction* chosen = menu.exec(globalPos);
    if (chosen == next) OnCommand(ID_NEXT_PAGE);
    if (chosen == previous) OnCommand(ID_PREV_PAGE);
    if (chosen && chosen == undo)
        UndoApply(plugin::PluginFileName(m_logic.m_plugins[static_cast<size_t>(m_logic.m_nCurrentPlugin)].path));
}

void CApplicationWindow::CreateToolBar() {
    QToolBar* tools = addToolBar(QStringLiteral("Toolbar"));
    tools->setObjectName(QStringLiteral("toolbar148"));
    tools->setIconSize(QSize(24, 24));
    tools->setMovable(false);
    struct SButton { int id; const char* icon; Qt::GlobalColor colour; };
    const SButton buttons[] = {
        {ID_PREV_PAGE, "go-previous", Qt::darkBlue}, {ID_NEXT_PAGE, "go-next", Qt::darkBlue},
        {ID_REFRESH, "view-refresh", Qt::darkGreen}, {ID_SEARCH, "edit-find", Qt::darkCyan},
        {ID_ADD_FAVORITE, "bookmark-new", Qt::darkYellow}, {ID_EXPORT, "document-save-as", Qt::darkMagenta},
        {ID_OPTIONS, "preferences-system", Qt::gray}, {ID_ABOUT, "help-about", Qt::blue},
    };
    for (const SButton& button : buttons) {
        QAction* action = Command(button.id);
        action->setIcon(ToolIcon(button.icon, button.colour));
        tools->addAction(action);
    }
}

void CApplicationWindow::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    auto pane = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        return label;
    };
    m_pMessagePane = pane("paneMessage");
    m_pMessagePane->setText(QStringLiteral("Ready"));
    m_pProfileIcon = pane("paneProfileIcon");
    m_pProfileIcon->setPixmap(ProfileIcon().pixmap(16, 16));
    m_pProfilePane = pane("paneProfile");
    m_pTargetPane = pane("paneTarget");
    m_pRequestIcon = pane("paneRequestIcon");
    m_pRequestIcon->setPixmap(RequestIcon().pixmap(16, 16));
    m_pRequestIcon->hide();
    m_pRequestPane = pane("paneRequest");
    m_pLevelIcon = pane("paneLevelIcon");
    m_pLevelIcon->hide();
    m_pLevelPane = pane("paneLevel");
    m_pLevelPane->setMinimumWidth(25);
    bar->addWidget(m_pMessagePane, 1);
    bar->addPermanentWidget(m_pTargetPane);
    bar->addPermanentWidget(m_pProfileIcon);
    bar->addPermanentWidget(m_pProfilePane);
    bar->addPermanentWidget(m_pRequestIcon);
    bar->addPermanentWidget(m_pRequestPane);
    bar->addPermanentWidget(m_pLevelIcon);
    bar->addPermanentWidget(m_pLevelPane);
}

void CApplicationWindow::UpdateCommandUI() {
    const bool pluginOpen = m_logic.Catalogue().IsValidIndex(m_logic.m_nCurrentPlugin);
    Command(ID_EXPORT)->setEnabled(m_logic.m_bHasExport);
    const CTreeCtrlEx* tree = CurrentTree();
    Command(ID_ADD_FAVORITE)->setEnabled(pluginOpen && tree && tree->currentItem());
    Command(ID_INFORMATION)->setEnabled(pluginOpen);
    const int view = m_logic.Catalogue().m_nView;
    Command(ID_VIEW_ALL)->setChecked(view == app::kViewAll);
    Command(ID_VIEW_POPULAR)->setChecked(view == app::kViewPopular);
    Command(ID_VIEW_FAVORITES)->setChecked(view == app::kViewFavorites);
    Command(ID_VIEW_APPLIED)->setChecked(view == app::kViewApplied);
    // The favorites and tools files can change under the menus (Add To Favorites, the
    // options), so the menus are rebuilt whenever their lists say so.
    if (m_logic.Menus().m_bFavoritesChanged) FillFavoritesMenu();
    if (m_logic.Menus().m_bToolsPending) FillToolsMenu();
    const std::string request = m_logic.RequestPane();
    if (m_pRequestPane->text().toStdString() != request) SetStatusText(app::EStatusPane::Request, request);
    ShowJournalFailure();
}

void CApplicationWindow::OnCommand(int id) {
    switch (id) {
    case ID_EXIT:
        // Exit skips the close questions: what scripts asked for is carried out.
        m_bExiting = true;
        close();
        return;
    case ID_NEXT_PAGE: m_logic.NextPage(); break;
    case ID_PREV_PAGE: m_logic.PreviousPage(); break;
    case ID_NEXT_CATEGORY: m_logic.NextCategory(); break;
    case ID_PREV_CATEGORY: m_logic.PreviousCategory(); break;
    case ID_REFRESH: m_logic.Refresh(); break;
    case ID_REFRESH_ALL:
        m_logic.RefreshAll();
        RebuildOutBar();
        break;
    case ID_VIEW_ALL: m_logic.ShowView(app::kViewAll); RebuildOutBar(); break;
    case ID_VIEW_POPULAR: m_logic.ShowView(app::kViewPopular); RebuildOutBar(); break;
    case ID_VIEW_FAVORITES: m_logic.ShowView(app::kViewFavorites); RebuildOutBar(); break;
    case ID_VIEW_APPLIED: m_logic.ShowView(app::kViewApplied); RebuildOutBar(); break;
    case ID_SEARCH:
        if (!m_pSearch) m_pSearch = new CPluginSearchDlg(m_logic, m_settings, [this](int index) { OpenEntry(index); }, this);
        m_pSearch->ShowDialog();
        return;
    case ID_ADD_FAVORITE:
        if (m_logic.OnAddToFavorites()) FillFavoritesMenu();
        return;
    case ID_INFORMATION: ShowInformation(); return;
    case ID_ABOUT: ShowAbout(); return;
    case ID_WEBSITE: OpenWebsite(); return;
    case ID_EXPORT: m_logic.OnExportTweak(); return;
    case ID_SAVE_PRESET: m_logic.OnSavePreset(); return;
    case ID_APPLY_PRESET: m_logic.OnApplyPreset([this] { RebuildOutBar(); }); break;
    case ID_UNDO_APPLY: UndoApply(); return;
    case ID_UPDATE: OnCheckForUpdate(); return;
    case ID_OPTIONS: ShowOptions(0); return;
    case ID_ORGANIZE: ShowOptions(2); return;
    case ID_HELP_TOPICS: OpenManual(); return;
    default: return;
    }
    SyncFromModel();
    if (id == ID_NEXT_CATEGORY || id == ID_PREV_CATEGORY)
        if (CTreeCtrlEx* tree = CurrentTree()) tree->setFocus();
    UpdateCommandUI();
}

void CApplicationWindow::OpenWebsite() {
    // Qt hands the address to the desktop's opener (xdg-open) or to a browser it knows;
    // false when there is neither.
    if (QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebsite)))) return;
    m_logic.Prompts().MessageBox(
        std::string("No web browser was found to open ") + kWebsite +
            "\nInstall one, or xdg-utils to open it with the desktop's choice.",
        app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
}

void CApplicationWindow::OpenManual() {
    const std::string manual = m_pCore ? m_pCore->ManualFile() : std::string();
    if (manual.empty()) {
        m_logic.Prompts().MessageBox(
            "The user manual was not found beside the program or in ../share/doc/corvanta/manual.",
            app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
        return;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(manual)))) return;
    m_logic.Prompts().MessageBox("No web browser was found to open the user manual " + manual +
                                     "\nInstall one, or xdg-utils to open it with the desktop's choice.",
                                 app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
}

void CApplicationWindow::ShowAbout() {
    process::CModuleVersion version;
    char line[64] = "Version 0.0.0.0";
    if (version.GetFileVersionInfo(QCoreApplication::applicationFilePath().toStdString()))
        std::snprintf(line, sizeof line, "Version %d.%d.%d.%d", version.dwFileVersionMS >> 16,
                      version.dwFileVersionMS & 0xFFFF, version.dwFileVersionLS >> 16, version.dwFileVersionLS & 0xFFFF);
    QMessageBox box(QMessageBox::Information, QStringLiteral("About Corvanta"),
                    QStringLiteral("<b>Corvanta</b><br>%1<br><a href=\"%2\">%2</a>")
                        .arg(QString::fromLatin1(line), QString::fromLatin1(kWebsite)),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("aboutDlg100"));
    box.exec();
}

} // namespace cva::gui
