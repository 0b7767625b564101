// Rows entering, changing and leaving the row cache, with their identity
// hash entries.
#include "native/model/record_cache.h"

#include <cstdint>
#include <new>

namespace {

int nCompareAddresses(const void* a, const void* b)
{
    return a == b ? 0 : 1;
}

void* pIndexValue(int n)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(n));
}

int nIndexOf(void* pValue)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(pValue));
}

bool bHasEntries(const CNARecordMemo* pclMemo)
{
    return pclMemo != nullptr && pclMemo->nGetCount() > 0;
}

}  // namespace

// --- The memo array ---------------------------------------------------------------

int CNARecordCache::CMemoArray::bSet(int n, CNARecordMemo* pclMemo)
{
    if (n < 0)
        return 0;
    CNARecordMemo* pclFormer = pclGet(n);
    CNARecordMemo* const pclNull = nullptr;
    if (!Etend(n, pclMemo, pclNull))
        return 0;
    _AddRef(pclMemo);
    _Release(pclFormer);
    return 1;
}

void CNARecordCache::CMemoArray::Remove(int n)
{
    CNARecordMemo* pclMemo = pclGet(n);
    if (n < 0 || n >= nGetNbElement())
        return;
    Supprime(n, 1);
    _Release(pclMemo);
}

void CNARecordCache::CMemoArray::Truncate(int nCount)
{
    while (nGetNbElement() > nCount)
        Remove(nGetNbElement() - 1);
}

CNARecordMemo* CNARecordCache::_pclNewMemo(int n, bool bInsert)
{
    if (n < 0)
        return nullptr;
    auto* pclMemo = new (std::nothrow) CNARecordMemo;
    if (pclMemo == nullptr)
        return nullptr;
    // Inserted below the array's end, the later rows' sets move up with
    // their rows.
    bool bDone;
    if (bInsert && n < m_tabMemo.nGetNbElement()) {
        bDone = m_tabMemo.Insere(pclMemo, n);
        if (bDone)
            CMemoArray::_AddRef(pclMemo);
    } else {
        bDone = m_tabMemo.bSet(n, pclMemo);
    }
    if (!bDone) {
        delete pclMemo;
        return nullptr;
    }
    return pclMemo;
}

CNARecordMemo* CNARecordCache::_pclGetRecordMemo(int n)
{
    CNARecordMemo* pclMemo = m_tabMemo.pclGet(n);
    return pclMemo != nullptr ? pclMemo : _pclNewMemo(n, false);
}

CNARecordMemo* CNARecordCache::_pclSetMemo(int n, const CNARecordMemo* pclMemo)
{
    if (!bHasEntries(pclMemo))
        return nullptr;
    CNARecordMemo* pclOwn = _pclGetRecordMemo(n);
    return pclOwn != nullptr && pclOwn->bCopyRecordMemo(pclMemo) ? pclOwn : nullptr;
}

CNARecordMemo* CNARecordCache::pclInsertRecordMemo(int n)
{
    return _pclNewMemo(n, true);
}

CNARecordMemo* CNARecordCache::_InsertMemo(int n, const CNARecordMemo* pclMemo)
{
    if (!bHasEntries(pclMemo))
        return nullptr;
    CNARecordMemo* pclOwn = pclInsertRecordMemo(n);
    if (pclOwn == nullptr)
        return nullptr;
    if (!pclOwn->bCopyRecordMemo(pclMemo)) {
        m_tabMemo.Remove(n);
        return nullptr;
    }
    return pclOwn;
}

// --- The identity hash ------------------------------------------------------------

void CNARecordCache::_SetRecordIdType(const CNARecordValue* pclRow)
{
    const CNARecordId* pclId = pclRow != nullptr ? pclRow->pclGetRecordIDNoRef() : nullptr;
    if (m_eRecordIdType != NA_RECORDID_NONE || pclId == nullptr)
        return;
    const eNA_RECORDIDTYPE eKind = pclId->eGetRecordIdType();
    if (eKind != NA_RECORDID_VALUES && eKind != NA_RECORDID_ROWID)
        return;
    m_eRecordIdType = eKind;
    pclId->SetHashTableFct_SerializedObject(&m_clHash);
}

void CNARecordCache::_HashAddID(int n, const unsigned char* pbyKey)
{
    if (pbyKey != nullptr)
        (void)m_clHash.bAddElement(const_cast<unsigned char*>(pbyKey), pIndexValue(n));
}

void CNARecordCache::_HashShift(int nFrom, int nDelta)
{
    if (m_clHash.dwGetNumElement() == 0)
        return;
    unsigned int dwCursor = 0;
    void* pValue = nullptr;
    while (m_clHash.bParseTable(&dwCursor, 0, &pValue, nullptr)) {
        const int n = nIndexOf(pValue);
        if (n >= nFrom)
            (void)m_clHash.bParseSetElement(dwCursor, pIndexValue(n + nDelta), nullptr);
    }
}

void CNARecordCache::_HashInsertID(int n, const unsigned char* pbyKey)
{
    _HashShift(n, 1);
    _HashAddID(n, pbyKey);
}

void CNARecordCache::_HashDeleteID(int n)
{
    const unsigned char* pbyKey = m_clIds.pbyGetElement(n);
    if (pbyKey == nullptr)
        return;
    // Rows of equal bytes have keys that compare equal: the entry of row n
    // is the one stored under row n's own address, and only that one goes.
    const CHashTableBounce::PFCMP pfCmp = m_clHash.pfGetCmp();
    m_clHash.SetCmp(&nCompareAddresses);
    (void)m_clHash.bDeleteElement(pbyKey, nullptr, nullptr);
    m_clHash.SetCmp(pfCmp);
}

// --- Rows in ----------------------------------------------------------------------

unsigned char* CNARecordCache::_pbyStoreId(const CNARecordValue* pclRow, const unsigned char* pbyRecord,
                                           const CNARecordMemo* pclMemo, int nWriteAt,
                                           CSimpleTableBlocks::stENTRY* pstEntry, bool* pbFailed)
{
    *pbFailed = false;
    const CNARecordId* pclId = pclRow != nullptr ? pclRow->pclGetRecordIDNoRef() : nullptr;
    if (pclId == nullptr || pclId->eGetRecordIdType() != m_eRecordIdType)
        return nullptr;
    unsigned char* pbyKey = nullptr;
    if (m_eRecordIdType == NA_RECORDID_VALUES) {
        // The key stands for the cache's own copy of the bytes, which lives
        // as long as the row is cached; a row by values without bytes has no
        // identity here.
        if (pbyRecord == nullptr)
            return nullptr;
        const CNARecordId_RecordValues clOwn(pbyRecord, pclRow->pclGetNAQFRecordNoRef()->nGetBufferSize(), pclMemo);
        pbyKey = nWriteAt >= 0 ? m_clIds.pbyWrite(nWriteAt, clOwn) : m_clIds.pbyStore(clOwn, pstEntry);
    } else {
        pbyKey = nWriteAt >= 0 ? m_clIds.pbyWrite(nWriteAt, *pclId) : m_clIds.pbyStore(*pclId, pstEntry);
    }
    *pbFailed = pbyKey == nullptr;
    return pbyKey;
}

int CNARecordCache::_nPlace(const CNARecordValue* pclRow, int n)
{
    const int nRows = nGetRowCount();
    const bool bInsert = n < nRows;
    const int nMemoBefore = m_tabMemo.nGetNbElement();
    // Room first: once the row's elements are stored, adding its entries,
    // its state and its memo slot cannot fail.
    if (!m_clRecords.bReserveEntry() || !m_clIds.bReserveEntry() || !m_tabStates.AgranditMemoire(1) ||
        (bInsert && n < nMemoBefore && !m_tabMemo.AgranditMemoire(1)))
        return -1;

    const eNA_RECORDIDTYPE eKindBefore = m_eRecordIdType;
    CNARecordValue* const pclTemplateBefore = m_pclTemplate;
    bool bMemoSlot = false;
    const auto Undo = [&] {
        if (bMemoSlot)
            m_tabMemo.Remove(n);
        else
            m_tabMemo.Truncate(nMemoBefore);
        if (m_pclTemplate != pclTemplateBefore) {
            m_pclTemplate->nRelease();
            m_pclTemplate = pclTemplateBefore;
        }
        if (m_eRecordIdType != eKindBefore) {
            m_eRecordIdType = eKindBefore;
            m_clHash.SetCmp(&nCompareAddresses);
        }
        return -1;
    };

    CSimpleTableBlocks::stENTRY stRecord = CSimpleTableBlocks::kReservedEntry;
    CSimpleTableBlocks::stENTRY stId = CSimpleTableBlocks::kReservedEntry;
    unsigned char* pbyKey = nullptr;
    if (pclRow != nullptr) {
        _SetRecordIdType(pclRow);
        if (m_pclTemplate == nullptr) {
            m_pclTemplate = pclRow->pclGetClone(static_cast<CNARecordValue::eCOPYFLAGS>(5));
            if (m_pclTemplate == nullptr)
                return Undo();
            REF_AddRef(m_pclTemplate);
        }
        const CNAQFRecord* pclRecord = pclRow->pclGetNAQFRecordNoRef();
        unsigned char* pbyRecord = nullptr;
        if (pclRecord != nullptr && (pbyRecord = m_clRecords.pbyStore(*pclRecord, &stRecord)) == nullptr)
            return Undo();
        const CNARecordMemo* pclRowMemo = pclRow->pclGetRecordMemoNoRef();
        CNARecordMemo* pclMemo = nullptr;
        if (bInsert && n < nMemoBefore) {
            // The later rows' sets move up with their rows.
            bMemoSlot = true;
            if (bHasEntries(pclRowMemo))
                pclMemo = _InsertMemo(n, pclRowMemo);
            else
                (void)m_tabMemo.Insere(nullptr, n);
            if (bHasEntries(pclRowMemo) && pclMemo == nullptr) {
                bMemoSlot = false;
                return Undo();
            }
        } else if (bHasEntries(pclRowMemo) && (pclMemo = _pclSetMemo(n, pclRowMemo)) == nullptr) {
            return Undo();
        }
        bool bFailed = false;
        pbyKey = _pbyStoreId(pclRow, pbyRecord, pclMemo, -1, &stId, &bFailed);
        if (bFailed)
            return Undo();
    } else if (bInsert && n < nMemoBefore) {
        bMemoSlot = true;
        (void)m_tabMemo.Insere(nullptr, n);
    }

    if (bInsert)
        _HashShift(n, 1);
    if (pbyKey != nullptr && !m_clHash.bAddElement(pbyKey, pIndexValue(n))) {
        if (bInsert)
            _HashShift(n + 1, -1);
        return Undo();
    }
    const eNA_RECORDSTATE eState = pclRow != nullptr ? pclRow->eGetRecordState() : NA_RS_DELETED;
    if (bInsert) {
        m_clRecords.InsertEntry(stRecord, n);
        m_clIds.InsertEntry(stId, n);
        (void)m_tabStates.Insere(eState, n);
    } else {
        m_clRecords.AppendEntry(stRecord);
        m_clIds.AppendEntry(stId);
        (void)m_tabStates.Ajoute(eState);
    }
    if (eState == NA_RS_DELETED)
        ++m_nDeleted;
    return n;
}

int CNARecordCache::nAjoute(const CNARecordValue* pclRow)
{
    return _nAjoute(pclRow);
}

int CNARecordCache::_nAjoute(const CNARecordValue* pclRow)
{
    return _nPlace(pclRow, nGetRowCount());
}

int CNARecordCache::_Insere(const CNARecordValue* pclRow, unsigned n)
{
    if (n >= static_cast<unsigned>(nGetRowCount()))
        return -1;
    return _nPlace(pclRow, static_cast<int>(n));
}

int CNARecordCache::Insere(const CNARecordValue* pclRow, unsigned n)
{
    // A cache that refuses appends (the saved positions') stops the filling
    // at once.
    while (static_cast<unsigned>(nGetRowCount()) < n) {
        if (nAjoute(nullptr) < 0)
            return -1;
    }
    if (static_cast<unsigned>(nGetRowCount()) == n)
        return nAjoute(pclRow);
    return _Insere(pclRow, n);
}

// --- Rows changed -----------------------------------------------------------------

int CNARecordCache::_FailUpdate(unsigned n)
{
    m_clRecords.SetReserved(static_cast<int>(n));
    m_clIds.SetReserved(static_cast<int>(n));
    SetRecordState(static_cast<int>(n), NA_RS_DELETED);
    return 0;
}

int CNARecordCache::Update(unsigned n, const CNARecordValue* pclRow)
{
    if (n >= static_cast<unsigned>(nGetRowCount()))
        return 0;
    const int i = static_cast<int>(n);
    _SetRecordIdType(pclRow);
    _HashDeleteID(i);
    if (pclRow == nullptr) {
        _FailUpdate(n);
        return 1;
    }
    // The new bytes and identity go over the stored ones when they fit,
    // else they are stored anew: never past an element.
    const CNAQFRecord* pclRecord = pclRow->pclGetNAQFRecordNoRef();
    unsigned char* pbyRecord = nullptr;
    if (pclRecord != nullptr) {
        if ((pbyRecord = m_clRecords.pbyWrite(i, *pclRecord)) == nullptr)
            return _FailUpdate(n);
    } else {
        m_clRecords.SetReserved(i);
    }
    // A row without memo values keeps none of the former row's.
    CNARecordMemo* pclMemo = nullptr;
    if (bHasEntries(pclRow->pclGetRecordMemoNoRef())) {
        if ((pclMemo = _pclSetMemo(i, pclRow->pclGetRecordMemoNoRef())) == nullptr)
            return _FailUpdate(n);
    } else if (m_tabMemo.pclGet(i) != nullptr) {
        (void)m_tabMemo.bSet(i, nullptr);
    }
    bool bFailed = false;
    unsigned char* pbyKey = _pbyStoreId(pclRow, pbyRecord, pclMemo, i, nullptr, &bFailed);
    if (bFailed)
        return _FailUpdate(n);
    if (pbyKey == nullptr)
        m_clIds.SetReserved(i);
    else if (!m_clHash.bAddElement(pbyKey, pIndexValue(i)))
        return _FailUpdate(n);
    SetRecordState(i, pclRow->eGetRecordState());
    return 1;
}

int CNARecordCache::nOnNotifyOperation(int eQueryType, const CNARecordValue* pclNew, const CNARecordValue* pclOld,
                                       unsigned, int bAtFront)
{
    constexpr int kUpdate = 2, kInsert = 3, kDelete = 4;
    if (eQueryType == kInsert) {
        if (bAtFront) {
            (void)Insere(pclNew, 0);
            return 0;
        }
        return nAjoute(pclNew);
    }
    const int n = nGetRecordIndice(pclOld);
    if (n < 0)
        return -1;
    if (eQueryType == kUpdate)
        (void)Update(static_cast<unsigned>(n), pclNew);
    else if (eQueryType == kDelete && eGetRecordState(n) != NA_RS_DELETED)
        SetRecordState(n, NA_RS_DELETED);
    return n;
}

// --- Rows out ---------------------------------------------------------------------

void CNARecordCache::Supprime(unsigned n)
{
    if (n >= static_cast<unsigned>(nGetRowCount()))
        return;
    const int i = static_cast<int>(n);
    // Row n's own entry first: afterwards "row n" is the next row.
    _HashDeleteID(i);
    m_clRecords.RemoveEntry(i);
    m_clIds.RemoveEntry(i);
    m_tabMemo.Remove(i);
    if (m_tabStates[i] == NA_RS_DELETED)
        --m_nDeleted;
    m_tabStates.Supprime(i, 1);
    _HashShift(i + 1, -1);
}

void CNARecordCache::SupprimeTout()
{
    m_dwFlags &= ~kFetchComplete;
    m_clHash.DeleteAll(7);
    m_clRecords.Vide();
    m_clIds.Vide();
    m_tabMemo.SupprimeTout();
    m_tabStates.SupprimeToutEtLibere();
    m_nDeleted = 0;
}
