// The members of CAny that work on its runtime strings and binary block, and
// its host object's processing interface.
#include "common/text/any.h"

#include "common/text/any_block_cell.h"
#include "common/text/any_objects.h"
#include "common/text/host_code_page.h"
#include "common/text/manip_aub.h"
#include "common/text/xy_string.h"

namespace {

// The processing interface of a host object of type 141: its third operation.
constexpr int kSlotTraitement = 2;

}  // namespace

int CAny::nGetManipAUB(STManipAUB* pst) const
{
    switch (m_wType) {
    case ZLTYPE_DSTRW:
    case ZLTYPE_DSTRA:
    case ZLTYPE_BIN:
        pst->m_pbyData = pbyLitBloc(m_abyValeur);
        pst->m_nType = m_wType;
        pst->m_nReserved = 0;
        return ANY_OK;
    default: return ANY_ERR_TYPE;
    }
}

void* CAny::piGetTraitement() const
{
    if (m_wType != ZLTYPE_OBJET_TRAITEMENT)
        return nullptr;
    void* pObjet = _tLit<void*>();
    return pObjet ? pAnyObjetAppelleP(pObjet, kSlotTraitement) : nullptr;
}

int CAny::nUnshare()
{
    if (m_wType == ZLTYPE_DSTRW) {
        TAnyBlocEmprunte<CXYString<wchar_t>> s(m_abyValeur);
        return s.pbyGetBlock() ? s.__nPrepareModification(s.nGetLongueur()) : ANY_OK;
    }
    if (m_wType == ZLTYPE_DSTRA) {
        TAnyBlocEmprunte<CXYString<char>> s(m_abyValeur);
        return s.nUnshare();
    }
    return ANY_OK;
}

int CAny::__nSetString(const wchar_t* p, int nLen, const STOCAW* pOptions)
{
    const int nCodePage = pOptions ? static_cast<int>(pOptions->nCodePage) : nHostCurrentCodePage();
    CXYString<char> s;
    const int rc = s.__nConversion(p, nLen, 0, nCodePage, 0, nullptr);
    if (rc > 99)
        return rc;
    __SetType(ZLTYPE_DSTRA, 0);
    (void)Objet().SetValue(&s);
    ClearFlags();
    return rc;
}

namespace {

// The 8 bytes of a binary value's block become the storage of nType; the
// flags are kept.
int nDepuisBinaire8(CAny& v, unsigned short nType)
{
    if (v.nGetTypeCode() != ZLTYPE_BIN)
        return ANY_ERR_BINAIRE;
    unsigned char* pby = pbyLitBloc(v._pbyGetValeur());
    if (pby == nullptr || CBaseStrMem::s_nGetLength(pby) != 8)
        return ANY_ERR_BINAIRE;
    // Held while the type changes: the value's own reference goes with it.
    CBaseStrMem::s_AddRef(pby);
    const unsigned short wFlags = v.wGetType() & ANY_FLAGS;
    v.__SetType(nType, 0);
    std::memcpy(v._pbyGetValeur(), pby, 8);
    CBaseStrMem::s_ReleaseStrMem(pby);
    v._CopyFlags(wFlags);
    return ANY_OK;
}

}  // namespace

int CAny::nCastFrom_BIN_DUREE_To_DUREE() { return nDepuisBinaire8(*this, ZLTYPE_DUREE); }

int CAny::nCastFrom_BIN_DATEHEURE_To_DATEHEURE() { return nDepuisBinaire8(*this, ZLTYPE_DATETIME); }
