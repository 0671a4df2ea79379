#include "platform/registry/Registry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace cva::reg;
using cva::test::CTempDir;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

// A system.reg as Wine 8 writes it, with the CurrentControlSet link.
const std::string kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n#arch=win64\n"
    "\n[System\\\\ControlSet001\\\\Control\\\\Windows] 1700000000\n"
    "#time=1da1747c66d0000\n"
    "\"CSDVersion\"=dword:00000000\n"
    "\n[System\\\\CurrentControlSet] 1700000000\n"
    "#time=1da1747c66d0000\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
    "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,\\\n"
    "  74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,\\\n"
    "  00,74,00,30,00,30,00,31,00\n";

class RegistryHives : public ::testing::Test {
protected:
    std::string Mount(CRegistry& reg, const std::string& name, const std::string& text,
                      CRegistry::CMountOptions options = {}) {
        std::string file = m_dir.File(name);
        if (!text.empty()) WriteAll(file, text);
        std::string error;
        EXPECT_EQ(reg.MountHiveFile(u"Machine", file, options, &error), ERROR_SUCCESS) << error;
        return file;
    }
    void SetDword(CRegistry& reg, HKEY root, const char16_t* path, const char16_t* name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(reg.RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(reg.RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
                  ERROR_SUCCESS);
        reg.RegCloseKey(key);
    }

    CTempDir m_dir;
};

TEST_F(RegistryHives, CurrentControlSetWritesLandInControlSet001AndTheLinkSurvivesSaving) {
    std::string file;
    {
        CRegistry reg;
        file = Mount(reg, "system.reg", kSystemReg);
        SetDword(reg, HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\Windows", u"New", 7);
        ASSERT_EQ(reg.SaveDirtyHives(), ERROR_SUCCESS);
    }
    std::string saved = ReadAll(file);
    EXPECT_NE(saved.find("[System\\\\ControlSet001\\\\Control\\\\Windows]"), std::string::npos);
    EXPECT_NE(saved.find("\"New\"=dword:00000007"), std::string::npos);
    EXPECT_NE(saved.find("[System\\\\CurrentControlSet] 1700000000\n#time=1da1747c66d0000\n#link\n"), std::string::npos);
    EXPECT_EQ(saved.find("CurrentControlSet\\\\Control"), std::string::npos);
}

TEST_F(RegistryHives, ReadOnlyHiveRefusesWriteAccessButReads) {
    CRegistry reg;
    CRegistry::CMountOptions options;
    options.m_readOnly = true;
    options.m_readOnlyReason = "a wineserver runs";
    std::string file = Mount(reg, "system.reg", kSystemReg, options);
    HKEY key = nullptr;
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\ControlSet001", 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    for (REGSAM sam : {KEY_SET_VALUE, KEY_CREATE_SUB_KEY, DELETE, static_cast<REGSAM>(GENERIC_WRITE)})
        EXPECT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System", 0, sam, &key), ERROR_ACCESS_DENIED) << sam;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System", 0, MAXIMUM_ALLOWED, &key), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegSetValueExW(key, u"v", 0, REG_BINARY, nullptr, 0), ERROR_ACCESS_DENIED);
    reg.RegCloseKey(key);
    EXPECT_EQ(reg.RegSetValueExW(HKEY_LOCAL_MACHINE, u"v", 0, REG_BINARY, nullptr, 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"New", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"System"), ERROR_ACCESS_DENIED);
    std::string reason;
    EXPECT_TRUE(reg.IsReadOnly(HKEY_LOCAL_MACHINE, &reason));
    EXPECT_EQ(reason, "a wineserver runs");
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\Windows", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    reg.RegCloseKey(key);
}

TEST_F(RegistryHives, UnwritableFileMakesTheHiveReadOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
    std::string file = m_dir.File("system.reg");
    WriteAll(file, kSystemReg);
    chmod(file.c_str(), 0444);
    CRegistry reg;
    ASSERT_EQ(reg.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System", 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryHives, MalformedFileIsReportedAndNeverOverwritten) {
    std::string file = m_dir.File("system.reg");
    std::string broken = kSystemReg + "\n[Software\\\\Broken\n\"x\"=dword:1\n";
    WriteAll(file, broken);
    {
        CRegistry reg;
        std::string error;
        EXPECT_EQ(reg.MountHiveFile(u"Machine", file, {}, &error), ERROR_BADDB);
        EXPECT_EQ(error, file + ":18: key line without its closing ']'");
        SetDword(reg, HKEY_LOCAL_MACHINE, u"Software", u"v", 1);
        EXPECT_EQ(reg.SaveDirtyHives(), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadAll(file), broken);
}

TEST_F(RegistryHives, OnlyChangedHivesAreWrittenAndFlushWritesAtOnce) {
    CRegistry reg;
    std::string file = Mount(reg, "system.reg", "");
    EXPECT_FALSE(reg.HasDirtyHives());
    EXPECT_EQ(reg.SaveDirtyHives(), ERROR_SUCCESS);
    struct stat st;
    EXPECT_NE(stat(file.c_str(), &st), 0) << "an unchanged hive is not written";
    SetDword(reg, HKEY_LOCAL_MACHINE, u"Software\\Flushed", u"v", 1);
    EXPECT_TRUE(reg.HasDirtyHives());
    HKEY key = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegFlushKey(key), ERROR_SUCCESS);
    reg.RegCloseKey(key);
    EXPECT_FALSE(reg.HasDirtyHives());
    EXPECT_NE(ReadAll(file).find("[Software\\\\Flushed]"), std::string::npos);
}

TEST_F(RegistryHives, ClosingTheRegistrySavesItsChanges) {
    std::string file = m_dir.File("system.reg");
    {
        CRegistry reg;
        ASSERT_EQ(reg.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
        SetDword(reg, HKEY_LOCAL_MACHINE, u"Software\\AtClose", u"v", 2);
    }
    CRegistry again;
    ASSERT_EQ(again.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    HKEY key = nullptr;
    EXPECT_EQ(again.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\AtClose", 0, KEY_READ, &key), ERROR_SUCCESS);
    again.RegCloseKey(key);
}

TEST_F(RegistryHives, SaveKeyRefusesAnExistingFileAndRestoreReplacesContent) {
    CRegistry reg;
    SetDword(reg, HKEY_CURRENT_USER, u"Software\\Source\\Sub", u"v", 5);
    SetDword(reg, HKEY_CURRENT_USER, u"Software\\Dest\\OldSub", u"old", 1);
    HKEY source = nullptr, dest = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Source", 0, KEY_ALL_ACCESS, &source), ERROR_SUCCESS);
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Dest", 0, KEY_ALL_ACCESS, &dest), ERROR_SUCCESS);
    std::string file = m_dir.File("saved.reg");
    ASSERT_EQ(reg.RegSaveKeyA(source, file.c_str(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegSaveKeyA(source, file.c_str(), nullptr), ERROR_ALREADY_EXISTS);

    HKEY oldSub = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(dest, u"OldSub", 0, KEY_READ, &oldSub), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegRestoreKeyA(dest, file.c_str(), 0), ERROR_ACCESS_DENIED) << "a handle is open below the key";
    ASSERT_EQ(reg.RegRestoreKeyA(dest, file.c_str(), REG_FORCE_RESTORE), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegQueryValueExW(oldSub, u"old", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    HKEY sub = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(dest, u"Sub", 0, KEY_READ, &sub), ERROR_SUCCESS);
    DWORD value = 0, size = 4;
    EXPECT_EQ(reg.RegQueryValueExW(sub, u"v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 5u);
    for (HKEY k : {source, dest, oldSub, sub}) reg.RegCloseKey(k);
}

TEST_F(RegistryHives, LoadedHiveIsMountedAndSavedWhenUnloaded) {
    std::string file = m_dir.File("NTUSER.reg");
    WriteAll(file, "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\Other\n"
                   "\n[Software\\\\Theirs] 1700000000\n#time=1da1747c66d0000\n\"x\"=dword:00000001\n");
    CRegistry reg;
    EXPECT_EQ(reg.RegLoadKeyA(HKEY_CURRENT_USER, "Corvanta", file.c_str()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reg.RegLoadKeyA(HKEY_USERS, "Corvanta", m_dir.File("missing.reg").c_str()), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(reg.RegLoadKeyA(HKEY_USERS, "Corvanta", file.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegLoadKeyA(HKEY_USERS, "Corvanta", file.c_str()), ERROR_ALREADY_EXISTS);
    SetDword(reg, HKEY_USERS, u"Corvanta\\Software\\Theirs", u"y", 2);
    HKEY inside = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_USERS, u"Corvanta\\Software", 0, KEY_READ, &inside), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegUnLoadKeyA(HKEY_USERS, "S-1-5-21-0-0-0-1000"),
              ERROR_INVALID_PARAMETER);
    ASSERT_EQ(reg.RegUnLoadKeyA(HKEY_USERS, "corvanta"), ERROR_SUCCESS);
    EXPECT_EQ(reg.RegEnumKeyExW(inside, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    reg.RegCloseKey(inside);
    EXPECT_NE(ReadAll(file).find("\"y\"=dword:00000002"), std::string::npos);
    HKEY gone = nullptr;
    EXPECT_EQ(reg.RegOpenKeyExW(HKEY_USERS, u"Corvanta", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
}

} // namespace
