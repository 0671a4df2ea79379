#pragma once

#include "platform/registry/RegTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Value types and data as reg.exe writes them on its command line and in its output.
namespace cva::cli {

// "REG_SZ" etc. (any case) to the type number.
std::optional<reg::DWORD> TypeFromName(std::string_view name);
std::string TypeName(reg::DWORD type);

// The data column of `query`: strings as text, DWORD and QWORD as 0x hex, MULTI_SZ
// joined with \0, everything else as upper-case hex digits.
std::string FormatData(reg::DWORD type, const std::vector<uint8_t>& data);

// The bytes stored for /d DATA of the given type; an error text when DATA does not fit.
bool ParseData(reg::DWORD type, std::string_view data, bool haveData, std::string_view separator,
               std::vector<uint8_t>& out, std::string& error);

} // namespace cva::cli
