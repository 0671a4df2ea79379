#include "platform/files/DriveMap.h"
#include "platform/common/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace cva::files;
using cva::test::CTempFolder;

namespace {

class DriveMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_c = m_tmp / "drive_c";
        std::filesystem::create_directories(m_c + "/WINDOWS/System32");
        std::ofstream(m_c + "/WINDOWS/System32/Shell32.dll") << "x";
        ASSERT_TRUE(m_map.SetDrive('c', m_c));
        ASSERT_TRUE(m_map.SetDrive('Z', "/"));
    }
    CTempFolder m_tmp;
    std::string m_c;
    CDriveMap m_map;
};

} // namespace

TEST_F(DriveMapTest, ComponentsMatchExactlyFirstThenWithoutCase) {
    EXPECT_EQ(m_map.ToHostPath("C:\\WINDOWS\\System32\\Shell32.dll"),
              m_c + "/WINDOWS/System32/Shell32.dll");
    EXPECT_EQ(m_map.ToHostPath("c:\\windows\\SYSTEM32\\shell32.DLL"),
              m_c + "/WINDOWS/System32/Shell32.dll");
    // Two names that differ only in case: the exact one is taken.
    std::filesystem::create_directories(m_c + "/windows");
    EXPECT_EQ(m_map.ToHostPath("C:\\windows"), m_c + "/windows");
    EXPECT_EQ(m_map.ToHostPath("C:\\Windows"), m_c + "/WINDOWS"); // first in byte order
}

TEST_F(DriveMapTest, ForwardSlashesDotsAndTheDriveRoot) {
    EXPECT_EQ(m_map.ToHostPath("C:/windows/./system32/"), m_c + "/WINDOWS/System32");
    EXPECT_EQ(m_map.ToHostPath("C:\\..\\..\\windows\\..\\WINDOWS"), m_c + "/WINDOWS");
    EXPECT_EQ(m_map.ToHostPath("C:\\"), m_c);
    EXPECT_EQ(m_map.ToHostPath("\\\\?\\C:\\Windows"), m_c + "/WINDOWS");
}

TEST_F(DriveMapTest, UnknownDrivesUncAndEmptyPathsResolveToNothing) {
    EXPECT_EQ(m_map.ToHostPath("Q:\\x"), std::nullopt);
    EXPECT_EQ(m_map.ToHostPath("\\\\server\\share\\x"), std::nullopt);
    EXPECT_EQ(m_map.ToHostPath(""), std::nullopt);
    m_map.RemoveDrive('c');
    EXPECT_EQ(m_map.ToHostPath("C:\\Windows"), std::nullopt);
}

TEST_F(DriveMapTest, MissingTailIsKeptAsWritten) {
    EXPECT_EQ(m_map.ToHostPath("C:\\windows\\NewDir\\New.INI"), m_c + "/WINDOWS/NewDir/New.INI");
}

TEST_F(DriveMapTest, RelativeAndRootRelativePathsUseTheCurrentFolder) {
    const std::string cwd = m_c + "/WINDOWS/System32";
    EXPECT_EQ(m_map.ToHostPath("shell32.dll", cwd), cwd + "/Shell32.dll");
    EXPECT_EQ(m_map.ToHostPath("..\\..\\..\\..\\windows", cwd), m_c + "/WINDOWS");
    EXPECT_EQ(m_map.ToHostPath("\\windows", cwd), m_c + "/WINDOWS");
    EXPECT_EQ(m_map.ToHostPath(m_c + "/As/Is"), m_c + "/As/Is"); // host paths pass through
}

TEST_F(DriveMapTest, HostPathsMapBackToTheDeepestDrive) {
    EXPECT_EQ(m_map.ToWindowsPath(m_c + "/WINDOWS/System32"), "C:\\WINDOWS\\System32");
    EXPECT_EQ(m_map.ToWindowsPath(m_c), "C:\\");
    EXPECT_EQ(m_map.ToWindowsPath("/etc/hosts"), "Z:\\etc\\hosts");
    std::string sibling = "Z:" + m_c + "x/y"; // a name that only starts like the drive
    std::replace(sibling.begin(), sibling.end(), '/', '\\');
    EXPECT_EQ(m_map.ToWindowsPath(m_c + "x/y"), sibling);
    m_map.RemoveDrive('Z');
    EXPECT_EQ(m_map.ToWindowsPath("/etc/hosts"), std::nullopt);
}

TEST(DriveMapWine, DrivesComeFromTheDosdevicesLinks) {
    CTempFolder tmp;
    std::filesystem::create_directories(tmp / "pfx/drive_c");
    std::filesystem::create_directories(tmp / "pfx/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", tmp / "pfx/dosdevices/c:");
    std::filesystem::create_directory_symlink("/", tmp / "pfx/dosdevices/z:");
    std::filesystem::create_symlink("/dev/sda1", tmp / "pfx/dosdevices/c::");
    CDriveMap map = CDriveMap::FromWinePrefix(tmp / "pfx");
    EXPECT_EQ(map.Letters(), (std::vector<char>{'C', 'Z'}));
    EXPECT_EQ(map.HostFolder('c'), std::filesystem::canonical(tmp / "pfx/drive_c").string());
    EXPECT_EQ(map.HostFolder('Z'), "/");
}
