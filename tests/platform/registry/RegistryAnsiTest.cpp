#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace cva::reg;

namespace {

class RegistryAnsi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_reg.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Caf\xC3\xA9", 0, nullptr, 0, KEY_ALL_ACCESS,
                                        nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override { m_reg.RegCloseKey(m_key); }

    CRegistry m_reg;
    HKEY m_key = nullptr;
};

TEST_F(RegistryAnsi, StringsAreStoredAsUtf16AndSizedInConvertedBytes) {
    const char* text = "\xC3\xA9\xC3\xA9\xC3\xA9"; // three e-acute: 6 UTF-8 bytes, 3 UTF-16 units
    ASSERT_EQ(m_reg.RegSetValueExA(m_key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 7), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(m_reg.RegQueryValueExW(m_key, u"Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    size = 0;
    EXPECT_EQ(m_reg.RegQueryValueExA(m_key, "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 7u);
    char buf[7];
    size = 6;
    EXPECT_EQ(m_reg.RegQueryValueExA(m_key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    size = 7;
    ASSERT_EQ(m_reg.RegQueryValueExA(m_key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, text);
}

TEST_F(RegistryAnsi, MultiStringsKeepTheirSeparatorsAndBinaryIsNotConverted) {
    const char multi[] = "a\0\xC3\xA9\0"; // "a", "é", final empty string
    ASSERT_EQ(m_reg.RegSetValueExA(m_key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi),
              ERROR_SUCCESS);
    char16_t wide[8];
    DWORD size = sizeof wide;
    ASSERT_EQ(m_reg.RegQueryValueExW(m_key, u"Multi", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(wide, size / 2), std::u16string(u"a\0\u00E9\0\0", 5));

    const BYTE bin[3] = {0xC3, 0xA9, 0x00};
    ASSERT_EQ(m_reg.RegSetValueExA(m_key, "Bin", 0, REG_BINARY, bin, 3), ERROR_SUCCESS);
    size = 0;
    EXPECT_EQ(m_reg.RegQueryValueExA(m_key, "Bin", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(m_reg.RegQueryValueExW(m_key, u"Bin", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
}

TEST_F(RegistryAnsi, NamesAreConvertedForEnumerationAndInfo) {
    HKEY sub = nullptr;
    ASSERT_EQ(m_reg.RegCreateKeyExA(m_key, "\xE4\xB8\xAD", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS); // one UTF-16 unit, three bytes
    m_reg.RegCloseKey(sub);
    ASSERT_EQ(m_reg.RegSetValueExA(m_key, "\xC3\xA9t\xC3\xA9", 0, REG_SZ, reinterpret_cast<const BYTE*>("\xC3\xA9"), 3),
              ERROR_SUCCESS);
    char name[8];
    DWORD chars = 3;
    EXPECT_EQ(m_reg.RegEnumKeyExA(m_key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    chars = 4;
    ASSERT_EQ(m_reg.RegEnumKeyExA(m_key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(chars, 3u);
    EXPECT_STREQ(name, "\xE4\xB8\xAD");

    DWORD maxSub = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(m_reg.RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, nullptr, &maxSub, nullptr, nullptr, &maxName,
                                     &maxData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(maxSub, 3u);
    EXPECT_EQ(maxName, 5u);
    EXPECT_EQ(maxData, 3u);

    chars = 8;
    DWORD type = 0, size = 8;
    BYTE data[8];
    ASSERT_EQ(m_reg.RegEnumValueA(m_key, 0, name, &chars, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(chars, 5u);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::memcmp(data, "\xC3\xA9", 3), 0);
}

} // namespace
