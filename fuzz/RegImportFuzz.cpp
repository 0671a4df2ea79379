// Imports arbitrary bytes as a .reg file (REGEDIT4 or version 5, any of the encodings
// regedit reads) into an empty registry, then exports what arrived.
#include "platform/hive/RegEditFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva;
    if (size > 64 * 1024)
        return 0;
    reg::CRegistry registry;
    std::string error;
    if (!hive::ImportRegEditFile(registry, std::string_view(reinterpret_cast<const char*>(data), size), error))
        return 0;
    for (const char* root : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) {
        reg::CRegPath path;
        std::string bytes;
        if (reg::ParseRegPath(root, path))
            hive::ExportRegEditFile(registry, path, hive::RegEditFormat::Regedit4, bytes);
    }
    return 0;
}
