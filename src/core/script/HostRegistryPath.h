#pragma once

#include "platform/registry/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cva::script {

class CHost_Proxy;

// A script's registry location taken apart: the root it names and the key path below it,
// plus the value name for functions that address a value.
struct SRegLocation {
    reg::HKEY m_root = nullptr;
    std::string m_keyPath;
    std::string m_valueName;
};

// How a value path with a single backslash ("HKCU\Test") is read. Older plugins rely on
// the readers taking the one name as both key and value, while the writers of plain
// strings and numbers refuse it; both behaviours are kept per function.
enum class ESingleSlash { Reject, NameIsKeyAndValue };

// The root a plugin names: HKLM, HKCU, HKAU, HKCR, HKCC or their HKEY_ long forms, in
// any case. HKCU is userHive while another user's hive is mounted. Null for anything else.
reg::HKEY RootKeyFromName(std::string_view rootName, reg::HKEY userHive);

// Everything after the first backslash is the key path (possibly empty: the root).
std::optional<SRegLocation> SplitKeyPath(CHost_Proxy& host, std::string_view path);
// The key path runs between the first and the last backslash, the value name after the
// last one (empty: the default value).
std::optional<SRegLocation> SplitValuePath(CHost_Proxy& host, std::string_view path,
                                           ESingleSlash singleSlash);

// Binary data as scripts exchange it: two lower-case hexadecimal digits per byte.
std::string BinaryToText(const reg::BYTE* data, size_t size);
// The reverse, lenient as plugins expect: either case, an odd length gets a leading
// "0", and a pair that is not hexadecimal counts for what its leading digit says.
std::string TextToBinary(std::string_view text);
// Text data up to its terminator (or its end when it has none).
std::string TextFromData(const reg::BYTE* data, size_t size);
// The unsigned decimal reading of RegWriteValue's reg_dword: leading blanks and a sign
// allowed, stops at the first non-digit, saturates at 4294967295, a minus wraps.
uint32_t ParseUnsignedDecimal(std::string_view text);

// Deletes the key path below the parent with everything under it, depth first. An empty
// path is refused with ERROR_BADKEY so that a bare root is never emptied; on a failure
// part-way what could not be deleted stays.
reg::LSTATUS DeleteKeyTree(reg::CRegistry& registry, reg::HKEY parent, const std::string& keyPath);
// Copies values and subkeys of source\path into dest\path (created when missing),
// overwriting what the destination has and removing nothing.
reg::LSTATUS CopyKeyTree(reg::CRegistry& registry, reg::HKEY srcParent, const std::string& srcPath,
                         reg::HKEY dstParent, const std::string& dstPath);

} // namespace cva::script
