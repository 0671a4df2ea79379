#include "CatalogueFixture.h"

#include "core/app/ApplyHistory.h"
#include "core/app/UserPrompts.h"
#include "core/log/ActionLogger.h"
#include "core/registry/FavoritesMenus.h"

using namespace cva;
using namespace cva::app;
using namespace cva::registry;

namespace {

class ScriptedPrompts : public IUserPrompts {
public:
    int MessageBox(const std::string& text, const std::string&, unsigned int style) override {
        asked.push_back(text);
        lastStyle = style;
        return answer;
    }
    std::optional<SInputBoxResult> InputBox(const SInputBoxRequest& request) override {
        lastRequest = request;
        return input;
    }
    std::optional<std::string> PickFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    int answer = IDYES;
    unsigned int lastStyle = 0;
    std::vector<std::string> asked;
    std::optional<SInputBoxResult> input;
    SInputBoxRequest lastRequest;
};

std::tm MakeTime(int day, int month, int year, int hour, int minute) {
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return t;
}

class HistoryMenus : public cva::test::CatalogueFixture {};

TEST_F(HistoryMenus, AppliedTimeFormat) {
    EXPECT_EQ(FormatAppliedTime(MakeTime(7, 12, 2026, 21, 5)), "07.Dec.2026.09:05 PM");
    EXPECT_EQ(FormatAppliedTime(MakeTime(1, 1, 2027, 0, 30)), "01.Jan.2027.12:30 AM");
}

TEST_F(HistoryMenus, ApplyingTwiceKeepsOneLineAtTheTop) {
    WriteProfileFile("applied.ini", "other.cvp?01.Dec.2026.10:00 AM\r\nTWEAK.CVP ?02.Dec.2026.11:00 AM\r\n");
    logging::CActionLogger logger;
    ASSERT_EQ(logger.Open(m_temp / "logs", 1), logging::CActionLogger::EOpenResult::Opened);
    ScriptedPrompts prompts;
    CApplyHistory history(*m_settings, prompts, logger);
    std::tm first = MakeTime(7, 12, 2026, 9, 0), second = MakeTime(7, 12, 2026, 14, 45);
    std::time_t now = std::mktime(&first);
    history.SetClock([&] { return now; });

    history.RecordApplied(PluginPath("tweak.cvp"));
    now = std::mktime(&second);
    history.RecordApplied(PluginPath("tweak.cvp"));
    history.RecordApplied(std::string()); // nothing open

    EXPECT_EQ(ReadProfileFile("applied.ini"),
              "tweak.cvp?07.Dec.2026.02:45 PM\r\nother.cvp?01.Dec.2026.10:00 AM\r\n");
    std::ifstream log(logger.FilePath());
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Applied - tweak.cvp"), std::string::npos);
}

TEST_F(HistoryMenus, ConfirmApplyFollowsOptionBit) {
    logging::CActionLogger logger;
    ScriptedPrompts prompts;
    CApplyHistory history(*m_settings, prompts, logger);
    prompts.answer = IDNO;
    EXPECT_FALSE(history.ConfirmApply()); // default 3: the question is on
    EXPECT_EQ(prompts.lastStyle, MB_YESNO | MB_ICONQUESTION);
    prompts.answer = IDYES;
    EXPECT_TRUE(history.ConfirmApply());
    m_settings->WriteProfileInt("Settings", "Option5", 1);
    prompts.answer = IDNO;
    EXPECT_TRUE(history.ConfirmApply());
    EXPECT_EQ(prompts.asked.size(), 2u);
}

TEST_F(HistoryMenus, RequestPane) {
    EXPECT_EQ(RequestPaneText(1, 1), "Restart");
    EXPECT_EQ(RequestPaneText(0, 2), "LogOff");
    EXPECT_EQ(RequestPaneText(0, 0), "");
}

TEST_F(HistoryMenus, FavoritesMenuKeepsLineIndexes) {
    WriteProfileFile("favorites.ini", "First=a.cvp\r\nSecond=b.cvp\r\n-\r\nFourth=d.cvp\r\n =e.cvp\r\nno equals\r\n");
    CFavoritesMenus menus(*m_settings, 7);
    EXPECT_TRUE(menus.m_bFavoritesChanged);
    std::vector<SMenuEntry> items = menus.BuildFavoritesMenu();
    EXPECT_FALSE(menus.m_bFavoritesChanged);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(items[0].separator);
    EXPECT_EQ(items[1].id, 3584u);
    EXPECT_EQ(items[2].id, 3585u);
    EXPECT_TRUE(items[3].separator);
    EXPECT_EQ(items[4].id, 3587u);
    EXPECT_EQ(items[4].text, "Fourth");

    std::string opened;
    EXPECT_TRUE(menus.OnFavorite(3587, [&](const std::string& name) { opened = name; }));
    EXPECT_EQ(opened, "d.cvp");
    EXPECT_FALSE(menus.OnFavorite(3589, {}));
}

TEST_F(HistoryMenus, EmptyFavoritesGiveNoSeparator) {
    CFavoritesMenus menus(*m_settings, 7);
    EXPECT_TRUE(menus.BuildFavoritesMenu().empty());
}

TEST_F(HistoryMenus, ToolsFilteredBySystemTag) {
    WriteProfileFile("tools.ini", "Cleanup=cleanmgr.exe?xp\r\nEditor=regedit.exe\r\n-\r\n"
                                  "Old=scandisk.exe?98 ME\r\nArgs=cmd.exe /k dir?what?XP 2003\r\n");
    SToolsMenu xp = CFavoritesMenus(*m_settings, 7).BuildToolsMenu();
    ASSERT_EQ(xp.entries.size(), 4u);
    EXPECT_EQ(xp.entries[0].text, "Cleanup");
    EXPECT_EQ(xp.entries[3].id, 3844u);

    SToolsMenu w2k = CFavoritesMenus(*m_settings, 6).BuildToolsMenu();
    ASSERT_EQ(w2k.entries.size(), 2u); // Editor and the separator
    EXPECT_EQ(w2k.entries[0].text, "Editor");

    // Windows 95 has no tag, and the empty tag is in every list.
    EXPECT_EQ(CFavoritesMenus(*m_settings, 2).BuildToolsMenu().entries.size(), 5u);

    CFavoritesMenus menus(*m_settings, 7);
    EXPECT_EQ(menus.ToolCommand(3844), "cmd.exe /k dir?what");
    EXPECT_EQ(menus.ToolCommand(3840), "cleanmgr.exe");
    EXPECT_EQ(menus.ToolCommand(3842), "");
}

TEST_F(HistoryMenus, ToolsMenuWithOnlySeparatorsIsRemoved) {
    WriteProfileFile("tools.ini", "-\r\n-\r\nHidden=x.exe?VISTA\r\n");
    SToolsMenu menu = CFavoritesMenus(*m_settings, 7).BuildToolsMenu();
    EXPECT_TRUE(menu.removeMenu);
    EXPECT_TRUE(menu.entries.empty());
}

TEST_F(HistoryMenus, AddToFavoritesAsksAndMovesLineToTop) {
    WritePlugin("tweak.cvp", {"Sys::Tweak", -1, "", -1, "My Tweak"});
    WriteProfileFile("favorites.ini", "Other=o.cvp\r\nmine=TWEAK.CVP\r\n");
    ScriptedPrompts prompts;
    CFavoritesMenus menus(*m_settings, 7);
    menus.BuildFavoritesMenu();

    EXPECT_FALSE(menus.OnAddToFavorites(PluginPath("tweak.cvp"), prompts)); // cancelled
    EXPECT_EQ(prompts.lastRequest.m_text1, "My Tweak");
    EXPECT_EQ(prompts.lastRequest.m_text2, "tweak.cvp");
    EXPECT_TRUE(prompts.lastRequest.m_disabled2);
    EXPECT_FALSE(menus.m_bFavoritesChanged);

    prompts.input = SInputBoxResult{"Mine", "tweak.cvp"};
    EXPECT_TRUE(menus.OnAddToFavorites(PluginPath("tweak.cvp"), prompts));
    EXPECT_TRUE(menus.m_bFavoritesChanged);
    EXPECT_EQ(ReadProfileFile("favorites.ini"), "Mine=tweak.cvp\r\nOther=o.cvp\r\n");

    // An "=" typed into the menu text would move the split between text and file.
    prompts.input = SInputBoxResult{"a=b", "tweak.cvp"};
    EXPECT_TRUE(menus.OnAddToFavorites(PluginPath("tweak.cvp"), prompts));
    EXPECT_EQ(menus.FavoriteFileName(3584), "tweak.cvp");
}

TEST_F(HistoryMenus, MenuPrompts) {
    const std::string resource = "Opens a page\nOpen the page";
    EXPECT_EQ(MenuItemPrompt(32784, &resource), "Open the page");
    EXPECT_EQ(MenuItemPrompt(0, nullptr), "");
    EXPECT_EQ(MenuItemPrompt(3599, nullptr), "Open this favorite page");
    EXPECT_EQ(MenuItemPrompt(3600, nullptr), std::nullopt);
    EXPECT_EQ(MenuItemPrompt(3855, nullptr), "Open this tool");
    EXPECT_EQ(MenuItemPrompt(3856, nullptr), std::nullopt);
}

} // namespace
