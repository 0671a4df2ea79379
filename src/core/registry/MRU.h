#pragma once

#include <string>
#include <vector>

namespace cva::registry {

// An ordered list of text lines, newest first, kept in one file of the profile folder:
// the favorites, the tools, the recently opened plugins and the applied history.
class CMRU {
public:
    // profileFolder: where bare file names live ("ProfileDir").
    explicit CMRU(std::string profileFolder = {});
    virtual ~CMRU();
    CMRU(const CMRU&) = delete;
    CMRU& operator=(const CMRU&) = delete;

    // Loads once: a second call does nothing. A file name with a folder in it is used as
    // it stands, a bare one is taken from the profile folder. Lines are trimmed; empty
    // lines and ";" comments are dropped. maximum -1: no limit (applied after Add only).
    void Load(const std::string& fileName, int maximum = -1);
    // Moves the text (compared without regard to case) to the top, or inserts it there.
    void Add(const std::string& text);
    void SetAt(int index, const std::string& text);
    void RemoveAt(int index);
    std::string GetAt(int index) const;
    int GetCount() const { return static_cast<int>(m_items.size()); }
    const std::vector<std::string>& Items() const { return m_items; }
    // Writes the file when the list changed. False when it could not be written (errno
    // tells why); the list then stays modified, so that a later Save tries again.
    bool Save();
    const std::string& FilePath() const { return m_strPath; }
    bool IsModified() const { return m_bModified; }

private:
    bool m_bModified = false;
    std::vector<std::string> m_items;
    int m_nMaximum = -1;
    std::string m_strPath;
    std::string m_strProfileFolder;
};

} // namespace cva::registry
