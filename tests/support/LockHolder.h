#pragma once

#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace cva::test {

// A process that holds the write lock on the first byte of a file the way a running
// wineserver holds its "lock" file, until this object goes.
class CLockHolder {
public:
    explicit CLockHolder(const std::string& lockFile) {
        int ready[2];
        if (pipe(ready) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            int fd = open(lockFile.c_str(), O_WRONLY);
            struct flock fl {};
            fl.l_type = F_WRLCK;
            fl.l_whence = SEEK_SET;
            fl.l_len = 1;
            fcntl(fd, F_SETLK, &fl);
            char c = 1;
            if (write(ready[1], &c, 1) != 1) _exit(1);
            pause();
            _exit(0);
        }
        char c;
        if (read(ready[0], &c, 1) != 1) m_pid = -1;
        close(ready[0]);
        close(ready[1]);
    }
    ~CLockHolder() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    CLockHolder(const CLockHolder&) = delete;
    CLockHolder& operator=(const CLockHolder&) = delete;
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

} // namespace cva::test
