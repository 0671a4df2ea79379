// Reads arbitrary bytes as a Wine registry file (system.reg, user.reg). What it accepts
// it must write back in a form it reads again to the same text: a file we load is a file
// we can save.
#include "platform/hive/WineRegFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva;
    if (size > 256 * 1024)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    reg::CRegKey root(u"", nullptr, nullptr);
    reg::CHiveHeader header;
    hive::CParseError error;
    if (!hive::ParseWineRegistry(text, root, header, error))
        return 0;
    const std::string written = hive::FormatWineRegistry(root, header);
    reg::CRegKey again(u"", nullptr, nullptr);
    reg::CHiveHeader againHeader;
    if (!hive::ParseWineRegistry(written, again, againHeader, error))
        std::abort();
    if (hive::FormatWineRegistry(again, againHeader) != written)
        std::abort();
    return 0;
}
