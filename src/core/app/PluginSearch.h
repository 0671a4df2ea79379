#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cva::app {

class CPluginCatalogue;

// One row of the search dialog's result list.
struct SSearchRow {
    std::string caption;  // lower case, as compared
    std::string category; // lower case, "::" shown as "\"
    int pluginIndex = -1;
};

// The matching of the "Search For Page" dialog: a word found in a plugin's caption or
// category, without regard to case.
class CPluginSearch {
public:
    explicit CPluginSearch(const CPluginCatalogue& catalogue) : m_catalogue(catalogue) {}

    // Rows in catalogue order. A word that is empty once trimmed finds nothing.
    std::vector<SSearchRow> Search(std::string_view word) const;

    // The word as searched: white space and double quotes gone from both ends, lower case.
    static std::string NormalizeWord(std::string_view word);

private:
    const CPluginCatalogue& m_catalogue;
};

std::string ToLowerUtf8(std::string_view text);

} // namespace cva::app
