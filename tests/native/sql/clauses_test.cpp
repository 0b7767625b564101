// Clauses a command writes from its parsed query or for its database kind:
// where each clause lies (or would go), the ORDER BY list kept or reversed
// within the connection's limit and up to a unique never-NULL key, LIKE
// values with the escape clause of each kind, engine LIKE patterns, the
// record-lock hint, RETURNING, and the text that follows the statement.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "common/text/xy_string.h"
#include "tests/host/db/standin_data_source_description.h"
#include "tests/native/sql/command_fixture.h"

namespace {

using vxstandin::Span;

class Clauses : public vxtest::CommandTest
{
protected:
    // A command over the parsed query.
    CNACommand* Over(StandinParsedQuery& parse)
    {
        CNACommand* pclCommand = NewCommand();
        pclCommand->_SetSQLParserInfo(Query(parse));
        return pclCommand;
    }
    static std::wstring Original(const CNACommand* pclCommand) { return pclCommand->pszGetOriginalSQL(); }

    // "SELECT A, B, C FROM T ORDER BY ..." with one item per letter.
    StandinParsedQuery& OrderedQuery(const std::wstring& orderBy, std::vector<vxstandin::OrderSpec> elements,
                                     INAItemDescription* piKeyOfA = nullptr)
    {
        m_texts.push_back(L"SELECT A, B, C FROM T ORDER BY " + orderBy);
        const std::wstring& text = m_texts.back();
        const long nOrder = static_cast<long>(text.find(L"ORDER BY"));
        // Each element's letter standing alone in the list.
        for (auto& element : elements) {
            const wchar_t c = static_cast<wchar_t>(L'A' + element.nIndex);
            for (size_t i = static_cast<size_t>(nOrder) + 9; i < text.size(); ++i) {
                const bool bAlone = !std::iswalpha(text[i - 1]) && (i + 1 == text.size() || !std::iswalpha(text[i + 1]));
                if (text[i] == c && bAlone) {
                    element.position = {static_cast<long>(i), static_cast<long>(i)};
                    break;
                }
            }
        }
        return Parse({.text = text,
                      .from = {{.name = L"T", .position = Span(text, L"T", 1)}},
                      .items = {{.item = L"A", .table = L"T", .position = Span(text, L"A"), .description = piKeyOfA},
                                {.item = L"B", .table = L"T", .position = Span(text, L"B")},
                                {.item = L"C", .table = L"T", .position = Span(text, L"C")}},
                      .orderBy = elements,
                      .orderByStart = nOrder});
    }

    std::vector<std::wstring> m_texts;
};

TEST_F(Clauses, OrderByKeptOrReversed)
{
    const std::vector<vxstandin::OrderSpec> kABC = {{.nIndex = 0}, {.nIndex = 1}, {.nIndex = 2}};
    const struct
    {
        const wchar_t* pszOrderBy;
        int bKeep;
        const wchar_t* pszExpected;
    } kCases[] = {
        {L"A, B DESC, C ASC", 0, L"ORDER BY A DESC, B ASC, C DESC"},
        {L"A, B DESC, C ASC", 1, L"ORDER BY A, B DESC, C ASC"},
        {L"A  ,  B   desc ,C asc", 1, L"ORDER BY A  ,  B   desc ,C asc"},
        {L"A  ,  B   desc ,C asc", 0, L"ORDER BY A DESC,  B ASC ,C DESC"},
        // Only the first letters are compared: ASCII counts as ASC.
        {L"A ASCII, B, C", 0, L"ORDER BY A DESCII, B DESC, C DESC"},
    };
    for (const auto& c : kCases) {
        CNACommand* pclCommand = Over(OrderedQuery(c.pszOrderBy, kABC));
        ASSERT_EQ(1, pclCommand->bFormatORDERBY(1, c.bKeep));
        EXPECT_EQ(c.pszExpected, Original(pclCommand)) << c.pszOrderBy << " keep " << c.bKeep;
    }
}

TEST_F(Clauses, OrderByItemsInTheirAliasForm)
{
    CNACommand* pclCommand = Over(OrderedQuery(L"C DESC, A", {{.nIndex = 2}, {.nIndex = 0}}));
    ASSERT_EQ(1, pclCommand->bFormatORDERBY(0, 0));
    EXPECT_EQ(L"ORDER BY `T`.`C` ASC, `T`.`A` DESC", Original(pclCommand));
}

TEST_F(Clauses, OrderByStopsAfterAUniqueKeyThatCannotBeNull)
{
    StandinItemDescription key({L"A", NA_IT_I4, 4, 1, 0, 0, 0x8000});
    CNACommand* pclCommand =
        Over(OrderedQuery(L"B, A DESC, C", {{.nIndex = 1}, {.nIndex = 0}, {.nIndex = 2}}, &key));
    ASSERT_EQ(1, pclCommand->bFormatORDERBY(1, 0));
    EXPECT_EQ(L"ORDER BY B DESC, A ASC", Original(pclCommand));
    unsigned long nPosition = 0;
    int bUnique = 0;
    CNACommand* pclWorker = Over(OrderedQuery(L"A, C", {{.nIndex = 0}, {.nIndex = 2}}, &key));
    ASSERT_EQ(1, pclWorker->_bFormatORDERBY(&nPosition, m_texts.back().c_str(), 1, 1, 1, &bUnique));
    EXPECT_EQ(1, bUnique);
    EXPECT_EQ(L"SELECT A, B, C FROM T ORDER BY A", Original(pclWorker));
    EXPECT_EQ(m_texts.back().find(L",", m_texts.back().find(L"ORDER")), nPosition);
}

TEST_F(Clauses, OrderByExpressionsByTheirPlaceInTheSelectList)
{
    const std::wstring text = L"SELECT A, B+1 AS X FROM T ORDER BY X DESC";
    StandinParsedQuery& parse =
        Parse({.text = text,
               .from = {{.name = L"T", .position = Span(text, L"T", 1)}},
               .items = {{.item = L"A", .table = L"T"},
                         {.alias = L"X", .text = L"B+1", .eKind = IInfoRubrique::KIND_EXPRESSION, .bIsItem = 0}},
               .orderBy = {{.nIndex = 1, .position = Span(text, L"X", 1)}},
               .orderByStart = static_cast<long>(text.find(L"ORDER"))});
    CNACommand* pclCommand = Over(parse);
    ASSERT_EQ(1, pclCommand->bFormatORDERBY(1, 1));
    EXPECT_EQ(L"ORDER BY 2 DESC", Original(pclCommand));
    // An element that designates no output item is copied as written.
    StandinParsedQuery& loose = Parse({.text = text,
                                       .orderBy = {{.nIndex = -1, .position = Span(text, L"X", 1)}},
                                       .orderByStart = static_cast<long>(text.find(L"ORDER"))});
    CNACommand* pclLoose = Over(loose);
    ASSERT_EQ(1, pclLoose->bFormatORDERBY(1, 0));
    EXPECT_EQ(L"ORDER BY X ASC", Original(pclLoose));
}

TEST_F(Clauses, OrderByWithinTheConnectionsLimit)
{
    std::wstring list;
    std::vector<vxstandin::OrderSpec> elements;
    std::vector<vxstandin::ItemSpec> items;
    for (int i = 0; i < 40; ++i) {
        const std::wstring name = L"C" + std::to_wstring(i);
        list += (i ? L", " : L"") + name;
        items.push_back({.item = name, .table = L"T"});
    }
    const std::wstring text = L"SELECT * FROM T ORDER BY " + list;
    for (int i = 0; i < 40; ++i) {
        const std::wstring name = L"C" + std::to_wstring(i);
        const long nAt = static_cast<long>(text.find(name + (i < 39 ? L"," : L""), 20));
        elements.push_back({.nIndex = i, .position = {nAt, nAt + static_cast<long>(name.size()) - 1}});
    }
    StandinParsedQuery& parse = Parse({.text = text,
                                       .from = {{.name = L"T", .position = Span(text, L"T", 1)}},
                                       .items = items,
                                       .orderBy = elements,
                                       .orderByStart = static_cast<long>(text.find(L"ORDER"))});
    CNACommand* pclMySQL = Over(parse);
    ASSERT_EQ(1, pclMySQL->bFormatORDERBY(1, 1));
    EXPECT_EQ(L"ORDER BY " + list, Original(pclMySQL));
    Connection().SetDBKind(4);
    CNACommand* pclKind4 = Over(parse);
    ASSERT_EQ(1, pclKind4->bFormatORDERBY(1, 1));
    EXPECT_EQ(L"ORDER BY " + list.substr(0, list.find(L", C31")), Original(pclKind4));
}

TEST_F(Clauses, OrderByPositionsOfTheHostAreBounded)
{
    const std::wstring text = L"SELECT A FROM T ORDER BY A";
    StandinParsedQuery& parse = Parse({.text = text,
                                       .items = {{.item = L"A", .table = L"T"}},
                                       .orderBy = {{.nIndex = 0, .position = {900, 950}},
                                                   {.nIndex = 5, .position = {3, 2}}},
                                       .orderByStart = 16});
    CNACommand* pclCommand = Over(parse);
    ASSERT_EQ(1, pclCommand->bFormatORDERBY(0, 1));
    EXPECT_EQ(L"ORDER BY A`T`.`A`", Original(pclCommand));
    // Without ORDER BY, or without a parsed query: nothing.
    CNACommand* pclNone = Over(Parse({.text = text}));
    EXPECT_EQ(1, pclNone->bFormatORDERBY(1, 0));
    EXPECT_TRUE(pclNone->bIsEmpty());
    EXPECT_EQ(1, NewCommand()->bFormatORDERBY(1, 0));
    // The worker without a parsed query copies the rest; without item-wise
    // writing it drops the clause.
    unsigned long nPosition = 7;
    CNACommand* pclRest = NewCommand();
    EXPECT_EQ(1, pclRest->_bFormatORDERBY(&nPosition, text.c_str(), 1, 1, 1, nullptr));
    EXPECT_EQ(text.substr(7), Original(pclRest));
    EXPECT_EQ(text.size(), nPosition);
    nPosition = 7;
    CNACommand* pclDropped = Over(parse);
    EXPECT_EQ(1, pclDropped->_bFormatORDERBY(&nPosition, text.c_str(), 0, 1, 1, nullptr));
    EXPECT_EQ(L"A FROM T ", Original(pclDropped));
    EXPECT_EQ(text.size(), nPosition);
}

TEST_F(Clauses, ClausePositionsAndInsertionPoints)
{
    const std::wstring full = L"SELECT A FROM T, U WHERE B=1 GROUP BY A HAVING COUNT(*)>1 ORDER BY A";
    const auto at = [&](const wchar_t* piece) { return static_cast<long>(full.find(piece)); };
    StandinParsedQuery& parse =
        Parse({.text = full,
               .from = {{.name = L"T", .position = Span(full, L"T", 1)},
                        {.name = L"U", .position = Span(full, L"U", 0)}},
               .groupBy = {{.item = L"A", .position = {at(L"A HAVING"), at(L"A HAVING")}}},
               .whereStart = at(L"WHERE"),
               .whereEnd = at(L"1 GROUP"),
               .orderByStart = at(L"ORDER"),
               .havingStart = at(L"HAVING"),
               .havingEnd = at(L"1 ORDER")});
    CNACommand* pclCommand = Over(parse);
    CSQLParserInfo* pclQuery = pclCommand->pclGetSQLParserInfoNoRef();
    const struct
    {
        CNASqlElt::eSQLELT eKind;
        long nStart;
        long nStop;
    } kFull[] = {
        {CNASqlElt::SQLELT_FROM, at(L"FROM"), at(L"U ")},
        {CNASqlElt::SQLELT_WHERE, at(L"WHERE"), at(L"1 GROUP")},
        {CNASqlElt::SQLELT_GROUPBY, at(L"GROUP"), at(L"A HAVING")},
        {CNASqlElt::SQLELT_HAVING, at(L"HAVING"), at(L"1 ORDER")},
        {CNASqlElt::SQLELT_ORDERBY, at(L"ORDER"), static_cast<long>(full.size())},
    };
    for (const auto& c : kFull) {
        unsigned long nStart = 0, nStop = 0;
        EXPECT_EQ(1, pclCommand->_bGetClausePos(&nStart, &nStop, pclQuery, c.eKind));
        EXPECT_EQ(static_cast<unsigned long>(c.nStart), nStart) << c.eKind;
        EXPECT_EQ(static_cast<unsigned long>(c.nStop), nStop) << c.eKind;
    }

    // Absent clauses go before the next present one, or at the end.
    const std::wstring bare = L"SELECT A FROM T ORDER BY A";
    StandinParsedQuery& ordered = Parse({.text = bare,
                                         .from = {{.name = L"T", .position = Span(bare, L"T", 1)}},
                                         .orderByStart = static_cast<long>(bare.find(L"ORDER"))});
    CNACommand* pclOrdered = Over(ordered);
    CSQLParserInfo* pclOrderedQuery = pclOrdered->pclGetSQLParserInfoNoRef();
    const unsigned long nBeforeOrder = bare.find(L"ORDER") - 1;
    EXPECT_EQ(nBeforeOrder, pclOrdered->_nGetClauseStart(pclOrderedQuery, CNASqlElt::SQLELT_WHERE));
    EXPECT_EQ(nBeforeOrder, pclOrdered->_nGetClauseStop(pclOrderedQuery, CNASqlElt::SQLELT_HAVING));
    EXPECT_EQ(bare.find(L"FROM"), pclOrdered->_nGetClauseStart(pclOrderedQuery, CNASqlElt::SQLELT_FROM));
    const std::wstring plain = L"SELECT 1";
    CNACommand* pclPlain = Over(Parse({.text = plain}));
    EXPECT_EQ(plain.size(), pclPlain->_nGetClauseStart(pclPlain->pclGetSQLParserInfoNoRef(), CNASqlElt::SQLELT_WHERE));
    EXPECT_EQ(0u, pclPlain->_nGetClauseStart(nullptr, CNASqlElt::SQLELT_WHERE));
    // Host positions past the text are bounded.
    CNACommand* pclWild = Over(Parse({.text = plain, .whereStart = 500, .whereEnd = 900}));
    EXPECT_EQ(plain.size(), pclWild->_nGetClauseStop(pclWild->pclGetSQLParserInfoNoRef(), CNASqlElt::SQLELT_WHERE));
}

TEST_F(Clauses, EndOfTheStatement)
{
    const std::wstring text = L"SELECT A FROM T WHERE B=1 GROUP BY A HAVING 1=1 LIMIT 5";
    const auto at = [&](const wchar_t* piece) { return static_cast<long>(text.find(piece)); };
    const struct
    {
        long nEnd, nHavingEnd, nGroupByEnd, nWhereEnd;
        const wchar_t* pszExpected;
    } kCases[] = {
        {at(L"1 LIMIT"), -1, -1, -1, L" LIMIT 5"},
        {-1, at(L"1 LIMIT"), at(L"A HAVING"), -1, L" LIMIT 5"},
        {-1, -1, at(L"A HAVING"), -1, L" HAVING 1=1 LIMIT 5"},
        {-1, -1, -1, at(L"1 GROUP"), L" GROUP BY A HAVING 1=1 LIMIT 5"},
        {-1, -1, -1, -1, L""},
        {0, -1, -1, at(L"1 GROUP"), L""},
        {static_cast<long>(text.size()) - 1, -1, -1, -1, L""},
        {5000, -1, -1, -1, L""},
    };
    for (const auto& c : kCases) {
        CNACommand* pclCommand = Over(Parse({.text = text,
                                             .whereEnd = c.nWhereEnd,
                                             .havingEnd = c.nHavingEnd,
                                             .end = c.nEnd,
                                             .groupByEnd = c.nGroupByEnd}));
        EXPECT_EQ(1, pclCommand->bFormatEndOfQuery());
        EXPECT_EQ(c.pszExpected, Original(pclCommand)) << c.nEnd << " " << c.nWhereEnd;
    }
    // As written, or without a parsed query: nothing.
    CNACommand* pclAsWritten = Over(Parse({.text = text, .end = at(L"1 LIMIT")}));
    pclAsWritten->SetAsWritten(1);
    EXPECT_EQ(1, pclAsWritten->bFormatEndOfQuery());
    EXPECT_TRUE(pclAsWritten->bIsEmpty());
    EXPECT_EQ(1, NewCommand()->bFormatEndOfQuery());
}

TEST_F(Clauses, LockAndReturningClauses)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT * FROM T", static_cast<unsigned long>(-1));
    EXPECT_EQ(1, pclCommand->bAddRecordLock());
    EXPECT_EQ(L"SELECT * FROM T", Original(pclCommand));
    Connection().SetRecordLockHint(L"LOCK IN SHARE MODE");
    EXPECT_EQ(1, pclCommand->bAddRecordLock());
    EXPECT_EQ(L"SELECT * FROM T LOCK IN SHARE MODE", Original(pclCommand));
    CNACommand* pclInsert = NewCommand();
    pclInsert->bComplete(L"INSERT INTO T VALUES (1)", static_cast<unsigned long>(-1));
    EXPECT_EQ(1, pclInsert->bAddReturning(L"ID"));
    EXPECT_EQ(L"INSERT INTO T VALUES (1) RETURNING ID", Original(pclInsert));
}

class LikeClauses : public Clauses
{
protected:
    // "A LIKE " and the LIKE parameter, then the rest of the original.
    std::wstring Written(const char* pszValue, wchar_t cEscape = 0, const wchar_t* pszRest = L"")
    {
        CNACommand* pclCommand = NewCommand();
        pclCommand->bComplete(L"A LIKE ", static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Ansi(pszValue)), CNAParameter::PARAM_LIKE, nullptr, cEscape);
        pclCommand->bComplete(pszRest, static_cast<unsigned long>(-1));
        return Formatted(pclCommand);
    }
};

TEST_F(LikeClauses, EscapeClauseByDatabaseKind)
{
    const struct
    {
        int nKind;
        int nServerMajor;
        const char* pszValue;
        wchar_t cEscape;
        const wchar_t* pszExpected;
    } kCases[] = {
        // MySQL takes the backslash without an ESCAPE clause.
        {5, 10, "50\\%", 0, L"A LIKE '50\\%'"},
        {6, 8, "50\\%", 0, L"A LIKE '50\\%' ESCAPE '\\\\'"},
        {6, 9, "50\\%", 0, L"A LIKE '50\\%' ESCAPE '\\'"},
        {12, 20, "50\\%", 0, L"A LIKE '50\\%' ESCAPE '\\\\'"},
        {7, 1, "50\\%", 0, L"A LIKE '50\\%' ESCAPE '\\'"},
        {5, 10, "50!%", L'!', L"A LIKE '50!%' ESCAPE '!'"},
        {7, 1, "50!%", L'!', L"A LIKE '50!%' ESCAPE '!'"},
        {2, 1, "50!%", L'!', L"A LIKE '50!%' ESCAPE '!'"},
        // Kind 3 writes none: the literal is in its own notation.
        {3, 1, "50!%", L'!', L"A LIKE '50!%'"},
        // Without the escape character in the value: none.
        {6, 8, "50%", 0, L"A LIKE '50%'"},
        {5, 10, "5!0", 0, L"A LIKE '5!0'"},
        // A lone escape character is doubled; one that escapes is kept.
        {5, 10, "a\\b", 0, L"A LIKE 'a\\\\b'"},
        {5, 10, "", 0, L"A LIKE ''"},
    };
    for (const auto& c : kCases) {
        Connection().SetDBKind(c.nKind);
        Connection().SetServerVersion(L"", c.nServerMajor);
        EXPECT_EQ(c.pszExpected, Written(c.pszValue, c.cEscape)) << c.nKind << " " << c.pszValue;
    }
}

TEST_F(LikeClauses, AnEscapeClauseWrittenInTheStatement)
{
    // Left as written for the kinds that take it; kind 3 drops it.
    Connection().SetDBKind(7);
    EXPECT_EQ(L"A LIKE '50!%' ESCAPE '!' AND B=1", Written("50!%", L'!', L" ESCAPE '!' AND B=1"));
    Connection().SetDBKind(3);
    EXPECT_EQ(L"A LIKE '50!%' AND B=1", Written("50!%", L'!', L" escape '!' AND B=1"));
    EXPECT_EQ(L"A LIKE '50!%' ESCAPE", Written("50!%", L'!', L" ESCAPE"));
}

TEST_F(LikeClauses, BracketsOfKind2)
{
    Connection().SetDBKind(2);
    EXPECT_EQ(L"A LIKE '[[]a]%'", Written("[a]%"));
}

TEST_F(LikeClauses, ValuesOfOtherTypesAreTakenAsText)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"A LIKE ", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(42)), CNAParameter::PARAM_LIKE);
    pclCommand->bComplete(L" OR B LIKE ", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Wide(L"x'\\y%")), CNAParameter::PARAM_LIKE);
    EXPECT_EQ(L"A LIKE '42' OR B LIKE 'x''\\\\y%'", Formatted(pclCommand));
}

TEST_F(Clauses, EnginePatterns)
{
    CNACommand* pclCommand = NewCommand();
    const struct
    {
        const wchar_t* pszPattern;
        wchar_t cEscape;
        const wchar_t* pszExpected;
    } kCases[] = {
        {L"50%", 0, L"50\\%"},
        {L"a_b'c\\d", 0, L"a\\_b''c\\\\d"},
        {L"50%!", L'!', L"50!%!!"},
        {L"plain", 0, L"plain"},
    };
    for (const auto& c : kCases) {
        CXYString<wchar_t> clWide;
        ASSERT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clWide, c.pszPattern, c.cEscape));
        EXPECT_STREQ(c.pszExpected, clWide.pszGet()) << c.pszPattern;
        EXPECT_EQ(static_cast<int>(std::wcslen(c.pszExpected)), clWide.nGetLongueur());
        const std::wstring wide(c.pszPattern);
        const std::string narrow(wide.begin(), wide.end());
        CXYString<char> clNarrow;
        ASSERT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clNarrow, narrow.c_str(), static_cast<char>(c.cEscape)));
        const std::wstring expected(c.pszExpected);
        EXPECT_EQ(std::string(expected.begin(), expected.end()), clNarrow.pszGet());
    }
    // An empty result holds no string; the pattern may be the result's own.
    CXYString<wchar_t> clEmpty(L"old");
    ASSERT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clEmpty, L"", 0));
    EXPECT_EQ(nullptr, clEmpty.pbyGetBlock());
    CXYString<wchar_t> clSelf(L"1%");
    ASSERT_EQ(1, pclCommand->bEscapeLIKEParamAsQFParam(&clSelf, clSelf.pszGet(), 0));
    EXPECT_STREQ(L"1\\%", clSelf.pszGet());
    // No room: user error 12.
    vxtest::Allocator().FailNth(1, 100);
    CXYString<wchar_t> clNoRoom;
    EXPECT_EQ(0, pclCommand->bEscapeLIKEParamAsQFParam(&clNoRoom, L"50%", 0));
    EXPECT_TRUE(ErrorAt(12, L"10.2"));
}

}  // namespace
