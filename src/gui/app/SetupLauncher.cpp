#include "gui/app/SetupLauncher.h"

#include "platform/target/ShellExecute.h"

#include <sys/stat.h>
#include <unistd.h>

namespace cva::gui {

ESetupLaunch PrepareSetupLaunch(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && target::ExtensionOf(path) == "APPIMAGE")
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IXUSR);
    if (::access(path.c_str(), X_OK) == 0) return ESetupLaunch::Start;
    return target::FindProgram(target::SLaunchers().opener).empty() ? ESetupLaunch::NoOpener : ESetupLaunch::Open;
}

std::string SetupLaunchMessage(const std::string& path, ESetupLaunch launch) {
    std::string text = "Please close this application to install the update.\n\n";
    switch (launch) {
    case ESetupLaunch::Start: return text + "When Corvanta ends, it starts the new version's program:\n" + path;
    case ESetupLaunch::Open:
        return text + "When Corvanta ends, it opens the update with the desktop's handler (xdg-open):\n" + path;
    case ESetupLaunch::NoOpener: break;
    }
    return text + "No desktop handler (xdg-open) is installed to open it, so please install it yourself from:\n" + path;
}

} // namespace cva::gui
