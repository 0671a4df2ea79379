#include "platform/hive/WinePrefix.h"

#include "platform/hive/WineRegFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace cva::hive {

std::vector<std::string> WineServerFolders(const std::string& prefix) {
    struct stat st;
    if (stat(prefix.c_str(), &st) != 0) return {};
    char leaf[64];
    std::snprintf(leaf, sizeof leaf, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::vector<std::string> folders;
    folders.push_back("/tmp/.wine-" + std::to_string(getuid()) + "/" + leaf);
    std::string named;
    if (ReadFileContents(prefix + "/wineserver", named) == 0) {
        while (!named.empty() && (named.back() == '\n' || named.back() == '\r')) named.pop_back();
        // Only a plain folder name is taken; anything else is not Wine's.
        if (!named.empty() && named.find('/') == std::string::npos && named != "." && named != "..") {
            folders.push_back("/tmp/" + named + "/" + leaf);
            const char* tmp = std::getenv("TMPDIR");
            if (tmp && *tmp == '/' && std::string(tmp) != "/tmp") folders.push_back(std::string(tmp) + "/" + named + "/" + leaf);
        }
    }
    return folders;
}

namespace {

bool SocketAnswers(const std::string& folder) {
    std::string path = folder + "/socket";
    sockaddr_un addr{};
    if (path.size() >= sizeof addr.sun_path) return false;
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

} // namespace

bool IsWineServerRunning(const std::string& prefix, pid_t* pid) {
    if (pid) *pid = 0;
    for (const std::string& folder : WineServerFolders(prefix)) {
        int fd = open((folder + "/lock").c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) continue;
        struct flock fl{};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = 0;
        fl.l_len = 1;
        int rc = fcntl(fd, F_GETLK, &fl);
        int err = errno;
        close(fd);
        if (rc != 0) {
            if ((err == ENOLCK || err == EINVAL) && SocketAnswers(folder)) return true;
            continue;
        }
        if (fl.l_type == F_UNLCK) continue;
        if (pid) *pid = fl.l_pid;
        return true;
    }
    return false;
}

bool ReadWineRegistryHeader(const std::string& file, reg::CHiveHeader& header) {
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    char line[1024];
    int n = 0;
    constexpr std::string_view kComment = ";; All keys relative to ";
    while (n++ < 8 && std::fgets(line, sizeof line, f)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        if (s.compare(0, kComment.size(), kComment) == 0) header.m_rootComment = s.substr(kComment.size());
        else if (s.compare(0, 6, "#arch=") == 0) header.m_arch = s.substr(6);
        else if (!s.empty() && s[0] == '[') break;
    }
    std::fclose(f);
    return true;
}

std::string UserSidFromRootComment(const std::string& comment) {
    size_t pos = comment.rfind("\\\\");
    if (pos == std::string::npos) return {};
    std::string sid = comment.substr(pos + 2);
    std::string before = comment.substr(0, pos);
    // Only a key directly below User is a user's hive.
    if (before.size() < 4 || before.compare(before.size() - 4, 4, "User") != 0) return {};
    if (sid.size() < 2 || sid.compare(0, 2, "S-") != 0) return {};
    return sid;
}

} // namespace cva::hive
