#include "platform/process/SingleInstanceLock.h"

#include "platform/process/ProcessServices.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::process {

CSingleInstanceLock::CSingleInstanceLock(std::string_view name, std::string folder)
    : m_folder(std::move(folder)) {
    std::string safeName(name);
    for (char& c : safeName)
        if (c == '/' || c == '\\') c = '_';
    m_path = m_folder + "/" + safeName + ".lock";
}

CSingleInstanceLock::~CSingleInstanceLock() {
    Release();
}

std::string CSingleInstanceLock::NameFor(std::string_view name, const std::string& settingsFolder) {
    namespace fs = std::filesystem;
    // One folder spelt two ways (a trailing slash, "..", a link) is still one folder; the
    // folder need not exist yet.
    std::error_code ec;
    fs::path folder = fs::absolute(settingsFolder, ec).lexically_normal();
    if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path())
        folder = folder.parent_path();
    if (fs::path canonical = fs::weakly_canonical(folder, ec); !ec) folder = canonical;
    // FNV-1a: a short, stable name; the holders of one folder only have to agree.
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : folder.string()) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "-%016llx", static_cast<unsigned long long>(hash));
    return std::string(name) + suffix;
}

std::string CSingleInstanceLock::FolderFor(const std::string& settingsFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return runtime;
    return settingsFolder;
}

bool CSingleInstanceLock::Acquire() {
    if (m_fd >= 0) return true;
    m_holderPid = 0;
    m_error.clear();
    CreateFolderPath(m_folder);
    // O_NOFOLLOW and the owner test keep a file planted by someone else from being used.
    int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = m_path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        m_error = m_path + ": not a file of this user";
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            char text[32] = {};
            if (::pread(fd, text, sizeof text - 1, 0) > 0)
                m_holderPid = std::strtol(text, nullptr, 10);
        } else {
            m_error = m_path + ": " + std::strerror(errno);
        }
        ::close(fd);
        return false;
    }
    // The holder's process id, for anyone looking at the file; the lock is what counts.
    char pid[32];
    int n = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid, static_cast<size_t>(n), 0) < 0) {
        // informational only
    }
    m_fd = fd;
    return true;
}

void CSingleInstanceLock::Release() {
    if (m_fd < 0) return;
    ::close(m_fd); // closing drops the flock; the file stays for the next holder
    m_fd = -1;
}

} // namespace cva::process
