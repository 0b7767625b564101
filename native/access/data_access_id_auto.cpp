// The data access's automatic identifiers computed on the client: the
// auto-increment object, made once through the driver's factory, asked for
// the next value of the record's automatic identifier while an INSERT is
// built.
#include "native/access/data_access.h"
#include "native/access/id_auto.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/record.h"

CNAIDAuto* CNADataAccess::pclGetIDAuto()
{
    if (m_pclIDAuto == nullptr) {
        CNAIDAuto* pclMade = _pclAllocIDAuto();
        if (pclMade == nullptr) {
            if (m_pclError != nullptr)
                m_pclError->pclGetXError()->SetErrorNoMemory();
            return nullptr;
        }
        REF_AddRef(pclMade);
        m_pclIDAuto = pclMade;
    }
    REF_AddRef(m_pclIDAuto);
    return m_pclIDAuto;
}

int CNADataAccess::bSetNewAutoId(CNAColumn*)
{
    CNAColumn* pclColumn = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnIDAutoNoRef() : nullptr;
    if (pclColumn == nullptr)
        return 1;
    CNAIDAuto* pclIDAuto = pclGetIDAuto();
    if (pclIDAuto == nullptr)
        return 0;
    CAny clValue;
    int bResult = pclIDAuto->bGetNextValue(this, pclColumn, m_pclError, &clValue);
    if (bResult)
        bResult = pclColumn->bSetValue(&clValue, 0);
    REF_Release(pclIDAuto);
    return bResult;
}
