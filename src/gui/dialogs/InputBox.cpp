#include "gui/dialogs/InputBox.h"

#include "gui/dialogs/HeaderBand.h"
#include "gui/pages/DialogLayout.h"

#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cva::gui {

namespace {

using Anchor = CDialogLayout::SAnchor;
constexpr Anchor kStay = CDialogLayout::kTopLeft;
constexpr Anchor kRight = CDialogLayout::kTopRight;
constexpr Anchor kCorner = CDialogLayout::kBottomRight;

constexpr QSize kTemplate(232, 86);
struct SLineIds {
    int m_label;
    int m_value;
    int m_browse;
    int m_top; // of the value field; its label sits 12 units higher
};
constexpr std::array<SLineIds, CInputBox::kLines> kLineIds = {
    {{1064, 1042, 1066, 15}, {1065, 1043, 1067, 42}}};

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CInputBox::CInputBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("inputBox"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_pHeader = new CHeaderBand(this);
    m_pHeader->SetIcon(QIcon::fromTheme(QStringLiteral("document-edit"),
                                        style()->standardIcon(QStyle::SP_MessageBoxQuestion)));
    column->addWidget(m_pHeader);
    auto* body = new QWidget(this);
    auto* layout = new CDialogLayout(body, kTemplate);
    layout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(body, 1);
    for (int i = 0; i < kLines; ++i) {
        const SLineIds& ids = kLineIds[static_cast<size_t>(i)];
        SLine& line = Line(i);
        line.m_label = new QLabel(body);
        line.m_label->setObjectName(QStringLiteral("label%1").arg(ids.m_label));
        line.m_label->setTextFormat(Qt::PlainText);
        layout->Add(line.m_label, QRect(3, ids.m_top - 12, 175, 8), kStay, kRight);
        line.m_value = new QLineEdit(body);
        line.m_value->setObjectName(QStringLiteral("item%1").arg(ids.m_value));
        line.m_label->setBuddy(line.m_value);
        layout->Add(line.m_value, QRect(3, ids.m_top, 175, 12), kStay, kRight);
        line.m_browse = new QPushButton(QStringLiteral("Browse..."), body);
        line.m_browse->setObjectName(QStringLiteral("browse%1").arg(ids.m_browse));
        line.m_browse->setAutoDefault(false);
        layout->Add(line.m_browse, QRect(184, ids.m_top, 45, 12), kRight, kRight);
        connect(line.m_browse, &QPushButton::clicked, this, [this, i] { Browse(i); });
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), body);
    ok->setObjectName(QStringLiteral("ok1"));
    ok->setDefault(true);
    layout->Add(ok, QRect(133, 68, 45, 15), kCorner, kCorner);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), body);
    cancel->setObjectName(QStringLiteral("cancel2"));
    cancel->setAutoDefault(false);
    layout->Add(cancel, QRect(184, 68, 45, 15), kCorner, kCorner);
    connect(ok, &QPushButton::clicked, this, &CInputBox::accept);
    connect(cancel, &QPushButton::clicked, this, &CInputBox::reject);

    m_picker = [this](app::EInputBrowse mode, const QString& current) {
        return PickWithDialogs(this, mode, current);
    };
    m_warn = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(app::kAppTitle), text,
                        QMessageBox::Ok, this);
        box.exec();
    };
    SetTitle(QString::fromLatin1(app::kAppTitle));
    for (int i = 0; i < kLines; ++i)
        SyncLine(i);
}

CInputBox::CInputBox(const app::SInputBoxRequest& request, QWidget* parent) : CInputBox(parent) {
    SetTitle(Q(request.m_caption.empty() ? std::string(app::kAppTitle) : request.m_caption));
    SetDescription(Q(request.m_description));
    SetLabel(0, Q(request.m_label1));
    SetValue(0, Q(request.m_text1));
    SetLabel(1, Q(request.m_label2));
    SetValue(1, Q(request.m_text2));
    SetBrowseMode(0, request.m_browse1);
    SetBrowseMode(1, request.m_browse2);
    SetMayBeEmpty(0, request.m_allowEmpty1);
    SetMayBeEmpty(1, request.m_allowEmpty2);
    SetLineDisabled(0, request.m_disabled1);
    SetLineDisabled(1, request.m_disabled2);
}

void CInputBox::SetTitle(const QString& title) {
    setWindowTitle(title);
    m_pHeader->SetTitle(title);
}

void CInputBox::SetDescription(const QString& description) {
    m_pHeader->SetDescription(description);
}

void CInputBox::SetLabel(int line, const QString& label) {
    if (!IsLine(line)) return;
    Line(line).m_label->setText(label);
    SyncLine(line);
}

void CInputBox::SetValue(int line, const QString& value) {
    if (!IsLine(line)) return;
    Line(line).m_value->setText(value);
    if (line == 0) Line(line).m_value->selectAll();
}

void CInputBox::SetBrowseMode(int line, app::EInputBrowse mode) {
    if (!IsLine(line)) return;
    Line(line).m_mode = mode;
    SyncLine(line);
}

void CInputBox::SetMayBeEmpty(int line, bool mayBeEmpty) {
    if (IsLine(line)) Line(line).m_mayBeEmpty = mayBeEmpty;
}

void CInputBox::SetLineDisabled(int line, bool disabled) {
    if (!IsLine(line)) return;
    Line(line).m_disabled = disabled;
    SyncLine(line);
}

QString CInputBox::Value(int line) const {
    return IsLine(line) ? m_lines[static_cast<size_t>(line)].m_value->text() : QString();
}

QLineEdit* CInputBox::Field(int line) const {
    return IsLine(line) ? m_lines[static_cast<size_t>(line)].m_value : nullptr;
}

QPushButton* CInputBox::BrowseButton(int line) const {
    return IsLine(line) ? m_lines[static_cast<size_t>(line)].m_browse : nullptr;
}

void CInputBox::SyncLine(int line) {
    SLine& state = Line(line);
    const bool shown = line == 0 || !state.m_label->text().isEmpty();
    state.m_label->setHidden(!shown);
    state.m_value->setHidden(!shown);
    state.m_browse->setHidden(!shown || state.m_mode == app::EInputBrowse::None);
    state.m_value->setEnabled(!state.m_disabled);
    state.m_browse->setEnabled(!state.m_disabled);
}

void CInputBox::accept() {
    if (!Line(0).m_mayBeEmpty && Value(0).isEmpty()) {
        m_warn(QStringLiteral("Please enter a non-empty value!"));
        return;
    }
    if (!Line(1).m_mayBeEmpty && Value(1).isEmpty()) {
        m_warn(QStringLiteral("Please enter a non-empty value for the second entry!"));
        return;
    }
    QDialog::accept();
}

void CInputBox::Browse(int line) {
    SLine& state = Line(line);
    if (state.m_mode == app::EInputBrowse::None) return;
    std::optional<QString> picked = m_picker(state.m_mode, state.m_value->text());
    if (!picked) return;
    if (state.m_mode == app::EInputBrowse::Folder) {
        // A folder always ends in exactly one separator, so a file name can follow it.
        while (picked->endsWith(QLatin1Char('/')) || picked->endsWith(QLatin1Char('\\')))
            picked->chop(1);
        picked->append(QLatin1Char('/'));
    }
    state.m_value->setText(*picked);
}

std::optional<QString> CInputBox::PickWithDialogs(QWidget* parent, app::EInputBrowse mode,
                                                  const QString& current) {
    const QString filter = QStringLiteral("All files (*)");
    QString path;
    switch (mode) {
    case app::EInputBrowse::OpenFile:
        path = QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), current, filter);
        break;
    case app::EInputBrowse::SaveFile:
        // The dialog asks before a file that exists is overwritten.
        path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), current, filter);
        break;
    case app::EInputBrowse::Folder:
        path = QFileDialog::getExistingDirectory(parent, QStringLiteral("Browse"), current);
        break;
    case app::EInputBrowse::None:
        break;
    }
    if (path.isEmpty()) return std::nullopt;
    return path;
}

} // namespace cva::gui
