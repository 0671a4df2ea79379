#include "core/plugin/PluginFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace cva::plugin {

namespace {

constexpr char kBlanks[] = " \t\r\n\v\f";

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// The prelude's constants; the blanks before "=" line up the names of each group.
struct SPreludeConstant {
    const char* name;
    const char* value;
    int width;
};
constexpr std::array<SPreludeConstant, 37> kPreludeConstants = {{
    {"Win95", "1", 9},
    {"WinNT", "2", 9},
    {"Win98", "3", 9},
    {"Win2000", "4", 9},
    {"WinME", "5", 9},
    {"WinXP", "6", 9},
    {"Win2003", "7", 9},
    {"WinVista", "8", 9},
    {"bit1", "&h1", 5},
    {"bit2", "&h2", 5},
    {"bit3", "&h4", 5},
    {"bit4", "&h8", 5},
    {"bit5", "&h10", 5},
    {"bit6", "&h20", 5},
    {"bit7", "&h40", 5},
    {"bit8", "&h80", 5},
    {"bit9", "&h100", 5},
    {"bit10", "&h200", 5},
    {"reg_sz", "1", 14},
    {"reg_dword", "2", 14},
    {"reg_binary", "3", 14},
    {"reg_expand_sz", "4", 14},
    {"reg_multi_sz", "5", 14},
    {"MB_OK", "&h00000000", 19},
    {"MB_OKCANCEL", "&h00000001", 19},
    {"MB_ABORTRETRYIGNORE", "&h00000002", 19},
    {"MB_YESNOCANCEL", "&h00000003", 19},
    {"MB_YESNO", "&h00000004", 19},
    {"MB_RETRYCANCEL", "&h00000005", 19},
    {"MB_ICONERROR", "&h00000010", 19},
    {"MB_ICONQUESTION", "&h00000020", 19},
    {"MB_ICONEXCLAMATION", "&h00000030", 19},
    {"MB_ICONINFORMATION", "&h00000040", 19},
    {"IDOK", "1", 9},
    {"IDCANCEL", "2", 9},
    {"IDYES", "6", 9},
    {"IDNO", "7", 9},
}};

std::string BuildPrelude() {
    std::string text;
    for (const SPreludeConstant& c : kPreludeConstants) {
        std::string name = c.name;
        name.resize(static_cast<size_t>(c.width), ' ');
        text += "Const " + name + " = " + c.value + "\n";
    }
    text += "function iif(psdStr, trueStr, falseStr)\n"
            " if psdStr <> 0 then\n"
            "\tiif = trueStr\n"
            " else \n"
            "\tiif = falseStr\n"
            " end if\n"
            "end function\n";
    return text;
}

} // namespace

std::optional<CPluginFile> CPluginFile::Load(const std::string& path) {
    std::optional<std::string> bytes = files::ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return FromBytes(std::move(*bytes));
}

std::optional<CPluginFile> CPluginFile::LoadPlugin(const std::string& path, std::string& why) {
    std::optional<CPluginFile> file = Load(path);
    if (!file) {
        why = "the file cannot be read";
        return std::nullopt;
    }
    why = NotAPluginReason(*file);
    if (!why.empty()) return std::nullopt;
    return file;
}

std::string NotAPluginReason(const CPluginFile& file) {
    if (file.Ini().HasSection("settings")) return {};
    const std::string& bytes = file.Bytes();
    if (Trim(bytes).empty()) return "the file is empty";
    // Text never holds a NUL byte; a UTF-16 plugin would have shown its sections above.
    if (bytes.find('\0') != std::string::npos) return "the file is binary, not a plugin's text";
    return "the file has no [settings] section";
}

CPluginFile CPluginFile::FromBytes(std::string bytes) {
    CPluginFile file;
    file.m_ini = ini::CIniFile::FromText(bytes);
    file.m_bytes = std::move(bytes);
    return file;
}

std::string CPluginFile::GetString(const char* section, const char* key, const char* defaultValue,
                                   uint32_t bufferSize) const {
    std::string buffer(bufferSize, '\0');
    uint32_t n = m_ini.GetProfileString(section, key, defaultValue, buffer.data(), bufferSize);
    buffer.resize(n);
    return buffer;
}

int CPluginFile::GetInt(const char* section, const char* key, int defaultValue) const {
    return m_ini.GetInt(section, key, defaultValue);
}

std::vector<std::string> ReadExportList(const CPluginFile& file, const char* prefix) {
    std::vector<std::string> list;
    for (int i = 0;; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "%s%d", prefix, i);
        std::string value = file.GetString("Export", key, "none", kExportValueBuffer);
        if (value.empty() || text::EqualsNoCaseUtf8(value, "none")) break;
        list.push_back(std::move(value));
    }
    return list;
}

std::string TextModeBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\x1A') break;
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += c;
    }
    return text;
}

std::string UnscrambleLine(std::string_view line) {
    std::string plain;
    plain.reserve(line.size());
    for (char c : line) {
        auto complement = static_cast<uint8_t>(~static_cast<uint8_t>(c));
        auto byte = static_cast<uint8_t>((complement << 2) | (complement >> 6));
        if (byte == 0) break;
        plain += static_cast<char>(byte);
    }
    return plain;
}

SPluginText CPluginFile::ReadText(bool encrypted) const {
    SPluginText result;
    const std::string text = TextModeBytes(m_bytes);
    bool inScript = false;
    size_t start = 0;
    uint32_t lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        if (inScript && encrypted) raw = UnscrambleLine(raw);
        // A NUL cannot be part of a line read as a C string.
        if (size_t nul = raw.find('\0'); nul != std::string::npos) raw.resize(nul);
        std::string_view line = Trim(raw);
        if (line.starts_with("//")) continue;
        if (StartsWithNoCase(line, "[export]") && line.size() == 8) result.m_hasExport = true;

        if (line.starts_with("#=")) {
            std::string part(line.substr(2));
            while (!part.empty() && part.back() == '"')
                part.pop_back();
            if (part.empty()) continue;
            ReplaceAll(part, "\\r\\n", "\r\n");
            result.m_description += part;
        } else if (!inScript) {
            if (line.size() == 8 && StartsWithNoCase(line, "[script]")) {
                inScript = true;
                result.m_hasScriptLine = true;
            }
        } else {
            result.m_script.append(line);
            result.m_script += '\n';
            result.m_scriptLines.push_back(lineNumber);
        }
    }
    return result;
}

std::string RemoveBlockComments(std::string text, std::vector<uint32_t>* lineNumbers) {
    for (;;) {
        size_t open = text.find("/*");
        if (open == std::string::npos) break;
        size_t close = text.find("*/", open + 2);
        if (close == std::string::npos) break;
        if (lineNumbers) {
            const auto at = text.begin();
            const auto next = std::count(at, at + open, '\n') + 1;
            const auto joined = std::count(at + open, at + close, '\n');
            if (next + joined <= std::ssize(*lineNumbers))
                lineNumbers->erase(lineNumbers->begin() + next, lineNumbers->begin() + next + joined);
        }
        text.erase(open, close + 2 - open);
    }
    return text;
}

std::string NormaliseDescription(std::string_view description) {
    std::string text(description);
    // A CR LF is one break; left alone, its CR would survive in front of the new one.
    ReplaceAll(text, "\r\n", "<br>");
    ReplaceAll(text, "\n", "<br>");
    ReplaceAll(text, "\\n", "<br>");
    ReplaceAll(text, "<br>", "\r\n");
    return text;
}

std::string_view ScriptPrelude() {
    static const std::string prelude = BuildPrelude();
    return prelude;
}

std::u16string ComposeScript(std::string_view scriptLines, bool optionExplicit) {
    std::string text;
    text.reserve(scriptLines.size() + ScriptPrelude().size() + 16);
    if (optionExplicit) text += "option explicit\n";
    text += ScriptPrelude();
    text += scriptLines;
    return text::Utf8ToUtf16(text);
}

uint32_t ComposedScriptFirstLine(bool optionExplicit) {
    const std::string_view prelude = ScriptPrelude();
    return static_cast<uint32_t>(std::count(prelude.begin(), prelude.end(), '\n')) + (optionExplicit ? 1 : 0);
}

std::optional<SPageType> MatchPageType(std::string_view type) {
    struct SName {
        const char* name;
        SPageType page;
    };
    static constexpr std::array<SName, 7> kNames = {{
        {"check", {1, 1}},
        {"edit", {2, 2}},
        {"radio", {3, 3}},
        {"list", {4, 4}},
        {"checklist", {4, 5}},
        {"multi", {5, 6}},
        {"html", {6, 7}},
    }};
    std::optional<SPageType> match;
    for (const SName& entry : kNames) {
        if (StartsWithNoCase(type, entry.name)) match = entry.page;
    }
    return match;
}

std::string HeaderText(const CPluginFile& file, std::string_view programName) {
    std::string header = file.GetString("settings", "caption", "none");
    if (text::EqualsNoCaseUtf8(header, "none")) {
        std::string fallback(programName);
        header = file.GetString("settings", "category", fallback.c_str());
    }
    ReplaceAll(header, "::", " > ");
    return header;
}

std::string PluginFileName(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace cva::plugin
