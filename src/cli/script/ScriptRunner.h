#pragma once

#include "cli/script/WScriptObject.h"
#include "vbscript/ScriptServices.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::cli {

// Script file bytes to text: UTF-16 with a byte-order mark, UTF-8 (with or without a
// mark), anything else as Windows-1252.
std::u16string DecodeScriptText(std::string_view bytes);

// Runs script text with a WScript object whose output goes to `output`. A script
// error is written to output.err as "FILE(LINE, COL) SOURCE: DESCRIPTION" and gives 1;
// otherwise the result is 0 or the code passed to WScript.Quit. A script still running
// after `timeout` (zero: no limit) is stopped like any interrupted one, with a line on
// output.err that says why.
int RunScriptText(const std::string& scriptPath, std::u16string_view text,
                  const std::vector<std::string>& arguments, const ScriptOutput& output,
                  vbs::IScriptServices* services,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds::zero());

// A --timeout value in seconds ("2", "0.5"; 0 is no limit); nullopt for anything else.
std::optional<std::chrono::milliseconds> ParseTimeout(std::string_view text);

} // namespace cva::cli
