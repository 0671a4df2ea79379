// Undo of an apply from the window: the Undo Last Apply command, the Applied view's and
// the start page's Undo, and the journal's failures told to the user.
#include "gui/window/ApplicationWindow.h"

#include "core/app/ApplicationDlg.h"
#include "core/app/ApplyHistory.h"
#include "core/app/ApplyUndo.h"
#include "core/app/UserPrompts.h"
#include "platform/target/TargetSystem.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace cva::gui {

namespace {

using EStatus = app::SUndoResult::EStatus;

bool IsEditField(const QWidget* widget) {
    if (!widget) return false;
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return !line->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(widget)) return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) return !plain->isReadOnly();
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) return !spin->isReadOnly();
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->isEditable();
    return false;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : "\n") + line;
    return out;
}

// The refusal: what changed since the apply, and whether to undo it anyway.
bool AskToForce(QWidget* parent, const app::SUndoResult& result) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Undo"),
                    QString::fromStdString("The apply of " + result.m_entry.m_plugin + " (" + result.m_entry.m_id +
                                           ") is not undone: the target changed since it was made."),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("undoRefusedBox"));
    box.setInformativeText(QStringLiteral("Undoing it anyway puts back the state before the apply over these "
                                          "changes (see the details)."));
    box.setDetailedText(QString::fromStdString(Joined(result.m_differences)));
    QPushButton* force = box.addButton(QStringLiteral("Undo Anyway"), QMessageBox::AcceptRole);
    force->setObjectName(QStringLiteral("undoAnyway"));
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == force;
}

} // namespace

void CApplicationWindow::OnUndoShortcut() {
    if (IsEditField(QApplication::focusWidget())) return;
    UndoApply();
}

void CApplicationWindow::UndoApply(const std::string& plugin) {
    app::IUserPrompts& prompts = m_logic.Prompts();
    const std::string folder = app::HistoryFolder(m_settings);
    app::SUndoRequest request{{}, plugin, false};
    app::SUndoResult result = app::UndoApply(m_logic.Target(), folder, m_logic.ProfileEntryName(), request);
    if (result.m_status == EStatus::Refused) {
        if (!AskToForce(this, result)) return;
        request.m_force = true;
        result = app::UndoApply(m_logic.Target(), folder, m_logic.ProfileEntryName(), request);
    }
    const unsigned int warning = app::MB_OK | app::MB_ICONEXCLAMATION;
    switch (result.m_status) {
    case EStatus::NothingToUndo:
    case EStatus::NoSuchEntry:
    case EStatus::OtherTarget:
        prompts.MessageBox("There is no apply " + (plugin.empty() ? std::string() : "of " + plugin + " ") +
                               "to undo on the " + m_logic.Target().Describe() + ".",
                           app::kAppTitle, app::MB_OK | app::MB_ICONINFORMATION);
        return;
    case EStatus::OtherProfile:
        prompts.MessageBox("The apply of " + result.m_entry.m_plugin + " changed the settings of " +
                               result.m_entry.m_profile + ". Choose that user in the options to undo it.",
                           app::kAppTitle, warning);
        return;
    case EStatus::Refused: return;
    case EStatus::NotSaved:
        prompts.MessageBox("The undo could not be saved; the target is as it was.\n" + result.m_why, app::kAppTitle,
                           warning);
        return;
    case EStatus::Undone: break;
    }
    m_pMessagePane->setText(QString::fromStdString("Undone: " + result.m_entry.m_plugin));
    if (!result.m_failures.empty())
        prompts.MessageBox("Not everything could be put back:\n" + Joined(result.m_failures), app::kAppTitle, warning);
    if (!result.m_journalFailure.empty())
        prompts.MessageBox("The undo was made but cannot be undone in turn: " + result.m_journalFailure,
                           app::kAppTitle, warning);
    // The open page shows what the target holds now.
    if (m_logic.Catalogue().IsValidIndex(m_logic.m_nCurrentPlugin)) m_logic.Refresh();
    SyncFromModel();
    UpdateCommandUI();
}

void CApplicationWindow::ShowJournalFailure() {
    const std::string& failure = m_logic.JournalFailure();
    if (failure == m_strShownJournalFailure) return;
    m_strShownJournalFailure = failure;
    if (failure.empty()) return;
    m_logic.Prompts().MessageBox("The changes were applied, but they cannot be undone: " + failure, app::kAppTitle,
                                 app::MB_OK | app::MB_ICONEXCLAMATION);
}

} // namespace cva::gui
