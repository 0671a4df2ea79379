#include "CatalogueFixture.h"

#include <filesystem>
#include <fstream>

using namespace cva;
using namespace cva::app;
using cva::test::SPluginSpec;

namespace {

class CatalogueBuild : public cva::test::CatalogueFixture {
protected:
    CPluginCatalogue& Build(int versionCode = 7, int mask = 0, bool wine = false) {
        m_catalogue = std::make_unique<CPluginCatalogue>(*m_settings, versionCode, wine);
        m_catalogue->BuildCatalogue(mask);
        return *m_catalogue;
    }
    std::unique_ptr<CPluginCatalogue> m_catalogue;
};

TEST_F(CatalogueBuild, ComponentsBecomeFolderNodeAndLeaf) {
    WritePlugin("a.cvp", {"System::Desktop::Icons"});
    WritePlugin("b.cvp", {"system::desktop::Wallpaper"});
    CPluginCatalogue& cat = Build();

    ASSERT_EQ(cat.GetFolderCount(), 1);
    EXPECT_EQ(cat.Folder(0).name, "System");
    const CCatalogueTree& tree = cat.Folder(0).tree;
    ASSERT_EQ(tree.Children(kTreeRoot).size(), 1u);
    HTREEITEM node = Find(tree, {"Desktop"});
    EXPECT_EQ(tree.GetItemData(node), kFolderNodeData);
    EXPECT_EQ(tree.Item(node).image, kImageFolder);
    EXPECT_EQ(tree.Item(node).selectedImage, kImageFolderSelected);
    ASSERT_EQ(tree.Children(node).size(), 2u);

    ASSERT_EQ(cat.m_plugins.size(), 2u);
    EXPECT_EQ(cat.m_plugins[0].path, PluginPath("a.cvp"));
    EXPECT_EQ(tree.GetItemData(Find(tree, {"Desktop", "Icons"})), 0);
    EXPECT_EQ(tree.GetItemData(Find(tree, {"Desktop", "Wallpaper"})), 1);
}

TEST_F(CatalogueBuild, EscapedSeparatorsAndBackslashes) {
    WritePlugin("a.cvp", {"Net::A\\::B::C\\\\D"});
    WritePlugin("b.cvp", {"Net::Two\\\\Slash::Leaf"});
    CPluginCatalogue& cat = Build();
    const CCatalogueTree& tree = cat.Folder(0).tree;
    EXPECT_NE(Find(tree, {"A::B", "C\\\\D"}), kNoItem);   // the leaf keeps both backslashes
    EXPECT_NE(Find(tree, {"Two\\Slash", "Leaf"}), kNoItem);
}

TEST_F(CatalogueBuild, SplitCategoryPathRules) {
    std::string rest = "a\\\\::b";
    EXPECT_EQ(CPluginCatalogue::SplitCategoryPath(rest), "a\\");
    EXPECT_EQ(rest, "b");

    rest = "x\\::y";
    EXPECT_EQ(CPluginCatalogue::SplitCategoryPath(rest), "x\\::y"); // no separator: kept as is
    EXPECT_EQ(rest, "");

    rest = "a::::b";
    EXPECT_EQ(CPluginCatalogue::SplitCategoryPath(rest), "a");
    EXPECT_EQ(CPluginCatalogue::SplitCategoryPath(rest), "");
    EXPECT_EQ(rest, "b");
}

TEST_F(CatalogueBuild, EmptyComponentDoesNotMakeANode) {
    WritePlugin("a.cvp", {"Sys::A::::Leaf"});
    CPluginCatalogue& cat = Build();
    EXPECT_NE(Find(cat.Folder(0).tree, {"A", "Leaf"}), kNoItem);
}

TEST_F(CatalogueBuild, PluginWithoutSeparatorIsLeftOutButCountedInUse) {
    WritePlugin("a.cvp", {"NoSeparator"});
    WritePlugin("b.cvp", {"Sys::Leaf"});
    CPluginCatalogue& cat = Build();
    EXPECT_EQ(cat.m_plugins.size(), 1u);
    EXPECT_EQ(Setting("TotalPlugins", 0), 2);
    EXPECT_EQ(Setting("TotalPluginsInUse", 0), 2);
}

TEST_F(CatalogueBuild, ExtensionMatchesWithoutCaseAndFoldersAreSkipped) {
    WritePlugin("UPPER.CVP", {"Sys::Upper"});
    WritePlugin("other.txt", {"Sys::Other"});
    std::filesystem::create_directories(m_temp / "plugins/folder.cvp");
    CPluginCatalogue& cat = Build();
    ASSERT_EQ(cat.m_plugins.size(), 1u);
    EXPECT_EQ(cat.FindByFileName("upper.cvp"), 0);
}

TEST_F(CatalogueBuild, KeysComeFromAboveTheScript) {
    std::ofstream(PluginPath("a.cvp"), std::ios::binary)
        << "[settings]\r\ncategory=Sys::Real\r\n  [Script]  \r\n[settings]\r\nLEVEL=4\r\n";
    std::ofstream(PluginPath("b.cvp"), std::ios::binary)
        << "[interface]\r\ntype=check\r\n[settings]\r\ncategory=Sys::NoScript\r\nLEVEL=3\r\n";
    CPluginCatalogue& cat = Build();
    ASSERT_EQ(cat.m_plugins.size(), 2u);
    const CCatalogueTree& tree = cat.Folder(0).tree;
    EXPECT_EQ(tree.Item(Find(tree, {"Real"})).image, kImagePlugin);
    EXPECT_EQ(tree.Item(Find(tree, {"NoScript"})).image, kImageRiskyPlugin);
}

TEST_F(CatalogueBuild, MissingPluginFolderGivesEmptyCatalogue) {
    m_settings->WriteProfileString("Settings", "PluginDir", (m_temp / "nowhere").c_str());
    CPluginCatalogue& cat = Build();
    EXPECT_TRUE(cat.m_plugins.empty());
    EXPECT_EQ(cat.GetFolderCount(), 0);
}

TEST_F(CatalogueBuild, VersionFilterByTargetVersion) {
    WritePlugin("xp.cvp", {"Sys::Xp", -1, "xp"});
    WritePlugin("w2k.cvp", {"Sys::W2k", -1, "2K"});
    WritePlugin("all.cvp", {"Sys::All", -1, "NONE"});
    WritePlugin("vista.cvp", {"Sys::Vista", -1, "Vista 2003"});

    EXPECT_EQ(Build(7).m_plugins.size(), 2u);                // xp, all
    EXPECT_GE(m_catalogue->FindByFileName("xp.cvp"), 0);
    EXPECT_EQ(Build(6).m_plugins.size(), 2u);                // 2K passes the scan
    EXPECT_GE(m_catalogue->FindByFileName("w2k.cvp"), 0);
    EXPECT_EQ(Build(8).m_plugins.size(), 2u);                // all, vista (holds 2003)
    EXPECT_EQ(Build(5).m_plugins.size(), 4u);                // NT 4 takes everything
    EXPECT_EQ(Build(2).m_plugins.size(), 4u);                // so does Windows 95
}

TEST_F(CatalogueBuild, WinePluginsOnlyOnWinePrefixesWhichKeepTheVersionTest) {
    WritePlugin("wine.cvp", {"Wine: Graphics::Dpi", -1, "wine"});
    WritePlugin("xp.cvp", {"Sys::Xp", -1, "XP"});
    WritePlugin("vista.cvp", {"Sys::Vista", -1, "VISTA"});
    auto shown = [](const CPluginCatalogue& cat) {
        std::string names;
        for (const char* name : {"wine.cvp", "xp.cvp", "vista.cvp"})
            if (cat.FindByFileName(name) >= 0) names += std::string(names.empty() ? "" : " ") + name;
        return names;
    };
    EXPECT_EQ(shown(Build(7, 0, true)), "wine.cvp xp.cvp");
    EXPECT_EQ(shown(Build(7)), "xp.cvp");
    EXPECT_EQ(shown(Build(5)), "xp.cvp vista.cvp"); // NT 4 takes every Windows plugin only

    CPluginCatalogue single(*m_settings, 7);
    single.LoadSinglePlugin(PluginPath("wine.cvp"));
    EXPECT_TRUE(single.m_plugins.empty());
    single.SetVersionTarget(7, true);
    single.LoadSinglePlugin(PluginPath("wine.cvp"));
    EXPECT_EQ(single.m_plugins.size(), 1u);
}

TEST_F(CatalogueBuild, SinglePluginDoesNotAccept2K) {
    WritePlugin("w2k.cvp", {"Sys::W2k", -1, "2K"});
    WritePlugin("w2000.cvp", {"Sys::W2000", -1, "2000"});
    CPluginCatalogue cat(*m_settings, 6);
    cat.LoadSinglePlugin(PluginPath("w2k.cvp"));
    EXPECT_TRUE(cat.m_plugins.empty());
    cat.LoadSinglePlugin(PluginPath("w2000.cvp"));
    ASSERT_EQ(cat.m_plugins.size(), 1u);
    EXPECT_EQ(cat.GetFolderCount(), 1);
    EXPECT_EQ(Setting("TotalPlugins", -5), -5); // counters untouched
}

TEST_F(CatalogueBuild, PopularKeepsGroupBitZeroAndLeavesCounters) {
    WritePlugin("a.cvp", {"Sys::A", -1, "", 1});
    WritePlugin("b.cvp", {"Sys::B", -1, "", 2});
    WritePlugin("c.cvp", {"Sys::C", -1, "", 3});
    WritePlugin("d.cvp", {"Sys::D"});
    Build();
    EXPECT_EQ(Setting("TotalPlugins", 0), 4);
    WritePlugin("e.cvp", {"Sys::E", -1, "", 1});
    m_catalogue->ShowPopular();
    EXPECT_EQ(m_catalogue->m_nView, kViewPopular);
    ASSERT_EQ(m_catalogue->m_plugins.size(), 3u); // a, c, e
    EXPECT_EQ(m_catalogue->FindByFileName("b.cvp"), -1);
    EXPECT_EQ(Setting("TotalPlugins", 0), 4);
}

TEST_F(CatalogueBuild, LeafImagesFollowTheLevel) {
    WritePlugin("a.cvp", {"Sys::Low", 2});
    WritePlugin("b.cvp", {"Sys::High", 3});
    const CCatalogueTree& tree = Build().Folder(0).tree;
    EXPECT_EQ(tree.Item(Find(tree, {"Low"})).image, kImagePlugin);
    EXPECT_EQ(tree.Item(Find(tree, {"Low"})).selectedImage, kImagePluginSelected);
    EXPECT_EQ(tree.Item(Find(tree, {"High"})).image, kImageRiskyPlugin);
    EXPECT_EQ(tree.Item(Find(tree, {"High"})).selectedImage, kImageRiskyPlugin);
}

TEST_F(CatalogueBuild, LeafTakesOverNodeAndDuplicatesGetTwoLeaves) {
    WritePlugin("a.cvp", {"Sys::Node::Child"});
    WritePlugin("b.cvp", {"Sys::Node"});
    WritePlugin("c.cvp", {"Sys::Node::Later"});
    WritePlugin("d.cvp", {"Sys::Same"});
    WritePlugin("e.cvp", {"Sys::Same"});
    CPluginCatalogue& cat = Build();
    const CCatalogueTree& tree = cat.Folder(0).tree;
    const auto& top = tree.Children(kTreeRoot);
    int nodes = 0, same = 0;
    for (HTREEITEM item : top) {
        if (tree.GetItemText(item) == "Node") ++nodes;
        if (tree.GetItemText(item) == "Same") ++same;
    }
    EXPECT_EQ(nodes, 2);  // the taken-over node and a new one for "Later"
    EXPECT_EQ(same, 2);
    HTREEITEM taken = Find(tree, {"Node"});
    EXPECT_EQ(tree.GetItemData(taken), cat.FindByFileName("b.cvp"));
    EXPECT_EQ(tree.Children(taken).size(), 1u); // keeps "Child"
}

TEST_F(CatalogueBuild, ChildOrderSortedLeavesFirstInsertedNodes) {
    WritePlugin("1.cvp", {"Sys::Zeta::Under::x"});
    WritePlugin("2.cvp", {"Sys::Alpha::y"});
    WritePlugin("3.cvp", {"Sys::Zeta::Above::z"});
    WritePlugin("4.cvp", {"Sys::Zeta::b"});
    WritePlugin("5.cvp", {"Sys::Zeta::A"});
    const CCatalogueTree& tree = Build().Folder(0).tree;
    const auto& top = tree.Children(kTreeRoot);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(tree.GetItemText(top[0]), "Alpha"); // top-level nodes sorted
    std::vector<std::string> texts;
    for (HTREEITEM item : tree.Children(top[1])) texts.push_back(tree.GetItemText(item));
    // Lower nodes go first as they come; leaves are sorted in among them.
    EXPECT_EQ(texts, (std::vector<std::string>{"A", "Above", "b", "Under"}));
}

} // namespace
