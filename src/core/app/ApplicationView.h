#pragma once

#include <chrono>
#include <string>

namespace cva::app {

// The panes of the main window's status bar, in their order.
// Target names the open target ("Sandbox", "Wine: ~/.wine"), since the profile pane
// reads the same on every target.
enum class EStatusPane : int { Message = 0, Profile = 1, Request = 2, Level = 3, Target = 4 };

// What the main window's logic shows. The Qt window and the command-line program each
// implement the parts they can show; the rest stays a no-op.
class IApplicationView {
public:
    virtual ~IApplicationView() = default;

    virtual void SetStatusText(EStatusPane /*pane*/, const std::string& /*text*/) {}
    virtual void SetHeaderText(const std::string& /*text*/) {}
    // Levels 0 to 4; any other value (-1) clears the indicator.
    virtual void SetLevelIndicator(int /*level*/) {}
    virtual void ShowAlert(const std::string& /*title*/, const std::string& /*text*/) {}
    // The page object of this index is now the visible one.
    virtual void ShowPage(int /*pageIndex*/) {}
    // The list page shows check boxes for "checklist" plugins only.
    virtual void SetListCheckBoxes(bool /*on*/) {}
    // The window is to close once the running script routine has returned.
    virtual void RequestQuit() {}
    // A script routine has been running this long (a few calls a second while it runs;
    // the view keeps itself painted here and may offer CApplicationDlg::StopScript),
    // and has returned.
    virtual void ScriptRunning(std::chrono::milliseconds /*running*/) {}
    virtual void ScriptEnded() {}
};

// The level pane's text: "Safe", "Normal", "Advanced" (2 and 3), "Critical"; empty for
// any other level, which clears the pane.
inline const char* LevelName(int level) {
    switch (level) {
    case 0: return "Safe";
    case 1: return "Normal";
    case 2:
    case 3: return "Advanced";
    case 4: return "Critical";
    default: return "";
    }
}

} // namespace cva::app
