#include "platform/files/Trash.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

using namespace cva::files;
using cva::test::CTempFolder;

namespace {

std::string Info(const std::string& path) {
    return ReadWholeFile(path).value_or("");
}

std::time_t ParseDeletionDate(const std::string& info) {
    size_t at = info.find("DeletionDate=");
    if (at == std::string::npos) return 0;
    std::tm tm{};
    if (!::strptime(info.c_str() + at + 13, "%Y-%m-%dT%H:%M:%S", &tm)) return 0;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace

TEST(Trash, EntryCanBeRestoredFromFilesAndInfo) {
    CTempFolder tmp;
    const std::string trash = tmp / "home/Trash";
    std::filesystem::create_directories(tmp / "data");
    const std::string victim = tmp / "data/my file%.txt";
    std::ofstream(victim) << "content";

    std::string infoPath;
    ASSERT_TRUE(CTrash(trash).MoveToTrash(victim, &infoPath));
    EXPECT_FALSE(std::filesystem::exists(victim));
    EXPECT_EQ(infoPath, trash + "/info/my file%.txt.trashinfo");
    EXPECT_EQ(ReadWholeFile(trash + "/files/my file%.txt"), "content");

    const std::string info = Info(infoPath);
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u);
    std::string encoded = tmp.Path() + "/data/my%20file%25.txt";
    EXPECT_NE(info.find("\nPath=" + encoded + "\n"), std::string::npos) << info;
    std::time_t when = ParseDeletionDate(info);
    EXPECT_LE(std::llabs(static_cast<long long>(std::time(nullptr) - when)), 5);
}

TEST(Trash, NameCollisionsGetAnotherName) {
    CTempFolder tmp;
    const std::string trash = tmp / "Trash";
    CTrash bin(trash);
    for (int i = 0; i < 3; ++i) {
        std::filesystem::create_directories(tmp / "d");
        std::ofstream(tmp / "d/same") << i;
        ASSERT_TRUE(bin.MoveToTrash(tmp / "d/same"));
    }
    EXPECT_EQ(ReadWholeFile(trash + "/files/same"), "0");
    EXPECT_EQ(ReadWholeFile(trash + "/files/same.2"), "1");
    EXPECT_EQ(ReadWholeFile(trash + "/files/same.3"), "2");
    EXPECT_TRUE(std::filesystem::exists(trash + "/info/same.3.trashinfo"));
}

TEST(Trash, FoldersAndLinksMoveWhole) {
    CTempFolder tmp;
    const std::string trash = tmp / "Trash";
    std::filesystem::create_directories(tmp / "dir/sub");
    std::ofstream(tmp / "dir/sub/f") << "f";
    std::filesystem::create_directory_symlink(tmp / "dir", tmp / "link");
    CTrash bin(trash);
    ASSERT_TRUE(bin.MoveToTrash(tmp / "link"));
    EXPECT_TRUE(std::filesystem::is_symlink(trash + "/files/link"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "dir/sub/f"));
    ASSERT_TRUE(bin.MoveToTrash(tmp / "dir"));
    EXPECT_EQ(ReadWholeFile(trash + "/files/dir/sub/f"), "f");
    EXPECT_FALSE(bin.MoveToTrash(tmp / "dir"));
    EXPECT_FALSE(bin.MoveToTrash(trash + "/files"));
}
