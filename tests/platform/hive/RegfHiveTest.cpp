// Windows' own hive files behind the registry calls: read, changed and saved so that
// the file stays a hive that other readers (hivex) take, with nothing of others lost.
#include "platform/registry/Registry.h"

#include "platform/text/Unicode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <hivex.h>

#include <filesystem>

using namespace cva::reg;
using cva::test::CTempDir;
using cva::test::ReadAll;

namespace {

const std::string kHives = CVA_WINDOWS_HIVES;

#define REQUIRE_HIVES()                                                                            \
    if (kHives.empty()) GTEST_SKIP() << "the Windows hives are not beside the source tree"

std::string CopyHive(const CTempDir& dir, const std::string& name) {
    std::filesystem::copy_file(kHives + "/" + name, dir.File(name));
    return dir.File(name);
}

LSTATUS Set(CRegistry& reg, const char16_t* path, const char16_t* name, DWORD type,
            const std::vector<uint8_t>& data) {
    HKEY key = nullptr;
    LSTATUS rc = reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                     nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = reg.RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    reg.RegCloseKey(key);
    return rc;
}

// Type and data of a value; type REG_NONE with the error number as data when missing.
std::pair<DWORD, std::vector<uint8_t>> Get(CRegistry& reg, const char16_t* path,
                                           const char16_t* name) {
    HKEY key = nullptr;
    LSTATUS rc = reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
    DWORD type = 0, size = 0;
    if (rc == ERROR_SUCCESS) rc = reg.RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    std::vector<uint8_t> data(size);
    if (rc == ERROR_SUCCESS)
        rc = reg.RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    reg.RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return {REG_NONE, {static_cast<uint8_t>(rc)}};
    return {type, data};
}

std::u16string ClassOf(CRegistry& reg, const char16_t* path, DWORD* subkeys = nullptr) {
    HKEY key = nullptr;
    if (reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return u"(missing)";
    char16_t text[256] = {};
    DWORD chars = 256;
    reg.RegQueryInfoKeyW(key, text, &chars, nullptr, subkeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
    reg.RegCloseKey(key);
    return text;
}

std::vector<uint8_t> Utf16(std::u16string_view s) {
    std::vector<uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

} // namespace

TEST(RegfHive, ChangesReachTheFileAndTheRestStaysAsWindowsWroteIt) {
    REQUIRE_HIVES();
    CTempDir dir;
    const std::string file = CopyHive(dir, "SYSTEM");
    const std::vector<uint8_t> text = Utf16(u"Grüße €\0"), multi = Utf16(u"a\0ä\0\0"),
                               qword{1, 2, 3, 4, 5, 6, 7, 8}, odd{9};
    std::u16string jdClass;
    {
        CRegistry reg;
        reg.SetSaveOnClose(false);
        ASSERT_EQ(reg.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
        EXPECT_EQ(Get(reg, u"Select", u"Current").second, (std::vector<uint8_t>{1, 0, 0, 0}));
        jdClass = ClassOf(reg, u"ControlSet001\\Control\\Lsa\\JD");
        EXPECT_FALSE(jdClass.empty());
        EXPECT_EQ(Set(reg, u"ControlSet001\\Control", u"Välue€", REG_SZ, text), ERROR_SUCCESS);
        EXPECT_EQ(Set(reg, u"Ünï€\\Types", u"multi", REG_MULTI_SZ, multi), ERROR_SUCCESS);
        EXPECT_EQ(Set(reg, u"Ünï€\\Types", u"qword", REG_QWORD, qword), ERROR_SUCCESS);
        EXPECT_EQ(Set(reg, u"Ünï€\\Types", u"", 0x12345, odd), ERROR_SUCCESS);
        for (int i = 0; i < 3000; ++i) {
            std::u16string many = u"Many\\" + cva::text::Utf8ToUtf16(std::to_string(i));
            ASSERT_EQ(Set(reg, many.c_str(), u"n", REG_BINARY, {}), ERROR_SUCCESS);
        }
        EXPECT_EQ(reg.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"ControlSet002"), ERROR_SUCCESS);
        EXPECT_EQ(reg.SaveDirtyHives(), ERROR_SUCCESS);
    }

    hive_h* h = hivex_open(file.c_str(), 0);
    ASSERT_NE(h, nullptr) << "hivex no longer reads the saved hive";
    EXPECT_NE(hivex_node_get_child(h, hivex_root(h), "Many"), 0u);
    EXPECT_EQ(hivex_node_get_child(h, hivex_root(h), "ControlSet002"), 0u);
    hivex_close(h);

    CRegistry reg;
    reg.SetSaveOnClose(false);
    ASSERT_EQ(reg.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    EXPECT_EQ(Get(reg, u"ControlSet001\\Control", u"Välue€"), std::make_pair(REG_SZ, text));
    EXPECT_EQ(Get(reg, u"Ünï€\\Types", u"multi"), std::make_pair(REG_MULTI_SZ, multi));
    EXPECT_EQ(Get(reg, u"Ünï€\\Types", u"qword"), std::make_pair(REG_QWORD, qword));
    EXPECT_EQ(Get(reg, u"Ünï€\\Types", u""), std::make_pair(DWORD{0x12345}, odd));
    DWORD many = 0;
    ClassOf(reg, u"Many", &many);
    EXPECT_EQ(many, 3000u);
    EXPECT_EQ(ClassOf(reg, u"ControlSet001\\Control\\Lsa\\JD"), jdClass);
    EXPECT_EQ(ClassOf(reg, u"ControlSet002"), u"(missing)");
}

TEST(RegfHive, SaveKeepsWhatAnotherProgramWroteMeanwhile) {
    REQUIRE_HIVES();
    CTempDir dir;
    const std::string file = CopyHive(dir, "NTUSER.DAT");
    CRegistry ours, theirs;
    ours.SetSaveOnClose(false);
    theirs.SetSaveOnClose(false);
    ASSERT_EQ(ours.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    ASSERT_EQ(theirs.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    ASSERT_EQ(Set(theirs, u"Theirs", u"v", REG_DWORD, {1, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(theirs.SaveDirtyHives(), ERROR_SUCCESS);
    ASSERT_EQ(Set(ours, u"Ours", u"v", REG_DWORD, {2, 0, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(ours.SaveDirtyHives(), ERROR_SUCCESS);

    CRegistry check;
    check.SetSaveOnClose(false);
    ASSERT_EQ(check.MountHiveFile(u"Machine", file, {}), ERROR_SUCCESS);
    EXPECT_EQ(Get(check, u"Theirs", u"v").first, REG_DWORD);
    EXPECT_EQ(Get(check, u"Ours", u"v").first, REG_DWORD);
}

TEST(RegfHive, RefusesWhatWouldHarmTheHive) {
    REQUIRE_HIVES();
    CTempDir dir;
    // A damaged hive is not mounted, and so never written.
    const std::string damaged = CopyHive(dir, "corrupted_system_hive");
    const std::string before = ReadAll(damaged);
    std::string error;
    CRegistry reg;
    EXPECT_EQ(reg.MountHiveFile(u"Machine\\Damaged", damaged, {}, &error), ERROR_BADDB);
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_EQ(ReadAll(damaged), before);

    // Changes still only in the transaction logs: read-only, and why.
    ASSERT_EQ(reg.MountHiveFile(u"User\\Logged", CopyHive(dir, "transactions_NTUSER.DAT"), {}),
              ERROR_SUCCESS);
    std::string reason;
    HKEY key = nullptr;
    ASSERT_EQ(reg.RegOpenKeyExW(HKEY_USERS, u"Logged", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_TRUE(reg.IsReadOnly(key, &reason));
    EXPECT_NE(reason.find("transaction logs"), std::string::npos) << reason;
    reg.RegCloseKey(key);

    // A value Windows keeps in a big-data record is refused, not written the wrong way.
    ASSERT_EQ(reg.MountHiveFile(u"Machine", CopyHive(dir, "SYSTEM"), {}), ERROR_SUCCESS);
    EXPECT_EQ(Set(reg, u"Big", u"v", REG_BINARY, std::vector<uint8_t>(20000)), ERROR_NOT_SUPPORTED);
    auto refused = reg.TakeRefusedChanges();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("16344"), std::string::npos) << refused[0];
}
