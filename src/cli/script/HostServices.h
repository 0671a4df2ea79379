#pragma once

#include "vbscript/ScriptServices.h"

namespace cva::cli {

// Services over the Linux machine alone, with no target: its own files, environment and
// processes. Windows paths map onto the host: "C:\dir\file" is "/dir/file", backslashes
// become slashes, and there is no registry. cvascript itself runs scripts against a
// target (script::CTargetScriptServices); these serve embedders that have none.
class CHostServices : public vbs::IScriptServices {
public:
    std::optional<std::string> MapPath(std::u16string_view windowsPath) override;
    std::u16string WindowsPath(std::string_view hostPath) override;
    std::u16string CurrentDirectory() override;
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
    vbs::Status RemoveEnvironmentVariable(std::u16string_view scope, std::u16string_view name) override;
    std::vector<std::u16string> EnvironmentStrings(std::u16string_view scope) override;
    std::u16string ComputerName() override;
    std::u16string UserName() override;

    vbs::Status Run(std::u16string_view commandLine, int32_t windowStyle, bool wait,
                    int32_t& exitCode) override;
    int32_t MessageBox(std::u16string_view text, int32_t flags, std::u16string_view title,
                       int32_t secondsToWait) override;
    std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;
};

} // namespace cva::cli
