// The record buffer against memcpy of the same bytes, on a 20-item row of
// integers, reals, currency, decimals, dates, times, texts and Unicode
// texts laid out from a host's description. Every fetched and cached row
// goes through these operations:
// - "StoreRead": every item's runtime value stored into its slot (checked
//   against the record, flag set) and read back into a runtime value;
//   baseline: each item's slot bytes copied in and out with memcpy;
// - "CloneCompare": the row cloned and compared with the original;
//   baseline: malloc, memcpy, memcmp and free of the same buffer.
// The decimals and texts take the stand-in virtual machine and string
// allocator, loaded as the tests load them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/standin_bench_main.h"
#include "common/text/any.h"
#include "native/model/qf_record.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

struct Field
{
    StandinItemRow row;
    unsigned short type;
    const wchar_t* text;
};

const Field kRow[] = {
    {{L"ID", NA_IT_I4, 4}, ZLTYPE_I4, L"123456"},
    {{L"BIG", NA_IT_I8, 8}, ZLTYPE_I8, L"-9000000000"},
    {{L"SMALL", NA_IT_I2, 2}, ZLTYPE_I2, L"-300"},
    {{L"TINY", NA_IT_UI1, 1}, ZLTYPE_UI1, L"200"},
    {{L"RATE", NA_IT_R8, 8}, ZLTYPE_R8, L"-2.25"},
    {{L"PRICE", NA_IT_MONETAIRE, 10}, ZLTYPE_CY, L"12.5"},
    {{L"AMOUNT", NA_IT_DECIMAL, 6, 1, 10, 2}, ZLTYPE_DECIMAL, L"12345.67"},
    {{L"BIRTH", NA_IT_DATE8, 9}, ZLTYPE_DATEA, L"19991231"},
    {{L"AT", NA_IT_HEURE, 10}, ZLTYPE_TIMEA, L"235959123"},
    {{L"SEEN", NA_IT_DATETIME, 8}, ZLTYPE_DATETIME, L"20240131235959123"},
    {{L"CITY", NA_IT_TEXTE, 31}, ZLTYPE_DSTRA, L"Saint-Etienne"},
    {{L"NAME", NA_IT_TEXTE, 51}, ZLTYPE_DSTRA, L"Jean-Baptiste Poquelin"},
    {{L"TITLE", NA_IT_UNICODE, 42}, ZLTYPE_DSTRW, L"L'\u00C9cole des femmes \U0001F3AD"},
    {{L"ACTIVE", NA_IT_BOOLEEN, 1}, ZLTYPE_BOOL, L"1"},
    {{L"COUNT", NA_IT_UI4, 4}, ZLTYPE_UI4, L"4000000000"},
    {{L"RATIO", NA_IT_R4, 4}, ZLTYPE_R4, L"1.5"},
    {{L"LEVEL", NA_IT_I1, 1}, ZLTYPE_I1, L"-5"},
    {{L"TOTAL", NA_IT_DECIMAL, 12, 1, 20, 4}, ZLTYPE_DECIMAL, L"-1234567890123.4567"},
    {{L"SPENT", NA_IT_TIMELENGHT, 8}, ZLTYPE_DUREE, L"1000000001"},
    {{L"CODE", NA_IT_UNICODE, 22}, ZLTYPE_DSTRW, L"\u00E9t\u00E9"},
};
constexpr size_t kItems = sizeof kRow / sizeof kRow[0];

struct Row
{
    Row()
    {
        std::vector<StandinItemRow> rows;
        for (const Field& f : kRow) rows.push_back(f.row);
        host = new StandinDataSourceDescription(rows);
        for (const Field& f : kRow) {
            CAny v;
            v.__SetType(ZLTYPE_PSTRW, 0);
            (void)v.Objet().SetValue(f.text);
            if (v.__nCastTo(f.type, nullptr, 0) > 99)
                std::abort();
            values.push_back(v);
        }
        if (!record.bInit(host, CNAQFRecord::INIT_NULL))
            std::abort();
        for (size_t i = 0; i < kItems; ++i) record.SetItemValue(&host->Item(i), &values[i], 0);
        outs.resize(kItems);
    }
    StandinDataSourceDescription* host;
    std::vector<CAny> values;
    std::vector<CAny> outs;
    CNAQFRecord record;
};

Row& TheRow()
{
    static Row row;
    return row;
}

void BM_StoreRead_QFRecord(benchmark::State& state)
{
    Row& row = TheRow();
    for (auto _ : state) {
        for (size_t i = 0; i < kItems; ++i) {
            row.record.SetItemValue(&row.host->Item(i), &row.values[i], 0);
            row.record.GetItemValue(&row.outs[i], &row.host->Item(i), 0);
        }
        benchmark::DoNotOptimize(row.record.pbyGetBuffer());
    }
}

void BM_StoreRead_memcpy(benchmark::State& state)
{
    Row& row = TheRow();
    std::vector<unsigned char> source(row.record.nGetBufferSize());
    std::vector<unsigned char> out(row.record.nGetBufferSize());
    std::memcpy(source.data(), row.record.pbyGetBuffer(), source.size());
    unsigned char* values = row.record.pbyGetValues();
    for (auto _ : state) {
        for (size_t i = 0; i < kItems; ++i) {
            const StandinItemDescription& item = row.host->Item(i);
            const size_t at = static_cast<size_t>(item.nOffset);
            const size_t width = static_cast<size_t>(item.nItemSize);
            std::memcpy(values + at, source.data() + at, width);
            std::memcpy(out.data() + at, values + at, width);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

void BM_CloneCompare_QFRecord(benchmark::State& state)
{
    Row& row = TheRow();
    for (auto _ : state) {
        CNAQFRecord* clone = row.record.pclGetClone();
        benchmark::DoNotOptimize(row.record.bEquals(clone));
        delete clone;
    }
}

void BM_CloneCompare_memcpy(benchmark::State& state)
{
    Row& row = TheRow();
    const size_t size = row.record.nGetBufferSize();
    for (auto _ : state) {
        auto* copy = static_cast<unsigned char*>(std::malloc(size));
        std::memcpy(copy, row.record.pbyGetBuffer(), size);
        benchmark::DoNotOptimize(std::memcmp(copy, row.record.pbyGetBuffer(), size));
        std::free(copy);
    }
}

BENCHMARK(BM_StoreRead_QFRecord)->Name("StoreRead/QFRecord");
BENCHMARK(BM_StoreRead_memcpy)->Name("StoreRead/memcpy");
BENCHMARK(BM_CloneCompare_QFRecord)->Name("CloneCompare/QFRecord");
BENCHMARK(BM_CloneCompare_memcpy)->Name("CloneCompare/memcpy");

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio record buffer / memcpy", "/QFRecord", "/memcpy");
}
