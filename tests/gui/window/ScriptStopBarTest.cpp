// A runaway script in the window: after two seconds a bar offers "Stop script", which
// ends the routine with an error; what it wrote stays and the page stays usable.
#include "gui/window/WindowFixture.h"

#include "gui/window/ScriptStopBar.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/TargetSystem.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace cva::test {

namespace {

TEST_F(WindowTest, TheStopBarEndsAnEndlessApplyAndThePageStaysUsable) {
    WriteAll(m_dir.File("plugins") + "/loop.cvp",
             "[settings]\ncaption=loop\ncategory=Alpha::Basics::loop\nLEVEL=1\n"
             "OSVERSION=2000,XP,2003,VISTA\nauthor=Tester\n\n"
             "[interface]\ntype=check\nText0=Spin\n\n"
             "[script]\nDim n\nSub OnInit()\nEnd Sub\n"
             "Sub OnApply(a, b)\n n = n + 1\n"
             " RegWriteValS \"HKEY_CURRENT_USER\\Software\\Loop\", \"Run\" & n, \"written\"\n"
             " If n = 1 Then\n  Do : Loop\n End If\nEnd Sub\n");
    m_window->OnCommand(gui::ID_REFRESH_ALL);
    const std::optional<int> entry = m_logic->FindCatalogueEntry("loop.cvp");
    ASSERT_TRUE(entry);
    m_logic->OpenCatalogueEntry(*entry);
    auto* bar = m_window->StopBar();
    ASSERT_NE(bar, nullptr);
    auto* page = m_window->findChild<QStackedWidget*>(QStringLiteral("pageArea1015"))->currentWidget();
    auto* apply = page->findChild<QPushButton*>(QStringLiteral("apply1154"));
    ASSERT_NE(apply, nullptr);

    auto* check = page->findChild<QCheckBox*>();
    ASSERT_NE(check, nullptr);
    check->click();
    ASSERT_TRUE(apply->isEnabled());

    bool shownEarly = true;
    bool shownLater = false;
    bool checkedBefore = false;
    bool checkedAfter = true;
    QTimer::singleShot(1500, [&] { shownEarly = bar->isVisible(); });
    QTimer::singleShot(2600, [&] {
        shownLater = bar->isVisible();
        // Only the bar takes clicks while the routine runs.
        checkedBefore = check->isChecked();
        QTest::mouseClick(check, Qt::LeftButton);
        checkedAfter = check->isChecked();
        QTest::mouseClick(bar->findChild<QPushButton*>(QStringLiteral("stopScript")), Qt::LeftButton);
    });
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(apply, Qt::LeftButton);
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_FALSE(shownEarly);
    EXPECT_TRUE(shownLater);
    EXPECT_EQ(checkedBefore, checkedAfter);
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_FALSE(bar->isVisible());
    ASSERT_FALSE(m_prompts.m_asked.empty());
    EXPECT_EQ(m_prompts.m_asked.back().rfind("The script was stopped by the program\n", 0), 0u)
        << m_prompts.m_asked.back();

    // The page applies again, and both writes reached the disk.
    auto errors = [this] {
        return std::count_if(m_prompts.m_asked.begin(), m_prompts.m_asked.end(),
                             [](const std::string& text) { return text.find("\nSrc: ") != std::string::npos; });
    };
    EXPECT_EQ(errors(), 1);
    check->click();
    ASSERT_TRUE(apply->isEnabled());
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(errors(), 1);
    std::string error;
    auto fresh = target::CTargetSystem::Open("sandbox:" + m_dir.File("sandbox"), error);
    ASSERT_TRUE(fresh) << error;
    target::CTargetRegistryReader registry(fresh->Registry());
    EXPECT_EQ(registry.ReadString(reg::HKEY_CURRENT_USER, "Software\\Loop", "Run1"), "written");
    EXPECT_EQ(registry.ReadString(reg::HKEY_CURRENT_USER, "Software\\Loop", "Run2"), "written");
}

} // namespace

} // namespace cva::test
