#pragma once

#include "platform/registry/Registry.h"
#include "platform/target/RegistrySpec.h"

#include <string>
#include <vector>

// A Windows installation that is not running: the root folder of its partition, mounted
// on Linux. Its registry is the hive files of Windows\System32\config and the chosen
// user's NTUSER.DAT and UsrClass.dat, read and written as Windows' own hive files.
namespace cva::target {

// The profiles the SOFTWARE hive mounted at HKLM\SOFTWARE of `registry` lists, in the
// order of the list; `root` is the partition's folder (drive C:).
std::vector<COfflineProfile> ReadOfflineProfiles(reg::CRegistry& registry, const std::string& root);

// Opens the registry of the disk at spec.m_path: HKLM\SOFTWARE and HKLM\SYSTEM (with
// CurrentControlSet leading to the control set Select\Current names), HKLM\SAM and
// HKLM\SECURITY (only read), HKU\.DEFAULT, and as HKCU the hive of the profile
// spec.m_profile with its classes merged into HKCR. File and folder names are matched
// without regard to case, as on an NTFS partition.
bool OpenOfflineRegistry(const CRegistrySpec& spec, COpenedRegistry& out, std::string& error);

} // namespace cva::target
