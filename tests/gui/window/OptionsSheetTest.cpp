#include "gui/window/WindowFixture.h"

#include "core/app/UserProfiles.h"
#include "core/settings/OptionsSheet.h"
#include "gui/options/OptionsSheetDlg.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "platform/target/TargetSystem.h"
#include "support/WinePrefix.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace cva::test {

namespace {

// Runs `inside` on the sheet once the window's command has opened it modally.
void WhileSheetOpen(const std::function<void(gui::COptionsSheetDlg&)>& inside) {
    QTimer::singleShot(0, [inside] {
        auto* sheet = qobject_cast<gui::COptionsSheetDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        inside(*sheet);
    });
}

} // namespace

TEST_F(WindowTest, OrganizeOpensTheSheetAtFavoritesAndCancelKeepsTheFile) {
    WriteAll(m_core->ProfileFolder() + "/favorites.ini", "One=a1.cvp\r\nFour=b1.cvp\r\n");
    WhileSheetOpen([](gui::COptionsSheetDlg& sheet) {
        EXPECT_EQ(sheet.findChild<QLabel*>("pageCaption")->text(), "Favorites");
        auto* list = sheet.findChild<QTreeWidget*>("list1051");
        ASSERT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(1), "Alpha::Basics::one");
        list->topLevelItem(0)->setSelected(true);
        sheet.findChild<QPushButton*>("delete1052")->click();
        EXPECT_EQ(list->topLevelItemCount(), 1);
        sheet.reject();
    });
    m_window->Command(gui::ID_ORGANIZE)->trigger();
    EXPECT_EQ(ReadAll(m_core->ProfileFolder() + "/favorites.ini"), "One=a1.cvp\r\nFour=b1.cvp\r\n");
}

TEST_F(WindowTest, OptionsOKWritesWhatChangedAndTheExpertGuardHolds) {
    options::COptionsSheet model(*m_store, m_core->Target());
    gui::COptionsSheetDlg sheet(model, m_prompts, nullptr, options::PAGE_TREE);
    sheet.findChild<QCheckBox*>("singleClick")->click();
    sheet.ShowPage(options::PAGE_MISC);
    auto* confirm = sheet.findChild<QCheckBox*>("confirmApply");
    confirm->click();
    EXPECT_TRUE(confirm->isChecked());
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_EQ(m_prompts.m_asked[0], "This can be changed by experts only.");
    sheet.accept();
    EXPECT_EQ(m_store->GetProfileInt("settings", "TreeStyle", 0), 0x400u);
    EXPECT_EQ(m_store->GetProfileInt("settings", "Option5", 0), 3u);
}

TEST_F(WindowTest, NoLogClosesTheActionLogOnOK) {
    ASSERT_TRUE(m_core->m_logger.IsOpen());
    WhileSheetOpen([](gui::COptionsSheetDlg& sheet) {
        sheet.findChild<QRadioButton*>("noLog")->click();
        sheet.accept();
    });
    m_window->Command(gui::ID_OPTIONS)->trigger();
    EXPECT_FALSE(m_core->m_logger.IsOpen());
    EXPECT_EQ(m_store->GetProfileInt("Settings", "CreateLog", 1), 0u);
}

TEST_F(WindowTest, TargetPageRefusesAFolderThatIsNoWinePrefix) {
    m_prompts.m_folder = m_dir.File("plugins");
    options::COptionsSheet model(*m_store, m_core->Target());
    gui::COptionsSheetDlg sheet(model, m_prompts, nullptr, options::PAGE_TARGET);
    auto* list = sheet.findChild<QTreeWidget*>("targetList");
    const int before = list->topLevelItemCount();
    sheet.findChild<QPushButton*>("addPrefix")->click();
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_NE(m_prompts.m_asked[0].find("is not a Wine prefix"), std::string::npos);
    EXPECT_EQ(list->topLevelItemCount(), before);
    sheet.accept();
    EXPECT_EQ(m_store->GetProfileString("Settings", "Target"), "");
}

TEST_F(WindowTest, TheProfilePageLoadsAUserAndTheTargetPageSwitchesToAWinePrefixAndItsUsers) {
    const int helpdesk = app::FindProfile(m_logic->m_arrProfiles, "Helpdesk");
    ASSERT_GT(helpdesk, 0);
    WhileSheetOpen([helpdesk](gui::COptionsSheetDlg& sheet) {
        sheet.ShowPage(options::PAGE_PROFILE);
        auto* tree = sheet.findChild<QTreeWidget*>("profileTree");
        tree->setCurrentItem(tree->topLevelItem(0)->child(helpdesk));
        sheet.accept();
    });
    m_window->Command(gui::ID_OPTIONS)->trigger();
    EXPECT_EQ(m_logic->m_nProfile, helpdesk);
    EXPECT_NE(m_logic->m_hUserHive, nullptr);
    EXPECT_TRUE(PaneText("paneProfile").endsWith("\\Helpdesk"));

    EXPECT_EQ(PaneText("paneTarget").toStdString(), "Sandbox: " + m_dir.File("sandbox"));
    MakeWineShapedPrefix(m_dir.File("prefix"));
    m_prompts.m_folder = m_dir.File("prefix");
    WhileSheetOpen([](gui::COptionsSheetDlg& sheet) {
        sheet.ShowPage(options::PAGE_TARGET);
        sheet.findChild<QPushButton*>("addPrefix")->click();
        sheet.accept();
    });
    m_window->Command(gui::ID_OPTIONS)->trigger();
    ASSERT_EQ(m_core->Target()->Kind(), target::TargetKind::Wine);
    EXPECT_EQ(PaneText("paneTarget").toStdString(), "Wine: " + m_dir.File("prefix"));
    EXPECT_EQ(m_store->GetProfileString("Settings", "Target"), "wine:" + m_dir.File("prefix"));
    EXPECT_GT(m_window->OutBar()->FolderCount(), 0);
    EXPECT_EQ(m_logic->m_nProfile, 0);
    EXPECT_EQ(m_logic->m_hUserHive, nullptr);
    EXPECT_EQ(m_logic->m_arrProfiles, std::vector<std::string>{m_core->Target()->UserName()});
    // Helpdesk's hive went with the sandbox instead of staying loaded there.
    std::string why;
    auto sandbox = target::CTargetSystem::Open("sandbox:" + m_dir.File("sandbox"), why);
    reg::HKEY key = nullptr;
    EXPECT_EQ(sandbox->Registry().RegOpenKeyExA(reg::HKEY_USERS, app::kUserHiveMount, 0,
                                                reg::KEY_READ, &key),
              reg::ERROR_FILE_NOT_FOUND);
}

} // namespace cva::test
