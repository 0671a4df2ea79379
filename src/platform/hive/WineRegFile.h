#pragma once

#include "platform/registry/Hive.h"
#include "platform/registry/RegKey.h"

#include <string>
#include <string_view>

namespace cva::files {
class CFileVersion;
}

// Wine's registry text files (system.reg, user.reg, userdef.reg, and what Wine's
// RegSaveKey writes): parsed in one pass over a memory buffer, written with one buffer.
namespace cva::hive {

struct CParseError {
    size_t m_line = 0; // 1-based; 0 when the error is not tied to a line
    std::string m_message;
};

// Parses a whole file into `root`, the key the file's paths are relative to. Anything
// Wine would drop or mangle (bad header, broken key line, malformed value, stray text)
// is an error, so a file we could not read faithfully is never written back.
bool ParseWineRegistry(std::string_view text, reg::CRegKey& root, reg::CHiveHeader& header,
                       CParseError& error);

// Renders the branch below `root` in Wine's layout: keys depth-first in Wine's sort
// order, values sorted the same way, canonical value forms and escapes.
std::string FormatWineRegistry(const reg::CRegKey& root, const reg::CHiveHeader& header);

// Loads a file (a Windows hive too, see LoadHiveFile); on failure `error` reads
// "PATH:LINE: reason" and the result is a Win32 error (ERROR_FILE_NOT_FOUND,
// ERROR_ACCESS_DENIED, ERROR_BADDB...). `version`, when given, remembers the file that
// was read.
reg::LSTATUS LoadWineRegistryFile(const std::string& path, reg::CRegKey& root,
                                  reg::CHiveHeader& header, std::string& error,
                                  files::CFileVersion* version = nullptr);

// Whole-file read; 0 or an errno value.
int ReadFileContents(const std::string& path, std::string& out);

// Writes a temporary file in the same folder, flushes it to disk and renames it over
// `path`, so readers see the old file or the new one and never a torn one. A symbolic
// link is followed and its target replaced. 0 or an errno value.
int WriteFileAtomically(const std::string& path, std::string_view data);

reg::LSTATUS ErrnoToWin32(int err);

} // namespace cva::hive
