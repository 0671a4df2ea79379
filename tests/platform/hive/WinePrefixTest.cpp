#include "platform/hive/WinePrefix.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cva;
using test::CTempDir;
using test::WriteAll;

namespace {

// A process that holds the server lock the way a running wineserver does.
class CLockHolder {
public:
    explicit CLockHolder(const std::string& lockFile) {
        int ready[2];
        if (pipe(ready) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            int fd = open(lockFile.c_str(), O_WRONLY);
            struct flock fl {};
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            fl.l_len = 1;
            fcntl(fd, F_SETLK, &fl);
            char c = 1;
            if (write(ready[1], &c, 1) != 1) _exit(1);
            pause();
            _exit(0);
        }
        char c;
        if (read(ready[0], &c, 1) != 1) m_pid = -1;
        close(ready[0]);
        close(ready[1]);
    }
    ~CLockHolder() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

TEST(WinePrefix, ServerFoldersFollowUpstreamAndDebianLayouts) {
    CTempDir prefix;
    struct stat st;
    ASSERT_EQ(stat(prefix.Path().c_str(), &st), 0);
    char leaf[64];
    snprintf(leaf, sizeof leaf, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
             static_cast<unsigned long long>(st.st_ino));
    auto folders = hive::WineServerFolders(prefix.Path() + "/");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0], "/tmp/.wine-" + std::to_string(getuid()) + "/" + leaf);
    WriteAll(prefix.File("wineserver"), "wine-AbC123");
    folders = hive::WineServerFolders(prefix.Path());
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[1], std::string("/tmp/wine-AbC123/") + leaf);
}

TEST(WinePrefix, RunningServerIsSeenThroughItsLock) {
    CTempDir prefix;
    CTempDir serverBase; // stands in for Debian's /tmp/wine-XXXXXX
    std::string base = serverBase.Path().substr(serverBase.Path().rfind('/') + 1);
    WriteAll(prefix.File("wineserver"), base);
    std::string folder = hive::WineServerFolders(prefix.Path()).at(1);
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(hive::IsWineServerRunning(prefix.Path())) << "no lock file: no server";
    WriteAll(folder + "/lock", "");
    EXPECT_FALSE(hive::IsWineServerRunning(prefix.Path()))
        << "a lock file nobody holds: the server has ended";
    {
        CLockHolder holder(folder + "/lock");
        ASSERT_GT(holder.Pid(), 0);
        pid_t pid = 0;
        EXPECT_TRUE(hive::IsWineServerRunning(prefix.Path(), &pid));
        EXPECT_EQ(pid, holder.Pid());
    }
    EXPECT_FALSE(hive::IsWineServerRunning(prefix.Path()));
}

} // namespace
