#pragma once

// The main of the benchmarks that run on the stand-in host: its string
// allocator and virtual machine started as the tests start them, then the
// benchmarks with the ratio of each measured one to its baseline.
#include <benchmark/benchmark.h>

#include "bench/ratio_reporter.h"
#include "common/system/information.h"
#include "common/text/vm_binding.h"
#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/module/standin_vm_loader.h"

namespace vxbench {

inline int RunOnStandinHost(int argc, char** argv, const char* pszTitle, const char* pszMeasured,
                            const char* pszBaseline)
{
    static StandinStrMemAlloc allocator;
    CInformationModule::ms_piStrMemAlloc = &allocator;
    static StandinHostModule host(VX_STANDIN_HOST_PATH);
    if (!host.IsLoaded() || bInitZLConvFromVM(host.Handle(), 2, 2) != 1)
        return 1;
    StandinVm(host).SetAllocator(&allocator);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(pszTitle, pszMeasured, pszBaseline);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace vxbench
