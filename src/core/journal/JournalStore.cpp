#include "core/journal/JournalStore.h"

#include "platform/files/AtomicFile.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace cva::journal {

namespace {

constexpr const char* kExtension = ".txt";

// 2026-12-07T14:03:12Z -> 20261207-140312
std::string IdFromTime(const std::string& time) {
    std::string id;
    for (char c : time)
        if (c >= '0' && c <= '9') id += c;
    return id.size() == 14 ? id.substr(0, 8) + "-" + id.substr(8) : "entry";
}

} // namespace

std::string JournalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buffer[32];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(buffer, n);
}

CJournalStore::CJournalStore(std::string profileFolder)
    : m_folder(profileFolder.empty() ? std::string() : (fs::path(profileFolder) / "journal").string()) {}

bool CJournalStore::Add(SJournalEntry& entry, std::string& error) {
    // Without a profile folder nothing is kept, as for the history beside it.
    if (m_folder.empty()) return true;
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    if (entry.m_time.empty()) entry.m_time = JournalTimeNow();
    // Several entries within one second keep their order through a counter.
    const std::string base = IdFromTime(entry.m_time);
    for (int n = 1;; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "-%03d", n);
        entry.m_id = base + suffix;
        if (!fs::exists(fs::path(m_folder) / (entry.m_id + kExtension), ec)) break;
    }
    const std::string path = (fs::path(m_folder) / (entry.m_id + kExtension)).string();
    if (files::WriteFileAtomically(path, FormatJournalEntry(entry))) return true;
    error = "the journal entry cannot be written: " + path;
    return false;
}

std::vector<SJournalEntry> CJournalStore::List() const {
    std::vector<SJournalEntry> entries;
    if (m_folder.empty()) return entries;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(m_folder, ec)) {
        if (item.path().extension() != kExtension) continue;
        auto text = files::ReadWholeFile(item.path().string());
        if (!text) continue;
        if (auto entry = ParseJournalEntry(*text)) entries.push_back(std::move(*entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const SJournalEntry& a, const SJournalEntry& b) { return a.m_id > b.m_id; });
    return entries;
}

std::optional<SJournalEntry> CJournalStore::Find(const std::string& id) const {
    if (m_folder.empty()) return std::nullopt;
    auto text = files::ReadWholeFile((fs::path(m_folder) / (id + kExtension)).string());
    if (!text) return std::nullopt;
    return ParseJournalEntry(*text);
}

std::set<std::string> UndoneEntries(const std::vector<SJournalEntry>& entries) {
    std::map<std::string, const SJournalEntry*> byId;
    for (const SJournalEntry& e : entries) byId[e.m_id] = &e;
    std::set<std::string> undone;
    // Oldest first: an undo takes its entry back, and an undo of an undo puts the entry
    // that undo took back in force again.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->m_undoes.empty()) continue;
        undone.insert(it->m_undoes);
        auto found = byId.find(it->m_undoes);
        if (found != byId.end() && !found->second->m_undoes.empty()) undone.erase(found->second->m_undoes);
    }
    return undone;
}

std::optional<SJournalEntry> CJournalStore::LastStandingApply(const std::string& target) const {
    std::vector<SJournalEntry> entries = List();
    const std::set<std::string> undone = UndoneEntries(entries);
    for (SJournalEntry& e : entries)
        if (e.m_kind == "apply" && e.m_target == target && !undone.count(e.m_id)) return std::move(e);
    return std::nullopt;
}

} // namespace cva::journal
