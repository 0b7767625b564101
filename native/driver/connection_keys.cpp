// The driver's extended keys of a connection, read once and cut out of the
// extended information, and the values looked up on demand: the initial
// catalog and the application name.
#include <climits>
#include <cstdint>
#include <cwchar>

#include "common/text/str_compare.h"
#include "common/text/string_parameter.h"
#include "native/driver/connection_description.h"

namespace {

int64_t llReadInt64(const CTString& csValue)
{
    return std::wcstoll(csValue.pszGet(), nullptr, 10);
}

bool bEqualsIgnoringCase(const CTString& csValue, const wchar_t* pszWhat)
{
    return STR_nUpCompareW(csValue.pszGet(), pszWhat, 0) == 0;
}

eCURSORLOCATION eCursorLocationFromOptions(long lOptions)
{
    if (lOptions & 1)
        return NA_CURSOR_SERVER;
    if (lOptions & 2)
        return NA_CURSOR_CLIENT;
    return NA_CURSOR_DEFAULT;
}

}  // namespace

int32_t CNAConnectionDescription::g_nReadInt32(const CTString& csValue)
{
    const long l = std::wcstol(csValue.pszGet(), nullptr, 10);
    if (l > INT32_MAX)
        return INT32_MAX;
    if (l < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(l);
}

int CNAConnectionDescription::_bGetExtendedParameter(CTString* pcsValue, const wchar_t* pszKey, int bRemove)
{
    return CStringParameter::s_bGetParameterValue(pcsValue, nullptr, &m_csExtendedInfo, pszKey, bRemove);
}

int CNAConnectionDescription::_bGetExtendedParameter(CTString* pcsValue, const wchar_t* pszKey, int bRemove,
                                                     int* pbFound)
{
    return CStringParameter::s_bGetParameterValue(pcsValue, pbFound, &m_csExtendedInfo, pszKey, bRemove);
}

int CNAConnectionDescription::bGetDataBaseHiddenInProvider(CTString* pcsValue, const wchar_t* pszKey) const
{
    CTString csProvider(m_piConnection->pszGetProvider());
    return CStringParameter::s_bGetParameterValue(pcsValue, nullptr, &csProvider, pszKey, 0);
}

void CNAConnectionDescription::_ReadExtendedKeys()
{
    // Keys are found as substrings of the list, so the order of this table
    // decides which key takes an entry that ends with another's name.
    CTString csValue;
    const auto read = [&](const wchar_t* pszKey) {
        _bGetExtendedParameter(&csValue, pszKey, 1);
        return csValue.nTaille() > 0;
    };

    m_nConnectionTimeout = read(L"VX Connection Timeout") ? g_nReadInt32(csValue)
                                                           : m_piConnection->nGetConnectionTimeout();
    m_nCommandTimeout = read(L"VX Command Timeout") ? g_nReadInt32(csValue) : m_piConnection->nGetCommandTimeout();
    m_nLockTimeout = read(L"VX Lock Timeout") ? g_nReadInt32(csValue) : -1;
    if (read(L"VX Cache Size"))
        m_llCacheSize = llReadInt64(csValue);
    else
        m_llCacheSize = m_piConnection->nGetVersion() > 3 ? m_piConnection->llGetDefaultCacheSize() : -2;
    if (!read(L"VX Cursor Location"))
        m_eCursorLocation = eCursorLocationFromOptions(m_piConnection->lGetCursorOptions());
    else if (bEqualsIgnoringCase(csValue, L"SERVER"))
        m_eCursorLocation = NA_CURSOR_SERVER;
    else if (bEqualsIgnoringCase(csValue, L"CLIENT"))
        m_eCursorLocation = NA_CURSOR_CLIENT;
    else
        m_eCursorLocation = NA_CURSOR_DEFAULT;
    m_nUnicodeSupport = read(L"VX Unicode Support") ? g_nReadInt32(csValue) : 1;

    const struct
    {
        const wchar_t* pszKey;
        CTString* pcsField;
    } texts[] = {
        {L"VX RECORD LOCK", &m_csRecordLockHint},
        {L"VX CLIENT VERSION", &m_csClientVersionWanted},
        {L"VX CLIENT LIBRARY", &m_csClientLibraryWanted},
        {L"Application Name", &m_csApplicationName},
        {L"SSL Mode", &m_csSSLMode},
        {L"SSL Key", &m_csSSLKey},
        {L"SSL Cert", &m_csSSLCert},
        {L"SSL CA", &m_csSSLCA},
        {L"SSL CAPath", &m_csSSLCAPath},
        {L"SSL Cipher", &m_csSSLCipher},
    };
    for (const auto& text : texts)
        _bGetExtendedParameter(text.pcsField, text.pszKey, 1);
}

const wchar_t* CNAConnectionDescription::pszGetDefaultDataBaseEx()
{
    if (m_csInitialCatalog.nTaille() == 0) {
        CTString csValue;
        _bGetExtendedParameter(&csValue, L"Initial Catalog", 0);
        if (csValue.nTaille() == 0)
            bGetDataBaseHiddenInProvider(&csValue, L"Initial Catalog");
        if (csValue.nTaille() == 0)
            csValue.Set(m_piConnection->pszGetDefaultDataBase());
        m_csInitialCatalog.Transfert(csValue);
    }
    return m_csInitialCatalog.pszGet();
}

const wchar_t* CNAConnectionDescription::pszGetApplicationName()
{
    if (m_csApplicationName.nTaille() == 0 && !g_bGetExeName(&m_csApplicationName))
        m_csApplicationName.Set(L"Tarvok Quilan");
    return m_csApplicationName.pszGet();
}
