#pragma once

#include "core/app/UserPrompts.h"

#include <string>
#include <vector>

namespace cva::app {

// The user as a preset's plugin meets them in the window: the preset's answers take the
// script's questions in order, as on the command line; a question they do not fit, and
// every one after they run out, goes to the user. Boxes that only tell something (one
// button) are the user's to see and take no answer.
class CPresetPrompts : public IUserPrompts {
public:
    CPresetPrompts(IUserPrompts& user, const std::vector<std::string>& answers) : m_user(user), m_answers(answers) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned int style) override;
    std::optional<SInputBoxResult> InputBox(const SInputBoxRequest& request) override;
    std::optional<std::string> PickFile(const std::string& title, const std::string& filter,
                                        const std::string& initialPath) override;
    std::optional<std::string> PickSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& proposedPath) override;
    std::optional<std::string> PickFolder(const std::string& title, const std::string& initialPath) override;

    size_t UnusedAnswers() const { return m_answers.size() - m_next; }

private:
    const std::string* NextAnswer() { return m_next < m_answers.size() ? &m_answers[m_next++] : nullptr; }

    IUserPrompts& m_user;
    const std::vector<std::string>& m_answers;
    size_t m_next = 0;
};

} // namespace cva::app
