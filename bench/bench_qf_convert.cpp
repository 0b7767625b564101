// The record conversion every fetched row goes through: the twenty text
// values of a MySQL result row (integers, reals, decimals, a boolean, a
// date, a time, date-times, texts in code page 1252 and in UTF-8, a Unicode
// text and a binary value) converted into the slots of a record buffer by
// the conversion values bound to them (storage kind 3, bSetValueDB).
// Baseline: a plain loop that parses the same texts with strtoll and strtod,
// a hand-written date parser, and memcpy into the same slots.
// One benchmark iteration is one row; each run converts one million rows.
// The numeric casts and the decimals are the stand-in virtual machine's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/standin_bench_main.h"
#include "common/text/any.h"
#include "common/text/date_time_base.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/qf_record.h"
#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_data_source_description.h"

namespace {

// How the baseline writes a column.
enum class Plain
{
    Integer,
    Real,
    Float,
    Decimal,
    Date8,
    Heure,
    DateTime,
    Text,
    Utf16,
    Binary,
    Bool,
};

struct Column
{
    StandinItemRow row;
    const char* text;
    int codePage;
    Plain plain;
};

const Column kRow[] = {
    {{L"ID", NA_IT_I4, 4}, "123456", 1252, Plain::Integer},
    {{L"BIG", NA_IT_I8, 8}, "-9000000000", 1252, Plain::Integer},
    {{L"SMALL", NA_IT_I2, 2}, "-300", 1252, Plain::Integer},
    {{L"TINY", NA_IT_UI1, 1}, "200", 1252, Plain::Integer},
    {{L"COUNT", NA_IT_UI4, 4}, "4000000000", 1252, Plain::Integer},
    {{L"LEVEL", NA_IT_I1, 1}, "-5", 1252, Plain::Integer},
    {{L"RATE", NA_IT_R8, 8}, "-2.25", 1252, Plain::Real},
    {{L"RATIO", NA_IT_R4, 4}, "1.5", 1252, Plain::Float},
    {{L"AMOUNT", NA_IT_DECIMAL, 6, 1, 10, 2}, "12345.67", 1252, Plain::Decimal},
    {{L"TOTAL", NA_IT_DECIMAL, 12, 1, 20, 4}, "-1234567890123.4567", 1252, Plain::Decimal},
    {{L"ACTIVE", NA_IT_BOOLEEN, 1}, "1", 1252, Plain::Bool},
    {{L"BIRTH", NA_IT_DATE8, 9}, "1999-12-31", 1252, Plain::Date8},
    {{L"AT", NA_IT_HEURE, 10}, "23:59:58", 1252, Plain::Heure},
    {{L"SEEN", NA_IT_DATETIME, 8}, "2024-01-31 23:59:59", 1252, Plain::DateTime},
    {{L"STAMP", NA_IT_DATETIME, 8}, "2024-01-31 23:59:59.123", 1252, Plain::DateTime},
    {{L"CITY", NA_IT_TEXTE, 31}, "Saint-\xC9tienne", 1252, Plain::Text},
    {{L"NAME", NA_IT_TEXTE, 51}, "Jean-Baptiste Poquelin", 1252, Plain::Text},
    {{L"STREET", NA_IT_TEXTE, 41}, "Rue de l'\xC3\x89glise", 65001, Plain::Text},
    {{L"TITLE", NA_IT_UNICODE, 42}, "L'\xC3\x89" "cole des femmes \xF0\x9F\x8E\xAD", 65001, Plain::Utf16},
    {{L"HASH", NA_IT_BINAIRE, 18}, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10", 1252,
     Plain::Binary},
};
constexpr size_t kColumns = sizeof kRow / sizeof kRow[0];
constexpr int64_t kRows = 1000000;

struct Row
{
    Row() : host(Rows())
    {
        connection = new CTestConnection(L"BENCH", &hostConnection);
        connection->m_dwRefCount = 1;
        connection->SetRuntimeCodePage(1252);
        error = new CNAError;
        error->AddRef();
        if (!record.bInit(&host, CNAQFRecord::INIT_NULL))
            std::abort();
        for (size_t i = 0; i < kColumns; ++i) {
            StandinItemDescription& item = host.Item(i);
            CNAConvertVariant* v = new CNAConvertVariant(error, connection);
            v->m_dwRefCount = 1;
            if (!v->bInitTypeVariant(NA_VT_RECORD, record.pbyGetItemValue(&item, 0),
                                     static_cast<unsigned long>(item.nGetItemSize()), ConverteItemToZLType(&item)))
                std::abort();
            v->SetItemDesc(&item, &item);
            values.push_back(v);
            lengths.push_back(static_cast<long>(std::strlen(kRow[i].text)));
        }
        // Binary data has no terminator of its own.
        lengths[kColumns - 1] = 16;
    }
    ~Row()
    {
        for (CNAConvertVariant* v : values)
            v->nRelease();
        error->nRelease();
        connection->nRelease();
    }
    static std::vector<StandinItemRow> Rows()
    {
        std::vector<StandinItemRow> rows;
        for (const Column& c : kRow)
            rows.push_back(c.row);
        return rows;
    }

    StandinConnectionDescription hostConnection;
    StandinDataSourceDescription host;
    CNAQFRecord record;
    CTestConnection* connection = nullptr;
    CNAError* error = nullptr;
    std::vector<CNAConvertVariant*> values;
    std::vector<long> lengths;
};

Row& TheRow()
{
    static Row row;
    return row;
}

void BM_Convert_bSetValueDB(benchmark::State& state)
{
    Row& row = TheRow();
    for (auto _ : state) {
        for (size_t i = 0; i < kColumns; ++i) {
            if (!row.values[i]->bSetValueDB(kRow[i].text, row.lengths[i], kRow[i].codePage))
                state.SkipWithError("conversion failed");
        }
        benchmark::DoNotOptimize(row.record.pbyGetValues());
    }
    state.SetItemsProcessed(state.iterations());
}

// The hand-written forms of the same slots.
int Digits(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

void PlainColumn(const Column& c, long length, unsigned char* slot, size_t width)
{
    switch (c.plain) {
    case Plain::Integer:
    case Plain::Bool: {
        const long long v = std::strtoll(c.text, nullptr, 10);
        std::memcpy(slot, &v, width);
        break;
    }
    case Plain::Real: {
        const double d = std::strtod(c.text, nullptr);
        std::memcpy(slot, &d, sizeof d);
        break;
    }
    case Plain::Float: {
        const float f = std::strtof(c.text, nullptr);
        std::memcpy(slot, &f, sizeof f);
        break;
    }
    case Plain::Decimal: {
        // The digits without the point, as an unscaled integer.
        char digits[40];
        size_t n = 0;
        for (const char* p = c.text; *p != 0 && n + 1 < sizeof digits; ++p)
            if (*p != '.')
                digits[n++] = *p;
        digits[n] = 0;
        const long long v = std::strtoll(digits, nullptr, 10);
        std::memcpy(slot, &v, width < sizeof v ? width : sizeof v);
        break;
    }
    case Plain::Date8:
        std::memcpy(slot, c.text, 4);
        std::memcpy(slot + 4, c.text + 5, 2);
        std::memcpy(slot + 6, c.text + 8, 2);
        slot[8] = 0;
        break;
    case Plain::Heure:
        std::memcpy(slot, c.text, 2);
        std::memcpy(slot + 2, c.text + 3, 2);
        std::memcpy(slot + 4, c.text + 6, 2);
        std::memcpy(slot + 6, "000", 4);
        break;
    case Plain::DateTime: {
        CDateTimeBase dt;
        dt.Set(Digits(c.text, 4), Digits(c.text + 5, 2), Digits(c.text + 8, 2), Digits(c.text + 11, 2),
               Digits(c.text + 14, 2), Digits(c.text + 17, 2), length > 20 ? Digits(c.text + 20, 3) : 0);
        std::memcpy(slot, &dt, sizeof dt);
        break;
    }
    case Plain::Text:
    case Plain::Binary: {
        const size_t n = static_cast<size_t>(length) < width - 1 ? static_cast<size_t>(length) : width - 1;
        std::memcpy(slot, c.text, n);
        std::memset(slot + n, 0, width - n);
        break;
    }
    case Plain::Utf16: {
        // Widened byte by byte: the baseline does not decode.
        size_t n = 0;
        for (long i = 0; i < length && 2 * n + 2 < width; ++i, ++n) {
            const unsigned short unit = static_cast<unsigned char>(c.text[i]);
            std::memcpy(slot + 2 * n, &unit, sizeof unit);
        }
        std::memset(slot + 2 * n, 0, width - 2 * n);
        break;
    }
    }
}

void BM_Convert_plain(benchmark::State& state)
{
    Row& row = TheRow();
    for (auto _ : state) {
        for (size_t i = 0; i < kColumns; ++i) {
            StandinItemDescription& item = row.host.Item(i);
            PlainColumn(kRow[i], row.lengths[i], row.record.pbyGetItemValue(&item, 0),
                        static_cast<size_t>(item.nGetItemSize()));
        }
        benchmark::DoNotOptimize(row.record.pbyGetValues());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Convert_bSetValueDB)->Name("RecordConversion/bSetValueDB")->Iterations(kRows);
BENCHMARK(BM_Convert_plain)->Name("RecordConversion/plain")->Iterations(kRows);

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio record conversion / plain parsing (numeric casts on the stand-in machine)", "/bSetValueDB", "/plain");
}
