// Whether the server still holds the connection's transaction after one of
// its statements failed, and the mark on the transaction when it does not.
//
// The server ends a whole transaction on its own on some errors (a
// deadlock, a lock wait time-out when it rolls back on time-out, a lost
// connection); the driver's levels would otherwise stay active and the
// host's commit would be reported done. The server status tells where the
// library gives it; otherwise the error number does.
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/transaction.h"

namespace {

// Connector/C's property "server status" (an unsigned int), and the status
// bit of an open transaction.
constexpr int kMariadbServerStatus = 30;
constexpr unsigned kServerStatusInTrans = 1;
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
    // No statement reaches the server now, and the transaction is gone with
    // the session: the connection lost (gone away, lost during a query or a
    // read, killed, dropped for inactivity), or a cluster node out of its
    // quorum, which refuses every statement.
    Unreachable,
};

eAfterError eAfterErrorByCode(unsigned nCode)
{
    switch (nCode) {
    case 1213:
    case 1206:
    case 1637: return eAfterError::Ended;
    case 1205: return eAfterError::EndedOnTimeoutSetting;
    case 2006:
    case 2013:
    case 2055:
    case 1927:
    case 4031:
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
    // Known to hold no transaction while the connection serves on.
    bool bServerWithout = false;
    bool bUncertain = false;
    const int nHeld = eByCode == eAfterError::Unreachable ? -1 : _nServerHoldsTransaction();
    if (nHeld == 1)
        return;
    if (nHeld == 0) {
        bServerWithout = true;
        // A statement that commits the open transaction before it runs (a
        // definition, LOCK TABLES) leaves none when it fails: an error that
        // rolls nothing back does not say which end the transaction had.
        bUncertain = eByCode == eAfterError::Kept;
    } else {
        switch (eByCode) {
        case eAfterError::Kept: return;
        case eAfterError::Ended: bServerWithout = true; break;
        case eAfterError::EndedOnTimeoutSetting: {
            // Unread, the transaction counts as ended: a commit refused is
            // safe, one reported done for work the server dropped is not.
            const int nSetting = _nServerRollsBackOnTimeout();
            if (nSetting == 0)
                return;
            bServerWithout = nSetting == 1;
            break;
        }
        case eAfterError::Unreachable: break;
        }
    }
    pclTransaction->SetRolledBackByServer(nCode, pszMessage, bUncertain ? 1 : 0);
    // What the host runs until it ends its transaction stays in one of the
    // server's, which that end rolls back: none of it is committed statement
    // by statement as if it still belonged to the transaction. Only where
    // the server is known to hold none, since a BEGIN commits an open one.
    if (bServerWithout)
        (void)bTransactionBeginDirect(nullptr);
}

int CMySQLConnection::_nServerHoldsTransaction()
{
    if (__mariadb_get_infov == &DefaultError_mariadb_get_infov || m_pMySQL == nullptr || !m_bOpen)
        return -1;
    unsigned nStatus = 0;
    const auto bReadStatus = [&] {
        unsigned char nFailed = 1;
        nStatus = 0;
        return bClientCall(MySQLSite::kTransactionStatusRead, nullptr, this,
                           [&] { nFailed = __mariadb_get_infov(m_pMySQL, kMariadbServerStatus, &nStatus); }) &&
               nFailed == 0;
    };
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
