// Runs the built cvascript against temporary sandboxes, as a user would.
#include "platform/settings/SettingsStore.h"

#include "support/ShellCommand.h"
#include "support/TempDir.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <unistd.h>

using cva::test::CTempDir;
using cva::test::IsolatedCommand;
using cva::test::ShellQuote;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

class CvaScript : public ::testing::Test {
protected:
    // Runs the script text; `target` empty leaves --target out.
    int Run(const std::string& script, const std::string& target, const std::string& option = {}) {
        WriteAll(m_dir.File("s.vbs"), script);
        std::string args;
        if (!target.empty()) args += " --target " + ShellQuote(target);
        if (!option.empty()) args += " " + option;
        return RunArgs(args + " //nologo " + ShellQuote(m_dir.File("s.vbs")));
    }
    // Runs cvascript with the arguments as a shell would pass them.
    int RunArgs(const std::string& args) {
        const cva::test::SCommandResult r =
            cva::test::RunShell(IsolatedCommand(m_dir, CVA_SCRIPT_PROGRAM) + args, m_dir.File("command"));
        m_out = r.m_out;
        m_err = r.m_err;
        return r.m_status;
    }

    CTempDir m_dir;
    std::string m_out, m_err;
};

TEST_F(CvaScript, RegistryChangesPersistInTheTarget) {
    std::string box = "sandbox:" + m_dir.File("box");
    ASSERT_EQ(0, Run("CreateObject(\"WScript.Shell\").RegWrite \"HKLM\\Software\\CvaScript\\V\", "
                     "7, \"REG_DWORD\"",
                     box))
        << m_err;
    ASSERT_EQ(0, Run("WScript.Echo "
                     "CreateObject(\"WScript.Shell\").RegRead(\"HKLM\\Software\\CvaScript\\V\")",
                     box))
        << m_err;
    EXPECT_EQ("7\n", m_out);
}

TEST_F(CvaScript, ProfileOptionMakesHkcuThatUsersHive) {
    const std::string box = "sandbox:" + m_dir.File("box");
    const std::string write =
        "CreateObject(\"WScript.Shell\").RegWrite \"HKCU\\Software\\CvaScript\\V\", \"a\"";
    ASSERT_EQ(0, Run(write, box, "--profile Administrator")) << m_err;
    EXPECT_NE(ReadAll(m_dir.File("box/drive_c/Documents and Settings/Administrator/NTUSER.DAT"))
                  .find("CvaScript"),
              std::string::npos);
    EXPECT_EQ(ReadAll(m_dir.File("box/user.reg")).find("CvaScript"), std::string::npos);
    EXPECT_EQ(1, Run(write, box, "--profile Nobody"));
    EXPECT_NE(m_err.find("no profile Nobody"), std::string::npos) << m_err;
}

TEST_F(CvaScript, TheStoredTargetIsUsedWithoutTheOption) {
    std::string other = m_dir.File("other-box");
    cva::settings::CSettingsStore store(m_dir.File("config/Meridot/Corvanta"));
    ASSERT_TRUE(store.WriteProfileString("Settings", "Target", ("sandbox:" + other).c_str()));
    ASSERT_EQ(0, Run("WScript.Echo 1", "")) << m_err;
    EXPECT_TRUE(std::filesystem::exists(other + "/system.reg"));
}

TEST_F(CvaScript, WindowsPathsGoThroughTheDrivesAndHostPathsPassThrough) {
    std::string box = "sandbox:" + m_dir.File("box");
    ASSERT_EQ(0, Run("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                     "WScript.Echo fso.FileExists(\"C:\\WINDOWS\\win.ini\") & \" \" & "
                     "fso.FileExists(WScript.ScriptFullName) & \" \" & fso.GetSpecialFolder(0)",
                     box))
        << m_err;
    EXPECT_EQ("True True C:\\WINDOWS\n", m_out);
}

// The user's own script keeps host paths, but a Wine prefix's drive letters that lie
// outside it follow the rule for plugins: the option or the setting opens them.
TEST_F(CvaScript, HostDrivesOfAWinePrefixNeedTheOptionOrTheSetting) {
    const std::string prefix = m_dir.File("prefix");
    cva::test::MakeWineShapedPrefix(prefix);
    WriteAll(m_dir.File("secret.txt"), "s");
    const std::string script = "Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                               "WScript.Echo fso.FileExists(\"" +
                               cva::test::OnDriveZ(m_dir.File("secret.txt")) + "\") & \" \" & "
                               "fso.FileExists(\"" + m_dir.File("secret.txt") + "\")";
    ASSERT_EQ(0, Run(script, "wine:" + prefix)) << m_err;
    EXPECT_EQ("False True\n", m_out);
    EXPECT_NE(std::string::npos, m_err.find("--allow-host-drives")) << m_err;
    ASSERT_EQ(0, Run(script, "wine:" + prefix, "--allow-host-drives")) << m_err;
    EXPECT_EQ("True True\n", m_out);
    cva::settings::CSettingsStore store(m_dir.File("config/Meridot/Corvanta"));
    ASSERT_TRUE(store.WriteProfileInt("Settings", "AllowHostDrives", 1));
    ASSERT_EQ(0, Run(script, "wine:" + prefix)) << m_err;
    EXPECT_EQ("True True\n", m_out);
}

TEST_F(CvaScript, AnUnknownTargetIsReported) {
    EXPECT_EQ(1, Run("WScript.Echo 1", "bogus:x"));
    EXPECT_NE(std::string::npos, m_err.find("bogus:x"));
    EXPECT_EQ("", m_out);
}

TEST_F(CvaScript, HelpOptionsPrintTheUsage) {
    for (const char* option : {" --help", " -h", " '/?'"}) {
        EXPECT_EQ(0, RunArgs(option)) << option;
        EXPECT_EQ(0u, m_out.find("Usage: cvascript")) << option;
    }
}

TEST_F(CvaScript, UnknownHostOptionsAndFoldersAreInputErrors) {
    std::string box = " --target " + ShellQuote("sandbox:" + m_dir.File("box"));
    EXPECT_EQ(1, RunArgs(box + " //bogus x.vbs"));
    EXPECT_EQ("Input Error: Unknown option \"//bogus\" specified.\n", m_err);
    std::filesystem::create_directories(m_dir.File("folder"));
    EXPECT_EQ(1, RunArgs(box + " //nologo " + ShellQuote(m_dir.File("folder"))));
    EXPECT_NE(std::string::npos, m_err.find("is a folder, not a script file")) << m_err;
    EXPECT_EQ("", m_out);
}

TEST_F(CvaScript, AnUnreadableScriptIsAnInputError) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    WriteAll(m_dir.File("locked.vbs"), "WScript.Echo 1");
    std::filesystem::permissions(m_dir.File("locked.vbs"), std::filesystem::perms::none);
    EXPECT_EQ(1, RunArgs(" --target " + ShellQuote("sandbox:" + m_dir.File("box")) + " //nologo " +
                         ShellQuote(m_dir.File("locked.vbs"))));
    EXPECT_NE(std::string::npos, m_err.find("Can not read script file")) << m_err;
}

} // namespace

TEST_F(CvaScript, TimeoutStopsLoopsAndSleepsAndSavesWhatWasWritten) {
    const std::string box = "sandbox:" + m_dir.File("box");
    const std::string write = "CreateObject(\"WScript.Shell\").RegWrite \"HKLM\\Software\\CvaScript\\T\", 1, "
                              "\"REG_DWORD\"\n";
    for (const char* wait : {"Do : Loop\n", "WScript.Sleep 600000\n"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(1, Run(write + wait, box, "--timeout 1")) << wait;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << wait;
        EXPECT_NE(m_err.find("s.vbs(2, "), std::string::npos) << m_err;
        EXPECT_NE(m_err.find("VBScript runtime error: The script was stopped by the program\n"
                             "cvascript: the script ran longer than 1 seconds (--timeout)\n"),
                  std::string::npos)
            << m_err;
        ASSERT_EQ(0, Run("WScript.Echo CreateObject(\"WScript.Shell\").RegRead(\"HKLM\\Software\\CvaScript\\T\")",
                         box));
        EXPECT_EQ("1\n", m_out);
        std::filesystem::remove_all(m_dir.File("box"));
    }
    // Without the option a short sleep simply ends.
    EXPECT_EQ(0, Run("WScript.Sleep 50\n", box));
    EXPECT_EQ(1, RunArgs(" --timeout never //nologo s.vbs"));
    EXPECT_EQ(0, RunArgs(" --help"));
    EXPECT_NE(m_out.find("[--timeout SECONDS]"), std::string::npos) << m_out;
}
