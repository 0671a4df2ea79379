// The window's frame: status panes, commands' states, and how it closes.
#include "gui/window/WindowFixture.h"

#include "gui/window/TreeCtrlEx.h"

#include "gui/controls/HTMLStatic.h"
#include "gui/window/GfxOutBarCtrl.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include <filesystem>

namespace cva::test {

namespace {

TEST_F(WindowTest, LevelPaneShowsNameAndIconAndClears) {
    m_window->SetLevelIndicator(4);
    EXPECT_EQ(PaneText("paneLevel"), QStringLiteral("Critical"));
    EXPECT_TRUE(m_window->findChild<QLabel*>(QStringLiteral("paneLevelIcon"))->isVisible());
    m_window->SetLevelIndicator(-1);
    EXPECT_EQ(PaneText("paneLevel"), QString());
    EXPECT_FALSE(m_window->findChild<QLabel*>(QStringLiteral("paneLevelIcon"))->isVisible());
}

TEST_F(WindowTest, RequestPaneShowsARestartWhileItIsPending) {
    EXPECT_EQ(PaneText("paneRequest"), QString());
    m_logic->AddLogoffRequest();
    m_logic->AddRestartRequest();
    m_window->UpdateCommandUI();
    EXPECT_EQ(PaneText("paneRequest"), QStringLiteral("Restart"));
    EXPECT_TRUE(m_window->findChild<QLabel*>(QStringLiteral("paneRequestIcon"))->isVisible());
}

TEST_F(WindowTest, ProfilePaneShowsTheChosenUserWithItsIcon) {
    const QString computer = QString::fromStdString(m_core->Target()->ComputerName());
    EXPECT_EQ(PaneText("paneProfile"), QStringLiteral("Profile: ") + computer + "\\" +
                                           QString::fromStdString(m_core->Target()->UserName()));
    EXPECT_TRUE(m_window->findChild<QLabel*>(QStringLiteral("paneProfileIcon"))->isVisible());
    m_logic->m_nProfile = static_cast<int>(m_logic->m_arrProfiles.size()) - 1;
    m_logic->LoadSettings();
    EXPECT_EQ(PaneText("paneProfile"), QStringLiteral("Profile: ") + computer + "\\Administrator");
}

TEST_F(WindowTest, PluginCommandsFollowTheOpenPlugin) {
    m_window->UpdateCommandUI();
    EXPECT_FALSE(m_window->Command(gui::ID_INFORMATION)->isEnabled());
    EXPECT_FALSE(m_window->Command(gui::ID_ADD_FAVORITE)->isEnabled());
    EXPECT_TRUE(m_window->Command(gui::ID_VIEW_ALL)->isChecked());
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    EXPECT_TRUE(m_window->Command(gui::ID_INFORMATION)->isEnabled());
    EXPECT_TRUE(m_window->Command(gui::ID_ADD_FAVORITE)->isEnabled());
}

TEST_F(WindowTest, ExportTweakAddsThePagesKeysToTheChosenFile) {
    WriteAll(m_dir.File("plugins/a1.cvp"), "[settings]\ncaption=Basics::one\ncategory=Alpha::Basics::one\n"
                                           "[interface]\ntype=check\nText0=x\n[Export]\nVal0=HKCU\\Software\\Ex\\v\n"
                                           "[script]\nSub OnInit()\nRegWriteValueD \"HKCU\\Software\\Ex\\v\", 7\nEnd Sub\n");
    m_window->UpdateCommandUI();
    EXPECT_FALSE(m_window->Command(gui::ID_EXPORT)->isEnabled());
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    ASSERT_TRUE(m_window->Command(gui::ID_EXPORT)->isEnabled());
    m_window->Command(gui::ID_EXPORT)->trigger(); // cancelled: nothing written
    EXPECT_EQ(m_prompts.m_proposed, "Basics one.reg");

    const std::string file = m_dir.File("one.reg");
    WriteAll(file, "REGEDIT4\r\n");
    m_prompts.m_savePath = file;
    m_prompts.m_answer = app::IDYES; // add to the existing file
    m_window->Command(gui::ID_EXPORT)->trigger();
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_NE(m_prompts.m_asked[0].find("already exists"), std::string::npos);
    EXPECT_EQ(ReadAll(file), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ex]\r\n\"v\"=dword:00000007\r\n");
}

TEST_F(WindowTest, EnterInATreeShowsTheOpenPluginsInformation) {
    gui::CTreeCtrlEx* tree = m_window->OutBar() ? m_window->CurrentTree() : nullptr;
    ASSERT_NE(tree, nullptr);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(m_window->findChild<QDialog*>(QStringLiteral("infoSheet")), nullptr); // nothing open yet
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    QTest::keyClick(tree, Qt::Key_Return);
    auto* sheet = m_window->findChild<QDialog*>(QStringLiteral("infoSheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Corvanta"));
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("sheetHeading"))->text(), QStringLiteral("Information"));
    EXPECT_EQ(sheet->findChild<gui::CHTMLStatic*>(QStringLiteral("author1070"))->Text(), "Tester");
    const QString path = sheet->findChild<QPlainTextEdit*>(QStringLiteral("file1042"))->toPlainText();
    EXPECT_TRUE(path.endsWith(QStringLiteral("/a1.cvp"))) << path.toStdString();
}

// The mark goes straight into the plugin file; a file kept read-only stays as it is.
TEST_F(WindowTest, PopularMarkIsWrittenIntoThePluginFileUnlessItIsReadOnly) {
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    const std::string path = m_dir.File("plugins/a1.cvp");
    const std::string before = ReadAll(path);
    auto withGroup = [&before](const char* group) {
        std::string text = before;
        return text.insert(text.find("\n\n[interface]") + 1, std::string("GROUP=") + group + "\n");
    };
    m_window->Command(gui::ID_INFORMATION)->trigger();
    auto* popular = m_window->findChild<QCheckBox*>(QStringLiteral("popular1040"));
    ASSERT_NE(popular, nullptr);
    EXPECT_TRUE(popular->isEnabled());
    EXPECT_FALSE(popular->isChecked());
    QTest::mouseClick(popular, Qt::LeftButton, {}, QPoint(6, popular->height() / 2));
    EXPECT_EQ(ReadAll(path), withGroup("1"));
    QTest::mouseClick(popular, Qt::LeftButton, {}, QPoint(6, popular->height() / 2));
    EXPECT_EQ(ReadAll(path), withGroup("0"));

    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    QTest::mouseClick(popular, Qt::LeftButton, {}, QPoint(6, popular->height() / 2));
    EXPECT_FALSE(popular->isChecked());
    EXPECT_EQ(ReadAll(path), withGroup("0"));
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_NE(m_prompts.m_asked[0].find("is read-only"), std::string::npos) << m_prompts.m_asked[0];
}

TEST_F(WindowTest, AlertBalloonShowsItsTextAndClosesOnAClick) {
    m_window->ShowAlert("Alert", "Careful with this page");
    auto* text = m_window->findChild<QLabel*>(QStringLiteral("alertText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Careful with this page"));
    // A second alert replaces the first rather than stacking on it.
    m_window->ShowAlert("Alert", "Second");
    QApplication::processEvents();
    QList<QLabel*> texts = m_window->findChildren<QLabel*>(QStringLiteral("alertText"));
    QPointer<QWidget> balloon;
    int visible = 0;
    for (QLabel* label : texts)
        if (label->isVisible()) {
            ++visible;
            balloon = label->parentWidget();
        }
    ASSERT_EQ(visible, 1);
    QTest::mouseClick(balloon, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(!balloon || !balloon->isVisible());
}

TEST_F(WindowTest, AlertBalloonClosesWhenAnotherPageIsShown) {
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    m_window->ShowAlert("Alert", "Careful with this page");
    QPointer<QWidget> balloon = m_window->findChild<QWidget*>(QStringLiteral("alertBalloon"));
    ASSERT_TRUE(balloon && balloon->isVisible());
    // The next page comes through the catalogue, not through a click in the tree.
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    EXPECT_TRUE(!balloon || !balloon->isVisible());
}

TEST_F(WindowTest, VisitWebsiteWithoutABrowserSaysSo) {
    // This platform opens no addresses, as a desktop without a browser or xdg-open.
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    m_window->Command(gui::ID_WEBSITE)->trigger();
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_EQ(m_prompts.m_asked[0].rfind("No web browser was found to open https://", 0), 0u);
}

TEST_F(WindowTest, ViewsRebuildTheBarAndCheckTheirMenuItem) {
    m_window->Command(gui::ID_VIEW_APPLIED)->trigger();
    m_window->UpdateCommandUI();
    EXPECT_TRUE(m_window->Command(gui::ID_VIEW_APPLIED)->isChecked());
    EXPECT_FALSE(m_window->Command(gui::ID_VIEW_ALL)->isChecked());
    EXPECT_EQ(m_window->OutBar()->FolderCount(), m_logic->Catalogue().GetFolderCount());
    m_window->Command(gui::ID_VIEW_ALL)->trigger();
    QApplication::processEvents();
    ASSERT_EQ(m_window->OutBar()->FolderCount(), 2);
    // The new trees answer as the old ones did: the first press selects the first
    // category, the second its first page.
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    m_window->Command(gui::ID_NEXT_PAGE)->trigger();
    EXPECT_NE(m_logic->m_nCurrentPlugin, -1);
    EXPECT_EQ(m_window->CurrentTree()->currentItem()->text(0).toStdString(), OpenCaption());
}

TEST_F(WindowTest, APluginFileOnTheCommandLineIsTheWholeCatalogue) {
    m_window->StartCatalogue(m_dir.File("plugins/b1.cvp"));
    QApplication::processEvents();
    ASSERT_EQ(m_window->OutBar()->FolderCount(), 1);
    EXPECT_EQ(m_logic->Catalogue().Folder(0).name, "Beta");
}

TEST_F(WindowTest, F1OpensTheManualOrSaysWhyItCannot) {
    QApplication::setActiveWindow(m_window.get());
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    // The offscreen platform opens nothing: found or not, the manual is reported.
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_NE(m_prompts.m_asked[0].find("user manual"), std::string::npos) << m_prompts.m_asked[0];
}

TEST_F(WindowTest, EscapeNeverClosesTheWindow) {
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(WindowTest, CloseBoxAsksAboutTheRestartAndCancelWithdrawsIt) {
    m_logic->AddRestartRequest();
    m_prompts.m_answer = app::IDCANCEL;
    m_window->close();
    EXPECT_FALSE(m_window->isVisible());
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_NE(m_prompts.m_asked[0].find("Restart"), std::string::npos);
    EXPECT_EQ(m_core->m_nRestartRequests, 0);
}

TEST_F(WindowTest, ExitEndsWithoutQuestionsAndKeepsTheRequests) {
    m_logic->AddRestartRequest();
    m_window->Command(gui::ID_EXIT)->trigger();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_TRUE(m_prompts.m_asked.empty());
    EXPECT_EQ(m_core->m_nRestartRequests, 1);
}

TEST_F(WindowTest, PlacementIsRestoredByTheNextWindow) {
    m_window->setGeometry(40, 50, 700, 480);
    m_window->Command(gui::ID_EXIT)->trigger();
    m_window.reset();
    gui::CApplicationWindow next(*m_logic, *m_store);
    EXPECT_EQ(next.geometry(), QRect(40, 50, 700, 480));
}

TEST_F(WindowTest, AScriptsQuitClosesAfterTheRoutineWithoutQuestions) {
    m_logic->AddRestartRequest();
    m_window->RequestQuit();
    // The routine that asked is still running: the window stays until control returns.
    EXPECT_TRUE(m_window->isVisible());
    QTRY_VERIFY(!m_window->isVisible());
    EXPECT_TRUE(m_prompts.m_asked.empty());
    EXPECT_EQ(m_core->m_nRestartRequests, 1);
}

} // namespace

} // namespace cva::test
