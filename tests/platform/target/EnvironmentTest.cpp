#include "platform/target/Environment.h"
#include "platform/target/WindowsVersion.h"

#include <gtest/gtest.h>

using namespace cva::target;

namespace {

CEnvironment Sample() {
    CEnvironment env;
    env.Set("SystemRoot", "C:\\WINDOWS");
    env.Set("windir", "C:\\WINDOWS");
    env.Set("Empty", "");
    return env;
}

} // namespace

TEST(ExpandEnvironment, NamesAreFoundWithoutRegardToCase) {
    CEnvironment env = Sample();
    EXPECT_EQ(ExpandEnvironmentStrings("%SYSTEMROOT%\\system32", env), "C:\\WINDOWS\\system32");
    EXPECT_EQ(ExpandEnvironmentStrings("%WinDir%%windir%", env), "C:\\WINDOWSC:\\WINDOWS");
    EXPECT_EQ(ExpandEnvironmentStrings("[%empty%]", env), "[]");
    env.Set("WINDIR", "D:\\W");
    EXPECT_EQ(ExpandEnvironmentStrings("%windir%", env), "D:\\W");
    EXPECT_EQ(env.Entries().size(), 3u);
    EXPECT_EQ(env.Entries()[2].first, "windir"); // first spelling kept
}

TEST(ExpandEnvironment, UnknownNamesAndLonePercentSignsStay) {
    CEnvironment env = Sample();
    EXPECT_EQ(ExpandEnvironmentStrings("%NOPE%\\x", env), "%NOPE%\\x");
    EXPECT_EQ(ExpandEnvironmentStrings("100% sure", env), "100% sure");
    EXPECT_EQ(ExpandEnvironmentStrings("%NOPE%%windir%", env), "%NOPE%C:\\WINDOWS");
    EXPECT_EQ(ExpandEnvironmentStrings("a%%b", env), "a%%b");
    EXPECT_EQ(ExpandEnvironmentStrings("50%windir%", env), "50C:\\WINDOWS");
    // A value is not expanded again.
    env.Set("Loop", "%Loop%");
    EXPECT_EQ(ExpandEnvironmentStrings("%loop%", env), "%Loop%");
}

TEST(ExpandEnvironment, AShapeReturnsTheSizeNeededWithItsNul) {
    CEnvironment env = Sample();
    char buffer[32];
    EXPECT_EQ(ExpandEnvironmentStringsA("%windir%", buffer, sizeof buffer, env), 11u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS");
    char small[5];
    EXPECT_EQ(ExpandEnvironmentStringsA("%windir%", small, sizeof small, env), 11u);
    EXPECT_STREQ(small, "C:\\W");
    EXPECT_EQ(ExpandEnvironmentStringsA("%windir%", nullptr, 0, env), 11u);
    EXPECT_EQ(ExpandEnvironmentStringsA(nullptr, buffer, sizeof buffer, env), 0u);
}

TEST(WindowsVersionCode, NineXFamily) {
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_WINDOWS, 3, 95), 0);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 2);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_WINDOWS, 5, 10), 2);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32s, 3, 1), 0);
}

TEST(WindowsVersionCode, NtSixAndLaterAreVistaAndLater) {
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 4, 0), 5);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 5, 0), 6);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 5, 1), 7);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 5, 2), 8);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 6, 0), 9);
    // Windows 7 and a default Wine 8 prefix report 6.1.
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 6, 1), 9);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 6, 2), 9);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 6, 3), 9);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 10, 0), 9);
    EXPECT_EQ(GetWindowsVersionCode(VER_PLATFORM_WIN32_NT, 3, 51), 9);
}
