#include "gui/window/WindowFixture.h"

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

TEST_F(WindowTest, TheTargetPageSwitchesTheOpenWindowToAWinePrefix) {
    EXPECT_EQ(PaneText("paneTarget").toStdString(), "Sandbox: " + m_dir.File("sandbox"));
    MakeWineShapedPrefix(m_dir.File("prefix"));
    m_prompts.m_folder = m_dir.File("prefix");
    WhileSheetOpen([](gui::COptionsSheetDlg& sheet) {
        sheet.ShowPage(options::PAGE_TARGET);
        sheet.findChild<QPushButton*>("addPrefix")->click();
        sheet.accept();
    });
    m_window->Command(gui::ID_OPTIONS)->trigger();
    EXPECT_EQ(m_core->Target()->Kind(), target::TargetKind::Wine);
    EXPECT_EQ(PaneText("paneTarget").toStdString(), "Wine: " + m_dir.File("prefix"));
    EXPECT_EQ(m_store->GetProfileString("Settings", "Target"), "wine:" + m_dir.File("prefix"));
    EXPECT_GT(m_window->OutBar()->FolderCount(), 0);
}

} // namespace cva::test
