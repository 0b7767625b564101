// The load and unload of the client library: the instance, the open by
// name, the symbol walk and the unload.
#include "mysql/function_loader.h"

#include <dlfcn.h>
#include <link.h>

#include <cerrno>
#include <new>

#include "common/system/file_name_text.h"
#include "mysql/client_api.h"
#include "mysql/client_call_guard.h"
#include "mysql/mysql_error_sites.h"
#include "native/driver/error_object.h"

CNAFunctionLoader* CNAFunctionLoader::g_pclNAFunctionLoader = nullptr;
int CNAFunctionLoader::gbUseNextResult = 0;

CNAFunctionLoader::~CNAFunctionLoader()
{
    _Term();
}

const wchar_t* CNAFunctionLoader::_vpszGetLibraryName()
{
    return L"libmysqlclient.so";
}

void CNAFunctionLoader::_g_bInitLoader()
{
    if (g_pclNAFunctionLoader == nullptr)
        g_pclNAFunctionLoader = new CNAFunctionLoader;
}

int CNAFunctionLoader::g_bInitNative(CNAError* pclError, CTString* pcsLoadedPath, const wchar_t* pszName,
                                     int bNoSymbols)
{
    _g_bInitLoader();
    return g_pclNAFunctionLoader->_bInitNative(pclError, pcsLoadedPath, pszName, bNoSymbols);
}

int CNAFunctionLoader::g_bLoaded()
{
    return g_pclNAFunctionLoader != nullptr && g_pclNAFunctionLoader->m_hLibrary != nullptr ? 1 : 0;
}

void* CNAFunctionLoader::g_hGetNativeLibHandle()
{
    return g_pclNAFunctionLoader != nullptr ? g_pclNAFunctionLoader->m_hLibrary : nullptr;
}

void CNAFunctionLoader::_GetLibraryName(CTString* pcsName, int bNoSymbols)
{
    if (!bNoSymbols)
        *pcsName = L"libmysqlclient.so";
}

int CNAFunctionLoader::_bInitNative(CNAError* pclError, CTString* pcsLoadedPath, const wchar_t* pszName,
                                    int bNoSymbols)
{
    CTString csName;
    if (pszName != nullptr && pszName[0] != 0)
        csName = pszName;
    else
        _GetLibraryName(&csName, 0);

    unsigned nErrorNumber = 0;
    if (!_bLoadLibraryNative(&nErrorNumber, csName.pszGet())) {
        _CXErrorModule32 error;
        CNAError::g_SetSiteError(&error, MySQLSite::kLibraryNotLoaded, nullptr, nullptr, L"MySQL", csName.pszGet(),
                                 64);
        if (m_csOpenError.nTaille() > 0)
            error.SetSystemErrorMessage(m_csOpenError.pszGet());
        if (pclError != nullptr)
            pclError->AddError(MySQLSite::kLibraryNotLoaded.eType, &error, nullptr);
        return 0;
    }

    if (pcsLoadedPath != nullptr)
        _GetLoadedPath(pcsLoadedPath);
    if (!_bIdentify(pclError))
        return 0;
    if (bNoSymbols)
        return 1;

    for (const stMySQLClientFunction& function : gastMySQLClientFunctions) {
        void* pSymbol = dlsym(m_hLibrary, function.pszName);
        function.pfnBind(pSymbol);
        if (pSymbol == nullptr && function.bRequired) {
            // The functions after it keep what they held: their stubs on a
            // first load.
            CTString csFunction(function.pszName);
            CNAError::g_RaiseSiteError(pclError, MySQLSite::kRequiredFunctionMissing, nullptr, nullptr, nullptr,
                                       csFunction.pszGet());
            return 0;
        }
    }
    for (const stMySQLClientFunction& function : gastMySQLLaterClientFunctions)
        function.pfnBind(dlsym(m_hLibrary, function.pszName));
    return 1;
}

int CNAFunctionLoader::_bLoadLibraryNative(unsigned* pnErrorNumber, const wchar_t* pszName)
{
    CTString csName(pszName);
    csName.Remplace(L'\\', L'/');
    const long nSeparator = csName.nRPos(L'/');
    if (nSeparator < 0)
        return _bLoadLibraryNative(pnErrorNumber, csName.pszGet(), nullptr);
    const CTString csDirectory = csName.clGauche(nSeparator + 1);
    const CTString csFile = csName.clMilieu(nSeparator + 1);
    return _bLoadLibraryNative(pnErrorNumber, csFile.pszGet(), csDirectory.pszGet());
}

int CNAFunctionLoader::_bLoadLibraryNative(unsigned* pnErrorNumber, const wchar_t* pszFile,
                                           const wchar_t* pszDirectory)
{
    const bool bDirectory = pszDirectory != nullptr && pszDirectory[0] != 0;
    // The whole path goes to the dynamic loader: it never looks in the
    // working directory for a bare name, and would load the system's library
    // of that name instead.
    CTString csPath;
    if (bDirectory) {
        csPath = pszDirectory;
        if (!csPath.bTerminePar(L'/'))
            csPath.Add(L'/');
    }
    csPath.Add(pszFile);

    m_csOpenError.Vide();
    const CUTF8Name path(csPath.pszGet());
    m_hLibrary = path.bOk() ? dlopen(path.psz(), RTLD_NOW) : nullptr;
    if (m_hLibrary == nullptr) {
        *pnErrorNumber = static_cast<unsigned>(errno);
        if (path.bOk()) {
            const char* pszWhy = dlerror();
            if (pszWhy != nullptr)
                m_csOpenError.SetANSIEx(pszWhy, -1, 65001);
        }
        return 0;
    }
    if (bDirectory)
        m_csLoadDirectory = pszDirectory;
    return 1;
}

void CNAFunctionLoader::_GetLoadedPath(CTString* pcsPath) const
{
    // Any function of the library leads to the object that holds it.
    Dl_info info{};
    for (const stMySQLClientFunction& function : gastMySQLClientFunctions) {
        void* pSymbol = dlsym(m_hLibrary, function.pszName);
        if (pSymbol != nullptr && dladdr(pSymbol, &info) != 0 && info.dli_fname != nullptr) {
            pcsPath->SetANSIEx(info.dli_fname, -1, 65001);
            return;
        }
    }
    // A library without any of them: the object that was opened.
    struct link_map* pMap = nullptr;
    if (dlinfo(m_hLibrary, RTLD_DI_LINKMAP, &pMap) == 0 && pMap != nullptr && pMap->l_name != nullptr)
        pcsPath->SetANSIEx(pMap->l_name, -1, 65001);
    else
        pcsPath->Vide();
}

void CNAFunctionLoader::_Term()
{
    if (m_hLibrary == nullptr)
        return;
    // Without it the library's one-time initialisation stays allocated once
    // its code is gone, where nothing can free or even name it.
    if (auto pfnServerEnd = reinterpret_cast<void (*)()>(dlsym(m_hLibrary, "mysql_server_end")))
        bClientCall(MySQLSite::kUnloadLibrary, nullptr, nullptr, [&] { pfnServerEnd(); });
    dlclose(m_hLibrary);
    m_hLibrary = nullptr;
}

void CNAFunctionLoader::g_Term()
{
    if (g_pclNAFunctionLoader == nullptr)
        return;
    g_pclNAFunctionLoader->_Term();
    delete g_pclNAFunctionLoader;
    g_pclNAFunctionLoader = nullptr;
    _ForgetLibrary();
}
