#include "platform/target/RegistrySpec.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cva;
using namespace cva::reg;
using test::CTempDir;
using test::ReadAll;
using test::WriteAll;

namespace {

TEST(RegistrySpec, ParsesTheFourKinds) {
    target::CRegistrySpec spec;
    std::string error;
    ASSERT_TRUE(target::ParseRegistrySpec("", spec, error));
    EXPECT_EQ(spec.m_kind, target::TargetKind::Sandbox);
    EXPECT_TRUE(spec.m_path.empty());
    ASSERT_TRUE(target::ParseRegistrySpec("sandbox:/tmp/box/", spec, error));
    EXPECT_EQ(spec.m_path, "/tmp/box");
    ASSERT_TRUE(target::ParseRegistrySpec("wine:/home/u/.wine", spec, error));
    EXPECT_EQ(spec.m_kind, target::TargetKind::Wine);
    ASSERT_TRUE(target::ParseRegistrySpec("offline:/mnt/c", spec, error));
    EXPECT_EQ(spec.m_kind, target::TargetKind::Offline);
    EXPECT_FALSE(target::ParseRegistrySpec("wine", spec, error));
    EXPECT_FALSE(target::ParseRegistrySpec("wine:", spec, error));
    EXPECT_FALSE(target::ParseRegistrySpec("vm:/x", spec, error));
    EXPECT_NE(error.find("unknown target"), std::string::npos);
}

TEST(RegistrySpec, SandboxMapsItsThreeFilesAndStartsEmpty) {
    CTempDir dir;
    std::string folder = dir.File("box");
    target::COpenedRegistry opened;
    std::string error;
    ASSERT_TRUE(target::OpenTargetRegistry({target::TargetKind::Sandbox, folder}, opened, error))
        << error;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    CRegistry& r = *opened.m_registry;
    for (auto [root, sub] : {std::pair{HKEY_LOCAL_MACHINE, u"Software\\M"},
                             std::pair{HKEY_CURRENT_USER, u"Software\\U"},
                             std::pair{HKEY_USERS, u".Default\\Software\\D"}}) {
        HKEY key = nullptr;
        ASSERT_EQ(
            r.RegCreateKeyExW(root, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        r.RegCloseKey(key);
    }
    ASSERT_EQ(r.SaveDirtyHives(), ERROR_SUCCESS);
    EXPECT_NE(ReadAll(folder + "/system.reg").find("[Software\\\\M]"), std::string::npos);
    EXPECT_NE(ReadAll(folder + "/user.reg")
                  .find(";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"),
              std::string::npos);
    EXPECT_NE(ReadAll(folder + "/userdef.reg").find("[Software\\\\D]"), std::string::npos);
}

TEST(RegistrySpec, WinePrefixUsesTheUserNamedInUserReg) {
    CTempDir prefix;
    WriteAll(
        prefix.File("system.reg"),
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n");
    WriteAll(
        prefix.File("user.reg"),
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-7-7-7-500\n"
        "\n#arch=win64\n\n[Software\\\\Mine] 1700000000\n#time=1da1747c66d0000\n\"v\"=\"x\"\n");
    target::COpenedRegistry opened;
    std::string error;
    ASSERT_TRUE(
        target::OpenTargetRegistry({target::TargetKind::Wine, prefix.Path()}, opened, error))
        << error;
    EXPECT_FALSE(opened.m_readOnly);
    HKEY key = nullptr;
    EXPECT_EQ(
        opened.m_registry->RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Mine", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    opened.m_registry->RegCloseKey(key);
    EXPECT_EQ(opened.m_registry->RegOpenKeyExW(HKEY_USERS, u"S-1-5-21-7-7-7-500\\Software\\Mine", 0,
                                               KEY_READ, &key),
              ERROR_SUCCESS);
    opened.m_registry->RegCloseKey(key);
}

TEST(RegistrySpec, BadTargetsAreRefusedWithAReason) {
    CTempDir dir;
    target::COpenedRegistry opened;
    std::string error;
    EXPECT_FALSE(
        target::OpenTargetRegistry({target::TargetKind::Offline, dir.Path()}, opened, error));
    EXPECT_NE(error.find("is not the root of a Windows partition"), std::string::npos) << error;
    EXPECT_FALSE(target::OpenTargetRegistry({target::TargetKind::Wine, dir.Path()}, opened, error));
    EXPECT_NE(error.find("not a Wine prefix"), std::string::npos);
    EXPECT_FALSE(
        target::OpenTargetRegistry({target::TargetKind::Wine, dir.File("none")}, opened, error));

    WriteAll(dir.File("system.reg"), "WINE REGISTRY Version 2\n[Broken\n");
    EXPECT_FALSE(
        target::OpenTargetRegistry({target::TargetKind::Sandbox, dir.Path()}, opened, error));
    EXPECT_NE(error.find(dir.File("system.reg") + ":2:"), std::string::npos) << error;
    EXPECT_EQ(ReadAll(dir.File("system.reg")), "WINE REGISTRY Version 2\n[Broken\n");
}

} // namespace
