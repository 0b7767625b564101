// The description of a MySQL result's columns, read from the client's
// field records (MYSQL_FIELD). The record changed its layout between client
// versions; the loader knows which one the loaded library has
// (CNAFunctionLoader::g_eFieldLayout), and every field is read at its
// offset in that layout.
#include <cstdint>
#include <cstring>

#include "mysql/client_call_guard.h"
#include "mysql/client_field_types.h"
#include "mysql/function_loader.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/mysql_statement_sql.h"
#include "native/driver/error_object.h"
#include "native/model/column_sql.h"

namespace {

// Where the fields this driver reads lie in one record of a layout; -1:
// the layout has no such field. The wide fields are 64-bit from 4.0 on.
struct stFieldOffsets
{
    int nType;
    int nLength;
    int nMaxLength;
    bool bWideLengths;
    int nFlags;
    int nDecimals;
    int nCharset;
};

stFieldOffsets OffsetsOf(eMySQLFieldLayout eLayout)
{
    switch (eLayout) {
    // name, table, def, type, length, max_length, flags, decimals
    case eMySQLFieldLayout::Client3: return {24, 28, 32, false, 36, 40, -1};
    // name, table, org_table, db, def, length, max_length, flags, decimals, type
    case eMySQLFieldLayout::Client40: return {64, 40, 48, true, 56, 60, -1};
    // name, org_name, table, org_table, db, catalog, def, length,
    // max_length, seven name lengths, flags, decimals, charsetnr, type
    // (and, from 5.1, an extension pointer behind)
    case eMySQLFieldLayout::Client41:
    case eMySQLFieldLayout::Client51: break;
    }
    return {112, 56, 64, true, 100, 104, 108};
}

uint32_t nRead32(const unsigned char* pbyRecord, int nOffset)
{
    uint32_t n = 0;
    std::memcpy(&n, pbyRecord + nOffset, sizeof n);
    return n;
}

uint64_t nReadLength(const unsigned char* pbyRecord, int nOffset, bool bWide)
{
    if (!bWide)
        return nRead32(pbyRecord, nOffset);
    uint64_t n = 0;
    std::memcpy(&n, pbyRecord + nOffset, sizeof n);
    return n;
}

bool bDecimalType(uint32_t nType)
{
    return nType == MySQLField::kDecimal || nType == MySQLField::kNewDecimal;
}

// Whether a description's name already reads as the field's name: both
// plain ASCII and the same, on a code page where ASCII bytes are the same
// characters. Anything else is converted again.
bool bSameAsciiName(const CTString& csName, const char* pszName, int nCodePage)
{
    if (pszName == nullptr || (nCodePage != 0 && nCodePage != 1252 && nCodePage != 65001))
        return false;
    const wchar_t* pszKept = csName.pszGet();
    size_t i = 0;
    for (; pszName[i] != 0; ++i) {
        const auto c = static_cast<unsigned char>(pszName[i]);
        if (c >= 0x80 || pszKept[i] != static_cast<wchar_t>(c))
            return false;
    }
    return pszKept[i] == 0;
}

}  // namespace

int CMySQLStatementSQL::_bInitTabNAColumn()
{
    _SpareColumns();
    if (m_nColumnCount == 0 || m_pResult == nullptr)
        return 0;
    bool bReused = false;
    if (_pclMakeColumns(m_nColumnCount, &bReused) == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, MySQLSite::kStmtColumnsNoMemory, m_pclConnection, nullptr, nullptr);
        return 0;
    }
    const MYSQL_FIELD* pFields = ClientCallValue<MYSQL_FIELD*>(MySQLSite::kStmtFetchFields, m_pclError,
                                                               m_pclConnection,
                                                               [&] { return __mysql_fetch_fields(m_pResult); });
    if (pFields == nullptr) {
        // Descriptions are whole or absent.
        _FreeColumns();
        return 0;
    }
    const eMySQLFieldLayout eLayout = CNAFunctionLoader::g_eFieldLayout();
    const stFieldOffsets offsets = OffsetsOf(eLayout);
    const size_t nStride = static_cast<size_t>(eLayout);
    const int nCodePage = _pclMySQLConnection()->nGetCodePage();
    const auto* pbyFields = reinterpret_cast<const unsigned char*>(pFields);
    for (uint32_t i = 0; i < m_nColumnCount; ++i) {
        const unsigned char* pbyRecord = pbyFields + i * nStride;
        CNAColumnSQL& column = m_tabColumns[i];
        const char* pszName = nullptr;
        std::memcpy(&pszName, pbyRecord, sizeof pszName);
        if (!bReused || !bSameAsciiName(column.m_csName, pszName, nCodePage))
            column.m_csName.SetANSIEx(pszName, -1, static_cast<unsigned>(nCodePage));
        column.m_nNativeType = nRead32(pbyRecord, offsets.nType);
        const uint64_t nLength = nReadLength(pbyRecord, offsets.nLength, offsets.bWideLengths);
        column.m_llLength = static_cast<int64_t>(nLength);
        column.m_nDecimals = nRead32(pbyRecord, offsets.nDecimals);
        column.m_dwColumnFlags = nRead32(pbyRecord, offsets.nFlags);
        column.m_nCharsetNumber = offsets.nCharset >= 0 ? nRead32(pbyRecord, offsets.nCharset) : 0;
        column.m_nIntegerDigits = 0;
        m_nTotalMaxLength += nReadLength(pbyRecord, offsets.nMaxLength, offsets.bWideLengths);
        // A column without a declared length takes the running total of
        // the longest values so far, its own included.
        if (column.m_llLength <= 0 && m_nTotalMaxLength != 0)
            column.m_llLength = static_cast<int64_t>(m_nTotalMaxLength);
        // The type rules take a 32-bit length, as the client's longest
        // (4294967295, a LONGTEXT) reads: a longer one must not lose its high
        // bits and pass for a short text.
        const uint64_t nWhole = static_cast<uint64_t>(column.m_llLength);
        const int32_t nLength32 =
            static_cast<int32_t>(static_cast<uint32_t>(nWhole > UINT32_MAX ? UINT32_MAX : nWhole));
        if (bDecimalType(column.m_nNativeType)) {
            // The server counts a sign only for a signed column and a point
            // only when there are decimals: DECIMAL(5,0) has length 6, and
            // all its 5 digits must fit the item.
            const bool bSigned = (column.m_dwColumnFlags & CMySQLConnection::kUnsignedFlag) == 0;
            const int64_t nDecimals = column.m_nDecimals;
            const int64_t nDigits = int64_t{nLength32} - nDecimals - (nDecimals > 0 ? 1 : 0) - (bSigned ? 1 : 0);
            column.m_nIntegerDigits = static_cast<int32_t>(nDigits < INT32_MIN ? INT32_MIN : nDigits);
        }
        CMySQLConnection::ConvertItemType(&column.m_eItemType, &column.m_nSize,
                                          static_cast<int>(column.m_nNativeType), nLength32,
                                          column.m_nIntegerDigits, static_cast<int>(column.m_nDecimals),
                                          column.m_nCharsetNumber, column.m_dwColumnFlags);
    }
    return 1;
}
