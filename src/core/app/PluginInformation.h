#pragma once

#include <string>

namespace cva::app {

// What the information sheet shows of one plugin file (its path, its author as markup)
// and the "Popular" mark it changes: bit 0 of "GROUP" in the file's "settings" section,
// the bit the catalogue's Popular view selects by.
class CPluginInformation {
public:
    static constexpr int kPopularBit = 1;

    // Reads the file as it is now; a file that cannot be read shows the defaults.
    explicit CPluginInformation(std::string path);

    const std::string& Path() const { return m_strPath; }
    const std::string& Author() const { return m_strAuthor; }
    bool IsPopular() const { return m_bPopular; }

    // Sets or clears the mark in the file as it is on disk now, keeping the other bits
    // of "GROUP" and every other byte of the file. False, with the reason in `why` and
    // the file as it was, when the file is gone, read-only or cannot be replaced.
    bool SetPopular(bool popular, std::string& why);

    // The author key's value as the sheet shows it: the maker with a link to its web
    // site when the plugin names nobody ("null" or empty).
    static std::string AuthorMarkup(const std::string& author);

private:
    std::string m_strPath;
    std::string m_strAuthor;
    bool m_bPopular = false;
};

} // namespace cva::app
