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
    EXPECT_EQ(m_map.ToHostPath(m_c + "/As/Is"), std::nullopt);
    m_map.AllowHostPaths(true); // the user's own script
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
    EXPECT_EQ(map.Letters(), (std::vector<char>{'C'})) << "Z: lies outside the prefix";
    EXPECT_EQ(map.HostFolder('c'), std::filesystem::canonical(tmp / "pfx/drive_c").string());
    EXPECT_EQ(map.HostFolder('Z'), std::nullopt);
    map.AllowHostDrives(true);
    EXPECT_EQ(map.Letters(), (std::vector<char>{'C', 'Z'}));
    EXPECT_EQ(map.HostFolder('Z'), "/");
}

// A script reaches the prefix and nothing else: not the drives that lie outside it, not
// what links inside it lead to, not host paths; each refusal is reported.
TEST(DriveMapWine, HostPlacesAreRefusedUnlessAllowed) {
    namespace fs = std::filesystem;
    CTempFolder tmp;
    const std::string home = tmp / "home";
    fs::create_directories(home + "/Documents");
    std::ofstream(home + "/Documents/secret.txt") << "s";
    const std::string prefix = tmp / "pfx";
    fs::create_directories(prefix + "/drive_c/users/me");
    fs::create_directories(prefix + "/drive_c/windows");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    fs::create_directory_symlink(home, prefix + "/dosdevices/d:");
    fs::create_directory_symlink(home + "/Documents", prefix + "/drive_c/users/me/Documents");
    fs::create_symlink(home + "/new.txt", prefix + "/drive_c/dangling.txt");
    fs::create_directory_symlink("../windows", prefix + "/drive_c/users/me/win");
    CDriveMap map = CDriveMap::FromWinePrefix(prefix);
    std::vector<std::string> reported;
    map.SetRefusalReporter([&](CDriveMap::EHostPlace place, const std::string& path,
                               const std::string& host) {
        reported.push_back(std::to_string(static_cast<int>(place)) + " " + path + " " + host);
    });

    EXPECT_EQ(map.ToHostPath("Z:\\etc\\hostname"), std::nullopt);
    EXPECT_EQ(map.ToHostPath("D:\\Documents"), std::nullopt);
    EXPECT_EQ(map.ToHostPath("C:\\users\\me\\Documents\\secret.txt"), std::nullopt);
    EXPECT_EQ(map.ToHostPath("C:\\dangling.txt"), std::nullopt) << "it would create a host file";
    EXPECT_EQ(map.ToHostPath("/etc/hostname"), std::nullopt);
    EXPECT_EQ(map.ToHostPath("..\\..\\etc", "/usr/share"), std::nullopt);
    EXPECT_EQ(map.ToWindowsPath("/etc/hostname"), std::nullopt);
    const std::string c = fs::canonical(prefix + "/drive_c").string();
    EXPECT_EQ(map.ToHostPath("C:\\users\\me\\win\\x.ini"), c + "/users/me/win/x.ini")
        << "a link that stays inside is fine";
    EXPECT_EQ(map.ToHostPath("C:\\..\\..\\windows"), c + "/windows");
    ASSERT_EQ(reported.size(), 6u);
    EXPECT_EQ(reported[0], "0 Z:\\etc\\hostname /");
    EXPECT_EQ(reported[2], "1 C:\\users\\me\\Documents\\secret.txt " + home + "/Documents/secret.txt");
    EXPECT_EQ(reported[3], "1 C:\\dangling.txt " + home + "/new.txt");
    EXPECT_EQ(reported[4], "2 /etc/hostname /etc/hostname");

    map.AllowHostDrives(true);
    EXPECT_EQ(map.ToHostPath("Z:\\etc\\hostname"), "/etc/hostname");
    EXPECT_EQ(map.ToHostPath("C:\\users\\me\\Documents\\secret.txt"),
              c + "/users/me/Documents/secret.txt");
    EXPECT_EQ(map.ToHostPath("/etc/hostname"), std::nullopt) << "host paths are another matter";
}
