#include "platform/files/FileAttributes.h"
#include "platform/common/TempFolder.h"
#include "platform/files/FolderTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace cva::files;
using cva::test::CTempFolder;

namespace {

bool XattrsWork(const std::string& path) {
    return ::setxattr(path.c_str(), "user.cva-probe", "1", 1, 0) == 0 &&
           ::removexattr(path.c_str(), "user.cva-probe") == 0;
}

} // namespace

TEST(FileAttributes, DirectoryReadOnlyAndNormalComeFromTheHost) {
    CTempFolder tmp;
    const std::string file = tmp / "f.txt";
    std::ofstream(file) << "x";
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributes(tmp.Path()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributes(tmp / "missing"), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_READONLY));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(SetFileAttributes(tmp / "missing", FILE_ATTRIBUTE_NORMAL));
}

TEST(FileAttributes, HiddenAndSystemRoundTripThroughDosAttrib) {
    CTempFolder tmp;
    const std::string file = tmp / "f.txt";
    std::ofstream(file) << "x";
    if (!XattrsWork(file)) GTEST_SKIP() << "no user extended attributes here";

    ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    char value[64] = {};
    ssize_t n = ::getxattr(file.c_str(), kDosAttribXattr, value, sizeof value);
    EXPECT_EQ(std::string(value, n > 0 ? static_cast<size_t>(n) : 0), "0x6");
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    // Samba's binary form starts with the same hex text; its archive bit is carried along.
    const char samba[] = "0x22\0\3\0\3\0";
    ASSERT_EQ(::setxattr(file.c_str(), kDosAttribXattr, samba, sizeof samba - 1, 0), 0);
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_SYSTEM));
    n = ::getxattr(file.c_str(), kDosAttribXattr, value, sizeof value);
    EXPECT_EQ(std::string(value, n > 0 ? static_cast<size_t>(n) : 0), "0x24");
    ASSERT_TRUE(SetFileAttributes(tmp.Path(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributes(tmp.Path()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
}

TEST(FileAttributes, DosAttribTextIsParsedStrictly) {
    EXPECT_EQ(ParseDosAttrib("0x2"), 2u);
    EXPECT_EQ(ParseDosAttrib(std::string_view("0x20\0rest", 9)), 0x20u);
    EXPECT_EQ(ParseDosAttrib("0x"), std::nullopt);
    EXPECT_EQ(ParseDosAttrib("22"), std::nullopt);
    EXPECT_EQ(FormatDosAttrib(0x26), "0x26");
}

TEST(FolderTree, LinksAreRemovedNeverFollowed) {
    CTempFolder tmp;
    std::filesystem::create_directories(tmp / "outside/keep");
    std::ofstream(tmp / "outside/keep/file") << "precious";
    std::filesystem::create_directories(tmp / "tree/sub/deeper");
    std::ofstream(tmp / "tree/sub/deeper/a") << "a";
    std::filesystem::create_directory_symlink(tmp / "outside", tmp / "tree/sub/link");
    std::filesystem::create_symlink(tmp / "outside/keep/file", tmp / "tree/filelink");

    EXPECT_TRUE(DeleteFolderContents(tmp / "tree"));
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "tree"));
    EXPECT_TRUE(std::filesystem::is_empty(tmp / "tree"));
    EXPECT_TRUE(std::filesystem::exists(tmp / "outside/keep/file"));

    std::filesystem::create_directory_symlink(tmp / "outside", tmp / "alias");
    EXPECT_TRUE(DeleteFolderTree(tmp / "alias"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(tmp / "alias")));
    EXPECT_TRUE(std::filesystem::exists(tmp / "outside/keep/file"));
    EXPECT_TRUE(DeleteFolderTree(tmp / "tree"));
    EXPECT_FALSE(std::filesystem::exists(tmp / "tree"));
}
