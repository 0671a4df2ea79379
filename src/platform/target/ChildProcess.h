#pragma once

#include "platform/target/ShellExecute.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace cva::target {

// Starts a command without waiting for it: the new process is detached (double fork,
// a session of its own), so no zombie is left whatever the caller does with SIGCHLD.
// Its standard streams are /dev/null: like a program the Windows shell starts, it gets
// no share of our console. SE_SUCCESS or the ShellExecute error code.
int StartDetached(const SCommand& command);

// Asked again and again while a program is waited for; it may wait a little itself
// (the caller's slice of time) and answers false to give the wait up.
using KeepWaiting = std::function<bool()>;

// Starts a command and waits for it to end; exitCode gets its exit status (-1 when a
// signal ended it). SE_SUCCESS or the ShellExecute error code. With `keepWaiting` the
// wait can be given up: the program and what it started are then ended, and exitCode
// is -1.
int RunAndWait(const SCommand& command, int& exitCode, const KeepWaiting& keepWaiting = {});

// A started program whose standard streams are pipes to us, as WScript.Shell.Exec
// gives it. Reading one stream keeps draining the other, so a program that fills its
// error stream while we wait for its output cannot stall.
class CChildProcess {
public:
    enum class EStream { Output, Errors };

    // SE_SUCCESS with the process, or the ShellExecute error code.
    static int Start(const SCommand& command, std::unique_ptr<CChildProcess>& process);

    // Closes our ends of the pipes; a program still running is left to end on its own.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    int ProcessId() const { return static_cast<int>(m_pid); }
    bool HasExited();
    // The exit status once ended; 0 while running.
    int ExitCode();
    void Terminate();

    // Everything the program writes to the stream until it closes it; what was read
    // before is not given again. With `keepWaiting`, what came so far once it gives up.
    std::string ReadAll(EStream stream, const KeepWaiting& keepWaiting = {});
    // Writes to the program's input; false when it no longer reads it.
    bool Write(std::string_view bytes);
    void CloseInput();

private:
    CChildProcess() = default;
    // Moves what the pipes hold into the buffers; with `until`, blocks until that
    // stream is closed or `keepWaiting` gives up.
    void Pump(const int* until, const KeepWaiting& keepWaiting = {});
    // Notes the exit once the program has ended; never waits.
    void Reap();

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    int m_errors = -1;
    std::string m_outputText;
    std::string m_errorText;
    bool m_exited = false;
    int m_exitCode = 0;
};

} // namespace cva::target
