// The column index of sortable keys over the in-memory B+ tree: building,
// following writes, browsing and positioning.
#include "native/model/cache_index_fixed_size.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/system/xmalloc.h"
#include "common/text/any.h"
#include "common/text/convert_key.h"
#include "common/text/qf_convert_key.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/mem_btree.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"

namespace {

// The key options of the column indexes.
constexpr unsigned short kKeyOptions = 0x2800;
// The pairs of a bulk load are gathered in one block up to this size (the
// tree copies them once more to sort them); past it, rows go in one by one.
constexpr uint64_t kBulkBytes = uint64_t{64} << 20;

int nCompareBytes(const void* pA, const void* pB, unsigned long nSize)
{
    return std::memcmp(pA, pB, nSize);
}

}  // namespace

CIndexFixedSizeItem::CIndexFixedSizeItem(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn,
                                         CNAStatement* pclStatement)
    : CIndexItem(pclError, pclCache, pclColumn, pclStatement)
{
}

CIndexFixedSizeItem::~CIndexFixedSizeItem()
{
    delete m_pclTree;
    XMALLOC_Del_(m_pbyKey);
}

void CIndexFixedSizeItem::s_RowToBytes(int nRow, unsigned char* pby)
{
    const auto n = static_cast<uint32_t>(nRow);
    pby[0] = static_cast<unsigned char>(n >> 24);
    pby[1] = static_cast<unsigned char>(n >> 16);
    pby[2] = static_cast<unsigned char>(n >> 8);
    pby[3] = static_cast<unsigned char>(n);
}

int CIndexFixedSizeItem::s_nBytesToRow(const unsigned char* pby)
{
    return static_cast<int>(static_cast<uint32_t>(pby[0]) << 24 | static_cast<uint32_t>(pby[1]) << 16 |
                            static_cast<uint32_t>(pby[2]) << 8 | pby[3]);
}

int CIndexFixedSizeItem::_nKeyOf(const CAny* pclValue, unsigned char* pbyKey) const
{
    CAny clCopy;
    if (pclValue != nullptr)
        clCopy = *pclValue;
    else
        clCopy.SetNull();
    return CConvertKey::nConvertKeyAndGetSize(&clCopy, pbyKey, m_nKeySize, _eGetTypeZL(), kKeyOptions,
                                              m_pclColumn->nGetIntegerPart(), m_pclColumn->nGetDecimalPart());
}

int CIndexFixedSizeItem::_bKeyOfRow(int nRow, unsigned char* pbyKey)
{
    // The value read is this index's own: it is keyed in place.
    CAny clValue;
    if (!_bGetRecordValue(&clValue, nRow))
        return 0;
    (void)CConvertKey::nConvertKeyAndGetSize(&clValue, pbyKey, m_nKeySize, _eGetTypeZL(), kKeyOptions,
                                             m_pclColumn->nGetIntegerPart(), m_pclColumn->nGetDecimalPart());
    return 1;
}

int CIndexFixedSizeItem::bInit()
{
    if (m_pclTree != nullptr)
        return 1;
    if (m_pclColumn == nullptr || m_pclCache == nullptr)
        return 0;
    // The logical size comes from a host's description: a negative one
    // counts as none, and a width that writes nothing still takes one byte,
    // so that every row keys alike.
    const int nLogical = m_pclColumn->nGetLogicalSize();
    const unsigned long nKeySize = std::max<unsigned long>(
        CQFConvertKey::nCalculateKeySize(_eGetTypeZL(), nLogical > 0 ? static_cast<unsigned long>(nLogical) : 0), 1);
    if (nKeySize > UINT32_MAX) {
        _SetNoMemory();
        return 0;
    }
    m_nKeySize = static_cast<uint32_t>(nKeySize);
    m_pbyKey = static_cast<unsigned char*>(XMALLOC_pNew_(m_nKeySize));
    m_pclTree = CMemBTree::pclCreate(m_nKeySize, 4, nCompareBytes, nCompareBytes, 0);
    if (m_pbyKey == nullptr || m_pclTree == nullptr) {
        delete m_pclTree;
        m_pclTree = nullptr;
        _SetNoMemory();
        return 0;
    }
    return _bLoadRows();
}

int CIndexFixedSizeItem::_bLoadRows()
{
    const int nRows = m_pclCache->nGetRowCount();
    int nPresent = 0;
    for (int i = 0; i < nRows; ++i)
        nPresent += m_pclCache->eGetRecordState(i) == NA_RS_PRESENT;
    unsigned char abyRow[4];
    if (nPresent == 0)
        return 1;
    if (static_cast<uint64_t>(nPresent) * (m_nKeySize + 4u) <= kBulkBytes) {
        auto* pbyKeys = static_cast<unsigned char*>(XMALLOC_pNew_(static_cast<size_t>(nPresent) * m_nKeySize));
        auto* pbyRows = static_cast<unsigned char*>(XMALLOC_pNew_(static_cast<size_t>(nPresent) * 4));
        int bOk = pbyKeys != nullptr && pbyRows != nullptr;
        if (!bOk)
            _SetNoMemory();
        for (int i = 0, k = 0; bOk && i < nRows; ++i) {
            if (m_pclCache->eGetRecordState(i) != NA_RS_PRESENT)
                continue;
            bOk = _bKeyOfRow(i, pbyKeys + static_cast<size_t>(k) * m_nKeySize);
            s_RowToBytes(i, pbyRows + static_cast<size_t>(k) * 4);
            ++k;
        }
        // Every (key, row) differs from the others: only memory can fail
        // the load.
        if (bOk && !(bOk = m_pclTree->bLoadBulk(pbyKeys, pbyRows, nPresent)))
            _SetNoMemory();
        XMALLOC_Del_(pbyKeys);
        XMALLOC_Del_(pbyRows);
        return bOk;
    }
    for (int i = 0; i < nRows; ++i) {
        if (m_pclCache->eGetRecordState(i) != NA_RS_PRESENT)
            continue;
        if (!_bKeyOfRow(i, m_pbyKey))
            return 0;
        s_RowToBytes(i, abyRow);
        if (!m_pclTree->bInsert(m_pbyKey, abyRow)) {
            _SetNoMemory();
            return 0;
        }
    }
    return 1;
}

int CIndexFixedSizeItem::_bEntryOf(int nRow, const CAny* pclValue, unsigned char* pbyRow)
{
    if (pclValue != nullptr)
        (void)_nKeyOf(pclValue, m_pbyKey);
    else if (!_bKeyOfRow(nRow, m_pbyKey))
        return 0;
    s_RowToBytes(nRow, pbyRow);
    return 1;
}

int CIndexFixedSizeItem::bInsertRecord(int nRow, CAny* pclValue)
{
    unsigned char abyRow[4];
    if (m_pclTree == nullptr || nRow < 0 || !_bEntryOf(nRow, pclValue, abyRow))
        return 0;
    return m_pclTree->bInsert(m_pbyKey, abyRow);
}

int CIndexFixedSizeItem::bDeleteRecord(int nRow, CAny* pclValue)
{
    if (m_pclTree == nullptr || nRow < 0)
        return 1;
    unsigned char abyRow[4];
    if (!_bEntryOf(nRow, pclValue, abyRow))
        return 0;
    (void)m_pclTree->bDelete(m_pbyKey, abyRow);
    return 1;
}

int CIndexFixedSizeItem::_bAdvance(int64_t nCount)
{
    // Counts come from the host: beyond what a 32-bit move can make they
    // fail like any move past the ends.
    const int n = static_cast<int>(std::clamp<int64_t>(nCount, -INT_MAX, INT_MAX));
    int nMoved = 0;
    return m_pclTree->bAdvance(n, &nMoved, 0);
}

int CIndexFixedSizeItem::bGetRecordPosition(eNA_PARSEDIRECTION eDirection, int nCount, int* pnRow,
                                            unsigned* pnDuplicateIndex)
{
    if (pnRow != nullptr)
        *pnRow = -1;
    if (pnDuplicateIndex != nullptr)
        *pnDuplicateIndex = 0;
    if (m_pclTree == nullptr || m_pclTree->nGetNumRecord() == 0)
        return 1;
    const int64_t n = nCount;
    const CAny* pclSearch = m_pclStatement != nullptr ? m_pclStatement->pclGetSearchValueNoRef() : nullptr;
    int bMoved;
    switch (static_cast<int>(eDirection)) {
    case 0:
        // The tree stays where it was when the search finds nothing: that
        // place is no answer.
        if (pclSearch != nullptr) {
            (void)_nKeyOf(pclSearch, m_pbyKey);
            if (m_pclTree->pSearch(m_pbyKey, 0) == nullptr)
                return 1;
        } else {
            m_pclTree->GotoFirstRecord();
        }
        bMoved = _bAdvance(n - 1);
        break;
    case 1:
        if (pclSearch != nullptr) {
            (void)_nKeyOf(pclSearch, m_pbyKey);
            if (m_pclTree->pSearch(m_pbyKey, CMemBTree::kSearchLast) == nullptr)
                return 1;
        } else {
            m_pclTree->MoveTo(m_pclTree->nGetNumRecord() - 1);
        }
        bMoved = _bAdvance(1 - n);
        break;
    case 2:
        bMoved = _bAdvance(n);
        break;
    case 3:
        bMoved = _bAdvance(-n);
        break;
    default:
        bMoved = _bAdvance(0);
        break;
    }
    const auto* pbyRow = static_cast<const unsigned char*>(m_pclTree->pReadValue());
    if (!bMoved || pbyRow == nullptr)
        return 1;
    const int nRow = s_nBytesToRow(pbyRow);
    if (pnRow != nullptr)
        *pnRow = nRow;
    if (pnDuplicateIndex != nullptr && m_pclTree->nNumDuplicates() > 1)
        return _bDuplicateIndex(nRow, pnDuplicateIndex);
    return 1;
}

int CIndexFixedSizeItem::_bDuplicateIndex(int nRow, unsigned* pnIndex)
{
    const CNARecordValue* pclRow = _pclReadRow(nRow);
    if (pclRow == nullptr)
        return 0;
    unsigned nEqual = 0;
    int nSteps = 0;
    int nMoved = 0;
    while (m_pclTree->bAdvance(-1, &nMoved, 0)) {
        ++nSteps;
        const auto* pbyRow = static_cast<const unsigned char*>(m_pclTree->pReadValue());
        if (pbyRow == nullptr || !m_pclCache->bEquals(s_nBytesToRow(pbyRow), pclRow, 1))
            break;
        ++nEqual;
    }
    if (nSteps > 0)
        (void)m_pclTree->bAdvance(nSteps, &nMoved, 0);
    *pnIndex = nEqual;
    return 1;
}

int CIndexFixedSizeItem::nGetCurrentRecordId()
{
    const auto* pbyRow = m_pclTree != nullptr ? static_cast<const unsigned char*>(m_pclTree->pReadValue()) : nullptr;
    return pbyRow != nullptr ? s_nBytesToRow(pbyRow) : -1;
}

int CIndexFixedSizeItem::nGetRecordNbr()
{
    return m_pclTree != nullptr ? m_pclTree->nGetNumRecord() : 0;
}

int CIndexFixedSizeItem::nGetPreviousRecordNbr()
{
    if (m_pclTree == nullptr)
        return 0;
    int nMoved = 0;
    (void)m_pclTree->bAdvance(-INT_MAX, &nMoved, 0);
    return -nMoved;
}

int CIndexFixedSizeItem::bSetCurrentPos(int nRow, int nSkip, int* pbFound)
{
    if (pbFound != nullptr)
        *pbFound = 0;
    if (m_pclTree == nullptr || nRow < -1)
        return 0;
    CAny clValue;
    if (!_bGetOriginalValue(&clValue))
        return 0;
    (void)CConvertKey::nConvertKeyAndGetSize(&clValue, m_pbyKey, m_nKeySize, _eGetTypeZL(), kKeyOptions,
                                             m_pclColumn->nGetIntegerPart(), m_pclColumn->nGetDecimalPart());
    if (nRow != -1) {
        unsigned char abyRow[4];
        s_RowToBytes(nRow, abyRow);
        const int bFound = m_pclTree->bFindRecord(m_pbyKey, abyRow);
        if (pbFound != nullptr)
            *pbFound = bFound;
        return 1;
    }
    if (m_pclTree->pSearch(m_pbyKey, CMemBTree::kSearchExact) == nullptr) {
        // The place the key would take: before the next greater key, or the
        // end (no current row) when none is greater; never where the tree
        // happened to be.
        if (m_pclTree->pSearch(m_pbyKey, 0) == nullptr)
            m_pclTree->GotoEnd();
        return 1;
    }
    int bFound = 1;
    _FindOriginalRow(nSkip, &bFound);
    if (pbFound != nullptr)
        *pbFound = bFound;
    return 1;
}

void CIndexFixedSizeItem::_FindOriginalRow(int nSkip, int* pbFound)
{
    CNARecord* pclRecord = _pclGetRecordNoRef();
    const CNARecordValue* pclOriginal = pclRecord != nullptr ? pclRecord->pclGetOriginalRecordValueNoRef() : nullptr;
    auto bEqualsOriginal = [&] {
        const auto* pbyRow = static_cast<const unsigned char*>(m_pclTree->pReadValue());
        return pbyRow != nullptr && pclOriginal != nullptr &&
               m_pclCache->bEquals(s_nBytesToRow(pbyRow), pclOriginal, 1) != 0;
    };
    int nMoved = 0;
    const int nDuplicates = m_pclTree->nNumDuplicates();
    if (nDuplicates > 1) {
        int nSteps = 0;
        bool bHit = bEqualsOriginal();
        while (!bHit && nSteps + 1 < nDuplicates && m_pclTree->bAdvance(1, &nMoved, 0)) {
            ++nSteps;
            bHit = bEqualsOriginal();
        }
        if (!bHit) {
            *pbFound = 0;
            if (nSteps > 0)
                (void)m_pclTree->bAdvance(-nSteps, &nMoved, 0);
            return;
        }
    }
    int nSteps = 0;
    for (int k = 0; k < nSkip; ++k) {
        if (!m_pclTree->bAdvance(1, &nMoved, 0))
            break;
        ++nSteps;
        if (!bEqualsOriginal()) {
            (void)m_pclTree->bAdvance(-nSteps, &nMoved, 0);
            return;
        }
    }
    // A walk stopped by the end of the index is a run that ended too.
    if (nSteps < nSkip && nSteps > 0)
        (void)m_pclTree->bAdvance(-nSteps, &nMoved, 0);
}
