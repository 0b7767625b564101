// An internal query made, run and moved: the private data access, the text
// run on it as "$VXInternal", the moves through its statement, the values
// read and the result's columns.
#include "native/access/internal_parse.h"

#include <new>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/driver.h"
#include "native/model/record.h"

namespace {

// Internal queries read forward only, without row cache nor table cache.
constexpr NA_WRITEPARSEFLAGS kInternalFlags = 0x110000;

}  // namespace

CNAInternalParse::CNAInternalParse(CNAError* pclError, CNAConnectionDescription* pclConnection)
    : m_pclError(pclError), m_pclConnection(pclConnection)
{
}

CNAInternalParse::~CNAInternalParse()
{
    if (m_pclStatement != nullptr)
        REF_Release(m_pclStatement);
    if (m_pclDataAccess != nullptr)
        REF_Release(m_pclDataAccess);
}

CNAInternalParse* CNAInternalParse::s_pclGetNAInternalParse(const wchar_t* pszText, CNAError* pclError,
                                                            CNAConnectionDescription* pclConnection)
{
    auto* pclParse = new (std::nothrow) CNAInternalParse(pclError, pclConnection);
    if (pclParse == nullptr)
        return nullptr;
    if (!pclParse->_bExecute(pszText)) {
        // The maker's own reference, dropped at once, destroys the object
        // and what it holds.
        pclParse->dwAddRef();
        pclParse->dwRelease();
        return nullptr;
    }
    return pclParse;
}

int CNAInternalParse::_bExecute(const wchar_t* pszText)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    m_pclDataAccess = pclDriver != nullptr ? pclDriver->pclAllocDataAccess(nullptr, m_pclConnection, m_pclError)
                                           : nullptr;
    if (m_pclDataAccess == nullptr)
        return 0;
    REF_AddRef(m_pclDataAccess);
    if (!m_pclDataAccess->bExecuteQueryInternal(&m_pclStatement, L"$VXInternal", pszText))
        return 0;
    if (m_pclStatement != nullptr)
        m_pclStatement->EnableCache(0);
    return 1;
}

int CNAInternalParse::bReExecute()
{
    if (m_pclStatement == nullptr)
        return 0;
    // No execution statement of this system runs a prepared query (they
    // answer 0 without an error): the statement's command is sent again.
    return m_pclStatement->bExecute(kInternalFlags, NA_ST_PREPARE_NONE);
}

int CNAInternalParse::bFetch(eNA_PARSEDIRECTION eDirection, int* pbOut)
{
    int bOut = 0;
    if (pbOut == nullptr)
        pbOut = &bOut;
    if (m_pclStatement == nullptr) {
        *pbOut = 1;
        return 1;
    }
    const int bDone = m_pclStatement->bFetch(eDirection, 1, 1, nullptr);
    if (bDone)
        m_pclStatement->HEndehors(pbOut);
    return bDone;
}

int CNAInternalParse::bFetchData(eNA_PARSEDIRECTION eDirection, int* pbOut, CAny* pclValues, int nCount)
{
    if (m_pclStatement == nullptr)
        return 0;
    return m_pclStatement->bFetchData(eDirection, pbOut, pclValues, nCount);
}

CNARecord* CNAInternalParse::_pclGetRecordNoRef() const
{
    if (m_pclStatement == nullptr || m_pclDataAccess == nullptr)
        return nullptr;
    return m_pclDataAccess->pclGetCurrentRecordNoRef();
}

int CNAInternalParse::nGetColumnNbr() const
{
    CNARecord* pclRecord = _pclGetRecordNoRef();
    return pclRecord != nullptr ? pclRecord->nGetNbColumn() : 0;
}

CNAColumn* CNAInternalParse::pclGetColumnNoRef(int nColumn) const
{
    CNARecord* pclRecord = _pclGetRecordNoRef();
    return pclRecord != nullptr ? pclRecord->pclGetColumnNoRef(nColumn) : nullptr;
}

CNAColumn* CNAInternalParse::pclGetColumnNoRef(const wchar_t* pszName) const
{
    CNARecord* pclRecord = _pclGetRecordNoRef();
    return pclRecord != nullptr && pszName != nullptr ? pclRecord->pclGetColumnNoRef(pszName) : nullptr;
}
