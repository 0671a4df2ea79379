#include "plugins/PluginRun.h"

#include "core/script/HostProxy.h"
#include "platform/hive/RegEditFile.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace cva::test {

namespace {

// The fixed lines every plugin script runs behind, as the program composes them.
const char* const kPrelude =
    "Const Win95 = 1\nConst WinNT = 2\nConst Win98 = 3\nConst Win2000 = 4\nConst WinME = 5\n"
    "Const WinXP = 6\nConst Win2003 = 7\nConst WinVista = 8\n"
    "Const bit1 = &h1\nConst bit2 = &h2\nConst bit3 = &h4\nConst bit4 = &h8\nConst bit5 = &h10\n"
    "Const bit6 = &h20\nConst bit7 = &h40\nConst bit8 = &h80\nConst bit9 = &h100\nConst bit10 = &h200\n"
    "Const reg_sz = 1\nConst reg_dword = 2\nConst reg_binary = 3\nConst reg_expand_sz = 4\n"
    "Const reg_multi_sz = 5\n"
    "Const MB_OK = &h00000000\nConst MB_OKCANCEL = &h00000001\nConst MB_ABORTRETRYIGNORE = &h00000002\n"
    "Const MB_YESNOCANCEL = &h00000003\nConst MB_YESNO = &h00000004\nConst MB_RETRYCANCEL = &h00000005\n"
    "Const MB_ICONERROR = &h00000010\nConst MB_ICONQUESTION = &h00000020\n"
    "Const MB_ICONEXCLAMATION = &h00000030\nConst MB_ICONINFORMATION = &h00000040\n"
    "Const IDOK = 1\nConst IDCANCEL = 2\nConst IDYES = 6\nConst IDNO = 7\n"
    "function iif(psdStr, trueStr, falseStr)\n if psdStr <> 0 then\n\tiif = trueStr\n else \n"
    "\tiif = falseStr\n end if\nend function\n";

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

bool StartsNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && text::EqualsNoCaseUtf8(s.substr(0, prefix.size()), prefix);
}

// The page kind the main window picks: the last type name the value begins with.
std::string PageKind(const std::string& type) {
    std::string kind;
    for (const char* name : {"check", "edit", "radio", "list", "checklist", "multi", "html"})
        if (StartsNoCase(type, name)) kind = name;
    return kind;
}

std::string HexText(const uint8_t* data, size_t size) {
    std::string out;
    char buf[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

} // namespace

std::string SPluginText::Key(const char* section, const char* key, const char* def) const {
    char buf[260];
    ini::GetPrivateProfileString(section, key, def, buf, sizeof buf, m_path.c_str());
    return buf;
}

int SPluginText::IntKey(const char* section, const char* key, int def) const {
    return ini::GetPrivateProfileInt(section, key, def, m_path.c_str());
}

SPluginText ReadPlugin(const std::string& path) {
    SPluginText plugin;
    plugin.m_path = path;
    std::ifstream in(path);
    std::string line;
    bool inScript = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.rfind("//", 0) == 0) continue;
        if (line.rfind("#=", 0) == 0) {
            std::string d = line.substr(2);
            while (!d.empty() && d.back() == '"') d.pop_back();
            plugin.m_description += d;
        } else if (!inScript) {
            inScript = text::EqualsNoCaseUtf8(line, "[script]");
        } else {
            plugin.m_script += line + "\n";
        }
    }
    for (;;) {
        size_t a = plugin.m_script.find("/*");
        if (a == std::string::npos) break;
        size_t b = plugin.m_script.find("*/", a);
        if (b == std::string::npos) break;
        plugin.m_script.erase(a, b + 2 - a);
    }
    return plugin;
}

std::vector<std::string> ShippedPlugins() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(CVA_PLUGIN_DIR))
        if (entry.path().extension() == ".cvp") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ComposeScript(const SPluginText& plugin) {
    std::string text;
    if (plugin.IntKey("settings", "OPTIONEXPLICIT", 1) != 0) text = "option explicit\n";
    return text + kPrelude + plugin.m_script;
}

CPluginRun::CPluginRun(target::CTargetSystem& target, const SPluginText& plugin)
    : m_target(target), m_plugin(plugin), m_kind(PageKind(plugin.Key("interface", "type"))) {
    m_engine.SetSite(this);
    m_engine.AddHostItem(u"ScriptHost", script::HostFunctionTable(), *this);
}

bool CPluginRun::Parse() {
    return m_engine.ParseScript(text::Utf8ToUtf16(ComposeScript(m_plugin)));
}

bool CPluginRun::Call(const char16_t* routine, int32_t a, int32_t b, bool withArgs) {
    size_t before = m_errors.size();
    vbs::Variant args[2] = {vbs::Variant(a), vbs::Variant(b)};
    auto outcome = m_engine.CallRoutine(routine, std::span<const vbs::Variant>(args, withArgs ? 2 : 0));
    return outcome.status == vbs::CallStatus::Ok && m_errors.size() == before;
}

void CPluginRun::OnScriptError(const vbs::ScriptErrorInfo& error) {
    m_errors.push_back(text::Utf16ToUtf8(error.description) + " (line " + std::to_string(error.line) +
                       "): " + text::Utf16ToUtf8(error.lineText));
}

bool CPluginRun::InRange(int i) const {
    if (m_kind == "list" || m_kind == "checklist") return i >= 0 && i < static_cast<int>(m_rows.size());
    int count = m_kind == "check" ? 7 : 5;
    return i >= 0 && i < count;
}

CPluginRun::SItem& CPluginRun::Item(int i) {
    if (i >= static_cast<int>(m_rows.size())) m_rows.resize(i + 1);
    return m_rows[i];
}

void CPluginRun::SetCheck(int i, bool on) {
    if (m_kind == "multi") Item(i).m_text = on ? "1" : "";
    else Item(i).m_checked = on;
}

bool CPluginRun::Checked(int i) {
    return m_kind == "multi" ? Item(i).m_text == "1" : Item(i).m_checked;
}

std::string CPluginRun::Sub(int row, int column) {
    auto& sub = Item(row).m_sub;
    auto it = sub.find(column);
    return it == sub.end() ? std::string() : it->second;
}

reg::HKEY CPluginRun::Root(const std::string& name) const {
    using namespace text;
    if (EqualsNoCaseUtf8(name, "HKLM") || EqualsNoCaseUtf8(name, "HKEY_LOCAL_MACHINE")) return reg::HKEY_LOCAL_MACHINE;
    if (EqualsNoCaseUtf8(name, "HKCU") || EqualsNoCaseUtf8(name, "HKEY_CURRENT_USER")) return reg::HKEY_CURRENT_USER;
    if (EqualsNoCaseUtf8(name, "HKAU") || EqualsNoCaseUtf8(name, "HKEY_USERS")) return reg::HKEY_USERS;
    if (EqualsNoCaseUtf8(name, "HKCR") || EqualsNoCaseUtf8(name, "HKEY_CLASSES_ROOT")) return reg::HKEY_CLASSES_ROOT;
    if (EqualsNoCaseUtf8(name, "HKCC") || EqualsNoCaseUtf8(name, "HKEY_CURRENT_CONFIG")) return reg::HKEY_CURRENT_CONFIG;
    return nullptr;
}

bool CPluginRun::SplitValue(const std::string& path, reg::HKEY& root, std::string& key,
                            std::string& value) const {
    size_t first = path.find('\\'), last = path.rfind('\\');
    if (first == std::string::npos || first == last) return false;
    root = Root(path.substr(0, first));
    key = path.substr(first + 1, last - first - 1);
    value = path.substr(last + 1);
    return root != nullptr;
}

bool CPluginRun::Query(const std::string& path, reg::DWORD& type, std::vector<uint8_t>& data) {
    reg::HKEY root, key;
    std::string sub, name;
    if (!SplitValue(path, root, sub, name)) return false;
    auto& r = m_target.Registry();
    if (r.RegOpenKeyExA(root, sub.c_str(), 0, reg::KEY_ALL_ACCESS, &key) != reg::ERROR_SUCCESS) return false;
    data.assign(260, 0);
    reg::DWORD size = 260;
    bool ok = r.RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size) == reg::ERROR_SUCCESS;
    r.RegCloseKey(key);
    data.resize(ok ? size : 0);
    return ok;
}

void CPluginRun::Write(const std::string& path, reg::DWORD type, const std::vector<uint8_t>& data) {
    reg::HKEY root, key;
    std::string sub, name;
    if (!SplitValue(path, root, sub, name)) return;
    auto& r = m_target.Registry();
    if (r.RegCreateKeyExA(root, sub.c_str(), 0, nullptr, 0, reg::KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        reg::ERROR_SUCCESS)
        return;
    r.RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<reg::DWORD>(data.size()));
    r.RegCloseKey(key);
}

vbs::Status CPluginRun::Call(int32_t memberId, std::span<vbs::HostValue> args, vbs::HostValue& result) {
    const std::string& name = script::HostFunctionTable().at(memberId - 1).name;
    auto& r = m_target.Registry();
    auto text = [&](size_t i) { return args[i].text; };
    auto num = [&](size_t i) { return args[i].number; };
    reg::DWORD type = 0;
    std::vector<uint8_t> data;

    if (name == "RegReadValueS") {
        if (Query(text(0), type, data) && (type == reg::REG_SZ || type == reg::REG_EXPAND_SZ) && !data.empty()) {
            data.back() = 0; // text without its terminator loses its last character
            std::string s = reinterpret_cast<const char*>(data.data());
            result.text = type == reg::REG_SZ ? s : m_target.ExpandEnvironmentStrings(s);
        } else if (type == reg::REG_BINARY) {
            result.text = HexText(data.data(), data.size());
        }
    } else if (name == "RegReadValueD") {
        if (Query(text(0), type, data) && data.size() <= 4) {
            uint32_t v = 0;
            for (size_t i = 0; i < data.size(); ++i) v |= static_cast<uint32_t>(data[i]) << (8 * i);
            result.number = static_cast<int32_t>(v);
        }
    } else if (name == "RegValueExists") {
        result.flag = Query(text(0), type, data);
    } else if (name == "RegWriteValueS") {
        std::string s = text(1);
        Write(text(0), reg::REG_SZ, std::vector<uint8_t>(s.c_str(), s.c_str() + s.size() + 1));
    } else if (name == "RegWriteValueD") {
        uint32_t v = static_cast<uint32_t>(num(1));
        Write(text(0), reg::REG_DWORD, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    } else if (name == "RegDeleteVal") {
        reg::HKEY root, key;
        std::string sub, value;
        if (SplitValue(text(0), root, sub, value) &&
            r.RegOpenKeyExA(root, sub.c_str(), 0, reg::KEY_ALL_ACCESS, &key) == reg::ERROR_SUCCESS) {
            r.RegDeleteValueA(key, value.c_str());
            r.RegCloseKey(key);
        }
    } else if (name == "RegOpenKey") {
        result.number = -1;
        size_t first = text(0).find('\\');
        reg::HKEY key;
        if (first != std::string::npos && Root(text(0).substr(0, first)) &&
            r.RegOpenKeyExA(Root(text(0).substr(0, first)), text(0).substr(first + 1).c_str(), 0,
                            reg::KEY_ALL_ACCESS, &key) == reg::ERROR_SUCCESS) {
            m_keys.push_back(key);
            result.number = static_cast<int32_t>(m_keys.size() - 1);
        }
    } else if (name == "RegCloseKey") {
        if (num(0) >= 0 && num(0) < static_cast<int32_t>(m_keys.size()) && m_keys[num(0)]) {
            r.RegCloseKey(m_keys[num(0)]);
            m_keys[num(0)] = nullptr;
        }
    } else if (name == "RegEnumValue" || name == "RegValCount") {
        reg::HKEY key = num(0) >= 0 && num(0) < static_cast<int32_t>(m_keys.size()) ? m_keys[num(0)] : nullptr;
        if (key && name == "RegValCount") {
            reg::DWORD values = 0;
            r.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr);
            result.number = static_cast<int32_t>(values);
        } else if (key) {
            char buf[260];
            reg::DWORD chars = sizeof buf;
            if (r.RegEnumValueA(key, static_cast<reg::DWORD>(num(1)), buf, &chars, nullptr, nullptr, nullptr,
                                nullptr) == reg::ERROR_SUCCESS)
                result.text = chars == 0 ? "null" : std::string(buf, chars);
        }
    } else if (name == "SetItemText") {
        int i = num(0);
        if (m_kind == "html") {
            Item(0).m_text = text(1);
        } else if (m_kind == "list" || m_kind == "checklist") {
            if (InRange(i) && text(1).empty()) m_rows.erase(m_rows.begin() + i);
            else if (InRange(i)) m_rows[i].m_text = text(1);
            else if (i >= 0) m_rows.insert(m_rows.begin() + std::min<size_t>(i, m_rows.size()), SItem{text(1), false, true, 0, {}});
        } else if (InRange(i) && m_kind != "check" && m_kind != "radio") {
            Item(i).m_text = m_kind == "multi" ? Trim(text(1)) : text(1);
        }
    } else if (name == "GetItemText") {
        if (m_kind == "html") result.text = Item(0).m_text;
        else if (InRange(num(0)) && m_kind != "check" && m_kind != "radio") result.text = Item(num(0)).m_text;
    } else if (name == "SetItemTextEx") {
        if (InRange(num(0))) Item(num(0)).m_sub[num(1)] = text(2);
    } else if (name == "CheckItem") {
        if (InRange(num(0))) SetCheck(num(0), args[1].flag);
    } else if (name == "IsItemChecked") {
        // The host turns the page's -1 for an index out of range into True.
        result.flag = !InRange(num(0)) || Checked(num(0));
    } else if (name == "GetItemCount") {
        result.number = (m_kind == "list" || m_kind == "checklist") ? Rows() : 0;
    } else if (name == "SetItemData") {
        if (InRange(num(0))) Item(num(0)).m_data = num(1);
    } else if (name == "GetItemData") {
        result.number = InRange(num(0)) ? Item(num(0)).m_data : 0;
    } else if (name == "EnableItem") {
        if (InRange(num(0))) Item(num(0)).m_enabled = args[1].flag;
    } else if (name == "Msg") {
        ++m_messages;
        result.number = m_answer;
    } else if (name == "Restart") {
        ++m_restarts;
    } else if (name == "Logoff") {
        ++m_logoffs;
    } else if (name == "NotifySettingChange") {
    } else {
        m_errors.push_back("host function not covered by the test host: " + name);
    }
    return vbs::Status::Ok();
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

} // namespace cva::test
