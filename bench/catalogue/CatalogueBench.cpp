// Start-up cost of the catalogue: a full scan of a plugin folder against a start from
// cache.dat, with a folder of 1,000 plugin files shaped like the shipped ones.
#include "core/app/PluginCatalogue.h"
#include "platform/files/AtomicFile.h"
#include "platform/ini/IniFile.h"
#include "platform/settings/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
constexpr int kPlugins = 1000;

const char* const kFolders[] = {"System", "Desktop", "Network", "Security", "Explorer", "Applications"};
const char* const kNodes[] = {"General", "Performance", "Appearance", "Startup", "Privacy",
                              "Advanced", "Services", "Logon"};

void WritePluginFile(const std::string& path, int i) {
    std::ofstream out(path, std::ios::binary);
    out << "[settings]\r\n"
        << "caption=Tweak number " << i << "::Details\r\n"
        << "category=" << kFolders[i % 6] << "::" << kNodes[i % 8] << "::Sub " << (i % 5)
        << "::Tweak " << i << "\r\n"
        << "LEVEL=" << (i % 5) << "\r\n"
        << "OSVERSION=" << ((i % 3 == 0) ? "none" : "XP 2000 2003 VISTA") << "\r\n"
        << "GROUP=" << (i % 4) << "\r\nauthor=null\r\nOPTIONEXPLICIT=1\r\n"
        << "[interface]\r\ntype=check\r\n";
    for (int t = 0; t < 7; ++t) out << "Text" << t << "=Option " << t << " of tweak " << i << "\r\n";
    out << "[Export]\r\nKey0=HKCU\\Software\\Example\\Tweak" << i << "\r\nVal0=none\r\n";
    for (int d = 0; d < 4; ++d)
        out << "#=This page changes a hidden setting of the system, line " << d << ".\\n\r\n";
    out << "[script]\r\n";
    for (int s = 0; s < 15; ++s) {
        out << "Sub Routine" << s << "\r\n"
            << "    Dim value\r\n"
            << "    value = ScriptHost.RegReadDWORD(\"HKCU\\Software\\Example\\Tweak" << i
            << "\\Value" << s << "\")\r\n"
            << "    SetItemChecked " << (s % 7) << ", value <> 0\r\n"
            << "End Sub\r\n";
    }
}

struct SFolder {
    SFolder() {
        char pattern[] = "/tmp/cvabench.XXXXXX";
        root = ::mkdtemp(pattern);
        fs::create_directories(root + "/plugins");
        fs::create_directories(root + "/profile");
        for (int i = 0; i < kPlugins; ++i) {
            char name[32];
            snprintf(name, sizeof name, "tweak%04d.cvp", i);
            WritePluginFile(root + "/plugins/" + name, i);
        }
        settings = std::make_unique<cva::settings::CSettingsStore>(root + "/config");
        settings->WriteProfileString("Settings", "PluginDir", (root + "/plugins").c_str());
        settings->WriteProfileString("Settings", "ProfileDir", (root + "/profile").c_str());
    }
    ~SFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string root;
    std::unique_ptr<cva::settings::CSettingsStore> settings;
};

SFolder& Folder() {
    static SFolder folder;
    return folder;
}

void BM_FullScan(benchmark::State& state) {
    SFolder& folder = Folder();
    for (auto _ : state) {
        folder.settings->WriteProfileInt("Settings", "CacheValid", 0);
        cva::app::CPluginCatalogue catalogue(*folder.settings, 7);
        catalogue.BuildCatalogue(0);
        benchmark::DoNotOptimize(catalogue.m_plugins.data());
        state.counters["entries"] = static_cast<double>(catalogue.m_plugins.size());
    }
}
// Process CPU time, so the second reading thread is counted too.
BENCHMARK(BM_FullScan)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_CachedStart(benchmark::State& state) {
    SFolder& folder = Folder();
    {
        folder.settings->WriteProfileInt("Settings", "CacheValid", 0);
        cva::app::CPluginCatalogue catalogue(*folder.settings, 7);
        catalogue.BuildCatalogue(0);
        catalogue.SaveCatalogueCache();
    }
    for (auto _ : state) {
        cva::app::CPluginCatalogue catalogue(*folder.settings, 7);
        catalogue.BuildCatalogue(0);
        benchmark::DoNotOptimize(catalogue.m_plugins.data());
        state.counters["entries"] = static_cast<double>(catalogue.m_plugins.size());
    }
}
BENCHMARK(BM_CachedStart)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_SaveCacheAtExit(benchmark::State& state) {
    SFolder& folder = Folder();
    folder.settings->WriteProfileInt("Settings", "CacheValid", 0);
    cva::app::CPluginCatalogue catalogue(*folder.settings, 7);
    catalogue.BuildCatalogue(0);
    for (auto _ : state) {
        folder.settings->WriteProfileInt("Settings", "CacheValid", 0);
        benchmark::DoNotOptimize(catalogue.SaveCatalogueCache());
    }
}
BENCHMARK(BM_SaveCacheAtExit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_ReadKeysOneFile(benchmark::State& state) {
    const std::string path = Folder().root + "/plugins/tweak0001.cvp";
    for (auto _ : state) benchmark::DoNotOptimize(cva::app::ReadPluginKeys(path));
}
BENCHMARK(BM_ReadKeysOneFile)->Unit(benchmark::kMicrosecond);

void BM_ParseWholeFile(benchmark::State& state) {
    const std::string text = *cva::files::ReadWholeFile(Folder().root + "/plugins/tweak0001.cvp");
    for (auto _ : state) benchmark::DoNotOptimize(cva::ini::CIniFile::FromText(text));
}
BENCHMARK(BM_ParseWholeFile)->Unit(benchmark::kMicrosecond);

void BM_ReadFileOnly(benchmark::State& state) {
    const std::string path = Folder().root + "/plugins/tweak0001.cvp";
    for (auto _ : state) benchmark::DoNotOptimize(cva::files::ReadWholeFile(path));
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
