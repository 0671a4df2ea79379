#include "platform/process/ModuleVersion.h"
#include "platform/common/TempFolder.h"
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

using namespace cva::process;
using cva::test::CTempFolder;

TEST(ModuleVersion, ReadsTheNoteOfAnExecutableThatHasIt) {
    CModuleVersion version;
    ASSERT_TRUE(version.GetFileVersionInfo("/proc/self/exe"));
    EXPECT_TRUE(version.IsValid());
    EXPECT_EQ(version.ToString(), CVA_EXPECTED_VERSION);
    EXPECT_EQ(version.dwFileVersionMS, (uint32_t(version.Field(0)) << 16) | version.Field(1));
}

TEST(ModuleVersion, StrippedSectionTableFallsBackToTheNoteSegment) {
    CTempFolder tmp;
    std::string image = cva::files::ReadWholeFile("/proc/self/exe").value_or("");
    ASSERT_GT(image.size(), 64u);
    ASSERT_EQ(image[4], 2) << "64-bit executable expected";
    std::fill(image.begin() + 40, image.begin() + 48, '\0'); // e_shoff
    std::ofstream(tmp / "stripped", std::ios::binary) << image;
    CModuleVersion version;
    ASSERT_TRUE(version.GetFileVersionInfo(tmp / "stripped"));
    EXPECT_EQ(version.ToString(), CVA_EXPECTED_VERSION);
}

TEST(ModuleVersion, FilesWithoutTheNoteFail) {
    CTempFolder tmp;
    CModuleVersion version;
    EXPECT_FALSE(version.GetFileVersionInfo("/bin/sh"));
    EXPECT_FALSE(version.IsValid());
    EXPECT_FALSE(version.GetFileVersionInfo(tmp / "missing"));
    std::ofstream(tmp / "text") << "not an executable";
    EXPECT_FALSE(version.GetFileVersionInfo(tmp / "text"));
    EXPECT_FALSE(version.GetFileVersionInfo(tmp.Path()));
}

TEST(ModuleVersion, DamagedFilesNeverCrash) {
    CTempFolder tmp;
    std::string image = cva::files::ReadWholeFile("/proc/self/exe").value_or("");
    ASSERT_GT(image.size(), 4096u);
    CModuleVersion version;
    ASSERT_TRUE(cva::files::WriteFileAtomically(tmp / "cut", image.substr(0, 200)));
    EXPECT_FALSE(version.GetFileVersionInfo(tmp / "cut"));
    // Scrambled headers: whatever the numbers say, reads stay inside the file.
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        std::string damaged = image;
        for (int i = 0; i < 8; ++i)
            damaged[rng() % 128] = static_cast<char>(rng());
        damaged[rng() % damaged.size()] = static_cast<char>(rng());
        std::ofstream(tmp / "bad", std::ios::binary | std::ios::trunc) << damaged;
        version.GetFileVersionInfo(tmp / "bad");
    }
}
