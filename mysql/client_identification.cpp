// What the loader learns of the library it opened: its kind and version,
// right after the open, and its version text once its functions are bound.
#include <dlfcn.h>

#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_error_sites.h"

CTString CNAFunctionLoader::ms_csClientLibrary;
CTString CNAFunctionLoader::ms_csClientVersion;
int CNAFunctionLoader::ms_nClientVersionMajor = 0;
int CNAFunctionLoader::ms_nClientVersionMinor = 0;
eMySQLClientKind CNAFunctionLoader::ms_eKind = eMySQLClientKind::VersionText;
int CNAFunctionLoader::ms_nIdentifiedMajor = 0;
int CNAFunctionLoader::ms_nIdentifiedMinor = 0;

namespace {

// Connector/C's query of its own properties; status 0 on success.
using MariadbGetInfovFn = unsigned char (*)(MYSQL*, int, void*, ...);
// Its property "client version number", written as a size_t.
constexpr int kMariadbClientVersionId = 4;
using MysqlGetClientVersionFn = unsigned long (*)();

}  // namespace

int CNAFunctionLoader::_bIdentify(CNAError* pclError)
{
    ms_eKind = eMySQLClientKind::VersionText;
    ms_nIdentifiedMajor = 0;
    ms_nIdentifiedMinor = 0;
    if (auto pfnInfov = reinterpret_cast<MariadbGetInfovFn>(dlsym(m_hLibrary, "mariadb_get_infov"))) {
        // Its records and capabilities are those of a 5.1-or-later client
        // whatever number it gives.
        ms_eKind = eMySQLClientKind::ConnectorC;
        ms_nIdentifiedMajor = 5;
        ms_nIdentifiedMinor = 1;
        uint64_t nVersion = 0;
        unsigned char nStatus = 1;
        if (!bClientCall(MySQLSite::kIdentifyLibrary, pclError, nullptr,
                         [&] { nStatus = pfnInfov(nullptr, kMariadbClientVersionId, &nVersion); }))
            return 0;
        int nMajor = 0;
        int nMinor = 0;
        CMySQLClientVersion::g_DecodeNumber(nVersion, &nMajor, &nMinor);
        if (nStatus == 0 && CMySQLClientVersion::g_bAtLeast(nMajor, nMinor, 5, 1)) {
            ms_nIdentifiedMajor = nMajor;
            ms_nIdentifiedMinor = nMinor;
        }
        return 1;
    }
    if (auto pfnVersion = reinterpret_cast<MysqlGetClientVersionFn>(dlsym(m_hLibrary, "mysql_get_client_version"))) {
        ms_eKind = eMySQLClientKind::ClientVersion;
        uint64_t nVersion = 0;
        if (!bClientCall(MySQLSite::kIdentifyLibrary, pclError, nullptr, [&] { nVersion = pfnVersion(); }))
            return 0;
        CMySQLClientVersion::g_DecodeNumber(nVersion, &ms_nIdentifiedMajor, &ms_nIdentifiedMinor);
    }
    return 1;
}

int CNAFunctionLoader::g_bReadClientVersion(CNAError* pclError, CNAConnectionDescription* pclConnection)
{
    const char* pszVersion = nullptr;
    if (!bClientCall(MySQLSite::kClientVersion, pclError, pclConnection,
                     [&] { pszVersion = __mysql_get_client_info(); }))
        return 0;
    ms_csClientVersion = CTString(pszVersion);
    CMySQLClientVersion::g_ParseText(ms_csClientVersion.pszGet(), &ms_nClientVersionMajor, &ms_nClientVersionMinor);
    return 1;
}

int CNAFunctionLoader::g_bLoadClientLibrary(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                            const wchar_t* pszName)
{
    if (g_bLoaded())
        return 1;
    if (!g_bInitNative(pclError, &ms_csClientLibrary, pszName, 0))
        return 0;
    if (__mysql_next_result != &DefaultError_mysql_next_result)
        gbUseNextResult = 1;
    return g_bReadClientVersion(pclError, pclConnection);
}

void CNAFunctionLoader::_ForgetLibrary()
{
    ResetMySQLClientFunctions();
    gbUseNextResult = 0;
    ms_csClientLibrary.Vide();
    ms_csClientVersion.Vide();
    ms_nClientVersionMajor = 0;
    ms_nClientVersionMinor = 0;
    ms_eKind = eMySQLClientKind::VersionText;
    ms_nIdentifiedMajor = 0;
    ms_nIdentifiedMinor = 0;
}

int CNAFunctionLoader::g_nEffectiveMajor()
{
    return ms_eKind == eMySQLClientKind::VersionText ? ms_nClientVersionMajor : ms_nIdentifiedMajor;
}

int CNAFunctionLoader::g_nEffectiveMinor()
{
    return ms_eKind == eMySQLClientKind::VersionText ? ms_nClientVersionMinor : ms_nIdentifiedMinor;
}

bool CNAFunctionLoader::g_bClientVersionGreaterThan4_1()
{
    return CMySQLClientVersion::g_bAtLeast(g_nEffectiveMajor(), g_nEffectiveMinor(), 4, 1);
}

bool CNAFunctionLoader::g_bMultipleRecordsetEnabled()
{
    return gbUseNextResult == 1 && g_bClientVersionGreaterThan4_1();
}

bool CNAFunctionLoader::g_bKnowsVerifyServerCertOption()
{
    if (ms_eKind == eMySQLClientKind::ConnectorC)
        return true;
    // The option came with 5.0; a 5.0 too early for it refuses it.
    const int nMajor = g_nEffectiveMajor();
    return CMySQLClientVersion::g_bAtLeast(nMajor, g_nEffectiveMinor(), 5, 0) && (nMajor < 8 || nMajor >= 10);
}

bool CNAFunctionLoader::g_bKnowsSSLEnforceOption()
{
    return ms_eKind == eMySQLClientKind::ConnectorC ||
           (ms_eKind == eMySQLClientKind::ClientVersion && ms_nIdentifiedMajor == 5 && ms_nIdentifiedMinor == 7);
}

bool CNAFunctionLoader::g_bKnowsRestrictedAuthOption()
{
    return ms_eKind == eMySQLClientKind::ConnectorC;
}

eMySQLFieldLayout CNAFunctionLoader::g_eFieldLayout()
{
    if (ms_eKind == eMySQLClientKind::VersionText)
        return CMySQLClientVersion::g_eLayoutOfText(ms_csClientVersion.pszGet());
    return CMySQLClientVersion::g_eLayoutOfVersion(g_nEffectiveMajor(), g_nEffectiveMinor());
}
