#include "PageDoubles.h"

#include "core/pages/PropertyPageMulti.h"

#include <gtest/gtest.h>

using namespace cva::pages;
using cva::test::COwnerDouble;
using cva::test::CTempDir;
using Log = std::vector<std::string>;

class MultiPage : public ::testing::Test {
protected:
    void Load(const std::string& lines) {
        m_page.SetOwner(&m_owner);
        m_page.LoadItems(cva::test::WritePlugin(m_dir, "m.cvp", lines));
        m_owner.m_log.clear();
    }
    void LoadMixed() {
        Load("Type0=edit\r\nText0=Name\r\n"
             "Type1=combo\r\nText1=Pick\r\n"
             "Type2=check\r\nText2=Enable it\r\n"
             "Type3=spin\r\nText3=Count\r\nStyle3=1,9\r\n"
             "Type4=slider\r\nText4=Level\r\nStyle4=10,20\r\n");
    }
    CTempDir m_dir;
    COwnerDouble m_owner;
    CPropertyPageMulti m_page;
};

TEST_F(MultiPage, LoadItemsBuildsTheDeclaredKinds) {
    LoadMixed();
    SPageSnapshot s = m_page.Snapshot();
    EXPECT_EQ(s.m_items[0].m_kind, "edit");
    EXPECT_EQ(s.m_items[0].m_label, "Name");
    EXPECT_EQ(s.m_items[1].m_kind, "combo");
    EXPECT_EQ(s.m_items[2].m_caption, "Enable it");
    EXPECT_EQ(s.m_items[2].m_label, "") << "check items carry their text on the box";
    EXPECT_TRUE(s.m_items[3].m_hasRange);
    EXPECT_EQ(s.m_items[3].m_min, 1);
    EXPECT_EQ(s.m_items[3].m_max, 9);
    EXPECT_TRUE(m_page.IsApplyEnabled()) << "the refresh at the end of LoadItems";
    EXPECT_TRUE(m_owner.m_log.empty());
}

TEST_F(MultiPage, UnknownTypesAndNoneHideItems) {
    Load("Type0=checkbox\r\nText0=A\r\nType1=edit\r\nText1=none\r\nStyle1=1\r\n"
         "Type2=button\r\nText2=Run\r\n");
    SPageSnapshot s = m_page.Snapshot();
    EXPECT_FALSE(s.m_items[0].m_visible);
    EXPECT_EQ(s.m_items[0].m_kind, "");
    EXPECT_FALSE(s.m_items[1].m_visible);
    EXPECT_TRUE(s.m_items[1].m_browseVisible) << "the browse button follows Style, not Text";
    EXPECT_EQ(s.m_items[2].m_caption, "Static...");
    EXPECT_EQ(m_page.GetCurSel(0), -1);
    EXPECT_EQ(m_page.GetItemText(0), "");
}

TEST_F(MultiPage, SliderAndSpinShowTheirRangeInTheLabel) {
    LoadMixed();
    m_page.SetItemText(4, "50");
    EXPECT_EQ(m_page.GetItemText(4), "20");
    EXPECT_EQ(m_page.Label(4), "Level   [min:10 -> max:20, now:20]");
    EXPECT_EQ(m_page.Label(3), "Count   [min:1, max:9, now:Empty]");
    m_page.SetItemText(3, "4");
    EXPECT_EQ(m_page.Label(3), "Count   [min:1, max:9, now:4]");
    m_page.EditText(3, "");
    EXPECT_EQ(m_page.Label(3), "Count   [min:1, max:9, now:Empty]");
}

TEST_F(MultiPage, CaptionsWaitForTheKeyboardFocus) {
    LoadMixed();
    m_page.SetProgramHasFocus(false);
    m_page.SetItemText(4, "15");
    EXPECT_EQ(m_page.Label(4), "Level   [min:10 -> max:20, now:10]");
    m_page.SetProgramHasFocus(true);
    m_page.SetItemText(0, "x");
    EXPECT_EQ(m_page.Label(4), "Level   [min:10 -> max:20, now:15]");
}

TEST_F(MultiPage, RadioItemsFormOneGroup) {
    Load("Type0=radio\r\nText0=A\r\nType1=edit\r\nText1=E\r\nType2=radio\r\nText2=B\r\n"
         "Type3=radio\r\nText3=C\r\n");
    EXPECT_EQ(m_page.IsItemChecked(0), 1) << "the first radio item starts selected";
    m_page.CheckItem(3, 1);
    EXPECT_EQ(m_page.IsItemChecked(0), 0);
    EXPECT_EQ(m_page.IsItemChecked(3), 1);
    m_page.CheckItem(3, 0);
    EXPECT_EQ(m_page.IsItemChecked(3), 0);
    EXPECT_EQ(m_page.IsItemChecked(2), 0);
    m_page.SetItemText(1, "1");
    EXPECT_EQ(m_page.IsItemChecked(1), 1) << "an edit item reading 1 is checked";
    EXPECT_EQ(m_page.IsItemChecked(5), -1);
}

TEST_F(MultiPage, ApplyReportsTheClickBeforeApplying) {
    LoadMixed();
    m_page.AfterInit();
    EXPECT_FALSE(m_page.IsApplyEnabled());
    EXPECT_TRUE(m_page.ClickItem(2));
    EXPECT_TRUE(m_page.IsApplyEnabled());
    EXPECT_TRUE(m_page.ClickApply());
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(-1,0)", "OnEvent(-1,0)", "Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_FALSE(m_page.IsApplyEnabled());
}

TEST_F(MultiPage, ClickingToAStateTakesAsManyClicksAsItNeeds) {
    Load("Type0=check\r\nText0=Tri\r\nType1=radio\r\nText1=R\r\nType2=radio\r\nText2=S\r\n");
    m_page.SetItemText(0, "-1");
    m_page.CheckItem(0, 1);
    m_owner.m_log.clear();
    EXPECT_TRUE(m_page.ClickItemTo(0, 0));
    EXPECT_EQ(m_page.GetItemText(0), "") << "cleared, not left indeterminate";
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(-1,0)", "OnEvent(-1,0)"})) << "each click is heard";
    EXPECT_TRUE(m_page.ClickItemTo(0, 1));
    EXPECT_EQ(m_page.GetItemText(0), "1");
    EXPECT_FALSE(m_page.ClickItemTo(1, 0)) << "a radio item is cleared only by choosing another";
    EXPECT_TRUE(m_page.ClickItemTo(2, 1));
    EXPECT_EQ(m_page.IsItemChecked(1), 0);
}

TEST_F(MultiPage, ComboChangesReportTwiceOtherActionsOnce) {
    LoadMixed();
    m_page.SetItemTextEx(1, 0, "One");
    m_page.SetItemTextEx(1, 1, "Two");
    EXPECT_TRUE(m_owner.m_log.empty()) << "filling entries reports nothing";
    EXPECT_TRUE(m_page.SelectEntry(1, 1));
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(-1,0)", "OnEvent(-1,0)"}));
    EXPECT_EQ(m_page.GetCurSel(1), 1);
    EXPECT_EQ(m_page.GetItemText(1), "Two");
    m_owner.m_log.clear();
    m_page.EditText(1, "typed");
    EXPECT_EQ(m_owner.m_log.size(), 2u);
    m_owner.m_log.clear();
    m_page.EditText(0, "abc");
    m_page.SpinStep(3, 1);
    m_page.MoveSlider(4, 12);
    EXPECT_EQ(m_owner.m_log.size(), 2u) << "dragging the slider reports nothing yet";
    EXPECT_EQ(m_page.Label(4), "Level   [min:10 -> max:20, now:12]") << "but its label follows";
    m_page.ReleaseSlider(4);
    EXPECT_EQ(m_owner.m_log.size(), 3u);
    EXPECT_EQ(m_page.GetItemText(4), "12");
}

TEST_F(MultiPage, TheFocusedPlaceholderNamesTheItem) {
    LoadMixed();
    m_page.SetFocusItem(2);
    m_page.ClickItem(2);
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(2,0)"}));
}

TEST_F(MultiPage, ScriptEditsReportLikeUserEditsButNeverRecursively) {
    LoadMixed();
    int depth = 0;
    int deepest = 0;
    m_owner.m_onRoutine = [&](const std::string& name) {
        if (name != "OnEvent") return;
        ++depth;
        deepest = std::max(deepest, depth);
        m_page.SetItemText(0, "changed by OnEvent");
        --depth;
    };
    m_page.SetItemText(0, "from OnInit");
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(-1,0)"}));
    m_owner.m_log.clear();
    m_page.SetItemText(2, "1"); // a check box reports nothing when set
    EXPECT_TRUE(m_owner.m_log.empty());
}

TEST_F(MultiPage, AHiddenPageOnlyRefreshes) {
    LoadMixed();
    m_page.AfterInit();
    m_page.SetVisible(false);
    m_page.SetItemText(0, "quiet");
    EXPECT_TRUE(m_owner.m_log.empty());
    EXPECT_TRUE(m_page.IsApplyEnabled());
}

TEST_F(MultiPage, LoadingANewPluginDoesNotCallTheOldScript) {
    LoadMixed();
    m_page.SetItemText(0, "old value");
    m_owner.m_log.clear();
    m_page.LoadItems(cva::test::WritePlugin(m_dir, "n.cvp", "Type0=edit\r\nText0=New\r\n"));
    EXPECT_TRUE(m_owner.m_log.empty());
    EXPECT_EQ(m_page.GetItemText(0), "");
}

TEST_F(MultiPage, BrowseResultGoesIntoTheItem) {
    Load("Type0=edit\r\nText0=File\r\nStyle0=1\r\nFILEFILTER0=Text|*.txt||\r\n"
         "Type1=combo\r\nText1=Dir\r\nStyle1=2\r\n");
    m_owner.m_prompts.m_file = "C:\\a.txt";
    m_owner.m_prompts.m_folder = "C:\\Dir";
    EXPECT_TRUE(m_page.ClickBrowse(0));
    EXPECT_EQ(m_page.GetItemText(0), "C:\\a.txt");
    EXPECT_EQ(m_owner.m_prompts.m_filters, (std::vector<std::string>{"Text|*.txt||"}));
    EXPECT_TRUE(m_page.ClickBrowse(1));
    EXPECT_EQ(m_page.GetItemText(1), "C:\\Dir");
    EXPECT_EQ(m_owner.m_log, (Log{"OnEvent(-1,0)", "OnEvent(-1,0)", "OnEvent(-1,0)"}));
}

TEST_F(MultiPage, DisabledItemsTakeNoInput) {
    LoadMixed();
    m_page.EnableItem(2, 0);
    EXPECT_FALSE(m_page.ClickItem(2));
    EXPECT_FALSE(m_page.Snapshot().m_items[2].m_enabled);
    m_page.EnableControls(true);
    EXPECT_TRUE(m_page.ClickItem(2));
}
