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

std::optional<int> CCliPrompts::ButtonForAnswer(const std::string& answer, const std::vector<int>& buttons) {
    const std::optional<int> id = ButtonFromName(answer);
    if (!id) return std::nullopt;
    if (std::find(buttons.begin(), buttons.end(), *id) != buttons.end()) return id;
    // An OK/Cancel box asks whether to go ahead as a Yes/No box does.
    if (buttons == std::vector<int>{IDOK, IDCANCEL} && (*id == IDYES || *id == IDNO))
        return *id == IDYES ? IDOK : IDCANCEL;
    return std::nullopt;
}

int CCliPrompts::ButtonThatChangesNothing(const std::vector<int>& buttons) {
    for (int id : {IDCANCEL, IDNO, IDABORT})
        if (std::find(buttons.begin(), buttons.end(), id) != buttons.end()) return id;
    return buttons.front();
}

int CCliPrompts::MessageBox(const std::string& text, const std::string& caption, unsigned int style) {
    const std::vector<int> buttons = Buttons(style);
    SMessage message;
    message.title = caption;
    message.text = text;
    // Script errors come as "<description>\nSrc: ..." without an icon of their own.
    const bool scriptError = text.find("\nSrc: ") != std::string::npos;
    if ((style & MB_ICONMASK) == MB_ICONERROR || scriptError) message.type = "error";
    else if (buttons.size() > 1) message.type = "confirm";
    else message.type = "msg";

    std::optional<int> chosen;
    if (buttons.size() == 1) {
        // A box with one button asks nothing and must not swallow the next answer.
        chosen = buttons.front();
    } else if (text == pages::kConfirmApplyQuestion) {
        // The apply confirmation has options of its own; --answer is for the script.
        if (m_confirm) chosen = *m_confirm ? IDYES : IDNO;
    } else if (std::optional<std::string> answer = NextAnswer()) {
        chosen = ButtonForAnswer(*answer, buttons);
        if (!chosen) {
            std::string names;
            for (int id : buttons) names += std::string(names.empty() ? "" : ", ") + ButtonName(id);
            const std::string firstLine = text.substr(0, text.find('\n'));
            m_answerErrors.push_back("--answer " + *answer + " does not fit the box \"" + firstLine + "\" (" +
                                     names + ")");
        }
    }
    if (!chosen) {
        chosen = ButtonThatChangesNothing(buttons);
        message.defaulted = true;
    }
    message.answer = ButtonName(*chosen);
    m_messages.push_back(message);
    return *chosen;
}

std::optional<SInputBoxResult> CCliPrompts::InputBox(const SInputBoxRequest& request) {
    SMessage message;
    message.type = "input";
    message.title = request.m_caption;
    message.text = request.m_description;
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

void CCliPrompts::SetScriptTimeout(std::chrono::milliseconds limit, std::function<void()> stop) {
    m_timeout = limit;
    m_stop = std::move(stop);
}

void CCliPrompts::ScriptRunning(std::chrono::milliseconds running) {
    if (m_timeout <= std::chrono::milliseconds::zero() || running < m_timeout || !m_stop) return;
    m_bTimedOut = true;
    m_stop();
}

void CCliPrompts::ShowAlert(const std::string& title, const std::string& text) {
    m_messages.push_back({"alert", title, text, {}, false});
}

} // namespace cva::cli
