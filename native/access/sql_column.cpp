#include "native/access/sql_column.h"

#include "native/access/statement.h"
#include "native/model/convert_variant.h"

int CNASQLColumn::bSetValueFromDB(CNAStatement* pclStatement, unsigned nFlags)
{
    // Nothing is read without a value to hold it.
    if (pclStatement == nullptr || m_pclValue == nullptr)
        return 0;
    const int nIndex = nGetPhysicalIndice();
    const bool bMemo = bIsMemo() != 0;
    if (bMemo) {
        SetNotModified();
        m_pclValue->SetValueType(eGetZLType());
    }
    const int bRead = pclStatement->bGetSQLColumnValue(m_pclValue, static_cast<unsigned>(nIndex));
    if (!bRead && bMemo) {
        m_pclValue->SetNull();
        return 0;
    }
    _SetItemValueDefinedInQFRecord(m_pclValue->pclGetValue()->bIsNull() ? 0 : 1, nFlags);
    return bRead;
}
