// Reads arbitrary bytes as an INI file, asks it what the profile functions ask, edits it
// and reads the result back: every text must load, and an edit must never change what
// another key reads.
#include "platform/ini/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <strings.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    cva::ini::CIniFile ini = cva::ini::CIniFile::FromText(bytes);

    char buffer[64];
    ini.GetProfileString(nullptr, nullptr, nullptr, buffer, sizeof buffer);
    ini.GetProfileString(nullptr, nullptr, "x", buffer, 1);
    ini.GetProfileString(nullptr, nullptr, "x", buffer, 0);
    const std::vector<std::string> sections = ini.SectionNames();
    for (const std::string& section : sections) {
        ini.GetProfileString(section.c_str(), nullptr, "", buffer, sizeof buffer);
        ini.GetProfileString(section.c_str(), nullptr, "", buffer, 2);
        for (const std::string& key : ini.KeyNames(section)) {
            ini.GetProfileString(section.c_str(), key.c_str(), "", buffer, sizeof buffer);
            ini.GetInt(section, key, 7);
        }
    }

    // An edit leaves every other value as it was.
    if (!sections.empty()) {
        const std::string& section = sections.front();
        const std::vector<std::string> keys = ini.KeyNames(section);
        cva::ini::CIniFile edited = cva::ini::CIniFile::FromText(ini.Text());
        if (edited.SetValue(section, "FuzzAddedKey", "value")) {
            cva::ini::CIniFile reread = cva::ini::CIniFile::FromText(edited.Text());
            for (const std::string& key : keys) {
                if (strcasecmp(key.c_str(), "FuzzAddedKey") == 0)
                    continue;
                if (reread.GetValue(section, key) != ini.GetValue(section, key))
                    std::abort();
            }
        }
        if (!keys.empty())
            edited.DeleteKey(section, keys.front());
        edited.DeleteSection(section);
        edited.Text();
    }
    return 0;
}
