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

namespace {

// f(SQL-functions object) on the opened connection; nWithout without that
// object (made on first demand), the open's result when it fails.
template <class F>
int nListOnOpened(CNADriver* pclDriver, CNAConnectionDescription* pclConnection, int nWithout, F f)
{
    CNADriverSQL* pclDriverSQL = pclDriver->pclGetDriverSQL();
    if (pclDriverSQL == nullptr)
        return nWithout;
    const int bOpened = pclConnection->bOpen(pclDriver->pclGetError());
    if (!bOpened)
        return bOpened;
    return f(pclDriverSQL);
}

}  // namespace

int CNADriver::bGetTableList(CAny* pclList, INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(piConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return _bGetTableList(pclList, pclConnection, nFlags);
    });
}

int CNADriver::_bGetTableList(CAny* pclList, CNAConnectionDescription* pclConnection, unsigned nFlags)
{
    return nListOnOpened(this, pclConnection, 0, [&](CNADriverSQL* pclDriverSQL) {
        return pclDriverSQL->bGetTableList(pclList, pclConnection, nullptr, nFlags);
    });
}

int CNADriver::bGetDatabaseList(CXYString<wchar_t>* pclList, INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(piConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return _bGetDatabaseList(pclList, pclConnection, nFlags);
    });
}

int CNADriver::_bGetDatabaseList(CXYString<wchar_t>* pclList, CNAConnectionDescription* pclConnection,
                                 unsigned nFlags)
{
    return nListOnOpened(this, pclConnection, 0, [&](CNADriverSQL* pclDriverSQL) {
        return pclDriverSQL->bGetDatabaseList(pclList, pclConnection, nFlags);
    });
}

int CNADriver::bGetLinkList(CAny* pclList, const wchar_t* pszTable, INADataSourceDescription* piSource,
                            INAConnectionDescription* piConnection, unsigned nFlags)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    return _WithConnection(piConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        return _bGetLinkList(pclConnection, pszTable, piSource, pclList, nFlags);
    });
}

int CNADriver::_bGetLinkList(CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                             INADataSourceDescription* piSource, CAny* pclList, unsigned nFlags)
{
    // Without the SQL-functions object there is nothing to list: success.
    return nListOnOpened(this, pclConnection, 1, [&](CNADriverSQL* pclDriverSQL) {
        return pclDriverSQL->bGetLinkList(pclList, pclConnection, pszTable, piSource, nFlags);
    });
}

int CNADriver::bTableExists(int* pbExists, const wchar_t* pszTable, INAConnectionDescription* piConnection)
{
    CNAEntryGuard guard(m_pclError);
    return _WithConnection(piConnection, 0, [&](CNAConnectionDescription* pclConnection) {
        const int bOpened = pclConnection->bOpen(m_pclError);
        return bOpened ? _bTableExists(pbExists, pszTable, pclConnection) : bOpened;
    });
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
