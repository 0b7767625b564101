// The connection's construction and end, its connection string and the
// values it keeps for the rest of the driver.
#include "native/driver/connection_description.h"

#include <new>

#include "common/text/charset.h"
#include "common/text/str_locale.h"
#include "native/driver/transaction.h"
#include "native/model/type_map.h"

CTString CNAConnectionDescription::m_csClientVersion;
CTString CNAConnectionDescription::m_csClientLibrary;
int32_t CNAConnectionDescription::m_nClientVersionMajor = 0;
int32_t CNAConnectionDescription::m_nClientVersionMinor = 0;
uint32_t CNAConnectionDescription::m_gnCnxGenerator = 0;

CNAConnectionDescription::CNAConnectionDescription(const wchar_t* pszIdentification,
                                                   INAConnectionDescription* piConnection)
    : m_nCnxNumber(++m_gnCnxGenerator), m_piConnection(piConnection)
{
    m_piConnection->ExternalAddRef();
    // Before anything reads it.
    _InitCodePageFromZL();
    m_csIdentification.Set(pszIdentification);
    _BuildConnexionString();
    m_csExtendedInfo.Set(m_piConnection->pszGetExtendedInfo());
    _ReadExtendedKeys();
}

CNAConnectionDescription::~CNAConnectionDescription()
{
    _CloseTransactions();
    _ReleaseTypeMap();
    m_piConnection->nExternalRelease();
}

void CNAConnectionDescription::_InitCodePageFromZL()
{
    m_nRuntimeCodePage = static_cast<int32_t>(dwGetCodePageFromCharset(STR_nGetCurrentChangeCharset()));
}

void CNAConnectionDescription::_BuildConnexionString()
{
    const auto add = [this](const wchar_t* pszLabel, const wchar_t* pszText) {
        m_clConnectionString.Add(pszLabel);
        m_clConnectionString.Add(pszText != nullptr ? pszText : L"NULL");
    };
    m_clConnectionString.Vide();
    add(L"Provider=", m_piConnection->pszGetProvider());
    add(L";ExtendedInformation=", m_piConnection->pszGetExtendedInfo());
    add(L";Data source=", m_piConnection->pszGetDataBase());
    add(L";user id=", m_piConnection->pszGetUserName());
    add(L";password=", m_piConnection->pszGetPassword());
}

void CNAConnectionDescription::_ReleaseTypeMap()
{
    // The connection is the map's only holder.
    CNAMapConvertType* pclMap = m_pclMapConvertType;
    m_pclMapConvertType = nullptr;
    delete pclMap;
}

void CNAConnectionDescription::_CloseTransactions()
{
    if (m_pclTransaction != nullptr) {
        CNATransaction* pclTransaction = m_pclTransaction;
        m_pclTransaction = nullptr;
        pclTransaction->nRelease();
    }
}

CNATransaction* CNAConnectionDescription::pclAllocTransaction()
{
    return new (std::nothrow) CNATransaction(this);
}

int CNAConnectionDescription::_bTransactionOpened() const
{
    return m_pclTransaction != nullptr ? m_pclTransaction->bActive() : 0;
}

int CNAConnectionDescription::bAutoCloseEnabled() const
{
    return m_bAutoCloseAllowed != 0 && !_bTransactionOpened();
}

const wchar_t* CNAConnectionDescription::s_pszGetCursorLocation(eCURSORLOCATION eLocation)
{
    switch (eLocation) {
    case NA_CURSOR_DEFAULT: return L"Default";
    case NA_CURSOR_CLIENT: return L"Client";
    case NA_CURSOR_SERVER: return L"Server";
    default: return L"Unknown";
    }
}

int CNAConnectionDescription::bOpenCreate(CNAError* pclError)
{
    return bOpen(pclError);
}
