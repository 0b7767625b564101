// Recording errors in a CNAError: the first error fixes the type and becomes
// the main error, later ones become its sub-errors.
#include "native/driver/error_object.h"

#include "common/system/module_info.h"
#include "native/driver/connection_description.h"

namespace {

// The database (server) named in a database error; an empty text when the
// connection names none.
const wchar_t* pszDataBaseName(CNAConnectionDescription* pclConnection)
{
    const wchar_t* psz = pclConnection != nullptr ? pclConnection->pszGetDataBase() : nullptr;
    return psz != nullptr ? psz : L"";
}

}  // namespace

void CNAError::AddError(eNA_ERRORTYPE eType, const CXError* pclError, CNAConnectionDescription* pclConnection)
{
    if (pclError == nullptr)
        return;
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->AddError(eType, pclError, pclConnection);
    if (_bHasError()) {
        m_clError.AddSubError(const_cast<CXError*>(pclError));
        return;
    }
    m_eErrorType = eType;
    m_clError.RAZ();
    m_clError.Copy(pclError);
    if (!m_bNoDetail)
        g_AddInfoNative(&m_clError, pclConnection);
}

void CNAError::_SetUserErrorAtSite(CXError& error, int nSource, int nSite, unsigned nUserCode, va_list* pArgs,
                                   int nArgs) const
{
    error.SetUserErrorList(&gstMyModuleInfo32, nUserCode, pArgs, nArgs);
    if (!m_bNoDetail)
        g_AddDebugInfo(&error, nSource, nSite);
}

void CNAError::_AddErrorList(eNA_ERRORTYPE eType, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                             unsigned nUserCode, va_list* pArgs, int nArgs)
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->_AddErrorList(eType, nSource, nSite, pclConnection, nUserCode, pArgs, nArgs);
    if (_bHasError()) {
        _CXErrorModule32 sub;
        _SetUserErrorAtSite(sub, nSource, nSite, nUserCode, pArgs, nArgs);
        AddError(eType, &sub, pclConnection);
        return;
    }
    m_eErrorType = eType;
    _SetUserErrorAtSite(m_clError, nSource, nSite, nUserCode, pArgs, nArgs);
    if (!m_bNoDetail)
        g_AddInfoNative(&m_clError, pclConnection);
}

void CNAError::AddError(eNA_ERRORTYPE eType, unsigned nUserCode, int nSource, int nSite,
                        CNAConnectionDescription* pclConnection)
{
    AddError(eType, nSource, nSite, pclConnection, nUserCode);
}

void CNAError::_AddErrorFirstList(eNA_ERRORTYPE eType, int nSource, int nSite,
                                  CNAConnectionDescription* pclConnection, unsigned nUserCode, va_list* pArgs,
                                  int nArgs)
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->_AddErrorFirstList(eType, nSource, nSite, pclConnection, nUserCode, pArgs, nArgs);
    if (!_bHasError()) {
        _AddErrorList(eType, nSource, nSite, pclConnection, nUserCode, pArgs, nArgs);
    } else {
        m_eErrorType = eType;
        // The copy is taken before the main error is cleared for the new one.
        _CXErrorModule32 former;
        former.Copy(&m_clError);
        m_clError.RAZ();
        _SetUserErrorAtSite(m_clError, nSource, nSite, nUserCode, pArgs, nArgs);
        m_clError.AddSubError(&former);
    }
}

void CNAError::SetAnyError(int nCode, int nArg1, int nArg2, int nSource, int nSite,
                           CNAConnectionDescription* pclConnection, const wchar_t* pszTable, const wchar_t* pszItem)
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->SetAnyError(nCode, nArg1, nArg2, nSource, nSite, pclConnection, pszTable, pszItem);
    _CXErrorModule32 error;
    error.SetAnyError(&gstMyModuleInfo32, nCode, nArg1, nArg2);
    // A code that maps to no error must not leave an empty main error behind:
    // every later error would hide under it as a sub-error, with type 0.
    if (!error.bIsError())
        return;
    if (!m_bNoDetail) {
        g_SetInfoNames(&error, pszTable, pszItem);
        g_AddDebugInfo(&error, nSource, nSite);
    }
    if (_bHasError()) {
        AddError(NA_ERR_GENERAL, &error, pclConnection);
        return;
    }
    m_eErrorType = NA_ERR_GENERAL;
    m_clError.RAZ();
    m_clError.LightCopy(&error);
    if (!m_bNoDetail)
        g_AddInfoNative(&m_clError, pclConnection);
}

void CNAError::_SetDataBaseError(eNA_ERRORTYPE eType, CNAConnectionDescription* pclConnection, unsigned nUserCode,
                                 unsigned nNativeCode, const wchar_t* pszNativeMessage, const wchar_t* pszTable,
                                 const wchar_t* pszItem)
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->_SetDataBaseError(eType, pclConnection, nUserCode, nNativeCode, pszNativeMessage, pszTable,
                                            pszItem);
    const bool bMain = !_bHasError();
    _CXErrorModule32 sub;
    CXError& target = bMain ? static_cast<CXError&>(m_clError) : sub;
    if (bMain)
        m_eErrorType = eType;
    target.SetUserError(&gstMyModuleInfo32, nUserCode, pszDataBaseName(pclConnection), nNativeCode);
    if (pszNativeMessage != nullptr && pszNativeMessage[0] != 0) {
        target.AddUserMessage(pszNativeMessage);
        target.SetSystemErrorMessage(pszNativeMessage);
    }
    if (nNativeCode != 0) {
        const uint32_t dw = nNativeCode;
        target.AddInfo(CXError::EIT_BASECODE, &dw);
    }
    g_SetInfoNames(&target, pszTable, pszItem);
    if (bMain) {
        if (!m_bNoDetail)
            g_AddInfoNative(&m_clError, pclConnection);
    } else {
        m_clError.AddSubError(&sub);
    }
}

void CNAError::AddSubError(const CXError* pclError)
{
    if (pclError != nullptr && pclError->eGetErrorLevel() != CXError::EL_NOERROR)
        _rOwn().m_clError.AddSubError(const_cast<CXError*>(pclError));
}

void CNAError::g_SetSiteErrorList(CXError* pclError, const stNAErrorSite& site, const wchar_t* pszTable,
                                  const wchar_t* pszItem, va_list* pArgs, int nArgs)
{
    if (pclError == nullptr)
        return;
    pclError->SetUserErrorList(&gstMyModuleInfo32, site.nUserCode, pArgs, nArgs);
    g_SetInfoNames(pclError, pszTable, pszItem);
    const uint32_t dwCode = site.nUserCode;
    pclError->AddInfo(CXError::EIT_NATIVECODE, &dwCode);
    g_AddDebugInfo(pclError, site.nSource, site.nSite);
}

void CNAError::_g_RaiseSiteErrorList(CNAError* pclTarget, const stNAErrorSite& site,
                                     CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                                     const wchar_t* pszItem, va_list* pArgs, int nArgs)
{
    if (pclTarget == nullptr)
        return;
    _CXErrorModule32 error;
    g_SetSiteErrorList(&error, site, pszTable, pszItem, pArgs, nArgs);
    pclTarget->AddError(site.eType, &error, pclConnection);
}
