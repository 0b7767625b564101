// Whether the server still holds the connection's transaction after one of
// its statements failed, and the mark on the transaction when it does not.
//
// The server ends a whole transaction on its own on some errors (a
// deadlock, a lock wait time-out when it rolls back on time-out, a lost
// connection); the driver's levels would otherwise stay active and the
// host's commit would be reported done. The server status tells where the
// library gives it; otherwise the error number does. A transaction found
// ended is rolled back and begun again on the server, so that nothing the
// host runs before it ends the transaction commits on its own.
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/transaction.h"

namespace {

// Changes nothing; its answer carries the server's present status.
constexpr char kStatusProbe[] = "DO 0";
constexpr char kRollbackOnTimeoutQuestion[] = "SELECT @@innodb_rollback_on_timeout";

// What an error number says of the transaction when the status cannot be
// read.
enum class eAfterError
{
    // The statement alone failed.
    Kept,
    // The server rolled the whole transaction back (a deadlock, its lock
    // table full, too many transactions at once); the connection serves on.
    Ended,
    // The server rolled it back only when innodb_rollback_on_timeout is on.
    EndedOnTimeoutSetting,
    // The server's state is not asked: the connection lost (gone away, lost
    // during a query or a read, killed, dropped for inactivity), or a cluster
    // node out of its quorum, which refuses every statement and may have
    // ended the transaction while the session lives on.
    Unreachable,
};

eAfterError eAfterErrorByCode(unsigned nCode)
{
    if (CMySQLConnection::s_bSessionLostByCode(nCode))
        return eAfterError::Unreachable;
    switch (nCode) {
    case 1213:
    case 1206:
    case 1637: return eAfterError::Ended;
    case 1205: return eAfterError::EndedOnTimeoutSetting;
    case 1047: return eAfterError::Unreachable;
    default: return eAfterError::Kept;
    }
}

}  // namespace

void CMySQLConnection::_NoteTransactionAfterError(unsigned nCode, const wchar_t* pszMessage)
{
    CNATransaction* pclTransaction = pclGetTransactionNoRef();
    if (nCode == 0 || pclTransaction == nullptr || !pclTransaction->bActive() ||
        pclTransaction->bRolledBackByServer())
        return;
    const eAfterError eByCode = eAfterErrorByCode(nCode);
    bool bUncertain = false;
    const int nHeld = eByCode == eAfterError::Unreachable ? -1 : _nServerHoldsTransaction();
    if (nHeld == 1)
        return;
    if (nHeld == 0) {
        // A statement that commits the open transaction before it runs (a
        // definition, LOCK TABLES) leaves none when it fails: an error that
        // rolls nothing back does not say which end the transaction had.
        bUncertain = eByCode == eAfterError::Kept;
    } else {
        switch (eByCode) {
        case eAfterError::Kept: return;
        case eAfterError::Ended: break;
        // Unread, the transaction counts as ended: a commit refused is safe,
        // one reported done for work the server dropped is not.
        case eAfterError::EndedOnTimeoutSetting:
            if (_nServerRollsBackOnTimeout() == 0)
                return;
            break;
        case eAfterError::Unreachable: break;
        }
    }
    pclTransaction->SetRolledBackByServer(nCode, pszMessage, bUncertain ? 1 : 0);
    // What the host runs until it ends its transaction stays in one of the
    // server's, which that end rolls back: none of it is committed statement
    // by statement as if it still belonged to the transaction. The ROLLBACK
    // first, since a BEGIN commits what the server may still hold, and the
    // commit is refused anyway. Where neither can be sent, the statements
    // are refused while the mark stands (_bBeforeStatement).
    m_bEndedTransactionUnheld = _bRollBackThenBegin() ? 0 : 1;
}

int CMySQLConnection::_bRollBackThenBegin()
{
    return bTransactionRollBackDirect(nullptr) && bTransactionBeginDirect(nullptr) ? 1 : 0;
}

int CMySQLConnection::_nServerHoldsTransaction()
{
    unsigned nStatus = 0;
    const auto bReadStatus = [&] { return _bReadServerStatus(MySQLSite::kTransactionStatusRead, &nStatus); };
    // A library that does not know the property is not sent the probe.
    if (!bReadStatus())
        return -1;
    // An error answer carries no status: the library still holds the one
    // from before the failed statement.
    int nResult = 1;
    if (!bClientCall(MySQLSite::kTransactionStatusProbe, nullptr, this,
                     [&] { nResult = __mysql_real_query(m_pMySQL, kStatusProbe, sizeof kStatusProbe - 1); }) ||
        nResult != 0 || !bReadStatus())
        return -1;
    return (nStatus & kServerStatusInTrans) != 0 ? 1 : 0;
}

int CMySQLConnection::_nServerRollsBackOnTimeout()
{
    if (m_pMySQL == nullptr || !m_bOpen)
        return -1;
    const stClientCallSite& site = MySQLSite::kRollbackOnTimeoutQuestion;
    int nResult = 1;
    if (!bClientCall(site, nullptr, this,
                     [&] {
                         nResult = __mysql_real_query(m_pMySQL, kRollbackOnTimeoutQuestion,
                                                      sizeof kRollbackOnTimeoutQuestion - 1);
                     }) ||
        nResult != 0)
        return -1;
    MYSQL_RES* pResult = nullptr;
    if (!bClientCall(site, nullptr, this, [&] { pResult = __mysql_store_result(m_pMySQL); }) || pResult == nullptr)
        return -1;
    int nAnswer = -1;
    (void)bClientCall(site, nullptr, this, [&] {
        if (__mysql_num_fields(pResult) < 1)
            return;
        MYSQL_ROW row = __mysql_fetch_row(pResult);
        const unsigned long* pnLengths = row != nullptr ? __mysql_fetch_lengths(pResult) : nullptr;
        if (pnLengths != nullptr && row[0] != nullptr && pnLengths[0] == 1 && (row[0][0] == '0' || row[0][0] == '1'))
            nAnswer = row[0][0] - '0';
    });
    (void)bClientCall(site, nullptr, this, [&] { __mysql_free_result(pResult); });
    return nAnswer;
}
