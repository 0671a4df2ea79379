#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cva::files {

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// The extended attribute in which Samba and Wine keep the DOS attributes that a POSIX
// file system has no place for.
inline constexpr const char* kDosAttribXattr = "user.DOSATTRIB";

// Win32 attributes of a host path: directory from the file type, read-only when the
// owner may not write, hidden and system from "user.DOSATTRIB". A file with none of
// these reads as FILE_ATTRIBUTE_NORMAL. INVALID_FILE_ATTRIBUTES when the path is missing.
uint32_t GetFileAttributes(const std::string& hostPath);

// Applies read-only (owner write permission; files only, since a read-only folder on
// Windows still takes new files) and hidden/system (the extended attribute). Where the
// file system has no extended attributes, hidden and system are dropped silently.
// False when the path is missing or its permissions cannot be changed.
bool SetFileAttributes(const std::string& hostPath, uint32_t attributes);

// The value as Samba and Wine write it: a hex number "0x..", which Samba's newer binary
// form also begins with (followed by a NUL and its own data).
std::optional<uint32_t> ParseDosAttrib(std::string_view value);
std::string FormatDosAttrib(uint32_t attributes);

} // namespace cva::files
