#include "platform/settings/SettingsStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using cva::settings::CSettingsStore;
using cva::test::CTempDir;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

TEST(SettingsStore, ValuesPersistInAWineFormatFileUnderTheAppKey) {
    CTempDir dir;
    std::string folder = dir.File("config/Meridot/Corvanta");
    {
        CSettingsStore store(folder);
        EXPECT_TRUE(store.WriteProfileString("Settings", "Target", "wine:/home/u/.wine"));
        EXPECT_TRUE(store.WriteProfileInt("Settings", "ClearOldLogs", 0));
        EXPECT_TRUE(store.WriteProfileInt("Settings", "Negative", -1));
    }
    std::string text = ReadAll(folder + "/settings.reg");
    EXPECT_EQ(text.rfind("WINE REGISTRY Version 2\n", 0), 0u);
    EXPECT_NE(text.find("[Software\\\\Meridot\\\\Corvanta\\\\Settings]"), std::string::npos);
    CSettingsStore store(folder);
    EXPECT_EQ(store.GetProfileString("settings", "target"), "wine:/home/u/.wine");
    EXPECT_EQ(store.GetProfileInt("SETTINGS", "ClearOldLogs", 7), 0u);
    EXPECT_EQ(store.GetProfileInt("Settings", "Negative", 0), 0xFFFFFFFFu);
}

TEST(SettingsStore, MissingOrMistypedValuesGiveTheDefault) {
    CTempDir dir;
    CSettingsStore store(dir.Path());
    EXPECT_EQ(store.GetProfileString("Settings", "LogViewer", "notepad.exe"), "notepad.exe");
    EXPECT_EQ(store.GetProfileInt("Settings", "ClearOldLogs", 7), 7u);
    ASSERT_TRUE(store.WriteProfileString("Settings", "Text", "12"));
    ASSERT_TRUE(store.WriteProfileInt("Settings", "Number", 12));
    EXPECT_EQ(store.GetProfileInt("Settings", "Text", 5), 5u);
    EXPECT_EQ(store.GetProfileString("Settings", "Number", "none"), "none");
}

TEST(SettingsStore, NullArgumentsDeleteAsMfcDoes) {
    CTempDir dir;
    CSettingsStore store(dir.Path());
    ASSERT_TRUE(store.WriteProfileString("Settings", "A", "1"));
    ASSERT_TRUE(store.WriteProfileString("Settings", "B", "2"));
    EXPECT_TRUE(store.WriteProfileString("Settings", "A", nullptr));
    EXPECT_EQ(store.GetProfileString("Settings", "A", "gone"), "gone");
    EXPECT_EQ(store.GetProfileString("Settings", "B"), "2");
    EXPECT_TRUE(store.WriteProfileString("Settings", nullptr, nullptr));
    EXPECT_EQ(store.GetProfileString("Settings", "B", "gone"), "gone");
    EXPECT_TRUE(store.WriteProfileString("Never", "X", nullptr));
}

TEST(SettingsStore, UnreadableFileIsLeftAloneAndWritesFail) {
    CTempDir dir;
    std::string file = dir.File("settings.reg");
    WriteAll(file, "not a registry file\n");
    CSettingsStore store(dir.Path());
    EXPECT_FALSE(store.IsUsable());
    EXPECT_NE(store.LoadError().find(file + ":1:"), std::string::npos);
    EXPECT_EQ(store.GetProfileString("Settings", "Target", "sandbox"), "sandbox");
    EXPECT_FALSE(store.WriteProfileString("Settings", "Target", "x"));
    EXPECT_EQ(ReadAll(file), "not a registry file\n");
}

} // namespace

namespace {

// Two copies of the program on one settings folder (a window and cva-cli).
TEST(SettingsStore, TwoCopiesSeeAndKeepEachOthersWrites) {
    CTempDir dir;
    CSettingsStore first(dir.Path());
    CSettingsStore second(dir.Path());
    ASSERT_TRUE(first.WriteProfileString("Settings", "Target", "wine:/p"));
    EXPECT_EQ(second.GetProfileString("Settings", "Target"), "wine:/p");
    ASSERT_TRUE(second.WriteProfileInt("Settings", "CreateLog", 0));
    ASSERT_TRUE(first.WriteProfileString("Settings", "PluginDir", "/plugins"));
    CSettingsStore third(dir.Path());
    EXPECT_EQ(third.GetProfileString("Settings", "Target"), "wine:/p");
    EXPECT_EQ(third.GetProfileInt("Settings", "CreateLog", 1), 0u);
    EXPECT_EQ(third.GetProfileString("Settings", "PluginDir"), "/plugins");
}

} // namespace
