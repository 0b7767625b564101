#pragma once

// What the module start-up tests share: the stand-in host module, loaded once
// per process, and the start-up and end commands as the host sends them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/system/base_execution_dll.h"
#include "common/system/execution.h"
#include "common/system/execution_startup_record.h"
#include "tests/host/module/standin_host_loader.h"

namespace vxtest {

inline StandinHostModule& Host()
{
    static StandinHostModule host(VX_STANDIN_HOST_PATH);
    return host;
}

inline StandinHostModule& NoExecutionHost()
{
    static StandinHostModule host(VX_STANDIN_NOEXEC_PATH);
    return host;
}

inline int StartUp(HINSTANCE hostModule, uint64_t size = sizeof(stExecutionStartup), ILibShop* libShop = nullptr)
{
    stExecutionStartup record{size, hostModule, 3, 4, libShop};
    return Execution(3985, &record);
}

inline int StartUp() { return StartUp(Host().Handle()); }

// Ends the module object whatever the count, as the host would by matching
// every start-up.
inline void EndAll()
{
    while (gpclExecutionDLL32 != nullptr)
        Execution(4875, nullptr);
    CBaseExecutionDLL::ms_nNbInitialisation = 0;
}

// The queries of a full host start-up when the record brings no ILibShop.
inline const std::vector<int> kFullStartupQueries = {9, 10, 12, 13, 15, 7, 1, 5, 2, 3, 4, 8, 14};

template <typename T>
int64_t Address(T* p)
{
    return reinterpret_cast<intptr_t>(p);
}

// A fixture that loads the stand-in host, starts each test with no module
// object and a fresh host log, and leaves none behind.
class ModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Host().IsLoaded()) << Host().Error();
        EndAll();
        Host().Reset();
    }
    void TearDown() override { EndAll(); }
};

}  // namespace vxtest
