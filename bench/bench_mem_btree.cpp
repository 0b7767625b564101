// The in-memory B+ tree of the column indexes (order 0, keys compared with
// memcmp) against the standard containers doing the same work, as ratios in
// one run. One million random 8-byte keys with 4-byte values (the row
// numbers):
// - Insert, exact Search, a full forward Walk by bAdvance(1) and Delete of
//   every record, against std::multimap;
// - MoveTo(n) at random n, against indexing a sorted std::vector, at 10^4,
//   10^5 and 10^6 records: the tree's time per move must grow with the depth
//   only;
// - Bulk: bLoadBulk of the records in random order, against copying them into
//   a std::vector and sorting it.
//
// Pairs: "<work>/tree" and "<work>/std"; after the table the program prints
// tree time / std time per pair.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "bench/ratio_reporter.h"
#include "native/model/mem_btree.h"

namespace {

using Key = std::array<unsigned char, 8>;

struct KeyLess
{
    bool operator()(const Key& a, const Key& b) const { return std::memcmp(a.data(), b.data(), 8) < 0; }
};

struct Record
{
    Key key;
    uint32_t value;
    bool operator<(const Record& o) const
    {
        const int c = std::memcmp(key.data(), o.key.data(), 8);
        return c != 0 ? c < 0 : value < o.value;
    }
};

using Multimap = std::multimap<Key, uint32_t, KeyLess>;

constexpr int kRecords = 1000000;
constexpr int kMoves = 100000;

int Compare(const void* a, const void* b, unsigned long n)
{
    return std::memcmp(a, b, n);
}

// The records in random order; every key distinct.
const std::vector<Record>& Records()
{
    static const std::vector<Record> records = [] {
        std::mt19937_64 rng(2024);
        std::vector<Record> r(kRecords);
        for (int i = 0; i < kRecords; ++i) {
            const uint64_t x = rng();
            for (int b = 0; b < 8; ++b) r[i].key[b] = static_cast<unsigned char>(x >> (56 - 8 * b));
            r[i].value = static_cast<uint32_t>(i);
        }
        return r;
    }();
    return records;
}

std::unique_ptr<CMemBTree> NewTree()
{
    return std::unique_ptr<CMemBTree>(CMemBTree::pclCreate(8, 4, Compare, Compare, 0));
}

std::unique_ptr<CMemBTree> FilledTree(int n)
{
    std::unique_ptr<CMemBTree> tree = NewTree();
    for (int i = 0; i < n; ++i) tree->bInsert(Records()[i].key.data(), &Records()[i].value);
    return tree;
}

Multimap FilledMultimap()
{
    Multimap map;
    for (const Record& r : Records()) map.emplace(r.key, r.value);
    return map;
}

// Probes in another random order than the insertions.
const std::vector<int>& Shuffled()
{
    static const std::vector<int> order = [] {
        std::vector<int> o(kRecords);
        std::iota(o.begin(), o.end(), 0);
        std::shuffle(o.begin(), o.end(), std::mt19937(7));
        return o;
    }();
    return order;
}

void Insert_tree(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<CMemBTree> tree = NewTree();
        for (const Record& r : Records()) tree->bInsert(r.key.data(), &r.value);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Insert_std(benchmark::State& state)
{
    for (auto _ : state) {
        Multimap map;
        for (const Record& r : Records()) map.emplace(r.key, r.value);
        state.PauseTiming();
        map.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Search_tree(benchmark::State& state)
{
    static std::unique_ptr<CMemBTree> tree = FilledTree(kRecords);
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int i : Shuffled()) {
            const void* p = tree->pSearch(Records()[i].key.data(), CMemBTree::kSearchExact);
            uint32_t v;
            std::memcpy(&v, p, 4);
            sum += v;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Search_std(benchmark::State& state)
{
    static const Multimap map = FilledMultimap();
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int i : Shuffled()) sum += map.find(Records()[i].key)->second;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Walk_tree(benchmark::State& state)
{
    static std::unique_ptr<CMemBTree> tree = FilledTree(kRecords);
    uint64_t sum = 0;
    for (auto _ : state) {
        tree->GotoFirstRecord();
        do {
            uint32_t v;
            std::memcpy(&v, tree->pReadValue(), 4);
            sum += v;
        } while (tree->bAdvance(1, nullptr, 0));
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Walk_std(benchmark::State& state)
{
    static const Multimap map = FilledMultimap();
    uint64_t sum = 0;
    for (auto _ : state) {
        for (const auto& [k, v] : map) sum += v;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Delete_tree(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CMemBTree> tree = FilledTree(kRecords);
        state.ResumeTiming();
        for (int i : Shuffled()) tree->bDelete(Records()[i].key.data(), &Records()[i].value);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Delete_std(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Multimap map = FilledMultimap();
        state.ResumeTiming();
        for (int i : Shuffled()) {
            const Record& r = Records()[i];
            auto [first, last] = map.equal_range(r.key);
            for (auto it = first; it != last; ++it) {
                if (it->second == r.value) {
                    map.erase(it);
                    break;
                }
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

const std::vector<int>& MovePlaces(int n)
{
    static std::map<int, std::vector<int>> places;
    std::vector<int>& p = places[n];
    if (p.empty()) {
        std::mt19937 rng(static_cast<uint32_t>(n));
        for (int i = 0; i < kMoves; ++i) p.push_back(static_cast<int>(rng() % static_cast<uint32_t>(n)));
    }
    return p;
}

void MoveTo_tree(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::unique_ptr<CMemBTree> tree = FilledTree(n);
    const std::vector<int>& places = MovePlaces(n);
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int at : places) {
            tree->MoveTo(at);
            sum += *static_cast<const unsigned char*>(tree->pReadKey());
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kMoves);
}

void MoveTo_std(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<Record> sorted(Records().begin(), Records().begin() + n);
    std::sort(sorted.begin(), sorted.end());
    const std::vector<int>& places = MovePlaces(n);
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int at : places) sum += sorted[static_cast<size_t>(at)].key[0];
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kMoves);
}

void Bulk_tree(benchmark::State& state)
{
    std::vector<unsigned char> keys(static_cast<size_t>(kRecords) * 8);
    std::vector<uint32_t> values(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        std::memcpy(&keys[static_cast<size_t>(i) * 8], Records()[i].key.data(), 8);
        values[i] = Records()[i].value;
    }
    for (auto _ : state) {
        std::unique_ptr<CMemBTree> tree = NewTree();
        tree->bLoadBulk(keys.data(), values.data(), kRecords);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void Bulk_std(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<Record> sorted(Records());
        std::sort(sorted.begin(), sorted.end());
        benchmark::DoNotOptimize(sorted.data());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(Insert_tree)->Name("Insert/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(Insert_std)->Name("Insert/std")->Unit(benchmark::kMillisecond);
BENCHMARK(Search_tree)->Name("Search/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(Search_std)->Name("Search/std")->Unit(benchmark::kMillisecond);
BENCHMARK(Walk_tree)->Name("Walk/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(Walk_std)->Name("Walk/std")->Unit(benchmark::kMillisecond);
BENCHMARK(Delete_tree)->Name("Delete/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(Delete_std)->Name("Delete/std")->Unit(benchmark::kMillisecond);
BENCHMARK(MoveTo_tree)->Name("MoveTo/tree")->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveTo_std)->Name("MoveTo/std")->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Bulk_tree)->Name("Bulk/tree")->Unit(benchmark::kMillisecond);
BENCHMARK(Bulk_std)->Name("Bulk/std")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    vxbench::RatioReporter reporter("ratio CMemBTree / std (multimap; sorted vector for MoveTo; sort for Bulk)",
                                    "/tree", "/std");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
