#include "core/settings/TargetOptions.h"

#include "core/app/UserPrompts.h"
#include "core/settings/OptionsPages.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

#include <cstdlib>
#include <sys/stat.h>

namespace cva::options {

namespace {

bool Exists(const std::string& path, bool folder) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (!folder || S_ISDIR(st.st_mode));
}

std::string Same(const target::CRegistrySpec& spec) { return target::FormatRegistrySpec(spec); }

const char* WindowsName(const target::CTargetVersion& v) {
    if (v.m_platformId != 2) return v.m_minor >= 90 ? "ME" : v.m_minor >= 10 ? "98" : "95";
    if (v.m_major == 5) return v.m_minor == 0 ? "2000" : v.m_minor == 1 ? "XP" : "Server 2003";
    if (v.m_major == 6) {
        static const char* const names[] = {"Vista", "7", "8", "8.1"};
        return v.m_minor < 4 ? names[v.m_minor] : "8.1";
    }
    if (v.m_major >= 10) return v.m_build >= 22000 ? "11" : "10";
    return "NT";
}

bool Refuse(app::IUserPrompts& prompts, const std::string& text) {
    prompts.MessageBox(text, app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
    return false;
}

} // namespace

std::string WindowsVersionText(const target::CTargetVersion& version) {
    std::string text = std::string("Windows ") + WindowsName(version);
    if (!version.m_servicePack.empty()) text += " " + version.m_servicePack;
    return text + " (" + std::to_string(version.m_major) + "." + std::to_string(version.m_minor) + "." +
           std::to_string(version.m_build) + ")";
}

STargetCandidate ProbeTarget(const target::CRegistrySpec& spec, target::CTargetSystem* open) {
    STargetCandidate candidate;
    candidate.spec = spec;
    candidate.label = target::TargetLabel(spec);
    const auto describe = [&candidate](target::CTargetSystem& system) {
        candidate.usable = true;
        candidate.version = WindowsVersionText(system.Version());
        candidate.writable = !system.IsReadOnly() && system.CanChangeMachineSettings();
        // A wineserver started since the prefix was opened (by one of its tools) turns
        // every save away until it ends.
        const std::string serverRuns = system.Kind() == target::TargetKind::Wine && !system.IsReadOnly()
                                           ? target::WineServerReason(system.Folder())
                                           : std::string();
        if (system.IsReadOnly())
            candidate.note = "read-only: " + system.ReadOnlyReason();
        else if (!serverRuns.empty())
            candidate.note = "read-only now: " + serverRuns;
        else if (!candidate.writable)
            candidate.note = "read-only: its registry files cannot be written";
        if (!serverRuns.empty()) candidate.writable = false;
    };
    if (open && Same(open->Spec()) == Same(spec)) {
        describe(*open);
        return candidate;
    }
    if (spec.m_kind == target::TargetKind::Sandbox) {
        const std::string folder = spec.m_path.empty() ? target::DefaultSandboxFolder() : spec.m_path;
        if (!Exists(folder + "/system.reg", false)) {
            // Made on first use: a Windows XP slice, as every new sandbox is.
            candidate.usable = candidate.writable = true;
            target::CTargetVersion seeded;
            seeded.m_servicePack = "Service Pack 3";
            candidate.version = WindowsVersionText(seeded);
            candidate.note = "a new sandbox, made when it is first opened";
            return candidate;
        }
    }
    std::string why;
    std::unique_ptr<target::CTargetSystem> system = target::CTargetSystem::Open(spec, why);
    if (system)
        describe(*system);
    else
        candidate.note = why;
    return candidate;
}

int CTargetOptions::Find(const target::CRegistrySpec& spec) const {
    for (size_t i = 0; i < m_candidates.size(); ++i)
        if (Same(m_candidates[i].spec) == Same(spec)) return static_cast<int>(i);
    return -1;
}

int CTargetOptions::Add(const target::CRegistrySpec& spec) {
    if (const int known = Find(spec); known >= 0) return known;
    m_candidates.push_back(ProbeTarget(spec, m_current));
    return static_cast<int>(m_candidates.size()) - 1;
}

void CTargetOptions::Open() {
    m_candidates.clear();
    if (m_current) m_nSelected = Add(m_current->Spec());
    target::CRegistrySpec stored;
    std::string error;
    if (target::ParseRegistrySpec(m_settings.GetProfileString(kSettings, "Target"), stored, error)) {
        const int index = Add(stored);
        if (!m_current) m_nSelected = index;
    }
    Add(target::CRegistrySpec{});
    const char* home = std::getenv("HOME");
    const std::string wine = std::string(home ? home : "") + "/.wine";
    if (home && Exists(wine + "/system.reg", false)) Add(target::CRegistrySpec{target::TargetKind::Wine, wine});
}

bool CTargetOptions::AddWinePrefix(const std::string& folder, app::IUserPrompts& prompts) {
    target::CRegistrySpec spec;
    std::string error;
    if (folder.empty() || !target::ParseRegistrySpec("wine:" + folder, spec, error)) return false;
    if (!Exists(spec.m_path, true) || !Exists(spec.m_path + "/system.reg", false))
        return Refuse(prompts, "\"" + spec.m_path +
                                   "\" is not a Wine prefix: it has no system.reg.\nChoose the folder that holds "
                                   "system.reg, user.reg and drive_c (by default ~/.wine).");
    m_nSelected = Add(spec);
    return true;
}

bool CTargetOptions::AddSandbox(const std::string& folder, app::IUserPrompts& prompts) {
    target::CRegistrySpec spec;
    std::string error;
    if (folder.empty() || !target::ParseRegistrySpec("sandbox:" + folder, spec, error)) return false;
    if (Exists(spec.m_path, true) && !Exists(spec.m_path + "/system.reg", false) &&
        Exists(spec.m_path + "/drive_c", true))
        return Refuse(prompts, "\"" + spec.m_path + "\" holds a drive_c but no registry: it is no sandbox.");
    m_nSelected = Add(spec);
    return true;
}

bool CTargetOptions::AddOfflineDisk(const std::string& folder, app::IUserPrompts& prompts) {
    target::CRegistrySpec spec;
    std::string error;
    if (folder.empty() || !target::ParseRegistrySpec("offline:" + folder, spec, error))
        return false;
    // Only opening the disk tells a Windows partition from any other folder, so the probe
    // decides before the candidate is listed.
    const int known = Find(spec);
    STargetCandidate candidate =
        known >= 0 ? m_candidates[static_cast<size_t>(known)] : ProbeTarget(spec, m_current);
    if (!candidate.usable)
        return Refuse(prompts,
                      "This folder cannot be opened as a Windows disk:\n" + candidate.note);
    if (known < 0) m_candidates.push_back(std::move(candidate));
    m_nSelected = known >= 0 ? known : static_cast<int>(m_candidates.size()) - 1;
    return true;
}

bool CTargetOptions::BrowseWinePrefix(app::IUserPrompts& prompts) {
    const char* home = std::getenv("HOME");
    const std::optional<std::string> folder = prompts.PickFolder("Wine prefix", home ? home : "");
    return folder && AddWinePrefix(*folder, prompts);
}

bool CTargetOptions::BrowseSandbox(app::IUserPrompts& prompts) {
    const std::optional<std::string> folder = prompts.PickFolder("Sandbox folder", target::ProfileFolder());
    return folder && AddSandbox(*folder, prompts);
}

bool CTargetOptions::BrowseOfflineDisk(app::IUserPrompts& prompts) {
    // Where partitions are usually mounted by hand.
    const std::optional<std::string> folder = prompts.PickFolder("Windows partition", "/mnt");
    return folder && AddOfflineDisk(*folder, prompts);
}

bool CTargetOptions::Validate(app::IUserPrompts& prompts) const {
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_candidates.size())) return true;
    const STargetCandidate& chosen = m_candidates[static_cast<size_t>(m_nSelected)];
    if (chosen.usable) return true;
    return Refuse(prompts, chosen.label + " cannot be opened: " + chosen.note);
}

std::optional<target::CRegistrySpec> CTargetOptions::Changed() const {
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_candidates.size())) return std::nullopt;
    const target::CRegistrySpec& chosen = m_candidates[static_cast<size_t>(m_nSelected)].spec;
    if (m_current && Same(m_current->Spec()) == Same(chosen)) return std::nullopt;
    return chosen;
}

void CTargetOptions::Write() {
    // Looking at the page changes nothing: a target given on the command line for one run
    // does not become the stored one.
    if (const std::optional<target::CRegistrySpec> chosen = Changed())
        m_settings.WriteProfileString(kSettings, "Target", Same(*chosen).c_str());
}

} // namespace cva::options
