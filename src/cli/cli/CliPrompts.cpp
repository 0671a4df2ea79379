#include "cli/cli/CliPrompts.h"

#include "core/pages/PageOwner.h"
#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::cli {

using namespace app;

std::vector<int> CCliPrompts::Buttons(unsigned int style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

std::optional<int> CCliPrompts::ButtonFromName(const std::string& name) {
    static const struct {
        const char* name;
        int id;
    } kNames[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
                  {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO}};
    for (const auto& entry : kNames)
        if (text::EqualsNoCaseUtf8(name, entry.name)) return entry.id;
    return std::nullopt;
}

const char* CCliPrompts::ButtonName(int id) {
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

std::optional<std::string> CCliPrompts::NextAnswer() {
    if (m_nextAnswer >= m_answers.size()) return std::nullopt;
    return m_answers[m_nextAnswer++];
}

int CCliPrompts::MessageBox(const std::string& text, const std::string& /*caption*/, unsigned int style) {
    const std::vector<int> buttons = Buttons(style);
    SMessage message;
    message.text = text;
    // Script errors come as "<description>\nSrc: ..." without an icon of their own.
    const bool scriptError = text.find("\nSrc: ") != std::string::npos;
    if ((style & MB_ICONMASK) == MB_ICONERROR || scriptError) message.type = "error";
    else if (buttons.size() > 1) message.type = "confirm";
    else message.type = "msg";

    std::optional<int> chosen;
    if (text == pages::kConfirmApplyQuestion && m_confirm) {
        chosen = *m_confirm ? IDYES : IDNO;
    } else if (buttons.size() > 1) {
        // Scripted answers go to the boxes that ask something; a box with one button
        // needs none and must not swallow the next one.
        if (std::optional<std::string> answer = NextAnswer()) {
            std::optional<int> id = ButtonFromName(*answer);
            if (id && std::find(buttons.begin(), buttons.end(), *id) != buttons.end()) chosen = id;
        }
    }
    if (!chosen) {
        size_t def = 0;
        if (style & MB_DEFBUTTON3) def = 2;
        else if (style & MB_DEFBUTTON2) def = 1;
        chosen = buttons[std::min(def, buttons.size() - 1)];
        message.defaulted = buttons.size() > 1;
    }
    message.answer = ButtonName(*chosen);
    m_messages.push_back(message);
    return *chosen;
}

std::optional<SInputBoxResult> CCliPrompts::InputBox(const SInputBoxRequest& request) {
    SMessage message;
    message.type = "input";
    message.text = request.m_description.empty() ? request.m_caption : request.m_description;
    std::optional<std::string> answer = NextAnswer();
    if (!answer) {
        message.defaulted = true;
        m_messages.push_back(message);
        return std::nullopt;
    }
    message.answer = *answer;
    m_messages.push_back(message);
    if (answer->empty() && !request.m_allowEmpty1) return std::nullopt;
    return SInputBoxResult{*answer, request.m_text2};
}

std::optional<std::string> CCliPrompts::PickFile(const std::string& title, const std::string& /*filter*/,
                                                 const std::string& /*initialPath*/) {
    SInputBoxRequest request;
    request.m_caption = title.empty() ? "Open" : title;
    std::optional<SInputBoxResult> result = InputBox(request);
    if (!result) return std::nullopt;
    return result->m_text1;
}

std::optional<std::string> CCliPrompts::PickFolder(const std::string& title,
                                                   const std::string& /*initialPath*/) {
    SInputBoxRequest request;
    request.m_caption = title.empty() ? "Browse for Folder" : title;
    std::optional<SInputBoxResult> result = InputBox(request);
    if (!result) return std::nullopt;
    return result->m_text1;
}

void CCliPrompts::ShowAlert(const std::string& title, const std::string& text) {
    m_messages.push_back({"alert", title.empty() ? text : title + ": " + text, {}, false});
}

} // namespace cva::cli
