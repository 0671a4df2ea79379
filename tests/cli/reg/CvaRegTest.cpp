// Runs the built cva-reg on temporary sandboxes and prefixes, as a user would.
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

#include "support/LockHolder.h"
#include "support/ShellCommand.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

using cva::test::CTempDir;
using cva::test::IsolatedCommand;
using cva::test::RunShell;
using cva::test::SCommandResult;
using cva::test::ShellQuote;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

class CvaReg : public ::testing::Test {
protected:
    SCommandResult Run(const std::vector<std::string>& args, const std::string& input = "",
                bool withTarget = true) {
        WriteAll(m_dir.File("stdin"), input);
        std::string cmd = IsolatedCommand(m_dir, CVA_REG_PROGRAM);
        if (withTarget) cmd += " --target " + ShellQuote("sandbox:" + Box());
        for (const auto& a : args)
            cmd += " " + ShellQuote(a);
        return RunShell(cmd, m_dir.File("command"), m_dir.File("stdin"));
    }
    std::string Box() const { return m_dir.File("box"); }
    void Add(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"add"};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back("/f");
        SCommandResult r = Run(all);
        ASSERT_EQ(r.m_status, 0) << r.m_err;
        EXPECT_EQ(r.m_out, "The operation completed successfully.\n");
    }

    CTempDir m_dir;
};

TEST_F(CvaReg, AddsAndQueriesEveryType) {
    Add({"HKCU\\Software\\T", "/ve", "/d", "default"});
    Add({"HKCU\\Software\\T", "/v", "sz", "/d", "a\"b\\c \xC3\xA9"});
    Add({"HKCU\\Software\\T", "/v", "exp", "/t", "REG_EXPAND_SZ", "/d", "%SystemRoot%\\x"});
    Add({"HKCU\\Software\\T", "/v", "multi", "/t", "reg_multi_sz", "/d", "one\\0two"});
    Add({"HKCU\\Software\\T", "/v", "sep", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#b"});
    Add({"HKCU\\Software\\T", "/v", "dw", "/t", "REG_DWORD", "/d", "4294967295"});
    Add({"HKCU\\Software\\T", "/v", "hex", "/t", "REG_DWORD", "/d", "0x2A"});
    Add({"HKCU\\Software\\T", "/v", "qw", "/t", "REG_QWORD", "/d", "0x1122334455667788"});
    Add({"HKCU\\Software\\T", "/v", "bin", "/t", "REG_BINARY", "/d", "00ff10Ab"});
    Add({"HKCU\\Software\\T", "/v", "none", "/t", "REG_NONE"});
    SCommandResult r = Run({"query", "hkey_current_user\\Software\\T"});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    // Each run reloads the file, whose values Wine's layout keeps sorted.
    EXPECT_EQ(r.m_out, "\nHKEY_CURRENT_USER\\Software\\T\n"
                       "    (Default)    REG_SZ    default\n"
                       "    bin    REG_BINARY    00FF10AB\n"
                       "    dw    REG_DWORD    0xffffffff\n"
                       "    exp    REG_EXPAND_SZ    %SystemRoot%\\x\n"
                       "    hex    REG_DWORD    0x2a\n"
                       "    multi    REG_MULTI_SZ    one\\0two\n"
                       "    none    REG_NONE    \n"
                       "    qw    REG_QWORD    0x1122334455667788\n"
                       "    sep    REG_MULTI_SZ    a\\0b\n"
                       "    sz    REG_SZ    a\"b\\c \xC3\xA9\n"
                       "\n");
    std::string user = ReadAll(Box() + "/user.reg");
    EXPECT_NE(user.find("\"multi\"=str(7):\"one\\0two\\0\"\n"), std::string::npos) << user;
    EXPECT_NE(user.find("\"sz\"=\"a\\\"b\\\\c \\xe9\"\n"), std::string::npos) << user;
}

TEST_F(CvaReg, QueryListsSubkeysAndRecursesLikeRegExe) {
    Add({"HKLM\\Software\\Q", "/v", "a", "/d", "1"});
    Add({"HKLM\\Software\\Q\\Sub", "/v", "b", "/t", "REG_DWORD", "/d", "2"});
    Add({"HKLM\\Software\\Q\\Sub\\Leaf"});
    SCommandResult r = Run({"query", "HKLM\\Software\\Q"});
    EXPECT_EQ(r.m_out, "\nHKEY_LOCAL_MACHINE\\Software\\Q\n    a    REG_SZ    "
                       "1\n\nHKEY_LOCAL_MACHINE\\Software\\Q\\Sub\n");
    r = Run({"query", "HKLM\\Software\\Q", "/s"});
    EXPECT_EQ(r.m_out, "\nHKEY_LOCAL_MACHINE\\Software\\Q\n    a    REG_SZ    1\n\n"
                       "HKEY_LOCAL_MACHINE\\Software\\Q\\Sub\n    b    REG_DWORD    0x2\n\n"
                       "HKEY_LOCAL_MACHINE\\Software\\Q\\Sub\\Leaf\n\n");
    r = Run({"query", "HKLM\\Software\\Q", "/v", "B", "/s"});
    EXPECT_EQ(r.m_out, "\nHKEY_LOCAL_MACHINE\\Software\\Q\\Sub\n    B    REG_DWORD    0x2\n\nEnd "
                       "of search: 1 match(es) found.\n");
    r = Run({"query", "HKLM\\Software\\Q", "/ve"});
    EXPECT_EQ(r.m_out,
              "\nHKEY_LOCAL_MACHINE\\Software\\Q\n    (Default)    REG_SZ    (value not set)\n\n");
    r = Run({"query", "HKLM\\Software\\Q", "/v", "missing"});
    EXPECT_EQ(r.m_status, 1);
    EXPECT_EQ(r.m_err,
              "ERROR: The system was unable to find the specified registry key or value.\n");
}

TEST_F(CvaReg, DeletesValuesAndKeys) {
    Add({"HKCU\\Software\\D\\Sub", "/v", "x", "/d", "1"});
    Add({"HKCU\\Software\\D", "/v", "a", "/d", "1"});
    Add({"HKCU\\Software\\D", "/v", "b", "/d", "2"});
    EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/v", "a", "/f"}).m_status, 0);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\D", "/v", "a"}).m_status, 1);
    EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/va", "/f"}).m_status, 0);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\D", "/v", "b"}).m_status, 1);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\D\\Sub", "/v", "x"}).m_status, 0)
        << "/va keeps subkeys";
    EXPECT_EQ(Run({"delete", "HKCU\\Software\\D", "/f"}).m_status, 0);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\D"}).m_status, 1);
    SCommandResult r = Run({"delete", "HKCU\\Software\\D", "/f"});
    EXPECT_EQ(r.m_status, 1);
    EXPECT_EQ(r.m_err.rfind("ERROR: ", 0), 0u);
    EXPECT_EQ(Run({"delete", "HKCU", "/f"}).m_status, 1);
}

TEST_F(CvaReg, AsksBeforeOverwritingAndDeletingAndNoAnswerMeansNo) {
    Add({"HKCU\\Software\\P", "/v", "v", "/d", "old"});
    SCommandResult r = Run({"add", "HKCU\\Software\\P", "/v", "v", "/d", "new"});
    EXPECT_EQ(r.m_status, 1);
    EXPECT_EQ(r.m_out, "Value v exists, overwrite (Yes/No)? \n");
    EXPECT_NE(r.m_err.find("cancelled"), std::string::npos);
    EXPECT_NE(Run({"query", "HKCU\\Software\\P", "/v", "v"}).m_out.find("old"), std::string::npos);
    r = Run({"add", "HKCU\\Software\\P", "/v", "v", "/d", "new"}, "yes\n");
    EXPECT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_NE(Run({"query", "HKCU\\Software\\P", "/v", "v"}).m_out.find("new"), std::string::npos);
    r = Run({"delete", "HKCU\\Software\\P"}, "n\n");
    EXPECT_EQ(r.m_status, 1);
    EXPECT_EQ(r.m_out,
              "Permanently delete the registry key HKEY_CURRENT_USER\\Software\\P (Yes/No)? ");
    EXPECT_EQ(Run({"query", "HKCU\\Software\\P"}).m_status, 0);
}

TEST_F(CvaReg, ExportedFileImportsBackToTheSameRegistry) {
    Add({"HKCU\\Software\\E", "/v", "s", "/d", "text \xE4\xB8\xAD"});
    Add({"HKCU\\Software\\E", "/v", "m", "/t", "REG_MULTI_SZ", "/d", "x\\0y"});
    Add({"HKCU\\Software\\E\\Child", "/v", "q", "/t", "REG_QWORD", "/d", "5"});
    std::string file = m_dir.File("e.reg");
    ASSERT_EQ(Run({"export", "HKCU\\Software\\E", file}).m_status, 0);
    EXPECT_EQ(ReadAll(file).substr(0, 2), "\xFF\xFE");
    std::string before = Run({"query", "HKCU\\Software\\E", "/s"}).m_out;
    ASSERT_EQ(Run({"delete", "HKCU\\Software\\E", "/f"}).m_status, 0);
    SCommandResult r = Run({"import", file});
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_EQ(Run({"query", "HKCU\\Software\\E", "/s"}).m_out, before);
    r = Run({"export", "HKCU\\Software\\E", file});
    EXPECT_EQ(r.m_status, 1) << "an existing file is overwritten only when the user agrees";
    EXPECT_EQ(Run({"export", "HKCU\\Software\\E", file, "/y"}).m_status, 0);
}

TEST_F(CvaReg, BadInputGivesAnErrorAndExitStatusOne) {
    const std::vector<std::vector<std::string>> bad = {
        {"query", "Software\\NoRoot"},
        {"query", "HKXX\\Software"},
        {"add", "HKCU\\Software\\X", "/v", "v", "/t", "REG_FOO", "/d", "1", "/f"},
        {"add", "HKCU\\Software\\X", "/v", "v", "/t", "REG_DWORD", "/d", "4294967296", "/f"},
        {"add", "HKCU\\Software\\X", "/v", "v", "/t", "REG_DWORD", "/d", "-1", "/f"},
        {"add", "HKCU\\Software\\X", "/v", "v", "/t", "REG_BINARY", "/d", "abc", "/f"},
        {"add", "HKCU\\Software\\X", "/v", std::string(16384, 'n'), "/d", "1", "/f"},
        {"add", "HKCU\\Software\\" + std::string(256, 'k'), "/f"},
        {"add", "HKCU\\Software\\X", "/v", "a", "/ve", "/f"},
        {"frobnicate", "HKCU\\Software"},
        {"query"},
        {"import", m_dir.File("missing.reg")},
    };
    // The first use seeds the sandbox; after that, bad commands must change nothing.
    Run({"query", "HKCU\\Control Panel\\Desktop"});
    const std::string seeded = ReadAll(Box() + "/user.reg");
    ASSERT_FALSE(seeded.empty());
    for (const auto& args : bad) {
        SCommandResult r = Run(args);
        EXPECT_EQ(r.m_status, 1) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(r.m_err.rfind("ERROR: ", 0), 0u) << r.m_err;
    }
    EXPECT_EQ(ReadAll(Box() + "/user.reg"), seeded) << "nothing was written";
    EXPECT_EQ(Run({"--help"}, "", false).m_status, 0);
}

TEST_F(CvaReg, MalformedHiveIsReportedAndLeftUntouched) {
    std::filesystem::create_directories(Box());
    const std::string broken = "WINE REGISTRY Version 2\n\n[Software] 1\n\"v\"=hex:zz\n";
    WriteAll(Box() + "/system.reg", broken);
    SCommandResult r = Run({"add", "HKCU\\Software\\X", "/f"});
    EXPECT_EQ(r.m_status, 1);
    EXPECT_NE(r.m_err.find(Box() + "/system.reg:4: malformed hex data"), std::string::npos)
        << r.m_err;
    EXPECT_EQ(ReadAll(Box() + "/system.reg"), broken);
}

TEST_F(CvaReg, WinePrefixWithARunningServerIsNeverWritten) {
    CTempDir prefix;
    CTempDir serverBase;
    const std::string system =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
        "\n[Software\\\\Wine] 1700000000\n#time=1da1747c66d0000\n\"v\"=\"1\"\n";
    WriteAll(prefix.File("system.reg"), system);
    WriteAll(prefix.File("wineserver"),
             serverBase.Path().substr(5)); // Debian's Wine names its /tmp folder here
    struct stat st;
    ASSERT_EQ(stat(prefix.Path().c_str(), &st), 0);
    char leaf[64];
    snprintf(leaf, sizeof leaf, "/server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
             static_cast<unsigned long long>(st.st_ino));
    std::string folder = serverBase.Path() + leaf;
    std::filesystem::create_directory(folder);
    WriteAll(folder + "/lock", "");

    auto wineserver = std::make_unique<cva::test::CLockHolder>(folder + "/lock");
    ASSERT_GT(wineserver->Pid(), 0);
    std::vector<std::string> target = {"--target", "wine:" + prefix.Path()};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), target.begin(), target.end());
        return Run(args, "", false);
    };
    SCommandResult r = with({"add", "HKLM\\Software\\Wine", "/v", "w", "/d", "2", "/f"});
    SCommandResult q = with({"query", "HKLM\\Software\\Wine", "/v", "v"});
    wineserver.reset();
    EXPECT_EQ(r.m_status, 1);
    EXPECT_NE(r.m_err.find("wineserver"), std::string::npos) << r.m_err;
    EXPECT_EQ(ReadAll(prefix.File("system.reg")), system);
    EXPECT_EQ(q.m_status, 0) << "reading is still allowed";
    r = with({"add", "HKLM\\Software\\Wine", "/v", "w", "/d", "2", "/f"});
    EXPECT_EQ(r.m_status, 0) << "once the server has gone: " << r.m_err;
}

// The window holds the target open with a change of its own while cva-reg writes.
TEST_F(CvaReg, AProgramHoldingTheTargetOpenKeepsWhatCvaRegWroteMeanwhile) {
    Add({"HKCU\\Software\\Shared", "/v", "before", "/d", "0"});
    std::string error;
    auto target = cva::target::CTargetSystem::Open("sandbox:" + Box(), error);
    ASSERT_TRUE(target) << error;
    cva::reg::CRegistry& reg = target->Registry();
    cva::reg::HKEY key = nullptr;
    ASSERT_EQ(reg.RegCreateKeyExA(cva::reg::HKEY_CURRENT_USER, "Software\\Shared", 0, nullptr, 0,
                                  cva::reg::KEY_ALL_ACCESS, nullptr, &key, nullptr),
              cva::reg::ERROR_SUCCESS);
    reg.RegSetValueExA(key, "window", 0, cva::reg::REG_SZ,
                       reinterpret_cast<const cva::reg::BYTE*>("w"), 2);
    reg.RegDeleteValueA(key, "before");
    reg.RegCloseKey(key);

    Add({"HKCU\\Software\\Shared", "/v", "tool", "/d", "t"});
    Add({"HKLM\\Software\\Elsewhere", "/v", "tool", "/d", "t"});
    ASSERT_TRUE(target->SaveChanges(&error)) << error;
    target.reset();
    SCommandResult r = Run({"query", "HKCU\\Software\\Shared"});
    EXPECT_EQ(r.m_out, "\nHKEY_CURRENT_USER\\Software\\Shared\n    tool    REG_SZ    t\n"
                       "    window    REG_SZ    w\n\n");
    EXPECT_EQ(Run({"query", "HKLM\\Software\\Elsewhere", "/v", "tool"}).m_status, 0);
}

TEST_F(CvaReg, StoredTargetSettingIsUsedWithoutTargetOption) {
    std::string other = m_dir.File("other-box");
    cva::settings::CSettingsStore store(m_dir.File("config/Meridot/Corvanta"));
    ASSERT_TRUE(store.WriteProfileString("Settings", "Target", ("sandbox:" + other).c_str()));
    SCommandResult r = Run({"add", "HKLM\\Software\\S", "/f"}, "", false);
    ASSERT_EQ(r.m_status, 0) << r.m_err;
    EXPECT_TRUE(std::filesystem::exists(other + "/system.reg"));
}

} // namespace
