#pragma once

// The connection the native layer's tests work with, so that they run
// without a client library or a server and can make any step fail: kind 5
// with backquotes, as the database's connection sets them, over the stand-in
// host description of tests/host/db.
//
// Opening, testing and closing only count their calls and keep an open flag;
// each can be made to fail, and then records user error 15 naming the data
// source in the error object given. The statements it is asked to run
// (bExecuteQueryNoResult, bExecuteQueryIgnoreResult, bGetRequestedValue) are
// logged in order and answer 1, or 0 with the same error when made to fail;
// bGetRequestedValue leaves the value alone. Writing a chosen value as a
// literal can be made to fail the same way. A transaction can be marked
// active and ended, as the driver reads it when it decides to close. It
// records the transactions whose record locks it was asked to cancel, can
// refuse to make a transaction level, and can answer that the tables are
// told about the end of a transaction (a line in the statement log shows
// where).
//
// The kind, the quotes, the server version and the client text code page
// are settable, so that one class serves every kind's dialect. Many tests
// rely on the defaults: another answer comes as a new setting, never as a
// changed default. Construct it with the driver-wide lock held when the
// driver is running (the connection number is a plain counter); tests
// without a running driver need no lock.
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/transaction.h"
#include "native/driver/wide_text_value.h"

// A transaction level whose active flag the test sets.
class CTestTransaction : public CNATransaction
{
public:
    using CNATransaction::CNATransaction;
    void SetActive(bool bActive) { m_bActive = bActive ? 1 : 0; }
};

class CTestConnection : public CNAConnectionDescription
{
public:
    CTestConnection(const wchar_t* pszIdentification, INAConnectionDescription* piConnection)
        : CNAConnectionDescription(pszIdentification, piConnection)
    {
        m_nDBKind = 5;
        SetQuotes(L"`", L"`");
        ++s_nLive;
    }
    ~CTestConnection() override { --s_nLive; }

    int bOpen(CNAError* pclError) override
    {
        ++m_nOpenCalls;
        if (m_bOpenFails)
            return _nFail(pclError);
        m_bOpen = 1;
        return 1;
    }
    int bIsOpen() override
    {
        ++m_nIsOpenCalls;
        return m_bIsOpenFails ? 0 : m_bOpen;
    }
    int bClose(CNAError* pclError) override
    {
        ++m_nCloseCalls;
        ++s_nCloseCallsAll;
        if (m_bCloseFails)
            return _nFail(pclError);
        m_bOpen = 0;
        return 1;
    }
    int bExecuteQueryNoResult(CNAError* pclError, const wchar_t* pszSQL) override { return _nRun(pclError, pszSQL); }
    int bExecuteQueryIgnoreResult(CNAError* pclError, const wchar_t* pszSQL) override
    {
        return _nRun(pclError, pszSQL);
    }
    int bGetRequestedValue(CNAError* pclError, CAny*, int, const wchar_t* pszSQL) override
    {
        return _nRun(pclError, pszSQL);
    }
    void _InitQF2NativeType() override {}
    int bConvertValueToString(CNAError* pclError, CTStringConcatAW* pclOut, const CAny* pclValue, eNA_ITEMTYPE eType,
                              eNA_ITEMTYPE eSecondType) override
    {
        if (!m_failingLiteral.empty() && pclValue != nullptr) {
            CAny clText(*pclValue);
            const wchar_t* pszText = NA_pszWideTextOf(&clText);
            if (pszText != nullptr && m_failingLiteral == pszText)
                return _nFail(pclError);
        }
        return CNAConnectionDescription::bConvertValueToString(pclError, pclOut, pclValue, eType, eSecondType);
    }
    // Logs kEndCloseParseAsked when made to answer 1, so that a test sees
    // where the tables were told about the end of a transaction.
    int bTransactionEndCloseParse() override
    {
        if (!m_bEndCloseParse)
            return CNAConnectionDescription::bTransactionEndCloseParse();
        m_statements.emplace_back(kEndCloseParseAsked);
        return 1;
    }
    CNATransaction* pclAllocTransaction() override
    {
        return m_bTransactionAllocFails ? nullptr : CNAConnectionDescription::pclAllocTransaction();
    }
    void _CancelRecordLock(CNATransaction* pclTransaction) override
    {
        m_cancelRecordLocks.push_back(pclTransaction);
        CNAConnectionDescription::_CancelRecordLock(pclTransaction);
    }

    // Settings.
    void SetOpenFails(bool b) { m_bOpenFails = b; }
    // bIsOpen answers 0 whatever the open flag.
    void SetIsOpenFails(bool b) { m_bIsOpenFails = b; }
    void SetCloseFails(bool b) { m_bCloseFails = b; }
    void SetStatementsFail(bool b) { m_bStatementsFail = b; }
    void SetDBKind(int nKind) { m_nDBKind = nKind; }
    // Null or empty texts: no quotes.
    void SetQuotes(const wchar_t* pszOpen, const wchar_t* pszClose)
    {
        m_csOpeningQuote.Set(pszOpen);
        m_nOpeningQuoteLen = m_csOpeningQuote.nTaille();
        m_csClosingQuote.Set(pszClose);
        m_nClosingQuoteLen = m_csClosingQuote.nTaille();
    }
    void SetServerVersion(const wchar_t* pszVersion, int nMajor, int nMinor = 0, int nPatch = 0)
    {
        m_csServerVersion.Set(pszVersion);
        m_nServerMajor = nMajor;
        m_nServerMinor = nMinor;
        m_nServerPatch = nPatch;
    }
    void SetClientTextCodePage(int nCodePage) { m_nClientTextCodePage = nCodePage; }
    // The connection answers 1 to bTransactionEndCloseParse (0 by default).
    void SetTransactionEndCloseParse(bool b) { m_bEndCloseParse = b; }
    // No transaction level can be made.
    void SetTransactionAllocFails(bool b) { m_bTransactionAllocFails = b; }
    // Only the statements whose text is this one fail (all fail with
    // SetStatementsFail).
    void SetStatementFails(const wchar_t* pszSQL) { m_failing = pszSQL != nullptr ? pszSQL : L""; }
    // Writing a value whose text is this one as a literal fails, with the
    // same error.
    void SetLiteralFails(const wchar_t* pszText) { m_failingLiteral = pszText != nullptr ? pszText : L""; }
    // Parameters of the connection details.
    void SetTimeouts(int nConnection, int nCommand, int nLock)
    {
        m_nConnectionTimeout = nConnection;
        m_nCommandTimeout = nCommand;
        m_nLockTimeout = nLock;
    }
    void SetCursorLocation(eCURSORLOCATION eLocation) { m_eCursorLocation = eLocation; }
    void SetRecordLockHint(const wchar_t* psz) { m_csRecordLockHint.Set(psz); }
    // Where NULL sorts and whether an empty date stands for NULL (both yes
    // unless told).
    void SetNullSortsFirst(bool b) { m_bNullFirst = b ? 1 : 0; }
    void SetEmptyDateIsNull(bool b) { m_bEmptyDateNull = b ? 1 : 0; }
    int bNULLBeforeNotNULL() override { return m_bNullFirst; }
    int bTreatEmptyDateAsNULL() override { return m_bEmptyDateNull; }
    // The code page of the runtime's 8-bit text (taken from the runtime's
    // character set at construction).
    void SetRuntimeCodePage(int nCodePage) { m_nRuntimeCodePage = nCodePage; }
    // The current transaction's active flag, as a begin and an end set it;
    // the transaction level is made on first use.
    void SetTransactionActive(bool bActive)
    {
        if (m_pclTransaction == nullptr) {
            m_pclTransaction = new CTestTransaction(this);
            REF_AddRef(m_pclTransaction);
        }
        static_cast<CTestTransaction*>(m_pclTransaction)->SetActive(bActive);
    }

    // What was asked of it.
    int nOpenCalls() const { return m_nOpenCalls; }
    int nIsOpenCalls() const { return m_nIsOpenCalls; }
    int nCloseCalls() const { return m_nCloseCalls; }
    const std::vector<std::wstring>& Statements() const { return m_statements; }
    // The transactions _CancelRecordLock was called with, in order.
    const std::vector<CNATransaction*>& CancelRecordLocks() const { return m_cancelRecordLocks; }
    void ClearStatements() { m_statements.clear(); }

    // Objects of this class alive in the process.
    static inline int s_nLive = 0;
    // Closes asked of every object of this class, also of those gone since.
    static inline int s_nCloseCallsAll = 0;
    // The error its failures record.
    static constexpr unsigned kFailureUserCode = 15;
    // Logged where the connection was asked bTransactionEndCloseParse.
    static constexpr const wchar_t* kEndCloseParseAsked = L"-- end of transaction told to the tables";

private:
    int _nFail(CNAError* pclError)
    {
        if (pclError != nullptr) {
            const wchar_t* pszDataBase = pszGetDataBase();
            pclError->AddError(NA_ERR_GENERAL, NA_SRC_DB_CONNECTION, 0, this, kFailureUserCode,
                               pszDataBase != nullptr ? pszDataBase : L"");
        }
        return 0;
    }
    int _nRun(CNAError* pclError, const wchar_t* pszSQL)
    {
        m_statements.emplace_back(pszSQL != nullptr ? pszSQL : L"");
        return m_bStatementsFail || (!m_failing.empty() && m_statements.back() == m_failing) ? _nFail(pclError) : 1;
    }

    int m_bOpen = 0;
    int m_bNullFirst = 1;
    int m_bEmptyDateNull = 1;
    bool m_bOpenFails = false;
    bool m_bIsOpenFails = false;
    bool m_bCloseFails = false;
    bool m_bStatementsFail = false;
    bool m_bEndCloseParse = false;
    bool m_bTransactionAllocFails = false;
    std::wstring m_failing;
    std::wstring m_failingLiteral;
    std::vector<CNATransaction*> m_cancelRecordLocks;
    int m_nOpenCalls = 0;
    int m_nIsOpenCalls = 0;
    int m_nCloseCalls = 0;
    std::vector<std::wstring> m_statements;
};

// The test driver's connection factory (slot 59) making test connections:
// CTestDriverChoices{.allocConnectionDescription = TestConnectionFactory()}.
inline std::function<CNAConnectionDescription*(const wchar_t*, INAConnectionDescription*)> TestConnectionFactory()
{
    return [](const wchar_t* pszIdentification, INAConnectionDescription* piConnection) -> CNAConnectionDescription* {
        return new (std::nothrow) CTestConnection(pszIdentification, piConnection);
    };
}
