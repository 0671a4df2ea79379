#pragma once

#include "platform/registry/Hive.h"
#include "platform/registry/RegKey.h"

#include <string>

namespace cva::files {
class CFileVersion;
}

// Reading a hive file of either kind the registry mounts: Wine's registry text or a
// Windows hive (regf), told apart by the file's first bytes.
namespace cva::hive {

struct CLoadedHive {
    reg::EHiveFormat m_format = reg::EHiveFormat::WineText;
    std::string m_readOnlyReason; // why the file may be read but not written
    size_t m_maxValueSize = 0;    // the longest value it can take; 0: no limit
};

// Loads the file into `root`; on failure `error` names the file and the reason and the
// result is a Win32 error (ERROR_FILE_NOT_FOUND, ERROR_BADDB...). `version`, when given,
// remembers the file that was read.
reg::LSTATUS LoadHiveFile(const std::string& path, reg::CRegKey& root, reg::CHiveHeader& header,
                          CLoadedHive& loaded, std::string& error,
                          files::CFileVersion* version = nullptr);

} // namespace cva::hive
