#include "gui/pages/MultiPageView.h"

#include "core/pages/PropertyPageMulti.h"
#include "gui/pages/DialogLayout.h"
#include "gui/pages/SpinField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QWindow>

#include <algorithm>

namespace cva::gui {

namespace {

using pages::CMultiCtrl;
using Anchor = CDialogLayout::SAnchor;

// The template of the page, in dialog units.
constexpr QSize kTemplate(306, 241);
// The description keeps a few lines when the page is lower than the template.
constexpr QSize kMinimum(306, 212);
constexpr std::array<int, CMultiPageView::kItems> kLabelTops = {8, 38, 68, 98, 129};
constexpr std::array<int, CMultiPageView::kItems> kItemTops = {22, 52, 82, 112, 143};
constexpr int kComboListHeight = 92;

QRect LabelRect(int index) {
    return QRect(15, kLabelTops[static_cast<size_t>(index)], 284, 13);
}
QRect BrowseRect(int index) {
    return QRect(250, kItemTops[static_cast<size_t>(index)], 38, 14);
}
// Check and radio items have no browse button; their caption may use its room.
QRect InputRect(int index, int kind) {
    const bool wide = kind == pages::MULTI_CHECK || kind == pages::MULTI_RADIO;
    return QRect(31, kItemTops[static_cast<size_t>(index)], wide ? 257 : 218, 14);
}

// Fields and labels widen with the page; the buttons keep their distance to its right edge.
constexpr Anchor kStay = CDialogLayout::kTopLeft;
constexpr Anchor kRight = CDialogLayout::kTopRight;

} // namespace

CMultiPageView::CMultiPageView(pages::CPropertyPageMulti& page, QWidget* parent)
    : CPageViewBase(page, parent), m_multi(page) {
    m_pLayout = new CDialogLayout(this, kTemplate);
    m_pLayout->SetMinimumUnits(kMinimum);
    m_pLayout->Add(MakeGroupFrame(), QRect(2, 0, 302, 163), kStay, kRight);
    for (int i = 0; i < kItems; ++i) {
        const auto at = static_cast<size_t>(i);
        SRow& row = Row(i);
        row.m_label = new QLabel(this);
        row.m_label->setObjectName(QStringLiteral("label%1").arg(kLabelIds[at]));
        row.m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row.m_label->setTextFormat(Qt::PlainText);
        m_pLayout->Add(row.m_label, LabelRect(i), kStay, kRight);
        row.m_placeholder = new QWidget(this);
        row.m_placeholder->setObjectName(QStringLiteral("placeholder%1").arg(kFieldIds[at]));
        auto* fill = new QHBoxLayout(row.m_placeholder);
        fill->setContentsMargins(0, 0, 0, 0);
        m_pLayout->Add(row.m_placeholder, InputRect(i, pages::MULTI_NONE), kStay, kRight);
        row.m_browse = new QPushButton(QStringLiteral("Browse.."), this);
        row.m_browse->setObjectName(QStringLiteral("browse%1").arg(kBrowseIds[at]));
        m_pLayout->Add(row.m_browse, BrowseRect(i), kRight, kRight);
        connect(row.m_browse, &QPushButton::clicked, this, [this, i] {
            m_multi.ClickBrowse(i);
            Resync(i);
        });
        for (QWidget* widget : {static_cast<QWidget*>(row.m_label), row.m_placeholder,
                                static_cast<QWidget*>(row.m_browse)})
            widget->setHidden(true);
    }
    m_pLayout->Add(MakePreviewButton(), QRect(156, 164, 70, 15), kRight, kRight);
    m_pLayout->Add(MakeApplyButton(), QRect(230, 164, 70, 15), kRight, kRight);
    m_pLayout->Add(MakeDescriptionBox(), QRect(2, 182, 302, 59), kStay,
                   CDialogLayout::kBottomRight);
    // The range captions are redrawn only while the program has the keyboard focus.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* window) { m_multi.SetProgramHasFocus(window != nullptr); });
    Attach();
}

QLabel* CMultiPageView::Label(int index) const {
    return At(m_rows, index, &SRow::m_label);
}
QWidget* CMultiPageView::Input(int index) const {
    return At(m_rows, index, &SRow::m_input);
}
QPushButton* CMultiPageView::BrowseButton(int index) const {
    return At(m_rows, index, &SRow::m_browse);
}

void CMultiPageView::ItemChanged(int index, pages::EItemChange) {
    if (index >= 0 && index < kItems) SyncItem(index, m_page.Snapshot());
}

void CMultiPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    for (int i = 0; i < kItems; ++i)
        SyncItem(i, snapshot);
}

void CMultiPageView::Resync(int index) {
    SyncItem(index, m_page.Snapshot());
}

void CMultiPageView::SyncItem(int index, const pages::SPageSnapshot& snapshot) {
    if (index >= static_cast<int>(snapshot.m_items.size())) return;
    const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(index)];
    const CMultiCtrl& ctrl = m_multi.Control(index);
    const int kind = ctrl.IsActive() ? ctrl.Type() : pages::MULTI_NONE;
    SRow& row = Row(index);
    if (kind != row.m_kind) Rebuild(index, kind);
    row.m_label->setText(ToQt(item.m_label));
    row.m_label->setHidden(!item.m_visible);
    row.m_placeholder->setHidden(!item.m_visible);
    // A browse button belongs to the item's style, not to its label: an item without a
    // text keeps it.
    row.m_browse->setHidden(kind == pages::MULTI_NONE || !item.m_browseVisible);
    row.m_browse->setEnabled(item.m_browseEnabled);
    if (!row.m_input) return;
    row.m_input->setEnabled(item.m_enabled);
    if (auto* button = qobject_cast<QAbstractButton*>(row.m_input)) {
        button->setText(ToQt(item.m_caption));
        // A caption too long for the page is cut; its tooltip holds all of it.
        button->setToolTip(ToQt(item.m_caption));
    }
    SyncInput(index);
}

// Writes the state of the item's control into its widget without reporting it back.
void CMultiPageView::SyncInput(int index) {
    const CMultiCtrl& ctrl = m_multi.Control(index);
    QWidget* input = Row(index).m_input;
    const QSignalBlocker block(input);
    auto setField = [](QLineEdit* field, const QString& text) {
        // Rewriting the text the user is typing would move the cursor to the end.
        if (field->text() == text) return;
        const int cursor = field->cursorPosition();
        field->setText(text);
        field->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    };
    switch (ctrl.Type()) {
    case pages::MULTI_EDIT:
        setField(static_cast<QLineEdit*>(input), ToQt(ctrl.FieldText()));
        break;
    case pages::MULTI_SPIN: {
        QLineEdit* field = static_cast<CSpinField*>(input)->Field();
        const QSignalBlocker blockField(field);
        setField(field, ToQt(ctrl.FieldText()));
        break;
    }
    case pages::MULTI_COMBO:
    case pages::MULTI_DROPLIST: {
        auto* combo = static_cast<QComboBox*>(input);
        QStringList entries;
        for (const std::string& entry : ctrl.Entries())
            entries << ToQt(entry);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        if (shown != entries) {
            combo->clear();
            combo->addItems(entries);
        }
        if (combo->currentIndex() != ctrl.CurSel()) combo->setCurrentIndex(ctrl.CurSel());
        if (QLineEdit* field = combo->lineEdit()) {
            const QSignalBlocker blockField(field);
            setField(field, ToQt(ctrl.FieldText()));
        }
        break;
    }
    case pages::MULTI_CHECK: {
        auto* box = static_cast<QCheckBox*>(input);
        box->setTristate(ctrl.IsThreeState());
        box->setCheckState(ctrl.CheckState() == 2   ? Qt::PartiallyChecked
                           : ctrl.CheckState() == 1 ? Qt::Checked
                                                    : Qt::Unchecked);
        break;
    }
    case pages::MULTI_RADIO:
        static_cast<QRadioButton*>(input)->setChecked(ctrl.CheckState() == 1);
        break;
    case pages::MULTI_SLIDER: {
        auto* slider = static_cast<QSlider*>(input);
        const int low = std::min(ctrl.Minimum(), ctrl.Maximum());
        const int high = std::max(ctrl.Minimum(), ctrl.Maximum());
        slider->setRange(low, high);
        slider->setTickInterval(std::max(1, (high - low) / 10));
        slider->setPageStep(std::max(1, (high - low) / 5));
        slider->setValue(ctrl.Clamp(ctrl.Position()));
        break;
    }
    default:
        break;
    }
}

void CMultiPageView::Rebuild(int index, int kind) {
    SRow& row = Row(index);
    if (row.m_input) {
        // The old control may be the one whose signal is being handled: it leaves the
        // page now and is deleted once that is over.
        row.m_input->hide();
        row.m_input->setParent(nullptr);
        row.m_input->deleteLater();
        row.m_input = nullptr;
    }
    row.m_kind = kind;
    m_pLayout->Place(row.m_placeholder, InputRect(index, kind), kStay, kRight);
    if (kind == pages::MULTI_NONE) return;
    row.m_input = MakeInput(index, kind);
    row.m_input->setObjectName(QStringLiteral("item%1").arg(kFieldIds[static_cast<size_t>(index)]));
    row.m_placeholder->layout()->addWidget(row.m_input);
    // The Tab key goes through the items in order, each control before its browse button.
    if (index > 0) setTabOrder(Row(index - 1).m_browse, row.m_input);
    setTabOrder(row.m_input, row.m_browse);
}

QWidget* CMultiPageView::MakeInput(int index, int kind) {
    QWidget* parent = Row(index).m_placeholder;
    switch (kind) {
    case pages::MULTI_BUTTON:
    case pages::MULTI_CHECK:
    case pages::MULTI_RADIO: {
        QAbstractButton* button = nullptr;
        if (kind == pages::MULTI_BUTTON) {
            auto* push = new QPushButton(parent);
            push->setAutoDefault(true);
            button = push;
        } else if (kind == pages::MULTI_CHECK) {
            button = new QCheckBox(parent);
        } else {
            auto* radio = new QRadioButton(parent);
            // The page decides which radio item is selected, across the whole page.
            radio->setAutoExclusive(false);
            button = radio;
        }
        connect(button, &QAbstractButton::clicked, this, [this, index] {
            m_multi.ClickItem(index);
            Resync(index);
        });
        return button;
    }
    case pages::MULTI_EDIT: {
        auto* field = new QLineEdit(parent);
        TakeTyping(index, field);
        ApplyOnReturn(field);
        return field;
    }
    case pages::MULTI_SPIN: {
        auto* spin = new CSpinField(parent);
        spin->SetStepHandler([this, index](int steps) {
            m_multi.SpinStep(index, steps);
            Resync(index);
        });
        TakeTyping(index, spin->Field());
        // The spin box holds the keyboard focus for its field.
        ApplyOnReturn(spin);
        return spin;
    }
    case pages::MULTI_COMBO:
    case pages::MULTI_DROPLIST: {
        auto* combo = new QComboBox(parent);
        combo->setMaxVisibleItems(std::max(1, m_pLayout->Units().Y(kComboListHeight) /
                                                  std::max(1, combo->fontMetrics().height() + 4)));
        if (kind == pages::MULTI_COMBO) {
            combo->setEditable(true);
            // The text typed is the value; nothing completes it or adds it to the list.
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            TakeTyping(index, combo->lineEdit());
            ApplyOnReturn(combo->lineEdit());
        }
        connect(combo, &QComboBox::activated, this, [this, index](int entry) {
            m_multi.SelectEntry(index, entry);
            Resync(index);
        });
        return combo;
    }
    case pages::MULTI_SLIDER: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::TicksBelow);
        connect(slider, &QSlider::valueChanged, this, [this, index] { OnSlider(index, false); });
        connect(slider, &QSlider::sliderReleased, this, [this, index] { OnSlider(index, true); });
        return slider;
    }
    default:
        return new QWidget(parent);
    }
}

// What the user types is the page's to take (or refuse); script changes do not come
// back this way.
void CMultiPageView::TakeTyping(int index, QLineEdit* field) {
    connect(field, &QLineEdit::textEdited, this, [this, index](const QString& text) {
        m_multi.EditText(index, text.toStdString());
        Resync(index);
    });
}

// Dragging only moves the thumb; the page hears of it when the mouse lets go. A move by
// key or by a click beside the thumb is over at once.
void CMultiPageView::OnSlider(int index, bool released) {
    auto* slider = static_cast<QSlider*>(Row(index).m_input);
    if (!released) m_multi.MoveSlider(index, slider->value());
    if (released || !slider->isSliderDown()) m_multi.ReleaseSlider(index);
    Resync(index);
}

} // namespace cva::gui
