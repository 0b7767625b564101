// The columns whose NULL values a search's conditions still select.
#include "native/model/column_null_exclusions.h"

#include "common/text/str_compare.h"
#include "native/model/column.h"

namespace {

constexpr int kOperatorAnd = 2;

}  // namespace

int CColumnNullValueExcluded::_nGetColumnValuesNullSelectedIndice(const CNAColumn* pclColumn) const
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        if (m_tabColumns[i] == pclColumn)
            return i;
    }
    return -1;
}

int CColumnNullValueExcluded::_nGetColumnValuesNullSelectedIndice(const wchar_t* pszName) const
{
    for (int i = 0; i < m_tabColumns.nGetNbElement(); ++i) {
        const CNAColumn* pclColumn = m_tabColumns[i];
        if (pclColumn != nullptr && STR_nUpCompareW(pclColumn->pszGetOriginalName(), pszName, 0) == 0)
            return i;
    }
    return -1;
}

int CColumnNullValueExcluded::bColumnValuesNullSelected(const CNAColumn* pclColumn) const
{
    const int n = _nGetColumnValuesNullSelectedIndice(pclColumn);
    return n >= 0 ? m_tabFlags[n] : 1;
}

int CColumnNullValueExcluded::bColumnValuesNullSelected(const wchar_t* pszName) const
{
    const int n = _nGetColumnValuesNullSelectedIndice(pszName);
    return n >= 0 ? m_tabFlags[n] : 1;
}

void CColumnNullValueExcluded::Reset()
{
    m_tabColumns.SupprimeDernier(m_tabColumns.nGetNbElement());
    m_tabFlags.SupprimeDernier(m_tabFlags.nGetNbElement());
}

int CColumnNullValueExcluded::_bAdd(CNAColumn* pclColumn, int bFlag)
{
    if (!m_tabColumns.Ajoute(pclColumn))
        return 0;
    if (!m_tabFlags.Ajoute(bFlag)) {
        m_tabColumns.SupprimeDernier(1);
        return 0;
    }
    return 1;
}

int CColumnNullValueExcluded::bCombineColumnValuesNullSelected(eNAOperator eOp, CNAColumn* pclColumn, int bFlag)
{
    const bool bAnd = static_cast<int>(eOp) == kOperatorAnd;
    const int n = _nGetColumnValuesNullSelectedIndice(pclColumn);
    if (n >= 0) {
        m_tabFlags[n] = bAnd ? (m_tabFlags[n] && bFlag) : (m_tabFlags[n] || bFlag);
        return 1;
    }
    // Unlisted counts as 1: only AND with 0 changes it.
    if (bAnd && !bFlag)
        return _bAdd(pclColumn, 0);
    return 1;
}

int CColumnNullValueExcluded::bCombineColumnValuesNullSelected(eNAOperator eOp,
                                                                const CColumnNullValueExcluded* pclOther)
{
    if (pclOther == nullptr) {
        if (static_cast<int>(eOp) == 1)
            Reset();
        return 1;
    }
    for (int i = 0; i < pclOther->nGetCount(); ++i) {
        if (!bCombineColumnValuesNullSelected(eOp, pclOther->m_tabColumns[i], pclOther->m_tabFlags[i]))
            return 0;
    }
    return 1;
}

int CColumnNullValueExcluded::bCopyColumnValuesNullSelected(const CColumnNullValueExcluded* pclOther, int bInvert)
{
    if (pclOther == nullptr)
        return 1;
    // The count first: the other list may be this one.
    const int nCount = pclOther->nGetCount();
    for (int i = 0; i < nCount; ++i) {
        const int bFlag = pclOther->m_tabFlags[i];
        if (!_bAdd(pclOther->m_tabColumns[i], bInvert ? !bFlag : bFlag))
            return 0;
    }
    return 1;
}
