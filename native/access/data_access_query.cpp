// Running the application's queries: the source set up (or the prepared
// query taken again), the command executed on the statement the query
// belongs to, and the result turned into the data access's description,
// current record and first browse. Also the one-shot values read through
// the query statement.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/model/column.h"
#include "native/model/data_source_description.h"
#include "native/model/record.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"

namespace {

constexpr unsigned kPrepareOnly = 16;
constexpr unsigned kInternalQuery = 0x80;
// An internal query reads without record cache nor table cache.
constexpr NA_WRITEPARSEFLAGS kInternalQueryFlags = 0x110000;
constexpr unsigned kInternalQueryMode = 0x84;

bool bHasItem(const wchar_t* pszItem)
{
    return pszItem != nullptr && pszItem[0] != 0;
}

}  // namespace

int CNADataAccess::bExecuteQuery(int* pbHasResult, const wchar_t* pszName, ISQLParserInformation* piQuery,
                                 unsigned nMode, const INAQueryExecution* piExecution)
{
    return _bExecuteQuery(pbHasResult, pszName, nMode, nullptr, piQuery, piExecution);
}

int CNADataAccess::bExecuteQueryInternal(CNAStatement** ppclStatement, const wchar_t* pszName, const wchar_t* pszText)
{
    if (ppclStatement != nullptr)
        *ppclStatement = nullptr;
    int bHasResult = 0;
    const int bDone = _bExecuteQuery(&bHasResult, pszName, kInternalQueryMode, pszText, nullptr, nullptr);
    if (bDone && bHasResult && m_pclLastStatement != nullptr && ppclStatement != nullptr) {
        REF_AddRef(m_pclLastStatement);
        *ppclStatement = m_pclLastStatement;
    }
    return bDone;
}

int CNADataAccess::_bExecuteQuery(int* pbHasResult, const wchar_t* pszName, unsigned nMode, const wchar_t* pszText,
                                  ISQLParserInformation* piQuery, const INAQueryExecution* piExecution)
{
    int bHasResult = 0;
    if (pbHasResult == nullptr)
        pbHasResult = &bHasResult;
    *pbHasResult = 0;
    const int bPrepared = (nMode & kPrepareOnly) == 0 && bHPrepareRequeteCalled();
    if (m_pclConnection == nullptr)
        return 0;
    if (!m_pclConnection->bIsOpen() && !m_pclConnection->bOpen(m_pclError))
        return 0;

    CNACommand* pclCommand = nullptr;
    CTString csItem;
    if (bPrepared) {
        _RAZPrepare();
    } else {
        const int bInit = _bInitQuery(&pclCommand, &csItem, pszName, nMode, pszText, piQuery, piExecution);
        // A SELECT with its parsed form has read its first record already.
        if (csItem.nTaille() > 0 || (bInit && pclCommand == nullptr)) {
            *pbHasResult = m_piSource != nullptr && m_piSource->nGetNumItems() > 0 ? 1 : 0;
            return bInit;
        }
        if (!bInit)
            return 0;
    }

    CNAStatement* pclStatement = nullptr;
    int bResult = _bExecuteQuery(&pclStatement, pclCommand, csItem.pszGet(), bPrepared, m_dwQueryMode);
    if (bResult)
        bResult = _bInitQueryParse(pbHasResult, pclStatement, csItem.pszGet(), m_dwQueryMode);
    if (pclCommand != nullptr)
        REF_Release(pclCommand);
    if (pclStatement != nullptr)
        REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bExecuteQuery(CNAStatement** ppclStatement, CNACommand* pclCommand, const wchar_t* pszItem,
                                  int bPrepared, unsigned nMode)
{
    *ppclStatement = nullptr;
    CNAStatement* pclStatement = nullptr;
    if (!bRequeteSansCorrection() && bHasItem(pszItem))
        pclStatement = _pclGetNewItemStatement(pszItem, NADirection::kFirst, 0);
    else
        pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    int bDone = 0;
    if ((nMode & kPrepareOnly) != 0) {
        _SetExecutionStatement(pclStatement);
        bDone = pclStatement->bPrepare(pclCommand, 1);
    } else {
        const NA_WRITEPARSEFLAGS nFlags = (nMode & kInternalQuery) != 0 ? kInternalQueryFlags : 0;
        bDone = bPrepared ? pclStatement->bExecutePreparedQuery(nFlags, 1)
                          : pclStatement->bExecuteDirectNewCommand(pclCommand, nFlags);
    }
    if (!bDone) {
        REF_Release(pclStatement);
        return 0;
    }
    *ppclStatement = pclStatement;
    return 1;
}

int CNADataAccess::_bInitQueryParse(int* pbHasResult, CNAStatement* pclStatement, const wchar_t* pszItem,
                                    unsigned nMode)
{
    *pbHasResult = 0;
    if ((nMode & kPrepareOnly) == 0 && bHPrepareRequeteCalled()) {
        *pbHasResult = m_piSource != nullptr && m_piSource->nGetNumItems() > 0 ? 1 : 0;
    } else {
        auto* pclDescription = dynamic_cast<CNADataSourceDescription*>(m_piSource);
        if (pclDescription != nullptr && pclStatement->bGetQueryStructure(pclDescription) &&
            pclDescription->nGetNumItems() > 0) {
            *pbHasResult = 1;
            (void)_SetImportedDataSourceDesc(pclDescription);
            const bool bAsWritten = bRequeteSansCorrection() != 0;
            if (!(bAsWritten && !m_pclConnection->bOpenedBySQLFunctions())) {
                CNADataSourceDescription* pclClone =
                    pclDescription->pclGetCloneDataSourceDescription(static_cast<CNAItemDescription::eCLONEDESC>(0));
                if (pclClone == nullptr)
                    return 0;
                pclClone->AddRef();
                _SetDataSource(pclClone);
                const int bCompleted = bAsWritten || pclClone->bCompleteDescription(m_pclSourceQuery);
                pclClone->nRelease();
                if (!bCompleted)
                    return 0;
            }
            if (!_bInitCurrentRecord())
                return 0;
            pclStatement->SetCurrentRecord(m_pclCurrentRecord);
            m_bCompatible = 1;
            CNACommand* pclCommand = pclStatement->pclGetCommandNoRef();
            if (bAsWritten && pclCommand != nullptr) {
                for (int n = 0; n < m_pclCurrentRecord->nGetNbColumn(); ++n) {
                    CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(n);
                    if (pclColumn != nullptr && !pclColumn->bIsComposedKey())
                        pclCommand->AddDefine(pclColumn);
                }
            }
        }
        if ((nMode & kPrepareOnly) != 0)
            return 1;
    }
    if ((bHasItem(pszItem) || bRequeteSansCorrection()) && *pbHasResult) {
        const int bResult = _bInitParcoursRequete(pclStatement);
        m_bOpened = 1;
        return bResult;
    }
    pclStatement->Close();
    return 1;
}

int CNADataAccess::_bInitParcoursRequete(CNAStatement* pclStatement)
{
    m_pclLastStatement = pclStatement;
    pclStatement->SetParseStarted();
    int bResult = 1;
    if (bRequeteSansCorrection()) {
        const wchar_t* pszBest = pszGetBestParseItemName();
        if (wcscmp(pszBest, pclStatement->pszGetSearchItemName()) != 0) {
            // The key goes before the names it is read from change.
            const CTString csOld(pclStatement->pszGetSearchItemName());
            (void)_bChangeStatementKey(pszBest, csOld.pszGet(), pclStatement);
        }
        pclStatement->EnableCache(1);
        bResult = _bCreateNewTableCache(pclStatement) && m_pclTableCache->bSetStatementParse(pclStatement);
    }
    m_bReuseLastStatement = 1;
    return bResult;
}

int CNADataAccess::_bGetRequestedValue(CAny* pclValue, CNACommand* pclCommand)
{
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bDone = _bGetRequestedValue(pclStatement, pclValue, pclCommand);
    pclStatement->ResetQuery();
    REF_Release(pclStatement);
    return bDone;
}

int CNADataAccess::_bGetRequestedValue(CNAStatement* pclStatement, CAny* pclValue, CNACommand* pclCommand)
{
    return pclStatement != nullptr && pclStatement->bExecuteDirectNewCommand(pclCommand, 0) &&
           pclStatement->bGetResultValue(pclValue, 0);
}
