// Every shipped plugin, whatever its page: a well-formed file; and each one the catalogue
// shows for the fresh Windows XP sandbox: a script that compiles behind the prelude, and a
// page that reads the sandbox without touching it.
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"
#include "plugins/OpenedPlugin.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace cva;
using namespace cva::test;

namespace {

class PluginCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<CTempDir>();
        std::string error;
        s_target = target::CTargetSystem::Open("sandbox:" + s_dir->Path(), error);
        ASSERT_TRUE(s_target) << error;
    }
    static void TearDownTestSuite() {
        s_target.reset();
        s_dir.reset();
    }
    static std::unique_ptr<CTempDir> s_dir;
    static std::unique_ptr<target::CTargetSystem> s_target;
};
std::unique_ptr<CTempDir> PluginCatalogue::s_dir;
std::unique_ptr<target::CTargetSystem> PluginCatalogue::s_target;

std::string Name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

plugin::CPluginFile LoadFile(const std::string& path) {
    return plugin::CPluginFile::Load(path).value_or(plugin::CPluginFile());
}

// The "cva:N" link targets of an html page, in page order.
std::vector<std::string> Links(const std::string& html) {
    std::vector<std::string> links;
    for (size_t at = html.find("\"cva:"); at != std::string::npos; at = html.find("\"cva:", at + 1)) {
        size_t end = html.find('"', at + 1);
        if (end != std::string::npos) links.push_back(html.substr(at + 1, end - at - 1));
    }
    return links;
}

// What a user does who changes one item of the page and changes it back, then applies:
// the script runs with the page as it was opened. False when the page gave no way to.
bool ApplyAfterUndoneChange(COpenedPlugin& opened) {
    pages::SPageSnapshot snapshot = opened.Snapshot();
    auto firstItem = [&](auto&& wanted) -> int {
        for (const auto& item : snapshot.m_items)
            if (item.m_visible && item.m_enabled && wanted(item)) return item.m_index;
        return -1;
    };
    auto any = [](const pages::SItemSnapshot&) { return true; };
    switch (opened.Page().PageIndex()) {
    case pages::PAGE_CHECK: {
        auto& page = opened.PageAs<pages::CPropertyPageCheck>();
        int i = firstItem(any);
        return page.ClickItem(i) && page.ClickItem(i) && page.ClickApply();
    }
    case pages::PAGE_RADIO: {
        auto& page = opened.PageAs<pages::CPropertyPageRadio>();
        int i = firstItem([](const pages::SItemSnapshot& item) { return item.m_checked == 1; });
        return page.ClickItem(i) && page.ClickApply();
    }
    case pages::PAGE_EDIT: {
        auto& page = opened.PageAs<pages::CPropertyPageEdit>();
        int i = firstItem(any);
        return page.EditText(i, page.GetItemText(i)) && page.ClickApply();
    }
    case pages::PAGE_MULTI: {
        auto& page = opened.PageAs<pages::CPropertyPageMulti>();
        int box = firstItem([](const pages::SItemSnapshot& item) { return item.m_kind == "check"; });
        if (box >= 0) return page.ClickItem(box) && page.ClickItem(box) && page.ClickApply();
        int field = firstItem([](const pages::SItemSnapshot& item) { return item.m_kind == "edit"; });
        return page.EditText(field, page.GetItemText(field)) && page.ClickApply();
    }
    case pages::PAGE_LIST: {
        auto& page = opened.PageAs<pages::CPropertyPageList>();
        if (snapshot.m_buttons[0].m_icon) {
            bool toggled = !page.HasCheckBoxes() || (page.ToggleRowCheck(0) && page.ToggleRowCheck(0));
            return toggled && page.ClickApply();
        }
        // Button 0 with its own caption is a command on the selected row, which the
        // plugin's own tests cover; the others must leave the registry alone.
        bool pressed = false;
        for (const auto& button : snapshot.m_buttons)
            if (button.m_number > 0 && button.m_visible) pressed = page.ClickButton(button.m_number) || pressed;
        return pressed;
    }
    case pages::PAGE_HTML: {
        auto& page = opened.PageAs<pages::CPropertyPageHtml>();
        // A link may switch a setting: the second click switches it back.
        std::vector<std::string> links = Links(page.Html());
        for (const std::string& link : links)
            if (!page.FollowLink(link) || !page.FollowLink(link)) return false;
        return !links.empty();
    }
    default:
        return false;
    }
}

} // namespace

TEST_F(PluginCatalogue, CoversEveryPageKind) {
    std::set<std::string> kinds;
    for (const auto& path : ShippedPlugins()) kinds.insert(LoadFile(path).GetString("interface", "type", "none"));
    for (const char* kind : {"check", "radio", "edit", "list", "checklist", "multi", "html"})
        EXPECT_TRUE(kinds.count(kind)) << kind;
}

TEST_F(PluginCatalogue, SettingsPlaceEachPluginInTheCatalogue) {
    for (const auto& path : ShippedPlugins()) {
        SCOPED_TRACE(Name(path));
        plugin::CPluginFile file = LoadFile(path);
        std::string category = file.GetString("settings", "category", "none");
        // Outlook-bar folder, at least one tree node, the entry itself.
        size_t first = category.find("::");
        ASSERT_NE(first, std::string::npos);
        EXPECT_NE(category.find("::", first + 2), std::string::npos);
        int level = file.GetInt("settings", "LEVEL", -1);
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 4);
        if (level >= 3) {
            EXPECT_NE(file.GetString("settings", "Warning", "none"), "none");
        }
        EXPECT_NE(file.GetString("settings", "caption", "none"), "none");
        EXPECT_FALSE(file.ReadText(false).m_description.empty());
    }
}

TEST_F(PluginCatalogue, ScriptsCompileAndDefineTheirRoutines) {
    for (const auto& path : ShownPlugins(*s_target)) {
        SCOPED_TRACE(Name(path));
        // A "/*" left in the text would survive comment removal and break the script.
        EXPECT_EQ(plugin::RemoveBlockComments(LoadFile(path).ReadText(false).m_script).find("/*"),
                  std::string::npos);
        COpenedPlugin opened(*s_target, path);
        EXPECT_TRUE(opened.Opened());
        EXPECT_TRUE(opened.HasRoutine(u"OnInit"));
        EXPECT_TRUE(opened.HasRoutine(u"OnApply"));
        EXPECT_EQ(opened.Failures(), "");
    }
}

TEST_F(PluginCatalogue, DescriptionsReachThePageWithRealLineBreaks) {
    for (const auto& path : ShownPlugins(*s_target)) {
        SCOPED_TRACE(Name(path));
        COpenedPlugin opened(*s_target, path);
        const std::string& description = opened.Page().Description();
        EXPECT_FALSE(description.empty());
        EXPECT_EQ(description.find("\\r\\n"), std::string::npos);
        EXPECT_EQ(description.find("#="), std::string::npos);
        // Every line break is a CR LF pair, as the description box needs.
        for (size_t at = description.find('\n'); at != std::string::npos; at = description.find('\n', at + 1))
            EXPECT_TRUE(at > 0 && description[at - 1] == '\r') << at;
    }
}

TEST_F(PluginCatalogue, UntouchedPagesOfferNoApply) {
    for (const auto& path : ShownPlugins(*s_target)) {
        SCOPED_TRACE(Name(path));
        COpenedPlugin opened(*s_target, path);
        ASSERT_TRUE(opened.Opened()) << opened.Failures();
        pages::SPageSnapshot snapshot = opened.Snapshot();
        // A list's button 0 with a caption of its own is a command, usable at any time.
        bool applyButton = snapshot.m_hasApply || (!snapshot.m_buttons.empty() && snapshot.m_buttons[0].m_icon);
        if (!applyButton) continue;
        EXPECT_FALSE(opened.Page().IsApplyEnabled());
        EXPECT_FALSE(opened.Page().ClickApply());
        EXPECT_EQ(opened.Calls("OnApply"), 0);
    }
}

TEST_F(PluginCatalogue, ApplyingAChangeTakenBackChangesNothing) {
    for (const auto& path : ShownPlugins(*s_target)) {
        SCOPED_TRACE(Name(path));
        std::string before = RegistrySnapshot(*s_target);
        COpenedPlugin opened(*s_target, path);
        ASSERT_TRUE(opened.Opened()) << opened.Failures();
        ASSERT_TRUE(ApplyAfterUndoneChange(opened));
        EXPECT_GE(opened.Calls("OnApply"), 1);
        EXPECT_EQ(opened.Failures(), "");
        std::string after = RegistrySnapshot(*s_target);
        EXPECT_TRUE(after == before) << ChangedLines(before, after);
        EXPECT_EQ(opened.Restarts(), 0);
        EXPECT_EQ(opened.Logoffs(), 0);
        EXPECT_EQ(opened.Prompts().m_messages.size(), 0u);
    }
}

// A target that lacks the values the plugins read (a Wine prefix has few of them): each
// page shows Windows' own default for a missing value, and applying it unchanged must
// neither ask for a restart or log-off nor spell the defaults out in the registry.
class PluginsWithoutTheirValues : public PluginCatalogue {
protected:
    static void SetUpTestSuite() {
        PluginCatalogue::SetUpTestSuite();
        const struct {
            reg::HKEY m_root;
            const char* m_key;
            std::vector<const char*> m_names;
        } kValues[] = {
            {reg::HKEY_CURRENT_USER, "Control Panel\\Desktop",
             {"MenuShowDelay", "AutoEndTasks", "WaitToKillAppTimeout", "HungAppTimeout"}},
            {reg::HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Control", {"WaitToKillServiceTimeout"}},
            {reg::HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Control\\Session Manager\\Memory Management",
             {"ClearPageFileAtShutdown", "DisablePagingExecutive"}},
            {reg::HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Control\\CrashControl",
             {"AutoReboot", "LogEvent", "SendAlert", "Overwrite", "CrashDumpEnabled"}},
            {reg::HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Control\\FileSystem",
             {"NtfsDisableLastAccessUpdate", "NtfsDisable8dot3NameCreation"}},
            {reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
             {"AutoAdminLogon", "DefaultPassword"}},
            {reg::HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
             {"NoDriveTypeAutoRun"}},
            {reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
             {"NoDriveTypeAutoRun"}},
        };
        auto& registry = s_target->Registry();
        for (const auto& entry : kValues) {
            reg::HKEY key = nullptr;
            if (registry.RegOpenKeyExA(entry.m_root, entry.m_key, 0, reg::KEY_ALL_ACCESS, &key) != reg::ERROR_SUCCESS)
                continue;
            for (const char* name : entry.m_names) registry.RegDeleteValueA(key, name);
            registry.RegCloseKey(key);
        }
    }
};

TEST_F(PluginsWithoutTheirValues, ApplyingAChangeTakenBackAsksForNothingAndWritesNothing) {
    for (const auto& path : ShownPlugins(*s_target)) {
        // The explorer plugin always writes its three values, and needs nothing restarted.
        if (Name(path) == "explorer_files.cvp") continue;
        SCOPED_TRACE(Name(path));
        std::string before = RegistrySnapshot(*s_target);
        COpenedPlugin opened(*s_target, path);
        ASSERT_TRUE(opened.Opened()) << opened.Failures();
        ASSERT_TRUE(ApplyAfterUndoneChange(opened));
        EXPECT_EQ(opened.Failures(), "");
        std::string after = RegistrySnapshot(*s_target);
        EXPECT_TRUE(after == before) << ChangedLines(before, after);
        EXPECT_EQ(opened.Restarts(), 0);
        EXPECT_EQ(opened.Logoffs(), 0);
        EXPECT_EQ(opened.Prompts().m_messages.size(), 0u);
    }
}
