#include "PageDoubles.h"

#include "core/pages/PropertyPageEdit.h"

#include <gtest/gtest.h>

using namespace cva::pages;
using cva::test::COwnerDouble;
using cva::test::CTempDir;
using Log = std::vector<std::string>;

class EditPage : public ::testing::Test {
protected:
    void SetUp() override {
        m_page.SetOwner(&m_owner);
        m_page.LoadItems(cva::test::WritePlugin(m_dir, "e.cvp",
                                                "Text0=Plain\r\nText1=File\r\nStyle1=1\r\n"
                                                "FILEFILTER1=Programs|*.exe||\r\n"
                                                "Text2=Folder\r\nStyle2=2\r\n"
                                                "Text3=Number\r\nStyle3=3\r\n"
                                                "Text4=none\r\nStyle4=5\r\n"));
    }
    CTempDir m_dir;
    COwnerDouble m_owner;
    CPropertyPageEdit m_page;
};

TEST_F(EditPage, StylesDecideBrowseButtonsAndDigitsOnly) {
    SPageSnapshot s = m_page.Snapshot();
    EXPECT_FALSE(s.m_items[0].m_browseVisible);
    EXPECT_FALSE(s.m_items[0].m_digitsOnly);
    EXPECT_TRUE(s.m_items[1].m_browseVisible);
    EXPECT_EQ(s.m_items[1].m_browseStyle, 1);
    EXPECT_TRUE(s.m_items[2].m_browseVisible);
    EXPECT_FALSE(s.m_items[3].m_browseVisible);
    EXPECT_TRUE(s.m_items[3].m_digitsOnly);
    EXPECT_EQ(s.m_items[3].m_label, "Number");
    EXPECT_FALSE(s.m_items[4].m_visible) << "label none hides the whole item";
    EXPECT_FALSE(s.m_items[4].m_browseVisible);
    m_page.SetItemText(4, "kept");
    EXPECT_EQ(m_page.GetItemText(4), "kept");
}

TEST_F(EditPage, ScriptTextsDuringStartAreForgottenByAfterInit) {
    m_page.SetItemText(0, "from OnInit");
    EXPECT_TRUE(m_page.IsApplyEnabled());
    m_page.AfterInit();
    EXPECT_FALSE(m_page.IsApplyEnabled());
    EXPECT_TRUE(m_page.EditText(0, "typed"));
    EXPECT_TRUE(m_page.IsApplyEnabled());
}

TEST_F(EditPage, DigitsOnlyFieldRefusesOtherTyping) {
    EXPECT_FALSE(m_page.EditText(3, "12a"));
    EXPECT_TRUE(m_page.EditText(3, "123"));
    EXPECT_EQ(m_page.GetItemText(3), "123");
    m_page.SetItemText(3, "abc"); // the script is not filtered
    EXPECT_EQ(m_page.GetItemText(3), "abc");
}

TEST_F(EditPage, ApplyEndsDisabledEvenWhenOnApplyWritesAField) {
    m_page.EditText(0, "x");
    m_owner.m_onRoutine = [&](const std::string&) { m_page.SetItemText(0, "normalised"); };
    EXPECT_TRUE(m_page.ClickApply());
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_FALSE(m_page.IsApplyEnabled());
}

TEST_F(EditPage, FileBrowseUsesTheItemsFilterAndCancelKeepsTheField) {
    m_page.SetItemText(1, "old");
    EXPECT_FALSE(m_page.ClickBrowse(1));
    EXPECT_EQ(m_page.GetItemText(1), "old");
    ASSERT_EQ(m_owner.m_prompts.m_filters.size(), 1u);
    EXPECT_EQ(m_owner.m_prompts.m_filters[0], "Programs|*.exe||");

    m_owner.m_prompts.m_file = "C:\\Windows\\notepad.exe";
    EXPECT_TRUE(m_page.ClickBrowse(1));
    EXPECT_EQ(m_page.GetItemText(1), "C:\\Windows\\notepad.exe");
}

TEST(EditPageKeys, StyleFiveShowsAButtonThatDoesNothingAndTheFilterDefaults) {
    CTempDir dir;
    COwnerDouble owner;
    CPropertyPageEdit page;
    page.SetOwner(&owner);
    std::string longLabel(300, 'L');
    page.LoadItems(cva::test::WritePlugin(dir, "e.cvp", "Text0=" + longLabel +
                                          "\r\nStyle0=5\r\nText1=F\r\nStyle1=1\r\n"));
    SPageSnapshot s = page.Snapshot();
    EXPECT_TRUE(s.m_items[0].m_browseVisible);
    EXPECT_EQ(s.m_items[0].m_label.size(), 259u) << "keys are read into 260-character buffers";
    EXPECT_FALSE(page.ClickBrowse(0));
    EXPECT_TRUE(owner.m_prompts.m_filters.empty());
    EXPECT_EQ(owner.m_prompts.m_folderPicks, 0);
    page.ClickBrowse(1);
    ASSERT_EQ(owner.m_prompts.m_filters.size(), 1u);
    EXPECT_EQ(owner.m_prompts.m_filters[0], "*.*||");
}
