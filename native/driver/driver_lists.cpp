// The driver's list, test and answer-only slots. The lists are the
// SQL-functions object's (made on first demand), on the opened connection.
#include "common/system/x_error.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/driver_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/wide_text_value.h"
#include "native/model/data_source_description.h"

int CNADriver::bGetTableList(CAny* pclList, INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = _bGetTableList(pclList, pclConnection, nFlags);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::_bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, unsigned nFlags)
{
    CNADriverSQL* pclDriverSQL = pclGetDriverSQL();
    if (pclDriverSQL == nullptr)
        return 0;
    const int bOpened = pclConnection->bOpen(m_pclError);
    if (!bOpened)
        return bOpened;
    return pclDriverSQL->bGetTableList(pclList, pclConnection, nullptr, nFlags);
}

int CNADriver::bGetDatabaseList(CXYString<wchar_t>* pclList, INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = _bGetDatabaseList(pclList, pclConnection, nFlags);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::_bGetDatabaseList(CXYString<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                 unsigned nFlags)
{
    CNADriverSQL* pclDriverSQL = pclGetDriverSQL();
    if (pclDriverSQL == nullptr)
        return 0;
    const int bOpened = pclConnection->bOpen(m_pclError);
    if (!bOpened)
        return bOpened;
    return pclDriverSQL->bGetDatabaseList(pclList, pclConnection, nFlags);
}

int CNADriver::bGetLinkList(CAny* pclList, const wchar_t* pszTable, INADataSourceDescription* piSource,
                            INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    const int bDone = _bGetLinkList(pclConnection, pszTable, piSource, pclList, nFlags);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::_bGetLinkList(CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                             INADataSourceDescription* piSource, CAny* pclList, unsigned nFlags)
{
    // Without the SQL-functions object there is nothing to list: success.
    CNADriverSQL* pclDriverSQL = pclGetDriverSQL();
    if (pclDriverSQL == nullptr)
        return 1;
    const int bOpened = pclConnection->bOpen(m_pclError);
    if (!bOpened)
        return bOpened;
    return pclDriverSQL->bGetLinkList(pclList, pclConnection, pszTable, piSource, nFlags);
}

int CNADriver::bTableExists(int* pbExists, const wchar_t* pszTable, INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    CNAConnectionDescription* pclConnection = _pclGetConnection(piConnection);
    if (pclConnection == nullptr)
        return 0;
    int bDone = pclConnection->bOpen(m_pclError);
    if (bDone)
        bDone = _bTableExists(pbExists, pszTable, pclConnection);
    nReleaseConnection(pclConnection);
    return bDone;
}

int CNADriver::_bTableExists(int* pbExists, const wchar_t* pszTable, CNAConnectionDescription* pclConnection)
{
    CNADataSourceDescription* pclSource = _pclGetTableDesc(pszTable, pclConnection);
    if (pbExists != nullptr)
        *pbExists = pclSource != nullptr ? 1 : 0;
    if (pclSource != nullptr) {
        pclSource->nRelease();
        return 1;
    }
    // A table without columns does not exist; any other failure is one.
    return m_pclError != nullptr && m_pclError->nGetUserErrorCode() == NASite::kNoItemFromDatabase.nUserCode ? 1 : 0;
}

int CNADriver::bSQLFormatColonne(INAConnectionDescription*, CAny* pclList)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADriverSQL* pclDriverSQL = pclGetDriverSQL();
    if (pclDriverSQL != nullptr)
        pclDriverSQL->bGetColumnTypeList(pclList, 0, 0);
    else
        NA_bSetWideText(pclList, ZLTYPE_PSTRW, L"");
    return 1;
}

int CNADriver::bGetListeSource(CAny* pclList, int)
{
    NA_bSetWideText(pclList, ZLTYPE_PSTRW, L"");
    return 1;
}

int CNADriver::bSetQueryParameters(INAContext*, INAConnectionDescription*, INAQueryParametersValue*)
{
    CNAEntryGuard guard(m_pclError);
    return 1;
}

int CNADriver::bGetProviderList(CAny*)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAError::g_RaiseSiteError(m_pclError, NASite::kProviderListNotAvailable, nullptr, nullptr, nullptr);
    return 0;
}

int CNADriver::bFiltreAuto(INAContext*, INAConnectionDescription*, int, const wchar_t*, INADataSourceDescription*,
                           const wchar_t*, INADataSourceDescription*)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNAError::g_RaiseSiteError(m_pclError, NASite::kFilterAutoNotAvailable, nullptr, nullptr, nullptr);
    return 0;
}
