#include "core/app/PluginCatalogue.h"

#include "core/registry/MRU.h"
#include "platform/files/FindFile.h"
#include "platform/files/TextFile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/text/Unicode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

namespace cva::app {

namespace {

constexpr const char* kSection = "Settings";

std::string TrimTrailingSlashes(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

// The two lines in front of the cached entries.
constexpr std::string_view kFolderLine = "#folder=";
constexpr std::string_view kSignatureLine = "#signature=";

// Names, sizes and times of the *.cvp files, hashed (FNV-1a). The change time catches a
// file replaced by one of the same size with its old modification time kept (cp -p).
std::string FolderSignature(const std::string& folder, const std::vector<files::SFindData>& found) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](std::string_view bytes) {
        for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
        hash = (hash ^ 0xFF) * 1099511628211ull; // keeps "ab"+"c" apart from "a"+"bc"
    };
    size_t count = 0;
    for (const files::SFindData& entry : found) {
        struct stat st {};
        if (entry.IsFolder() || ::stat((folder + "/" + entry.name).c_str(), &st) != 0) continue;
        char times[160];
        std::snprintf(times, sizeof times, "%lld %lld.%09ld %lld.%09ld %llu",
                      static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                      static_cast<long long>(st.st_ctim.tv_sec), st.st_ctim.tv_nsec,
                      static_cast<unsigned long long>(st.st_ino));
        mix(entry.name);
        mix(times);
        ++count;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%zu-%016llx", count, static_cast<unsigned long long>(hash));
    return text;
}

// The version filter's view of the target: a catalogue built for a Wine prefix holds
// plugins that the sandbox must not show, and one built for XP lacks Vista's.
std::string FilterSignature(const SVersionTarget& target) {
    return (target.wine ? " wine " : " windows ") + std::to_string(target.windowsVersionCode);
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

} // namespace

CPluginCatalogue::CPluginCatalogue(settings::CSettingsStore& settings, int windowsVersionCode, bool wineTarget)
    : m_settings(settings), m_target{windowsVersionCode, wineTarget} {}

CPluginCatalogue::~CPluginCatalogue() = default;

int CPluginCatalogue::ReadSetting(const char* name, int defaultValue) const {
    return static_cast<int>(m_settings.GetProfileInt(kSection, name, defaultValue));
}

void CPluginCatalogue::WriteSetting(const char* name, int value) {
    m_settings.WriteProfileInt(kSection, name, value);
}

std::string CPluginCatalogue::PluginFolder() const {
    if (!m_strFolderForRun.empty()) return TrimTrailingSlashes(m_strFolderForRun);
    return TrimTrailingSlashes(m_settings.GetProfileString(kSection, "PluginDir"));
}

std::string CPluginCatalogue::ProfileFolder() const {
    return TrimTrailingSlashes(m_settings.GetProfileString(kSection, "ProfileDir"));
}

std::string CPluginCatalogue::CacheFilePath() const { return ProfileFolder() + "/cache.dat"; }

void CPluginCatalogue::Progress(int percent) {
    if (m_pProgress) m_pProgress->SetPos(percent > 100 ? 100 : percent);
}

void CPluginCatalogue::Clear() {
    m_plugins.clear();
    m_folders.clear();
    m_nCurrentFolder = 0;
    m_bFullCatalogue = false;
}

void CPluginCatalogue::SetCurrentFolder(int index) {
    if (index >= 0 && index < GetFolderCount()) m_nCurrentFolder = index;
}

void CPluginCatalogue::BuildCatalogue(int groupMask) {
    Clear();
    const std::string folder = PluginFolder();
    const std::vector<files::SFindData> found =
        folder.empty() ? std::vector<files::SFindData>() : files::FindFiles(folder, "*.cvp", false);
    if (groupMask == 0) {
        m_strBuiltFolder = folder;
        m_strBuiltSignature = FolderSignature(folder, found) + FilterSignature(m_target);
        if (ReadSetting("CacheValid", 0) != 0) {
            if (LoadCatalogueCache()) {
                m_bFullCatalogue = true;
                return;
            }
            Clear();
            // The scan's catalogue is to be cached at exit.
            WriteSetting("CacheValid", 0);
        }
    }

    std::vector<std::string> paths;
    for (const files::SFindData& entry : found) {
        if (!entry.IsFolder()) paths.push_back(folder + "/" + entry.name);
    }

    if (m_pProgress) m_pProgress->Begin();
    const int total = ReadSetting("TotalPlugins", 150);
    std::vector<SPluginKeys> keys = ReadPluginKeysAll(paths, [&](size_t seen) {
        if (total > 0) Progress(static_cast<int>(100 * static_cast<long long>(seen) / total));
    });

    int inUse = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        const SPluginKeys& plugin = keys[i];
        if (!PassesVersionFilter(plugin.osVersion, m_target, true)) continue;
        if (groupMask != 0 && (groupMask & plugin.group) == 0) continue;
        AddResolvedEntry(paths[i], plugin.category, plugin.level);
        ++inUse; // counted even when the entry is declined for want of "::"
    }
    const int seen = static_cast<int>(paths.size());

    if (groupMask == 0) {
        // Each write saves the settings file; most scans find the counts unchanged.
        if (inUse != 0 && ReadSetting("TotalPluginsInUse", 150) != inUse)
            WriteSetting("TotalPluginsInUse", inUse);
        if (seen != 0 && total != seen) WriteSetting("TotalPlugins", seen);
        m_bFullCatalogue = true;
    }
    if (m_pProgress) m_pProgress->End();
}

bool CPluginCatalogue::LoadCatalogueCache() {
    if (m_pProgress) m_pProgress->Begin();
    const std::string folder = PluginFolder();
    const int total = ReadSetting("TotalPluginsInUse", 150);
    std::optional<std::vector<std::string>> lines = files::ReadTextLines(CacheFilePath());
    if (!lines) {
        if (m_pProgress) m_pProgress->End();
        return false;
    }
    // A cache of another folder, or of this one before plugins were added, removed or
    // changed, does not describe the folder as it is.
    if (lines->size() < 2 || (*lines)[0] != std::string(kFolderLine) + m_strBuiltFolder ||
        (*lines)[1] != std::string(kSignatureLine) + m_strBuiltSignature || m_strBuiltFolder != folder) {
        if (m_pProgress) m_pProgress->End();
        return false;
    }
    lines->erase(lines->begin(), lines->begin() + 2);
    long long loaded = 0;
    for (const std::string& line : *lines) {
        // The level follows the last "|": a category may itself hold a "|", a file name
        // from the plugin folder never does (the writer leaves such names out).
        const size_t first = line.find('|');
        const size_t last = line.rfind('|');
        if (first == std::string::npos || last == first) continue;
        const std::string name = TrimBlanks(std::string_view(line).substr(0, first));
        const std::string category = TrimBlanks(std::string_view(line).substr(first + 1, last - first - 1));
        const std::string levelText = TrimBlanks(std::string_view(line).substr(last + 1));
        if (!IsBareFileName(name)) continue;
        const int level = static_cast<int>(std::strtol(levelText.c_str(), nullptr, 10));
        ++loaded;
        if (total > 0) Progress(static_cast<int>(100 * loaded / total));
        AddPluginEntry(folder + "/" + name, category, level);
    }
    if (m_pProgress) m_pProgress->End();
    return true;
}

bool CPluginCatalogue::SaveCatalogueCache() {
    if (!m_bCacheUsable || !m_bFullCatalogue || ReadSetting("CacheValid", 0) != 0) return false;
    std::vector<std::string> paths;
    paths.reserve(m_plugins.size());
    for (const PLUGIN_INFO& entry : m_plugins) paths.push_back(entry.path);
    const std::vector<SPluginKeys> keys = ReadPluginKeysAll(paths);

    std::vector<std::string> lines{std::string(kFolderLine) + m_strBuiltFolder,
                                   std::string(kSignatureLine) + m_strBuiltSignature};
    lines.reserve(paths.size() + 2);
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string name = FileNameOf(paths[i]);
        if (name.empty()) continue;
        // A name with "|" (possible on Linux) cannot be told apart from the fields; such
        // a folder is simply scanned at every start.
        if (name.find('|') != std::string::npos) return false;
        char level[16];
        snprintf(level, sizeof level, "%d", keys[i].levelOrNormal);
        lines.push_back(name + "|" + keys[i].category + "|" + level);
    }
    if (!files::WriteTextLines(CacheFilePath(), lines)) {
        WriteSetting("CacheValid", 0);
        return false;
    }
    WriteSetting("CacheValid", 1);
    return true;
}

int CPluginCatalogue::AddPluginEntry(const std::string& path, const std::string& category,
                                     int level) {
    std::string resolvedCategory = category;
    int resolvedLevel = level;
    if (category.empty() || level == 0) {
        const SPluginKeys keys = ReadPluginKeys(path);
        if (category.empty()) resolvedCategory = keys.category;
        if (level == 0) resolvedLevel = keys.level;
    }
    return AddResolvedEntry(path, resolvedCategory, resolvedLevel);
}

int CPluginCatalogue::AddResolvedEntry(const std::string& path, const std::string& category,
                                       int level) {
    const size_t separator = category.find("::");
    if (separator == std::string::npos) return -1;
    const int folder = FindOrCreateFolder(category.substr(0, separator));
    CCatalogueTree& tree = Folder(folder).tree;
    const HTREEITEM leaf = InsertTreePath(tree, category.substr(separator + 2), level, kTreeRoot);
    if (leaf == kNoItem) return -1;
    const int index = static_cast<int>(m_plugins.size());
    m_plugins.push_back(PLUGIN_INFO{path, 0, folder});
    tree.SetItemData(leaf, index);
    return index;
}

int CPluginCatalogue::FindOrCreateFolder(const std::string& name) {
    for (int i = GetFolderCount() - 1; i >= 0; --i) {
        if (text::EqualsNoCaseUtf8(Folder(i).name, name)) return i;
    }
    auto folder = std::make_unique<SOutBarFolder>();
    folder->name = name;
    m_folders.push_back(std::move(folder));
    return GetFolderCount() - 1;
}

HTREEITEM CPluginCatalogue::InsertTreePath(CCatalogueTree& tree, const std::string& path,
                                           int level, HTREEITEM parent) {
    std::string rest = path;
    HTREEITEM below = parent;
    for (;;) {
        std::string component = SplitCategoryPath(rest);
        const bool more = !rest.empty();
        // "A::::B" has an empty component between the separators; it names no node.
        if (component.empty() && more) continue;

        HTREEITEM found = kNoItem;
        for (HTREEITEM child : tree.Children(below)) {
            if (tree.IsFolderNode(child) && text::EqualsNoCaseUtf8(tree.GetItemText(child), component)) {
                found = child;
                break;
            }
        }
        if (found != kNoItem) {
            if (!more) return found; // the plugin takes over the category node
            below = found;
            continue;
        }

        HTREEITEM item;
        if (more) {
            item = tree.InsertItem(component, kImageFolder, kImageFolderSelected, below,
                                   below == kTreeRoot ? EInsertAt::Sort : EInsertAt::First);
        } else {
            const bool risky = level >= 3;
            item = tree.InsertItem(component, risky ? kImageRiskyPlugin : kImagePlugin,
                                   risky ? kImageRiskyPlugin : kImagePluginSelected, below,
                                   EInsertAt::Sort);
        }
        if (item == kNoItem) return kNoItem;
        tree.SetItemData(item, kFolderNodeData);
        if (!more) return item;
        below = item;
    }
}

std::string CPluginCatalogue::SplitCategoryPath(std::string& rest) {
    size_t from = 0;
    for (;;) {
        const size_t pos = rest.find("::", from);
        if (pos == std::string::npos) break;
        size_t backslashes = 0;
        while (backslashes < pos && rest[pos - 1 - backslashes] == '\\') ++backslashes;
        if (backslashes % 2 == 1) {
            from = pos + 1;
            continue;
        }
        std::string component = rest.substr(0, pos);
        ReplaceAll(component, "\\::", "::");
        ReplaceAll(component, "\\\\", "\\");
        rest.erase(0, pos + 2);
        return component;
    }
    std::string component = std::move(rest);
    rest.clear();
    return component;
}

void CPluginCatalogue::LoadSinglePlugin(const std::string& path) {
    Clear();
    const SPluginKeys keys = ReadPluginKeys(path);
    if (!PassesVersionFilter(keys.osVersion, m_target, false)) return;
    AddResolvedEntry(path, keys.category, keys.level);
}

void CPluginCatalogue::RefreshAll() {
    WriteSetting("CacheValid", 0);
    BuildCatalogue(0);
    // The menu's check mark must follow what is shown, whichever view was active.
    m_nView = kViewAll;
}

void CPluginCatalogue::ShowAll() {
    BuildCatalogue(0);
    m_nView = kViewAll;
}

void CPluginCatalogue::ShowPopular() {
    BuildCatalogue(1);
    m_nView = kViewPopular;
}

void CPluginCatalogue::ShowFavorites() {
    Clear();
    const std::string folder = PluginFolder();
    registry::CMRU favorites(ProfileFolder());
    favorites.Load("favorites.ini");
    for (const std::string& line : favorites.Items()) {
        if (line.empty() || line == "-") continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = TrimBlanks(std::string_view(line).substr(equals + 1));
        if (!IsBareFileName(name)) continue;
        AddPluginEntry(folder + "/" + name, std::string(), 0);
    }
    m_bCacheUsable = false;
    m_nView = kViewFavorites;
}

void CPluginCatalogue::ShowApplied() {
    Clear();
    const std::string folder = PluginFolder();
    registry::CMRU applied(ProfileFolder());
    applied.Load("applied.ini");
    for (const std::string& raw : applied.Items()) {
        const std::string line = TrimBlanks(raw);
        // The time never holds a "?", so the last one ends the file name, which may.
        const size_t mark = line.rfind('?');
        if (line.empty() || mark == std::string::npos) continue;
        const std::string name = TrimBlanks(std::string_view(line).substr(0, mark));
        if (!IsBareFileName(name)) continue;
        AddPluginEntry(folder + "/" + name, std::string(), -1);
    }
    m_bCacheUsable = false;
    m_nView = kViewApplied;
}

void CPluginCatalogue::InvalidateCache() {
    WriteSetting("CacheValid", 0);
    m_bCacheUsable = false;
}

int CPluginCatalogue::FindByFileName(const std::string& fileName) const {
    for (size_t i = 0; i < m_plugins.size(); ++i) {
        if (text::EqualsNoCaseUtf8(FileNameOf(m_plugins[i].path), fileName)) return static_cast<int>(i);
    }
    return -1;
}

} // namespace cva::app
