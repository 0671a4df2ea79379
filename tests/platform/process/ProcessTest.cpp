#include "platform/common/TempFolder.h"
#include "platform/process/ProcessServices.h"
#include "platform/process/SingleInstanceLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace cva::process;
using cva::test::CTempFolder;

namespace {

// Runs `body` in a child process and returns its exit code (or -1 when it died).
template <typename F> int InChild(F body) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(SingleInstanceLock, SecondHolderInAnotherProcessFails) {
    CTempFolder tmp;
    CSingleInstanceLock lock("MERIDOT_CVA_MUTEX", tmp.Path());
    ASSERT_TRUE(lock.Acquire());
    EXPECT_TRUE(lock.Acquire()); // holding it already counts
    auto tryInChild = [&] {
        return InChild([&] {
            CSingleInstanceLock other("MERIDOT_CVA_MUTEX", tmp.Path());
            return other.Acquire() ? 1 : 0;
        });
    };
    EXPECT_EQ(tryInChild(), 0);
    lock.Release();
    EXPECT_EQ(tryInChild(), 1);
}

TEST(SingleInstanceLock, FileOfADeadHolderNeverBlocks) {
    CTempFolder tmp;
    int died = InChild([&] {
        CSingleInstanceLock crashed("MERIDOT_CVA_MUTEX", tmp.Path());
        if (!crashed.Acquire()) return 3;
        ::raise(SIGKILL); // no destructor, no clean-up: the file stays behind
        return 4;
    });
    EXPECT_EQ(died, -1);
    CSingleInstanceLock lock("MERIDOT_CVA_MUTEX", tmp.Path());
    EXPECT_TRUE(std::filesystem::exists(lock.Path()));
    EXPECT_TRUE(lock.Acquire());
}

TEST(SingleInstanceLock, EachSettingsFolderHasALockOfItsOwn) {
    CTempFolder tmp;
    std::filesystem::create_directories(tmp / "a/sub");
    const std::string a = CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", tmp / "a");
    EXPECT_EQ(a.rfind("MERIDOT_CVA_MUTEX-", 0), 0u);
    EXPECT_NE(a, CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", tmp / "b"));
    EXPECT_EQ(a, CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", tmp / "a/"));
    EXPECT_EQ(a, CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", tmp / "a/sub/.."));
    std::filesystem::create_directory_symlink(tmp / "a", tmp / "link");
    EXPECT_EQ(a, CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", tmp / "link"));

    // Two copies with other settings run side by side; one with the same settings is
    // told who holds them, and the settings folder holds the lock without a runtime folder.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool hadRuntime = runtime != nullptr;
    const std::string saved = hadRuntime ? runtime : "";
    unsetenv("XDG_RUNTIME_DIR");
    ASSERT_EQ(CSingleInstanceLock::FolderFor(tmp / "new"), tmp / "new");
    CSingleInstanceLock lock(a, CSingleInstanceLock::FolderFor(tmp / "new"));
    ASSERT_TRUE(lock.Acquire()) << lock.Error();
    auto tryInChild = [&](const std::string& settings) {
        return InChild([&] {
            CSingleInstanceLock other(CSingleInstanceLock::NameFor("MERIDOT_CVA_MUTEX", settings),
                                      tmp / "new");
            if (other.Acquire()) return 1;
            return other.Error().empty() && other.HolderPid() == ::getppid() ? 0 : 2;
        });
    };
    EXPECT_EQ(tryInChild(tmp / "b"), 1);
    EXPECT_EQ(tryInChild(tmp / "a"), 0);
    setenv("XDG_RUNTIME_DIR", tmp.Path().c_str(), 1);
    EXPECT_EQ(CSingleInstanceLock::FolderFor(tmp / "new"), tmp.Path());
    if (hadRuntime)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

TEST(ProcessServices, CreateFolderPathMakesEveryLevel) {
    CTempFolder tmp;
    EXPECT_TRUE(CreateFolderPath(tmp / "a/b/c/"));
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "a/b/c"));
    EXPECT_TRUE(CreateFolderPath(tmp / "a/b")); // already there
    std::ofstream(tmp / "file") << "x";
    EXPECT_FALSE(CreateFolderPath(tmp / "file/sub"));
    EXPECT_FALSE(CreateFolderPath(""));
}

TEST(ProcessServices, AppFolderHoldsThisExecutable) {
    std::string folder = GetAppFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "process_tests"));
}

TEST(ProcessServices, NamesAndPrivileges) {
    EXPECT_FALSE(GetUserName().empty());
    std::string host = GetComputerName();
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find('.'), std::string::npos);
    EXPECT_TRUE(EnablePrivilege("SeShutdownPrivilege", true));
    EXPECT_TRUE(EnablePrivilege("sebackupprivilege", false));
    EXPECT_FALSE(EnablePrivilege("SeMadeUpPrivilege", true));
}
