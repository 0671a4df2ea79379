// The registry editor files of key backups and exports.
#include "core/registry/RegBackup.h"
#include "platform/hive/RegEditFile.h"
#include "platform/text/Unicode.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::test {
namespace {

using namespace cva::reg;
using registry::CRegBackup;

std::string U16Bytes(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

// Every value below a key, by key path and value name: "type:data".
using CSnapshot = std::map<std::string, std::string>;

void Snap(CRegistry& registry, HKEY key, const std::string& path, CSnapshot& out) {
    char16_t name[300];
    std::vector<BYTE> data(70000);
    for (DWORD i = 0;; ++i) {
        DWORD chars = 300, size = static_cast<DWORD>(data.size()), type = 0;
        if (registry.RegEnumValueW(key, i, name, &chars, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        out[path + "|" + text::Utf16ToUtf8(std::u16string_view(name, chars))] =
            std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size);
    }
    out[path] = "key";
    for (DWORD i = 0;; ++i) {
        DWORD chars = 300;
        if (registry.RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY child = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, registry.RegOpenKeyExW(key, std::u16string(name, chars).c_str(), 0, KEY_READ, &child));
        Snap(registry, child, path + "\\" + text::Utf16ToUtf8(std::u16string_view(name, chars)), out);
        registry.RegCloseKey(child);
    }
}

class RegBackupTest : public ::testing::Test {
protected:
    void Put(const std::string& subKey, const std::string& name, DWORD type, const std::string& data,
             CRegistry* registry = nullptr) {
        CRegistry& r = registry ? *registry : m_registry;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, r.RegCreateKeyExW(HKEY_CURRENT_USER, text::Utf8ToUtf16(subKey).c_str(), 0,
                                                   nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        r.RegSetValueExW(key, text::Utf8ToUtf16(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size()));
        r.RegCloseKey(key);
    }
    static std::string Data(DWORD type, const std::string& bytes,
                            CRegBackup::EFormat format = CRegBackup::EFormat::Regedit4) {
        return CRegBackup::FormatValueData(type, reinterpret_cast<const BYTE*>(bytes.data()),
                                           static_cast<DWORD>(bytes.size()), format);
    }
    CSnapshot SnapKey(CRegistry& registry, const std::u16string& subKey) {
        CSnapshot out;
        HKEY key = nullptr;
        if (registry.RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
        Snap(registry, key, "", out);
        registry.RegCloseKey(key);
        return out;
    }
    std::string Export(const std::string& file, const std::string& subKey) {
        CRegBackup backup(m_registry, file);
        backup.BackupKeyTree(HKEY_CURRENT_USER, subKey);
        std::string why;
        EXPECT_TRUE(backup.Save(why)) << why;
        return ReadAll(file);
    }

    CRegistry m_registry;
    CTempDir m_dir;
};

TEST_F(RegBackupTest, ValueLines) {
    const std::string z = std::string(1, '\0');
    struct SCase {
        DWORD type;
        std::string data;
        std::string line;
    } cases[] = {
        {REG_BINARY, "\x01\x02\x03", "hex:01,02,03,\r\n"},
        {REG_BINARY, "", "hex:\r\n"},
        {REG_DWORD, std::string("\x01\0\0\0", 4), "dword:00000001\r\n"},
        {REG_DWORD, "\x01\x02\x03", "hex(4):01,02,03,\r\n"},
        {REG_SZ, U16Bytes(u"C:\\Temp \"q\"") + z + z, "\"C:\\\\Temp \\\"q\\\"\"\r\n"},
        // Data a quoted string would not give back: the exact bytes instead.
        {REG_SZ, U16Bytes(u"a\nb") + z + z, "hex(1):61,0a,62,00,\r\n"},
        {REG_SZ, U16Bytes(u"ab"), "hex(1):61,62,\r\n"},
        {REG_EXPAND_SZ, U16Bytes(u"%") + z + z, "hex(2):25,00,\r\n"},
        // Type numbers are read back as hexadecimal.
        {REG_RESOURCE_REQUIREMENTS_LIST, "\xff", "hex(a):ff,\r\n"},
        {REG_QWORD, std::string(1, '\0'), "hex(b):00,\r\n"},
        {REG_NONE, "", "hex(0):\r\n"},
    };
    for (const SCase& c : cases) EXPECT_EQ(c.line, Data(c.type, c.data)) << c.type;
    EXPECT_EQ("hex(2):25,00,00,00,\r\n", Data(REG_EXPAND_SZ, U16Bytes(u"%") + z + z, CRegBackup::EFormat::Version5));
    std::string first = "hex:";
    for (int i = 0; i < 22; ++i) first += "0b,";
    EXPECT_EQ(first + "\\\r\n0b,\r\n", Data(REG_BINARY, std::string(23, '\x0b')))
        << "22 bytes on the first line, 21 on every further one";
    EXPECT_EQ(first + "\r\n", Data(REG_BINARY, std::string(22, '\x0b'))) << "no continuation after the last byte";

    EXPECT_EQ("@=", CRegBackup::FormatValueName(""));
    EXPECT_EQ("\"a\\\\b\\\"\"=", CRegBackup::FormatValueName("a\\b\""));
    EXPECT_EQ("", CRegBackup::GetRootName(HKEY_CURRENT_CONFIG));
    EXPECT_EQ("HKEY_CURRENT_CONFIG", CRegBackup::FileRootName(HKEY_CURRENT_CONFIG));
}

TEST_F(RegBackupTest, KeyOrderHeaderAndAppending) {
    Put("Software\\K", "top", REG_SZ, U16Bytes(std::u16string(u"t\0", 2)));
    Put("Software\\K\\A", "a", REG_SZ, U16Bytes(std::u16string(u"1\0", 2)));
    Put("Software\\K\\A\\A1", "", REG_SZ, U16Bytes(std::u16string(u"2\0", 2)));
    Put("Software\\K\\B", "Foo", REG_DWORD, std::string("\x02\0\0\0", 4));
    Export(m_dir.File("k.reg"), "Software\\K");
    {
        CRegBackup backup(m_registry, m_dir.File("k.reg"));
        backup.BackupValue(HKEY_CURRENT_USER, "Software\\K\\B", "FOO");
        backup.BackupValue(HKEY_CURRENT_USER, "Software\\K\\B", "missing");
        backup.BackupValue(HKEY_CURRENT_USER, "Software\\NoSuchKey", "Foo");
        std::string why;
        ASSERT_TRUE(backup.Save(why)) << why;
    }
    EXPECT_EQ("REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\K]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\A]\r\n\"a\"=\"1\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\A\\A1]\r\n@=\"2\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\B]\r\n\"Foo\"=dword:00000002\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K]\r\n\"top\"=\"t\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\B]\r\n\"Foo\"=dword:00000002\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\B]\r\n",
              ReadAll(m_dir.File("k.reg")));
}

TEST_F(RegBackupTest, ExportsImportBackExactly) {
    const std::string z(2, '\0');
    struct SValue {
        const char* name;
        DWORD type;
        std::string data;
    } values[] = {
        {"", REG_SZ, U16Bytes(u"C:\\Temp \"quoted\"") + z},
        {"with \"quote\" and \\", REG_SZ, U16Bytes(u"line\r\nbreak") + z},
        {"unterminated", REG_SZ, U16Bytes(u"ab")},
        {"d", REG_DWORD, std::string("\xff\x01\0\x80", 4)},
        {"short", REG_DWORD, "\x01\x02"},
        {"bin", REG_BINARY, std::string(50, '\x7f')},
        {"exp", REG_EXPAND_SZ, U16Bytes(u"%SystemRoot%\\x") + z},
        {"multi", REG_MULTI_SZ, U16Bytes(u"a") + z + U16Bytes(u"b") + z + z},
        {"q", REG_QWORD, std::string("\x01\0\0\0\0\0\0\x02", 8)},
        {"none", REG_NONE, ""},
        {"big-endian", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x05", 4)},
        {"req", REG_RESOURCE_REQUIREMENTS_LIST, "\x10\x20"},
    };
    for (const SValue& v : values) Put("Software\\R", v.name, v.type, v.data);
    Put("Software\\R\\Sub\\Deeper", "x", REG_SZ, U16Bytes(u"y") + z);

    // The same values with text REGEDIT4 cannot carry go to a Version 5 file.
    for (const SValue& v : values) Put("Software\\U", v.name, v.type, v.data);
    Put("Software\\U\\Caf\xc3\xa9", "\xe2\x82\xac", REG_SZ, U16Bytes(u"\u4e2d\u00e9") + z);
    Put("Software\\U", "odd", REG_SZ, "abc");

    for (const char* key : {"Software\\R", "Software\\U"}) {
        const std::string file = m_dir.File(std::string(key + 9) + ".reg");
        std::string bytes = Export(file, key);
        const bool ascii = std::string(key) == "Software\\R";
        EXPECT_EQ(ascii ? "REGEDIT4" : "\xFF\xFEW", bytes.substr(0, ascii ? 8 : 3));
        CRegistry imported;
        std::string error;
        ASSERT_TRUE(hive::ImportRegEditFile(imported, bytes, error)) << error;
        const std::u16string sub = text::Utf8ToUtf16(key);
        const CSnapshot exported = SnapKey(m_registry, sub);
        EXPECT_GT(exported.size(), 14u);
        EXPECT_EQ(exported, SnapKey(imported, sub)) << key;
    }
}

TEST_F(RegBackupTest, AMountedHiveIsWrittenAsTheCurrentUser) {
    Put("Software\\M", "v", REG_SZ, U16Bytes(u"1") + std::string(2, '\0'));
    HKEY mounted = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, m_registry.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &mounted));
    CRegBackup backup(m_registry, m_dir.File("m.reg"));
    backup.BackupKeyTree(mounted, "Software\\M\\");
    std::string why;
    ASSERT_TRUE(backup.Save(why));
    EXPECT_EQ(0u, ReadAll(m_dir.File("m.reg")).find("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\M]\r\n"));
    m_registry.RegCloseKey(mounted);
}

TEST_F(RegBackupTest, AFailedSaveLeavesTheOldFileAsItWas) {
    Put("Software\\Caf\xc3\xa9", "v", REG_DWORD, std::string(4, '\0'));
    const std::string file = m_dir.File("old.reg");
    WriteAll(file, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Old]\r\n");
    CRegBackup backup(m_registry, file);
    backup.BackupKeyTree(HKEY_CURRENT_USER, "Software\\Caf\xc3\xa9");
    std::string why;
    EXPECT_FALSE(backup.Save(why));
    EXPECT_EQ(file + " holds 8-bit REGEDIT4 text, which cannot carry the names or text of this export "
                     "exactly; export to a new file",
              why);
    EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Old]\r\n", ReadAll(file));

    CRegBackup missingFolder(m_registry, m_dir.File("no/such/folder/x.reg"));
    missingFolder.BackupKeyTree(HKEY_CURRENT_USER, "Software");
    EXPECT_FALSE(missingFolder.Save(why));
    EXPECT_NE(std::string::npos, why.find("cannot write")) << why;
}

} // namespace
} // namespace cva::test
