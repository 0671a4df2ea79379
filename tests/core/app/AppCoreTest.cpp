#include "core/app/AppCore.h"

#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"
#include "platform/hive/WinePrefix.h"
#include "platform/target/TargetRegistryReader.h"
#include "support/FakeWineServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

using namespace cva;
using namespace cva::app;
namespace fs = std::filesystem;

namespace {

// A user with fresh configuration and data folders, and a program folder of its own.
class AppCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", (m_temp / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_temp / "config").c_str(), 1);
        fs::create_directories(m_temp / "program/plugins");
        m_settings = std::make_unique<settings::CSettingsStore>(m_temp / "config");
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
    }

    std::unique_ptr<CAppCore> MakeApp(const std::string& target = {}) {
        CAppCore::COptions options;
        options.m_targetSpec = target.empty() ? "sandbox:" + m_temp / "sandbox" : target;
        options.m_lockFolder = m_temp / "run";
        options.m_programFolder = m_temp / "program/";
        fs::create_directories(options.m_lockFolder);
        return std::make_unique<CAppCore>(*m_settings, options);
    }

    std::vector<std::string> m_messages;
    StartupMessage Decline() {
        return [this](const std::string& text) {
            m_messages.push_back(text);
            return false;
        };
    }

    test::CTempFolder m_temp;
    std::unique_ptr<settings::CSettingsStore> m_settings;
};

std::string Settings(settings::CSettingsStore& store, const char* name) {
    return store.GetProfileString("Settings", name);
}

} // namespace

TEST_F(AppCoreTest, StartsOnTheSandboxAndFixesItsFolders) {
    auto app = MakeApp();
    ASSERT_EQ(app->Start(Decline()), CAppCore::EStart::Run);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(app->m_nWindowsVersion, 7);
    EXPECT_EQ(app->PluginFolder(), m_temp / "program/plugins");
    EXPECT_EQ(Settings(*m_settings, "PluginDir"), m_temp / "program/plugins");
    EXPECT_EQ(app->ProfileFolder(), m_temp / "data/Meridot/Corvanta");
    EXPECT_EQ(Settings(*m_settings, "profiledir"), app->ProfileFolder());
    EXPECT_TRUE(fs::is_directory(app->LogFolder()));
    EXPECT_EQ(Settings(*m_settings, "LogViewer"), "xdg-open");
    ASSERT_TRUE(app->m_logger.IsOpen());
    EXPECT_NE(files::ReadWholeFile(app->m_logger.FilePath())->find(":: Opened CVA\r\n"), std::string::npos);
}

TEST_F(AppCoreTest, ASecondCopyOnTheSameSettingsIsToldWhoRuns) {
    auto first = MakeApp();
    ASSERT_EQ(first->Start(Decline()), CAppCore::EStart::Run);
    auto second = MakeApp();
    std::string why;
    EXPECT_EQ(second->Start(Decline(), &why), CAppCore::EStart::AlreadyRunning);
    EXPECT_EQ(why, "another copy (process " + std::to_string(getpid()) +
                       ") is running with the settings in " + m_temp / "config");
    EXPECT_TRUE(m_messages.empty());
    // Other settings (another XDG_CONFIG_HOME) make another copy that may run beside it.
    settings::CSettingsStore others(m_temp / "config2");
    CAppCore::COptions options;
    options.m_targetSpec = "sandbox:" + m_temp / "sandbox2";
    options.m_lockFolder = m_temp / "run";
    options.m_programFolder = m_temp / "program/";
    EXPECT_EQ(CAppCore(others, options).Start(Decline()), CAppCore::EStart::Run);
    first.reset();
    EXPECT_EQ(MakeApp()->Start(Decline()), CAppCore::EStart::Run);
}

TEST_F(AppCoreTest, PluginDirMustBeExactlyAPlainFolder) {
    const std::string mine = m_temp / "mine";
    fs::create_directories(mine);
    m_settings->WriteProfileString("Settings", "PluginDir", mine.c_str());
    {
        auto app = MakeApp();
        app->ReadFolderSettings();
        EXPECT_EQ(app->PluginFolder(), mine);
    }
    // A link to a folder is still that folder.
    fs::create_directory_symlink(mine, m_temp / "link");
    m_settings->WriteProfileString("Settings", "PluginDir", (m_temp / "link").c_str());
    {
        auto app = MakeApp();
        app->ReadFolderSettings();
        EXPECT_EQ(app->PluginFolder(), m_temp / "link");
    }
    // A file, a missing folder and a read-only folder are all replaced by the default.
    files::WriteFileAtomically(m_temp / "file", "x");
    chmod(mine.c_str(), 0555);
    for (std::string bad : {m_temp / "file", m_temp / "missing", mine}) {
        m_settings->WriteProfileString("Settings", "PluginDir", bad.c_str());
        auto app = MakeApp();
        app->ReadFolderSettings();
        EXPECT_EQ(app->PluginFolder(), m_temp / "program/plugins") << bad;
        EXPECT_EQ(Settings(*m_settings, "PluginDir"), m_temp / "program/plugins");
    }
    chmod(mine.c_str(), 0755);
}

TEST_F(AppCoreTest, InstalledLayoutFindsTheSharedPluginFolder) {
    fs::remove(m_temp / "program/plugins");
    fs::create_directories(m_temp / "share/corvanta/plugins");
    auto app = MakeApp();
    app->ReadFolderSettings();
    EXPECT_EQ(app->PluginFolder(), m_temp / "share/corvanta/plugins");
}

TEST_F(AppCoreTest, TheManualIsTheInstalledCopyElseTheBuildTreesDocs) {
    EXPECT_EQ(MakeApp()->ManualFile(), "");
    fs::create_directories(m_temp / "program/docs/manual");
    files::WriteFileAtomically(m_temp / "program/docs/manual/index.html", "<html>");
    EXPECT_EQ(MakeApp()->ManualFile(), m_temp / "program/docs/manual/index.html");
    fs::create_directories(m_temp / "share/doc/corvanta/manual");
    files::WriteFileAtomically(m_temp / "share/doc/corvanta/manual/index.html", "<html>");
    EXPECT_EQ(MakeApp()->ManualFile(), m_temp / "share/doc/corvanta/manual/index.html");
}

TEST_F(AppCoreTest, AStoredProfileDirIsUsedAsItStands) {
    const std::string stored = m_temp / "elsewhere/profile";
    m_settings->WriteProfileString("Settings", "ProfileDir", (stored + "/").c_str());
    auto app = MakeApp();
    app->ReadFolderSettings();
    EXPECT_EQ(app->ProfileFolder(), stored);
    EXPECT_TRUE(fs::is_directory(stored + "/logs"));
    EXPECT_EQ(Settings(*m_settings, "ProfileDir"), stored + "/");
}

TEST_F(AppCoreTest, OldTargetsWarnAndShiftKeepsGoing) {
    // A Windows 2000 sandbox: the version message appears.
    {
        auto app = MakeApp();
        ASSERT_EQ(app->Start(Decline()), CAppCore::EStart::Run);
        reg::HKEY key = nullptr;
        auto& registry = app->Target()->Registry();
        registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", 0,
                               reg::KEY_SET_VALUE, &key);
        const char v[] = "5.0";
        registry.RegSetValueExA(key, "CurrentVersion", 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>(v), 4);
        registry.RegCloseKey(key);
        app->Exit();
    }
    EXPECT_EQ(MakeApp()->Start(Decline()), CAppCore::EStart::Declined);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "This application runs only on Windows XP and above");

    bool asked = false;
    auto app = MakeApp();
    EXPECT_EQ(app->Start([&](const std::string&) { return asked = true; }), CAppCore::EStart::Run);
    EXPECT_TRUE(asked);
    EXPECT_EQ(app->m_nWindowsVersion, 6);
}

TEST_F(AppCoreTest, ARunningWineserverIsNamedAsTheReasonNotTheRights) {
    const std::string prefix = m_temp / "prefix";
    fs::create_directories(prefix);
    files::WriteFileAtomically(prefix + "/system.reg", "WINE REGISTRY Version 2\n\n#arch=win32\n");
    test::CFakeWineServer wineserver(prefix);
    EXPECT_EQ(MakeApp("wine:" + prefix)->Start(Decline()), CAppCore::EStart::Declined);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "a wineserver (process " + std::to_string(wineserver.Pid()) +
                                 ") runs for " + prefix +
                                 ": close its programs or run `wineserver -k`");
}

TEST_F(AppCoreTest, ABadTargetIsReportedNotRun) {
    std::string error;
    auto app = MakeApp("wine:" + m_temp / "no-prefix");
    EXPECT_EQ(app->Start(Decline(), &error), CAppCore::EStart::NoTarget);
    EXPECT_NE(error.find("no-prefix"), std::string::npos);
}

TEST_F(AppCoreTest, ExitPrefersRestartThenLogOffThenRunAfterExit) {
    auto app = MakeApp();
    ASSERT_EQ(app->Start(Decline()), CAppCore::EStart::Run);
    app->SetRunAfterExit("/bin/true");
    app->RequestLogoff();
    app->RequestRestart();
    std::vector<std::string> asked;
    app->ConfirmPendingRequests([&](const std::string& q) {
        asked.push_back(q);
        return true;
    });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "CVA will now Restart windows so that the changes will take place.");
    EXPECT_EQ(app->Exit(), CAppCore::EExitAction::Restart);
    // The sandbox only records the restart, in the log.
    EXPECT_NE(files::ReadWholeFile(app->m_logger.FilePath())->find("Restart of the sandbox"), std::string::npos);

    app->m_nRestartRequests = 0;
    EXPECT_EQ(app->Exit(), CAppCore::EExitAction::LogOff);
    app->m_nLogoffRequests = 0;
    EXPECT_EQ(app->Exit(), CAppCore::EExitAction::RunAfterExit);
    app->m_strRunAfterExit.clear();
    EXPECT_EQ(app->Exit(), CAppCore::EExitAction::None);
}

TEST_F(AppCoreTest, DecliningAtCloseWithdrawsOnlyThatRequest) {
    auto app = MakeApp();
    ASSERT_EQ(app->Start(Decline()), CAppCore::EStart::Run);
    app->RequestRestart();
    app->RequestLogoff();
    std::vector<std::string> asked;
    auto cancel = [&](const std::string& q) {
        asked.push_back(q);
        return false;
    };
    app->ConfirmPendingRequests(cancel);
    EXPECT_EQ(app->m_nRestartRequests, 0);
    EXPECT_EQ(app->m_nLogoffRequests, 1);
    app->ConfirmPendingRequests(cancel);
    EXPECT_EQ(asked.back(), "CVA will now LogOff windows so that the changes will take place.");
    EXPECT_EQ(app->Exit(), CAppCore::EExitAction::None);
}

TEST_F(AppCoreTest, ExitUnloadsAForeignHiveAndClearsOldLogs) {
    auto app = MakeApp();
    ASSERT_EQ(app->Start(Decline()), CAppCore::EStart::Run);
    auto hive = app->Target()->ToHostPath("C:\\Documents and Settings\\Helpdesk\\NTUSER.DAT");
    auto& registry = app->Target()->Registry();
    ASSERT_EQ(registry.RegLoadKeyA(reg::HKEY_USERS, "Corvanta", hive->c_str()), reg::ERROR_SUCCESS);

    const std::string old = app->LogFolder() + "/01_Jan_2020.log";
    const std::string kept = app->LogFolder() + "/_keep.log";
    for (const auto& path : {old, kept}) {
        files::WriteFileAtomically(path, "x");
        struct utimbuf times = {1577836800, 1577836800};
        utime(path.c_str(), &times);
    }
    m_settings->WriteProfileInt("Settings", "ClearOldLogs", 0);
    app->Exit();
    EXPECT_TRUE(fs::exists(old));
    reg::HKEY key = nullptr;
    EXPECT_NE(registry.RegOpenKeyExA(reg::HKEY_USERS, "Corvanta", 0, reg::KEY_READ, &key), reg::ERROR_SUCCESS);

    m_settings->WriteProfileInt("Settings", "ClearOldLogs", 30);
    app->Exit();
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(kept));
}
