#pragma once

// Helpers of the MySQL connection's tests: a connection whose server version
// and type map a test sets, and queries run on a connection's own handle
// through the bound client functions (for reading back what the connection
// wrote, in the connection's character set, before the statement layer
// exists).
#include <optional>
#include <string>
#include <vector>

#include "mysql/client_api.h"
#include "mysql/mysql_connection.h"
#include "native/driver/error_object.h"
#include "native/model/type_map.h"

namespace vxtest {

// A MySQL connection whose server version a test sets, and whose type map it
// fills into a map of its own, as the framework fills the connection's.
class CInspectedConnection : public CMySQLConnection
{
public:
    using CMySQLConnection::CMySQLConnection;

    void SetServerVersion(const wchar_t* pszVersion)
    {
        m_csServerVersion.Set(pszVersion);
        m_nServerMajor = -1;
        m_nServerMinor = 0;
        m_nServerPatch = 0;
        _bDecomposeServerVersion(nullptr);
    }
    // The generic entries, then MySQL's over them, for the server version
    // known now.
    void FillTypeMap(CNAMapConvertType* pclMap)
    {
        pclMap->_Init();
        m_pclMapConvertType = pclMap;
        _InitQF2NativeType();
        m_pclMapConvertType = nullptr;
    }
};

// The SQL text of an entry of the map ("(none)" without one), " [sized]"
// after a text that takes the item's size.
inline std::wstring TypeText(CNAMapConvertType& map, eNA_ITEMTYPE eType)
{
    CNATypeInfo* pclInfo = nullptr;
    if (!map.bGetElementRef(eType, &pclInfo))
        return L"(none)";
    std::wstring sText = pclInfo->pszGetText();
    if (pclInfo->bGetFormat())
        sText += L" [sized]";
    pclInfo->nRelease();
    return sText;
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
