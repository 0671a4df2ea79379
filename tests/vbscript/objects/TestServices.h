#pragma once

#include "vbscript/ScriptServices.h"

#include <filesystem>
#include <map>
#include <string>

namespace cva::vbs::test {

// Services over a temporary folder standing for drive C:, with an in-memory registry
// and environment. Paths resolve without regard to case, like the program's target.
class CTestServices : public IScriptServices {
public:
    CTestServices();
    ~CTestServices() override;

    const std::filesystem::path& DriveC() const { return m_root; }
    // Writes a host file below drive C: ("sub/x.txt"), creating its folders.
    void MakeFile(const std::string& relative, const std::string& bytes);
    std::string ReadBytes(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

    std::optional<std::string> MapPath(std::u16string_view windowsPath) override;
    std::u16string CurrentDirectory() override { return m_current; }
    void SetCurrentDirectory(std::u16string_view path) override { m_current = path; }
    std::u16string SystemFolder(int32_t which) override;
    std::u16string SpecialFolder(std::u16string_view name) override;

    Status RegRead(std::u16string_view name, Variant& out) override;
    Status RegWrite(std::u16string_view name, const Variant& value, std::u16string_view type) override;
    Status RegDelete(std::u16string_view name) override;

    std::u16string ExpandEnvironmentStrings(std::u16string_view text) override;
    std::optional<std::u16string> GetEnvironmentVariable(std::u16string_view scope,
                                                         std::u16string_view name) override;
    Status SetEnvironmentVariable(std::u16string_view scope, std::u16string_view name,
                                  std::u16string_view value) override;
    Status RemoveEnvironmentVariable(std::u16string_view scope, std::u16string_view name) override;
    std::vector<std::u16string> EnvironmentStrings(std::u16string_view scope) override;

    Status Run(std::u16string_view commandLine, int32_t windowStyle, bool wait,
               int32_t& exitCode) override;
    // A program that has written "out" and ends with 5 once its input is closed.
    Status Exec(std::u16string_view commandLine, std::unique_ptr<IScriptProcess>& process) override;
    int32_t MessageBox(std::u16string_view text, int32_t flags, std::u16string_view title,
                       int32_t secondsToWait) override;

    // What the registry stub holds: upper-cased full value name -> (type, value).
    std::map<std::u16string, std::pair<std::u16string, Variant>> registry;
    std::u16string lastRun;
    std::string execInput; // what the script wrote to that program
    std::u16string lastPrompt;

private:
    std::filesystem::path m_root;
    std::u16string m_current = u"C:\\work";
    std::map<std::u16string, std::map<std::u16string, std::u16string>> m_env; // scope -> NAME -> value
};

} // namespace cva::vbs::test
