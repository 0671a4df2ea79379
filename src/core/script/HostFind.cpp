#include "core/script/HostProxy.h"

#include "core/journal/FileOverlay.h"
#include "platform/files/FindFile.h"

#include <algorithm>

#include <limits>

namespace cva::script {

namespace {

CHostFileFind* FindAt(std::vector<std::unique_ptr<CHostFileFind>>& finds, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= finds.size()) return nullptr;
    return finds[static_cast<size_t>(index)].get();
}

const CHostFileFind::SEntry* CurrentEntry(const CHostFileFind* find) {
    if (!find || find->m_current < 0 ||
        static_cast<size_t>(find->m_current) >= find->m_entries.size())
        return nullptr;
    return &find->m_entries[static_cast<size_t>(find->m_current)];
}

} // namespace

int16_t CHost_Proxy::FindFileFirst(const std::string& strPath) {
    if (m_finds.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) return -1;
    size_t separator = strPath.find_last_of("\\/");
    std::string folder =
        separator == std::string::npos ? std::string() : strPath.substr(0, separator + 1);
    std::string pattern = separator == std::string::npos ? strPath : strPath.substr(separator + 1);
    if (pattern.empty()) return -1;
    // "C:\" names the drive root; without a folder the search runs where relative paths
    // count from.
    std::optional<std::string> host = ScriptFilePath(folder.empty() ? std::string(".") : folder);
    if (!host) return -1;
    // "." and ".." are never listed: a script's loop would otherwise be handed ".." as
    // the last entry of an empty folder and act on the parent.
    std::vector<files::SFindData> found = files::FindFiles(*host, pattern, false);
    if (m_pOverlay) {
        // A preview lists the folder as its own writes left it.
        std::string folderPath = *host;
        while (folderPath.size() > 1 && folderPath.back() == '/') folderPath.pop_back();
        std::erase_if(found, [&](const files::SFindData& entry) {
            return m_pOverlay->IsRemoved(folderPath + "/" + entry.name);
        });
        if (pattern == "*" || pattern == "*.*") {
            for (const std::string& name : m_pOverlay->AddedNames(folderPath)) {
                if (std::any_of(found.begin(), found.end(), [&](const auto& e) { return e.name == name; })) continue;
                files::SFindData added;
                added.name = name;
                if (m_pOverlay->IsFolder(folderPath + "/" + name)) added.attributes = 0x10;
                found.push_back(std::move(added));
            }
        }
    }
    if (found.empty()) return -1;
    auto find = std::make_unique<CHostFileFind>();
    find->m_entries.reserve(found.size());
    for (files::SFindData& entry : found)
        find->m_entries.push_back({std::move(entry.name), entry.IsFolder()});
    m_finds.push_back(std::move(find));
    return static_cast<int16_t>(m_finds.size() - 1);
}

int16_t CHost_Proxy::FindFileNext(int16_t index) {
    CHostFileFind* find = FindAt(m_finds, index);
    if (!find) return 0;
    const int count = static_cast<int>(find->m_entries.size());
    // Past the last entry the last one stays current, as FindNextFile leaves its data.
    if (find->m_current + 1 >= count) return 0;
    ++find->m_current;
    return find->m_current + 1 < count ? 1 : 0;
}

void CHost_Proxy::FindFileClose(int16_t index) {
    if (index >= 0 && static_cast<size_t>(index) < m_finds.size())
        m_finds[static_cast<size_t>(index)].reset();
}

std::string CHost_Proxy::FindFileGetName(int16_t index) {
    const CHostFileFind::SEntry* entry = CurrentEntry(FindAt(m_finds, index));
    return entry ? entry->m_name : std::string();
}

int32_t CHost_Proxy::FindFileIsFolder(int32_t index) {
    const CHostFileFind* find = FindAt(m_finds, index);
    if (!find) return -1;
    const CHostFileFind::SEntry* entry = CurrentEntry(find);
    return entry && entry->m_isFolder ? 1 : 0;
}

} // namespace cva::script
