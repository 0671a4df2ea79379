#pragma once

#include <string>
#include <string_view>

namespace cva::process {

// The program's guard against a second copy: a lock file held with flock for the life
// of this object. The kernel drops the lock when the process ends, however it ends, so
// a file left behind by a crashed copy never blocks a new start.
class CSingleInstanceLock {
public:
    // The lock file "<name>.lock" in `folder`, which is created when it is missing.
    CSingleInstanceLock(std::string_view name, std::string folder);
    ~CSingleInstanceLock();
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // A lock per settings folder rather than per user: `name` joined with a hash of the
    // folder's canonical path, so that copies run with other settings never meet, and
    // the folder it lives in: $XDG_RUNTIME_DIR when that is usable, else the settings
    // folder itself.
    static std::string NameFor(std::string_view name, const std::string& settingsFolder);
    static std::string FolderFor(const std::string& settingsFolder);

    // True when this object holds the lock (now or already); false when another holder
    // has it or the file cannot be used, and then HolderPid and Error tell which.
    bool Acquire();
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    // After a failed Acquire: the process id the holder wrote into the file (0 while it
    // has not yet), and why the file could not be used (empty when another holds it).
    long HolderPid() const { return m_holderPid; }
    const std::string& Error() const { return m_error; }

private:
    std::string m_folder;
    std::string m_path;
    int m_fd = -1;
    long m_holderPid = 0;
    std::string m_error;
};

} // namespace cva::process
