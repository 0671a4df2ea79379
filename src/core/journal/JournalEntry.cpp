#include "core/journal/JournalEntry.h"

#include "core/journal/QuotedWords.h"

#include "core/journal/FileOverlay.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FileAttributes.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include <cstdio>
#include <cstring>
#include <sstream>
#include <sys/stat.h>

namespace cva::journal {

namespace {

constexpr const char* kMagic = "corvanta-journal 1";

struct SRoot {
    const char* m_top;
    const char* m_display;
};
constexpr SRoot kRoots[] = {{"Machine", "HKEY_LOCAL_MACHINE"}, {"User", "HKEY_USERS"}};

std::string Hex(const std::vector<uint8_t>& data) {
    std::string out;
    char byte[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", data[i]);
        out += byte;
    }
    return out;
}

std::string StateText(const SRegState& state) {
    if (!state.m_present) return "absent";
    return "hex(" + std::to_string(state.m_type) + "):" + Hex(state.m_data);
}

std::optional<SRegState> ParseState(const std::string& text) {
    SRegState state;
    if (text == "absent") return state;
    unsigned type = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "hex(%u):%n", &type, &used) != 1 || used == 0) return std::nullopt;
    state.m_present = true;
    state.m_type = type;
    for (size_t i = static_cast<size_t>(used); i < text.size();) {
        if (i + 2 > text.size()) return std::nullopt;
        state.m_data.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
        i += 2;
        if (i < text.size() && text[i++] != ',') return std::nullopt;
    }
    return state;
}

std::string IniText(const SIniEntry& ini) {
    std::string out = QuoteWord(ini.m_file) + " " + QuoteWord(ini.m_section) + " " + QuoteWord(ini.m_key);
    out += ini.m_text ? " text " + QuoteWord(*ini.m_text) : std::string(" absent");
    if (!ini.m_sectionExisted) out += " no-section";
    if (!ini.m_fileExisted) out += " no-file";
    return out;
}

std::optional<SIniEntry> ParseIni(const std::vector<std::string>& t) {
    if (t.size() < 5) return std::nullopt;
    SIniEntry ini{t[1], t[2], t[3], std::nullopt, true, true};
    size_t next = 5;
    if (t[4] == "text") {
        if (t.size() < 6) return std::nullopt;
        ini.m_text = t[5];
        next = 6;
    } else if (t[4] != "absent") {
        return std::nullopt;
    }
    for (; next < t.size(); ++next) {
        if (t[next] == "no-section") ini.m_sectionExisted = false;
        else if (t[next] == "no-file") ini.m_fileExisted = false;
        else return std::nullopt;
    }
    return ini;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 2]);
        out += kBase64[n >> 18 & 63];
        out += kBase64[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

std::optional<std::string> FromBase64(const std::string& text) {
    std::string out;
    uint32_t n = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        const char* at = std::strchr(kBase64, c);
        if (!at || c == '\0') return std::nullopt;
        n = n << 6 | static_cast<uint32_t>(at - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(n >> bits & 0xFF);
        }
    }
    return out;
}

// The kept attributes: their letters as the attrib command shows them, and their names.
constexpr struct {
    char letter;
    uint32_t bit;
    const char* name;
} kAttributeLetters[] = {{'R', files::FILE_ATTRIBUTE_READONLY, "read-only"},
                         {'H', files::FILE_ATTRIBUTE_HIDDEN, "hidden"},
                         {'S', files::FILE_ATTRIBUTE_SYSTEM, "system"}};

std::optional<uint32_t> ParseAttributeLetters(const std::string& letters) {
    if (letters == "-") return 0;
    uint32_t attributes = 0;
    for (char c : letters) {
        const uint32_t bit = AttributeOfLetter(c);
        if (!bit) return std::nullopt;
        attributes |= bit;
    }
    return letters.empty() ? std::nullopt : std::optional<uint32_t>(attributes);
}

// absent | folder | bytes SIZE BASE64 | size SIZE | trash "INFO" SIZE | moved "PATH" |
// attributes RHS, the folder and file kinds followed by "attributes RHS" where there are
// any.
std::string FileText(const SFileState& state) {
    const std::string attributes =
        state.m_attributes ? " attributes " + AttributeLetters(state.m_attributes) : std::string();
    switch (state.m_kind) {
    case SFileState::EKind::Absent: return "absent";
    case SFileState::EKind::Folder: return "folder" + attributes;
    case SFileState::EKind::File:
        return "bytes " + std::to_string(state.m_size) + " " + Base64(state.m_bytes) + attributes;
    case SFileState::EKind::Large: return "size " + std::to_string(state.m_size) + attributes;
    case SFileState::EKind::Trash: return "trash " + QuoteWord(state.m_where) + " " + std::to_string(state.m_size);
    case SFileState::EKind::Moved: return "moved " + QuoteWord(state.m_where);
    case SFileState::EKind::Attributes: return "attributes " + AttributeLetters(state.m_attributes);
    }
    return "absent";
}

std::optional<uint64_t> ParseSize(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoull(text);
}

// The state from t[2] on.
std::optional<SFileState> ParseFile(std::vector<std::string> t) {
    if (t.size() < 3) return std::nullopt;
    SFileState state;
    const std::optional<uint32_t> attributes =
        t.size() >= 4 && t[t.size() - 2] == "attributes" ? ParseAttributeLetters(t.back()) : std::nullopt;
    if (attributes && t.size() == 4) {
        state.m_kind = SFileState::EKind::Attributes;
        state.m_attributes = *attributes;
        return state;
    }
    if (attributes) {
        if (*attributes == 0 || t[2] == "absent" || t[2] == "trash" || t[2] == "moved") return std::nullopt;
        state.m_attributes = *attributes;
        t.resize(t.size() - 2);
    }
    const std::string& word = t[2];
    if (word == "absent" || word == "folder") {
        if (t.size() != 3) return std::nullopt;
        if (word == "folder") state.m_kind = SFileState::EKind::Folder;
        return state;
    }
    if (word == "moved" && t.size() == 4) {
        state.m_kind = SFileState::EKind::Moved;
        state.m_where = t[3];
        return state;
    }
    const size_t sizeAt = word == "trash" ? 4 : 3;
    const size_t count = word == "size" ? 4 : 5;
    if (t.size() != count || sizeAt >= t.size()) return std::nullopt;
    auto size = ParseSize(t[sizeAt]);
    if (!size) return std::nullopt;
    state.m_size = *size;
    if (word == "size") {
        state.m_kind = SFileState::EKind::Large;
    } else if (word == "trash") {
        state.m_kind = SFileState::EKind::Trash;
        state.m_where = t[3];
    } else if (word == "bytes") {
        auto bytes = FromBase64(t[4]);
        if (!bytes || bytes->size() != *size) return std::nullopt;
        state.m_kind = SFileState::EKind::File;
        state.m_bytes = std::move(*bytes);
    } else {
        return std::nullopt;
    }
    return state;
}

} // namespace

uint32_t AttributeOfLetter(char letter) {
    for (const auto& a : kAttributeLetters)
        if (letter == a.letter) return a.bit;
    return 0;
}

std::string AttributeLetters(uint32_t attributes) {
    std::string letters;
    for (const auto& a : kAttributeLetters)
        if (attributes & a.bit) letters += a.letter;
    return letters.empty() ? "-" : letters;
}

uint32_t KeptAttributeBits(bool folder) {
    // A folder's read-only mark is no Windows attribute (see SetFileAttributes).
    return (folder ? 0 : files::FILE_ATTRIBUTE_READONLY) | files::FILE_ATTRIBUTE_HIDDEN | files::FILE_ATTRIBUTE_SYSTEM;
}

uint32_t KeptAttributes(const std::string& path, const CFileOverlay* overlay) {
    if (overlay)
        if (std::optional<uint32_t> given = overlay->Attributes(path)) return *given;
    const uint32_t attributes = files::GetFileAttributes(path);
    if (attributes == files::INVALID_FILE_ATTRIBUTES) return 0;
    return attributes & KeptAttributeBits(attributes & files::FILE_ATTRIBUTE_DIRECTORY);
}

SFileState ReadFileState(const std::string& path, const CFileOverlay* overlay) {
    SFileState state;
    if (const CFileOverlay::SEntry* entry = overlay ? overlay->Find(path) : nullptr) {
        if (!entry->m_exists) return state;
        state.m_kind = entry->m_folder ? SFileState::EKind::Folder : SFileState::EKind::File;
        state.m_size = entry->m_bytes.size();
        state.m_bytes = entry->m_bytes;
        state.m_attributes = KeptAttributes(path, overlay);
    } else {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return state;
        state.m_attributes = KeptAttributes(path, overlay);
        if (S_ISDIR(st.st_mode)) {
            state.m_kind = SFileState::EKind::Folder;
            return state;
        }
        state.m_size = static_cast<uint64_t>(st.st_size);
        state.m_kind = SFileState::EKind::Large;
        if (state.m_size > kKeptFileBytes) return state;
        std::optional<std::string> bytes = files::ReadWholeFile(path);
        if (!bytes) return state;
        state.m_kind = SFileState::EKind::File;
        state.m_bytes = std::move(*bytes);
        state.m_size = state.m_bytes.size();
    }
    if (state.m_kind == SFileState::EKind::File && state.m_size > kKeptFileBytes) {
        state.m_kind = SFileState::EKind::Large;
        state.m_bytes.clear();
    }
    return state;
}

std::string DescribeFileState(const SFileState& state) {
    std::string attributes;
    for (const auto& a : kAttributeLetters)
        if (state.m_attributes & a.bit) attributes += (attributes.empty() ? " (" : ", ") + std::string(a.name);
    if (!attributes.empty()) attributes += ")";
    switch (state.m_kind) {
    case SFileState::EKind::Absent: return "absent";
    case SFileState::EKind::Folder: return "folder" + attributes;
    case SFileState::EKind::File:
    case SFileState::EKind::Large: return std::to_string(state.m_size) + " bytes" + attributes;
    case SFileState::EKind::Trash: return std::to_string(state.m_size) + " bytes (now in the Trash)";
    case SFileState::EKind::Moved: return "moved to " + state.m_where;
    case SFileState::EKind::Attributes:
        return attributes.empty() ? "no attributes" : "attributes" + attributes;
    }
    return "absent";
}

SIniEntry ReadIniEntry(const std::string& file, const std::string& section, const std::string& key,
                       const CFileOverlay* overlay) {
    SIniEntry ini{file, section, key, std::nullopt, false, false};
    std::optional<ini::CIniFile> loaded;
    if (overlay && overlay->Find(file)) {
        if (std::optional<std::string> bytes = overlay->ReadFile(file)) loaded = ini::CIniFile::FromText(*bytes);
    } else {
        loaded = ini::CIniFile::Load(file);
    }
    if (!loaded) return ini;
    ini.m_fileExisted = true;
    ini.m_sectionExisted = loaded->HasSection(section);
    ini.m_text = loaded->GetValue(section, key);
    return ini;
}

std::string DisplayKeyPath(const std::u16string& key) {
    std::string path = text::Utf16ToUtf8(key);
    for (const SRoot& root : kRoots) {
        const std::string top = root.m_top;
        if (path.size() >= top.size() && text::EqualsNoCaseUtf8(path.substr(0, top.size()), top) &&
            (path.size() == top.size() || path[top.size()] == '\\'))
            return root.m_display + path.substr(top.size());
    }
    return path;
}

std::u16string KeyPathFromDisplay(const std::string& text) {
    for (const SRoot& root : kRoots) {
        const std::string display = root.m_display;
        if (text.size() >= display.size() &&
            text::EqualsNoCaseUtf8(text.substr(0, display.size()), display) &&
            (text.size() == display.size() || text[display.size()] == '\\'))
            return text::Utf8ToUtf16(root.m_top + text.substr(display.size()));
    }
    return text::Utf8ToUtf16(text);
}

std::string DescribeState(const SRegState& state) {
    if (!state.m_present) return "absent";
    if (reg::IsStringType(state.m_type) && state.m_type != reg::REG_MULTI_SZ &&
        state.m_data.size() % 2 == 0) {
        std::u16string text;
        for (size_t i = 0; i + 1 < state.m_data.size(); i += 2)
            text += static_cast<char16_t>(state.m_data[i] | state.m_data[i + 1] << 8);
        while (!text.empty() && text.back() == 0) text.pop_back();
        return std::string(state.m_type == reg::REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ") +
               QuoteWord(text::Utf16ToUtf8(text));
    }
    if (state.m_type == reg::REG_DWORD && state.m_data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%08x",
                      state.m_data[0] | state.m_data[1] << 8 | state.m_data[2] << 16 |
                          static_cast<unsigned>(state.m_data[3]) << 24);
        return std::string("REG_DWORD ") + number;
    }
    return StateText(state);
}

std::string FormatActionLines(const SJournalEntry& entry) {
    std::string out;
    for (const std::string& action : entry.m_actions) out += "action " + action + "\n";
    return out;
}

bool ParseActionLine(const std::string& line, SJournalEntry& entry) {
    constexpr std::string_view kWord = "action ";
    if (line.compare(0, kWord.size(), kWord) != 0) return false;
    entry.m_actions.push_back(line.substr(kWord.size()));
    return true;
}

std::string FormatJournalEntry(const SJournalEntry& entry) {
    std::string out = std::string(kMagic) + "\n";
    out += "id " + entry.m_id + "\n";
    out += "time " + entry.m_time + "\n";
    out += "kind " + entry.m_kind + "\n";
    out += "plugin " + QuoteWord(entry.m_plugin) + "\n";
    out += "routine " + QuoteWord(entry.m_routine) + "\n";
    out += "target " + QuoteWord(entry.m_target) + "\n";
    out += "profile " + QuoteWord(entry.m_profile) + "\n";
    if (!entry.m_undoes.empty()) out += "undoes " + entry.m_undoes + "\n";
    out += FormatActionLines(entry);
    for (const SJournalChange& change : entry.m_changes) {
        const std::string key = QuoteWord(DisplayKeyPath(change.m_key));
        switch (change.m_kind) {
        case SJournalChange::EKind::Value:
            out += "value " + key + " " + QuoteWord(text::Utf16ToUtf8(change.m_name)) + " " +
                   StateText(change.m_before) + "\n";
            break;
        case SJournalChange::EKind::KeyCreated: out += "key-created " + key + "\n"; break;
        case SJournalChange::EKind::KeyDeleted:
            out += "key-deleted " + key;
            if (change.m_class) out += " class " + QuoteWord(text::Utf16ToUtf8(*change.m_class));
            out += "\n";
            break;
        case SJournalChange::EKind::KeyRenamed:
            out += "key-renamed " + key + " " + QuoteWord(text::Utf16ToUtf8(change.m_name)) + "\n";
            break;
        case SJournalChange::EKind::IniEntry: out += "ini " + IniText(change.m_ini) + "\n"; break;
        case SJournalChange::EKind::File: out += "file " + QuoteWord(change.m_path) + " " + FileText(change.m_file) + "\n"; break;
        }
    }
    for (const SJournalAfter& after : entry.m_after) {
        const std::string key = QuoteWord(DisplayKeyPath(after.m_key));
        if (after.m_ini)
            out += "after-ini " + IniText(*after.m_ini) + "\n";
        else if (after.m_path)
            out += "after-file " + QuoteWord(*after.m_path) + " " + FileText(after.m_file) + "\n";
        else if (after.m_isValue)
            out += "after-value " + key + " " + QuoteWord(text::Utf16ToUtf8(after.m_name)) + " " +
                   StateText(after.m_state) + "\n";
        else
            out += "after-key " + key + (after.m_state.m_present ? " present\n" : " absent\n");
    }
    return out;
}

std::optional<SJournalEntry> ParseJournalEntry(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) return std::nullopt;
    SJournalEntry entry;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || ParseActionLine(line, entry)) continue;
        auto tokens = SplitWords(line);
        if (!tokens) return std::nullopt;
        // A field with nothing after its word is empty.
        if (tokens->size() < 2) tokens->resize(2);
        const std::vector<std::string>& t = *tokens;
        const std::string& word = t[0];
        if (word == "id") entry.m_id = t[1];
        else if (word == "time") entry.m_time = t[1];
        else if (word == "kind") entry.m_kind = t[1];
        else if (word == "plugin") entry.m_plugin = t[1];
        else if (word == "routine") entry.m_routine = t[1];
        else if (word == "target") entry.m_target = t[1];
        else if (word == "profile") entry.m_profile = t[1];
        else if (word == "undoes") entry.m_undoes = t[1];
        else if (word == "value" || word == "after-value") {
            if (t.size() != 4) return std::nullopt;
            auto state = ParseState(t[3]);
            if (!state) return std::nullopt;
            if (word == "value") {
                entry.m_changes.push_back({SJournalChange::EKind::Value, KeyPathFromDisplay(t[1]),
                                           text::Utf8ToUtf16(t[2]), *state, std::nullopt, {}, {}, {}});
            } else {
                entry.m_after.push_back({true, KeyPathFromDisplay(t[1]), text::Utf8ToUtf16(t[2]), *state,
                                         std::nullopt, std::nullopt, {}});
            }
        } else if (word == "key-created" || word == "key-deleted" || word == "key-renamed") {
            SJournalChange change;
            change.m_key = KeyPathFromDisplay(t[1]);
            if (word == "key-created") {
                change.m_kind = SJournalChange::EKind::KeyCreated;
            } else if (word == "key-deleted") {
                change.m_kind = SJournalChange::EKind::KeyDeleted;
                if (t.size() == 4 && t[2] == "class") change.m_class = text::Utf8ToUtf16(t[3]);
            } else {
                if (t.size() != 3) return std::nullopt;
                change.m_kind = SJournalChange::EKind::KeyRenamed;
                change.m_name = text::Utf8ToUtf16(t[2]);
            }
            entry.m_changes.push_back(std::move(change));
        } else if (word == "ini" || word == "after-ini") {
            auto ini = ParseIni(t);
            if (!ini) return std::nullopt;
            if (word == "ini") {
                SJournalChange change;
                change.m_kind = SJournalChange::EKind::IniEntry;
                change.m_ini = std::move(*ini);
                entry.m_changes.push_back(std::move(change));
            } else {
                SJournalAfter after;
                after.m_isValue = false;
                after.m_ini = std::move(*ini);
                entry.m_after.push_back(std::move(after));
            }
        } else if (word == "file" || word == "after-file") {
            auto state = ParseFile(t);
            if (!state) return std::nullopt;
            if (word == "file") {
                SJournalChange change;
                change.m_kind = SJournalChange::EKind::File;
                change.m_path = t[1];
                change.m_file = std::move(*state);
                entry.m_changes.push_back(std::move(change));
            } else {
                SJournalAfter after;
                after.m_isValue = false;
                after.m_path = t[1];
                after.m_file = std::move(*state);
                entry.m_after.push_back(std::move(after));
            }
        } else if (word == "after-key") {
            if (t.size() != 3) return std::nullopt;
            SJournalAfter after;
            after.m_isValue = false;
            after.m_key = KeyPathFromDisplay(t[1]);
            after.m_state.m_present = t[2] == "present";
            entry.m_after.push_back(std::move(after));
        } else {
            // A change this version cannot take back: the entry is not offered.
            return std::nullopt;
        }
    }
    if (entry.m_id.empty()) return std::nullopt;
    return entry;
}

} // namespace cva::journal
