#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cva::journal {

// The files a preview wrote, held in memory instead of on the disk: each host path's
// content, a folder, or its absence. Reads look here first, then at the disk, so a
// script sees its own writes while nothing on the disk changes.
class CFileOverlay {
public:
    struct SEntry {
        bool m_exists = false;
        bool m_folder = false;
        std::string m_bytes;
    };

    // What the overlay holds for the path; null when the disk answers.
    const SEntry* Find(const std::string& hostPath) const;
    bool IsFile(const std::string& hostPath) const;
    bool IsFolder(const std::string& hostPath) const;
    // A file's bytes as the script would see them; nullopt for none (or a folder).
    std::optional<std::string> ReadFile(const std::string& hostPath) const;

    void PutFile(const std::string& hostPath, std::string bytes);
    void PutFolder(const std::string& hostPath);
    // The path, and whatever the overlay holds below it, is gone.
    void Remove(const std::string& hostPath);
    // The names the overlay adds to or removes from a folder's listing.
    std::vector<std::string> AddedNames(const std::string& folder) const;
    bool IsRemoved(const std::string& hostPath) const;
    // The attributes the preview gave a file or folder (as SFileState keeps them); none
    // where the disk's stand.
    void PutAttributes(const std::string& hostPath, uint32_t attributes);
    std::optional<uint32_t> Attributes(const std::string& hostPath) const;

private:
    std::map<std::string, SEntry> m_entries;
    std::map<std::string, uint32_t> m_attributes;
};

} // namespace cva::journal
