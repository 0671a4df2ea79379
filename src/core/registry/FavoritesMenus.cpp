#include "core/registry/FavoritesMenus.h"

#include "core/app/PluginKeys.h"
#include "core/app/UserPrompts.h"
#include "core/registry/MRU.h"
#include "platform/files/TextFile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <sys/stat.h>

namespace cva::registry {

namespace {

// Only this many lines fit an identifier range; later lines would take the ids of the
// next range (or ids beyond it) and are left out of the menus.
constexpr int kMaxMenuLines = 256;

using app::TrimBlanks;

std::string TrimRight(const std::string& text) {
    const size_t last = text.find_last_not_of(" \t\r\n\v\f");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// The trimmed menu text of a "text=..." line, or empty when the line gives no item.
std::string MenuText(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return {};
    return TrimBlanks(std::string_view(line).substr(0, equals));
}

} // namespace

CFavoritesMenus::CFavoritesMenus(settings::CSettingsStore& settings, int windowsVersionCode)
    : m_settings(settings), m_nWindowsVersion(windowsVersionCode) {}

std::string CFavoritesMenus::ProfileFolder() const {
    std::string folder = m_settings.GetProfileString("Settings", "ProfileDir");
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

std::string CFavoritesMenus::LineAt(const char* fileName, int index) const {
    CMRU list(ProfileFolder());
    list.Load(fileName);
    return list.GetAt(index);
}

std::string CFavoritesMenus::SystemTag(int windowsVersionCode) {
    switch (windowsVersionCode) {
    case 3: return "98";
    case 4: return "ME";
    case 6: return "2000";
    case 7: return "XP";
    case 8: return "2003";
    case 9: return "VISTA";
    default: return {};
    }
}

std::vector<SMenuEntry> CFavoritesMenus::BuildFavoritesMenu() {
    m_bFavoritesChanged = false;
    std::vector<SMenuEntry> entries;
    CMRU favorites(ProfileFolder());
    favorites.Load("favorites.ini");
    if (favorites.GetCount() > 0) entries.push_back(SMenuEntry{true, {}, 0});
    for (int i = 0; i < favorites.GetCount() && i < kMaxMenuLines; ++i) {
        const std::string& line = favorites.Items()[static_cast<size_t>(i)];
        if (line == "-") {
            entries.push_back(SMenuEntry{true, {}, 0});
            continue;
        }
        const std::string text = MenuText(line);
        if (!text.empty()) entries.push_back(SMenuEntry{false, text, kFavoriteFirstId + static_cast<unsigned int>(i)});
    }
    return entries;
}

SToolsMenu CFavoritesMenus::BuildToolsMenu() {
    m_bToolsPending = false;
    SToolsMenu menu;
    const std::string tag = SystemTag(m_nWindowsVersion);
    CMRU tools(ProfileFolder());
    tools.Load("tools.ini");
    bool anyItem = false;
    for (int i = 0; i < tools.GetCount() && i < kMaxMenuLines; ++i) {
        std::string line = tools.Items()[static_cast<size_t>(i)];
        if (line.empty()) continue;
        if (line == "-") {
            menu.entries.push_back(SMenuEntry{true, {}, 0});
            continue;
        }
        const size_t mark = line.rfind('?');
        if (mark != std::string::npos) {
            const std::string tags = text::ToUpperUtf8(std::string_view(line).substr(mark + 1));
            line = TrimRight(line.substr(0, mark));
            if (!tags.empty() && tags.find(tag) == std::string::npos) continue;
        }
        const std::string text = MenuText(line);
        if (text.empty()) continue;
        menu.entries.push_back(SMenuEntry{false, text, kToolFirstId + static_cast<unsigned int>(i)});
        anyItem = true;
    }
    if (!anyItem) {
        menu.entries.clear();
        menu.removeMenu = true;
    }
    return menu;
}

std::string CFavoritesMenus::FavoriteFileName(unsigned int id) const {
    if (id < kFavoriteFirstId || id > kFavoriteLastId) return {};
    const std::string line = LineAt("favorites.ini", static_cast<int>(id - kFavoriteFirstId));
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return {};
    std::string name = TrimBlanks(std::string_view(line).substr(equals + 1));
    return app::IsBareFileName(name) ? name : std::string();
}

bool CFavoritesMenus::OnFavorite(unsigned int id,
                                 const std::function<void(const std::string& fileName)>& open) {
    const std::string name = FavoriteFileName(id);
    if (name.empty()) return false;
    if (open) open(name);
    return true;
}

std::string CFavoritesMenus::ToolCommand(unsigned int id) const {
    if (id < kToolFirstId || id > kToolLastId) return {};
    const std::string line = LineAt("tools.ini", static_cast<int>(id - kToolFirstId));
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return {};
    std::string command = line.substr(equals + 1);
    const size_t mark = command.rfind('?');
    if (mark != std::string::npos) command.erase(mark);
    return TrimBlanks(command);
}

int CFavoritesMenus::OnTool(unsigned int id, target::CTargetSystem& target) {
    const std::string command = ToolCommand(id);
    if (command.empty()) return 0;
    return target.ShellExecute(command);
}

std::string CFavoritesMenus::ToolFailureText(unsigned int id, int result,
                                             const target::CTargetSystem& target) const {
    const std::string line = LineAt("tools.ini", static_cast<int>(id - kToolFirstId));
    const std::string name = MenuText(line);
    const std::string command = ToolCommand(id);
    if (target.Kind() == target::TargetKind::Sandbox)
        return "The tool \"" + name + "\" cannot run: the sandbox has no programs. Tools run on a "
               "Wine prefix, which can be chosen on the Target page of the options.";
    if (target.Kind() == target::TargetKind::Offline)
        return "The tool \"" + name + "\" cannot run: the Windows of the disk is not running, so "
               "none of its programs can start. Tools run on a Wine prefix, which can be chosen on "
               "the Target page of the options.";
    const std::string label = target::TargetLabel(target.Spec());
    std::string text = "The tool \"" + name + "\" could not be started: ";
    if (result == target::SE_ERR_FNF || result == target::SE_ERR_PNF)
        return text + "\"" + command + "\" was not found on " + label + ".";
    return text + "\"" + command + "\" gave the error " + std::to_string(result) + " on " + label + ".";
}

bool CFavoritesMenus::WriteDefaultTools(const std::string& profileFolder, bool wineTarget) {
    const std::string path = profileFolder + "/tools.ini";
    struct stat st;
    if (!wineTarget || profileFolder.empty() || lstat(path.c_str(), &st) == 0) return false;
    return files::WriteTextLines(path, {"Registry Editor=regedit.exe", "Notepad=notepad.exe",
                                        "Wine Configuration=winecfg.exe"});
}

bool CFavoritesMenus::OnAddToFavorites(const std::string& pluginPath, app::IUserPrompts& prompts) {
    if (pluginPath.empty()) return false;
    const size_t slash = pluginPath.find_last_of("/\\");
    const std::string fileName = slash == std::string::npos ? pluginPath : pluginPath.substr(slash + 1);
    if (fileName.empty()) return false;

    app::SInputBoxRequest request;
    request.m_caption = "Add To Favorites";
    request.m_description = "Please enter the text to be displayed in the favorites menu.";
    request.m_label1 = "Menu Text";
    request.m_text1 = app::ReadPluginKeys(pluginPath).caption;
    request.m_label2 = "Plug-In";
    request.m_text2 = fileName;
    request.m_disabled2 = true; // shown for reference; the file is the one open
    std::optional<app::SInputBoxResult> answer = prompts.InputBox(request);
    if (!answer) return false;

    // The first "=" of a line ends its menu text, and a line break would split the line,
    // so neither may survive in the text the user typed.
    std::string text;
    for (char c : answer->m_text1) {
        if (c == '\r' || c == '\n') c = ' ';
        text += c == '=' ? '-' : c;
    }
    text = TrimBlanks(text);
    if (text.empty()) return false;

    CMRU favorites(ProfileFolder());
    favorites.Load("favorites.ini");
    favorites.Add(text + "=" + fileName);
    favorites.Save();
    m_bFavoritesChanged = true;
    return true;
}

std::optional<std::string> MenuItemPrompt(unsigned int id, const std::string* resourceString) {
    if (id == 0) return std::string();
    if (resourceString) {
        const size_t newline = resourceString->find('\n');
        return newline == std::string::npos ? *resourceString : resourceString->substr(newline + 1);
    }
    if (id >= kFavoriteFirstId && id <= kFavoriteFirstId + 15) return std::string("Open this favorite page");
    if (id >= kToolFirstId && id <= kToolFirstId + 15) return std::string("Open this tool");
    return std::nullopt;
}

} // namespace cva::registry
