// The code-page converters against a direct iconv loop over the same 1 MB of
// mixed text. Each benchmark times both in the same iterations and reports
// the converter's time over iconv's as "vs_iconv" (below 1 is faster).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/text/code_page_text.h"

namespace {

constexpr size_t kTextBytes = 1 << 20;

// 1252 text: words of ASCII with accented letters, the euro sign and quotes.
const std::string& Cp1252Text()
{
    static const std::string text = [] {
        const char* const words[] = {"caf\xE9", "na\xEFve", "r\xE9sum\xE9", "price", "\x80" "42", "\x93quoted\x94",
                                     "SELECT", "table_name", "\xC0 la", "stra\xDF" "e"};
        std::string t;
        for (size_t i = 0; t.size() < kTextBytes; ++i) {
            t += words[i % 10];
            t += ' ';
        }
        t.resize(kTextBytes);
        return t;
    }();
    return text;
}

// Wide text mixing ASCII, Latin-1, CJK and characters above U+FFFF.
const std::wstring& MixedWide()
{
    static const std::wstring text = [] {
        const wchar_t* const words[] = {L"caf\u00E9", L"SELECT", L"\u65E5\u672C\u8A9E", L"na\u00EFve", L"\u20AC42",
                                        L"\U0001F600", L"table_name", L"\u0416\u0438\u0437\u043D\u044C"};
        std::wstring t;
        size_t bytes = 0;
        for (size_t i = 0; bytes < kTextBytes; ++i) {
            t += words[i % 8];
            t += L' ';
            bytes = t.size() * 2;
        }
        return t;
    }();
    return text;
}

const std::string& MixedUtf8()
{
    static const std::string text = [] {
        const std::wstring& w = MixedWide();
        const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        std::string t(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), t.data(), n, nullptr, nullptr);
        return t;
    }();
    return text;
}

// One direct iconv conversion of the whole input into a buffer of known size,
// with its own descriptor, as a caller of the C library would write it.
size_t IconvOnce(const char* to, const char* from, const void* src, size_t len, void* dst, size_t cap)
{
    iconv_t cd = iconv_open(to, from);
    char* in = static_cast<char*>(const_cast<void*>(src));
    char* out = static_cast<char*>(dst);
    size_t inLeft = len;
    size_t outLeft = cap;
    iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    return cap - outLeft;
}

using Clock = std::chrono::steady_clock;

template <class Converter, class Baseline>
void Paired(benchmark::State& state, size_t bytes, Converter converter, Baseline baseline)
{
    double mine = 0;
    double theirs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(converter());
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(baseline());
        const auto t2 = Clock::now();
        const double d = std::chrono::duration<double>(t1 - t0).count();
        mine += d;
        theirs += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(d);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["vs_iconv"] = theirs > 0 ? mine / theirs : 0;
}

void BM_Cp1252ToWide(benchmark::State& state)
{
    const std::string& src = Cp1252Text();
    std::vector<wchar_t> dst(src.size());
    std::vector<wchar_t> ref(src.size());
    Paired(
        state, src.size(),
        [&] { return MultiByteToWideChar(1252, 0, src.data(), static_cast<int>(src.size()), dst.data(), static_cast<int>(dst.size())); },
        [&] { return IconvOnce("UTF32LE//IGNORE", "CP1252", src.data(), src.size(), ref.data(), ref.size() * 4); });
}

void BM_Cp1252ToWideMeasuredAndAllocated(benchmark::State& state)
{
    const std::string& src = Cp1252Text();
    std::vector<wchar_t> ref(src.size());
    Paired(
        state, src.size(),
        [&] {
            wchar_t* out = nullptr;
            int length = 0;
            __STR_CharToWChar(src.data(), static_cast<int>(src.size()), 1252, &out, &length, 0);
            std::free(out);
            return length;
        },
        [&] { return IconvOnce("UTF32LE//IGNORE", "CP1252", src.data(), src.size(), ref.data(), ref.size() * 4); });
}

void BM_WideToUtf8(benchmark::State& state)
{
    const std::wstring& src = MixedWide();
    std::vector<char> dst(src.size() * 4);
    std::vector<char> ref(src.size() * 4);
    Paired(
        state, src.size() * sizeof(wchar_t),
        [&] { return WideCharToMultiByte(CP_UTF8, 0, src.data(), static_cast<int>(src.size()), dst.data(), static_cast<int>(dst.size()), nullptr, nullptr); },
        [&] { return IconvOnce("UTF-8", "UTF32LE", src.data(), src.size() * 4, ref.data(), ref.size()); });
}

void BM_WideToUtf8MeasuredAndAllocated(benchmark::State& state)
{
    const std::wstring& src = MixedWide();
    std::vector<char> ref(src.size() * 4);
    Paired(
        state, src.size() * sizeof(wchar_t),
        [&] {
            char* out = nullptr;
            int length = 0;
            __STR_WCharToChar(src.data(), static_cast<int>(src.size()), &out, &length, CP_UTF8);
            std::free(out);
            return length;
        },
        [&] { return IconvOnce("UTF-8", "UTF32LE", src.data(), src.size() * 4, ref.data(), ref.size()); });
}

void BM_Utf8ToWide(benchmark::State& state)
{
    const std::string& src = MixedUtf8();
    std::vector<wchar_t> dst(src.size());
    std::vector<wchar_t> ref(src.size());
    Paired(
        state, src.size(),
        [&] { return MultiByteToWideChar(CP_UTF8, 0, src.data(), static_cast<int>(src.size()), dst.data(), static_cast<int>(dst.size())); },
        [&] { return IconvOnce("UTF32LE//IGNORE", "UTF-8", src.data(), src.size(), ref.data(), ref.size() * 4); });
}

void BM_Utf8ToWideMeasuredAndAllocated(benchmark::State& state)
{
    const std::string& src = MixedUtf8();
    std::vector<wchar_t> ref(src.size());
    Paired(
        state, src.size(),
        [&] {
            wchar_t* out = nullptr;
            int length = 0;
            __STR_CharToWChar(src.data(), static_cast<int>(src.size()), CP_UTF8, &out, &length, 0);
            std::free(out);
            return length;
        },
        [&] { return IconvOnce("UTF32LE//IGNORE", "UTF-8", src.data(), src.size(), ref.data(), ref.size() * 4); });
}

}  // namespace

BENCHMARK(BM_Cp1252ToWide)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cp1252ToWideMeasuredAndAllocated)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WideToUtf8)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WideToUtf8MeasuredAndAllocated)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf8ToWide)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Utf8ToWideMeasuredAndAllocated)->UseManualTime()->Unit(benchmark::kMicrosecond);
