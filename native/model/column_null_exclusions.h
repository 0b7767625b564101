#pragma once

// Which columns' NULL values the WHERE conditions of a search still select:
// two parallel arrays, the columns (not counted: the record owns them) and
// their flags (1: rows where the column is NULL are still selected, 0: the
// conditions exclude them). A column that is not listed counts as 1. The
// search and filter conditions combine their lists with the operator that
// joins them.
//
// Every operation answers 1, but an addition for which memory cannot be had
// answers 0 and leaves the lists as they were.
#include <cstdint>

#include "common/text/tableau.h"
#include "native/driver/na_forward.h"

// The operator of a search or filter condition: 1 OR, 2 AND, ...
enum eNAOperator : int32_t;

class CColumnNullValueExcluded
{
public:
    CColumnNullValueExcluded() = default;
    CColumnNullValueExcluded(const CColumnNullValueExcluded&) = delete;
    CColumnNullValueExcluded& operator=(const CColumnNullValueExcluded&) = delete;
    ~CColumnNullValueExcluded() = default;

    // The flag of the column (by pointer); 1 when unlisted.
    int bColumnValuesNullSelected(const CNAColumn* pclColumn) const;
    // The flag of the first column whose name in its source equals the name
    // without regard to case; 1 when none.
    int bColumnValuesNullSelected(const wchar_t* pszName) const;
    // The position, or -1.
    int _nGetColumnValuesNullSelectedIndice(const CNAColumn* pclColumn) const;
    int _nGetColumnValuesNullSelectedIndice(const wchar_t* pszName) const;
    void Reset();
    // A listed column's flag becomes old AND flag under AND (2), old OR flag
    // under any other operator; an unlisted column is added with flag 0 only
    // under AND with a flag 0.
    int bCombineColumnValuesNullSelected(eNAOperator eOp, CNAColumn* pclColumn, int bFlag);
    // Each entry of the other list combined by the rule above; without other
    // list, OR empties this one and any other operator leaves it.
    int bCombineColumnValuesNullSelected(eNAOperator eOp, const CColumnNullValueExcluded* pclOther);
    // Every entry of the other list appended, each flag negated with
    // bInvert; no check for columns already listed.
    int bCopyColumnValuesNullSelected(const CColumnNullValueExcluded* pclOther, int bInvert);

    int nGetCount() const { return m_tabColumns.nGetNbElement(); }
    CNAColumn* pclGetColumnNoRef(int n) const { return m_tabColumns[n]; }
    int bGetFlag(int n) const { return m_tabFlags[n]; }

private:
    int _bAdd(CNAColumn* pclColumn, int bFlag);

    CTTableauPtr<CNAColumn> m_tabColumns{10};
    CTTableau<int32_t> m_tabFlags{10};
};
