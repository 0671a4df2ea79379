#include "core/pages/MultiCtrl.h"

#include <gtest/gtest.h>

using namespace cva::pages;

namespace {

CMultiCtrl Make(int kind) {
    CMultiCtrl ctrl;
    ctrl.SetType(kind);
    ctrl.SetActive(true);
    return ctrl;
}

} // namespace

TEST(MultiKinds, NamesAreWholeWordsInAnyCase) {
    EXPECT_EQ(CMultiCtrl::KindFromName("DropList"), MULTI_DROPLIST);
    EXPECT_EQ(CMultiCtrl::KindFromName("SLIDER"), MULTI_SLIDER);
    EXPECT_EQ(CMultiCtrl::KindFromName("checkbox"), MULTI_NONE);
    EXPECT_EQ(CMultiCtrl::KindFromName("none"), MULTI_NONE);
    EXPECT_STREQ(CMultiCtrl::KindName(MULTI_SPIN), "spin");
}

TEST(MultiSpin, ValuesAreClampedAndEmptyStaysEmpty) {
    CMultiCtrl spin = Make(MULTI_SPIN);
    spin.SetRange(10, 20);
    spin.SetValue("50");
    EXPECT_EQ(spin.GetValue(), "20");
    spin.SetValue("abc");
    EXPECT_EQ(spin.GetValue(), "10") << "not a number reads as 0, then clamped";
    spin.SetValue("  ");
    EXPECT_EQ(spin.GetValue(), "");
    spin.UserType("99");
    EXPECT_EQ(spin.GetValue(), "20") << "typed text is clamped when read";
    spin.UserSpin(-3);
    EXPECT_EQ(spin.GetValue(), "17");
}

TEST(MultiSpin, RangeBoundsMayComeInEitherOrder) {
    CMultiCtrl spin = Make(MULTI_SPIN);
    spin.SetRange(50, 0);
    spin.SetValue("70");
    EXPECT_EQ(spin.GetValue(), "50");
    spin.SetValue("-5");
    EXPECT_EQ(spin.GetValue(), "0");
}

TEST(MultiCheck, MinusOneMakesAThreeStateBox) {
    CMultiCtrl check = Make(MULTI_CHECK);
    check.SetValue("1");
    EXPECT_EQ(check.GetValue(), "1");
    EXPECT_FALSE(check.IsThreeState());
    check.SetValue("yes");
    EXPECT_EQ(check.GetValue(), "") << "unknown words read as unchecked";
    check.SetValue("-1");
    EXPECT_TRUE(check.IsThreeState());
    EXPECT_EQ(check.GetValue(), "-1");
    check.UserClick();
    EXPECT_EQ(check.GetValue(), "");
    check.UserClick();
    EXPECT_EQ(check.GetValue(), "1");
    check.UserClick();
    EXPECT_EQ(check.GetValue(), "-1");
}

TEST(MultiCombo, EntriesSelectionAndTypedText) {
    CMultiCtrl combo = Make(MULTI_COMBO);
    combo.SetEntry(5, "Alpha");
    combo.SetEntry(5, "Beta");
    combo.SetEntry(9, "Gamma");
    combo.SetValue("beta");
    EXPECT_EQ(combo.CurSel(), 1);
    EXPECT_EQ(combo.GetValue(), "Beta");
    combo.SetValue("Delta");
    EXPECT_EQ(combo.CurSel(), -1);
    EXPECT_EQ(combo.GetValue(), "Delta");
    combo.SetEntry(0, "First");
    EXPECT_EQ(combo.EntryText(0), "First");
    combo.SetEntry(1, "");
    EXPECT_EQ(combo.Entries(), (std::vector<std::string>{"First", "Gamma"}));
    EXPECT_EQ(combo.EntryText(7), "");
    combo.SetValue("");
    EXPECT_EQ(combo.GetValue(), "");
}

TEST(MultiCombo, DropListKeepsNoTextThatMatchesNoEntry) {
    CMultiCtrl list = Make(MULTI_DROPLIST);
    list.SetEntry(0, "One");
    list.SetEntry(1, "Two");
    list.SetCurSel(1);
    list.SetValue("Three");
    EXPECT_EQ(list.CurSel(), -1);
    EXPECT_EQ(list.GetValue(), "");
}

TEST(MultiCombo, ReplacingTheSelectedEntryDropsTheSelection) {
    CMultiCtrl list = Make(MULTI_DROPLIST);
    list.SetEntry(0, "One");
    list.SetEntry(1, "Two");
    list.SetEntry(2, "Three");
    list.SetCurSel(2);
    list.SetEntry(0, "");
    EXPECT_EQ(list.CurSel(), 1);
    EXPECT_EQ(list.GetValue(), "Three");
    list.SetEntry(1, "Drei");
    EXPECT_EQ(list.CurSel(), -1);
}
