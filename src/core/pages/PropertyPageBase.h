#pragma once

#include "core/pages/PageSnapshot.h"
#include "core/pages/PageView.h"

#include <optional>
#include <string>

namespace cva::ini {
class CIniFile;
}

namespace cva::pages {

class IPageOwner;

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

// The page a plugin's "type" value selects: each kind name is compared with as many
// leading characters of the value, without regard to case, and a later match wins, so
// "checklist" lands on the list page although it begins with "check". checkBoxes tells
// the list page whether its rows get check boxes. std::nullopt: no page for the value.
struct SPageForType {
    int m_pageIndex = PAGE_MAIN;
    bool m_checkBoxes = false;
};
std::optional<SPageForType> PageForType(const std::string& type);

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
    virtual void SetDescription(const std::string& text);
    const std::string& Description() const { return m_strDescription; }

    // The page window as a whole: DisableWindow turns it off until the next ShowPage.
    virtual void SetWindowEnabled(bool enabled);
    bool IsWindowEnabled() const { return m_bWindowEnabled; }
    bool ControlsEnabled() const { return m_bControlsEnabled; }
    void DisableWindow() {
        EnableControls(false);
        SetWindowEnabled(false);
    }

    const std::string& PluginFile() const { return m_strPluginFile; }

    // --- Owner, view and the state views read ---------------------------------------
    void SetOwner(IPageOwner* owner) { m_pOwner = owner; }
    void SetView(IPageView* view) { m_pView = view; }
    IPageOwner* Owner() const { return m_pOwner; }
    IPageView* View() const { return m_pView; }

    // Shown in the main window's page area (ShowPage shows one page, hides the rest).
    virtual void SetVisible(bool visible);
    bool IsVisible() const { return m_bVisible; }

    // Pages with one Apply button (check, edit, radio, multi).
    virtual bool HasApplyButton() const { return false; }
    bool IsApplyEnabled() const { return m_bApplyEnabled; }
    // The user pressed Apply; false when nothing was run (no button, disabled, page
    // disabled, or the confirmation was declined).
    virtual bool ClickApply() { return false; }
    // Runs what Apply runs and leaves Apply as it was: the owner, previewing, keeps the
    // changes from the target. False when there is no Apply to run.
    bool ClickPreview();

    // Everything a view needs to show the page.
    virtual SPageSnapshot Snapshot() const;

protected:
    // The user can act on the page at all: shown, window and controls enabled.
    bool AcceptsInput() const { return m_bVisible && m_bWindowEnabled && m_bControlsEnabled; }
    void SetApplyEnabled(bool enabled);
    void NotifyItem(int index, EItemChange change) const {
        if (m_pView) m_pView->ItemChanged(index, change);
    }
    // EnableControls reaches every child except description and labels: each kind sets
    // the enabled state of its own controls here.
    virtual void EnableChildControls(bool enable) { (void)enable; }

    bool Confirm() const;
    void CallRoutine(const char* name, int first, int second) const;
    void CallApply(int button, int selection) const { CallRoutine("OnApply", button, selection); }
    void RecordApplied() const;
    // Apply with the one Apply button of the edit, radio and multi pages: the
    // confirmation, "OnApply" with 0 and 0, the after-apply step, Apply disabled.
    bool ApplyWithOneButton();
    // Runs a browse button: 1 picks a file with the filter "FILEFILTER" + index of the
    // plugin file, 2 a folder; std::nullopt for other styles or when cancelled.
    std::optional<std::string> Browse(int style, int index) const;

    // Keys of the plugin's "interface" section, read the way the pages always read them:
    // name and decimal index, a 260-character buffer, defaults for missing keys.
    static std::string ReadKey(const ini::CIniFile* file, const char* name, int index,
                               const char* defaultValue);
    static int ReadKeyInt(const ini::CIniFile* file, const char* name, int index, int defaultValue);
    static std::optional<ini::CIniFile> LoadPluginFile(const std::string& path);
    static bool IsNone(const std::string& text);

    void FillSnapshotBase(SPageSnapshot& snapshot, const char* kind) const;

    int m_nItemCount = 0;
    std::string m_strPluginFile;
    std::string m_strDescription;
    bool m_bWindowEnabled = true;
    bool m_bControlsEnabled = true;

    IPageOwner* m_pOwner = nullptr;
    IPageView* m_pView = nullptr;
    bool m_bVisible = true;
    bool m_bApplyEnabled = false;
};

} // namespace cva::pages
