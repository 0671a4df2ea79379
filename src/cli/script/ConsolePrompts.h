#pragma once

#include "core/app/UserPrompts.h"

namespace cva::cli {

// Prompts of the command-line script host: a message box prints its text like cscript
// and answers with its default button; an input box prints its description and reads
// one line from standard input (end of input keeps the default text).
class CConsolePrompts : public app::IUserPrompts {
public:
    int MessageBox(const std::string& text, const std::string& caption,
                   unsigned int style) override;
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& request) override;
    std::optional<std::string> PickFile(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

} // namespace cva::cli
