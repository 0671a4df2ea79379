// Recording a registry's changes and taking them back, and the journal's text.
#include "core/journal/ChangeRecorder.h"
#include "core/journal/JournalUndo.h"
#include "platform/text/Unicode.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace cva::test {
namespace {

using namespace cva::reg;
using namespace cva::journal;

// Every key below `key` with its class and values, in order.
std::string Dump(CRegistry& reg, HKEY root, const std::u16string& path) {
    HKEY key = nullptr;
    if (reg.RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "(none)";
    std::string out = text::Utf16ToUtf8(path) + "\n";
    char16_t name[300];
    BYTE data[300];
    for (DWORD i = 0;; ++i) {
        DWORD chars = 300, size = 300, type = 0;
        if (reg.RegEnumValueW(key, i, name, &chars, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        out += " " + text::Utf16ToUtf8(name) + "=" + std::to_string(type) + ":" +
               std::string(reinterpret_cast<char*>(data), size) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD chars = 300, classChars = 300;
        char16_t cls[300];
        if (reg.RegEnumKeyExW(key, i, name, &chars, nullptr, cls, &classChars, nullptr) != ERROR_SUCCESS) break;
        out += " class " + text::Utf16ToUtf8(cls) + "\n" + Dump(reg, root, path + u"\\" + name);
    }
    reg.RegCloseKey(key);
    return out;
}

void Set(CRegistry& reg, const char16_t* path, const char16_t* name, const std::string& data,
         const char16_t* cls = nullptr) {
    HKEY key = nullptr;
    ASSERT_EQ(reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, cls, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    reg.RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    reg.RegCloseKey(key);
}

TEST(Journal, DeletedTreesCopiesAndRenamesComeBackExactly) {
    CTempDir dir;
    CRegistry reg;
    ASSERT_EQ(reg.MountHiveFile(u"Machine", dir.File("system.reg"), {}), ERROR_SUCCESS);
    Set(reg, u"Software\\A", u"", "top");
    Set(reg, u"Software\\A\\B", u"kept", "b", u"classy");
    Set(reg, u"Software\\A\\B\\C", u"deep", "c");
    Set(reg, u"Software\\Other", u"x", "1");
    const std::string before = Dump(reg, HKEY_LOCAL_MACHINE, u"Software");

    CChangeRecorder recorder;
    {
        CRecordingScope scope(reg, recorder);
        ASSERT_EQ(reg.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"Software\\A"), ERROR_SUCCESS);
        HKEY other = nullptr;
        reg.RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Other", 0, KEY_ALL_ACCESS, &other);
        Set(reg, u"Software\\Source\\Inner", u"x", "2");
        ASSERT_EQ(reg.RegCopyTreeW(HKEY_LOCAL_MACHINE, u"Software\\Source", other), ERROR_SUCCESS);
        reg.RegCloseKey(other);
        ASSERT_EQ(reg.RegRenameKeyW(HKEY_LOCAL_MACHINE, u"Software\\Source", u"Moved"), ERROR_SUCCESS);
    }
    SJournalEntry entry = recorder.Finish(reg);
    entry.m_id = "20261207-140000-001";
    ASSERT_NE(Dump(reg, HKEY_LOCAL_MACHINE, u"Software"), before);
    // What the text keeps is what was recorded.
    auto reread = ParseJournalEntry(FormatJournalEntry(entry));
    ASSERT_TRUE(reread);
    EXPECT_TRUE(UndoDifferences(reg, *reread).empty());
    std::vector<std::string> failures;
    UndoChanges(reg, *reread, failures);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(Dump(reg, HKEY_LOCAL_MACHINE, u"Software"), before);
}

TEST(Journal, TextKeepsOddNamesAndData) {
    SJournalEntry entry;
    entry.m_id = "20261207-140000-001";
    entry.m_plugin = "50% \"off\".cvp";
    entry.m_changes.push_back({SJournalChange::EKind::Value, u"User\\S-1\\K\"e%y", u"line\nbreak",
                               {true, REG_BINARY, {0, 0xff, 0x22}}, std::nullopt, {}});
    entry.m_changes.push_back({SJournalChange::EKind::Value, u"Machine\\K", u"", {}, std::nullopt, {}});
    entry.m_changes.push_back({SJournalChange::EKind::KeyDeleted, u"Machine\\K\\Sub", {}, {}, u"c\"s", {}});
    SJournalChange ini;
    ini.m_kind = SJournalChange::EKind::IniEntry;
    ini.m_ini = {"/x/a b.ini", "S", "k", std::string("v \"1\""), false, true};
    entry.m_changes.push_back(ini);
    entry.m_after.push_back({false, u"Machine\\K\\Sub", {}, {true, 0, {}}, std::nullopt});
    const std::string text = FormatJournalEntry(entry);
    EXPECT_NE(text.find("value \"HKEY_USERS\\S-1\\K%22e%25y\" \"line%0Abreak\" hex(3):00,ff,22\n"),
              std::string::npos)
        << text;
    auto back = ParseJournalEntry(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_plugin, entry.m_plugin);
    ASSERT_EQ(back->m_changes.size(), 4u);
    EXPECT_EQ(back->m_changes[3].m_ini, ini.m_ini);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back->m_changes[i].m_key, entry.m_changes[i].m_key);
        EXPECT_EQ(back->m_changes[i].m_name, entry.m_changes[i].m_name);
        EXPECT_EQ(back->m_changes[i].m_before, entry.m_changes[i].m_before);
        EXPECT_EQ(back->m_changes[i].m_class, entry.m_changes[i].m_class);
    }
    EXPECT_TRUE(back->m_after[0].m_state.m_present);
    // A change this version cannot take back keeps the entry from being offered.
    EXPECT_FALSE(ParseJournalEntry(text + "file \"C:\\x.txt\" absent\n"));
}

} // namespace
} // namespace cva::test
