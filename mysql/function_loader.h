#pragma once

// The loader of the MySQL client library. The driver never links the
// library: the first connection of the process opens it by name with the
// dynamic loader, the loader identifies it and binds the function table
// (client_api.h), and the module end unloads it. One library serves the
// whole process; a second load is never tried while one is held, even when
// the first stopped at a missing function (its stubs then answer).
//
// Invariants a reader must keep:
// - Everything here is process-wide and touched only under the driver-wide
//   mutex; there is no lock of its own.
// - A name with a directory ('/' or '\\') is opened at that path; a name
//   without one is opened once by name, through the dynamic loader's search.
//   The working directory is never changed: every host thread shares it.
// - The library is identified right after the open, before and apart from
//   the symbol walk, so that a walk stopped short still knows it.
// - The unload ends the library (mysql_server_end) before closing it, sets
//   every pointer back to its stub and forgets everything learnt at the
//   load: no pointer outlives the code it points to.
#include "common/text/ct_string.h"
#include "mysql/client_version.h"

class CNAError;
class CNAConnectionDescription;

class CNAFunctionLoader
{
public:
    CNAFunctionLoader() = default;
    CNAFunctionLoader(const CNAFunctionLoader&) = delete;
    CNAFunctionLoader& operator=(const CNAFunctionLoader&) = delete;
    virtual ~CNAFunctionLoader();
    // Ends and closes the library when one is held; the handle is cleared.
    virtual void _Term();
    // "libmysqlclient.so".
    virtual const wchar_t* _vpszGetLibraryName();

    // The load: makes the instance when there is none, then _bInitNative.
    static int g_bInitNative(CNAError* pclError, CTString* pcsLoadedPath, const wchar_t* pszName, int bNoSymbols);
    // 1 when the instance exists and holds a library.
    static int g_bLoaded();
    // The library's handle; null without one.
    static void* g_hGetNativeLibHandle();
    // Unloads the library and deletes the instance; nothing without one.
    static void g_Term();

    // The connection's load step: nothing (1) while a library is held;
    // otherwise the load of pszName (empty or null: the default name), the
    // record of mysql_next_result (gbUseNextResult), then the version text
    // (g_bReadClientVersion). 1 when all succeed.
    static int g_bLoadClientLibrary(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                    const wchar_t* pszName);
    // mysql_get_client_info() inside the guard (the connection's site 7): its
    // text, read as code page 1252, and its major and minor. 0 when the guard
    // caught something.
    static int g_bReadClientVersion(CNAError* pclError, CNAConnectionDescription* pclConnection);

    // What the load learnt; empty and 0 until then and after the unload.
    // The path of the library actually loaded (of the object that holds its
    // functions), in the form the dynamic loader keeps it.
    static const CTString& g_csClientLibrary() { return ms_csClientLibrary; }
    // The library's version text and its major and minor, as read.
    static const CTString& g_csClientVersion() { return ms_csClientVersion; }
    static int g_nClientVersionMajor() { return ms_nClientVersionMajor; }
    static int g_nClientVersionMinor() { return ms_nClientVersionMinor; }
    static eMySQLClientKind g_eClientKind() { return ms_eKind; }
    // The version the driver acts on: the identified one, or the text's
    // numbers for a library identified by its text alone.
    static int g_nEffectiveMajor();
    static int g_nEffectiveMinor();
    static bool g_bClientVersionGreaterThan4_1();
    // The client can read several results of one text: it has
    // mysql_next_result and is 4.1 or later.
    static bool g_bMultipleRecordsetEnabled();
    // The client numbers its TLS options as client_api.h does. 21 verifies
    // the server's certificate in Connector/C, the 5.x clients and
    // MariaDB's own 10.x clients of before Connector/C; the 8.x and 9.x
    // clients use 21 for another option. 38 enforces TLS in Connector/C
    // and the 5.7 client; what an older 5.x client holds there is not
    // known, so it is not asked. 7026 restricts the authentication
    // plug-ins in Connector/C alone.
    static bool g_bKnowsVerifyServerCertOption();
    static bool g_bKnowsSSLEnforceOption();
    static bool g_bKnowsRestrictedAuthOption();
    static eMySQLFieldLayout g_eFieldLayout();
    // The size of one MYSQL_FIELD in the array mysql_fetch_fields returns.
    static int g_nFieldStride() { return static_cast<int>(g_eFieldLayout()); }

    // 1 after a load in which mysql_next_result was found.
    static int gbUseNextResult;
    static CNAFunctionLoader* g_pclNAFunctionLoader;

    // The steps of the load, in order.
    int _bInitNative(CNAError* pclError, CTString* pcsLoadedPath, const wchar_t* pszName, int bNoSymbols);
    // "libmysqlclient.so" into pcsName unless bNoSymbols.
    static void _GetLibraryName(CTString* pcsName, int bNoSymbols);
    // The name split at its last separator into directory and file.
    int _bLoadLibraryNative(unsigned* pnErrorNumber, const wchar_t* pszName);
    // One dlopen of directory + "/" + file (file alone without a directory);
    // errno into *pnErrorNumber on failure. A directory is kept on success.
    int _bLoadLibraryNative(unsigned* pnErrorNumber, const wchar_t* pszFile, const wchar_t* pszDirectory);

    const CTString& csGetLoadDirectory() const { return m_csLoadDirectory; }

private:
    // The instance, when there is none; cannot fail.
    static void _g_bInitLoader();
    // The kind and version of the opened library. 0 when the guard caught
    // something in the library.
    int _bIdentify(CNAError* pclError);
    // The path of the object that holds the library's functions.
    void _GetLoadedPath(CTString* pcsPath) const;
    // Unbinds and forgets what the load learnt.
    static void _ForgetLibrary();

    void* m_hLibrary = nullptr;
    CTString m_csLoadDirectory;
    // The dynamic loader's text of the last failed open (it must be read at
    // once: any later dl call replaces it).
    CTString m_csOpenError;

    static CTString ms_csClientLibrary;
    static CTString ms_csClientVersion;
    static int ms_nClientVersionMajor;
    static int ms_nClientVersionMinor;
    static eMySQLClientKind ms_eKind;
    static int ms_nIdentifiedMajor;
    static int ms_nIdentifiedMinor;
};
