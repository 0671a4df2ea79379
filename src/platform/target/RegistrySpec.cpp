#include "platform/target/RegistrySpec.h"

#include "platform/hive/WinePrefix.h"
#include "platform/target/OfflineWindows.h"
#include "platform/target/Sandbox.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace cva::target {

namespace {

std::string HomeBased(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && *value == '/') return value;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + fallback;
}

std::string TrimSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Mount(reg::CRegistry& registry, const std::u16string& at, const std::string& file,
           reg::CRegistry::CMountOptions options, std::string& error) {
    std::string message;
    reg::LSTATUS rc = registry.MountHiveFile(at, file, options, &message);
    if (rc == reg::ERROR_SUCCESS) return true;
    if (message.empty()) message = file + ": cannot be read (error " + std::to_string(rc) + ")";
    error = message + "; the file was left untouched";
    return false;
}

} // namespace

std::string WineServerReason(const std::string& prefix) {
    pid_t pid = 0;
    if (!hive::IsWineServerRunning(prefix, &pid)) return {};
    return "a wineserver (process " + std::to_string(pid) + ") runs for " + prefix +
           ": close its programs or run `wineserver -k`";
}

namespace {

// What refuses a save of the prefix's hives. Wine keeps its server for a few seconds
// after the last program of the prefix ends (three by default), so a save right after a
// program a script ran waits that out instead of failing; a server that stays is waited
// for once, not again at each hive.
std::function<std::string()> WineSaveGuard(const std::string& prefix) {
    using Clock = std::chrono::steady_clock;
    auto gaveUp = std::make_shared<Clock::time_point>();
    return [prefix, gaveUp] {
        const Clock::time_point start = Clock::now();
        const bool waited = *gaveUp != Clock::time_point() && start - *gaveUp < std::chrono::seconds(30);
        const Clock::time_point until = start + (waited ? Clock::duration::zero() : std::chrono::seconds(5));
        for (;;) {
            std::string reason = WineServerReason(prefix);
            if (reason.empty()) return reason;
            if (Clock::now() >= until) {
                *gaveUp = Clock::now();
                return reason;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    };
}

// Hives loaded into the registry belong to the target, like its own hives: one that an
// earlier run left loaded is there again until someone unloads it.
bool Opened(COpenedRegistry& out, std::unique_ptr<reg::CRegistry> registry,
            const std::string& folder) {
    registry->SetLoadRecordFolder(folder);
    registry->RestoreLoadedHives();
    out.m_folder = folder;
    out.m_registry = std::move(registry);
    return true;
}

} // namespace

bool ParseRegistrySpec(std::string_view text, CRegistrySpec& spec, std::string& error) {
    spec = CRegistrySpec{};
    if (text.empty() || text == "sandbox") return true;
    size_t colon = text.find(':');
    std::string_view kind = text.substr(0, colon);
    std::string_view path =
        colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    if (kind == "sandbox") {
        spec.m_kind = TargetKind::Sandbox;
    } else if (kind == "wine") {
        spec.m_kind = TargetKind::Wine;
    } else if (kind == "offline") {
        spec.m_kind = TargetKind::Offline;
    } else {
        error = "unknown target \"" + std::string(text) +
                "\" (use sandbox, sandbox:DIR, wine:PATH or offline:PATH)";
        return false;
    }
    if (colon != std::string_view::npos && path.empty()) {
        error = "the target \"" + std::string(text) + "\" names no folder";
        return false;
    }
    if (spec.m_kind != TargetKind::Sandbox && path.empty()) {
        error = "the target \"" + std::string(kind) + "\" needs a folder, as in " +
                std::string(kind) + ":PATH";
        return false;
    }
    spec.m_path = TrimSlashes(std::string(path));
    return true;
}

std::string FormatRegistrySpec(const CRegistrySpec& spec) {
    switch (spec.m_kind) {
    case TargetKind::Wine: return "wine:" + spec.m_path;
    case TargetKind::Offline: return "offline:" + spec.m_path;
    case TargetKind::Sandbox: break;
    }
    if (spec.m_path.empty() || spec.m_path == DefaultSandboxFolder()) return "sandbox";
    return "sandbox:" + spec.m_path;
}

std::string TargetLabel(const CRegistrySpec& spec) {
    std::string path = spec.m_path;
    const char* home = std::getenv("HOME");
    const std::string homeFolder = home ? TrimSlashes(home) : std::string();
    if (homeFolder.size() > 1 && path.compare(0, homeFolder.size(), homeFolder) == 0 &&
        (path.size() == homeFolder.size() || path[homeFolder.size()] == '/'))
        path = "~" + path.substr(homeFolder.size());
    switch (spec.m_kind) {
    case TargetKind::Wine: return "Wine: " + path;
    case TargetKind::Offline: return "Offline: " + path;
    case TargetKind::Sandbox: break;
    }
    if (spec.m_path.empty() || spec.m_path == DefaultSandboxFolder()) return "Sandbox";
    return "Sandbox: " + path;
}

std::string ProfileFolder() {
    return HomeBased("XDG_DATA_HOME", "/.local/share") + "/Meridot/Corvanta";
}

std::string DefaultSandboxFolder() {
    return ProfileFolder() + "/sandbox";
}

bool OpenTargetRegistry(const CRegistrySpec& spec, COpenedRegistry& out, std::string& error) {
    out = COpenedRegistry{};
    auto registry = std::make_unique<reg::CRegistry>();
    reg::CRegistry::CMountOptions options;
    const std::u16string defaultSid = reg::CRegistry::kDefaultUserSid;

    if (spec.m_kind == TargetKind::Offline) return OpenOfflineRegistry(spec, out, error);
    if (spec.m_kind == TargetKind::Sandbox) {
        std::string folder = spec.m_path.empty() ? DefaultSandboxFolder() : spec.m_path;
        if (!EnsureSandbox(folder, error)) return false;
        // A Windows XP slice: 32-bit, with Wine's layout so that Wine could read it too.
        options.m_arch = "win32";
        options.m_rootComment = "REGISTRY\\\\Machine";
        if (!Mount(*registry, u"Machine", folder + "/system.reg", options, error)) return false;
        options.m_rootComment = "REGISTRY\\\\User\\\\.Default";
        if (!Mount(*registry, u"User\\.Default", folder + "/userdef.reg", options, error))
            return false;
        options.m_rootComment = "REGISTRY\\\\User\\\\" + text::Utf16ToUtf8(defaultSid);
        if (!Mount(*registry, u"User\\" + defaultSid, folder + "/user.reg", options, error))
            return false;
        registry->SetCurrentUserSid(defaultSid);
        return Opened(out, std::move(registry), folder);
    }

    const std::string& prefix = spec.m_path;
    if (!IsFolder(prefix)) {
        error = "the Wine prefix " + prefix + " does not exist";
        return false;
    }
    struct stat st;
    if (stat((prefix + "/system.reg").c_str(), &st) != 0) {
        error = prefix + " is not a Wine prefix (it has no system.reg)";
        return false;
    }
    std::string serverRuns = WineServerReason(prefix);
    if (!serverRuns.empty()) {
        out.m_readOnly = true;
        out.m_readOnlyReason = serverRuns;
        options.m_readOnly = true;
        options.m_readOnlyReason = serverRuns;
    }
    // A wineserver started after we looked would overwrite the save with its own copy.
    registry->SetSaveGuard(WineSaveGuard(prefix));
    reg::CHiveHeader system, user;
    hive::ReadWineRegistryHeader(prefix + "/system.reg", system);
    hive::ReadWineRegistryHeader(prefix + "/user.reg", user);
    std::string sid = hive::UserSidFromRootComment(user.m_rootComment);
    std::u16string userSid = sid.empty() ? defaultSid : text::Utf8ToUtf16(sid);

    options.m_arch = system.m_arch;
    options.m_rootComment = "REGISTRY\\\\Machine";
    if (!Mount(*registry, u"Machine", prefix + "/system.reg", options, error)) return false;
    options.m_rootComment = "REGISTRY\\\\User\\\\.Default";
    if (!Mount(*registry, u"User\\.Default", prefix + "/userdef.reg", options, error)) return false;
    options.m_rootComment = "REGISTRY\\\\User\\\\" + text::Utf16ToUtf8(userSid);
    if (!Mount(*registry, u"User\\" + userSid, prefix + "/user.reg", options, error)) return false;
    registry->SetCurrentUserSid(userSid);
    return Opened(out, std::move(registry), prefix);
}

} // namespace cva::target
