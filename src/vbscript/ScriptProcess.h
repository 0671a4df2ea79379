#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cva::vbs {

// A program that WScript.Shell.Exec started, as the embedder runs it: its state and
// its standard streams. Texts are the program's bytes, in the program's code page.
class IScriptProcess {
public:
    virtual ~IScriptProcess() = default;

    virtual bool HasExited() = 0;
    // The exit code once ended; 0 while running.
    virtual int32_t ExitCode() = 0;
    virtual int32_t ProcessId() = 0;
    virtual void Terminate() = 0;
    // Everything the program writes to its output (or, with errors, its error stream)
    // until it closes it. False when the wait for it was given up because the script
    // was stopped; `text` then holds what came so far.
    virtual bool ReadAll(bool errors, std::string& text) = 0;
    // False when the program no longer reads its input.
    virtual bool WriteInput(std::string_view bytes) = 0;
    virtual void CloseInput() = 0;
};

} // namespace cva::vbs
