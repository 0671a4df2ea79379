// What a user or a script waits for: `cva-cli list --json` over the shipped catalogue, as
// a whole program run. The cached start (cache.dat valid, as after any earlier run) is
// meant to stay under 50 ms; the full scan of "refresh" is beside it for comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Settings, data and sandbox of the runs, in a folder of their own.
struct SRunFolder {
    SRunFolder() {
        char pattern[] = "/tmp/cvabench-cli.XXXXXX";
        root = ::mkdtemp(pattern);
        fs::create_directories(root + "/run");
        fs::permissions(root + "/run", fs::perms::owner_all);
        for (const char* name : {"XDG_CONFIG_HOME=/config", "XDG_DATA_HOME=/data", "XDG_RUNTIME_DIR=/run"}) {
            const std::string entry(name);
            const size_t equals = entry.find('=');
            env.push_back(entry.substr(0, equals + 1) + root + entry.substr(equals + 1));
        }
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("XDG_", 0) != 0) env.emplace_back(*e);
    }
    ~SRunFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string root;
    std::vector<std::string> env;
};

SRunFolder& Folder() {
    static SRunFolder folder;
    return folder;
}

// Runs cva-cli with its output thrown away; false when it did not end with 0.
bool RunCli(const char* command) {
    SRunFolder& folder = Folder();
    const std::string target = "sandbox:" + folder.root + "/box";
    std::vector<std::string> args{CVA_CLI_PROGRAM, "--plugins", CVA_PLUGIN_DIR, "--target", target, command, "--json"};
    std::vector<char*> argv, envp;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (std::string& entry : folder.env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, CVA_CLI_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_ListJsonCachedStart(benchmark::State& state) {
    // The first run makes the sandbox and writes the cache that the measured runs read.
    if (!RunCli("list")) state.SkipWithError("cva-cli list failed");
    for (auto _ : state)
        if (!RunCli("list")) state.SkipWithError("cva-cli list failed");
}
BENCHMARK(BM_ListJsonCachedStart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefreshJsonFullScan(benchmark::State& state) {
    for (auto _ : state)
        if (!RunCli("refresh")) state.SkipWithError("cva-cli refresh failed");
}
BENCHMARK(BM_RefreshJsonFullScan)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
