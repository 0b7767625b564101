// The server's session behind a MySQL connection's handle: whether it holds
// a transaction, what happens when it is lost, and the session the driver
// opens again on its own.
//
// A transaction the host began in its SQL text (START TRANSACTION, BEGIN,
// autocommit off) is none of the driver's levels. When its session is lost,
// a new session would run the host's later statements, up to its COMMIT,
// outside that transaction and report them done: the connection refuses
// them instead until the host rolls the transaction back or closes the
// connection. A session the driver opens on its own is bounded by the
// host's command time-out where no connection time-out is given, so that no
// hidden connect waits longer than the host's call may.
#include "common/text/char_class.h"
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/error_object.h"
#include "native/driver/transaction.h"

namespace {

bool bBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

const char* pszSkipBlanks(const char* p)
{
    while (bBlank(*p))
        ++p;
    return p;
}

// The word at p, case ignored, followed by a blank, a semicolon or the end:
// the text after it, or null.
const char* pszAfterWord(const char* p, const char* pszWord)
{
    for (; *pszWord != 0; ++p, ++pszWord) {
        // ASCII letters only: no locale decides what a keyword is.
        const char c = bMinusculeA(*p) ? static_cast<char>(*p - 'a' + 'A') : *p;
        if (c != *pszWord)
            return nullptr;
    }
    return *p == 0 || *p == ';' || bBlank(*p) ? p : nullptr;
}

}  // namespace

bool CMySQLConnection::s_bSessionLostByCode(unsigned nCode)
{
    switch (nCode) {
    case 2006:
    case 2013:
    case 2055:
    case 1927:
    case 4031: return true;
    default: return false;
    }
}

bool CMySQLConnection::s_bPlainRollBack(const char* pszSQL)
{
    if (pszSQL == nullptr)
        return false;
    const char* p = pszAfterWord(pszSkipBlanks(pszSQL), "ROLLBACK");
    if (p == nullptr)
        return false;
    p = pszSkipBlanks(p);
    if (const char* pAfterWork = pszAfterWord(p, "WORK"))
        p = pszSkipBlanks(pAfterWork);
    if (*p == ';')
        p = pszSkipBlanks(p + 1);
    return *p == 0;
}

int CMySQLConnection::_bBeforeStatement(CNAError* pclError, const char* pszSQL)
{
    if (bSessionTransactionLost()) {
        if (!s_bPlainRollBack(pszSQL)) {
            RaiseSessionTransactionLost(pclError, MySQLSite::kStmtSessionTransactionLost);
            return 0;
        }
        // The host ends what was lost; its ROLLBACK then runs on a new
        // session, where it changes nothing.
        ClearSessionTransactionLost();
    }
    if (m_bReopenOnDemand && !_bReopenSession(pclError))
        return 0;
    const CNATransaction* pclTransaction = pclGetTransactionNoRef();
    if (m_bEndedTransactionUnheld && pclTransaction != nullptr && pclTransaction->bActive() &&
        pclTransaction->bRolledBackByServer()) {
        RaiseWithServerCause(pclError, MySQLSite::kStmtTransactionEndedUnheld,
                             pclTransaction->nGetServerRollBackCode(),
                             pclTransaction->csGetServerRollBackMessage().pszGet());
        return 0;
    }
    return 1;
}

void CMySQLConnection::_NoteSessionStatus()
{
    unsigned nStatus = 0;
    if (_bReadServerStatus(MySQLSite::kSessionStatusRead, &nStatus))
        m_bSessionInTransaction =
            (nStatus & kServerStatusInTrans) != 0 || (nStatus & kServerStatusAutocommit) == 0 ? 1 : 0;
}

bool CMySQLConnection::_bReadServerStatus(const stClientCallSite& site, unsigned* pnStatus)
{
    *pnStatus = 0;
    if (__mariadb_get_infov == &DefaultError_mariadb_get_infov || m_pMySQL == nullptr || !m_bOpen)
        return false;
    unsigned char nFailed = 1;
    return bClientCall(site, nullptr, this,
                       [&] { nFailed = __mariadb_get_infov(m_pMySQL, kMariadbServerStatus, pnStatus); }) &&
           nFailed == 0;
}

void CMySQLConnection::_NoteSessionAfterError(unsigned nCode, const wchar_t* pszMessage)
{
    if (!s_bSessionLostByCode(nCode))
        return;
    const bool bHeld = m_bSessionInTransaction != 0;
    m_bSessionInTransaction = 0;
    // The levels look after their own transactions, and what the driver's
    // own statements meet is theirs to report.
    if (!bHeld || m_bOwnStatement || _bTransactionOpened() || bSessionTransactionLost())
        return;
    SetSessionTransactionLost(nCode, pszMessage);
    // The dead handle stays until the next open: a result of it may still
    // be in a caller's hands now.
    m_bReopenOnDemand = 1;
}

int CMySQLConnection::_bReopenSession(CNAError* pclError)
{
    m_bReopenOnDemand = 1;
    return bOpen(pclError);
}
