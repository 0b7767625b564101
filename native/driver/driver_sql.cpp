// The SQL-functions object: construction, counts, the look-ups of its
// handles, and the execution of a text for the driver's own queries.
#include "native/driver/driver_sql.h"

#include <optional>

#include "common/system/x_error.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
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
    // The table's destruction then drops its reference on every open
    // statement.
}

unsigned CNADriverSQL::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, m_dwExternalRefCount);
}

// The host changes its count from any thread; the driver changes the other
// under the lock, and the release that finds both at 0 deletes the object.
// Without the module (ended) there is no lock and no driver left.
void CNADriverSQL::ExternalAddRef()
{
    std::optional<CNAEntryGuard> guard;
    if (CNADriver::g_bModuleStarted())
        guard.emplace(CNAEntryGuard::NoReset);
    ++m_dwExternalRefCount;
}

unsigned CNADriverSQL::nExternalRelease()
{
    std::optional<CNAEntryGuard> guard;
    if (CNADriver::g_bModuleStarted())
        guard.emplace(CNAEntryGuard::NoReset);
    return NA_nReleaseCount(this, m_dwExternalRefCount, m_dwRefCount);
}

INAError* CNADriverSQL::piGetLastError()
{
    return m_pclError;
}

int CNADriverSQL::bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData)
{
    return m_pclDriver != nullptr ? m_pclDriver->bSetVMAndLibShop(piLibShop, piVMData) : 0;
}

CNAConnectionDescription* CNADriverSQL::_pclGetConnection(int nConnection)
{
    return m_pclDriver != nullptr ? m_pclDriver->pclGetConnectionByID(nConnection) : nullptr;
}

void CNADriverSQL::_ReleaseConnection(CNAConnectionDescription* pclConnection)
{
    CNADriver::g_nReleaseConnection(pclConnection);
}

CNAStatementSQL* CNADriverSQL::_pclGetStatement(int nStatement)
{
    CNAStatementSQL* pclStatement = nullptr;
    if (nStatement == 0 || !m_tabStatement.bGetElementRef(nStatement, &pclStatement))
        return nullptr;
    return pclStatement;
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
