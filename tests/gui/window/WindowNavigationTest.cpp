// Opening plugins from the trees, moving through pages and folders, and the search.
#include "gui/window/WindowFixture.h"

#include "gui/controls/HTMLStatic.h"
#include "gui/pages/StartPageView.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/TreeCtrlEx.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

namespace cva::test {

namespace {

using gui::CTreeCtrlEx;

TEST_F(WindowTest, SelectingALeafOpensItsPluginAndShowsItsPath) {
    int folder = -1;
    CTreeCtrlEx* tree = TreeOf(QStringLiteral("Alpha"), &folder);
    ASSERT_NE(tree, nullptr);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    tree->setCurrentItem(FindItem(tree, QStringLiteral("two")));
    EXPECT_EQ(OpenCaption(), "two");
    EXPECT_EQ(m_logic->ScriptErrorCount(), 0);
    EXPECT_EQ(PaneText("paneMessage"), QStringLiteral("Alpha\\Basics\\two : "));
    EXPECT_EQ(PaneText("paneLevel"), QStringLiteral("Normal"));
}

TEST_F(WindowTest, SelectingACategoryNodeShowsTheStartPage) {
    CTreeCtrlEx* tree = TreeOf(QStringLiteral("Alpha"));
    tree->setCurrentItem(FindItem(tree, QStringLiteral("one")));
    ASSERT_EQ(OpenCaption(), "one");
    tree->setCurrentItem(FindItem(tree, QStringLiteral("Extras")));
    EXPECT_EQ(m_logic->m_nCurrentPlugin, -1);
    EXPECT_EQ(m_logic->m_nPageIndex, pages::PAGE_MAIN);
    EXPECT_EQ(PaneText("paneLevel"), QString());
}

TEST_F(WindowTest, ArrowKeysOpenOnlyWhereTheUserStops) {
    int folder = -1;
    CTreeCtrlEx* tree = TreeOf(QStringLiteral("Alpha"), &folder);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    tree->setCurrentItem(FindItem(tree, QStringLiteral("one")));
    ASSERT_EQ(OpenCaption(), "one");
    tree->setFocus();
    QTest::keyPress(tree, Qt::Key_Down);
    QTest::qWait(3 * gui::CApplicationWindow::kArrowDelayMs);
    // Still held: the page of the item passed over stays unopened.
    EXPECT_EQ(OpenCaption(), "one");
    QTest::keyRelease(tree, Qt::Key_Down);
    QTRY_COMPARE(QString::fromStdString(OpenCaption()), QStringLiteral("two"));
}

TEST_F(WindowTest, NextPageWalksLeavesAndStopsAtTheEnd) {
    int folder = -1;
    CTreeCtrlEx* tree = TreeOf(QStringLiteral("Alpha"), &folder);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    QAction* next = m_window->Command(gui::ID_NEXT_PAGE);
    QAction* previous = m_window->Command(gui::ID_PREV_PAGE);
    next->trigger();
    EXPECT_EQ(OpenCaption(), "one");
    next->trigger();
    next->trigger();
    EXPECT_EQ(OpenCaption(), "three");
    // The tree shows what the model selected.
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("three"));
    next->trigger();
    EXPECT_EQ(OpenCaption(), "three");
    // Back up to the category node (the start page), then into the previous category.
    previous->trigger();
    EXPECT_EQ(m_logic->m_nCurrentPlugin, -1);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Extras"));
    previous->trigger();
    EXPECT_EQ(OpenCaption(), "two");
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("two"));
}

TEST_F(WindowTest, CategoriesWrapAndShowTheirOwnTree) {
    QAction* nextCategory = m_window->Command(gui::ID_NEXT_CATEGORY);
    const int start = m_window->OutBar()->SelectedFolder();
    nextCategory->trigger();
    const int second = m_window->OutBar()->SelectedFolder();
    EXPECT_NE(second, start);
    EXPECT_TRUE(m_window->OutBar()->Tree(second)->isVisible());
    EXPECT_FALSE(m_window->OutBar()->Tree(start)->isVisible());
    nextCategory->trigger();
    EXPECT_EQ(m_window->OutBar()->SelectedFolder(), start);
    m_window->Command(gui::ID_PREV_CATEGORY)->trigger();
    EXPECT_EQ(m_window->OutBar()->SelectedFolder(), second);
}

TEST_F(WindowTest, SearchFindsCaptionsWhateverTheCaseAndOpensTheEntry) {
    m_window->Command(gui::ID_SEARCH)->trigger();
    // The list page's view has a list1051 of its own: look inside the dialog.
    auto* dialog = m_window->findChild<QWidget*>(QStringLiteral("searchDialog152"));
    ASSERT_TRUE(dialog);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("edit1042"));
    auto* search = dialog->findChild<QPushButton*>(QStringLiteral("search"));
    auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("list1051"));
    ASSERT_TRUE(edit && search && list);
    EXPECT_FALSE(search->isEnabled());
    QTest::keyClicks(edit, QStringLiteral("\"FOUR\""));
    ASSERT_TRUE(search->isEnabled());
    search->click();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("beta\\misc\\four"));
    const QRect row = list->visualItemRect(list->topLevelItem(0));
    // An item view takes a double click only on the item its first press went to.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(OpenCaption(), "four");
    int folder = -1;
    CTreeCtrlEx* tree = TreeOf(QStringLiteral("Beta"), &folder);
    EXPECT_EQ(m_window->OutBar()->SelectedFolder(), folder);
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("four"));
}

TEST_F(WindowTest, StartPageListsTheRecentPluginAndOneClickOpensIt) {
    int betaFolder = -1;
    CTreeCtrlEx* beta = TreeOf(QStringLiteral("Beta"), &betaFolder);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(betaFolder))->click();
    beta->setCurrentItem(FindItem(beta, QStringLiteral("four")));
    ASSERT_EQ(OpenCaption(), "four");
    int folder = -1;
    CTreeCtrlEx* alpha = TreeOf(QStringLiteral("Alpha"), &folder);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    alpha->setCurrentItem(FindItem(alpha, QStringLiteral("Extras")));
    auto* start = m_window->findChild<gui::CStartPageView*>(QStringLiteral("page0"));
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(start->isVisible());
    EXPECT_NE(start->Header()->Text().find("Plug-ins : <b>4</b>"), std::string::npos) << start->Header()->Text();
    EXPECT_EQ(start->Tabs()->count(), 3);
    QTreeWidget* list = start->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("four"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_EQ(OpenCaption(), "four");
    EXPECT_EQ(m_window->OutBar()->SelectedFolder(), betaFolder);
    ASSERT_NE(beta->currentItem(), nullptr);
    EXPECT_EQ(beta->currentItem()->text(0), QStringLiteral("four"));
}

} // namespace

} // namespace cva::test
