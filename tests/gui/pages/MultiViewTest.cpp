#include "PageViewFixture.h"

#include "core/pages/PropertyPageMulti.h"
#include "gui/pages/DialogLayout.h"
#include "gui/pages/MultiPageView.h"
#include "gui/pages/SpinField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace cva;
using Log = std::vector<std::string>;

namespace {

constexpr const char* kMixed = "Type0=edit\r\nText0=Name\r\nStyle0=1\r\n"
                               "Type1=combo\r\nText1=Pick\r\n"
                               "Type2=check\r\nText2=Enable it\r\n"
                               "Type3=spin\r\nText3=Count\r\nStyle3=1,9\r\n"
                               "Type4=slider\r\nText4=Level\r\nStyle4=10,20\r\n";
constexpr const char* kOthers = "Type0=DROPLIST\r\nText0=Size\r\n"
                                "Type1=radio\r\nText1=Small\r\nType2=radio\r\nText2=Large\r\n"
                                "Type3=button\r\nText3=Run\r\n";
const std::string kEvent = "OnEvent(-1,0)";

class MultiView : public ::testing::Test,
                  public test::CPageViewFixture<pages::CPropertyPageMulti, gui::CMultiPageView> {
protected:
    template <class T> T* Input(int index) const { return dynamic_cast<T*>(m_view->Input(index)); }
    QPushButton* Apply() const { return m_view->findChild<QPushButton*>("apply1154"); }
    void Type(QWidget* field, const char* text) {
        field->setFocus();
        QTest::keyClicks(field, text);
    }
};

} // namespace

TEST_F(MultiView, EachKindGetsItsControlWhereTheTemplatePutsIt) {
    Open(kMixed);
    auto* edit = m_view->findChild<QLineEdit*>("item1042");
    ASSERT_TRUE(edit);
    EXPECT_EQ(m_view->Label(0)->text(), "Name");
    const QRect placeholder = gui::CDialogUnits(m_view->font()).Rect(QRect(31, 22, 218, 14));
    const QMargins margins = m_view->layout()->contentsMargins();
    EXPECT_EQ(edit->parentWidget()->pos(),
              placeholder.topLeft() + QPoint(margins.left(), margins.top()));
    EXPECT_TRUE(m_view->BrowseButton(0)->isVisible());
    ASSERT_TRUE(Input<QComboBox>(1));
    EXPECT_TRUE(Input<QComboBox>(1)->isEditable());
    EXPECT_EQ(Input<QCheckBox>(2)->text(), "Enable it");
    EXPECT_TRUE(Input<gui::CSpinField>(3));
    EXPECT_EQ(m_view->Label(3)->text(), "Count   [min:1, max:9, now:Empty]");
    ASSERT_TRUE(Input<QSlider>(4));
    EXPECT_EQ(Input<QSlider>(4)->minimum(), 10);
    EXPECT_EQ(Input<QSlider>(4)->maximum(), 20);
    EXPECT_FALSE(Apply()->isEnabled());

    Open(kOthers);
    ASSERT_TRUE(Input<QComboBox>(0));
    EXPECT_FALSE(Input<QComboBox>(0)->isEditable());
    EXPECT_TRUE(Input<QRadioButton>(1)->isChecked()) << "the first radio item starts selected";
    EXPECT_EQ(Input<QPushButton>(3)->text(), "Static...");
    EXPECT_EQ(m_view->Input(4), nullptr);
    EXPECT_FALSE(m_view->Label(4)->isVisible());
    EXPECT_FALSE(m_view->BrowseButton(0)->isVisible());
}

TEST_F(MultiView, TypingSpinningAndSlidingReportAndMoveTheRangeCaptions) {
    Open(kMixed);
    Type(Input<QLineEdit>(0), "ab");
    EXPECT_EQ(m_page.GetItemText(0), "ab");
    EXPECT_EQ(m_owner.m_log, (Log{kEvent, kEvent}));
    EXPECT_TRUE(Apply()->isEnabled());

    auto* spin = Input<gui::CSpinField>(3);
    Type(spin, "4");
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(m_page.GetItemText(3), "5");
    EXPECT_EQ(spin->Field()->text(), "5");
    EXPECT_EQ(m_view->Label(3)->text(), "Count   [min:1, max:9, now:5]");
    QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(m_view->Label(3)->text(), "Count   [min:1, max:9, now:Empty]");

    m_owner.m_log.clear();
    auto* slider = Input<QSlider>(4);
    slider->setSliderDown(true);
    slider->setValue(15);
    EXPECT_EQ(m_view->Label(4)->text(), "Level   [min:10 -> max:20, now:15]");
    EXPECT_TRUE(m_owner.m_log.empty()) << "a drag is reported when it ends";
    slider->setSliderDown(false);
    EXPECT_EQ(m_owner.m_log, Log{kEvent});
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(m_page.GetItemText(4), "16");
    EXPECT_EQ(m_owner.m_log, (Log{kEvent, kEvent}));
}

TEST_F(MultiView, AChosenEntryIsReportedTwiceAndApplyReportsBeforeApplying) {
    Open(kMixed, [](auto& page) {
        page.SetItemTextEx(1, 0, "One");
        page.SetItemTextEx(1, 1, "Two");
    });
    auto* combo = Input<QComboBox>(1);
    ASSERT_EQ(combo->count(), 2);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(m_page.GetCurSel(1), 0);
    EXPECT_EQ(m_owner.m_log, (Log{kEvent, kEvent}));
    Type(combo->lineEdit(), "x");
    EXPECT_EQ(m_page.GetItemText(1), "Onex");
    EXPECT_EQ(m_page.GetCurSel(1), -1);
    m_owner.m_log.clear();
    QTest::mouseClick(Apply(), Qt::LeftButton);
    EXPECT_EQ(m_owner.m_log, (Log{kEvent, "Confirm", "OnApply(0,0)", "Recorded"}));
    EXPECT_FALSE(Apply()->isEnabled());
}

TEST_F(MultiView, BoxesAndRadioItemsShowWhatThePageHolds) {
    Open(kMixed, [](auto& page) { page.SetItemText(2, "-1"); });
    auto* box = Input<QCheckBox>(2);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->click();
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    EXPECT_EQ(m_page.GetItemText(2), "");

    Open(kOthers);
    Input<QRadioButton>(2)->click();
    EXPECT_FALSE(Input<QRadioButton>(1)->isChecked());
    EXPECT_EQ(m_page.IsItemChecked(2), 1);
    m_owner.m_log.clear();
    Input<QPushButton>(3)->click();
    EXPECT_EQ(m_owner.m_log, Log{kEvent});
}

TEST_F(MultiView, ScriptChangesReachTheControls) {
    Open(kMixed);
    m_page.EnableItem(0, 0);
    EXPECT_FALSE(m_view->Input(0)->isEnabled());
    EXPECT_FALSE(m_view->BrowseButton(0)->isEnabled());
    m_page.SetItemText(4, "50");
    EXPECT_EQ(Input<QSlider>(4)->value(), 20);
    m_page.SetItemTextEx(1, 0, "Red");
    m_page.SetCurSel(1, 0);
    EXPECT_EQ(Input<QComboBox>(1)->currentText(), "Red");
    m_owner.m_prompts.m_file = "/tmp/a.txt";
    m_page.EnableItem(0, 1);
    QTest::mouseClick(m_view->BrowseButton(0), Qt::LeftButton);
    EXPECT_EQ(Input<QLineEdit>(0)->text(), "/tmp/a.txt");
}

TEST_F(MultiView, ReturnInAFieldAppliesOnlyWhileApplyIsEnabled) {
    Open(kMixed);
    QTest::keyClick(Input<QLineEdit>(0), Qt::Key_Return);
    EXPECT_TRUE(m_owner.m_log.empty());
    Type(Input<gui::CSpinField>(3), "3");
    QTest::keyClick(Input<gui::CSpinField>(3), Qt::Key_Return);
    EXPECT_EQ(m_owner.m_log, (Log{kEvent, kEvent, "Confirm", "OnApply(0,0)", "Recorded"}));
}
