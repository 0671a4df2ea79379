// The catalogue scan reads a handful of keys from every plugin file; these measure
// that pattern for one parse with many lookups and for the per-call free functions.
#include "platform/ini/IniFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string PluginText() {
    std::string text = "[settings]\r\ncaption=Menu delay\r\ncategory=System::Menus::Delay\r\n"
                       "LEVEL=1\r\nOSVERSION=XP VISTA\r\nGROUP=1\r\nauthor=someone\r\n"
                       "[interface]\r\ntype=edit\r\n";
    for (int i = 0; i < 5; ++i)
        text += "Text" + std::to_string(i) + "=Item number " + std::to_string(i) + "\r\n";
    text += "#=A description line that explains the setting\r\n[script]\r\n";
    for (int i = 0; i < 120; ++i)
        text += "    value = ReadValue(\"HKCU\\Control Panel\\Desktop\\MenuShowDelay\")\r\n";
    return text;
}

const char* const kKeys[][2] = {{"settings", "caption"},   {"settings", "category"},
                                {"settings", "LEVEL"},     {"settings", "OSVERSION"},
                                {"settings", "GROUP"},     {"interface", "type"},
                                {"settings", "Encrypted"}, {"Settings", "author"}};

void ParseOnceManyLookups(benchmark::State& state) {
    const std::string text = PluginText();
    for (auto _ : state) {
        cva::ini::CIniFile file = cva::ini::CIniFile::FromText(text);
        for (const auto& key : kKeys)
            benchmark::DoNotOptimize(file.GetValue(key[0], key[1]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseOnceManyLookups);

void FreeFunctionsFromFile(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "cva-ini-bench.cvp").string();
    std::ofstream(path, std::ios::binary) << PluginText();
    char buffer[260];
    for (auto _ : state) {
        for (const auto& key : kKeys)
            benchmark::DoNotOptimize(cva::ini::GetPrivateProfileString(
                key[0], key[1], "none", buffer, sizeof buffer, path.c_str()));
    }
    state.SetItemsProcessed(state.iterations());
    std::remove(path.c_str());
}
BENCHMARK(FreeFunctionsFromFile);

} // namespace

BENCHMARK_MAIN();
