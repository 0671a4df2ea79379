#include "core/app/PluginSearch.h"

#include "core/app/PluginCatalogue.h"
#include "platform/text/Unicode.h"

namespace cva::app {

std::string ToLowerUtf8(std::string_view text) {
    return text::Utf16ToUtf8(text::ToLower(text::Utf8ToUtf16(text)));
}

std::string CPluginSearch::NormalizeWord(std::string_view word) {
    const char* strip = " \t\r\n\v\f\"";
    const size_t first = word.find_first_not_of(strip);
    if (first == std::string_view::npos) return {};
    const size_t last = word.find_last_not_of(strip);
    return ToLowerUtf8(word.substr(first, last - first + 1));
}

std::vector<SSearchRow> CPluginSearch::Search(std::string_view word) const {
    std::vector<SSearchRow> rows;
    const std::string needle = NormalizeWord(word);
    if (needle.empty()) return rows;

    std::vector<std::string> paths;
    paths.reserve(m_catalogue.m_plugins.size());
    for (const PLUGIN_INFO& entry : m_catalogue.m_plugins) paths.push_back(entry.path);
    const std::vector<SPluginKeys> keys = ReadPluginKeysAll(paths);

    for (size_t i = 0; i < keys.size(); ++i) {
        std::string caption = ToLowerUtf8(keys[i].caption);
        std::string category = ToLowerUtf8(keys[i].category);
        const bool captionMatches = caption != "none" && caption.find(needle) != std::string::npos;
        if (category == "none") {
            category.clear();
        } else {
            std::string shown;
            shown.reserve(category.size());
            for (size_t pos = 0; pos < category.size(); ++pos) {
                if (category.compare(pos, 2, "::") == 0) {
                    shown += '\\';
                    ++pos;
                } else {
                    shown += category[pos];
                }
            }
            category = std::move(shown);
        }
        const bool categoryMatches = !category.empty() && category.find(needle) != std::string::npos;
        if (!captionMatches && !categoryMatches) continue;
        rows.push_back(SSearchRow{caption, category.empty() ? std::string("none") : category,
                                  static_cast<int>(i)});
    }
    return rows;
}

} // namespace cva::app
