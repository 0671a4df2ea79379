#pragma once

#include "platform/registry/RegPath.h"
#include "platform/target/RegistrySpec.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cva::cli {

// cva-reg: reg.exe's query, add, delete, export, import, load and unload on a target's
// registry.
class CRegTool {
public:
    CRegTool(std::istream& in, std::ostream& out, std::ostream& err);
    // Exit status: 0 on success, 1 after an "ERROR: " line on the error stream.
    int Run(const std::vector<std::string>& args);

private:
    struct COptions {
        std::string m_command;
        std::vector<std::string> m_positional;
        std::optional<std::string> m_valueName; // /v NAME
        bool m_defaultValue = false;            // /ve
        bool m_allValues = false;               // /va
        bool m_recurse = false;                 // /s (query)
        std::optional<std::string> m_type;      // /t
        std::optional<std::string> m_data;      // /d
        std::optional<std::string> m_separator; // /s or /se (add)
        bool m_force = false;                   // /f, /y
    };

    int Fail(const std::string& message);
    bool ParseCommandLine(const std::vector<std::string>& args, COptions& options,
                          std::string& error);
    bool OpenTarget(bool forWriting);
    bool Confirm(const std::string& question);
    bool ResolveKey(const std::string& text, reg::CRegPath& path);
    int Finish(); // saves the changes and reports success
    int AccessDenied(reg::HKEY root);

    int Query(const COptions& o);
    int Add(const COptions& o);
    int Delete(const COptions& o);
    int Export(const COptions& o);
    int Import(const COptions& o);
    int Load(const COptions& o);
    int Unload(const COptions& o);
    static std::string LoadError(reg::LSTATUS rc, const std::string& what);
    void QueryAll(reg::HKEY key, const std::string& path, bool recurse);
    size_t QueryValueBelow(reg::HKEY key, const std::string& path, const std::u16string& name);
    void PrintValue(const std::u16string& name, reg::DWORD type, const std::vector<uint8_t>& data);

    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    std::optional<std::string> m_targetText;
    target::COpenedRegistry m_target;
};

std::string HelpText();

} // namespace cva::cli
