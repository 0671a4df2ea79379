#include "core/journal/FileOverlay.h"

#include "platform/files/AtomicFile.h"

#include <sys/stat.h>

namespace cva::journal {

namespace {

bool IsBelow(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

} // namespace

const CFileOverlay::SEntry* CFileOverlay::Find(const std::string& hostPath) const {
    auto it = m_entries.find(hostPath);
    if (it != m_entries.end()) return &it->second;
    // Below a removed folder nothing is left.
    for (auto& [path, entry] : m_entries)
        if (!entry.m_exists && IsBelow(hostPath, path)) return &entry;
    return nullptr;
}

bool CFileOverlay::IsFile(const std::string& hostPath) const {
    if (const SEntry* entry = Find(hostPath)) return entry->m_exists && !entry->m_folder;
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CFileOverlay::IsFolder(const std::string& hostPath) const {
    if (const SEntry* entry = Find(hostPath)) return entry->m_exists && entry->m_folder;
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> CFileOverlay::ReadFile(const std::string& hostPath) const {
    if (const SEntry* entry = Find(hostPath)) {
        if (!entry->m_exists || entry->m_folder) return std::nullopt;
        return entry->m_bytes;
    }
    if (!IsFile(hostPath)) return std::nullopt;
    return files::ReadWholeFile(hostPath);
}

void CFileOverlay::PutFile(const std::string& hostPath, std::string bytes) {
    m_entries[hostPath] = {true, false, std::move(bytes)};
}

void CFileOverlay::PutFolder(const std::string& hostPath) {
    m_entries[hostPath] = {true, true, {}};
}

void CFileOverlay::Remove(const std::string& hostPath) {
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = IsBelow(it->first, hostPath) ? m_entries.erase(it) : std::next(it);
    for (auto it = m_attributes.begin(); it != m_attributes.end();)
        it = it->first == hostPath || IsBelow(it->first, hostPath) ? m_attributes.erase(it) : std::next(it);
    m_entries[hostPath] = {};
}

void CFileOverlay::PutAttributes(const std::string& hostPath, uint32_t attributes) {
    m_attributes[hostPath] = attributes;
}

std::optional<uint32_t> CFileOverlay::Attributes(const std::string& hostPath) const {
    auto it = m_attributes.find(hostPath);
    return it == m_attributes.end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

std::vector<std::string> CFileOverlay::AddedNames(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [path, entry] : m_entries) {
        if (!entry.m_exists || !IsBelow(path, folder)) continue;
        const std::string name = path.substr(folder.size() + 1);
        if (name.find('/') == std::string::npos) names.push_back(name);
    }
    return names;
}

bool CFileOverlay::IsRemoved(const std::string& hostPath) const {
    const SEntry* entry = Find(hostPath);
    return entry && !entry->m_exists;
}

} // namespace cva::journal
