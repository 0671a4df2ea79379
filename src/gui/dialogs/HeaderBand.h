#pragma once

#include <QFrame>

class QLabel;

namespace cva::gui {

// The band across the top of a dialog that says what the dialog is for: an icon, a
// bold title and a description, on a fill that fades from light blue to white inside a
// sunken frame.
class CHeaderBand : public QFrame {
public:
    explicit CHeaderBand(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    void SetDescription(const QString& description);
    void SetIcon(const QIcon& icon);

    QString Title() const;
    QString Description() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_pIcon = nullptr;
    QLabel* m_pTitle = nullptr;
    QLabel* m_pDescription = nullptr;
};

} // namespace cva::gui
