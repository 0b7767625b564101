// Identifier quoting: whatever a name holds, it reaches SQL as exactly one
// identifier (or a "."-separated list of them for a table name), checked by
// a lexer of quoted identifiers on a table of awkward names and on random
// ones; the exact texts for the usual names; and the rules of a connection
// without quotes and of kind 1.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/fakes/test_connection.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/driver/quoting_property.h"

namespace {

const std::wstring kBackquote = L"`";

const CNAIdentifierQuoting kMySQL(L"`", 1, L"`", 1, 5);

const wchar_t* const kAwkwardNames[] = {
    L"",
    L"T",
    L"Nom client",
    L"`",
    L"``",
    L"```",
    L"````",
    L"`x`",
    L"`x",
    L"x`",
    L"x`y",
    L"`x` OR 1",
    L"`x` UNION SELECT password FROM mysql.user -- ",
    L"x` UNION SELECT 1 -- ",
    L"`a``b`",
    L"`a`b`",
    L"`a``",
    L"a.b",
    L"`a.b`.c",
    L"`a`.`b`",
    L"`a`.b",
    L"`a.b",
    L"a..b",
    L".",
    L"a.",
    L".a",
    L"`.`.`.`",
    L"`a.b`x.c",
    L"  ",
    L"\"x\"",
    L"[x]",
    L"é`ü\x4E2D`",
    L"x;DROP TABLE t",
};

TEST(DialectQuoting, AwkwardNamesAreOneIdentifier)
{
    for (const wchar_t* pszName : kAwkwardNames) {
        SCOPED_TRACE(testing::Message() << "name <" << pszName << ">");
        EXPECT_EQ("", vxtest::QuotingPropertyBreak(kMySQL, kBackquote, kBackquote, pszName));
    }
}

TEST(DialectQuoting, OtherQuotePairs)
{
    const CNAIdentifierQuoting doubleQuotes(L"\"", 1, L"\"", 1, 5);
    const CNAIdentifierQuoting brackets(L"[", 1, L"]", 1, 5);
    const wchar_t* const names[] = {L"", L"a", L"\"a\"", L"\"a\"\"", L"[a]", L"[a]]b]", L"a]b", L"[a.b].c", L"]]"};
    for (const wchar_t* pszName : names) {
        SCOPED_TRACE(testing::Message() << "name <" << pszName << ">");
        EXPECT_EQ("", vxtest::QuotingPropertyBreak(doubleQuotes, L"\"", L"\"", pszName));
        EXPECT_EQ("", vxtest::QuotingPropertyBreak(brackets, L"[", L"]", pszName));
    }
}

TEST(DialectQuoting, RandomNamesAreOneIdentifier)
{
    // Names drawn mostly from the characters that matter to the lexer.
    const wchar_t alphabet[] = {L'`', L'`', L'`', L'.', L'.', L' ', L'a', L'b', L'\'', L'"', L'[', L']', L'\x4E2D'};
    std::mt19937 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        std::wstring name(random() % 12, L' ');
        for (wchar_t& c : name)
            c = alphabet[random() % (sizeof alphabet / sizeof alphabet[0])];
        const std::string broken = vxtest::QuotingPropertyBreak(kMySQL, kBackquote, kBackquote, name);
        ASSERT_EQ("", broken) << "name <" << name << ">";
    }
}

TEST(DialectQuoting, ExactTexts)
{
    struct stRow
    {
        const wchar_t* pszName;
        const wchar_t* pszItem;
        const wchar_t* pszTable;
    };
    const stRow rows[] = {
        {L"T", L"`T`", L"`T`"},
        {L"own.T", L"`own.T`", L"`own`.`T`"},
        {L"`T`", L"`T`", L"`T`"},
        {L"`a.b`.c", L"```a.b``.c`", L"`a.b`.`c`"},
        {L"`a.b`", L"`a.b`", L"`a.b`"},
        {L"`x` OR 1", L"```x`` OR 1`", L"```x`` OR 1`"},
        {L"x`y", L"`x``y`", L"`x``y`"},
        {L"`", L"````", L"````"},
        {L"``", L"``````", L"``````"},
        {L"", L"``", L"``"},
        {L"a..b", L"`a..b`", L"`a`.``.`b`"},
    };
    StandinConnectionDescription host;
    CTestConnection connection(L"id", &host);
    for (const stRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "name <" << r.pszName << ">");
        CTString out;
        EXPECT_EQ(1, connection.bFormatItemName(nullptr, r.pszName, &out));
        EXPECT_EQ(CTString(r.pszItem), out);
        EXPECT_EQ(1, connection.bFormatTableName(nullptr, r.pszName, &out));
        EXPECT_EQ(CTString(r.pszTable), out);
        EXPECT_EQ(1, connection._bNeedFormatName(nullptr, L"T"));
    }
    // The two quotes alone come back unchanged; a well-formed identifier
    // loses its quotes and its doubled quotes.
    CTString out;
    connection.UnFormatItemName(L"``", &out);
    EXPECT_EQ(CTString(L"``"), out);
    connection.UnFormatItemName(L"`a``b`", &out);
    EXPECT_EQ(CTString(L"a`b"), out);
    connection.UnFormatItemName(L"`a`b`", &out);
    EXPECT_EQ(CTString(L"`a`b`"), out);
    // The output may hold the name.
    out.Set(L"`x`");
    connection.UnFormatItemName(out.pszGet(), &out);
    EXPECT_EQ(CTString(L"x"), out);
    out.Set(L"a.b");
    connection.bFormatTableName(nullptr, out.pszGet(), &out);
    EXPECT_EQ(CTString(L"`a`.`b`"), out);
}

TEST(DialectQuoting, ConnectionWithoutQuotesLeavesNamesAlone)
{
    StandinConnectionDescription host;
    CTestConnection connection(L"id", &host);
    connection.SetQuotes(nullptr, nullptr);
    CTString out;
    for (const wchar_t* pszName : {L"T", L"own.T", L"`x` OR 1"}) {
        EXPECT_EQ(0, connection._bNeedFormatName(nullptr, pszName));
        connection.bFormatItemName(nullptr, pszName, &out);
        EXPECT_EQ(CTString(pszName), out);
        connection.bFormatTableName(nullptr, pszName, &out);
        EXPECT_EQ(CTString(pszName), out);
        connection.UnFormatItemName(pszName, &out);
        EXPECT_EQ(CTString(pszName), out);
    }
}

TEST(DialectQuoting, KindOneRule)
{
    struct stRow
    {
        const wchar_t* pszName;
        bool bNeed;
    };
    const stRow rows[] = {
        {L"NAME", false},  {L"group", true},  {L"Nom client", true}, {L"a-b", true},   {L"t\u00B0", true},
        {L"_x", true},     {L"[a b]", false}, {L"\"a b\"", false},   {L"", false},
    };
    const CNAIdentifierQuoting kindOne(L"\"", 1, L"\"", 1, 1);
    for (const stRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "name <" << r.pszName << ">");
        EXPECT_EQ(r.bNeed, CNAIdentifierQuoting::s_bNeedFormat_Oracle(r.pszName));
        EXPECT_EQ(r.bNeed, kindOne.bNeedQuotes(r.pszName));
    }
    CTString out;
    kindOne.FormatTableName(L"own.Nom client", &out);
    EXPECT_EQ(CTString(L"own.\"Nom client\""), out);
}

}  // namespace
