#include "native/driver/transaction.h"

#include "native/driver/connection_description.h"

CNATransaction::CNATransaction(CNAConnectionDescription* pclConnection) : m_pclConnection(pclConnection) {}

CNATransaction::~CNATransaction()
{
    if (m_pclInner != nullptr) {
        CNATransaction* pclInner = m_pclInner;
        m_pclInner = nullptr;
        pclInner->nRelease();
    }
}

int CNATransaction::_bNABegin(CNAError* pclError)
{
    return m_pclConnection->bTransactionBeginDirect(pclError);
}

int CNATransaction::_bNACommit(CNAError* pclError)
{
    return m_pclConnection->bTransactionCommitDirect(pclError);
}

int CNATransaction::_bNARollBack(CNAError* pclError)
{
    return m_pclConnection->bTransactionRollBackDirect(pclError);
}
