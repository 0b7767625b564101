#pragma once

// The state of a fake client library (fake_client.cpp): what its functions
// answer and what they were called with. The fake exports it as
// fakeclient_State(); a test reaches it through CFakeClient
// (fake_client.h), changes the answers before the code under test calls,
// and reads the records afterwards.
//
// One source makes several libraries that differ in how they name their
// version (mariadb_get_infov, mysql_get_client_version or neither) and in
// the functions they leave out. Another answer comes as a new member and
// the function that reads it, never as a changed default, so that every
// variant keeps answering as its tests expect.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using FakeText = std::optional<std::string>;  // nullopt: a null pointer

struct stFakeConnectCall
{
    const void* pHandle;
    FakeText host, user, passwd, db;
    unsigned int port;
    FakeText unixSocket;
    unsigned long clientFlag;
};

struct stFakeOptionCall
{
    const void* pHandle;
    int nOption;
    bool bArgNull;
    // The argument as text, for the options listed in textOptions.
    FakeText text;
    // The argument's first byte, for the options listed in byteOptions
    // (flags passed as a pointer to one byte); -1 otherwise.
    int nByte = -1;
    // The argument as an unsigned int, for the options listed in
    // unsignedOptions (the time-outs); -1 otherwise.
    long long nUnsigned = -1;
};

struct stFakeSslCall
{
    const void* pHandle;
    FakeText key, cert, ca, capath, cipher;
};

// One field of a scripted result, written by the fake into a MYSQL_FIELD
// record of the layout the state names (nFieldLayout).
struct stFakeField
{
    std::string name;
    int nType = 253;  // VAR_STRING
    uint64_t nLength = 0;
    uint64_t nMaxLength = 0;
    unsigned nFlags = 0;
    unsigned nDecimals = 0;
    unsigned nCharset = 8;
};

using FakeRow = std::vector<FakeText>;

// One statement of a scripted text: a result set (bResultSet, its fields and
// rows), or none; nErrno not 0 makes it fail (the first statement of a text
// fails mysql_real_query, a later one the mysql_next_result that reaches
// it).
struct stFakeStatement
{
    bool bResultSet = false;
    std::vector<stFakeField> fields;
    std::vector<FakeRow> rows;
    unsigned nErrno = 0;
    std::string error;
    uint64_t nAffectedRows = 0;
};

struct stFakeClientState
{
    // Answers.
    std::string clientInfo = "5.1.73";        // mysql_get_client_info
    unsigned long nClientVersion = 50173;     // mysql_get_client_version
    uint64_t nInfovVersion = 101119;          // mariadb_get_infov, client version number
    unsigned char nInfovStatus = 0;
    // mariadb_get_infov's property "server status" (30): unset, the
    // property is refused as by a library that does not know it.
    std::optional<unsigned> infovServerStatus;
    std::string serverInfo = "10.11.19-fake";  // mysql_get_server_info
    bool bConnectSucceeds = true;
    unsigned int nConnectErrno = 2002;        // after a refused mysql_real_connect
    std::string connectError = "Can't connect to server (fake)";
    int nOptionsResult = 0;
    int nSslSetResult = 0;
    // The function of this name throws a std::runtime_error; empty: none.
    std::string throwIn;
    // mysql_init answers null.
    bool bInitFails = false;
    // mysql_real_query refuses these texts with the error number given.
    std::map<std::string, unsigned int> queryErrors;
    // A text of queryErrors named here is refused that many times more,
    // then runs.
    std::map<std::string, int> queryErrorTimes;
    // mysql_real_connect refuses a connection to a database of this name
    // with the error number given (1049 for one that does not exist).
    std::map<std::string, unsigned int> databaseErrors;
    // mysql_options arguments read as text: the character set, the
    // authentication plug-ins allowed.
    std::vector<int> textOptions = {7, 7026};
    // mysql_options arguments read as one byte.
    std::vector<int> byteOptions = {21};
    // mysql_options arguments read as an unsigned int.
    std::vector<int> unsignedOptions = {0, 11, 12};
    // mysql_options answers this for the option, in place of
    // nOptionsResult.
    std::map<int, int> optionResults;
    // mysql_get_ssl_cipher answers this whatever the connect did.
    FakeText sslCipher = "TLS_AES_256_GCM_SHA384";
    // The statements of these texts, in order; any other text is one
    // statement without result set.
    std::map<std::string, std::vector<stFakeStatement>> scripts;
    // The size of one MYSQL_FIELD record the fake writes: 48, 72, 120 or
    // 128, the layouts of the client versions.
    int nFieldLayout = 128;
    // mysql_fetch_lengths answers null from this fetched row on (counted
    // from 0 over the process); -1: never.
    int nLengthsNullFromRow = -1;
    // Each value of a row in a heap block of its own, exactly its bytes and
    // a terminator, so that a read past a value shows under a sanitizer
    // (the library packs a row's values one after the other).
    bool bValuesApart = false;

    // Records.
    std::map<std::string, int> calls;  // calls per function name
    std::vector<stFakeConnectCall> connects;
    std::vector<stFakeOptionCall> options;
    std::vector<stFakeSslCall> sslSets;
    // The texts mysql_real_query was given, whole.
    std::vector<std::string> queries;
    int nLiveHandles = 0;  // made by mysql_init and not closed
    int nLiveResults = 0;  // made by mysql_store_result or mysql_use_result and not freed
    int nRowsFetched = 0;  // rows mysql_fetch_row gave
};
