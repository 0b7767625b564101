// Runtime wide strings against std::wstring doing the same work: assignment
// into an existing value, sharing a copy, and appending piece by piece. The
// runtime strings take their blocks from the stand-in allocator (heap blocks
// with the host's header), so the ratios show the cost of the block layout,
// the atomic counts and the exact-size growth.
//
// Each pair is named "<work>/XYString/<n>" and "<work>/wstring/<n>"; after the
// usual table the program prints XYString time / wstring time per pair.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/ratio_reporter.h"
#include "common/system/information.h"
#include "common/text/xy_string.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

namespace {

std::wstring Text(int n, wchar_t c)
{
    return std::wstring(static_cast<size_t>(n), c);
}

void BM_Assign_XYString(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::wstring a = Text(n, L'a'), b = Text(n, L'b');
    CXYString<wchar_t> s(a.c_str());
    for (auto _ : state) {
        s.nAffecte(b.c_str(), n);
        s.nAffecte(a.c_str(), n);
        benchmark::DoNotOptimize(s.pbyGetBlock());
    }
}

void BM_Assign_wstring(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::wstring a = Text(n, L'a'), b = Text(n, L'b');
    std::wstring s = a;
    for (auto _ : state) {
        s.assign(b.c_str(), static_cast<size_t>(n));
        s.assign(a.c_str(), static_cast<size_t>(n));
        benchmark::DoNotOptimize(s.data());
    }
}

void BM_Share_XYString(benchmark::State& state)
{
    const CXYString<wchar_t> s(Text(static_cast<int>(state.range(0)), L'a').c_str());
    for (auto _ : state) {
        CXYString<wchar_t> copy(s);
        benchmark::DoNotOptimize(copy.pbyGetBlock());
    }
}

void BM_Share_wstring(benchmark::State& state)
{
    const std::wstring s = Text(static_cast<int>(state.range(0)), L'a');
    for (auto _ : state) {
        std::wstring copy(s);
        benchmark::DoNotOptimize(copy.data());
    }
}

// Builds a text of range(0) pieces of 16 characters.
void BM_Concat_XYString(benchmark::State& state)
{
    const std::wstring piece = Text(16, L'p');
    for (auto _ : state) {
        CXYString<wchar_t> s;
        for (int64_t i = 0; i < state.range(0); ++i)
            s.nConcat(piece.c_str(), 16);
        benchmark::DoNotOptimize(s.pbyGetBlock());
    }
}

void BM_Concat_wstring(benchmark::State& state)
{
    const std::wstring piece = Text(16, L'p');
    for (auto _ : state) {
        std::wstring s;
        for (int64_t i = 0; i < state.range(0); ++i)
            s.append(piece.c_str(), 16);
        benchmark::DoNotOptimize(s.data());
    }
}

BENCHMARK(BM_Assign_XYString)->Name("Assign/XYString")->Arg(8)->Arg(256);
BENCHMARK(BM_Assign_wstring)->Name("Assign/wstring")->Arg(8)->Arg(256);
BENCHMARK(BM_Share_XYString)->Name("Share/XYString")->Arg(8)->Arg(256);
BENCHMARK(BM_Share_wstring)->Name("Share/wstring")->Arg(8)->Arg(256);
BENCHMARK(BM_Concat_XYString)->Name("Concat/XYString")->Arg(16)->Arg(256);
BENCHMARK(BM_Concat_wstring)->Name("Concat/wstring")->Arg(16)->Arg(256);


}  // namespace

int main(int argc, char** argv)
{
    static StandinStrMemAlloc allocator;
    CInformationModule::ms_piStrMemAlloc = &allocator;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    vxbench::RatioReporter reporter("ratio XYString / wstring", "/XYString/", "/wstring/");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    CInformationModule::ms_piStrMemAlloc = nullptr;
    return 0;
}
