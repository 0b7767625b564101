#pragma once

#include "common/text/stocaw.h"

// The virtual machine's entry points as the library looks them up by name
// (dlsym) and calls them. Header only: the stand-in virtual machine of the
// tests defines its exports against these types.
//
// Every entry point returns 0 to 99 for success (a non-zero one being a
// warning) and 100 or more for failure. Storage pointers point to the
// 40-byte value storage of a runtime value laid out for its type code.

// Conversion of one value into another type's storage. For source type 110
// the source is a cell holding the text pointer. On success the destination
// holds what the conversion made (its own block reference for 16, 19 and 28,
// a malloc'd text for 18 and 110, a factory decimal for 13), which
// FinConversion releases; on failure the destination is not to be used.
using PFN_ConversionDepassementExt = int (*)(const void* pSrc, int nSrcType, void* pDst, unsigned short nDstType,
                                             unsigned int nFlags, const STOCAW* pOptions);
// Releases what a successful conversion left in the storage.
using PFN_FinConversion = void (*)(void* pDst, int nType);
// Asked once with VM_PROXY_FACTORY (decimal_interface.h): the object factory.
using PFN_QueryProxy = void* (*)(int nId);

// Bound-only entry points (1 to 6 of the calculation binding).
using PFN_CanCompareEx = int (*)(unsigned short wTypeA, unsigned short wTypeB);
using PFN_GetTypeResultatEx = unsigned short (*)(unsigned short wTypeA, unsigned short wTypeB);
// Two-operand tests (7 to 23): whole 16-bit type words; the answer in *pnResult.
using PFN_TestEx = int (*)(const void* pA, unsigned short wTypeA, const void* pB, unsigned short wTypeB, int* pnResult,
                           unsigned int nOptions, void* pReserved);
// Logical NOT (24).
using PFN_NonLogiqueEx = int (*)(const void* pA, unsigned short wTypeA, int* pnResult, unsigned int nOptions,
                                 void* pReserved);
// Negation (25): writes the result into the caller's initialised storage.
using PFN_NegationEx = int (*)(const void* pA, unsigned short nTypeA, void* pResult, unsigned short* pnResultType,
                               unsigned int nOptions, void* pReserved);
// Two-operand arithmetic (26 to 30): type codes (low byte only); the result
// in a 40-byte storage that the caller takes over.
using PFN_ArithmetiqueEx = int (*)(const void* pA, unsigned short nTypeA, const void* pB, unsigned short nTypeB,
                                   void* pResult, unsigned short* pnResultType, unsigned int nOptions, void* pReserved);

// Names of the conversion entry points.
inline constexpr const char VM_NAME_CONVERSION[] = "nConversionDepassementExt";
inline constexpr const char VM_NAME_FIN_CONVERSION[] = "FinConversion";
inline constexpr const char VM_NAME_QUERY_PROXY[] = "pQueryProxy";

// Names of the 30 calculation entry points, in binding order.
inline constexpr int VM_CALCULATION_COUNT = 30;
inline constexpr const char* const gapszVMCalculationNames[VM_CALCULATION_COUNT] = {
    "bCanCompareEx",        "wAjouteEx",          "wSoustraitEx",          "wMultiplieEx",
    "wDiviseEx",            "wModuloEx",          "nComparaisonEx",        "nEgaliteEx",
    "nSuperieurEx",         "nInferieurEx",       "nPresqueEgalEx",        "nSoupleEgalEx",
    "nCommenceParEx",       "nCommenceParSoupleEx", "nCommenceParTresSoupleEx", "nContientEx",
    "nContientSoupleEx",    "nContientTresSoupleEx", "nTermineParEx",      "nTermineParSoupleEx",
    "nTermineParTresSoupleEx", "nETLogiqueEx",    "nOULogiqueEx",          "nNONLogiqueEx",
    "nNegationEx",          "nAdditionEx",        "nSoustractionEx",       "nMultiplicationEx",
    "nDivisionEx",          "nModuloEx"};
