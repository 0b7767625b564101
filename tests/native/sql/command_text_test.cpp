// The command's static text tests: separators, leading and trailing words,
// SET statements, the keyword search that finds where a clause begins
// (outside literals and quoted identifiers, never at position 0), and
// whether a SELECT already limits its rows.
#include <gtest/gtest.h>

#include "native/sql/command.h"
#include "tests/native/sql/command_fixture.h"

namespace {

class CommandText : public vxtest::CommandTest
{
};

TEST_F(CommandText, Separators)
{
    for (wchar_t c : std::wstring(L" \t\r\n!%()*+,-/="))
        EXPECT_TRUE(CNACommand::s_bSeparateur(c)) << static_cast<int>(c);
    for (wchar_t c : std::wstring(L";'\"`aZ0.<>[]\v\f"))
        EXPECT_FALSE(CNACommand::s_bSeparateur(c)) << static_cast<int>(c);
    EXPECT_FALSE(CNACommand::s_bSeparateur(0));
}

TEST_F(CommandText, LeadingWords)
{
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszWord;
        int nPos;
        int bWord;
    } kCases[] = {
        {L"ESCAPE '!'", L"ESCAPE", 0, 1},
        {L" \t escape'!'", L"ESCAPE", 3, 0},
        {L"  ESCAPE(", L"escape", 2, 1},
        {L"ESCAPED", L"ESCAPE", 0, 0},
        {L"ESC", L"ESCAPE", -1, 0},
        {L"", L"ESCAPE", -1, 0},
        {nullptr, L"ESCAPE", -1, 0},
        {L"  X", L"ESCAPE", -1, 0},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.nPos, CNACommand::s_nGetPosSuiteRequete(c.pszText, c.pszWord)) << (c.pszText ? "" : "null");
        EXPECT_EQ(c.nPos != -1, CNACommand::s_bSuiteRequeteCommencePar(c.pszText, c.pszWord) != 0);
        EXPECT_EQ(c.bWord, CNACommand::s_bSuiteRequeteCommenceParMot(c.pszText, c.pszWord));
    }
}

TEST_F(CommandText, TrailingWords)
{
    const struct
    {
        const wchar_t* pszText;
        int bEnds;
    } kCases[] = {
        {L"SELECT * FROM T LIMIT 0 ", 1},
        {L"SELECT * FROM T LIMIT 0", 1},
        {L"SELECT * FROM T limit 0)", 1},
        {L"SELECT * FROM T LIMIT 10", 0},
        {L"SELECT * FROM TLIMIT 0", 0},
        // The word needs two characters before it.
        {L"LIMIT 0", 0},
        {L" LIMIT 0", 0},
        {L"  LIMIT 0", 1},
        {L"", 0},
        {L"   ", 0},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.bEnds, CNACommand::s_bRequeteTerminePar(c.pszText, L"LIMIT 0")) << c.pszText;
}

TEST_F(CommandText, SetStatements)
{
    const struct
    {
        const wchar_t* pszText;
        int bSet;
    } kCases[] = {
        {L"SET NAMES utf8", 1},
        {L"  set autocommit=0;", 1},
        {L"SET @a=1", 1},
        {L"SET", 1},
        {L"SETX", 1},
        {L"SET NAMES utf8 ;; ", 1},
        {L"SET a = 1", 0},
        {L"SET NAMES utf8 COLLATE x", 0},
        {L"SELECT 1", 0},
        {L"", 0},
        {L" \t ", 0},
        {nullptr, 0},
        {L"SE", 0},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.bSet, CNACommand::s_bIsQuerySet(c.pszText)) << (c.pszText ? c.pszText : L"null");
}

TEST_F(CommandText, ClauseStartOutsideLiteralsAndIdentifiers)
{
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszKeyword;
        long nFrom;
        long nAt;
    } kCases[] = {
        {L"SELECT A FROM T", L"FROM", -1, 9},
        {L"select a from t", L"FROM", -1, 9},
        {L"SELECT A FROM T WHERE B='it''s FROM here'", L"FROM", -1, 9},
        {L"SELECT A FROM T WHERE B='x\\' FROM y'", L"FROM", -1, 9},
        {L"SELECT `A FROM B` FROM T", L"FROM", -1, 18},
        {L"SELECT `x` FROM T", L"FROM", -1, 11},
        // Position 0 is never tested.
        {L"FROM T", L"FROM", -1, -1},
        // The end of the text is no separator.
        {L"SELECT A FROM", L"FROM", -1, -1},
        {L"SELECT A FROMAGE T", L"FROM", -1, -1},
        // The last occurrence wins; from bounds the search.
        {L"SELECT (SELECT B FROM U) FROM T", L"FROM", -1, 25},
        {L"SELECT (SELECT B FROM U) FROM T", L"FROM", 24, 17},
        {L"SELECT A FROM T", L"FROM", 0, -1},
        {L"SELECT A FROM T", L"FROM", 9000, 9},
        {L"SELECT A FROM T LIMIT 5", L"LIMIT", -1, 16},
        {L"SELECT A FROM T WHERE (X)LIMIT(5)", L"LIMIT", -1, 25},
        {L"", L"FROM", -1, -1},
        {nullptr, L"FROM", -1, -1},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.nAt, CNACommand::s_nGetClauseStart(m_pclConnection, c.pszText, c.pszKeyword, c.nFrom))
            << (c.pszText ? c.pszText : L"null") << " from " << c.nFrom;
}

TEST_F(CommandText, ClauseStartWithTheConnectionsQuotes)
{
    // Searched from before the last FROM: the keyword inside the quoted
    // identifier is skipped only when the quotes are the connection's.
    const wchar_t* pszBrackets = L"SELECT [[A FROM B]] FROM T";
    Connection().SetQuotes(L"[[", L"]]");
    EXPECT_EQ(-1, CNACommand::s_nGetClauseStart(m_pclConnection, pszBrackets, L"FROM", 19));
    EXPECT_EQ(20, CNACommand::s_nGetClauseStart(m_pclConnection, pszBrackets, L"FROM", -1));
    const wchar_t* pszBackquotes = L"SELECT `A FROM B` , FROM T";
    EXPECT_EQ(10, CNACommand::s_nGetClauseStart(m_pclConnection, pszBackquotes, L"FROM", 18));
    Connection().SetQuotes(L"`", L"`");
    EXPECT_EQ(-1, CNACommand::s_nGetClauseStart(m_pclConnection, pszBackquotes, L"FROM", 18));
    Connection().SetQuotes(nullptr, nullptr);
    EXPECT_EQ(11, CNACommand::s_nGetClauseStart(m_pclConnection, pszBrackets, L"FROM", 19));
    EXPECT_EQ(10, CNACommand::s_nGetClauseStart(nullptr, pszBackquotes, L"FROM", 18));
}

TEST_F(CommandText, ResultsetLimited)
{
    const struct
    {
        const wchar_t* pszText;
        int bLimited;
    } kCases[] = {
        {L"SELECT TOP 10 * FROM T", 1},
        {L"select\ttop\t10 * FROM T", 1},
        {L"SELECT TOPAZ FROM T", 0},
        {L"SELECT * FROM T LIMIT 10", 1},
        {L"SELECT * FROM T limit 1, 10", 1},
        // Parentheses are not followed: a limited sub-query counts.
        {L"SELECT * FROM (SELECT * FROM U LIMIT 3) X", 1},
        {L"SELECT * FROM T WHERE A='LIMIT 3'", 0},
        {L"SELECT * FROM T", 0},
        {L" SELECT TOP 10 * FROM T", 0},
        {L"UPDATE T SET A=1 LIMIT 1", 0},
        {L"SELECT TOP ", 0},
        {L"", 0},
        {nullptr, 0},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.bLimited, CNACommand::s_bQueryResultsetLimited(m_pclConnection, c.pszText))
            << (c.pszText ? c.pszText : L"null");
}

}  // namespace
