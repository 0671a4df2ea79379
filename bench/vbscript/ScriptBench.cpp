// The engine's speed on the benchmark scripts of this folder, run in-process (no
// process start-up). compare.sh sets the same scripts against Wine's cscript.
#include "cli/script/ScriptRunner.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::u16string LoadScript(const char* name)
{
    std::ifstream in(std::string(CVA_VBS_BENCH_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return cva::cli::DecodeScriptText(s.str());
}

void RunScript(benchmark::State& state, const char* name)
{
    std::u16string text = LoadScript(name);
    cva::cli::ScriptOutput output;
    std::string sink;
    output.out = [&](std::string_view s) { sink = s; };
    output.err = [&](std::string_view s) { sink = s; };
    for (auto _ : state) {
        int rc = cva::cli::RunScriptText(name, text, {}, output, nullptr);
        if (rc != 0)
            state.SkipWithError(sink.c_str());
        benchmark::DoNotOptimize(sink);
    }
}

} // namespace

BENCHMARK_CAPTURE(RunScript, LoopMod, "loop_mod.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, Concat, "concat.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, Fib, "fib.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, ArraySum, "array_sum.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, Dictionary, "dictionary.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, Calls, "calls.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, TextOps, "text_ops.vbs")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunScript, ClassCalls, "class_calls.vbs")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
