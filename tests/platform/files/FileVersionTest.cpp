#include "platform/files/FileVersion.h"
#include "platform/files/AtomicFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

using cva::files::CFileVersion;
using cva::test::CTempDir;
using cva::test::WriteAll;

namespace {

TEST(FileVersion, NoticesEveryKindOfChangeAndNothingElse) {
    CTempDir dir;
    const std::string file = dir.File("user.reg");
    CFileVersion version;
    std::string content;
    EXPECT_EQ(version.Read(file, content), ENOENT);
    EXPECT_FALSE(version.Changed(file)) << "still missing";
    WriteAll(file, "abc");
    EXPECT_TRUE(version.Changed(file)) << "created";

    ASSERT_EQ(version.Read(file, content), 0);
    EXPECT_EQ(content, "abc");
    EXPECT_FALSE(version.Changed(file));
    // Same size, same inode, within the same clock tick: the time stamps may well agree.
    WriteAll(file, "xyz");
    EXPECT_TRUE(version.Changed(file)) << "rewritten in place";

    ASSERT_EQ(version.Read(file, content), 0);
    ASSERT_EQ(cva::files::ReplaceFileContents(file, "xyz"), 0);
    EXPECT_TRUE(version.Changed(file)) << "replaced by another file, even with the same content";

    struct stat written {};
    ASSERT_EQ(cva::files::ReplaceFileContents(file, "ours", {}, &written), 0);
    version.Wrote(written, "ours");
    EXPECT_FALSE(version.Changed(file)) << "our own write";
    std::remove(file.c_str());
    EXPECT_TRUE(version.Changed(file)) << "removed";
}

TEST(FileVersion, AReplacementRefusedJustBeforeTheRenameLeavesTheOldFile) {
    CTempDir dir;
    const std::string file = dir.File("system.reg");
    WriteAll(file, "old");
    EXPECT_EQ(cva::files::ReplaceFileContents(file, "new", [] { return EAGAIN; }), EAGAIN);
    EXPECT_EQ(cva::test::ReadAll(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

} // namespace
