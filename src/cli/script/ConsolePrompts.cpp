#include "cli/script/ConsolePrompts.h"

#include <iostream>

namespace cva::cli {

int CConsolePrompts::MessageBox(const std::string& text, const std::string&, unsigned int style) {
    std::cout << text << std::endl;
    unsigned int buttons = style & app::MB_TYPEMASK;
    bool second = (style & app::MB_DEFBUTTON2) != 0;
    bool third = (style & app::MB_DEFBUTTON3) != 0;
    switch (buttons) {
    case app::MB_OKCANCEL:
        return second ? app::IDCANCEL : app::IDOK;
    case app::MB_ABORTRETRYIGNORE:
        return third ? app::IDIGNORE : second ? app::IDRETRY : app::IDABORT;
    case app::MB_YESNOCANCEL:
        return third ? app::IDCANCEL : second ? app::IDNO : app::IDYES;
    case app::MB_YESNO:
        return second ? app::IDNO : app::IDYES;
    case app::MB_RETRYCANCEL:
        return second ? app::IDCANCEL : app::IDRETRY;
    default:
        return app::IDOK;
    }
}

std::optional<app::SInputBoxResult>
CConsolePrompts::InputBox(const app::SInputBoxRequest& request) {
    std::cout << request.m_description << std::endl;
    app::SInputBoxResult result;
    result.m_text1 = request.m_text1;
    result.m_text2 = request.m_text2;
    std::string line;
    if (std::getline(std::cin, line)) result.m_text1 = line;
    return result;
}

} // namespace cva::cli
