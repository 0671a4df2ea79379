#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cva::app {

// Answering a message box without showing it, from a word such as "yes" (the command
// line's --answer, a preset's answer lines).

// The buttons of a message-box style in their order.
std::vector<int> ButtonsOfStyle(unsigned int style);
// The button a name picks (ok, cancel, abort, retry, ignore, yes, no; any case).
std::optional<int> ButtonFromName(const std::string& name);
// "OK", "Yes", ...: the button's caption.
const char* ButtonName(int id);
// The button an answer presses on a box with these buttons: its own, or OK and Cancel for
// yes and no; std::nullopt when it does not fit.
std::optional<int> ButtonForAnswer(const std::string& answer, const std::vector<int>& buttons);
// Cancel, else No, else Abort: the button that leaves things as they are.
int ButtonThatChangesNothing(const std::vector<int>& buttons);

} // namespace cva::app
