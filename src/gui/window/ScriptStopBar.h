#pragma once

#include <QFrame>

#include <chrono>
#include <functional>

class QLabel;
class QPushButton;

namespace cva::gui {

// The bar above the page that offers "Stop script" once a script routine has run for
// two seconds. Scripts run on the window's thread: while one runs, the engine's
// heartbeat lands in Beat, which keeps the window painted and lets the bar's button be
// pressed, while every other click and key press waits for the script to end (the page
// and the trees must not change under a running routine).
class CScriptStopBar : public QFrame {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kShowAfter{2000};

    CScriptStopBar(std::function<void()> stop, QWidget* parent = nullptr);

    // The running routine has been running this long.
    void Beat(std::chrono::milliseconds running);
    // The routine has returned.
    void End();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_stop;
    QLabel* m_pText = nullptr;
    QPushButton* m_pStop = nullptr;
};

} // namespace cva::gui
