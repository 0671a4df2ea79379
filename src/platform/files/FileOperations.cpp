#include "platform/files/FileOperations.h"

#include "platform/files/FileAttributes.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace cva::files {

namespace {

bool CopyContent(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            done += w;
        }
    }
}

bool IsRemovable(dev_t device) {
    // A partition's "removable" flag sits with the disk it belongs to.
    char path[96];
    for (const char* place : {"removable", "../removable"}) {
        std::snprintf(path, sizeof path, "/sys/dev/block/%u:%u/%s", major(device), minor(device),
                      place);
        std::ifstream flag(path);
        int value = 0;
        if (flag >> value) return value == 1;
    }
    return false;
}

} // namespace

bool CopyFileNoReplace(const std::string& source, const std::string& destination) {
    int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) return false;
    struct stat st {};
    if (::fstat(from, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(from);
        return false;
    }
    int to =
        ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = CopyContent(from, to);
    if (ok) {
        char value[256];
        ssize_t n = ::fgetxattr(from, kDosAttribXattr, value, sizeof value);
        if (n > 0) ::fsetxattr(to, kDosAttribXattr, value, static_cast<size_t>(n), 0);
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(to, times);
    }
    ok = (::close(to) == 0) && ok;
    ::close(from);
    if (!ok) ::unlink(destination.c_str());
    return ok;
}

bool MoveNoReplace(const std::string& source, const std::string& destination) {
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    const int error = errno;
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) return false;
    if (error == EINVAL) {
        // A file system without RENAME_NOREPLACE: a hard link claims the name atomically
        // for files; for folders a check before the rename is the best there is.
        if (!S_ISDIR(st.st_mode)) {
            if (::link(source.c_str(), destination.c_str()) != 0) return false;
            return ::unlink(source.c_str()) == 0;
        }
        struct stat existing {};
        if (::lstat(destination.c_str(), &existing) == 0) return false;
        return ::rename(source.c_str(), destination.c_str()) == 0;
    }
    if (error == EXDEV && S_ISREG(st.st_mode)) {
        if (!CopyFileNoReplace(source, destination)) return false;
        if (::unlink(source.c_str()) == 0) return true;
        ::unlink(destination.c_str()); // keep one copy, not two
        return false;
    }
    return false;
}

int GetDriveType(const std::string& hostFolder) {
    struct stat st {};
    if (::stat(hostFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DRIVE_NO_ROOT_DIR;
    struct statfs fs {};
    if (::statfs(hostFolder.c_str(), &fs) != 0) return DRIVE_UNKNOWN;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x01021994: // tmpfs
    case 0x858458F6: // ramfs
        return DRIVE_RAMDISK;
    case 0x9660:     // iso9660
    case 0x15013346: // udf
        return DRIVE_CDROM;
    case 0x6969:     // nfs
    case 0x517B:     // smb
    case 0xFF534D42: // cifs
    case 0xFE534D42: // smb2
    case 0x5346414F: // afs
    case 0x73757245: // coda
        return DRIVE_REMOTE;
    default:
        return IsRemovable(st.st_dev) ? DRIVE_REMOVABLE : DRIVE_FIXED;
    }
}

} // namespace cva::files
