#include "platform/hive/WinePrefix.h"

#include "support/LockHolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace cva;
using test::CLockHolder;
using test::CTempDir;
using test::WriteAll;

namespace {

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
