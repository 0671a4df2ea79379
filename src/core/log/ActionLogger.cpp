#include "core/log/ActionLogger.h"

#include "platform/process/ProcessServices.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::logging {

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string LogFileName(const std::tm& t) {
    char name[32];
    int month = t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon : 0;
    std::snprintf(name, sizeof name, "%02d_%s_%04d.log", t.tm_mday, kMonths[month],
                  t.tm_year + 1900);
    return name;
}

std::string LogTimeStamp(const std::tm& t) {
    int hour = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d.%s:: ", hour, t.tm_min, t.tm_sec,
                  t.tm_hour < 12 ? "AM" : "PM");
    return stamp;
}

std::string LogFolderFor(const std::string& profileFolder) {
    std::string folder = profileFolder;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder + "/logs";
}

std::string AppliedEntry(std::string_view pluginPath) {
    size_t slash = pluginPath.find_last_of("\\/");
    return "Applied - " +
           std::string(slash == std::string_view::npos ? pluginPath : pluginPath.substr(slash + 1));
}

CActionLogger::CActionLogger() = default;

CActionLogger::~CActionLogger() {
    if (m_fd >= 0) ::close(m_fd);
}

std::tm CActionLogger::LocalNow() const {
    std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

void CActionLogger::Report(const std::string& message) {
    m_lastError = message;
    if (m_reported) return;
    m_reported = true;
    if (m_onError) m_onError(message);
}

CActionLogger::EOpenResult CActionLogger::Open(const std::string& logFolder, int createLog) {
    Close();
    if (createLog == 0) return EOpenResult::Disabled;
    process::CreateFolderPath(logFolder);
    m_path = logFolder + "/" + LogFileName(LocalNow());
    int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        Report("Cannot open the log file " + m_path + ": " + std::strerror(errno));
        return EOpenResult::Failed;
    }
    // Other programs may read the journal while we run, but not write it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        Report("The log file " + m_path + " is in use by another program");
        return EOpenResult::Failed;
    }
    m_fd = fd;
    m_closed = false;
    Log("Opened CVA");
    return EOpenResult::Opened;
}

void CActionLogger::Log(std::string_view text) {
    if (m_closed || m_fd < 0 || text.empty()) return;
    std::string line = LogTimeStamp(LocalNow());
    // A line break inside an entry (a file name may hold one) would forge a new entry.
    for (char c : text)
        line += (c == '\r' || c == '\n') ? ' ' : c;
    line += "\r\n";
    if (!WriteAll(m_fd, line) || ::fdatasync(m_fd) != 0)
        Report("Cannot write the log file " + m_path + ": " + std::strerror(errno));
}

void CActionLogger::Close() {
    m_closed = true;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

int ClearOldLogs(const std::string& logFolder, int days, std::time_t now) {
    DIR* dir = ::opendir(logFolder.c_str());
    if (!dir) return 0;
    int deleted = 0;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name.size() < 4 || name.front() == '_' ||
            !text::EqualsNoCaseUtf8(name.substr(name.size() - 4), ".log"))
            continue;
        const std::string path = logFolder + "/" + std::string(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        long long age = static_cast<long long>(now - st.st_mtime) / 86400;
        if (age > days && ::unlink(path.c_str()) == 0) ++deleted;
    }
    ::closedir(dir);
    return deleted;
}

} // namespace cva::logging
