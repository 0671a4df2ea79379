#include "PageViewFixture.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageRadio.h"
#include "gui/pages/CheckPageView.h"
#include "gui/pages/PlaceholderPageView.h"
#include "gui/pages/RadioPageView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

#include "core/pages/PropertyPageHtml.h"

using namespace cva;
using Log = std::vector<std::string>;

namespace {

QPushButton* ApplyOf(QWidget* view) { return view->findChild<QPushButton*>("apply1154"); }

// A check box or radio button reacts only on its indicator and caption, not across its
// whole width.
void ClickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

class CheckView : public ::testing::Test,
                  public test::CPageViewFixture<pages::CPropertyPageCheck, gui::CCheckPageView> {};
class RadioView : public ::testing::Test,
                  public test::CPageViewFixture<pages::CPropertyPageRadio, gui::CRadioPageView> {};

} // namespace

TEST_F(CheckView, DrawsDeclaredBoxesUnderTheirIdentifiersAndHidesTheRest) {
    Open("Text0=First\r\nText3=Fourth\r\n", [](auto& page) { page.CheckItem(3, 1); });
    auto* first = m_view->findChild<QCheckBox*>("item1040");
    auto* fourth = m_view->findChild<QCheckBox*>("item1048");
    ASSERT_TRUE(first && fourth);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), "First");
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(fourth->isChecked());
    EXPECT_FALSE(m_view->findChild<QCheckBox*>("item1041")->isVisible());
    EXPECT_FALSE(m_view->findChild<QCheckBox*>("item1059")->isVisible());
    EXPECT_EQ(m_view->findChild<QPlainTextEdit*>("desc1153")->toPlainText(), "What the plugin changes.");
    EXPECT_TRUE(m_view->findChild<QPlainTextEdit*>("desc1153")->isReadOnly());
    m_page.SetDescription("One\r\nTwo");
    EXPECT_EQ(m_view->findChild<QPlainTextEdit*>("desc1153")->toPlainText(), "One\nTwo");
}

TEST_F(CheckView, ClickingABoxEnablesApplyAndApplyCallsOnApply) {
    Open("Text0=First\r\n");
    QPushButton* apply = ApplyOf(m_view);
    EXPECT_FALSE(apply->isEnabled()) << "a freshly opened page shows Apply greyed";
    ClickBox(m_view->Box(0));
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_TRUE(apply->font().bold());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(124,0)", "Recorded"}));
    EXPECT_FALSE(apply->isEnabled());
}

TEST_F(CheckView, DeclinedConfirmationKeepsApplyEnabled) {
    Open("Text0=First\r\n");
    m_owner.m_confirm = false;
    ClickBox(m_view->Box(0));
    QTest::mouseClick(ApplyOf(m_view), Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, Log{"Confirm"});
    EXPECT_TRUE(ApplyOf(m_view)->isEnabled());
}

TEST_F(CheckView, ScriptChangesReachTheWidgets) {
    Open("Text0=First\r\nText1=Second\r\n");
    m_page.CheckItem(1, 1);
    m_page.EnableItem(0, 0);
    EXPECT_TRUE(m_view->Box(1)->isChecked());
    EXPECT_FALSE(m_view->Box(0)->isEnabled());
    ClickBox(m_view->Box(0));
    EXPECT_EQ(m_page.IsItemChecked(0), 0) << "a disabled box ignores clicks";
}

TEST_F(CheckView, DisabledPageIgnoresClicksUntilShownAgain) {
    Open("Text0=First\r\n");
    m_page.DisableWindow();
    EXPECT_FALSE(m_view->isEnabled());
    ClickBox(m_view->Box(0));
    EXPECT_EQ(m_page.IsItemChecked(0), 0);
    EXPECT_FALSE(m_view->Box(0)->isChecked());
    Open("Text0=First\r\n");
    EXPECT_TRUE(m_view->isEnabled());
    ClickBox(m_view->Box(0));
    EXPECT_EQ(m_page.IsItemChecked(0), 1);
}

TEST_F(CheckView, ReopeningWithFewerBoxesHidesTheOldOnes) {
    Open("Text0=First\r\nText5=Sixth\r\n", [](auto& page) { page.CheckItem(5, 1); });
    EXPECT_TRUE(m_view->findChild<QCheckBox*>("item1058")->isVisible());
    Open("Text0=Only\r\n");
    EXPECT_FALSE(m_view->findChild<QCheckBox*>("item1058")->isVisible());
    EXPECT_EQ(m_view->Box(0)->text(), "Only");
}

TEST_F(RadioView, ClickSelectsOneAndClearsTheOthersEvenAfterAScriptSelectedTwo) {
    Open("Text0=A\r\nText1=B\r\nText2=C\r\n", [](auto& page) {
        page.CheckItem(0, 1);
        page.CheckItem(2, 1);
    });
    EXPECT_TRUE(m_view->Button(0)->isChecked());
    EXPECT_TRUE(m_view->Button(2)->isChecked()) << "the script's choice is shown as the page holds it";
    ClickBox(m_view->Button(1));
    EXPECT_FALSE(m_view->Button(0)->isChecked());
    EXPECT_TRUE(m_view->Button(1)->isChecked());
    EXPECT_FALSE(m_view->Button(2)->isChecked());
    EXPECT_EQ(m_page.IsItemChecked(1), 1);
    EXPECT_TRUE(ApplyOf(m_view)->isEnabled());
    ClickBox(m_view->Button(1));
    EXPECT_TRUE(m_view->Button(1)->isChecked()) << "clicking the selected button keeps it selected";
    QTest::mouseClick(ApplyOf(m_view), Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, (Log{"Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_EQ(m_view->findChild<QRadioButton*>("item1053")->isVisible(), false);
}

TEST(PlaceholderView, ShowsTheDescriptionOfPagesWithoutAViewYet) {
    pages::CPropertyPageHtml page;
    QWidget window;
    QWidget* view = new gui::CPlaceholderPageView(page, &window);
    page.SetDescription("About this page");
    EXPECT_EQ(view->findChild<QLabel*>("desc1153")->text(), "About this page");
}

// The window owns the pages through its core object, a member destroyed before Qt
// deletes the child views; and a view may also go first while its page lives on.
TEST(PageViewLifetime, PageDestroyedBeforeItsViewAndViewBeforeItsPage) {
    {
        QWidget window;
        auto page = std::make_unique<pages::CPropertyPageCheck>();
        gui::CreatePageView(*page, &window);
        page.reset();
    }
    pages::CPropertyPageCheck page;
    {
        QWidget window;
        gui::CreatePageView(page, &window);
    }
    page.CheckItem(0, 1);
    page.SetDescription("still fine");
    QWidget window;
    auto* view = dynamic_cast<gui::CCheckPageView*>(gui::CreatePageView(page, &window));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->Box(0)->isChecked()) << "a new view draws the state the page kept";
}
