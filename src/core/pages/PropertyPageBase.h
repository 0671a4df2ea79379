#pragma once

#include <string>

namespace cva::pages {

// Page indexes of the main window.
enum EPageIndex : int {
    PAGE_MAIN = 0,
    PAGE_CHECK = 1,
    PAGE_EDIT = 2,
    PAGE_RADIO = 3,
    PAGE_LIST = 4,
    PAGE_MULTI = 5,
    PAGE_HTML = 6,
    PAGE_COUNT = 7,
};

// What every page kind has: the item interface through which the plugin's script reads
// and changes the page, the plugin file it came from, its description, and whether the
// page reacts to the user. A kind overrides the operations it supports; the defaults
// are the answers of a page without such items. Indexes are zero-based; texts are UTF-8.
class CPropertyPageBase {
public:
    virtual ~CPropertyPageBase() = default;

    virtual int PageIndex() const = 0;

    // The life cycle the main window drives.
    virtual void LoadItems(const std::string& pluginFile) { m_strPluginFile = pluginFile; }
    virtual void AfterInit() {}

    // The item interface.
    virtual void SetItemText(int index, const std::string& text);
    virtual std::string GetItemText(int index);
    virtual void CheckItem(int index, int check);
    virtual int IsItemChecked(int index);
    virtual int GetItemCount();
    virtual void EnableItem(int index, int enable);
    virtual void SetItemTextEx(int index, int subindex, const std::string& text);
    virtual void EnableControls(bool enable);
    virtual void SetItemData(int index, int data);
    virtual int GetItemData(int index);
    virtual void SetCurSel(int index, int value);
    virtual int GetCurSel(int index);
    virtual std::string GetItemTextEx(int index, int subindex);

    // The description box (control 1153).
    virtual void SetDescription(const std::string& text) { m_strDescription = text; }
    const std::string& Description() const { return m_strDescription; }

    // The page window as a whole: DisableWindow turns it off until the next ShowPage.
    virtual void SetWindowEnabled(bool enabled) { m_bWindowEnabled = enabled; }
    bool IsWindowEnabled() const { return m_bWindowEnabled; }
    bool ControlsEnabled() const { return m_bControlsEnabled; }
    void DisableWindow() {
        EnableControls(false);
        SetWindowEnabled(false);
    }

    const std::string& PluginFile() const { return m_strPluginFile; }

protected:
    int m_nItemCount = 0;
    std::string m_strPluginFile;
    std::string m_strDescription;
    bool m_bWindowEnabled = true;
    bool m_bControlsEnabled = true;
};

} // namespace cva::pages
