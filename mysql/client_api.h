#pragma once

// The client library's functions as the driver reaches them: one
// process-wide pointer per function, named __<function>, bound at run time
// by the loader (function_loader.h). The client's header is never included:
// the few types are declared here with the real signatures, and records
// (MYSQL_FIELD) are read at the offsets of their layout (client_version.h).
//
// Invariants a reader must keep:
// - A pointer always holds the library's function or its stub
//   DefaultError_<function>, never null. A stub throws a CTString holding its
//   function's name and never returns; every call therefore goes through the
//   guard (client_call_guard.h), which turns that throw, or anything else
//   thrown inside the library, into an error of the caller.
// - The library does not survive a null result: mysql_data_seek,
//   mysql_num_rows and mysql_fetch_fields crash on one; test the result
//   pointer before each call. No signal handler is installed.
// - mysql_ssl_set returns an int in Connector/C but a one-byte my_bool in the
//   5.x client: test its low byte only.
// - mysql_affected_rows answers (my_ulonglong)-1 after an error.
// - The table is touched only under the driver-wide mutex.
#include <cstdint>

struct MYSQL;
struct MYSQL_RES;
struct MYSQL_FIELD;
using MYSQL_ROW = char**;
using my_ulonglong = unsigned long long;
// The option numbers are those of the client's enumeration; the connection
// names the ones it passes. Up to 12 every client since 4.1 numbers them
// alike; the later ones moved between clients (the 8.x client gave 21 to
// another option and has no 38), so the connection passes those only to a
// client the loader identified as numbering them so
// (CNAFunctionLoader::g_bKnowsVerifyServerCertOption,
// g_bKnowsSSLEnforceOption and g_bKnowsRestrictedAuthOption).
enum mysql_option : int
{
    // A pointer to an unsigned int of seconds each: the longest wait for
    // the connect with its handshake, for one read, for one write.
    MYSQL_OPT_CONNECT_TIMEOUT = 0,
    MYSQL_OPT_READ_TIMEOUT = 11,
    MYSQL_OPT_WRITE_TIMEOUT = 12,
    // A character set name: the connection's character set on the server.
    MYSQL_SET_CHARSET_NAME = 7,
    // A pointer to a one-byte flag: verify the server's certificate against
    // the CA given to mysql_ssl_set.
    MYSQL_OPT_SSL_VERIFY_SERVER_CERT = 21,
    // A pointer to a one-byte flag: TLS or no connection (how far a client
    // holds to it differs: mysql_connection_open.cpp).
    MYSQL_OPT_SSL_ENFORCE = 38,
    // Connector/C's own (numbered from 7000 and only ever appended to): a
    // comma-separated list of the only authentication plug-ins the library
    // may run; any other the server asks for fails the connect with
    // CR_PLUGIN_NOT_ALLOWED. A Connector/C older than the option refuses it.
    MARIADB_OPT_RESTRICTED_AUTH = 7026,
};

// The client's error of a plug-in refused by MARIADB_OPT_RESTRICTED_AUTH.
inline constexpr unsigned kClientPlugInNotAllowed = 5010;

// The 24 functions in lookup order: kind (a missing required function stops
// the load), return type, name, parameters.
#define VX_MYSQL_CLIENT_FUNCTIONS(X)                                                                              \
    X(Required, const char*, mysql_get_client_info, (void))                                                      \
    X(Required, const char*, mysql_get_server_info, (MYSQL*))                                                    \
    X(Required, MYSQL*, mysql_init, (MYSQL*))                                                                    \
    X(Required, MYSQL*, mysql_real_connect,                                                                      \
      (MYSQL*, const char* host, const char* user, const char* passwd, const char* db, unsigned int port,        \
       const char* unix_socket, unsigned long clientflag))                                                       \
    X(Required, void, mysql_close, (MYSQL*))                                                                     \
    X(Required, unsigned long, mysql_escape_string, (char* to, const char* from, unsigned long length))          \
    X(Required, int, mysql_real_query, (MYSQL*, const char* query, unsigned long length))                        \
    X(Required, MYSQL_RES*, mysql_store_result, (MYSQL*))                                                        \
    X(Required, MYSQL_RES*, mysql_use_result, (MYSQL*))                                                          \
    X(Required, void, mysql_free_result, (MYSQL_RES*))                                                           \
    X(Required, MYSQL_FIELD*, mysql_fetch_fields, (MYSQL_RES*))                                                  \
    X(Required, unsigned int, mysql_num_fields, (MYSQL_RES*))                                                    \
    X(Required, unsigned long*, mysql_fetch_lengths, (MYSQL_RES*))                                               \
    X(Required, void, mysql_data_seek, (MYSQL_RES*, my_ulonglong row))                                           \
    X(Required, MYSQL_ROW, mysql_fetch_row, (MYSQL_RES*))                                                        \
    X(Required, my_ulonglong, mysql_num_rows, (MYSQL_RES*))                                                      \
    X(Required, my_ulonglong, mysql_insert_id, (MYSQL*))                                                         \
    X(Required, unsigned int, mysql_errno, (MYSQL*))                                                             \
    X(Required, const char*, mysql_error, (MYSQL*))                                                              \
    X(Required, my_ulonglong, mysql_affected_rows, (MYSQL*))                                                     \
    X(Optional, int, mysql_next_result, (MYSQL*))                                                                \
    /* Looked up, never called. */                                                                               \
    X(Optional, int, mysql_set_character_set, (MYSQL*, const char* csname))                                      \
    X(Optional, int, mysql_ssl_set,                                                                              \
      (MYSQL*, const char* key, const char* cert, const char* ca, const char* capath, const char* cipher))       \
    X(Optional, int, mysql_options, (MYSQL*, mysql_option option, const void* arg))

// Optional functions bound after the walk of the 24 has found every
// required one; a library that lacks one leaves its stub, and the caller
// falls back on an older function of the 24 or decides without it.
#define VX_MYSQL_LATER_CLIENT_FUNCTIONS(X)                                                                        \
    /* Escapes for the connection's character set and SQL mode on the server */                                 \
    /* (quotes doubled under NO_BACKSLASH_ESCAPES). */                                                           \
    X(Optional, unsigned long, mysql_real_escape_string, (MYSQL*, char* to, const char* from, unsigned long length)) \
    /* Whether another result of the text follows (a one-byte my_bool): */                                        \
    /* mysql_next_result without one clears the affected-row count. */                                             \
    X(Optional, unsigned char, mysql_more_results, (MYSQL*))                                                      \
    /* The cipher of the connection's TLS session, null in clear text: the */                                     \
    /* only word a connection that asked for TLS has that it got it. */                                            \
    X(Optional, const char*, mysql_get_ssl_cipher, (MYSQL*))                                                     \
    /* Connector/C's properties and the connection's, 0 on success; among */                                    \
    /* them the server status of the last answer (the transaction the */                                        \
    /* server holds). */                                                                                        \
    X(Optional, unsigned char, mariadb_get_infov, (MYSQL*, int value, void* arg, ...))

#define VX_MYSQL_DECLARE_POINTER(kind, ret, name, params) \
    extern ret(*__##name) params;                         \
    [[noreturn]] ret DefaultError_##name params;
VX_MYSQL_CLIENT_FUNCTIONS(VX_MYSQL_DECLARE_POINTER)
VX_MYSQL_LATER_CLIENT_FUNCTIONS(VX_MYSQL_DECLARE_POINTER)
#undef VX_MYSQL_DECLARE_POINTER

// One function of the table, for the loader's walk.
struct stMySQLClientFunction
{
    const char* pszName;
    bool bRequired;
    // Sets the pointer to the symbol, or to the stub for a null symbol.
    void (*pfnBind)(void* pSymbol);
    // Whether the pointer holds the stub.
    bool (*pfnIsStub)();
};

// The table in lookup order.
inline constexpr int kMySQLClientFunctionCount = 24;
extern const stMySQLClientFunction gastMySQLClientFunctions[kMySQLClientFunctionCount];
// The functions bound after the walk, all optional.
inline constexpr int kMySQLLaterClientFunctionCount = 4;
extern const stMySQLClientFunction gastMySQLLaterClientFunctions[kMySQLLaterClientFunctionCount];

// mariadb_get_infov's property of the server status of the last answer (an
// unsigned int), and its bits of an open transaction and of autocommit.
inline constexpr int kMariadbServerStatus = 30;
inline constexpr unsigned kServerStatusInTrans = 1;
inline constexpr unsigned kServerStatusAutocommit = 2;

// Every pointer back to its stub.
void ResetMySQLClientFunctions();
