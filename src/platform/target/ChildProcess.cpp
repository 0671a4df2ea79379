#include "platform/target/ChildProcess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace cva::target {

namespace {

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

[[noreturn]] void ReportAndExit(int fd, int chdirFailed, int error) {
    SChildFailure failure{chdirFailed, error};
    ssize_t ignored = ::write(fd, &failure, sizeof failure);
    (void)ignored;
    ::_exit(127);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Everything the child needs, built before fork: after it only async-signal-safe calls
// are allowed, and the caller may have other threads.
class CPreparedCommand {
public:
    explicit CPreparedCommand(const SCommand& command) {
        for (const std::string& a : command.m_argv)
            m_argv.push_back(const_cast<char*>(a.c_str()));
        m_argv.push_back(nullptr);
        for (char** e = environ; e && *e; ++e) {
            std::string_view entry(*e);
            bool replaced = false;
            for (const std::string& extra : command.m_environment) {
                size_t eq = extra.find('=');
                if (eq != std::string::npos &&
                    entry.substr(0, eq + 1) == std::string_view(extra).substr(0, eq + 1))
                    replaced = true;
            }
            if (!replaced) m_envStore.emplace_back(entry);
        }
        m_envStore.insert(m_envStore.end(), command.m_environment.begin(),
                          command.m_environment.end());
        for (const std::string& e : m_envStore)
            m_envp.push_back(const_cast<char*>(e.c_str()));
        m_envp.push_back(nullptr);
        m_directory = command.m_directory.empty() ? nullptr : command.m_directory.c_str();
    }

    // Runs in the child: the streams in place, the folder entered, the program
    // executed; a failure goes to `report` and ends the child.
    [[noreturn]] void Exec(const std::array<int, 3>& streams, int report) const {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int fd = 0; fd < 3; ++fd) {
            // dup2 clears close-on-exec on the copy; a stream already in place keeps it.
            if (streams[fd] != fd)
                ::dup2(streams[fd], fd);
            else
                ::fcntl(fd, F_SETFD, 0);
        }
        if (m_directory && ::chdir(m_directory) != 0) ReportAndExit(report, 1, errno);
        ::execve(m_argv[0], m_argv.data(), m_envp.data());
        ReportAndExit(report, 0, errno);
    }

private:
    std::vector<char*> m_argv;
    std::vector<std::string> m_envStore;
    std::vector<char*> m_envp;
    const char* m_directory = nullptr;
};

// Forks and executes the command with the given standard streams. Detached, the child
// forks once more and its parent is reaped here, so `pid` is not ours to wait for.
// Returns SE_SUCCESS once the program runs (the report pipe closes on exec).
int Spawn(const SCommand& command, const std::array<int, 3>& streams, bool detach, pid_t& pid) {
    if (command.m_argv.empty()) return SE_ERR_FNF;
    CPreparedCommand prepared(command);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return SE_ERR_OUT_OF_RESOURCES;
    pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return SE_ERR_OUT_OF_RESOURCES;
    }
    if (pid == 0) {
        ::close(report[0]);
        if (detach) {
            pid_t grandChild = ::fork();
            if (grandChild < 0) ReportAndExit(report[1], 0, errno);
            if (grandChild > 0) ::_exit(0);
        }
        ::setsid();
        prepared.Exec(streams, report[1]);
    }
    ::close(report[1]);
    SChildFailure failure{};
    ssize_t got;
    do {
        got = ::read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (detach || got != 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (got == 0) return SE_SUCCESS;
    if (got != static_cast<ssize_t>(sizeof failure)) return SE_ERR_OUT_OF_RESOURCES;
    return failure.chdirFailed ? SE_ERR_PNF : MapErrno(failure.error);
}

// Somebody must wait for a child we no longer wait for, or it stays a zombie for as
// long as we run.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

int ExitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `work` with the standard streams on /dev/null.
template <class Work> int WithNullStreams(Work work) {
    int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) return SE_ERR_OUT_OF_RESOURCES;
    int result = work(std::array<int, 3>{devNull, devNull, devNull});
    ::close(devNull);
    return result;
}

} // namespace

int StartDetached(const SCommand& command) {
    return WithNullStreams([&](const std::array<int, 3>& streams) {
        pid_t pid = -1;
        return Spawn(command, streams, true, pid);
    });
}

int RunAndWait(const SCommand& command, int& exitCode, const KeepWaiting& keepWaiting) {
    exitCode = 0;
    return WithNullStreams([&](const std::array<int, 3>& streams) {
        pid_t pid = -1;
        int started = Spawn(command, streams, false, pid);
        if (started != SE_SUCCESS) return started;
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(pid, &status, keepWaiting ? WNOHANG : 0);
            if (done == pid) break;
            if (done < 0 && errno != EINTR) return SE_ERR_OUT_OF_RESOURCES;
            if (done == 0 && !keepWaiting()) {
                // Left running, a Wine program would keep its server and with it the
                // prefix's registry, which the script may have written before it stopped.
                ::kill(-pid, SIGKILL);
                ReapLater(pid);
                exitCode = -1;
                return SE_SUCCESS;
            }
        }
        exitCode = ExitStatus(status);
        return SE_SUCCESS;
    });
}

int CChildProcess::Start(const SCommand& command, std::unique_ptr<CChildProcess>& process) {
    process.reset();
    int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
    auto closeAll = [&] {
        for (auto& pair : pipes) {
            CloseFd(pair[0]);
            CloseFd(pair[1]);
        }
    };
    for (auto& pair : pipes) {
        if (::pipe2(pair, O_CLOEXEC) != 0) {
            closeAll();
            return SE_ERR_OUT_OF_RESOURCES;
        }
    }
    std::unique_ptr<CChildProcess> child(new CChildProcess());
    int started = Spawn(command, {pipes[0][0], pipes[1][1], pipes[2][1]}, false, child->m_pid);
    if (started != SE_SUCCESS) {
        closeAll();
        return started;
    }
    child->m_input = pipes[0][1];
    child->m_output = pipes[1][0];
    child->m_errors = pipes[2][0];
    pipes[0][1] = pipes[1][0] = pipes[2][0] = -1;
    closeAll();
    process = std::move(child);
    return SE_SUCCESS;
}

CChildProcess::~CChildProcess() {
    CloseFd(m_input);
    CloseFd(m_output);
    CloseFd(m_errors);
    Reap();
    if (!m_exited) ReapLater(m_pid);
}

void CChildProcess::Reap() {
    if (m_exited) return;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(m_pid, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == m_pid) {
        m_exited = true;
        m_exitCode = ExitStatus(status);
    } else if (done < 0) {
        m_exited = true; // not ours any more: nothing to wait for
    }
}

void CChildProcess::Pump(const int* until, const KeepWaiting& keepWaiting) {
    while (m_output >= 0 || m_errors >= 0) {
        pollfd fds[2] = {{m_output, POLLIN, 0}, {m_errors, POLLIN, 0}};
        int ready = ::poll(fds, 2, until && !keepWaiting ? -1 : 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0 && until && keepWaiting) {
            if (!keepWaiting()) return;
            continue;
        }
        if (ready <= 0) return;
        int* streams[2] = {&m_output, &m_errors};
        std::string* texts[2] = {&m_outputText, &m_errorText};
        for (int i = 0; i < 2; ++i) {
            if (*streams[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[4096];
            ssize_t n = ::read(*streams[i], buffer, sizeof buffer);
            if (n > 0)
                texts[i]->append(buffer, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                CloseFd(*streams[i]);
        }
        if (until && *until < 0) return;
    }
}

bool CChildProcess::HasExited() {
    Pump(nullptr);
    Reap();
    return m_exited;
}

int CChildProcess::ExitCode() {
    Reap();
    return m_exited ? m_exitCode : 0;
}

void CChildProcess::Terminate() {
    Reap();
    if (!m_exited) ::kill(-m_pid, SIGKILL);
}

std::string CChildProcess::ReadAll(EStream stream, const KeepWaiting& keepWaiting) {
    const bool output = stream == EStream::Output;
    Pump(output ? &m_output : &m_errors, keepWaiting);
    std::string text;
    text.swap(output ? m_outputText : m_errorText);
    return text;
}

bool CChildProcess::Write(std::string_view bytes) {
    if (m_input < 0) return false;
    // A program that stopped reading must not take us down with SIGPIPE.
    sigset_t pipeSignal, old;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &old);
    bool ok = true;
    while (!bytes.empty()) {
        ssize_t n = ::write(m_input, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            if (errno == EPIPE) {
                timespec none{};
                ::sigtimedwait(&pipeSignal, nullptr, &none);
            }
            break;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return ok;
}

void CChildProcess::CloseInput() {
    CloseFd(m_input);
}

} // namespace cva::target
