#pragma once

#include <string>
#include <vector>

namespace cva::app {
class IUserPrompts;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// One row of the organizer: a favorites line that gives a menu item.
struct SFavoriteRow {
    std::string text;     // the menu text
    std::string category; // the plugin's "category", "none" when it has none
    std::string fileName; // the plugin file
};

// The "Favorites" page: the favorites.ini lines that give menu items, in menu order, to
// move, rename and delete. Changes stay here until Save (the sheet's OK).
class CFavoritesOrganizer {
public:
    explicit CFavoritesOrganizer(settings::CSettingsStore& settings) : m_settings(settings) {}

    void Open();
    const std::vector<SFavoriteRow>& Rows() const { return m_rows; }
    // Swaps the row's line with the line of the row above or below. False at the ends.
    bool MoveUp(int row);
    bool MoveDown(int row);
    // Removes the rows and their lines.
    void Delete(std::vector<int> rows);
    // "Edit...": asks for the new menu text; false when cancelled or left empty.
    bool Edit(int row, app::IUserPrompts& prompts);
    bool IsModified() const { return m_bModified; }
    // Writes favorites.ini in one piece when something changed. Lines that another
    // program added since Open are kept (at the top, where Add puts them), and lines it
    // removed stay removed. False when the file could not be written.
    bool Save();

private:
    struct SLine {
        std::string text;
        int origin; // index of the line as read, -1 for none
    };
    std::string ProfileFolder() const;
    void BuildRows();
    int LineOfRow(int row) const;
    bool Swap(int row, int otherRow);

    settings::CSettingsStore& m_settings;
    std::vector<std::string> m_read; // the file as Open found it
    std::vector<SLine> m_lines;
    std::vector<SFavoriteRow> m_rows;
    std::vector<int> m_rowLines; // each row's index in m_lines
    bool m_bModified = false;
};

} // namespace cva::options
