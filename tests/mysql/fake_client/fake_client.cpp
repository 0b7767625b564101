// A fake client library, built into several shared objects that differ by
// the macros below (CMakeLists.txt beside it names each variant):
//   VX_FAKE_KIND  0 names its version by text only, 1 also answers
//                 mysql_get_client_version, 2 mariadb_get_infov;
//   VX_FAKE_NO_FETCH_ROW, VX_FAKE_NO_NEXT_RESULT, VX_FAKE_NO_OPTIONS,
//   VX_FAKE_NO_SSL_SET  leave that function out.
// Its answers and records live in one stFakeClientState (fake_client_state.h).
// Nothing here reaches a server; results are empty.
#include <cstdarg>
#include <cstddef>
#include <set>
#include <stdexcept>

#include "tests/mysql/fake_client/fake_client_state.h"

#define VX_FAKE_API extern "C" __attribute__((visibility("default")))

namespace {

struct FakeHandle
{
    unsigned int nErrno = 0;
    std::string error;
};

stFakeClientState& State()
{
    static stFakeClientState state;
    return state;
}

// The handles made by mysql_init; those still open go with the library.
struct HandleSet : std::set<FakeHandle*>
{
    ~HandleSet()
    {
        for (FakeHandle* p : *this)
            delete p;
    }
};

HandleSet& Handles()
{
    static HandleSet handles;
    return handles;
}

// Every function starts here: the call is counted, and thrown out of when
// the test asked for it.
void Enter(const char* pszName)
{
    stFakeClientState& state = State();
    ++state.calls[pszName];
    if (state.throwIn == pszName)
        throw std::runtime_error(std::string("fake failure in ") + pszName);
}

FakeText Text(const char* psz)
{
    return psz != nullptr ? FakeText(psz) : std::nullopt;
}

FakeHandle* Handle(void* p)
{
    return static_cast<FakeHandle*>(p);
}

}  // namespace

VX_FAKE_API stFakeClientState* fakeclient_State()
{
    return &State();
}

VX_FAKE_API const char* mysql_get_client_info()
{
    Enter("mysql_get_client_info");
    return State().clientInfo.c_str();
}

#if VX_FAKE_KIND == 1
VX_FAKE_API unsigned long mysql_get_client_version()
{
    Enter("mysql_get_client_version");
    return State().nClientVersion;
}
#endif

#if VX_FAKE_KIND == 2
VX_FAKE_API unsigned char mariadb_get_infov(void*, int nValue, void* pArg, ...)
{
    Enter("mariadb_get_infov");
    if (nValue != 4 || pArg == nullptr)
        return 1;
    *static_cast<size_t*>(pArg) = State().nInfovVersion;
    return State().nInfovStatus;
}
#endif

VX_FAKE_API void mysql_server_end()
{
    Enter("mysql_server_end");
}

VX_FAKE_API const char* mysql_get_server_info(void*)
{
    Enter("mysql_get_server_info");
    return State().serverInfo.c_str();
}

VX_FAKE_API void* mysql_init(void* pHandle)
{
    Enter("mysql_init");
    if (pHandle != nullptr)
        return pHandle;
    if (State().bInitFails)
        return nullptr;
    auto* p = new FakeHandle;
    Handles().insert(p);
    ++State().nLiveHandles;
    return p;
}

VX_FAKE_API void* mysql_real_connect(void* pHandle, const char* host, const char* user, const char* passwd,
                                     const char* db, unsigned int port, const char* unixSocket,
                                     unsigned long clientFlag)
{
    Enter("mysql_real_connect");
    stFakeClientState& state = State();
    state.connects.push_back({pHandle, Text(host), Text(user), Text(passwd), Text(db), port, Text(unixSocket),
                              clientFlag});
    FakeHandle* p = Handle(pHandle);
    const auto refused = db != nullptr ? state.databaseErrors.find(db) : state.databaseErrors.end();
    if (refused != state.databaseErrors.end()) {
        p->nErrno = refused->second;
        p->error = std::string("Unknown database '") + db + "'";
        return nullptr;
    }
    if (state.bConnectSucceeds) {
        p->nErrno = 0;
        p->error.clear();
        return pHandle;
    }
    p->nErrno = state.nConnectErrno;
    p->error = state.connectError;
    return nullptr;
}

VX_FAKE_API void mysql_close(void* pHandle)
{
    Enter("mysql_close");
    FakeHandle* p = Handle(pHandle);
    if (Handles().erase(p) != 0) {
        --State().nLiveHandles;
        delete p;
    }
}

namespace {

unsigned long EscapeWithBackslashes(char* to, const char* from, unsigned long length)
{
    char* out = to;
    for (unsigned long i = 0; i < length; ++i) {
        const char c = from[i];
        const char* escape = c == 0 ? "\\0" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\x1a' ? "\\Z" : nullptr;
        if (escape == nullptr && (c == '\\' || c == '\'' || c == '"')) {
            *out++ = '\\';
            *out++ = c;
        } else if (escape != nullptr) {
            *out++ = escape[0];
            *out++ = escape[1];
        } else {
            *out++ = c;
        }
    }
    *out = 0;
    return static_cast<unsigned long>(out - to);
}

}  // namespace

VX_FAKE_API unsigned long mysql_escape_string(char* to, const char* from, unsigned long length)
{
    Enter("mysql_escape_string");
    return EscapeWithBackslashes(to, from, length);
}

VX_FAKE_API unsigned long mysql_real_escape_string(void*, char* to, const char* from, unsigned long length)
{
    Enter("mysql_real_escape_string");
    return EscapeWithBackslashes(to, from, length);
}

VX_FAKE_API int mysql_real_query(void* pHandle, const char* query, unsigned long length)
{
    Enter("mysql_real_query");
    stFakeClientState& state = State();
    const std::string text(query != nullptr ? query : "", query != nullptr ? length : 0);
    state.queries.push_back(text);
    // The guard's tests call it without a handle.
    FakeHandle none;
    FakeHandle* p = pHandle != nullptr ? Handle(pHandle) : &none;
    const auto refused = state.queryErrors.find(text);
    if (refused != state.queryErrors.end()) {
        p->nErrno = refused->second;
        p->error = "Refused (fake): " + text;
        return 1;
    }
    p->nErrno = 0;
    p->error.clear();
    return 0;
}

VX_FAKE_API void* mysql_store_result(void*)
{
    Enter("mysql_store_result");
    return nullptr;
}

VX_FAKE_API void* mysql_use_result(void*)
{
    Enter("mysql_use_result");
    return nullptr;
}

VX_FAKE_API void mysql_free_result(void*)
{
    Enter("mysql_free_result");
}

VX_FAKE_API void* mysql_fetch_fields(void*)
{
    Enter("mysql_fetch_fields");
    return nullptr;
}

VX_FAKE_API unsigned int mysql_num_fields(void*)
{
    Enter("mysql_num_fields");
    return 0;
}

VX_FAKE_API unsigned long* mysql_fetch_lengths(void*)
{
    Enter("mysql_fetch_lengths");
    return nullptr;
}

VX_FAKE_API void mysql_data_seek(void*, unsigned long long)
{
    Enter("mysql_data_seek");
}

#ifndef VX_FAKE_NO_FETCH_ROW
VX_FAKE_API char** mysql_fetch_row(void*)
{
    Enter("mysql_fetch_row");
    return nullptr;
}
#endif

VX_FAKE_API unsigned long long mysql_num_rows(void*)
{
    Enter("mysql_num_rows");
    return 0;
}

VX_FAKE_API unsigned long long mysql_insert_id(void*)
{
    Enter("mysql_insert_id");
    return 0;
}

VX_FAKE_API unsigned int mysql_errno(void* pHandle)
{
    Enter("mysql_errno");
    return Handle(pHandle)->nErrno;
}

VX_FAKE_API const char* mysql_error(void* pHandle)
{
    Enter("mysql_error");
    return Handle(pHandle)->error.c_str();
}

VX_FAKE_API unsigned long long mysql_affected_rows(void*)
{
    Enter("mysql_affected_rows");
    return 0;
}

#ifndef VX_FAKE_NO_NEXT_RESULT
VX_FAKE_API int mysql_next_result(void*)
{
    Enter("mysql_next_result");
    return -1;
}
#endif

VX_FAKE_API int mysql_set_character_set(void*, const char*)
{
    Enter("mysql_set_character_set");
    return 0;
}

#ifndef VX_FAKE_NO_SSL_SET
VX_FAKE_API int mysql_ssl_set(void* pHandle, const char* key, const char* cert, const char* ca, const char* capath,
                              const char* cipher)
{
    Enter("mysql_ssl_set");
    State().sslSets.push_back({pHandle, Text(key), Text(cert), Text(ca), Text(capath), Text(cipher)});
    return State().nSslSetResult;
}
#endif

#ifndef VX_FAKE_NO_OPTIONS
VX_FAKE_API int mysql_options(void* pHandle, int nOption, const void* pArg)
{
    Enter("mysql_options");
    stFakeClientState& state = State();
    stFakeOptionCall call{pHandle, nOption, pArg == nullptr, std::nullopt};
    for (int n : state.textOptions)
        if (n == nOption && pArg != nullptr)
            call.text = static_cast<const char*>(pArg);
    for (int n : state.byteOptions)
        if (n == nOption && pArg != nullptr)
            call.nByte = *static_cast<const unsigned char*>(pArg);
    state.options.push_back(call);
    return state.nOptionsResult;
}
#endif
