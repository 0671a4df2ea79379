#include "core/app/AppCore.h"
#include "core/app/AppTestDoubles.h"
#include "core/registry/FavoritesMenus.h"
#include "core/settings/OptionsSheet.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "support/FakeWineServer.h"
#include "support/TempDir.h"
#include "support/WindowsDisk.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace cva;
using namespace cva::options;
namespace fs = std::filesystem;

namespace {

class TargetOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", m_dir.File("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", m_dir.File("config").c_str(), 1);
        fs::create_directories(m_dir.File("program/plugins"));
        test::MakeWineShapedPrefix(m_dir.File("prefix"));
        app::CAppCore::COptions options;
        options.m_targetSpec = "sandbox:" + m_dir.File("sandbox");
        options.m_lockFolder = m_dir.File("run");
        options.m_programFolder = m_dir.File("program");
        m_core = std::make_unique<app::CAppCore>(m_store, options);
        std::string why;
        ASSERT_EQ(m_core->Start([](const std::string&) { return true; }, &why), app::CAppCore::EStart::Run) << why;
    }
    void TearDown() override {
        m_core.reset();
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
    }

    test::CTempDir m_dir;
    settings::CSettingsStore m_store{m_dir.File("config")};
    std::unique_ptr<app::CAppCore> m_core;
    testdoubles::CRecordingPrompts m_prompts;
    SOptionsResult m_result;
};

TEST_F(TargetOptionsTest, ListsTheOpenTargetWithItsVersionAndRefusesAFolderThatIsNoPrefix) {
    COptionsSheet sheet(m_store, m_core->Target());
    sheet.ShowPage(PAGE_TARGET);
    const auto& candidates = sheet.m_target.Candidates();
    ASSERT_GE(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].label, "Sandbox: " + m_dir.File("sandbox"));
    EXPECT_EQ(candidates[0].version, "Windows XP Service Pack 3 (5.1.2600)");
    EXPECT_TRUE(candidates[0].writable);
    EXPECT_EQ(candidates[1].label, "Sandbox");

    fs::create_directories(m_dir.File("plain"));
    EXPECT_FALSE(sheet.m_target.AddWinePrefix(m_dir.File("plain"), m_prompts));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_NE(m_prompts.messages[0].text.find("is not a Wine prefix"), std::string::npos);
    ASSERT_TRUE(sheet.OnOK(m_prompts, m_result));
    EXPECT_FALSE(m_result.target);
    EXPECT_EQ(m_store.GetProfileString(kSettings, "Target"), "");
}

TEST_F(TargetOptionsTest, ChoosingAPrefixStoresItAndTheCoreSwitchesInPlace) {
    COptionsSheet sheet(m_store, m_core->Target());
    sheet.ShowPage(PAGE_TARGET);
    ASSERT_TRUE(sheet.m_target.AddWinePrefix(m_dir.File("prefix") + "/", m_prompts));
    const STargetCandidate& chosen = sheet.m_target.Candidates()[static_cast<size_t>(sheet.m_target.m_nSelected)];
    EXPECT_TRUE(chosen.usable && chosen.writable);
    ASSERT_TRUE(sheet.OnOK(m_prompts, m_result));
    ASSERT_TRUE(m_result.target);
    EXPECT_EQ(m_store.GetProfileString(kSettings, "Target"), "wine:" + m_dir.File("prefix"));

    target::CTargetSystem* before = m_core->Target();
    std::string why;
    ASSERT_TRUE(m_core->SwitchTarget(*m_result.target, &why)) << why;
    EXPECT_EQ(m_core->Target(), before);
    EXPECT_EQ(m_core->Target()->Kind(), target::TargetKind::Wine);
    EXPECT_EQ(target::TargetLabel(m_core->Target()->Spec()), "Wine: " + m_dir.File("prefix"));
    // A Wine target brings its own tools to a profile that has none.
    EXPECT_EQ(test::ReadAll(m_core->ProfileFolder() + "/tools.ini"),
              "Registry Editor=regedit.exe\r\nNotepad=notepad.exe\r\nWine Configuration=winecfg.exe\r\n");

    EXPECT_FALSE(m_core->SwitchTarget(target::CRegistrySpec{target::TargetKind::Wine, m_dir.File("plain")}, &why));
    EXPECT_EQ(m_core->Target()->Kind(), target::TargetKind::Wine);
}

TEST_F(TargetOptionsTest, AWindowsDiskIsListedWithItsVersionAndAnyOtherFolderRefusedWithTheReason) {
    if (test::WindowsHives().empty())
        GTEST_SKIP() << "the Windows hives are not beside the source tree";
    COptionsSheet sheet(m_store, m_core->Target());
    sheet.ShowPage(PAGE_TARGET);
    const size_t listed = sheet.m_target.Candidates().size();
    EXPECT_FALSE(sheet.m_target.AddOfflineDisk(m_dir.File("prefix"), m_prompts));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_NE(m_prompts.messages[0].text.find("is not the root of a Windows partition"),
              std::string::npos);
    EXPECT_EQ(sheet.m_target.Candidates().size(), listed);

    ASSERT_TRUE(test::MakeWindowsDisk(m_dir.File("disk")));
    ASSERT_TRUE(sheet.m_target.AddOfflineDisk(m_dir.File("disk"), m_prompts));
    const STargetCandidate& chosen =
        sheet.m_target.Candidates()[static_cast<size_t>(sheet.m_target.m_nSelected)];
    EXPECT_EQ(chosen.label, "Offline: " + m_dir.File("disk"));
    EXPECT_EQ(chosen.version, "Windows 10 (10.0.19045)");
    EXPECT_TRUE(chosen.writable);
    ASSERT_TRUE(sheet.OnOK(m_prompts, m_result));
    EXPECT_EQ(m_store.GetProfileString(kSettings, "Target"), "offline:" + m_dir.File("disk"));
}

TEST_F(TargetOptionsTest, TheOpenPrefixTurnsReadOnlyOnceAWineserverRunsForIt) {
    const std::string prefix = m_dir.File("prefix");
    std::string why;
    ASSERT_TRUE(m_core->SwitchTarget(target::CRegistrySpec{target::TargetKind::Wine, prefix}, &why)) << why;
    test::CFakeWineServer wineserver(prefix);
    const STargetCandidate probed = ProbeTarget(m_core->Target()->Spec(), m_core->Target());
    EXPECT_FALSE(probed.writable);
    EXPECT_EQ(probed.note, "read-only now: a wineserver (process " + std::to_string(wineserver.Pid()) +
                               ") runs for " + prefix + ": close its programs or run `wineserver -k`");
}

TEST_F(TargetOptionsTest, ToolsOnTheSandboxExplainWhyTheyDoNotRun) {
    EXPECT_FALSE(fs::exists(m_core->ProfileFolder() + "/tools.ini")); // the sandbox has none
    test::WriteAll(m_core->ProfileFolder() + "/tools.ini", "Registry Editor=regedit.exe\r\n");
    EXPECT_FALSE(registry::CFavoritesMenus::WriteDefaultTools(m_core->ProfileFolder(), true));
    registry::CFavoritesMenus menus(m_store, 7);
    const int result = menus.OnTool(registry::kToolFirstId, *m_core->Target());
    EXPECT_LE(result, 32);
    EXPECT_NE(menus.ToolFailureText(registry::kToolFirstId, result, *m_core->Target())
                  .find("\"Registry Editor\" cannot run: the sandbox"),
              std::string::npos);
}

} // namespace
