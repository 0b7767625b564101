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

    int bActive() const { return m_bActive; }
    int bInternal() const { return m_bInternal; }
    const CTString& csGetName() const { return m_csName; }
    CNATransaction* pclGetInnerNoRef() const { return m_pclInner; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }

protected:
    CNAConnectionDescription* m_pclConnection;
    CTString m_csName;
    CNATransaction* m_pclInner = nullptr;
    int32_t m_bActive = 0;
    int32_t m_bInternal = 0;
};
