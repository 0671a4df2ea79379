#pragma once

#include "core/markup/HTMLDrawer.h"
#include "core/markup/HTMLFrame.h"

#include <QIcon>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>

namespace cva::app {
class IUserPrompts;
}

namespace cva::gui {

// Shows markup text (html pages, the start page's header, descriptions) and follows its
// links: "cva:N" goes to whoever listens to LinkMessage, other targets are opened.
class CHTMLStatic : public QWidget {
    Q_OBJECT
public:
    // Opens a target that is not a "cva:" link; returns what ShellExecute would: above
    // 32 when opened, else its error code.
    using LinkOpener = std::function<int(const std::string& target)>;

    explicit CHTMLStatic(QWidget* parent = nullptr);

    // Lays the markup out for the current width and repaints.
    void SetText(const std::string& markup);
    const std::string& Text() const { return m_strText; }
    // A margin narrowing the text on both sides and an icon inside it (the start page's
    // header: SHTMLFrame::StartHeader() with the program's icon).
    void SetFrame(const markup::SHTMLFrame& frame, const QIcon& icon = QIcon());
    void SetDefaultAlignment(int align);
    void SetUnderlineOnHover(bool on);
    // Where the error of a link that cannot be opened is told; without one, a message box.
    void SetPrompts(app::IUserPrompts* prompts) { m_pPrompts = prompts; }
    void SetLinkOpener(LinkOpener opener) { m_opener = std::move(opener); }

    const markup::SHTMLLayout& Layout() const { return m_layout; }
    // The target of the link under the mouse; empty when there is none.
    const std::string& HotLink() const { return m_strHotLink; }

    // What a click on a link does.
    void FollowLink(const std::string& target);
    // Web and mail addresses open with the desktop's handler. Anything else is refused
    // (error 5): the markup comes from plugins, and a file or program of this computer
    // is not theirs to open.
    static int OpenOnDesktop(const std::string& target);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    // A "cva:N" link was clicked: the page's link message with N.
    void LinkMessage(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    markup::SHTMLLayout LayOut(int width) const;
    void Relayout();
    void SetHotLink(const std::string& target);

    std::string m_strText;
    markup::SHTMLFrame m_frame;
    QIcon m_icon;
    int m_nDefaultAlign = markup::ALIGN_LEFT;
    bool m_bUnderlineOnHover = true;
    markup::SHTMLLayout m_layout;
    std::string m_strHotLink;
    std::string m_strPressedLink;
    app::IUserPrompts* m_pPrompts = nullptr;
    LinkOpener m_opener;
};

} // namespace cva::gui
