// The preset format, the actions read off a page at Apply and the journal's action lines.
#include "core/app/Preset.h"
#include "core/app/PresetHistory.h"
#include "core/app/PresetPrompts.h"
#include "core/journal/JournalEntry.h"
#include "core/pages/PageSnapshot.h"

#include <gtest/gtest.h>

namespace cva::test {
namespace {

using app::SPresetAction;
using EKind = SPresetAction::EKind;

TEST(Preset, WritesAndReadsBackEveryActionWithAwkwardTexts) {
    app::SPreset preset;
    preset.m_comments = {"two plugins"};
    preset.m_plugins = {{"menu delay.cvp",
                         {{EKind::Check, 0, "1"}, {EKind::Text, 2, "50% \"quoted\"\ttab"}, {EKind::Select, 3, {}},
                          {EKind::RowCheck, 4, "0"}, {EKind::Combo, 5, ""}, {EKind::Button, 2, {}}},
                         {"yes", "a b"}},
                        {"/abs/path/x.cvp", {{EKind::Link, 7, {}}}, {}}};
    const std::string text = app::FormatPreset(preset);
    EXPECT_EQ(text.rfind("corvanta-preset 1\n# two plugins\n", 0), 0u) << text;
    EXPECT_NE(text.find("    text 2 \"50%25 %22quoted%22%09tab\"\n"), std::string::npos) << text;
    std::string error;
    const auto back = app::ParsePreset(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->m_plugins, preset.m_plugins);

    // Written by hand: CRLF, indentation with tabs, comments, a byte-order mark.
    const auto hand = app::ParsePreset("\xEF\xBB\xBF" "corvanta-preset 1\r\n  # note\r\n\r\nplugin a.cvp\r\n\tcheck 1 0\r\n",
                                       error);
    ASSERT_TRUE(hand) << error;
    ASSERT_EQ(hand->m_plugins.size(), 1u);
    EXPECT_EQ(hand->m_plugins[0].m_actions, (std::vector<SPresetAction>{{EKind::Check, 1, "0"}}));
}

TEST(Preset, RefusesWhatItCannotReadWithTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "line 1: the file is empty"},
        {"corvanta-preset 2\n", "line 1: a preset of a later version"},
        {"[settings]\n", "line 1: not a preset"},
        {"corvanta-preset 1\ncheck 0 1\n", "line 2: \"check\" before the first plugin line"},
        {"corvanta-preset 1\nplugin a\ncheck 0 2\n", "line 3: not an action"},
        {"corvanta-preset 1\nplugin a\ntext 0\n", "line 3: not an action"},
        {"corvanta-preset 1\nplugin a\nselect -1\n", "line 3: not an action"},
        {"corvanta-preset 1\nplugin a\ntext 0 \"open\n", "line 3: an unclosed quote"},
        {"corvanta-preset 1\nplugin a\ntext 0 \"%zz\"\n", "line 3: an unclosed quote or a bad %XX"},
        {"corvanta-preset 1\nplugin a\nbutton 1\nlink 2\n", "line 4: a plugin presses one button"},
        {"corvanta-preset 1\nplugin\n", "line 2: plugin takes one name"},
    };
    for (const auto& [text, why] : cases) {
        std::string error;
        EXPECT_FALSE(app::ParsePreset(text, error)) << text;
        EXPECT_EQ(error.rfind(why, 0), 0u) << text << " -> " << error;
    }
}

pages::SItemSnapshot Item(int index, const char* kind, bool visible, bool enabled, int checked,
                          const std::string& value = {}) {
    pages::SItemSnapshot item;
    item.m_index = index;
    item.m_kind = kind;
    item.m_visible = visible;
    item.m_enabled = enabled;
    item.m_checked = checked;
    item.m_value = value;
    return item;
}

TEST(Preset, ActionsFromThePageLeaveOutWhatNoOneCouldReach) {
    pages::SPageSnapshot multi;
    multi.m_kind = "multi";
    multi.m_items = {Item(0, "check", true, true, 1, "1"), Item(1, "check", false, true, 1, "1"),
                     Item(2, "check", true, false, 0, "0"), Item(3, "check", true, true, 0, "2"),
                     Item(4, "radio", true, true, 0, "0"),  Item(5, "radio", true, true, 1, "1"),
                     Item(6, "spin", true, true, 0, "400"), Item(7, "combo", true, true, 0, "Fast"),
                     Item(8, "DROPLIST", true, true, 0, ""), Item(9, "slider", true, true, 0, "3"),
                     Item(10, "button", true, true, 0, ""), Item(11, "", true, true, 0, "")};
    EXPECT_EQ(app::ActionsFromPage(multi, 0, 0),
              (std::vector<SPresetAction>{{EKind::Check, 0, "1"}, {EKind::Select, 5, {}}, {EKind::Text, 6, "400"},
                                          {EKind::Combo, 7, "Fast"}, {EKind::Text, 9, "3"}}));

    pages::SPageSnapshot check;
    check.m_kind = "check";
    check.m_items = {Item(0, "check", true, true, 0), Item(1, "check", true, true, 2)};
    // The check page's routine gets 124 first: no button.
    EXPECT_EQ(app::ActionsFromPage(check, 124, 0), (std::vector<SPresetAction>{{EKind::Check, 0, "0"}}));

    pages::SPageSnapshot list;
    list.m_kind = "list";
    list.m_checkBoxes = true;
    list.m_rows.resize(2);
    list.m_rows[1].m_checked = true;
    list.m_selectedRow = 1;
    EXPECT_EQ(app::ActionsFromPage(list, 2, 1),
              (std::vector<SPresetAction>{{EKind::RowCheck, 0, "0"}, {EKind::RowCheck, 1, "1"}, {EKind::Select, 1, {}},
                                          {EKind::Button, 2, {}}}));
    pages::SPageSnapshot html;
    html.m_kind = "html";
    EXPECT_EQ(app::ActionsFromPage(html, 0, 3), (std::vector<SPresetAction>{{EKind::Link, 3, {}}}));
}

TEST(Preset, JournalEntryKeepsTheActionsBesideItsChanges) {
    journal::SJournalEntry entry;
    entry.m_id = "20261207-140312-001";
    entry.m_actions = {"check 0 1", "text 1 \"a%25b\""};
    journal::SJournalChange change;
    change.m_key = u"User\\S\\K";
    change.m_name = u"V";
    entry.m_changes.push_back(change);
    const std::string text = journal::FormatJournalEntry(entry);
    EXPECT_NE(text.find("\naction check 0 1\naction text 1 \"a%25b\"\nvalue "), std::string::npos) << text;
    const auto back = journal::ParseJournalEntry(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_actions, entry.m_actions);
    EXPECT_EQ(back->m_changes.size(), 1u);
    EXPECT_EQ(app::ParsePresetAction(back->m_actions[1]), (SPresetAction{EKind::Text, 1, "a%b"}));
}

// In the window a preset's answers go first; the user gets what they do not fit or cover.
TEST(Preset, AnswersTakeTheScriptsQuestionsBeforeTheUser) {
    constexpr int kUser = 42; // whatever the user pressed
    struct SUser : app::IUserPrompts {
        int MessageBox(const std::string& text, const std::string&, unsigned int) override {
            asked.push_back(text);
            return kUser;
        }
        std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& r) override {
            asked.push_back(r.m_description);
            return app::SInputBoxResult{"typed", {}};
        }
        std::optional<std::string> PickFile(const std::string&, const std::string&, const std::string&) override {
            return "picked";
        }
        std::optional<std::string> PickFolder(const std::string&, const std::string&) override { return "picked"; }
        std::vector<std::string> asked;
    } user;
    const std::vector<std::string> answers = {"yes", "retry", "", "C:\\x.txt", "spare"};
    app::CPresetPrompts prompts(user, answers);
    EXPECT_EQ(prompts.MessageBox("told", "", app::MB_OK), kUser); // asks nothing: takes no answer
    EXPECT_EQ(prompts.MessageBox("go on?", "", app::MB_OKCANCEL), app::IDOK);
    EXPECT_EQ(prompts.MessageBox("sure?", "", app::MB_YESNO), kUser); // "retry" does not fit
    app::SInputBoxRequest request;
    request.m_description = "name?";
    EXPECT_FALSE(prompts.InputBox(request)); // an empty answer where none is allowed cancels
    EXPECT_EQ(prompts.PickFile("", "", ""), "C:\\x.txt");
    EXPECT_EQ(prompts.UnusedAnswers(), 1u);
    EXPECT_EQ(prompts.MessageBox("more?", "", app::MB_YESNO), kUser);
    EXPECT_EQ(prompts.InputBox(request)->m_text1, "typed");
    EXPECT_EQ(user.asked, (std::vector<std::string>{"told", "sure?", "more?", "name?"}));
}

} // namespace
} // namespace cva::test
