// Duration texts both ways, and their binary form.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/text/duree_base.h"
#include "common/text/xy_string.h"
#include "common/text/zl_bin.h"
#include "tests/host/support/test_environment.h"

namespace {

std::wstring Text(int64_t d, bool hundredths)
{
    const CDureeBase v{d};
    wchar_t buffer[CDureeBase::TAILLE_TEXTE];
    const int n = v.__nVersChaine(buffer,
                                  hundredths ? CDureeBase::ms_cpszFormatAffichageCentieme
                                             : CDureeBase::ms_pcszFormatAffichageMillieme,
                                  CDureeBase::TAILLE_TEXTE);
    EXPECT_EQ(static_cast<int>(std::wcslen(buffer)), n);
    return buffer;
}

TEST(DureeText, PrintsMillisecondsAndHundredths)
{
    struct Case
    {
        int64_t d;
        const wchar_t* ms;
        const wchar_t* cc;
    } cases[] = {
        {0, L"0000000000", L"000000000"},
        {93784005, L"1020304005", L"102030401"},
        {-1500, L"-0000001500", L"-000000150"},
        {1995, L"0000001995", L"000000200"},  // rounding carries into the seconds
        {-1995, L"-0000001995", L"-000000200"},
        {999, L"0000000999", L"000000100"},
        {994, L"0000000994", L"000000099"},
        {-5, L"-0000000005", L"-000000001"},
        {-4, L"-0000000004", L"-000000000"},
        {86399995, L"0235959995", L"100000000"},  // and on into the days
        {86400000LL * 12345, L"12345000000000", L"1234500000000"},
        {INT64_MAX, L"106751991167071255807", L"10675199116707125581"},
        {INT64_MIN, L"-106751991167071255808", L"-10675199116707125581"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.ms, Text(c.d, false)) << c.d;
        EXPECT_EQ(c.cc, Text(c.d, true)) << c.d;
    }
    wchar_t small[10];
    const CDureeBase d{93784005};
    EXPECT_EQ(-1, d.__nVersChaine(small, CDureeBase::ms_pcszFormatAffichageMillieme, 10)) << "no silent cut";
    EXPECT_EQ(0, small[0]);
    wchar_t exact[11];
    EXPECT_EQ(10, d.__nVersChaine(exact, CDureeBase::ms_pcszFormatAffichageMillieme, 11));
}

TEST(DureeText, ParsesBothForms)
{
    struct Case
    {
        const wchar_t* text;
        bool hundredths;
        int rc;
        int64_t d;
    } cases[] = {
        {L"1020304005", false, 0, 93784005},
        {L"-0000001500", false, 0, -1500},
        {L"+0000001500", false, 0, 1500},
        {L"\xFF0D" L"0000001500", false, 0, -1500},
        {L"\xFF0B" L"0000001500", false, 0, 1500},
        {L"000000000", false, 112, 0},
        {L"000000000", true, 0, 0},
        {L"00000000", true, 112, 0},
        {L"-", false, 112, 0},
        {L"", false, 112, 0},
        {L"102030401", true, 0, 93784010},
        {L"-000000150", true, 0, -1500},
        {L"12345000000000", false, 0, 86400000LL * 12345},
        {L"106751991167071255807", false, 0, INT64_MAX},
        {L"-106751991167071255808", false, 0, INT64_MIN},
        {L"106751991167071255808", false, 112, 0},   // one past the 64-bit range
        {L"99999999999999999999999000000000", false, 112, 0},
        {L"0995999999", false, 0, 99 * 3600000LL + 59 * 60000LL + 99 * 1000LL + 999},  // fields are not range-checked
        {L"10675199116707125581", true, 112, 0},  // INT64_MAX rounded up to hundredths
    };
    for (const Case& c : cases) {
        CDureeBase d{77};
        const int rc = c.hundredths ? d.nDepuisChaineCentieme(c.text) : d.nDepuisChaine(c.text);
        EXPECT_EQ(c.rc, rc) << std::string(c.text, c.text + std::wcslen(c.text));
        EXPECT_EQ(c.rc == 0 ? c.d : 77, d.m_llDuree) << std::string(c.text, c.text + std::wcslen(c.text));
    }
    CDureeBase d{5};
    EXPECT_EQ(112, d.nDepuisChaine(nullptr));
}

TEST(DureeText, RoundTripsThroughRuntimeStringsAndBinaries)
{
    for (int64_t v : {int64_t{0}, int64_t{-1}, int64_t{93784005}, int64_t{-86400000LL * 400000 - 7}, INT64_MAX, INT64_MIN}) {
        const CDureeBase d{v};
        CXYString<wchar_t> s;
        ASSERT_EQ(0, d.nVersChaine(&s));
        CDureeBase back{1};
        ASSERT_EQ(0, back.nDepuisChaine(s.pszGet()));
        EXPECT_EQ(v, back.m_llDuree);
        ASSERT_EQ(0, d.nVersChaineCentieme(&s));
        back.m_llDuree = 1;
        if (v != INT64_MAX && v != INT64_MIN) {
            ASSERT_EQ(0, back.nDepuisChaineCentieme(s.pszGet()));
            EXPECT_EQ((v < 0 ? -1 : 1) * ((std::abs(v) + 5) / 10 * 10), back.m_llDuree) << v;
        }

        CZLBIN b;
        ASSERT_EQ(0, d.nVersBinaire(&b));
        const std::wstring text = Text(v, false);
        ASSERT_EQ(static_cast<int>(text.size()), b.nGetTailleUtile());
        for (size_t i = 0; i < text.size(); ++i)
            EXPECT_EQ(static_cast<unsigned char>(text[i]), b.pbyGet()[i]) << "one byte a character";
        back.m_llDuree = 1;
        ASSERT_EQ(0, back.nDepuisBinaire(&b));
        EXPECT_EQ(v, back.m_llDuree);
    }
    CDureeBase d{9};
    EXPECT_EQ(112, d.nDepuisBinaire(&(const CZLBIN&)CZLBIN()));
    const char* longText = "0000000000001020304005999999";  // only the first 24 bytes are read
    const CZLBIN b(reinterpret_cast<const unsigned char*>(longText), static_cast<int>(std::strlen(longText)));
    EXPECT_EQ(0, d.nDepuisBinaire(&b));
    // "000000000000102030400599": 102 days, then 03:04:00.599.
    EXPECT_EQ(102LL * 86400000 + 3 * 3600000 + 4 * 60000 + 599, d.m_llDuree);
}

TEST(DureeText, HeapText)
{
    const CDureeBase d{-1500};
    wchar_t* psz = d.pszCreeChaine();
    ASSERT_NE(nullptr, psz);
    EXPECT_EQ(std::wstring(L"-0000001500"), psz);
    std::free(psz);
}

TEST(DureeText, Compares)
{
    const CDureeBase a{-5}, b{3};
    EXPECT_EQ(-1, CDureeBase::nCompare(&a, &b));
    EXPECT_EQ(1, CDureeBase::nCompare(&b, &a));
    EXPECT_EQ(0, CDureeBase::nCompare(&a, &a));
}

}  // namespace
