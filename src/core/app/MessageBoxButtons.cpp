#include "core/app/MessageBoxButtons.h"

#include "core/app/UserPrompts.h"
#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::app {

std::vector<int> ButtonsOfStyle(unsigned int style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

std::optional<int> ButtonFromName(const std::string& name) {
    static const struct {
        const char* name;
        int id;
    } kNames[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
                  {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
    for (const auto& entry : kNames)
        if (text::EqualsNoCaseUtf8(name, entry.name)) return entry.id;
    return std::nullopt;
}

const char* ButtonName(int id) {
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
    }
}

std::optional<int> ButtonForAnswer(const std::string& answer, const std::vector<int>& buttons) {
    const std::optional<int> id = ButtonFromName(answer);
    if (!id) return std::nullopt;
    if (std::find(buttons.begin(), buttons.end(), *id) != buttons.end()) return id;
    // An OK/Cancel box asks whether to go ahead as a Yes/No box does.
    if (buttons == std::vector<int>{IDOK, IDCANCEL} && (*id == IDYES || *id == IDNO))
        return *id == IDYES ? IDOK : IDCANCEL;
    return std::nullopt;
}

int ButtonThatChangesNothing(const std::vector<int>& buttons) {
    for (int id : {IDCANCEL, IDNO, IDABORT})
        if (std::find(buttons.begin(), buttons.end(), id) != buttons.end()) return id;
    return buttons.front();
}

} // namespace cva::app
