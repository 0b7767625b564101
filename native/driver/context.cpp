// A host context's registry of data accesses.
#include "native/driver/context.h"

#include "common/system/x_error.h"
#include "common/text/str_compare.h"
#include "common/text/str_locale.h"
#include "native/access/data_access.h"
#include "native/access/table.h"
#include "native/driver/driver.h"
#include "native/driver/driver_entry_guard.h"
#include "native/driver/error_object.h"
#include "native/driver/host_context.h"

CNAContext::CNAContext() : m_eDefaultMode(static_cast<_eNA_HMODE>(1))
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    m_pclError = pclDriver != nullptr ? pclDriver->pclAllocError() : nullptr;
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNAContext::~CNAContext()
{
    if (m_pclError != nullptr) {
        CNAError* pclError = m_pclError;
        m_pclError = nullptr;
        pclError->nRelease();
    }
    unsigned int dwCursor = 0;
    CNADataAccess* pclDataAccess = nullptr;
    while (m_tabDataAccess.bParseTable(&dwCursor, 1, &pclDataAccess, nullptr))
        _LetGo(pclDataAccess);
    m_tabDataAccess.DeleteAll(7);
}

void CNAContext::_LetGo(CNADataAccess* pclDataAccess)
{
    // The data access may live on in its table: it must neither be served
    // from the cache to a host that reuses this context's ids nor reach
    // this context once it is gone.
    CNATable::g_ForgetLastDataAccess(pclDataAccess);
    if (pclDataAccess->pclGetContextNoRef() == this)
        pclDataAccess->SetContext(nullptr);
    m_tabDataAccess._Release(pclDataAccess);
}

CNADataAccess* CNAContext::_pclAllocDataAccess(INADataSourceDescription* piSource,
                                               CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocDataAccess(piSource, pclConnection, pclError) : nullptr;
}

CNADataAccess* CNAContext::pclGetDataAccess(INAContext* piContext, CNAConnectionDescription* pclConnection,
                                            INADataSourceDescription* piSource, int* pbNew)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (pbNew != nullptr)
        *pbNew = 0;
    CNADataAccess* pclDataAccess = pclFindDataAccess(piContext);
    if (pclDataAccess != nullptr || piContext == nullptr)
        return pclDataAccess;
    pclDataAccess = _pclAllocDataAccess(piSource, pclConnection, m_pclError);
    if (pclDataAccess != nullptr) {
        REF_AddRef(pclDataAccess);
        if (_AddDataAccess(piContext, pclDataAccess)) {
            if (pbNew != nullptr)
                *pbNew = 1;
            return pclDataAccess;
        }
        pclDataAccess->nRelease();
    }
    if (m_pclError != nullptr)
        m_pclError->pclGetXError()->SetErrorNoMemory();
    return nullptr;
}

CNADataAccess* CNAContext::pclFindDataAccess(INAContext* piContext)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccess* pclDataAccess = nullptr;
    if (piContext == nullptr || !m_tabDataAccess.bGetElementRef(piContext->dwGetDataID(), &pclDataAccess))
        return nullptr;
    return pclDataAccess;
}

int CNAContext::_AddDataAccess(INAContext* piContext, CNADataAccess* pclDataAccess)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    if (!m_tabDataAccess.bAddElement(piContext->dwGetDataID(), pclDataAccess))
        return 0;
    m_tabDataAccess._AddRef(pclDataAccess);
    pclDataAccess->SetContext(this);
    return 1;
}

void CNAContext::RemoveDataAccess(INAContext* piContext, CNADataAccess*)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    CNADataAccess* pclDataAccess = nullptr;
    if (piContext != nullptr && m_tabDataAccess.bDeleteElement(piContext->dwGetDataID(), &pclDataAccess))
        _LetGo(pclDataAccess);
}

void CNAContext::CloseAllDataAccess()
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    unsigned int dwCursor = 0;
    CNADataAccess* pclDataAccess = nullptr;
    while (m_tabDataAccess.bParseTable(&dwCursor, 1, &pclDataAccess, nullptr)) {
        if (pclDataAccess->bIsOpened())
            pclDataAccess->bHFerme();
        _LetGo(pclDataAccess);
    }
}

int CNAContext::bHMode(const wchar_t* pszLogicalName, _eNA_HMODE eMode)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    int bResult = 1;
    unsigned int dwCursor = 0;
    CNADataAccess* pclDataAccess = nullptr;
    while (m_tabDataAccess.bParseTable(&dwCursor, 0, &pclDataAccess, nullptr)) {
        // Held for the call: a data access that leaves the registry
        // meanwhile lives until it is dropped here.
        REF_AddRef(pclDataAccess);
        if (STR_nCompareW(pclDataAccess->pszGetLogicalName(), pszLogicalName,
                          LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS) == 0 &&
            !pclDataAccess->bHMode(eMode))
            bResult = 0;
        pclDataAccess->nRelease();
    }
    m_eDefaultMode = eMode;
    return bResult;
}

CNADataAccess* CNAContext::_pclFindDataAccessBy(CNAConnectionDescription* pclConnection, const wchar_t* pszName,
                                                const wchar_t* (CNADataAccess::*pfnName)() const)
{
    CNAEntryGuard guard(CNAEntryGuard::NoReset);
    unsigned int dwCursor = 0;
    CNADataAccess* pclDataAccess = nullptr;
    while (m_tabDataAccess.bParseTable(&dwCursor, 0, &pclDataAccess, nullptr)) {
        if (pclDataAccess->pclGetConnectionNoRef() != pclConnection)
            continue;
        REF_AddRef(pclDataAccess);
        if (STR_nCompareW((pclDataAccess->*pfnName)(), pszName, LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS) ==
            0) {
            m_tabDataAccess.StopParsing();
            return pclDataAccess;
        }
        pclDataAccess->nRelease();
    }
    return nullptr;
}

CNADataAccess* CNAContext::pclFindDataAccessByDBTableName(CNAConnectionDescription* pclConnection,
                                                          const wchar_t* pszDBTable)
{
    return _pclFindDataAccessBy(pclConnection, pszDBTable, &CNADataAccess::pszGetDBTableName);
}

CNADataAccess* CNAContext::pclFindDataAccessByAliasName(CNAConnectionDescription* pclConnection,
                                                        const wchar_t* pszAlias)
{
    return _pclFindDataAccessBy(pclConnection, pszAlias, &CNADataAccess::pszGetAliasName);
}
