#pragma once

#include <optional>
#include <string>

namespace cva::app {

// Message-box styles and answers, with the Windows numbers that plugin scripts pass to
// Msg and compare its answer with.
constexpr unsigned int MB_OK = 0x0;
constexpr unsigned int MB_OKCANCEL = 0x1;
constexpr unsigned int MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned int MB_YESNOCANCEL = 0x3;
constexpr unsigned int MB_YESNO = 0x4;
constexpr unsigned int MB_RETRYCANCEL = 0x5;
constexpr unsigned int MB_TYPEMASK = 0xF;
constexpr unsigned int MB_ICONERROR = 0x10; // also MB_ICONSTOP, MB_ICONHAND
constexpr unsigned int MB_ICONQUESTION = 0x20;
constexpr unsigned int MB_ICONEXCLAMATION = 0x30; // also MB_ICONWARNING
constexpr unsigned int MB_ICONINFORMATION = 0x40; // also MB_ICONASTERISK
constexpr unsigned int MB_ICONMASK = 0xF0;
constexpr unsigned int MB_DEFBUTTON2 = 0x100;
constexpr unsigned int MB_DEFBUTTON3 = 0x200;
constexpr unsigned int MB_SETFOREGROUND = 0x10000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// What the browse button of an input box line picks; None shows no button.
enum class EInputBrowse : int { None = 0, OpenFile = 1, SaveFile = 2, Folder = 3 };

// The input box: a title, a description, one or two labelled lines, each with an
// optional browse button.
struct SInputBoxRequest {
    std::string m_caption;
    std::string m_description;
    std::string m_label1;
    std::string m_text1;
    std::string m_label2;    // empty: the second line is hidden
    std::string m_text2;
    bool m_allowEmpty1 = false; // false: OK needs a non-empty first line
    // A hidden second line must not hold OK up, so only callers that show one and need
    // it filled say so.
    bool m_allowEmpty2 = true;
    bool m_disabled1 = false; // shown, but neither typed into nor browsed for
    bool m_disabled2 = false;
    EInputBrowse m_browse1 = EInputBrowse::None;
    EInputBrowse m_browse2 = EInputBrowse::None;
};

struct SInputBoxResult {
    std::string m_text1;
    std::string m_text2;
};

// Everything the program asks of the user goes through this one interface: the GUI
// answers with dialogs, the command-line program and tests from options or scripted
// answers (and print or record what was asked).
class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;

    // A message box with the Windows style bits (buttons and icon); returns the button
    // pressed (IDOK, IDYES, ...), or 0 when the box cannot be shown.
    virtual int MessageBox(const std::string& text, const std::string& caption,
                           unsigned int style) = 0;
    // std::nullopt when cancelled.
    virtual std::optional<SInputBoxResult> InputBox(const SInputBoxRequest& request) = 0;
    // filter: pairs of description and pattern separated by "|", ended by "||".
    virtual std::optional<std::string> PickFile(const std::string& title,
                                                const std::string& filter,
                                                const std::string& initialPath) = 0;
    // The save dialog, proposing `proposedPath` (a bare name: in the user's home folder);
    // std::nullopt when cancelled. Choosing an existing file is not questioned here: the
    // caller knows what it does with it. Prompts that cannot show one cancel.
    virtual std::optional<std::string> PickSaveFile(const std::string& /*title*/,
                                                    const std::string& /*filter*/,
                                                    const std::string& /*proposedPath*/) {
        return std::nullopt;
    }
    virtual std::optional<std::string> PickFolder(const std::string& title,
                                                  const std::string& initialPath) = 0;
};

// The program's name, the caption of its message boxes.
constexpr const char* kAppTitle = "Corvanta";

} // namespace cva::app
