// The SQL-functions object: construction, counts, the execution of a text
// for the driver's own queries, and its slots as this layer answers them.
// The connection, statement, transaction, lock and list operations answer 0
// or null and record nothing.
#include "native/driver/driver_sql.h"

#include "common/system/x_error.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/interf.h"

uint32_t CNADriverSQL::m_gnCnxNameGenerator = 0;

CNADriverSQL::CNADriverSQL(CNADriver* pclDriver, CNAError* pclError) : m_pclDriver(pclDriver), m_pclError(pclError)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNADriverSQL::~CNADriverSQL()
{
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

unsigned CNADriverSQL::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount);
}

unsigned CNADriverSQL::nExternalRelease()
{
    return NA_nReleaseCount(this, m_dwExternalRefCount, m_dwRefCount);
}

int CNADriverSQL::bExecute(CNAError* pclError, CNAStatementSQL** ppclResult, CNAConnectionDescription* pclConnection,
                           const wchar_t* pszSQL, CTabValParser* pstValues, unsigned nFlags)
{
    if (ppclResult != nullptr)
        *ppclResult = nullptr;
    CNAStatementSQL* pclStatement = pclAllocStatementSQL(pclConnection, pclError);
    if (pclStatement == nullptr) {
        if (pclError != nullptr)
            pclError->pclGetXError()->SetErrorNoMemory();
        return 0;
    }
    REF_AddRef(pclStatement);
    const int bExecuted = pclStatement->bExecuteDirect(pszSQL, pstValues, nFlags);
    int nColumns = 0;
    if (bExecuted && ppclResult != nullptr && pclStatement->bGetColumnNbr(&nColumns, 0) && nColumns > 0) {
        *ppclResult = pclStatement;
        return bExecuted;
    }
    pclStatement->nRelease();
    return bExecuted;
}

INAError* CNADriverSQL::piGetLastError()
{
    return m_pclError;
}

int CNADriverSQL::bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData)
{
    return m_pclDriver != nullptr ? m_pclDriver->bSetVMAndLibShop(piLibShop, piVMData) : 0;
}

int CNADriverSQL::bOpenConnection(int*, INAConnectionDescription*)
{
    return 0;
}

int CNADriverSQL::bCloseConnection(int)
{
    return 0;
}

int CNADriverSQL::bGetTableList(CAny*, int, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetColumnList(CAny*, int, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetColumnList(CAny*, int, int, unsigned)
{
    return 0;
}

INADataSourceDescription* CNADriverSQL::piGetTableDesc(int, const wchar_t*, unsigned)
{
    return nullptr;
}

INADataSourceDescription* CNADriverSQL::piGetTableDesc(int, int, unsigned)
{
    return nullptr;
}

int CNADriverSQL::bGetColumnTypeList(CAny*, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bExecute(int*, int, const wchar_t*, CTabValParser*, unsigned)
{
    return 0;
}

int CNADriverSQL::bFreeStmt(int, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetStmtLastError(INAError**, int, int)
{
    return 0;
}

int CNADriverSQL::bGetColumnNbr(int*, int, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetColumnName(CAny*, int, int, unsigned, unsigned)
{
    return 0;
}

int CNADriverSQL::bFetch(int, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetRow(CAny*, int, int, const wchar_t*, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetValue(CAny*, int, int, unsigned, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetBLOBValue(CAny*, int, int, unsigned, unsigned)
{
    return 0;
}

int CNADriverSQL::bTrsBegin(int*, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bTrsCommit(int, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bTrsRollBack(int, int, unsigned)
{
    return 0;
}

int CNADriverSQL::bSQLBloqueTable(int, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bSQLBloqueRequete(int, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetTableList(CAny*, CNAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetColumnList(CAny*, CNAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bGetLinkList(CAny*, CNAConnectionDescription*, const wchar_t*, INADataSourceDescription*, unsigned)
{
    return 0;
}

int CNADriverSQL::bSQLBloqueRequete(CNAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}

int CNADriverSQL::bSQLBloqueTable(CNAError*, CNAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}

void CNADriverSQL::_GetTableList_GetFilter(CXYStringConcat<wchar_t>*, const wchar_t*, unsigned)
{
}

int CNADriverSQL::_bGetDatabaseList(CXYStringConcat<wchar_t>*, CNAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriverSQL::_bGetDatabaseListQuery(CTStringConcatAW*, CNAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriverSQL::_bGetDatabaseTableListQuery(CTStringConcatAW*, const wchar_t*, CNAConnectionDescription*, unsigned)
{
    return 0;
}

int CNADriverSQL::_bGetTableList(CAny*, CNAConnectionDescription*, const wchar_t*, unsigned)
{
    return 0;
}
