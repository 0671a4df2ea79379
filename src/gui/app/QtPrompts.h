#pragma once

#include "core/app/UserPrompts.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace cva::gui {

// The program's questions as Qt dialogs, answering with the Windows button numbers
// that scripts compare Msg's result with.
class CQtPrompts : public app::IUserPrompts {
public:
    explicit CQtPrompts(QWidget* parent = nullptr) : m_pParent(parent) {}
    void SetParent(QWidget* parent) { m_pParent = parent; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned int style) override;
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& request) override;
    std::optional<std::string> PickFile(const std::string& title, const std::string& filter,
                                        const std::string& initialPath) override;
    std::optional<std::string> PickSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& proposedPath) override;
    std::optional<std::string> PickFolder(const std::string& title, const std::string& initialPath) override;

    // "Text files|*.txt;*.ini|All|*.*||" as Qt name filters ("Text files (*.txt *.ini)").
    static QStringList ConvertFilter(const std::string& filter);

private:
    QWidget* m_pParent;
};

} // namespace cva::gui
