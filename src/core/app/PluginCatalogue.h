#pragma once

#include "core/app/CatalogueTree.h"
#include "core/app/PluginInfo.h"
#include "core/app/PluginKeys.h"

#include <memory>
#include <string>
#include <vector>

namespace cva::settings {
class CSettingsStore;
}

namespace cva::app {

// The views the catalogue can show (the "Category" menu).
enum ECatalogueView { kViewAll = 0, kViewPopular = 1, kViewFavorites = 2, kViewApplied = 4 };

// The progress window of a scan or a cache load. SetPos gets 0 to 100; a window pumps
// its pending messages there so the program stays responsive.
class ICatalogueProgress {
public:
    virtual ~ICatalogueProgress() = default;
    virtual void Begin() {}
    virtual void SetPos(int percent) = 0;
    virtual void End() {}
};

// One outlook-bar folder with the category tree it shows.
struct SOutBarFolder {
    std::string name;
    CCatalogueTree tree;
};

// The catalogue of the plugins that apply to the target: entries, outlook-bar folders
// with their trees, the views, and the cache that spares a start from reading every
// plugin file. "PluginDir", "ProfileDir" and the cache counters are read from the
// settings each time, since the options dialog can change them at any moment. The cache
// names the folder it was written for and a signature of that folder's plugin files and
// of the target the version filter chose for; a cache that no longer matches the folder or
// the target is not used.
class CPluginCatalogue {
public:
    CPluginCatalogue(settings::CSettingsStore& settings, int windowsVersionCode, bool wineTarget = false);
    ~CPluginCatalogue();
    CPluginCatalogue(const CPluginCatalogue&) = delete;
    CPluginCatalogue& operator=(const CPluginCatalogue&) = delete;

    void SetProgress(ICatalogueProgress* progress) { m_pProgress = progress; }

    // groupMask 0: every plugin, from the cache while "CacheValid" is set and the cache
    // matches the folder; otherwise only plugins whose "GROUP" shares a bit with the mask.
    void BuildCatalogue(int groupMask);
    // True when cache.dat could be read and was written for the plugin folder as the
    // last BuildCatalogue(0) found it.
    bool LoadCatalogueCache();
    // Writes cache.dat at exit; true when it was written and "CacheValid" set.
    bool SaveCatalogueCache();
    // Returns the new entry's index, or -1 when the category has no "::". An empty
    // category and a level of 0 are read from the file.
    int AddPluginEntry(const std::string& path, const std::string& category, int level);
    // Finds or creates the nodes of a category path below `parent`; returns the leaf.
    HTREEITEM InsertTreePath(CCatalogueTree& tree, const std::string& path, int level,
                             HTREEITEM parent);
    // Cuts the first component off `rest` (unescaped when a separator follows it).
    static std::string SplitCategoryPath(std::string& rest);
    // The catalogue of the one plugin named on the command line.
    void LoadSinglePlugin(const std::string& path);

    // The commands of the "View" and "Category" menus.
    void RefreshAll();
    void ShowAll();
    void ShowPopular();
    void ShowFavorites();
    void ShowApplied();
    // An entry's file has gone: the next start must scan the folder again.
    void InvalidateCache();
    void Clear();

    // The first entry whose file name equals `fileName` (ignoring case), or -1.
    int FindByFileName(const std::string& fileName) const;
    bool IsValidIndex(int index) const {
        return index >= 0 && static_cast<size_t>(index) < m_plugins.size();
    }

    int GetFolderCount() const { return static_cast<int>(m_folders.size()); }
    SOutBarFolder& Folder(int index) { return *m_folders[static_cast<size_t>(index)]; }
    const SOutBarFolder& Folder(int index) const { return *m_folders[static_cast<size_t>(index)]; }
    int GetCurrentFolder() const { return m_nCurrentFolder; }
    void SetCurrentFolder(int index);

    // The "PluginDir" setting, or the folder given for this run only.
    std::string PluginFolder() const;
    void SetPluginFolder(std::string folder) { m_strFolderForRun = std::move(folder); }
    std::string ProfileFolder() const;
    std::string CacheFilePath() const;
    const SVersionTarget& VersionTarget() const { return m_target; }
    // Another target was opened: the version filter follows it from the next build.
    void SetVersionTarget(int windowsVersionCode, bool wine) { m_target = {windowsVersionCode, wine}; }

    std::vector<PLUGIN_INFO> m_plugins;
    int m_nView = kViewAll;
    bool m_bCacheUsable = true;

private:
    int AddResolvedEntry(const std::string& path, const std::string& category, int level);
    int FindOrCreateFolder(const std::string& name);
    void Progress(int percent);
    int ReadSetting(const char* name, int defaultValue) const;
    void WriteSetting(const char* name, int value);

    settings::CSettingsStore& m_settings;
    SVersionTarget m_target;
    ICatalogueProgress* m_pProgress = nullptr;
    std::vector<std::unique_ptr<SOutBarFolder>> m_folders;
    int m_nCurrentFolder = 0;
    // Set only while the catalogue holds every plugin: the cache must never be written
    // from a view that shows fewer.
    bool m_bFullCatalogue = false;
    std::string m_strFolderForRun;
    // The folder and its signature as the last full build found them, before it read
    // any file: a file changed during the scan makes the cache written from it stale.
    std::string m_strBuiltFolder;
    std::string m_strBuiltSignature;
};

} // namespace cva::app
