#pragma once

#include "core/pages/PropertyPageBase.h"

#include <optional>

namespace cva::pages {

// An "html" plugin: the script writes the whole page as mini-HTML, and links whose
// target is "cva:N" call back into the script's "OnApply" with 0 and N.
class CPropertyPageHtml : public CPropertyPageBase {
public:
    // Shown until the first html plugin's script sets its own content.
    static const char* const kIntroduction;

    CPropertyPageHtml();

    int PageIndex() const override { return PAGE_HTML; }
    // The index is ignored: the page's single item is its whole text.
    void SetItemText(int index, const std::string& text) override;
    std::string GetItemText(int index) override;

    const std::string& Html() const { return m_strHtml; }

    // The user followed a link. True when the page handled it (a "cva:" link); other
    // targets are the view's to open.
    bool FollowLink(const std::string& target);
    // The page link message with its number (what a "cva:N" link sends); ignored while
    // the page takes no input.
    void LinkClicked(int number);
    // The number a "cva:" target carries, or std::nullopt for other targets.
    static std::optional<int> LinkNumber(const std::string& target);

    SPageSnapshot Snapshot() const override;

private:
    std::string m_strHtml;
};

} // namespace cva::pages
