// CStringParameter: finding, reading, removing, replacing and appending
// key=value pairs of an extended connection information.
#include <gtest/gtest.h>

#include "common/text/string_parameter.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(StringParameter, ReadAndRemove)
{
    struct Case
    {
        const wchar_t* list;
        const wchar_t* key;
        bool found;
        const wchar_t* value;
        const wchar_t* afterRemoval;
    } cases[] = {
        {L"A=1;B=2", L"b", true, L"2", L"A=1;"},
        {L"A=1; B = two words  ;C=3", L"B", true, L"two words", L"A=1;C=3"},
        {L"A=1;B=2", L"A", true, L"1", L"B=2"},
        {L"A=;B=2", L"A", true, L"", L"B=2"},
        {L"A=", L"A", true, L"", L""},
        {L"A;B=2", L"A", false, L"", L"A;B=2"},
        {L"", L"A", false, L"", L""},
        {L"server port=3306", L"Server Port", true, L"3306", L""},
        // A key is found as a substring: the first occurrence followed by
        // "=" wins, even inside a longer key (no key of the driver ends
        // another), and its removal takes the blanks before it.
        {L"Server Port=3306;Port=10", L"Port", true, L"3306", L"ServerPort=10"},
        {L"Porter;Port = 10", L"PORT", true, L"10", L"Porter;"},
        {L";; A=1 ;;B=2", L"a", true, L"1", L"B=2"},
        {L"VX Unicode Support=é;x=1", L"vx unicode support", true, L"é", L"x=1"},
    };
    for (const Case& c : cases) {
        CTString list(c.list);
        CTString value(L"stale");
        int found = -1;
        EXPECT_EQ(1, CStringParameter::s_bGetParameterValue(&value, &found, &list, c.key, 0)) << c.list;
        EXPECT_EQ(c.found ? 1 : 0, found) << c.list;
        EXPECT_STREQ(c.value, value.pszGet()) << c.list;
        EXPECT_STREQ(c.list, list.pszGet());
        EXPECT_EQ(c.found ? 1 : 0, CStringParameter::s_bParameterDefined(&list, c.key)) << c.list;
        CStringParameter::s_bGetParameterValue(nullptr, nullptr, &list, c.key, 1);
        EXPECT_STREQ(c.afterRemoval, list.pszGet()) << c.list;
    }
}

TEST(StringParameter, Positions)
{
    CTString list(L"A=1; B = two  ;C=");
    long key, start, end;
    ASSERT_TRUE(CStringParameter::_s_bGetParameterPos(key, start, end, &list, L"b"));
    EXPECT_EQ(5, key);
    EXPECT_EQ(9, start);
    EXPECT_EQ(13, end);  // the trailing blanks are inside
    ASSERT_TRUE(CStringParameter::_s_bGetParameterPos(key, start, end, &list, L"C"));
    EXPECT_EQ(start - 1, end);
    EXPECT_FALSE(CStringParameter::_s_bGetParameterPos(key, start, end, &list, L"D"));
    EXPECT_EQ(0, key);
    EXPECT_EQ(-1, start);
    EXPECT_EQ(-1, end);
    EXPECT_FALSE(CStringParameter::_s_bGetParameterPos(key, start, end, &list, L""));
}

TEST(StringParameter, Replace)
{
    struct Case
    {
        const wchar_t* list;
        const wchar_t* key;
        const wchar_t* value;
        int result;
        const wchar_t* expected;
    } cases[] = {
        {L"", L"A", L"x", 1, L"A=x"},
        {L"A=1;B=2", L"A", L"xyz", 1, L"A=xyz;B=2"},
        {L"A=;B=2", L"A", L"xyz", 1, L"A=xyz;B=2"},
        {L"A=1", L"A", L"", 1, L"A="},
        {L"A=1", L"A", nullptr, 1, L"A="},
        {L"A= 1  ;B=2", L"a", L"9", 1, L"A= 9;B=2"},
        {L"A=1", L"B", L"2", 1, L"A=1;B=2"},
        {L"A=", L"A", L"x", 1, L"A=x"},
        // No escaping: a value holding ";" would add a pair of its own.
        {L"A=1", L"A", L"x;VX CLIENT LIBRARY=/tmp/l.so", 0, L"A=1"},
        {L"A=1", L"B", L"x;y", 0, L"A=1"},
    };
    for (const Case& c : cases) {
        CTString list(c.list);
        EXPECT_EQ(c.result, CStringParameter::s_bReplaceParameterValue(&list, c.value, c.key)) << c.list;
        EXPECT_STREQ(c.expected, list.pszGet()) << c.list;
    }
}

TEST(StringParameter, NamedParameter)
{
    CStringParameter port(L"Server Port");
    EXPECT_EQ(0, port.bEstDefini());
    CTString list(L"Unix Socket=/tmp/s; server port = 3307 ;x=1");
    EXPECT_EQ(1, port.bInitParameterValue(&list, 1));
    EXPECT_EQ(1, port.bEstDefini());
    EXPECT_STREQ(L"3307", port.pszGetValeur());
    EXPECT_STREQ(L"Unix Socket=/tmp/s;x=1", list.pszGet());

    CTString out;
    EXPECT_EQ(1, port.bCompleteConnectionString(&out));
    EXPECT_STREQ(L"Server Port=3307", out.pszGet());
    EXPECT_EQ(1, port.bCompleteConnectionString(&out));
    EXPECT_STREQ(L"Server Port=3307;Server Port=3307", out.pszGet());

    port.SetParameterValue(nullptr);
    EXPECT_EQ(0, port.bEstDefini());
    CTString unchanged(L"a=1");
    EXPECT_EQ(1, port.bCompleteConnectionString(&unchanged));
    EXPECT_STREQ(L"a=1", unchanged.pszGet());

    port.SetParameterValue(L"12345  ", 4);
    EXPECT_STREQ(L"1234", port.pszGetValeur());
    port.SetParameterValue(L"12  ", -1);
    EXPECT_STREQ(L"12", port.pszGetValeur());
    port.SetParameterValue(L"a;b");
    EXPECT_EQ(0, port.bCompleteConnectionString(&unchanged));
    EXPECT_STREQ(L"a=1", unchanged.pszGet());

    CStringParameter dir(L"Dir");
    dir.SetParameterValueRep(L"/tmp/x");
    EXPECT_STREQ(L"/tmp/x\\", dir.pszGetValeur());
    dir.SetParameterValueRep(L"/tmp/x\\");
    EXPECT_STREQ(L"/tmp/x\\", dir.pszGetValeur());
    dir.SetParameterValueRep(L"");
    EXPECT_STREQ(L"", dir.pszGetValeur());
    EXPECT_EQ(1, dir.bEstDefini());

    CStringParameter missing(L"Missing");
    CTString l2(L"A=1");
    missing.bInitParameterValue(&l2, 1);
    EXPECT_EQ(0, missing.bEstDefini());
    EXPECT_STREQ(L"A=1", l2.pszGet());
}

}  // namespace
