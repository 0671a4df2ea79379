#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::app {

// The few "settings" keys of a plugin file that the catalogue, its cache and the search
// need, read from one parse of the file. Defaults are those of the plugin format.
struct SPluginKeys {
    bool readable = false;
    std::string caption = "none";
    std::string category = "none";
    std::string osVersion = "none";
    int group = 0;
    int level = 0;          // "LEVEL" with the folder scan's default of 0
    int levelOrNormal = 1;  // "LEVEL" with the default of 1 that pages and the cache use
};

SPluginKeys ReadPluginKeys(const std::string& path);

// Reads many plugin files, on two threads when the machine has them. `progress` is
// called on the calling thread with the number of files read so far, so a window can
// keep painting; the results are in the order of `paths`.
std::vector<SPluginKeys> ReadPluginKeysAll(const std::vector<std::string>& paths,
                                           const std::function<void(size_t done)>& progress = {});

// What the "OSVERSION" test compares a plugin with: the Windows version code the target
// reports and whether it is a Wine prefix.
struct SVersionTarget {
    int windowsVersionCode = 0;
    bool wine = false;
};

// The "OSVERSION" test. A plugin naming "WINE" changes what only Wine reads and is for
// Wine prefixes alone; the others are tested against the Windows version code, on a Wine
// prefix too (it reports the version it pretends to be). accept2K: the folder scan takes
// "2K" for Windows 2000, the single plugin of the command line does not.
bool PassesVersionFilter(std::string_view osVersion, const SVersionTarget& target, bool accept2K);

// The text after the last path separator, or empty when there is none.
std::string FileNameOf(std::string_view path);
// A name that stays inside the folder it is joined to.
bool IsBareFileName(std::string_view name);
std::string TrimBlanks(std::string_view text);

} // namespace cva::app
