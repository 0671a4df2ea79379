// Reads arbitrary bytes as a Windows hive file (regf): a damaged hive is refused with a
// reason, never read past its end.
#include "platform/hive/RegfFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva;
    if (size > 1024 * 1024)
        return 0;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    if (!hive::IsRegfData(content))
        return 0;
    reg::CRegKey root(u"", nullptr, nullptr);
    hive::CRegfInfo info;
    std::string error;
    hive::ParseRegf(content, root, info, error);
    return 0;
}
