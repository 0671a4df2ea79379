#include "platform/hive/WineRegFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace cva;
using test::CTempDir;
using test::ReadAll;
using test::WriteAll;

namespace {

size_t EntryCount(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicSave, ReplacesTheFileKeepsItsModeAndLeavesNoTemporaryFile) {
    CTempDir dir;
    std::string file = dir.File("user.reg");
    WriteAll(file, "old");
    chmod(file.c_str(), 0640);
    ASSERT_EQ(hive::WriteFileAtomically(file, "new content"), 0);
    EXPECT_EQ(ReadAll(file), "new content");
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(AtomicSave, NewFileFollowsTheUmask) {
    CTempDir dir;
    mode_t old = umask(022);
    ASSERT_EQ(hive::WriteFileAtomically(dir.File("system.reg"), "x"), 0);
    umask(old);
    struct stat st;
    ASSERT_EQ(stat(dir.File("system.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(AtomicSave, SymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    CTempDir dir;
    std::filesystem::create_directory(dir.File("real"));
    WriteAll(dir.File("real/system.reg"), "old");
    std::filesystem::create_symlink("real/system.reg", dir.File("system.reg"));
    ASSERT_EQ(hive::WriteFileAtomically(dir.File("system.reg"), "new"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("system.reg")));
    EXPECT_EQ(ReadAll(dir.File("real/system.reg")), "new");
}

TEST(AtomicSave, FailureLeavesTheOldFileAndReportsTheError) {
    CTempDir dir;
    EXPECT_EQ(hive::WriteFileAtomically(dir.File("missing/system.reg"), "x"), ENOENT);
    EXPECT_EQ(hive::ErrnoToWin32(ENOENT), reg::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(hive::ErrnoToWin32(ENOSPC), reg::ERROR_DISK_FULL);
}

TEST(HiveFile, LoadReportsMissingAndUnreadableFiles) {
    CTempDir dir;
    reg::CRegKey root(u"Machine", nullptr, nullptr);
    reg::CHiveHeader header;
    std::string error;
    EXPECT_EQ(hive::LoadWineRegistryFile(dir.File("none.reg"), root, header, error), reg::ERROR_FILE_NOT_FOUND);
    EXPECT_NE(error.find("none.reg"), std::string::npos);
    WriteAll(dir.File("bad.reg"), "WINE REGISTRY Version 2\n\n[A] 1\n\"v\"=dword:xyz\n");
    EXPECT_EQ(hive::LoadWineRegistryFile(dir.File("bad.reg"), root, header, error), reg::ERROR_BADDB);
    EXPECT_EQ(error, dir.File("bad.reg") + ":4: malformed dword value");
}

} // namespace
