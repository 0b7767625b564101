// MySQL's types as the driver sees them: the item type of a result column,
// the SQL type of a column the driver creates, the names of the client's
// field types and the character sets that hold Unicode text.
#include <cstdint>

#include "mysql/client_field_types.h"
#include "mysql/mysql_connection.h"
#include "native/model/item_description.h"
#include "native/model/type_map.h"

namespace {

using namespace MySQLField;

constexpr unsigned kMemoSize = 8;

// Text of a length given in bytes of the column's character set. A length
// that the caller's int read as negative (LONGTEXT reports 4294967295) is a
// memo, as are 0 and 65535 or more.
//
// Strings of the binary character set (BINARY, VARBINARY, GEOMETRY) hold
// bytes: a text item would end them at their first zero byte and read them
// in a code page, so they take the binary items, length prefix and all.
void TextItemType(eNA_ITEMTYPE* peType, unsigned* pnSize, int nLength, bool bUnicode, bool bBinary)
{
    if (nLength <= 0 || nLength >= 65535) {
        *peType = bBinary ? NA_IT_MEMOBINAIRE : bUnicode ? NA_IT_MEMOUNICODE : NA_IT_MEMOTEXTE;
        *pnSize = kMemoSize;
        return;
    }
    if (bBinary) {
        *peType = NA_IT_BINAIRE;
        *pnSize = static_cast<unsigned>(nLength) + 2;
        return;
    }
    const unsigned n = static_cast<unsigned>(nLength) + 1;
    if (2 * n > 65534) {
        *peType = bUnicode ? NA_IT_MEMOUNICODE : NA_IT_TEXTE;
        *pnSize = bUnicode ? kMemoSize : n;
        return;
    }
    *peType = bUnicode ? NA_IT_UNICODE : NA_IT_TEXTE;
    *pnSize = bUnicode ? 2 * n : n;
}

}  // namespace

void CMySQLConnection::ConvertItemType(eNA_ITEMTYPE* peType, unsigned* pnSize, int nFieldType, int nLength,
                                       int nIntegerDigits, int nScale, unsigned nCharset, unsigned nFieldFlags)
{
    const auto set = [&](eNA_ITEMTYPE eType, unsigned nSize) {
        *peType = eType;
        *pnSize = nSize;
    };
    // An unsigned column's values pass its signed item's range (TINYINT
    // UNSIGNED 200, BIGINT UNSIGNED 2^64 - 1).
    const bool bUnsigned = (nFieldFlags & kUnsignedFlag) != 0;
    switch (nFieldType) {
    case kTiny: set(bUnsigned ? NA_IT_UI1 : NA_IT_I1, 1); return;
    case kShort: set(bUnsigned ? NA_IT_UI2 : NA_IT_I2, 2); return;
    case kLong:
    case kInt24: set(bUnsigned ? NA_IT_UI4 : NA_IT_I4, 4); return;
    case kFloat: set(NA_IT_R4, 4); return;
    case kDouble: set(NA_IT_R8, 8); return;
    case kNull: set(NA_IT_EMPTY, 0); return;
    case kTimestamp: set(NA_IT_DATETIME, 8); return;
    case kLongLong: set(bUnsigned ? NA_IT_UI8 : NA_IT_I8, 8); return;
    case kDate: set(NA_IT_DATE8, 9); return;
    case kTime:
    case kDateTime:
    case kYear:
    case kNewDate: set(NA_IT_DATETIME, 8); return;
    case kBit: set(NA_IT_BINAIRE, nLength >= 1 ? static_cast<unsigned>(nLength) + 2 : 3); return;
    case kDecimal:
    case kNewDecimal: {
        uint32_t nSize = 0;
        CNAItemDescription::s_GetTypeFromFormat(nIntegerDigits, nScale, peType, &nSize);
        *pnSize = nSize;
        return;
    }
    case kTinyBlob:
    case kMediumBlob:
    case kLongBlob:
    case kBlob:
        if (nCharset == kBinaryCharset)
            set(NA_IT_MEMOBINAIRE, kMemoSize);
        else if (bCharsetUnicode(nCharset))
            set(NA_IT_MEMOUNICODE, kMemoSize);
        else
            set(NA_IT_MEMOTEXTE, kMemoSize);
        return;
    // An ENUM or a SET reaches the driver as its members' text, whichever
    // type number the client library gives it.
    default:
        TextItemType(peType, pnSize, nLength, bCharsetUnicode(nCharset) != 0, nCharset == kBinaryCharset);
        return;
    }
}

int CMySQLConnection::bCharsetUnicode(unsigned nCharset)
{
    switch (nCharset) {
    case 12: case 17: case 33: case 35: case 45: case 46: case 54: case 55: case 56: case 60: case 61:
    case 62: case 76: case 83: case 90: case 91: return 1;
    default: return nCharset > 98 ? 1 : 0;
    }
}

void CMySQLConnection::_InitQF2NativeType()
{
    CNAMapConvertType* pclMap = m_pclMapConvertType;
    if (pclMap == nullptr)
        return;
    // A server whose version is not known yet (major -1) takes the oldest
    // forms.
    const bool b41 = bServerVersionGreaterThan4_1();
    const bool b412 = bServerVersionGreaterThan4_1_2();
    const bool b4 = m_nServerMajor >= 4;
    const struct
    {
        eNA_ITEMTYPE eType;
        const wchar_t* pszText;
        int bFormat;
    } aEntries[] = {
        {NA_IT_IDAUTO, L"BIGINT", 0},
        {NA_IT_I1, L"TINYINT", 0},
        {NA_IT_I8, L"BIGINT", 0},
        {NA_IT_UI1, L"TINYINT UNSIGNED", 0},
        {NA_IT_UI2, L"SMALLINT UNSIGNED", 0},
        {NA_IT_UI4, L"INTEGER UNSIGNED", 0},
        {NA_IT_UI8, L"BIGINT UNSIGNED", 0},
        {NA_IT_BOOLEEN, L"TINYINT", 0},
        {NA_IT_R4, L"FLOAT", 0},
        {NA_IT_R8, L"DOUBLE", 0},
        {NA_IT_REELTURBO, L"DOUBLE", 0},
        {NA_IT_UNICODE, b41 ? L"VARCHAR(%d) CHARACTER SET ucs2" : L"VARCHAR(%d)", 1},
        {NA_IT_MEMOTEXTE, b4 ? L"LONGTEXT" : L"LONGBLOB", 0},
        {NA_IT_MEMOUNICODE, b41 ? L"LONGTEXT CHARACTER SET ucs2" : b4 ? L"LONGTEXT" : L"LONGBLOB", 0},
        {NA_IT_MEMOBINAIRE, L"LONGBLOB", 0},
        {NA_IT_MEMOBINAIRE4, L"LONGBLOB", 0},
        {NA_IT_BINAIRE, b412 ? L"VARBINARY(%d)" : L"VARCHAR(%d) BINARY", 1},
        {NA_IT_DATETIME, L"DATETIME", 0},
        {NA_IT_TIMELENGHT, L"BIGINT", 0},
    };
    for (const auto& entry : aEntries)
        pclMap->Add(entry.eType, entry.pszText, entry.bFormat);
}

int CMySQLConnection::bDBTypeToString(CTString* pcsOut, int nFieldType)
{
    static const wchar_t* const apszFirst[] = {
        L"MYSQL_TYPE_DECIMAL",  L"MYSQL_TYPE_TINY",     L"MYSQL_TYPE_SHORT",    L"MYSQL_TYPE_LONG",
        L"MYSQL_TYPE_FLOAT",    L"MYSQL_TYPE_DOUBLE",   L"MYSQL_TYPE_NULL",     L"MYSQL_TYPE_TIMESTAMP",
        L"MYSQL_TYPE_LONGLONG", L"MYSQL_TYPE_INT24",    L"MYSQL_TYPE_DATE",     L"MYSQL_TYPE_TIME",
        L"MYSQL_TYPE_DATETIME", L"MYSQL_TYPE_YEAR",     L"MYSQL_TYPE_NEWDATE",  L"MYSQL_TYPE_VARCHAR",
        L"MYSQL_TYPE_BIT",
    };
    static const wchar_t* const apszLast[] = {
        L"MYSQL_TYPE_NEWDECIMAL", L"MYSQL_TYPE_ENUM",      L"MYSQL_TYPE_SET",
        L"MYSQL_TYPE_TINY_BLOB",  L"MYSQL_TYPE_MEDIUM_BLOB", L"MYSQL_TYPE_LONG_BLOB",
        L"MYSQL_TYPE_BLOB",       L"MYSQL_TYPE_VAR_STRING", L"MYSQL_TYPE_STRING",
    };
    constexpr int kFirstCount = static_cast<int>(sizeof apszFirst / sizeof apszFirst[0]);
    constexpr int kLastCount = static_cast<int>(sizeof apszLast / sizeof apszLast[0]);
    if (nFieldType >= 0 && nFieldType < kFirstCount) {
        pcsOut->Set(apszFirst[nFieldType]);
        return 1;
    }
    if (nFieldType >= kNewDecimal && nFieldType < kNewDecimal + kLastCount) {
        pcsOut->Set(apszLast[nFieldType - kNewDecimal]);
        return 1;
    }
    pcsOut->Set(L"MYSQL_TYPE_NEWDECIMAL");
    return 0;
}
