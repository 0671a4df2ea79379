#include "core/app/PresetPrompts.h"

#include "core/app/MessageBoxButtons.h"

namespace cva::app {

int CPresetPrompts::MessageBox(const std::string& text, const std::string& caption, unsigned int style) {
    const std::vector<int> buttons = ButtonsOfStyle(style);
    if (buttons.size() > 1)
        if (const std::string* answer = NextAnswer())
            if (std::optional<int> chosen = ButtonForAnswer(*answer, buttons)) return *chosen;
    return m_user.MessageBox(text, caption, style);
}

std::optional<SInputBoxResult> CPresetPrompts::InputBox(const SInputBoxRequest& request) {
    const std::string* answer = NextAnswer();
    if (!answer) return m_user.InputBox(request);
    if (answer->empty() && !request.m_allowEmpty1) return std::nullopt;
    return SInputBoxResult{*answer, request.m_text2};
}

std::optional<std::string> CPresetPrompts::PickFile(const std::string& title, const std::string& filter,
                                                    const std::string& initialPath) {
    if (const std::string* answer = NextAnswer()) return *answer;
    return m_user.PickFile(title, filter, initialPath);
}

std::optional<std::string> CPresetPrompts::PickSaveFile(const std::string& title, const std::string& filter,
                                                        const std::string& proposedPath) {
    return m_user.PickSaveFile(title, filter, proposedPath);
}

std::optional<std::string> CPresetPrompts::PickFolder(const std::string& title, const std::string& initialPath) {
    if (const std::string* answer = NextAnswer()) return *answer;
    return m_user.PickFolder(title, initialPath);
}

} // namespace cva::app
