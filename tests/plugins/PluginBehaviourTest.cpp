// What the shipped plugins read from a fresh Windows XP sandbox and what they write back
// when the user changes their pages.
#include "plugins/PluginRun.h"
#include "platform/target/TargetRegistryReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace cva;
using namespace cva::test;

namespace {

const char* const kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const char* const kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kInternet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char* const kCrash = "SYSTEM\\ControlSet001\\Control\\CrashControl";

class PluginBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_target = target::CTargetSystem::Open("sandbox:" + m_dir.Path(), error);
        ASSERT_TRUE(m_target) << error;
    }
    // Parses the plugin and runs OnInit; the run is kept for the test's steps.
    CPluginRun& Open(const char* file) {
        m_plugin = ReadPlugin(std::string(CVA_PLUGIN_DIR) + "/" + file);
        m_run = std::make_unique<CPluginRun>(*m_target, m_plugin);
        EXPECT_TRUE(m_run->Parse());
        EXPECT_TRUE(m_run->Init()) << (m_run->Errors().empty() ? "" : m_run->Errors().front());
        return *m_run;
    }
    void ExpectApplied(bool ok) {
        EXPECT_TRUE(ok) << (m_run->Errors().empty() ? "" : m_run->Errors().front());
    }
    std::optional<uint32_t> Dword(reg::HKEY root, const char* key, const char* name) {
        return target::CTargetRegistryReader(m_target->Registry()).ReadDword(root, key, name);
    }
    std::optional<std::string> String(reg::HKEY root, const char* key, const char* name) {
        return target::CTargetRegistryReader(m_target->Registry()).ReadString(root, key, name);
    }

    CTempDir m_dir;
    std::unique_ptr<target::CTargetSystem> m_target;
    SPluginText m_plugin;
    std::unique_ptr<CPluginRun> m_run;
};

} // namespace

TEST_F(PluginBehaviour, ExplorerPageShowsXpDefaultsAndWritesTheFolderOptionsValues) {
    auto& run = Open("explorer_files.cvp");
    EXPECT_FALSE(run.Checked(0)); // extensions hidden
    EXPECT_FALSE(run.Checked(1)); // hidden files not shown
    EXPECT_FALSE(run.Checked(2));
    for (int i = 0; i < 3; ++i) run.SetCheck(i, true);
    ExpectApplied(run.Apply(124, 0));
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 0u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "Hidden"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "ShowSuperHidden"), 1u);
    for (int i = 0; i < 3; ++i) run.SetCheck(i, false);
    ExpectApplied(run.Apply(124, 0));
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt"), 1u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kAdvanced, "Hidden"), 2u); // 2, not 0, is "do not show"
}

TEST_F(PluginBehaviour, MenuDelayIsStoredAsTextAndEmptyMeansTheDefault) {
    auto& run = Open("menu_delay.cvp");
    EXPECT_EQ(run.Text(0), "400");
    run.SetText(0, "0050");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay"), "50");
    EXPECT_EQ(run.Logoffs(), 1);
    run.SetText(0, "99999"); // refused with a message, nothing written
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(run.Messages(), 1);
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay"), "50");
    run.SetText(0, "");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay"), "400");
}

TEST_F(PluginBehaviour, AutoRunRowsFollowTheMaskAndBothPolicyValuesAreUpdated) {
    auto& run = Open("autorun_drives.cvp");
    ASSERT_EQ(run.Rows(), 8);
    // 0x91: unknown type (bit 0), network (bit 4), reserved type (bit 7).
    for (int i = 0; i < 8; ++i) EXPECT_EQ(run.Checked(i), i == 0 || i == 4 || i == 7) << i;
    EXPECT_EQ(run.Sub(5, 1), "0x20");
    run.SetCheck(2, true);
    run.SetCheck(5, true);
    ExpectApplied(run.Apply(0, 5));
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
    EXPECT_EQ(run.Restarts(), 1); // the computer-wide policy is read at start-up
}

TEST_F(PluginBehaviour, AutoRunKeepsBitsBeyondTheDriveTypes) {
    {
        reg::HKEY key;
        ASSERT_EQ(m_target->Registry().RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, kPolicies, 0, reg::KEY_ALL_ACCESS,
                                                     &key),
                  reg::ERROR_SUCCESS);
        uint32_t mask = 0x01000091;
        m_target->Registry().RegSetValueExA(key, "NoDriveTypeAutoRun", 0, reg::REG_DWORD,
                                            reinterpret_cast<const reg::BYTE*>(&mask), 4);
        m_target->Registry().RegCloseKey(key);
    }
    auto& run = Open("autorun_drives.cvp");
    run.SetCheck(0, false);
    ExpectApplied(run.Apply(0, -1));
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kPolicies, "NoDriveTypeAutoRun"), 0x01000090u);
}

TEST_F(PluginBehaviour, StartupListRemovesOnlyAConfirmedEntry) {
    auto& run = Open("startup_run.cvp");
    ASSERT_EQ(run.Rows(), 1); // a fresh XP starts ctfmon for the user, nothing for all users
    EXPECT_EQ(run.Text(0), "ctfmon.exe");
    EXPECT_EQ(run.Sub(0, 1), "user");
    EXPECT_EQ(run.Sub(0, 2), "C:\\WINDOWS\\system32\\ctfmon.exe");
    run.AnswerMessages(7); // IDNO
    ExpectApplied(run.Apply(0, 0));
    EXPECT_TRUE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(run.Rows(), 1);
    run.AnswerMessages(6); // IDYES
    ExpectApplied(run.Apply(0, 0));
    EXPECT_FALSE(String(reg::HKEY_CURRENT_USER, kRun, "ctfmon.exe"));
    EXPECT_EQ(run.Rows(), 0);
}

TEST_F(PluginBehaviour, IeLimitsAreAbsentByDefaultAndRemovedAgainForTheBuiltInLimits) {
    auto& run = Open("ie_connections.cvp");
    EXPECT_TRUE(run.Checked(0));
    EXPECT_EQ(run.Text(1), "2");
    EXPECT_EQ(run.Text(2), "4");
    EXPECT_FALSE(run.Enabled(1));
    run.SetCheck(0, false);
    ASSERT_TRUE(run.Call(u"OnEvent", 0, 0));
    EXPECT_TRUE(run.Enabled(1));
    run.SetText(1, "8");
    run.SetText(2, "16");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPerServer"), 8u);
    EXPECT_EQ(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPer1_0Server"), 16u);
    run.SetCheck(0, true);
    ExpectApplied(run.Apply(0, 0));
    EXPECT_FALSE(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPerServer"));
    EXPECT_FALSE(Dword(reg::HKEY_CURRENT_USER, kInternet, "MaxConnectionsPer1_0Server"));
}

TEST_F(PluginBehaviour, AutomaticLogonKeepsAPasswordValueWhileOnAndRemovesItWhenOff) {
    auto& run = Open("autologon.cvp");
    EXPECT_EQ(run.Text(0), ""); // off in a fresh Windows
    EXPECT_EQ(run.Text(2), m_target->ComputerName());
    run.SetText(0, "Helpdesk");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon"), "1");
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"), "Helpdesk");
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultPassword"), ""); // present, empty
    EXPECT_EQ(run.Restarts(), 1);
    run.SetText(0, "");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "AutoAdminLogon"), "0");
    EXPECT_FALSE(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultPassword"));
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, kWinlogon, "DefaultUserName"), "Helpdesk");
}

TEST_F(PluginBehaviour, CrashDumpChoiceGoesThroughTheCurrentControlSet) {
    auto& run = Open("crash_dump.cvp");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(run.Checked(i), i == 3) << i; // small dump
    run.SetCheck(3, false);
    run.SetCheck(2, true);
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(Dword(reg::HKEY_LOCAL_MACHINE, kCrash, "CrashDumpEnabled"), 2u);
    EXPECT_EQ(run.Restarts(), 1);
}

TEST_F(PluginBehaviour, ShutdownTimesAreTextAndTheServiceTimeAsksForARestart) {
    auto& run = Open("shutdown_timeouts.cvp");
    EXPECT_FALSE(run.Checked(0));
    EXPECT_EQ(run.Text(1), "20000");
    EXPECT_EQ(run.Text(2), "5000");
    EXPECT_EQ(run.Text(3), "20000");
    run.SetCheck(0, true);
    run.SetText(1, "4000");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "AutoEndTasks"), "1");
    EXPECT_EQ(String(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "WaitToKillAppTimeout"), "4000");
    EXPECT_EQ(run.Logoffs(), 1);
    EXPECT_EQ(run.Restarts(), 0);
    run.SetText(3, "5000");
    ExpectApplied(run.Apply(0, 0));
    EXPECT_EQ(String(reg::HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Control", "WaitToKillServiceTimeout"),
              "5000");
    EXPECT_EQ(run.Restarts(), 1);
}

TEST_F(PluginBehaviour, GuideLinksSwitchBetweenItsParts) {
    auto& run = Open("catalogue_guide.cvp");
    EXPECT_NE(run.Text(0).find("cva:3"), std::string::npos);
    ExpectApplied(run.Apply(0, 3));
    EXPECT_NE(run.Text(0).find("Memory dump after a stop error: small"), std::string::npos);
    EXPECT_NE(run.Text(0).find("Programs started at log-on: 1 for this user, 0 for all users"),
              std::string::npos);
}
