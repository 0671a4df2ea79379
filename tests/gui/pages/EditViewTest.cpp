#include "PageViewFixture.h"

#include "core/pages/PropertyPageEdit.h"
#include "gui/pages/EditPageView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace cva;
using Log = std::vector<std::string>;

namespace {

class EditView : public ::testing::Test,
                 public test::CPageViewFixture<pages::CPropertyPageEdit, gui::CEditPageView> {
protected:
    QPushButton* Apply() const { return m_view->findChild<QPushButton*>("apply1154"); }
};

} // namespace

TEST_F(EditView, LabelsFieldsAndBrowseButtonsFollowTheStyles) {
    Open("Text0=Path\r\nStyle0=1\r\nText1=Count\r\nStyle1=3\r\nText2=Name\r\nText3=none\r\nStyle3=2\r\n",
         [](auto& page) { page.SetItemText(1, "12"); });
    EXPECT_EQ(m_view->findChild<QLabel*>("label1021")->text(), "Path");
    EXPECT_TRUE(m_view->findChild<QPushButton*>("browse1052")->isVisible());
    EXPECT_EQ(m_view->findChild<QLineEdit*>("item1043")->text(), "12");
    EXPECT_FALSE(m_view->findChild<QPushButton*>("browse1053")->isVisible());
    EXPECT_TRUE(m_view->findChild<QLineEdit*>("item1044")->isVisible());
    EXPECT_FALSE(m_view->findChild<QPushButton*>("browse1054")->isVisible());
    // Label "none" hides the whole item, its browse button included.
    EXPECT_FALSE(m_view->findChild<QLabel*>("label1026")->isVisible());
    EXPECT_FALSE(m_view->findChild<QLineEdit*>("item1045")->isVisible());
    EXPECT_FALSE(m_view->findChild<QPushButton*>("browse1055")->isVisible());
    EXPECT_FALSE(Apply()->isEnabled());
}

TEST_F(EditView, DigitsOnlyFieldRefusesOtherCharactersButTheScriptIsNotFiltered) {
    Open("Text0=Count\r\nStyle0=3\r\nText1=Name\r\n");
    QLineEdit* count = m_view->Field(0);
    QTest::keyClicks(count, "4a2-");
    EXPECT_EQ(count->text(), "42");
    EXPECT_EQ(m_page.GetItemText(0), "42");
    m_page.SetItemText(0, "x7");
    EXPECT_EQ(count->text(), "x7");
    QLineEdit* name = m_view->Field(1);
    QTest::keyClicks(name, "a1");
    EXPECT_EQ(m_page.GetItemText(1), "a1");
}

TEST_F(EditView, TypingEnablesApplyAndApplyPassesZeroes) {
    Open("Text0=Name\r\n", [](auto& page) { page.SetItemText(0, "old"); });
    EXPECT_FALSE(Apply()->isEnabled());
    QTest::keyClicks(m_view->Field(0), "er");
    EXPECT_EQ(m_page.GetItemText(0), "older");
    EXPECT_TRUE(Apply()->isEnabled());
    QTest::mouseClick(Apply(), Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_FALSE(Apply()->isEnabled());
}

TEST_F(EditView, BrowseButtonsAskThroughThePageAndCancelKeepsTheField) {
    Open("Text0=File\r\nStyle0=1\r\nFILEFILTER0=Text|*.txt||\r\nText1=Folder\r\nStyle1=2\r\n"
         "Text2=Odd\r\nStyle2=5\r\n",
         [](auto& page) { page.SetItemText(1, "C:\\keep"); });
    m_owner.m_prompts.m_file = "C:\\a.txt";
    QTest::mouseClick(m_view->BrowseButton(0), Qt::LeftButton);
    EXPECT_EQ(m_view->Field(0)->text(), "C:\\a.txt");
    ASSERT_EQ(m_owner.m_prompts.m_filters.size(), 1u);
    EXPECT_EQ(m_owner.m_prompts.m_filters[0], "Text|*.txt||");
    EXPECT_TRUE(Apply()->isEnabled());

    QTest::mouseClick(m_view->BrowseButton(1), Qt::LeftButton); // cancelled
    EXPECT_EQ(m_owner.m_prompts.m_folderPicks, 1);
    EXPECT_EQ(m_view->Field(1)->text(), "C:\\keep");

    QTest::mouseClick(m_view->BrowseButton(2), Qt::LeftButton); // style 5 does nothing
    EXPECT_EQ(m_owner.m_prompts.m_folderPicks, 1);
    EXPECT_EQ(m_owner.m_prompts.m_filters.size(), 1u);
}

TEST_F(EditView, DisabledItemAndDisabledPageTakeNoInput) {
    Open("Text0=File\r\nStyle0=1\r\nText1=Name\r\n", [](auto& page) { page.EnableItem(0, 0); });
    EXPECT_FALSE(m_view->Field(0)->isEnabled());
    EXPECT_FALSE(m_view->BrowseButton(0)->isEnabled());
    m_page.DisableWindow();
    QTest::keyClicks(m_view->Field(1), "typed");
    EXPECT_EQ(m_page.GetItemText(1), "");
    EXPECT_EQ(m_view->Field(1)->text(), "");
    Open("Text0=File\r\nStyle0=1\r\nText1=Name\r\n");
    EXPECT_TRUE(m_view->Field(0)->isEnabled()) << "showing the page again undoes EnableItem";
}

TEST_F(EditView, ReturnInAFieldPressesAnEnabledApply) {
    Open("Text0=Name\r\n");
    QTest::keyClick(m_view->Field(0), Qt::Key_Return);
    EXPECT_TRUE(m_owner.m_log.empty()) << "nothing changed, nothing to apply";
    QTest::keyClicks(m_view->Field(0), "x");
    QTest::keyClick(m_view->Field(0), Qt::Key_Return);
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,0)", "Recorded"}));
}
