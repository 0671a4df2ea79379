#pragma once

#include "core/pages/PageView.h"
#include "core/pages/PageSnapshot.h"

#include <QWidget>

#include <functional>
#include <string>

class QGroupBox;
class QIcon;
class QPlainTextEdit;
class QPushButton;

namespace cva::pages {
class CPropertyPageBase;
}

namespace cva::gui {

class CPageViewLink;

// What every page view shares: the description box, the group frame, the Apply button
// and the page-wide enabled state. A view draws only what the page reports; every user
// action goes to the page first and the widgets then show whatever the page decided,
// so a refused action leaves no trace on screen.
class CPageViewBase : public QWidget, public pages::IPageView {
public:
    CPageViewBase(pages::CPropertyPageBase& page, QWidget* parent);
    ~CPageViewBase() override;
    CPageViewBase(const CPageViewBase&) = delete;
    CPageViewBase& operator=(const CPageViewBase&) = delete;

    pages::CPropertyPageBase& Page() const { return m_page; }

    void DescriptionChanged(const std::string& text) override;
    void PageEnabledChanged(bool enabled) override;
    void ApplyEnabledChanged(bool enabled) override;

    // The icon of the Apply button: the theme's, else one drawn here.
    static QIcon ApplyIcon();
    static QString ToQt(const std::string& text);
    // What the Preview button beside Apply runs (the window's preview of the apply).
    void SetPreviewHandler(std::function<void()> handler) { m_onPreview = std::move(handler); }
    QPushButton* PreviewButton() const { return m_pPreview; }

protected:
    // Registers the view with the page and draws the page's current state; called last
    // by each kind's constructor, once its widgets exist.
    void Attach();
    // Redraws everything from one snapshot.
    virtual void SyncAll(const pages::SPageSnapshot& snapshot);

    QGroupBox* MakeGroupFrame();
    // Return on the focused button presses it, as on a dialog's buttons.
    QPushButton* MakeApplyButton();
    // Shows what Apply would change; enabled while Apply is.
    QPushButton* MakePreviewButton();
    QPlainTextEdit* MakeDescriptionBox();
    // Return in the field presses Apply while Apply is enabled, as a dialog's default
    // button is pressed; otherwise the field keeps the key.
    void ApplyOnReturn(QWidget* field);

    bool eventFilter(QObject* watched, QEvent* event) override;

    pages::CPropertyPageBase& m_page;
    QPushButton* m_pApply = nullptr;
    QPushButton* m_pPreview = nullptr;
    QPlainTextEdit* m_pDescription = nullptr;

private:
    void SetApplyButtonsEnabled(bool enabled);

    CPageViewLink* m_pLink = nullptr;
    std::function<void()> m_onPreview;
};

} // namespace cva::gui
