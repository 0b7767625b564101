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
    // Its BEGIN would commit what the server holds since the host's text
    // transaction ended.
    if (bTextTransactionEnded() && !_bTransactionOpened()) {
        RaiseTextTransactionEnded(pclError, NASite::kBeginSessionTransactionLost, NASite::kBeginTextRolledBack,
                                  NASite::kBeginTextEnded);
        return 0;
    }
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
    const bool bEndedByServer = m_pclTransaction->bRolledBackByServer() && m_pclTransaction->bActive();
    const int bDone = (m_pclTransaction->*pfnEnd)(pclError, pszName);
    // A commit refused because the server ended the transaction has ended
    // it all the same once no level is left active.
    if (bDone || (bEndedByServer && !m_pclTransaction->bActive()))
        _CancelRecordLock(m_pclTransaction);
    return bDone;
}

int CNAConnectionDescription::bTransactionCommit(CNAError* pclError, const wchar_t* pszName)
{
    if (bTextTransactionEnded() && !_bTransactionOpened()) {
        RaiseTextTransactionEnded(pclError, NASite::kCommitSessionTransactionLost, NASite::kCommitTextRolledBack,
                                  NASite::kCommitTextEnded);
        return 0;
    }
    return _bEndTransaction(pclError, pszName, &CNATransaction::bCommit, NASite::kCommitWithoutTransaction);
}

int CNAConnectionDescription::bTransactionRollBack(CNAError* pclError, const wchar_t* pszName)
{
    if (bTextTransactionEnded() && !_bTransactionOpened()) {
        // A lost session took the transaction with it; otherwise what the
        // server held since goes, and its failure is no failure of this end.
        const bool bHeld = !bSessionTransactionLost();
        ClearTextTransactionEnded();
        if (bHeld)
            (void)bTransactionRollBackDirect(nullptr);
        return 1;
    }
    return _bEndTransaction(pclError, pszName, &CNATransaction::bRollBack, NASite::kRollBackWithoutTransaction);
}

void CNAConnectionDescription::SetTextTransactionEnded(eTextTransactionEnd eEnd, unsigned nCode,
                                                       const wchar_t* pszMessage)
{
    if (m_eTextTransactionEnd == eTextTransactionEnd::None) {
        m_eTextTransactionEnd = eEnd;
        m_nTextEndCode = nCode;
        m_csTextEndMessage.Set(pszMessage);
    } else if (m_eTextTransactionEnd == eTextTransactionEnd::RolledBack && eEnd == eTextTransactionEnd::Uncertain) {
        m_eTextTransactionEnd = eEnd;
    }
}

void CNAConnectionDescription::ClearTextTransactionEnded()
{
    m_eTextTransactionEnd = eTextTransactionEnd::None;
    m_nTextEndCode = 0;
    m_csTextEndMessage.Vide();
}

void CNAConnectionDescription::RaiseTextTransactionEnded(CNAError* pclError, const stNAErrorSite& siteLost,
                                                         const stNAErrorSite& siteRolledBack,
                                                         const stNAErrorSite& siteUncertain)
{
    const stNAErrorSite& site = m_eTextTransactionEnd == eTextTransactionEnd::SessionLost  ? siteLost
                                : m_eTextTransactionEnd == eTextTransactionEnd::Uncertain ? siteUncertain
                                                                                           : siteRolledBack;
    RaiseWithServerCause(pclError, site, m_nTextEndCode, m_csTextEndMessage.pszGet());
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
