#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cva::files {

// Replaces (or creates) the file with the given bytes so that readers see either the
// old content or the new one, never a mixture: a temporary file in the same folder is
// written, flushed to disk and renamed over the target. The permissions and, where the
// process may, the owner of the file being replaced are kept; a new file gets the
// usual mode under the process umask. A path that is a symbolic link writes through
// to the file it points to, so the link itself survives.
bool WriteFileAtomically(const std::string& path, std::string_view data);

// The whole file, or std::nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace cva::files
