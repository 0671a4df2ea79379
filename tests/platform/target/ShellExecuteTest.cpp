#include "platform/target/ShellExecute.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace cva::target;
using cva::test::CTempFolder;

namespace {

// A stand-in program that records its folder, arguments and WINEPREFIX, one per line.
std::string MakeRecorder(const CTempFolder& tmp, const std::string& name) {
    const std::string path = tmp / name;
    std::ofstream(path) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; "
                           "echo \"prefix=$WINEPREFIX\"; } > \"$0.out.tmp\"\n"
                           "mv \"$0.out.tmp\" \"$0.out\"\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

// The detached process reports through its output file; give it time to appear.
std::string WaitForOutput(const std::string& recorder) {
    for (int i = 0; i < 500; ++i) {
        if (auto data = cva::files::ReadWholeFile(recorder + ".out")) return *data;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "<no output>";
}

} // namespace

TEST(CommandLine, SplitsByWindowsQuotingRules) {
    EXPECT_EQ(SplitCommandLine("  a  \"b c\" d\"e f\"g "),
              (std::vector<std::string>{"a", "b c", "de fg"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b c\\"d e" \x)"),
              (std::vector<std::string>{R"(a\"b)", R"(c\d e)", R"(\x)"}));
    EXPECT_EQ(SplitCommandLine(R"("say ""hi""" "")"),
              (std::vector<std::string>{R"(say "hi")", ""}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(ShellExecute, HostProgramRunsWithArgumentsInItsFolder) {
    CTempFolder tmp;
    const std::string program = MakeRecorder(tmp, "prog");
    std::filesystem::create_directories(tmp / "work");
    CShellExecute shell;
    int code = shell.Execute({program, "one \"two three\"", tmp / "work"});
    EXPECT_GT(code, 32);
    EXPECT_EQ(WaitForOutput(program), tmp / "work" + "\none\ntwo three\nprefix=\n");
    // Detached through a second fork: nothing is left for us to reap.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ShellExecute, DocumentsFoldersAndUrlsGoToTheOpener) {
    CTempFolder tmp;
    const std::string opener = MakeRecorder(tmp, "opener");
    CShellExecute shell({opener, "/nonexistent/wine"});
    std::ofstream(tmp / "notes.txt") << "x";
    EXPECT_GT(shell.Execute({tmp / "notes.txt", "ignored", ""}), 32);
    EXPECT_NE(WaitForOutput(opener).find("\n" + tmp / "notes.txt" + "\nprefix="),
              std::string::npos);
    SCommand command;
    EXPECT_EQ(shell.Plan({"https://example.org/a?b", "", ""}, command), SE_SUCCESS);
    EXPECT_EQ(command.m_argv, (std::vector<std::string>{opener, "https://example.org/a?b"}));
    EXPECT_EQ(shell.Plan({tmp.Path(), "", ""}, command), SE_SUCCESS);
    EXPECT_EQ(command.m_argv, (std::vector<std::string>{opener, tmp.Path()}));
}

TEST(ShellExecute, FailuresGiveShellExecuteCodes) {
    CTempFolder tmp;
    CShellExecute shell({"/nonexistent/opener", "/nonexistent/wine"});
    EXPECT_EQ(shell.Execute({tmp / "missing.txt", "", ""}), SE_ERR_FNF);
    EXPECT_EQ(shell.Execute({tmp / "no/such/dir/x", "", ""}), SE_ERR_PNF);
    EXPECT_EQ(shell.Execute({"", "", ""}), SE_ERR_FNF);
    EXPECT_EQ(shell.Execute({"no-such-program-anywhere", "", ""}), SE_ERR_FNF);
    std::ofstream(tmp / "doc.txt") << "x";
    EXPECT_EQ(shell.Execute({tmp / "doc.txt", "", ""}), SE_ERR_NOASSOC);
    const std::string program = MakeRecorder(tmp, "prog");
    EXPECT_EQ(shell.Execute({program, "", tmp / "nowhere"}), SE_ERR_PNF);
    // Executable bit set but nothing the kernel can run.
    std::ofstream(tmp / "garbage") << "\x7f"
                                      "ELFgarbage";
    ::chmod((tmp / "garbage").c_str(), 0755);
    EXPECT_EQ(shell.Execute({tmp / "garbage", "", ""}), SE_ERR_BAD_FORMAT);
}
