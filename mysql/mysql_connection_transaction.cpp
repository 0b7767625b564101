// Whether the server still holds the host's transaction after each
// statement on the session, and what the connection does when it does not.
//
// The host believes it is inside a transaction while one of the levels is
// active or while the session holds one it began in its SQL text. The
// server ends a whole transaction on its own on some errors (a deadlock, a
// lock wait time-out when it rolls back on time-out, a lost session, a
// cluster node out of its quorum), and a statement that commits (a
// definition, LOCK TABLES) ends it too, also when it then fails. Every
// statement is weighed here, the host's and the driver's, failed or not, so
// that no road goes unseen: the server status of a success says whether a
// transaction is still open; after a failure a quiet probe asks; a library
// that gives no status leaves the error number to decide. A transaction
// found ended is marked with the error that ended it, and the session is
// put back inside a transaction of the server's that the host's end rolls
// back, so that nothing the host runs until then commits statement by
// statement; the commit is then refused, and the texts that would commit
// are refused before they are sent (mysql_connection_session.cpp).
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/code_page_converters.h"
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
    // The statement never reached the server.
    NotSent,
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
    // The client refused to send the statement (commands out of sync): the
    // server saw nothing, and a probe would be refused the same way.
    case 2014: return eAfterError::NotSent;
    case 1213:
    case 1206:
    case 1637: return eAfterError::Ended;
    case 1205: return eAfterError::EndedOnTimeoutSetting;
    case 1047: return eAfterError::Unreachable;
    default: return eAfterError::Kept;
    }
}

// _nServerHoldsTransaction's answers besides 1 and 0.
constexpr int kStatusUnknown = -1;
constexpr int kProbeFailed = -2;

}  // namespace

template <typename Fn>
int CMySQLConnection::_bRunOwn(eOwnStatement eKind, Fn fnRun)
{
    const eOwnStatement eBefore = m_eOwnStatement;
    m_eOwnStatement = eKind;
    const int bDone = fnRun();
    m_eOwnStatement = eBefore;
    return bDone;
}

int CMySQLConnection::bTransactionBeginDirect(CNAError* pclError)
{
    return _bRunOwn(eOwnStatement::LevelBegin,
                    [&] { return CNAConnectionDescription::bTransactionBeginDirect(pclError); });
}

int CMySQLConnection::bTransactionCommitDirect(CNAError* pclError)
{
    return _bRunOwn(eOwnStatement::LevelEnd,
                    [&] { return CNAConnectionDescription::bTransactionCommitDirect(pclError); });
}

int CMySQLConnection::bTransactionRollBackDirect(CNAError* pclError)
{
    return _bRunOwn(eOwnStatement::LevelEnd,
                    [&] { return CNAConnectionDescription::bTransactionRollBackDirect(pclError); });
}

bool CMySQLConnection::bHostInTransaction() const
{
    return _bTransactionOpened() || m_bSessionInTransaction || bTextTransactionEnded();
}

void CMySQLConnection::_AfterStatement(unsigned nCode, const wchar_t* pszMessage)
{
    // The rule's own statements are answered where it runs them.
    if (m_eOwnStatement == eOwnStatement::Rule)
        return;
    const eOwnStatement eOwn = m_eOwnStatement;
    const bool bRollBackText = m_bRunningRollBackText != 0;
    m_bRunningRollBackText = 0;
    CNATransaction* pclChain = pclGetTransactionNoRef();
    const bool bLevels = pclChain != nullptr && pclChain->bActive();

    if (nCode == 0) {
        // The host's roll-back ends its text transaction's mark, and
        // whatever stood in its place on the server.
        if (bRollBackText && !bLevels)
            ClearTextTransactionEnded();
        unsigned nStatus = 0;
        if (!_bReadServerStatus(MySQLSite::kSessionStatusRead, &nStatus))
            return;
        const bool bHeld = (nStatus & kServerStatusInTrans) != 0;
        m_bSessionInTransaction =
            !bLevels && eOwn != eOwnStatement::LevelBegin && (bHeld || (nStatus & kServerStatusAutocommit) == 0)
                ? 1
                : 0;
        // The levels' own begin and end leave what they leave.
        if (bHeld || eOwn != eOwnStatement::None)
            return;
        // The statement left no transaction where a mark held one: it
        // committed (a definition, LOCK TABLES), or rolled back. What was
        // held since may have been committed with it. Without a mark, a
        // statement that commits inside a level is the host's own, and
        // commits as the server commits it.
        if (bLevels && pclChain->bRolledBackByServer()) {
            if (!bRollBackText)
                pclChain->SetRolledBackByServer(0, nullptr, 1);
            _HoldWhatFollows(pclChain, false);
        } else if (!bLevels && bTextTransactionEnded() && !bSessionTransactionLost()) {
            SetTextTransactionEnded(eTextTransactionEnd::Uncertain, 0, nullptr);
            _HoldWhatFollows(nullptr, false);
        }
        return;
    }

    // A connect that failed leaves no session to weigh: the marks stand.
    if (m_pMySQL == nullptr || !m_bOpen)
        return;
    const bool bLost = s_bSessionLostByCode(nCode);
    const bool bText = !bLevels && (m_bSessionInTransaction || bTextTransactionEnded());
    // The levels' commit or roll-back reports its own failure, and has
    // ended them already.
    if (eOwn == eOwnStatement::LevelEnd || (!bLevels && !bText)) {
        if (bLost)
            m_bSessionInTransaction = 0;
        return;
    }

    const eAfterError eByCode = eAfterErrorByCode(nCode);
    if (eByCode == eAfterError::NotSent)
        return;
    unsigned nEndCode = nCode;
    CTString csEndMessage;
    csEndMessage.Set(pszMessage);
    bool bEndLost = bLost;
    int nHeld = 0;
    if (!bLost) {
        nHeld = eByCode == eAfterError::Unreachable ? kStatusUnknown
                                                    : _nServerHoldsTransaction(&nEndCode, &csEndMessage);
        if (nHeld == kProbeFailed && s_bSessionLostByCode(nEndCode)) {
            // The probe met the loss: the transaction went with the session.
            bEndLost = true;
            nHeld = 0;
        } else if (nHeld == kProbeFailed) {
            nEndCode = nCode;
            csEndMessage.Set(pszMessage);
        }
    }
    if (nHeld == 1)
        return;
    // An error that rolls nothing back with no transaction left: the failed
    // statement committed it before it ran (a definition, LOCK TABLES).
    bool bUncertain = !bEndLost && eByCode == eAfterError::Kept;
    if (nHeld == kStatusUnknown) {
        // Without a status the error number decides. Unread, a lock wait
        // time-out counts as ending it: a commit refused is safe, one
        // reported done for work the server dropped is not.
        if (eByCode == eAfterError::Kept)
            return;
        if (eByCode == eAfterError::EndedOnTimeoutSetting && _nServerRollsBackOnTimeout() == 0)
            return;
        bUncertain = false;
    }
    // A probe that failed otherwise leaves the driver unable to know: the
    // transaction counts as ended.

    if (bLevels) {
        pclChain->SetRolledBackByServer(nEndCode, csEndMessage.pszGet(), bUncertain ? 1 : 0);
    } else {
        const eTextTransactionEnd eEnd = bEndLost     ? eTextTransactionEnd::SessionLost
                                         : bUncertain ? eTextTransactionEnd::Uncertain
                                                      : eTextTransactionEnd::RolledBack;
        SetTextTransactionEnded(eEnd, nEndCode, csEndMessage.pszGet());
    }
    _HoldWhatFollows(bLevels ? pclChain : nullptr, bEndLost);
}

void CMySQLConnection::_HoldWhatFollows(CNATransaction* pclChain, bool bSessionLost)
{
    m_bSessionInTransaction = 0;
    if (bSessionLost) {
        // The dead handle stays until the next open: a result of it may
        // still be in a caller's hands now.
        m_bEndedTransactionUnheld = 1;
        m_bReopenOnDemand = 1;
        return;
    }
    // The ROLLBACK first, since a BEGIN commits what the server may still
    // hold, and the commit is refused anyway. Where neither can be sent,
    // the statements are refused while the mark stands (_bBeforeStatement).
    unsigned nCode = 0;
    CTString csMessage;
    m_bEndedTransactionUnheld = _bRollBackThenBegin(&nCode, &csMessage) ? 0 : 1;
    if (!m_bEndedTransactionUnheld)
        return;
    // A transaction a statement committed, with none held after it: the
    // host's end is refused, since what follows could not be held.
    if (pclChain != nullptr && !pclChain->bRolledBackByServer())
        pclChain->SetRolledBackByServer(nCode, csMessage.pszGet(), 1);
    if (s_bSessionLostByCode(nCode))
        m_bReopenOnDemand = 1;
}

int CMySQLConnection::_bRollBackThenBegin(unsigned* pnCode, CTString* pcsMessage)
{
    const int bDone = _bRunOwn(eOwnStatement::Rule, [this] {
        return bExecuteQueryNoResult(nullptr, L"ROLLBACK") && bExecuteQueryNoResult(nullptr, L"BEGIN") ? 1 : 0;
    });
    if (!bDone)
        _ReadLastError(pnCode, pcsMessage);
    return bDone;
}

void CMySQLConnection::_ReadLastError(unsigned* pnCode, CTString* pcsMessage)
{
    *pnCode = 0;
    pcsMessage->Vide();
    const char* pszMessage = nullptr;
    if (!bGetLastError(nullptr, pnCode) || *pnCode == 0 ||
        !bClientCall(MySQLSite::kErrorText, nullptr, this, [&] { pszMessage = __mysql_error(m_pMySQL); }))
        return;
    const CNACodePageCnvOUTPtr message(m_nClientTextCodePage, pszMessage);
    pcsMessage->Set(message.pszGet());
}

int CMySQLConnection::_nServerHoldsTransaction(unsigned* pnCode, CTString* pcsMessage)
{
    unsigned nStatus = 0;
    const auto bReadStatus = [&] { return _bReadServerStatus(MySQLSite::kTransactionStatusRead, &nStatus); };
    // A library that does not know the property is not sent the probe.
    if (!bReadStatus())
        return kStatusUnknown;
    // An error answer carries no status: the library still holds the one
    // from before the failed statement.
    int nResult = 1;
    if (!bClientCall(MySQLSite::kTransactionStatusProbe, nullptr, this,
                     [&] { nResult = __mysql_real_query(m_pMySQL, kStatusProbe, sizeof kStatusProbe - 1); }) ||
        nResult != 0) {
        _ReadLastError(pnCode, pcsMessage);
        return kProbeFailed;
    }
    if (!bReadStatus())
        return kStatusUnknown;
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
