#pragma once

#include "platform/registry/RegTypes.h"
#include "platform/target/Environment.h"
#include "vbscript/ScriptServices.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::app {
class IUserPrompts;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::script {

// What the engine's built-in objects (FileSystemObject, WScript.Shell) and MsgBox /
// InputBox reach when a script runs against a target: the target's drives, registry,
// environment and shell, and the user's prompts. A script sees the target as the
// Windows system it runs on; what of the host lies beyond the target's drives is for the
// target's drive map to allow or refuse, and what running a program means is the
// target's to decide.
class CTargetScriptServices : public vbs::IScriptServices {
public:
    // Without prompts, message boxes answer with their default button and input boxes
    // are cancelled.
    explicit CTargetScriptServices(target::CTargetSystem& target,
                                   app::IUserPrompts* prompts = nullptr);
    ~CTargetScriptServices() override;

    // The prompts asked anew at every call (the host's owner changes while a plugin is
    // open); null answers like no prompts.
    void SetPromptsSource(std::function<app::IUserPrompts*()> source) {
        m_promptsSource = std::move(source);
    }
    // The key HKCU stands for, asked at every registry call: another user's mounted hive
    // while their profile is selected, null for the target's current user.
    void SetCurrentUserSource(std::function<reg::HKEY()> source) {
        m_currentUserSource = std::move(source);
    }
    // Asked before the FileSystemObject changes the disk (see FileChanging); none: allowed.
    using FileChangeHandler = std::function<vbs::Status(const std::string& hostPath, const std::string& movedTo)>;
    void SetFileChangeHandler(FileChangeHandler handler) { m_fileChangeHandler = std::move(handler); }
    vbs::Status FileChanging(const std::string& hostPath, const std::string& movedTo) override {
        return m_fileChangeHandler ? m_fileChangeHandler(hostPath, movedTo) : vbs::Status::Ok();
    }
    std::optional<std::string> MapPath(std::u16string_view windowsPath) override;
    std::u16string WindowsPath(std::string_view hostPath) override;
    bool IsHostPath(std::u16string_view path) override;
    std::u16string CurrentDirectory() override { return m_currentDirectory; }
    void SetCurrentDirectory(std::u16string_view windowsPath) override;
    std::u16string SpecialFolder(std::u16string_view name) override;
    std::u16string SystemFolder(int32_t which) override;

    vbs::Status RegRead(std::u16string_view name, vbs::Variant& out) override;
    vbs::Status RegWrite(std::u16string_view name, const vbs::Variant& value,
                         std::u16string_view type) override;
    vbs::Status RegDelete(std::u16string_view name) override;

    std::u16string ExpandEnvironmentStrings(std::u16string_view text) override;
    std::optional<std::u16string> GetEnvironmentVariable(std::u16string_view scope,
                                                         std::u16string_view name) override;
    vbs::Status SetEnvironmentVariable(std::u16string_view scope, std::u16string_view name,
                                       std::u16string_view value) override;
    vbs::Status RemoveEnvironmentVariable(std::u16string_view scope,
                                          std::u16string_view name) override;
    std::vector<std::u16string> EnvironmentStrings(std::u16string_view scope) override;
    std::u16string ComputerName() override;
    std::u16string UserName() override;
    std::u16string UserDomain() override;

    vbs::Status Run(std::u16string_view commandLine, int32_t windowStyle, bool wait,
                    int32_t& exitCode) override;
    vbs::Status Exec(std::u16string_view commandLine,
                     std::unique_ptr<vbs::IScriptProcess>& process) override;

    int32_t MessageBox(std::u16string_view text, int32_t flags, std::u16string_view title,
                       int32_t secondsToWait) override;
    std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;

private:
    // A parsed WScript.Shell registry name.
    struct SShellName {
        reg::HKEY m_root = nullptr;
        std::string m_keyPath;
        std::string m_valueName;
        bool m_isKey = false; // the name ends with a backslash
    };
    bool ParseShellName(std::u16string_view name, SShellName& out);
    app::IUserPrompts* Prompts();
    // The registry key of a persistent environment scope; empty for the others.
    bool ScopeKey(std::u16string_view scope, reg::HKEY& root, const char*& subKey);
    std::optional<std::string> ReadShellFolder(reg::HKEY root, const char* valueName);

    target::CTargetSystem& m_target;
    app::IUserPrompts* m_prompts;
    std::function<app::IUserPrompts*()> m_promptsSource;
    std::function<reg::HKEY()> m_currentUserSource;
    FileChangeHandler m_fileChangeHandler;
    std::u16string m_currentDirectory;
    // The process environment of the script: the target's, changed only for this run.
    target::CEnvironment m_process;
};

} // namespace cva::script
