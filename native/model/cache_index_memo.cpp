// The column index of memo bytes over a sorted array of row numbers.
#include "native/model/cache_index_memo.h"

#include "common/text/any.h"
#include "native/access/statement.h"
#include "native/model/record_cache.h"

CIndexMemo::CIndexMemo(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn, CNAStatement* pclStatement)
    : CIndexItem(pclError, pclCache, pclColumn, pclStatement)
{
}

CIndexMemo::~CIndexMemo() = default;

int CIndexMemo::bInit()
{
    if (m_pclCache == nullptr || m_pclColumn == nullptr)
        return 0;
    const int nRows = m_pclCache->nGetRowCount();
    for (int i = 0; i < nRows; ++i) {
        if (m_pclCache->eGetRecordState(i) == NA_RS_PRESENT && !bInsertRecord(i, nullptr))
            return 0;
    }
    return 1;
}

int CIndexMemo::_bBound(const unsigned char* pbyKey, unsigned long nLength, bool bUpper, int* pnIndex)
{
    int nLow = 0;
    int nHigh = m_tabRows.nGetNbElement();
    while (nLow < nHigh) {
        const int nMiddle = nLow + (nHigh - nLow) / 2;
        int nCompare = 0;
        if (!_bCompareValues(&nCompare, m_tabRows[nMiddle], pbyKey, nLength))
            return 0;
        if (nCompare < 0 || (bUpper && nCompare == 0))
            nLow = nMiddle + 1;
        else
            nHigh = nMiddle;
    }
    *pnIndex = nLow;
    return 1;
}

int CIndexMemo::_bFind(const unsigned char* pbyKey, unsigned long nLength, int bInsertion, int* pnPosition,
                       int* pbFound)
{
    int nAbove = 0;
    if (!_bBound(pbyKey, nLength, true, &nAbove))
        return 0;
    int nCompare = 1;
    if (nAbove > 0 && !_bCompareValues(&nCompare, m_tabRows[nAbove - 1], pbyKey, nLength))
        return 0;
    *pbFound = nCompare == 0;
    if (*pbFound)
        *pnPosition = nAbove - 1;
    else if (bInsertion)
        *pnPosition = nAbove < m_tabRows.nGetNbElement() ? nAbove : -1;
    else
        *pnPosition = nAbove - 1;
    return 1;
}

int CIndexMemo::_bSearchBound(const CAny* pclValue, bool bUpper, int* pnIndex)
{
    CAny clCopy(*pclValue);
    unsigned char* pbyData = nullptr;
    unsigned long nSize = 0;
    return _bGetDataAdr(&pbyData, &nSize, &clCopy) && _bBound(pbyData, nSize, bUpper, pnIndex);
}

int CIndexMemo::bInsertRecord(int nRow, CAny*)
{
    if (nRow < 0)
        return 0;
    CAny clValue;
    unsigned char* pbyData = nullptr;
    unsigned long nSize = 0;
    if (!_bGetRecordValue(&clValue, nRow) || !_bGetDataAdr(&pbyData, &nSize, &clValue))
        return 0;
    int nPlace = m_nLastEmpty + 1;
    if (nSize > 0 && !_bBound(pbyData, nSize, true, &nPlace))
        return 0;
    if (!m_tabRows.Insere(nRow, nPlace)) {
        _SetNoMemory();
        return 0;
    }
    if (nSize == 0)
        m_nLastEmpty = nPlace;
    if (m_nCurrent >= nPlace)
        ++m_nCurrent;
    return 1;
}

int CIndexMemo::bDeleteRecord(int nRow, CAny*)
{
    const int nCount = m_tabRows.nGetNbElement();
    int i = 0;
    while (i < nCount && m_tabRows[i] != nRow)
        ++i;
    if (i == nCount)
        return 1;
    m_tabRows.Supprime(i, 1);
    if (m_nCurrent > i)
        --m_nCurrent;
    else if (m_nCurrent == i)
        m_bOff = 1;
    // The front of empty memos shrinks with it: a later empty memo must join
    // the front, not land behind a memo with bytes.
    if (i <= m_nLastEmpty)
        --m_nLastEmpty;
    return 1;
}

int CIndexMemo::bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow, unsigned* pnDuplicateIndex)
{
    if (pnDuplicateIndex != nullptr)
        *pnDuplicateIndex = 0;
    if (pnRow != nullptr)
        *pnRow = -1;
    const int nEntries = m_tabRows.nGetNbElement();
    if (nEntries == 0)
        return 1;
    const CAny* pclSearch = m_pclStatement != nullptr ? m_pclStatement->pclGetSearchValueNoRef() : nullptr;
    const int64_t n = nCount;
    int64_t nTarget;
    int nBound = 0;
    switch (static_cast<int>(eDirection)) {
    case 0:
        // From the first entry not below the value: equal memos are read from
        // the first of them on, as the keys of the other columns are.
        if (pclSearch != nullptr && !_bSearchBound(pclSearch, false, &nBound))
            return 0;
        nTarget = nBound + n - 1;
        break;
    case 1:
        nBound = nEntries;
        if (pclSearch != nullptr && !_bSearchBound(pclSearch, true, &nBound))
            return 0;
        nTarget = nBound - n;
        break;
    case 2:
        nTarget = m_nCurrent + n;
        break;
    case 3:
        nTarget = m_nCurrent - n;
        break;
    default:
        if (m_bOff)
            return 1;
        nTarget = m_nCurrent;
        break;
    }
    if (nTarget < 0 || nTarget >= nEntries)
        return 1;
    m_nCurrent = static_cast<int32_t>(nTarget);
    m_bOff = 0;
    if (pnRow != nullptr)
        *pnRow = m_tabRows[m_nCurrent];
    return 1;
}

int CIndexMemo::nGetCurrentRecordId()
{
    if (m_bOff || m_nCurrent < 0 || m_nCurrent >= m_tabRows.nGetNbElement())
        return -1;
    return m_tabRows[m_nCurrent];
}

int CIndexMemo::nGetRecordNbr()
{
    return m_tabRows.nGetNbElement();
}

int CIndexMemo::nGetPreviousRecordNbr()
{
    return m_nCurrent;
}

int CIndexMemo::bSetCurrentPos(int nRow, int, int* pbFound)
{
    if (pbFound != nullptr)
        *pbFound = 0;
    const int nEntries = m_tabRows.nGetNbElement();
    int nPosition = -1;
    int bFound = 0;
    if (nRow == -1) {
        CAny clValue;
        unsigned char* pbyData = nullptr;
        unsigned long nSize = 0;
        if (!_bGetOriginalValue(&clValue) || !_bGetDataAdr(&pbyData, &nSize, &clValue) ||
            !_bFind(pbyData, nSize, 1, &nPosition, &bFound))
            return 0;
        if (nPosition < 0)
            nPosition = nEntries;
    } else {
        // A row number, as the other index takes it: the entry of that row.
        for (int i = 0; i < nEntries && nPosition < 0; ++i) {
            if (m_tabRows[i] == nRow)
                nPosition = i;
        }
        if (nPosition < 0)
            return 0;
        bFound = 1;
    }
    m_nCurrent = nPosition;
    m_bOff = 0;
    if (pbFound != nullptr)
        *pbFound = bFound;
    return 1;
}
