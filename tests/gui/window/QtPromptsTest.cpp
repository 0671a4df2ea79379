#include "gui/app/QtPrompts.h"
#include "gui/app/CommandLine.h"
#include "gui/dialogs/HeaderBand.h"
#include "gui/dialogs/InputBox.h"
#include "gui/pages/DialogLayout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace cva::test {

namespace {

using gui::CQtPrompts;

// Runs `act` on the modal dialog as soon as it is open.
void WhenModalOpens(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

class QtPromptsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gui_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    CQtPrompts m_prompts;
};

TEST_F(QtPromptsTest, MessageBoxAnswersWithTheWindowsButtonIds) {
    WhenModalOpens([](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(m_prompts.MessageBox("Go on?", "Test", app::MB_YESNO | app::MB_ICONQUESTION), app::IDNO);
    WhenModalOpens([](QWidget* modal) { static_cast<QMessageBox*>(modal)->button(QMessageBox::Retry)->click(); });
    EXPECT_EQ(m_prompts.MessageBox("Again?", "Test", app::MB_ABORTRETRYIGNORE), app::IDRETRY);
}

TEST_F(QtPromptsTest, EscapeOnOkCancelAnswersCancel) {
    WhenModalOpens([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(m_prompts.MessageBox("Sure?", "Test", app::MB_OKCANCEL), app::IDCANCEL);
}

TEST_F(QtPromptsTest, InputBoxNeedsAFirstLineUnlessEmptyIsAllowed) {
    app::SInputBoxRequest request;
    request.m_label1 = "Name";
    request.m_label2 = "Value";
    QString warned;
    bool openAfterWarning = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = static_cast<gui::CInputBox*>(modal);
        box->SetWarn([&](const QString& text) { warned = text; });
        QPushButton* ok = box->findChild<QPushButton*>(QStringLiteral("ok1"));
        ok->click();
        openAfterWarning = box->isVisible();
        box->Field(0)->setText(QStringLiteral("abc"));
        box->Field(1)->setText(QStringLiteral("x y"));
        ok->click();
    });
    const auto result = m_prompts.InputBox(request);
    EXPECT_EQ(warned, QStringLiteral("Please enter a non-empty value!"));
    EXPECT_TRUE(openAfterWarning);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->m_text1, "abc");
    EXPECT_EQ(result->m_text2, "x y");

    WhenModalOpens([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(m_prompts.InputBox(request));
}

// As a script's InputBox1 opens it: one line, no browse button, the header band.
TEST_F(QtPromptsTest, InputBoxOfAScriptShowsOneLineUnderItsHeader) {
    app::SInputBoxRequest request;
    request.m_caption = "Rename";
    request.m_description = "The new name of the entry.";
    request.m_label1 = "Name:";
    gui::CInputBox box(request, nullptr);
    box.show();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Rename"));
    EXPECT_EQ(box.Header()->Title(), QStringLiteral("Rename"));
    EXPECT_EQ(box.Header()->Description(), QStringLiteral("The new name of the entry."));
    EXPECT_TRUE(box.Field(0)->isVisible());
    EXPECT_FALSE(box.Field(1)->isVisible());
    EXPECT_FALSE(box.BrowseButton(0)->isVisible());
    EXPECT_FALSE(box.BrowseButton(1)->isVisible());
    const QRect field = box.Field(0)->geometry();
    EXPECT_EQ(field.topLeft(), gui::CDialogUnits(box.font()).Rect(QRect(3, 15, 175, 12)).topLeft());
}

TEST_F(QtPromptsTest, InputBoxBrowsesDisablesAndWantsTheSecondLineFilled) {
    gui::CInputBox box;
    box.SetLabel(0, QStringLiteral("Folder"));
    box.SetBrowseMode(0, app::EInputBrowse::Folder);
    box.SetLabel(1, QStringLiteral("File"));
    box.SetBrowseMode(1, app::EInputBrowse::SaveFile);
    std::optional<QString> pick = QStringLiteral("/srv/data//");
    std::vector<app::EInputBrowse> asked;
    box.SetPicker([&](app::EInputBrowse mode, const QString&) {
        asked.push_back(mode);
        return pick;
    });
    QString warned;
    box.SetWarn([&](const QString& text) { warned = text; });
    box.show();
    box.BrowseButton(0)->click();
    EXPECT_EQ(box.Value(0), QStringLiteral("/srv/data/"));
    pick.reset(); // cancelled: the line keeps its text
    box.BrowseButton(0)->click();
    EXPECT_EQ(box.Value(0), QStringLiteral("/srv/data/"));
    box.findChild<QPushButton*>(QStringLiteral("ok1"))->click();
    EXPECT_EQ(warned, QStringLiteral("Please enter a non-empty value for the second entry!"));
    EXPECT_TRUE(box.isVisible());
    pick = QStringLiteral("/srv/out.txt");
    box.BrowseButton(1)->click();
    EXPECT_EQ(asked,
              (std::vector<app::EInputBrowse>{app::EInputBrowse::Folder, app::EInputBrowse::Folder,
                                              app::EInputBrowse::SaveFile}));
    box.SetLineDisabled(1, true);
    EXPECT_FALSE(box.Field(1)->isEnabled());
    EXPECT_FALSE(box.BrowseButton(1)->isEnabled());
    box.findChild<QPushButton*>(QStringLiteral("ok1"))->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.Value(1), QStringLiteral("/srv/out.txt"));
}

TEST_F(QtPromptsTest, FileFiltersBecomeQtNameFilters) {
    const QStringList filters = CQtPrompts::ConvertFilter("Text files|*.txt;*.ini|All files|*.*||");
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Text files (*.txt *.ini)"), QStringLiteral("All files (*.*)")}));
    EXPECT_TRUE(CQtPrompts::ConvertFilter("").isEmpty());
}

TEST(CommandLineTest, TargetAndPluginFileAreTaken) {
    const gui::SCommandLine line = gui::ParseCommandLine(
        {QStringLiteral("cva"), QStringLiteral("--target"), QStringLiteral("wine:/x"), QStringLiteral("/p/a.cvp")});
    EXPECT_EQ(line.m_target, "wine:/x");
    EXPECT_EQ(line.m_singlePlugin, "/p/a.cvp");
    EXPECT_FALSE(line.m_allowHostDrives);
    EXPECT_TRUE(line.m_error.empty());
    EXPECT_TRUE(gui::ParseCommandLine({QStringLiteral("cva"), QStringLiteral("--allow-host-drives")})
                    .m_allowHostDrives);
}

TEST(CommandLineTest, AMissingTargetOrAnUnknownOptionIsAnError) {
    EXPECT_FALSE(gui::ParseCommandLine({QStringLiteral("cva"), QStringLiteral("--target")}).m_error.empty());
    EXPECT_FALSE(gui::ParseCommandLine({QStringLiteral("cva"), QStringLiteral("--bogus")}).m_error.empty());
}

TEST(CommandLineTest, HelpAndAMissingDisplayAreSettledBeforeQt) {
    const QStringList cva{QStringLiteral("cva")};
    std::string out, err;
    EXPECT_EQ(gui::CheckBeforeQt(cva + QStringList{QStringLiteral("--help")}, out, err), 0);
    EXPECT_EQ(out, gui::UsageText());
    EXPECT_NE(out.find("--allow-host-drives"), std::string::npos);
    EXPECT_TRUE(err.empty());

    const QByteArray platform = qgetenv("QT_QPA_PLATFORM"), display = qgetenv("DISPLAY"),
                     wayland = qgetenv("WAYLAND_DISPLAY");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("QT_QPA_PLATFORM");
    out.clear();
    EXPECT_EQ(gui::CheckBeforeQt(cva, out, err), 1);
    EXPECT_NE(err.find("cva-cli"), std::string::npos);
    EXPECT_FALSE(
        gui::HasDisplay(cva + QStringList{QStringLiteral("-platform"), QStringLiteral("xcb")}));
    EXPECT_TRUE(
        gui::HasDisplay(cva + QStringList{QStringLiteral("-platform"), QStringLiteral("vnc")}));
    qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    EXPECT_FALSE(gui::HasDisplay(cva));
    qputenv("DISPLAY", ":5");
    EXPECT_TRUE(gui::HasDisplay(cva));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    EXPECT_EQ(gui::CheckBeforeQt(cva, out, err), std::nullopt);
    EXPECT_TRUE(out.empty());

    for (const auto& [name, value] : {std::pair{"QT_QPA_PLATFORM", platform},
                                      std::pair{"DISPLAY", display},
                                      std::pair{"WAYLAND_DISPLAY", wayland}})
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
}

} // namespace

} // namespace cva::test
