#pragma once

#include "platform/registry/Registry.h"
#include "platform/target/Environment.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cva::target {

struct CTargetVersion;

// Reads what Windows itself derives from its registry at logon: the version it reports
// and the environment block of the user's processes.
class CTargetRegistryReader {
public:
    explicit CTargetRegistryReader(reg::CRegistry& registry) : m_registry(registry) {}

    CTargetVersion ReadVersion();
    CEnvironment ReadEnvironment(const std::string& userName);

    // A REG_SZ or REG_EXPAND_SZ value (unexpanded) or a DWORD, through the A calls.
    std::optional<std::string> ReadString(reg::HKEY root, const char* key, const char* name,
                                          reg::DWORD* type = nullptr);
    std::optional<reg::DWORD> ReadDword(reg::HKEY root, const char* key, const char* name);
    // Name, data and type of every string value of a key, in the key's order.
    struct CStringValue {
        std::string m_name;
        std::string m_data;
        reg::DWORD m_type = 0;
    };
    std::vector<CStringValue> ReadStringValues(reg::HKEY root, const char* key);

private:
    reg::CRegistry& m_registry;
};

} // namespace cva::target
