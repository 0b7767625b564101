// A connection's chain of transaction levels: begins, commits and
// roll-backs by name or of the innermost active level, and what each level
// sends to the server.
#include "native/driver/transaction.h"

#include <new>

#include "common/system/x_error.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"

namespace {

bool bNoName(const wchar_t* pszName)
{
    return pszName == nullptr || pszName[0] == 0;
}

}  // namespace

CNATransaction::CNATransaction(CNAConnectionDescription* pclConnection) : m_pclConnection(pclConnection) {}

CNATransaction::~CNATransaction()
{
    if (m_pclInner != nullptr) {
        CNATransaction* pclInner = m_pclInner;
        m_pclInner = nullptr;
        pclInner->nRelease();
    }
}

bool CNATransaction::_bBySavepoint() const
{
    return m_bInternal && m_pclConnection->bNestedTransactionsBySavepoint();
}

int CNATransaction::_bRunSavepointStatement(CNAError* pclError, const wchar_t* pszStatement)
{
    CTString csSQL;
    csSQL.printf(L"%s%s", pszStatement, m_csSavepoint.pszGet());
    return m_pclConnection->bExecuteQueryNoResult(pclError, csSQL.pszGet());
}

int CNATransaction::_bNABegin(CNAError* pclError)
{
    if (!_bBySavepoint()) {
        m_csSavepoint.Vide();
        return m_pclConnection->bTransactionBeginDirect(pclError);
    }
    m_pclConnection->_NextSavepointName(&m_csSavepoint);
    return _bRunSavepointStatement(pclError, L"SAVEPOINT ");
}

int CNATransaction::_bNACommit(CNAError* pclError)
{
    if (!_bBySavepoint())
        return m_pclConnection->bTransactionCommitDirect(pclError);
    return _bRunSavepointStatement(pclError, L"RELEASE SAVEPOINT ");
}

int CNATransaction::_bNARollBack(CNAError* pclError)
{
    if (!_bBySavepoint())
        return m_pclConnection->bTransactionRollBackDirect(pclError);
    return _bRunSavepointStatement(pclError, L"ROLLBACK TO SAVEPOINT ");
}

int CNATransaction::bBegin(CNAError* pclError, const wchar_t* pszName, int bInternal)
{
    m_csName.Set(pszName);
    if (!bInternal)
        _ClearRolledBackByServer();
    m_bInternal = bInternal ? 1 : 0;
    m_bActive = _bNABegin(pclError) ? 1 : 0;
    return m_bActive;
}

int CNATransaction::bInternalTransactionBegin(CNAError* pclError, const wchar_t* pszName)
{
    CNATransaction* pclLevel = this;
    while (pclLevel->_bInternalTransactionOpened())
        pclLevel = pclLevel->m_pclInner;
    if (pclLevel->m_pclInner == nullptr) {
        CNATransaction* pclInner = m_pclConnection->pclAllocTransaction();
        if (pclInner == nullptr) {
            if (pclError != nullptr)
                pclError->pclGetXError()->SetErrorNoMemory();
            return 0;
        }
        REF_AddRef(pclInner);
        pclLevel->m_pclInner = pclInner;
    }
    return pclLevel->m_pclInner->bBegin(pclError, pszName, 1);
}

int CNATransaction::_bEndCommit(CNAError* pclError)
{
    // Cleared first: a failed commit leaves no level that looks open.
    m_bActive = 0;
    return _bNACommit(pclError);
}

int CNATransaction::_bEndRollBack(CNAError* pclError)
{
    if (!m_bActive) {
        // The levels of a chain the server ended, which a refused commit
        // ended in its turn: the host's roll-back ends the mark, and nothing
        // is left on the server to roll back.
        if (!m_bInternal && m_bRolledBackByServer)
            _ClearRolledBackByServer();
        return 1;
    }
    m_bActive = 0;
    CNATransaction* pclOutermost = _pclOutermost();
    if (pclOutermost == nullptr || !pclOutermost->m_bRolledBackByServer)
        return _bNARollBack(pclError);
    // The server holds no savepoint of the chain any more: an inner level
    // sends nothing.
    if (pclOutermost == this)
        _EndRolledBackByServer();
    return 1;
}

CNATransaction* CNATransaction::_pclOutermost()
{
    return m_bInternal ? m_pclConnection->pclGetTransactionNoRef() : this;
}

void CNATransaction::SetRolledBackByServer(unsigned nCode, const wchar_t* pszMessage, int bUncertain)
{
    if (m_bRolledBackByServer) {
        // What the server held since may have been committed in its turn.
        if (bUncertain)
            m_bServerEndUncertain = 1;
        return;
    }
    m_bRolledBackByServer = 1;
    m_bServerEndUncertain = bUncertain ? 1 : 0;
    m_nServerRollBackCode = nCode;
    m_csServerRollBackMessage.Set(pszMessage);
}

void CNATransaction::_ClearRolledBackByServer()
{
    m_bRolledBackByServer = 0;
    m_bServerEndUncertain = 0;
    m_nServerRollBackCode = 0;
    m_csServerRollBackMessage.Vide();
}

void CNATransaction::_EndRolledBackByServer()
{
    _ClearRolledBackByServer();
    // What the connection ran since the server ended the transaction goes
    // too. Without a transaction on the server it changes nothing, and its
    // failure (the connection lost) is no failure of this end.
    (void)m_pclConnection->bTransactionRollBackDirect(nullptr);
}

CNATransaction* CNATransaction::_pclCommitTarget(const wchar_t* pszName)
{
    for (CNATransaction* pclLevel = this; pclLevel != nullptr && pclLevel->m_bActive; pclLevel = pclLevel->m_pclInner) {
        const bool bInnerActive = pclLevel->_bInternalTransactionOpened();
        if (bNoName(pszName) ? !bInnerActive : pclLevel->m_csName.bEstEgalI(pszName) != 0)
            return pclLevel;
    }
    return nullptr;
}

int CNATransaction::_bCommitRolledBackByServer(CNAError* pclError, const wchar_t* pszName)
{
    m_pclConnection->RaiseWithServerCause(
        pclError, m_bServerEndUncertain ? NASite::kCommitEndedByServer : NASite::kCommitRolledBackByServer,
        m_nServerRollBackCode, m_csServerRollBackMessage.pszGet());
    // The level the commit names, the innermost active one without a name,
    // ends with the levels inside it, as any commit ends them; the levels
    // around it stay, and so does the mark, so that their commits are
    // refused in turn until the host rolls back.
    CNATransaction* pclTarget = _pclCommitTarget(pszName);
    if (pclTarget == nullptr)
        return 0;
    for (CNATransaction* pclLevel = pclTarget; pclLevel != nullptr; pclLevel = pclLevel->m_pclInner)
        pclLevel->m_bActive = 0;
    // With no level left the host runs outside any transaction: what the
    // server held since goes now, or its next statements would be held for
    // a roll-back that never comes. The mark stays until the host rolls
    // back or begins anew: a second commit is refused again.
    if (pclTarget == this)
        (void)m_pclConnection->bTransactionRollBackDirect(nullptr);
    return 0;
}

int CNATransaction::bCommit(CNAError* pclError, const wchar_t* pszName)
{
    // Whatever level the commit names: nothing of the chain can be
    // committed any more.
    if (!m_bInternal && m_bRolledBackByServer)
        return _bCommitRolledBackByServer(pclError, pszName);
    const bool bInnerActive = _bInternalTransactionOpened();
    if (bNoName(pszName))
        return bInnerActive ? m_pclInner->bCommit(pclError, pszName) : _bEndCommit(pclError);
    if (m_csName.bEstEgalI(pszName)) {
        if (bInnerActive) {
            CNAError::g_RaiseSiteError(pclError, NASite::kCommitOuterWhileInnerActive, m_pclConnection, nullptr,
                                       nullptr, pszName, m_pclInner->m_csName.pszGet());
            return 0;
        }
        return _bEndCommit(pclError);
    }
    // A name that no active level carries: nothing is committed, and
    // nothing is reported.
    return bInnerActive ? m_pclInner->bCommit(pclError, pszName) : 0;
}

int CNATransaction::bRollBack(CNAError* pclError, const wchar_t* pszName)
{
    const bool bInnerActive = _bInternalTransactionOpened();
    if (bNoName(pszName))
        return bInnerActive ? m_pclInner->bRollBack(pclError, pszName) : _bEndRollBack(pclError);
    if (m_csName.bEstEgalI(pszName))
        return bInnerActive ? m_pclInner->bRollBackAll(pclError) : _bEndRollBack(pclError);
    if (bInnerActive)
        return m_pclInner->bRollBack(pclError, pszName);
    CNAError::g_RaiseSiteError(pclError, NASite::kRollBackUnknownName, m_pclConnection, nullptr, nullptr, pszName);
    return 0;
}

int CNATransaction::bRollBackAll(CNAError* pclError)
{
    // Every level is tried, also after a failure.
    const int bInner = _bInternalTransactionOpened() ? m_pclInner->bRollBackAll(pclError) : 1;
    const int bThis = _bEndRollBack(pclError);
    return bInner && bThis ? 1 : 0;
}
