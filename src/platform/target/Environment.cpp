#include "platform/target/Environment.h"

#include "platform/text/Unicode.h"

#include <cstring>

namespace cva::target {

void CEnvironment::Set(std::string_view name, std::string_view value) {
    auto [it, added] = m_entries.try_emplace(text::ToUpperUtf8(name));
    if (added) it->second.name = std::string(name);
    it->second.value = std::string(value);
}

void CEnvironment::Remove(std::string_view name) {
    m_entries.erase(text::ToUpperUtf8(name));
}

std::optional<std::string> CEnvironment::Get(std::string_view name) const {
    auto it = m_entries.find(text::ToUpperUtf8(name));
    if (it == m_entries.end()) return std::nullopt;
    return it->second.value;
}

std::vector<std::pair<std::string, std::string>> CEnvironment::Entries() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [key, entry] : m_entries)
        out.emplace_back(entry.name, entry.value);
    return out;
}

std::string ExpandEnvironmentStrings(std::string_view source, const CEnvironment& env) {
    std::string out;
    size_t i = 0;
    while (i < source.size()) {
        size_t open = source.find('%', i);
        if (open == std::string_view::npos) {
            out.append(source.substr(i));
            break;
        }
        out.append(source.substr(i, open - i));
        size_t close = source.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(source.substr(open));
            break;
        }
        std::string_view name = source.substr(open + 1, close - open - 1);
        std::optional<std::string> value = name.empty() ? std::nullopt : env.Get(name);
        if (value) {
            out += *value;
        } else {
            out.append(source.substr(open, close - open + 1));
        }
        i = close + 1;
    }
    return out;
}

uint32_t ExpandEnvironmentStringsA(const char* source, char* buffer, uint32_t size,
                                   const CEnvironment& env) {
    if (!source) return 0;
    std::string result = ExpandEnvironmentStrings(source, env);
    const uint32_t needed = static_cast<uint32_t>(result.size() + 1);
    if (buffer && size > 0) {
        size_t n = needed <= size ? result.size() : size - 1;
        std::memcpy(buffer, result.data(), n);
        buffer[n] = '\0';
    }
    return needed;
}

} // namespace cva::target
