#pragma once

#include <QLabel>

#include <string>

namespace cva::update {

// The dialog's status line: one text in the small markup of the updater ("<b>", "<i>",
// "<u>", "<strike>", "<font color bgcolor face size>", "<a href>", "<br>", tags in any
// case, colours by HTML name or #rrggbb). A link opens its web or mail address with the
// desktop's handler; anything else a server might slip into a link is not opened.
class CXHTMLStatic : public QLabel {
    Q_OBJECT
public:
    explicit CXHTMLStatic(QWidget* parent = nullptr);

    void SetMarkup(const std::string& markup);
    const std::string& Markup() const { return m_strMarkup; }

    // The markup as Qt rich text: known tags translated, everything else shown as text.
    static QString ToRichText(const std::string& markup);
    // Whether a link target may be opened from the dialog.
    static bool IsOpenableLink(const QString& target);

private:
    std::string m_strMarkup;
};

} // namespace cva::update
