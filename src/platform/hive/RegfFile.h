#pragma once

#include "platform/registry/RegKey.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// Windows' own hive files (the "regf" format of the config folder and NTUSER.DAT): read
// by our own parser, changed through hivex so that everything we do not touch (security
// descriptors, class names, the cells of other keys) stays as Windows wrote it.
namespace cva::hive {

// What the base block of a hive says.
struct CRegfInfo {
    uint32_t m_minor = 0;      // format 1.minor
    bool m_logPending = false; // the two sequence numbers differ
};

// Windows keeps a longer value in a big-data record from format 1.4 on; hivex writes
// one plain cell instead, which Windows would not read.
constexpr size_t kRegfMaxPlainValue = 16344;

bool IsRegfData(std::string_view content);

// Parses a whole hive into `root` (values, subkeys, classes, last-write times, links).
// A hive whose structure is damaged anywhere is refused with the reason in `error`.
bool ParseRegf(std::string_view content, reg::CRegKey& root, CRegfInfo& info, std::string& error);

// Why the hive at `path` may be read but not written; empty when it may be written.
std::string RegfReadOnlyReason(const std::string& path, const CRegfInfo& info);

// Writes our changes into the hive file as it is on disk now: `root` is the tree (the
// file's content with our changes on top), `touched` the keys our changes concern (paths
// below the root; a key's subkeys and values are brought in line with the tree). The new
// hive is built in a temporary file beside the old one, flushed and renamed over it;
// `beforeRename` and `written` as for files::ReplaceFileContents. On success `content`
// holds the bytes written.
reg::LSTATUS SaveRegfChanges(const std::string& path, const reg::CRegKey& root,
                             const std::vector<std::vector<std::u16string>>& touched,
                             const std::function<int()>& beforeRename, struct stat* written,
                             std::string& content, std::string& error);

} // namespace cva::hive
