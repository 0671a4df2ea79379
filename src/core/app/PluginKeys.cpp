#include "core/app/PluginKeys.h"

#include "platform/files/AtomicFile.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace cva::app {

namespace {

constexpr const char* kSettingsSection = "settings";
// Values are read through a buffer of this size, as the profile functions would.
constexpr uint32_t kValueBuffer = 260;

std::string ReadString(const ini::CIniFile& file, const char* key, const char* defaultValue) {
    char buffer[kValueBuffer];
    uint32_t n = file.GetProfileString(kSettingsSection, key, defaultValue, buffer, kValueBuffer);
    return std::string(buffer, n);
}

// Where the "[script]" line starts, or the text's end. The script usually makes up most
// of a plugin file and no key is ever read from it, so the scan leaves it unparsed.
size_t ScriptStart(std::string_view text) {
    if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF"))
        return text.size(); // UTF-16 text: leave the whole file to the INI reader
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        size_t at = lineStart;
        while (at < lineEnd && (text[at] == ' ' || text[at] == '\t')) ++at;
        if (at < lineEnd && text[at] == '[') {
            std::string_view line = text.substr(at, lineEnd - at);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.remove_suffix(1);
            if (text::EqualsNoCaseUtf8(line, "[script]")) return lineStart;
        }
        lineStart = lineEnd + 1;
    }
    return text.size();
}

} // namespace

SPluginKeys ReadPluginKeys(const std::string& path) {
    SPluginKeys keys;
    std::optional<std::string> data = files::ReadWholeFile(path);
    if (!data) return keys;
    const std::string_view text = *data;
    std::optional<ini::CIniFile> file = ini::CIniFile::FromText(text.substr(0, ScriptStart(text)));
    keys.readable = true;
    keys.caption = ReadString(*file, "caption", "none");
    keys.category = ReadString(*file, "category", "none");
    keys.osVersion = ReadString(*file, "OSVERSION", "none");
    keys.group = file->GetInt(kSettingsSection, "GROUP", 0);
    keys.level = file->GetInt(kSettingsSection, "LEVEL", 0);
    keys.levelOrNormal = file->GetInt(kSettingsSection, "LEVEL", 1);
    return keys;
}

std::vector<SPluginKeys> ReadPluginKeysAll(const std::vector<std::string>& paths,
                                           const std::function<void(size_t done)>& progress) {
    std::vector<SPluginKeys> result(paths.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    auto work = [&](bool report) {
        for (size_t i = next++; i < paths.size(); i = next++) {
            result[i] = ReadPluginKeys(paths[i]);
            size_t finished = ++done;
            if (report && progress) progress(finished);
        }
    };
    // Parsing is mostly waiting for the disk and splitting lines; a second thread pays
    // off once there are a few dozen files.
    const bool second = paths.size() >= 32 && std::thread::hardware_concurrency() > 1;
    if (second) {
        std::jthread helper(work, false);
        work(true);
    } else {
        work(true);
    }
    if (progress) progress(paths.size());
    return result;
}

bool PassesVersionFilter(std::string_view osVersion, const SVersionTarget& target, bool accept2K) {
    if (text::EqualsNoCaseUtf8(osVersion, "none")) return true;
    const std::string upper = text::ToUpperUtf8(osVersion);
    auto has = [&](const char* tag) { return upper.find(tag) != std::string::npos; };
    if (has("WINE")) return target.wine;
    switch (target.windowsVersionCode) {
    case 9: return has("VISTA");
    case 7: return has("XP");
    case 3: return has("98");
    case 6: return has("2000") || (accept2K && has("2K"));
    case 4: return has("ME");
    case 8: return has("2003");
    default: return true; // older systems, Windows 95 and NT 4 take every plugin
    }
}

std::string FileNameOf(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(slash + 1));
}

bool IsBareFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

std::string TrimBlanks(std::string_view text) {
    const char* blanks = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

} // namespace cva::app
