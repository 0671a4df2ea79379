#include "update/VersionFile.h"

#include <gtest/gtest.h>

namespace cva::update {
namespace {

TEST(VersionFile, KeywordsInAnyOrderAmongOtherText) {
    auto file = ParseVersionFile("; Corvanta\nFilename: \"https://h/setup/cva_setup.AppImage\"\nnotes\nVersion: \"2.1.0.7\"\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->m_version, "2.1.0.7");
    EXPECT_EQ(file->m_url, "https://h/setup/cva_setup.AppImage");
    EXPECT_EQ(file->m_sha256, "");
}

TEST(VersionFile, MissingOrBrokenValuesFailTheCheck) {
    EXPECT_FALSE(ParseVersionFile("Filename: \"http://h/x\"\n"));
    EXPECT_FALSE(ParseVersionFile("Version: \"2.1\"\n"));
    EXPECT_FALSE(ParseVersionFile("version: \"2.1\" Filename: \"http://h/x\""));  // keywords are case-sensitive
    EXPECT_FALSE(ParseVersionFile("Version: \"2.1\" Filename: \"http://h/x"));    // ends inside the value
    EXPECT_FALSE(ParseVersionFile("Version: \"\" Filename: \"http://h/x\""));
    // A checksum that is named must be one.
    EXPECT_FALSE(ParseVersionFile("Version: \"2\" Filename: \"http://h/x\" Sha256: \"abc\""));
    EXPECT_FALSE(ParseVersionFile("Version: \"2\" Filename: \"http://h/x\" Sha256: \"" + std::string(64, 'g') + "\""));
    auto file = ParseVersionFile("Version: \"2\" Filename: \"http://h/x\" Sha256: \"" + std::string(64, 'A') + "\"");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->m_sha256, std::string(64, 'a'));
}

TEST(VersionFile, LongValuesAreCut) {
    const std::string url = "http://h/" + std::string(300, 'x');
    auto file = ParseVersionFile("Version: \"1\" Filename: \"" + url + "\"");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->m_url, url.substr(0, kMaxValueLength));
}

TEST(VersionFile, VersionsCompareFieldByFieldAsNumbers) {
    EXPECT_LT(CompareVersions("2.1.0.0", "2.1.0.1"), 0);
    EXPECT_GT(CompareVersions("2.1.0.10", "2.1.0.9"), 0);
    EXPECT_LT(CompareVersions("2.1.0.9", "2.1.0.10"), 0);
    EXPECT_EQ(CompareVersions("2.1", "2.1.0.0"), 0);
    EXPECT_EQ(CompareVersions("2.1.0.7b", "2.1.0.7B"), 0);
    EXPECT_LT(CompareVersions("2.1.0.7", "2.1.0.7b"), 0);
    EXPECT_LT(CompareVersions("9.9.9.9", "10"), 0);
}

TEST(VersionFile, FileNamesFromTheServerAreTamed) {
    EXPECT_EQ(SafeFileName("http://h/setup/cva_setup.exe", "cva-setup"), "cva_setup.exe");
    EXPECT_EQ(SafeFileName("http://h/a/../../x", "cva-setup"), "x");
    EXPECT_EQ(SafeFileName("http://h/dl/%2e%2e", "cva-setup"), "cva-setup");
    EXPECT_EQ(SafeFileName("http://h/dl/..%2f..%2fetc%2fpasswd", "cva-setup"), "passwd");
    EXPECT_EQ(SafeFileName("http://h/dl/%2e%2e%5cevil.sh?x=/y#z", "cva-setup"), "evil.sh");
    EXPECT_EQ(SafeFileName("http://h/dl/.hidden;rm -rf", "cva-setup"), "hiddenrm-rf");
    EXPECT_EQ(SafeFileName("http://h/", "cva-setup"), "cva-setup");
    EXPECT_EQ(SafeFileName("http://h", "cva-setup"), "cva-setup");
}

TEST(VersionFile, ServerAddresses) {
    EXPECT_EQ(UrlHost("https://user@updates.example:8443/x"), "updates.example");
    EXPECT_EQ(UrlHost("http://[::1]:80/"), "::1");
    EXPECT_EQ(VersionFileUrl("updates.example/", "cva"), "https://updates.example/downloads/cva.ver");
    EXPECT_EQ(VersionFileUrl("http://127.0.0.1:8000/case", "cva"), "http://127.0.0.1:8000/case/downloads/cva.ver");
}

} // namespace
} // namespace cva::update
