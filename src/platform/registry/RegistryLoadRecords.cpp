// Hives loaded by RegLoadKey outlive the program that loaded them, as they do on Windows,
// where a program that ends without unloading leaves the hive in the machine's registry
// for the next run to find. Our registry lives in the program, so each load leaves a
// note in the target's folder: which file is loaded under which name, and by which
// process. A note whose process has ended stands for a hive still loaded.
#include "platform/registry/Registry.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

namespace cva::reg {

namespace {

constexpr std::string_view kRecordPrefix = ".cva-loaded-";

struct SLoadRecord {
    long m_pid = 0; // 0: the program that loaded it has ended
    std::string m_file;
    std::string m_name;
};

bool ReadRecord(const std::string& path, SLoadRecord& record) {
    std::optional<std::string> text = files::ReadWholeFile(path);
    if (!text) return false;
    size_t first = text->find('\n');
    size_t second = first == std::string::npos ? first : text->find('\n', first + 1);
    if (second == std::string::npos) return false;
    record.m_pid = std::strtol(text->c_str(), nullptr, 10);
    record.m_file = text->substr(first + 1, second - first - 1);
    record.m_name = text->substr(second + 1);
    while (!record.m_name.empty() && record.m_name.back() == '\n')
        record.m_name.pop_back();
    return !record.m_file.empty() && !record.m_name.empty();
}

bool IsRunning(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

std::string CRegistry::LoadRecordPath(HKEY key, std::u16string_view subKey) const {
    if (m_loadRecordFolder.empty()) return {};
    std::string name = text::Utf16ToUtf8(text::ToUpper(subKey));
    for (char& c : name)
        if (c == '/') c = '_';
    return m_loadRecordFolder + "/" + std::string(kRecordPrefix) +
           (key == HKEY_USERS ? "User-" : "Machine-") + name;
}

bool CRegistry::IsLoadedElsewhere(HKEY key, std::u16string_view subKey) const {
    const std::string path = LoadRecordPath(key, subKey);
    SLoadRecord record;
    return !path.empty() && ReadRecord(path, record) && IsRunning(record.m_pid);
}

void CRegistry::NoteLoad(HKEY key, std::u16string_view subKey, const std::string& file,
                         bool ended) const {
    const std::string path = LoadRecordPath(key, subKey);
    if (path.empty() || !m_noteLoads) return;
    // Without the note the hive still works; only a run that ends without unloading it
    // leaves nothing for the next run to find.
    files::WriteFileAtomically(path, std::to_string(ended ? 0 : ::getpid()) + "\n" + file + "\n" +
                                         text::Utf16ToUtf8(subKey) + "\n");
}

void CRegistry::ForgetLoad(HKEY key, std::u16string_view subKey) const {
    const std::string path = LoadRecordPath(key, subKey);
    if (!path.empty()) ::unlink(path.c_str());
}

LSTATUS CRegistry::RestoreLoadedHives(std::vector<std::string>* errors) {
    if (m_loadRecordFolder.empty()) return ERROR_SUCCESS;
    DIR* dir = ::opendir(m_loadRecordFolder.c_str());
    if (!dir) return ERROR_SUCCESS;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.rfind(kRecordPrefix, 0) == 0) names.push_back(name);
    }
    ::closedir(dir);

    LSTATUS first = ERROR_SUCCESS;
    for (const std::string& name : names) {
        const std::string path = m_loadRecordFolder + "/" + name;
        SLoadRecord record;
        const bool read = ReadRecord(path, record);
        if (read && IsRunning(record.m_pid)) continue;
        const HKEY root =
            name.compare(kRecordPrefix.size(), 5, "User-") == 0 ? HKEY_USERS : HKEY_LOCAL_MACHINE;
        LSTATUS rc =
            read ? LoadKeyFile(root, text::Utf8ToUtf16(record.m_name), record.m_file) : ERROR_BADDB;
        if (rc == ERROR_SUCCESS) continue;
        // A hive whose file is gone or unreadable cannot be loaded again, nor unloaded:
        // its note would stand for nothing.
        ::unlink(path.c_str());
        if (first == ERROR_SUCCESS) first = rc;
        if (errors)
            errors->push_back((read ? record.m_file : path) + ": left loaded by an earlier run, "
                                                              "and it cannot be loaded again");
    }
    return first;
}

} // namespace cva::reg
