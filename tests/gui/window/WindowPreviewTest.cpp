// The Preview button beside Apply: the changes the apply would make, shown in a dialog,
// with the target and the page left as they were.
#include "gui/window/WindowFixture.h"

#include "gui/pages/CheckPageView.h"
#include "gui/window/GfxOutBarCtrl.h"
#include "gui/window/TreeCtrlEx.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/TargetSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace cva::test {

namespace {

TEST_F(WindowTest, PreviewListsWhatApplyWouldChangeAndChangesNothing) {
    WriteAll(m_dir.File("plugins") + "/preview.cvp",
             "[settings]\ncategory=Gamma::Try::preview\nLEVEL=1\n[interface]\ntype=check\nText0=Made\nText1=Fail\n"
             "[script]\nSub OnApply(a, b)\n  If IsItemChecked(0) Then RegWriteValueD \"HKCU\\Software\\PreviewWin\\Made\", 1\n"
             "  If IsItemChecked(1) Then Err.Raise 5\nEnd Sub\n");
    m_window->OnCommand(gui::ID_REFRESH_ALL);
    int folder = -1;
    gui::CTreeCtrlEx* tree = TreeOf(QStringLiteral("Gamma"), &folder);
    ASSERT_NE(tree, nullptr);
    m_window->OutBar()->findChild<QPushButton*>(QStringLiteral("folder%1").arg(folder))->click();
    tree->setCurrentItem(FindItem(tree, QStringLiteral("preview")));
    auto* view = m_window->findChild<gui::CCheckPageView*>(QStringLiteral("page1"));
    ASSERT_NE(view, nullptr);
    auto* preview = view->findChild<QPushButton*>(QStringLiteral("preview"));
    auto* apply = view->findChild<QPushButton*>(QStringLiteral("apply1154"));
    ASSERT_TRUE(preview && apply);
    EXPECT_FALSE(preview->isEnabled()) << "nothing to apply yet";

    // What the dialog shows, read while it is open, then closed.
    QStringList lines;
    QString error;
    auto show = [&] {
        lines.clear();
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("previewChanges"));
            for (int i = 0; list && i < list->count(); ++i) lines << list->item(i)->text();
            error = dialog->findChild<QLabel*>(QStringLiteral("previewError"))->text();
            static_cast<QDialog*>(dialog)->reject();
        });
        preview->click();
    };
    target::CTargetRegistryReader registry(m_core->Target()->Registry());
    auto made = [&] { return registry.ReadDword(reg::HKEY_CURRENT_USER, "Software\\PreviewWin", "Made"); };

    // The script fails after its write: its error is shown, and nothing was written.
    view->ItemButton(0)->click();
    view->ItemButton(1)->click();
    ASSERT_TRUE(preview->isEnabled());
    show();
    EXPECT_NE(error.toStdString().find("Invalid procedure call"), std::string::npos) << error.toStdString();
    EXPECT_FALSE(made());

    view->ItemButton(1)->click();
    show();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("key-created HKEY_USERS\\"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("\\Software\\PreviewWin \"Made\": absent -> REG_DWORD 0x00000001")))
        << lines[1].toStdString();
    // The target and the page as the user left them: checked, Apply ready, nothing asked.
    EXPECT_FALSE(made());
    EXPECT_TRUE(view->ItemButton(0)->isChecked());
    EXPECT_TRUE(apply->isEnabled());
    const size_t asked = m_prompts.m_asked.size();

    apply->click();
    EXPECT_EQ(made(), 1u);
    EXPECT_EQ(m_prompts.m_asked.size(), asked + 1) << "Apply itself asks";
    EXPECT_FALSE(preview->isEnabled());
}

} // namespace

} // namespace cva::test
