#include "tests/support/raw_client.h"

#include <dlfcn.h>

#include <mutex>
#include <utility>

namespace vxtest {

namespace {

struct Mysql;
struct MysqlResult;

// The client library's functions, with their real signatures.
struct Api
{
    Mysql* (*init)(Mysql*);
    Mysql* (*real_connect)(Mysql*, const char* host, const char* user, const char* password, const char* db,
                           unsigned int port, const char* unix_socket, unsigned long client_flag);
    void (*close)(Mysql*);
    int (*set_character_set)(Mysql*, const char*);
    int (*real_query)(Mysql*, const char*, unsigned long);
    MysqlResult* (*store_result)(Mysql*);
    unsigned int (*field_count)(Mysql*);
    int (*next_result)(Mysql*);
    unsigned int (*num_fields)(MysqlResult*);
    char** (*fetch_row)(MysqlResult*);
    unsigned long* (*fetch_lengths)(MysqlResult*);
    void (*free_result)(MysqlResult*);
    uint64_t (*affected_rows)(Mysql*);
    unsigned int (*error_number)(Mysql*);
    const char* (*error)(Mysql*);
};

struct Loaded
{
    Api api{};
    std::string sWhy;  // empty when every function was found
};

template <typename F>
bool bBind(void* pLibrary, const char* pszName, F& target, std::string& sWhy)
{
    target = reinterpret_cast<F>(dlsym(pLibrary, pszName));
    if (target == nullptr && sWhy.empty())
        sWhy = std::string("libmysqlclient.so has no ") + pszName;
    return target != nullptr;
}

const Loaded& Library()
{
    static Loaded loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        void* pLibrary = dlopen("libmysqlclient.so", RTLD_NOW | RTLD_LOCAL);
        if (pLibrary == nullptr)
        {
            const char* psz = dlerror();
            loaded.sWhy = std::string("cannot load libmysqlclient.so (libmariadb-dev-compat): ") + (psz ? psz : "");
            return;
        }
        Api& a = loaded.api;
        std::string& w = loaded.sWhy;
        bBind(pLibrary, "mysql_init", a.init, w);
        bBind(pLibrary, "mysql_real_connect", a.real_connect, w);
        bBind(pLibrary, "mysql_close", a.close, w);
        bBind(pLibrary, "mysql_set_character_set", a.set_character_set, w);
        bBind(pLibrary, "mysql_real_query", a.real_query, w);
        bBind(pLibrary, "mysql_store_result", a.store_result, w);
        bBind(pLibrary, "mysql_field_count", a.field_count, w);
        bBind(pLibrary, "mysql_next_result", a.next_result, w);
        bBind(pLibrary, "mysql_num_fields", a.num_fields, w);
        bBind(pLibrary, "mysql_fetch_row", a.fetch_row, w);
        bBind(pLibrary, "mysql_fetch_lengths", a.fetch_lengths, w);
        bBind(pLibrary, "mysql_free_result", a.free_result, w);
        bBind(pLibrary, "mysql_affected_rows", a.affected_rows, w);
        bBind(pLibrary, "mysql_errno", a.error_number, w);
        bBind(pLibrary, "mysql_error", a.error, w);
    });
    return loaded;
}

const Api& Calls()
{
    return Library().api;
}

Mysql* Handle(void* p)
{
    return static_cast<Mysql*>(p);
}

}  // namespace

bool RawClientLibraryLoaded(std::string* psWhy)
{
    *psWhy = Library().sWhy;
    return psWhy->empty();
}

RawClient::~RawClient()
{
    Close();
}

RawClient::RawClient(RawClient&& other) noexcept
    : m_pHandle(std::exchange(other.m_pHandle, nullptr)), m_nError(other.m_nError), m_sError(std::move(other.m_sError)),
      m_nAffectedRows(other.m_nAffectedRows)
{
}

RawClient& RawClient::operator=(RawClient&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_pHandle = std::exchange(other.m_pHandle, nullptr);
        m_nError = other.m_nError;
        m_sError = std::move(other.m_sError);
        m_nAffectedRows = other.m_nAffectedRows;
    }
    return *this;
}

bool RawClient::bFail(unsigned nError, std::string sError)
{
    m_nError = nError;
    m_sError = std::move(sError);
    return false;
}

bool RawClient::bSucceed()
{
    m_nError = 0;
    m_sError.clear();
    return true;
}

bool RawClient::bFailFromServer()
{
    return bFail(Calls().error_number(Handle(m_pHandle)), Calls().error(Handle(m_pHandle)));
}

bool RawClient::bConnect(const MariadbServer& server, const MariadbAccount& account, MariadbRoute route,
                         const std::string& sDatabase)
{
    Close();
    if (std::string sWhy; !RawClientLibraryLoaded(&sWhy))
        return bFail(0, sWhy);
    Mysql* p = Calls().init(nullptr);
    if (p == nullptr)
        return bFail(0, "mysql_init failed");
    const bool bSocket = route == MariadbRoute::Socket;
    if (Calls().real_connect(p, bSocket ? "localhost" : "127.0.0.1", account.sUser.c_str(), account.sPassword.c_str(),
                             sDatabase.empty() ? nullptr : sDatabase.c_str(), bSocket ? 0 : server.nPort,
                             bSocket ? server.sSocket.c_str() : nullptr, 0) == nullptr)
    {
        bFail(Calls().error_number(p), Calls().error(p));
        Calls().close(p);
        return false;
    }
    m_pHandle = p;
    return bSetCharacterSet("utf8mb4");
}

void RawClient::Close()
{
    if (m_pHandle != nullptr)
        Calls().close(Handle(std::exchange(m_pHandle, nullptr)));
}

bool RawClient::bSetCharacterSet(const std::string& sName)
{
    if (m_pHandle == nullptr)
        return bFail(0, "not connected");
    if (Calls().set_character_set(Handle(m_pHandle), sName.c_str()) != 0)
        return bFailFromServer();
    return bSucceed();
}

std::optional<RawRows> RawClient::Query(std::string_view sSql)
{
    m_nAffectedRows = UINT64_MAX;
    if (m_pHandle == nullptr)
    {
        bFail(0, "not connected");
        return std::nullopt;
    }
    Mysql* p = Handle(m_pHandle);
    if (Calls().real_query(p, sSql.data(), static_cast<unsigned long>(sSql.size())) != 0)
    {
        bFailFromServer();
        return std::nullopt;
    }
    RawRows rows;
    MysqlResult* pResult = Calls().store_result(p);
    if (pResult == nullptr && Calls().field_count(p) != 0)
    {
        bFailFromServer();
        return std::nullopt;
    }
    // Kept now: looking for further results resets the library's count.
    m_nAffectedRows = Calls().affected_rows(p);
    // A statement without rows gives no result: the library's row calls are
    // not made on a null result.
    if (pResult != nullptr)
    {
        const unsigned nFields = Calls().num_fields(pResult);
        while (char** ppRow = Calls().fetch_row(pResult))
        {
            const unsigned long* pLengths = Calls().fetch_lengths(pResult);
            RawRow& row = rows.emplace_back();
            for (unsigned i = 0; i < nFields; ++i)
                row.push_back(ppRow[i] ? RawCell(std::string(ppRow[i], pLengths[i])) : std::nullopt);
        }
        Calls().free_result(pResult);
    }
    // The results a procedure adds go unread, so that the connection takes
    // the next statement.
    while (Calls().next_result(p) == 0)
        if (MysqlResult* pMore = Calls().store_result(p))
            Calls().free_result(pMore);
    bSucceed();
    return rows;
}

bool RawClient::bExecute(std::string_view sSql)
{
    return Query(sSql).has_value();
}

std::optional<std::string> RawClient::Value(std::string_view sSql)
{
    std::optional<RawRows> rows = Query(sSql);
    if (!rows)
        return std::nullopt;
    if (rows->size() != 1 || (*rows)[0].size() != 1)
    {
        bFail(0, "not one row of one value: " + std::string(sSql));
        return std::nullopt;
    }
    return (*rows)[0][0];
}

std::string QuoteIdentifier(std::string_view sName)
{
    std::string s = "`";
    for (char c : sName)
    {
        if (c == '`')
            s.push_back('`');
        s.push_back(c);
    }
    return s + "`";
}

std::string HexLiteral(std::string_view sBytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s = "X'";
    for (unsigned char c : sBytes)
    {
        s.push_back(kDigits[c >> 4]);
        s.push_back(kDigits[c & 15]);
    }
    return s + "'";
}

RawClient ConnectAsTestUser(const std::string& sDatabase)
{
    RawClient client;
    const MariadbServer& server = Mariadb();
    EXPECT_TRUE(client.bConnect(server, server.user, MariadbRoute::Socket,
                                sDatabase.empty() ? server.sDatabase : sDatabase))
        << client.sError();
    return client;
}

RawClient ConnectAsAdmin()
{
    RawClient client;
    EXPECT_TRUE(client.bConnect(Mariadb(), Mariadb().admin)) << client.sError();
    return client;
}

}  // namespace vxtest
