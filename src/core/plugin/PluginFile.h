#pragma once

#include "platform/ini/IniFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::plugin {

// Windows' profile functions copy a value into the caller's buffer; plugin readers use
// 260 characters (259 seen), the export lists 500.
constexpr uint32_t kValueBuffer = 260;
constexpr uint32_t kExportValueBuffer = 500;

// What the line reader finds in a plugin file.
struct SPluginText {
    std::string m_description; // "#=" lines joined, "\r\n" escapes already line breaks
    std::string m_script;      // the lines after "[script]", each ended by a line feed
    std::vector<uint32_t> m_scriptLines; // the file's line (from 1) of each line of m_script
    bool m_hasExport = false;  // an "[export]" line anywhere
    bool m_hasScriptLine = false;
};

// One plugin file, read from disk once and then seen two ways: as an INI file (the
// "settings", "interface" and "Export" sections) and as text lines (description and
// script). The catalogue reads a few keys of many files; the main window reads
// everything of one.
class CPluginFile {
public:
    CPluginFile() = default;

    // std::nullopt when the file cannot be read.
    static std::optional<CPluginFile> Load(const std::string& path);
    static CPluginFile FromBytes(std::string bytes);
    // The file as a page is opened from it: std::nullopt, with `why` set, when it cannot
    // be read or is no plugin file (see NotAPluginReason).
    static std::optional<CPluginFile> LoadPlugin(const std::string& path, std::string& why);

    // GetPrivateProfileString with a buffer of `bufferSize` characters: a value longer
    // than the buffer is cut (never inside a UTF-8 sequence).
    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          uint32_t bufferSize = kValueBuffer) const;
    int GetInt(const char* section, const char* key, int defaultValue) const;
    const ini::CIniFile& Ini() const { return m_ini; }

    // The text reading of the file. With `encrypted`, the lines after "[script]" are
    // unscrambled before anything else looks at them.
    SPluginText ReadText(bool encrypted) const;

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    ini::CIniFile m_ini;
};

// Why these bytes are no plugin file (empty, binary, or text without a "[settings]"
// section); empty when they are one. Every plugin names at least its category there.
std::string NotAPluginReason(const CPluginFile& file);

// An export list of the "Export" section: the values of prefix0, prefix1, ... ("Key" for
// whole keys, "Val" for key paths ending in a value name), up to the first that is
// missing or "none".
std::vector<std::string> ReadExportList(const CPluginFile& file, const char* prefix);

// The file's bytes as a text-mode read sees them: CR LF pairs become LF, and a Ctrl+Z
// ends the text.
std::string TextModeBytes(std::string_view bytes);

// One scrambled script line made readable: each byte complemented and rotated left by
// two bits; the line ends at the first zero byte this yields.
std::string UnscrambleLine(std::string_view line);

// Cuts out every "/* ... */"; an unterminated "/*" is left in place. A comment over several
// lines joins them to the one it starts on; lineNumbers (one entry per line of text) then
// loses the entries of the lines that were joined.
std::string RemoveBlockComments(std::string text, std::vector<uint32_t>* lineNumbers = nullptr);

// The description as the page shows it: "\n" escapes, "<br>" and line feeds (a CR LF
// counting as one) all become CR LF.
std::string NormaliseDescription(std::string_view description);

// The fixed lines placed in front of every plugin script (44 lines, 1063 characters).
std::string_view ScriptPrelude();

// "option explicit" (unless switched off), the prelude, then the plugin's own lines,
// converted to the engine's UTF-16.
std::u16string ComposeScript(std::string_view scriptLines, bool optionExplicit);
// The line (from 0) of ComposeScript's text where the plugin's own lines begin.
uint32_t ComposedScriptFirstLine(bool optionExplicit);

// The page chosen by the "type" key.
struct SPageType {
    int m_pageIndex = 0;  // pages::EPageIndex
    int m_pluginKind = 0; // 1 check .. 7 html
};
// Each type name the value begins with (without regard to case) overrides the earlier
// ones, so "checklist" ends as the list page with check boxes; nothing for other types.
std::optional<SPageType> MatchPageType(std::string_view type);

// The header text: the caption, or the category when the caption is "none"; "::"
// shown as " > ".
std::string HeaderText(const CPluginFile& file, std::string_view programName);

// The part of a plugin path after its last folder separator.
std::string PluginFileName(std::string_view path);

} // namespace cva::plugin
