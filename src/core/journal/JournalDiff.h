#pragma once

#include "core/journal/JournalEntry.h"

#include <optional>
#include <string>
#include <vector>

namespace cva::journal {

// What one value, key, INI entry or file went from and to over a whole entry: its state
// before the first change and after the last. Whatever ended as it began is left out.
struct SDiffChange {
    enum class EKind { Value, KeyCreated, KeyDeleted, Ini, File };
    EKind m_kind = EKind::Value;
    std::u16string m_key;  // Value, keys
    std::u16string m_name; // Value
    SRegState m_old, m_new;
    SIniEntry m_iniOld, m_iniNew; // Ini
    std::string m_path;           // File
    SFileState m_fileOld, m_fileNew;
    bool m_undoable = true; // File: false when the before-state cannot be kept
};

std::vector<SDiffChange> DiffOf(const SJournalEntry& entry);

// One line a change ("value HKEY_...\Key \"Name\": REG_DWORD 0x00000001 -> absent"), or
// "No changes" for none; and the JSON array of docs/preview.md.
std::string DiffToText(const std::vector<SDiffChange>& changes);
std::string DiffLine(const SDiffChange& change);
std::string DiffToJson(const std::vector<SDiffChange>& changes);

} // namespace cva::journal
