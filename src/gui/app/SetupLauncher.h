#pragma once

#include <string>

namespace cva::gui {

// How a downloaded update is run once the program has ended.
enum class ESetupLaunch {
    Start,   // an executable file (an AppImage is made one): started as a program
    Open,    // anything else (.deb, .tar.xz): opened with the desktop's handler
    NoOpener // nothing to open it with: the user is told where the file is
};

// Makes an AppImage executable (for its owner) and tells how the file will be run, which
// is what the exit sequence's ShellExecute does with it.
ESetupLaunch PrepareSetupLaunch(const std::string& path);

// The message before the program ends: the request to close it and how the file will be
// run.
std::string SetupLaunchMessage(const std::string& path, ESetupLaunch launch);

} // namespace cva::gui
