// The formatted text of a command: values written in as literals, the blank
// rule between pieces, built once and kept, row limits of each database
// kind (TOP to LIMIT for MySQL, LIMIT to TOP for the kinds that need it),
// and the builds that fail: a file that cannot be loaded, a value the
// connection cannot write, a builder that cannot grow. A failed build
// leaves no formatted text behind.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/xmalloc_failures.h"
#include "tests/native/sql/command_fixture.h"

namespace {

class Formatted : public vxtest::CommandTest
{
protected:
    // A command whose original text is the text, with the limit and offset.
    CNACommand* WithText(const wchar_t* pszText, int64_t llLimit = -1, int64_t llOffset = -1)
    {
        CNACommand* pclCommand = NewCommand();
        pclCommand->bComplete(pszText, static_cast<unsigned long>(-1));
        pclCommand->SetLimit(llLimit, llOffset);
        return pclCommand;
    }
    std::wstring Text(CNACommand* pclCommand) { return vxtest::CommandTest::Formatted(pclCommand); }
    static std::wstring Held(const CNACommand* pclCommand) { return pclCommand->clGetFormated().pszGetW(); }
};

TEST_F(Formatted, ValuesStandWhereTheirParametersStand)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"WHERE A=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Wide(L"x")));
    pclCommand->bComplete(L")", static_cast<unsigned long>(-1));
    // A value follows the text before it; the next piece is set off.
    EXPECT_EQ(L"WHERE A='x' )", Text(pclCommand));

    CNACommand* pclTwo = NewCommand();
    pclTwo->bComplete(L"SELECT * FROM T WHERE A=", static_cast<unsigned long>(-1));
    AddParameter(pclTwo, Value(Wide(L"it's")));
    pclTwo->bComplete(L"AND B>", static_cast<unsigned long>(-1));
    AddParameter(pclTwo, Value(Int(-3)));
    pclTwo->bComplete(L" AND C=", static_cast<unsigned long>(-1));
    AddParameter(pclTwo, Value(Ansi("8-bit")));
    EXPECT_EQ(L"SELECT * FROM T WHERE A='it''s' AND B>-3 AND C='8-bit'", Text(pclTwo));

    // Without parameters: the original text.
    EXPECT_EQ(L"SELECT 1", Text(WithText(L"SELECT 1")));
    EXPECT_EQ(L"", Text(WithText(L"")));
}

TEST_F(Formatted, BuiltOnceAndKeptUntilReset)
{
    CNACommand* pclCommand = WithText(L"SELECT * FROM T WHERE A=");
    CNAConvertVariant* pclValue = Value(Int(1));
    AddParameter(pclCommand, pclValue);
    CTStringConcatAW* pclBuilt = pclCommand->pclGetFormatedSQL(CNACommand::PARAMTYPE_NONE);
    ASSERT_NE(nullptr, pclBuilt);
    EXPECT_STREQ(L"SELECT * FROM T WHERE A=1", pclBuilt->pszGetW());
    // Another mask, another value, more text: the same text.
    pclValue->bSetValue(2);
    pclCommand->bComplete(L" OR B=2", static_cast<unsigned long>(-1));
    EXPECT_EQ(pclBuilt, pclCommand->pclGetFormatedSQL(CNACommand::PARAMTYPE_TEXT));
    EXPECT_STREQ("SELECT * FROM T WHERE A=1", pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_INTEGER));
    pclCommand->ResetFormatedSQL();
    EXPECT_EQ(L"SELECT * FROM T WHERE A=2 OR B=2", Text(pclCommand));
}

TEST_F(Formatted, PositionsFromElsewhereAreBoundedByTheText)
{
    CNACommand* pclCommand = WithText(L"A=");
    AddParameter(pclCommand, Value(Int(1)));
    pclCommand->bComplete(L" AND B=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(2)));
    // A shared parameter shifted by another command, behind the text, and
    // one before the parameter ahead of it.
    pclCommand->pclGetParameterNoRef(0)->SetPosition(1000);
    pclCommand->pclGetParameterNoRef(1)->SetPosition(1);
    EXPECT_EQ(L"A= AND B=12", Text(pclCommand));
}

TEST_F(Formatted, RowLimitsOfMySQL)
{
    const struct
    {
        const wchar_t* pszText;
        int64_t llLimit;
        int64_t llOffset;
        const wchar_t* pszExpected;
        int64_t llLimitAfter;
    } kCases[] = {
        {L"SELECT TOP 5 * FROM T", -1, -1, L"SELECT  * FROM T LIMIT 5", -1},
        {L"select\ttop\t7 A from t", 3, -1, L"select\t A from t LIMIT 7", -1},
        {L"SELECT TOP 5 * FROM T", -1, 10, L"SELECT  * FROM T LIMIT 10, 5", -1},
        {L"SELECT * FROM T", -1, -1, L"SELECT * FROM T", -1},
        {L"SELECT * FROM T", 0, -1, L"SELECT * FROM T", 0},
        {L"SELECT * FROM T", 10, 0, L"SELECT * FROM T LIMIT 10", 10},
        {L"SELECT * FROM T", 10, 1, L"SELECT * FROM T LIMIT 1, 10", 10},
        {L"SELECT * FROM T", 20, 40, L"SELECT * FROM T LIMIT 40, 20", 20},
        {L"SELECT * FROM T", 5000000000, 6000000000, L"SELECT * FROM T LIMIT 6000000000, 5000000000", 5000000000},
        {L"SELECT * FROM T LIMIT 0", 10, -1, L"SELECT * FROM T LIMIT 0", 10},
        {L"SELECT * FROM T limit 0 ", 10, -1, L"SELECT * FROM T limit 0 ", 10},
        // A TOP 0 written in the statement asks for no row.
        {L"SELECT TOP 0 * FROM T", -1, -1, L"SELECT  * FROM T LIMIT 0", -1},
        // Names of the select list that begin with TOP, a TOP without its
        // number, a number beyond 64 bits: no TOP clause.
        {L"SELECT TOPIC FROM T", -1, -1, L"SELECT TOPIC FROM T", -1},
        {L"SELECT TOPIC FROM T", 3, -1, L"SELECT TOPIC FROM T LIMIT 3", 3},
        {L"SELECT TOP5 A FROM T", 3, -1, L"SELECT TOP5 A FROM T LIMIT 3", 3},
        {L"SELECT TOP FROM T", 3, -1, L"SELECT TOP FROM T LIMIT 3", 3},
        {L"SELECT TOP 99999999999999999999 A FROM T", -1, -1, L"SELECT TOP 99999999999999999999 A FROM T", -1},
        {L"SELECT TOP 9223372036854775807 A FROM T", -1, -1, L"SELECT  A FROM T LIMIT 9223372036854775807", -1},
        {L"UPDATE T SET A=1", 10, -1, L"UPDATE T SET A=1", 10},
        {L"SELECT TOP 1", -1, -1, L"SELECT  LIMIT 1", -1},
        {L"SELECT TOP ", 4, -1, L"SELECT TOP  LIMIT 4", 4},
    };
    for (int nKind : {5, 6}) {
        Connection().SetDBKind(nKind);
        for (const auto& c : kCases) {
            CNACommand* pclCommand = WithText(c.pszText, c.llLimit, c.llOffset);
            EXPECT_EQ(c.pszExpected, Text(pclCommand)) << nKind << " " << c.pszText;
            EXPECT_EQ(c.llLimitAfter, pclCommand->llGetLimit()) << c.pszText;
        }
    }
}

TEST_F(Formatted, AsWrittenNothingIsRewritten)
{
    CNACommand* pclCommand = WithText(L"SELECT TOP 5 * FROM T", 10);
    pclCommand->SetAsWritten(1);
    EXPECT_EQ(L"SELECT TOP 5 * FROM T", Text(pclCommand));
    EXPECT_EQ(10, pclCommand->llGetLimit());
    Connection().SetDBKind(2);
    CNACommand* pclTop = WithText(L"SELECT A FROM T LIMIT 10");
    pclTop->SetAsWritten(1);
    EXPECT_EQ(L"SELECT A FROM T LIMIT 10", Text(pclTop));
}

TEST_F(Formatted, RowLimitsOfTheKindsThatWriteTop)
{
    const struct
    {
        const wchar_t* pszText;
        const wchar_t* pszExpected;
    } kCases[] = {
        {L"SELECT A FROM T LIMIT 10", L"SELECT TOP 10  A FROM T"},
        {L"SELECT A FROM T LIMIT 5, 10", L"SELECT A FROM T LIMIT 5, 10"},
        {L"SELECT A FROM T LIMIT 10, 0", L"SELECT TOP 10  A FROM T"},
        // Whatever follows the LIMIT clause is dropped.
        {L"SELECT A FROM T LIMIT 10 FOR UPDATE", L"SELECT TOP 10  A FROM T"},
        {L"select a from t limit(3)", L"SELECT TOP 3  a from t"},
        {L"SELECT A FROM T WHERE B='LIMIT 3'", L"SELECT A FROM T WHERE B='LIMIT 3'"},
        {L"SELECT A FROM T LIMIT ALL", L"SELECT A FROM T LIMIT ALL"},
        {L"UPDATE T SET A=1 LIMIT 1", L"UPDATE T SET A=1 LIMIT 1"},
    };
    for (int nKind : {1, 2, 3}) {
        Connection().SetDBKind(nKind);
        for (const auto& c : kCases)
            EXPECT_EQ(c.pszExpected, Text(WithText(c.pszText, 20))) << nKind << " " << c.pszText;
    }
    // Kind 4, kinds from 7 up and no kind: no row limit at all.
    for (int nKind : {0, 4, 7, 13}) {
        Connection().SetDBKind(nKind);
        EXPECT_EQ(L"SELECT TOP 5 A FROM T LIMIT 10", Text(WithText(L"SELECT TOP 5 A FROM T LIMIT 10", 20))) << nKind;
    }
}

TEST_F(Formatted, RowLimitOnAUtf8Connection)
{
    UseUtf8();
    CNACommand* pclCommand = WithText(L"SELECT TOP 3 \u00e9\u20ac FROM T WHERE A=");
    AddParameter(pclCommand, Value(Wide(L"\U0001F600")));
    EXPECT_EQ(L"SELECT  \u00e9\u20ac FROM T WHERE A='\U0001F600' LIMIT 3", Text(pclCommand));
    EXPECT_STREQ("SELECT  \xc3\xa9\xe2\x82\xac FROM T WHERE A='\xf0\x9f\x98\x80' LIMIT 3",
                 pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE));
}

TEST_F(Formatted, AWideConnectionTakesTheLiteralsAsWideText)
{
    Connection().SetClientTextCodePage(-2);
    CNACommand* pclCommand = WithText(L"SELECT * FROM T WHERE A=", 2);
    AddParameter(pclCommand, Value(Wide(L"\u0101")));
    EXPECT_TRUE(pclCommand->clGetFormated().bMaitreLarge());
    EXPECT_EQ(L"SELECT * FROM T WHERE A='\u0101' LIMIT 2", Text(pclCommand));
}

// A file that cannot be loaded fails the statement with the load's error:
// its path never goes to the server as the value.
TEST_F(Formatted, AFileThatCannotBeLoadedFailsTheBuild)
{
    CNACommand* pclCommand = WithText(L"UPDATE T SET NOTE=");
    AddParameter(pclCommand, Value(Wide(L"/nonexistent/vx/memo.txt")),
                 CNAParameter::PARAM_FILE | CNAParameter::PARAM_FILE_TEXT);
    pclCommand->bComplete(L" WHERE ID=1", static_cast<unsigned long>(-1));
    EXPECT_EQ(nullptr, pclCommand->pszGetFormatedSQLW(CNACommand::PARAMTYPE_NONE));
    EXPECT_TRUE(ErrorAt(15, L"7.2"));
    EXPECT_EQ(L"", Held(pclCommand));
    EXPECT_EQ(nullptr, pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE));
    EXPECT_EQ(L"", Held(pclCommand));
}

// After a failed build no piece of the statement is kept: a later getter
// builds again (and fails again) rather than hand out a statement without
// its last values and row limit.
TEST_F(Formatted, AFailedBuildLeavesNoTextBehind)
{
    CNACommand* pclCommand = WithText(L"SELECT * FROM T WHERE A=", 10);
    AddParameter(pclCommand, Value(Int(1)));
    pclCommand->bComplete(L" AND D=", static_cast<unsigned long>(-1));
    Connection().SetLiteralFails(L"unwritable");
    AddParameter(pclCommand, Value(Wide(L"unwritable")));
    EXPECT_EQ(nullptr, pclCommand->pclGetFormatedSQL(CNACommand::PARAMTYPE_NONE));
    EXPECT_EQ(CTestConnection::kFailureUserCode, m_pclError->dwGetErrorId());
    EXPECT_EQ(L"", Held(pclCommand));
    EXPECT_EQ(nullptr, pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE));
    // Text appended as written goes nowhere while nothing is built.
    pclCommand->SetAsWritten(1);
    pclCommand->bComplete(L" OR 1=1", static_cast<unsigned long>(-1));
    EXPECT_EQ(L"", Held(pclCommand));
    // Once the value is right, the whole statement comes.
    const CAny clGood = Wide(L"written");
    pclCommand->pclGetParameterNoRef(1)->bSetValue(&clGood);
    pclCommand->SetAsWritten(0);
    EXPECT_EQ(L"SELECT * FROM T WHERE A=1 AND D='written' OR 1=1 LIMIT 10", Text(pclCommand));
}

TEST_F(Formatted, ABuilderThatCannotGrowFailsTheBuild)
{
    const std::wstring text = L"SELECT * FROM T WHERE A='" + std::wstring(3000, L'a') + L"' AND B=";
    CNACommand* pclCommand = WithText(text.c_str());
    AddParameter(pclCommand, Value(Int(1)));
    {
        vxtest::XmallocFailures failures;
        failures.FailAll(true);
        EXPECT_EQ(nullptr, pclCommand->pszGetFormatedSQLW(CNACommand::PARAMTYPE_NONE));
    }
    // The out-of-memory error at the command's site.
    EXPECT_EQ(NA_ERR_GENERAL, m_pclError->eGetErrorType());
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"IEZODIRA=10.4\r\n"));
    EXPECT_EQ(L"", Held(pclCommand));
    EXPECT_EQ(text + L"1", Text(pclCommand));
}

}  // namespace
