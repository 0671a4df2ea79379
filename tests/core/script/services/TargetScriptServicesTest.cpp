// The services behind WScript.Shell, FileSystemObject, MsgBox and InputBox when a script
// runs against a target: registry, paths, environment and prompts.
#include "core/script/TargetScriptServices.h"
#include "core/app/UserPrompts.h"
#include "core/script/HostOwner.h"
#include "core/script/HostProxy.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "vbscript/Engine.h"
#include "support/TempDir.h"
#include "support/WinePrefix.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace cva::test {
namespace {

using namespace cva::reg;

class CRecordingPrompts : public app::IUserPrompts {
public:
    int MessageBox(const std::string& text, const std::string& caption,
                   unsigned int style) override {
        m_asked += caption + ": " + text + "\n";
        m_style = style;
        return app::IDNO;
    }
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& request) override {
        m_asked +=
            request.m_caption + ": " + request.m_description + " [" + request.m_text1 + "]\n";
        return app::SInputBoxResult{"typed", ""};
    }
    std::optional<std::string> PickFile(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::string m_asked;
    unsigned int m_style = 0;
};

class COwner : public script::IHostOwner {
public:
    pages::CPropertyPageBase* CurrentPage() override { return nullptr; }
    HKEY UserHive() override { return m_hive; }
    app::IUserPrompts& Prompts() override { return m_prompts; }
    void PostQuit() override {}
    void AddRestartRequest() override {}
    void AddLogoffRequest() override {}
    HKEY m_hive = nullptr;
    CRecordingPrompts m_prompts;
};

class TargetScriptServicesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<CTempDir>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + s_dir->Path() + "/sandbox", error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_dir.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(s_target);
        m_host = std::make_unique<script::CHost_Proxy>(*s_target, true);
        m_host->SetMainWindow(&m_owner);
        ASSERT_TRUE(m_host->CreateEngine(u"vbScript"));
    }

    // Runs `body` as a function's body and returns what it assigns to R (as text), or
    // "error N" when the script raised one.
    std::string Eval(const std::string& body) {
        std::string text = "Function T()\n" + body + "\nEnd Function\n";
        if (!m_host->ParseScript(text::Utf8ToUtf16(text))) return "parse error";
        vbs::Variant result;
        uint32_t rc = m_host->CallRoutine(u"T", {}, &result);
        if (rc != script::S_OK) return "error " + std::to_string(rc & 0xFFFF);
        if (result.IsString()) return text::Utf16ToUtf8(result.AsString().View());
        if (result.Type() == vbs::VarType::Long) return std::to_string(result.AsLong());
        return "?";
    }

    std::string HostFile(const std::string& windowsPath) {
        return s_target->ToHostPath(windowsPath).value_or("");
    }

    static std::unique_ptr<CTempDir> s_dir;
    static std::unique_ptr<target::CTargetSystem> s_target;
    COwner m_owner;
    std::unique_ptr<script::CHost_Proxy> m_host;
};

std::unique_ptr<CTempDir> TargetScriptServicesTest::s_dir;
std::unique_ptr<target::CTargetSystem> TargetScriptServicesTest::s_target;

// --- WScript.Shell registry ------------------------------------------------------------

TEST_F(TargetScriptServicesTest, ShellRegistryRoundTripOnTheTarget) {
    EXPECT_EQ("5|text|%WINDIR%x",
              Eval("Set sh = CreateObject(\"WScript.Shell\")\n"
                   "sh.RegWrite \"HKCU\\Software\\CvaSvc\\N\", 5, \"REG_DWORD\"\n"
                   "sh.RegWrite \"HKCU\\Software\\CvaSvc\\S\", \"text\"\n"
                   "sh.RegWrite \"HKCU\\Software\\CvaSvc\\E\", \"%WINDIR%x\", \"REG_EXPAND_SZ\"\n"
                   "T = sh.RegRead(\"HKCU\\Software\\CvaSvc\\N\") & \"|\" & "
                   "sh.RegRead(\"HKCU\\Software\\CvaSvc\\S\") & \"|\" & "
                   "RegReadValue(\"HKCU\\Software\\CvaSvc\\E\")"));
    EXPECT_EQ(5, m_host->RegReadValueD("HKCU\\Software\\CvaSvc\\N"));
    EXPECT_EQ("C:\\WINDOWSx",
              Eval("T = CreateObject(\"WScript.Shell\").RegRead(\"HKCU\\Software\\CvaSvc\\E\")"));
}

TEST_F(TargetScriptServicesTest, ShellRegistryErrorsCarryWindowsNumbers) {
    EXPECT_EQ("-2147024894",
              Eval("On Error Resume Next\n"
                   "x = CreateObject(\"WScript.Shell\").RegRead(\"HKCU\\Software\\CvaNone\\V\")\n"
                   "T = CStr(Err.Number)"));
    EXPECT_EQ("-2147024893",
              Eval("On Error Resume Next\n"
                   "x = CreateObject(\"WScript.Shell\").RegRead(\"HKXX\\Software\\V\")\n"
                   "T = CStr(Err.Number)"));
    EXPECT_EQ("-2147024894",
              Eval("On Error Resume Next\n"
                   "CreateObject(\"WScript.Shell\").RegDelete \"HKCU\\Software\\CvaNone\\\"\n"
                   "T = CStr(Err.Number)"));
}

TEST_F(TargetScriptServicesTest, ShellRegistryBinaryAndDefaultValues) {
    m_host->RegWriteValueB("HKCU\\Software\\CvaBin\\B", "01ff");
    EXPECT_EQ("2:1,255",
              Eval("v = CreateObject(\"WScript.Shell\").RegRead(\"HKCU\\Software\\CvaBin\\B\")\n"
                   "T = UBound(v) - LBound(v) + 1 & \":\" & v(0) & \",\" & v(1)"));
    EXPECT_EQ("",
              Eval("T = CreateObject(\"WScript.Shell\").RegRead(\"HKCU\\Software\\CvaBin\\\")"));
    EXPECT_EQ("ok", Eval("Set sh = CreateObject(\"WScript.Shell\")\n"
                         "sh.RegWrite \"HKCU\\Software\\CvaBin\\\", \"dflt\"\n"
                         "sh.RegDelete \"HKCU\\Software\\CvaBin\\B\"\n"
                         "If sh.RegRead(\"HKCU\\Software\\CvaBin\\\") = \"dflt\" Then T = \"ok\""));
    EXPECT_FALSE(m_host->RegValueExists("HKCU\\Software\\CvaBin\\B"));
}

TEST_F(TargetScriptServicesTest, ShellRegistryFollowsTheSelectedUser) {
    std::string hiveFile =
        s_target->Folder() + "/drive_c/Documents and Settings/Helpdesk/NTUSER.DAT";
    ASSERT_EQ(ERROR_SUCCESS,
              s_target->Registry().RegLoadKeyA(HKEY_USERS, "Corvanta", hiveFile.c_str()));
    HKEY hive = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              s_target->Registry().RegOpenKeyExA(HKEY_USERS, "Corvanta", 0, KEY_ALL_ACCESS, &hive));
    m_owner.m_hive = hive;
    Eval("CreateObject(\"WScript.Shell\").RegWrite \"HKCU\\Software\\CvaWho\\V\", \"helpdesk\"");
    EXPECT_EQ("helpdesk", m_host->RegReadValueS("HKAU\\Corvanta\\Software\\CvaWho\\V"));
    m_owner.m_hive = nullptr;
    EXPECT_EQ("", m_host->RegReadValueS("HKCU\\Software\\CvaWho\\V"));
    s_target->Registry().RegCloseKey(hive);
    EXPECT_EQ(ERROR_SUCCESS, s_target->Registry().RegUnLoadKeyA(HKEY_USERS, "Corvanta"));
}

// --- Paths and folders -------------------------------------------------------------------

TEST_F(TargetScriptServicesTest, FilesResolveThroughTheTargetDrives) {
    EXPECT_EQ("C:\\WINDOWS|C:\\WINDOWS\\system32",
              Eval("Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
                   "T = fso.GetSpecialFolder(0) & \"|\" & fso.GetSpecialFolder(1)"));
    EXPECT_EQ("True", Eval("T = "
                           "CStr(CreateObject(\"Scripting.FileSystemObject\").FileExists(\"C:"
                           "\\WINDOWS\\win.ini\"))"));
    Eval("Set f = CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"cva-rel.txt\")\n"
         "f.Write \"x\"\nf.Close");
    EXPECT_TRUE(std::filesystem::exists(HostFile("C:\\WINDOWS\\cva-rel.txt")))
        << "relative to the Windows folder";
}

TEST_F(TargetScriptServicesTest, HostPathsAreRefusedUnlessAllowed) {
    script::CTargetScriptServices services(*s_target);
    EXPECT_FALSE(services.MapPath(u"/etc/passwd"));
    EXPECT_FALSE(services.MapPath(u"\\\\server\\share\\x"));
    EXPECT_EQ(HostFile("C:\\WINDOWS\\win.ini"),
              services.MapPath(u"C:\\..\\..\\WINDOWS\\win.ini").value_or(""));
    s_target->AllowHostPaths(true);
    EXPECT_EQ("/etc/passwd", services.MapPath(u"/etc/passwd").value_or(""));
    s_target->AllowHostPaths(false);
}

TEST_F(TargetScriptServicesTest, CurrentDirectoryMovesOnlyToExistingFolders) {
    script::CTargetScriptServices services(*s_target);
    EXPECT_EQ(u"C:\\WINDOWS", services.CurrentDirectory());
    services.SetCurrentDirectory(u"system32");
    EXPECT_EQ(u"C:\\WINDOWS\\system32", services.CurrentDirectory());
    services.SetCurrentDirectory(u"C:\\NoSuchFolder");
    EXPECT_EQ(u"C:\\WINDOWS\\system32", services.CurrentDirectory());
    EXPECT_EQ(HostFile("C:\\boot.ini"), services.MapPath(u"\\boot.ini").value_or(""));
}

TEST_F(TargetScriptServicesTest, SpecialFoldersComeFromTheShellFolders) {
    script::CTargetScriptServices services(*s_target);
    std::u16string desktop = services.SpecialFolder(u"Desktop");
    EXPECT_NE(std::u16string::npos, desktop.find(u"\\Desktop")) << text::Utf16ToUtf8(desktop);
    EXPECT_EQ(0u, desktop.find(u"C:\\Documents and Settings\\"));
    EXPECT_NE(std::u16string::npos, services.SpecialFolder(u"allusersdesktop").find(u"All Users"));
    EXPECT_EQ(u"", services.SpecialFolder(u"NoSuchFolder"));
}

// --- Environment ---------------------------------------------------------------------------

TEST_F(TargetScriptServicesTest, EnvironmentScopes) {
    script::CTargetScriptServices services(*s_target);
    EXPECT_EQ(u"C:\\WINDOWS",
              services.GetEnvironmentVariable(u"Process", u"windir").value_or(u"?"));
    EXPECT_EQ(u"C:\\WINDOWS\\x", services.ExpandEnvironmentStrings(u"%SystemRoot%\\x"));
    EXPECT_TRUE(services.SetEnvironmentVariable(u"Process", u"CVA_ONLY_HERE", u"1").IsOk());
    EXPECT_FALSE(s_target->Environment().Get("CVA_ONLY_HERE"))
        << "the process scope stays in the script";

    EXPECT_TRUE(services.SetEnvironmentVariable(u"User", u"CVA_USER", u"u").IsOk());
    EXPECT_EQ("u", m_host->RegReadValueS("HKCU\\Environment\\CVA_USER"));
    EXPECT_TRUE(services.SetEnvironmentVariable(u"System", u"CVA_SYS", u"%windir%\\s").IsOk());
    EXPECT_EQ(
        4, m_host->RegValueType(
               "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment\\CVA_SYS"));
    EXPECT_EQ(u"%windir%\\s",
              services.GetEnvironmentVariable(u"System", u"CVA_SYS").value_or(u"?"));
    EXPECT_EQ("C:\\WINDOWS\\s", s_target->Environment().Get("CVA_SYS").value_or("?"))
        << "programs started on the target see the new variable";
    bool listed = false;
    for (const auto& entry : services.EnvironmentStrings(u"System"))
        listed |= entry == u"CVA_SYS=%windir%\\s";
    EXPECT_TRUE(listed);
    EXPECT_TRUE(services.RemoveEnvironmentVariable(u"System", u"CVA_SYS").IsOk());
    EXPECT_FALSE(services.GetEnvironmentVariable(u"System", u"CVA_SYS"));

    EXPECT_TRUE(services.EnvironmentStrings(u"Volatile").empty());
    EXPECT_FALSE(services.SetEnvironmentVariable(u"Volatile", u"X", u"1").IsOk());
}

// --- Run and prompts -------------------------------------------------------------------

TEST_F(TargetScriptServicesTest, RunReportsAMissingProgram) {
    EXPECT_EQ("-2147024894",
              Eval("On Error Resume Next\n"
                   "CreateObject(\"WScript.Shell\").Run \"C:\\WINDOWS\\nosuch.exe\"\n"
                   "T = CStr(Err.Number)"));
}

TEST_F(TargetScriptServicesTest, RunWaitsForHostProgramsOnlyWhenAllowed) {
    script::CTargetScriptServices services(*s_target);
    int32_t exitCode = -5;
    EXPECT_FALSE(services.Run(u"/bin/true", 1, false, exitCode).IsOk());
    s_target->AllowHostPaths(true);
    EXPECT_TRUE(services.Run(u"/bin/sh -c \"exit 3\"", 1, true, exitCode).IsOk());
    EXPECT_EQ(3, exitCode);
    EXPECT_FALSE(services.Run(u"/no/such/program", 1, true, exitCode).IsOk());
    s_target->AllowHostPaths(false);
}

// A program that never ends cannot hold a stopped script: waiting for it to end, or for
// its output, gives way to the interrupt, and the routine fails with the interrupt's error.
TEST_F(TargetScriptServicesTest, AStoppedScriptStopsWaitingForItsProgram) {
    s_target->AllowHostPaths(true);
    script::CTargetScriptServices services(*s_target);
    vbs::CScriptEngine engine;
    engine.SetServices(&services);
    engine.SetHeartbeat([&](std::chrono::milliseconds running) {
        if (running >= std::chrono::milliseconds(100)) engine.Interrupt();
    });
    ASSERT_TRUE(engine.ParseScript(u"Set sh = CreateObject(\"WScript.Shell\")\n"
                                   u"Sub Waits\nsh.Run \"/bin/sleep 30\", 0, True\nEnd Sub\n"
                                   u"Function Reads\nSet e = sh.Exec(\"/bin/sleep 30\")\n"
                                   u"Reads = e.StdOut.ReadAll\nEnd Function\n"));
    for (const char16_t* routine : {u"Waits", u"Reads"}) {
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(vbs::kErrUserInterrupt, engine.CallRoutine(routine, {}).number);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
    }
    s_target->AllowHostPaths(false);
}

// A plugin asks the sandbox to run a host command: nothing runs, the script sees what
// Windows says for a program that is not there, and the log says what was asked.
TEST_F(TargetScriptServicesTest, TheSandboxRunsNoProgramsForAScript) {
    std::vector<std::string> recorded;
    s_target->SetRecorder([&](const std::string& entry) { recorded.push_back(entry); });
    const std::string marker = s_dir->File("touched");
    const std::string command = "sh -c 'touch " + marker + "'";
    EXPECT_EQ("-2147024894 The system cannot find the file specified.|-2147024894|0",
              Eval("On Error Resume Next\nSet sh = CreateObject(\"WScript.Shell\")\n"
                   "sh.Run \"" + command + "\", 0, True\n"
                   "T = Err.Number & \" \" & Err.Description\nErr.Clear\n"
                   "Set e = sh.Exec(\"" + command + "\")\n"
                   "T = T & \"|\" & Err.Number & \"|\" & Exe(\"open\", \"sh\", \"-c 'touch " +
                   marker + "'\")"));
    s_target->SetRecorder(nullptr);
    EXPECT_FALSE(std::filesystem::exists(marker));
    ASSERT_EQ(3u, recorded.size());
    EXPECT_NE(std::string::npos, recorded[0].find("\"" + command + "\" on the sandbox"));
    EXPECT_NE(std::string::npos, recorded[0].find("the sandbox has no programs"));
}

// A fresh Wine prefix maps Z: to the whole host, and links in drive_c lead to the
// user's folders: by default a script reaches none of it, by FileSystemObject or by the
// host functions, unless the user allows host drives.
TEST(TargetScriptServicesWine, HostDrivesAndLinksAreOutOfReachUntilAllowed) {
    CTempDir dir;
    const std::string prefix = dir.File("prefix");
    MakeWineShapedPrefix(prefix);
    std::filesystem::create_directories(dir.File("home/Documents"));
    WriteAll(dir.File("home/Documents/secret.txt"), "secret");
    std::filesystem::create_directories(prefix + "/drive_c/users/me");
    std::filesystem::create_directory_symlink(dir.File("home/Documents"),
                                              prefix + "/drive_c/users/me/Documents");
    std::string error;
    auto target = target::CTargetSystem::Open("wine:" + prefix, error);
    ASSERT_TRUE(target) << error;
    std::vector<std::string> recorded;
    target->SetRecorder([&](const std::string& entry) { recorded.push_back(entry); });
    COwner owner;
    script::CHost_Proxy host(*target, true);
    host.SetMainWindow(&owner);
    ASSERT_TRUE(host.CreateEngine(u"vbScript"));
    const std::string onZ = OnDriveZ(dir.File("home/Documents/secret.txt"));
    auto read = [&] {
        std::string script =
            "Function T()\nOn Error Resume Next\nSet fso = CreateObject(\"Scripting.FileSystemObject\")\n"
            "Set f = fso.OpenTextFile(\"" + onZ + "\")\ne = Err.Number\nErr.Clear\ns = f.ReadAll\n"
            "T = e & \"|\" & s & \"|\" & fso.DriveExists(\"Z:\") & \"|\" & FileExists(\"" + onZ + "\")\n"
            "fso.CopyFolder \"C:\\users\\me\", \"C:\\copy\"\n"
            "T = T & \"|\" & fso.FileExists(\"C:\\copy\\Documents\\secret.txt\")\n"
            "T = T & \"|\" & TxtOpen(\"C:\\users\\me\\Documents\\secret.txt\")\n"
            "fso.DeleteFile \"C:\\users\\me\\Documents\\secret.txt\"\nEnd Function\n";
        vbs::Variant result;
        if (!host.ParseScript(text::Utf8ToUtf16(script)) || host.CallRoutine(u"T", {}, &result) != script::S_OK)
            return std::string("error");
        return text::Utf16ToUtf8(result.AsString().View());
    };
    // 76 is what a missing drive gives.
    EXPECT_EQ("76||False|False|False|-1", read());
    EXPECT_TRUE(std::filesystem::exists(dir.File("home/Documents/secret.txt")));
    EXPECT_FALSE(std::filesystem::exists(prefix + "/drive_c/copy/Documents/secret.txt"));
    ASSERT_FALSE(recorded.empty());
    EXPECT_NE(std::string::npos, recorded[0].find("outside the Wine prefix"));
    EXPECT_NE(std::string::npos, recorded[0].find("AllowHostDrives"));

    target->AllowHostDrives(true);
    EXPECT_EQ("0|secret|True|True|True|0", read());
    EXPECT_FALSE(std::filesystem::exists(dir.File("home/Documents/secret.txt")));
}

TEST_F(TargetScriptServicesTest, PromptsGoToTheOwner) {
    EXPECT_EQ(
        "7|typed",
        Eval("T = MsgBox(\"Sure?\", vbYesNo, \"Title\") & \"|\" & InputBox(\"Name?\", , \"def\")"));
    EXPECT_EQ("Title: Sure?\nVBScript: Name? [def]\n", m_owner.m_prompts.m_asked);
    EXPECT_EQ(app::MB_YESNO, m_owner.m_prompts.m_style);
}

TEST_F(TargetScriptServicesTest, WithoutPromptsTheDefaultsAnswer) {
    script::CTargetScriptServices services(*s_target);
    EXPECT_EQ(1, services.MessageBox(u"x", 0, u"t", 0));
}

} // namespace
} // namespace cva::test
