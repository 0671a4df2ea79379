// Runs the built cva-cli over the shipped plugins on temporary sandboxes, and checks
// what it changed through cva-reg, as an administrator scripting tweaks would.
#include "platform/hive/WinePrefix.h"
#include "platform/settings/SettingsStore.h"
#include "support/LockHolder.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"
#include "support/WindowsDisk.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>
#include <hivex.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using cva::test::CLockHolder;
using cva::test::CTempDir;
using cva::test::IsolatedCommand;
using cva::test::RunShell;
using cva::test::SCommandResult;
using cva::test::ShellQuote;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

class CvaCli : public ::testing::Test {
protected:
    SCommandResult Exec(const std::string& program, const std::vector<std::string>& args) {
        std::string cmd = IsolatedCommand(m_dir, program) +
                          " --target " +
                          ShellQuote(m_target.empty() ? "sandbox:" + m_dir.File("box") : m_target);
        for (const auto& a : args) cmd += " " + ShellQuote(a);
        return RunShell(cmd, m_dir.File("command"));
    }
    // The shipped plugins unless a test names its own folder.
    SCommandResult Cli(std::vector<std::string> args, const std::string& plugins = CVA_PLUGIN_FOLDER) {
        args.insert(args.begin(), {"--plugins", plugins});
        return Exec(CVA_CLI_PROGRAM, args);
    }
    std::string Query(const std::string& key, const std::string& value) {
        SCommandResult r = Exec(CVA_REG_PROGRAM, {"query", key, "/v", value});
        return r.m_status == 0 ? r.m_out : "(missing)";
    }
    std::string Profile(const std::string& name) const { return m_dir.File("data/Meridot/Corvanta/" + name); }
    // A plugin in the test's own folder "mine": its category and page, then its script.
    std::string Mine(const std::string& name, const std::string& category, const std::string& page,
                     const std::string& script) {
        std::filesystem::create_directories(m_dir.File("mine"));
        WriteAll(m_dir.File("mine/" + name), "[settings]\r\ncategory=" + category + "\r\n[interface]\r\n" + page +
                                                 "[script]\r\n" + script);
        return m_dir.File("mine");
    }
    std::string TodaysLog() const {
        for (const auto& entry : std::filesystem::directory_iterator(Profile("logs")))
            if (entry.path().extension() == ".log") return ReadAll(entry.path().string());
        return {};
    }

    CTempDir m_dir;
    std::string m_target; // empty: the test's own sandbox
};

constexpr const char* kAdvanced = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

TEST_F(CvaCli, ListShowsTheShippedCatalogueInFoldersAndTrees) {
    // Without --plugins the program finds the plugins beside itself. Whatever the
    // catalogue holds, each entry is a shipped file, once, as a leaf below a folder and a
    // node, and the catalogue is cached at exit, as the window does.
    SCommandResult r = Exec(CVA_CLI_PROGRAM, {"list"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    const std::string cache = ReadAll(Profile("cache.dat"));
    std::set<std::string> listed;
    for (size_t end = r.m_out.find("]\n"); end != std::string::npos; end = r.m_out.find("]\n", end + 1)) {
        const size_t open = r.m_out.rfind("  [", end);
        const size_t lineStart = r.m_out.rfind('\n', open) + 1;
        const std::string name = r.m_out.substr(open + 3, end - open - 3);
        EXPECT_TRUE(listed.insert(name).second) << name;
        EXPECT_TRUE(std::filesystem::exists(std::string(CVA_PLUGIN_FOLDER) + "/" + name)) << name;
        EXPECT_EQ(r.m_out.compare(lineStart, 4, "    "), 0) << name;
        EXPECT_NE(cache.find("\n" + name + "|"), std::string::npos) << name;
    }
    EXPECT_GE(listed.size(), 10u);
    r = Cli({"list", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    for (const std::string& name : listed)
        EXPECT_NE(r.m_out.find("\"plugin\":\"" + name + "\""), std::string::npos) << name;

    // The shape of both forms, on a folder of known plugins.
    Mine("b.cvp", "Desktop::Menus::Menu show delay", "type=check\r\n", "");
    Mine("a.cvp", "Desktop::Appearance::Visual effects", "type=check\r\n", "");
    EXPECT_EQ(Cli({"list"}, m_dir.File("mine")).m_out,
              "Desktop\n  Appearance\n    Visual effects  [a.cvp]\n  Menus\n    Menu show delay  [b.cvp]\n");
    EXPECT_NE(Cli({"list", "--json"}, m_dir.File("mine"))
                  .m_out.find("{\"name\":\"Desktop\",\"tree\":[{\"text\":\"Appearance\",\"plugin\":null,"
                              "\"children\":[{\"text\":\"Visual effects\",\"plugin\":\"a.cvp\","
                              "\"children\":[]}]},{\"text\":\"Menus\",\"plugin\":null,"
                              "\"children\":[{\"text\":\"Menu show delay\",\"plugin\":\"b.cvp\","
                              "\"children\":[]}]}]}"),
              std::string::npos);
}

TEST_F(CvaCli, AppliedViewListsWhatWasApplied) {
    ASSERT_EQ(Cli({"apply", "menu_delay.cvp", "--text", "0=300", "--yes"}).m_status, 0);
    SCommandResult r = Cli({"list", "--view", "applied"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    // One leaf, wherever the catalogue files the plugin.
    EXPECT_EQ(r.m_out.find("["), r.m_out.rfind("["));
    EXPECT_NE(r.m_out.find("  [menu_delay.cvp]\n"), std::string::npos) << r.m_out;
}

TEST_F(CvaCli, WinePluginsAreForWinePrefixesOnly) {
    const std::string mine = Mine("wine_only.cvp", "Wine: Graphics::Only\r\nOSVERSION=WINE",
                                  "type=check\r\nText0=One\r\n", "Sub OnInit()\r\nEnd Sub\r\n");
    Mine("all.cvp", "Test::All", "type=check\r\n", "");
    EXPECT_EQ(Cli({"list"}, mine).m_out, "Test\n  All  [all.cvp]\n");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"show", "wine_only"}, {"apply", "wine_only", "--check", "0=1", "--yes"}}) {
        SCommandResult r = Cli(command, mine);
        EXPECT_EQ(r.m_status, 2) << command[0];
        EXPECT_EQ(r.m_out, "");
        EXPECT_NE(r.m_err.find("wine_only.cvp is for Wine prefixes only (OSVERSION=WINE) and is not shown for the "
                               "sandbox " + m_dir.File("box")),
                  std::string::npos)
            << r.m_err;
    }
    // The cache the sandbox's list left behind is not the prefix's catalogue.
    cva::test::MakeWineShapedPrefix(m_dir.File("prefix"));
    m_target = "wine:" + m_dir.File("prefix");
    SCommandResult r = Cli({"list"}, mine);
    EXPECT_NE(r.m_out.find("Wine: Graphics\n  Only  [wine_only.cvp]\n"), std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find("[all.cvp]"), std::string::npos);
    EXPECT_EQ(Cli({"show", "wine_only"}, mine).m_status, 0);
}

TEST_F(CvaCli, ShowPrintsTheCheckPageAfterItsStartRoutine) {
    SCommandResult r = Cli({"show", "crash_behaviour.cvp", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    for (const char* field :
         {"\"kind\":\"check\"", "\"header\":\"Crash handling > After a stop error\"", "\"level\":1",
          "\"levelName\":\"Normal\"", "\"applyEnabled\":false",
          "{\"index\":0,\"type\":\"check\",\"caption\":\"Restart automatically\",\"visible\":true,"
          "\"enabled\":true,\"checked\":1", "\"messages\":[]"})
        EXPECT_NE(r.m_out.find(field), std::string::npos) << field << "\n" << r.m_out;
}

TEST_F(CvaCli, CheckPageApplyWritesTheRegistryTheHistoryAndTheLog) {
    SCommandResult r = Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("[confirm] Are you sure you want to apply the tweaks in this page ? \n  -> Yes"),
              std::string::npos);
    EXPECT_NE(r.m_out.find("checked=1"), std::string::npos);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_EQ(ReadAll(Profile("applied.ini")).rfind("explorer_files.cvp?", 0), 0u);
    EXPECT_NE(TodaysLog().find("Applied - "), std::string::npos);
}

TEST_F(CvaCli, DecliningTheConfirmationChangesNothing) {
    SCommandResult r = Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--no", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"applied\":false"), std::string::npos);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("0x1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
}

TEST_F(CvaCli, RadioPageSelectsTheDumpKind) {
    ASSERT_EQ(Cli({"apply", "crash_dump.cvp", "--select", "2", "--yes"}).m_status, 0);
    EXPECT_NE(Query("HKLM\\SYSTEM\\CurrentControlSet\\Control\\CrashControl", "CrashDumpEnabled")
                  .find("REG_DWORD    0x2"),
              std::string::npos);
}

TEST_F(CvaCli, EditPageTakesDigitsOnlyAndTheScriptChecksTheRange) {
    // Style 3 lets only digits into the line: letters are refused before any apply.
    EXPECT_EQ(Cli({"apply", "menu_delay.cvp", "--text", "0=soon", "--yes"}).m_status, 3);
    SCommandResult r = Cli({"apply", "menu_delay.cvp", "--text", "0=20000", "--yes", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("{\"type\":\"msg\",\"title\":\"Corvanta\",\"text\":\"Please enter a delay from 0 to 10000"),
              std::string::npos)
        << r.m_out;
    EXPECT_EQ(Query("HKCU\\Control Panel\\Desktop", "MenuShowDelay").find("20000"), std::string::npos);

    ASSERT_EQ(Cli({"apply", "menu_delay", "--text", "0=250", "--yes"}).m_status, 0);
    EXPECT_NE(Query("HKCU\\Control Panel\\Desktop", "MenuShowDelay").find("REG_SZ    250"), std::string::npos);
}

TEST_F(CvaCli, ListPageButtonRemovesTheSelectedRowAfterTheScriptsQuestion) {
    // Unanswered, the question takes the answer that changes nothing and says so.
    SCommandResult r = Cli({"apply", "startup_run.cvp", "--select", "0", "--button", "0"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("  -> No (defaulted: no fitting answer given)"), std::string::npos) << r.m_out;
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon.exe").find("ctfmon"),
              std::string::npos);
    r = Cli({"apply", "startup_run.cvp", "--select", "0", "--button", "0", "--answer", "yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_EQ(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon.exe"), "(missing)");
}

TEST_F(CvaCli, ScriptedNoKeepsTheListRow) {
    ASSERT_EQ(Cli({"apply", "startup_run.cvp", "--select", "0", "--button", "0", "--answer", "no"}).m_status, 0);
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon.exe").find("ctfmon"),
              std::string::npos);
}

TEST_F(CvaCli, ChecklistRowCheckSetsItsBit) {
    SCommandResult r = Cli({"apply", "autorun_drives.cvp", "--row-check", "2=1", "--yes", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"kind\":\"checklist\""), std::string::npos);
    EXPECT_NE(r.m_out.find("{\"columns\":[\"Removable drives (floppy disks, USB sticks, memory cards)\","
                           "\"0x04\"],\"checked\":1,\"data\":4"),
              std::string::npos)
        << r.m_out;
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoDriveTypeAutoRun")
                  .find("0x95"),
              std::string::npos);
}

TEST_F(CvaCli, MultiPageSpinTakesAValueOnceTheDefaultsAreCleared) {
    SCommandResult r = Cli({"apply", "ie_connections.cvp", "--check", "0=0", "--text", "1=8", "--yes", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"type\":\"spin\""), std::string::npos);
    EXPECT_NE(r.m_out.find("\"min\":1,\"max\":16"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                    "MaxConnectionsPerServer")
                  .find("0x8"),
              std::string::npos);
}

TEST_F(CvaCli, MultiPageSliderTakesItsPositionAsText) {
    SCommandResult r = Cli({"apply", "shutdown_timeouts.cvp", "--text", "2=3000", "--yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(Query("HKCU\\Control Panel\\Desktop", "HungAppTimeout").find("REG_SZ    3000"), std::string::npos);
    EXPECT_EQ(Cli({"apply", "shutdown_timeouts.cvp", "--text", "2=soon", "--yes"}).m_status, 3);
}

TEST_F(CvaCli, HtmlPageLinkRunsTheScriptAndRecordsIt) {
    SCommandResult before = Cli({"show", "catalogue_guide.cvp", "--json"});
    SCommandResult r = Cli({"apply", "catalogue_guide.cvp", "--link", "2", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"kind\":\"html\""), std::string::npos);
    const size_t html = r.m_out.find("\"html\":\"");
    ASSERT_NE(html, std::string::npos);
    EXPECT_NE(r.m_out.substr(html, 200), before.m_out.substr(before.m_out.find("\"html\":\""), 200));
    EXPECT_EQ(ReadAll(Profile("applied.ini")).rfind("catalogue_guide.cvp?", 0), 0u);
}

TEST_F(CvaCli, MissingPluginFailsWithoutTouchingAnything) {
    SCommandResult r = Cli({"show", "no_such_page.cvp"});
    EXPECT_EQ(r.m_status, 2);
    EXPECT_NE(r.m_err.find("plugin not found: no_such_page.cvp"), std::string::npos);
    EXPECT_EQ(Cli({"list"}, m_dir.File("no_such_folder")).m_status, 2);
}

TEST_F(CvaCli, ScriptErrorIsShownAndGivesANonZeroStatus) {
    std::filesystem::create_directories(m_dir.File("mine"));
    WriteAll(m_dir.File("mine/broken.cvp"),
             "[settings]\r\ncategory=Test::Broken\r\n[interface]\r\ntype=check\r\nText0=One\r\n"
             "[script]\r\nSub OnInit()\r\n  CheckItem 0, 1 / 0\r\nEnd Sub\r\n");
    SCommandResult r = Cli({"show", "broken.cvp", "--json"}, m_dir.File("mine"));
    EXPECT_EQ(r.m_status, 1) << r.m_out;
    EXPECT_NE(r.m_out.find("\"text\":\"Division by zero"), std::string::npos) << r.m_out;
}

// A plugin's start routine asks to run a host command and reads a host file through Z:.
TEST_F(CvaCli, PluginsReachNoHostProgramsAndHostDrivesOnlyWhenAllowed) {
    const std::string prefix = m_dir.File("prefix");
    cva::test::MakeWineShapedPrefix(prefix);
    WriteAll(m_dir.File("secret.txt"), "s");
    const std::string marker = m_dir.File("touched");
    std::filesystem::create_directories(m_dir.File("mine"));
    WriteAll(m_dir.File("mine/host.cvp"),
             "[settings]\r\ncategory=Test::Host\r\n[interface]\r\ntype=edit\r\nText0=One\r\n"
             "[script]\r\nSub OnInit()\r\n  On Error Resume Next\r\n"
             "  CreateObject(\"WScript.Shell\").Run \"sh -c 'touch " + marker + "'\", 0, True\r\n"
             "  SetItemText 0, Err.Number & \" \" & CreateObject(\"Scripting.FileSystemObject\")"
             ".FileExists(\"" + cva::test::OnDriveZ(m_dir.File("secret.txt")) + "\")\r\nEnd Sub\r\n");
    auto value = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"show", "host.cvp", "--json"});
        SCommandResult r = Cli(args, m_dir.File("mine"));
        EXPECT_EQ(r.m_status, 0) << r.m_err << r.m_out;
        const size_t at = r.m_out.find("\"value\":\"");
        return at == std::string::npos ? r.m_out : r.m_out.substr(at + 9, r.m_out.find('"', at + 9) - at - 9);
    };
    EXPECT_EQ(value({}), "-2147024894 False");
    EXPECT_NE(TodaysLog().find("Run \"sh -c 'touch " + marker + "'\" on the sandbox"), std::string::npos);
    const std::string wine = "wine:" + prefix;
    EXPECT_EQ(value({"--target", wine}), "-2147024894 False");
    EXPECT_NE(TodaysLog().find("AllowHostDrives"), std::string::npos);
    EXPECT_EQ(value({"--target", wine, "--allow-host-drives"}), "-2147024894 True");
    cva::settings::CSettingsStore store(m_dir.File("config/Meridot/Corvanta"));
    ASSERT_TRUE(store.WriteProfileInt("Settings", "AllowHostDrives", 1));
    EXPECT_EQ(value({"--target", wine}), "-2147024894 True");
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(CvaCli, ActionThePageCannotTakeAppliesNothing) {
    SCommandResult r = Cli({"apply", "crash_behaviour.cvp", "--text", "0=x", "--yes"});
    EXPECT_EQ(r.m_status, 3);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    // Asking for the state the page already shows applies nothing and is no failure.
    SCommandResult same = Cli({"apply", "crash_behaviour.cvp", "--check", "0=1", "--yes", "--json"});
    EXPECT_EQ(same.m_status, 0) << same.m_err;
    EXPECT_NE(same.m_out.find("\"applied\":false"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    // A list button the page does not show cannot be pressed.
    EXPECT_EQ(Cli({"apply", "startup_run.cvp", "--button", "2"}).m_status, 3);
}

TEST_F(CvaCli, TimeoutStopsARunawayApplyAndKeepsWhatItWrote) {
    const std::string mine = Mine("spin.cvp", "Test::Spin", "type=check\r\nText0=One\r\n",
                                  "Sub OnApply(a, b)\r\n  RegWriteValS \"HKEY_CURRENT_USER\\Software\\Spin\", "
                                  "\"Before\", \"kept\"\r\n  Do\r\n  Loop\r\nEnd Sub\r\n");
    const auto start = std::chrono::steady_clock::now();
    SCommandResult r = Cli({"apply", "spin", "--check", "0=1", "--yes", "--timeout", "1"}, mine);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(r.m_status, 1) << r.m_out << r.m_err;
    EXPECT_NE(r.m_out.find("The script was stopped by the program"), std::string::npos) << r.m_out;
    EXPECT_NE(r.m_err.find("the script ran longer than 1 seconds (--timeout) and was stopped"), std::string::npos)
        << r.m_err;
    EXPECT_NE(Query("HKCU\\Software\\Spin", "Before").find("kept"), std::string::npos);
    EXPECT_EQ(Cli({"apply", "spin", "--timeout", "soon"}, mine).m_status, 2);
    EXPECT_NE(Cli({"--help"}).m_out.find("--timeout SECONDS"), std::string::npos);
}

TEST_F(CvaCli, PluginsOptionIsForOneRunEvenWhenTheRunIsKilled) {
    const std::string mine = Mine("stuck.cvp", "Test::Stuck", "type=check\r\nText0=One\r\n",
                                  "Sub OnInit()\r\n  CreateObject(\"Scripting.FileSystemObject\")"
                                  ".CreateTextFile(\"C:\\started.txt\").Close\r\n  Do\r\n  Loop\r\nEnd Sub\r\n");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", m_dir.File("config").c_str(), 1);
        setenv("XDG_DATA_HOME", m_dir.File("data").c_str(), 1);
        freopen("/dev/null", "w", stdout);
        execl(CVA_CLI_PROGRAM, CVA_CLI_PROGRAM, "--target", ("sandbox:" + m_dir.File("box")).c_str(), "--plugins",
              mine.c_str(), "show", "stuck", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The script has started once its file exists; then the run is interrupted.
    for (int i = 0; i < 6000 && !std::filesystem::exists(m_dir.File("box/drive_c/started.txt")); ++i) usleep(10000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(ReadAll(m_dir.File("config/Meridot/Corvanta/settings.reg")).find(mine), std::string::npos);
    SCommandResult r = Exec(CVA_CLI_PROGRAM, {"list"});
    EXPECT_NE(r.m_out.find("[menu_delay.cvp]"), std::string::npos) << r.m_out;
}

TEST_F(CvaCli, ListShowsTheFolderAsItIsNotAsItWasCached) {
    Mine("one.cvp", "Test::One", "type=check\r\n", "");
    ASSERT_EQ(Cli({"list"}, m_dir.File("mine")).m_out, "Test\n  One  [one.cvp]\n");
    // Another folder, then plugins added, changed and removed.
    EXPECT_NE(Cli({"list"}).m_out.find("[menu_delay.cvp]"), std::string::npos);
    Mine("two.cvp", "Test::Two", "type=check\r\n", "");
    EXPECT_EQ(Cli({"list"}, m_dir.File("mine")).m_out, "Test\n  One  [one.cvp]\n  Two  [two.cvp]\n");
    Mine("two.cvp", "Test::Too", "type=check\r\n", ""); // same size, within the same second
    std::filesystem::remove(m_dir.File("mine/one.cvp"));
    EXPECT_EQ(Cli({"list"}, m_dir.File("mine")).m_out, "Test\n  Too  [two.cvp]\n");
    // Unchanged, the cache is taken as it stands; refresh reads the folder again.
    WriteAll(Profile("cache.dat"), ReadAll(Profile("cache.dat")) + "two.cvp|Test::Cached|1\r\n");
    EXPECT_EQ(Cli({"list"}, m_dir.File("mine")).m_out, "Test\n  Cached  [two.cvp]\n  Too  [two.cvp]\n");
    SCommandResult r = Cli({"refresh", "--json"}, m_dir.File("mine"));
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"tree\":[{\"text\":\"Too\",\"plugin\":\"two.cvp\",\"children\":[]}]"), std::string::npos)
        << r.m_out;
    EXPECT_EQ(Cli({"list"}, m_dir.File("mine")).m_out, "Test\n  Too  [two.cvp]\n");
}

TEST_F(CvaCli, AFileThatIsNoPluginIsRefused) {
    Mine("plain.cvp", "Test::Plain", "type=check\r\n", "");
    for (const auto& [bytes, why] : std::vector<std::pair<std::string, std::string>>{
             {"", "the file is empty"},
             {std::string("\x7f" "ELF\x02\x01\0\0[x]\n", 13), "the file is binary"},
             {"[interface]\r\ntype=check\r\n", "the file has no [settings] section"}}) {
        WriteAll(m_dir.File("mine/bad.cvp"), bytes);
        SCommandResult r = Cli({"show", "bad.cvp"}, m_dir.File("mine"));
        EXPECT_EQ(r.m_status, 2) << why;
        EXPECT_NE(r.m_err.find("cannot open plugin " + m_dir.File("mine/bad.cvp") + ": " + why), std::string::npos)
            << r.m_err;
        EXPECT_EQ(r.m_out, "");
    }
}

TEST_F(CvaCli, QuestionsTakeTheAnswerThatChangesNothingAndWrongAnswersAreErrors) {
    const std::string mine =
        Mine("ask.cvp", "Test::Ask", "type=check\r\nText0=Went on\r\n",
             "Sub OnInit()\r\n  If Msg(\"Go on?\", MB_OKCANCEL) = IDOK Then CheckItem 0, 1\r\nEnd Sub\r\n");
    SCommandResult r = Cli({"show", "ask", "--json"}, mine);
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("{\"type\":\"confirm\",\"title\":\"Corvanta\",\"text\":\"Go on?\",\"answer\":\"Cancel\","
                           "\"defaulted\":true}"),
              std::string::npos)
        << r.m_out;
    EXPECT_NE(r.m_out.find("\"checked\":0"), std::string::npos);
    r = Cli({"show", "ask", "--answer", "yes"}, mine);
    EXPECT_NE(r.m_out.find("[confirm] Go on?\n  -> OK\n"), std::string::npos) << r.m_out;
    EXPECT_NE(r.m_out.find("checked=1"), std::string::npos);
    r = Cli({"show", "ask", "--answer", "retry"}, mine);
    EXPECT_EQ(r.m_status, 2);
    EXPECT_NE(r.m_err.find("--answer retry does not fit the box \"Go on?\" (OK, Cancel)"), std::string::npos)
        << r.m_err;
    // The apply confirmation keeps its own options: an --answer is not spent on it.
    r = Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--answer", "yes"});
    EXPECT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_err.find("the confirmation was not answered (--yes or --no)"), std::string::npos) << r.m_err;
    EXPECT_NE(r.m_err.find("1 --answer value(s) were not asked for"), std::string::npos);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("0x1"), std::string::npos);
}

TEST_F(CvaCli, MessagesCarryTheirTitleApartFromTheText) {
    const std::string mine = Mine("risky.cvp", "Test::Risky\r\nLEVEL=4", "type=check\r\n", "Sub OnInit()\r\nEnd Sub\r\n");
    SCommandResult r = Cli({"show", "risky", "--json"}, mine);
    EXPECT_NE(r.m_out.find("{\"type\":\"alert\",\"title\":\"Alert\",\"text\":\"Incorrect use"), std::string::npos)
        << r.m_out;
    EXPECT_NE(Cli({"show", "risky"}, mine).m_out.find("[alert] Alert: Incorrect use"), std::string::npos);
}

TEST_F(CvaCli, MultiPageThreeStateBoxIsClearedWithAsManyClicksAsItTakes) {
    const std::string mine = Mine("tri.cvp", "Test::Tri", "type=multi\r\nType0=check\r\nText0=Tri\r\n",
                                  "Sub OnInit()\r\n  SetItemText 0, \"-1\"\r\n  CheckItem 0, 1\r\nEnd Sub\r\n"
                                  "Sub OnApply(n, m)\r\nEnd Sub\r\n");
    SCommandResult r = Cli({"apply", "tri", "--check", "0=0", "--yes", "--json"}, mine);
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"caption\":\"Tri\",\"visible\":true,\"enabled\":true,\"checked\":0,\"value\":\"\""),
              std::string::npos)
        << r.m_out;
}

// A Wine prefix whose wineserver runs: its registry reads, but nothing may be written.
TEST_F(CvaCli, WhileAWineserverRunsShowReadsAndApplyFailsRecordingNothing) {
    const std::string prefix = m_dir.File("prefix");
    std::filesystem::create_directories(prefix);
    const std::string userReg = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\"
                                "S-1-5-21-0-0-0-1000\n\n[Control Panel\\\\Desktop] 1700000000\n"
                                "\"MenuShowDelay\"=\"123\"\n";
    WriteAll(prefix + "/system.reg", "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n");
    WriteAll(prefix + "/user.reg", userReg);
    CTempDir serverBase; // Debian's private /tmp/wine-XXXXXX
    WriteAll(prefix + "/wineserver", serverBase.Path().substr(serverBase.Path().rfind('/') + 1));
    const std::string serverFolder = cva::hive::WineServerFolders(prefix).at(1);
    std::filesystem::create_directories(serverFolder);
    WriteAll(serverFolder + "/lock", "");
    CLockHolder server(serverFolder + "/lock");
    ASSERT_GT(server.Pid(), 0);

    SCommandResult shown = Cli({"--target", "wine:" + prefix, "show", "menu_delay.cvp"});
    EXPECT_EQ(shown.m_status, 0) << shown.m_err;
    EXPECT_NE(shown.m_out.find("value=\"123\""), std::string::npos) << "the stored value, not the default";

    SCommandResult r = Cli({"--target", "wine:" + prefix, "apply", "menu_delay.cvp", "--text", "0=77", "--yes", "--json"});
    EXPECT_EQ(r.m_status, 5);
    EXPECT_NE(r.m_out.find("\"applied\":false"), std::string::npos);
    EXPECT_NE(r.m_err.find("the changes were not written: a wineserver (process " + std::to_string(server.Pid())),
              std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(prefix + "/user.reg"), userReg);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    EXPECT_EQ(TodaysLog().find("Applied"), std::string::npos);
}

TEST_F(CvaCli, ExportSavesThePluginsSettingsForImportBack) {
    ASSERT_EQ(Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--yes"}).m_status, 0);
    ASSERT_EQ(Exec(CVA_REG_PROGRAM, {"add", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "/v",
                                     "Say \"hi\"", "/d", "C:\\a b\\x.exe", "/f"}).m_status, 0);
    const std::string file = m_dir.File("saved.reg");
    SCommandResult r = Cli({"export", "explorer_files.cvp", file});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_EQ(r.m_out, "exported 3 key(s) and 3 value(s) of explorer_files.cvp to " + file + "\n");
    ASSERT_EQ(Cli({"export", "startup_run", file}).m_status, 0);
    const std::string saved = ReadAll(file);
    EXPECT_EQ(saved.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
                          "\\Advanced]\r\n\"HideFileExt\"=dword:00000000\r\n",
                          0),
              0u)
        << saved;
    EXPECT_NE(saved.find("\"Say \\\"hi\\\"\"=\"C:\\\\a b\\\\x.exe\"\r\n"), std::string::npos) << saved;

    // Changed afterwards, then brought back by importing the file.
    ASSERT_EQ(Cli({"apply", "explorer_files.cvp", "--check", "0=0", "--yes"}).m_status, 0);
    ASSERT_EQ(Exec(CVA_REG_PROGRAM, {"delete", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "/va", "/f"})
                  .m_status, 0);
    ASSERT_EQ(Exec(CVA_REG_PROGRAM, {"import", file}).m_status, 0);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Say \"hi\"").find("C:\\a b\\x.exe"),
              std::string::npos);

    // Nothing to export, and a file that cannot be written: the old file stays.
    EXPECT_EQ(Cli({"export", "catalogue_guide.cvp", file}).m_status, 3);
    std::filesystem::create_directories(m_dir.File("taken.reg"));
    r = Cli({"export", "menu_delay.cvp", m_dir.File("taken.reg")});
    EXPECT_EQ(r.m_status, 5);
    EXPECT_NE(r.m_err.find("the export was not written: cannot "), std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(file), saved);
}

TEST_F(CvaCli, ProfileOptionAppliesToThatUsersHiveAndNotTheRunningUsers) {
    SCommandResult r =
        Cli({"--profile", "Helpdesk", "apply", "explorer_files.cvp", "--check", "0=1", "--yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    // The user's own file, loaded as Windows' reg load would.
    ASSERT_EQ(Exec(CVA_REG_PROGRAM,
                   {"load", "HKU\\Helpdesk",
                    m_dir.File("box/drive_c/Documents and Settings/Helpdesk/NTUSER.DAT")})
                  .m_status,
              0);
    EXPECT_NE(Query(std::string(kAdvanced).replace(0, 4, "HKU\\Helpdesk"), "HideFileExt")
                  .find("REG_DWORD    0x0"),
              std::string::npos);
    EXPECT_EQ(Exec(CVA_REG_PROGRAM, {"unload", "HKU\\Helpdesk"}).m_status, 0);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("REG_DWORD    0x1"), std::string::npos);
    EXPECT_NE(Exec(CVA_REG_PROGRAM, {"query", "HKU\\Corvanta"}).m_status, 0)
        << "unloaded at the end";

    r = Cli({"--profile", "Nobody", "apply", "explorer_files.cvp", "--check", "0=1", "--yes"});
    EXPECT_EQ(r.m_status, 4);
    EXPECT_NE(r.m_err.find("no profile Nobody (it has "), std::string::npos) << r.m_err;
    r = Cli({"--profile", "LocalService", "show", "explorer_files.cvp"});
    EXPECT_EQ(r.m_status, 4);
    EXPECT_NE(r.m_err.find("cannot be loaded: The system cannot find the file specified."),
              std::string::npos)
        << r.m_err;
}

} // namespace

// An administrator's view of a Windows disk: the page reads the user's real hive and
// Apply writes into it, leaving a hive hivex still reads; what would harm a hive is refused.
TEST_F(CvaCli, OfflineDiskPagesReadAndWriteTheRealHives) {
    if (cva::test::WindowsHives().empty())
        GTEST_SKIP() << "the Windows hives are not beside the source tree";
    const std::string disk = m_dir.File("disk");
    ASSERT_TRUE(cva::test::MakeWindowsDisk(disk));
    m_target = "offline:" + disk;
    const std::string item0 =
        "item 0: \"Show the extensions of known file types\" shown enabled checked=";
    SCommandResult r = Cli({"show", "explorer_files"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find(item0 + "0"), std::string::npos) << r.m_out;
    r = Cli({"apply", "explorer_files", "--check", "0=1", "--yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find(item0 + "1"), std::string::npos) << r.m_out;

    const std::string ntuser = disk + "/users/Tester/ntuser.dat";
    hive_h* h = hivex_open(ntuser.c_str(), 0);
    ASSERT_NE(h, nullptr) << "hivex no longer reads the hive";
    hive_node_h node = hivex_root(h);
    for (const char* name :
         {"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "Advanced"})
        node = node ? hivex_node_get_child(h, node, name) : 0;
    hive_value_h value = node ? hivex_node_get_value(h, node, "HideFileExt") : 0;
    ASSERT_NE(value, 0u);
    EXPECT_EQ(hivex_value_dword(h, value), 0);
    hivex_close(h);

    // Changes Windows has not replayed from the logs yet: the page shows, Apply is refused.
    std::filesystem::copy_file(cva::test::WindowsHives() + "/transactions_NTUSER.DAT", ntuser,
                               std::filesystem::copy_options::overwrite_existing);
    r = Cli({"apply", "explorer_files", "--check", "0=1", "--yes"});
    EXPECT_EQ(r.m_status, 5);
    EXPECT_NE(r.m_err.find("transaction logs"), std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(ntuser), ReadAll(cva::test::WindowsHives() + "/transactions_NTUSER.DAT"));

    const std::string system = disk + "/WINDOWS/system32/Config/SYSTEM";
    std::filesystem::copy_file(cva::test::WindowsHives() + "/corrupted_system_hive", system,
                               std::filesystem::copy_options::overwrite_existing);
    r = Cli({"show", "explorer_files"});
    EXPECT_NE(r.m_status, 0);
    EXPECT_NE(r.m_err.find("damaged"), std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(system), ReadAll(cva::test::WindowsHives() + "/corrupted_system_hive"));
}

// Three applies (a value changed, a value deleted, a key and an INI file made) and their
// undos, newest first: every affected key exports as before, and the INI file is gone. Key times may differ, as on Windows; the
// export does not show them.
TEST_F(CvaCli, UndoTakesBackAppliesInReverseOrderExactly) {
    const std::string mine = Mine("makekey.cvp", "Test::Key", "type=check\r\nText0=One\r\n",
                                  "Sub OnApply(a, b)\r\n  RegWriteValS \"HKCU\\Software\\UndoTest\\Deep\", "
                                  "\"Made\", \"yes\"\r\n  IniWriteString \"Sect\", \"Key\", \"v\", \"C:\\undo.ini\"\r\n"
                                  "End Sub\r\n");
    for (const char* plugin : {"menu_delay.cvp", "startup_run.cvp"})
        std::filesystem::copy_file(std::string(CVA_PLUGIN_FOLDER) + "/" + plugin, mine + "/" + plugin);
    const std::vector<std::string> roots = {"HKCU\\Control Panel\\Desktop",
                                            "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                            "HKCU\\Software"};
    auto exports = [&](const std::string& tag) {
        std::string all;
        for (size_t i = 0; i < roots.size(); ++i) {
            const std::string file = m_dir.File(tag + std::to_string(i) + ".reg");
            Exec(CVA_REG_PROGRAM, {"export", roots[i], file, "/y"});
            all += ReadAll(file);
        }
        return all;
    };
    ASSERT_EQ(Cli({"show", "menu_delay.cvp"}, mine).m_status, 0);
    const std::string before = exports("before");
    ASSERT_EQ(Cli({"apply", "menu_delay.cvp", "--text", "0=123", "--yes"}, mine).m_status, 0);
    ASSERT_EQ(Cli({"apply", "startup_run.cvp", "--select", "0", "--answer", "yes"}, mine).m_status, 0);
    ASSERT_EQ(Cli({"apply", "makekey.cvp", "--check", "0=1", "--yes"}, mine).m_status, 0);
    EXPECT_NE(exports("applied"), before);
    EXPECT_EQ(ReadAll(m_dir.File("box/drive_c/undo.ini")), "[Sect]\r\nKey=v\r\n");
    SCommandResult r = Cli({"history"});
    EXPECT_NE(r.m_out.find("apply  makekey.cvp  sandbox:" + m_dir.File("box")), std::string::npos) << r.m_out;
    r = Cli({"history", "--json"});
    EXPECT_EQ(r.m_out.find("[{\"id\":\""), 0u) << r.m_out;
    EXPECT_NE(r.m_out.find("\"kind\":\"apply\",\"plugin\":\"startup_run.cvp\""), std::string::npos);
    EXPECT_NE(r.m_out.find("\"changes\":4,\"undoes\":null}"), std::string::npos);

    // Someone changes what the last apply left: the undo is refused and says where.
    Exec(CVA_REG_PROGRAM, {"add", "HKCU\\Software\\UndoTest\\Deep", "/v", "Made", "/d", "other", "/f"});
    r = Cli({"undo"});
    EXPECT_EQ(r.m_status, 3);
    EXPECT_NE(r.m_err.find("Deep \"Made\": now REG_SZ \"other\", left REG_SZ \"yes\""), std::string::npos) << r.m_err;
    EXPECT_NE(Query("HKCU\\Software\\UndoTest\\Deep", "Made").find("other"), std::string::npos);
    for (int i = 0; i < 3; ++i) {
        r = Cli(i == 0 ? std::vector<std::string>{"undo", "--force"} : std::vector<std::string>{"undo"});
        ASSERT_EQ(r.m_status, 0) << i << r.m_err;
    }
    EXPECT_EQ(exports("undone"), before);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("box/drive_c/undo.ini")));
    EXPECT_EQ(Cli({"undo"}).m_status, 2); // nothing left standing

    // The undo of the first apply, undone, puts the apply back.
    const std::string undoOfMenu = Cli({"history"}).m_out.substr(0, 19);
    r = Cli({"undo", undoOfMenu});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(Query("HKCU\\Control Panel\\Desktop", "MenuShowDelay").find("123"), std::string::npos);
    EXPECT_EQ(Cli({"undo"}).m_status, 0); // the apply stands again, so it is undone again
    EXPECT_EQ(exports("again"), before);

    // The undo of the key's apply, undone, brings the INI file back too.
    const std::string history = Cli({"history"}).m_out;
    const size_t line = history.rfind('\n', history.find("undo  makekey.cvp"));
    ASSERT_EQ(Cli({"undo", history.substr(line + 1, 19)}).m_status, 0);
    EXPECT_EQ(ReadAll(m_dir.File("box/drive_c/undo.ini")), "[Sect]\r\nKey=v\r\n");
}
