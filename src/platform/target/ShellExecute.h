#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cva::target {

// Results of ShellExecute: above 32 is success, the rest are its error codes.
constexpr int SE_ERR_OUT_OF_RESOURCES = 0;
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_BAD_FORMAT = 11;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int SE_SUCCESS = 42;

// The programs that open things on the desktop and run Windows programs; tests stand
// in for them.
struct SLaunchers {
    std::string opener = "xdg-open";
    std::string wine = "wine";
};

// A command ready to start: the program's path with its arguments, the variables added
// to the environment, and the working folder (empty keeps ours).
struct SCommand {
    std::vector<std::string> m_argv;
    std::vector<std::string> m_environment;
    std::string m_directory;
};

struct SShellExecuteRequest {
    std::string file;       // host path, URL, or a program name looked up in PATH
    std::string parameters; // one command line, split by the Windows quoting rules
    std::string directory;  // working folder of the new process; empty keeps ours
};

// ShellExecute on the Linux host: starts a host program, or opens a document, folder or
// URL with the desktop's handler, without waiting for it. Only the program's own files
// go this way (the setup program it downloaded); what scripts ask to run goes through
// the target, which decides what running a program means there.
class CShellExecute {
public:
    CShellExecute() = default;
    explicit CShellExecute(SLaunchers launchers) : m_launchers(std::move(launchers)) {}

    // SE_SUCCESS, or the ShellExecute error code.
    int Execute(const SShellExecuteRequest& request) const;

    // The command Execute would run; SE_SUCCESS or the error code Execute would give.
    int Plan(const SShellExecuteRequest& request, SCommand& command) const;

private:
    SLaunchers m_launchers;
};

// Splits a Windows command line the way CommandLineToArgvW does: white space separates
// arguments outside double quotes, 2n backslashes before a quote give n backslashes and
// a quote toggles quoting, 2n+1 give n backslashes and a literal quote, "" inside quotes
// is a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The full path of a program found along PATH (or the name itself when it holds a
// slash and is executable); empty when there is none.
std::string FindProgram(std::string_view name);

// Whether text starts with a URL scheme ("https:", "mailto:"); "C:" is a drive.
bool IsUrl(std::string_view text);

// The extension of the last component, upper case, without the dot ("EXE").
std::string ExtensionOf(std::string_view path);

} // namespace cva::target
