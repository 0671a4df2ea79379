#pragma once

#include "platform/target/RegistrySpec.h"

#include <optional>
#include <string>
#include <vector>

namespace cva::app {
class IUserPrompts;
}
namespace cva::settings {
class CSettingsStore;
}
namespace cva::target {
class CTargetSystem;
struct CTargetVersion;
}

namespace cva::options {

// A Windows system the program can work on, as the "Target" page lists it.
struct STargetCandidate {
    target::CRegistrySpec spec;
    std::string label;   // "Sandbox", "Wine: ~/.wine"
    std::string version; // "Windows XP Service Pack 3 (5.1.2600)"; empty when unknown
    bool usable = false; // it can be opened
    bool writable = false;
    std::string note; // why it cannot be opened or changed now; empty when it can
};

// "Windows 10 (10.0.19045)", with the service pack when there is one.
std::string WindowsVersionText(const target::CTargetVersion& version);
// Opens the spec's target for a look (a sandbox that does not exist yet is described, not
// made). `open`: the target the program has open, answered without opening it again.
STargetCandidate ProbeTarget(const target::CRegistrySpec& spec, target::CTargetSystem* open = nullptr);

// The "Target" page: the stored "Target" among the sandbox, sandbox folders, Wine
// prefixes and offline Windows disks.
class CTargetOptions {
public:
    CTargetOptions(settings::CSettingsStore& settings, target::CTargetSystem* current)
        : m_settings(settings), m_current(current) {}

    // The open target, the stored one, the default sandbox and ~/.wine when it is a prefix.
    void Open();
    const std::vector<STargetCandidate>& Candidates() const { return m_candidates; }
    // Adds (or finds) a candidate and selects it. A folder that is no Wine prefix is
    // refused with a message and nothing changes.
    bool AddWinePrefix(const std::string& folder, app::IUserPrompts& prompts);
    bool AddSandbox(const std::string& folder, app::IUserPrompts& prompts);
    // The root of a mounted Windows partition; one that cannot be opened is refused with
    // the target's reason.
    bool AddOfflineDisk(const std::string& folder, app::IUserPrompts& prompts);
    // The folder dialog for each kind, then the Add above; false when cancelled or refused.
    bool BrowseWinePrefix(app::IUserPrompts& prompts);
    bool BrowseSandbox(app::IUserPrompts& prompts);
    bool BrowseOfflineDisk(app::IUserPrompts& prompts);
    // Before anything is written: the chosen target must open.
    bool Validate(app::IUserPrompts& prompts) const;
    // The chosen spec when it is not the open target.
    std::optional<target::CRegistrySpec> Changed() const;
    // Stores the chosen target as "Target" when it is not the open one.
    void Write();

    int m_nSelected = -1;

private:
    int Find(const target::CRegistrySpec& spec) const;
    int Add(const target::CRegistrySpec& spec);

    settings::CSettingsStore& m_settings;
    target::CTargetSystem* m_current;
    std::vector<STargetCandidate> m_candidates;
};

} // namespace cva::options
