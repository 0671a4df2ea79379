#include "vbscript/ScriptServices.h"

#include "platform/text/Unicode.h"

#include <thread>

namespace cva::vbs {

bool IScriptServices::WaitSlice(std::chrono::milliseconds slice)
{
    if (m_waiter)
        return m_waiter(slice);
    std::this_thread::sleep_for(slice);
    return true;
}

std::optional<std::string> IScriptServices::MapPath(std::u16string_view)
{
    return std::nullopt;
}
std::u16string IScriptServices::WindowsPath(std::string_view hostPath)
{
    return text::Utf8ToUtf16(hostPath);
}
bool IScriptServices::IsHostPath(std::u16string_view)
{
    return false;
}
std::u16string IScriptServices::CurrentDirectory()
{
    return u"C:\\";
}
void IScriptServices::SetCurrentDirectory(std::u16string_view) {}
std::u16string IScriptServices::SpecialFolder(std::u16string_view)
{
    return {};
}
std::u16string IScriptServices::SystemFolder(int32_t)
{
    return {};
}
Status IScriptServices::RegRead(std::u16string_view name, Variant& out)
{
    out.Clear();
    return Status(kErrInvalidCall, u"Unable to open registry key \"" + std::u16string(name) +
                                       u"\" for reading.");
}
Status IScriptServices::RegWrite(std::u16string_view, const Variant&, std::u16string_view)
{
    return Status(kErrPermissionDenied);
}
Status IScriptServices::RegDelete(std::u16string_view)
{
    return Status(kErrPermissionDenied);
}
std::u16string IScriptServices::ExpandEnvironmentStrings(std::u16string_view text)
{
    return std::u16string(text);
}
std::optional<std::u16string> IScriptServices::GetEnvironmentVariable(std::u16string_view,
                                                                      std::u16string_view)
{
    return std::nullopt;
}
Status IScriptServices::SetEnvironmentVariable(std::u16string_view, std::u16string_view,
                                               std::u16string_view)
{
    return Status(kErrPermissionDenied);
}
Status IScriptServices::RemoveEnvironmentVariable(std::u16string_view, std::u16string_view)
{
    return Status(kErrPermissionDenied);
}
std::vector<std::u16string> IScriptServices::EnvironmentStrings(std::u16string_view)
{
    return {};
}
std::u16string IScriptServices::ComputerName()
{
    return u"LOCALHOST";
}
std::u16string IScriptServices::UserName()
{
    return u"User";
}
std::u16string IScriptServices::UserDomain()
{
    return u"LOCALHOST";
}
Status IScriptServices::Run(std::u16string_view, int32_t, bool, int32_t& exitCode)
{
    exitCode = 0;
    return Status(kErrPermissionDenied);
}
Status IScriptServices::Exec(std::u16string_view, std::unique_ptr<IScriptProcess>& process)
{
    process.reset();
    return Status(kErrPermissionDenied);
}
int32_t IScriptServices::MessageBox(std::u16string_view, int32_t flags, std::u16string_view,
                                    int32_t)
{
    // The default button of each button set.
    switch (flags & 0xF) {
    case 0: return 1;  // OK
    case 1: return 1;  // OK
    case 2: return 3;  // Abort
    case 3: return 6;  // Yes
    case 4: return 6;  // Yes
    case 5: return 4;  // Retry
    default: return 1;
    }
}
std::optional<std::u16string> IScriptServices::InputBox(std::u16string_view, std::u16string_view,
                                                        std::u16string_view defaultText)
{
    return std::u16string(defaultText);
}

IScriptServices& NullServices()
{
    static IScriptServices services;
    return services;
}

Status IScriptServices::FileChanging(const std::string&, const std::string&)
{
    return Status::Ok();
}

} // namespace cva::vbs
