#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptProcess.h"
#include "vbscript/Variant.h"

#include <array>
#include <memory>
#include <string>

namespace cva::vbs {

// What WScript.Shell.Exec returns: the started program's Status (0 running, 1 ended),
// ExitCode, ProcessID, Terminate, and its StdIn, StdOut and StdErr as TextStreams.
// Reading StdOut or StdErr waits until the program closes that stream.
class CWshScriptExec : public IObject {
public:
    explicit CWshScriptExec(std::unique_ptr<IScriptProcess> process)
        : m_process(std::move(process)) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IWshExec"; }

private:
    Status Stream(size_t which, Variant& result);

    std::shared_ptr<IScriptProcess> m_process;
    std::array<ObjectRef, 3> m_streams; // input, output, errors; made on first use
};

} // namespace cva::vbs
