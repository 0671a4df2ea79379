#include "gui/pages/SpinField.h"

#include <QLineEdit>

namespace cva::gui {

CSpinField::CSpinField(QWidget* parent) : QAbstractSpinBox(parent) {
    // With tracking on, the base class would read every keystroke as a value of a type
    // it does not have.
    setKeyboardTracking(false);
}

void CSpinField::stepBy(int steps) {
    if (m_step) m_step(steps);
}

QAbstractSpinBox::StepEnabled CSpinField::stepEnabled() const {
    if (isReadOnly() || !isEnabled()) return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

} // namespace cva::gui
