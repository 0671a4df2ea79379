#include "platform/target/ShellExecute.h"

#include "platform/text/Unicode.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace cva::target {

namespace {

bool IsUrl(std::string_view file) {
    size_t colon = file.find(':');
    // Two letters at least, so that "C:" never passes for a scheme.
    if (colon == std::string_view::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        char c = file[i];
        bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool ok = alpha || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

std::string Extension(std::string_view file) {
    size_t slash = file.rfind('/');
    size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return text::ToUpperUtf8(file.substr(dot + 1));
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The new process may start in another folder, so a relative path must not stay one.
std::string Absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

int MapErrno(int error) {
    switch (error) {
    case ENOENT:
        return SE_ERR_FNF;
    case ENOTDIR:
        return SE_ERR_PNF;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOEXEC:
        return SE_ERR_BAD_FORMAT;
    case ENOMEM:
        return SE_ERR_OOM;
    default:
        return SE_ERR_OUT_OF_RESOURCES;
    }
}

struct SChildFailure {
    int chdirFailed;
    int error;
};

void ReportAndExit(int fd, int chdirFailed, int error) {
    SChildFailure failure{chdirFailed, error};
    ssize_t ignored = ::write(fd, &failure, sizeof failure);
    (void)ignored;
    ::_exit(127);
}

int Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
          const std::string& directory) {
    // Everything the children need is built here: after fork only async-signal-safe
    // calls are allowed, and the caller may have other threads.
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        bool replaced = false;
        for (const std::string& extra : extraEnv) {
            size_t eq = extra.find('=');
            if (eq != std::string::npos &&
                entry.substr(0, eq + 1) == std::string_view(extra).substr(0, eq + 1))
                replaced = true;
        }
        if (!replaced) envStore.emplace_back(entry);
    }
    envStore.insert(envStore.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (const std::string& e : envStore)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const char* dir = directory.empty() ? nullptr : directory.c_str();

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return SE_ERR_OUT_OF_RESOURCES;
    pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return SE_ERR_OUT_OF_RESOURCES;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        pid_t grandChild = ::fork();
        if (grandChild < 0) ReportAndExit(pipeFds[1], 0, errno);
        if (grandChild > 0) ::_exit(0);
        ::setsid();
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDIN_FILENO);
            if (devNull != STDIN_FILENO) ::close(devNull);
        }
        if (dir && ::chdir(dir) != 0) ReportAndExit(pipeFds[1], 1, errno);
        ::execve(argv[0], argv.data(), envp.data());
        ReportAndExit(pipeFds[1], 0, errno);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec (close-on-exec) or carries the failure.
    SChildFailure failure{};
    ssize_t got;
    do {
        got = ::read(pipeFds[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    if (got == 0) return SE_SUCCESS;
    if (got != static_cast<ssize_t>(sizeof failure)) return SE_ERR_OUT_OF_RESOURCES;
    return failure.chdirFailed ? SE_ERR_PNF : MapErrno(failure.error);
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                size_t count = 0;
                while (i < line.size() && line[i] == '\\')
                    ++count, ++i;
                if (i < line.size() && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string FindProgram(std::string_view name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string_view::npos)
        return IsExecutableFile(std::string(name)) ? std::string(name) : std::string();
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        std::string candidate =
            (dir.empty() ? std::string(".") : std::string(dir)) + "/" + std::string(name);
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return {};
        dirs.remove_prefix(colon + 1);
    }
}

int CShellExecute::Plan(const SShellExecuteRequest& request, std::vector<std::string>& argv,
                        std::vector<std::string>& environment) const {
    argv.clear();
    environment.clear();
    const std::string& file = request.file;
    if (file.empty()) return SE_ERR_FNF;
    std::vector<std::string> params = SplitCommandLine(request.parameters);
    const bool wine = !request.winePrefix.empty();
    const std::string ext = Extension(file);
    const bool windowsProgram = ext == "EXE" || ext == "COM";
    const bool windowsDocument = ext == "BAT" || ext == "CMD" || ext == "MSI" || ext == "LNK";

    auto useOpener = [&](const std::string& target) {
        std::string opener = FindProgram(m_launchers.opener);
        if (opener.empty()) return SE_ERR_NOASSOC;
        argv = {opener, target};
        return SE_SUCCESS;
    };
    auto useWine = [&](std::vector<std::string> head) {
        std::string program = FindProgram(m_launchers.wine);
        if (program.empty()) return SE_ERR_NOASSOC;
        argv = {program};
        argv.insert(argv.end(), head.begin(), head.end());
        argv.insert(argv.end(), params.begin(), params.end());
        environment.push_back("WINEPREFIX=" + request.winePrefix);
        return SE_SUCCESS;
    };

    if (IsUrl(file)) return useOpener(file);

    struct stat st {};
    if (file.find('/') == std::string::npos && ::stat(file.c_str(), &st) != 0) {
        // A bare name: a program along PATH, or one of the prefix's own (notepad.exe).
        if (wine && windowsProgram) return useWine({file});
        std::string program = FindProgram(file);
        if (program.empty()) return SE_ERR_FNF;
        argv = {program};
        argv.insert(argv.end(), params.begin(), params.end());
        return SE_SUCCESS;
    }
    const std::string path = Absolute(file);
    if (::stat(path.c_str(), &st) != 0) {
        struct stat parent {};
        return ::stat(Parent(path).c_str(), &parent) == 0 && S_ISDIR(parent.st_mode) ? SE_ERR_FNF
                                                                                     : SE_ERR_PNF;
    }
    if (S_ISDIR(st.st_mode)) return useOpener(path);
    if (wine && windowsProgram) return useWine({path});
    if (wine && windowsDocument) return useWine({"start", "/unix", path});
    if (S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0) {
        argv = {path};
        argv.insert(argv.end(), params.begin(), params.end());
        return SE_SUCCESS;
    }
    return useOpener(path);
}

int CShellExecute::Execute(const SShellExecuteRequest& request) const {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    int planned = Plan(request, argv, environment);
    if (planned != SE_SUCCESS) return planned;
    if (!request.directory.empty()) {
        struct stat st {};
        if (::stat(request.directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return SE_ERR_PNF;
    }
    return Spawn(argv, environment, request.directory);
}

} // namespace cva::target
