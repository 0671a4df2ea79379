#include "platform/hive/WineRegFile.h"

#include "platform/files/AtomicFile.h"

#include <cerrno>

namespace cva::hive {

int ReadFileContents(const std::string& path, std::string& out) {
    return files::ReadFileContents(path, out);
}

int WriteFileAtomically(const std::string& path, std::string_view data) {
    return files::ReplaceFileContents(path, data);
}

reg::LSTATUS ErrnoToWin32(int err) {
    switch (err) {
    case 0:
        return reg::ERROR_SUCCESS;
    case ENOENT:
        return reg::ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return reg::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return reg::ERROR_ACCESS_DENIED;
    case EEXIST:
        return reg::ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return reg::ERROR_DISK_FULL;
    case ENOMEM:
        return reg::ERROR_NOT_ENOUGH_MEMORY;
    case EISDIR:
        return reg::ERROR_ACCESS_DENIED;
    default:
        return reg::ERROR_WRITE_FAULT;
    }
}

} // namespace cva::hive
