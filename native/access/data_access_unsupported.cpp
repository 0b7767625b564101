// The H-operations this driver does not offer: each fails with user error 8
// (error type 7, not available with this driver), changes nothing and
// leaves its outputs unwritten.
#include "native/access/data_access.h"

#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"

namespace {

int NotAvailable(CNAError* pclError, const stNAErrorSite& site, CNAConnectionDescription* pclConnection,
                 const wchar_t* pszTable)
{
    CNAError::g_RaiseSiteError(pclError, site, pclConnection, pszTable, nullptr);
    return 0;
}

}  // namespace

int CNADataAccess::bHBloqueFichier(eNA_LOCKTYPE, eNA_LOCKTYPE*)
{
    return NotAvailable(m_pclError, NASite::kLockTableNotAvailable, m_pclConnection, pszGetLogicalName());
}

int CNADataAccess::bHBloqueNumEnr(long, eNA_LOCKTYPE, eNA_LOCKTYPE*)
{
    return NotAvailable(m_pclError, NASite::kLockRecordNotAvailable, m_pclConnection, pszGetLogicalName());
}

int CNADataAccess::bHRaye(long, eNA_LOCKTYPE)
{
    return NotAvailable(m_pclError, NASite::kCrossOutNotAvailable, m_pclConnection, pszGetLogicalName());
}

int CNADataAccess::bHLibere()
{
    return NotAvailable(m_pclError, NASite::kFreeCrossedOutNotAvailable, m_pclConnection, pszGetLogicalName());
}

int CNADataAccess::bHConstruitValCle(CAny*, const wchar_t*, unsigned, CAny**)
{
    return NotAvailable(m_pclError, NASite::kBuildKeyNotAvailable, m_pclConnection, pszGetLogicalName());
}
