#pragma once

// Comparisons, text matching, logic and arithmetic between runtime values,
// done by the virtual machine's calculation entry points (vm_calc_binding.h).
// Results: 0 to 99 success (a non-zero one a warning of the machine), 100
// and above failure; 101 when the operation's entry point is not bound.
#include "common/text/any.h"

// --- Tests with an int result ------------------------------------------------
// 103 when a, then b, is NULL (nothing written). Otherwise the entry point
// answers into *pnResult with both whole type words. The negated forms
// (nDifferent, nInfEgal, nSupEgal) store the negation of a local that starts
// at 0, also when the entry point fails or is not bound: a failed test reads
// as true there, so callers look at the code.
int nCompare(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nEgalite(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nDifferent(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nSuperieur(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nInfEgal(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nInferieur(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nSupEgal(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nPresqueEgal(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nSoupleEgal(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nCommencePar(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nCommenceParSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nCommenceParTresSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nContient(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nContientSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nContientTresSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nTerminePar(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nTermineParSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nTermineParTresSouple(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nAnd(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nOr(const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions);
int nNot(const CAny& a, int* pnResult, unsigned int nOptions);

// --- Tests with a CAny result ---------------------------------------------------
// The same NULL rule (103, pResult untouched); otherwise pResult becomes a
// BOOL of the answer (flags cleared), also when the test failed, and the
// test's code is returned. pResult may be a or b.
int nEgalite(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nDifferent(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nSuperieur(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nInfEgal(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nInferieur(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nSupEgal(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nPresqueEgal(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nSoupleEgal(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nCommencePar(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nCommenceParSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nCommenceParTresSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nContient(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nContientSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nContientTresSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nTerminePar(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nTermineParSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nTermineParTresSouple(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nAnd(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nOr(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nNot(const CAny& a, CAny* pResult, unsigned int nOptions);
// pResult becomes an I4 of the comparison's answer; options 0.
int nCompare(const CAny& a, const CAny& b, CAny* pResult);

// --- Arithmetic ------------------------------------------------------------------
// The entry point gets both type codes (low byte) and computes into a local
// storage that pResult takes over with the result type; a NULL operand
// gives a NULL result. A failure (above 99) leaves pResult unchanged.
// pResult may be a or b.
int nAjoute(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nAjouteEx(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nSoustrait(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nMultiplie(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nDivise(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
int nModulo(const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions);
// The machine negates into a storage initialised for a's type, which
// pResult then takes over with the result type; NULL when a is.
int nNegatif(const CAny& a, CAny* pResult, unsigned int nOptions);
// A copy of a (nothing when pResult is a); 0.
int nPositif(const CAny& a, CAny* pResult, unsigned int nOptions);
// *pValue = *pValue + b (- b) in place; NULL exactly when b is. A failure
// leaves *pValue unchanged. b may be *pValue.
int nIncrementeNumerique(CAny* pValue, const CAny& b);
int nDecrementeNumerique(CAny* pValue, const CAny& b);
