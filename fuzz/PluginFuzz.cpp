// Reads arbitrary bytes as a plugin file the way the catalogue and a page do: the INI
// view of its sections, the description and script lines (plain and scrambled), the
// export lists and the page type.
#include "core/plugin/PluginFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace cva::plugin;
    if (size > 64 * 1024)
        return 0;
    CPluginFile file = CPluginFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
    NotAPluginReason(file);
    HeaderText(file, "Corvanta");
    MatchPageType(file.GetString("interface", "type", ""));
    file.GetString("settings", "category", "", 5);
    file.GetInt("settings", "LEVEL", 0);
    ReadExportList(file, "Key");
    ReadExportList(file, "Val");
    for (bool encrypted : {false, true}) {
        SPluginText text = file.ReadText(encrypted);
        NormaliseDescription(text.m_description);
        std::string script = RemoveBlockComments(text.m_script, &text.m_scriptLines);
        ComposeScript(script, encrypted);
    }
    return 0;
}
