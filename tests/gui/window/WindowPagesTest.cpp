// The page area: a shipped plugin changed and applied through its view, the space the
// window keeps for tree and page, and the tree's focus mark.
#include "gui/window/WindowFixture.h"

#include "gui/pages/MultiPageView.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/TreeCtrlEx.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/TargetSystem.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionViewItem>
#include <QTest>

#include <filesystem>

namespace cva::test {

namespace {

TEST_F(WindowTest, TheShippedMultiPluginIsChangedAndAppliedFromItsPage) {
    std::filesystem::copy_file(std::string(CVA_PLUGIN_DIR) + "/shutdown_timeouts.cvp",
                               m_dir.File("plugins") + "/shutdown_timeouts.cvp");
    m_window->OnCommand(gui::ID_REFRESH_ALL);
    int folder = -1;
    gui::CTreeCtrlEx* tree = TreeOf(QStringLiteral("System"), &folder);
    ASSERT_NE(tree, nullptr);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    tree->setCurrentItem(FindItem(tree, QStringLiteral("Waiting for programs and services")));
    ASSERT_EQ(m_logic->m_nPageIndex, pages::PAGE_MULTI);
    auto* view = m_window->findChild<gui::CMultiPageView*>(QStringLiteral("page5"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());

    QWidget* spin = view->Input(1);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "4000");
    static_cast<QCheckBox*>(view->Input(0))->click();
    auto* slider = static_cast<QSlider*>(view->Input(2));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    const std::string hung = std::to_string(slider->value());
    EXPECT_NE(hung, "5000");
    EXPECT_EQ(view->Label(2)->text().toStdString(),
              "Time before a program counts as not responding (ms)   [min:1000 -> max:20000, now:" +
                  hung + "]");
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("apply1154")), Qt::LeftButton);

    target::CTargetRegistryReader registry(m_core->Target()->Registry());
    const char* desktop = "Control Panel\\Desktop";
    EXPECT_EQ(registry.ReadString(reg::HKEY_CURRENT_USER, desktop, "WaitToKillAppTimeout"), "4000");
    EXPECT_EQ(registry.ReadString(reg::HKEY_CURRENT_USER, desktop, "AutoEndTasks"), "1");
    EXPECT_EQ(registry.ReadString(reg::HKEY_CURRENT_USER, desktop, "HungAppTimeout"), hung);
    EXPECT_EQ(m_logic->ScriptErrorCount(), 0);
}

TEST_F(WindowTest, AtItsSmallestTheWindowKeepsTreeAndPageAndThePageScrolls) {
    m_window->resize(100, 100);
    m_window->ShowPage(pages::PAGE_MULTI);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_window->size(), m_window->minimumSize());
    EXPECT_GE(m_window->OutBar()->width(), 180);
    auto* scroll = m_window->findChild<QScrollArea*>(QStringLiteral("pageScroll5"));
    ASSERT_NE(scroll, nullptr);
    QWidget* page = scroll->widget();
    EXPECT_GE(page->height(), page->minimumSizeHint().height()) << "the controls keep their places";
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
}

TEST_F(WindowTest, TheTreeMarksTheItemWithTheKeyboardFocus) {
    gui::CTreeCtrlEx* tree = TreeOf(QStringLiteral("Alpha"));
    // An item drawn with and without the focus; the mark runs along the whole row, past
    // the end of its text.
    auto markedEnd = [tree](QStyle::State focus) {
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.rect = QRect(0, 0, 200, 20);
        option.state = focus | QStyle::State_Enabled;
        QImage image(option.rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        tree->itemDelegate()->paint(&painter, option, tree->model()->index(0, 0));
        painter.end();
        int marked = 0;
        for (int y = 0; y < image.height(); ++y)
            marked += image.pixel(image.width() - 1, y) != qRgb(255, 255, 255);
        return marked;
    };
    EXPECT_GT(markedEnd(QStyle::State_HasFocus), 0);
    EXPECT_EQ(markedEnd(QStyle::State_None), 0);
}

} // namespace

} // namespace cva::test
