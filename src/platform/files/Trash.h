#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace cva::files {

// The desktop's trash (the freedesktop.org layout that file managers share) standing in
// for the Recycle Bin: a file or folder moved here keeps a ".trashinfo" record of where
// it came from and when, so the desktop's file manager can restore it.
class CTrash {
public:
    // homeTrash: the user's trash folder ($XDG_DATA_HOME/Trash by default).
    explicit CTrash(std::string homeTrash = DefaultHomeTrash(), uid_t uid = ::getuid());

    static std::string DefaultHomeTrash();

    // Moves the entry (a symbolic link itself, never what it points to). A path on
    // another device than the home trash goes to the trash at the top of its own volume
    // ("$topdir/.Trash/$uid" when the administrator made one, else "$topdir/.Trash-$uid"),
    // since moving it home would mean copying. infoPath, when given, receives the path of
    // the ".trashinfo" file written.
    bool MoveToTrash(const std::string& hostPath, std::string* infoPath = nullptr) const;

private:
    struct STarget {
        std::string folder;   // the trash folder holding files/ and info/
        std::string infoPath; // the Path= value: absolute, or relative to the volume top
    };
    std::optional<STarget> ChooseTrash(const std::string& path, dev_t device) const;

    std::string m_homeTrash;
    uid_t m_uid;
};

// MoveToTrash with the user's own trash.
bool MoveToTrash(const std::string& hostPath);

} // namespace cva::files
