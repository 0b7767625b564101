// A server's version text split into major, minor and release: each piece
// read up to its first non-digit, a missing piece leaving the rest as they
// were, and texts from the server that are not numbers never overflowing.
#include <gtest/gtest.h>

#include "native/driver/connection_description.h"
#include "tests/host/support/test_environment.h"

namespace {

TEST(ConnectionVersion, PiecesReadUpToTheirFirstNonDigit)
{
    const struct
    {
        const wchar_t* pszText;
        int nMajor, nMinor, nRelease;
    } aCases[] = {
        {L"10.11.19-MariaDB-0+deb12u1", 10, 11, 19},
        {L"5.5.5-10.11.19-MariaDB", 5, 5, 5},
        {L"4.1.33-log", 4, 1, 33},
        {L"8", 8, -8, -9},
        {L"8.0", 8, 0, -9},
        {L"", -7, -8, -9},
        {L"MariaDB", -7, -8, -9},
        {L"5.x.7", 5, -8, 7},
        {L"5..7", 5, -8, 7},
        {L"-5.+1. 2", -7, -8, -9},
        {L"2147483647.2147483648.99999999999", 2147483647, -8, -9},
        {L"1.2.3.4", 1, 2, 3},
        {L"007.010.000", 7, 10, 0},
    };
    for (const auto& c : aCases) {
        int nMajor = -7, nMinor = -8, nRelease = -9;
        const CTString csText(c.pszText);
        EXPECT_EQ(1, CNAConnectionDescription::g_bDecomposeVersion(nullptr, &csText, &nMajor, &nMinor, &nRelease));
        EXPECT_EQ(c.nMajor, nMajor) << csText.pszGet();
        EXPECT_EQ(c.nMinor, nMinor) << csText.pszGet();
        EXPECT_EQ(c.nRelease, nRelease) << csText.pszGet();
    }
    int nMajor = 3;
    EXPECT_EQ(1, CNAConnectionDescription::g_bDecomposeVersion(nullptr, nullptr, &nMajor, nullptr, nullptr));
    const CTString csText(L"4.1.2");
    EXPECT_EQ(1, CNAConnectionDescription::g_bDecomposeVersion(nullptr, &csText, &nMajor, nullptr, nullptr));
    EXPECT_EQ(4, nMajor);
}

}  // namespace
