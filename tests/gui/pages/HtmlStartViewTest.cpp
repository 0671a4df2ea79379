// The html page and the start page in the window's page area: links reach the script,
// the start page's tabs list what the files hold and a click opens the plugin.
#include "PageViewFixture.h"

#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageMain.h"
#include "gui/controls/HTMLStatic.h"
#include "gui/pages/HtmlPageView.h"
#include "gui/pages/StartPageView.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace cva;
using Log = std::vector<std::string>;

namespace {

// Clicks the middle of the first run that links to target.
void ClickLink(gui::CHTMLStatic* html, const std::string& target) {
    for (const markup::CHTMLAtom& atom : html->Layout().m_atoms) {
        if (atom.m_strLink != target) continue;
        const markup::SHTMLRect& r = atom.m_rect;
        QTest::mouseClick(html, Qt::LeftButton, {}, QPoint((r.m_nLeft + r.m_nRight) / 2, (r.m_nTop + r.m_nBottom) / 2));
        return;
    }
    ADD_FAILURE() << "no link to " << target;
}

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
    return texts;
}

class HtmlView : public ::testing::Test,
                 public test::CPageViewFixture<pages::CPropertyPageHtml, gui::CHtmlPageView> {};

TEST_F(HtmlView, ALinkRunsTheScriptWhoseNewTextIsShown) {
    Open("", [](auto& page) { page.SetItemText(0, "Pick: <a href=\"cva:7\">seven</a> <a href=\"CVA:\">none</a>"); });
    EXPECT_EQ(m_view->findChild<QPlainTextEdit*>("desc1153")->toPlainText(), "What the plugin changes.");
    m_owner.m_onRoutine = [this](const std::string&) { m_page.SetItemText(0, "<b>seven chosen</b>"); };
    ClickLink(m_view->Html(), "cva:7");
    EXPECT_EQ(m_owner.m_log, (Log{"OnApply(0,7)", "Recorded"})) << "no confirmation for a link";
    EXPECT_EQ(m_view->Html()->Text(), "<b>seven chosen</b>");
    ASSERT_FALSE(m_view->Html()->Layout().m_atoms.empty());
    EXPECT_EQ(m_view->Html()->Layout().m_atoms[0].m_strText, "seven chosen");
}

TEST_F(HtmlView, ShowsTheIntroductionUntilAScriptWritesAndIgnoresLinksWhileDisabled) {
    Open("");
    EXPECT_EQ(m_view->Html()->Text(), pages::CPropertyPageHtml::kIntroduction);
    m_page.SetItemText(0, "<a href=\"cva:2\">two</a>");
    m_page.DisableWindow();
    ClickLink(m_view->Html(), "cva:2");
    EXPECT_TRUE(m_owner.m_log.empty());
}

class StartView : public ::testing::Test {
protected:
    void SetUp() override {
        m_page.SetOwner(&m_owner);
        m_page.SetFolders(m_profile.Path(), m_plugins.Path());
        test::WriteAll(m_plugins.File("a.cvp"), "[settings]\r\ncaption=Alpha\r\n");
        test::WriteAll(m_plugins.File("b.cvp"), "[settings]\r\ncaption=Beta\r\n");
        m_owner.m_catalogue = {{"a.cvp", 3}, {"b.cvp", 8}};
        test::WriteAll(m_profile.File("mru.ini"), "b.cvp\r\na.cvp\r\n");
        test::WriteAll(m_profile.File("favorites.ini"), "Mine=a.cvp\r\n");
        test::WriteAll(m_profile.File("applied.ini"), "b.cvp?07.Dec.2026.09:15 AM\r\n");
        m_page.SetHeaderInfo("2.3", 0);
        m_view = dynamic_cast<gui::CStartPageView*>(gui::CreatePageView(m_page, &m_window));
        m_window.resize(560, 420);
        m_view->resize(560, 420);
        m_window.show();
        m_page.SetVisible(true);
    }

    test::CTempDir m_profile;
    test::CTempDir m_plugins;
    test::COwnerDouble m_owner;
    pages::CPropertyPageMain m_page;
    QWidget m_window;
    gui::CStartPageView* m_view = nullptr;
};

TEST_F(StartView, TabsShowTheirListsAndAClickOpensThePlugin) {
    ASSERT_NE(m_view, nullptr);
    EXPECT_NE(m_view->Header()->Text().find("Version : <b>2.3</b>     Plug-ins : <b> ? </b>"), std::string::npos);
    QTabBar* tabs = m_view->Tabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), "Used");
    EXPECT_EQ(Column(m_view->List(), 0), (QStringList{"Beta", "Alpha"}));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(m_page.Tab(), pages::CPropertyPageMain::TAB_FAVORITES);
    EXPECT_EQ(Column(m_view->List(), 0), QStringList{"Alpha"});
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    EXPECT_EQ(Column(m_view->List(), 0), QStringList{"Beta"});
    EXPECT_EQ(Column(m_view->List(), 1), QStringList{"07.Dec.2026.09:15 AM"});

    QSignalSpy opened(m_view, &gui::CStartPageView::EntryOpened);
    QTreeWidget* list = m_view->List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_EQ(m_owner.m_log, Log{"Open(8)"});
    EXPECT_EQ(opened.count(), 1);
}

} // namespace
