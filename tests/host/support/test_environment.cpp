#include "tests/host/support/test_environment.h"

#include <clocale>

#include "common/system/information.h"

namespace vxtest {

StandinStrMemAlloc& Allocator()
{
    static StandinStrMemAlloc allocator;
    return allocator;
}

StandinInfoLocale& Locale()
{
    static StandinInfoLocale locale;
    return locale;
}

void PublishStandins()
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CInformationModule::ms_piStrMemAlloc = &Allocator();
    CInformationDLL::ms_piInfoLocale = &Locale();
}

void WithdrawStandins()
{
    CInformationModule::ms_piStrMemAlloc = nullptr;
    CInformationDLL::ms_piInfoLocale = nullptr;
}

}  // namespace vxtest
