#include "CatalogueFixture.h"

#include <filesystem>
#include <fstream>

using namespace cva;
using namespace cva::app;
using cva::test::SPluginSpec;

namespace {

class RecordingProgress : public ICatalogueProgress {
public:
    void Begin() override { ++begun; }
    void SetPos(int percent) override { positions.push_back(percent); }
    void End() override { ++ended; }
    int begun = 0, ended = 0;
    std::vector<int> positions;
};

class CatalogueCache : public cva::test::CatalogueFixture {
protected:
    std::unique_ptr<CPluginCatalogue> Start(int versionCode = 7) {
        auto catalogue = std::make_unique<CPluginCatalogue>(*m_settings, versionCode);
        catalogue->BuildCatalogue(0);
        return catalogue;
    }
};

TEST_F(CatalogueCache, WrittenAtExitAndReadAtNextStart) {
    WritePlugin("a.cvp", {"Sys::Node::A", 2});
    WritePlugin("b.cvp", {"Sys::B"});
    ASSERT_TRUE(Start()->SaveCatalogueCache());
    EXPECT_EQ(Setting("CacheValid", 0), 1);
    // The folder and its signature head the entries; the level's default is 1 when the
    // cache is written.
    const std::string cache = ReadProfileFile("cache.dat");
    EXPECT_EQ(cache.rfind("#folder=" + m_temp / "plugins" + "\r\n#signature=2-", 0), 0u) << cache;
    EXPECT_EQ(cache.substr(cache.find("\r\n", cache.find("#signature")) + 2),
              "a.cvp|Sys::Node::A|2\r\nb.cvp|Sys::B|1\r\n");

    auto cached = Start();
    EXPECT_EQ(cached->m_plugins.size(), 2u);
    EXPECT_FALSE(cached->SaveCatalogueCache()); // the cache is still valid
    cached->RefreshAll();
    EXPECT_EQ(Setting("CacheValid", 1), 0);
    EXPECT_TRUE(cached->SaveCatalogueCache());
}

TEST_F(CatalogueCache, StaleCacheIsScannedAgainAndRewritten) {
    WritePlugin("a.cvp", {"Sys::A"});
    WritePlugin("b.cvp", {"Sys::B"});
    ASSERT_TRUE(Start()->SaveCatalogueCache());
    // A file added, one rewritten at once with the same size, one removed.
    WritePlugin("c.cvp", {"Sys::C"});
    WritePlugin("a.cvp", {"Sys::X"});
    std::filesystem::remove(PluginPath("b.cvp"));
    auto cat = Start();
    ASSERT_EQ(cat->m_plugins.size(), 2u);
    EXPECT_NE(Find(cat->Folder(0).tree, {"X"}), kNoItem);
    EXPECT_EQ(Setting("CacheValid", 1), 0);
    ASSERT_TRUE(cat->SaveCatalogueCache());
    EXPECT_FALSE(Start()->SaveCatalogueCache()) << "the new cache matches";

    // A cache of another folder is not this folder's.
    std::filesystem::create_directories(m_temp / "other");
    std::ofstream(m_temp / "other/o.cvp") << "[settings]\r\ncategory=Other::O\r\n";
    CPluginCatalogue other(*m_settings, 7);
    other.SetPluginFolder(m_temp / "other/");
    other.BuildCatalogue(0);
    ASSERT_EQ(other.m_plugins.size(), 1u);
    EXPECT_EQ(other.m_plugins[0].path, m_temp / "other/o.cvp");
    EXPECT_EQ(m_settings->GetProfileString("Settings", "PluginDir"), m_temp / "plugins/");
}

TEST_F(CatalogueCache, CacheServesOnlyTheKindAndVersionOfTargetItWasWrittenFor) {
    WritePlugin("wine.cvp", {"Wine: Graphics::Dpi", -1, "WINE"});
    WritePlugin("vista.cvp", {"Sys::Vista", -1, "VISTA"});
    CPluginCatalogue wine(*m_settings, 7, true);
    wine.BuildCatalogue(0);
    ASSERT_EQ(wine.m_plugins.size(), 1u);
    ASSERT_TRUE(wine.SaveCatalogueCache());

    auto sandbox = Start(7);
    EXPECT_TRUE(sandbox->m_plugins.empty());
    ASSERT_TRUE(sandbox->SaveCatalogueCache());
    sandbox->SetVersionTarget(9, false); // another target opened in the same run
    sandbox->ShowAll();
    ASSERT_EQ(sandbox->m_plugins.size(), 1u);
    EXPECT_EQ(sandbox->m_plugins[0].path, PluginPath("vista.cvp"));
}

TEST_F(CatalogueCache, CachedLinesAreTakenAsTheyStand) {
    WritePlugin("level.cvp", {"Sys::FromFile", 4, "VISTA"});
    ASSERT_TRUE(Start()->SaveCatalogueCache());
    const std::string cache = ReadProfileFile("cache.dat");
    const std::string header = cache.substr(0, cache.find("\r\n", cache.find("#signature")) + 2);
    WriteProfileFile("cache.dat", header +
                     "nofile.cvp|Gone::Entry|2\r\n"
                     "broken line\r\n"
                     "one|bar\r\n"
                     " level.cvp | Sys::Cached | 0 \r\n"
                     "../escape.cvp|Sys::Out|1\r\n"
                     "pipe.cvp|Sys::A|B|3\r\n");
    m_settings->WriteProfileInt("Settings", "CacheValid", 1);
    auto cat = Start(7); // the version filter is not applied again
    ASSERT_EQ(cat->m_plugins.size(), 3u);
    EXPECT_EQ(cat->m_plugins[0].path, PluginPath("nofile.cvp"));
    const CCatalogueTree& tree = cat->Folder(cat->m_plugins[1].folder).tree;
    // A cached level of 0 is read from the file.
    EXPECT_EQ(tree.Item(Find(tree, {"Cached"})).image, kImageRiskyPlugin);
    // A category holding "|" keeps it: the level is after the last one.
    EXPECT_NE(Find(tree, {"A|B"}), kNoItem);
}

TEST_F(CatalogueCache, CategoryWithBarSurvivesTheRoundTrip) {
    WritePlugin("a.cvp", {"Sys::Pipe|Name", 3});
    ASSERT_TRUE(Start()->SaveCatalogueCache());
    auto cat = Start();
    ASSERT_EQ(cat->m_plugins.size(), 1u);
    const CCatalogueTree& tree = cat->Folder(0).tree;
    EXPECT_EQ(tree.Item(Find(tree, {"Pipe|Name"})).image, kImageRiskyPlugin);
}

TEST_F(CatalogueCache, UnreadableCacheFallsBackToScan) {
    WritePlugin("a.cvp", {"Sys::A"});
    m_settings->WriteProfileInt("Settings", "CacheValid", 1);
    EXPECT_EQ(Start()->m_plugins.size(), 1u);
}

TEST_F(CatalogueCache, NotWrittenFromPartialViews) {
    WritePlugin("a.cvp", {"Sys::A", 1, "", 1});
    WritePlugin("b.cvp", {"Sys::B"});
    auto cat = Start();
    cat->ShowPopular();
    EXPECT_FALSE(cat->SaveCatalogueCache());
    cat->LoadSinglePlugin(PluginPath("b.cvp"));
    EXPECT_FALSE(cat->SaveCatalogueCache());
    cat->ShowFavorites();
    EXPECT_FALSE(cat->m_bCacheUsable);
    cat->ShowAll();
    EXPECT_FALSE(cat->SaveCatalogueCache());
    EXPECT_FALSE(std::filesystem::exists(m_temp / "profile/cache.dat"));
}

TEST_F(CatalogueCache, MissingPluginInvalidatesCache) {
    WritePlugin("a.cvp", {"Sys::A"});
    ASSERT_TRUE(Start()->SaveCatalogueCache());
    auto cat = Start();
    cat->InvalidateCache();
    EXPECT_EQ(Setting("CacheValid", 1), 0);
    EXPECT_FALSE(cat->SaveCatalogueCache());
}

TEST_F(CatalogueCache, ProgressStaysInRangeAndSurvivesZeroTotals) {
    for (int i = 0; i < 40; ++i) WritePlugin("p" + std::to_string(i) + ".cvp", {"Sys::P" + std::to_string(i)});
    m_settings->WriteProfileInt("Settings", "TotalPlugins", 10);
    RecordingProgress progress;
    CPluginCatalogue cat(*m_settings, 7);
    cat.SetProgress(&progress);
    cat.BuildCatalogue(0);
    EXPECT_EQ(progress.begun, 1);
    EXPECT_EQ(progress.ended, 1);
    ASSERT_FALSE(progress.positions.empty());
    for (int pos : progress.positions) EXPECT_LE(pos, 100);

    m_settings->WriteProfileInt("Settings", "TotalPlugins", 0);
    cat.BuildCatalogue(0);
    ASSERT_TRUE(cat.SaveCatalogueCache());
    m_settings->WriteProfileInt("Settings", "TotalPluginsInUse", -3);
    cat.BuildCatalogue(0);
    EXPECT_EQ(cat.m_plugins.size(), 40u);
}

TEST_F(CatalogueCache, FavoritesAndAppliedViews) {
    WritePlugin("a.cvp", {"Sys::A", 4});
    WritePlugin("b.cvp", {"Sys::B"});
    WritePlugin("odd?name.cvp", {"Sys::Odd"});
    WriteProfileFile("favorites.ini", "Mine=a.cvp\r\n-\r\nNo equals\r\nOther = b.cvp \r\nBad=../x.cvp\r\n");
    WriteProfileFile("applied.ini", "b.cvp?01.Dec.2026.10:00 AM\r\nno mark\r\n"
                                    "a.cvp?02.Dec.2026.11:00 PM\r\nodd?name.cvp?03.Dec.2026.09:00 AM\r\n"
                                    "gone.cvp?04.Dec.2026.09:00 AM\r\n");
    CPluginCatalogue cat(*m_settings, 7);
    cat.ShowFavorites();
    EXPECT_EQ(cat.m_nView, kViewFavorites);
    ASSERT_EQ(cat.m_plugins.size(), 2u);
    EXPECT_EQ(cat.m_plugins[1].path, PluginPath("b.cvp"));

    cat.m_bCacheUsable = true;
    cat.ShowApplied();
    EXPECT_EQ(cat.m_nView, kViewApplied);
    EXPECT_FALSE(cat.m_bCacheUsable);
    ASSERT_EQ(cat.m_plugins.size(), 3u); // b, a, odd?name; the gone file has no category
    EXPECT_EQ(cat.m_plugins[2].path, PluginPath("odd?name.cvp"));
    const CCatalogueTree& tree = cat.Folder(0).tree;
    EXPECT_EQ(tree.Item(Find(tree, {"A"})).image, kImagePlugin); // no level in this view

    cat.RefreshAll();
    EXPECT_EQ(cat.m_nView, kViewAll);
}

} // namespace
