#include "plugins/OpenedPlugin.h"

#include "core/app/PluginKeys.h"
#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"
#include "platform/hive/RegEditFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace cva::test {

namespace {

std::unique_ptr<pages::CPropertyPageBase> MakePage(int pageIndex) {
    switch (pageIndex) {
    case pages::PAGE_CHECK: return std::make_unique<pages::CPropertyPageCheck>();
    case pages::PAGE_EDIT: return std::make_unique<pages::CPropertyPageEdit>();
    case pages::PAGE_RADIO: return std::make_unique<pages::CPropertyPageRadio>();
    case pages::PAGE_LIST: return std::make_unique<pages::CPropertyPageList>();
    case pages::PAGE_MULTI: return std::make_unique<pages::CPropertyPageMulti>();
    case pages::PAGE_HTML: return std::make_unique<pages::CPropertyPageHtml>();
    default: return nullptr;
    }
}

// The first line of a formatted script error is its description.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

} // namespace

std::vector<std::string> ShippedPlugins() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(CVA_PLUGIN_DIR))
        if (entry.path().extension() == ".cvp") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> ShownPlugins(const target::CTargetSystem& target) {
    const app::SVersionTarget filter{target.WindowsVersionCode(), target.Kind() == target::TargetKind::Wine};
    std::vector<std::string> shown;
    for (const std::string& path : ShippedPlugins())
        if (app::PassesVersionFilter(app::ReadPluginKeys(path).osVersion, filter, true)) shown.push_back(path);
    return shown;
}

std::string ShippedPlugin(const std::string& fileName) { return std::string(CVA_PLUGIN_DIR) + "/" + fileName; }

int CPluginPrompts::MessageBox(const std::string& text, const std::string&, unsigned int style) {
    // A script's Msg passes its style in 16 bits, so only the host's own reports carry
    // MB_SETFOREGROUND (script errors); a failed save is reported with its own text.
    if ((style & app::MB_SETFOREGROUND) != 0 || text.rfind("The changes to the registry", 0) == 0) {
        m_errors.push_back(text);
        return app::IDOK;
    }
    m_messages.push_back({text, style});
    return m_answer;
}

// The real host with the engine's routine list in view, so a test can tell a missing
// routine from one that did nothing.
class COpenedPlugin::CTestHost : public script::CHost_Proxy {
public:
    using CHost_Proxy::CHost_Proxy;
    bool HasRoutine(const char16_t* name) const { return m_pScript && m_pScript->HasRoutine(name); }
};

COpenedPlugin::COpenedPlugin(target::CTargetSystem& target, const std::string& path,
                             std::unique_ptr<pages::CPropertyPageBase> reuse, reg::HKEY userHive)
    : m_userHive(userHive) {
    m_file = plugin::CPluginFile::Load(path).value_or(plugin::CPluginFile());
    const std::string typeName = m_file.GetString("interface", "type", "none");
    std::optional<plugin::SPageType> type = plugin::MatchPageType(typeName);
    const int pageIndex = type ? type->m_pageIndex : pages::PAGE_MAIN;
    m_page = reuse && reuse->PageIndex() == pageIndex ? std::move(reuse) : MakePage(pageIndex);
    if (!m_page) return;
    m_page->SetOwner(&m_pageOwner);
    // ShowPage: the page starts enabled whatever the previous plugin's script did.
    m_page->EnableControls(true);
    m_page->SetWindowEnabled(true);
    // The window's list control gets check boxes for checklist plugins only.
    if (auto* list = dynamic_cast<pages::CPropertyPageList*>(m_page.get()))
        list->SetCheckBoxes(pages::PageForType(typeName).value_or(pages::SPageForType{}).m_checkBoxes);

    m_host = std::make_unique<CTestHost>(target, true);
    if (!m_host->CreateEngine(u"vbScript")) return;
    m_host->SetMainWindow(&m_hostOwner);

    // The steps of the main window's FillPage, in its order.
    const bool encrypted = m_file.GetInt("settings", "Encrypted", 0) != 0;
    m_page->LoadItems(path);
    plugin::SPluginText text = m_file.ReadText(encrypted);
    m_page->SetDescription(plugin::NormaliseDescription(text.m_description));
    const bool optionExplicit = m_file.GetInt("settings", "OPTIONEXPLICIT", 1) != 0;
    if (!m_host->ParseScript(
            plugin::ComposeScript(plugin::RemoveBlockComments(std::move(text.m_script)), optionExplicit)))
        return;
    Run("OnInit", {});
    m_page->AfterInit();
    m_opened = true;
}

COpenedPlugin::~COpenedPlugin() { m_host.reset(); }

std::unique_ptr<pages::CPropertyPageBase> COpenedPlugin::ReleasePage() {
    m_host.reset();
    if (m_page) m_page->SetOwner(nullptr);
    return std::move(m_page);
}

bool COpenedPlugin::HasRoutine(const char16_t* name) const { return m_host && m_host->HasRoutine(name); }

void COpenedPlugin::WrongPageKind() {
    std::fprintf(stderr, "the plugin opened on another page kind than the test expects\n");
    std::abort();
}

void COpenedPlugin::Run(const std::string& name, const std::vector<int32_t>& args) {
    m_calls.push_back(name);
    std::vector<vbs::Variant> values;
    for (int32_t arg : args) values.emplace_back(arg);
    uint32_t status = m_host->CallRoutine(text::Utf8ToUtf16(name), values);
    // A routine the script does not have is no failure: pages raise events for every
    // plugin, and most plugins leave them alone.
    if (status != script::S_OK && status != script::DISP_E_UNKNOWNNAME) {
        char code[16];
        std::snprintf(code, sizeof code, "%08x", status);
        m_failedCalls.push_back(name + " failed with " + code);
    }
}

int COpenedPlugin::Calls(const std::string& routine) const {
    return static_cast<int>(std::count(m_calls.begin(), m_calls.end(), routine));
}

std::string COpenedPlugin::Failures() const {
    std::string out;
    if (!m_host) out += "no page for the plugin's type\n";
    for (const std::string& error : m_prompts.m_errors) out += FirstLine(error) + "\n";
    for (const std::string& call : m_failedCalls) out += call + "\n";
    return out;
}

std::string RegistrySnapshot(target::CTargetSystem& target) {
    std::string all;
    for (const char* root : {"HKLM\\SOFTWARE", "HKLM\\SYSTEM\\ControlSet001", "HKEY_USERS"}) {
        reg::CRegPath path;
        std::string bytes;
        if (reg::ParseRegPath(root, path) &&
            hive::ExportRegEditFile(target.Registry(), path, hive::RegEditFormat::Regedit4, bytes) ==
                reg::ERROR_SUCCESS)
            all += bytes;
    }
    return all;
}

std::string ChangedLines(const std::string& before, const std::string& after) {
    auto lines = [](const std::string& text) {
        std::multiset<std::string> out;
        size_t pos = 0;
        for (size_t end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1) {
            size_t length = end - pos;
            if (length > 0 && text[end - 1] == '\r') --length; // REGEDIT4 lines end in CR LF
            out.insert(text.substr(pos, length));
        }
        return out;
    };
    std::multiset<std::string> a = lines(before), b = lines(after);
    std::string diff;
    for (const auto& line : a)
        if (!b.count(line)) diff += "- " + line + "\n";
    for (const auto& line : b)
        if (!a.count(line)) diff += "+ " + line + "\n";
    return diff;
}

} // namespace cva::test
