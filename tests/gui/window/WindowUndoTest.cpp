// Undo from the window: Undo Last Apply (menu and Ctrl+Z, which an edit field keeps),
// the start page's "Used" list, and the refusal with its differences when the target
// changed since the apply.
#include "gui/window/WindowFixture.h"

#include "gui/pages/StartPageView.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/TreeCtrlEx.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/TargetSystem.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace cva::test {

namespace {

constexpr const char* kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

class WindowUndoTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        std::filesystem::copy_file(std::string(CVA_PLUGIN_DIR) + "/explorer_files.cvp",
                                   m_dir.File("plugins") + "/explorer_files.cvp");
        m_window->OnCommand(gui::ID_REFRESH_ALL);
        m_window->activateWindow();
        QApplication::setActiveWindow(m_window.get());
    }
    // Opens the plugin, sets its first box and presses Apply.
    void ApplyExtensionsShown() {
        ASSERT_GE(m_logic->OpenFile("explorer_files.cvp"), 0);
        QCheckBox* box = Box();
        ASSERT_NE(box, nullptr);
        if (!box->isChecked()) box->click();
        QTest::mouseClick(Page()->findChild<QPushButton*>(QStringLiteral("apply1154")), Qt::LeftButton);
        ASSERT_EQ(HideFileExt(), "0");
    }
    QWidget* Page() { return m_window->findChild<QWidget*>(QStringLiteral("page%1").arg(m_logic->m_nPageIndex)); }
    QCheckBox* Box() {
        for (QCheckBox* box : Page()->findChildren<QCheckBox*>())
            if (box->text().contains(QStringLiteral("extensions"))) return box;
        return nullptr;
    }
    std::string HideFileExt() {
        target::CTargetRegistryReader registry(m_core->Target()->Registry());
        const std::optional<reg::DWORD> value = registry.ReadDword(reg::HKEY_CURRENT_USER, kAdvanced, "HideFileExt");
        return value ? std::to_string(*value) : "absent";
    }
    QWidget* FocusOnTree() {
        QWidget* tree = m_window->CurrentTree();
        tree->setFocus();
        return tree;
    }
};

TEST_F(WindowUndoTest, UndoLastApplyTakesItBackAndTheOpenPageShowsItButAnEditFieldKeepsCtrlZ) {
    const std::string before = HideFileExt();
    ApplyExtensionsShown();
    QTest::keyClick(FocusOnTree(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(HideFileExt(), before);
    ASSERT_NE(Box(), nullptr);
    EXPECT_FALSE(Box()->isChecked());

    ApplyExtensionsShown();
    auto* edit = new QLineEdit(m_window.get());
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(HideFileExt(), "0");
    m_window->Command(gui::ID_UNDO_APPLY)->trigger(); // the menu works wherever the focus is
    EXPECT_EQ(HideFileExt(), before);

    m_prompts.m_asked.clear();
    m_window->Command(gui::ID_UNDO_APPLY)->trigger();
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_EQ(m_prompts.m_asked[0].rfind("There is no apply to undo on the ", 0), 0u) << m_prompts.m_asked[0];
}

// What was applied in the window is saved as a preset, which applies it again.
TEST_F(WindowUndoTest, APresetSavedInTheWindowAppliesThereAgain) {
    const std::string before = HideFileExt();
    m_prompts.m_savePath = m_dir.File("mine.preset");
    m_window->Command(gui::ID_SAVE_PRESET)->trigger();
    ASSERT_EQ(m_prompts.m_asked.size(), 1u); // nothing applied yet: nothing to save
    EXPECT_FALSE(std::filesystem::exists(*m_prompts.m_savePath));

    ApplyExtensionsShown();
    m_prompts.m_asked.clear();
    m_window->Command(gui::ID_SAVE_PRESET)->trigger();
    const std::string text = ReadAll(*m_prompts.m_savePath);
    EXPECT_EQ(text.rfind("corvanta-preset 1\n", 0), 0u) << text;
    EXPECT_NE(text.find("plugin \"explorer_files.cvp\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("check "), std::string::npos) << text;
    ASSERT_EQ(m_prompts.m_asked.size(), 1u);
    EXPECT_EQ(m_prompts.m_asked[0].rfind("Saved 1 plugin to ", 0), 0u) << m_prompts.m_asked[0];

    m_window->Command(gui::ID_UNDO_APPLY)->trigger();
    ASSERT_EQ(HideFileExt(), before);
    m_window->OnCommand(gui::ID_VIEW_FAVORITES); // the preset's plugin is not in this view
    m_prompts.m_openPath = m_prompts.m_savePath;
    m_prompts.m_answer = app::IDYES;
    m_prompts.m_asked.clear();
    m_window->Command(gui::ID_APPLY_PRESET)->trigger();
    EXPECT_EQ(HideFileExt(), "0");
    ASSERT_EQ(m_prompts.m_asked.size(), 2u); // one question for all its pages, then the outcome
    EXPECT_EQ(m_prompts.m_asked[0].rfind("Apply the 1 plugin of " + *m_prompts.m_openPath + " to the sandbox", 0), 0u)
        << m_prompts.m_asked[0];
    EXPECT_NE(m_prompts.m_asked[1].find("\nexplorer_files.cvp: applied"), std::string::npos) << m_prompts.m_asked[1];
    m_window->UpdateCommandUI();
    EXPECT_TRUE(m_window->Command(gui::ID_VIEW_ALL)->isChecked());
}

// The preset's answer takes the script's question; the user is not asked it.
TEST_F(WindowUndoTest, APresetsAnswersGoBeforeTheUser) {
    std::filesystem::copy_file(std::string(CVA_PLUGIN_DIR) + "/startup_run.cvp",
                               m_dir.File("plugins") + "/startup_run.cvp");
    m_window->OnCommand(gui::ID_REFRESH_ALL);
    auto ctfmon = [&] {
        target::CTargetRegistryReader registry(m_core->Target()->Registry());
        return registry.ReadString(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                   "ctfmon.exe");
    };
    ASSERT_TRUE(ctfmon());
    m_prompts.m_openPath = m_dir.File("keep.preset");
    WriteAll(*m_prompts.m_openPath,
             "corvanta-preset 1\nplugin \"startup_run.cvp\"\n  select 0\n  button 0\n  answer \"no\"\n  answer \"yes\"\n");
    m_prompts.m_answer = app::IDYES;
    m_window->Command(gui::ID_APPLY_PRESET)->trigger();
    EXPECT_TRUE(ctfmon()); // the preset said No to "remove it?", though the user says Yes to all
    ASSERT_EQ(m_prompts.m_asked.size(), 2u); // the preset's question and its outcome only
    EXPECT_NE(m_prompts.m_asked[1].find("\nstartup_run.cvp: applied (1 answer of the preset not used)"),
              std::string::npos)
        << m_prompts.m_asked[1];
}

TEST_F(WindowUndoTest, UsedListUndoesItsPluginAndARefusalShowsTheDifferencesAndMayForce) {
    const std::string before = HideFileExt();
    ApplyExtensionsShown();
    // Someone changes the value since: the undo is refused with the difference.
    {
        reg::HKEY key = nullptr;
        const std::u16string path = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
        ASSERT_EQ(m_core->Target()->Registry().RegOpenKeyExW(reg::HKEY_CURRENT_USER, path.c_str(), 0, reg::KEY_WRITE, &key),
                  reg::ERROR_SUCCESS);
        const reg::DWORD two = 2;
        m_core->Target()->Registry().RegSetValueExW(key, u"HideFileExt", 0, reg::REG_DWORD,
                                                    reinterpret_cast<const reg::BYTE*>(&two), sizeof two);
        m_core->Target()->Registry().RegCloseKey(key);
    }
    m_logic->ShowStartPage();
    auto* start = m_window->findChild<gui::CStartPageView*>();
    ASSERT_NE(start, nullptr);
    start->Tabs()->setCurrentIndex(2);
    QTreeWidget* list = start->List();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(), "Explorer::Files and folders");

    // The row's menu: "Undo"; then the refusal's box, once it is up.
    auto chooseUndo = [&](bool force) {
        QString details;
        std::function<void()> answerBox = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return QTimer::singleShot(10, answerBox);
            details = box->detailedText();
            if (force) box->findChild<QPushButton*>(QStringLiteral("undoAnyway"))->click();
            else box->button(QMessageBox::Cancel)->click();
        };
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            ASSERT_EQ(menu->actions().front()->text(), QStringLiteral("Undo"));
            QTimer::singleShot(10, answerBox);
            menu->setActiveAction(menu->actions().front());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        emit list->customContextMenuRequested(row.center());
        return details.toStdString();
    };
    const std::string details = chooseUndo(false);
    EXPECT_NE(details.find("HideFileExt\": now REG_DWORD 0x00000002, left REG_DWORD 0x00000000"), std::string::npos)
        << details;
    EXPECT_EQ(HideFileExt(), "2");
    chooseUndo(true);
    EXPECT_EQ(HideFileExt(), before);
}

} // namespace

} // namespace cva::test
