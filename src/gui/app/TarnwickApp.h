#pragma once

#include <QApplication>

#include <string>

namespace cva::gui {

// What the command line of `cva` gives: "--target SPEC", "--allow-host-drives" and the
// path of a plugin file that makes a catalogue of that one plugin.
struct SCommandLine {
    std::string m_target;
    bool m_allowHostDrives = false;
    std::string m_singlePlugin;
    std::string m_error; // set for an option the program does not know
};
SCommandLine ParseCommandLine(const QStringList& arguments);

// The application object: the start-up checks, the main window, and the exit sequence
// that carries out what the scripts asked for once the window has closed.
class CTarnwickApp : public QApplication {
    Q_OBJECT
public:
    CTarnwickApp(int& argc, char** argv);

    // The whole run; the process's exit status.
    int Run();

    // A start-up message: true when start-up goes on (Shift held as the box closed).
    static bool StartupMessage(const std::string& text);
};

} // namespace cva::gui
