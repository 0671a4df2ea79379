#include "cli/script/ConsolePrompts.h"
#include "cli/script/ScriptRunner.h"
#include "core/app/UserProfiles.h"
#include "core/script/TargetScriptServices.h"
#include "platform/process/SystemMessage.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* to)
{
    std::fprintf(to, "Usage: cvascript [--target SPEC] [--profile NAME] [--allow-host-drives]\n"
                     "                 [--timeout SECONDS] [//nologo | //logo] FILE [ARGS...]\n"
                     "       cvascript --help | -h | /?\n"
                     "Runs a VBScript file against a target, as a command-line script host.\n"
                     "SPEC: sandbox, sandbox:DIR, wine:PATH or offline:PATH; without --target the\n"
                     "stored setting \"Target\" is used, and with none stored, the sandbox.\n"
                     "--allow-host-drives: drive letters of a Wine prefix that lie outside it\n"
                     "(Z: is the whole host) become reachable, as the setting \"AllowHostDrives\"\n"
                     "does; host paths (/...) always are.\n"
                     "--profile NAME: HKCU is another user of the target, named by the folder\n"
                     "name of a profile in its ProfileList: that user's NTUSER.DAT is loaded as\n"
                     "HKEY_USERS\\Corvanta for the run, saved to its own file and unloaded at\n"
                     "the end.\n"
                     "--timeout SECONDS: a script still running after that long is stopped\n"
                     "with an error (loops, calls and WScript.Sleep are interrupted); what it\n"
                     "wrote until then is saved. Default: no limit.\n");
}

bool IsHelpOption(const std::string& a)
{
    return a == "--help" || a == "-h" || a == "/?" || a == "//?";
}

// The script file's bytes; a missing, unreadable or non-regular file is an input error.
std::optional<std::string> ReadScriptFile(const std::string& file)
{
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        std::cerr << "Input Error: Can not find script file \"" << file << "\".\n";
        return std::nullopt;
    }
    if (std::filesystem::is_directory(status)) {
        std::cerr << "Input Error: \"" << file << "\" is a folder, not a script file.\n";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream buf;
    if (in)
        buf << in.rdbuf();
    if (!in || in.bad()) {
        const int error = errno;
        std::cerr << "Input Error: Can not read script file \"" << file << "\""
                  << (error ? std::string(": ") + std::strerror(error) : std::string()) << ".\n";
        return std::nullopt;
    }
    return buf.str();
}

// The target named on the command line, else the stored setting, else the sandbox; its
// host drives reachable with the option or the stored setting.
std::unique_ptr<cva::target::CTargetSystem> OpenTarget(const std::optional<std::string>& spec,
                                                       bool allowHostDrives)
{
    std::string text;
    cva::settings::CSettingsStore store;
    if (spec) {
        text = *spec;
    } else {
        if (!store.IsUsable()) {
            std::cerr << "cvascript: the settings file cannot be read: " << store.LoadError()
                      << " (give --target)\n";
            return nullptr;
        }
        text = store.GetProfileString("Settings", "Target", "");
    }
    std::string error;
    auto target = cva::target::CTargetSystem::Open(text, error);
    if (!target) {
        std::cerr << "cvascript: " << error << "\n";
        return nullptr;
    }
    // The user runs their own script: host files stay reachable next to the target's.
    target->AllowHostPaths(true);
    target->AllowHostDrives(allowHostDrives ||
                            store.GetProfileInt("Settings", "AllowHostDrives", 0) != 0);
    // No log here: what a script was refused, or asked to run, goes to the console.
    target->SetRecorder(
        [](const std::string& entry) { std::cerr << "cvascript: " << entry << "\n"; });
    return target;
}

// Loads the hive of the profile named `name` into `userHive` (null for the running
// user); false after telling why when there is no such profile or its hive cannot be
// loaded, as the script would otherwise change the running user's settings.
bool LoadProfile(cva::target::CTargetSystem& target, const std::string& name,
                 cva::reg::HKEY& userHive)
{
    const std::vector<std::string> profiles = cva::app::ReadProfileList(target, target.UserName());
    const int index = cva::app::FindProfile(profiles, name);
    if (index < 0) {
        std::cerr << "cvascript: the target has no profile " << name << "\n";
        return false;
    }
    const std::string folder = index > 0 ? profiles[static_cast<size_t>(index)] : std::string();
    const cva::app::SUserHiveSwitch result = cva::app::SwitchUserHive(target, folder, userHive);
    if (result.m_unload != cva::reg::ERROR_SUCCESS)
        std::cerr << "cvascript: a hive left loaded as HKEY_USERS\\Corvanta cannot be unloaded: "
                  << cva::process::FormatSystemMessage(result.m_unload) << "\n";
    if (result.m_load != cva::reg::ERROR_SUCCESS) {
        std::cerr << "cvascript: the hive of " << name << " (" << folder
                  << "\\ntuser.dat) cannot be loaded: "
                  << cva::process::FormatSystemMessage(result.m_load) << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool nologo = false;
    std::string file;
    std::optional<std::string> targetSpec;
    std::optional<std::string> profile;
    bool allowHostDrives = false;
    std::chrono::milliseconds timeout{0};
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (file.empty() && IsHelpOption(a)) {
            Usage(stdout);
            return 0;
        }
        if (file.empty() && (a == "--target" || a == "--profile")) {
            if (i + 1 >= argc) {
                Usage(stderr);
                return 1;
            }
            (a == "--target" ? targetSpec : profile) = argv[++i];
            continue;
        }
        if (file.empty() && (a == "--timeout" || a.rfind("--timeout=", 0) == 0)) {
            std::optional<std::chrono::milliseconds> parsed;
            if (a == "--timeout" && i + 1 < argc)
                parsed = cva::cli::ParseTimeout(argv[++i]);
            else if (a != "--timeout")
                parsed = cva::cli::ParseTimeout(a.substr(10));
            if (!parsed) {
                std::cerr << "cvascript: --timeout takes a number of seconds\n";
                return 1;
            }
            timeout = *parsed;
            continue;
        }
        if (file.empty() && a.rfind("--target=", 0) == 0) {
            targetSpec = a.substr(9);
            continue;
        }
        if (file.empty() && a == "--allow-host-drives") {
            allowHostDrives = true;
            continue;
        }
        if (file.empty() && a.size() > 2 && a[0] == '/' && a[1] == '/') {
            if (cva::text::EqualsNoCaseUtf8(a, "//nologo")) {
                nologo = true;
            } else if (cva::text::EqualsNoCaseUtf8(a, "//logo")) {
                nologo = false;
            } else {
                std::cerr << "Input Error: Unknown option \"" << a << "\" specified.\n";
                return 1;
            }
            continue;
        }
        if (file.empty())
            file = a;
        else
            args.push_back(a);
    }
    if (file.empty()) {
        Usage(stderr);
        return 1;
    }
    std::optional<std::string> script = ReadScriptFile(file);
    if (!script)
        return 1;
    auto target = OpenTarget(targetSpec, allowHostDrives);
    if (!target)
        return 1;
    cva::reg::HKEY userHive = nullptr;
    if (profile && !LoadProfile(*target, *profile, userHive)) return 1;
    if (!nologo)
        std::cout << "Corvanta Script Host Version 1.0\n\n";
    cva::cli::ScriptOutput output;
    output.out = [](std::string_view s) { std::cout.write(s.data(), static_cast<std::streamsize>(s.size())); };
    output.err = [](std::string_view s) {
        std::cout.flush();
        std::cerr.write(s.data(), static_cast<std::streamsize>(s.size()));
    };
    // Registry changes reach the disk only when the script has run to its end.
    target->Registry().SetSaveOnClose(false);
    cva::cli::CConsolePrompts prompts;
    cva::script::CTargetScriptServices services(*target, &prompts);
    services.SetCurrentUserSource([&userHive] { return userHive; });
    int rc = cva::cli::RunScriptText(file, cva::cli::DecodeScriptText(*script), args, output, &services,
                                      timeout);
    std::cout.flush();
    std::string errors;
    if (!target->SaveChanges(&errors)) {
        std::cerr << "cvascript: the registry of " << target->Describe() << " was not saved: " << errors << "\n";
        if (rc == 0)
            rc = 1;
    }
    // The hive was saved with the others above; unloading it saves anything left.
    if (userHive) {
        const cva::app::SUserHiveSwitch result = cva::app::SwitchUserHive(*target, {}, userHive);
        if (result.m_unload != cva::reg::ERROR_SUCCESS) {
            std::cerr << "cvascript: the hive of " << *profile
                      << " was not unloaded: " << cva::process::FormatSystemMessage(result.m_unload)
                      << "\n";
            if (rc == 0) rc = 1;
        }
    }
    return rc;
}
