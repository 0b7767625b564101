// Look-up by key in the driver's counted hash tables against std::unordered_map,
// for 10, 1,000 and 100,000 keys; each iteration times the same shuffled batch
// of look-ups in both, and the counter ratio_vs_unordered_map is the table's
// time over the baseline's in the same run.
// - LookupByKey: integer keys (handles and ids, as in the registries by
//   number), CRefHashTable.
// - LookupByName: names in another case and without their accents, as the
//   registries of connections, tables and statements are searched:
//   CRefStringHashTable (loose comparison and hash through the host's locale
//   interface) against an unordered_map keyed by the folded name, whose
//   look-up folds the probe through the same interface. The locale is the
//   stand-in host's, published in main; most of both sides' time is spent in
//   it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <memory>
#include <numeric>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <string>
#include <vector>

#include "common/system/information.h"
#include "common/text/ref_hash_table.h"
#include "common/text/ref_string_hash_table.h"
#include "common/text/str_map.h"
#include "native/model/interf.h"
#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

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

StandinInfoLocale& Locale()
{
    static StandinInfoLocale locale;
    return locale;
}

// The flags-3 map of a name: upper case without accents.
std::wstring Fold(const std::wstring& name, std::vector<wchar_t>& area)
{
    if (area.size() < 2 * name.size() + 2) area.resize(2 * name.size() + 2);
    const int n = STR_nMapStringEx(3, area.data(), static_cast<int>(area.size()), name.c_str(),
                                   static_cast<int>(name.size()));
    return std::wstring(area.data(), static_cast<size_t>(n > 0 ? n : 0));
}

void BM_LookupByName(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    static const wchar_t* const kStems[] = {L"Client", L"Commande", L"Désignation", L"Téléphone", L"Quantité",
                                            L"Prix", L"Côte", L"Référence"};
    std::mt19937 rng(42);
    std::vector<std::wstring> names;
    for (int i = 0; i < n; ++i) names.push_back(std::wstring(kStems[i % 8]) + L"_" + std::to_wstring(i));
    std::vector<std::unique_ptr<Entry>> entries;
    CRefStringHashTable<Entry*> table(7);
    std::unordered_map<std::wstring, Entry*> baseline;
    std::vector<wchar_t> area;
    for (int i = 0; i < n; ++i) {
        entries.push_back(std::make_unique<Entry>(i));
        entries.back()->m_dwHoldCount = 1;  // owned here, not by the table's references
        table.bAjoute(names[i].c_str(), entries.back().get());
        baseline.emplace(Fold(names[i], area), entries.back().get());
    }
    // Probes as users type them: upper case, accents dropped.
    std::vector<std::wstring> probes(kBatch);
    for (std::wstring& p : probes) p = Fold(names[rng() % names.size()], area);

    double tableSeconds = 0;
    double baselineSeconds = 0;
    long sink = 0;
    for (auto _ : state) {
        Locale().ClearLog();
        const auto t0 = Clock::now();
        for (const std::wstring& p : probes) {
            Entry* e = nullptr;
            table.bGetElement(p.c_str(), &e);
            sink += e->m_n;
        }
        const auto t1 = Clock::now();
        for (const std::wstring& p : probes) sink += baseline.find(Fold(p, area))->second->m_n;
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

BENCHMARK(BM_LookupByName)->Arg(10)->Arg(1000)->Arg(100000)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    static StandinStrMemAlloc allocator;
    CInformationModule::ms_piStrMemAlloc = &allocator;
    CInformationDLL::ms_piInfoLocale = &Locale();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CInformationDLL::ms_piInfoLocale = nullptr;
    CInformationModule::ms_piStrMemAlloc = nullptr;
    return 0;
}
