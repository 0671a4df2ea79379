#include "platform/hive/HiveFile.h"

#include "platform/files/FileVersion.h"
#include "platform/hive/RegfFile.h"
#include "platform/hive/WineRegFile.h"

#include <cstring>

namespace cva::hive {

reg::LSTATUS LoadHiveFile(const std::string& path, reg::CRegKey& root, reg::CHiveHeader& header,
                          CLoadedHive& loaded, std::string& error, files::CFileVersion* version) {
    loaded = CLoadedHive{};
    std::string content;
    int err = version ? version->Read(path, content) : ReadFileContents(path, content);
    if (err != 0) {
        error = path + ": " + std::strerror(err);
        return ErrnoToWin32(err);
    }
    if (IsRegfData(content)) {
        loaded.m_format = reg::EHiveFormat::Regf;
        CRegfInfo info;
        std::string why;
        if (!ParseRegf(content, root, info, why)) {
            error = path + ": " + why;
            return reg::ERROR_BADDB;
        }
        loaded.m_readOnlyReason = RegfReadOnlyReason(path, info);
        if (info.m_minor >= 4) loaded.m_maxValueSize = kRegfMaxPlainValue;
        return reg::ERROR_SUCCESS;
    }
    CParseError parseError;
    if (!ParseWineRegistry(content, root, header, parseError)) {
        error = path + ":" + std::to_string(parseError.m_line) + ": " + parseError.m_message;
        return reg::ERROR_BADDB;
    }
    return reg::ERROR_SUCCESS;
}

} // namespace cva::hive
