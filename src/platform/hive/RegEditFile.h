#pragma once

#include "platform/registry/RegPath.h"
#include "platform/registry/Registry.h"

#include <string>
#include <string_view>

// Registry editor files (.reg): "REGEDIT4" (8-bit text) and "Windows Registry Editor
// Version 5.00" (UTF-16LE with a byte-order mark), as regedit writes and reads them.
namespace cva::hive {

enum class RegEditFormat { Regedit4, Version5 };

// Renders the key and everything below it as the bytes of a .reg file, CRLF line ends.
// Strings that a .reg string cannot carry exactly (control characters, no terminator)
// are written as hex(1) so that they come back unchanged.
reg::LSTATUS ExportRegEditFile(reg::CRegistry& registry, const reg::CRegPath& path, RegEditFormat format,
                               std::string& bytes);

// Applies a .reg file (either format; UTF-8, Windows-1252 or UTF-16 with BOM). The
// whole file is checked before anything is changed: a malformed line is reported as
// "line N: reason" and nothing is applied.
bool ImportRegEditFile(reg::CRegistry& registry, std::string_view bytes, std::string& error);

} // namespace cva::hive
