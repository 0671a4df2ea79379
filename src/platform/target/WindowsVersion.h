#pragma once

#include <cstdint>

namespace cva::target {

// Platform ids of OSVERSIONINFO.
constexpr uint32_t VER_PLATFORM_WIN32s = 0;
constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

// The program's own version code: 0 older than Windows 95, 2 Windows 95, 3 98, 4 ME,
// 5 NT 4, 6 2000, 7 XP, 8 Server 2003 (5.2), 9 Vista and later (6.0 and up). Only the NT
// platform counts as NT; everything else follows the 9x rules, as the sign bit of
// GetVersion would say.
int GetWindowsVersionCode(uint32_t platformId, uint32_t major, uint32_t minor);

} // namespace cva::target
