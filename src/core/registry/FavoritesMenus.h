#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cva::app {
class IUserPrompts;
}
namespace cva::settings {
class CSettingsStore;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::registry {

// Command identifiers of the favorites and tools menu items: the first id plus the
// line's index in its file.
constexpr unsigned int kFavoriteFirstId = 3584;
constexpr unsigned int kFavoriteLastId = 3839;
constexpr unsigned int kToolFirstId = 3840;
constexpr unsigned int kToolLastId = 4095;

// One item of a menu as a view draws it.
struct SMenuEntry {
    bool separator = false;
    std::string text;
    unsigned int id = 0;
};

struct SToolsMenu {
    std::vector<SMenuEntry> entries;
    // No command survived: the whole "&Tools" menu leaves the menu bar.
    bool removeMenu = false;
};

// The "F&avorites" and "&Tools" menus as data, built from favorites.ini ("text=file.cvp")
// and tools.ini ("text=command?TAGS"), and the commands behind their items.
class CFavoritesMenus {
public:
    CFavoritesMenus(settings::CSettingsStore& settings, int windowsVersionCode);

    // The items after "&Add To Favorites..." and "&Organize...": a separator when the
    // file has lines, then one item or separator per line. Clears the changed flag.
    std::vector<SMenuEntry> BuildFavoritesMenu();
    // Clears the pending flag; the tools menu is built once per run.
    SToolsMenu BuildToolsMenu();

    // The plugin file a favorites item names; empty for a line without "=" or a name
    // that would leave the plugin folder.
    std::string FavoriteFileName(unsigned int id) const;
    // Hands the file name to `open` (the main window opens that plugin). False when the
    // line names none.
    bool OnFavorite(unsigned int id, const std::function<void(const std::string& fileName)>& open);
    // The command a tools item starts, without its tag list; empty when none.
    std::string ToolCommand(unsigned int id) const;
    // Starts the tool on the target; the shell's result (above 32 on success), 0 when the
    // line names no command. The main window tells the user about failures.
    int OnTool(unsigned int id, target::CTargetSystem& target);
    // Asks for the menu text of the open plugin and puts "text=file" at the top of the
    // favorites. False when there is no plugin, the user cancels or the text is empty.
    bool OnAddToFavorites(const std::string& pluginPath, app::IUserPrompts& prompts);

    // Another target was opened: its tools menu is built anew for its version.
    void SetWindowsVersionCode(int code) {
        m_nWindowsVersion = code;
        m_bToolsPending = true;
    }
    // What the user is told when a tool did not start (`result` from OnTool, 32 or less).
    std::string ToolFailureText(unsigned int id, int result, const target::CTargetSystem& target) const;
    // A profile folder without tools.ini gets the Wine target's own tools (its registry
    // editor, Notepad and winecfg), which run on that prefix. The sandbox has no programs,
    // so it gets none, and a tools.ini that exists is never touched.
    static bool WriteDefaultTools(const std::string& profileFolder, bool wineTarget);

    // The tag a tools line must list to show on this Windows version ("" for none).
    static std::string SystemTag(int windowsVersionCode);

    bool m_bFavoritesChanged = true;
    bool m_bToolsPending = true;

private:
    std::string ProfileFolder() const;
    std::string LineAt(const char* fileName, int index) const;

    settings::CSettingsStore& m_settings;
    int m_nWindowsVersion;
};

// The status-bar prompt for a highlighted menu item. resourceString: the item's string
// resource, when it has one. std::nullopt leaves the pane as it is.
std::optional<std::string> MenuItemPrompt(unsigned int id, const std::string* resourceString);

} // namespace cva::registry
