#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::ini {

// One INI file held as its lines, read with the rules of Windows' profile functions:
// section and key names compare without regard to case, the first section of a name
// and the first key of a name in it win, white space around names and values is
// dropped, and one pair of matching quotes around a value is removed. Edits touch only
// the lines they concern, so saving keeps every other line byte for byte.
class CIniFile {
public:
    CIniFile() = default;

    // Missing or unreadable file: std::nullopt (callers then answer with defaults).
    static std::optional<CIniFile> Load(const std::string& path);
    static CIniFile FromText(std::string_view bytes);

    // The value as Windows returns it (trimmed, unquoted); std::nullopt when the
    // section or key is missing.
    std::optional<std::string> GetValue(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // Leading decimal digits with an optional sign; an empty value gives the default.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool HasSection(std::string_view section) const;
    // Names in file order, each once (first spelling).
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // The Win32 "A" contract over this file: a null section lists section names, a null
    // key lists the section's keys (both as double-NUL-terminated lists); a null default
    // reads as "". Returns the number of bytes copied without the terminating NUL.
    uint32_t GetProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, uint32_t size) const;

    // Creates section and key as needed. Names and values holding line breaks or NUL are
    // refused, because written out they would forge other keys or sections.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key from the section that lookups see; false when it was not there.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with its lines; false when there was none.
    bool DeleteSection(std::string_view section);

    // The file's bytes as they would be saved (in the file's own encoding).
    std::string Text() const;
    // Replaces the file atomically (temporary file beside it, flushed, renamed), keeping
    // the permissions of the file it replaces.
    bool Save(const std::string& path) const;

private:
    enum class ELineKind { Other, Section, Key };
    struct SLine {
        std::string text; // without its line end
        std::string eol;  // "\r\n", "\n" or "" for a last line without one
        ELineKind kind = ELineKind::Other;
        std::string name;  // section or key name, trimmed
        std::string folded; // name upper-cased once, so lookups compare plain bytes
        std::string value; // key value as read: trimmed and unquoted
    };
    struct SSectionRange {
        size_t header; // index of the header line, or npos for lines before any header
        size_t end;    // one past the last line of the section
    };

    static void ClassifyLine(SLine& line);
    std::optional<SSectionRange> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(const SSectionRange& range, std::string_view key) const;
    std::string NewLineEnd() const;

    // Windows programs also write INI files in UTF-16 with a byte-order mark; such a file
    // is read as UTF-8 and written back in UTF-16, never with mixed encodings.
    enum class EEncoding { Bytes, Utf8Bom, Utf16Le, Utf16Be };

    std::vector<SLine> m_lines;
    EEncoding m_encoding = EEncoding::Bytes;
};

// Win32-shaped free functions over a file path (UTF-8). Each call parses the file once.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* path);
// The Win32 result is a UINT; negative values come back as their two's complement.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path);
// A null value deletes the key, a null key deletes the section.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path);

} // namespace cva::ini
