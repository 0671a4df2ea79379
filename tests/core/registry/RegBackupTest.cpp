// The REGEDIT4 writer of key backups and exports.
#include "core/registry/RegBackup.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace cva::test {
namespace {

using namespace cva::reg;
using registry::CRegBackup;

class RegBackupTest : public ::testing::Test {
protected:
    void Put(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
             const std::string& data) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  m_registry.RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
        m_registry.RegSetValueExA(key, name.c_str(), 0, type,
                                  reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size()));
        m_registry.RegCloseKey(key);
    }
    std::string Data(DWORD type, const std::string& bytes) {
        std::string out = "untouched";
        CRegBackup::FormatValueData(type, reinterpret_cast<const BYTE*>(bytes.data()),
                                    static_cast<DWORD>(bytes.size()), out);
        return out;
    }

    CRegistry m_registry;
    CTempDir m_dir;
};

TEST_F(RegBackupTest, ValueDataForms) {
    EXPECT_EQ("hex:01,02,03,\r\n", Data(REG_BINARY, "\x01\x02\x03"));
    EXPECT_EQ("hex:\r\n", Data(REG_BINARY, ""));
    EXPECT_EQ("dword:00000001\r\n", Data(REG_DWORD, std::string("\x01\0\0\0", 4)));
    EXPECT_EQ("\"C:\\\\Temp \"q\"\"\r\n", Data(REG_SZ, std::string("C:\\Temp \"q\"\0junk", 16)));
    EXPECT_EQ("hex(2):25,00,\r\n", Data(REG_EXPAND_SZ, std::string("%\0", 2)));
    EXPECT_EQ("hex(10):ff,\r\n", Data(REG_RESOURCE_REQUIREMENTS_LIST, "\xff"));
    EXPECT_EQ("hex(11):00,\r\n", Data(REG_QWORD, std::string(1, '\0')))
        << "every line stays complete";
}

TEST_F(RegBackupTest, LongBinaryLinesWrapAfter22BytesThen21) {
    std::string line = Data(REG_BINARY, std::string(23, '\x0b'));
    std::string first = "hex:";
    for (int i = 0; i < 22; ++i)
        first += "0b,";
    EXPECT_EQ(first + "\\\r\n0b,\r\n", line);
}

TEST_F(RegBackupTest, NamesAndRoots) {
    EXPECT_EQ("@=", CRegBackup::FormatValueName(""));
    EXPECT_EQ("\"a\\\\b\"=", CRegBackup::FormatValueName("a\\b"));
    EXPECT_EQ("HKEY_LOCAL_MACHINE", CRegBackup::GetRootName(HKEY_LOCAL_MACHINE));
    EXPECT_EQ("HKEY_USERS", CRegBackup::GetRootName(HKEY_USERS));
    EXPECT_EQ("", CRegBackup::GetRootName(HKEY_CURRENT_CONFIG));
}

TEST_F(RegBackupTest, KeyTreeOrderAndRepeatedTopHeader) {
    Put(HKEY_CURRENT_USER, "Software\\K", "top", REG_SZ, std::string("t\0", 2));
    Put(HKEY_CURRENT_USER, "Software\\K\\A", "a", REG_SZ, std::string("1\0", 2));
    Put(HKEY_CURRENT_USER, "Software\\K\\A\\A1", "", REG_SZ, std::string("2\0", 2));
    Put(HKEY_CURRENT_USER, "Software\\K\\B", "b", REG_DWORD, std::string("\x02\0\0\0", 4));
    {
        CRegBackup backup(m_registry, m_dir.File("k.reg"));
        backup.BackupKeyTree(HKEY_CURRENT_USER, "Software\\K");
    }
    EXPECT_EQ("REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\K]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\A]\r\n\"a\"=\"1\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\A\\A1]\r\n@=\"2\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K\\B]\r\n\"b\"=dword:00000002\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\K]\r\n\"top\"=\"t\"\r\n",
              ReadAll(m_dir.File("k.reg")));
}

TEST_F(RegBackupTest, ASecondWriterAppendsWithoutASecondHeaderLine) {
    Put(HKEY_LOCAL_MACHINE, "Software\\X", "Foo", REG_SZ, std::string("v\0", 2));
    {
        CRegBackup backup(m_registry, m_dir.File("x.reg"));
        backup.BackupValue(HKEY_LOCAL_MACHINE, "Software\\X", "FOO");
    }
    {
        CRegBackup backup(m_registry, m_dir.File("x.reg"));
        backup.BackupValue(HKEY_LOCAL_MACHINE, "Software\\X", "missing");
        backup.BackupValue(HKEY_LOCAL_MACHINE, "Software\\NoSuchKey", "Foo");
    }
    EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"Foo\"=\"v\"\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\X]\r\n",
              ReadAll(m_dir.File("x.reg")));
}

TEST_F(RegBackupTest, AValueLongerThan260BytesIsStillWritten) {
    Put(HKEY_LOCAL_MACHINE, "Software\\Big", "B", REG_BINARY, std::string(300, '\x01'));
    {
        CRegBackup backup(m_registry, m_dir.File("b.reg"));
        backup.BackupValue(HKEY_LOCAL_MACHINE, "Software\\Big", "b");
    }
    EXPECT_NE(std::string::npos, ReadAll(m_dir.File("b.reg")).find("\"B\"=hex:01,01,"));
}

TEST_F(RegBackupTest, TheRootNameCanBeGivenForAMountedHive) {
    Put(HKEY_CURRENT_USER, "Software\\M", "v", REG_SZ, std::string("1\0", 2));
    HKEY mounted = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              m_registry.RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &mounted));
    {
        CRegBackup backup(m_registry, m_dir.File("m.reg"));
        backup.BackupKeyTree(mounted, "Software\\M");
        backup.BackupKeyTree(mounted, "Software\\M", "HKEY_CURRENT_USER");
    }
    std::string text = ReadAll(m_dir.File("m.reg"));
    EXPECT_EQ(0u, text.find("REGEDIT4\r\n\r\n[\\Software\\M]\r\n"));
    EXPECT_NE(std::string::npos, text.find("[HKEY_CURRENT_USER\\Software\\M]\r\n\"v\"=\"1\""));
    m_registry.RegCloseKey(mounted);
}

TEST_F(RegBackupTest, AFileThatCannotBeOpenedWritesNothing) {
    CRegBackup backup(m_registry, m_dir.File("no/such/folder/x.reg"));
    EXPECT_FALSE(backup.IsOpen());
    backup.BackupKeyTree(HKEY_LOCAL_MACHINE, "Software");
    EXPECT_EQ("An unknown error occurred while accessing /x.reg.",
              CRegBackup::OpenFailureMessage("/x.reg"));
}

} // namespace
} // namespace cva::test
