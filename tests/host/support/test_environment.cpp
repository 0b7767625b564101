#include "tests/host/support/test_environment.h"

#include <clocale>

#include "common/system/information.h"

namespace vxtest {

StandinStrMemAlloc& Allocator()
{
    static StandinStrMemAlloc allocator;
    return allocator;
}

void PublishStandins()
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CInformationModule::ms_piStrMemAlloc = &Allocator();
}

void WithdrawStandins()
{
    CInformationModule::ms_piStrMemAlloc = nullptr;
}

}  // namespace vxtest
