#include "core/script/TargetScriptServices.h"

#include "core/app/UserPrompts.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <filesystem>

namespace cva::script {

using namespace cva::vbs;
using text::Utf16ToUtf8;
using text::Utf8ToUtf16;

namespace {

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The Windows error a failed ShellExecute stands for, as WScript.Shell.Run raises it.
Status RunFailure(int code) {
    switch (code) {
    case target::SE_ERR_FNF:
        return Status(static_cast<int32_t>(0x80070002u),
                      u"The system cannot find the file specified.");
    case target::SE_ERR_PNF:
        return Status(static_cast<int32_t>(0x80070003u),
                      u"The system cannot find the path specified.");
    case target::SE_ERR_ACCESSDENIED:
        return Status(static_cast<int32_t>(0x80070005u), u"Access is denied.");
    case target::SE_ERR_NOASSOC:
        return Status(static_cast<int32_t>(0x80070483u),
                      u"No application is associated with the specified file for this operation.");
    default:
        return Status(static_cast<int32_t>(0x80004005u), u"Unspecified error");
    }
}

// How a wait on a program gives way to the script's heartbeat: in short slices, each
// one a chance for the script to be stopped, which ends the wait and marks `stopped`.
target::KeepWaiting WaitingFor(IScriptServices& services, bool& stopped) {
    return [&services, &stopped] {
        if (services.WaitSlice(std::chrono::milliseconds(20))) return true;
        stopped = true;
        return false;
    };
}

// Splits a command line into the program and its parameters: a quoted first word keeps
// its blanks.
void SplitCommandLine(const std::string& line, std::string& file, std::string& parameters) {
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return;
    size_t end;
    if (line[start] == '"') {
        end = line.find('"', start + 1);
        file =
            line.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        end = end == std::string::npos ? line.size() : end + 1;
    } else {
        end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        file = line.substr(start, end - start);
    }
    size_t rest = line.find_first_not_of(' ', end);
    if (rest != std::string::npos) parameters = line.substr(rest);
}

// A program Exec started on the target, as the script engine sees it.
class CTargetProcess : public IScriptProcess {
public:
    CTargetProcess(std::unique_ptr<target::CChildProcess> process, IScriptServices& services)
        : m_process(std::move(process)), m_services(services) {}
    bool HasExited() override { return m_process->HasExited(); }
    int32_t ExitCode() override { return m_process->ExitCode(); }
    int32_t ProcessId() override { return m_process->ProcessId(); }
    void Terminate() override { m_process->Terminate(); }
    bool ReadAll(bool errors, std::string& text) override {
        bool stopped = false;
        text = m_process->ReadAll(errors ? target::CChildProcess::EStream::Errors
                                         : target::CChildProcess::EStream::Output,
                                  WaitingFor(m_services, stopped));
        return !stopped;
    }
    bool WriteInput(std::string_view bytes) override { return m_process->Write(bytes); }
    void CloseInput() override { m_process->CloseInput(); }

private:
    std::unique_ptr<target::CChildProcess> m_process;
    IScriptServices& m_services;
};

} // namespace

CTargetScriptServices::CTargetScriptServices(target::CTargetSystem& target,
                                             app::IUserPrompts* prompts)
    : m_target(target), m_prompts(prompts), m_currentDirectory(Utf8ToUtf16(target.WindowsFolder())),
      m_process(target.Environment()) {}

CTargetScriptServices::~CTargetScriptServices() = default;

app::IUserPrompts* CTargetScriptServices::Prompts() {
    if (m_promptsSource) return m_promptsSource();
    return m_prompts;
}

// --- Files ------------------------------------------------------------------------------

std::optional<std::string> CTargetScriptServices::MapPath(std::u16string_view windowsPath) {
    std::string path = Utf16ToUtf8(windowsPath);
    if (path.empty()) return std::nullopt;
    if (path[0] == '/') return m_target.ToHostPath(path);
    if (HasDrive(path) && (path.size() == 2 || path[2] == '\\' || path[2] == '/'))
        return m_target.Drives().ToHostPath(path);
    if (path.rfind("\\\\", 0) == 0) return std::nullopt;
    auto current = m_target.Drives().ToHostPath(Utf16ToUtf8(m_currentDirectory));
    if (!current) return std::nullopt;
    // "C:name" is relative to the current folder of drive C:, which is ours when the
    // current folder is on that drive.
    if (HasDrive(path)) {
        if (std::toupper(static_cast<unsigned char>(path[0])) !=
            std::toupper(static_cast<unsigned char>(m_currentDirectory[0])))
            return m_target.Drives().ToHostPath(path.substr(0, 2) + "\\" + path.substr(2));
        path = path.substr(2);
    }
    return m_target.Drives().ToHostPath(path, *current);
}

std::u16string CTargetScriptServices::WindowsPath(std::string_view hostPath) {
    if (auto windows = m_target.ToWindowsPath(hostPath)) return Utf8ToUtf16(*windows);
    return Utf8ToUtf16(hostPath);
}

bool CTargetScriptServices::IsHostPath(std::u16string_view path) {
    return m_target.Drives().HostPathsAllowed() && !path.empty() && path[0] == u'/';
}

void CTargetScriptServices::SetCurrentDirectory(std::u16string_view windowsPath) {
    auto host = MapPath(windowsPath);
    std::error_code ec;
    if (!host || !std::filesystem::is_directory(*host, ec)) return;
    m_currentDirectory = WindowsPath(*host);
}

std::optional<std::string> CTargetScriptServices::ReadShellFolder(reg::HKEY root,
                                                                  const char* valueName) {
    reg::CRegistry& registry = m_target.Registry();
    static const char* const kKeys[] = {
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    for (const char* subKey : kKeys) {
        reg::HKEY key = nullptr;
        if (registry.RegOpenKeyExA(root, subKey, 0, reg::KEY_QUERY_VALUE, &key) !=
            reg::ERROR_SUCCESS)
            continue;
        reg::DWORD type = 0, size = 0;
        std::string data;
        if (registry.RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) ==
            reg::ERROR_SUCCESS) {
            data.resize(size);
            registry.RegQueryValueExA(key, valueName, nullptr, &type,
                                      reinterpret_cast<reg::BYTE*>(data.data()), &size);
            data.resize(std::min<size_t>(size, data.find('\0')));
        }
        registry.RegCloseKey(key);
        if (!data.empty() && (type == reg::REG_SZ || type == reg::REG_EXPAND_SZ))
            return type == reg::REG_EXPAND_SZ ? target::ExpandEnvironmentStrings(data, m_process)
                                              : data;
    }
    return std::nullopt;
}

std::u16string CTargetScriptServices::SpecialFolder(std::u16string_view name) {
    struct SFolder {
        const char16_t* m_name;
        bool m_allUsers;
        const char* m_value;
    };
    static const SFolder kFolders[] = {
        {u"AllUsersDesktop", true, "Common Desktop"},
        {u"AllUsersStartMenu", true, "Common Start Menu"},
        {u"AllUsersPrograms", true, "Common Programs"},
        {u"AllUsersStartup", true, "Common Startup"},
        {u"Desktop", false, "Desktop"},
        {u"Favorites", false, "Favorites"},
        {u"Fonts", false, "Fonts"},
        {u"MyDocuments", false, "Personal"},
        {u"NetHood", false, "NetHood"},
        {u"PrintHood", false, "PrintHood"},
        {u"Programs", false, "Programs"},
        {u"Recent", false, "Recent"},
        {u"SendTo", false, "SendTo"},
        {u"StartMenu", false, "Start Menu"},
        {u"Startup", false, "Startup"},
        {u"Templates", false, "Templates"},
        {u"AppData", false, "AppData"},
    };
    for (const SFolder& folder : kFolders) {
        if (!text::EqualsNoCase(name, folder.m_name)) continue;
        reg::HKEY root = reg::HKEY_LOCAL_MACHINE;
        if (!folder.m_allUsers) {
            root = m_currentUserSource ? m_currentUserSource() : nullptr;
            if (!root) root = reg::HKEY_CURRENT_USER;
        }
        if (auto path = ReadShellFolder(root, folder.m_value)) return Utf8ToUtf16(*path);
        if (text::EqualsNoCase(name, u"Fonts"))
            return Utf8ToUtf16(m_target.WindowsFolder() + "\\Fonts");
        return {};
    }
    return {};
}

std::u16string CTargetScriptServices::SystemFolder(int32_t which) {
    switch (which) {
    case 0:
        return Utf8ToUtf16(m_target.WindowsFolder());
    case 1:
        return Utf8ToUtf16(m_target.SystemFolder());
    case 2: {
        for (const char* name : {"TMP", "TEMP"}) {
            if (auto value = m_process.Get(name); value && !value->empty())
                return Utf8ToUtf16(target::ExpandEnvironmentStrings(*value, m_process));
        }
        return Utf8ToUtf16(m_target.WindowsFolder() + "\\Temp");
    }
    default:
        return {};
    }
}

// --- Processes --------------------------------------------------------------------------

Status CTargetScriptServices::Run(std::u16string_view commandLine, int32_t, bool wait,
                                  int32_t& exitCode) {
    exitCode = 0;
    std::string file, parameters;
    SplitCommandLine(Utf16ToUtf8(ExpandEnvironmentStrings(commandLine)), file, parameters);
    int code = 0;
    bool stopped = false;
    int rc = m_target.ShellExecute(file, parameters, Utf16ToUtf8(m_currentDirectory),
                                   wait ? &code : nullptr, WaitingFor(*this, stopped));
    if (rc <= 32) return RunFailure(rc);
    if (stopped) return InterruptedStatus();
    exitCode = code;
    return Status::Ok();
}

Status CTargetScriptServices::Exec(std::u16string_view commandLine,
                                   std::unique_ptr<IScriptProcess>& process) {
    process.reset();
    std::string file, parameters;
    SplitCommandLine(Utf16ToUtf8(ExpandEnvironmentStrings(commandLine)), file, parameters);
    std::unique_ptr<target::CChildProcess> child;
    int rc = m_target.Exec(file, parameters, Utf16ToUtf8(m_currentDirectory), child);
    if (rc <= 32) return RunFailure(rc);
    process = std::make_unique<CTargetProcess>(std::move(child), *this);
    return Status::Ok();
}

// --- Prompts ----------------------------------------------------------------------------

int32_t CTargetScriptServices::MessageBox(std::u16string_view textIn, int32_t flags,
                                          std::u16string_view title, int32_t secondsToWait) {
    app::IUserPrompts* prompts = Prompts();
    if (!prompts) return IScriptServices::MessageBox(textIn, flags, title, secondsToWait);
    std::string caption = title.empty() ? std::string(app::kAppTitle) : Utf16ToUtf8(title);
    return prompts->MessageBox(Utf16ToUtf8(textIn), caption, static_cast<unsigned int>(flags));
}

std::optional<std::u16string> CTargetScriptServices::InputBox(std::u16string_view prompt,
                                                              std::u16string_view title,
                                                              std::u16string_view defaultText) {
    app::IUserPrompts* prompts = Prompts();
    if (!prompts) return IScriptServices::InputBox(prompt, title, defaultText);
    app::SInputBoxRequest request;
    request.m_caption = title.empty() ? std::string(app::kAppTitle) : Utf16ToUtf8(title);
    request.m_description = Utf16ToUtf8(prompt);
    request.m_text1 = Utf16ToUtf8(defaultText);
    request.m_allowEmpty1 = true;
    auto answer = prompts->InputBox(request);
    if (!answer) return std::nullopt;
    return Utf8ToUtf16(answer->m_text1);
}

} // namespace cva::script
