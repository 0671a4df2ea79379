#include "CatalogueFixture.h"

#include "core/app/CatalogueNavigation.h"
#include "core/app/PluginSearch.h"

using namespace cva;
using namespace cva::app;
using cva::test::SPluginSpec;

namespace {

class Navigation : public cva::test::CatalogueFixture {
protected:
    void SetUp() override {
        CatalogueFixture::SetUp();
        // Folder "Apps" holds one leaf; folder "Sys" holds Disk (Check, Clean),
        // Display::Fonts::Size and a top-level leaf Zoom.
        WritePlugin("1.cvp", {"Sys::Disk::Check", -1, "", -1, "Check Disk"});
        WritePlugin("2.cvp", {"Sys::Disk::Clean", -1, "", -1, "none"});
        WritePlugin("3.cvp", {"Sys::Display::Fonts::Size", -1, "", -1, "Font SIZE"});
        WritePlugin("4.cvp", {"Sys::Zoom"});
        WritePlugin("0.cvp", {"Apps::Editor", -1, "", -1, "Editor \"Quotes\""});
        m_catalogue = std::make_unique<CPluginCatalogue>(*m_settings, 7);
        m_catalogue->BuildCatalogue(0);
        m_nav = std::make_unique<CCatalogueNavigation>(*m_catalogue);
    }
    std::string SelectedText() {
        CCatalogueTree* tree = m_nav->CurrentTree();
        HTREEITEM item = tree->GetSelectedItem();
        return item == kNoItem ? "" : tree->GetItemText(item);
    }
    std::unique_ptr<CPluginCatalogue> m_catalogue;
    std::unique_ptr<CCatalogueNavigation> m_nav;
};

TEST_F(Navigation, NextPageWalksLeavesToTheEndAndStays) {
    ASSERT_EQ(m_nav->SelectFolder(1), 1);
    EXPECT_EQ(m_catalogue->Folder(1).name, "Sys");
    EXPECT_EQ(SelectedText(), "Disk");
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        m_nav->NextPage();
        visited.push_back(SelectedText());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Check", "Clean", "Size", "Zoom", "Zoom", "Zoom"}));
}

TEST_F(Navigation, PreviousPageClimbsToParentsAndDescendsIntoNodes) {
    m_nav->SelectFolder(1);
    CCatalogueTree& tree = *m_nav->CurrentTree();
    tree.SelectItem(Find(tree, {"Zoom"}));
    std::vector<std::string> visited;
    for (int i = 0; i < 7; ++i) {
        m_nav->PreviousPage();
        visited.push_back(SelectedText());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Size", "Fonts", "Display", "Clean", "Check",
                                                 "Disk", "Disk"}));
}

TEST_F(Navigation, CategoriesWrapAround) {
    EXPECT_EQ(m_nav->SelectFolder(0), 0);
    EXPECT_EQ(m_nav->NextCategory(), 1);
    EXPECT_EQ(m_nav->NextCategory(), 0);
    EXPECT_EQ(m_nav->PreviousCategory(), 1);
    EXPECT_EQ(SelectedText(), "Disk");
}

TEST_F(Navigation, OpeningTheSelectionAndStatusPath) {
    m_nav->SelectFolder(1);
    CCatalogueTree& tree = *m_nav->CurrentTree();
    EXPECT_EQ(m_nav->OpenSelection(true).pluginIndex, -1); // a category node
    EXPECT_EQ(m_nav->OpenSelection(true).statusText, "Sys\\Disk");

    tree.SelectItem(Find(tree, {"Display", "Fonts", "Size"}));
    SOpenSelection open = m_nav->OpenSelection(true);
    EXPECT_EQ(open.pluginIndex, m_catalogue->FindByFileName("3.cvp"));
    EXPECT_EQ(open.statusText, "Sys\\Display\\Fonts\\Size : ");
    EXPECT_EQ(m_nav->OpenSelection(false).pluginIndex, -1); // not ready yet
}

TEST_F(Navigation, LocateSelectsFolderAndLeaf) {
    m_nav->SelectFolder(0);
    ASSERT_TRUE(m_nav->Locate(m_catalogue->FindByFileName("2.cvp")));
    EXPECT_EQ(m_catalogue->GetCurrentFolder(), 1);
    EXPECT_EQ(SelectedText(), "Clean");
    EXPECT_FALSE(m_nav->Locate(99));
    EXPECT_EQ(m_nav->LocateFile("0.CVP"), 0);
    EXPECT_EQ(m_catalogue->GetCurrentFolder(), 0);
    EXPECT_EQ(m_nav->LocateFile("missing.cvp"), -1);
}

TEST_F(Navigation, SearchMatchesCaptionOrCategoryWithoutCase) {
    CPluginSearch search(*m_catalogue);
    std::vector<SSearchRow> rows = search.Search("  \"SIZE\" ");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, "font size");
    EXPECT_EQ(rows[0].category, "sys\\display\\fonts\\size");
    EXPECT_EQ(rows[0].pluginIndex, m_catalogue->FindByFileName("3.cvp"));

    rows = search.Search("clean"); // a caption of "none" does not stop the category
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, "none");

    EXPECT_TRUE(search.Search("none").empty()); // "none" stands for a missing value
    EXPECT_TRUE(search.Search("\"\"").empty());
    EXPECT_EQ(search.Search("quotes").size(), 1u);
}

} // namespace
