// The registries' name comparison, STR_nCompareW(a, b, 3) through the host's
// locale interface, against wcscasecmp on the same registry-like names
// (tables and columns), as a ratio in one run. The locale is the stand-in
// host's; the ratio shows the cost of the call through the interface and of
// case and accent folding against a plain case-insensitive compare.
//
// With the stand-in most of the time is the stand-in's own (it decodes,
// logs and compares in three levels); the NoHostLocale pair shows the
// library's side alone.
//
// Pairs: "<work>/STR_nCompareW" and "<work>/wcscasecmp"; after the table the
// program prints STR_nCompareW time / wcscasecmp time per pair.
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "common/system/information.h"
#include "common/text/str_compare.h"
#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

namespace {

// Names as a schema holds them, and the forms look-ups arrive in.
const std::vector<std::wstring>& Names()
{
    static const std::vector<std::wstring> names = {
        L"CLIENT", L"COMMANDE", L"LIGNE_COMMANDE", L"PRODUIT", L"FOURNISSEUR", L"IDCLIENT", L"IDCOMMANDE",
        L"DateCommande", L"MontantTTC", L"Adresse_Livraison", L"CodePostal", L"Ville", L"Pays", L"Téléphone",
        L"NuméroFacture", L"Désignation", L"PrixUnitaireHT", L"Quantité", L"Remise", L"StatutCommande",
    };
    return names;
}

StandinInfoLocale& Locale()
{
    static StandinInfoLocale locale;
    return locale;
}

// Every name against every name: mostly differing early, some equal. The
// stand-in's call log is emptied between iterations, outside the timing.
template <class Compare>
void CompareAll(benchmark::State& state, const std::vector<std::wstring>& probes, Compare compare)
{
    const std::vector<std::wstring>& names = Names();
    for (auto _ : state) {
        state.PauseTiming();
        Locale().ClearLog();
        state.ResumeTiming();
        int sum = 0;
        for (const std::wstring& probe : probes) {
            for (const std::wstring& name : names)
                sum += compare(probe.c_str(), name.c_str()) == 0;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(probes.size() * names.size()));
}

// The same names in another case: each probe is equal to one entry.
std::vector<std::wstring> LowerProbes()
{
    std::vector<std::wstring> probes;
    for (const std::wstring& name : Names()) {
        std::wstring lower = name;
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        probes.push_back(lower);
    }
    return probes;
}

int LocaleCompare(const wchar_t* a, const wchar_t* b)
{
    return STR_nCompareW(a, b, 3);
}

int CLibraryCompare(const wchar_t* a, const wchar_t* b)
{
    return wcscasecmp(a, b);
}

void BM_Lookup_STR(benchmark::State& state)
{
    CompareAll(state, LowerProbes(), LocaleCompare);
}

void BM_Lookup_wcscasecmp(benchmark::State& state)
{
    CompareAll(state, LowerProbes(), CLibraryCompare);
}

void BM_Exact_STR(benchmark::State& state)
{
    CompareAll(state, Names(), LocaleCompare);
}

void BM_Exact_wcscasecmp(benchmark::State& state)
{
    CompareAll(state, Names(), CLibraryCompare);
}

// Without a host locale the library compares by itself (towupper and the
// Latin-1 accent table): the cost of the library's own side of the call.
void BM_Fallback_STR(benchmark::State& state)
{
    CInformationDLL::ms_piInfoLocale = nullptr;
    CompareAll(state, LowerProbes(), LocaleCompare);
    CInformationDLL::ms_piInfoLocale = &Locale();
}

void BM_Fallback_wcscasecmp(benchmark::State& state)
{
    CompareAll(state, LowerProbes(), CLibraryCompare);
}

BENCHMARK(BM_Lookup_STR)->Name("Lookup/STR_nCompareW");
BENCHMARK(BM_Lookup_wcscasecmp)->Name("Lookup/wcscasecmp");
BENCHMARK(BM_Exact_STR)->Name("Exact/STR_nCompareW");
BENCHMARK(BM_Exact_wcscasecmp)->Name("Exact/wcscasecmp");
BENCHMARK(BM_Fallback_STR)->Name("NoHostLocale/STR_nCompareW");
BENCHMARK(BM_Fallback_wcscasecmp)->Name("NoHostLocale/wcscasecmp");

// The console table, then one ratio line per pair.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nratio STR_nCompareW(a, b, 3) / wcscasecmp (cpu time)\n");
        const std::string tag = "/STR_nCompareW";
        for (const auto& [name, cpu] : m_cpu) {
            const size_t at = name.find(tag);
            if (at == std::string::npos)
                continue;
            std::string baseline = name;
            baseline.replace(at, tag.size(), "/wcscasecmp");
            auto it = m_cpu.find(baseline);
            if (it != m_cpu.end() && it->second > 0)
                std::printf("  %-24s %6.2f\n", name.c_str(), cpu / it->second);
        }
    }

private:
    std::map<std::string, double> m_cpu;
};

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    static StandinStrMemAlloc allocator;
    CInformationModule::ms_piStrMemAlloc = &allocator;
    CInformationDLL::ms_piInfoLocale = &Locale();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    CInformationDLL::ms_piInfoLocale = nullptr;
    CInformationModule::ms_piStrMemAlloc = nullptr;
    return 0;
}
