#include "gui/app/TarnwickApp.h"

#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/UserPrompts.h"
#include "gui/app/CommandLine.h"
#include "gui/app/QtPrompts.h"
#include "gui/window/ApplicationWindow.h"
#include "platform/settings/SettingsStore.h"

#include <QEventLoop>
#include <QMessageBox>

#include <cstdio>

namespace cva::gui {

CTarnwickApp::CTarnwickApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromLatin1(app::kAppTitle));
    setOrganizationName(QStringLiteral("Meridot"));
    // Ties the windows to the installed desktop entry (its name and icon on Wayland).
    setDesktopFileName(QStringLiteral("org.meridot.corvanta"));
}

bool CTarnwickApp::StartupMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(app::kAppTitle), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
    // The key state as the box closes decides: Shift held lets start-up go on.
    return queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

int CTarnwickApp::Run() {
    // Qt has taken its own options ("-style", "-platform") out of the arguments by now.
    const SCommandLine line = ParseCommandLine(arguments());
    if (line.m_help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (!line.m_error.empty()) {
        std::fprintf(stderr, "cva: %s\n(see cva --help)\n", line.m_error.c_str());
        return 2;
    }
    settings::CSettingsStore store;
    if (!store.IsUsable()) {
        std::fprintf(stderr, "cva: the settings cannot be read: %s\n", store.LoadError().c_str());
        return 1;
    }
    app::CAppCore::COptions options;
    options.m_targetSpec = line.m_target;
    options.m_allowHostDrives = line.m_allowHostDrives;
    app::CAppCore core(store, options);
    std::string why;
    switch (core.Start(&CTarnwickApp::StartupMessage, &why)) {
    case app::CAppCore::EStart::Run: break;
    case app::CAppCore::EStart::AlreadyRunning:
        // A copy started from a menu has nobody reading stderr, so a screen that someone
        // looks at gets a box as well; one drawn into memory would only wait for ever.
        std::fprintf(stderr, "cva: %s\n", why.c_str());
        if (platformName() != QLatin1String("offscreen") &&
            platformName() != QLatin1String("minimal"))
            QMessageBox::information(nullptr, QString::fromLatin1(app::kAppTitle),
                                     QStringLiteral("Corvanta is not started again: %1.")
                                         .arg(QString::fromStdString(why)));
        return 1;
    case app::CAppCore::EStart::Declined: return 0;
    case app::CAppCore::EStart::NoTarget:
        QMessageBox::critical(nullptr, QString::fromLatin1(app::kAppTitle),
                              QStringLiteral("The target cannot be opened:\n%1").arg(QString::fromStdString(why)));
        return 1;
    }

    {
        CQtPrompts prompts;
        app::CApplicationDlg logic(*core.Target(), store, prompts, app::SSessionRequests::FromCore(core),
                                   core.ProfileFolder(), app::CApplicationDlg::DefaultPageFactory());
        CApplicationWindow window(logic, store);
        prompts.SetParent(&window);
        window.SetAppCore(&core);
        window.SetCloseQuestions([&core, &prompts] {
            core.ConfirmPendingRequests([&prompts](const std::string& text) {
                return prompts.MessageBox(text, app::kAppTitle, app::MB_OKCANCEL | app::MB_ICONQUESTION) == app::IDOK;
            });
        });
        window.show();
        processEvents(QEventLoop::ExcludeUserInputEvents);
        window.StartCatalogue(line.m_singlePlugin);
        exec();
        logic.SetView(nullptr);
    }
    core.Exit();
    return 0;
}

} // namespace cva::gui
