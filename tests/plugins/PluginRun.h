#pragma once

#include "platform/target/TargetSystem.h"
#include "vbscript/Engine.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cva::test {

// A plugin file read the way the program reads it: INI keys through the profile
// functions, description and script through the line reader.
struct SPluginText {
    std::string m_path;
    std::string m_description;
    std::string m_script; // the plugin's own lines, block comments removed
    std::string Key(const char* section, const char* key, const char* def = "none") const;
    int IntKey(const char* section, const char* key, int def) const;
};
SPluginText ReadPlugin(const std::string& path);
std::vector<std::string> ShippedPlugins();

// The text handed to the engine: "option explicit", the prelude, the script.
std::string ComposeScript(const SPluginText& plugin);

// Runs one plugin's script against a target with a page double of the plugin's kind.
// The registry functions the shipped plugins call act on the target's registry with
// the host's path rules; the page keeps item texts, check marks and data.
class CPluginRun : public vbs::IHostItem, public vbs::IScriptSite {
public:
    CPluginRun(target::CTargetSystem& target, const SPluginText& plugin);

    bool Parse();                          // false on a compile or top-level error
    bool Call(const char16_t* routine, int32_t a = 0, int32_t b = 0, bool withArgs = true);
    bool Init() { return Call(u"OnInit", 0, 0, false); }
    bool Apply(int32_t a, int32_t b) { return Call(u"OnApply", a, b); }
    bool HasRoutine(const char16_t* name) const { return m_engine.HasRoutine(name); }

    // What the user does on the page.
    void SetText(int i, const std::string& text) { Item(i).m_text = text; }
    void SetCheck(int i, bool on);
    std::string Text(int i) { return Item(i).m_text; }
    bool Checked(int i);
    bool Enabled(int i) { return Item(i).m_enabled; }
    int Rows() const { return static_cast<int>(m_rows.size()); }
    std::string Sub(int row, int column);
    int32_t Data(int row) { return Item(row).m_data; }

    void AnswerMessages(int16_t answer) { m_answer = answer; }
    int Messages() const { return m_messages; }
    int Restarts() const { return m_restarts; }
    int Logoffs() const { return m_logoffs; }
    const std::vector<std::string>& Errors() const { return m_errors; }

    vbs::Status Call(int32_t memberId, std::span<vbs::HostValue> args, vbs::HostValue& result) override;
    void OnScriptError(const vbs::ScriptErrorInfo& error) override;

private:
    struct SItem {
        std::string m_text;
        bool m_checked = false;
        bool m_enabled = true;
        int32_t m_data = 0;
        std::map<int, std::string> m_sub;
    };
    SItem& Item(int i);
    bool InRange(int i) const;

    // Registry side of the host, over the target.
    reg::HKEY Root(const std::string& name) const;
    bool SplitValue(const std::string& path, reg::HKEY& root, std::string& key, std::string& value) const;
    bool Query(const std::string& path, reg::DWORD& type, std::vector<uint8_t>& data);
    void Write(const std::string& path, reg::DWORD type, const std::vector<uint8_t>& data);

    target::CTargetSystem& m_target;
    const SPluginText& m_plugin;
    std::string m_kind;
    vbs::CScriptEngine m_engine;
    std::vector<SItem> m_rows; // list pages: the rows; other pages: items 0..n
    std::vector<reg::HKEY> m_keys;
    int16_t m_answer = 6; // IDYES
    int m_messages = 0, m_restarts = 0, m_logoffs = 0;
    std::vector<std::string> m_errors;
};

// The whole registry of the target as text, for before/after comparisons.
std::string RegistrySnapshot(target::CTargetSystem& target);

} // namespace cva::test
