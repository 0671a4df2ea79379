// Speed of the string and regular-expression kernels on large inputs: Replace and Split
// must stay linear in the input size, and regular-expression searches linear for ordinary
// patterns.
#include "vbscript/runtime/Regex.h"
#include "vbscript/runtime/Strings.h"

#include <benchmark/benchmark.h>

using namespace cva::vbs::rt;

namespace {

std::u16string Lines(std::size_t bytes) {
    std::u16string text;
    while (text.size() < bytes) text += u"Name=Value; Other = 12345\r\n";
    return text;
}

void BM_ReplaceShortMatches(benchmark::State& state) {
    const std::u16string text = Lines(static_cast<std::size_t>(state.range(0)));
    std::u16string out;
    for (auto _ : state) {
        Replace(text, u"e", u"EE", 1, -1, CompareMode::Text, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0) * 2);
}
BENCHMARK(BM_ReplaceShortMatches)->RangeMultiplier(4)->Range(1 << 18, 1 << 22)->Complexity(benchmark::oN);

void BM_Split(benchmark::State& state) {
    const std::u16string text = Lines(static_cast<std::size_t>(state.range(0)));
    std::vector<std::u16string> parts;
    for (auto _ : state) {
        Split(text, u"\r\n", -1, CompareMode::Binary, parts);
        benchmark::DoNotOptimize(parts.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Split)->RangeMultiplier(4)->Range(1 << 18, 1 << 22)->Complexity(benchmark::oN);

void BM_RegexGlobalReplace(benchmark::State& state) {
    const std::u16string text = Lines(static_cast<std::size_t>(state.range(0)));
    CRegex re;
    re.Compile(u"(\\w+)\\s*=\\s*(\\w+)", false, false);
    for (auto _ : state) {
        std::u16string out = re.Replace(text, u"$2=$1", true);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegexGlobalReplace)->RangeMultiplier(4)->Range(1 << 16, 1 << 20)->Complexity(benchmark::oN);

// Catastrophic backtracking ends on the step budget instead of running for ever.
void BM_RegexPathological(benchmark::State& state) {
    const std::u16string text(64, u'a');
    CRegex re;
    re.Compile(u"(a+)+b", false, false);
    RegexMatch m;
    for (auto _ : state) benchmark::DoNotOptimize(re.Search(text, 0, m));
}
BENCHMARK(BM_RegexPathological)->Unit(benchmark::kMillisecond);

} // namespace
