#include "gui/app/QtPrompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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
    QDialog dialog(m_pParent);
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(Q(request.m_caption.empty() ? std::string(kAppTitle) : request.m_caption));
    auto* layout = new QVBoxLayout(&dialog);
    if (!request.m_description.empty()) {
        auto* description = new QLabel(Q(request.m_description), &dialog);
        description->setWordWrap(true);
        layout->addWidget(description);
    }
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* line1 = new QLineEdit(Q(request.m_text1), &dialog);
    line1->setObjectName(QStringLiteral("inputLine1"));
    auto* row1 = new QHBoxLayout;
    row1->addWidget(line1);
    if (request.m_browseFile || request.m_browseFolder) {
        auto* browse = new QPushButton(QStringLiteral("..."), &dialog);
        browse->setObjectName(QStringLiteral("inputBrowse"));
        row1->addWidget(browse);
        QObject::connect(browse, &QPushButton::clicked, &dialog, [&, this] {
            const std::optional<std::string> picked =
                request.m_browseFolder ? PickFolder(request.m_caption, S(line1->text()))
                                       : PickFile(request.m_caption, "All files|*.*||", S(line1->text()));
            if (picked) line1->setText(Q(*picked));
        });
    }
    form->addRow(Q(request.m_label1), row1);
    QLineEdit* line2 = nullptr;
    if (!request.m_label2.empty()) {
        line2 = new QLineEdit(Q(request.m_text2), &dialog);
        line2->setObjectName(QStringLiteral("inputLine2"));
        form->addRow(Q(request.m_label2), line2);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    auto updateOk = [&] { ok->setEnabled(request.m_allowEmpty1 || !line1->text().isEmpty()); };
    QObject::connect(line1, &QLineEdit::textChanged, &dialog, updateOk);
    updateOk();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    SInputBoxResult result;
    result.m_text1 = S(line1->text());
    if (line2) result.m_text2 = S(line2->text());
    return result;
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
