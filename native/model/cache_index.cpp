// What both kinds of cached-table index share: the cached rows' values of
// the column, the original row's, and the memo order.
#include "native/model/cache_index.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/system/x_error.h"
#include "common/text/any.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"
#include "native/model/record_cache.h"
#include "native/model/record_value.h"

CIndexItem::CIndexItem(CNAError* pclError, CNARecordCache* pclCache, CNAColumn* pclColumn, CNAStatement* pclStatement)
    : m_pclError(pclError), m_pclCache(pclCache), m_pclColumn(pclColumn), m_pclStatement(pclStatement)
{
}

CIndexItem::~CIndexItem()
{
    if (m_pclRow != nullptr)
        m_pclRow->nRelease();
}

unsigned short CIndexItem::_eGetTypeZL() const
{
    return m_pclColumn != nullptr ? m_pclColumn->eGetZLType() : 0;
}

int CIndexItem::_bGetDataAdr(unsigned char** ppbyData, unsigned long* pnSize, CAny* pclValue)
{
    *ppbyData = nullptr;
    *pnSize = 0;
    if (pclValue == nullptr)
        return 0;
    unsigned long nSize = 0;
    if (pclValue->Objet().nGetDataSize(&nSize) > 99)
        return 0;
    if (nSize == 0)
        return 1;
    void* p = nullptr;
    if (pclValue->Objet().nGetDataAdr(&p) > 99 || p == nullptr)
        return 0;
    *ppbyData = static_cast<unsigned char*>(p);
    *pnSize = nSize;
    return 1;
}

CNARecord* CIndexItem::_pclGetRecordNoRef() const
{
    return m_pclColumn != nullptr ? m_pclColumn->pclGetRecordNoRef() : nullptr;
}

CNARecordValue* CIndexItem::_pclScratchRow()
{
    if (m_pclRow == nullptr) {
        m_pclRow = new (std::nothrow) CNARecordValue(m_pclError);
        if (m_pclRow == nullptr) {
            _SetNoMemory();
            return nullptr;
        }
        REF_AddRef(m_pclRow);
    }
    return m_pclRow;
}

CNARecordValue* CIndexItem::_pclReadRow(int nRow)
{
    if (m_pclCache == nullptr || nRow < 0)
        return nullptr;
    CNARecordValue* pclRow = _pclScratchRow();
    if (pclRow == nullptr || !m_pclCache->bGetAt(pclRow, static_cast<unsigned>(nRow)))
        return nullptr;
    return pclRow;
}

int CIndexItem::_bGetRecordValue(CAny* pclValue, int nRow)
{
    CNARecordValue* pclRow = _pclReadRow(nRow);
    return pclRow != nullptr && m_pclColumn != nullptr && m_pclColumn->bGetRowValue(pclValue, pclRow);
}

int CIndexItem::_bGetOriginalValue(CAny* pclValue)
{
    CNARecord* pclRecord = _pclGetRecordNoRef();
    CNARecordValue* pclOriginal = pclRecord != nullptr ? pclRecord->pclGetOriginalRecordValueNoRef() : nullptr;
    return pclOriginal != nullptr && m_pclColumn->bGetRowValue(pclValue, pclOriginal);
}

int CIndexItem::s_nCompareMemo(const unsigned char* pbyA, unsigned long nA, const unsigned char* pbyB,
                               unsigned long nB)
{
    const unsigned long n = std::min(nA, nB);
    const int c = n > 0 ? std::memcmp(pbyA, pbyB, n) : 0;
    if (c != 0)
        return c < 0 ? -1 : 1;
    return nA < nB ? -1 : nA > nB ? 1 : 0;
}

int CIndexItem::_bCompareValues(int* pnResult, int nRow, const unsigned char* pbyKey, unsigned long nLength)
{
    CAny clValue;
    unsigned char* pbyData = nullptr;
    unsigned long nSize = 0;
    if (!_bGetRecordValue(&clValue, nRow) || !_bGetDataAdr(&pbyData, &nSize, &clValue))
        return 0;
    *pnResult = s_nCompareMemo(pbyData, nSize, pbyKey, nLength);
    return 1;
}

void CIndexItem::_SetNoMemory()
{
    if (m_pclError != nullptr)
        m_pclError->pclGetXError()->SetErrorNoMemory();
}
