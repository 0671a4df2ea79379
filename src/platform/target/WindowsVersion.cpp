#include "platform/target/WindowsVersion.h"

namespace cva::target {

int GetWindowsVersionCode(uint32_t platformId, uint32_t major, uint32_t minor) {
    if (platformId != VER_PLATFORM_WIN32_NT) {
        if (major < 4) return 0;
        if (major == 4 && minor == 10) return 3;
        if (major == 4 && minor == 90) return 4;
        return 2;
    }
    if (major < 4) return 0;
    if (major == 4) return 5;
    // Only 5.x is 2000, XP or Server 2003. Judging 6.1 and 6.2 by their minor number
    // alone would call Windows 7 "XP" and Windows 8 "Server 2003" and hide every
    // Vista-and-later plugin from them.
    if (major == 5) {
        if (minor == 0) return 6;
        if (minor == 1) return 7;
        return 8;
    }
    return 9;
}

} // namespace cva::target
