#include "core/journal/JournalDiff.h"

#include "core/pages/PageSnapshot.h"
#include "platform/text/Unicode.h"

#include <cstdio>

namespace cva::journal {

using pages::JsonString;
using Kind = SJournalChange::EKind;

namespace {

bool SameIniEntry(const SIniEntry& a, const SIniEntry& b) {
    return a.m_file == b.m_file && text::EqualsNoCaseUtf8(a.m_section, b.m_section) &&
           text::EqualsNoCaseUtf8(a.m_key, b.m_key);
}

bool SameKey(const std::u16string& a, const std::u16string& b) { return text::EqualsNoCase(a, b); }

std::u16string RenamedPath(const SJournalChange& change) {
    const size_t slash = change.m_key.rfind(u'\\');
    return change.m_key.substr(0, slash == std::u16string::npos ? 0 : slash + 1) + change.m_name;
}

SFileState AfterOf(const SJournalEntry& entry, const std::string& path) {
    for (const SJournalAfter& after : entry.m_after)
        if (after.m_path && *after.m_path == path) return after.m_file;
    return {};
}

// A state as the diff shows it: a file's size stands, how it was kept does not.
SFileState Shown(const SFileState& state) {
    SFileState shown;
    shown.m_kind = state.m_kind;
    shown.m_size = state.m_size;
    if (state.m_kind == SFileState::EKind::Large || state.m_kind == SFileState::EKind::Trash)
        shown.m_kind = SFileState::EKind::File;
    if (state.m_kind == SFileState::EKind::Folder || state.m_kind == SFileState::EKind::Absent) shown.m_size = 0;
    shown.m_bytes = state.m_bytes;
    if (state.m_kind != SFileState::EKind::Absent) shown.m_attributes = state.m_attributes;
    return shown;
}

bool SameFile(const SFileState& a, const SFileState& b) {
    if (a.m_kind != b.m_kind || a.m_size != b.m_size || a.m_attributes != b.m_attributes) return false;
    // A large file's bytes are not kept: its size is all there is to compare.
    return a.m_bytes == b.m_bytes || a.m_bytes.empty() || b.m_bytes.empty();
}

std::string TypeName(reg::DWORD type) {
    static const char* const kNames[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY",
                                         "REG_DWORD", "REG_DWORD_BIG_ENDIAN", "REG_LINK", "REG_MULTI_SZ",
                                         "REG_RESOURCE_LIST", "REG_FULL_RESOURCE_DESCRIPTOR",
                                         "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD"};
    if (type < std::size(kNames)) return kNames[type];
    return "hex(" + std::to_string(type) + ")";
}

std::u16string Utf16Data(const std::vector<uint8_t>& data) {
    std::u16string out;
    for (size_t i = 0; i + 1 < data.size(); i += 2) out += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    return out;
}

std::string RegJson(const SRegState& state) {
    if (!state.m_present) return "null";
    const std::vector<uint8_t>& d = state.m_data;
    std::string data;
    if ((state.m_type == reg::REG_SZ || state.m_type == reg::REG_EXPAND_SZ) && d.size() % 2 == 0) {
        std::u16string value = Utf16Data(d);
        while (!value.empty() && value.back() == 0) value.pop_back();
        data = JsonString(text::Utf16ToUtf8(value));
    } else if (state.m_type == reg::REG_MULTI_SZ && d.size() % 2 == 0) {
        std::u16string value = Utf16Data(d);
        data = "[";
        size_t start = 0, count = 0;
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] != 0) continue;
            if (i == start) break; // the list's closing terminator
            data += (count++ ? "," : "") + JsonString(text::Utf16ToUtf8(value.substr(start, i - start)));
            start = i + 1;
        }
        data += "]";
    } else if ((state.m_type == reg::REG_DWORD && d.size() == 4) || (state.m_type == reg::REG_QWORD && d.size() == 8)) {
        uint64_t n = 0;
        for (size_t i = d.size(); i-- > 0;) n = n << 8 | d[i];
        data = std::to_string(n);
    } else {
        char byte[4];
        data = "\"";
        for (size_t i = 0; i < d.size(); ++i) {
            std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", d[i]);
            data += byte;
        }
        data += "\"";
    }
    return "{\"type\":" + JsonString(TypeName(state.m_type)) + ",\"data\":" + data + "}";
}

std::string IniJson(const SIniEntry& ini) {
    return ini.m_text ? "{\"type\":\"text\",\"data\":" + JsonString(*ini.m_text) + "}" : std::string("null");
}

std::string FileJson(const SFileState& state) {
    if (state.m_kind == SFileState::EKind::Absent || state.m_kind == SFileState::EKind::Moved) return "null";
    const std::string attributes =
        state.m_attributes ? ",\"attributes\":\"" + AttributeLetters(state.m_attributes) + "\"" : std::string();
    if (state.m_kind == SFileState::EKind::Folder) return "{\"type\":\"folder\"" + attributes + "}";
    return "{\"type\":\"file\",\"size\":" + std::to_string(state.m_size) + attributes + "}";
}

std::string IniShown(const SIniEntry& ini) { return ini.m_text ? "\"" + *ini.m_text + "\"" : "absent"; }

} // namespace

std::vector<SDiffChange> DiffOf(const SJournalEntry& entry) {
    std::vector<SDiffChange> out;
    for (const SJournalAfter& after : entry.m_after) {
        SDiffChange diff;
        if (after.m_path) {
            const std::string& path = *after.m_path;
            diff.m_kind = SDiffChange::EKind::File;
            diff.m_path = path;
            // An attribute change first: the bytes come from a later change, or were
            // what they are now.
            const SFileState* attributesFirst = nullptr;
            bool found = false;
            for (const SJournalChange& change : entry.m_changes) {
                if (change.m_kind != Kind::File) continue;
                const bool moved = change.m_file.m_kind == SFileState::EKind::Moved;
                if (change.m_path == path && change.m_file.m_kind == SFileState::EKind::Attributes) {
                    if (!attributesFirst) attributesFirst = &change.m_file;
                    continue;
                }
                if (change.m_path == path) {
                    // What went away from here is what arrived where it went.
                    diff.m_fileOld = moved ? AfterOf(entry, change.m_file.m_where) : change.m_file;
                    diff.m_undoable = change.m_file.m_kind != SFileState::EKind::Large;
                    found = true;
                    break;
                }
                if (moved && change.m_file.m_where == path) break; // it was not there
            }
            if (attributesFirst) {
                if (!found) diff.m_fileOld = after.m_file;
                diff.m_fileOld.m_attributes = attributesFirst->m_attributes;
            }
            diff.m_fileOld = Shown(diff.m_fileOld);
            diff.m_fileNew = Shown(after.m_file);
            if (SameFile(diff.m_fileOld, diff.m_fileNew)) continue;
        } else if (after.m_ini) {
            diff.m_kind = SDiffChange::EKind::Ini;
            diff.m_iniNew = *after.m_ini;
            diff.m_iniOld = *after.m_ini;
            for (const SJournalChange& change : entry.m_changes) {
                if (change.m_kind == Kind::IniEntry && SameIniEntry(change.m_ini, *after.m_ini)) {
                    diff.m_iniOld = change.m_ini;
                    break;
                }
            }
            if (diff.m_iniOld.m_text == diff.m_iniNew.m_text) continue;
        } else if (after.m_isValue) {
            diff.m_key = after.m_key;
            diff.m_name = after.m_name;
            diff.m_new = after.m_state;
            diff.m_old = after.m_state;
            for (const SJournalChange& change : entry.m_changes) {
                if (change.m_kind == Kind::Value && SameKey(change.m_key, after.m_key) &&
                    text::EqualsNoCase(change.m_name, after.m_name)) {
                    diff.m_old = change.m_before;
                    break;
                }
            }
            if (diff.m_old == diff.m_new) continue;
        } else {
            diff.m_key = after.m_key;
            bool before = after.m_state.m_present;
            for (const SJournalChange& change : entry.m_changes) {
                if (change.m_kind == Kind::Value || change.m_kind == Kind::IniEntry || change.m_kind == Kind::File)
                    continue;
                if (SameKey(change.m_key, after.m_key)) {
                    before = change.m_kind != Kind::KeyCreated;
                    break;
                }
                if (change.m_kind == Kind::KeyRenamed && SameKey(RenamedPath(change), after.m_key)) {
                    before = false;
                    break;
                }
            }
            if (before == after.m_state.m_present) continue;
            diff.m_kind = before ? SDiffChange::EKind::KeyDeleted : SDiffChange::EKind::KeyCreated;
        }
        out.push_back(std::move(diff));
    }
    return out;
}

std::string DiffLine(const SDiffChange& c) {
    switch (c.m_kind) {
    case SDiffChange::EKind::Value:
        return "value " + DisplayKeyPath(c.m_key) + " \"" + text::Utf16ToUtf8(c.m_name) + "\": " +
               DescribeState(c.m_old) + " -> " + DescribeState(c.m_new);
    case SDiffChange::EKind::KeyCreated: return "key-created " + DisplayKeyPath(c.m_key);
    case SDiffChange::EKind::KeyDeleted: return "key-deleted " + DisplayKeyPath(c.m_key);
    case SDiffChange::EKind::Ini:
        return "ini " + c.m_iniNew.m_file + " [" + c.m_iniNew.m_section + "] " + c.m_iniNew.m_key + ": " +
               IniShown(c.m_iniOld) + " -> " + IniShown(c.m_iniNew);
    case SDiffChange::EKind::File:
        return "file " + c.m_path + ": " + DescribeFileState(c.m_fileOld) + " -> " + DescribeFileState(c.m_fileNew) +
               (c.m_undoable ? "" : " (too large to keep: cannot be undone)");
    }
    return {};
}

std::string DiffToText(const std::vector<SDiffChange>& changes) {
    if (changes.empty()) return "No changes\n";
    std::string out;
    for (const SDiffChange& change : changes) out += DiffLine(change) + "\n";
    return out;
}

std::string DiffToJson(const std::vector<SDiffChange>& changes) {
    std::string out = "[";
    for (size_t i = 0; i < changes.size(); ++i) {
        const SDiffChange& c = changes[i];
        out += i ? "," : "";
        switch (c.m_kind) {
        case SDiffChange::EKind::Value:
        case SDiffChange::EKind::KeyCreated:
        case SDiffChange::EKind::KeyDeleted: {
            const bool value = c.m_kind == SDiffChange::EKind::Value;
            const char* kind = value ? "value" : c.m_kind == SDiffChange::EKind::KeyCreated ? "key-created" : "key-deleted";
            out += std::string("{\"kind\":\"") + kind + "\",\"key\":" + JsonString(DisplayKeyPath(c.m_key)) +
                   ",\"value\":" + (value ? JsonString(text::Utf16ToUtf8(c.m_name)) : std::string("null")) +
                   ",\"old\":" + (value ? RegJson(c.m_old) : "null") + ",\"new\":" + (value ? RegJson(c.m_new) : "null") +
                   "}";
            break;
        }
        case SDiffChange::EKind::Ini:
            out += "{\"kind\":\"ini\",\"file\":" + JsonString(c.m_iniNew.m_file) + ",\"section\":" +
                   JsonString(c.m_iniNew.m_section) + ",\"key\":" + JsonString(c.m_iniNew.m_key) +
                   ",\"value\":null,\"old\":" + IniJson(c.m_iniOld) + ",\"new\":" + IniJson(c.m_iniNew) + "}";
            break;
        case SDiffChange::EKind::File:
            out += "{\"kind\":\"file\",\"path\":" + JsonString(c.m_path) + ",\"key\":null,\"value\":null,\"old\":" +
                   FileJson(c.m_fileOld) + ",\"new\":" + FileJson(c.m_fileNew) +
                   ",\"undoable\":" + (c.m_undoable ? "true" : "false") + "}";
            break;
        }
    }
    return out + "]";
}

} // namespace cva::journal
