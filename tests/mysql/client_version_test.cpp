// How a client library's version reads: the text's major and minor, the
// version number, and the MYSQL_FIELD layout chosen by version or by text.
#include <gtest/gtest.h>

#include "mysql/client_version.h"

namespace {

TEST(ClientVersion, TextGivesMajorAndMinor)
{
    struct Case
    {
        const wchar_t* text;
        int major, minor;
    } const cases[] = {
        {L"5.1.73", 5, 1},
        {L"4.0.20a", 4, 0},
        {L"10.4.5", 10, 4},
        {L"3.3.20", 3, 3},
        {L"5.5.62-log", 5, 5},
        {L"6", 6, 0},
        {L"", 0, 0},
        {L"v5.1", 0, 5},  // a leading non-digit ends the major at once
        {L"5..1", 5, 0},
        {L"99999999999.2", INT32_MAX, 2},
        {L"1.99999999999", 1, INT32_MAX},
    };
    for (const Case& c : cases) {
        int major = -1, minor = -1;
        CMySQLClientVersion::g_ParseText(c.text, &major, &minor);
        EXPECT_EQ(c.major, major) << c.text;
        EXPECT_EQ(c.minor, minor) << c.text;
    }
    int major = -1, minor = -1;
    CMySQLClientVersion::g_ParseText(nullptr, &major, &minor);
    EXPECT_EQ(0, major);
    EXPECT_EQ(0, minor);
}

TEST(ClientVersion, NumberGivesMajorAndMinor)
{
    struct Case
    {
        uint64_t number;
        int major, minor;
    } const cases[] = {
        {50173, 5, 1}, {101119, 10, 11}, {40022, 4, 0}, {0, 0, 0}, {UINT64_MAX, INT32_MAX, 16},
    };
    for (const Case& c : cases) {
        int major = -1, minor = -1;
        CMySQLClientVersion::g_DecodeNumber(c.number, &major, &minor);
        EXPECT_EQ(c.major, major) << c.number;
        EXPECT_EQ(c.minor, minor) << c.number;
    }
}

TEST(ClientVersion, LayoutByVersionAndByText)
{
    using L = eMySQLFieldLayout;
    struct Case
    {
        const wchar_t* text;
        L byText;   // a library known by its text alone
        L byNumber; // the same version named by number
    } const cases[] = {
        {L"3.23.58", L::Client3, L::Client3},   {L"4.0.27", L::Client40, L::Client40},
        {L"4.1.22", L::Client41, L::Client41},  {L"5.0.96", L::Client41, L::Client41},
        {L"5.1.73", L::Client51, L::Client51},  {L"5.5.62", L::Client51, L::Client51},
        {L"6.0.11", L::Client51, L::Client51},  {L"8.0.36", L::Client51, L::Client51},
        // The text rule reads a two-digit major by its first digit.
        {L"10.4.5", L::Client3, L::Client51},   {L"3.3.20", L::Client3, L::Client3},
        {L"", L::Client3, L::Client3},          {L"4", L::Client41, L::Client40},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.byText, CMySQLClientVersion::g_eLayoutOfText(c.text)) << c.text;
        int major = 0, minor = 0;
        CMySQLClientVersion::g_ParseText(c.text, &major, &minor);
        EXPECT_EQ(c.byNumber, CMySQLClientVersion::g_eLayoutOfVersion(major, minor)) << c.text;
    }
    EXPECT_EQ(L::Client3, CMySQLClientVersion::g_eLayoutOfText(nullptr));
    EXPECT_EQ(128, static_cast<int>(L::Client51));
    EXPECT_EQ(48, static_cast<int>(L::Client3));
}

}  // namespace
