#pragma once

#include <cstdint>
#include <string>

namespace cva::process {

// The system's text for a Win32 error number, as FormatMessage gives it in English
// (without the line end); empty for a number the system has no text for.
std::string FormatSystemMessage(uint32_t code);

} // namespace cva::process
