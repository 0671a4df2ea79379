#include "platform/process/ProcessServices.h"

#include "platform/text/Unicode.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cva::process {

std::string GetUserName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    for (const char* name : {"USER", "LOGNAME"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return {};
}

std::string GetComputerName() {
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return {};
    std::string name(host);
    size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string GetAppFolder() {
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string exe(path, static_cast<size_t>(n));
    // An executable replaced while running reads as "/path/name (deleted)".
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() &&
        exe.compare(exe.size() - deleted.size(), deleted.size(), deleted) == 0)
        exe.resize(exe.size() - deleted.size());
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return {};
    return exe.substr(0, slash + 1);
}

bool CreateFolderPath(const std::string& path) {
    if (path.empty()) return false;
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        ::mkdir(path.substr(0, pos).c_str(), 0777);
    ::mkdir(path.c_str(), 0777);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EnablePrivilege(std::string_view privilegeName, bool /*enable*/) {
    static const char* const known[] = {"SeAssignPrimaryTokenPrivilege",
                                        "SeAuditPrivilege",
                                        "SeBackupPrivilege",
                                        "SeChangeNotifyPrivilege",
                                        "SeCreateGlobalPrivilege",
                                        "SeCreatePagefilePrivilege",
                                        "SeCreatePermanentPrivilege",
                                        "SeCreateSymbolicLinkPrivilege",
                                        "SeCreateTokenPrivilege",
                                        "SeDebugPrivilege",
                                        "SeEnableDelegationPrivilege",
                                        "SeImpersonatePrivilege",
                                        "SeIncreaseBasePriorityPrivilege",
                                        "SeIncreaseQuotaPrivilege",
                                        "SeIncreaseWorkingSetPrivilege",
                                        "SeLoadDriverPrivilege",
                                        "SeLockMemoryPrivilege",
                                        "SeMachineAccountPrivilege",
                                        "SeManageVolumePrivilege",
                                        "SeProfileSingleProcessPrivilege",
                                        "SeRelabelPrivilege",
                                        "SeRemoteShutdownPrivilege",
                                        "SeRestorePrivilege",
                                        "SeSecurityPrivilege",
                                        "SeShutdownPrivilege",
                                        "SeSyncAgentPrivilege",
                                        "SeSystemEnvironmentPrivilege",
                                        "SeSystemProfilePrivilege",
                                        "SeSystemtimePrivilege",
                                        "SeTakeOwnershipPrivilege",
                                        "SeTcbPrivilege",
                                        "SeTimeZonePrivilege",
                                        "SeTrustedCredManAccessPrivilege",
                                        "SeUndockPrivilege",
                                        "SeUnsolicitedInputPrivilege"};
    // LookupPrivilegeValue compares names without regard to case.
    for (const char* name : known)
        if (text::EqualsNoCaseUtf8(privilegeName, name)) return true;
    return false;
}

} // namespace cva::process
