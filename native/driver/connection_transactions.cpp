// The connection's transactions: its outermost level, made by the first
// begin and kept until the connection ends, and the plain statements that
// the outermost level sends.
#include "common/system/x_error.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/transaction.h"

int CNAConnectionDescription::bTransactionBeginDirect(CNAError* pclError)
{
    return bExecuteQueryNoResult(pclError, L"BEGIN");
}

int CNAConnectionDescription::bTransactionCommitDirect(CNAError* pclError)
{
    return bExecuteQueryNoResult(pclError, L"COMMIT");
}

int CNAConnectionDescription::bTransactionRollBackDirect(CNAError* pclError)
{
    return bExecuteQueryNoResult(pclError, L"ROLLBACK");
}

int CNAConnectionDescription::bTransactionBegin(CNAError* pclError, const wchar_t* pszName)
{
    if (!bOpen(pclError))
        return 0;
    if (m_pclTransaction == nullptr) {
        CNATransaction* pclTransaction = pclAllocTransaction();
        if (pclTransaction == nullptr) {
            if (pclError != nullptr)
                pclError->pclGetXError()->SetErrorNoMemory();
            return 0;
        }
        REF_AddRef(pclTransaction);
        m_pclTransaction = pclTransaction;
    }
    if (m_pclTransaction->bActive())
        return m_pclTransaction->bInternalTransactionBegin(pclError, pszName);
    return m_pclTransaction->bBegin(pclError, pszName, 0);
}

int CNAConnectionDescription::_bEndTransaction(CNAError* pclError, const wchar_t* pszName,
                                               int (CNATransaction::*pfnEnd)(CNAError*, const wchar_t*),
                                               const stNAErrorSite& siteWithout)
{
    if (m_pclTransaction == nullptr) {
        CNAError::g_RaiseSiteError(pclError, siteWithout, this, nullptr, nullptr, pszName != nullptr ? pszName : L"");
        return 0;
    }
    const int bRolledBackByServer = m_pclTransaction->bRolledBackByServer();
    const int bDone = (m_pclTransaction->*pfnEnd)(pclError, pszName);
    // A commit refused because the server rolled the transaction back has
    // ended it all the same.
    if (bDone || (bRolledBackByServer && !m_pclTransaction->bRolledBackByServer()))
        _CancelRecordLock(m_pclTransaction);
    return bDone;
}

int CNAConnectionDescription::bTransactionCommit(CNAError* pclError, const wchar_t* pszName)
{
    if (m_bSessionTransactionLost && !_bTransactionOpened()) {
        RaiseSessionTransactionLost(pclError, NASite::kCommitSessionTransactionLost);
        return 0;
    }
    return _bEndTransaction(pclError, pszName, &CNATransaction::bCommit, NASite::kCommitWithoutTransaction);
}

int CNAConnectionDescription::bTransactionRollBack(CNAError* pclError, const wchar_t* pszName)
{
    // The transaction went with the session: nothing is left to send, and
    // the connection may open a new session again.
    if (m_bSessionTransactionLost && !_bTransactionOpened()) {
        ClearSessionTransactionLost();
        return 1;
    }
    return _bEndTransaction(pclError, pszName, &CNATransaction::bRollBack, NASite::kRollBackWithoutTransaction);
}

void CNAConnectionDescription::SetSessionTransactionLost(unsigned nCode, const wchar_t* pszMessage)
{
    m_bSessionTransactionLost = 1;
    m_nSessionLostCode = nCode;
    m_csSessionLostMessage.Set(pszMessage);
}

void CNAConnectionDescription::ClearSessionTransactionLost()
{
    m_bSessionTransactionLost = 0;
    m_nSessionLostCode = 0;
    m_csSessionLostMessage.Vide();
}

void CNAConnectionDescription::RaiseSessionTransactionLost(CNAError* pclError, const stNAErrorSite& site)
{
    RaiseWithServerCause(pclError, site, m_nSessionLostCode, m_csSessionLostMessage.pszGet());
}

void CNAConnectionDescription::RaiseWithServerCause(CNAError* pclError, const stNAErrorSite& site, unsigned nCode,
                                                    const wchar_t* pszMessage)
{
    const wchar_t* pszServer = pszGetDataBase();
    CNAError::g_RaiseSiteError(pclError, site, this, nullptr, nullptr, pszServer != nullptr ? pszServer : L"", nCode,
                               pszMessage);
    if (pclError != nullptr)
        pclError->SetDataBaseErrorCode(nCode);
}

int CNAConnectionDescription::bResumeCurrentTransaction(CNAError* pclError)
{
    if (!_bTransactionOpened())
        return 1;
    return m_pclTransaction->bResume(pclError);
}

int CNAConnectionDescription::bActiveCurrentTransaction(CNAError* pclError, int bActive)
{
    if (!_bTransactionOpened())
        return 1;
    return m_pclTransaction->bSetActive(pclError, bActive);
}

void CNAConnectionDescription::_NextSavepointName(CTString* pcsName)
{
    pcsName->printf(L"VXSP%u", ++m_nSavepointGenerator);
}
