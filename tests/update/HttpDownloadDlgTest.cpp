#include "UpdateFixture.h"

#include "update/HttpDownloadDlg.h"
#include "update/XHTMLStatic.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace cva::update {
namespace {

constexpr const char* kWebsite = "https://www.meridot.example/corvanta/";

// One run of the dialog, as CheckForUpdate makes it, without a screen.
class DialogRun {
public:
    DialogRun(const std::string& serverBase, const std::string& current) {
        SUpdateRequest request;
        request.m_strVersion = current;
        request.m_strProduct = "Corvanta";
        request.m_strShortName = "cva";
        request.m_strVersionFileUrl = VersionFileUrl(serverBase, "cva");
        request.m_strWebsite = kWebsite;
        dialog = std::make_unique<CHttpDownloadDlg>(checker, request);
        dialog->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        QObject::connect(dialog.get(), &QDialog::finished, [this](int result) { finished = result; });
        dialog->Start();
    }

    bool WaitFor(const std::function<bool()>& done, int seconds = 20) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done() && std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    bool WaitForEnd() { return WaitFor([this] { return finished >= 0; }); }
    bool WaitForState(CHttpDownloadDlg::EState state) { return WaitFor([&] { return dialog->State() == state; }); }

    QString Text(const char* name) const { return dialog->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    std::string Status() const { return dialog->findChild<CXHTMLStatic*>("status1001")->Markup(); }
    bool Hidden(const char* name) const { return dialog->findChild<QWidget*>(QString::fromLatin1(name))->isHidden(); }

    CVersionCheck checker;
    std::unique_ptr<CHttpDownloadDlg> dialog;
    std::vector<std::string> messages;
    int finished = -1;
};

TEST(HttpDownloadDlg, NewerVersionEndsWithOkAndItsFileUnderASafeName) {
    test::CTestServer server;
    ASSERT_TRUE(server.Running());
    const std::string setup = SetupBytes(6000);
    server.Put("files/..%2f..%2fx", setup);
    server.Put("downloads/cva.ver", VersionText("2.1.0.10", server.Base() + "/files/..%2f..%2fx", Sha256Hex(setup)));
    DialogRun run(server.Base(), "2.1.0.9");
    EXPECT_EQ(run.Status(), "<b>Connecting to 127.0.0.1...</b>");
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(run.finished, QDialog::Accepted) << (run.messages.empty() ? "" : run.messages.front());
    const std::string& path = run.checker.m_strSetupPath;
    EXPECT_EQ(path, run.checker.m_strFolder + "/x");
    EXPECT_TRUE(test::ReadAll(path) == setup);
    EXPECT_EQ(run.dialog->windowTitle(), "Update Corvanta ( 100% )");
    EXPECT_EQ(run.Text("static1002"), "x from 127.0.0.1");
    EXPECT_EQ(run.Status(), "<b>Retrieving updated version (<font color=\"green\">2.1.0.10</font>)</b>");
    EXPECT_EQ(run.dialog->findChild<QProgressBar*>("progress1003")->value(), 100);
    run.checker.Discard();
}

TEST(HttpDownloadDlg, LatestVersionAndServerDownWaitForClose) {
    test::CTestServer server;
    ASSERT_TRUE(server.Running());
    server.Put("downloads/cva.ver", VersionText("2.1.0.9", server.Base() + "/files/x"));
    DialogRun latest(server.Base(), "2.1.0.10");
    ASSERT_TRUE(latest.WaitForState(CHttpDownloadDlg::EState::Latest));
    EXPECT_EQ(latest.Status(), "<b>You have the latest version <font color=\"green\">2.1.0.10</font></b>");
    EXPECT_EQ(latest.Text("static1002"), "No update needed.");
    EXPECT_EQ(latest.dialog->findChild<QProgressBar*>("progress1003")->value(), 100);
    EXPECT_TRUE(latest.Hidden("static1015") && latest.Hidden("static1004") && latest.Hidden("static1005"));
    EXPECT_TRUE(latest.checker.m_strFolder.empty());
    EXPECT_EQ(latest.finished, -1);
    latest.dialog->reject();
    EXPECT_EQ(latest.finished, QDialog::Rejected);

    const std::string base = server.Base();
    server.Stop();
    DialogRun down(base, "2.1.0.9");
    ASSERT_TRUE(down.WaitForState(CHttpDownloadDlg::EState::Failed));
    EXPECT_EQ(down.Status(), CheckFailedMarkup(kWebsite));
    EXPECT_EQ(down.Text("static1002"), "Please check your internet connection/firewall.");
    EXPECT_TRUE(down.Hidden("progress1003") && down.Hidden("static1015") && down.Hidden("static1016"));
    EXPECT_TRUE(down.messages.empty());
    down.dialog->reject();
    EXPECT_EQ(down.finished, QDialog::Rejected);
}

TEST(HttpDownloadDlg, CloseAbortsASlowDownloadAndRemovesThePartialFile) {
    test::CTestServer server(test::CTestServer::Slow(0.05));
    ASSERT_TRUE(server.Running());
    const std::string setup = SetupBytes(300 * 1024);
    server.Put("files/cva.AppImage", setup);
    server.Put("downloads/cva.ver",
               VersionText("9.0", server.Base() + "/slow/files/cva.AppImage", Sha256Hex(setup)));
    DialogRun run(server.Base(), "2.1.0.9");
    QProgressBar* progress = run.dialog->findChild<QProgressBar*>("progress1003");
    ASSERT_TRUE(run.WaitFor([&] { return progress->value() >= 1 && run.Text("static1005") != "(unknown)"; }));
    EXPECT_EQ(run.dialog->windowTitle(), QString("Update Corvanta ( %1% )").arg(progress->value()));
    EXPECT_TRUE(run.Text("static1005").endsWith("/Sec"));
    EXPECT_TRUE(run.Text("static1004").contains(" of 300.0 KB copied)"));
    const std::string folder = run.checker.m_strFolder;
    ASSERT_TRUE(std::filesystem::exists(folder + "/cva.AppImage"));

    run.dialog->reject();
    EXPECT_EQ(run.Status(), "<b>Aborting transfer</b>");
    EXPECT_FALSE(run.dialog->findChild<QPushButton*>("close2")->isEnabled());
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(run.finished, QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(run.messages.empty());
}

TEST(HttpDownloadDlg, ARefusedFileIsToldAndNotKept) {
    test::CTestServer server;
    ASSERT_TRUE(server.Running());
    server.Put("downloads/cva.ver", VersionText("9.0", server.Base() + "/files/gone.deb", std::string(64, 'a')));
    DialogRun run(server.Base(), "2.1.0.9");
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(run.finished, QDialog::Rejected);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0], FormatMessage(IDS_ERR_HTTP_STATUS, "404"));
    EXPECT_TRUE(run.checker.m_strSetupPath.empty());
    EXPECT_TRUE(run.checker.m_strFolder.empty());
}

} // namespace
} // namespace cva::update
