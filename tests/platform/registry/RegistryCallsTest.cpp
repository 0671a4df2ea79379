#include "platform/registry/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace cva::reg;

namespace {

class RegistryCalls : public ::testing::Test {
protected:
    ~RegistryCalls() override {
        for (HKEY k : m_open) m_reg.RegCloseKey(k);
    }
    HKEY Create(HKEY root, const char16_t* path, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(m_reg.RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition),
                  ERROR_SUCCESS);
        m_open.push_back(key);
        return key;
    }
    void SetString(HKEY key, const char16_t* name, std::u16string value, DWORD type = REG_SZ) {
        EXPECT_EQ(m_reg.RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * 2)),
                  ERROR_SUCCESS);
    }
    std::vector<std::u16string> SubkeyNames(HKEY key) {
        std::vector<std::u16string> names;
        char16_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD chars = 256;
            if (m_reg.RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, chars);
        }
        return names;
    }

    CRegistry m_reg;
    std::vector<HKEY> m_open;
};

TEST_F(RegistryCalls, CreateReportsDispositionAndNamesAreCaseInsensitiveButPreserved) {
    DWORD disposition = 0;
    Create(HKEY_LOCAL_MACHINE, u"Software\\MixedCase", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\mixedcase", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    HKEY software = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software", 0, KEY_READ, &software), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(software), std::vector<std::u16string>{u"MixedCase"});
    m_reg.RegCloseKey(software);
}

TEST_F(RegistryCalls, SubkeysEnumerateInUpperCaseOrderAndValuesInInsertionOrder) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Order");
    for (const char16_t* n : {u"b", u"_x", u"A", u"Z", u"a1"}) Create(key, n);
    // '_' (0x5F) sorts after 'Z' once names are upper-cased, as Windows enumerates.
    EXPECT_EQ(SubkeyNames(key), (std::vector<std::u16string>{u"A", u"a1", u"b", u"Z", u"_x"}));

    for (const char16_t* n : {u"zeta", u"alpha", u"Mid"}) SetString(key, n, u"v");
    char16_t name[32];
    std::vector<std::u16string> values;
    for (DWORD i = 0;; ++i) {
        DWORD chars = 32;
        if (m_reg.RegEnumValueW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        values.emplace_back(name, chars);
    }
    EXPECT_EQ(values, (std::vector<std::u16string>{u"zeta", u"alpha", u"Mid"}));
}

TEST_F(RegistryCalls, QueryValueGivesTypeSizeOrDataAndAsksForMoreRoom) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Query");
    SetString(key, u"Text", u"hello");
    DWORD type = 0;
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"text", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    DWORD size = 0;
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"Text", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 12u);
    char16_t text[6];
    size = sizeof text;
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"hello");
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"Text", nullptr, nullptr, small, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryCalls, EnumerationReportsShortNameBuffersAndTheEnd) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Enum");
    Create(key, u"LongSubkeyName");
    SetString(key, u"LongValueName", u"x");
    char16_t name[8];
    DWORD chars = 8;
    EXPECT_EQ(m_reg.RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    chars = 8;
    EXPECT_EQ(m_reg.RegEnumValueW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    chars = 8;
    EXPECT_EQ(m_reg.RegEnumKeyExW(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(m_reg.RegEnumValueW(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    // A data buffer that is too small still reports the size needed.
    char16_t longName[32];
    DWORD longChars = 32, size = 1;
    BYTE data[1];
    EXPECT_EQ(m_reg.RegEnumValueW(key, 0, longName, &longChars, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
}

TEST_F(RegistryCalls, QueryInfoKeyCountsAndMeasures) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Info");
    Create(key, u"Four");
    Create(key, u"Seven77");
    SetString(key, u"NameOfNine", u"abc");
    SetString(key, u"", u"longer data");
    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(m_reg.RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values, &maxName,
                                     &maxData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(maxSub, 7u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxName, 10u);
    EXPECT_EQ(maxData, 24u);
}

TEST_F(RegistryCalls, HandleOfADeletedKeyFailsWithKeyDeleted) {
    HKEY parent = Create(HKEY_CURRENT_USER, u"Doomed");
    HKEY child = Create(parent, u"Child");
    ASSERT_EQ(m_reg.RegDeleteKeyW(HKEY_CURRENT_USER, u"doomed\\child"), ERROR_SUCCESS);
    EXPECT_EQ(m_reg.RegSetValueExW(child, u"v", 0, REG_DWORD, reinterpret_cast<const BYTE*>("\1\0\0\0"), 4),
              ERROR_KEY_DELETED);
    DWORD count = 0;
    EXPECT_EQ(m_reg.RegQueryInfoKeyW(child, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    HKEY again = nullptr;
    EXPECT_EQ(m_reg.RegCreateKeyExW(child, u"Below", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &again, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(m_reg.RegCloseKey(child), ERROR_SUCCESS);
    m_open.erase(std::find(m_open.begin(), m_open.end(), child));
    EXPECT_EQ(m_reg.RegCloseKey(child), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryCalls, KeyWithSubkeysIsNotDeletedButTreeDeleteRemovesIt) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Tree\\A\\B");
    SetString(key, u"v", u"x");
    EXPECT_EQ(m_reg.RegDeleteKeyW(HKEY_CURRENT_USER, u"Tree"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(m_reg.RegDeleteKeyW(HKEY_CURRENT_USER, u"Tree\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(m_reg.RegDeleteTreeW(HKEY_CURRENT_USER, u"Tree"), ERROR_SUCCESS);
    HKEY gone = nullptr;
    EXPECT_EQ(m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"Tree", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    // The roots themselves stay.
    EXPECT_EQ(m_reg.RegDeleteKeyW(HKEY_USERS, CRegistry::kDefaultUserSid), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryCalls, WindowsLimitsAreEnforced) {
    HKEY key = nullptr;
    std::u16string name255(255, u'k'), name256(256, u'k');
    EXPECT_EQ(m_reg.RegCreateKeyExW(HKEY_CURRENT_USER, name255.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr),
              ERROR_SUCCESS);
    m_open.push_back(key);
    HKEY tooLong = nullptr;
    EXPECT_EQ(m_reg.RegCreateKeyExW(HKEY_CURRENT_USER, name256.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &tooLong, nullptr),
              ERROR_INVALID_PARAMETER);

    std::u16string value16383(16383, u'v'), value16384(16384, u'v');
    EXPECT_EQ(m_reg.RegSetValueExW(key, value16383.c_str(), 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(m_reg.RegSetValueExW(key, value16384.c_str(), 0, REG_BINARY, nullptr, 0), ERROR_INVALID_PARAMETER);

    std::u16string deep;
    for (int i = 0; i < 520; ++i) deep += u"d\\";
    HKEY deepKey = nullptr;
    EXPECT_EQ(m_reg.RegCreateKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deepKey,
                                    nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"\\Leading", 0, KEY_READ, &deepKey), ERROR_BAD_PATHNAME);
}

TEST_F(RegistryCalls, SymbolicLinkKeysAreFollowed) {
    HKEY real = Create(HKEY_LOCAL_MACHINE, u"System\\ControlSet001\\Control");
    HKEY link = nullptr;
    ASSERT_EQ(m_reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet", 0, nullptr,
                                    REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link, nullptr),
              ERROR_SUCCESS);
    m_open.push_back(link);
    std::u16string target = u"\\Registry\\Machine\\System\\ControlSet001";
    ASSERT_EQ(m_reg.RegSetValueExW(link, u"SymbolicLinkValue", 0, REG_LINK,
                                   reinterpret_cast<const BYTE*>(target.data()), static_cast<DWORD>(target.size() * 2)),
              ERROR_SUCCESS);

    HKEY through = Create(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\Windows");
    SetString(through, u"Landed", u"yes");
    HKEY direct = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(real, u"Windows", 0, KEY_READ, &direct), ERROR_SUCCESS);
    m_open.push_back(direct);
    EXPECT_EQ(m_reg.RegQueryValueExW(direct, u"Landed", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

    // HKEY_CURRENT_CONFIG lies behind the same link.
    HKEY config = Create(HKEY_CURRENT_CONFIG, u"Software\\Fonts");
    SetString(config, u"LogPixels", u"96");
    HKEY stored = nullptr;
    EXPECT_EQ(m_reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\ControlSet001\\Hardware Profiles\\Current\\Software\\Fonts",
                                  0, KEY_READ, &stored),
              ERROR_SUCCESS);
    m_open.push_back(stored);
}

TEST_F(RegistryCalls, RenameAndCopyTreeKeepContent) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Old\\Sub");
    SetString(key, u"v", u"kept");
    ASSERT_EQ(m_reg.RegRenameKeyW(HKEY_CURRENT_USER, u"Old", u"New"), ERROR_SUCCESS);
    HKEY moved = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"New\\Sub", 0, KEY_READ, &moved), ERROR_SUCCESS);
    m_open.push_back(moved);
    EXPECT_EQ(m_reg.RegQueryValueExW(moved, u"v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    // The handle opened before the rename still reaches the key.
    EXPECT_EQ(m_reg.RegQueryValueExW(key, u"v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    Create(HKEY_CURRENT_USER, u"Taken");
    EXPECT_EQ(m_reg.RegRenameKeyW(HKEY_CURRENT_USER, u"New", u"taken"), ERROR_ALREADY_EXISTS);

    HKEY copy = Create(HKEY_CURRENT_USER, u"Copy");
    ASSERT_EQ(m_reg.RegCopyTreeW(HKEY_CURRENT_USER, u"New", copy), ERROR_SUCCESS);
    HKEY copied = nullptr;
    EXPECT_EQ(m_reg.RegOpenKeyExW(copy, u"Sub", 0, KEY_READ, &copied), ERROR_SUCCESS);
    m_open.push_back(copied);
    HKEY inside = Create(HKEY_CURRENT_USER, u"New\\Sub");
    EXPECT_EQ(m_reg.RegCopyTreeW(HKEY_CURRENT_USER, u"New", inside), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryCalls, AccessRightsOfAHandleAreHonoured) {
    Create(HKEY_CURRENT_USER, u"Rights");
    HKEY readOnly = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"Rights", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    m_open.push_back(readOnly);
    EXPECT_EQ(m_reg.RegSetValueExW(readOnly, u"v", 0, REG_BINARY, nullptr, 0), ERROR_ACCESS_DENIED);
    HKEY writeOnly = nullptr;
    ASSERT_EQ(m_reg.RegOpenKeyExW(HKEY_CURRENT_USER, u"Rights", 0, KEY_SET_VALUE, &writeOnly), ERROR_SUCCESS);
    m_open.push_back(writeOnly);
    EXPECT_EQ(m_reg.RegSetValueExW(writeOnly, u"v", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(m_reg.RegQueryValueExW(writeOnly, u"v", nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
}

} // namespace
