#include "PageDoubles.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMain.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace cva::pages;
using cva::test::COwnerDouble;

namespace {

std::vector<std::unique_ptr<CPropertyPageBase>> AllPages() {
    std::vector<std::unique_ptr<CPropertyPageBase>> pages;
    pages.push_back(std::make_unique<CPropertyPageMain>());
    pages.push_back(std::make_unique<CPropertyPageCheck>());
    pages.push_back(std::make_unique<CPropertyPageEdit>());
    pages.push_back(std::make_unique<CPropertyPageRadio>());
    pages.push_back(std::make_unique<CPropertyPageList>());
    pages.push_back(std::make_unique<CPropertyPageMulti>());
    pages.push_back(std::make_unique<CPropertyPageHtml>());
    return pages;
}

} // namespace

TEST(PageSlots, ItemCountIsZeroOnEveryKindButTheList) {
    for (auto& page : AllPages()) {
        if (page->PageIndex() == PAGE_LIST) {
            page->SetItemText(0, "row");
            EXPECT_EQ(page->GetItemCount(), 1);
        } else {
            page->SetItemText(0, "x");
            EXPECT_EQ(page->GetItemCount(), 0) << page->PageIndex();
        }
    }
}

TEST(PageSlots, OperationsAKindDoesNotHaveKeepTheDefaults) {
    CPropertyPageCheck check;
    check.SetItemText(0, "caption");
    EXPECT_EQ(check.GetItemText(0), "");
    EXPECT_EQ(check.GetCurSel(0), 0);
    EXPECT_EQ(check.GetItemData(0), 0);
    EXPECT_EQ(check.GetItemTextEx(0, 0), "");

    CPropertyPageEdit edit;
    edit.CheckItem(0, 1);
    EXPECT_EQ(edit.IsItemChecked(0), 0);
    EXPECT_EQ(edit.IsItemChecked(99), 0);

    CPropertyPageHtml html;
    html.CheckItem(0, 1);
    EXPECT_EQ(html.IsItemChecked(0), 0);
    EXPECT_EQ(html.GetCurSel(3), 0);

    CPropertyPageList list;
    EXPECT_EQ(list.GetCurSel(0), 0);
}

TEST(PageSlots, DisableWindowKeepsTheDescriptionButTurnsEverythingElseOff) {
    COwnerDouble owner;
    CPropertyPageCheck page;
    page.SetOwner(&owner);
    page.SetDescription("what it does");
    page.LoadItems("");
    page.DisableWindow();
    EXPECT_FALSE(page.IsWindowEnabled());
    EXPECT_FALSE(page.ControlsEnabled());
    EXPECT_EQ(page.Description(), "what it does");
    EXPECT_FALSE(page.ClickItem(0));
    EXPECT_FALSE(page.ClickApply());
    EXPECT_TRUE(owner.m_log.empty());
}

TEST(PageSlots, ShowingThePageAgainUndoesItemsTheLastScriptDisabled) {
    CPropertyPageEdit page;
    page.EnableItem(2, 0);
    EXPECT_FALSE(page.Snapshot().m_items[2].m_enabled);
    page.EnableControls(true);
    EXPECT_TRUE(page.Snapshot().m_items[2].m_enabled);
}

TEST(ConfirmApply, AsksOnlyWhenTheOptionBitIsSetAndStopsOnlyOnNo) {
    cva::test::CPromptsDouble prompts;
    EXPECT_TRUE(AskConfirmApply(&prompts, 1));
    EXPECT_TRUE(prompts.m_messages.empty());

    prompts.m_answer = cva::app::IDNO;
    EXPECT_FALSE(AskConfirmApply(&prompts, 3));
    ASSERT_EQ(prompts.m_messages.size(), 1u);
    EXPECT_EQ(prompts.m_messages[0], "Are you sure you want to apply the tweaks in this page ? ");
    EXPECT_EQ(prompts.m_styles[0], cva::app::MB_YESNO | cva::app::MB_ICONQUESTION);

    prompts.m_answer = 0; // a box that could not be shown does not block the apply
    EXPECT_TRUE(AskConfirmApply(&prompts, 2));
}

TEST(Snapshot, JsonEscapesTextsFromThePlugin) {
    EXPECT_EQ(JsonString("say \"hi\"\n\\\x01"), "\"say \\\"hi\\\"\\n\\\\\\u0001\"");
}

// ShowPage, LoadItems, "OnInit" changing items through the item interface, AfterInit:
// every kind with an Apply button opens with it greyed.
TEST(PageLifecycle, ChangesMadeByOnInitLeaveApplyDisabled) {
    cva::test::CTempDir dir;
    std::string plugin = cva::test::WritePlugin(dir, "p.cvp",
                                                "Text0=A\r\nType0=edit\r\nText1=B\r\nType1=radio\r\n");
    for (auto& page : AllPages()) {
        page->EnableControls(true);
        page->LoadItems(plugin);
        page->SetItemText(0, "1");
        page->CheckItem(1, 1);
        page->AfterInit();
        if (page->HasApplyButton()) {
            EXPECT_FALSE(page->IsApplyEnabled()) << page->PageIndex();
        }
        // The list's button 0 is captioned "A" here: a command, which stays usable.
        if (page->PageIndex() == PAGE_LIST) {
            EXPECT_TRUE(page->IsApplyEnabled());
        }
    }
}

TEST(PluginKeys, LongValuesAreCutAtAWholeCharacter) {
    cva::test::CTempDir dir;
    std::string label = std::string(258, 'x') + "\xC3\xA9\xC3\xA9"; // é crosses byte 259
    CPropertyPageEdit page;
    page.LoadItems(cva::test::WritePlugin(dir, "p.cvp", "Text0=" + label + "\r\n"));
    EXPECT_EQ(page.Snapshot().m_items[0].m_label, std::string(258, 'x'));
}

TEST(PluginKeys, AButtonItemNeverShowsACaptionLeftByTheLastPlugin) {
    cva::test::CTempDir dir;
    CPropertyPageMulti page;
    page.LoadItems(cva::test::WritePlugin(dir, "a.cvp", "Type0=check\r\nText0=Old box\r\n"));
    page.LoadItems(cva::test::WritePlugin(dir, "b.cvp", "Type0=button\r\nText0=Run\r\n"));
    EXPECT_EQ(page.Snapshot().m_items[0].m_caption, "Static...");
}

TEST(PageView, HearsOfItemsApplyStateAndPageEnabling) {
    cva::test::CTempDir dir;
    cva::test::CViewDouble view;
    CPropertyPageCheck page;
    page.SetView(&view);
    page.LoadItems(cva::test::WritePlugin(dir, "p.cvp", "Text2=Box\r\n"));
    using Item = std::pair<int, EItemChange>;
    EXPECT_NE(std::find(view.m_items.begin(), view.m_items.end(), Item{2, EItemChange::Visible}),
              view.m_items.end());
    view.m_items.clear();
    page.ClickItem(2);
    EXPECT_EQ(view.m_items, (std::vector<Item>{{2, EItemChange::Check}}));
    EXPECT_EQ(view.m_apply, (std::vector<bool>{true}));
    page.DisableWindow();
    EXPECT_EQ(view.m_apply, (std::vector<bool>{true, false}));
    EXPECT_EQ(view.m_pageEnabled, (std::vector<bool>{false}));
}

TEST(PageForType, PrefixMatchesWithTheLastMatchWinning) {
    EXPECT_EQ(PageForType("checklist")->m_pageIndex, PAGE_LIST);
    EXPECT_TRUE(PageForType("CheckList")->m_checkBoxes);
    EXPECT_EQ(PageForType("Checkbox")->m_pageIndex, PAGE_CHECK);
    EXPECT_EQ(PageForType("list")->m_pageIndex, PAGE_LIST);
    EXPECT_FALSE(PageForType("list")->m_checkBoxes);
    EXPECT_EQ(PageForType("MULTIPLE")->m_pageIndex, PAGE_MULTI);
    EXPECT_FALSE(PageForType("chec").has_value());
    EXPECT_FALSE(PageForType("").has_value());
}
