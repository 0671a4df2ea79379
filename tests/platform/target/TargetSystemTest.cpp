#include "platform/target/TargetSystem.h"

#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"
#include "platform/process/ProcessServices.h"
#include "platform/target/TargetRegistryReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using namespace cva;
using namespace cva::target;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<CTargetSystem> OpenOrFail(const std::string& spec) {
    std::string error;
    auto target = CTargetSystem::Open(spec, error);
    EXPECT_TRUE(target) << error;
    return target;
}

// A minimal prefix as wineboot leaves it: registry files and the drive links.
void MakeWinePrefix(const std::string& prefix, const std::string& userExtra = {}) {
    fs::create_directories(prefix + "/drive_c/windows/system32");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_symlink("/", prefix + "/dosdevices/z:");
    files::WriteFileAtomically(prefix + "/system.reg",
                               "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                               "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n"
                               "\"CurrentBuildNumber\"=\"7601\"\n\"CSDVersion\"=\"Service Pack 1\"\n"
                               "\"CurrentVersion\"=\"6.1\"\n\"SystemRoot\"=\"C:\\\\windows\"\n\n"
                               "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList] 1700000000\n"
                               "\"ProfilesDirectory\"=str(2):\"C:\\\\users\"\n"
                               "\"ProgramData\"=str(2):\"C:\\\\ProgramData\"\n"
                               "\"Public\"=str(2):\"C:\\\\users\\\\Public\"\n\n"
                               "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1700000000\n"
                               "\"ComSpec\"=str(2):\"%SystemRoot%\\\\system32\\\\cmd.exe\"\n"
                               "\"PATH\"=str(2):\"%SystemRoot%\\\\system32;%SystemRoot%\"\n"
                               "\"winsysdir\"=\"C:\\\\windows\\\\system32\"\n");
    files::WriteFileAtomically(prefix + "/user.reg",
                               "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                               "#arch=win64\n\n[Environment] 1700000000\n"
                               "\"TEMP\"=str(2):\"%USERPROFILE%\\\\Temp\"\n\"PATH\"=\"C:\\\\tools\"\n" +
                                   userExtra);
    files::WriteFileAtomically(prefix + "/userdef.reg",
                               "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\.Default\n\n#arch=win64\n");
}

} // namespace

TEST(Sandbox, FirstUseCreatesAWindowsXpSp3Slice) {
    test::CTempFolder temp;
    auto target = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Version().m_major, 5u);
    EXPECT_EQ(target->Version().m_minor, 1u);
    EXPECT_EQ(target->Version().m_build, 2600u);
    EXPECT_EQ(target->Version().m_servicePack, "Service Pack 3");
    EXPECT_EQ(target->WindowsVersionCode(), 7);
    EXPECT_FALSE(target->IsReadOnly());
    EXPECT_TRUE(target->CanChangeMachineSettings());

    for (const char* path : {"C:\\WINDOWS\\system32", "C:\\Program Files", "C:\\WINDOWS\\win.ini",
                             "C:\\Documents and Settings\\Administrator\\NTUSER.DAT",
                             "C:\\Documents and Settings\\Helpdesk\\NTUSER.DAT"}) {
        auto host = target->ToHostPath(path);
        ASSERT_TRUE(host) << path;
        EXPECT_TRUE(fs::exists(*host)) << *host;
    }
    EXPECT_TRUE(fs::is_directory(*target->ToHostPath("C:\\Documents and Settings\\" + target->UserName())));
}

TEST(Sandbox, ProfileListHoldsTheRunningUserOthersAndAServiceProfile) {
    test::CTempFolder temp;
    auto target = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(target);
    CTargetRegistryReader reader(target->Registry());
    const std::string list = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    auto flags = [&](const char* sid) { return reader.ReadDword(reg::HKEY_LOCAL_MACHINE, (list + sid).c_str(), "Flags"); };
    EXPECT_EQ(flags("S-1-5-21-0-0-0-1000"), 0u);
    EXPECT_EQ(flags("S-1-5-21-0-0-0-500"), 0u);
    EXPECT_EQ(flags("S-1-5-21-0-0-0-1003"), 0u);
    EXPECT_NE(flags("S-1-5-18").value_or(0), 0u);
    auto path = reader.ReadString(reg::HKEY_LOCAL_MACHINE, (list + "S-1-5-21-0-0-0-1000").c_str(),
                                  "ProfileImagePath");
    ASSERT_TRUE(path);
    EXPECT_EQ(target->ExpandEnvironmentStrings(*path), "C:\\Documents and Settings\\" + target->UserName());

    // Another user's hive file loads as a hive of its own.
    auto hive = target->ToHostPath("C:\\Documents and Settings\\Administrator\\NTUSER.DAT");
    EXPECT_EQ(target->Registry().RegLoadKeyA(reg::HKEY_USERS, "Corvanta", hive->c_str()), reg::ERROR_SUCCESS);
    EXPECT_EQ(reader.ReadString(reg::HKEY_USERS, "Corvanta\\Control Panel\\Desktop", "MenuShowDelay"), "400");
    EXPECT_EQ(target->Registry().RegUnLoadKeyA(reg::HKEY_USERS, "Corvanta"), reg::ERROR_SUCCESS);
}

TEST(Sandbox, AnExistingSandboxIsNeverReseeded) {
    test::CTempFolder temp;
    const std::string spec = "sandbox:" + temp / "sb";
    {
        auto target = OpenOrFail(spec);
        reg::HKEY key = nullptr;
        ASSERT_EQ(target->Registry().RegOpenKeyExA(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", 0,
                                                   reg::KEY_SET_VALUE, &key),
                  reg::ERROR_SUCCESS);
        const char data[] = "0";
        target->Registry().RegSetValueExA(key, "MenuShowDelay", 0, reg::REG_SZ,
                                          reinterpret_cast<const reg::BYTE*>(data), sizeof data);
        target->Registry().RegCloseKey(key);
        EXPECT_TRUE(target->SaveChanges());
    }
    auto again = OpenOrFail(spec);
    CTargetRegistryReader reader(again->Registry());
    EXPECT_EQ(reader.ReadString(reg::HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay"), "0");
}

TEST(TargetEnvironment, SandboxEnvironmentComesFromItsRegistry) {
    test::CTempFolder temp;
    auto target = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(target);
    const std::string profile = "C:\\Documents and Settings\\" + target->UserName();
    EXPECT_EQ(target->ExpandEnvironmentStrings("%SystemRoot%|%WINDIR%|%systemdrive%"),
              "C:\\WINDOWS|C:\\WINDOWS|C:");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%USERPROFILE%"), profile);
    EXPECT_EQ(target->ExpandEnvironmentStrings("%TEMP%"), profile + "\\Local Settings\\Temp");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%APPDATA%"), profile + "\\Application Data");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%ALLUSERSPROFILE%"), "C:\\Documents and Settings\\All Users");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%ProgramFiles%|%CommonProgramFiles%"),
              "C:\\Program Files|C:\\Program Files\\Common Files");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%ComSpec%"), "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%USERNAME%"), target->UserName());
    EXPECT_FALSE(target->ComputerName().empty());
    EXPECT_EQ(target->ExpandEnvironmentStrings("%NoSuchThing%\\x"), "%NoSuchThing%\\x");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%PUBLIC%"), "%PUBLIC%"); // XP has none
    EXPECT_EQ(target->WindowsFolder(), "C:\\WINDOWS");
    EXPECT_EQ(target->SystemFolder(), "C:\\WINDOWS\\system32");
}

TEST(TargetPaths, WindowsPathsResolveThroughTheDrivesOnly) {
    test::CTempFolder temp;
    auto target = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(target);
    auto ini = target->ToHostPath("c:/windows/WIN.INI");
    ASSERT_TRUE(ini);
    EXPECT_EQ(*ini, temp / "sb/drive_c/WINDOWS/win.ini");
    EXPECT_EQ(target->ToHostPath("C:\\..\\..\\WINDOWS"), temp / "sb/drive_c/WINDOWS");
    EXPECT_FALSE(target->ToHostPath("D:\\anything"));
    EXPECT_EQ(target->ToWindowsPath(temp / "sb/drive_c/WINDOWS/win.ini"), "C:\\WINDOWS\\win.ini");
}

TEST(WineTarget, DrivesEnvironmentAndVersionComeFromThePrefix) {
    test::CTempFolder temp;
    const std::string prefix = temp / "prefix";
    MakeWinePrefix(prefix);
    auto target = OpenOrFail("wine:" + prefix);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Kind(), TargetKind::Wine);
    EXPECT_EQ(target->Version().m_major, 6u);
    EXPECT_EQ(target->Version().m_minor, 1u);
    EXPECT_EQ(target->WindowsVersionCode(), 9);
    EXPECT_EQ(target->ToHostPath("C:\\Windows\\System32"), prefix + "/drive_c/windows/system32");
    EXPECT_EQ(target->ToHostPath("Z:\\etc"), std::nullopt) << "Z: is the host, not the prefix";
    target->AllowHostDrives(true);
    EXPECT_EQ(target->ToHostPath("Z:\\etc"), "/etc");
    EXPECT_EQ(target->ExpandEnvironmentStrings("%windir%|%ALLUSERSPROFILE%|%USERPROFILE%"),
              "C:\\windows|C:\\ProgramData|C:\\users\\" + target->UserName());
    EXPECT_EQ(target->ExpandEnvironmentStrings("%TEMP%"), "C:\\users\\" + target->UserName() + "\\Temp");
    // Vista and later name the public folder too.
    EXPECT_EQ(target->ExpandEnvironmentStrings("%PUBLIC%"), "C:\\users\\Public");
    // The user's Path extends the system's.
    EXPECT_EQ(target->ExpandEnvironmentStrings("%path%"), "C:\\windows\\system32;C:\\windows;C:\\tools");
}

TEST(WineTarget, WinesOwnVersionSettingWins) {
    test::CTempFolder temp;
    const std::string prefix = temp / "prefix";
    MakeWinePrefix(prefix, "\n[Software\\\\Wine] 1700000000\n\"Version\"=\"winxp\"\n");
    auto target = OpenOrFail("wine:" + prefix);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->Version().m_minor, 1u);
    EXPECT_EQ(target->Version().m_major, 5u);
    EXPECT_EQ(target->Version().m_build, 2600u);
}

TEST(TargetActions, RestartAndLogOffNeverReachTheHost) {
    test::CTempFolder temp;
    auto sandbox = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(sandbox);
    std::vector<std::string> recorded;
    sandbox->SetRecorder([&](const std::string& entry) { recorded.push_back(entry); });
    EXPECT_TRUE(sandbox->Restart());
    EXPECT_TRUE(sandbox->LogOff());
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_NE(recorded[0].find("Restart"), std::string::npos);

    // A Wine prefix is restarted through wineboot with that prefix.
    const std::string prefix = temp / "prefix";
    MakeWinePrefix(prefix);
    auto wine = OpenOrFail("wine:" + prefix);
    ASSERT_TRUE(wine);
    const std::string fake = temp / "wineboot";
    files::WriteFileAtomically(fake, "#!/bin/sh\necho \"$WINEPREFIX $1\" >> \"$WINEPREFIX/calls\"\n");
    chmod(fake.c_str(), 0755);
    wine->SetLaunchers({}, fake);
    EXPECT_TRUE(wine->Restart());
    EXPECT_TRUE(wine->LogOff());
    EXPECT_EQ(files::ReadWholeFile(prefix + "/calls"),
              prefix + " --restart\n" + prefix + " --end-session\n");
}

TEST(TargetActions, TheSandboxStartsNothingAndRecordsWhatWasAsked) {
    test::CTempFolder temp;
    auto target = OpenOrFail("sandbox:" + temp / "sb");
    ASSERT_TRUE(target);
    // Any launcher that ran would leave this file behind.
    const std::string fake = temp / "launcher";
    files::WriteFileAtomically(fake, "#!/bin/sh\ntouch \"" + temp / "started" + "\"\n");
    chmod(fake.c_str(), 0755);
    target->SetLaunchers({fake, fake}, fake);
    std::vector<std::string> recorded;
    target->SetRecorder([&](const std::string& entry) { recorded.push_back(entry); });
    const std::string touch = "-c 'touch " + temp / "x" + "'";
    int exitCode = -1;
    EXPECT_EQ(target->ShellExecute("sh", touch, {}, &exitCode), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("/bin/sh", touch, {}, &exitCode), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("%SystemRoot%\\win.ini"), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("Q:\\nothing.txt"), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("https://example.org/"), SE_ERR_FNF);
    std::unique_ptr<CChildProcess> process;
    EXPECT_EQ(target->Exec("sh", touch, {}, process), SE_ERR_FNF);
    EXPECT_FALSE(process);
    EXPECT_FALSE(fs::exists(temp / "x"));
    EXPECT_FALSE(fs::exists(temp / "started"));
    ASSERT_EQ(recorded.size(), 6u);
    EXPECT_EQ(recorded[0], "Run \"sh " + touch + "\" on the sandbox " + temp / "sb" +
                               ": not started (the sandbox has no programs)");
    EXPECT_NE(recorded[1].find("a host program"), std::string::npos) << recorded[1];
    EXPECT_NE(recorded[2].find("\"C:\\WINDOWS\\win.ini\""), std::string::npos) << recorded[2];
}

// A Wine prefix runs what it finds in the prefix through wine, never a host program.
TEST(TargetActions, WindowsProgramsRunThroughWineInThePrefix) {
    test::CTempFolder temp;
    const std::string prefix = temp / "prefix";
    MakeWinePrefix(prefix);
    const std::string c = fs::canonical(prefix + "/drive_c").string();
    files::WriteFileAtomically(c + "/windows/system32/cmd.exe", "MZ");
    files::WriteFileAtomically(c + "/Setup.EXE", "MZ");
    files::WriteFileAtomically(c + "/run.bat", "@echo off");
    auto target = OpenOrFail("wine:" + prefix);
    ASSERT_TRUE(target);
    // Records its folder, arguments and WINEPREFIX, says hello on both streams, ends with 7.
    const std::string wine = temp / "wine";
    files::WriteFileAtomically(wine, "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; "
                                     "echo \"prefix=$WINEPREFIX\"; } >> \"$0.out\"\n"
                                     "echo out; echo err >&2; exit 7\n");
    chmod(wine.c_str(), 0755);
    target->SetLaunchers({"/nonexistent/opener", wine}, "wineboot");
    auto calls = [&] {
        std::string text = files::ReadWholeFile(wine + ".out").value_or("");
        fs::remove(wine + ".out");
        return text;
    };

    int exitCode = 0;
    EXPECT_EQ(target->ShellExecute("cmd", "/c \"echo hi\"", {}, &exitCode), SE_SUCCESS);
    EXPECT_EQ(exitCode, 7);
    EXPECT_EQ(calls(), c + "/windows\n" + c + "/windows/system32/cmd.exe\n/c\necho hi\nprefix=" +
                           prefix + "\n");
    EXPECT_EQ(target->ShellExecute("c:\\setup.exe", "/S", "C:\\", &exitCode), SE_SUCCESS);
    EXPECT_EQ(calls(), c + "\n" + c + "/Setup.EXE\n/S\nprefix=" + prefix + "\n");
    EXPECT_EQ(target->ShellExecute("C:\\run.bat", {}, {}, &exitCode), SE_SUCCESS);
    EXPECT_EQ(calls(), c + "/windows\nstart\n/wait\n/unix\n" + c + "/run.bat\nprefix=" + prefix + "\n");

    std::unique_ptr<CChildProcess> process;
    ASSERT_EQ(target->Exec("cmd", "/c ver", {}, process), SE_SUCCESS);
    EXPECT_EQ(process->ReadAll(CChildProcess::EStream::Output), "out\n");
    EXPECT_EQ(process->ReadAll(CChildProcess::EStream::Errors), "err\n");
    while (!process->HasExited()) {
    }
    EXPECT_EQ(process->ExitCode(), 7);
    calls();

    // Nothing outside the prefix, and no other handler than the browser.
    EXPECT_EQ(target->ShellExecute("nosuch", {}, {}, &exitCode), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("Z:\\bin\\sh", "-c true", {}, &exitCode), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("/bin/sh", "-c true", {}, &exitCode), SE_ERR_FNF);
    EXPECT_EQ(target->ShellExecute("file:///etc/passwd"), SE_ERR_NOASSOC);
    EXPECT_EQ(calls(), "");
    target->SetLaunchers({"/nonexistent/opener", "/nonexistent/wine"}, "wineboot");
    EXPECT_EQ(target->ShellExecute("cmd", {}, {}, &exitCode), SE_ERR_NOASSOC);
}
