// Hive files shared with other programs: a save starts from the file as it is on disk and
// puts only our own changes on top; reads take in what others wrote meanwhile.
#include "platform/registry/Registry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace cva::reg;
using cva::test::CTempDir;
using cva::test::ReadAll;
using cva::test::WriteAll;

namespace {

const std::string kBase = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to REGISTRY\\\\Machine\n"
                          "\n[Software\\\\App] 1700000000\n"
                          "\"Keep\"=dword:00000001\n"
                          "\"Old\"=dword:00000002\n"
                          "\n[Software\\\\Gone] 1700000000\n"
                          "\"x\"=dword:00000001\n";

bool SetDword(CRegistry& reg, const char16_t* path, const char16_t* name, DWORD value) {
    HKEY key = nullptr;
    if (reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
        return false;
    LSTATUS rc = reg.RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    reg.RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// The value, -1 when it is missing, -2 when the key is.
long GetDword(CRegistry& reg, const char16_t* path, const char16_t* name) {
    HKEY key = nullptr;
    if (reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return -2;
    DWORD value = 0, size = 4;
    LSTATUS rc =
        reg.RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    reg.RegCloseKey(key);
    return rc == ERROR_SUCCESS ? static_cast<long>(value) : -1;
}

// Another copy of the program, in a process of its own, changing the file and saving.
template <typename Work> void InAnotherProcess(const std::string& file, Work work) {
    pid_t pid = fork();
    if (pid == 0) {
        CRegistry reg;
        reg.SetSaveOnClose(false);
        bool ok = reg.MountHiveFile(u"Machine", file, {}) == ERROR_SUCCESS && work(reg) &&
                  reg.SaveDirtyHives() == ERROR_SUCCESS;
        _exit(ok ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class RegistryMerge : public ::testing::Test {
protected:
    void SetUp() override {
        WriteAll(m_file, kBase);
        ASSERT_EQ(m_reg.MountHiveFile(u"Machine", m_file, {}), ERROR_SUCCESS);
        m_reg.SetSaveOnClose(false);
    }
    CRegistry& Reread() {
        m_check = std::make_unique<CRegistry>();
        EXPECT_EQ(m_check->MountHiveFile(u"Machine", m_file, {}), ERROR_SUCCESS);
        return *m_check;
    }

    CTempDir m_dir;
    std::string m_file = m_dir.File("system.reg");
    CRegistry m_reg;
    std::unique_ptr<CRegistry> m_check;
};

TEST_F(RegistryMerge, ASaveKeepsWhatAnotherProcessWroteSinceWeRead) {
    ASSERT_TRUE(SetDword(m_reg, u"Software\\App", u"Ours", 3));
    ASSERT_TRUE(SetDword(m_reg, u"Software\\New\\Deep", u"n", 1));
    HKEY app = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\App", 0, KEY_ALL_ACCESS, &app),
              ERROR_SUCCESS);
    ASSERT_EQ(m_reg.RegDeleteValueW(app, u"Old"), ERROR_SUCCESS);
    ASSERT_EQ(m_reg.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"Software\\Gone"), ERROR_SUCCESS);

    InAnotherProcess(m_file, [](CRegistry& other) {
        return SetDword(other, u"Software\\App", u"Theirs", 4) &&
               SetDword(other, u"Software\\App", u"Keep", 7) &&
               SetDword(other, u"Software\\Theirs\\Sub", u"t", 5);
    });
    ASSERT_EQ(m_reg.SaveDirtyHives(), ERROR_SUCCESS);

    CRegistry& now = Reread();
    EXPECT_EQ(GetDword(now, u"Software\\App", u"Ours"), 3);
    EXPECT_EQ(GetDword(now, u"Software\\App", u"Theirs"), 4);
    EXPECT_EQ(GetDword(now, u"Software\\App", u"Keep"), 7) << "a value we did not touch is theirs";
    EXPECT_EQ(GetDword(now, u"Software\\App", u"Old"), -1);
    EXPECT_EQ(GetDword(now, u"Software\\New\\Deep", u"n"), 1);
    EXPECT_EQ(GetDword(now, u"Software\\Theirs\\Sub", u"t"), 5);
    EXPECT_EQ(GetDword(now, u"Software\\Gone", u"x"), -2);
    // The handle still names our key in the tree the save read back.
    EXPECT_EQ(m_reg.RegDeleteValueW(app, u"Theirs"), ERROR_SUCCESS);
    m_reg.RegCloseKey(app);
}

TEST_F(RegistryMerge, ReadsTakeInWhatAnotherProcessWroteAndHandlesFollow) {
    HKEY app = nullptr, gone = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\App", 0, KEY_READ, &app),
              ERROR_SUCCESS);
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Gone", 0, KEY_READ, &gone),
              ERROR_SUCCESS);
    ASSERT_TRUE(SetDword(m_reg, u"Software\\App", u"Unsaved", 3));
    InAnotherProcess(m_file, [](CRegistry& other) {
        return SetDword(other, u"Software\\App", u"Theirs", 4) &&
               other.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"Software\\Gone") == ERROR_SUCCESS;
    });
    bool reloaded = false;
    ASSERT_EQ(m_reg.RefreshHives(nullptr, &reloaded), ERROR_SUCCESS);
    EXPECT_TRUE(reloaded);
    DWORD value = 0, size = 4;
    EXPECT_EQ(m_reg.RegQueryValueExW(app, u"Theirs", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 4u);
    EXPECT_EQ(GetDword(m_reg, u"Software\\App", u"Unsaved"), 3) << "our own change stays on top";
    EXPECT_EQ(m_reg.RegQueryValueExW(gone, u"x", nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    m_reg.RefreshHives(nullptr, &reloaded);
    EXPECT_FALSE(reloaded) << "an unchanged file is not read again";
    m_reg.RegCloseKey(app);
    m_reg.RegCloseKey(gone);
}

TEST_F(RegistryMerge, AFileReplacedWhileWeWriteIsReadAndMergedOnceMore) {
    ASSERT_TRUE(SetDword(m_reg, u"Software\\App", u"Ours", 3));
    int looks = 0;
    // Wine's tools take no lock of ours: they may write between our look and our rename.
    m_reg.SetSaveGuard([&]() -> std::string {
        if (++looks == 2)
            WriteAll(m_file, kBase + "\n[Software\\\\Wine] 1700000000\n\"w\"=dword:00000009\n");
        return {};
    });
    ASSERT_EQ(m_reg.SaveDirtyHives(), ERROR_SUCCESS);
    CRegistry& now = Reread();
    EXPECT_EQ(GetDword(now, u"Software\\Wine", u"w"), 9);
    EXPECT_EQ(GetDword(now, u"Software\\App", u"Ours"), 3);

    ASSERT_TRUE(SetDword(m_reg, u"Software\\App", u"Later", 1));
    m_reg.SetSaveGuard([] { return std::string("a wineserver runs"); });
    const std::string before = ReadAll(m_file);
    std::vector<std::string> errors;
    EXPECT_EQ(m_reg.SaveDirtyHives(&errors), ERROR_ACCESS_DENIED);
    EXPECT_EQ(errors, std::vector<std::string>{m_file + ": not saved: a wineserver runs"});
    EXPECT_EQ(ReadAll(m_file), before);
    EXPECT_TRUE(m_reg.HasDirtyHives());
}

TEST_F(RegistryMerge, ALoadedHiveAndVolatileKeysLiveOnAcrossAReload) {
    const std::string loaded = m_dir.File("loaded.reg");
    WriteAll(loaded, "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\\\\L\n"
                     "\n[Inner] 1700000000\n\"i\"=dword:00000001\n");
    ASSERT_EQ(m_reg.RegLoadKeyW(HKEY_LOCAL_MACHINE, u"L",
                                std::u16string(loaded.begin(), loaded.end()).c_str()),
              ERROR_SUCCESS);
    HKEY temp = nullptr;
    ASSERT_EQ(m_reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\App\\Temp", 0, nullptr,
                                    REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &temp, nullptr),
              ERROR_SUCCESS);
    m_reg.RegCloseKey(temp);
    ASSERT_TRUE(SetDword(m_reg, u"Software\\App\\Temp", u"t", 1));
    InAnotherProcess(
        m_file, [](CRegistry& other) { return SetDword(other, u"Software\\App", u"Theirs", 4); });
    ASSERT_EQ(m_reg.RefreshHives(), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(m_reg, u"Software\\App", u"Theirs"), 4);
    EXPECT_EQ(GetDword(m_reg, u"L\\Inner", u"i"), 1);
    EXPECT_EQ(GetDword(m_reg, u"Software\\App\\Temp", u"t"), 1);
    ASSERT_TRUE(SetDword(m_reg, u"Software\\App", u"Ours", 3));
    ASSERT_EQ(m_reg.SaveDirtyHives(), ERROR_SUCCESS);
    const std::string text = ReadAll(m_file);
    EXPECT_EQ(text.find("Inner"), std::string::npos) << "the loaded hive has a file of its own";
    EXPECT_EQ(text.find("Temp"), std::string::npos) << "a volatile key never reaches the file";
}

TEST_F(RegistryMerge, ChangesToAReadOnlyHiveAreRefusedWithTheReason) {
    CRegistry reg;
    CRegistry::CMountOptions options;
    options.m_readOnly = true;
    options.m_readOnlyReason = "a wineserver runs";
    ASSERT_EQ(reg.MountHiveFile(u"Machine", m_file, options), ERROR_SUCCESS);
    EXPECT_FALSE(reg.IsReadOnly(HKEY_USERS));
    EXPECT_TRUE(reg.IsReadOnly(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(reg.TakeRefusedChanges().empty()) << "asking is no change";
    EXPECT_EQ(GetDword(reg, u"Software\\App", u"Keep"), 1);
    EXPECT_FALSE(SetDword(reg, u"Software\\App", u"Ours", 3));
    EXPECT_FALSE(SetDword(reg, u"Software\\Other", u"Ours", 3));
    EXPECT_EQ(reg.TakeRefusedChanges(), std::vector<std::string>{"a wineserver runs"});
    EXPECT_TRUE(reg.TakeRefusedChanges().empty());
}

} // namespace
