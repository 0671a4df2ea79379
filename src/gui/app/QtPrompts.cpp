#include "gui/app/QtPrompts.h"

#include "gui/dialogs/InputBox.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include <utility>
#include <vector>

namespace cva::gui {

namespace {

using namespace app;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toUtf8().toStdString(); }

// The buttons of each MB_ type, in the order the default-button bits count them.
std::vector<std::pair<QMessageBox::StandardButton, int>> ButtonsOf(unsigned int type) {
    switch (type) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(unsigned int style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int CQtPrompts::MessageBox(const std::string& text, const std::string& caption, unsigned int style) {
    QMessageBox box(IconOf(style), Q(caption.empty() ? std::string(kAppTitle) : caption), Q(text),
                    QMessageBox::NoButton, m_pParent);
    const auto buttons = ButtonsOf(style & MB_TYPEMASK);
    for (const auto& [button, id] : buttons) box.addButton(button);
    size_t defaultIndex = (style & MB_DEFBUTTON3) ? 2 : (style & MB_DEFBUTTON2) ? 1 : 0;
    if (defaultIndex >= buttons.size()) defaultIndex = 0;
    box.setDefaultButton(buttons[defaultIndex].first);
    // Closing the box with Esc or its close button answers as Windows does: Cancel
    // where there is one, else the only button.
    int escapeId = buttons.size() == 1 ? buttons[0].second : 0;
    for (const auto& [button, id] : buttons)
        if (id == IDCANCEL) {
            box.setEscapeButton(button);
            escapeId = id;
        }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, id] : buttons)
        if (clicked && box.standardButton(clicked) == button) return id;
    return escapeId;
}

std::optional<SInputBoxResult> CQtPrompts::InputBox(const SInputBoxRequest& request) {
    CInputBox box(request, m_pParent);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return SInputBoxResult{S(box.Value(0)), S(box.Value(1))};
}

QStringList CQtPrompts::ConvertFilter(const std::string& filter) {
    QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty()) break; // the "||" that ends the list
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.simplified());
    }
    return filters;
}

std::optional<std::string> CQtPrompts::PickFile(const std::string& title, const std::string& filter,
                                                const std::string& initialPath) {
    const QString path = QFileDialog::getOpenFileName(m_pParent, Q(title), Q(initialPath),
                                                      ConvertFilter(filter).join(QStringLiteral(";;")));
    if (path.isEmpty()) return std::nullopt;
    return S(path);
}

std::optional<std::string> CQtPrompts::PickSaveFile(const std::string& title, const std::string& filter,
                                                    const std::string& proposedPath) {
    QString proposed = Q(proposedPath);
    if (QDir::isRelativePath(proposed)) proposed = QDir::home().filePath(proposed);
    QFileDialog dialog(m_pParent, Q(title), proposed, ConvertFilter(filter).join(QStringLiteral(";;")));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The caller asks about an existing file itself: it may be added to, not replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name typed without an extension gets the first filter's ("*.reg" gives ".reg").
    const QString pattern = Q(filter).section(QLatin1Char('|'), 1, 1).section(QLatin1Char(';'), 0, 0);
    if (pattern.startsWith(QStringLiteral("*.")) && pattern.size() > 2) dialog.setDefaultSuffix(pattern.mid(2));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return S(dialog.selectedFiles().constFirst());
}

std::optional<std::string> CQtPrompts::PickFolder(const std::string& title, const std::string& initialPath) {
    const QString path = QFileDialog::getExistingDirectory(m_pParent, Q(title), Q(initialPath));
    if (path.isEmpty()) return std::nullopt;
    return S(path);
}

} // namespace cva::gui
