#include "cli/reg/RegTool.h"

#include "platform/settings/SettingsStore.h"
#include "platform/text/Unicode.h"

#include <istream>
#include <ostream>
#include <unistd.h>

namespace cva::cli {

using namespace cva::reg;

std::string HelpText() {
    return R"(Usage: cva-reg [--target SPEC] COMMAND ...

Reads and changes the Windows registry of a target, with the syntax of Windows' reg.exe.

Commands:
  query  KEY [/v NAME | /ve] [/s]
  add    KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
  delete KEY [/v NAME | /ve | /va] [/f]
  export KEY FILE [/y]
  import FILE
  load   KEY FILE
  unload KEY

KEY is ROOT\Path, ROOT one of HKLM, HKCU, HKU, HKCR, HKCC or their long names
(HKEY_LOCAL_MACHINE, ...). /v names a value, /ve is the unnamed (default) value.
query /s lists every subkey too. add /t takes REG_SZ (the default), REG_EXPAND_SZ,
REG_MULTI_SZ (strings separated by \0, or by the /s SEPARATOR), REG_DWORD and REG_QWORD
(decimal, or 0x and hex digits), REG_BINARY (hex digits), REG_DWORD_BIG_ENDIAN or
REG_NONE. delete /va removes every value of the key; without /v, /ve or /va the key is
deleted with all its subkeys. export writes a "Windows Registry Editor Version 5.00"
file (UTF-16 with byte-order mark, as regedit writes); import reads that format and
REGEDIT4 files in UTF-8, Windows-1252 or UTF-16. load mounts a hive file (a user's
NTUSER.DAT) as HKU\NAME or HKLM\NAME; like on Windows it stays loaded, for later
commands too, until unload saves it to its file and removes it.

Questions: add over an existing value, delete and export over an existing file ask
"... (Yes/No)?" and read the answer from standard input, terminal or not. Only an
answer starting with Y or y goes on; any other answer, or no answer at all (end of
input, as in scripts), cancels: nothing is changed and the exit status is 1. Give /f
(export: /y) to skip the question.

Targets (--target SPEC):
  sandbox        the sandbox in the profile folder ($XDG_DATA_HOME/Meridot/Corvanta/sandbox)
  sandbox:DIR    DIR/system.reg is HKLM, DIR/user.reg HKCU, DIR/userdef.reg HKU\.Default
  wine:PATH      the Wine prefix PATH (read-only while a wineserver runs for it)
  offline:PATH   the Windows partition mounted at PATH (its hives in Windows/System32/config,
                 HKCU from the first user profile's NTUSER.DAT)
Without --target the stored setting "Target" is used, and with none stored, the sandbox.

Exit status: 0 on success; 1 with "ERROR: " and the reason on standard error.
)";
}

CRegTool::CRegTool(std::istream& in, std::ostream& out, std::ostream& err)
    : m_in(in), m_out(out), m_err(err) {}

int CRegTool::Fail(const std::string& message) {
    m_err << "ERROR: " << message << "\n";
    return 1;
}

bool CRegTool::ParseCommandLine(const std::vector<std::string>& args, COptions& o,
                                std::string& error) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--target") {
            if (i + 1 >= args.size()) {
                error = "--target needs a value";
                return false;
            }
            m_targetText = args[++i];
        } else if (a.compare(0, 9, "--target=") == 0) {
            m_targetText = a.substr(9);
        } else if (a == "--help" || a == "-h" || a == "/?" || a == "-?") {
            o.m_command = "help";
            return true;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        error = "no command given";
        return false;
    }
    o.m_command = text::Utf16ToUtf8(text::ToLower(text::Utf8ToUtf16(args[i++])));
    bool isAdd = o.m_command == "add";
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string lower = text::Utf16ToUtf8(text::ToLower(text::Utf8ToUtf16(a)));
        if (!lower.empty() && lower[0] == '-') lower[0] = '/';
        auto takeArgument = [&](std::optional<std::string>& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            if (into) {
                error = a + " is given twice";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (lower == "/v") {
            if (!takeArgument(o.m_valueName)) return false;
        } else if (lower == "/ve") {
            o.m_defaultValue = true;
        } else if (lower == "/va") {
            o.m_allValues = true;
        } else if (lower == "/s" && isAdd) {
            if (!takeArgument(o.m_separator)) return false;
        } else if (lower == "/se") {
            if (!takeArgument(o.m_separator)) return false;
        } else if (lower == "/s") {
            o.m_recurse = true;
        } else if (lower == "/t") {
            if (!takeArgument(o.m_type)) return false;
        } else if (lower == "/d") {
            if (!takeArgument(o.m_data)) return false;
        } else if (lower == "/f" || lower == "/y") {
            o.m_force = true;
        } else if (lower == "/reg:32" || lower == "/reg:64") {
            // One registry view only.
        } else if (a.size() >= 2 && a.size() <= 4 && (a[0] == '/' || a[0] == '-') &&
                   a.find('/', 1) == std::string::npos) {
            error = "unknown switch " + a;
            return false;
        } else {
            o.m_positional.push_back(a);
        }
    }
    int exclusive = (o.m_valueName ? 1 : 0) + (o.m_defaultValue ? 1 : 0) + (o.m_allValues ? 1 : 0);
    if (exclusive > 1) {
        error = "/v, /ve and /va cannot be combined";
        return false;
    }
    return true;
}

bool CRegTool::OpenTarget(bool forWriting) {
    std::string text;
    if (m_targetText) {
        text = *m_targetText;
    } else {
        settings::CSettingsStore store;
        if (!store.IsUsable()) {
            Fail("the settings file cannot be read: " + store.LoadError() + " (give --target)");
            return false;
        }
        text = store.GetProfileString("Settings", "Target", "");
    }
    target::CRegistrySpec spec;
    std::string error;
    if (!target::ParseRegistrySpec(text, spec, error) ||
        !target::OpenTargetRegistry(spec, m_target, error)) {
        Fail(error);
        return false;
    }
    // Changes reach the disk only through Finish, after the whole command succeeded.
    m_target.m_registry->SetSaveOnClose(false);
    if (forWriting && m_target.m_readOnly) {
        Fail("the registry of " + m_target.m_folder +
             " cannot be changed now: " + m_target.m_readOnlyReason);
        return false;
    }
    return true;
}

bool CRegTool::Confirm(const std::string& question) {
    m_out << question << " (Yes/No)? " << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer)) {
        m_out << "\n";
        return false;
    }
    size_t start = answer.find_first_not_of(" \t");
    return start != std::string::npos && (answer[start] == 'y' || answer[start] == 'Y');
}

bool CRegTool::ResolveKey(const std::string& text, CRegPath& path) {
    if (!ParseRegPath(text, path)) {
        Fail("Invalid key name \"" + text +
             "\": it must begin with HKLM, HKCU, HKU, HKCR or HKCC (or their "
             "HKEY_ long forms) followed by a backslash and the key path");
        return false;
    }
    return true;
}

int CRegTool::AccessDenied(HKEY root) {
    std::string reason;
    if (m_target.m_registry && m_target.m_registry->IsReadOnly(root, &reason) && !reason.empty())
        return Fail("Access is denied: " + reason);
    // A link may lead into another hive that is read-only (HKCU\Software\Classes).
    std::vector<std::string> refused = m_target.m_registry
                                           ? m_target.m_registry->TakeRefusedChanges()
                                           : std::vector<std::string>{};
    if (!refused.empty()) return Fail("Access is denied: " + refused.front());
    return Fail("Access is denied.");
}

int CRegTool::Finish() {
    std::vector<std::string> errors;
    if (m_target.m_registry->SaveDirtyHives(&errors) != ERROR_SUCCESS) {
        std::string all;
        for (const auto& e : errors)
            all += (all.empty() ? "" : "; ") + e;
        return Fail("the changes could not be saved: " + all);
    }
    m_out << "The operation completed successfully.\n";
    return 0;
}

int CRegTool::Run(const std::vector<std::string>& args) {
    COptions o;
    std::string error;
    if (!ParseCommandLine(args, o, error))
        return Fail(error + ". Type \"cva-reg --help\" for usage.");
    if (o.m_command == "help") {
        m_out << HelpText();
        return 0;
    }
    if (o.m_command == "query") return Query(o);
    if (o.m_command == "add") return Add(o);
    if (o.m_command == "delete") return Delete(o);
    if (o.m_command == "export") return Export(o);
    if (o.m_command == "import") return Import(o);
    if (o.m_command == "load") return Load(o);
    if (o.m_command == "unload") return Unload(o);
    return Fail("unknown command \"" + o.m_command + "\". Type \"cva-reg --help\" for usage.");
}

} // namespace cva::cli
