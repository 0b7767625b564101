// The stand-in machine's 30 calculation entry points. They exist so that the
// calculation binding finds every name; until the calculations are built
// each one only counts its call and fails with kStandinVmErrNotImplemented
// (or its forced result), writing nothing.
#include <type_traits>

#include "common/text/vm_entry_points.h"
#include "tests/host/module/host_controls.h"
#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_state.h"

namespace {

int Unbuilt(int index)
{
    const int forced = standin_vm::NoteCall(kStandinVmCalculation + index);
    return forced >= 100 ? forced : kStandinVmErrNotImplemented;
}

}  // namespace

extern "C" {

STANDIN_HOST_API int bCanCompareEx(unsigned short, unsigned short)
{
    (void)Unbuilt(0);
    return 0;
}

STANDIN_HOST_API unsigned short wAjouteEx(unsigned short, unsigned short)
{
    (void)Unbuilt(1);
    return 0;
}

STANDIN_HOST_API unsigned short wSoustraitEx(unsigned short, unsigned short)
{
    (void)Unbuilt(2);
    return 0;
}

STANDIN_HOST_API unsigned short wMultiplieEx(unsigned short, unsigned short)
{
    (void)Unbuilt(3);
    return 0;
}

STANDIN_HOST_API unsigned short wDiviseEx(unsigned short, unsigned short)
{
    (void)Unbuilt(4);
    return 0;
}

STANDIN_HOST_API unsigned short wModuloEx(unsigned short, unsigned short)
{
    (void)Unbuilt(5);
    return 0;
}

STANDIN_HOST_API int nComparaisonEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(6);
}

STANDIN_HOST_API int nEgaliteEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(7);
}

STANDIN_HOST_API int nSuperieurEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(8);
}

STANDIN_HOST_API int nInferieurEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(9);
}

STANDIN_HOST_API int nPresqueEgalEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(10);
}

STANDIN_HOST_API int nSoupleEgalEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(11);
}

STANDIN_HOST_API int nCommenceParEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(12);
}

STANDIN_HOST_API int nCommenceParSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(13);
}

STANDIN_HOST_API int nCommenceParTresSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(14);
}

STANDIN_HOST_API int nContientEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(15);
}

STANDIN_HOST_API int nContientSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(16);
}

STANDIN_HOST_API int nContientTresSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(17);
}

STANDIN_HOST_API int nTermineParEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(18);
}

STANDIN_HOST_API int nTermineParSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(19);
}

STANDIN_HOST_API int nTermineParTresSoupleEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(20);
}

STANDIN_HOST_API int nETLogiqueEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(21);
}

STANDIN_HOST_API int nOULogiqueEx(const void*, unsigned short, const void*, unsigned short, int*, unsigned int, void*)
{
    return Unbuilt(22);
}

STANDIN_HOST_API int nNONLogiqueEx(const void*, unsigned short, int*, unsigned int, void*) { return Unbuilt(23); }

STANDIN_HOST_API int nNegationEx(const void*, unsigned short, void*, unsigned short*, unsigned int, void*)
{
    return Unbuilt(24);
}

STANDIN_HOST_API int nAdditionEx(const void*, unsigned short, const void*, unsigned short, void*, unsigned short*, unsigned int,
                         void*)
{
    return Unbuilt(25);
}

STANDIN_HOST_API int nSoustractionEx(const void*, unsigned short, const void*, unsigned short, void*, unsigned short*, unsigned int,
                         void*)
{
    return Unbuilt(26);
}

STANDIN_HOST_API int nMultiplicationEx(const void*, unsigned short, const void*, unsigned short, void*, unsigned short*, unsigned int,
                         void*)
{
    return Unbuilt(27);
}

STANDIN_HOST_API int nDivisionEx(const void*, unsigned short, const void*, unsigned short, void*, unsigned short*, unsigned int,
                         void*)
{
    return Unbuilt(28);
}

#ifndef STANDIN_VM_WITHOUT_MODULO
STANDIN_HOST_API int nModuloEx(const void*, unsigned short, const void*, unsigned short, void*, unsigned short*, unsigned int,
                         void*)
{
    return Unbuilt(29);
}
#endif

}  // extern "C"

static_assert(std::is_same_v<decltype(&bCanCompareEx), PFN_CanCompareEx>);

static_assert(std::is_same_v<decltype(&wAjouteEx), PFN_GetTypeResultatEx>);

static_assert(std::is_same_v<decltype(&wSoustraitEx), PFN_GetTypeResultatEx>);

static_assert(std::is_same_v<decltype(&wMultiplieEx), PFN_GetTypeResultatEx>);

static_assert(std::is_same_v<decltype(&wDiviseEx), PFN_GetTypeResultatEx>);

static_assert(std::is_same_v<decltype(&wModuloEx), PFN_GetTypeResultatEx>);

static_assert(std::is_same_v<decltype(&nComparaisonEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nEgaliteEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nSuperieurEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nInferieurEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nPresqueEgalEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nSoupleEgalEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nCommenceParEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nCommenceParSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nCommenceParTresSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nContientEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nContientSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nContientTresSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nTermineParEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nTermineParSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nTermineParTresSoupleEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nETLogiqueEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nOULogiqueEx), PFN_TestEx>);

static_assert(std::is_same_v<decltype(&nNONLogiqueEx), PFN_NonLogiqueEx>);

static_assert(std::is_same_v<decltype(&nNegationEx), PFN_NegationEx>);

static_assert(std::is_same_v<decltype(&nAdditionEx), PFN_ArithmetiqueEx>);

static_assert(std::is_same_v<decltype(&nSoustractionEx), PFN_ArithmetiqueEx>);

static_assert(std::is_same_v<decltype(&nMultiplicationEx), PFN_ArithmetiqueEx>);

static_assert(std::is_same_v<decltype(&nDivisionEx), PFN_ArithmetiqueEx>);

#ifndef STANDIN_VM_WITHOUT_MODULO
static_assert(std::is_same_v<decltype(&nModuloEx), PFN_ArithmetiqueEx>);
#endif
