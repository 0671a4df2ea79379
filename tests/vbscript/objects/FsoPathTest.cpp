#include "vbscript/objects/FsoPath.h"

#include <gtest/gtest.h>

namespace cva::vbs::fso {
namespace {

TEST(FsoPath, NamePartsFollowTheLastDot)
{
    EXPECT_EQ(BaseName(u"a.b.c"), u"a.b");
    EXPECT_EQ(ExtensionName(u"a.b.c"), u"c");
    EXPECT_EQ(BaseName(u".txt"), u"");
    EXPECT_EQ(ExtensionName(u".txt"), u"txt");
    EXPECT_EQ(BaseName(u"a."), u"a");
    EXPECT_EQ(ExtensionName(u"a."), u"");
    EXPECT_EQ(BaseName(u"C:\\x.d\\file"), u"file");
    EXPECT_EQ(ExtensionName(u"C:\\x.d\\file"), u"");
}

TEST(FsoPath, TrailingSeparatorsAndRootsAreNotNames)
{
    EXPECT_EQ(FileName(u"C:\\x\\"), u"x");
    EXPECT_EQ(FileName(u"C:\\"), u"");
    EXPECT_EQ(FileName(u"C:"), u"");
    EXPECT_EQ(FileName(u"x/y/"), u"y");
    EXPECT_EQ(ParentFolderName(u"C:\\x\\y.txt"), u"C:\\x");
    EXPECT_EQ(ParentFolderName(u"C:\\x\\"), u"C:\\");
    EXPECT_EQ(ParentFolderName(u"C:\\"), u"");
    EXPECT_EQ(ParentFolderName(u"x\\y\\"), u"x");
    EXPECT_EQ(ParentFolderName(u"a.b.c"), u"");
    EXPECT_EQ(ParentFolderName(u"\\\\srv\\share\\x.y"), u"\\\\srv\\share");
    EXPECT_EQ(DriveName(u"\\\\srv\\share\\x.y"), u"\\\\srv\\share");
    EXPECT_EQ(DriveName(u"c:\\x"), u"c:");
}

TEST(FsoPath, BuildPathJoinsWithOneBackslash)
{
    EXPECT_EQ(BuildPath(u"C:\\a", u"b"), u"C:\\a\\b");
    EXPECT_EQ(BuildPath(u"C:\\a\\", u"b"), u"C:\\a\\b");
    EXPECT_EQ(BuildPath(u"C:\\a", u"\\b"), u"C:\\a\\b");
    EXPECT_EQ(BuildPath(u"C:", u"b"), u"C:b");
    EXPECT_EQ(BuildPath(u"", u"b"), u"b");
}

TEST(FsoPath, AbsolutePathResolvesDotsAgainstCurrentDirectory)
{
    EXPECT_EQ(AbsolutePath(u"x", u"C:\\work"), u"C:\\work\\x");
    EXPECT_EQ(AbsolutePath(u"c:\\a\\..\\b\\.\\c\\", u"C:\\work"), u"C:\\b\\c");
    EXPECT_EQ(AbsolutePath(u"\\q", u"C:\\work"), u"C:\\q");
    EXPECT_EQ(AbsolutePath(u"C:/a/b", u"C:\\work"), u"C:\\a\\b");
    EXPECT_EQ(AbsolutePath(u"..\\..\\..", u"C:\\work"), u"C:\\");
    EXPECT_EQ(AbsolutePath(u"D:x", u"C:\\work"), u"D:\\x");
    EXPECT_EQ(AbsolutePath(u"C:x", u"C:\\work"), u"C:\\work\\x");
}

TEST(FsoPath, WildcardsMatchWithoutCase)
{
    EXPECT_TRUE(WildcardMatch(u"*.LOG", u"a.log"));
    EXPECT_TRUE(WildcardMatch(u"a?c*", u"abc"));
    EXPECT_FALSE(WildcardMatch(u"a?c", u"ac"));
    EXPECT_FALSE(WildcardMatch(u"*.txt", u"a.txt.bak"));
    EXPECT_TRUE(WildcardMatch(u"*a*b*c*", u"xxaxxbxxcxx"));
    EXPECT_FALSE(WildcardMatch(u"*a*a*a*a*b", std::u16string(200, u'a')));
}

} // namespace
} // namespace cva::vbs::fso
