// Building a 200-column INSERT statement with the SQL text builder
// (CTStringConcatAW, UTF-8 master, as for a Unicode connection) against
// std::string appends of the same pieces, as a ratio in one run. Every
// statement the driver sends is built this way.
//
// The pieces are those of the driver: wide names and keywords (the host's
// strings, converted into the master code page), values already escaped in
// UTF-8 by the client library, and numbers. The baseline encodes the wide
// pieces to UTF-8 itself. Each iteration times one statement built both
// ways; the counter ratio_vs_std_string is the builder's time over the
// baseline's.
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <string>
#include <vector>

#include "common/text/string_concat_aw.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kColumns = 200;

struct Pieces
{
    std::vector<std::wstring> names;
    std::vector<std::string> texts;  // escaped UTF-8 values
    std::vector<long> numbers;
};

const Pieces& Statement()
{
    static const Pieces pieces = [] {
        Pieces p;
        for (int i = 0; i < kColumns; ++i) {
            p.names.push_back(L"colonne_désignation_" + std::to_wstring(i));
            p.texts.push_back("valeur n\xC2\xB0" + std::to_string(i) + " d\\'\xC3\xA9t\xC3\xA9");
            p.numbers.push_back(1000003L * i - 7);
        }
        return p;
    }();
    return pieces;
}

void AppendUtf8(std::string& out, const wchar_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned>(p[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

size_t BuildWithBuilder(const Pieces& p)
{
    CTStringConcatAW b(65001, 1252);
    b.AddStrCte(L"INSERT INTO `commande_détail` (", 31);
    for (int i = 0; i < kColumns; ++i) {
        if (i) b.AddStrCte(L", ", 2);
        b.AddStrCte(L"`", 1);
        b.Add(p.names[i].c_str(), static_cast<long>(p.names[i].size()));
        b.AddStrCte(L"`", 1);
    }
    b.AddStrCte(L") VALUES (", 10);
    for (int i = 0; i < kColumns; ++i) {
        if (i) b.AddStrCte(L", ", 2);
        if (i % 2) {
            b.AddNumber(p.numbers[i]);
        } else {
            b.AddStrCte(L"'", 1);
            b.Add(p.texts[i].c_str(), static_cast<long>(p.texts[i].size()), 65001);
            b.AddStrCte(L"'", 1);
        }
    }
    b.AddStrCte(L")", 1);
    const char* sql = b.pszGetA();
    benchmark::DoNotOptimize(sql);
    return static_cast<size_t>(b.nGetLongueurA());
}

size_t BuildWithString(const Pieces& p)
{
    std::string s;
    AppendUtf8(s, L"INSERT INTO `commande_détail` (", 31);
    for (int i = 0; i < kColumns; ++i) {
        if (i) AppendUtf8(s, L", ", 2);
        AppendUtf8(s, L"`", 1);
        AppendUtf8(s, p.names[i].c_str(), p.names[i].size());
        AppendUtf8(s, L"`", 1);
    }
    AppendUtf8(s, L") VALUES (", 10);
    for (int i = 0; i < kColumns; ++i) {
        if (i) AppendUtf8(s, L", ", 2);
        if (i % 2) {
            char digits[24];
            const auto r = std::to_chars(digits, digits + sizeof digits, p.numbers[i]);
            s.append(digits, r.ptr);
        } else {
            AppendUtf8(s, L"'", 1);
            s.append(p.texts[i]);
            AppendUtf8(s, L"'", 1);
        }
    }
    AppendUtf8(s, L")", 1);
    const char* sql = s.c_str();
    benchmark::DoNotOptimize(sql);
    return s.size();
}

void BM_Insert200Columns(benchmark::State& state)
{
    const Pieces& p = Statement();
    if (BuildWithBuilder(p) != BuildWithString(p)) {
        state.SkipWithError("the two statements differ");
        return;
    }
    double builderSeconds = 0;
    double baselineSeconds = 0;
    size_t sink = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        sink += BuildWithBuilder(p);
        const auto t1 = Clock::now();
        sink += BuildWithString(p);
        const auto t2 = Clock::now();
        const double a = std::chrono::duration<double>(t1 - t0).count();
        builderSeconds += a;
        baselineSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(a);
    }
    benchmark::DoNotOptimize(sink);
    state.counters["ratio_vs_std_string"] = baselineSeconds > 0 ? builderSeconds / baselineSeconds : 0;
}

BENCHMARK(BM_Insert200Columns)->UseManualTime();

}  // namespace
