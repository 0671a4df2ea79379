#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cva::files {

// Replaces (or creates) the file with the given bytes so that readers see either the
// old content or the new one, never a mixture: a temporary file in the same folder is
// written, flushed to disk and renamed over the target. The permissions and, where the
// process may, the owner of the file being replaced are kept; a new file gets the
// usual mode under the process umask. A path that is a symbolic link writes through
// to the file it points to, so the link itself survives. On failure errno tells why.
// Temporary files that writers killed before their rename left beside the file are
// removed on the way.
bool WriteFileAtomically(const std::string& path, std::string_view data);

// The same with the reason: 0 or an errno value. `beforeRename` runs once the new
// content is on disk and just before it takes the old file's place; a non-zero answer
// abandons the write (the old file stays) and is returned. `written` receives the
// status of the new file as it stands after the rename.
int ReplaceFileContents(const std::string& path, std::string_view data,
                        const std::function<int()>& beforeRename = {},
                        struct stat* written = nullptr);

// The whole file, or std::nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// The whole file: 0 or an errno value. `status`, when given, receives the file's status
// as it was while it was read.
int ReadFileContents(const std::string& path, std::string& out, struct stat* status = nullptr);

} // namespace cva::files
