// Look-up by key in the driver's counted hash table against std::unordered_map,
// for 10, 1,000 and 100,000 keys. Keys are integers (handles and ids, as in the
// driver's registries by number); each iteration times the same shuffled batch
// of look-ups in both, and the counter ratio_vs_unordered_map is the table's
// time over the baseline's in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <numeric>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/text/ref_hash_table.h"
#include "native/model/interf.h"

namespace {

class Entry : public CInterf
{
public:
    explicit Entry(int n) : m_n(n) {}
    int m_n;
};

using Clock = std::chrono::steady_clock;
constexpr int kBatch = 4096;

void BM_LookupByKey(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(42);
    std::unordered_set<int> distinct;
    std::vector<int> keys;
    while (static_cast<int>(keys.size()) < n) {
        const int k = static_cast<int>(rng() & 0x3FFFFFFF);
        if (distinct.insert(k).second) keys.push_back(k);
    }
    std::vector<std::unique_ptr<Entry>> entries;
    CRefHashTable<int, Entry*> table(7);
    std::unordered_map<int, Entry*> baseline;
    for (int i = 0; i < n; ++i) {
        entries.push_back(std::make_unique<Entry>(i));
        table.bAddElement(keys[i], entries.back().get());
        baseline.emplace(keys[i], entries.back().get());
    }
    std::vector<int> probes(kBatch);
    for (int& p : probes) p = keys[rng() % keys.size()];

    double tableSeconds = 0;
    double baselineSeconds = 0;
    long sink = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int k : probes) {
            Entry* e = nullptr;
            table.bGetElement(k, &e);
            sink += e->m_n;
        }
        const auto t1 = Clock::now();
        for (int k : probes) sink += baseline.find(k)->second->m_n;
        const auto t2 = Clock::now();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        tableSeconds += a;
        baselineSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(a);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations() * kBatch);
    state.counters["ratio_vs_unordered_map"] = baselineSeconds > 0 ? tableSeconds / baselineSeconds : 0;
}

BENCHMARK(BM_LookupByKey)->Arg(10)->Arg(1000)->Arg(100000)->UseManualTime();

}  // namespace
