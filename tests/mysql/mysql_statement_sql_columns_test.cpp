// The description of a MySQL result's columns from the client's field
// records, over fake client libraries that write the records in each
// client version's layout: names, types, lengths, decimals and character
// sets read at the right offsets; a length of 0 taking the running total of
// the longest values; integers unsigned by their field's flag; and the
// integer digits of a decimal counted as the server counts its length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/model/column_sql.h"
#include "tests/mysql/mysql_statement_fakes.h"

namespace {

using vxtest::FakeColumn;
using vxtest::FakeResultSet;

constexpr unsigned kUnsigned = 32;

class MySQLStatementColumns : public vxtest::MySQLStatementOverFake
{
protected:
    // Runs a script of one result with these fields and no row.
    CMySQLStatementSQL* Describe(const std::vector<stFakeField>& fields)
    {
        State().scripts["SELECT *"] = {FakeResultSet(fields, {})};
        CMySQLStatementSQL* pclStatement = OpenStatement();
        EXPECT_EQ(1, pclStatement->bExecuteDirect(L"SELECT *", nullptr, 0)) << m_pclError->pszGetError();
        return pclStatement;
    }
};

TEST_F(MySQLStatementColumns, EveryLayoutOfTheFieldRecords)
{
    const struct
    {
        const char* pszClientVersion;
        int nLayout;
        bool bCharset;
    } aCases[] = {
        {"3.23.58", 48, false}, {"4.0.27", 72, false}, {"4.1.22", 120, true}, {"5.0.96", 120, true},
        {"5.1.73", 128, true},  {"5.5.62", 128, true}, {"6.0.11", 128, true},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszClientVersion);
        // A library that names its version by text alone.
        stFakeClientState& state = Fake("text");
        state.clientInfo = c.pszClientVersion;
        state.nFieldLayout = c.nLayout;
        CMySQLStatementSQL* pclStatement = Describe({
            FakeColumn("code", 253, 30, 0, 0, 33),
            FakeColumn("price", 246, 12, 0, 2, 63),
            FakeColumn("picture", 252, 65535, 0, 0, 63),
        });
        const struct
        {
            const wchar_t* pszName;
            uint32_t nType;
            int64_t llLength;
            uint32_t nDecimals;
            uint32_t nCharset;
        } aExpected[] = {
            {L"code", 253, 30, 0, 33},
            {L"price", 246, 12, 2, 63},
            {L"picture", 252, 65535, 0, 63},
        };
        int nColumns = 0;
        pclStatement->bGetColumnNbr(&nColumns, 0);
        ASSERT_EQ(3, nColumns);
        for (int i = 0; i < 3; ++i) {
            const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(i);
            ASSERT_NE(nullptr, pclColumn);
            EXPECT_STREQ(aExpected[i].pszName, pclColumn->m_csName.pszGet());
            EXPECT_EQ(aExpected[i].nType, pclColumn->m_nNativeType);
            EXPECT_EQ(aExpected[i].llLength, pclColumn->m_llLength);
            EXPECT_EQ(aExpected[i].nDecimals, pclColumn->m_nDecimals);
            EXPECT_EQ(c.bCharset ? aExpected[i].nCharset : 0u, pclColumn->m_nCharsetNumber);
        }
        // Without a character set in the record a BLOB reads as text.
        EXPECT_EQ(c.bCharset ? NA_IT_MEMOBINAIRE : NA_IT_MEMOTEXTE, pclStatement->_eGetColumnType(2));
        // The next variant starts from its defaults.
        m_statements.back()->nRelease();
        m_statements.pop_back();
        m_connections.back().pclConnection->nRelease();
        m_connections.pop_back();
        CNAFunctionLoader::g_Term();
    }
}

TEST_F(MySQLStatementColumns, AColumnWithoutLengthTakesTheRunningTotalOfTheLongestValues)
{
    Fake();
    stFakeField first = FakeColumn("a", 253, 0);
    first.nMaxLength = 5;
    stFakeField second = FakeColumn("b", 253, 0);
    second.nMaxLength = 7;
    stFakeField third = FakeColumn("c", 253, 4);
    third.nMaxLength = 3;
    CMySQLStatementSQL* pclStatement = Describe({first, second, third});
    EXPECT_EQ(5, pclStatement->pclGetNAColumnSQL(0)->m_llLength);
    EXPECT_EQ(12, pclStatement->pclGetNAColumnSQL(1)->m_llLength) << "the total so far, not its own 7";
    EXPECT_EQ(4, pclStatement->pclGetNAColumnSQL(2)->m_llLength) << "a declared length stays";
}

TEST_F(MySQLStatementColumns, IntegersAreUnsignedByTheirFlag)
{
    Fake();
    CMySQLStatementSQL* pclStatement = Describe({
        FakeColumn("tiny", 1, 3, kUnsigned), FakeColumn("short", 2, 5, kUnsigned),
        FakeColumn("long", 3, 10, kUnsigned), FakeColumn("int24", 9, 8, kUnsigned),
        FakeColumn("longlong", 8, 20, kUnsigned), FakeColumn("signed tiny", 1, 4),
        FakeColumn("signed long", 3, 11), FakeColumn("signed longlong", 8, 20),
        // Other flags (NOT NULL 1, PRIMARY KEY 2) change nothing.
        FakeColumn("not null key", 3, 11, 1 | 2),
    });
    const eNA_ITEMTYPE aExpected[] = {NA_IT_UI1, NA_IT_UI2, NA_IT_UI4, NA_IT_UI4, NA_IT_UI8,
                                      NA_IT_I1,  NA_IT_I4,  NA_IT_I8,  NA_IT_I4};
    for (unsigned i = 0; i < std::size(aExpected); ++i)
        EXPECT_EQ(aExpected[i], pclStatement->_eGetColumnType(i)) << pclStatement->_pszGetColumnName(i);
}

TEST_F(MySQLStatementColumns, DecimalDigitsAsTheServerCountsTheLength)
{
    Fake();
    // Lengths as the server reports them: a sign only for a signed column,
    // a point only with decimals.
    const struct
    {
        const char* pszDeclared;
        int nType;
        uint64_t nLength;
        unsigned nDecimals;
        unsigned nFlags;
        int nDigits;
    } aCases[] = {
        {"DECIMAL(10,2)", 246, 12, 2, 0, 8},
        {"DECIMAL(10,2) UNSIGNED", 246, 11, 2, kUnsigned, 8},
        {"DECIMAL(5,0)", 246, 6, 0, 0, 5},
        {"DECIMAL(5,0) UNSIGNED", 246, 5, 0, kUnsigned, 5},
        {"DECIMAL(10,0)", 246, 11, 0, 0, 10},
        {"old DECIMAL(10,2)", 0, 12, 2, 0, 8},
    };
    std::vector<stFakeField> fields;
    for (const auto& c : aCases)
        fields.push_back(FakeColumn(c.pszDeclared, c.nType, c.nLength, c.nFlags, c.nDecimals, 63));
    CMySQLStatementSQL* pclStatement = Describe(fields);
    for (unsigned i = 0; i < std::size(aCases); ++i) {
        SCOPED_TRACE(aCases[i].pszDeclared);
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(static_cast<int>(i));
        ASSERT_NE(nullptr, pclColumn);
        EXPECT_EQ(aCases[i].nDigits, pclColumn->m_nIntegerDigits);
        eNA_ITEMTYPE eExpected = NA_IT_EMPTY;
        uint32_t nSize = 0;
        CNAItemDescription::s_GetTypeFromFormat(aCases[i].nDigits, static_cast<int>(aCases[i].nDecimals), &eExpected,
                                                &nSize);
        EXPECT_EQ(eExpected, pclColumn->m_eItemType);
    }
    // 99999 fits the item of DECIMAL(5,0), 9999999999 that of DECIMAL(10,0).
    EXPECT_NE(NA_IT_I2, pclStatement->_eGetColumnType(2));
    EXPECT_NE(NA_IT_I4, pclStatement->_eGetColumnType(4));
}

TEST_F(MySQLStatementColumns, ALengthPast32BitsIsAsLongAsAny)
{
    // Only the low bits of these lengths would pass for short texts.
    Fake();
    const struct
    {
        int nType;
        uint64_t nLength;
        unsigned nCharset;
        eNA_ITEMTYPE eType;
        uint32_t nSize;
    } aCases[] = {
        {253, 0x100000005, 8, NA_IT_MEMOTEXTE, 8},  {253, 0x100000005, 45, NA_IT_MEMOUNICODE, 8},
        {254, 0x1000000FF, 63, NA_IT_MEMOBINAIRE, 8}, {15, 0xFFFFFFFF00000001, 8, NA_IT_MEMOTEXTE, 8},
        {253, 0xFFFFFFFF, 8, NA_IT_MEMOTEXTE, 8},   {253, 20, 8, NA_IT_TEXTE, 21},
    };
    std::vector<stFakeField> fields;
    for (const auto& c : aCases)
        fields.push_back(FakeColumn("c", c.nType, c.nLength, 0, 0, c.nCharset));
    CMySQLStatementSQL* pclStatement = Describe(fields);
    for (unsigned i = 0; i < std::size(aCases); ++i) {
        SCOPED_TRACE(i);
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(static_cast<int>(i));
        ASSERT_NE(nullptr, pclColumn);
        EXPECT_EQ(aCases[i].eType, pclColumn->m_eItemType);
        EXPECT_EQ(aCases[i].nSize, pclColumn->m_nSize);
    }
}

TEST_F(MySQLStatementColumns, AValuePastTheResultFailsWithItsReason)
{
    Fake();
    State().scripts["SELECT *"] = {
        FakeResultSet({FakeColumn("a"), FakeColumn("b")}, {{std::string("1"), std::string("2")}})};
    CMySQLStatementSQL* pclStatement = OpenStatement();
    ASSERT_EQ(1, pclStatement->bExecuteDirect(L"SELECT *", nullptr, 0)) << m_pclError->pszGetError();
    ASSERT_EQ(1, pclStatement->bFetch(0));
    CNAConvertVariant* pclValue = NewVariant(pclStatement->pclGetConnectionNoRef());
    pclValue->InitTypeVariantAny(ZLTYPE_DSTRW, 0);
    EXPECT_EQ(1, pclStatement->bGetValue(pclValue, 1, 0));
    EXPECT_EQ(0u, m_pclError->dwGetErrorId());
    EXPECT_EQ(0, pclStatement->bGetValue(pclValue, 2, 0));
    EXPECT_EQ(50u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(vxtest::bDumpHas(*m_pclError, L"La colonne 2 n'existe pas : le résultat compte 2 colonnes."))
        << m_pclError->pszGetError();
}

TEST_F(MySQLStatementColumns, ColumnsOutsideTheResult)
{
    Fake();
    CMySQLStatementSQL* pclStatement = Describe({FakeColumn("a"), FakeColumn("b")});
    EXPECT_EQ(nullptr, pclStatement->pclGetNAColumnSQL(-1));
    EXPECT_EQ(51u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(vxtest::bDumpHas(*m_pclError, L"-1")) << m_pclError->pszGetError();
    m_pclError->Reset();
    EXPECT_EQ(nullptr, pclStatement->pclGetNAColumnSQL(2));
    EXPECT_EQ(50u, m_pclError->dwGetErrorId());
    EXPECT_TRUE(vxtest::bDumpHas(*m_pclError, L"La colonne 2 n'existe pas : le résultat compte 2 colonnes."))
        << m_pclError->pszGetError();
    m_pclError->Reset();
    CAny name;
    EXPECT_EQ(0, pclStatement->bGetColumnName(&name, 5, 0));
    EXPECT_EQ(1, pclStatement->bGetColumnName(&name, 1, 0));
    EXPECT_EQ(L"b", vxtest::TextOf(name));
    CAny list;
    EXPECT_EQ(1, pclStatement->bGetColumnList(&list, 0));
    EXPECT_EQ(L"a\r\nb", vxtest::TextOf(list));
}

}  // namespace

// A statement run again keeps its descriptions for the next result: each
// result must read exactly as a new statement's, whatever the last one held
// (other names, non-ASCII names, a prefix of the last name, other types,
// lengths from the values, decimals, another number of columns).
TEST_F(MySQLStatementColumns, ARunAgainDescribesAsANewStatement)
{
    Fake();
    stFakeField running = FakeColumn("note", 253, 0);
    running.nMaxLength = 9;
    const std::vector<std::vector<stFakeField>> steps = {
        {FakeColumn("id", 3, 11, 1 | 2), FakeColumn("name", 253, 200), FakeColumn("price", 246, 14, 0, 2)},
        {FakeColumn("id", 3, 11, 1 | 2), FakeColumn("name", 253, 200), FakeColumn("price", 246, 14, 0, 2)},
        {FakeColumn("idx", 8, 20, kUnsigned), FakeColumn("nam", 253, 40), FakeColumn("price", 246, 7, kUnsigned, 0)},
        {FakeColumn("Größe", 3, 11), FakeColumn("prix €", 253, 200, 0, 0, 63), running},
        {FakeColumn("Größe", 3, 11), FakeColumn("prix €", 253, 200, 0, 0, 63), running},
        {FakeColumn("id", 3, 11), FakeColumn("", 253, 0)},
        {FakeColumn("id", 3, 11), FakeColumn("name", 252, 65535), FakeColumn("price", 5, 22, 0, 31)},
        {FakeColumn("id", 3, 11, 1 | 2), FakeColumn("name", 253, 200), FakeColumn("price", 246, 14, 0, 2)},
    };
    State().scripts["SELECT *"] = {FakeResultSet(steps[0], {})};
    CMySQLStatementSQL* pclKept = OpenStatement();
    const CNAColumnSQL* pclFirst = nullptr;
    for (size_t nStep = 0; nStep < steps.size(); ++nStep) {
        SCOPED_TRACE(nStep);
        State().scripts["SELECT *"] = {FakeResultSet(steps[nStep], {})};
        // Runs after a reset, as a parse does, and once straight after the
        // last result.
        if (nStep != 4) {
            ASSERT_EQ(1, pclKept->bReset());
        }
        ASSERT_EQ(1, pclKept->bExecuteDirect(L"SELECT *", nullptr, 0)) << m_pclError->pszGetError();
        State().scripts["SELECT *"] = {FakeResultSet(steps[nStep], {})};
        CMySQLStatementSQL* pclNew = OpenStatement();
        ASSERT_EQ(1, pclNew->bExecuteDirect(L"SELECT *", nullptr, 0)) << m_pclError->pszGetError();
        int nKept = 0;
        int nNew = 0;
        pclKept->bGetColumnNbr(&nKept, 0);
        pclNew->bGetColumnNbr(&nNew, 0);
        ASSERT_EQ(static_cast<int>(steps[nStep].size()), nKept);
        ASSERT_EQ(nNew, nKept);
        // The second run of the same columns writes into the first's.
        if (nStep == 0)
            pclFirst = pclKept->pclGetNAColumnSQL(0);
        if (nStep == 1) {
            EXPECT_EQ(pclFirst, pclKept->pclGetNAColumnSQL(0));
        }
        for (int i = 0; i < nKept; ++i) {
            const CNAColumnSQL* a = pclKept->pclGetNAColumnSQL(i);
            const CNAColumnSQL* b = pclNew->pclGetNAColumnSQL(i);
            ASSERT_NE(nullptr, a);
            ASSERT_NE(nullptr, b);
            EXPECT_STREQ(b->m_csName.pszGet(), a->m_csName.pszGet()) << i;
            EXPECT_EQ(b->m_llLength, a->m_llLength) << i;
            EXPECT_EQ(b->m_nSize, a->m_nSize) << i;
            EXPECT_EQ(b->m_nIntegerDigits, a->m_nIntegerDigits) << i;
            EXPECT_EQ(b->m_nDecimals, a->m_nDecimals) << i;
            EXPECT_EQ(b->m_nNativeType, a->m_nNativeType) << i;
            EXPECT_EQ(b->m_dwColumnFlags, a->m_dwColumnFlags) << i;
            EXPECT_EQ(b->m_nCharsetNumber, a->m_nCharsetNumber) << i;
            EXPECT_EQ(b->m_eItemType, a->m_eItemType) << i;
            EXPECT_EQ(b->m_wKeyFlags, a->m_wKeyFlags) << i;
            EXPECT_STREQ(b->m_csTableName.pszGet(), a->m_csTableName.pszGet()) << i;
            EXPECT_STREQ(b->m_csNameInTable.pszGet(), a->m_csNameInTable.pszGet()) << i;
            EXPECT_STREQ(b->m_csDBType.pszGet(), a->m_csDBType.pszGet()) << i;
            EXPECT_EQ(b->m_nDBTypeCode, a->m_nDBTypeCode) << i;
        }
    }
}
