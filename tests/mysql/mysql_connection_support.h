#pragma once

// Helpers of the MySQL connection's tests: the test driver's choice that
// makes MySQL connections, a host description of a connection, and queries
// run on a connection's own handle through the bound client functions (for
// reading back what the connection wrote, in the connection's character
// set, before the statement layer exists).
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "mysql/client_api.h"
#include "mysql/mysql_connection.h"
#include "native/driver/error_object.h"

namespace vxtest {

// The test driver's connection factory (slot 59) making MySQL connections:
// CTestDriverChoices{.allocConnectionDescription = MySQLConnectionFactory()}.
inline std::function<CNAConnectionDescription*(const wchar_t*, INAConnectionDescription*)> MySQLConnectionFactory()
{
    return [](const wchar_t* pszIdentification, INAConnectionDescription* piConnection) -> CNAConnectionDescription* {
        return new (std::nothrow) CMySQLConnection(pszIdentification, piConnection);
    };
}

using HandleCell = std::optional<std::string>;  // nullopt: NULL
using HandleRows = std::vector<std::vector<HandleCell>>;

// The rows of one statement run on the connection's handle, each value as
// the bytes the server sent; nullopt when the statement fails or the
// connection holds no handle.
inline std::optional<HandleRows> QueryOnHandle(const CMySQLConnection& connection, const std::string& sSql)
{
    MYSQL* pHandle = connection.pGetMySQL();
    if (pHandle == nullptr || __mysql_real_query(pHandle, sSql.data(), sSql.size()) != 0)
        return std::nullopt;
    MYSQL_RES* pResult = __mysql_store_result(pHandle);
    if (pResult == nullptr)
        return __mysql_errno(pHandle) == 0 ? std::optional<HandleRows>(HandleRows{}) : std::nullopt;
    HandleRows rows;
    const unsigned nColumns = __mysql_num_fields(pResult);
    while (MYSQL_ROW row = __mysql_fetch_row(pResult)) {
        const unsigned long* pnLengths = __mysql_fetch_lengths(pResult);
        auto& out = rows.emplace_back();
        for (unsigned i = 0; i < nColumns; ++i)
            out.push_back(row[i] != nullptr ? HandleCell(std::string(row[i], pnLengths[i])) : std::nullopt);
    }
    __mysql_free_result(pResult);
    return rows;
}

// The one value of a one-row, one-column statement.
inline HandleCell ValueOnHandle(const CMySQLConnection& connection, const std::string& sSql)
{
    const std::optional<HandleRows> rows = QueryOnHandle(connection, sSql);
    if (!rows || rows->size() != 1 || rows->front().size() != 1)
        return std::nullopt;
    return rows->front().front();
}

}  // namespace vxtest
