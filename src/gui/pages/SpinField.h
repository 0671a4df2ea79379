#pragma once

#include <QAbstractSpinBox>

#include <functional>

class QLineEdit;

namespace cva::gui {

// A one-line field with up and down arrows at its right edge that takes any text, as an
// edit field with an attached up-down control does: the text is not checked here, and
// each arrow step (click, arrow key, wheel) goes to the step handler, which decides the
// new text.
class CSpinField : public QAbstractSpinBox {
public:
    using Step = std::function<void(int steps)>;

    explicit CSpinField(QWidget* parent = nullptr);

    void SetStepHandler(Step step) { m_step = std::move(step); }
    QLineEdit* Field() const { return lineEdit(); }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    Step m_step;
};

} // namespace cva::gui
