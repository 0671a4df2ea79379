#include "PageDoubles.h"

#include "core/pages/PropertyPageList.h"

#include <gtest/gtest.h>

using namespace cva::pages;
using cva::test::COwnerDouble;
using cva::test::CTempDir;
using Log = std::vector<std::string>;

class ListPage : public ::testing::Test {
protected:
    void Load(const std::string& lines) {
        m_page.SetOwner(&m_owner);
        m_page.LoadItems(cva::test::WritePlugin(m_dir, "l.cvp", lines));
    }
    void Fill(int rows) {
        for (int i = 0; i < rows; ++i) m_page.SetItemText(i, "row" + std::to_string(i));
    }
    CTempDir m_dir;
    COwnerDouble m_owner;
    CPropertyPageList m_page;
};

TEST_F(ListPage, CountGivesTheExtraColumnsAndNegativeGivesNone) {
    Load("count=2\r\n");
    EXPECT_EQ(m_page.ColumnCount(), 3);
    Load("count=-4\r\n");
    EXPECT_EQ(m_page.ColumnCount(), 1);
}

TEST_F(ListPage, ColumnHeadingsAreThoseThePluginNames) {
    Load("count=2\r\nColumn0=Name\r\nColumn2=Command\r\nColumn3=Beyond\r\n");
    EXPECT_EQ(m_page.Snapshot().m_columnHeadings,
              (std::vector<std::string>{"Name", "", "Command"}));
    Load("count=1\r\n");
    EXPECT_EQ(m_page.ColumnHeadings(), (std::vector<std::string>{"", ""}));
}

TEST_F(ListPage, SetItemTextAppendsReplacesAndDeletes) {
    Load("count=1\r\n");
    Fill(3);
    EXPECT_EQ(m_page.GetItemCount(), 3);
    m_page.SetItemText(10, "far"); // past the end appends
    EXPECT_EQ(m_page.GetItemText(3), "far");
    m_page.SetItemText(1, "middle");
    EXPECT_EQ(m_page.GetItemText(1), "middle");
    m_page.SetItemText(0, "");
    EXPECT_EQ(m_page.GetItemCount(), 3);
    EXPECT_EQ(m_page.GetItemText(0), "middle");
    m_page.SetItemText(3, ""); // an empty text out of range inserts an empty row
    EXPECT_EQ(m_page.GetItemCount(), 4);
    m_page.SetItemText(-1, "nowhere");
    EXPECT_EQ(m_page.GetItemCount(), 4);
}

TEST_F(ListPage, ColumnsRowDataAndChecksByIndex) {
    Load("count=1\r\n");
    Fill(2);
    m_page.SetItemTextEx(0, 1, "value");
    m_page.SetItemTextEx(0, 2, "beyond");
    EXPECT_EQ(m_page.Snapshot().m_rows[0].m_columns, (std::vector<std::string>{"row0", "value"}));
    EXPECT_EQ(m_page.GetItemTextEx(0, 1), "") << "the list never reads sub-items back";
    m_page.SetItemData(1, 42);
    EXPECT_EQ(m_page.GetItemData(1), 42);
    EXPECT_EQ(m_page.GetItemData(2), 0);
    m_page.CheckItem(1, 5);
    EXPECT_EQ(m_page.IsItemChecked(1), 1);
    EXPECT_EQ(m_page.IsItemChecked(2), -1);
}

TEST_F(ListPage, ApplyButtonAsksDisablesAndPassesTheSelectedRow) {
    Load("Text1=Delete\r\n");
    Fill(3);
    m_page.AfterInit();
    SPageSnapshot s = m_page.Snapshot();
    EXPECT_EQ(s.m_buttons[0].m_caption, "Apply");
    EXPECT_FALSE(s.m_buttons[0].m_enabled);
    EXPECT_TRUE(s.m_buttons[1].m_visible);
    EXPECT_FALSE(s.m_buttons[2].m_visible);

    EXPECT_TRUE(m_page.SelectRow(2));
    EXPECT_TRUE(m_page.IsApplyEnabled()) << "selection changes a row";
    EXPECT_TRUE(m_page.ClickButton(0));
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,2)", "Recorded"}));
    EXPECT_FALSE(m_page.IsApplyEnabled());
}

TEST_F(ListPage, DeclinedApplyLeavesTheButtonEnabled) {
    Load("");
    Fill(1);
    m_owner.m_confirm = false;
    EXPECT_FALSE(m_page.ClickButton(0));
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm"}));
    EXPECT_TRUE(m_page.IsApplyEnabled());
}

TEST_F(ListPage, OwnCaptionButtonAsksNothingAndStaysEnabled) {
    Load("Text0=Remove\r\nText1=Add\r\nText2=Refresh\r\n");
    Fill(2);
    m_page.AfterInit();
    EXPECT_TRUE(m_page.IsApplyEnabled());
    EXPECT_FALSE(m_page.Snapshot().m_buttons[0].m_icon);
    EXPECT_TRUE(m_page.ClickButton(0));
    EXPECT_TRUE(m_page.ClickButton(2));
    m_page.SelectRow(1);
    EXPECT_TRUE(m_page.ClickButton(1));
    EXPECT_EQ(m_owner.m_log, (Log{"OnApply(0,-1)", "Recorded", "OnApply(2,-1)", "Recorded",
                                  "OnApply(1,1)", "Recorded"}));
    EXPECT_TRUE(m_page.IsApplyEnabled());
}

TEST_F(ListPage, ContextMenuNeedsCheckBoxes) {
    Load("");
    Fill(3);
    m_page.CheckItem(1, 1);
    EXPECT_FALSE(m_page.ContextMenuEnabled());
    EXPECT_FALSE(m_page.CheckAll());
    m_page.SetCheckBoxes(true);
    EXPECT_TRUE(m_page.CheckInvert());
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
    EXPECT_EQ(m_page.IsItemChecked(1), 0);
    EXPECT_TRUE(m_page.CheckNone());
    EXPECT_EQ(m_page.IsItemChecked(0), 0);
    EXPECT_TRUE(m_page.ToggleRowCheck(2));
    EXPECT_EQ(m_page.IsItemChecked(2), 1);
}

TEST_F(ListPage, DeletingTheSelectedRowClearsTheSelection) {
    Load("");
    Fill(3);
    m_page.SelectRow(2);
    m_page.SetItemText(0, "");
    EXPECT_EQ(m_page.SelectedRow(), 1);
    m_page.SetItemText(1, "");
    EXPECT_EQ(m_page.SelectedRow(), -1);
}
