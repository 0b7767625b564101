// A fake client library, built into several shared objects that differ by
// the macros below (CMakeLists.txt beside it names each variant):
//   VX_FAKE_KIND  0 names its version by text only, 1 also answers
//                 mysql_get_client_version, 2 mariadb_get_infov;
//   VX_FAKE_NO_FETCH_ROW, VX_FAKE_NO_NEXT_RESULT, VX_FAKE_NO_OPTIONS,
//   VX_FAKE_NO_SSL_SET, VX_FAKE_NO_SSL_CIPHER  leave that function out.
// Its answers and records live in one stFakeClientState (fake_client_state.h).
// Nothing here reaches a server: a text runs the statements its script
// names (results with fields and rows, statements without result set,
// failures), and any other text is one statement without result set.
// Results hold their field records in the layout the state names and each
// row's values packed one after the other as the real library keeps them.
#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>

#include "mysql/client_api.h"
#include "tests/mysql/fake_client/fake_client_state.h"

#define VX_FAKE_API extern "C" __attribute__((visibility("default")))

namespace {

struct FakeHandle
{
    unsigned int nErrno = 0;
    std::string error;
    // The statements of the text last run; the current one, and whether its
    // result was taken.
    std::vector<stFakeStatement> statements;
    size_t nCurrent = 0;
    bool bTaken = false;
};

// A result taken from a handle: its field records and its rows.
struct FakeResult
{
    bool bUnbuffered = false;
    std::vector<std::string> names;
    std::vector<uint64_t> fieldRecords;  // 8-byte aligned records
    std::vector<std::vector<char>> rowBytes;
    std::vector<std::vector<char*>> rowValues;
    std::vector<std::vector<unsigned long>> rowLengths;
    std::vector<std::unique_ptr<char[]>> apart;  // the values' own blocks
    size_t nCursor = 0;
    long nCurrent = -1;        // index of the row last fetched
    int nCurrentGlobal = -1;   // that row's number among all rows fetched
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

// The library's handles and results are this fake's own records.
FakeHandle* Handle(MYSQL* p)
{
    return reinterpret_cast<FakeHandle*>(p);
}

template <class T>
void Put(std::vector<uint64_t>& records, size_t nOffset, T value)
{
    std::memcpy(reinterpret_cast<unsigned char*>(records.data()) + nOffset, &value, sizeof value);
}

// The field records of a layout, at the offsets of each client version.
void WriteFields(FakeResult& result, const std::vector<stFakeField>& fields, int nLayout)
{
    for (const stFakeField& field : fields)
        result.names.push_back(field.name);
    const size_t nStride = static_cast<size_t>(nLayout);
    result.fieldRecords.assign((fields.size() * nStride + 7) / 8 + 1, 0);
    for (size_t i = 0; i < fields.size(); ++i) {
        const stFakeField& f = fields[i];
        const size_t at = i * nStride;
        Put(result.fieldRecords, at, result.names[i].c_str());
        switch (nLayout) {
        case 48:
            Put(result.fieldRecords, at + 24, f.nType);
            Put(result.fieldRecords, at + 28, static_cast<uint32_t>(f.nLength));
            Put(result.fieldRecords, at + 32, static_cast<uint32_t>(f.nMaxLength));
            Put(result.fieldRecords, at + 36, f.nFlags);
            Put(result.fieldRecords, at + 40, f.nDecimals);
            break;
        case 72:
            Put(result.fieldRecords, at + 40, f.nLength);
            Put(result.fieldRecords, at + 48, f.nMaxLength);
            Put(result.fieldRecords, at + 56, f.nFlags);
            Put(result.fieldRecords, at + 60, f.nDecimals);
            Put(result.fieldRecords, at + 64, f.nType);
            break;
        default:
            Put(result.fieldRecords, at + 56, f.nLength);
            Put(result.fieldRecords, at + 64, f.nMaxLength);
            Put(result.fieldRecords, at + 100, f.nFlags);
            Put(result.fieldRecords, at + 104, f.nDecimals);
            Put(result.fieldRecords, at + 108, f.nCharset);
            Put(result.fieldRecords, at + 112, f.nType);
            break;
        }
    }
}

FakeResult* NewResult(const stFakeStatement& statement, bool bUnbuffered)
{
    auto* p = new FakeResult;
    p->bUnbuffered = bUnbuffered;
    WriteFields(*p, statement.fields, State().nFieldLayout);
    for (const FakeRow& row : statement.rows) {
        std::vector<char>& bytes = p->rowBytes.emplace_back();
        std::vector<unsigned long>& lengths = p->rowLengths.emplace_back();
        for (const FakeText& value : row) {
            lengths.push_back(value ? value->size() : 0);
            if (value)
                bytes.insert(bytes.end(), value->begin(), value->end());
            bytes.push_back(0);
        }
        // Pointers once the bytes no longer move.
        std::vector<char*>& values = p->rowValues.emplace_back();
        size_t at = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            char* pValue = row[i] ? bytes.data() + at : nullptr;
            if (pValue != nullptr && State().bValuesApart) {
                p->apart.push_back(std::make_unique<char[]>(lengths[i] + 1));
                std::memcpy(p->apart.back().get(), pValue, lengths[i] + 1);
                pValue = p->apart.back().get();
            }
            values.push_back(pValue);
            at += lengths[i] + 1;
        }
    }
    ++State().nLiveResults;
    return p;
}

// The result of the handle's current statement, once; null for a
// statement without result set.
FakeResult* TakeResult(MYSQL* pHandle, bool bUnbuffered)
{
    FakeHandle* p = Handle(pHandle);
    p->nErrno = 0;
    p->error.clear();
    if (p->bTaken || p->nCurrent >= p->statements.size() || !p->statements[p->nCurrent].bResultSet)
        return nullptr;
    p->bTaken = true;
    return NewResult(p->statements[p->nCurrent], bUnbuffered);
}

FakeResult* Result(MYSQL_RES* p)
{
    return reinterpret_cast<FakeResult*>(p);
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
VX_FAKE_API unsigned char mariadb_get_infov(MYSQL*, int nValue, void* pArg, ...)
{
    Enter("mariadb_get_infov");
    if (nValue == 30 && pArg != nullptr && State().infovServerStatus) {
        *static_cast<unsigned*>(pArg) = *State().infovServerStatus;
        return 0;
    }
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

VX_FAKE_API const char* mysql_get_server_info(MYSQL*)
{
    Enter("mysql_get_server_info");
    return State().serverInfo.c_str();
}

VX_FAKE_API MYSQL* mysql_init(MYSQL* pHandle)
{
    Enter("mysql_init");
    if (pHandle != nullptr)
        return pHandle;
    if (State().bInitFails)
        return nullptr;
    auto* p = new FakeHandle;
    Handles().insert(p);
    ++State().nLiveHandles;
    return reinterpret_cast<MYSQL*>(p);
}

VX_FAKE_API MYSQL* mysql_real_connect(MYSQL* pHandle, const char* host, const char* user, const char* passwd,
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

VX_FAKE_API void mysql_close(MYSQL* pHandle)
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

VX_FAKE_API unsigned long mysql_real_escape_string(MYSQL*, char* to, const char* from, unsigned long length)
{
    Enter("mysql_real_escape_string");
    return EscapeWithBackslashes(to, from, length);
}

VX_FAKE_API int mysql_real_query(MYSQL* pHandle, const char* query, unsigned long length)
{
    Enter("mysql_real_query");
    stFakeClientState& state = State();
    const std::string text(query != nullptr ? query : "", query != nullptr ? length : 0);
    state.queries.push_back(text);
    // The guard's tests call it without a handle.
    FakeHandle none;
    FakeHandle* p = pHandle != nullptr ? Handle(pHandle) : &none;
    auto refused = state.queryErrors.find(text);
    const auto times = state.queryErrorTimes.find(text);
    if (refused != state.queryErrors.end() && times != state.queryErrorTimes.end() && times->second-- <= 0)
        refused = state.queryErrors.end();
    if (refused != state.queryErrors.end()) {
        p->nErrno = refused->second;
        p->error = "Refused (fake): " + text;
        p->statements.clear();
        return 1;
    }
    const auto script = state.scripts.find(text);
    p->statements = script != state.scripts.end() ? script->second : std::vector<stFakeStatement>(1);
    p->nCurrent = 0;
    p->bTaken = false;
    if (!p->statements.empty() && p->statements.front().nErrno != 0) {
        p->nErrno = p->statements.front().nErrno;
        p->error = p->statements.front().error;
        p->statements.clear();
        return 1;
    }
    p->nErrno = 0;
    p->error.clear();
    return 0;
}

VX_FAKE_API MYSQL_RES* mysql_store_result(MYSQL* pHandle)
{
    Enter("mysql_store_result");
    return reinterpret_cast<MYSQL_RES*>(TakeResult(pHandle, false));
}

VX_FAKE_API MYSQL_RES* mysql_use_result(MYSQL* pHandle)
{
    Enter("mysql_use_result");
    return reinterpret_cast<MYSQL_RES*>(TakeResult(pHandle, true));
}

VX_FAKE_API void mysql_free_result(MYSQL_RES* pResult)
{
    Enter("mysql_free_result");
    if (pResult != nullptr) {
        delete Result(pResult);
        --State().nLiveResults;
    }
}

VX_FAKE_API MYSQL_FIELD* mysql_fetch_fields(MYSQL_RES* pResult)
{
    Enter("mysql_fetch_fields");
    return pResult != nullptr ? reinterpret_cast<MYSQL_FIELD*>(Result(pResult)->fieldRecords.data()) : nullptr;
}

VX_FAKE_API unsigned int mysql_num_fields(MYSQL_RES* pResult)
{
    Enter("mysql_num_fields");
    return pResult != nullptr ? static_cast<unsigned>(Result(pResult)->names.size()) : 0;
}

VX_FAKE_API unsigned long* mysql_fetch_lengths(MYSQL_RES* pResult)
{
    Enter("mysql_fetch_lengths");
    FakeResult* p = Result(pResult);
    if (p == nullptr || p->nCurrent < 0)
        return nullptr;
    const int nNullFrom = State().nLengthsNullFromRow;
    if (nNullFrom >= 0 && p->nCurrentGlobal >= nNullFrom)
        return nullptr;
    return p->rowLengths[static_cast<size_t>(p->nCurrent)].data();
}

VX_FAKE_API void mysql_data_seek(MYSQL_RES* pResult, unsigned long long nRow)
{
    Enter("mysql_data_seek");
    FakeResult* p = Result(pResult);
    p->nCursor = static_cast<size_t>(nRow);
    p->nCurrent = -1;
}

#ifndef VX_FAKE_NO_FETCH_ROW
VX_FAKE_API char** mysql_fetch_row(MYSQL_RES* pResult)
{
    Enter("mysql_fetch_row");
    FakeResult* p = Result(pResult);
    if (p == nullptr || p->nCursor >= p->rowValues.size()) {
        if (p != nullptr)
            p->nCurrent = -1;
        return nullptr;
    }
    p->nCurrent = static_cast<long>(p->nCursor++);
    p->nCurrentGlobal = State().nRowsFetched++;
    return p->rowValues[static_cast<size_t>(p->nCurrent)].data();
}
#endif

VX_FAKE_API unsigned long long mysql_num_rows(MYSQL_RES* pResult)
{
    Enter("mysql_num_rows");
    const FakeResult* p = Result(pResult);
    if (p == nullptr)
        return 0;
    // An unbuffered result knows the rows read so far.
    return p->bUnbuffered ? p->nCursor : p->rowValues.size();
}

VX_FAKE_API unsigned long long mysql_insert_id(MYSQL*)
{
    Enter("mysql_insert_id");
    return 0;
}

VX_FAKE_API unsigned int mysql_errno(MYSQL* pHandle)
{
    Enter("mysql_errno");
    return Handle(pHandle)->nErrno;
}

VX_FAKE_API const char* mysql_error(MYSQL* pHandle)
{
    Enter("mysql_error");
    return Handle(pHandle)->error.c_str();
}

VX_FAKE_API unsigned long long mysql_affected_rows(MYSQL* pHandle)
{
    Enter("mysql_affected_rows");
    const FakeHandle* p = Handle(pHandle);
    if (p == nullptr || p->nCurrent >= p->statements.size())
        return 0;
    return p->statements[p->nCurrent].nAffectedRows;
}

#ifndef VX_FAKE_NO_NEXT_RESULT
VX_FAKE_API int mysql_next_result(MYSQL* pHandle)
{
    Enter("mysql_next_result");
    FakeHandle* p = Handle(pHandle);
    if (p->nCurrent + 1 >= p->statements.size())
        return -1;
    ++p->nCurrent;
    p->bTaken = false;
    const stFakeStatement& next = p->statements[p->nCurrent];
    if (next.nErrno != 0) {
        // The server stops at a failed statement: nothing follows it.
        p->nErrno = next.nErrno;
        p->error = next.error;
        p->statements.resize(p->nCurrent);
        return 1;
    }
    p->nErrno = 0;
    p->error.clear();
    return 0;
}
#endif

VX_FAKE_API int mysql_set_character_set(MYSQL*, const char*)
{
    Enter("mysql_set_character_set");
    return 0;
}

#ifndef VX_FAKE_NO_SSL_SET
VX_FAKE_API int mysql_ssl_set(MYSQL* pHandle, const char* key, const char* cert, const char* ca, const char* capath,
                              const char* cipher)
{
    Enter("mysql_ssl_set");
    State().sslSets.push_back({pHandle, Text(key), Text(cert), Text(ca), Text(capath), Text(cipher)});
    return State().nSslSetResult;
}
#endif

#ifndef VX_FAKE_NO_OPTIONS
VX_FAKE_API int mysql_options(MYSQL* pHandle, mysql_option nOption, const void* pArg)
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
    for (int n : state.unsignedOptions)
        if (n == nOption && pArg != nullptr)
            call.nUnsigned = *static_cast<const unsigned int*>(pArg);
    state.options.push_back(call);
    const auto it = state.optionResults.find(nOption);
    return it != state.optionResults.end() ? it->second : state.nOptionsResult;
}
#endif

#ifndef VX_FAKE_NO_SSL_CIPHER
VX_FAKE_API const char* mysql_get_ssl_cipher(MYSQL*)
{
    Enter("mysql_get_ssl_cipher");
    return State().sslCipher ? State().sslCipher->c_str() : nullptr;
}
#endif
