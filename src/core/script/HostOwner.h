#pragma once

#include "platform/registry/RegTypes.h"

#include <chrono>

namespace cva::app {
class IUserPrompts;
}
namespace cva::pages {
class CPropertyPageBase;
}

namespace cva::script {

// What the host object needs of the main window that owns it: the page shown now, the
// mounted hive of the user whose settings are edited, the user's prompts, and the
// requests that end the program or the Windows session. Asked anew at every call, since
// each of these changes while a plugin stays open.
class IHostOwner {
public:
    virtual ~IHostOwner() = default;

    // The page object of the main window's page index; null when the index is outside
    // the seven pages.
    virtual pages::CPropertyPageBase* CurrentPage() = 0;
    // The open key of another user's hive (HKU\Corvanta), or null for the running user.
    virtual reg::HKEY UserHive() = 0;
    virtual app::IUserPrompts& Prompts() = 0;
    // Ends the main window once the running script routine has returned.
    virtual void PostQuit() = 0;
    virtual void AddRestartRequest() = 0;
    virtual void AddLogoffRequest() = 0;
    // A script call has been running this long: called a few times a second while it
    // runs, so that the window stays painted and can offer to stop it.
    virtual void ScriptRunning(std::chrono::milliseconds /*running*/) {}
    // The outermost script call has returned.
    virtual void ScriptEnded() {}
};

} // namespace cva::script
