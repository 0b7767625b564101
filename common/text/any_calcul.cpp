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

// --- Tests with an int result ---------------------------------------------------

int nCompare(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnComparaisonEx, a, b, pn, o); }
int nEgalite(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnEgaliteEx, a, b, pn, o); }
int nDifferent(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTesteNie(gpfnEgaliteEx, a, b, pn, o); }
int nSuperieur(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnSuperieurEx, a, b, pn, o); }
int nInfEgal(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTesteNie(gpfnSuperieurEx, a, b, pn, o); }
int nInferieur(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnInferieurEx, a, b, pn, o); }
int nSupEgal(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTesteNie(gpfnInferieurEx, a, b, pn, o); }
int nPresqueEgal(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnPresqueEgalEx, a, b, pn, o);
}
int nSoupleEgal(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnSoupleEgalEx, a, b, pn, o); }
int nCommencePar(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnCommenceParEx, a, b, pn, o);
}
int nCommenceParSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnCommenceParSoupleEx, a, b, pn, o);
}
int nCommenceParTresSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnCommenceParTresSoupleEx, a, b, pn, o);
}
int nContient(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnContientEx, a, b, pn, o); }
int nContientSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnContientSoupleEx, a, b, pn, o);
}
int nContientTresSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnContientTresSoupleEx, a, b, pn, o);
}
int nTerminePar(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnTermineParEx, a, b, pn, o); }
int nTermineParSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnTermineParSoupleEx, a, b, pn, o);
}
int nTermineParTresSouple(const CAny& a, const CAny& b, int* pn, unsigned int o)
{
    return nTeste(gpfnTermineParTresSoupleEx, a, b, pn, o);
}
int nAnd(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnETLogiqueEx, a, b, pn, o); }
int nOr(const CAny& a, const CAny& b, int* pn, unsigned int o) { return nTeste(gpfnOULogiqueEx, a, b, pn, o); }

int nNot(const CAny& a, int* pnResult, unsigned int nOptions)
{
    if (a.bIsNull())
        return ANY_ERR_NULL;
    if (gpfnNONLogiqueEx == nullptr)
        return ANY_ERR_VM_NON_LIE;
    return gpfnNONLogiqueEx(a._pbyGetValeur(), a.wGetType(), pnResult, nOptions, nullptr);
}

// --- Tests with a CAny result ------------------------------------------------------

int nEgalite(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nEgalite, a, b, p, o); }
int nDifferent(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nDifferent, a, b, p, o); }
int nSuperieur(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nSuperieur, a, b, p, o); }
int nInfEgal(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nInfEgal, a, b, p, o); }
int nInferieur(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nInferieur, a, b, p, o); }
int nSupEgal(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nSupEgal, a, b, p, o); }
int nPresqueEgal(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nPresqueEgal, a, b, p, o); }
int nSoupleEgal(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nSoupleEgal, a, b, p, o); }
int nCommencePar(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nCommencePar, a, b, p, o); }
int nCommenceParSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nCommenceParSouple, a, b, p, o);
}
int nCommenceParTresSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nCommenceParTresSouple, a, b, p, o);
}
int nContient(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nContient, a, b, p, o); }
int nContientSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nContientSouple, a, b, p, o);
}
int nContientTresSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nContientTresSouple, a, b, p, o);
}
int nTerminePar(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nTerminePar, a, b, p, o); }
int nTermineParSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nTermineParSouple, a, b, p, o);
}
int nTermineParTresSouple(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nTesteAny(nTermineParTresSouple, a, b, p, o);
}
int nAnd(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nAnd, a, b, p, o); }
int nOr(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nTesteAny(nOr, a, b, p, o); }

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

int nAjoute(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nArithmetique(gpfnAdditionEx, a, b, p, o); }
int nAjouteEx(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nArithmetique(gpfnAdditionEx, a, b, p, o);
}
int nSoustrait(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nArithmetique(gpfnSoustractionEx, a, b, p, o);
}
int nMultiplie(const CAny& a, const CAny& b, CAny* p, unsigned int o)
{
    return nArithmetique(gpfnMultiplicationEx, a, b, p, o);
}
int nDivise(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nArithmetique(gpfnDivisionEx, a, b, p, o); }
int nModulo(const CAny& a, const CAny& b, CAny* p, unsigned int o) { return nArithmetique(gpfnModuloEx, a, b, p, o); }

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
