// The SQL command: its slots, what a new one holds, text appending,
// parameters placed at the text's length (wide characters, also on a UTF-8
// connection), insertions and cuts that move or drop them, combining two
// commands in both modes, reset, query kinds, parameter classes, output
// columns, the column-NULL bookkeeping, and user parameters refreshed from
// the host's bind variables.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "native/model/column_null_exclusions.h"
#include "native/model/define.h"
#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_parsed_query.h"
#include "tests/host/db/standin_query_parameters.h"
#include "tests/native/abi_slots.h"
#include "tests/native/sql/command_fixture.h"

namespace {

class Command : public vxtest::CommandTest
{
protected:
    static std::wstring Original(const CNACommand* pclCommand) { return pclCommand->pszGetOriginalSQL(); }
};

using Places = std::vector<unsigned long>;

TEST_F(Command, SlotsInTheirOrder)
{
    using C = CNACommand;
    vxtest::ExpectSlots(
        "CNACommand",
        {VX_SLOT(C, bNeedToReplaceStar, 3), VX_SLOT(C, bIsEmpty, 4), VX_SLOT(C, nGetParameterNbr, 5),
         VX_SLOT(C, ResetCommand, 6), VX_SLOT_AS(C, bComplete, int (C::*)(ISQLParserInformation*), 7),
         VX_SLOT(C, bAdd, 8),
         VX_SLOT_AS(C, bAddParameter,
                    int (C::*)(CNAConvertVariant*, eOPEXPRESSION, unsigned, CNAColumn*, const wchar_t*, wchar_t,
                               CNAParameter::eNAPARAMETERINOUT),
                    9),
         VX_SLOT(C, bAddSelectColumns, 10), VX_SLOT(C, bAddSelectColumn, 11),
         VX_SLOT(C, _bFormatAndConvertItemInClause, 12), VX_SLOT(C, eGetFormatExpressionColonne, 13),
         VX_SLOT_AS(C, _bAddParameterFormated, int (C::*)(CNAParameter*, C::ePARAMTYPECONV, unsigned long*), 14),
         VX_SLOT_AS(C, _bAddParameterFormated,
                    int (C::*)(CNAParameter*, eNA_ITEMTYPE, eNA_ITEMTYPE, C::ePARAMTYPECONV, unsigned long*), 15),
         VX_SLOT(C, _bAddParameterFormatedLike, 16), VX_SLOT(C, vAddEscapeLike, 17),
         VX_SLOT(C, vbAddEscapedLikeValue, 18), VX_SLOT(C, vAddEscapeLikeIfNeeded, 19),
         VX_SLOT(C, _bBuildFormatedSQL, 20), VX_SLOT(C, _FormatItemNameInWHEREClause, 21),
         VX_SLOT(C, _FormatRubriqueAlias, 22), VX_SLOT(C, _vbFormatExpressionOperatorEntreOperande, 23),
         VX_SLOT(C, _vbSkipOperande, 24), VX_SLOT(C, _vConvertirFonction, 25),
         VX_SLOT(C, _FormatExpressionArgument, 26), VX_SLOT(C, _FormatExpressionLiteral, 27),
         VX_SLOT(C, _FormatExpressionItemName, 28), VX_SLOT(C, _FormatExpressionOperator, 29),
         VX_SLOT(C, _GetMotifVariableDebut, 30), VX_SLOT(C, _GetMotifVariableFin, 31),
         VX_SLOT(C, _FormatTableClauseFROM, 32), VX_SLOT(C, _FormatTableAliasClauseFROM, 33),
         VX_SLOT(C, _bShouldAddParameter, 34)});
    EXPECT_EQ(35, VX_SLOT_COUNT(CNACommand));
}

TEST_F(Command, ANewCommandHoldsItsConnectionAndErrorObject)
{
    const uint32_t nConnectionRefs = m_pclConnection->m_dwRefCount;
    const unsigned nErrorRefs = m_pclError->nGetRef();
    CNACommand* pclCommand = Driver()->pclAllocCommand(m_pclError, m_pclConnection);
    ASSERT_NE(nullptr, pclCommand);
    EXPECT_EQ(0u, pclCommand->m_dwRefCount);
    EXPECT_EQ(nConnectionRefs + 1, m_pclConnection->m_dwRefCount);
    EXPECT_EQ(nErrorRefs + 1, m_pclError->nGetRef());
    EXPECT_TRUE(pclCommand->bIsEmpty());
    EXPECT_TRUE(pclCommand->bNeedToReplaceStar());
    EXPECT_EQ(0, pclCommand->nGetParameterNbr());
    EXPECT_EQ(-1, pclCommand->llGetLimit());
    EXPECT_EQ(-1, pclCommand->llGetOffset());
    EXPECT_EQ(3, pclCommand->nGetColumnSelectionMode());
    EXPECT_EQ(NA_QUERY_NONE, pclCommand->eGetQueryType());
    EXPECT_EQ(1, pclCommand->nGetOption());
    wchar_t szMotif[2];
    EXPECT_EQ(1, pclCommand->_GetMotifVariableDebut(szMotif, 2));
    EXPECT_STREQ(L"{", szMotif);
    EXPECT_EQ(1, pclCommand->_GetMotifVariableFin(szMotif, 2));
    EXPECT_STREQ(L"}", szMotif);
    REF_AddRef(pclCommand);
    pclCommand->nRelease();
    EXPECT_EQ(nConnectionRefs, m_pclConnection->m_dwRefCount);
    EXPECT_EQ(nErrorRefs, m_pclError->nGetRef());

    // The option word marks a MySQL connection only.
    Connection().SetDBKind(4);
    EXPECT_EQ(0, NewCommand()->nGetOption());
    Connection().SetDBKind(5);
}

TEST_F(Command, TextIsAppended)
{
    CNACommand* pclCommand = NewCommand();
    EXPECT_EQ(1, pclCommand->bComplete(L"", static_cast<unsigned long>(-1)));
    EXPECT_EQ(1, pclCommand->bComplete(nullptr, static_cast<unsigned long>(-1)));
    EXPECT_TRUE(pclCommand->bIsEmpty());
    EXPECT_EQ(1, pclCommand->bComplete(L"SELECT * FROM T", 6));
    EXPECT_EQ(1, pclCommand->bComplete(L" ID=", static_cast<unsigned long>(-1)));
    EXPECT_EQ(1, pclCommand->bCompleteWithNumber(-42));
    EXPECT_EQ(L"SELECT ID=-42", Original(pclCommand));
    EXPECT_FALSE(pclCommand->bIsEmpty());
    pclCommand->SetColumnSelectionMode(1);
    EXPECT_EQ(1, pclCommand->bSetInternalQuery(L" X", static_cast<unsigned long>(-1)));
    EXPECT_EQ(3, pclCommand->nGetColumnSelectionMode());
    EXPECT_STREQ("SELECT ID=-42 X", pclCommand->pszGetOriginalSQLA());
}

TEST_F(Command, TextGoesToABuiltFormattedTextOnlyAsWritten)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT A FROM T", static_cast<unsigned long>(-1));
    // No formatted text yet: nothing goes there.
    pclCommand->SetAsWritten(1);
    pclCommand->bComplete(L" WHERE", static_cast<unsigned long>(-1));
    EXPECT_EQ(L"SELECT A FROM T WHERE", Formatted(pclCommand));
    pclCommand->bComplete(L" B=1", static_cast<unsigned long>(-1));
    pclCommand->Insert(7, L"DISTINCT ");
    EXPECT_EQ(L"SELECT DISTINCT A FROM T WHERE B=1", Formatted(pclCommand));
    pclCommand->SetAsWritten(0);
    pclCommand->bComplete(L" AND C=2", static_cast<unsigned long>(-1));
    pclCommand->Insert(0, L"/* x */ ");
    EXPECT_EQ(L"SELECT DISTINCT A FROM T WHERE B=1", Formatted(pclCommand));
    EXPECT_EQ(L"/* x */ SELECT DISTINCT A FROM T WHERE B=1 AND C=2", Original(pclCommand));
    pclCommand->ResetFormatedSQL();
    EXPECT_EQ(Original(pclCommand), Formatted(pclCommand));
}

TEST_F(Command, ParametersStandAtTheTextLengthAndWriteNothing)
{
    CNACommand* pclCommand = NewCommand();
    CNAConvertVariant* pclValue = Value(Int(5));
    const uint32_t nValueRefs = pclValue->m_dwRefCount;
    pclCommand->bComplete(L"SELECT * FROM T WHERE A=", static_cast<unsigned long>(-1));
    ASSERT_EQ(1, AddParameter(pclCommand, pclValue, 0, L"A", L'!'));
    pclCommand->bComplete(L" AND B=", static_cast<unsigned long>(-1));
    // From a runtime value: the driver makes the value holder.
    const CAny clSix = Int(6);
    ASSERT_EQ(1, pclCommand->bAddParameter(&clSix, OPEXP_EQUAL, 0, nullptr, 0, CNAParameter::NA_PARAM_IN));
    ASSERT_EQ(1, pclCommand->bAddParameterReturn(pclValue));
    EXPECT_EQ(L"SELECT * FROM T WHERE A= AND B=", Original(pclCommand));
    EXPECT_EQ((Places{24, 31, 31}), Positions(pclCommand));
    EXPECT_EQ(3, pclCommand->nGetParameterNbr());

    CNAParameter* pclFirst = pclCommand->pclGetParameterNoRef(0);
    EXPECT_EQ(pclValue, pclFirst->pclGetValueNoRef());
    EXPECT_EQ(L'!', pclFirst->nGetEscape());
    EXPECT_EQ(OPEXP_NONE, pclFirst->eGetOperator());
    EXPECT_EQ(1u, pclFirst->m_dwRefCount);
    EXPECT_EQ(nValueRefs + 2, pclValue->m_dwRefCount);
    CNAParameter* pclSecond = pclCommand->pclGetParameterNoRef(1);
    EXPECT_EQ(OPEXP_EQUAL, pclSecond->eGetOperator());
    EXPECT_STREQ(L"", pclSecond->pszGetName());
    CAny clHeld;
    pclSecond->pclGetValueNoRef()->bGetValue(&clHeld);
    EXPECT_EQ(ZLTYPE_I4, clHeld.nGetTypeCode());
    EXPECT_EQ(1u, pclSecond->pclGetValueNoRef()->m_dwRefCount);
    CNAParameter* pclReturn = pclCommand->pclGetParameterNoRef(2);
    EXPECT_EQ(static_cast<unsigned>(CNAParameter::NA_PARAM_RETURN), pclReturn->nGetDirection());
    EXPECT_EQ(0, pclReturn->nGetEscape());
    EXPECT_EQ(nullptr, pclCommand->pclGetParameterNoRef(3));
}

// The decision on positions: wide characters of the original text, also
// when the builder's 8-bit side is UTF-8 and a character takes several
// bytes.
TEST_F(Command, PositionsAreWideCharactersOnAUtf8Connection)
{
    UseUtf8();
    CNACommand* pclCommand = NewCommand();
    const std::wstring head = L"SELECT * FROM T WHERE NOM='\u00e9t\u00e9 \u20ac \U0001F600' AND A=";
    pclCommand->bComplete(head.c_str(), static_cast<unsigned long>(-1));
    ASSERT_EQ(1, AddParameter(pclCommand, Value(Int(5))));
    pclCommand->bComplete(L" AND B=", static_cast<unsigned long>(-1));
    ASSERT_EQ(1, AddParameter(pclCommand, Value(Wide(L"\u00e0"))));
    EXPECT_EQ((Places{head.size(), head.size() + 7}), Positions(pclCommand));
    EXPECT_EQ(head + L"5 AND B='\u00e0'", Formatted(pclCommand));
    // The bytes sent: UTF-8.
    const std::string sent = pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
    EXPECT_EQ("SELECT * FROM T WHERE NOM='\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80' AND A=5 AND B='\xc3\xa0'",
              sent);

    // An insertion before the parameters moves them by its characters.
    pclCommand->ResetFormatedSQL();
    pclCommand->Insert(7, L"\u00c9\u00c9 ");
    EXPECT_EQ((Places{head.size() + 3, head.size() + 10}), Positions(pclCommand));
    EXPECT_EQ(L"SELECT \u00c9\u00c9 * FROM T WHERE NOM='\u00e9t\u00e9 \u20ac \U0001F600' AND A=5 AND B='\u00e0'",
              Formatted(pclCommand));
    // A cut at a wide position keeps the characters before it whole.
    pclCommand->Tronque(head.size() + 3);
    EXPECT_EQ((Places{}), Positions(pclCommand));
    EXPECT_EQ(L"SELECT \u00c9\u00c9 " + head.substr(7), Original(pclCommand));
}

// The count of characters the command keeps over its appends agrees with
// its text after any sequence of changes, whatever the code pages.
TEST_F(Command, TheCharacterCountFollowsEveryChange)
{
    std::mt19937 random(31);
    const std::wstring pieces[] = {L"SELECT ", L"\u00e9t\u00e9", L"\u4e2d\u6587", L"\U0001F600 x", L"", L"''"};
    for (int nCodePage : {65001, 1252, -2}) {
        Connection().SetClientTextCodePage(nCodePage);
        CNACommand* pclCommand = NewCommand();
        for (int n = 0; n < 300; ++n) {
            const unsigned long nLength = pclCommand->nGetOriginalLength();
            switch (random() % 7) {
            case 0:
            case 1:
                pclCommand->bComplete(pieces[random() % 6].c_str(), static_cast<unsigned long>(-1));
                break;
            case 2:
                pclCommand->bCompleteWithNumber(static_cast<int>(random() % 2000) - 1000);
                break;
            case 3:
                pclCommand->Insert(random() % (nLength + 2), pieces[random() % 6].c_str());
                break;
            case 4:
                pclCommand->Tronque(random() % (nLength + 2));
                break;
            case 5:
                pclCommand->Replace(random() % (nLength + 2), random() % 4, pieces[random() % 6].c_str());
                break;
            default:
                if (random() % 10 == 0)
                    pclCommand->ResetCommand(1);
                break;
            }
            ASSERT_EQ(std::wcslen(pclCommand->pszGetOriginalSQL()), pclCommand->nGetOriginalLength())
                << nCodePage << " step " << n;
        }
    }
}

// An 8-bit original of ASCII text is copied into the formatted text by its
// bytes: each text must come out as a wide builder's (which never takes that
// way), with the blanks between pieces, on every 8-bit code page.
TEST_F(Command, AnAsciiOriginalFormatsAsAWideOne)
{
    const struct
    {
        const wchar_t* pszHead;
        const wchar_t* pszMiddle;
        const wchar_t* pszTail;
    } kCases[] = {
        {L"SELECT * FROM T WHERE A=", L" AND B=", L" ORDER BY A LIMIT 10"},
        {L"SELECT * FROM T WHERE A=", L"AND B=", L"ORDER BY A"},
        {L"", L"=", L""},
        {L"SELECT `x`,'q''t' FROM T WHERE A= ", L" OR B =\x7f", L" "},
        {L"SELECT * FROM T WHERE NOM='\u00e9t\u00e9' AND A=", L" AND B=", L" -- \u00e7"},
        {L"SELECT * FROM T WHERE A=", L" AND B='\u20ac' AND C=", L""},
    };
    const CAny aValues[][2] = {{Int(5), Wide(L"x'y")}, {Int(-7), Wide(L"\u00e0")}};
    for (const auto& c : kCases) {
        for (const auto& values : aValues) {
            std::wstring expected;
            for (int nCodePage : {-2, 65001, 1252}) {
                SCOPED_TRACE(testing::Message() << "code page " << nCodePage << ", case " << (&c - kCases));
                Connection().SetClientTextCodePage(nCodePage);
                CNACommand* pclCommand = NewCommand();
                pclCommand->bComplete(c.pszHead, static_cast<unsigned long>(-1));
                ASSERT_EQ(1, AddParameter(pclCommand, Value(values[0])));
                pclCommand->bComplete(c.pszMiddle, static_cast<unsigned long>(-1));
                ASSERT_EQ(1, AddParameter(pclCommand, Value(values[1])));
                pclCommand->bComplete(c.pszTail, static_cast<unsigned long>(-1));
                const std::wstring formatted = Formatted(pclCommand);
                if (nCodePage == -2)
                    expected = formatted;
                else
                    EXPECT_EQ(expected, formatted);
                if (nCodePage == 65001) {
                    const char* pszSent = pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
                    ASSERT_NE(nullptr, pszSent);
                    CXYString<char> clUtf8;
                    clUtf8.__nConversion(expected.data(), static_cast<int>(expected.size()), 0, 65001, 0, nullptr);
                    EXPECT_STREQ(clUtf8.pszGet(), pszSent);
                }
            }
        }
    }
}

TEST_F(Command, InsertMovesTheParametersAtOrBehindThePoint)
{
    const struct
    {
        unsigned long nAt;
        const wchar_t* pszText;
        Places expected;
        const wchar_t* pszOriginal;
    } kCases[] = {
        {10, L"XYZ", {4, 13, 15}, L"0123456789XYZ01"},
        {0, L"XYZ", {7, 13, 15}, L"XYZ012345678901"},
        {11, L"XYZ", {4, 10, 15}, L"01234567890XYZ1"},
        // At the end, and past it: appended, the parameter at the end moves.
        {12, L"XYZ", {4, 10, 15}, L"012345678901XYZ"},
        {99, L"XYZ", {4, 10, 15}, L"012345678901XYZ"},
        {5, L"", {4, 10, 12}, L"012345678901"},
    };
    for (const auto& c : kCases) {
        CNACommand* pclCommand = NewCommand();
        for (const wchar_t* pszPiece : {L"0123", L"456789", L"01"}) {
            pclCommand->bComplete(pszPiece, static_cast<unsigned long>(-1));
            AddParameter(pclCommand, Value(Int(1)));
        }
        pclCommand->Insert(c.nAt, c.pszText);
        EXPECT_EQ(c.expected, Positions(pclCommand)) << c.nAt;
        EXPECT_EQ(c.pszOriginal, Original(pclCommand)) << c.nAt;
    }
}

TEST_F(Command, TronqueDropsTheParametersAtOrBehindTheCut)
{
    const struct
    {
        unsigned long nLength;
        Places expected;
        const wchar_t* pszOriginal;
    } kCases[] = {
        {10, {4}, L"0123456789"},
        {11, {4, 10}, L"01234567890"},
        {4, {}, L"0123"},
        {0, {}, L""},
        {12, {4, 10}, L"012345678901"},
        {13, {4, 10, 12}, L"012345678901"},
    };
    for (const auto& c : kCases) {
        CNACommand* pclCommand = NewCommand();
        CNAConvertVariant* pclValue = Value(Int(1));
        const uint32_t nRefs = pclValue->m_dwRefCount;
        for (const wchar_t* pszPiece : {L"0123", L"456789", L"01"}) {
            pclCommand->bComplete(pszPiece, static_cast<unsigned long>(-1));
            AddParameter(pclCommand, pclValue);
        }
        pclCommand->Tronque(c.nLength);
        EXPECT_EQ(c.expected, Positions(pclCommand)) << c.nLength;
        EXPECT_EQ(c.pszOriginal, Original(pclCommand)) << c.nLength;
        // The dropped parameters let go of the value.
        EXPECT_EQ(nRefs + c.expected.size(), pclValue->m_dwRefCount) << c.nLength;
    }
}

TEST_F(Command, ReplaceMovesTheParametersByTheChangeOfLength)
{
    CNACommand* pclCommand = NewCommand();
    for (const wchar_t* pszPiece : {L"0123", L"456789", L"01"}) {
        pclCommand->bComplete(pszPiece, static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Int(1)));
    }
    pclCommand->Replace(5, 3, L"X");
    EXPECT_EQ(L"01234X8901", Original(pclCommand));
    EXPECT_EQ((Places{4, 8, 10}), Positions(pclCommand));
    // A parameter inside the span stands where it began.
    pclCommand->Replace(2, 7, L"YY");
    EXPECT_EQ(L"01YY1", Original(pclCommand));
    EXPECT_EQ((Places{2, 2, 5}), Positions(pclCommand));
    pclCommand->Replace(50, 1, L"Z");
    EXPECT_EQ(L"01YY1", Original(pclCommand));
}

TEST_F(Command, AddingACommandPlacesItsParametersBehindTheText)
{
    for (const auto eMode : {CNACommand::ADDMODE_SHARE, CNACommand::ADDMODE_CLONE}) {
        CNACommand* pclOther = NewCommand();
        AddParameter(pclOther, Value(Int(1)));
        pclOther->bComplete(L"A=1 AND", static_cast<unsigned long>(-1));
        pclOther->AddDefine(L"COUNT(*)", Value(Int(0)));
        AddParameter(pclOther, Value(Int(2)));
        ASSERT_EQ((Places{0, 7}), Positions(pclOther));

        CNACommand* pclCommand = NewCommand();
        pclCommand->bComplete(L"SELECT * FROM T WHERE", static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Int(0)));
        ASSERT_EQ(1, pclCommand->bAdd(pclOther, eMode));
        EXPECT_EQ(L"SELECT * FROM T WHEREA=1 AND", Original(pclCommand));
        EXPECT_EQ((Places{21, 21, 28}), Positions(pclCommand));
        ASSERT_EQ(1, pclCommand->nGetDefineNbr());
        EXPECT_EQ(pclOther->pclGetDefineNoRef(0), pclCommand->pclGetDefineNoRef(0));
        EXPECT_EQ(2u, pclOther->pclGetDefineNoRef(0)->m_dwRefCount);
        if (eMode == CNACommand::ADDMODE_SHARE) {
            // Shared: the other command's parameters moved too.
            EXPECT_EQ(pclOther->pclGetParameterNoRef(0), pclCommand->pclGetParameterNoRef(1));
            EXPECT_EQ((Places{21, 28}), Positions(pclOther));
            EXPECT_EQ(2u, pclOther->pclGetParameterNoRef(1)->m_dwRefCount);
        } else {
            EXPECT_NE(pclOther->pclGetParameterNoRef(0), pclCommand->pclGetParameterNoRef(1));
            EXPECT_EQ(pclOther->pclGetParameterNoRef(0)->pclGetValueNoRef(),
                      pclCommand->pclGetParameterNoRef(1)->pclGetValueNoRef());
            EXPECT_EQ((Places{0, 7}), Positions(pclOther));
            EXPECT_EQ(1u, pclCommand->pclGetParameterNoRef(1)->m_dwRefCount);
        }
    }
}

TEST_F(Command, AddingACommandToItself)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"A=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(1)));
    ASSERT_EQ(1, pclCommand->bAdd(pclCommand, CNACommand::ADDMODE_CLONE));
    EXPECT_EQ(L"A=A=", Original(pclCommand));
    EXPECT_EQ((Places{2, 4}), Positions(pclCommand));
    EXPECT_EQ(L"A=1 A=1", Formatted(pclCommand));
}

TEST_F(Command, ResetKeepsTheQueryKindAndOnDemandTheParameters)
{
    const std::wstring text = L"SELECT A FROM T";
    StandinParsedQuery& parse = Parse({.text = text, .eType = TYPEREQUETE_UPDATE});
    for (int bKeep : {1, 0}) {
        CNACommand* pclCommand = NewCommand();
        pclCommand->_SetSQLParserInfo(Query(parse));
        pclCommand->bComplete(L"UPDATE T SET A=", static_cast<unsigned long>(-1));
        AddParameter(pclCommand, Value(Int(1)));
        pclCommand->AddDefine(L"A", Value(Int(0)));
        pclCommand->SetLimit(10, 5);
        Formatted(pclCommand);
        pclCommand->ResetCommand(bKeep);
        EXPECT_TRUE(pclCommand->bIsEmpty());
        EXPECT_EQ(0, pclCommand->nGetDefineNbr());
        EXPECT_EQ(bKeep ? Places{15} : Places{}, Positions(pclCommand));
        EXPECT_EQ(-1, pclCommand->llGetLimit());
        EXPECT_EQ(-1, pclCommand->llGetOffset());
        EXPECT_EQ(NA_QUERY_UPDATE, pclCommand->eGetQueryType());
        EXPECT_EQ(m_queries.back(), pclCommand->pclGetSQLParserInfoNoRef());
        // The formatted text is built again.
        pclCommand->bComplete(L"DELETE FROM T", static_cast<unsigned long>(-1));
        EXPECT_EQ(bKeep ? L"DELETE FROM T1" : L"DELETE FROM T", Formatted(pclCommand));
    }
}

TEST_F(Command, QueryKinds)
{
    const int kSetQueryType[][2] = {{0, 8}, {1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 6}, {7, 9}, {8, 8}, {-1, 8}};
    CNACommand* pclCommand = NewCommand();
    for (const auto& c : kSetQueryType) {
        pclCommand->SetQueryType(static_cast<eTYPEREQUETE>(c[0]));
        EXPECT_EQ(c[1], pclCommand->eGetQueryType()) << c[0];
    }
    const int kConvert[][2] = {{0, 8}, {1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 8}, {7, 8}, {-1, 8}};
    for (const auto& c : kConvert)
        EXPECT_EQ(c[1], CNACommand::eConvertTypeQuery(static_cast<eTYPEREQUETE>(c[0]))) << c[0];
}

TEST_F(Command, TheParsedQueryGivesAKindOnlyWhenNoneIsSet)
{
    StandinParsedQuery& insert = Parse({.text = L"INSERT INTO T VALUES (1)", .eType = TYPEREQUETE_INSERT});
    StandinParsedQuery& set = Parse({.text = L"SET NAMES utf8", .eType = TYPEREQUETE_NONE});
    CSQLParserInfo* pclInsert = Query(insert);
    CSQLParserInfo* pclSet = Query(set);

    CNACommand* pclCommand = NewCommand();
    pclCommand->_SetSQLParserInfo(pclInsert);
    EXPECT_EQ(NA_QUERY_INSERT, pclCommand->eGetQueryType());
    EXPECT_EQ(2u, pclInsert->m_dwRefCount);
    pclCommand->_SetSQLParserInfo(pclSet);
    EXPECT_EQ(NA_QUERY_INSERT, pclCommand->eGetQueryType());
    EXPECT_EQ(1u, pclInsert->m_dwRefCount);
    // A SET statement taken as written.
    pclCommand->SetAsWritten(1);
    pclCommand->_SetSQLParserInfo(pclSet);
    EXPECT_EQ(NA_QUERY_SET, pclCommand->eGetQueryType());
    pclCommand->_SetSQLParserInfo(nullptr);
    EXPECT_EQ(nullptr, pclCommand->pclGetSQLParserInfoNoRef());
    EXPECT_EQ(1u, pclSet->m_dwRefCount);

    CNACommand* pclFresh = NewCommand();
    pclFresh->_SetSQLParserInfo(pclSet);
    EXPECT_EQ(NA_QUERY_OTHER, pclFresh->eGetQueryType());
    EXPECT_EQ(2u, pclSet->m_dwRefCount);
}

TEST_F(Command, ParameterClasses)
{
    const struct
    {
        std::initializer_list<unsigned short> codes;
        CNACommand::ePARAMTYPECONV eClass;
    } kCases[] = {
        {{2, 3, 4, 5, 6, 7, 8, 9, 14}, CNACommand::PARAMTYPE_INTEGER},
        {{11, 12}, CNACommand::PARAMTYPE_REAL},
        {{16, 17, 18, 19, 81, 110}, CNACommand::PARAMTYPE_TEXT},
        {{24, 25, 26, 27, 128, 129}, CNACommand::PARAMTYPE_DATE},
        {{28, 29}, CNACommand::PARAMTYPE_BINARY},
        {{1}, CNACommand::PARAMTYPE_BOOLEAN},
        {{10, 13}, CNACommand::PARAMTYPE_CURRENCY},
        {{0, 15, 20, 21, 30, 134, 130, 255}, CNACommand::PARAMTYPE_NONE},
    };
    for (const auto& c : kCases) {
        for (unsigned short nCode : c.codes)
            EXPECT_EQ(c.eClass, CNACommand::ZLType2eParamType(nCode)) << nCode;
    }
}

TEST_F(Command, ConversionToTextByMask)
{
    using C = CNACommand;
    const auto mask = [](int n) { return static_cast<C::ePARAMTYPECONV>(n); };
    const struct
    {
        CAny clValue;
        int nMask;
        int bNeed;
    } kCases[] = {
        {Int(1), 0, 0},
        {Int(1), C::PARAMTYPE_INTEGER, 1},
        {Int(1), C::PARAMTYPE_INTEGER | C::PARAMTYPE_TEXT, 1},
        {Int(1), C::PARAMTYPE_TEXT, 0},
        {Wide(L"x"), C::PARAMTYPE_TEXT, 1},
        {Wide(L"x"), C::PARAMTYPE_INTEGER, 0},
        // An empty text is always converted under a mask.
        {Wide(L""), C::PARAMTYPE_INTEGER, 1},
        {Ansi(""), C::PARAMTYPE_DATE, 1},
        {Wide(L""), 0, 0},
        // A value of no class: 0 equals mask AND 0.
        {CAny(), C::PARAMTYPE_REAL, 1},
    };
    for (const auto& c : kCases) {
        CNAConvertVariant* pclValue = Value(c.clValue);
        EXPECT_EQ(c.bNeed, C::_bNeedParameterConversionToString(pclValue, mask(c.nMask)))
            << c.clValue.nGetTypeCode() << " mask " << c.nMask;
    }
    CNACommand* pclCommand = NewCommand();
    AddParameter(pclCommand, Value(Int(1)));
    EXPECT_EQ(1, C::_bNeedParameterConversionToString(pclCommand->pclGetParameterNoRef(0), C::PARAMTYPE_INTEGER));
    EXPECT_EQ(0, C::_bNeedParameterConversionToString(static_cast<const CNAParameter*>(nullptr),
                                                       C::PARAMTYPE_INTEGER));
}

TEST_F(Command, OutputColumns)
{
    CNACommand* pclCommand = NewCommand();
    pclCommand->bComplete(L"SELECT ", static_cast<unsigned long>(-1));
    CNAConvertVariant* pclCount = Value(Int(0));
    ASSERT_EQ(1, pclCommand->bAddSelectAdditionnalColumn(L"COUNT(*)", pclCount));
    ASSERT_EQ(1, pclCommand->bAddSelectAdditionnalColumn(L"MAX(A)", ZLTYPE_I8));
    pclCommand->bComplete(L" FROM T", static_cast<unsigned long>(-1));
    EXPECT_EQ(L"SELECT COUNT(*),MAX(A) FROM T", Original(pclCommand));
    ASSERT_EQ(2, pclCommand->nGetDefineNbr());
    EXPECT_STREQ(L"COUNT(*)", pclCommand->pclGetDefineNoRef(0)->pszGetName());
    EXPECT_EQ(pclCount, pclCommand->pclGetDefineNoRef(0)->pclGetValueNoRef());
    CAny clMax;
    pclCommand->pclGetDefineNoRef(1)->pclGetValueNoRef()->bGetValue(&clMax);
    EXPECT_EQ(ZLTYPE_I8, clMax.nGetTypeCode());
    EXPECT_EQ(nullptr, pclCommand->pclGetDefineNoRef(2));

    // The additional select list collects its own text.
    ASSERT_EQ(1, pclCommand->bAddSelectAdditionalColumnInQueryFormat(L"A+1", Value(Int(0))));
    ASSERT_EQ(1, pclCommand->bAddSelectAdditionalColumnInQueryFormat(L"B*2", Value(Int(0))));
    EXPECT_STREQ(L"A+1,B*2", pclCommand->clGetAdditionalSelect().pszGetW());
    EXPECT_EQ(4, pclCommand->nGetDefineNbr());
    EXPECT_EQ(L"SELECT COUNT(*),MAX(A) FROM T", Original(pclCommand));
}

TEST_F(Command, ColumnNullBookkeeping)
{
    CNACommand* pclCommand = NewCommand();
    CNAColumn* pclColumn = reinterpret_cast<CNAColumn*>(0x10);
    EXPECT_TRUE(pclCommand->bColumnValuesNullSelected(pclColumn));
    // Nothing to combine: nothing is made.
    EXPECT_TRUE(pclCommand->bCombineColumnValuesNullSelected(static_cast<eNAOperator>(2), nullptr));
    EXPECT_EQ(nullptr, pclCommand->pclGetColumnNullNoRef());

    CColumnNullValueExcluded other;
    other.bCombineColumnValuesNullSelected(static_cast<eNAOperator>(2), pclColumn, 0);
    EXPECT_TRUE(pclCommand->bCombineColumnValuesNullSelected(static_cast<eNAOperator>(2), &other));
    ASSERT_NE(nullptr, pclCommand->pclGetColumnNullNoRef());
    EXPECT_FALSE(pclCommand->bColumnValuesNullSelected(pclColumn));

    CColumnNullValueExcluded target;
    EXPECT_TRUE(pclCommand->bCopyColumnValuesNullSelected(&target));
    ASSERT_EQ(1, target.nGetCount());
    EXPECT_EQ(pclColumn, target.pclGetColumnNoRef(0));
    EXPECT_EQ(0, target.bGetFlag(0));
    // Without a target the bookkeeping is emptied; it stays over a reset.
    EXPECT_TRUE(pclCommand->bCopyColumnValuesNullSelected(nullptr));
    EXPECT_TRUE(pclCommand->bColumnValuesNullSelected(pclColumn));
    pclCommand->bCombineColumnValuesNullSelected(static_cast<eNAOperator>(2), &other);
    pclCommand->ResetCommand(0);
    EXPECT_FALSE(pclCommand->bColumnValuesNullSelected(pclColumn));
}

TEST_F(Command, UserParametersTakeTheHostsValues)
{
    StandinQueryParameters& values = BindVariables();
    values.Set(L"NAME", Wide(L"Dupont"));
    values.Set(L"CODE", Ansi("AB"));
    values.Set(L"EMPTY", CAny());
    StandinParsedQuery& parse = Parse({.text = L"SELECT * FROM T WHERE NAME={NAME}"});
    CSQLParserInfo* pclQuery = Query(parse, &values);

    CNACommand* pclCommand = NewCommand();
    pclCommand->_SetSQLParserInfo(pclQuery);
    pclCommand->bComplete(L"SELECT * FROM T WHERE NAME=", static_cast<unsigned long>(-1));
    // An integer parameter takes the host's text, retyped.
    AddParameter(pclCommand, Value(Int(0)), CNAParameter::PARAM_USER, L"name");
    pclCommand->bComplete(L" AND CODE=", static_cast<unsigned long>(-1));
    // Between two 8-bit texts the value keeps its type.
    CAny clFixed;
    clFixed.__SetType(ZLTYPE_PSTRA, 0);
    clFixed.Objet().SetValue("zz");
    clFixed.ClearFlags();
    AddParameter(pclCommand, Value(clFixed), CNAParameter::PARAM_USER, L"CODE");
    pclCommand->bComplete(L" AND X=", static_cast<unsigned long>(-1));
    // Marked in its reserved word: kept.
    AddParameter(pclCommand, Value(Int(7)), CNAParameter::PARAM_USER, L"NAME");
    pclCommand->pclGetParameterNoRef(2)->SetReserved(1);
    pclCommand->bComplete(L" AND Y=", static_cast<unsigned long>(-1));
    // No value of the host (type 0), and an unknown name: kept.
    AddParameter(pclCommand, Value(Int(8)), CNAParameter::PARAM_USER, L"EMPTY");
    pclCommand->bComplete(L" AND Z=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(9)), CNAParameter::PARAM_USER, L"NONE");
    pclCommand->bComplete(L" AND W=", static_cast<unsigned long>(-1));
    // Not a user parameter: kept.
    AddParameter(pclCommand, Value(Int(10)), 0, L"NAME");

    ASSERT_EQ(1, pclCommand->bUpdateParametersValues());
    EXPECT_EQ(L"SELECT * FROM T WHERE NAME='Dupont' AND CODE='AB' AND X=7 AND Y=8 AND Z=9 AND W=10",
              Formatted(pclCommand));
    CAny clName;
    pclCommand->pclGetParameterNoRef(0)->pclGetValueNoRef()->bGetValue(&clName);
    EXPECT_EQ(ZLTYPE_DSTRW, clName.nGetTypeCode());
    CAny clCode;
    pclCommand->pclGetParameterNoRef(1)->pclGetValueNoRef()->bGetValue(&clCode);
    EXPECT_EQ(ZLTYPE_PSTRA, clCode.nGetTypeCode());
    // By name among the user parameters, case aside.
    EXPECT_EQ(pclCommand->pclGetParameterNoRef(0), pclCommand->pclGetParameterByNameNoRef(L"NAME"));
    EXPECT_EQ(nullptr, pclCommand->pclGetParameterByNameNoRef(L"UNKNOWN"));
    EXPECT_EQ(1, pclCommand->nGetUserParamIndice(pclCommand->pclGetParameterNoRef(1)));
    EXPECT_EQ(-1, pclCommand->nGetUserParamIndice(nullptr));
    // Only the parsed query's own reference is left.
    EXPECT_EQ(1, values.Refs().nBalance());
}

TEST_F(Command, AUserParameterIsRefreshedWhenTheTextIsFormatted)
{
    StandinQueryParameters& values = BindVariables();
    values.Set(L"ID", Int(41));
    StandinParsedQuery& parse = Parse({.text = L"SELECT * FROM T WHERE ID={ID}"});
    CNACommand* pclCommand = NewCommand();
    pclCommand->_SetSQLParserInfo(Query(parse, &values));
    pclCommand->bComplete(L"SELECT * FROM T WHERE ID=", static_cast<unsigned long>(-1));
    AddParameter(pclCommand, Value(Int(0)), CNAParameter::PARAM_USER, L"ID");
    EXPECT_EQ(L"SELECT * FROM T WHERE ID=41", Formatted(pclCommand));
    values.Set(L"ID", Int(42));
    pclCommand->ResetFormatedSQL();
    EXPECT_EQ(L"SELECT * FROM T WHERE ID=42", Formatted(pclCommand));
    // Without bind variables nothing is asked.
    StandinParsedQuery& bare = Parse({.text = L"SELECT 1"});
    CNACommand* pclBare = NewCommand();
    pclBare->_SetSQLParserInfo(Query(bare));
    AddParameter(pclBare, Value(Int(3)), CNAParameter::PARAM_USER, L"ID");
    EXPECT_EQ(1, pclBare->bUpdateParametersValues());
    EXPECT_EQ(L"3", Formatted(pclBare));
}

}  // namespace
