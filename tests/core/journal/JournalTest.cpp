// Recording a registry's changes and taking them back, and the journal's text.
#include "core/journal/ChangeRecorder.h"
#include "core/journal/JournalDiff.h"
#include "core/journal/JournalUndo.h"
#include "platform/files/FileAttributes.h"
#include "platform/files/Trash.h"
#include "platform/text/Unicode.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
                               {true, REG_BINARY, {0, 0xff, 0x22}}, std::nullopt, {}, {}, {}});
    entry.m_changes.push_back({SJournalChange::EKind::Value, u"Machine\\K", u"", {}, std::nullopt, {}, {}, {}});
    entry.m_changes.push_back({SJournalChange::EKind::KeyDeleted, u"Machine\\K\\Sub", {}, {}, u"c\"s", {}, {}, {}});
    SJournalChange ini;
    ini.m_kind = SJournalChange::EKind::IniEntry;
    ini.m_ini = {"/x/a b.ini", "S", "k", std::string("v \"1\""), false, true};
    entry.m_changes.push_back(ini);
    entry.m_after.push_back({false, u"Machine\\K\\Sub", {}, {true, 0, {}}, std::nullopt, std::nullopt, {}});
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
    EXPECT_FALSE(ParseJournalEntry(text + "acl \"C:\\x.txt\" absent\n"));
}

// Files written, deleted to the Trash or for good, moved and made come back byte for
// byte, newest first; what was too large to keep is said before the undo.
TEST(Journal, FilesComeBackExactlyAndWhatCannotIsSaid) {
    CTempDir dir;
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt"), c = dir.File("c.txt"), d = dir.File("d.txt");
    const std::string big = dir.File("big.bin"), made = dir.File("made");
    WriteAll(a, "one\r\n");
    WriteAll(b, std::string("bin\0ary", 7));
    WriteAll(c, "moved");
    WriteAll(big, std::string(kKeptFileBytes + 1, 'x'));
    CRegistry reg;
    CChangeRecorder recorder;
    recorder.FileChanging(a);
    WriteAll(a, "two\r\n");
    recorder.FileChanging(b);
    std::string info;
    ASSERT_TRUE(files::CTrash().MoveToTrash(b, &info));
    recorder.FileTrashed(b, info);
    recorder.FileMoving(c, d);
    std::filesystem::rename(c, d);
    recorder.FileChanging(made);
    std::filesystem::create_directory(made);
    recorder.FileChanging(big);
    std::filesystem::remove(big);
    SJournalEntry entry = recorder.Finish(reg);
    entry.m_id = "20261207-140000-001";
    const std::string text = FormatJournalEntry(entry);
    EXPECT_NE(text.find("file \"" + a + "\" bytes 5 b25lDQo=\n"), std::string::npos) << text;
    EXPECT_NE(text.find("file \"" + b + "\" trash \"" + info + "\" 7\n"), std::string::npos) << text;
    EXPECT_NE(text.find("file \"" + big + "\" size 1048577\n"), std::string::npos) << text;
    auto back = ParseJournalEntry(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(FormatJournalEntry(*back), text);
    const std::vector<SDiffChange> diff = DiffOf(*back);
    ASSERT_EQ(diff.size(), 6u); // a, b, c, d, made, big
    EXPECT_EQ(DiffLine(diff[2]), "file " + c + ": 5 bytes -> absent");
    EXPECT_FALSE(diff[5].m_undoable);
    const std::vector<std::string> impossible = UndoImpossible(*back);
    ASSERT_EQ(impossible.size(), 1u);
    EXPECT_EQ(impossible[0], big + ": 1048577 bytes, too large to keep; it cannot be put back");

    // Someone changed a file since: the undo names it.
    WriteAll(a, "three\r\n");
    ASSERT_EQ(UndoDifferences(reg, *back).size(), 1u);
    WriteAll(a, "two\r\n");
    EXPECT_TRUE(UndoDifferences(reg, *back).empty());
    std::vector<std::string> failures;
    UndoChanges(reg, *back, failures);
    ASSERT_EQ(failures.size(), 1u) << failures[0]; // the large file alone
    EXPECT_EQ(ReadAll(a), "one\r\n");
    EXPECT_EQ(ReadAll(b), std::string("bin\0ary", 7));
    EXPECT_EQ(ReadAll(c), "moved");
    EXPECT_FALSE(std::filesystem::exists(d));
    EXPECT_FALSE(std::filesystem::exists(made));
    EXPECT_FALSE(std::filesystem::exists(info));
}

// An attribute change alone is taken back without touching the bytes; a file rewritten
// gets its bytes and its attributes back together.
TEST(Journal, AttributesComeBackWithTheirFiles) {
    CTempDir dir;
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
    WriteAll(a, "one");
    WriteAll(b, "two");
    ASSERT_TRUE(files::SetFileAttributes(b, files::FILE_ATTRIBUTE_READONLY));
    CRegistry reg;
    CChangeRecorder recorder;
    recorder.AttributesChanging(a);
    ASSERT_TRUE(files::SetFileAttributes(a, files::FILE_ATTRIBUTE_READONLY));
    recorder.FileChanging(b);
    ASSERT_TRUE(files::SetFileAttributes(b, 0));
    WriteAll(b, "three");
    SJournalEntry entry = recorder.Finish(reg);
    entry.m_id = "20261207-140000-002";
    const std::string text = FormatJournalEntry(entry);
    EXPECT_NE(text.find("file \"" + a + "\" attributes -\n"), std::string::npos) << text;
    EXPECT_NE(text.find("file \"" + b + "\" bytes 3 dHdv attributes R\n"), std::string::npos) << text;
    auto back = ParseJournalEntry(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(FormatJournalEntry(*back), text);
    const std::vector<SDiffChange> diff = DiffOf(*back);
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(DiffLine(diff[0]), "file " + a + ": 3 bytes -> 3 bytes (read-only)");
    EXPECT_EQ(DiffLine(diff[1]), "file " + b + ": 3 bytes (read-only) -> 5 bytes");

    std::vector<std::string> failures;
    UndoChanges(reg, *back, failures);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(files::GetFileAttributes(a) & files::FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadAll(a), "one");
    EXPECT_EQ(ReadAll(b), "two");
    EXPECT_NE(files::GetFileAttributes(b) & files::FILE_ATTRIBUTE_READONLY, 0u);
}

} // namespace
} // namespace cva::test
