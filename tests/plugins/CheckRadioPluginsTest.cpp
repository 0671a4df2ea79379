// The check-box and radio-button plugins: what they show on a fresh Windows XP and what
// the user's clicks write when Apply is pressed.
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageRadio.h"
#include "plugins/PluginFixture.h"

using namespace cva;
using namespace cva::test;

using ExplorerFilesPlugin = PluginOnTarget;
using CrashPlugins = PluginOnTarget;
using MemoryAndFileSystemPlugins = PluginOnTarget;

TEST_F(ExplorerFilesPlugin, ShowsTheXpDefaultsAndWritesTheFolderOptionsValues) {
    auto& page = Open("explorer_files.cvp").PageAs<pages::CPropertyPageCheck>();
    EXPECT_EQ(page.IsItemChecked(0), 0); // extensions hidden
    EXPECT_EQ(page.IsItemChecked(1), 0); // hidden files not shown
    EXPECT_EQ(page.IsItemChecked(2), 0);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(page.ClickItem(i));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 0u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "Hidden"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "ShowSuperHidden"), 1u);

    for (int i = 0; i < 3; ++i) ASSERT_TRUE(page.ClickItem(i));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "Hidden"), 2u); // 2, not 0, is "do not show"
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "ShowSuperHidden"), 0u);
    // Explorer picks these up on a refresh: no log-off needed.
    EXPECT_EQ(m_plugin->Logoffs(), 0);
    EXPECT_EQ(m_plugin->Restarts(), 0);
}

TEST_F(ExplorerFilesPlugin, AppliedValuesAreOnDiskWhenTheTargetIsOpenedAgain) {
    auto& page = Open("explorer_files.cvp").PageAs<pages::CPropertyPageCheck>();
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickApply());
    ClosePlugin();
    m_target.reset();

    std::string error;
    m_target = target::CTargetSystem::Open("sandbox:" + m_dir.Path(), error);
    ASSERT_TRUE(m_target) << error;
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 0u);
    EXPECT_EQ(Open("explorer_files.cvp").Page().IsItemChecked(0), 1);
}

TEST_F(CrashPlugins, DumpChoiceGoesThroughTheCurrentControlSet) {
    auto& page = Open("crash_dump.cvp").PageAs<pages::CPropertyPageRadio>();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(page.IsItemChecked(i), i == 3 ? 1 : 0) << i; // small dump
    ASSERT_TRUE(page.ClickItem(2));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kCrash, "CrashDumpEnabled"), 2u);
    EXPECT_EQ(m_plugin->Restarts(), 1);
}

TEST_F(CrashPlugins, DumpValueOutsideTheFourChoicesSelectsNoneAndIsKeptUntilOneIsPicked) {
    SetDword(reg::HKEY_LOCAL_MACHINE, kCrash, "CrashDumpEnabled", 7);
    auto& page = Open("crash_dump.cvp").PageAs<pages::CPropertyPageRadio>();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(page.IsItemChecked(i), 0) << i;
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kCrash, "CrashDumpEnabled"), 0u);
}

TEST_F(CrashPlugins, BehaviourBoxesStartAllOnAndOnlyTheClearedOneIsWritten) {
    auto& page = Open("crash_behaviour.cvp").PageAs<pages::CPropertyPageCheck>();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(page.IsItemChecked(i), 1) << i;
    std::string before = RegistrySnapshot(*m_target);
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kCrash, "AutoReboot"), 0u);
    EXPECT_EQ(ChangedLines(before, RegistrySnapshot(*m_target)),
              "- \"AutoReboot\"=dword:00000001\n+ \"AutoReboot\"=dword:00000000\n");
    EXPECT_EQ(m_plugin->Restarts(), 1);
}

TEST_F(MemoryAndFileSystemPlugins, PagingSettingsAreOffOnXpAndTurnOnWithARestart) {
    auto& page = Open("memory_paging.cvp").PageAs<pages::CPropertyPageCheck>();
    EXPECT_EQ(page.IsItemChecked(0), 0);
    EXPECT_EQ(page.IsItemChecked(1), 0);
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kMemory, "ClearPageFileAtShutdown"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kMemory, "DisablePagingExecutive"), 0u);
    EXPECT_EQ(m_plugin->Restarts(), 1);
}

TEST_F(MemoryAndFileSystemPlugins, NtfsHousekeepingWritesBothFlags) {
    auto& page = Open("ntfs_options.cvp").PageAs<pages::CPropertyPageCheck>();
    EXPECT_EQ(page.IsItemChecked(0), 0);
    EXPECT_EQ(page.IsItemChecked(1), 0);
    ASSERT_TRUE(page.ClickItem(0));
    ASSERT_TRUE(page.ClickItem(1));
    ASSERT_TRUE(page.ClickApply());
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kFileSystem, "NtfsDisableLastAccessUpdate"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kFileSystem, "NtfsDisable8dot3NameCreation"), 1u);
    EXPECT_EQ(m_plugin->Restarts(), 1);
}
