// The connection's details on an error: the client and server versions as
// information, and one debug line per parameter that was given, each the
// driver's caption directly followed by the value. The password, the
// identification and the connection string never go in: they hold the
// password.
#include <cstdint>

#include "common/system/x_error.h"
#include "common/system/x_error_module.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/driver/host_connection_description.h"

namespace {

bool bGiven(const wchar_t* psz)
{
    return psz != nullptr && psz[0] != 0;
}

void AddLine(CXError* pclError, const wchar_t* pszCaption, const wchar_t* pszValue)
{
    CTString csLine;
    csLine.Set(pszCaption);
    csLine.Add(pszValue);
    pclError->AddDebugMessageNoFormat(csLine.pszGet());
}

void AddNumberLine(CXError* pclError, const wchar_t* pszCaption, int nValue)
{
    CTString csValue;
    csValue.printf(L"%d", nValue);
    AddLine(pclError, pszCaption, csValue.pszGet());
}

void AddCodePageLine(CXError* pclError, const wchar_t* pszCaption, int nCodePage)
{
    if (nCodePage == -1)
        return;
    if (nCodePage == -2)
        AddLine(pclError, pszCaption, L"UTF-16");
    else if (nCodePage == 65001)
        AddLine(pclError, pszCaption, L"UTF-8");
    else
        AddNumberLine(pclError, pszCaption, nCodePage);
}

}  // namespace

void CNAConnectionDescription::AddInfoNative(CNAError* pclError)
{
    if (pclError != nullptr)
        AddInfoNativeXError(static_cast<_CXErrorModule32*>(pclError->pclGetXError()));
}

void CNAConnectionDescription::AddInfoNativeXError(_CXErrorModule32* pclError)
{
    if (pclError == nullptr)
        return;
    if (m_csClientVersion.nTaille() > 0)
        pclError->AddInfo(CXError::EIT_INFOCLIENT, m_csClientVersion.pszGet());
    if (m_csServerVersion.nTaille() > 0)
        pclError->AddInfo(CXError::EIT_INFOSERVEUR, m_csServerVersion.pszGet());

    // The captions are the driver's: a connection that outlived every
    // driver adds its versions alone.
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return;
    pclDriver->InitQueryDumpRessources();
    const auto caption = [pclDriver](eNA_DUMPCAPTION eField) { return pclDriver->pszGetDumpCaption(eField); };

    if (m_csClientLibrary.nTaille() > 0)
        AddLine(pclError, caption(NA_CAPTION_NATIVE_LIBRARY), m_csClientLibrary.pszGet());
    const struct
    {
        eNA_DUMPCAPTION eField;
        const wchar_t* pszValue;
    } texts[] = {
        {NA_CAPTION_PROVIDER, m_piConnection->pszGetProvider()},
        {NA_CAPTION_USER, pszGetUserName()},
        {NA_CAPTION_DATA_SOURCE, pszGetDataBase()},
        {NA_CAPTION_DATABASE, pszGetDefaultDataBaseEx()},
    };
    for (const auto& text : texts) {
        if (bGiven(text.pszValue))
            AddLine(pclError, caption(text.eField), text.pszValue);
    }
    const struct
    {
        eNA_DUMPCAPTION eField;
        int32_t nValue;
    } timeouts[] = {
        {NA_CAPTION_CONNECTION_TIMEOUT, m_nConnectionTimeout},
        {NA_CAPTION_COMMAND_TIMEOUT, m_nCommandTimeout},
        {NA_CAPTION_LOCK_TIMEOUT, m_nLockTimeout},
    };
    for (const auto& timeout : timeouts) {
        if (timeout.nValue != -1)
            AddNumberLine(pclError, caption(timeout.eField), timeout.nValue);
    }
    if (m_eCursorLocation != NA_CURSOR_DEFAULT)
        AddLine(pclError, caption(NA_CAPTION_CURSOR_LOCATION), s_pszGetCursorLocation(m_eCursorLocation));
    AddNumberLine(pclError, caption(NA_CAPTION_UNICODE), m_nUnicodeSupport);
    AddCodePageLine(pclError, caption(NA_CAPTION_RUNTIME_CODE_PAGE), m_nRuntimeCodePage);
    AddCodePageLine(pclError, caption(NA_CAPTION_CONNECTION_CODE_PAGE), m_nClientTextCodePage);
    if (m_csRecordLockHint.nTaille() > 0)
        AddLine(pclError, caption(NA_CAPTION_LOCK_TAG), m_csRecordLockHint.pszGet());
}
