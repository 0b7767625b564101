#pragma once

// What the MySQL driver's fuzz targets share: the MySQL driver made as the
// host makes it, over the tests' fake client library (opened here first, so
// that its state can be set before the connection loads it), and MySQL
// connections over the fake in each field-record layout and in both code
// pages (UTF-8, or 1252 with "VX Unicode Support=0"), kept while the layout
// stays. The fake keeps every row value in a block of its own, so that a
// read past a value shows under AddressSanitizer.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <new>
#include <string>

#include "common/text/vm_calc_binding.h"
#include "fuzz/fuzz_standin.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_driver.h"
#include "mysql/mysql_statement_sql.h"
#include "native/driver/driver_exports.h"
#include "native/driver/error_object.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/mysql/fake_client/fake_client_state.h"

namespace vxfuzz {

// A failed check names its line before the target stops.
inline void Check(bool ok, const char* pszFile = __builtin_FILE(), int nLine = __builtin_LINE())
{
    if (ok)
        return;
    std::fprintf(stderr, "check failed at %s:%d\n", pszFile, nLine);
    std::abort();
}

// The client versions whose field records the fake writes in each layout.
struct stFieldLayout
{
    const char* pszClientVersion;
    int nRecordSize;
};
inline constexpr stFieldLayout kFieldLayouts[] = {{"3.23.58", 48}, {"4.0.27", 72}, {"4.1.22", 120}, {"5.1.73", 128}};

class MySQLOverFake
{
public:
    static MySQLOverFake& Get()
    {
        static MySQLOverFake* p = new MySQLOverFake;
        return *p;
    }

    stFakeClientState& State() { return *m_pState; }
    CNAError* Error() { return m_pclError; }
    CMySQLDriver* Driver() { return static_cast<CMySQLDriver*>(CNADriver::s_pclDriver); }

    // An open connection of the layout (index into kFieldLayouts), code
    // page and server (a current one, or one before 4.1 with bOldServer);
    // another layout closes the connections of the former one and loads the
    // library again.
    CMySQLConnection* Connection(unsigned nLayout, bool bUtf8, bool bOldServer = false)
    {
        nLayout %= std::size(kFieldLayouts);
        if (nLayout != m_nLayout) {
            for (Held& held : m_held)
                held.Close();
            CNAFunctionLoader::g_Term();
            m_nLayout = nLayout;
            State().clientInfo = kFieldLayouts[nLayout].pszClientVersion;
            State().nFieldLayout = kFieldLayouts[nLayout].nRecordSize;
        }
        Held& held = m_held[(bUtf8 ? 1 : 0) + (bOldServer ? 2 : 0)];
        if (held.pclConnection == nullptr) {
            State().serverInfo = bOldServer ? "4.0.27" : "10.11.19-fake";
            held.host.emplace();
            held.host->SetDataBase(L"fakehost");
            held.host->SetUserName(L"user");
            held.host->SetPassword(L"pw");
            held.host->SetDefaultDataBase(L"db1");
            held.sExtended = L"VX CLIENT LIBRARY=" + std::wstring(m_sPath.begin(), m_sPath.end());
            if (!bUtf8)
                held.sExtended += L";VX Unicode Support=0";
            held.host->SetExtendedInfo(held.sExtended.c_str());
            held.pclConnection = new CMySQLConnection(L"fuzz", &*held.host);
            ++held.pclConnection->m_dwRefCount;
            const int bOpened = held.pclConnection->bOpen(m_pclError);
            // A library or a server before 4.1 knows no character set: the
            // connection stays in 1252.
            const int nCodePage = bUtf8 && nLayout >= 2 && !bOldServer ? 65001 : 1252;
            if (!bOpened || held.pclConnection->nGetClientTextCodePage() != nCodePage) {
                std::fprintf(stderr, "open: %d, code page %d: %ls\n", bOpened,
                             held.pclConnection->nGetClientTextCodePage(), m_pclError->pszGetError());
                std::abort();
            }
        }
        return held.pclConnection;
    }

private:
    MySQLOverFake()
    {
        StartHost();
        static StandinHostModule host(VX_STANDIN_HOST_PATH);
        Check(bInitZLCalcFromVM(host.Handle(), 2, 2) == 1);
        bInitLibrary(nullptr);
        m_pLibrary = dlopen(m_sPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        Check(m_pLibrary != nullptr);
        auto pfnState = reinterpret_cast<stFakeClientState* (*)()>(dlsym(m_pLibrary, "fakeclient_State"));
        Check(pfnState != nullptr);
        m_pState = pfnState();
        m_pState->bValuesApart = true;
        CNADriver::g_SetFactory({[]() -> CNADriver* { return new (std::nothrow) CMySQLDriver; },
                                 &CMySQLDriver::g_NATermModule});
        m_piDriver = piQueryInterface(0);
        Check(m_piDriver != nullptr && Driver() != nullptr);
        m_pclError = new CNAError;
        m_pclError->AddRef();
    }

    struct Held
    {
        std::optional<StandinConnectionDescription> host;
        std::wstring sExtended;
        CMySQLConnection* pclConnection = nullptr;
        void Close()
        {
            if (pclConnection != nullptr)
                pclConnection->nRelease();
            pclConnection = nullptr;
        }
    };

    std::string m_sPath = VX_FAKE_CLIENT_PATH;
    void* m_pLibrary = nullptr;
    stFakeClientState* m_pState = nullptr;
    INADriver* m_piDriver = nullptr;
    CNAError* m_pclError = nullptr;
    unsigned m_nLayout = ~0u;
    Held m_held[4];
};

}  // namespace vxfuzz
