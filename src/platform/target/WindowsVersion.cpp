#include "platform/target/WindowsVersion.h"

namespace cva::target {

int GetWindowsVersionCode(uint32_t platformId, uint32_t major, uint32_t minor) {
    if (platformId != VER_PLATFORM_WIN32_NT) {
        if (major < 4) return 0;
        if (major == 4 && minor == 10) return 3;
        if (major == 4 && minor == 90) return 4;
        return 2;
    }
    if (major == 4) return 5;
    if (major == 5 && minor == 0) return 6;
    // Past Windows 2000 only the minor number counts, so NT 6.1 (Windows 7, and what a
    // Wine 8 prefix reports) gives 7 and 6.2 gives 8. Plugins are written against
    // exactly these codes, so they stay as they are.
    if (minor == 1) return 7;
    if (minor == 2) return 8;
    return 9;
}

} // namespace cva::target
