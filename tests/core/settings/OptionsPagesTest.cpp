#include "core/log/ActionLogger.h"
#include "core/settings/OptionsSheet.h"
#include "platform/settings/SettingsStore.h"
#include "core/app/AppTestDoubles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cva;
using namespace cva::options;
namespace fs = std::filesystem;

namespace {

class OptionsPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_dir.File("profile/logs"));
        fs::create_directories(m_dir.File("plugins"));
        m_store.WriteProfileString(kSettings, "ProfileDir", m_dir.File("profile").c_str());
        m_store.WriteProfileString(kSettings, "PluginDir", m_dir.File("plugins").c_str());
    }
    int Stored(const char* section, const char* name) { return static_cast<int>(m_store.GetProfileInt(section, name, -7)); }
    std::string Favorites() { return test::ReadAll(m_dir.File("profile/favorites.ini")); }

    test::CTempDir m_dir;
    settings::CSettingsStore m_store{m_dir.File("config")};
    testdoubles::CRecordingPrompts m_prompts;
    COptionsSheet m_sheet{m_store, nullptr};
    SOptionsResult m_result;
};

TEST_F(OptionsPagesTest, LoggingListsLogFilesAndWritesItsChoicesOnOK) {
    test::WriteAll(m_dir.File("profile/logs/06_Dec_2026.LOG"), "x");
    test::WriteAll(m_dir.File("profile/logs/notes.txt"), "x");
    fs::create_directories(m_dir.File("profile/logs/folder.log"));
    m_sheet.ShowPage(PAGE_LOGGING);
    EXPECT_EQ(m_sheet.m_logging.Logs(), std::vector<std::string>{"06_Dec_2026"});
    EXPECT_EQ(m_sheet.m_logging.m_nCreateLog, 1);
    EXPECT_TRUE(m_sheet.m_logging.m_bClearOldLogs); // nothing stored: on

    m_sheet.m_logging.m_nCreateLog = 0;
    m_sheet.m_logging.m_bClearOldLogs = false;
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(Stored(kSettings, "CreateLog"), 0);
    EXPECT_EQ(Stored(kSettings, "ClearOldLogs"), 0);
    EXPECT_TRUE(m_result.logChanged);
}

TEST_F(OptionsPagesTest, DeletingALogClosesTheActionLogFirst) {
    logging::CActionLogger logger;
    ASSERT_EQ(logger.Open(m_dir.File("profile/logs"), 1), logging::CActionLogger::EOpenResult::Opened);
    m_sheet.ShowPage(PAGE_LOGGING);
    ASSERT_EQ(m_sheet.m_logging.Logs().size(), 1u);
    EXPECT_TRUE(m_sheet.m_logging.Delete(0, &logger));
    EXPECT_FALSE(logger.IsOpen());
    EXPECT_TRUE(m_sheet.m_logging.Logs().empty());
    EXPECT_FALSE(fs::exists(logger.FilePath()));
    EXPECT_FALSE(m_sheet.m_logging.Delete(0, &logger));
}

TEST_F(OptionsPagesTest, FoldersKeepTheStoredValueForAnEmptyFieldAndRefuseANonFolder) {
    m_sheet.ShowPage(PAGE_FOLDERS);
    m_sheet.m_folders.m_strProfileDir.clear();
    m_sheet.m_folders.m_strPluginDir = m_dir.File("nowhere");
    EXPECT_FALSE(m_sheet.OnOK(m_prompts, m_result));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_store.GetProfileString(kSettings, "PluginDir"), m_dir.File("plugins"));

    fs::create_directories(m_dir.File("other"));
    m_sheet.m_folders.m_strPluginDir = m_dir.File("other");
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_TRUE(m_result.pluginFolderChanged);
    EXPECT_FALSE(m_result.profileFolderChanged);
    EXPECT_EQ(m_store.GetProfileString(kSettings, "PluginDir"), m_dir.File("other"));
    EXPECT_EQ(m_store.GetProfileString(kSettings, "ProfileDir"), m_dir.File("profile"));
}

TEST_F(OptionsPagesTest, TreeUserAndMiscReadTheirDefaultsAndWriteTheirBits) {
    for (int page : {PAGE_TREE, PAGE_USER, PAGE_MISC}) m_sheet.ShowPage(page);
    EXPECT_TRUE(m_sheet.m_tree.m_bSingleExpand && m_sheet.m_tree.m_bSingleClick);
    EXPECT_EQ(m_sheet.m_user.m_nUserMode, 0);
    EXPECT_EQ(m_sheet.m_misc.m_nRecycle, 1);
    m_sheet.m_tree.m_bSingleClick = false;
    m_sheet.m_user.m_nUserMode = 1;
    m_sheet.m_misc.m_nRecycle = 0;
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(Stored(kSettingsLower, "TreeStyle"), 0x400);
    EXPECT_TRUE(m_result.treeStyleChanged);
    EXPECT_EQ(Stored(kSettings, "USERMODE"), 1);
    EXPECT_EQ(Stored(kSettings, "DELTO"), 0);
    EXPECT_EQ(Stored(kSettingsLower, "Option5"), 3);
}

TEST_F(OptionsPagesTest, OnlyAnExpertMaySwitchOffAConfirmation) {
    m_sheet.ShowPage(PAGE_MISC);
    EXPECT_FALSE(m_sheet.m_misc.SetConfirmation(1, false, m_prompts));
    EXPECT_TRUE(m_sheet.m_misc.m_bWarnings && m_sheet.m_misc.m_bConfirmApply);
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text, "This can be changed by experts only.");

    m_store.WriteProfileInt(kSettings, "USERMODE", 1);
    EXPECT_TRUE(m_sheet.m_misc.SetConfirmation(1, false, m_prompts));
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(Stored(kSettingsLower, "Option5"), 1);
    EXPECT_TRUE(m_sheet.m_misc.SetConfirmation(0, false, m_prompts));
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(Stored(kSettingsLower, "Option5"), 0);
}

TEST_F(OptionsPagesTest, ProfilePageKeepsTheSelectionWhenMyComputerIsChosen) {
    m_sheet.SetProfiles({"C:\\Documents and Settings\\anna", "C:\\Documents and Settings\\ben"}, 1);
    m_sheet.ShowPage(PAGE_PROFILE);
    EXPECT_EQ(m_sheet.m_profile.Labels(), (std::vector<std::string>{"anna", "ben"}));
    EXPECT_EQ(m_sheet.m_profile.StatusLine(), "Currently Selected Profile: ben");
    m_sheet.m_profile.Choose(CProfileOptions::kMyComputer);
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_FALSE(m_result.profile);
    m_sheet.m_profile.Choose(0);
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(m_result.profile, 0);
}

TEST_F(OptionsPagesTest, PagesNeverShownAndCancelWriteNothing) {
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    for (const char* name : {"CreateLog", "ClearOldLogs", "USERMODE", "DELTO", "Target"})
        EXPECT_EQ(Stored(kSettings, name), -7) << name;
    EXPECT_EQ(Stored(kSettingsLower, "TreeStyle"), -7);

    // Cancel: the pages were changed but OnOK never runs.
    test::WriteAll(m_dir.File("profile/favorites.ini"), "A=a.cvp\r\nB=b.cvp\r\n");
    {
        COptionsSheet sheet(m_store, nullptr);
        sheet.ShowPage(PAGE_FAVORITES);
        sheet.m_favorites.Delete({0});
        sheet.ShowPage(PAGE_USER);
        sheet.m_user.m_nUserMode = 1;
    }
    EXPECT_EQ(Favorites(), "A=a.cvp\r\nB=b.cvp\r\n");
    EXPECT_EQ(Stored(kSettings, "USERMODE"), -7);
}

TEST_F(OptionsPagesTest, OrganizerMovesRenamesAndDeletesOnlyTheChosenLines) {
    test::WriteAll(m_dir.File("plugins/a.cvp"), "[settings]\ncategory=Desktop::Icons\n");
    test::WriteAll(m_dir.File("profile/favorites.ini"), "A=a.cvp\r\n-\r\nB=b.cvp\r\nC=c.cvp\r\nD=d.cvp\r\n");
    m_sheet.ShowPage(PAGE_FAVORITES);
    CFavoritesOrganizer& organizer = m_sheet.m_favorites;
    ASSERT_EQ(organizer.Rows().size(), 4u);
    EXPECT_EQ(organizer.Rows()[0].category, "Desktop::Icons");
    EXPECT_EQ(organizer.Rows()[1].category, "none");

    EXPECT_FALSE(organizer.MoveUp(0));
    EXPECT_TRUE(organizer.MoveDown(0)); // A swaps with B, the separator stays
    organizer.Delete({2, 3});           // C and D
    m_prompts.inputAnswers.push_back(app::SInputBoxResult{"Be=ta", "ignored"});
    EXPECT_TRUE(organizer.Edit(0, m_prompts));
    EXPECT_EQ(m_prompts.inputRequests[0].m_caption, "Edit Favorites");
    EXPECT_EQ(m_prompts.inputRequests[0].m_text2, "b.cvp");
    EXPECT_TRUE(m_prompts.inputRequests[0].m_disabled2);
    EXPECT_EQ(Favorites(), "A=a.cvp\r\n-\r\nB=b.cvp\r\nC=c.cvp\r\nD=d.cvp\r\n"); // not before OK

    // A line another program added meanwhile survives the save.
    test::WriteAll(m_dir.File("profile/favorites.ini"), "New=n.cvp\r\nA=a.cvp\r\n-\r\nB=b.cvp\r\nC=c.cvp\r\nD=d.cvp\r\n");
    ASSERT_TRUE(m_sheet.OnOK(m_prompts, m_result));
    EXPECT_TRUE(m_result.favoritesChanged);
    EXPECT_EQ(Favorites(), "New=n.cvp\r\nBe-ta=b.cvp\r\n-\r\nA=a.cvp\r\n");
}

} // namespace
