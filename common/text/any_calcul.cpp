#include "common/text/any_calcul.h"

#include "common/text/vm_calc_binding.h"

namespace {

// A test of two values: the NULL rule, then the entry point (when bound)
// with both whole type words.
int nTeste(PFN_TestEx pfn, const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions)
{
    if (a.bIsNull() || b.bIsNull())
        return ANY_ERR_NULL;
    if (pfn == nullptr)
        return ANY_ERR_VM_NON_LIE;
    return pfn(a._pbyGetValeur(), a.wGetType(), b._pbyGetValeur(), b.wGetType(), pnResult, nOptions, nullptr);
}

// The negated form: the local starts at 0 and its negation is stored
// whatever the entry point answered.
int nTesteNie(PFN_TestEx pfn, const CAny& a, const CAny& b, int* pnResult, unsigned int nOptions)
{
    if (a.bIsNull() || b.bIsNull())
        return ANY_ERR_NULL;
    int n = 0;
    const int rc = nTeste(pfn, a, b, &n, nOptions);
    *pnResult = n == 0 ? 1 : 0;
    return rc;
}

using PFN_TesteInt = int (*)(const CAny&, const CAny&, int*, unsigned int);

// pResult becomes a BOOL of the int form's answer, also after a failure.
int nTesteAny(PFN_TesteInt pfnTest, const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions)
{
    if (a.bIsNull() || b.bIsNull())
        return ANY_ERR_NULL;
    int n = 0;
    const int rc = pfnTest(a, b, &n, nOptions);
    pResult->SetBOOL(n);
    return rc;
}

int nArithmetique(PFN_ArithmetiqueEx pfn, const CAny& a, const CAny& b, CAny* pResult, unsigned int nOptions)
{
    if (pfn == nullptr)
        return ANY_ERR_VM_NON_LIE;
    unsigned char abyResultat[CAny::TAILLE_VALEUR] = {};
    unsigned short nTypeResultat = 0;
    const int rc = pfn(a._pbyGetValeur(), a.nGetTypeCode(), b._pbyGetValeur(), b.nGetTypeCode(), abyResultat,
                       &nTypeResultat, nOptions, nullptr);
    if (rc > 99)
        return rc;
    // Read before the take-over: pResult may be a or b.
    const bool bNull = a.bIsNull() || b.bIsNull();
    pResult->__TransfertValeurInterne(nTypeResultat, abyResultat);
    if (bNull)
        pResult->SetNull();
    return rc;
}

int nEnPlace(PFN_ArithmetiqueEx pfn, CAny* pValue, const CAny& b)
{
    if (pfn == nullptr)
        return ANY_ERR_VM_NON_LIE;
    unsigned char abyResultat[CAny::TAILLE_VALEUR] = {};
    unsigned short nTypeResultat = 0;
    const int rc = pfn(pValue->_pbyGetValeur(), pValue->nGetTypeCode(), b._pbyGetValeur(), b.nGetTypeCode(),
                       abyResultat, &nTypeResultat, 0, nullptr);
    if (rc > 99)
        return rc;
    // Read before the take-over: b may be *pValue.
    const bool bNull = b.bIsNull();
    pValue->__TransfertValeurInterne(nTypeResultat, abyResultat);
    if (bNull)
        pValue->SetNull();
    return rc;
}

}  // namespace

// --- Tests of two values -------------------------------------------------------

// Every test of two values once: its name, the entry point that answers it,
// and whether the answer is stored as is (nTeste) or negated (nTesteNie).
// Each line makes the int form and the CAny form of the test.
#define VX_TESTS_DEUX_VALEURS(X)                                        \
    X(nEgalite, gpfnEgaliteEx, nTeste)                                  \
    X(nDifferent, gpfnEgaliteEx, nTesteNie)                             \
    X(nSuperieur, gpfnSuperieurEx, nTeste)                              \
    X(nInfEgal, gpfnSuperieurEx, nTesteNie)                             \
    X(nInferieur, gpfnInferieurEx, nTeste)                              \
    X(nSupEgal, gpfnInferieurEx, nTesteNie)                             \
    X(nPresqueEgal, gpfnPresqueEgalEx, nTeste)                          \
    X(nSoupleEgal, gpfnSoupleEgalEx, nTeste)                            \
    X(nCommencePar, gpfnCommenceParEx, nTeste)                          \
    X(nCommenceParSouple, gpfnCommenceParSoupleEx, nTeste)              \
    X(nCommenceParTresSouple, gpfnCommenceParTresSoupleEx, nTeste)      \
    X(nContient, gpfnContientEx, nTeste)                                \
    X(nContientSouple, gpfnContientSoupleEx, nTeste)                    \
    X(nContientTresSouple, gpfnContientTresSoupleEx, nTeste)            \
    X(nTerminePar, gpfnTermineParEx, nTeste)                            \
    X(nTermineParSouple, gpfnTermineParSoupleEx, nTeste)                \
    X(nTermineParTresSouple, gpfnTermineParTresSoupleEx, nTeste)        \
    X(nAnd, gpfnETLogiqueEx, nTeste)                                    \
    X(nOr, gpfnOULogiqueEx, nTeste)

#define VX_TEST_INT_ET_ANY(nom, pfn, teste)                                     \
    int nom(const CAny& a, const CAny& b, int* pn, unsigned int o)              \
    {                                                                           \
        return teste(pfn, a, b, pn, o);                                         \
    }                                                                           \
    int nom(const CAny& a, const CAny& b, CAny* p, unsigned int o)              \
    {                                                                           \
        return nTesteAny(nom, a, b, p, o);                                      \
    }
VX_TESTS_DEUX_VALEURS(VX_TEST_INT_ET_ANY)
#undef VX_TEST_INT_ET_ANY
#undef VX_TESTS_DEUX_VALEURS

// The comparison has no CAny form of the same shape (see below).
int nCompare(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnComparaisonEx, a, b, pn, o); }

// --- Not, and the comparison into a CAny ---------------------------------------

int nNot(const CAny& a, int* pnResult, unsigned int nOptions)
{
    if (a.bIsNull())
        return ANY_ERR_NULL;
    if (gpfnNONLogiqueEx == nullptr)
        return ANY_ERR_VM_NON_LIE;
    return gpfnNONLogiqueEx(a._pbyGetValeur(), a.wGetType(), pnResult, nOptions, nullptr);
}

int nNot(const CAny& a, CAny* pResult, unsigned int nOptions)
{
    if (a.bIsNull())
        return ANY_ERR_NULL;
    int n = 0;
    const int rc = nNot(a, &n, nOptions);
    pResult->SetBOOL(n);
    return rc;
}

int nCompare(const CAny& a, const CAny& b, CAny* pResult)
{
    if (a.bIsNull() || b.bIsNull())
        return ANY_ERR_NULL;
    int n = 0;
    const int rc = nCompare(a, b, &n, 0);
    pResult->SetI4(n);
    return rc;
}

// --- Arithmetic ------------------------------------------------------------------------

#define VX_ARITHMETIQUE(nom, pfn)                                               \
    int nom(const CAny& a, const CAny& b, CAny* p, unsigned int o)              \
    {                                                                           \
        return nArithmetique(pfn, a, b, p, o);                                  \
    }
VX_ARITHMETIQUE(nAjoute, gpfnAdditionEx)
VX_ARITHMETIQUE(nAjouteEx, gpfnAdditionEx)
VX_ARITHMETIQUE(nSoustrait, gpfnSoustractionEx)
VX_ARITHMETIQUE(nMultiplie, gpfnMultiplicationEx)
VX_ARITHMETIQUE(nDivise, gpfnDivisionEx)
VX_ARITHMETIQUE(nModulo, gpfnModuloEx)
#undef VX_ARITHMETIQUE

// The machine writes into a storage initialised for a's type (a decimal
// there is a live object, a time text nine '0'), never into pResult's own:
// pResult may hold a value whose pointer the machine would overwrite, or
// take a type whose class differs from a's.
int nNegatif(const CAny& a, CAny* pResult, unsigned int nOptions)
{
    if (gpfnNegationEx == nullptr)
        return ANY_ERR_VM_NON_LIE;
    const bool bNull = a.bIsNull();
    CAny clLocal;
    clLocal.__SetType(a.nGetTypeCode(), 0);
    unsigned short nTypeResultat = 0;
    const int rc = gpfnNegationEx(a._pbyGetValeur(), a.nGetTypeCode(), clLocal._pbyGetValeur(), &nTypeResultat,
                                  nOptions, nullptr);
    if (rc > 99)
        return rc;
    pResult->__TransfertValeurInterne(nTypeResultat, clLocal._pbyGetValeur());
    // What the storage pointed to now belongs to pResult.
    clLocal._InstalleClasse(ZLTYPE_VIDE);
    clLocal._SetTypeWord(ZLTYPE_VIDE);
    if (bNull)
        pResult->SetNull();
    return rc;
}

int nPositif(const CAny& a, CAny* pResult, unsigned int)
{
    if (pResult != &a)
        *pResult = a;
    return ANY_OK;
}

int nIncrementeNumerique(CAny* pValue, const CAny& b) { return nEnPlace(gpfnAdditionEx, pValue, b); }

int nDecrementeNumerique(CAny* pValue, const CAny& b) { return nEnPlace(gpfnSoustractionEx, pValue, b); }
