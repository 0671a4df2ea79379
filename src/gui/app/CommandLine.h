#pragma once

#include <QStringList>

#include <optional>
#include <string>

namespace cva::gui {

// What the command line of `cva` gives: "--target SPEC", "--allow-host-drives", the path
// of a plugin file that makes a catalogue of that one plugin, and "--help".
struct SCommandLine {
    std::string m_target;
    bool m_allowHostDrives = false;
    std::string m_singlePlugin;
    bool m_help = false;
    std::string m_error; // set for an option the program does not know
};
SCommandLine ParseCommandLine(const QStringList& arguments);

const char* UsageText();

// Whether Qt will find a screen: the platform that QT_QPA_PLATFORM or "-platform" names
// (offscreen, vnc and the like need no display server), else an X11 or Wayland display.
bool HasDisplay(const QStringList& arguments);

// What is settled before Qt starts, since Qt ends the process when it finds no display:
// the usage, and the missing display, each written to `out` or `err` with the exit
// status of the run. Nothing when the window may start.
std::optional<int> CheckBeforeQt(const QStringList& arguments, std::string& out, std::string& err);

} // namespace cva::gui
