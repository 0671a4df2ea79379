#pragma once

#include <QFrame>

class QLabel;

namespace cva::gui {

// A small frameless balloon with a title, a text and the exclamation icon, pointing at
// a spot of another widget; it goes on a click or after a while.
class CBalloonHelp : public QFrame {
    Q_OBJECT
public:
    static constexpr int kLifetimeMs = 10000;

    CBalloonHelp(const QString& title, const QString& text, QWidget* anchor);
    void ShowAt(QWidget* anchor);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace cva::gui
