// What the SQL-builder benchmarks share: the test driver's connection on
// the stand-in host that their commands are written for, a number written
// as the command writes it, and the timed loop that first proves a command
// writes exactly the baseline's bytes (otherwise the ratio would compare
// different work).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "native/driver/driver.h"
#include "native/sql/command.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_connection_description.h"

namespace vxbench {

// The driver handed out by the registration in place, and one connection of
// it with the given code pages. The test driver module must be started.
struct SqlBenchConnection
{
    void Open(int nRuntimeCodePage, int nClientTextCodePage)
    {
        piDriver = piQueryInterface(0);
        pclDriver = static_cast<CNADriver*>(piDriver);
        pclError = pclDriver->pclGetError();
        pclConnection = new CTestConnection(L"BENCH", &hostConnection);
        REF_AddRef(pclConnection);
        pclConnection->SetRuntimeCodePage(nRuntimeCodePage);
        pclConnection->SetClientTextCodePage(nClientTextCodePage);
    }

    // A new command on the connection, referenced once for the caller.
    CNACommand* pclNewCommand() const
    {
        CNACommand* pclCommand = pclDriver->pclAllocCommand(pclError, pclConnection);
        REF_AddRef(pclCommand);
        return pclCommand;
    }

    StandinConnectionDescription hostConnection;
    INADriver* piDriver = nullptr;
    CNADriver* pclDriver = nullptr;
    CNAError* pclError = nullptr;
    CTestConnection* pclConnection = nullptr;
};

inline void AppendNumber(std::string& out, long long n)
{
    char sz[24];
    const int nLen = std::snprintf(sz, sizeof sz, "%lld", n);
    out.append(sz, static_cast<size_t>(nLen));
}

// Times `write`, which writes a statement into a new command, hands the
// command out through its argument and returns the bytes it would send;
// each iteration releases the command it made.
template <class Write>
void TimeCommandAgainst(benchmark::State& state, const std::string& baseline, Write write)
{
    CNACommand* pclCommand = nullptr;
    const std::string written(write(&pclCommand));
    pclCommand->nRelease();
    if (written != baseline) {
        state.SkipWithError(("the command and the baseline write different texts: " + written).c_str());
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(write(&pclCommand));
        pclCommand->nRelease();
    }
}

}  // namespace vxbench
