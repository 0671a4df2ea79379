#pragma once

#include "support/TempDir.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace cva::test {

// A word quoted for /bin/sh.
inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The start of a command line running `program` with its settings and data under `dir`,
// so that a test never reads or writes the user's own.
inline std::string IsolatedCommand(const CTempDir& dir, const std::string& program) {
    return "XDG_CONFIG_HOME=" + ShellQuote(dir.File("config")) + " XDG_DATA_HOME=" + ShellQuote(dir.File("data")) +
           " " + ShellQuote(program);
}

// What a command left: its exit status (-1 when a signal ended it) and its two streams.
struct SCommandResult {
    int m_status = -1;
    std::string m_out;
    std::string m_err;
};

// Runs a /bin/sh command line with its input from the file `input`, its streams caught
// in files named after `scratch`, which are removed afterwards.
inline SCommandResult RunShell(const std::string& command, const std::string& scratch,
                               const std::string& input = "/dev/null") {
    const std::string out = scratch + ".out", err = scratch + ".err";
    const int status = std::system(
        ("(" + command + ") <" + ShellQuote(input) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err)).c_str());
    SCommandResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

} // namespace cva::test
