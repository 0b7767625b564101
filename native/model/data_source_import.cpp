// A data-source description filled from the database (the schema queries
// of the database's own subclass) or from an executed statement's result
// columns.
#include "common/system/x_error.h"
#include "common/text/xy_string_concat.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column_sql.h"
#include "native/model/data_source_description.h"

int CNADataSourceDescription::_bGetQueryShowColumns(CXYStringConcat<wchar_t>*)
{
    return 0;
}

int CNADataSourceDescription::_bInitItemFromQueryShowColumns(CNAStatementSQL*)
{
    return 0;
}

int CNADataSourceDescription::_bGetQueryShowIndex(CXYStringConcat<wchar_t>*)
{
    return 0;
}

int CNADataSourceDescription::_bInitKeysFromQueryShowIndex(CNAStatementSQL*)
{
    return 0;
}

int CNADataSourceDescription::bInitDataSourceDescriptionFromDB(const wchar_t* pszName, int nContext)
{
    m_csName.Set(pszName);
    m_csDBTableName.Set(pszName);
    m_eKind = KIND_FROM_DATABASE;
    return _bGetDataSourceInfo(nContext);
}

int CNADataSourceDescription::_bGetDataSourceInfo(int nContext)
{
    const int bDone = _bImportItems(nContext) && _bImportIndex(nContext);
    // Without it no item would have an offset.
    UpdateRecordSize();
    return bDone;
}

int CNADataSourceDescription::_bRunSchemaQuery(int (CNADataSourceDescription::*pfnQuery)(CXYStringConcat<wchar_t>*),
                                               int (CNADataSourceDescription::*pfnRead)(CNAStatementSQL*))
{
    CXYStringConcat<wchar_t> clQuery(1024);
    if (!(this->*pfnQuery)(&clQuery))
        return 0;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNADriverSQL* pclDriverSQL = pclDriver != nullptr ? pclDriver->pclGetDriverSQL() : nullptr;
    if (pclDriverSQL == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    CNAStatementSQL* pclResult = nullptr;
    int bDone = pclDriverSQL->bExecute(m_pclError, &pclResult, m_pclConnection, clQuery.pszGet(), nullptr, 0);
    if (bDone && pclResult != nullptr)
        bDone = (this->*pfnRead)(pclResult);
    if (pclResult != nullptr)
        pclResult->nRelease();
    return bDone;
}

int CNADataSourceDescription::_bImportItems(int)
{
    if (!_bRunSchemaQuery(&CNADataSourceDescription::_bGetQueryShowColumns,
                          &CNADataSourceDescription::_bInitItemFromQueryShowColumns))
        return 0;
    if (nGetNumItems() == 0) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kNoItemFromDatabase, m_pclConnection, m_csName.pszGet(),
                                   nullptr, m_csName.pszGet());
        return 0;
    }
    return 1;
}

int CNADataSourceDescription::_bImportIndex(int)
{
    return _bRunSchemaQuery(&CNADataSourceDescription::_bGetQueryShowIndex,
                            &CNADataSourceDescription::_bInitKeysFromQueryShowIndex);
}

int CNADataSourceDescription::bInitDataSourceDescriptionFromStatement(CNAStatementSQL* pclStatement)
{
    if (pclStatement == nullptr)
        return 0;
    m_eKind = KIND_FROM_QUERY;
    if (m_csName.nTaille() == 0) {
        // The statement's number: unique among the statements alive.
        m_csName.printf(L"%u", pclStatement->nGetStatementID());
        m_csDBTableName = m_csName;
    }
    const int bDone = _bInitItems(pclStatement);
    UpdateRecordSize();
    return bDone;
}

int CNADataSourceDescription::_bInitItems(CNAStatementSQL* pclStatement)
{
    int nColumns = 0;
    if (!pclStatement->bGetColumnNbr(&nColumns, 0))
        return 0;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    int nKeyColumns = 0;
    for (int i = 0; i < nColumns; ++i) {
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(i);
        if (pclColumn == nullptr)
            return 0;
        CNAItemDescription* pclItem = pclDriver != nullptr ? pclDriver->pclAllocItemDescription() : nullptr;
        if (pclItem == nullptr) {
            if (m_pclError != nullptr)
                m_pclError->pclGetXError()->SetErrorNoMemory();
            return 0;
        }
        const wchar_t* pszSource =
            pclColumn->m_csTableName.nTaille() > 0 ? pclColumn->m_csTableName.pszGet() : m_csName.pszGet();
        const wchar_t* pszNameInSource =
            pclColumn->m_csNameInTable.nTaille() > 0 ? pclColumn->m_csNameInTable.pszGet() : pclColumn->m_csName.pszGet();
        const int nKeyIndice = pclColumn->m_wKeyFlags != 0 ? nKeyColumns++ : -1;
        pclItem->bInit(pclColumn->m_csName.pszGet(), pszSource, pszNameInSource, 1, pclColumn->m_nSize,
                       pclColumn->m_eItemType, static_cast<unsigned>(i), nKeyIndice, pclColumn->m_wKeyFlags,
                       pclColumn->m_nIntegerDigits, static_cast<int>(pclColumn->m_nDecimals));
        pclItem->SetDBType(pclColumn->m_csDBType.pszGet(), pclColumn->m_nDBTypeCode);
        pclItem->AddRef();
        const int bAdded = _AddItem(pclItem);
        pclItem->nRelease();
        if (!bAdded)
            return 0;
    }
    return 1;
}
