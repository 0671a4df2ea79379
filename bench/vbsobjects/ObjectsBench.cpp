#include "vbscript/objects/Dictionary.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using cva::vbs::CDictionary;
using cva::vbs::MakeObject;
using cva::vbs::Variant;

std::vector<Variant> StringKeys(int n)
{
    std::vector<Variant> keys;
    keys.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string k = "key" + std::to_string(i);
        keys.push_back(Variant(std::u16string(k.begin(), k.end())));
    }
    return keys;
}

// The goal: 200,000 adds and as many lookups stay far from quadratic.
void DictionaryStringKeys(benchmark::State& state)
{
    int n = static_cast<int>(state.range(0));
    std::vector<Variant> keys = StringKeys(n);
    for (auto _ : state) {
        auto d = MakeObject<CDictionary>();
        for (int i = 0; i < n; ++i)
            (void)d->Add(keys[static_cast<size_t>(i)], Variant(i));
        int hits = 0;
        for (int i = 0; i < n; ++i)
            hits += d->Find(keys[static_cast<size_t>(i)]) != nullptr;
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * n * 2);
}
BENCHMARK(DictionaryStringKeys)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void DictionaryTextModeNumberKeysAndRemoval(benchmark::State& state)
{
    int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto d = MakeObject<CDictionary>();
        (void)d->SetCompareMode(1);
        for (int i = 0; i < n; ++i)
            (void)d->Add(Variant(i), Variant(i));
        for (int i = 0; i < n; i += 2)
            (void)d->Remove(Variant(i));
        benchmark::DoNotOptimize(d->Keys().size());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(DictionaryTextModeNumberKeysAndRemoval)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
