#include "platform/hive/RegEditFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cva;
using namespace cva::reg;

namespace {

struct CValue {
    std::u16string m_name;
    DWORD m_type;
    std::vector<uint8_t> m_data;
};

std::vector<uint8_t> Units(std::u16string_view s) {
    std::vector<uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

void Set(CRegistry& r, const char16_t* path, const CValue& v) {
    HKEY key = nullptr;
    ASSERT_EQ(r.RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(r.RegSetValueExW(key, v.m_name.c_str(), 0, v.m_type, v.m_data.data(),
                               static_cast<DWORD>(v.m_data.size())),
              ERROR_SUCCESS);
    r.RegCloseKey(key);
}

bool Get(CRegistry& r, const char16_t* path, const std::u16string& name, CValue& v) {
    HKEY key = nullptr;
    if (r.RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool ok =
        r.RegQueryValueExW(key, name.c_str(), nullptr, &v.m_type, nullptr, &size) == ERROR_SUCCESS;
    v.m_data.resize(size);
    ok = ok && r.RegQueryValueExW(key, name.c_str(), nullptr, &v.m_type, v.m_data.data(), &size) ==
                   ERROR_SUCCESS;
    r.RegCloseKey(key);
    return ok;
}

std::string Utf16File(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

TEST(RegEditFile, ExportThenImportRestoresEveryValue) {
    std::vector<CValue> values = {
        {u"", REG_SZ, Units(std::u16string(u"default\0", 8))},
        {u"quote\"back\\slash", REG_SZ, Units(std::u16string(u"a\"b\\c \u00e9\u4e2d\0", 10))},
        {u"newline", REG_SZ, Units(std::u16string(u"two\r\nlines\0", 11))},
        {u"unterminated", REG_SZ, Units(u"abc")},
        {u"expand", REG_EXPAND_SZ, Units(std::u16string(u"%SystemRoot%\\x\0", 15))},
        {u"multi", REG_MULTI_SZ, Units(std::u16string(u"one\0two\0\0", 9))},
        {u"dword", REG_DWORD, {1, 2, 3, 4}},
        {u"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"binary", REG_BINARY, std::vector<uint8_t>(100, 0xAB)},
        {u"none", REG_NONE, {}},
        {u"odd", 0x1234, {9}},
    };
    CRegistry source;
    for (const auto& v : values)
        Set(source, u"Software\\Export", v);
    Set(source, u"Software\\Export\\Child", {u"c", REG_DWORD, {1, 0, 0, 0}});

    std::string bytes;
    CRegPath path;
    ASSERT_TRUE(ParseRegPath("HKCU\\Software\\Export", path));
    ASSERT_EQ(hive::ExportRegEditFile(source, path, hive::RegEditFormat::Version5, bytes),
              ERROR_SUCCESS);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");

    CRegistry target;
    std::string error;
    ASSERT_TRUE(hive::ImportRegEditFile(target, bytes, error)) << error;
    for (const auto& v : values) {
        CValue got;
        ASSERT_TRUE(Get(target, u"Software\\Export", v.m_name, got));
        EXPECT_EQ(got.m_type, v.m_type);
        EXPECT_EQ(got.m_data, v.m_data);
    }
    CValue child;
    EXPECT_TRUE(Get(target, u"Software\\Export\\Child", u"c", child));
}

TEST(RegEditFile, Version5LayoutMatchesRegedit) {
    CRegistry r;
    Set(r, u"Software\\Layout", {u"s", REG_SZ, Units(std::u16string(u"x\0", 2))});
    Set(r, u"Software\\Layout",
        {u"e", REG_EXPAND_SZ, Units(std::u16string(u"%SystemRoot%\\x\0", 15))});
    std::string bytes;
    CRegPath path;
    ASSERT_TRUE(ParseRegPath("HKEY_CURRENT_USER\\Software\\Layout", path));
    ASSERT_EQ(hive::ExportRegEditFile(r, path, hive::RegEditFormat::Version5, bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(
        bytes,
        Utf16File(
            u"Windows Registry Editor Version 5.00\r\n\r\n"
            u"[HKEY_CURRENT_USER\\Software\\Layout]\r\n"
            u"\"s\"=\"x\"\r\n"
            u"\"e\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
            u"  25,00,5c,00,78,00,00,00\r\n\r\n"));
}

// Wine's Wow6432Node links may point at keys a prefix does not have (yet).
TEST(RegEditFile, ExportOfABranchGoesOnPastALinkWhoseTargetIsMissing) {
    CRegistry r;
    Set(r, u"Software\\Vendor\\Real", {u"v", REG_DWORD, {1, 0, 0, 0}});
    HKEY link = nullptr;
    ASSERT_EQ(r.RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Vendor\\Dangling", 0, nullptr,
                                REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    std::u16string target = u"\\REGISTRY\\User\\" + r.CurrentUserSid() + u"\\Software\\Missing";
    r.RegSetValueExW(link, u"SymbolicLinkValue", 0, REG_LINK,
                     reinterpret_cast<const BYTE*>(target.data()),
                     static_cast<DWORD>(target.size() * 2));
    r.RegCloseKey(link);
    std::string bytes;
    CRegPath path;
    ASSERT_TRUE(ParseRegPath("HKCU\\Software", path));
    ASSERT_EQ(hive::ExportRegEditFile(r, path, hive::RegEditFormat::Regedit4, bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(bytes, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Vendor]\r\n\r\n"
                     "[HKEY_CURRENT_USER\\Software\\Vendor\\Real]\r\n\"v\"=dword:00000001\r\n\r\n");
}

TEST(RegEditFile, Regedit4FilesCarryStringsInTheEightBitCodePage) {
    const std::string file = "REGEDIT4\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
                             "\"s\"=\"caf\xE9\"\r\n"        // Windows-1252 e-acute
                             "\"e\"=hex(2):25,41,25,00\r\n" // "%A%" as 8-bit bytes
                             "\"gone\"=-\r\n"
                             "[-HKEY_CURRENT_USER\\Software\\Removed]\r\n";
    CRegistry r;
    Set(r, u"Software\\Old", {u"gone", REG_DWORD, {0, 0, 0, 0}});
    Set(r, u"Software\\Removed\\Deep", {u"x", REG_DWORD, {0, 0, 0, 0}});
    std::string error;
    ASSERT_TRUE(hive::ImportRegEditFile(r, file, error)) << error;
    CValue v;
    ASSERT_TRUE(Get(r, u"Software\\Old", u"s", v));
    EXPECT_EQ(v.m_data, Units(std::u16string(u"caf\u00e9\0", 5)));
    ASSERT_TRUE(Get(r, u"Software\\Old", u"e", v));
    EXPECT_EQ(v.m_data, Units(std::u16string(u"%A%\0", 4)));
    EXPECT_FALSE(Get(r, u"Software\\Old", u"gone", v));
    // A whole root exported ("HKCU\") heads its file with the root alone.
    EXPECT_TRUE(hive::ImportRegEditFile(r, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n", error)) << error;
    HKEY key = nullptr;
    EXPECT_EQ(r.RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Removed", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST(RegEditFile, MalformedFileChangesNothing) {
    const std::string file = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Partial]\n"
                             "\"good\"=dword:00000001\n"
                             "\"bad\"=dword:xyz\n";
    CRegistry r;
    std::string error;
    EXPECT_FALSE(hive::ImportRegEditFile(r, file, error));
    EXPECT_EQ(error, "line 5: malformed dword value");
    HKEY key = nullptr;
    EXPECT_EQ(r.RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Partial", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);

    EXPECT_FALSE(hive::ImportRegEditFile(r, "just text\n", error));
    EXPECT_FALSE(hive::ImportRegEditFile(r, "REGEDIT4\n[HKEY_NOWHERE\\X]\n", error));
    EXPECT_EQ(error, "line 2: unknown root key in \"HKEY_NOWHERE\\X\"");
}

} // namespace
