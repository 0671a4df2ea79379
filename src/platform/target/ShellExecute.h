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

struct SShellExecuteRequest {
    std::string file;       // host path (Windows paths are resolved by the caller), URL,
                            // or a program name looked up in PATH
    std::string parameters; // one command line, split by the Windows quoting rules
    std::string directory;  // working folder of the new process; empty keeps ours
    std::string winePrefix; // set: Windows programs of this Wine prefix run through wine
};

// Starts a program, or opens a document, folder or URL with the desktop's handler,
// without waiting for it: the new process is detached (double fork), so no zombie is
// left behind whatever the caller does with SIGCHLD. Programs to run are injectable so
// that tests can stand in for xdg-open and wine.
class CShellExecute {
public:
    struct SLaunchers {
        std::string opener = "xdg-open";
        std::string wine = "wine";
    };

    CShellExecute() = default;
    explicit CShellExecute(SLaunchers launchers) : m_launchers(std::move(launchers)) {}

    // SE_SUCCESS, or the ShellExecute error code.
    int Execute(const SShellExecuteRequest& request) const;

    // The command Execute would run (argv[0] first) and the variables it would add to the
    // environment; returns SE_SUCCESS or the error code that Execute would give.
    int Plan(const SShellExecuteRequest& request, std::vector<std::string>& argv,
             std::vector<std::string>& environment) const;

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

} // namespace cva::target
