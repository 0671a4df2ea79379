// The command-line arguments of cva-reg: a key path, a type name, and /d data of each
// type with and without a /s separator. What ParseData stores must show in query output.
#include "cli/reg/RegValueText.h"
#include "platform/registry/RegPath.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva;
    if (size > 16 * 1024)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    reg::CRegPath path;
    reg::ParseRegPath(text, path);
    cli::TypeFromName(text);

    // The first line is the separator, the rest the data.
    const size_t newline = text.find('\n');
    const std::string_view separator = newline == std::string_view::npos ? std::string_view() : text.substr(0, newline);
    const std::string_view value = newline == std::string_view::npos ? text : text.substr(newline + 1);
    for (reg::DWORD type : {reg::REG_NONE, reg::REG_SZ, reg::REG_EXPAND_SZ, reg::REG_BINARY, reg::REG_DWORD,
                            reg::REG_DWORD_BIG_ENDIAN, reg::REG_MULTI_SZ, reg::REG_QWORD, reg::REG_LINK}) {
        for (bool haveData : {true, false}) {
            std::vector<uint8_t> bytes;
            std::string error;
            if (cli::ParseData(type, value, haveData, separator, bytes, error))
                cli::FormatData(type, bytes);
            cli::FormatData(type, std::vector<uint8_t>(data, data + size));
        }
    }
    return 0;
}
