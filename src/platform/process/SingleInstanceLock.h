#pragma once

#include <string>
#include <string_view>

namespace cva::process {

// The program's guard against a second copy for the same user: a lock file held with
// flock for the life of this object. The kernel drops the lock when the process ends,
// however it ends, so a file left behind by a crashed copy never blocks a new start.
class CSingleInstanceLock {
public:
    // folder: where the lock file lives; empty picks $XDG_RUNTIME_DIR, else /tmp with
    // the user id in the file name.
    explicit CSingleInstanceLock(std::string_view name = "MERIDOT_CVA_MUTEX",
                                 std::string folder = {});
    ~CSingleInstanceLock();
    CSingleInstanceLock(const CSingleInstanceLock&) = delete;
    CSingleInstanceLock& operator=(const CSingleInstanceLock&) = delete;

    // True when this object holds the lock (now or already); false when another holder
    // has it or the file cannot be used.
    bool Acquire();
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace cva::process
