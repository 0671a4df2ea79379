#include "vbscript/objects/WshShell.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/WshEnvironment.h"
#include "vbscript/objects/WshScriptExec.h"
#include "vbscript/objects/WshSpecialFolders.h"

namespace cva::vbs {

namespace {

enum : DispId {
    kRegRead = 1,
    kRegWrite,
    kRegDelete,
    kExpandEnvironmentStrings,
    kEnvironment,
    kSpecialFolders,
    kCurrentDirectory,
    kRun,
    kPopup,
    kExec,
};

constexpr MemberName kMembers[] = {
    {u"RegRead", kRegRead}, {u"RegWrite", kRegWrite}, {u"RegDelete", kRegDelete},
    {u"ExpandEnvironmentStrings", kExpandEnvironmentStrings}, {u"Environment", kEnvironment},
    {u"SpecialFolders", kSpecialFolders}, {u"CurrentDirectory", kCurrentDirectory},
    {u"Run", kRun}, {u"Popup", kPopup}, {u"Exec", kExec},
};

// Environment scopes as the services expect them; nothing when the name is unknown.
std::u16string_view Scope(std::u16string_view name)
{
    static constexpr const char16_t* kScopes[] = {u"System", u"User", u"Process", u"Volatile"};
    for (const char16_t* s : kScopes)
        if (text::EqualsNoCase(name, s))
            return s;
    return {};
}

} // namespace

Status ShellRegistryError(ShellRegistryFailure failure, std::u16string_view name)
{
    std::u16string quoted = u"\"" + std::u16string(name) + u"\"";
    switch (failure) {
    case ShellRegistryFailure::Read:
        return Status(static_cast<int32_t>(0x80070002u),
                      u"Unable to open registry key " + quoted + u" for reading.");
    case ShellRegistryFailure::InvalidRoot:
        return Status(static_cast<int32_t>(0x80070003u), u"Invalid root in registry key " + quoted + u".");
    case ShellRegistryFailure::Write:
        return Status(static_cast<int32_t>(0x80070005u), u"Unable to save registry key " + quoted + u".");
    case ShellRegistryFailure::Delete:
        return Status(static_cast<int32_t>(0x80070002u), u"Unable to remove registry key " + quoted + u".");
    }
    return Status(kErrInvalidCall);
}

DispId CWshShell::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CWshShell::RegWrite(std::span<Variant> args)
{
    std::u16string name;
    std::u16string type = u"REG_SZ";
    Status st = ExpectArgs(args, 2, 3);
    if (st.Failed() || (st = obj::ArgText(args, 0, name)).Failed())
        return st;
    if (!obj::IsMissing(args, 2) && (st = obj::ArgText(args, 2, type)).Failed())
        return st;
    type = text::ToUpper(type);
    Variant value;
    if ((st = GetValue(args[1], value)).Failed())
        return st;
    if (type == u"REG_SZ" || type == u"REG_EXPAND_SZ") {
        VString s;
        if ((st = ToString(value, s)).Failed())
            return st;
        value = Variant(std::move(s));
    } else if (type == u"REG_DWORD" || (type == u"REG_BINARY" && !value.IsArray())) {
        // A binary value is written from a number, as WScript.Shell has always done; an
        // array of bytes is passed on as it is.
        int32_t n = 0;
        if ((st = ToLong(value, n)).Failed())
            return st;
        value = Variant(n);
    } else if (type != u"REG_BINARY") {
        return Status(kErrTypeMismatch);
    }
    return m_services->RegWrite(name, value, type);
}

Status CWshShell::Popup(std::span<Variant> args, Variant& result)
{
    std::u16string text;
    std::u16string title = u"Windows Script Host";
    int32_t seconds = 0;
    int32_t flags = 0;
    Status st = ExpectArgs(args, 1, 4);
    if (st.Failed() || (st = obj::ArgText(args, 0, text)).Failed() ||
        (st = obj::ArgLong(args, 1, 0, seconds)).Failed() ||
        (st = obj::ArgLong(args, 3, 0, flags)).Failed())
        return st;
    if (!obj::IsMissing(args, 2) && (st = obj::ArgText(args, 2, title)).Failed())
        return st;
    result = Variant(m_services->MessageBox(text, flags, title, seconds));
    return Status::Ok();
}

Status CWshShell::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st;
    std::u16string text;
    if (id == kCurrentDirectory) {
        if (IsAssignment(kind)) {
            if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
                return st;
            m_services->SetCurrentDirectory(text);
            return Status::Ok();
        }
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(std::u16string_view(m_services->CurrentDirectory()));
        return Status::Ok();
    }
    if ((st = obj::ReadOnly(kind)).Failed())
        return st;
    switch (id) {
    case kRegRead:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        return m_services->RegRead(text, result);
    case kRegWrite: return RegWrite(args);
    case kRegDelete:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        return m_services->RegDelete(text);
    case kExpandEnvironmentStrings:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed())
            return st;
        result = Variant(std::u16string_view(m_services->ExpandEnvironmentStrings(text)));
        return Status::Ok();
    case kEnvironment: {
        text = u"System"; // what Windows NT gives when no scope is named
        if ((st = ExpectArgs(args, 0, 1)).Failed() ||
            (!obj::IsMissing(args, 0) && (st = obj::ArgText(args, 0, text)).Failed()))
            return st;
        std::u16string_view scope = Scope(text);
        if (scope.empty())
            return Status(kErrInvalidCall);
        result = obj::FromObject(MakeObject<CWshEnvironment>(*m_services, std::u16string(scope)));
        return Status::Ok();
    }
    case kSpecialFolders:
        // `sh.SpecialFolders("Desktop")` reaches here with the argument: answer it at
        // once rather than hand out the collection.
        if ((st = ExpectArgs(args, 0, 1)).Failed())
            return st;
        if (!args.empty())
            return CWshSpecialFolders::Lookup(*m_services, args[0], result);
        result = obj::FromObject(MakeObject<CWshSpecialFolders>(*m_services));
        return Status::Ok();
    case kRun: {
        int32_t style = 1;
        bool wait = false;
        int32_t exitCode = 0;
        if ((st = ExpectArgs(args, 1, 3)).Failed() || (st = obj::ArgText(args, 0, text)).Failed() ||
            (st = obj::ArgLong(args, 1, 1, style)).Failed() ||
            (st = obj::ArgBool(args, 2, false, wait)).Failed())
            return st;
        if ((st = m_services->Run(text, style, wait, exitCode)).Failed())
            return st;
        result = Variant(wait ? exitCode : 0);
        return Status::Ok();
    }
    case kPopup: return Popup(args, result);
    case kExec: {
        std::unique_ptr<IScriptProcess> process;
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, text)).Failed() ||
            (st = m_services->Exec(text, process)).Failed())
            return st;
        if (!process)
            return Status(kErrPermissionDenied);
        result = obj::FromObject(MakeObject<CWshScriptExec>(std::move(process)));
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs
