// The server's session behind a MySQL connection's handle: what is refused
// before a statement is sent while a transaction is marked ended, what
// happens when the session is lost, and the session the driver opens again
// on its own.
//
// A transaction the host began in its SQL text (START TRANSACTION, BEGIN,
// autocommit off) is none of the driver's levels. When its session is lost,
// a new session would run the host's later statements, up to its COMMIT,
// outside that transaction and report them done: the connection refuses
// them instead until the host rolls the transaction back or closes the
// connection. While any transaction is marked ended, a text that would
// commit what the server holds in its place is refused too. A session the
// driver opens on its own is bounded by the host's command time-out where
// no connection time-out is given, so that no hidden connect waits longer
// than the host's call may.
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/transaction_texts.h"
#include "native/driver/error_object.h"
#include "native/driver/transaction.h"

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

int CMySQLConnection::_bBeforeStatement(CNAError* pclError, const char* pszSQL)
{
    m_bRunningRollBackText = 0;
    const CNATransaction* pclChain = pclGetTransactionNoRef();
    const bool bLevels = pclChain != nullptr && pclChain->bActive();
    const bool bChainMarked = pclChain != nullptr && pclChain->bRolledBackByServer();
    const bool bTextMarked = !bLevels && bTextTransactionEnded();
    // Only a mark makes the text's words matter: no text is read otherwise.
    const eTransactionText eText =
        bChainMarked || bTextMarked ? g_eTransactionText(pszSQL) : eTransactionText::Other;
    // The host's way out of a transaction marked ended always goes.
    const bool bRollBack = eText == eTransactionText::RollBack;
    if (!bRollBack) {
        if (bTextMarked && bSessionTransactionLost()) {
            RaiseTextTransactionEnded(pclError, MySQLSite::kStmtSessionTransactionLost,
                                      MySQLSite::kStmtSessionTransactionLost, MySQLSite::kStmtSessionTransactionLost);
            return 0;
        }
        // The cause the refusals name: the levels' mark, else the text's.
        const bool bByChain = bChainMarked && (bLevels || !bTextMarked);
        if (((bLevels && bChainMarked) || bTextMarked) && m_bEndedTransactionUnheld) {
            if (bByChain)
                RaiseWithServerCause(pclError, MySQLSite::kStmtTransactionEndedUnheld,
                                     pclChain->nGetServerRollBackCode(),
                                     pclChain->csGetServerRollBackMessage().pszGet());
            else
                RaiseTextTransactionEnded(pclError, MySQLSite::kStmtTransactionEndedUnheld,
                                          MySQLSite::kStmtTransactionEndedUnheld,
                                          MySQLSite::kStmtTransactionEndedUnheld);
            return 0;
        }
        if (eText == eTransactionText::Commit && (bChainMarked || bTextMarked)) {
            if (bByChain)
                RaiseWithServerCause(
                    pclError, pclChain->bServerEndUncertain() ? MySQLSite::kStmtCommitEnded : MySQLSite::kStmtCommitRolledBack,
                    pclChain->nGetServerRollBackCode(), pclChain->csGetServerRollBackMessage().pszGet());
            else
                RaiseTextTransactionEnded(pclError, MySQLSite::kStmtCommitRolledBack, MySQLSite::kStmtCommitRolledBack,
                                          MySQLSite::kStmtCommitEnded);
            return 0;
        }
    }
    if (m_bReopenOnDemand) {
        // The ROLLBACK that ends a transaction lost with its session runs on
        // a new session, where it changes nothing; the mark ends once it
        // has run.
        m_bReopenForRollBack = bRollBack ? 1 : 0;
        const int bOpened = _bReopenSession(pclError);
        m_bReopenForRollBack = 0;
        if (!bOpened)
            return 0;
    }
    m_bRunningRollBackText = bRollBack ? 1 : 0;
    return 1;
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

int CMySQLConnection::_bReopenSession(CNAError* pclError)
{
    m_bReopenOnDemand = 1;
    return bOpen(pclError);
}
