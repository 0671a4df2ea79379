#pragma once

#include "support/TempDir.h"

#include <string>

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

} // namespace cva::test
