// Column lists of INSERT statements and indexes.
#include "native/model/column_list.h"

#include <cstring>
#include <cwchar>

#include "common/system/xmalloc.h"
#include "native/access/statement.h"
#include "native/model/column.h"
#include "native/model/record.h"

CColumnList::~CColumnList()
{
    XMALLOC_Del_(m_pszText);
}

bool CColumnList::_bReserve(int64_t nNeeded)
{
    if (nNeeded <= m_llCapacity)
        return true;
    // Whole steps, one more character for the terminator; a size the heap
    // cannot hold fails like a refused allocation.
    const int64_t llCapacity = (nNeeded / m_llGrowStep + 1) * m_llGrowStep;
    if (llCapacity >= static_cast<int64_t>(PTRDIFF_MAX / sizeof(wchar_t)) - 1)
        return false;
    void* p = XMALLOC_pResize_(m_pszText, static_cast<size_t>(llCapacity + 1) * sizeof(wchar_t));
    if (p == nullptr)
        return false;
    m_pszText = static_cast<wchar_t*>(p);
    m_llCapacity = llCapacity;
    return true;
}

void CColumnList::_Append(const wchar_t* psz, int64_t n)
{
    std::memcpy(m_pszText + m_llLength, psz, static_cast<size_t>(n) * sizeof(wchar_t));
    m_llLength += n;
    m_pszText[m_llLength] = L'\0';
}

int CColumnList::AddColumn(const wchar_t* pszName)
{
    const int64_t nComma = m_nNbColumn > 0 ? 1 : 0;
    const int64_t nName = pszName != nullptr ? static_cast<int64_t>(std::wcslen(pszName)) : 0;
    if (!_bReserve(m_llLength + nComma + nName))
        return 0;
    if (nComma != 0)
        _Append(L",", 1);
    if (nName != 0)
        _Append(pszName, nName);
    ++m_nNbColumn;
    return 1;
}

int CColumnList::BuildColumnList(CNAStatement* pclStatement, int bWithAutoIncrement)
{
    if (pclStatement == nullptr)
        return 0;
    CNARecord* pclRecord = pclStatement->pclGetCurrentRecordNoRef();
    if (pclRecord == nullptr)
        return 1;
    const int nFlag = pclStatement->nGetBindDefineFlag();
    for (int i = 0; i < pclRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = pclRecord->pclGetColumnNoRef(i);
        if (!pclColumn->bMustDefine(static_cast<unsigned>(nFlag)))
            continue;
        if (!bWithAutoIncrement && pclColumn->bIsIdAuto())
            continue;
        if (!AddColumn(pclColumn->pszGetFormatedName()))
            return 0;
    }
    return 1;
}

void CColumnList::Empty()
{
    m_llLength = 0;
    m_nNbColumn = 0;
    if (m_pszText != nullptr)
        m_pszText[0] = L'\0';
}
