// Runs the built cva-cli over the shipped plugins on temporary sandboxes, and checks
// what it changed through cva-reg, as an administrator scripting tweaks would.
#include "platform/hive/WinePrefix.h"
#include "support/LockHolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <vector>

using cva::test::CLockHolder;
using cva::test::CTempDir;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

struct CResult {
    int m_status = -1;
    std::string m_out;
    std::string m_err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CvaCli : public ::testing::Test {
protected:
    CResult Exec(const std::string& program, const std::vector<std::string>& args) {
        std::string cmd = "XDG_CONFIG_HOME=" + Quote(m_dir.File("config")) +
                          " XDG_DATA_HOME=" + Quote(m_dir.File("data")) + " " + Quote(program) +
                          " --target " + Quote("sandbox:" + m_dir.File("box"));
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " </dev/null >" + Quote(m_dir.File("out")) + " 2>" + Quote(m_dir.File("err"));
        CResult r;
        const int status = std::system(cmd.c_str());
        r.m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.m_out = ReadAll(m_dir.File("out"));
        r.m_err = ReadAll(m_dir.File("err"));
        return r;
    }
    // The shipped plugins unless a test names its own folder.
    CResult Cli(std::vector<std::string> args, const std::string& plugins = CVA_PLUGIN_FOLDER) {
        args.insert(args.begin(), {"--plugins", plugins});
        return Exec(CVA_CLI_PROGRAM, args);
    }
    std::string Query(const std::string& key, const std::string& value) {
        CResult r = Exec(CVA_REG_PROGRAM, {"query", key, "/v", value});
        return r.m_status == 0 ? r.m_out : "(missing)";
    }
    std::string Profile(const std::string& name) const { return m_dir.File("data/Meridot/Corvanta/" + name); }
    std::string TodaysLog() const {
        for (const auto& entry : std::filesystem::directory_iterator(Profile("logs")))
            if (entry.path().extension() == ".log") return ReadAll(entry.path().string());
        return {};
    }

    CTempDir m_dir;
};

constexpr const char* kAdvanced = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

TEST_F(CvaCli, ListShowsTheStarterCatalogueInFoldersAndTrees) {
    // Without --plugins the program finds the plugins beside itself.
    CResult r = Exec(CVA_CLI_PROGRAM, {"list"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("System\n  Crash handling\n    After a stop error  [crash_behaviour.cvp]\n"
                           "    Memory dump  [crash_dump.cvp]\n"),
              std::string::npos)
        << r.m_out;
    EXPECT_NE(r.m_out.find("Desktop\n  Menus\n    Menu show delay  [menu_delay.cvp]\n"), std::string::npos);
    // The catalogue is cached at exit, as the window does.
    EXPECT_NE(ReadAll(Profile("cache.dat")).find("menu_delay.cvp|Desktop::Menus::Menu show delay|0"),
              std::string::npos);

    r = Cli({"list", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("{\"name\":\"Desktop\",\"tree\":[{\"text\":\"Menus\",\"plugin\":null,"
                           "\"children\":[{\"text\":\"Menu show delay\",\"plugin\":\"menu_delay.cvp\","
                           "\"children\":[]}]}]}"),
              std::string::npos)
        << r.m_out;
}

TEST_F(CvaCli, AppliedViewListsWhatWasApplied) {
    ASSERT_EQ(Cli({"apply", "menu_delay.cvp", "--text", "0=300", "--yes"}).m_status, 0);
    CResult r = Cli({"list", "--view", "applied"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_EQ(r.m_out, "Desktop\n  Menus\n    Menu show delay  [menu_delay.cvp]\n");
}

TEST_F(CvaCli, ShowPrintsTheCheckPageAfterItsStartRoutine) {
    CResult r = Cli({"show", "crash_behaviour.cvp", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    for (const char* field :
         {"\"kind\":\"check\"", "\"header\":\"Crash handling > After a stop error\"", "\"level\":1",
          "\"levelName\":\"Normal\"", "\"applyEnabled\":false",
          "{\"index\":0,\"type\":\"check\",\"caption\":\"Restart automatically\",\"visible\":true,"
          "\"enabled\":true,\"checked\":1", "\"messages\":[]"})
        EXPECT_NE(r.m_out.find(field), std::string::npos) << field << "\n" << r.m_out;
}

TEST_F(CvaCli, CheckPageApplyWritesTheRegistryTheHistoryAndTheLog) {
    CResult r = Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--yes"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("[confirm] Are you sure you want to apply the tweaks in this page ? \n  -> Yes"),
              std::string::npos);
    EXPECT_NE(r.m_out.find("checked=1"), std::string::npos);
    EXPECT_NE(Query(kAdvanced, "HideFileExt").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_EQ(ReadAll(Profile("applied.ini")).rfind("explorer_files.cvp?", 0), 0u);
    EXPECT_NE(TodaysLog().find("Applied - "), std::string::npos);
}

TEST_F(CvaCli, DecliningTheConfirmationChangesNothing) {
    CResult r = Cli({"apply", "explorer_files.cvp", "--check", "0=1", "--no", "--json"});
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
    CResult r = Cli({"apply", "menu_delay.cvp", "--text", "0=20000", "--yes", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("{\"type\":\"msg\",\"text\":\"Please enter a delay from 0 to 10000"),
              std::string::npos)
        << r.m_out;
    EXPECT_EQ(Query("HKCU\\Control Panel\\Desktop", "MenuShowDelay").find("20000"), std::string::npos);

    ASSERT_EQ(Cli({"apply", "menu_delay", "--text", "0=250", "--yes"}).m_status, 0);
    EXPECT_NE(Query("HKCU\\Control Panel\\Desktop", "MenuShowDelay").find("REG_SZ    250"), std::string::npos);
}

TEST_F(CvaCli, ListPageButtonRemovesTheSelectedRowAfterTheScriptsQuestion) {
    CResult r = Cli({"apply", "startup_run.cvp", "--select", "0", "--button", "0"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    // Unanswered, the question takes its default button (Yes) and says so.
    EXPECT_NE(r.m_out.find("(default button, no answer given)"), std::string::npos) << r.m_out;
    EXPECT_EQ(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon.exe"), "(missing)");
}

TEST_F(CvaCli, ScriptedNoKeepsTheListRow) {
    ASSERT_EQ(Cli({"apply", "startup_run.cvp", "--select", "0", "--button", "0", "--answer", "no"}).m_status, 0);
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "ctfmon.exe").find("ctfmon"),
              std::string::npos);
}

TEST_F(CvaCli, ChecklistRowCheckSetsItsBit) {
    CResult r = Cli({"apply", "autorun_drives.cvp", "--row-check", "2=1", "--yes", "--json"});
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
    CResult r = Cli({"apply", "ie_connections.cvp", "--check", "0=0", "--text", "1=8", "--yes", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"type\":\"spin\""), std::string::npos);
    EXPECT_NE(r.m_out.find("\"min\":1,\"max\":16"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                    "MaxConnectionsPerServer")
                  .find("0x8"),
              std::string::npos);
}

TEST_F(CvaCli, HtmlPageLinkRunsTheScriptAndRecordsIt) {
    CResult before = Cli({"show", "catalogue_guide.cvp", "--json"});
    CResult r = Cli({"apply", "catalogue_guide.cvp", "--link", "2", "--json"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(r.m_out.find("\"kind\":\"html\""), std::string::npos);
    const size_t html = r.m_out.find("\"html\":\"");
    ASSERT_NE(html, std::string::npos);
    EXPECT_NE(r.m_out.substr(html, 200), before.m_out.substr(before.m_out.find("\"html\":\""), 200));
    EXPECT_EQ(ReadAll(Profile("applied.ini")).rfind("catalogue_guide.cvp?", 0), 0u);
}

TEST_F(CvaCli, MissingPluginFailsWithoutTouchingAnything) {
    CResult r = Cli({"show", "no_such_page.cvp"});
    EXPECT_EQ(r.m_status, 2);
    EXPECT_NE(r.m_err.find("plugin not found: no_such_page.cvp"), std::string::npos);
    EXPECT_EQ(Cli({"list"}, m_dir.File("no_such_folder")).m_status, 2);
}

TEST_F(CvaCli, ScriptErrorIsShownAndGivesANonZeroStatus) {
    std::filesystem::create_directories(m_dir.File("mine"));
    WriteAll(m_dir.File("mine/broken.cvp"),
             "[settings]\r\ncategory=Test::Broken\r\n[interface]\r\ntype=check\r\nText0=One\r\n"
             "[script]\r\nSub OnInit()\r\n  CheckItem 0, 1 / 0\r\nEnd Sub\r\n");
    CResult r = Cli({"show", "broken.cvp", "--json"}, m_dir.File("mine"));
    EXPECT_EQ(r.m_status, 1) << r.m_out;
    EXPECT_NE(r.m_out.find("{\"type\":\"error\",\"text\":\"Division by zero"), std::string::npos) << r.m_out;
}

TEST_F(CvaCli, ActionThePageCannotTakeAppliesNothing) {
    CResult r = Cli({"apply", "crash_behaviour.cvp", "--text", "0=x", "--yes"});
    EXPECT_EQ(r.m_status, 3);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    // Asking for the state the page already shows applies nothing and is no failure.
    CResult same = Cli({"apply", "crash_behaviour.cvp", "--check", "0=1", "--yes", "--json"});
    EXPECT_EQ(same.m_status, 0) << same.m_err;
    EXPECT_NE(same.m_out.find("\"applied\":false"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    // A list button the page does not show cannot be pressed.
    EXPECT_EQ(Cli({"apply", "startup_run.cvp", "--button", "2"}).m_status, 3);
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

    CResult shown = Cli({"--target", "wine:" + prefix, "show", "menu_delay.cvp"});
    EXPECT_EQ(shown.m_status, 0) << shown.m_err;
    EXPECT_NE(shown.m_out.find("value=\"123\""), std::string::npos) << "the stored value, not the default";

    CResult r = Cli({"--target", "wine:" + prefix, "apply", "menu_delay.cvp", "--text", "0=77", "--yes", "--json"});
    EXPECT_EQ(r.m_status, 5);
    EXPECT_NE(r.m_out.find("\"applied\":false"), std::string::npos);
    EXPECT_NE(r.m_err.find("the changes were not written: a wineserver (process " + std::to_string(server.Pid())),
              std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(prefix + "/user.reg"), userReg);
    EXPECT_FALSE(std::filesystem::exists(Profile("applied.ini")));
    EXPECT_EQ(TodaysLog().find("Applied"), std::string::npos);
}

} // namespace
