#pragma once

#include "core/app/ApplicationView.h"
#include "core/pages/PropertyPageBase.h"
#include "core/registry/MRU.h"
#include "core/script/HostOwner.h"
#include "core/script/HostProxy.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cva::plugin {
class CPluginFile;
}
namespace cva::settings {
class CSettingsStore;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::app {

class CAppCore;
class IUserPrompts;

// One catalogue entry; its index in m_plugins is the plugin's identity while the
// catalogue stands.
struct PLUGIN_INFO {
    std::string m_strPath;
    int m_nReserved = 0;
    int m_nFolder = 0; // outlook-bar folder that shows the entry
};

// Plugin kinds ("type" of the plugin file); 0 while no plugin page is open.
enum EPluginKind : int {
    KIND_NONE = 0,
    KIND_CHECK = 1,
    KIND_EDIT = 2,
    KIND_RADIO = 3,
    KIND_LIST = 4,
    KIND_CHECKLIST = 5,
    KIND_MULTI = 6,
    KIND_HTML = 7,
};

// Where restart and log-off requests of scripts are counted (the application object).
struct SSessionRequests {
    std::function<void()> m_restart;
    std::function<void()> m_logoff;

    static SSessionRequests FromCore(CAppCore& core);
};

// The main window's logic without a window: the catalogue entries, the seven page
// objects, the open plugin and its script host, the recently-opened list. A view shows
// what happens; the host object reaches the current page through IHostOwner.
class CApplicationDlg : public script::IHostOwner {
public:
    using PageFactory = std::function<std::unique_ptr<pages::CPropertyPageBase>(int pageIndex)>;

    // profileFolder holds "mru.ini". Without a factory every index gets a page with the
    // base's answers.
    CApplicationDlg(target::CTargetSystem& target, settings::CSettingsStore& settings,
                    IUserPrompts& prompts, SSessionRequests requests, std::string profileFolder,
                    PageFactory pageFactory = {});
    ~CApplicationDlg() override;
    CApplicationDlg(const CApplicationDlg&) = delete;
    CApplicationDlg& operator=(const CApplicationDlg&) = delete;

    // Null: nothing is shown (as before the window's controls exist).
    void SetView(IApplicationView* view) { m_pView = view; }

    // Opens catalogue entry `index`: reads the file, shows its page, runs its script.
    void LoadPlugin(int index);
    void ShowPage(int pageIndex);
    // Re-reads "DELTO" into the open host object after the options changed.
    void OnOptionsChanged();

    pages::CPropertyPageBase* Page(int pageIndex);
    script::CHost_Proxy* Host() { return m_pHost.get(); }
    registry::CMRU& RecentList() { return m_mru; }
    bool IsQuitPosted() const { return m_bQuitPosted; }

    // IHostOwner
    pages::CPropertyPageBase* CurrentPage() override;
    reg::HKEY UserHive() override { return m_hUserHive; }
    IUserPrompts& Prompts() override { return m_prompts; }
    void PostQuit() override;
    void AddRestartRequest() override;
    void AddLogoffRequest() override;

    std::vector<PLUGIN_INFO> m_plugins;
    int m_nCurrentPlugin = -1;
    int m_nPluginKind = KIND_NONE;
    int m_nPageIndex = pages::PAGE_MAIN;
    bool m_bHasExport = false;
    bool m_bCacheUsable = true;
    reg::HKEY m_hUserHive = nullptr; // another user's mounted hive, null for the running user

private:
    IApplicationView& View();
    void SetMessage(const std::string& text);
    void FillPage(const std::string& path, const plugin::CPluginFile& file, int level);
    void ShowExpertWarning(int level, const std::string& warning);

    target::CTargetSystem& m_target;
    settings::CSettingsStore& m_settings;
    IUserPrompts& m_prompts;
    SSessionRequests m_requests;
    IApplicationView* m_pView = nullptr;
    registry::CMRU m_mru;
    bool m_bQuitPosted = false;
    // The pages outlive the host: a script's last calls may still reach the page.
    std::array<std::unique_ptr<pages::CPropertyPageBase>, pages::PAGE_COUNT> m_pages;
    std::unique_ptr<script::CHost_Proxy> m_pHost;
};

} // namespace cva::app
