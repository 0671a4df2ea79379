#include "vbscript/objects/WshScriptExec.h"

#include "platform/text/Unicode.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/TextStream.h"

namespace cva::vbs {

namespace {

enum : DispId {
    kStatus = 1,
    kExitCode,
    kProcessId,
    kStdIn,
    kStdOut,
    kStdErr,
    kTerminate,
};

constexpr MemberName kMembers[] = {
    {u"Status", kStatus}, {u"ExitCode", kExitCode}, {u"ProcessID", kProcessId},
    {u"StdIn", kStdIn},   {u"StdOut", kStdOut},     {u"StdErr", kStdErr},
    {u"Terminate", kTerminate},
};

} // namespace

DispId CWshScriptExec::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CWshScriptExec::Stream(size_t which, Variant& result)
{
    ObjectRef& stream = m_streams[which];
    if (!stream && which == 0) {
        std::shared_ptr<IScriptProcess> process = m_process;
        stream = CTextStream::ForWriting(
            [process](std::string_view bytes) { return process->WriteInput(bytes); },
            [process] { process->CloseInput(); });
    } else if (!stream) {
        std::string text;
        if (!m_process->ReadAll(which == 2, text))
            return InterruptedStatus();
        stream = CTextStream::ForReading(text::Utf8ToUtf16(text));
    }
    result = obj::FromObject(stream);
    return Status::Ok();
}

Status CWshScriptExec::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed() || (st = ExpectArgs(args, 0, 0)).Failed())
        return st;
    switch (id) {
    case kStatus: result = Variant(int32_t{m_process->HasExited() ? 1 : 0}); return Status::Ok();
    case kExitCode: result = Variant(m_process->ExitCode()); return Status::Ok();
    case kProcessId: result = Variant(m_process->ProcessId()); return Status::Ok();
    case kStdIn: return Stream(0, result);
    case kStdOut: return Stream(1, result);
    case kStdErr: return Stream(2, result);
    case kTerminate: m_process->Terminate(); return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
