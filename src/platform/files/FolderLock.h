#pragma once

#include <string>

namespace cva::files {

// Holds an exclusive lock on a folder for as long as it lives, so that our own programs
// take turns at reading, merging and replacing the files in it. Other programs do not
// take the lock; it orders our writers only. A folder that cannot be locked (a file
// system without locks) is left unlocked rather than refused.
class CFolderLock {
public:
    explicit CFolderLock(const std::string& folder);
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    bool IsHeld() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

} // namespace cva::files
