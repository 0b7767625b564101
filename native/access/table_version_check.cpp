// The check of the host's SQL module before the table works with a query
// the module parsed: the driver reads the module's parse structures, so an
// older module than the one it was built against is refused. Done once per
// driver object, at the first operation that hands over a parsed query.
#include "native/access/table.h"
#include "native/access/table_sites.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/sql/host_sql_parser_information.h"

namespace {

// The handshake's two numbers and the oldest module version accepted.
constexpr int kHandshakeMajor = 32;
constexpr int kHandshakeMinor = 32;
constexpr uint32_t kOldestModuleVersion = 32;
constexpr const wchar_t* kDriverModule = L"vxmysql.so";
constexpr const wchar_t* kSQLModule = L"vx200sql64.so";

}  // namespace

int CNATable::_bCheckSQLModuleVersion(ISQLParserInformation* piQuery)
{
    if (piQuery == nullptr)
        return 1;
    // A stretch of the lock of its own: the operation takes it again after.
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr || pclDriver->bVersionChecked())
        return 1;
    if (!piQuery->bCheckVersion(kHandshakeMajor, kHandshakeMinor, &CNADriver::s_nID_VXSQL)) {
        CNAError::g_RaiseSiteError(m_pclError, NATableSite::kModuleHandshakeFailed, m_pclConnection, nullptr, nullptr,
                                   kDriverModule, kSQLModule);
        return 0;
    }
    if (CNADriver::s_nID_VXSQL < kOldestModuleVersion) {
        CNAError::g_RaiseSiteError(m_pclError, NATableSite::kModuleTooOld, m_pclConnection, nullptr, nullptr,
                                   kSQLModule, kDriverModule);
        return 0;
    }
    pclDriver->SetVersionChecked();
    return 1;
}
