#pragma once

#include "core/app/UserPrompts.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PropertyPageBase.h"
#include "core/plugin/PluginFile.h"
#include "core/script/HostOwner.h"
#include "core/script/HostProxy.h"
#include "platform/target/TargetSystem.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cva::test {

// The shipped plugin files, sorted by name.
std::vector<std::string> ShippedPlugins();
// Those of them the catalogue shows for the target (its version filter).
std::vector<std::string> ShownPlugins(const target::CTargetSystem& target);
std::string ShippedPlugin(const std::string& fileName);

// Records what the plugin asks the user and answers every question with m_answer.
class CPluginPrompts : public app::IUserPrompts {
public:
    struct SMessage {
        std::string m_text;
        unsigned int m_style = 0;
    };

    int MessageBox(const std::string& text, const std::string& caption, unsigned int style) override;
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest&) override { return std::nullopt; }
    std::optional<std::string> PickFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }

    int m_answer = app::IDYES;
    std::vector<SMessage> m_messages; // the script's own Msg calls
    std::vector<std::string> m_errors; // script errors and failed saves the host reported
};

// A plugin opened the way the main window opens one: the page of its kind loads its
// items from the file, a real host runs the composed script on the target, OnInit and
// AfterInit follow. The test then acts as the user through the page's own methods; the
// page's Apply reaches the script through the page owner, as in the program.
class COpenedPlugin {
public:
    // `reuse`: the page object the previous plugin used; the main window keeps one page
    // per kind for the whole run, so a plugin opens on whatever the last one left.
    // `userHive`: another user's mounted hive (HKU\Corvanta) that HKCU stands for while
    // the administrator edits that user's settings; null for the running user.
    COpenedPlugin(target::CTargetSystem& target, const std::string& path,
                  std::unique_ptr<pages::CPropertyPageBase> reuse = nullptr, reg::HKEY userHive = nullptr);
    ~COpenedPlugin();
    COpenedPlugin(const COpenedPlugin&) = delete;
    COpenedPlugin& operator=(const COpenedPlugin&) = delete;

    // False when the file has no page kind or its script did not compile.
    bool Opened() const { return m_opened; }

    const plugin::CPluginFile& File() const { return m_file; }
    pages::CPropertyPageBase& Page() { return *m_page; }
    template <class TPage> TPage& PageAs() {
        auto* page = dynamic_cast<TPage*>(m_page.get());
        if (page == nullptr) WrongPageKind();
        return *page;
    }
    pages::SPageSnapshot Snapshot() const { return m_page->Snapshot(); }
    // Closes the plugin's script and hands its page on to the next plugin.
    std::unique_ptr<pages::CPropertyPageBase> ReleasePage();
    bool HasRoutine(const char16_t* name) const;

    // What the page and host reported while the plugin ran.
    CPluginPrompts& Prompts() { return m_prompts; }
    int Restarts() const { return m_restarts; }
    int Logoffs() const { return m_logoffs; }
    int Applies() const { return m_applied; }
    // How often a routine was called by the page ("OnApply", "OnEvent").
    int Calls(const std::string& routine) const;
    // Script errors, failed routines and failed saves, one line each; empty when none.
    std::string Failures() const;

private:
    class CTestHost;

    // What the main window is to the host: the page shown, the prompts, the requests.
    class CHostOwner : public script::IHostOwner {
    public:
        explicit CHostOwner(COpenedPlugin& opened) : m_plugin(opened) {}
        pages::CPropertyPageBase* CurrentPage() override { return m_plugin.m_page.get(); }
        reg::HKEY UserHive() override { return m_plugin.m_userHive; }
        app::IUserPrompts& Prompts() override { return m_plugin.m_prompts; }
        void PostQuit() override { ++m_plugin.m_quits; }
        void AddRestartRequest() override { ++m_plugin.m_restarts; }
        void AddLogoffRequest() override { ++m_plugin.m_logoffs; }

    private:
        COpenedPlugin& m_plugin;
    };

    // What the main window is to the page: it runs the routines the page asks for.
    class CPageOwner : public pages::IPageOwner {
    public:
        explicit CPageOwner(COpenedPlugin& opened) : m_plugin(opened) {}
        bool ConfirmApply() override { return true; }
        void CallRoutine(const std::string& name, const std::vector<int32_t>& args) override {
            m_plugin.Run(name, args);
        }
        void RecordApplied() override { ++m_plugin.m_applied; }
        app::IUserPrompts* Prompts() override { return &m_plugin.m_prompts; }

    private:
        COpenedPlugin& m_plugin;
    };

    [[noreturn]] static void WrongPageKind();
    void Run(const std::string& name, const std::vector<int32_t>& args);

    // Declared before the host, which may still report while its engine closes.
    CPluginPrompts m_prompts;
    int m_restarts = 0, m_logoffs = 0, m_quits = 0, m_applied = 0;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_failedCalls;
    CHostOwner m_hostOwner{*this};
    CPageOwner m_pageOwner{*this};

    plugin::CPluginFile m_file;
    std::unique_ptr<pages::CPropertyPageBase> m_page;
    std::unique_ptr<CTestHost> m_host;
    bool m_opened = false;
    reg::HKEY m_userHive = nullptr;
};

// The whole registry of the target as REGEDIT4 text, for before/after comparisons.
std::string RegistrySnapshot(target::CTargetSystem& target);
// The lines that differ between two snapshots, so a failure names the changed values.
std::string ChangedLines(const std::string& before, const std::string& after);

} // namespace cva::test
