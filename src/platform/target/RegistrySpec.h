#pragma once

#include "platform/registry/Registry.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Which Windows registry a command works on, and opening it with its hives mounted.
namespace cva::target {

enum class TargetKind { Sandbox, Wine, Offline };

struct CRegistrySpec {
    CRegistrySpec(TargetKind kind = TargetKind::Sandbox, std::string path = {},
                  std::string profile = {})
        : m_kind(kind), m_path(std::move(path)), m_profile(std::move(profile)) {}

    TargetKind m_kind = TargetKind::Sandbox;
    std::string m_path; // sandbox folder (empty: the default one), prefix or Windows folder
    // Offline: the user whose hive is HKCU, by profile folder name or SID; empty: the
    // first profile of the disk's ProfileList that has a hive.
    std::string m_profile;
};

// One user profile of an offline disk's ProfileList (accounts S-1-5-21-..., whose hives
// are ordinary users' hives).
struct COfflineProfile {
    std::string m_sid;
    std::string m_name;        // the profile folder's name, "bob"
    std::string m_windowsPath; // ProfileImagePath expanded, "C:\Users\bob"
    std::string m_hostFolder;  // the same folder on the disk, found without regard to case
    bool m_hasHive = false;    // its NTUSER.DAT is there
};

// "sandbox", "sandbox:DIR", "wine:PATH" or "offline:PATH"; an empty text is the sandbox.
bool ParseRegistrySpec(std::string_view text, CRegistrySpec& spec, std::string& error);

// The text that names the spec again ("sandbox", "sandbox:DIR", "wine:PATH", ...); the
// default sandbox is plain "sandbox".
std::string FormatRegistrySpec(const CRegistrySpec& spec);
// What the window shows of the open target: "Sandbox", "Sandbox: ~/try", "Wine: ~/.wine",
// "Offline: /mnt/win"; folders under $HOME are written with "~".
std::string TargetLabel(const CRegistrySpec& spec);

// $XDG_DATA_HOME/Meridot/Corvanta, by default ~/.local/share/Meridot/Corvanta.
std::string ProfileFolder();
std::string DefaultSandboxFolder();

// Why the prefix's registry must not be written now; empty when no wineserver runs. The
// server would overwrite any change with its own copy of the registry.
std::string WineServerReason(const std::string& prefix);

struct COpenedRegistry {
    std::unique_ptr<reg::CRegistry> m_registry;
    // The whole target refuses changes (a wineserver runs for the prefix), and why.
    bool m_readOnly = false;
    std::string m_readOnlyReason;
    std::string m_folder; // the sandbox folder, the prefix or the Windows partition
    // Offline: the disk's profiles and the name of the one whose hive is HKCU.
    std::vector<COfflineProfile> m_profiles;
    std::string m_userName;
};

// Opens the target's registry: HKLM from system.reg, HKU\.Default from userdef.reg and
// the user's key (HKCU) from user.reg; for an offline disk, its hive files (see
// OpenOfflineRegistry). A sandbox folder is created when missing and its missing files
// start empty. Fails with a message for a prefix that is not one and a file that does not
// parse (never written afterwards).
bool OpenTargetRegistry(const CRegistrySpec& spec, COpenedRegistry& out, std::string& error);

} // namespace cva::target
