#include "PageViewFixture.h"

#include "core/pages/PropertyPageList.h"
#include "gui/pages/ListPageView.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace cva;
using Log = std::vector<std::string>;

namespace {

class ListView : public ::testing::Test,
                 public test::CPageViewFixture<pages::CPropertyPageList, gui::CListPageView> {
protected:
    void OpenList(const std::string& lines, bool checkBoxes) {
        m_page.SetCheckBoxes(checkBoxes);
        Open(lines, [](pages::CPropertyPageList& page) {
            page.SetItemText(0, "alpha");
            page.SetItemTextEx(0, 1, "a1");
            page.SetItemText(1, "beta");
            page.SetItemText(2, "gamma");
            page.CheckItem(1, 1);
        });
    }
    QTreeWidgetItem* Row(int row) const { return m_view->List()->topLevelItem(row); }
    void ClickRow(int row) {
        QTreeWidget* list = m_view->List();
        QRect rect = list->visualItemRect(Row(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ClickCheck(int row) {
        QTreeWidget* list = m_view->List();
        QRect rect = list->visualItemRect(Row(row));
        // The check box is the first thing in column 0.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 10, rect.center().y()));
    }
    QAction* Command(QMenu& menu, const char* name) { return menu.findChild<QAction*>(name); }
};

} // namespace

TEST_F(ListView, RowsColumnsAndButtonsAsTheScriptLeftThem) {
    OpenList("count=1\r\nText1=Delete\r\n", false);
    QTreeWidget* list = m_view->List();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->columnCount(), 2);
    EXPECT_EQ(Row(0)->text(0), "alpha");
    EXPECT_EQ(Row(0)->text(1), "a1");
    EXPECT_FALSE(Row(1)->data(0, Qt::CheckStateRole).isValid()) << "list plugins show no check boxes";
    QPushButton* apply = m_view->findChild<QPushButton*>("button1052");
    EXPECT_EQ(apply->text(), "Apply");
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_FALSE(apply->icon().isNull());
    EXPECT_EQ(m_view->findChild<QPushButton*>("button1053")->text(), "Delete");
    EXPECT_TRUE(m_view->findChild<QPushButton*>("button1053")->isVisible());
    EXPECT_FALSE(m_view->findChild<QPushButton*>("button1054")->isVisible());
}

TEST_F(ListView, SelectingARowEnablesApplyAndButtonsPassTheRow) {
    OpenList("Text1=Delete\r\n", false);
    ClickRow(2);
    EXPECT_EQ(m_page.SelectedRow(), 2);
    EXPECT_TRUE(m_view->Button(0)->isEnabled());
    QTest::mouseClick(m_view->Button(1), Qt::LeftButton);
    QTest::mouseClick(m_view->Button(0), Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, (Log{"OnApply(1,2)", "Recorded", "Confirm", "OnApply(0,2)", "Recorded"}));
    EXPECT_FALSE(m_view->Button(0)->isEnabled());
}

TEST_F(ListView, ChecklistBoxesFollowThePageBothWays) {
    OpenList("", true);
    EXPECT_EQ(Row(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Row(1)->checkState(0), Qt::Checked);
    ClickCheck(0);
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
    EXPECT_TRUE(m_view->Button(0)->isEnabled());
    m_page.CheckItem(2, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(Row(2)->checkState(0), Qt::Checked);
}

TEST_F(ListView, ContextMenuChecksAllNoneAndInverts) {
    OpenList("", true);
    std::unique_ptr<QMenu> menu = m_view->MakeContextMenu();
    ASSERT_TRUE(Command(*menu, "checkAll")->isEnabled());
    Command(*menu, "checkInvert")->trigger();
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
    EXPECT_EQ(m_page.IsItemChecked(1), 0);
    EXPECT_EQ(Row(1)->checkState(0), Qt::Unchecked);
    Command(*menu, "checkAll")->trigger();
    EXPECT_EQ(Row(1)->checkState(0), Qt::Checked);
    Command(*menu, "checkNone")->trigger();
    for (int r = 0; r < 3; ++r) EXPECT_EQ(Row(r)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(m_view->Button(0)->isEnabled());
}

TEST_F(ListView, ContextMenuIsGreyedOnListsAndOnADisabledPage) {
    OpenList("", false);
    std::unique_ptr<QMenu> menu = m_view->MakeContextMenu();
    for (const char* name : {"checkAll", "checkNone", "checkInvert"})
        EXPECT_FALSE(Command(*menu, name)->isEnabled()) << name;
    m_page.SetCheckBoxes(true);
    m_page.DisableWindow();
    menu = m_view->MakeContextMenu();
    EXPECT_FALSE(Command(*menu, "checkAll")->isEnabled());
}

TEST_F(ListView, AScriptRefillingTheListInOnApplyIsDrawnOnce) {
    OpenList("Text0=Refresh\r\n", false);
    m_owner.m_onRoutine = [this](const std::string&) {
        while (m_page.GetItemCount() > 0) m_page.SetItemText(0, "");
        m_page.SetItemText(0, "fresh");
    };
    QTest::mouseClick(m_view->Button(0), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(m_view->List()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(0)->text(0), "fresh");
    EXPECT_EQ(m_view->List()->selectedItems().size(), 0);
    EXPECT_TRUE(m_view->Button(0)->isEnabled()) << "a button with its own caption stays enabled";
}

TEST_F(ListView, DisabledPageIgnoresClicks) {
    OpenList("", true);
    m_page.DisableWindow();
    ClickCheck(0);
    ClickRow(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_page.IsItemChecked(0), 0);
    EXPECT_EQ(m_page.SelectedRow(), -1);
    EXPECT_EQ(Row(0)->checkState(0), Qt::Unchecked);
}

TEST_F(ListView, ColumnsTakeTheWidthOfTheirTextsAndCutTextsShowAsTooltips) {
    m_page.SetCheckBoxes(true);
    Open("count=1\r\n", [](pages::CPropertyPageList& page) {
        page.SetItemText(0, "Drives of unknown type");
        page.SetItemTextEx(0, 1, "0x01");
        page.SetItemText(1, std::string(300, 'w'));
    });
    QTreeWidget* list = m_view->List();
    EXPECT_TRUE(list->isHeaderHidden()) << "the plugin names no column";
    const int text =
        list->fontMetrics().horizontalAdvance(QStringLiteral("Drives of unknown type"));
    EXPECT_GT(list->columnWidth(0), text);
    EXPECT_LT(list->columnWidth(0), list->viewport()->width()) << "the second column keeps room";

    QHelpEvent fits(QEvent::ToolTip, list->visualItemRect(Row(0)).center(), QCursor::pos());
    QCoreApplication::sendEvent(list->viewport(), &fits);
    EXPECT_TRUE(QToolTip::text().isEmpty());
    QHelpEvent cut(QEvent::ToolTip, list->visualItemRect(Row(1)).center(), QCursor::pos());
    QCoreApplication::sendEvent(list->viewport(), &cut);
    EXPECT_EQ(QToolTip::text(), QString(300, 'w'));
}

TEST_F(ListView, ColumnHeadingsShowWhereThePluginNamesThem) {
    OpenList("count=2\r\nColumn0=Program\r\nColumn2=Command line\r\n", false);
    QTreeWidget* list = m_view->List();
    EXPECT_FALSE(list->isHeaderHidden());
    EXPECT_EQ(list->headerItem()->text(0), "Program");
    EXPECT_EQ(list->headerItem()->text(1), "");
    EXPECT_EQ(list->headerItem()->text(2), "Command line");
}

TEST_F(ListView, ReturnOnTheFocusedApplyPressesIt) {
    OpenList("", false);
    ClickRow(1);
    m_view->Button(0)->setFocus();
    QTest::keyClick(m_view->Button(0), Qt::Key_Return);
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,1)", "Recorded"}));
}
