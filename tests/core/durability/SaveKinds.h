#pragma once

#include <optional>
#include <string>

namespace cva::test {

// The files the program saves, each in the way the program saves it: a Wine hive through
// the registry, an INI file, a list file and the settings store. Every version of a file
// says which generation it is and is complete only with all its entries, so a torn or
// mixed file shows.
enum class ESaveKind { Hive, Ini, List, Settings };

const char* KindName(ESaveKind kind);
std::optional<ESaveKind> KindFromName(const std::string& name);
// The file the kind writes in `folder`.
std::string KindFile(ESaveKind kind, const std::string& folder);

// Saves generation `generation`, starting from the file as it is; false with `error`.
bool SaveGeneration(ESaveKind kind, const std::string& folder, long generation, std::string& error);

// The generation the file holds: 0 when there is no file yet, nullopt (with `why`) when
// it is not a complete version.
std::optional<long> ReadGeneration(ESaveKind kind, const std::string& folder, std::string& why);

} // namespace cva::test
