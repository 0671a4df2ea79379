#include "platform/files/FolderTree.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::files {

namespace {

// Works through descriptors opened with O_NOFOLLOW, so a link swapped in while we walk
// cannot lead the deletion out of the tree.
bool ClearFolder(int folderFd) {
    int scanFd = ::dup(folderFd);
    if (scanFd < 0) return false;
    DIR* dir = ::fdopendir(scanFd);
    if (!dir) {
        ::close(scanFd);
        return false;
    }
    bool ok = true;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (::unlinkat(folderFd, name, 0) == 0) continue;
        if (errno != EISDIR && errno != EPERM) {
            ok = ok && errno == ENOENT;
            continue;
        }
        int child = ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
            ok = false;
            continue;
        }
        ok = ClearFolder(child) && ok;
        ::close(child);
        if (::unlinkat(folderFd, name, AT_REMOVEDIR) != 0) ok = false;
    }
    ::closedir(dir);
    return ok;
}

} // namespace

bool DeleteFolderContents(const std::string& hostPath) {
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ClearFolder(fd);
    ::close(fd);
    return ok;
}

bool DeleteFolderTree(const std::string& hostPath) {
    struct stat st {};
    if (::lstat(hostPath.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return ::unlink(hostPath.c_str()) == 0;
    bool ok = DeleteFolderContents(hostPath);
    return ::rmdir(hostPath.c_str()) == 0 && ok;
}

} // namespace cva::files
