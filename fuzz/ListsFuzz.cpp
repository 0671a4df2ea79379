// Reads arbitrary bytes as the list files of the profile folder: the catalogue cache
// (cache.dat, behind the folder and signature lines a start expects) and favorites.ini,
// tools.ini and applied.ini as the catalogue views and the menus read them.
#include "core/app/PluginCatalogue.h"
#include "core/registry/FavoritesMenus.h"
#include "core/settings/FavoritesOrganizer.h"
#include "platform/settings/SettingsStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A plugin folder with one plugin, a profile folder and the settings naming them, made
// once per process in memory-backed storage when there is some (each cache load writes
// the settings file, and that flushes).
struct SProfile {
    std::string root;
    std::string profile;
    std::string cacheHead; // the folder and signature lines the cache must start with
    std::unique_ptr<cva::settings::CSettingsStore> settings;

    SProfile()
    {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/cva-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data()))
            std::abort();
        root = pattern;
        profile = root + "/profile";
        const std::string plugins = root + "/plugins";
        if (mkdir(profile.c_str(), 0700) != 0 || mkdir(plugins.c_str(), 0700) != 0)
            std::abort();
        WriteFile(plugins + "/a.cvp", "[settings]\r\ncategory=Sys::Node::A\r\nLEVEL=2\r\n[interface]\r\ntype=check\r\n"
                                      "[script]\r\nSub OnInit\r\nEnd Sub\r\n");
        settings = std::make_unique<cva::settings::CSettingsStore>(root + "/config");
        settings->WriteProfileString("Settings", "PluginDir", plugins.c_str());
        settings->WriteProfileString("Settings", "ProfileDir", profile.c_str());
        cva::app::CPluginCatalogue catalogue(*settings, 7);
        catalogue.BuildCatalogue(0);
        if (!catalogue.SaveCatalogueCache())
            std::abort();
        const std::string cache = ReadFile(catalogue.CacheFilePath());
        const size_t second = cache.find("\r\n", cache.find("\r\n") + 2);
        if (second == std::string::npos)
            std::abort();
        cacheHead = cache.substr(0, second + 2);
    }

    ~SProfile()
    {
        settings.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    static SProfile& Instance()
    {
        static SProfile profile;
        return profile;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva;
    if (size > 32 * 1024)
        return 0;
    SProfile& profile = SProfile::Instance();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    WriteFile(profile.profile + "/cache.dat", profile.cacheHead + std::string(bytes));
    profile.settings->WriteProfileInt("Settings", "CacheValid", 1);
    app::CPluginCatalogue catalogue(*profile.settings, 7);
    catalogue.BuildCatalogue(0);
    catalogue.FindByFileName("a.cvp");

    for (const char* name : {"/favorites.ini", "/tools.ini", "/applied.ini"})
        WriteFile(profile.profile + name, bytes);
    catalogue.ShowFavorites();
    catalogue.ShowApplied();
    registry::CFavoritesMenus menus(*profile.settings, 7);
    menus.BuildFavoritesMenu();
    menus.BuildToolsMenu();
    for (unsigned int i = 0; i < 4; ++i) {
        menus.FavoriteFileName(registry::kFavoriteFirstId + i);
        menus.ToolCommand(registry::kToolFirstId + i);
    }
    options::CFavoritesOrganizer organizer(*profile.settings);
    organizer.Open();
    return 0;
}
