#pragma once

#include <QTimer>
#include <QWidget>

namespace cva::update {

// The dialog's animation: a turning ring of dots while the transfer runs, still otherwise.
class CAnimateCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CAnimateCtrl(QWidget* parent = nullptr);

    void Play();
    void Stop();
    bool IsPlaying() const { return m_timer.isActive(); }

    QSize sizeHint() const override { return {32, 32}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_nFrame = 0;
};

} // namespace cva::update
