// Database type names and the small text forms of the connection: item types
// of SQL type texts, the length in a declaration, the SQL type of an item
// through the lazily made type map (and user error 46 when it has none),
// hexadecimal texts, date digits, and default value texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/ct_string.h"
#include "common/text/string_concat_aw.h"
#include "native/driver/connection_description.h"
#include "native/model/type_map.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/model/variant_fixture.h"

namespace {

// A connection whose database names two types of its own, and notes when
// it is asked to.
class CMappedConnection : public CTestConnection
{
public:
    using CTestConnection::CTestConnection;
    void _InitQF2NativeType() override
    {
        ++nFills;
        // Laid over the generic entries, which must be there already.
        bGenericFirst = m_pclMapConvertType->dwGetNumElement() > 0;
        m_pclMapConvertType->Add(NA_IT_TEXTE, L"VARCHAR(%d) BINARY", 1);
        m_pclMapConvertType->Add(NA_IT_MEMOBINAIRE, L"LONGBLOB", 0);
    }
    int nFills = 0;
    bool bGenericFirst = false;
};

class TypeNames : public vxtest::VariantTest
{
protected:
    struct Parsed
    {
        eNA_ITEMTYPE type;
        unsigned size, integer, decimal;
    };
    Parsed Parse(const wchar_t* type, const wchar_t* charset = L"")
    {
        Parsed p{NA_IT_EMPTY, 99, 99, 99};
        EXPECT_EQ(1, m_pclConnection->bSQLTypeNameToNAType(m_pclError, &p.type, &p.size, &p.integer, &p.decimal,
                                                           type, charset));
        return p;
    }
};

TEST_F(TypeNames, ItemTypesOfTypeTexts)
{
    struct Case
    {
        const wchar_t* text;
        eNA_ITEMTYPE type;
        unsigned size;
    };
    const Case cases[] = {
        {L"int", NA_IT_I4, 4},
        {L"INT UNSIGNED", NA_IT_UI4, 4},
        {L"int(11) unsigned", NA_IT_UI4, 4},
        {L"unsigned  smallint", NA_IT_UI2, 2},
        {L"tinyint(1)", NA_IT_I1, 1},
        {L"TINYINT UNSIGNED", NA_IT_UI1, 1},
        {L"bigint(20)", NA_IT_I8, 8},
        {L"BIGINT UNSIGNED", NA_IT_UI8, 8},
        {L"INT8", NA_IT_I8, 8},
        {L"int2", NA_IT_I2, 2},
        {L"mediumint", NA_IT_I4, 4},
        {L"integer", NA_IT_I4, 4},
        {L"varchar(40)", NA_IT_TEXTE, 41},
        {L"VARCHAR", NA_IT_TEXTE, 2},
        {L"varchar ( 7 )", NA_IT_TEXTE, 8},
        {L"character(3)", NA_IT_TEXTE, 4},
        {L"nvarchar(5)", NA_IT_UNICODE, 12},
        {L"NCHAR(2)", NA_IT_UNICODE, 6},
        {L"char", NA_IT_CHAR, 1},
        {L"char(10)", NA_IT_TEXTE, 11},
        {L"CHAR(", NA_IT_TEXTE, 2},
        {L"varbinary(16)", NA_IT_BINAIRE, 18},
        {L"VARBINARY", NA_IT_BINAIRE, 3},
        {L"binary(16)", NA_IT_MEMOTEXTE, 8},
        {L"timestamp", NA_IT_DATETIME, 8},
        {L"time", NA_IT_HEURE, 6},
        {L"datetime(6)", NA_IT_DATETIME, 8},
        {L"date", NA_IT_DATE8, 9},
        {L"year(4)", NA_IT_DATE8, 9},
        {L"text", NA_IT_MEMOTEXTE, 8},
        {L"tinytext", NA_IT_MEMOTEXTE, 8},
        {L"mediumtext", NA_IT_MEMOTEXTE, 8},
        {L"longtext", NA_IT_MEMOTEXTE, 8},
        {L"ntext", NA_IT_MEMOUNICODE, 8},
        {L"blob", NA_IT_MEMOBINAIRE, 8},
        {L"tinyblob", NA_IT_MEMOBINAIRE, 8},
        {L"longblob", NA_IT_MEMOBINAIRE, 8},
        {L"float", NA_IT_R4, 4},
        {L"double", NA_IT_R8, 8},
        {L"double precision", NA_IT_R8, 8},
        {L"real", NA_IT_R4, 4},
        {L"enum('a','b')", NA_IT_MEMOTEXTE, 8},
        {L"set('a')", NA_IT_MEMOTEXTE, 8},
        {L"bit(1)", NA_IT_I1, 1},
        {L"bool", NA_IT_I1, 1},
        {L"geometry", NA_IT_MEMOTEXTE, 8},
        {L"", NA_IT_MEMOTEXTE, 8},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.text);
        EXPECT_EQ(c.type, p.type) << std::string(c.text, c.text + std::wcslen(c.text));
        EXPECT_EQ(c.size, p.size) << std::string(c.text, c.text + std::wcslen(c.text));
    }
    // REAL is an 8-byte real on kind 13.
    Connection().SetDBKind(13);
    EXPECT_EQ(NA_IT_R8, Parse(L"REAL").type);
    EXPECT_EQ(8u, Parse(L"REAL").size);
    Connection().SetDBKind(5);
}

TEST_F(TypeNames, DecimalsAndTheirDigits)
{
    Parsed p = Parse(L"decimal(10,2)");
    EXPECT_EQ(8u, p.integer);
    EXPECT_EQ(2u, p.decimal);
    eNA_ITEMTYPE expected;
    uint32_t size;
    CNAItemDescription::s_GetTypeFromFormat(8, 2, &expected, &size);
    EXPECT_EQ(expected, p.type);
    EXPECT_EQ(size, p.size);
    // No scale: 0; no parentheses: 10 and 0; numbers never read
    // uninitialised.
    p = Parse(L"numeric(5)");
    EXPECT_EQ(5u, p.integer);
    EXPECT_EQ(0u, p.decimal);
    p = Parse(L"DECIMAL");
    EXPECT_EQ(10u, p.integer);
    EXPECT_EQ(0u, p.decimal);
    p = Parse(L"dec(x,y)");
    EXPECT_EQ(10u, p.integer);
    EXPECT_EQ(0u, p.decimal);
    p = Parse(L"decimal(12, 4) unsigned");
    EXPECT_EQ(8u, p.integer);
    EXPECT_EQ(4u, p.decimal);
    // Other types give no digits.
    p = Parse(L"int");
    EXPECT_EQ(0u, p.integer);
    EXPECT_EQ(0u, p.decimal);
    // A precision no number holds saturates instead of overflowing.
    p = Parse(L"decimal(99999999999999999999,2)");
    EXPECT_EQ(NA_IT_R8, p.type);
}

TEST_F(TypeNames, CharacterSetsMakeTextsUnicode)
{
    EXPECT_EQ(NA_IT_UNICODE, Parse(L"varchar(40)", L"utf8_general_ci").type);
    EXPECT_EQ(82u, Parse(L"varchar(40)", L"utf8mb4_unicode_ci").size);
    EXPECT_EQ(NA_IT_UNICODE, Parse(L"char(3)", L"UCS2_bin").type);
    EXPECT_EQ(NA_IT_MEMOUNICODE, Parse(L"text", L"utf8mb4_bin").type);
    EXPECT_EQ(NA_IT_TEXTE, Parse(L"varchar(40)", L"latin1_swedish_ci").type);
    EXPECT_EQ(NA_IT_MEMOTEXTE, Parse(L"text", L"").type);
    EXPECT_EQ(NA_IT_I4, Parse(L"int", L"utf8").type);
    // A huge length saturates.
    EXPECT_EQ(UINT32_MAX, Parse(L"varchar(99999999999)", L"utf8").size);
}

TEST_F(TypeNames, LengthInADeclaration)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* keyword;
        int expected;
    };
    const Case cases[] = {
        {L"VARCHAR(40)", L"VARCHAR", 40}, {L"varchar (\t40 )", L"VARCHAR", 40}, {L"VARCHAR", L"VARCHAR", 1},
        {L"VARCHAR()", L"VARCHAR", 1},    {L"VARCHAR(4x)", L"VARCHAR", 1},     {L"VARCHAR(40", L"VARCHAR", 1},
        {L"CHAR(0)", L"CHAR", 0},         {L"CHAR x(3)", L"CHAR", 1},          {L"VARCHAR(12345678901)", L"VARCHAR", 2147483647},
        {L"AB(", L"AB", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CNAConnectionDescription::_nGetSizeInTypeDecl(c.text, c.keyword))
            << std::string(c.text, c.text + std::wcslen(c.text));
}

TEST_F(TypeNames, MatchingSqlTypeThroughTheLazyTypeMap)
{
    CMappedConnection connection(L"MAPPED", &m_hostConnection);
    CTString type;
    // Kind 5 decimals are written directly, within the server's limits (the
    // host may describe digits the driver's own items would not keep).
    StandinItemDescription wide({L"D", NA_IT_DECIMAL, 9, 1, 60, 40});
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, &wide, &type));
    EXPECT_STREQ(L"NUMERIC(64,30)", type.pszGet());
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_DECIMAL, 9, 8, 2), &type));
    EXPECT_STREQ(L"NUMERIC(10,2)", type.pszGet());
    EXPECT_EQ(0, connection.nFills) << "no map needed yet";
    // The map: made once, generic entries first, the database's over them.
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_I4, 4), &type));
    EXPECT_STREQ(L"INTEGER", type.pszGet());
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_TEXTE, 21), &type));
    EXPECT_STREQ(L"VARCHAR(20) BINARY", type.pszGet());
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_MEMOBINAIRE, 8), &type));
    EXPECT_STREQ(L"LONGBLOB", type.pszGet());
    EXPECT_EQ(1, connection.nFills);
    EXPECT_TRUE(connection.bGenericFirst);
    EXPECT_TRUE(NoError());
    // A type without an entry: user error 46, the text left alone.
    type.Set(L"before");
    EXPECT_EQ(0, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_MEMOBINAIRE4, 8), &type));
    EXPECT_TRUE(ErrorAt(46, L"1.20"));
    EXPECT_STREQ(L"before", type.pszGet());
    // Kind 3 writes long texts as TEXT.
    connection.SetDBKind(3);
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_TEXTE, 300), &type));
    EXPECT_STREQ(L"TEXT", type.pszGet());
    ASSERT_EQ(1, connection.bGetMatchingSQLType(m_pclError, Item(NA_IT_TEXTE, 30), &type));
    EXPECT_STREQ(L"VARCHAR(29) BINARY", type.pszGet());
}

TEST_F(TypeNames, HexadecimalTextsAndBack)
{
    const unsigned char bytes[] = {0x00, 0x1F, 0xA0, 0xFF};
    wchar_t wide[9];
    CNAConnectionDescription::s_BinaryToStringHexa(bytes, 4, wide);
    EXPECT_STREQ(L"001FA0FF", wide);
    char narrow[9];
    CNAConnectionDescription::s_BinaryToStringHexa(bytes, 4, narrow);
    EXPECT_STREQ("001FA0FF", narrow);
    CNAConnectionDescription::s_BinaryToStringHexa(nullptr, 4, narrow);
    EXPECT_STREQ("", narrow);
    CTStringConcatAW out(CTStringConcatAW::kMaitreLarge, 1252);
    out.Add(L"0x", -1);
    ASSERT_EQ(1, CNAConnectionDescription::s_bBinaryToStringHexa(m_pclError, bytes, 4, &out));
    EXPECT_STREQ(L"0x001FA0FF", out.pszGetW());
    // Back: either case; stops at an incomplete pair; never past the size,
    // however long the text.
    unsigned char back[6];
    std::memset(back, 0xEE, sizeof back);
    EXPECT_EQ(4u, CNAConnectionDescription::s_StringHexaToBinary(L"001fA0Ff", back, 6));
    EXPECT_EQ(0, std::memcmp(back, "\x00\x1F\xA0\xFF\x00\x00", 6));
    unsigned char two[2] = {0xEE, 0xEE};
    unsigned char guard = 0xEE;
    EXPECT_EQ(2u, CNAConnectionDescription::s_StringHexaToBinary("ABCDEF0123456789", two, 2));
    EXPECT_EQ(0xAB, two[0]);
    EXPECT_EQ(0xCD, two[1]);
    EXPECT_EQ(0xEE, guard);
    EXPECT_EQ(1u, CNAConnectionDescription::s_StringHexaToBinary("12G4", back, 6));
    EXPECT_EQ(0x12, back[0]);
    EXPECT_EQ(0, back[1]);
    EXPECT_EQ(0u, CNAConnectionDescription::s_StringHexaToBinary("1", back, 6));
}

TEST_F(TypeNames, DateDigitsAlone)
{
    CTString date(L"2024-01-31 13:45:59.123");
    CNAConnectionDescription::s_DateStandardise(&date);
    EXPECT_STREQ(L"20240131134559123", date.pszGet());
    CTString slashed(L"31/01/2024");
    CNAConnectionDescription::s_DateStandardise(&slashed);
    EXPECT_STREQ(L"31012024", slashed.pszGet());
}

TEST_F(TypeNames, DefaultValuesFromTheirTexts)
{
    CAny value;
    CNAItemDescription* number = Item(NA_IT_I4, 4);
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"42", number, m_pclError));
    EXPECT_EQ(ZLTYPE_I4, value.wGetType());
    EXPECT_EQ(L"42", Text(value));
    for (const wchar_t* pszNull : {static_cast<const wchar_t*>(nullptr), L"NULL", L"null", L"NuLl"}) {
        ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, pszNull, number, m_pclError));
        EXPECT_EQ(ZLTYPE_I4 | ANY_FLAG_NULL, value.wGetType());
    }
    // An empty text: NULL on kind 1, an empty value of the type elsewhere.
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"", number, m_pclError));
    EXPECT_EQ(ZLTYPE_I4, value.wGetType());
    Connection().SetDBKind(1);
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"", number, m_pclError));
    EXPECT_TRUE(value.bIsNull());
    Connection().SetDBKind(5);
    // A quoted text loses its quotes and its backslash escapes.
    CNAItemDescription* text = Item(NA_IT_TEXTE, 20);
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"'it\\'s \\\\ ok'", text, m_pclError));
    EXPECT_EQ(ZLTYPE_DSTRA, value.wGetType());
    EXPECT_EQ(L"it's \\ ok", Text(value));
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"'", text, m_pclError));
    EXPECT_EQ(L"'", Text(value));
    // Dates take their item's form.
    CNAItemDescription* date = Item(NA_IT_DATE8, 9);
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"2024-01-31", date, m_pclError));
    EXPECT_EQ(ZLTYPE_DATEA, value.wGetType());
    EXPECT_EQ(L"20240131", Text(value));
    CNAItemDescription* dateTime = Item(NA_IT_DATETIME, 8);
    ASSERT_EQ(1, m_pclConnection->bConvertStringToDefaultValue(&value, L"'1999-12-31 23:59:58'", dateTime,
                                                                m_pclError));
    EXPECT_EQ(L"19991231235958000", Text(value));
    // A text the type cannot take: 0 and the conversion's error.
    EXPECT_EQ(0, m_pclConnection->bConvertStringToDefaultValue(&value, L"abc", number, m_pclError));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
}

// A connection whose database does not know the native type code 17.
class CPickyConnection : public CTestConnection
{
public:
    using CTestConnection::CTestConnection;
    int bDBTypeUnkwnownByDB(int nCode) override { return nCode == 17; }
};

TEST_F(TypeNames, DatabaseTypesTheConnectionDoesNotKnowAreNone)
{
    CPickyConnection picky(L"PICKY", &m_hostConnection);
    CNAItemDescription* item = Item(NA_IT_I4, 4);
    EXPECT_EQ(0, item->eNAGetDBType(&picky)) << "no database type code";
    item->SetDBType(L"LONG", 3);
    EXPECT_EQ(NA_IT_I4, item->eNAGetDBType(&picky));
    item->SetDBType(L"BIT", 17);
    EXPECT_EQ(0, item->eNAGetDBType(&picky));
    EXPECT_EQ(NA_IT_I4, item->eNAGetDBType(m_pclConnection));
    EXPECT_EQ(NA_IT_I4, item->eNAGetDBType(nullptr));
    // The value bound to the item asks its own connection.
    CNAConvertVariant* v = NewVariant();
    v->InitTypeVariantAny(ZLTYPE_I4, 0);
    v->SetItemDesc(nullptr, item);
    EXPECT_EQ(NA_IT_I4, v->eNAGetDBType());
}

TEST_F(TypeNames, DescriptionNamesItsConnectionsDefaultDatabase)
{
    CNADataSourceDescription* description = NewDescription();
    EXPECT_STREQ(L"", description->pszGetDefaultDatabase());
    m_hostConnection.SetDefaultDataBase(L"shop");
    EXPECT_STREQ(L"shop", description->pszGetDefaultDatabase());
    description->nRelease();
}

}  // namespace
