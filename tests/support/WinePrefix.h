#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace cva::test {

// A Wine prefix reduced to what opening one needs: the three registry files, drive_c
// with its Windows folder, and the drive links a fresh prefix has (c: -> drive_c and
// z: -> the whole host).
inline void MakeWineShapedPrefix(const std::string& prefix) {
    namespace fs = std::filesystem;
    fs::create_directories(prefix + "/drive_c/windows/system32");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    std::ofstream(prefix + "/system.reg") << "WINE REGISTRY Version 2\n;; All keys relative to "
                                             "\\\\Machine\n\n#arch=win64\n\n"
                                             "[Software] 1700000000\n";
    std::ofstream(prefix + "/user.reg") << "WINE REGISTRY Version 2\n;; All keys relative to "
                                           "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
    std::ofstream(prefix + "/userdef.reg") << "WINE REGISTRY Version 2\n;; All keys relative to "
                                              "\\\\User\\\\.Default\n\n#arch=win64\n";
}

// "/tmp/x/y" as drive Z: of a Wine prefix names it: "Z:\tmp\x\y".
inline std::string OnDriveZ(std::string hostPath) {
    for (char& c : hostPath)
        if (c == '/') c = '\\';
    return "Z:" + hostPath;
}

} // namespace cva::test
