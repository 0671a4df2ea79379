#pragma once

#include <string>

namespace cva::target {

// Creates the sandbox in `folder` when it has no machine hive yet: the three registry
// files seeded with the Windows XP slice, and drive_c with WINDOWS, system32, win.ini,
// Program Files and a profile folder (with its own NTUSER.DAT) for each user. An existing
// sandbox is left exactly as it is. False with a message when a file cannot be written.
bool EnsureSandbox(const std::string& folder, std::string& error);

// The host folder that is C: of the sandbox in `folder`.
std::string SandboxDriveC(const std::string& folder);

} // namespace cva::target
