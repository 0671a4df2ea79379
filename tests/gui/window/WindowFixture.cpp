#include "gui/window/WindowFixture.h"

#include "core/plugin/PluginFile.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/TreeCtrlEx.h"

#include <QApplication>
#include <QLabel>

#include <filesystem>
#include <stdlib.h>

namespace cva::test {

namespace {

void WritePlugin(const std::string& folder, const char* file, const char* category) {
    const std::string caption = std::string(category).substr(std::string(category).rfind(':') + 1);
    WriteAll(folder + "/" + file, "[settings]\ncaption=" + caption + "\ncategory=" + category +
                                      "\nLEVEL=1\nOSVERSION=2000,XP,2003,VISTA\nauthor=Tester\n\n"
                                      "[interface]\ntype=check\nText0=Something\n\n"
                                      "[script]\nSub OnInit()\nEnd Sub\n");
}

} // namespace

void WindowTest::SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_window_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv); // lives for the whole run
}

void WindowTest::SetUp() {
    namespace fs = std::filesystem;
    for (const char* sub : {"config", "data", "cache", "run", "plugins", "sandbox"}) fs::create_directories(m_dir.File(sub));
    fs::permissions(m_dir.File("run"), fs::perms::owner_all);
    setenv("XDG_CONFIG_HOME", m_dir.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", m_dir.File("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", m_dir.File("cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", m_dir.File("run").c_str(), 1);
    const std::string plugins = m_dir.File("plugins");
    WritePlugin(plugins, "a1.cvp", "Alpha::Basics::one");
    WritePlugin(plugins, "a2.cvp", "Alpha::Basics::two");
    WritePlugin(plugins, "a3.cvp", "Alpha::Extras::three");
    WritePlugin(plugins, "b1.cvp", "Beta::Misc::four");

    m_store = std::make_unique<settings::CSettingsStore>();
    ASSERT_TRUE(m_store->IsUsable()) << m_store->LoadError();
    m_store->WriteProfileString("Settings", "PluginDir", plugins.c_str());
    app::CAppCore::COptions options;
    options.m_targetSpec = "sandbox:" + m_dir.File("sandbox");
    options.m_lockFolder = m_dir.File("run");
    m_core = std::make_unique<app::CAppCore>(*m_store, options);
    std::string why;
    ASSERT_EQ(m_core->Start([](const std::string&) { return true; }, &why), app::CAppCore::EStart::Run) << why;
    m_logic = std::make_unique<app::CApplicationDlg>(*m_core->Target(), *m_store, m_prompts,
                                                     app::SSessionRequests::FromCore(*m_core),
                                                     m_core->ProfileFolder(), app::CApplicationDlg::DefaultPageFactory());
    m_window = std::make_unique<gui::CApplicationWindow>(*m_logic, *m_store);
    m_window->SetAppCore(m_core.get());
    m_window->SetCloseQuestions([this] {
        m_core->ConfirmPendingRequests([this](const std::string& text) {
            return m_prompts.MessageBox(text, app::kAppTitle, app::MB_OKCANCEL) == app::IDOK;
        });
    });
    m_window->show();
    m_window->StartCatalogue({});
    ASSERT_EQ(m_window->OutBar()->FolderCount(), 2);
}

void WindowTest::TearDown() {
    m_window.reset();
    m_logic.reset();
    m_core.reset();
}

gui::CTreeCtrlEx* WindowTest::TreeOf(const QString& folderName, int* folderIndex) {
    for (int i = 0; i < m_logic->Catalogue().GetFolderCount(); ++i) {
        if (QString::fromStdString(m_logic->Catalogue().Folder(i).name) != folderName) continue;
        if (folderIndex) *folderIndex = i;
        return m_window->OutBar()->Tree(i);
    }
    return nullptr;
}

QTreeWidgetItem* WindowTest::FindItem(gui::CTreeCtrlEx* tree, const QString& text) {
    const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

std::string WindowTest::OpenCaption() {
    if (!m_logic->Catalogue().IsValidIndex(m_logic->m_nCurrentPlugin)) return {};
    const auto file = plugin::CPluginFile::Load(m_logic->m_plugins[static_cast<size_t>(m_logic->m_nCurrentPlugin)].path);
    return file ? file->GetString("settings", "caption", "") : std::string();
}

QString WindowTest::PaneText(const char* name) {
    auto* pane = m_window->findChild<QLabel*>(QString::fromLatin1(name));
    return pane ? pane->text() : QStringLiteral("<missing>");
}

} // namespace cva::test
