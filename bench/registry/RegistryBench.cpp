// Load and save of a system.reg the size and shape of a fresh Wine 8 prefix, value
// queries on open keys, and enumeration of a key with 10,000 subkeys.
//
// The file is generated; set CVA_BENCH_SYSTEM_REG to a real system.reg (made by
// "wineboot -i") to measure that instead.
#include "platform/hive/WineRegFile.h"
#include "platform/registry/Registry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace cva;
using namespace cva::reg;

namespace {

// Deterministic numbers, so every run measures the same file.
class CSequence {
public:
    uint32_t Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }

private:
    uint32_t m_state = 12345;
};

std::string Guid(CSequence& seq) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%04X-%06X%06X}", seq.Next(),
                  seq.Next() & 0xFFFF, seq.Next() & 0xFFFF, seq.Next() & 0xFFFF,
                  seq.Next() & 0xFFFFFF, seq.Next() & 0xFFFFFF);
    return buf;
}

std::string Section(const std::string& path, uint32_t seconds) {
    uint64_t t = seconds * kTicksPerSecond + kFileTimeUnixEpoch;
    char buf[64];
    std::snprintf(buf, sizeof buf, "] %u\n#time=%x%08x\n", seconds, static_cast<unsigned>(t >> 32),
                  static_cast<unsigned>(t));
    return "\n[" + path + buf;
}

// A system.reg in Wine's layout, heavy on COM registrations as Wine's is, with time
// zones (wrapped hex), fonts, expandable strings and dwords; about 1.9 MB.
std::string GenerateSystemReg() {
    CSequence seq;
    std::string out =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
    const uint32_t t = 1700000000;
    for (int i = 0; i < 2650; ++i) {
        std::string clsid = "Software\\\\Classes\\\\CLSID\\\\" + Guid(seq);
        out += Section(clsid, t) + "@=\"Wine component " + std::to_string(i) + "\"\n";
        out += Section(clsid + "\\\\InprocServer32", t) + "@=\"C:\\\\windows\\\\system32\\\\comp" +
               std::to_string(i % 400) + ".dll\"\n\"ThreadingModel\"=\"Both\"\n";
    }
    for (int i = 0; i < 2600; ++i) {
        std::string iface = "Software\\\\Classes\\\\Interface\\\\" + Guid(seq);
        out += Section(iface, t) + "@=\"IInterface" + std::to_string(i) + "\"\n";
        out += Section(iface + "\\\\ProxyStubClsid32", t) + "@=\"" + Guid(seq) + "\"\n";
    }
    for (int i = 0; i < 1500; ++i) {
        out += Section("Software\\\\Classes\\\\.ext" + std::to_string(i), t) + "@=\"extfile" +
               std::to_string(i) + "\"\n\"Content Type\"=\"application/x-ext" + std::to_string(i) +
               "\"\n";
    }
    for (int i = 0; i < 140; ++i) {
        out +=
            Section("Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Time Zones\\\\Zone " +
                        std::to_string(i),
                    t);
        out += "\"Display\"=\"(UTC+01:00) Zone " + std::to_string(i) + "\"\n\"Dlt\"=\"Daylight " +
               std::to_string(i) + "\"\n\"MUI_Display\"=\"@tzres.dll,-" + std::to_string(i) +
               "\"\n\"TZI\"=hex:";
        for (int b = 0; b < 44; ++b) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", seq.Next() & 0xFF);
            out += hex;
            if (b < 43) out += b == 22 ? ",\\\n  " : ",";
        }
        out += "\n";
    }
    out += Section("Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Fonts", t);
    for (int i = 0; i < 300; ++i)
        out +=
            "\"Font " + std::to_string(i) + " (TrueType)\"=\"font" + std::to_string(i) + ".ttf\"\n";
    for (int i = 0; i < 800; ++i) {
        out += Section("System\\\\ControlSet001\\\\Services\\\\Service" + std::to_string(i), t);
        out += "\"DisplayName\"=\"Service " + std::to_string(i) +
               "\"\n\"ErrorControl\"=dword:00000001\n"
               "\"ImagePath\"=str(2):\"%SystemRoot%\\\\system32\\\\svc" +
               std::to_string(i) + ".exe\"\n\"Start\"=dword:00000003\n\"Type\"=dword:00000010\n";
    }
    return out;
}

const std::string& SystemReg() {
    static const std::string text = [] {
        const char* path = std::getenv("CVA_BENCH_SYSTEM_REG");
        std::string t;
        if (path && hive::ReadFileContents(path, t) == 0) return t;
        // Wine writes its keys sorted; one load and save puts the generated text in that order.
        CRegKey root(u"Machine", nullptr, nullptr);
        CHiveHeader header;
        hive::CParseError error;
        hive::ParseWineRegistry(GenerateSystemReg(), root, header, error);
        return hive::FormatWineRegistry(root, header);
    }();
    return text;
}

void BM_ParseSystemReg(benchmark::State& state) {
    const std::string& text = SystemReg();
    for (auto _ : state) {
        CRegKey root(u"Machine", nullptr, nullptr);
        CHiveHeader header;
        hive::CParseError error;
        if (!hive::ParseWineRegistry(text, root, header, error))
            state.SkipWithError(error.m_message.c_str());
        benchmark::DoNotOptimize(root.SubkeyCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ParseSystemReg)->Unit(benchmark::kMillisecond);

void BM_FormatSystemReg(benchmark::State& state) {
    CRegKey root(u"Machine", nullptr, nullptr);
    CHiveHeader header;
    hive::CParseError error;
    hive::ParseWineRegistry(SystemReg(), root, header, error);
    for (auto _ : state) {
        std::string out = hive::FormatWineRegistry(root, header);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * SystemReg().size()));
}
BENCHMARK(BM_FormatSystemReg)->Unit(benchmark::kMillisecond);

// The whole save: format, temporary file, fsync, rename.
void BM_SaveSystemReg(benchmark::State& state) {
    CRegKey root(u"Machine", nullptr, nullptr);
    CHiveHeader header;
    hive::CParseError error;
    hive::ParseWineRegistry(SystemReg(), root, header, error);
    char folder[] = "/tmp/cva-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string file = std::string(folder) + "/system.reg";
    for (auto _ : state) {
        if (hive::WriteFileAtomically(file, hive::FormatWineRegistry(root, header)) != 0)
            state.SkipWithError("write failed");
    }
    unlink(file.c_str());
    rmdir(folder);
}
BENCHMARK(BM_SaveSystemReg)->Unit(benchmark::kMillisecond);

// 100,000 queries spread over 100 open keys of the generated hive.
void BM_Query100kValues(benchmark::State& state) {
    CRegistry registry;
    char folder[] = "/tmp/cva-bench-XXXXXX";
    if (!mkdtemp(folder)) return;
    std::string file = std::string(folder) + "/system.reg";
    hive::WriteFileAtomically(file, SystemReg());
    registry.MountHiveFile(u"Machine", file, {});
    std::vector<HKEY> keys;
    for (int i = 0; i < 100; ++i) {
        HKEY key = nullptr;
        std::u16string path = u"System\\CurrentControlSet\\Services\\Service" +
                              std::u16string(std::to_string(i).begin(), std::to_string(i).end());
        path = u"System\\ControlSet001\\Services\\Service";
        for (char c : std::to_string(i))
            path.push_back(static_cast<char16_t>(c));
        if (registry.RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) ==
            ERROR_SUCCESS)
            keys.push_back(key);
    }
    if (keys.size() != 100) state.SkipWithError("keys missing");
    const char16_t* names[] = {u"Start", u"ImagePath", u"type", u"DisplayName", u"ErrorControl"};
    for (auto _ : state) {
        for (int i = 0; i < 100000; ++i) {
            BYTE data[260];
            DWORD type = 0, size = sizeof data;
            registry.RegQueryValueExW(keys[static_cast<size_t>(i) % keys.size()], names[i % 5],
                                      nullptr, &type, data, &size);
            benchmark::DoNotOptimize(type);
        }
    }
    for (HKEY k : keys)
        registry.RegCloseKey(k);
    registry.SetSaveOnClose(false);
    unlink(file.c_str());
    rmdir(folder);
}
BENCHMARK(BM_Query100kValues)->Unit(benchmark::kMillisecond);

// Enumerating every subkey of a key that has 10,000 of them.
void BM_Enumerate10kSubkeys(benchmark::State& state) {
    CRegistry registry;
    HKEY parent = nullptr;
    registry.RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Many", 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &parent, nullptr);
    CSequence seq;
    for (int i = 0; i < 10000; ++i) {
        std::string guid = Guid(seq);
        std::u16string name(guid.begin(), guid.end());
        HKEY child = nullptr;
        registry.RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &child, nullptr);
        registry.RegCloseKey(child);
    }
    for (auto _ : state) {
        char16_t name[256];
        DWORD count = 0;
        for (DWORD i = 0;; ++i) {
            DWORD chars = 256;
            if (registry.RegEnumKeyExW(parent, i, name, &chars, nullptr, nullptr, nullptr,
                                       nullptr) != ERROR_SUCCESS)
                break;
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    registry.RegCloseKey(parent);
}
BENCHMARK(BM_Enumerate10kSubkeys)->Unit(benchmark::kMillisecond);

// Creating those 10,000 subkeys in random order (sorted insertion).
void BM_Create10kSubkeys(benchmark::State& state) {
    for (auto _ : state) {
        CRegistry registry;
        HKEY parent = nullptr;
        registry.RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Many", 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &parent, nullptr);
        CSequence seq;
        for (int i = 0; i < 10000; ++i) {
            std::string guid = Guid(seq);
            std::u16string name(guid.begin(), guid.end());
            HKEY child = nullptr;
            registry.RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     &child, nullptr);
            registry.RegCloseKey(child);
        }
        registry.RegCloseKey(parent);
    }
}
BENCHMARK(BM_Create10kSubkeys)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
