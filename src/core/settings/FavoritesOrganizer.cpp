#include "core/settings/FavoritesOrganizer.h"

#include "core/app/PluginKeys.h"
#include "core/app/UserPrompts.h"
#include "core/registry/MRU.h"
#include "core/settings/OptionsPages.h"
#include "platform/files/TextFile.h"
#include "platform/settings/SettingsStore.h"

#include <algorithm>

namespace cva::options {

namespace {

constexpr const char* kFavoritesFile = "favorites.ini";

// The file's lines as CMRU reads them (trimmed, without comments and empty lines).
std::vector<std::string> ReadLines(const std::string& profileFolder) {
    registry::CMRU list(profileFolder);
    list.Load(kFavoritesFile);
    return list.Items();
}

// Menu text and file name of a line that gives a menu item.
bool SplitLine(const std::string& line, std::string& text, std::string& fileName) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    text = app::TrimBlanks(std::string_view(line).substr(0, equals));
    fileName = app::TrimBlanks(std::string_view(line).substr(equals + 1));
    return !text.empty();
}

} // namespace

std::string CFavoritesOrganizer::ProfileFolder() const {
    return StoredFolder(m_settings, "ProfileDir");
}

void CFavoritesOrganizer::Open() {
    m_read = ReadLines(ProfileFolder());
    m_lines.clear();
    for (size_t i = 0; i < m_read.size(); ++i) m_lines.push_back({m_read[i], static_cast<int>(i)});
    m_bModified = false;
    BuildRows();
}

void CFavoritesOrganizer::BuildRows() {
    const std::string pluginFolder = StoredFolder(m_settings, "PluginDir");
    m_rows.clear();
    m_rowLines.clear();
    for (size_t i = 0; i < m_lines.size(); ++i) {
        SFavoriteRow row;
        if (!SplitLine(m_lines[i].text, row.text, row.fileName)) continue;
        row.category = app::IsBareFileName(row.fileName)
                           ? app::ReadPluginKeys(pluginFolder + "/" + row.fileName).category
                           : std::string("none");
        m_rows.push_back(std::move(row));
        m_rowLines.push_back(static_cast<int>(i));
    }
}

int CFavoritesOrganizer::LineOfRow(int row) const {
    return row >= 0 && row < static_cast<int>(m_rowLines.size()) ? m_rowLines[static_cast<size_t>(row)] : -1;
}

bool CFavoritesOrganizer::Swap(int row, int otherRow) {
    const int a = LineOfRow(row), b = LineOfRow(otherRow);
    if (a < 0 || b < 0) return false;
    std::swap(m_lines[static_cast<size_t>(a)], m_lines[static_cast<size_t>(b)]);
    std::swap(m_rows[static_cast<size_t>(row)], m_rows[static_cast<size_t>(otherRow)]);
    m_bModified = true;
    return true;
}

bool CFavoritesOrganizer::MoveUp(int row) { return Swap(row, row - 1); }

bool CFavoritesOrganizer::MoveDown(int row) { return Swap(row, row + 1); }

void CFavoritesOrganizer::Delete(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const int line = LineOfRow(*it);
        if (line < 0) continue;
        m_lines.erase(m_lines.begin() + line);
        m_bModified = true;
    }
    BuildRows();
}

bool CFavoritesOrganizer::Edit(int row, app::IUserPrompts& prompts) {
    const int line = LineOfRow(row);
    if (line < 0) return false;
    SFavoriteRow& shown = m_rows[static_cast<size_t>(row)];
    app::SInputBoxRequest request;
    request.m_caption = "Edit Favorites";
    request.m_description = "Please edit the text to be displayed in the favorites menu.";
    request.m_label1 = "Menu Text";
    request.m_text1 = shown.text;
    request.m_label2 = "Plug-in";
    request.m_text2 = shown.fileName;
    request.m_disabled2 = true; // the line names its plug-in file; only the text is renamed
    const std::optional<app::SInputBoxResult> answer = prompts.InputBox(request);
    if (!answer) return false;
    // "=" ends the menu text and a line break would split the line.
    std::string text;
    for (char c : answer->m_text1) text += c == '=' ? '-' : (c == '\r' || c == '\n') ? ' ' : c;
    text = app::TrimBlanks(text);
    if (text.empty()) return false;
    shown.text = text;
    m_lines[static_cast<size_t>(line)].text = text + "=" + shown.fileName;
    m_bModified = true;
    return true;
}

bool CFavoritesOrganizer::Save() {
    if (!m_bModified) return true;
    const std::string folder = ProfileFolder();
    // Match the file as it is now against the file as it was read: what is new on disk
    // came from elsewhere and stays; what went from disk stays gone.
    const std::vector<std::string> now = ReadLines(folder);
    std::vector<bool> stillThere(m_read.size(), false);
    std::vector<std::string> lines;
    for (const std::string& line : now) {
        bool matched = false;
        for (size_t i = 0; i < m_read.size() && !matched; ++i) {
            if (!stillThere[i] && m_read[i] == line) stillThere[i] = matched = true;
        }
        if (!matched) lines.push_back(line);
    }
    for (const SLine& line : m_lines)
        if (line.origin >= 0 && stillThere[static_cast<size_t>(line.origin)]) lines.push_back(line.text);
    if (!files::WriteTextLines(folder + "/" + kFavoritesFile, lines)) return false;
    m_bModified = false;
    return true;
}

} // namespace cva::options
