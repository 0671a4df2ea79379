#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::target {

// A Windows environment block as data: names compare without regard to case and keep
// the spelling they were first given.
class CEnvironment {
public:
    void Set(std::string_view name, std::string_view value);
    void Remove(std::string_view name);
    std::optional<std::string> Get(std::string_view name) const;
    // name=value pairs in the order of the upper-cased names, as Windows sorts its block.
    std::vector<std::pair<std::string, std::string>> Entries() const;

private:
    struct SEntry {
        std::string name;
        std::string value;
    };
    std::map<std::string, SEntry> m_entries; // keyed by the upper-cased name
};

// %NAME% replaced by its value; an unknown name stays as written, percent signs and all,
// and a "%" without a partner stays too.
std::string ExpandEnvironmentStrings(std::string_view source, const CEnvironment& env);

// Win32 "A" shape: the size needed for the result including its NUL. When that is more
// than `size`, as much as fits is stored (NUL-terminated) and the caller sees from the
// result that it must retry. 0 for a null source.
uint32_t ExpandEnvironmentStringsA(const char* source, char* buffer, uint32_t size,
                                   const CEnvironment& env);

} // namespace cva::target
