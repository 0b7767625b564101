// The execution error of a MySQL statement, and the diagnosis of a query
// that the server dropped because it was larger than the packets it accepts.
//
// A server that receives a query above its max_allowed_packet closes the
// connection, and the client reports only that the server went away (2006).
// The diagnosis asks the server for its limit on a private error object
// whose quiet flag is set: its own failures never reach the statement's
// error, and a diagnosis query that loses the server in its turn starts no
// second diagnosis. The dropped handle cannot run the question, so closing
// and reopening the connection is its normal path, bounded as every session
// the driver opens on its own; the query that failed is not sent again.
// Never inside a transaction, the driver's or one the host began in SQL:
// the server rolled it back with the session, and statements on a new
// session would run outside it, up to a commit reported done; they are
// refused instead, and the commit with them.
#include <algorithm>
#include <cwchar>
#include <limits>

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/mysql_statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"

namespace {

constexpr unsigned kServerGoneAway = 2006;
constexpr const wchar_t* kPacketQuestion = L"show variables like 'max_allowed_packet'";
// The query's beginning that the message quotes, in characters.
constexpr long kQuotedCharacters = 20;

// The server's max_allowed_packet, read on a diagnosis error object; 0 when
// it cannot be had.
int nReadPacketLimit(CMySQLConnection* pclConnection, CNAError* pclDiagnosis)
{
    CAny clValue;
    // The second column of the variable's row is its value.
    int bRead = pclConnection->bGetRequestedValue(pclDiagnosis, &clValue, 1, kPacketQuestion);
    if (!bRead && !pclConnection->bHostInTransaction() && pclConnection->_bReopenSession(pclDiagnosis))
        bRead = pclConnection->bGetRequestedValue(pclDiagnosis, &clValue, 1, kPacketQuestion);
    if (!bRead || clValue.nGetTypeCode() == ZLTYPE_VIDE || clValue.bIsNull())
        return 0;
    if (clValue.__nCastTo(ZLTYPE_I4, nullptr, 0) > 99)
        return 0;
    const unsigned short nType = clValue.nGetTypeCode();
    if (nType != ZLTYPE_BOOL && nType != ZLTYPE_UI4 && nType != ZLTYPE_I4)
        return 0;
    int nLimit = 0;
    if (clValue.nGetINT(&nLimit) > 99)
        return 0;
    return nLimit;
}

}  // namespace

void CMySQLStatementSQL::_InitExecuteError(unsigned nFile, unsigned nSite, const wchar_t* pszSQL, long nLength,
                                           unsigned nFlags)
{
    CNAStatementSQL::_InitExecuteError(nFile, nSite, pszSQL, nLength, nFlags);
    if (m_pclError == nullptr || m_pclError->bGetNoDetail() || m_pclError->dwGetDataBaseErrorCode() != kServerGoneAway)
        return;
    _DiagnosePacketSize(pszSQL, std::max<int64_t>(nLength, m_nSentBytes));
}

void CMySQLStatementSQL::_DiagnosePacketSize(const wchar_t* pszSQL, int64_t nLength)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAError* pclDiagnosis = pclDriver != nullptr ? pclDriver->pclAllocError() : nullptr;
    if (pclDiagnosis == nullptr)
        return;
    pclDiagnosis->AddRef();
    pclDiagnosis->SetNoDetail(1);
    const int nLimit = nReadPacketLimit(_pclMySQLConnection(), pclDiagnosis);
    pclDiagnosis->nRelease();
    if (nLimit <= 0 || nLimit >= nLength)
        return;
    CTString csStart;
    if (pszSQL != nullptr)
        csStart.Set(pszSQL, static_cast<unsigned long>(wcsnlen(pszSQL, kQuotedCharacters)));
    const wchar_t* pszDatabase = m_pclConnection->pszGetDataBase();
    m_pclError->AddErrorFirst(MySQLSite::kStmtPacketTooLarge.eType, MySQLSite::kStmtPacketTooLarge.nSource,
                              MySQLSite::kStmtPacketTooLarge.nSite, m_pclConnection,
                              MySQLSite::kStmtPacketTooLarge.nUserCode, pszDatabase != nullptr ? pszDatabase : L"",
                              kServerGoneAway, nLimit,
                              static_cast<int>(std::min<int64_t>(nLength, std::numeric_limits<int>::max())),
                              csStart.pszGet());
    m_pclError->SetDataBaseErrorCode(kServerGoneAway);
}
