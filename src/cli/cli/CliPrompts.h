#pragma once

#include "core/app/ApplicationView.h"
#include "core/app/UserPrompts.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cva::cli {

// One thing the program showed the user, in order, with the answer it got.
struct SMessage {
    std::string type;  // msg, confirm, input, error, alert
    std::string title; // the box's caption; empty when it has none
    std::string text;
    std::string answer; // the button or text; empty for none
    bool defaulted = false; // no fitting answer was given: the one that changes nothing was taken
};

// The user of the command line: answers the apply confirmation from --yes/--no and the
// script's boxes from the --answer list, records every box, and keeps the window's alert
// balloon as a message too. A question nobody answered takes the answer that changes
// nothing (No, Cancel; an input box is cancelled).
class CCliPrompts : public app::IUserPrompts, public app::IApplicationView {
public:
    CCliPrompts(std::optional<bool> confirm, std::vector<std::string> answers)
        : m_confirm(confirm), m_answers(std::move(answers)) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned int style) override;
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& request) override;
    std::optional<std::string> PickFile(const std::string& title, const std::string& filter,
                                        const std::string& initialPath) override;
    std::optional<std::string> PickFolder(const std::string& title,
                                          const std::string& initialPath) override;

    void ShowAlert(const std::string& title, const std::string& text) override;
    // Stops a script routine that runs longer than `limit` (zero: never) through `stop`.
    void SetScriptTimeout(std::chrono::milliseconds limit, std::function<void()> stop);
    void ScriptRunning(std::chrono::milliseconds running) override;
    bool ScriptTimedOut() const { return m_bTimedOut; }

    const std::vector<SMessage>& Messages() const { return m_messages; }
    size_t UnusedAnswers() const { return m_answers.size() - m_nextAnswer; }
    // Each --answer that did not fit the box it went to, said in a line.
    const std::vector<std::string>& AnswerErrors() const { return m_answerErrors; }

private:
    std::optional<std::string> NextAnswer();

    std::optional<bool> m_confirm;
    std::vector<std::string> m_answers;
    size_t m_nextAnswer = 0;
    std::vector<SMessage> m_messages;
    std::vector<std::string> m_answerErrors;
    std::chrono::milliseconds m_timeout{0};
    std::function<void()> m_stop;
    bool m_bTimedOut = false;
};

} // namespace cva::cli
