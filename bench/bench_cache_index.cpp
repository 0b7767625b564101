// The column indexes of a fully cached table against a std::vector of
// (key, row) pairs, sorted, and binary searches in it, as ratios in one run.
// The table: 100,000 cached rows of a unique integer ID, an integer V that
// takes 1,000 values (100 rows each) and a 20-character text NAME that takes
// 20,000 values, read into the row cache as a statement reads them.
// - BuildInt, BuildText: the index over V or over NAME built from the cache
//   (each row read back, its value keyed, the tree built); baseline: the
//   pairs of the values already read out, and their sort;
// - Walk: first to last through the index over V; baseline: through the
//   sorted pairs;
// - SetCurrentPos: 10,000 positionings on the current record of random rows
//   (V duplicated 100 times: the walk over the equal keys to the row);
//   baseline: a binary search of (value, row);
// - PreviousNbr: 10,000 ranks of random positions (positioned by rank,
//   then asked its rank); baseline: the pair at that rank, then a binary
//   search of it.
// Fully cached tables are browsed through these indexes.
//
// Pairs: "<work>/index" and "<work>/std"; after the table the program prints
// index time / std time per pair.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/standin_bench_main.h"
#include "native/model/cache_index_fixed_size.h"
#include "native/model/qf_record.h"
#include "native/model/record_cache.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_data_access.h"
#include "tests/fakes/test_data_source_description.h"
#include "tests/fakes/test_driver.h"
#include "tests/fakes/test_statement.h"
#include "tests/host/db/standin_connection_description.h"

namespace {

constexpr int kRows = 100000;
constexpr int kValues = 1000;
constexpr int kNames = 20000;
constexpr int kProbes = 10000;

int ValueOf(int i)
{
    return static_cast<int>((static_cast<int64_t>(i) * 7919) % kValues);
}

std::string NameOf(int i)
{
    char sz[32];
    std::snprintf(sz, sizeof sz, "name-%07d-%07d", static_cast<int>((static_cast<int64_t>(i) * 104729) % kNames),
                  i % 7);
    return std::string(sz).substr(0, 20);
}

void Require(bool b, const char* pszWhat)
{
    if (!b) {
        std::fprintf(stderr, "set-up failed: %s\n", pszWhat);
        std::abort();
    }
}

// The driver with plain columns and test data accesses, the table's
// description, its data access, current record and statement, and the
// statement's row cache filled with every row.
struct Table
{
    Table()
    {
        StartTestDriverModule();
        CTestDriverChoices choices;
        choices.allocDataSourceDescription = [](CNAConnectionDescription* pclConnection, CNAError* pclError) {
            return new CTestDataSourceDescription(pclConnection, pclError);
        };
        choices.allocColumn = PlainColumnFactory();
        choices.allocDataAccess = TestDataAccessFactory();
        registration.emplace(std::move(choices));
        piDriver = piQueryInterface(0);
        Require(piDriver != nullptr, "driver");
        CNADriver* pclDriver = CNADriver::s_pclDriver;
        pclError = new CNAError;
        pclError->AddRef();
        auto* pclTestConnection = new CTestConnection(L"BENCH", &hostConnection);
        pclTestConnection->SetRuntimeCodePage(1252);
        pclTestConnection->SetClientTextCodePage(1252);
        pclConnection = pclTestConnection;
        REF_AddRef(pclConnection);

        source = pclDriver->pclAllocDataSourceDescription(pclConnection, pclError);
        source->AddRef();
        source->SetLogicalName(L"T");
        source->SetDBName(L"T");
        for (const auto& [name, type, size] : {std::tuple{L"ID", NA_IT_I4, 4u}, std::tuple{L"V", NA_IT_I4, 4u},
                                               std::tuple{L"NAME", NA_IT_TEXTE, 21u}})
            Require(source->bAddItem(name, L"T", name, 1, size, type, static_cast<unsigned>(-1), -1, 0, 0, 0),
                    "item");
        source->UpdateRecordSize();
        access = pclDriver->pclAllocDataAccess(source, pclConnection, pclError);
        REF_AddRef(access);
        record = access->_pclAllocRecord(pclError);
        REF_AddRef(record);
        Require(record->bInitRecord(source, nullptr, pclConnection), "record");
        statement = new CTestStatement(access, pclError, record);
        REF_AddRef(statement);
        statement->EnableCache(1);

        for (int i = 0; i < kRows; ++i) {
            Set(L"ID", Int(i));
            Set(L"V", Int(ValueOf(i)));
            Set(L"NAME", Text(NameOf(i)));
            Require(statement->AppendCurrentRow() == i, "row");
        }
    }

    static CAny Int(int n)
    {
        CAny v;
        v.SetI4(n);
        return v;
    }
    static CAny Text(const std::string& s)
    {
        CAny v;
        v.__SetType(ZLTYPE_PSTRA, 0);
        v.Objet().SetValue(s.c_str());
        v.ClearFlags();
        return v;
    }
    void Set(const wchar_t* pszColumn, const CAny& value)
    {
        Require(record->pclGetColumnNoRef(pszColumn)->bSetValue(&value, 0), "value");
    }
    // The original row made row i: its values stored into the original
    // buffer, as reading the row leaves them.
    void SetOriginal(int i)
    {
        CNAQFRecord* pclOriginal = record->pclGetOriginalNAQFRecord();
        const CAny id = Int(i);
        const CAny value = Int(ValueOf(i));
        const CAny name = Text(NameOf(i));
        pclOriginal->SetItemValue(record->pclGetColumnNoRef(L"ID")->piGetItemNoRef(), &id, 0);
        pclOriginal->SetItemValue(record->pclGetColumnNoRef(L"V")->piGetItemNoRef(), &value, 0);
        pclOriginal->SetItemValue(record->pclGetColumnNoRef(L"NAME")->piGetItemNoRef(), &name, 0);
    }
    std::unique_ptr<CIndexFixedSizeItem> NewIndex(const wchar_t* pszColumn) const
    {
        return std::make_unique<CIndexFixedSizeItem>(pclError, statement->pclGetRecordCacheNoRef(),
                                                     record->pclGetColumnNoRef(pszColumn), statement);
    }

    StandinConnectionDescription hostConnection;
    std::optional<CTestDriverRegistration> registration;
    INADriver* piDriver = nullptr;
    CNAError* pclError = nullptr;
    CNAConnectionDescription* pclConnection = nullptr;
    CNADataSourceDescription* source = nullptr;
    CNADataAccess* access = nullptr;
    CNARecord* record = nullptr;
    CTestStatement* statement = nullptr;
};

Table& TheTable()
{
    static Table* table = new Table;
    return *table;
}

CIndexFixedSizeItem& IntIndex()
{
    static std::unique_ptr<CIndexFixedSizeItem> index = [] {
        auto p = TheTable().NewIndex(L"V");
        Require(p->bInit(), "index");
        return p;
    }();
    return *index;
}

// The baseline's pairs, sorted.
const std::vector<std::pair<int, int>>& IntPairs()
{
    static const std::vector<std::pair<int, int>> pairs = [] {
        std::vector<std::pair<int, int>> p;
        for (int i = 0; i < kRows; ++i)
            p.emplace_back(ValueOf(i), i);
        std::sort(p.begin(), p.end());
        return p;
    }();
    return pairs;
}

const std::vector<int>& Probes()
{
    static const std::vector<int> probes = [] {
        std::mt19937 rng(11);
        std::vector<int> p(kProbes);
        for (int& n : p)
            n = std::uniform_int_distribution<int>(0, kRows - 1)(rng);
        return p;
    }();
    return probes;
}

void BM_BuildInt_Index(benchmark::State& state)
{
    Table& table = TheTable();
    for (auto _ : state) {
        auto index = table.NewIndex(L"V");
        Require(index->bInit(), "index");
        benchmark::DoNotOptimize(index->nGetRecordNbr());
    }
}

void BM_BuildInt_Std(benchmark::State& state)
{
    std::vector<int> values(kRows);
    for (int i = 0; i < kRows; ++i)
        values[i] = ValueOf(i);
    for (auto _ : state) {
        std::vector<std::pair<int, int>> pairs;
        pairs.reserve(kRows);
        for (int i = 0; i < kRows; ++i)
            pairs.emplace_back(values[i], i);
        std::sort(pairs.begin(), pairs.end());
        benchmark::DoNotOptimize(pairs.data());
    }
}

void BM_BuildText_Index(benchmark::State& state)
{
    Table& table = TheTable();
    for (auto _ : state) {
        auto index = table.NewIndex(L"NAME");
        Require(index->bInit(), "index");
        benchmark::DoNotOptimize(index->nGetRecordNbr());
    }
}

void BM_BuildText_Std(benchmark::State& state)
{
    std::vector<std::string> names(kRows);
    for (int i = 0; i < kRows; ++i)
        names[i] = NameOf(i);
    for (auto _ : state) {
        std::vector<std::pair<std::string, int>> pairs;
        pairs.reserve(kRows);
        for (int i = 0; i < kRows; ++i)
            pairs.emplace_back(names[i], i);
        std::sort(pairs.begin(), pairs.end());
        benchmark::DoNotOptimize(pairs.data());
    }
}

void BM_Walk_Index(benchmark::State& state)
{
    CIndexFixedSizeItem& index = IntIndex();
    for (auto _ : state) {
        int64_t nSum = 0;
        int nRow = -1;
        index.bGetRecordPosition(static_cast<eNA_PARSEDIRECTION>(0), 1, &nRow, nullptr);
        while (nRow >= 0) {
            nSum += nRow;
            index.bGetRecordPosition(static_cast<eNA_PARSEDIRECTION>(2), 1, &nRow, nullptr);
        }
        benchmark::DoNotOptimize(nSum);
    }
}

void BM_Walk_Std(benchmark::State& state)
{
    const auto& pairs = IntPairs();
    for (auto _ : state) {
        int64_t nSum = 0;
        for (const auto& pair : pairs)
            nSum += pair.second;
        benchmark::DoNotOptimize(nSum);
    }
}

void BM_SetCurrentPos_Index(benchmark::State& state)
{
    Table& table = TheTable();
    CIndexFixedSizeItem& index = IntIndex();
    for (auto _ : state) {
        int nFound = 0;
        for (int i : Probes()) {
            table.SetOriginal(i);
            int bFound = 0;
            index.bSetCurrentPos(-1, 0, &bFound);
            nFound += bFound;
        }
        Require(nFound == kProbes, "found");
    }
}

void BM_SetCurrentPos_Std(benchmark::State& state)
{
    Table& table = TheTable();
    const auto& pairs = IntPairs();
    for (auto _ : state) {
        int nFound = 0;
        for (int i : Probes()) {
            table.SetOriginal(i);
            const auto it = std::lower_bound(pairs.begin(), pairs.end(), std::pair{ValueOf(i), i});
            nFound += it != pairs.end() && it->second == i;
        }
        Require(nFound == kProbes, "found");
    }
}

void BM_PreviousNbr_Index(benchmark::State& state)
{
    CIndexFixedSizeItem& index = IntIndex();
    for (auto _ : state) {
        int64_t nSum = 0;
        for (int k : Probes()) {
            int nRow = -1;
            index.bGetRecordPosition(static_cast<eNA_PARSEDIRECTION>(0), k + 1, &nRow, nullptr);
            nSum += index.nGetPreviousRecordNbr();
        }
        benchmark::DoNotOptimize(nSum);
    }
}

void BM_PreviousNbr_Std(benchmark::State& state)
{
    const auto& pairs = IntPairs();
    for (auto _ : state) {
        int64_t nSum = 0;
        for (int k : Probes()) {
            const auto& pair = pairs[static_cast<size_t>(k)];
            nSum += std::lower_bound(pairs.begin(), pairs.end(), pair) - pairs.begin();
        }
        benchmark::DoNotOptimize(nSum);
    }
}

BENCHMARK(BM_BuildInt_Index)->Name("BuildInt/index")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildInt_Std)->Name("BuildInt/std")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildText_Index)->Name("BuildText/index")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildText_Std)->Name("BuildText/std")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_Index)->Name("Walk/index")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_Std)->Name("Walk/std")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetCurrentPos_Index)->Name("SetCurrentPos/index")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetCurrentPos_Std)->Name("SetCurrentPos/std")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousNbr_Index)->Name("PreviousNbr/index")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousNbr_Std)->Name("PreviousNbr/std")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio cached-table index / sorted std::vector", "/index", "/std");
}
