#include "cli/cli/CliPrompts.h"

#include "core/app/MessageBoxButtons.h"
#include "core/pages/PageOwner.h"

namespace cva::cli {

using namespace app;

std::optional<std::string> CCliPrompts::NextAnswer() {
    if (m_nextAnswer >= m_answers.size()) return std::nullopt;
    return m_answers[m_nextAnswer++];
}

int CCliPrompts::MessageBox(const std::string& text, const std::string& caption, unsigned int style) {
    const std::vector<int> buttons = ButtonsOfStyle(style);
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
