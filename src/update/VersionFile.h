#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cva::update {

// What the update server's version file names. The file is free text; each value follows
// its keyword between the next two double quotes.
struct SVersionFile {
    std::string m_version;  // "Version:"
    std::string m_url;      // "Filename:", the setup file's URL
    std::string m_sha256;   // "Sha256:", 64 lower-case hex digits; empty when not named
};

// Values longer than this are cut, as the server's files have always been read.
constexpr size_t kMaxValueLength = 259;

// The value of `keyword`: searched from the start of the text, case-sensitive, then the
// text between the next two double quotes (at most kMaxValueLength characters). Nothing
// when the keyword is missing or no quoted value follows it.
std::optional<std::string> ExtractValue(std::string_view text, std::string_view keyword);

// Nothing when "Version:" or "Filename:" is missing or empty, or when "Sha256:" is there
// but is not 64 hex digits (a checksum we cannot use must not pass for none at all).
std::optional<SVersionFile> ParseVersionFile(std::string_view text);

// Compares dotted versions field by field as numbers (2.1.0.10 is newer than 2.1.0.9);
// missing fields count as 0, so 2.1 equals 2.1.0.0. A field's text after its digits is
// compared without regard to case. Negative, zero or positive like strcmp.
int CompareVersions(std::string_view a, std::string_view b);

// The file name to save a download under: the last path segment of the URL (query and
// fragment dropped, percent escapes decoded, then the last segment again), keeping only
// letters, digits and ". _ - +", without leading dots, at most 128 characters. `fallback`
// when nothing usable is left.
std::string SafeFileName(std::string_view url, std::string_view fallback);

// The host of a URL ("" when it has none), for the texts that name the server.
std::string UrlHost(std::string_view url);

// The version file's URL: the server base (a scheme is added when it has none, trailing
// slashes are dropped) + "/downloads/" + short name + ".ver".
std::string VersionFileUrl(std::string_view serverBase, std::string_view shortName);

} // namespace cva::update
