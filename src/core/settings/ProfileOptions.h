#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cva::options {

// The "Profile" page: the user whose settings the tweaks change, chosen from the main
// window's profile list (the profile folders, "C:\Documents and Settings\anna").
class CProfileOptions {
public:
    static constexpr int kMyComputer = -1; // the root item's data

    // `selected` is the main window's selected index.
    void Open(std::vector<std::string> profilePaths, int selected);

    // The item labels: each profile path after its last backslash.
    std::vector<std::string> Labels() const;
    // "Currently Selected Profile: anna"; empty when the selection is not in the list.
    std::string StatusLine() const;
    int OpenedSelection() const { return m_nOpened; }
    // The data of the chosen item (kMyComputer for the root).
    void Choose(int itemData) { m_nChosen = itemData; }
    // The index the main window is to select on OK; nothing for the root.
    std::optional<int> Result() const;

private:
    std::vector<std::string> m_paths;
    int m_nOpened = kMyComputer;
    int m_nChosen = kMyComputer;
};

} // namespace cva::options
