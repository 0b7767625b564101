#pragma once

// One output definition of an SQL command: the value a result column is
// fetched into, either a table column's value (the column is kept too) or a
// named value without column. The command keeps a counted array of them.
//
// The definition holds one reference on its column (when it has one) and one
// on its value. Counted through CInterf, plainly, under the driver-wide lock.
#include "common/text/ct_string.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CNADefine : public CInterf
{
public:
    // The column and the column's value, both referenced; a null column
    // gives a definition without column and value.
    explicit CNADefine(CNAColumn* pclColumn);
    // A named value (referenced) without column.
    CNADefine(const wchar_t* pszName, CNAConvertVariant* pclValue);

    // Slots 0-1: the value released, then the column. Slot 2 is CInterf's.
    ~CNADefine() override;
    // Slot 3: 0, a definition is no cursor.
    virtual int bIsCursor() const { return 0; }

    // The column's name when there is a column, else the own name.
    const wchar_t* pszGetName() const;
    // The value's connection; null without value.
    CNAConnectionDescription* pclGetCnx() const;
    CNAColumn* pclGetColumnNoRef() const { return m_pclColumn; }
    CNAConvertVariant* pclGetValueNoRef() const { return m_pclValue; }

private:
    CNAColumn* m_pclColumn = nullptr;
    CTString m_csName;
    CNAConvertVariant* m_pclValue = nullptr;
};

inline void REF_AddRef(CNADefine* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNADefine* p)
{
    p->nRelease();
}
