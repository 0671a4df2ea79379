#pragma once

#include "platform/registry/RegTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace cva::journal {

// A registry value as it stood: absent, or its type and bytes.
struct SRegState {
    bool m_present = false;
    reg::DWORD m_type = reg::REG_NONE;
    std::vector<uint8_t> m_data;
    bool operator==(const SRegState&) const = default;
};

// An INI file's entry (the file a path on the host) as it stood: its text, or absent,
// and whether its section and its file were there at all.
struct SIniEntry {
    std::string m_file;
    std::string m_section;
    std::string m_key;
    std::optional<std::string> m_text;
    bool m_sectionExisted = true;
    bool m_fileExisted = true;
    bool operator==(const SIniEntry&) const = default;
};

// A file or folder (the path a host path) as it stood. A small file's bytes are kept
// so it can be put back; a larger one only its size, and then it cannot be.
struct SFileState {
    enum class EKind {
        Absent,
        File,   // m_bytes hold it
        Large,  // too large to keep: m_size only
        Folder,
        Trash,  // sent to the Trash: m_where is its ".trashinfo" file
        Moved,  // moved or renamed to m_where
        Attributes, // only its attributes changed: m_attributes
    };
    EKind m_kind = EKind::Absent;
    uint64_t m_size = 0;
    std::string m_bytes;
    std::string m_where;
    // What of its Windows attributes an undo puts back (FILE_ATTRIBUTE_READONLY, _HIDDEN,
    // _SYSTEM) of a File, Large or Folder.
    uint32_t m_attributes = 0;
    bool operator==(const SFileState&) const = default;
};

// Files up to this size are kept whole in an entry.
constexpr uint64_t kKeptFileBytes = 1024 * 1024;

// One change, with the state before it. Keys are paths below \Registry
// ("Machine\Software\X", "User\S-1-5-...\X").
struct SJournalChange {
    enum class EKind { Value, KeyCreated, KeyDeleted, KeyRenamed, IniEntry, File };
    EKind m_kind = EKind::Value;
    std::u16string m_key;
    std::u16string m_name;   // the value's name, or the new name of a renamed key
    SRegState m_before;      // Value only
    std::optional<std::u16string> m_class; // KeyDeleted: the key's class
    SIniEntry m_ini;                       // IniEntry
    std::string m_path;                    // File
    SFileState m_file;                     // File
};

// What the changes left: a value's state, or whether a key is there.
struct SJournalAfter {
    bool m_isValue = true;
    std::u16string m_key;
    std::u16string m_name;
    SRegState m_state; // a key: m_present only
    std::optional<SIniEntry> m_ini; // an INI entry instead of a key or value
    std::optional<std::string> m_path; // a file instead (m_file its state)
    SFileState m_file;
};

// One apply (or one undo) and the changes it made, in order.
struct SJournalEntry {
    std::string m_id;
    std::string m_time; // UTC, 2026-12-07T14:03:12Z
    std::string m_kind = "apply"; // "apply" or "undo"
    std::string m_plugin;
    std::string m_routine;
    std::string m_target;
    std::string m_profile;
    std::string m_undoes; // the id an undo took back
    // What the page's Apply was given, one preset action each ("check 0 1").
    std::vector<std::string> m_actions;
    std::vector<SJournalChange> m_changes;
    std::vector<SJournalAfter> m_after;
};

class CFileOverlay;

// The INI entry as the file holds it now (seen through a preview's overlay when given).
SIniEntry ReadIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const CFileOverlay* overlay = nullptr);
// The file or folder as it is now: absent, a folder, or a file kept whole when small.
SFileState ReadFileState(const std::string& path, const CFileOverlay* overlay = nullptr);
// The attributes of a file or folder that SFileState keeps, as the disk has them (seen
// through a preview's overlay when given); KeptAttributeBits: which ones those are.
uint32_t KeptAttributes(const std::string& path, const CFileOverlay* overlay = nullptr);
uint32_t KeptAttributeBits(bool folder);
// The attributes as the attrib command shows them ("RHS"), "-" for none.
std::string AttributeLetters(uint32_t attributes);
// The attribute an upper-case letter of those stands for, 0 for any other character.
uint32_t AttributeOfLetter(char letter);
// "absent", "folder", "12 bytes (hidden)", "trash", "moved to PATH", for people.
std::string DescribeFileState(const SFileState& state);

// The entry as text (see docs/journal.md) and back; nullopt for a text that is no entry.
std::string FormatJournalEntry(const SJournalEntry& entry);
std::optional<SJournalEntry> ParseJournalEntry(const std::string& text);

// The entry's "action" lines, and one line read back into it (false: no action line).
std::string FormatActionLines(const SJournalEntry& entry);
bool ParseActionLine(const std::string& line, SJournalEntry& entry);

// "HKEY_LOCAL_MACHINE\..." / "HKEY_USERS\..." for a path below \Registry, and back.
std::string DisplayKeyPath(const std::u16string& key);
std::u16string KeyPathFromDisplay(const std::string& text);
// "absent", "REG_SZ \"text\"", "REG_DWORD 0x00000001" or "hex(N):..".
std::string DescribeState(const SRegState& state);

} // namespace cva::journal
