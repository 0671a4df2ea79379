#include "core/app/PluginInformation.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using cva::app::CPluginInformation;
using namespace cva::test;
namespace fs = std::filesystem;

namespace {

const std::string kPlugin = "; kept as written\r\n[settings]\r\ncaption=Menu delay\r\nGROUP=6\r\n"
                            "author= Ann Example \r\n\r\n[interface]\r\ntype=html\r\n";

TEST(PluginInformation, ReadsAuthorAndMarkAndNamesTheMakerWhenNobodyElse) {
    CTempDir dir;
    WriteAll(dir.File("p.cvp"), kPlugin);
    CPluginInformation info(dir.File("p.cvp"));
    EXPECT_EQ(info.Author(), "Ann Example");
    EXPECT_FALSE(info.IsPopular());
    WriteAll(dir.File("q.cvp"), "[settings]\r\nGROUP=3\r\nauthor=null\r\n");
    CPluginInformation unnamed(dir.File("q.cvp"));
    EXPECT_TRUE(unnamed.IsPopular());
    EXPECT_EQ(unnamed.Author().rfind("Meridot  <a href = \"https://", 0), 0u) << unnamed.Author();
    EXPECT_EQ(CPluginInformation::AuthorMarkup(""), unnamed.Author());
}

TEST(PluginInformation, PopularFlipsBitZeroOfTheGroupAsTheFileIsNow) {
    CTempDir dir;
    const std::string path = dir.File("p.cvp");
    WriteAll(path, kPlugin);
    CPluginInformation info(path);
    // Another program changed the file after the sheet read it: its change stays.
    WriteAll(path, "; edited\r\n" + kPlugin);
    std::string why;
    ASSERT_TRUE(info.SetPopular(true, why)) << why;
    EXPECT_TRUE(info.IsPopular());
    std::string expected = "; edited\r\n" + kPlugin;
    expected.replace(expected.find("GROUP=6"), 7, "GROUP=7");
    EXPECT_EQ(ReadAll(path), expected);
    ASSERT_TRUE(info.SetPopular(false, why)) << why;
    EXPECT_EQ(ReadAll(path), "; edited\r\n" + kPlugin);

    WriteAll(path, "[settings]\r\ncaption=x\r\n");
    ASSERT_TRUE(CPluginInformation(path).SetPopular(true, why));
    EXPECT_EQ(ReadAll(path), "[settings]\r\ncaption=x\r\nGROUP=1\r\n");
}

TEST(PluginInformation, ReadOnlyOrMissingFileIsRefusedAndLeftAlone) {
    CTempDir dir;
    const std::string path = dir.File("p.cvp");
    WriteAll(path, kPlugin);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CPluginInformation info(path);
    std::string why;
    EXPECT_FALSE(info.SetPopular(true, why));
    EXPECT_NE(why.find("read-only"), std::string::npos) << why;
    EXPECT_FALSE(info.IsPopular());
    EXPECT_EQ(ReadAll(path), kPlugin);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::owner_write, fs::perms::none);

    fs::remove(path);
    EXPECT_FALSE(info.SetPopular(true, why));
    EXPECT_FALSE(fs::exists(path)) << "a mark never creates the plugin file";
}

} // namespace
