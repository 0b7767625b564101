// The shortening of over-long text types in a CREATE TABLE text: every
// "TYPE(n)" whose n exceeds the maximum becomes the replacement, the rest of
// the text as it was.
#include <gtest/gtest.h>

#include <string>

#include "native/access/statement.h"

namespace {

TEST(StatementCreateText, OverLongTypesAreReplaced)
{
    struct
    {
        const wchar_t* pszIn;
        int bReplaced;
        const wchar_t* pszOut;
    } cases[] = {
        {L"CREATE TABLE t( a VARCHAR(70000), b INT )", 1, L"CREATE TABLE t( a LONGTEXT, b INT )"},
        {L"CREATE TABLE t( a VARCHAR(10), b VARCHAR(65536) )", 1, L"CREATE TABLE t( a VARCHAR(10), b LONGTEXT )"},
        {L"CREATE TABLE t( a VARCHAR(65535) )", 0, nullptr},
        {L"CREATE TABLE t( a VARCHAR(99999999999999999999999) )", 1, L"CREATE TABLE t( a LONGTEXT )"},
        // No digits, or a text cut after them: nothing to replace.
        {L"CREATE TABLE t( a VARCHAR() )", 0, nullptr},
        {L"VARCHAR(70000", 0, nullptr},
        // Another type whose name ends the same stays.
        {L"CREATE TABLE t( a NVARCHAR(70000) )", 0, nullptr},
        {L"CREATE TABLE t( a NVARCHAR(70000), b VARCHAR(70000) CHARACTER SET ucs2 )", 1,
         L"CREATE TABLE t( a NVARCHAR(70000), b LONGTEXT CHARACTER SET ucs2 )"},
    };
    for (const auto& c : cases) {
        CTString csOut;
        EXPECT_EQ(c.bReplaced, CNAStatement::bQueryCREATE_AutoCorrectVarcharMax(&csOut, c.pszIn, L"VARCHAR", 65535,
                                                                                  L"LONGTEXT"))
            << std::wstring(c.pszIn).size();
        if (c.bReplaced) {
            EXPECT_STREQ(c.pszOut, csOut.pszGet());
        }
    }
}

}  // namespace
