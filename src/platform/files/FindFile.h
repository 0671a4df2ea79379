#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace cva::files {

// Windows wildcard match of a file name: "*" any run, "?" one character, no regard to
// case. "*" and "*.*" match every name; a pattern ending in ".*" also matches the name
// without any extension ("readme.*" finds "readme"), and one ending in "." matches only
// names without a dot, as FindFirstFile does.
bool MatchWildcard(std::string_view pattern, std::string_view name);

struct SFindData {
    std::string name;
    uint32_t attributes = 0; // FILE_ATTRIBUTE_* as GetFileAttributes gives them
    uint64_t size = 0;
    std::time_t lastWrite = 0;
    bool IsFolder() const { return (attributes & 0x10) != 0; }
};

// The entries of hostFolder whose names match the pattern, ordered by their names
// without regard to case. Like a Windows search below a drive root, "." and ".." come
// first when the pattern matches them and includeDotEntries is set. An entry that
// vanishes while the folder is read is left out.
std::vector<SFindData> FindFiles(const std::string& hostFolder, std::string_view pattern,
                                 bool includeDotEntries = true);

} // namespace cva::files
