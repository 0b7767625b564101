// The SQL-functions object's statement handles: the result statements that
// bExecute kept, read by number. The connection handle of these slots is
// not used; statement 0 (an execution without result columns) answers 0,
// and so does a number that is not open, without an error.
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"

namespace {

// The host counts columns from 1, the statement from 0: column 0 reaches the
// statement as -1, which it reports.
unsigned nStatementColumn(unsigned nColumn)
{
    return nColumn - 1;
}

}  // namespace

void CNADriverSQL::_ResetStatementError(CNAStatementSQL* pclStatement)
{
    pclStatement->ResetLastError();
}

void CNADriverSQL::_ReleaseStatement(CNAStatementSQL* pclStatement)
{
    pclStatement->nRelease();
}

int CNADriverSQL::bGetColumnList(CAny* pclList, int, int nStatement, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetColumnList(pclList, nFlags);
    });
}

INADataSourceDescription* CNADriverSQL::piGetTableDesc(int, int nStatement, unsigned)
{
    CNAEntryGuard guard(m_pclError);
    if (m_pclDriver == nullptr)
        return nullptr;
    return _WithStatement(nStatement, static_cast<INADataSourceDescription*>(nullptr),
                          [&](CNAStatementSQL* pclStatement) -> INADataSourceDescription* {
                              CNADataSourceDescription* pclSource = m_pclDriver->pclAllocDataSourceDescription(
                                  pclStatement->pclGetConnectionNoRef(), m_pclError);
                              if (pclSource == nullptr) {
                                  if (m_pclError != nullptr)
                                      m_pclError->pclGetXError()->SetErrorNoMemory();
                                  return nullptr;
                              }
                              pclSource->AddRef();
                              if (!pclSource->bInitDataSourceDescriptionFromStatement(pclStatement)) {
                                  pclSource->nRelease();
                                  return nullptr;
                              }
                              pclSource->ExternalAddRef();
                              pclSource->nRelease();
                              return pclSource;
                          });
}

int CNADriverSQL::bGetStmtLastError(INAError** ppiError, int, int nStatement)
{
    // The driver's error is kept: the statement's is what the host asks for.
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAStatementSQL* pclStatement = _pclGetStatement(nStatement);
    if (pclStatement == nullptr)
        return 0;
    const int bDone = pclStatement->bGetStmtLastError(ppiError);
    _ReleaseStatement(pclStatement);
    return bDone;
}

int CNADriverSQL::bGetColumnNbr(int* pnColumns, int, int nStatement, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    if (nStatement == 0) {
        if (pnColumns != nullptr)
            *pnColumns = 0;
        return 1;
    }
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetColumnNbr(pnColumns, nFlags);
    });
}

int CNADriverSQL::bGetColumnName(CAny* pclName, int, int nStatement, unsigned nColumn, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetColumnName(pclName, nStatementColumn(nColumn), nFlags);
    });
}

int CNADriverSQL::bFetch(int, int nStatement, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    // The statement's fetch succeeds at the end of the data too: only a
    // fetched row answers 1 here.
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bFetch(nFlags) && pclStatement->bHasCurrentRow() ? 1 : 0;
    });
}

int CNADriverSQL::bGetRow(CAny* pclRow, int, int nStatement, const wchar_t* pszSeparator, int nColumns,
                          unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetRow(pclRow, pszSeparator, nColumns, nFlags);
    });
}

int CNADriverSQL::bGetValue(CAny* pclValue, int, int nStatement, unsigned nColumn, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetValue(pclValue, nStatementColumn(nColumn), nFlags);
    });
}

int CNADriverSQL::bGetBLOBValue(CAny* pclValue, int, int nStatement, unsigned nColumn, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithStatement(nStatement, 0, [&](CNAStatementSQL* pclStatement) {
        return pclStatement->bGetBLOBValue(pclValue, nStatementColumn(nColumn), nFlags);
    });
}
