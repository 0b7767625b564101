#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

// One level of a connection's chain of transactions. The connection holds
// its outermost level (one reference); each level holds the level below it,
// made on first use and kept for reuse. A level names its connection without
// a reference: the connection outlives its transactions, since it drops its
// own level when it is destroyed.
//
// A level is active between a successful begin and the end of that level;
// only the active flag, never the level's existence, tells whether a
// transaction is open. Counted through CInterf, plainly, under the
// driver-wide lock. Destroying a level sends nothing to the server.
//
// A commit or roll-back without a name ends the innermost active level; with
// a name, the level of that name (case and accents ignored). Each level ends
// itself on the server: the outermost through the connection's direct
// BEGIN, COMMIT and ROLLBACK; a level opened inside another, on a connection
// whose database would commit the open transaction at a second BEGIN, as a
// savepoint of the outer transaction, named when the level begins.
//
// The server may end the whole transaction on its own (a deadlock, a lost
// connection): the database's connection then marks the outermost level.
// While the mark stands, a commit of any level fails with user error 84
// (rolled back), or 85 when the error that ended it does not by itself roll
// a transaction back (a statement that commits the open transaction before
// it runs, then failed); the commit ends the level it names (the innermost
// active one without a name) and the levels inside it, as a commit does,
// and the levels around it stay active and refused in turn. Once no level
// is active, a plain ROLLBACK whose failure is not reported drops what the
// connection ran since in a transaction of the server's; the mark stays, so
// that a later commit is refused again, until the host rolls the outermost
// level back or begins a new one. A roll-back succeeds and sends no
// savepoint statement (the savepoints went with the transaction); the
// roll-back of the outermost level sends that plain ROLLBACK.
class CNATransaction : public CInterf
{
public:
    explicit CNATransaction(CNAConnectionDescription* pclConnection);
    // Drops the inner level's reference.
    ~CNATransaction() override;

    // Slots 3-8, after CInterf's.
    virtual int bDetach(CNAError*) { return 1; }
    virtual int bSetActive(CNAError*, int) { return 1; }
    virtual int bResume(CNAError*) { return 1; }
    // The connection's direct begin, commit and roll-back.
    virtual int _bNABegin(CNAError* pclError);
    virtual int _bNACommit(CNAError* pclError);
    virtual int _bNARollBack(CNAError* pclError);

    // Stores the name and the internal flag; the begin's answer becomes the
    // active flag and the result.
    int bBegin(CNAError* pclError, const wchar_t* pszName, int bInternal);
    // Begins a level inside the deepest active level (made on first use).
    int bInternalTransactionBegin(CNAError* pclError, const wchar_t* pszName);
    int bCommit(CNAError* pclError, const wchar_t* pszName);
    int bRollBack(CNAError* pclError, const wchar_t* pszName);
    // Rolls back every active level below this one, innermost first, then
    // this one; 1 only when every roll-back succeeded.
    int bRollBackAll(CNAError* pclError);
    // The inner level's active flag; 0 without one.
    int _bInternalTransactionOpened() const { return m_pclInner != nullptr && m_pclInner->m_bActive; }

    int bActive() const { return m_bActive; }
    int bInternal() const { return m_bInternal; }
    const CTString& csGetName() const { return m_csName; }
    CNATransaction* pclGetInnerNoRef() const { return m_pclInner; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    // The savepoint of the level's latest begin; empty for a level that is
    // a transaction of its own.
    const CTString& csGetSavepoint() const { return m_csSavepoint; }

    // Marks the chain this outermost level heads as rolled back by the
    // server, with the server's error that ended it; bUncertain when that
    // error does not say whether the server rolled it back or committed it.
    // A chain already marked keeps its first cause, and becomes uncertain
    // when what the server held since may have been committed.
    void SetRolledBackByServer(unsigned nCode, const wchar_t* pszMessage, int bUncertain = 0);
    int bRolledBackByServer() const { return m_bRolledBackByServer; }
    int bServerEndUncertain() const { return m_bServerEndUncertain; }
    unsigned nGetServerRollBackCode() const { return m_nServerRollBackCode; }
    const CTString& csGetServerRollBackMessage() const { return m_csServerRollBackMessage; }

protected:
    // The end of this level: the flag cleared before the server is asked.
    int _bEndCommit(CNAError* pclError);
    // Nothing sent (1) for an inactive level; the outermost one ends its
    // mark.
    int _bEndRollBack(CNAError* pclError);
    bool _bBySavepoint() const;
    // The statement and the level's savepoint name, run by the connection.
    int _bRunSavepointStatement(CNAError* pclError, const wchar_t* pszStatement);
    // The outermost level of this level's chain; null for an inner level
    // whose connection holds no chain.
    CNATransaction* _pclOutermost();
    // A commit of a chain the server rolled back: user error 84 (85 for an
    // uncertain end) with the cause; the level it names ends with those
    // inside it, and the quiet ROLLBACK goes once none is left. Always 0.
    int _bCommitRolledBackByServer(CNAError* pclError, const wchar_t* pszName);
    // The active level a commit names on this chain: the innermost active
    // one without a name, else the first active one of that name from the
    // outermost; null when none.
    CNATransaction* _pclCommitTarget(const wchar_t* pszName);
    void _ClearRolledBackByServer();
    // The mark cleared and the quiet ROLLBACK sent.
    void _EndRolledBackByServer();

    CNAConnectionDescription* m_pclConnection;
    CTString m_csName;
    CNATransaction* m_pclInner = nullptr;
    int32_t m_bActive = 0;
    int32_t m_bInternal = 0;
    CTString m_csSavepoint;
    // Set on the outermost level only.
    int32_t m_bRolledBackByServer = 0;
    int32_t m_bServerEndUncertain = 0;
    uint32_t m_nServerRollBackCode = 0;
    CTString m_csServerRollBackMessage;
};
