#pragma once

#include <cstdint>
#include <string>

namespace cva::app {

// One catalogue entry. Its index in the catalogue's array is the plugin's identity for
// as long as the catalogue stands: tree leaves store it and LoadPlugin takes it.
struct PLUGIN_INFO {
    std::string path;      // full host path of the plugin file
    int32_t reserved = 0;  // always 0
    int32_t folder = 0;    // outlook-bar folder whose tree shows the entry
};

} // namespace cva::app
