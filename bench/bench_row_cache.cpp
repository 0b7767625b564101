// The row cache against a std::vector of byte vectors with a
// std::unordered_map from row bytes to index, doing the same work, as ratios
// in one run. One million rows of 200 bytes, each identified by its values:
// - Append: every row appended, as a statement appends its current row
//   (one row value whose buffer takes each row's bytes in turn);
// - Lookup: the index of random rows by identity (nGetRecordIndice);
// - ReadInOrder and ReadRandom: rows copied back into a row value (bGetAt);
// - Browse: with 1% of the rows deleted, from the first row to the last by
//   nGetPosition(next, 1) and back by nGetPosition(previous, 1), each row
//   read back on the way.
//
// Pairs: "<work>/cache" and "<work>/std"; after the table the program prints
// cache time / std time per pair.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bench/ratio_reporter.h"
#include "native/driver/error_object.h"
#include "native/model/record_cache.h"

namespace {

constexpr int kRows = 1000000;
constexpr size_t kRowSize = 200;
constexpr int kProbes = 100000;

// Row i's bytes: its index in front (so that every row is distinct), then
// pseudo-random bytes.
const std::vector<unsigned char>& AllBytes()
{
    static const std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> b(static_cast<size_t>(kRows) * kRowSize);
        std::mt19937_64 rng(2024);
        for (size_t i = 0; i < b.size(); i += 8) {
            const uint64_t x = rng();
            std::memcpy(b.data() + i, &x, 8);
        }
        for (int i = 0; i < kRows; ++i)
            std::memcpy(b.data() + static_cast<size_t>(i) * kRowSize, &i, sizeof i);
        return b;
    }();
    return bytes;
}

const unsigned char* RowBytes(int i)
{
    return AllBytes().data() + static_cast<size_t>(i) * kRowSize;
}

const std::vector<int>& Probes()
{
    static const std::vector<int> probes = [] {
        std::mt19937 rng(7);
        std::vector<int> p(kProbes);
        for (int& n : p)
            n = std::uniform_int_distribution<int>(0, kRows - 1)(rng);
        return p;
    }();
    return probes;
}

CNAError* Error()
{
    static CNAError* pclError = [] {
        auto* p = new CNAError;
        p->AddRef();
        return p;
    }();
    return pclError;
}

// A row value with a 200-byte buffer and an identity by its values.
struct RowValue
{
    RowValue() : p(new CNARecordValue(Error()))
    {
        p->m_dwRefCount = 1;
        const uint32_t header[3] = {kRowSize, 0, 0};
        std::vector<unsigned char> form(sizeof header + kRowSize);
        std::memcpy(form.data(), header, sizeof header);
        CNAQFRecord record;
        (void)record.Deserialize(form.data(), form.size());
        (void)p->bCopyNAQFRecord(&record);
        (void)p->bShareRecordID(new CNARecordId_RecordValues(p));
    }
    ~RowValue() { p->nRelease(); }
    void Set(const unsigned char* pbyBytes) { std::memcpy(p->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pbyBytes, kRowSize); }
    const unsigned char* Bytes() const { return p->pclGetNAQFRecordNoRef()->pbyGetBuffer(); }
    CNARecordValue* p;
};

std::unique_ptr<CNARecordCache> FilledCache()
{
    auto pclCache = std::make_unique<CNARecordCache>();
    pclCache->SetEnabled(1);
    RowValue row;
    for (int i = 0; i < kRows; ++i) {
        row.Set(RowBytes(i));
        (void)pclCache->nAjoute(row.p);
    }
    return pclCache;
}

struct ViewHash
{
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// The baseline: the rows' bytes in vectors, a map from their bytes to the
// index, and the states.
struct Baseline
{
    std::vector<std::vector<unsigned char>> rows;
    std::unordered_map<std::string_view, int, ViewHash, std::equal_to<>> index;
    std::vector<unsigned char> deleted;

    void Fill()
    {
        rows.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            rows.emplace_back(RowBytes(i), RowBytes(i) + kRowSize);
            index.emplace(std::string_view(reinterpret_cast<const char*>(rows.back().data()), kRowSize), i);
        }
        deleted.assign(kRows, 0);
    }
};

CNARecordCache& Cache()
{
    static std::unique_ptr<CNARecordCache> cache = [] {
        std::unique_ptr<CNARecordCache> c = FilledCache();
        // 1% of the rows deleted, for the browse.
        for (int i = 50; i < kRows; i += 100)
            c->SetRecordState(i, NA_RS_DELETED);
        return c;
    }();
    return *cache;
}

Baseline& Std()
{
    static Baseline* baseline = [] {
        auto* b = new Baseline;
        b->Fill();
        for (int i = 50; i < kRows; i += 100)
            b->deleted[i] = 1;
        return b;
    }();
    return *baseline;
}

void Append_cache(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<CNARecordCache> cache = FilledCache();
        benchmark::DoNotOptimize(cache->nGetRowCount());
        state.PauseTiming();
        cache.reset();
        state.ResumeTiming();
    }
}

void Append_std(benchmark::State& state)
{
    for (auto _ : state) {
        auto baseline = std::make_unique<Baseline>();
        baseline->Fill();
        benchmark::DoNotOptimize(baseline->rows.size());
        state.PauseTiming();
        baseline.reset();
        state.ResumeTiming();
    }
}

void Lookup_cache(benchmark::State& state)
{
    CNARecordCache& cache = Cache();
    RowValue probe;
    for (auto _ : state) {
        for (int n : Probes()) {
            probe.Set(RowBytes(n));
            benchmark::DoNotOptimize(cache.nGetRecordIndice(probe.p));
        }
    }
}

void Lookup_std(benchmark::State& state)
{
    Baseline& baseline = Std();
    std::vector<unsigned char> probe(kRowSize);
    for (auto _ : state) {
        for (int n : Probes()) {
            std::memcpy(probe.data(), RowBytes(n), kRowSize);
            benchmark::DoNotOptimize(
                baseline.index.find(std::string_view(reinterpret_cast<const char*>(probe.data()), kRowSize)));
        }
    }
}

void ReadInOrder_cache(benchmark::State& state)
{
    CNARecordCache& cache = Cache();
    RowValue row;
    for (auto _ : state) {
        for (int i = 0; i < kRows; ++i)
            benchmark::DoNotOptimize(cache.bGetAt(row.p, static_cast<unsigned>(i)));
    }
}

void ReadInOrder_std(benchmark::State& state)
{
    Baseline& baseline = Std();
    std::vector<unsigned char> row(kRowSize);
    for (auto _ : state) {
        for (int i = 0; i < kRows; ++i) {
            std::memcpy(row.data(), baseline.rows[i].data(), kRowSize);
            benchmark::DoNotOptimize(row.data());
        }
    }
}

void ReadRandom_cache(benchmark::State& state)
{
    CNARecordCache& cache = Cache();
    RowValue row;
    for (auto _ : state) {
        for (int n : Probes())
            benchmark::DoNotOptimize(cache.bGetAt(row.p, static_cast<unsigned>(n)));
    }
}

void ReadRandom_std(benchmark::State& state)
{
    Baseline& baseline = Std();
    std::vector<unsigned char> row(kRowSize);
    for (auto _ : state) {
        for (int n : Probes()) {
            std::memcpy(row.data(), baseline.rows[n].data(), kRowSize);
            benchmark::DoNotOptimize(row.data());
        }
    }
}

void Browse_cache(benchmark::State& state)
{
    CNARecordCache& cache = Cache();
    RowValue row;
    const auto kFirst = static_cast<eNA_PARSEDIRECTION>(0);
    const auto kNext = static_cast<eNA_PARSEDIRECTION>(2);
    const auto kPrevious = static_cast<eNA_PARSEDIRECTION>(3);
    for (auto _ : state) {
        int n = cache.nGetPosition(-1, kFirst, 1);
        int last = n;
        while (!cache.bEndehors(n)) {
            benchmark::DoNotOptimize(cache.bGetAt(row.p, static_cast<unsigned>(n)));
            last = n;
            n = cache.nGetPosition(n, kNext, 1);
        }
        for (n = last; n >= 0; n = cache.nGetPosition(n, kPrevious, 1))
            benchmark::DoNotOptimize(cache.bGetAt(row.p, static_cast<unsigned>(n)));
    }
}

void Browse_std(benchmark::State& state)
{
    Baseline& baseline = Std();
    std::vector<unsigned char> row(kRowSize);
    const int rows = static_cast<int>(baseline.rows.size());
    const auto Next = [&](int n) {
        do
            ++n;
        while (n < rows && baseline.deleted[n]);
        return n;
    };
    const auto Previous = [&](int n) {
        do
            --n;
        while (n >= 0 && baseline.deleted[n]);
        return n;
    };
    for (auto _ : state) {
        int last = -1;
        for (int n = Next(-1); n < rows; n = Next(n)) {
            std::memcpy(row.data(), baseline.rows[n].data(), kRowSize);
            benchmark::DoNotOptimize(row.data());
            last = n;
        }
        for (int n = last; n >= 0; n = Previous(n)) {
            std::memcpy(row.data(), baseline.rows[n].data(), kRowSize);
            benchmark::DoNotOptimize(row.data());
        }
    }
}

BENCHMARK(Append_cache)->Name("Append/cache")->Unit(benchmark::kMillisecond);
BENCHMARK(Append_std)->Name("Append/std")->Unit(benchmark::kMillisecond);
BENCHMARK(Lookup_cache)->Name("Lookup/cache")->Unit(benchmark::kMillisecond);
BENCHMARK(Lookup_std)->Name("Lookup/std")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInOrder_cache)->Name("ReadInOrder/cache")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInOrder_std)->Name("ReadInOrder/std")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRandom_cache)->Name("ReadRandom/cache")->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRandom_std)->Name("ReadRandom/std")->Unit(benchmark::kMillisecond);
BENCHMARK(Browse_cache)->Name("Browse/cache")->Unit(benchmark::kMillisecond);
BENCHMARK(Browse_std)->Name("Browse/std")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    vxbench::RatioReporter reporter(
        "ratio CNARecordCache / std (vector of byte vectors, unordered_map from bytes to index)", "/cache", "/std");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
