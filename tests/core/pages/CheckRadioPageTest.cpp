#include "PageDoubles.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageRadio.h"

#include <gtest/gtest.h>

using namespace cva::pages;
using cva::test::COwnerDouble;
using cva::test::CTempDir;
using Log = std::vector<std::string>;

class CheckPage : public ::testing::Test {
protected:
    void SetUp() override {
        m_page.SetOwner(&m_owner);
        m_page.LoadItems(cva::test::WritePlugin(m_dir, "c.cvp", "Text0=First\r\nText3=Fourth\r\nText6=none\r\n"));
    }
    CTempDir m_dir;
    COwnerDouble m_owner;
    CPropertyPageCheck m_page;
};

TEST_F(CheckPage, DeclaredBoxesKeepTheirFixedRows) {
    SPageSnapshot s = m_page.Snapshot();
    ASSERT_EQ(s.m_items.size(), 7u);
    EXPECT_TRUE(s.m_items[0].m_visible);
    EXPECT_EQ(s.m_items[0].m_caption, "First");
    EXPECT_FALSE(s.m_items[1].m_visible);
    EXPECT_TRUE(s.m_items[3].m_visible);
    EXPECT_EQ(s.m_items[3].m_caption, "Fourth");
    EXPECT_FALSE(s.m_items[6].m_visible);
}

TEST_F(CheckPage, OutOfRangeIndexesAreIgnoredAndAnsweredWithMinusOne) {
    m_page.CheckItem(7, 1);
    m_page.CheckItem(-1, 1);
    EXPECT_EQ(m_page.IsItemChecked(7), -1);
    EXPECT_EQ(m_page.IsItemChecked(-1), -1);
    m_page.CheckItem(2, 1); // hidden boxes still hold a state for the script
    EXPECT_EQ(m_page.IsItemChecked(2), 1);
    EXPECT_EQ(m_page.IsItemChecked(1), 0);
}

TEST_F(CheckPage, ScriptTicksDoNotEnableApplyButUserClicksDo) {
    m_page.AfterInit();
    m_page.CheckItem(0, 1);
    EXPECT_FALSE(m_page.IsApplyEnabled());
    EXPECT_TRUE(m_page.ClickItem(3));
    EXPECT_EQ(m_page.IsItemChecked(3), 1);
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
    EXPECT_TRUE(m_page.IsApplyEnabled());
    EXPECT_FALSE(m_page.ClickItem(1)) << "a hidden box cannot be clicked";
}

TEST_F(CheckPage, ApplyPasses124AndDisablesBeforeRecording) {
    m_page.ClickItem(0);
    bool enabledDuringRoutine = false;
    m_owner.m_onRoutine = [&](const std::string&) { enabledDuringRoutine = m_page.IsApplyEnabled(); };
    EXPECT_TRUE(m_page.ClickApply());
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(124,0)", "Recorded"}));
    EXPECT_TRUE(enabledDuringRoutine);
    EXPECT_FALSE(m_page.IsApplyEnabled());
    EXPECT_FALSE(m_page.ClickApply()) << "a disabled Apply button does nothing";
}

TEST_F(CheckPage, DeclinedConfirmationRunsNothingAndKeepsApply) {
    m_page.ClickItem(0);
    m_owner.m_confirm = false;
    EXPECT_FALSE(m_page.ClickApply());
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm"}));
    EXPECT_TRUE(m_page.IsApplyEnabled());
}

TEST(RadioPage, CheckItemChangesOnlyTheAddressedButton) {
    CTempDir dir;
    CPropertyPageRadio page;
    page.LoadItems(cva::test::WritePlugin(dir, "r.cvp", "Text0=A\r\nText1=B\r\nText2=C\r\n"));
    page.CheckItem(0, 1);
    page.CheckItem(2, 1);
    EXPECT_EQ(page.IsItemChecked(0), 1);
    EXPECT_EQ(page.IsItemChecked(2), 1);
    EXPECT_EQ(page.IsItemChecked(4), 0) << "hidden items still answer";
    EXPECT_EQ(page.IsItemChecked(5), -1);
    EXPECT_FALSE(page.Snapshot().m_items[3].m_visible);

    page.AfterInit();
    EXPECT_TRUE(page.ClickItem(1));
    EXPECT_EQ(page.IsItemChecked(0), 0);
    EXPECT_EQ(page.IsItemChecked(1), 1);
    EXPECT_EQ(page.IsItemChecked(2), 0);
    EXPECT_TRUE(page.IsApplyEnabled());
}

TEST(RadioPage, ApplyPassesZerosRecordsAndThenDisables) {
    CTempDir dir;
    COwnerDouble owner;
    CPropertyPageRadio page;
    page.SetOwner(&owner);
    page.LoadItems(cva::test::WritePlugin(dir, "r.cvp", "Text0=A\r\n"));
    page.ClickItem(0);
    EXPECT_TRUE(page.ClickApply());
    EXPECT_EQ(owner.m_log, (Log{"Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_FALSE(page.IsApplyEnabled());
}
