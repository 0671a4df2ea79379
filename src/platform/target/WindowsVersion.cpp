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
    // Judging NT 6.x by its minor number alone would take Windows 7 (6.1, also what a
    // Wine 8 prefix reports) for XP and Windows 8 for Server 2003, hiding every plugin
    // written for Vista and later on exactly the systems they are for.
    if (major == 5 && minor == 1) return 7;
    if (major == 5 && minor == 2) return 8;
    return 9;
}

} // namespace cva::target
