#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FindFile.h"
#include "platform/files/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace cva::files;
using cva::test::CTempFolder;

namespace {

std::vector<std::string> Names(const std::vector<SFindData>& found) {
    std::vector<std::string> names;
    for (const SFindData& f : found)
        names.push_back(f.name);
    return names;
}

} // namespace

TEST(Wildcards, FollowFindFirstFile) {
    EXPECT_TRUE(MatchWildcard("*.*", "noext"));
    EXPECT_TRUE(MatchWildcard("*.INI", "system.ini"));
    EXPECT_FALSE(MatchWildcard("*.ini", "system.ini.bak"));
    EXPECT_TRUE(MatchWildcard("readme.*", "README"));
    EXPECT_TRUE(MatchWildcard("a?c", "ABC"));
    EXPECT_FALSE(MatchWildcard("a?c", "ac"));
    EXPECT_TRUE(MatchWildcard("*.", "noext"));
    EXPECT_FALSE(MatchWildcard("*.", "has.ext"));
    EXPECT_FALSE(MatchWildcard("*a*a*a*a*a*a*a*a*b", std::string(200, 'a')));
}

TEST(FindFiles, ListsMatchesInNameOrderWithDotEntriesFirst) {
    CTempFolder tmp;
    std::ofstream(tmp / "b.txt") << "12345";
    std::ofstream(tmp / "A.TXT") << "1";
    std::ofstream(tmp / "c.log") << "";
    std::filesystem::create_directory(tmp / "sub.txt");
    std::vector<SFindData> all = FindFiles(tmp.Path(), "*.*");
    EXPECT_EQ(Names(all),
              (std::vector<std::string>{".", "..", "A.TXT", "b.txt", "c.log", "sub.txt"}));
    std::vector<SFindData> txt = FindFiles(tmp.Path(), "*.txt", false);
    ASSERT_EQ(Names(txt), (std::vector<std::string>{"A.TXT", "b.txt", "sub.txt"}));
    EXPECT_EQ(txt[1].size, 5u);
    EXPECT_FALSE(txt[1].IsFolder());
    EXPECT_TRUE(txt[2].IsFolder());
    EXPECT_TRUE(FindFiles(tmp.Path(), "*.none").empty());
    EXPECT_TRUE(FindFiles(tmp / "missing", "*").empty());
}

TEST(TextFiles, ReadInWindowsTextMode) {
    CTempFolder tmp;
    std::ofstream(tmp / "t.txt", std::ios::binary) << "one\r\ntwo\n\nthree\rx\r\nlast";
    EXPECT_EQ(ReadTextLines(tmp / "t.txt"),
              (std::vector<std::string>{"one", "two", "", "three\rx", "last"}));
    std::ofstream(tmp / "z.txt", std::ios::binary) << "a\r\nb\x1A"
                                                      "hidden\r\n";
    EXPECT_EQ(ReadTextLines(tmp / "z.txt"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ReadTextLines(tmp / "missing"), std::nullopt);
    ASSERT_TRUE(WriteTextLines(tmp / "t.txt", {"x", "", "y"}));
    EXPECT_EQ(ReadWholeFile(tmp / "t.txt"), "x\r\n\r\ny\r\n");
}

TEST(FileOperations, CopyNeverOverwritesAndKeepsModeAndTime) {
    CTempFolder tmp;
    std::ofstream(tmp / "src") << "source";
    ::chmod((tmp / "src").c_str(), 0750);
    std::filesystem::last_write_time(tmp / "src", std::filesystem::file_time_type::clock::now() -
                                                      std::chrono::hours(48));
    std::ofstream(tmp / "dst") << "existing";
    EXPECT_FALSE(CopyFileNoReplace(tmp / "src", tmp / "dst"));
    EXPECT_EQ(ReadWholeFile(tmp / "dst"), "existing");
    ASSERT_TRUE(CopyFileNoReplace(tmp / "src", tmp / "copy"));
    EXPECT_EQ(ReadWholeFile(tmp / "copy"), "source");
    struct stat a {
    }, b{};
    ::stat((tmp / "src").c_str(), &a);
    ::stat((tmp / "copy").c_str(), &b);
    EXPECT_EQ(b.st_mode & 0777, 0750u);
    EXPECT_EQ(b.st_mtime, a.st_mtime);
    EXPECT_FALSE(CopyFileNoReplace(tmp.Path(), tmp / "folder-copy"));
}

TEST(FileOperations, MoveNeverOverwrites) {
    CTempFolder tmp;
    std::ofstream(tmp / "a") << "a";
    std::ofstream(tmp / "b") << "b";
    EXPECT_FALSE(MoveNoReplace(tmp / "a", tmp / "b"));
    EXPECT_EQ(ReadWholeFile(tmp / "b"), "b");
    ASSERT_TRUE(MoveNoReplace(tmp / "a", tmp / "c"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "a"));
    std::filesystem::create_directories(tmp / "dir/inner");
    ASSERT_TRUE(MoveNoReplace(tmp / "dir", tmp / "moved"));
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "moved/inner"));
    EXPECT_FALSE(MoveNoReplace(tmp / "missing", tmp / "x"));
}

TEST(FileOperations, DriveTypes) {
    CTempFolder tmp;
    EXPECT_EQ(GetDriveType(tmp / "missing"), DRIVE_NO_ROOT_DIR);
    int type = GetDriveType(tmp.Path());
    EXPECT_TRUE(type == DRIVE_FIXED || type == DRIVE_RAMDISK || type == DRIVE_REMOVABLE ||
                type == DRIVE_REMOTE)
        << type;
    if (std::filesystem::is_directory("/dev/shm")) {
        EXPECT_EQ(GetDriveType("/dev/shm"), DRIVE_RAMDISK);
    }
}
