// What a MySQL connection answers without a server: its dialect settings,
// the item type of each client field type, the character sets that hold
// Unicode, the SQL types of its type map by server version, the names of
// the field types and the classes of MySQL's error numbers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "mysql/mysql_connection.h"
#include "native/driver/error_object.h"
#include "native/model/item_description.h"
#include "native/model/type_map.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/mysql/mysql_connection_support.h"

namespace {

using CAnswersConnection = vxtest::CInspectedConnection;
using vxtest::TypeText;

TEST(MySQLConnectionAnswers, DialectOfKindFiveWithBackquotes)
{
    StandinConnectionDescription host;
    CMySQLConnection connection(L"id", &host);
    EXPECT_EQ(5, connection.nGetDBKind());
    EXPECT_STREQ(L"`", connection.csGetOpeningQuote().pszGet());
    EXPECT_STREQ(L"`", connection.csGetClosingQuote().pszGet());
    EXPECT_EQ(1, connection.bSupportOrderByMemo());
    EXPECT_EQ(0, connection.bSupportSubQuery());
    EXPECT_EQ(0, connection.bIsOpen());
    EXPECT_EQ(nullptr, connection.pGetMySQL());
    CTString csName;
    ASSERT_EQ(1, connection.bFormatTableName(nullptr, L"my table", &csName));
    EXPECT_STREQ(L"`my table`", csName.pszGet());
    CNAError error;
    EXPECT_EQ(1, connection.bClose(&error)) << "closing a connection never opened";
}

TEST(MySQLConnectionAnswers, KeysWithoutValueTakeTheDefaults)
{
    StandinConnectionDescription host;
    host.SetExtendedInfo(L"Server Port=;Client Flag=x;Unix Socket=");
    CMySQLConnection connection(L"id", &host);
    EXPECT_EQ(0, connection.nGetPort());
    EXPECT_EQ(0, connection.nGetClientFlag());
    CTString csSocket(L"untouched");
    EXPECT_FALSE(connection.bGetUnixSocket(&csSocket));
    EXPECT_STREQ(L"", csSocket.pszGet());
    EXPECT_STREQ(L"", connection.pszGetExtendedInfo());
}

TEST(MySQLConnectionAnswers, ItemTypeOfEachFieldType)
{
    const struct
    {
        const char* pszName;
        int nFieldType;
        int nLength;
        unsigned nCharset;
        eNA_ITEMTYPE eType;
        unsigned nSize;
    } aCases[] = {
        {"TINY", 1, 4, 63, NA_IT_I1, 1},
        {"SHORT", 2, 6, 63, NA_IT_I2, 2},
        {"LONG", 3, 11, 63, NA_IT_I4, 4},
        {"INT24", 9, 9, 63, NA_IT_I4, 4},
        {"FLOAT", 4, 12, 63, NA_IT_R4, 4},
        {"DOUBLE", 5, 22, 63, NA_IT_R8, 8},
        {"NULL", 6, 0, 63, NA_IT_EMPTY, 0},
        {"TIMESTAMP", 7, 19, 63, NA_IT_DATETIME, 8},
        {"LONGLONG", 8, 20, 63, NA_IT_I8, 8},
        {"DATE", 10, 10, 63, NA_IT_DATE8, 9},
        {"TIME", 11, 10, 63, NA_IT_DATETIME, 8},
        {"DATETIME", 12, 19, 63, NA_IT_DATETIME, 8},
        {"YEAR", 13, 4, 63, NA_IT_DATETIME, 8},
        {"NEWDATE", 14, 10, 63, NA_IT_DATETIME, 8},
        {"BIT(1)", 16, 1, 63, NA_IT_BINAIRE, 3},
        {"BIT(64)", 16, 64, 63, NA_IT_BINAIRE, 66},
        {"BIT of length 0", 16, 0, 63, NA_IT_BINAIRE, 3},
        {"ENUM as the client names it: its member's text", 247, 1, 8, NA_IT_TEXTE, 2},
        {"SET as the client names it: its members' text", 248, 1, 8, NA_IT_TEXTE, 2},
        {"VARCHAR(20) latin1", 253, 20, 8, NA_IT_TEXTE, 21},
        {"VARCHAR(20) utf8mb3 (spec's reading: 20)", 253, 20, 33, NA_IT_UNICODE, 42},
        {"VARCHAR(20) utf8mb3 as reported: 60 bytes", 253, 60, 33, NA_IT_UNICODE, 122},
        {"VARCHAR(20) utf8mb4 as reported: 80 bytes", 253, 80, 45, NA_IT_UNICODE, 162},
        {"utf8 VAR_STRING of 40000", 253, 40000, 33, NA_IT_MEMOUNICODE, 8},
        {"latin1 VAR_STRING of 40000", 253, 40000, 8, NA_IT_TEXTE, 40001},
        {"utf8 of 32766: 2 x 32767 fits", 253, 32766, 33, NA_IT_UNICODE, 65534},
        {"utf8 of 32767: 2 x 32768 does not", 253, 32767, 33, NA_IT_MEMOUNICODE, 8},
        {"STRING of 65535", 254, 65535, 8, NA_IT_MEMOTEXTE, 8},
        {"STRING of 0", 254, 0, 8, NA_IT_MEMOTEXTE, 8},
        {"Unicode STRING of 0", 254, 0, 45, NA_IT_MEMOUNICODE, 8},
        {"ENUM as it arrives: STRING", 254, 5, 45, NA_IT_UNICODE, 12},
        {"VARCHAR field type 15", 15, 10, 8, NA_IT_TEXTE, 11},
        {"an unknown field type reads as text", 200, 10, 8, NA_IT_TEXTE, 11},
        {"LONGTEXT: 4294967295 read as an int", 252, -1, 45, NA_IT_MEMOUNICODE, 8},
        {"a text field of 2^31 or more bytes is a memo", 253, -2, 8, NA_IT_MEMOTEXTE, 8},
        {"BINARY(16): bytes", 254, 16, 63, NA_IT_BINAIRE, 18},
        {"VARBINARY(300): bytes", 253, 300, 63, NA_IT_BINAIRE, 302},
        {"GEOMETRY: bytes of 4294967295 read as an int", 255, -1, 63, NA_IT_MEMOBINAIRE, 8},
        {"BLOB of bytes", 252, 65535, 63, NA_IT_MEMOBINAIRE, 8},
        {"TINYBLOB of bytes", 249, 255, 63, NA_IT_MEMOBINAIRE, 8},
        {"TEXT latin1", 252, 65535, 8, NA_IT_MEMOTEXTE, 8},
        {"MEDIUMTEXT utf8", 250, 16777215, 33, NA_IT_MEMOUNICODE, 8},
        {"LONGBLOB of character set 0", 251, -1, 0, NA_IT_MEMOTEXTE, 8},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszName);
        eNA_ITEMTYPE eType = NA_IT_EMPTY;
        unsigned nSize = 12345;
        CMySQLConnection::ConvertItemType(&eType, &nSize, c.nFieldType, c.nLength, 0, 0, c.nCharset);
        EXPECT_EQ(c.eType, eType);
        EXPECT_EQ(c.nSize, nSize);
    }
    // The UNSIGNED flag (32) makes the integers unsigned; no other flag does.
    const struct
    {
        int nFieldType;
        unsigned nFlags;
        eNA_ITEMTYPE eType;
    } aUnsigned[] = {
        {1, 32, NA_IT_UI1}, {2, 32, NA_IT_UI2}, {3, 32, NA_IT_UI4}, {9, 32, NA_IT_UI4}, {8, 32, NA_IT_UI8},
        {1, 1 | 2 | 4, NA_IT_I1}, {8, 64, NA_IT_I8}, {4, 32, NA_IT_R4}, {5, 32, NA_IT_R8},
    };
    for (const auto& c : aUnsigned) {
        eNA_ITEMTYPE eType = NA_IT_EMPTY;
        unsigned nSize = 0;
        CMySQLConnection::ConvertItemType(&eType, &nSize, c.nFieldType, 11, 0, 0, 63, c.nFlags);
        EXPECT_EQ(c.eType, eType) << c.nFieldType << " flags " << c.nFlags;
    }
    // Decimals take the framework's choice for their digits.
    for (int nFieldType : {0, 246}) {
        for (const auto& digits : {std::pair{8, 2}, std::pair{17, 0}, std::pair{30, 8}}) {
            eNA_ITEMTYPE eType = NA_IT_EMPTY;
            unsigned nSize = 0;
            CMySQLConnection::ConvertItemType(&eType, &nSize, nFieldType, 12, digits.first, digits.second, 63);
            eNA_ITEMTYPE eExpected = NA_IT_EMPTY;
            uint32_t nExpected = 0;
            CNAItemDescription::s_GetTypeFromFormat(digits.first, digits.second, &eExpected, &nExpected);
            EXPECT_EQ(eExpected, eType) << nFieldType << " " << digits.first;
            EXPECT_EQ(nExpected, nSize) << nFieldType << " " << digits.first;
        }
    }
}

TEST(MySQLConnectionAnswers, UnicodeCharacterSets)
{
    const std::set<unsigned> unicode{12, 17, 33, 35, 45, 46, 54, 55, 56, 60, 61, 62, 76, 83, 90, 91};
    for (unsigned n = 0; n < 400; ++n)
        EXPECT_EQ(unicode.count(n) != 0 || n > 98 ? 1 : 0, CMySQLConnection::bCharsetUnicode(n)) << n;
    EXPECT_EQ(1, CMySQLConnection::bCharsetUnicode(0xFFFFFFFFu));
}

TEST(MySQLConnectionAnswers, TypeMapByServerVersion)
{
    const std::wstring ucs2 = L"VARCHAR(%d) CHARACTER SET ucs2 [sized]";
    const std::wstring varchar = L"VARCHAR(%d) [sized]";
    const std::wstring binary = L"VARCHAR(%d) BINARY [sized]";
    const std::wstring varbinary = L"VARBINARY(%d) [sized]";
    const struct
    {
        const wchar_t* pszVersion;
        std::wstring unicode, memoText, memoUnicode, binary;
    } aCases[] = {
        {nullptr, varchar, L"LONGBLOB", L"LONGBLOB", binary},  // not known yet: the oldest forms
        {L"3.23.58", varchar, L"LONGBLOB", L"LONGBLOB", binary},
        {L"4.0.27", varchar, L"LONGTEXT", L"LONGTEXT", binary},
        {L"4.1.1-alpha", ucs2, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2", binary},
        {L"4.1.2", ucs2, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2", varbinary},
        {L"4.2", ucs2, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2", varbinary},
        {L"10.11.19-MariaDB-0+deb12u1", ucs2, L"LONGTEXT", L"LONGTEXT CHARACTER SET ucs2", varbinary},
    };
    StandinConnectionDescription host;
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszVersion != nullptr ? c.pszVersion : L"unknown");
        CAnswersConnection connection(L"id", &host);
        if (c.pszVersion != nullptr)
            connection.SetServerVersion(c.pszVersion);
        CNAMapConvertType map;
        connection.FillTypeMap(&map);
        EXPECT_EQ(c.unicode, TypeText(map, NA_IT_UNICODE));
        EXPECT_EQ(c.memoText, TypeText(map, NA_IT_MEMOTEXTE));
        EXPECT_EQ(c.memoUnicode, TypeText(map, NA_IT_MEMOUNICODE));
        EXPECT_EQ(c.binary, TypeText(map, NA_IT_BINAIRE));

        // The same for every server.
        const struct
        {
            eNA_ITEMTYPE eType;
            const wchar_t* pszText;
        } aFixed[] = {
            {NA_IT_IDAUTO, L"BIGINT"}, {NA_IT_I1, L"TINYINT"}, {NA_IT_I8, L"BIGINT"},
            {NA_IT_UI1, L"TINYINT UNSIGNED"}, {NA_IT_UI2, L"SMALLINT UNSIGNED"}, {NA_IT_UI4, L"INTEGER UNSIGNED"},
            {NA_IT_UI8, L"BIGINT UNSIGNED"}, {NA_IT_BOOLEEN, L"TINYINT"}, {NA_IT_R4, L"FLOAT"},
            {NA_IT_R8, L"DOUBLE"}, {NA_IT_REELTURBO, L"DOUBLE"}, {NA_IT_MEMOBINAIRE, L"LONGBLOB"},
            {NA_IT_MEMOBINAIRE4, L"LONGBLOB"}, {NA_IT_DATETIME, L"DATETIME"}, {NA_IT_TIMELENGHT, L"BIGINT"},
            // Not MySQL's own: the generic entries stay.
            {NA_IT_TEXTE, L"VARCHAR(%d) [sized]"}, {NA_IT_I4, L"INTEGER"}, {NA_IT_DATE8, L"DATE"},
            {NA_IT_DECIMAL, L"NUMERIC(%d,%d) [sized]"},
        };
        for (const auto& f : aFixed)
            EXPECT_EQ(f.pszText, TypeText(map, f.eType)) << g_pszGetNAItemTypeName(f.eType);

        // The connection's own map, made on first need, says the same.
        StandinItemDescription item({L"B", NA_IT_BINAIRE, 12});
        CTString csType;
        ASSERT_EQ(1, connection.bGetMatchingSQLType(nullptr, &item, &csType));
        EXPECT_EQ(c.binary == varbinary ? L"VARBINARY(12)" : L"VARCHAR(12) BINARY", std::wstring(csType.pszGet()));
    }
}

TEST(MySQLConnectionAnswers, NamesOfTheFieldTypes)
{
    const wchar_t* const apszNames[] = {
        L"MYSQL_TYPE_DECIMAL", L"MYSQL_TYPE_TINY", L"MYSQL_TYPE_SHORT", L"MYSQL_TYPE_LONG", L"MYSQL_TYPE_FLOAT",
        L"MYSQL_TYPE_DOUBLE", L"MYSQL_TYPE_NULL", L"MYSQL_TYPE_TIMESTAMP", L"MYSQL_TYPE_LONGLONG",
        L"MYSQL_TYPE_INT24", L"MYSQL_TYPE_DATE", L"MYSQL_TYPE_TIME", L"MYSQL_TYPE_DATETIME", L"MYSQL_TYPE_YEAR",
        L"MYSQL_TYPE_NEWDATE", L"MYSQL_TYPE_VARCHAR", L"MYSQL_TYPE_BIT"};
    const wchar_t* const apszHigh[] = {
        L"MYSQL_TYPE_NEWDECIMAL", L"MYSQL_TYPE_ENUM", L"MYSQL_TYPE_SET", L"MYSQL_TYPE_TINY_BLOB",
        L"MYSQL_TYPE_MEDIUM_BLOB", L"MYSQL_TYPE_LONG_BLOB", L"MYSQL_TYPE_BLOB", L"MYSQL_TYPE_VAR_STRING",
        L"MYSQL_TYPE_STRING"};
    StandinConnectionDescription host;
    CMySQLConnection connection(L"id", &host);
    CTString csName;
    for (int n = 0; n < 17; ++n) {
        EXPECT_EQ(1, connection.bDBTypeToString(&csName, n)) << n;
        EXPECT_STREQ(apszNames[n], csName.pszGet());
    }
    for (int n = 246; n <= 254; ++n) {
        EXPECT_EQ(1, connection.bDBTypeToString(&csName, n)) << n;
        EXPECT_STREQ(apszHigh[n - 246], csName.pszGet());
    }
    for (int n : {17, 100, 245, 255, 256, -1, INT32_MIN, INT32_MAX}) {
        csName.Vide();
        EXPECT_EQ(0, connection.bDBTypeToString(&csName, n)) << n;
        EXPECT_STREQ(L"MYSQL_TYPE_NEWDECIMAL", csName.pszGet()) << n;
    }
}

TEST(MySQLConnectionAnswers, ClassesOfErrorNumbers)
{
    StandinConnectionDescription host;
    CMySQLConnection connection(L"id", &host);
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, connection.eGetNAErrorType(1062));
    EXPECT_EQ(NA_ERR_LOCK_TIMEOUT, connection.eGetNAErrorType(1205));
    EXPECT_EQ(NA_ERR_MANDATORY_VALUE, connection.eGetNAErrorType(1048));
    for (unsigned n : {0u, 1u, 1045u, 1049u, 1213u, 2006u, 0xFFFFFFFFu})
        EXPECT_EQ(NA_ERR_GENERAL, connection.eGetNAErrorType(n)) << n;
}

}  // namespace
