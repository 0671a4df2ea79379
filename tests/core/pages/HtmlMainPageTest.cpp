#include "PageDoubles.h"

#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageMain.h"

#include <gtest/gtest.h>

using namespace cva::pages;
using cva::test::COwnerDouble;
using cva::test::CTempDir;
using cva::test::WriteAll;
using Log = std::vector<std::string>;

TEST(HtmlPage, ShowsTheIntroductionUntilTheScriptWrites) {
    CPropertyPageHtml page;
    EXPECT_EQ(page.GetItemText(0).rfind("<b>Corvanta</b> is a tool", 0), 0u);
    page.SetItemText(42, "<b>mine</b>");
    EXPECT_EQ(page.GetItemText(-1), "<b>mine</b>");
    page.LoadItems("/nowhere.cvp");
    EXPECT_EQ(page.GetItemText(0), "<b>mine</b>") << "LoadItems keeps the previous content";
}

TEST(HtmlPage, CvaLinksApplyWithoutConfirmation) {
    COwnerDouble owner;
    CPropertyPageHtml page;
    page.SetOwner(&owner);
    EXPECT_TRUE(page.FollowLink("cva:7"));
    EXPECT_TRUE(page.FollowLink("CVA:"));
    EXPECT_FALSE(page.FollowLink("https://example.org/"));
    EXPECT_EQ(owner.m_log, (Log{"OnApply(0,7)", "Recorded", "OnApply(0,0)", "Recorded"}));
    page.SetVisible(false);
    page.LinkClicked(3); // the view's link message reaches a hidden page only by mistake
    EXPECT_EQ(owner.m_log.size(), 4u);
}

TEST(HtmlPage, LinkNumbersStayWithin32Bits) {
    EXPECT_EQ(CPropertyPageHtml::LinkNumber("cva:12abc"), 12);
    EXPECT_EQ(CPropertyPageHtml::LinkNumber("cva:99999999999"), 2147483647);
    EXPECT_EQ(CPropertyPageHtml::LinkNumber("cva:-3"), -3);
    EXPECT_EQ(CPropertyPageHtml::LinkNumber("cv"), std::nullopt);
}

class StartPage : public ::testing::Test {
protected:
    void SetUp() override {
        m_page.SetOwner(&m_owner);
        m_page.SetFolders(m_profile.Path(), m_plugins.Path());
        Plugin("a.cvp", "Alpha");
        Plugin("b.cvp", "Beta");
        Plugin("hidden.cvp", "none");
        m_owner.m_catalogue = {{"a.cvp", 3}, {"b.cvp", 8}, {"hidden.cvp", 9}, {"gone.cvp", 11}};
    }
    void Plugin(const std::string& name, const std::string& caption) {
        WriteAll(m_plugins.File(name), "[settings]\r\ncaption=" + caption + "\r\n");
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& row : m_page.Rows()) out.push_back(row.m_caption);
        return out;
    }
    CTempDir m_profile;
    CTempDir m_plugins;
    COwnerDouble m_owner;
    CPropertyPageMain m_page;
};

TEST_F(StartPage, UsedTabListsAppliedPluginsInFileOrderWithTheirTime) {
    WriteAll(m_profile.File("applied.ini"),
             "b.cvp?07.Dec.2026.09:15 AM\r\nunknown.cvp?x\r\nhidden.cvp?y\r\ngone.cvp?z\r\na.cvp\r\n");
    m_page.SelectTab(CPropertyPageMain::TAB_USED);
    ASSERT_EQ(Captions(), (std::vector<std::string>{"Beta", "Alpha"}));
    EXPECT_EQ(m_page.Rows()[0].m_time, "07.Dec.2026.09:15 AM");
    EXPECT_EQ(m_page.Rows()[0].m_catalogueIndex, 8);
    EXPECT_TRUE(m_page.ClickRow(1));
    EXPECT_FALSE(m_page.ClickRow(2));
    EXPECT_EQ(m_owner.m_log, (Log{"Open(3)"}));
}

TEST_F(StartPage, FavoritesTakeTheNameAfterTheFirstEquals) {
    WriteAll(m_profile.File("favorites.ini"), "My alpha=a.cvp\r\n-\r\nBeta=b.cvp\r\n");
    m_page.SelectTab(CPropertyPageMain::TAB_FAVORITES);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(StartPage, RecentShowsTheFirstTenAndRefillsWhenShown) {
    std::string lines;
    for (int i = 0; i < 10; ++i) lines += "b.cvp\r\n";
    WriteAll(m_profile.File("mru.ini"), lines + "a.cvp\r\n");
    m_page.SetVisible(false);
    m_page.SetVisible(true);
    EXPECT_EQ(m_page.Rows().size(), 10u);
    WriteAll(m_profile.File("mru.ini"), "a.cvp\r\n");
    m_page.SetVisible(false);
    m_page.SetVisible(true);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha"}));
}

TEST_F(StartPage, HeaderShowsAQuestionMarkWithoutAPluginCount) {
    m_page.SetHeaderInfo("1.4", 0);
    EXPECT_NE(m_page.Header().find("Version : <b>1.4</b>     Plug-ins : <b> ? </b>"), std::string::npos);
    m_page.SetHeaderInfo("", 312);
    EXPECT_NE(m_page.Header().find("Plug-ins : <b>312</b>"), std::string::npos);
}
