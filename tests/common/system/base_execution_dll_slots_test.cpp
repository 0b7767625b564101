// The module object's virtual operations are slots of the host's module
// interface: their positions must not move.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/system/base_execution_dll.h"

namespace {

// Under the Itanium C++ ABI a pointer to a virtual member function holds
// 1 + the slot's byte offset in the virtual table, then a this-adjustment.
template <typename MemberFn>
long SlotOf(MemberFn fn)
{
    struct Raw { uintptr_t ptr; ptrdiff_t adj; } raw;
    static_assert(sizeof(fn) == sizeof(raw));
    std::memcpy(&raw, &fn, sizeof raw);
    if ((raw.ptr & 1) == 0 || raw.adj != 0)
        return -1;
    return static_cast<long>((raw.ptr - 1) / sizeof(void*));
}

TEST(BaseExecutionDLL, VirtualOperationsSitInTheHostsSlotOrder)
{
    EXPECT_EQ(0, SlotOf(&CBaseExecutionDLL::vbInitialiseDLL));
    EXPECT_EQ(1, SlotOf(&CBaseExecutionDLL::vSetUtilisation));
    EXPECT_EQ(2, SlotOf(&CBaseExecutionDLL::vTermineDLL));
    EXPECT_EQ(3, SlotOf(&CBaseExecutionDLL::vChangeLangue));
    EXPECT_EQ(4, SlotOf(&CBaseExecutionDLL::vDesactiveApplication));
    EXPECT_EQ(5, SlotOf(&CBaseExecutionDLL::vReactiveApplication));
    EXPECT_EQ(6, SlotOf(&CBaseExecutionDLL::vbInitialiseTypeDINO));
    EXPECT_EQ(7, SlotOf(&CBaseExecutionDLL::vbDumpMemoire));
    static_assert(!std::has_virtual_destructor_v<CBaseExecutionDLL>, "no destructor slot");
    static_assert(std::is_base_of_v<CInformationDLL, CBaseExecutionDLL>);
    static_assert(std::is_base_of_v<CInformationModule, CInformationDLL>);
}

TEST(BaseExecutionDLL, NewObjectHoldsNothingAndBaseOperationsGiveTheirDefaultAnswers)
{
    CBaseExecutionDLL object;
    EXPECT_EQ(nullptr, object.m_hInstance);
    EXPECT_EQ(nullptr, object.m_pfnExecution);
    EXPECT_EQ(0u, object.m_bTermine);
    EXPECT_EQ(1, object.vbInitialiseDLL());
    EXPECT_EQ(1, object.vbInitialiseTypeDINO(nullptr));
    EXPECT_EQ(0, object.vbDumpMemoire(nullptr));
    EXPECT_EQ(0, object._eGetModeSmartphone());
    wchar_t buffer[2];
    EXPECT_EQ(0, object._bRemplitPileC(1, buffer, 2, 0));
}

}  // namespace
