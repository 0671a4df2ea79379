#include "gui/window/ApplicationWindow.h"

#include "core/app/ApplicationDlg.h"
#include "core/app/CatalogueNavigation.h"
#include "core/app/UserPrompts.h"
#include "core/plugin/PluginFile.h"
#include "core/script/HostProxy.h"
#include "gui/dialogs/PreviewDlg.h"
#include "gui/pages/DialogLayout.h"
#include "gui/pages/PageViewBase.h"
#include "core/settings/TreeOptions.h"
#include "gui/pages/PageViewFactory.h"
#include "gui/pages/StartPageView.h"
#include "gui/window/BalloonHelp.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/Icons.h"
#include "gui/window/InfoPage1.h"
#include "gui/window/InfobarCtrl.h"
#include "gui/window/PluginSearchDlg.h"
#include "gui/window/ScriptStopBar.h"
#include "gui/window/TreeCtrlEx.h"
#include "gui/window/TreePropertySheet.h"
#include "platform/settings/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cstdio>

namespace cva::gui {

namespace {

constexpr const char* kPlacementSection = "ApplicationDlg";
// The smallest page area, in dialog units of the window's font; pages that need more
// scroll within it.
constexpr QSize kMinimumPageUnits(250, 190);
constexpr int kMinimumTreeWidth = 180;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A scan or cache load keeps the window painting through a progress dialog.
class CProgressDialog : public app::ICatalogueProgress {
public:
    explicit CProgressDialog(QWidget* parent) : m_dialog(QStringLiteral("Loading..."), QString(), 0, 100, parent) {
        m_dialog.setObjectName(QStringLiteral("catalogueProgress"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(300);
        m_dialog.setCancelButton(nullptr);
    }
    void SetPos(int percent) override {
        m_dialog.setValue(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void End() override { m_dialog.reset(); }

private:
    QProgressDialog m_dialog;
};

} // namespace

CApplicationWindow::CApplicationWindow(app::CApplicationDlg& logic, settings::CSettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_logic(logic), m_settings(settings) {
    setObjectName(QStringLiteral("applicationDlg132"));
    setWindowTitle(QStringLiteral("Corvanta  (CVA)"));
    setWindowIcon(ProgramIcon());
    CreateStatusBar();
    CreateMenus();
    CreateToolBar();

    auto* splitter = new QSplitter(this);
    // Neither side may be dragged away: the trees and the page keep a size to be read
    // at, and a page with less room than its controls need scrolls.
    splitter->setChildrenCollapsible(false);
    m_pOutBar = new CGfxOutBarCtrl(splitter);
    m_pOutBar->setMinimumWidth(kMinimumTreeWidth);
    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    m_pHeader = new CInfobarCtrl(right);
    m_pPages = new QStackedWidget(right);
    m_pPages->setObjectName(QStringLiteral("pageArea1015"));
    m_pStopBar = new CScriptStopBar([this] { m_logic.StopScript(); }, right);
    rightLayout->addWidget(m_pHeader);
    rightLayout->addWidget(m_pStopBar);
    rightLayout->addWidget(m_pPages, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 580});
    setCentralWidget(splitter);
    m_pPages->setMinimumSize(CDialogUnits(font()).Size(kMinimumPageUnits));
    for (int i = 0; i < pages::PAGE_COUNT; ++i) {
        auto* scroll = new QScrollArea(m_pPages);
        scroll->setObjectName(QStringLiteral("pageScroll%1").arg(i));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        pages::CPropertyPageBase* page = m_logic.Page(i);
        QWidget* view = page ? CreatePageView(*page, scroll) : new QWidget(scroll);
        view->setObjectName(QStringLiteral("page%1").arg(i));
        if (auto* base = dynamic_cast<CPageViewBase*>(view)) base->SetPreviewHandler([this] { OnPreview(); });
        if (auto* start = qobject_cast<CStartPageView*>(view)) {
            connect(start, &CStartPageView::EntryOpened, this, [this] {
                SyncFromModel();
                UpdateCommandUI();
            });
            connect(start, &CStartPageView::UndoRequested, this, [this](int entry) {
                if (m_logic.Catalogue().IsValidIndex(entry))
                    UndoApply(plugin::PluginFileName(m_logic.m_plugins[static_cast<size_t>(entry)].path));
            });
        }
        scroll->setWidget(view);
        m_pPages->addWidget(scroll);
    }
    connect(m_pOutBar, &CGfxOutBarCtrl::FolderChanged, this, &CApplicationWindow::OnFolderChanged);

    m_arrowTimer.setSingleShot(true);
    m_arrowTimer.setInterval(kArrowDelayMs);
    connect(&m_arrowTimer, &QTimer::timeout, this, [this] {
        if (CTreeCtrlEx* tree = CurrentTree(); tree && tree->ArrowKeyMove())
            m_arrowTimer.start();
        else
            OpenSelection();
    });
    // Stands in for the idle pass of a dialog's modal loop.
    m_idleTimer.setInterval(250);
    connect(&m_idleTimer, &QTimer::timeout, this, &CApplicationWindow::UpdateCommandUI);
    m_idleTimer.start();

    resize(860, 600);
    RestorePlacement();
    m_logic.SetView(this);
    SetHeaderText(app::kAppTitle);
    ShowPage(pages::PAGE_MAIN);
}

CApplicationWindow::~CApplicationWindow() { m_logic.SetView(nullptr); }

void CApplicationWindow::StartCatalogue(const std::string& singlePlugin) {
    {
        CProgressDialog progress(this);
        m_logic.StartCatalogue(singlePlugin, &progress);
    }
    RebuildOutBar();
    UpdateCommandUI();
}

void CApplicationWindow::RebuildOutBar() {
    m_pOutBar->SetTreeStyle(options::CTreeOptions::StoredStyle(m_settings));
    m_pOutBar->Rebuild(m_logic.Catalogue());
    ConnectTrees();
    SyncFromModel();
}

void CApplicationWindow::ConnectTrees() {
    for (int i = 0; i < m_pOutBar->FolderCount(); ++i) {
        CTreeCtrlEx* tree = m_pOutBar->Tree(i);
        tree->installEventFilter(this);
        connect(tree, &QTreeWidget::currentItemChanged, this, [this, i] { OnTreeSelection(i); });
        connect(tree, &CTreeCtrlEx::EditRequested, this, &CApplicationWindow::EditPluginFile);
        connect(tree, &CTreeCtrlEx::ContextMenuRequested, this, &CApplicationWindow::ShowTreeMenu);
    }
}

CTreeCtrlEx* CApplicationWindow::CurrentTree() const { return m_pOutBar->Tree(m_pOutBar->SelectedFolder()); }

void CApplicationWindow::SyncFromModel() {
    app::CPluginCatalogue& catalogue = m_logic.Catalogue();
    if (catalogue.GetFolderCount() == 0) return;
    const int folder = catalogue.GetCurrentFolder();
    m_pOutBar->SetSelectedFolder(folder);
    if (CTreeCtrlEx* tree = m_pOutBar->Tree(folder)) tree->SelectModelItem(catalogue.Folder(folder).tree.GetSelectedItem());
}

void CApplicationWindow::OnTreeSelection(int folder) {
    app::CPluginCatalogue& catalogue = m_logic.Catalogue();
    CTreeCtrlEx* tree = m_pOutBar->Tree(folder);
    if (!tree || folder >= catalogue.GetFolderCount()) return;
    catalogue.Folder(folder).tree.SelectItem(CTreeCtrlEx::ModelItem(tree->currentItem()));
    if (m_pBalloon) m_pBalloon->close();
    // Scrolling with the arrow keys opens only the item where the user stops.
    if (tree->ArrowKeyMove()) {
        m_arrowTimer.start();
        return;
    }
    OpenSelection();
}

void CApplicationWindow::OpenSelection() {
    m_arrowTimer.stop();
    setUpdatesEnabled(false);
    m_logic.OpenSelectedItem();
    setUpdatesEnabled(true);
    UpdateCommandUI();
}

void CApplicationWindow::OnFolderChanged(int folder) {
    m_logic.SelectFolder(folder);
    SyncFromModel();
    if (CTreeCtrlEx* tree = CurrentTree()) tree->setFocus();
}

void CApplicationWindow::OpenEntry(int index) {
    if (m_logic.OpenEntry(index)) SyncFromModel();
}

void CApplicationWindow::SetStatusText(app::EStatusPane pane, const std::string& text) {
    switch (pane) {
    case app::EStatusPane::Message: m_pMessagePane->setText(Q(text)); break;
    case app::EStatusPane::Profile: m_pProfilePane->setText(Q(text)); break;
    case app::EStatusPane::Request:
        m_pRequestPane->setText(Q(text));
        m_pRequestIcon->setVisible(!text.empty());
        break;
    case app::EStatusPane::Level: m_pLevelPane->setText(Q(text)); break;
    case app::EStatusPane::Target: m_pTargetPane->setText(Q(text)); break;
    }
}

void CApplicationWindow::SetHeaderText(const std::string& text) { m_pHeader->setText(Q(text)); }

void CApplicationWindow::SetLevelIndicator(int level) {
    const QIcon icon = LevelIcon(level);
    m_pLevelIcon->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(16, 16));
    m_pLevelIcon->setVisible(!icon.isNull());
    const QString name = QString::fromLatin1(app::LevelName(level));
    m_pLevelPane->setText(name);
    m_pLevelPane->setFixedWidth(m_pLevelPane->fontMetrics().horizontalAdvance(name) + 25);
}

void CApplicationWindow::ShowAlert(const std::string& title, const std::string& text) {
    if (m_pBalloon) m_pBalloon->close();
    if (!isVisible()) return;
    m_pBalloon = new CBalloonHelp(Q(title), Q(text), m_pPages);
    m_pBalloon->ShowAt(m_pPages);
}

void CApplicationWindow::ShowPage(int pageIndex) {
    // An alert belongs to the page it was raised on; the next page's comes after this.
    if (m_pBalloon) m_pBalloon->close();
    if (pageIndex >= 0 && pageIndex < m_pPages->count()) m_pPages->setCurrentIndex(pageIndex);
}

void CApplicationWindow::ScriptRunning(std::chrono::milliseconds running) {
    m_pStopBar->Beat(running);
}

void CApplicationWindow::ScriptEnded() {
    m_pStopBar->End();
    if (!m_bQuitAfterScript) return;
    m_bQuitAfterScript = false;
    RequestQuit();
}

void CApplicationWindow::RequestQuit() {
    // The script's routine is still running: the window goes once it has returned. The
    // events a long routine lets through (ScriptRunning) must not close it before.
    if (const script::CHost_Proxy* host = m_logic.Host(); host && host->IsRunning()) {
        m_bQuitAfterScript = true;
        return;
    }
    QTimer::singleShot(0, this, [this] {
        m_bExiting = true;
        close();
    });
}

void CApplicationWindow::closeEvent(QCloseEvent* event) {
    if (!m_bExiting && m_closeQuestions) m_closeQuestions();
    if (m_pBalloon) m_pBalloon->close();
    if (m_pSearch) m_pSearch->close();
    SavePlacement();
    event->accept();
}

void CApplicationWindow::keyPressEvent(QKeyEvent* event) {
    // Esc belongs to dialogs; the main window never closes through it.
    if (event->key() == Qt::Key_Escape) return;
    QMainWindow::keyPressEvent(event);
}

bool CApplicationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            ShowInformation();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The sheet is modal to the window but does not block here: it closes itself.
void CApplicationWindow::ShowInformation() {
    if (!m_logic.Catalogue().IsValidIndex(m_logic.m_nCurrentPlugin)) return;
    const std::string& path = m_logic.m_plugins[static_cast<size_t>(m_logic.m_nCurrentPlugin)].path;
    auto* sheet = new CTreePropertySheet(Q(app::kAppTitle), QStringLiteral("Information"), this);
    sheet->setObjectName(QStringLiteral("infoSheet"));
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->AddPage(QStringLiteral("General"), new CInfoPage1(path, m_logic.Prompts(), sheet));
    sheet->open();
}

void CApplicationWindow::EditPluginFile() {
    if (!m_logic.Catalogue().IsValidIndex(m_logic.m_nCurrentPlugin)) return;
    const std::string& path = m_logic.m_plugins[static_cast<size_t>(m_logic.m_nCurrentPlugin)].path;
    QProcess::startDetached(QStringLiteral("xdg-open"), {Q(path)});
}

void CApplicationWindow::NotAvailable(const QString& what) {
    m_logic.Prompts().MessageBox(what.toStdString() + " is not available yet in this version.", app::kAppTitle,
                                 app::MB_OK | app::MB_ICONINFORMATION);
}

// The placement is kept as the normal (restored) rectangle of the client area plus
// the maximized flag, which every window system reports alike; Qt's own geometry blob
// carries frame sizes that differ between window managers and made the window creep.
void CApplicationWindow::SavePlacement() {
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    char text[80];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d", normal.x(), normal.y(), normal.width(), normal.height(),
                  isMaximized() ? 1 : 0);
    m_settings.WriteProfileString(kPlacementSection, "Placement", text);
}

void CApplicationWindow::RestorePlacement() {
    const std::string text = m_settings.GetProfileString(kPlacementSection, "Placement");
    int x = 0, y = 0, width = 0, height = 0, maximized = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d,%d", &x, &y, &width, &height, &maximized) != 5) return;
    if (width < 200 || height < 150) return;
    QRect rect(x, y, width, height);
    // A screen that has gone since must not leave the window out of reach.
    if (const QScreen* screen = QGuiApplication::screenAt(rect.center()); !screen)
        rect.moveTopLeft(QPoint(0, 0));
    setGeometry(rect);
    if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CApplicationWindow::OnPreview() {
    std::optional<app::CApplicationDlg::SPreviewResult> result = m_logic.PreviewApply();
    if (!result) return;
    CPreviewDlg dialog(result->m_changes, result->m_error, this);
    dialog.exec();
}

} // namespace cva::gui
