// The generated sort weights of 16-bit units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/ucs2_fast_sort.h"

namespace {

// The weight as the key holds it: the entry's bytes, high byte first.
unsigned Poids(char16_t u)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&tabUCS2FastSort[u]);
    return static_cast<unsigned>(b[0] << 8 | b[1]);
}

TEST(UCS2FastSort, IsAPermutationStoredHighByteFirst)
{
    std::vector<bool> vu(65536, false);
    for (unsigned u = 0; u < 65536; ++u) {
        const unsigned w = Poids(static_cast<char16_t>(u));
        ASSERT_FALSE(vu[w]) << "weight " << w << " given twice, again to U+" << std::hex << u;
        vu[w] = true;
        EXPECT_EQ(w, nPoidsUCS2(static_cast<uint16_t>(u)));
    }
}

TEST(UCS2FastSort, FixedRows)
{
    const struct
    {
        char16_t unit;
        unsigned weight;
    } rows[] = {
        {0x0000, 0x0000}, {0x0009, 0x0A35}, {u' ', 0x0A3D},    {u'-', 0x0A80},    {u'0', 0x1684},
        {u'9', 0x1851},   {u'a', 0x1877},   {u'A', 0x187B},    {0x00E0, 0x1884},  {0x00C0, 0x1885},
        {u'b', 0x18D8},   {u'B', 0x18DB},   {u'e', 0x1959},    {u'E', 0x195F},    {0x00E9, 0x1966},
        {u'z', 0x1D4C},   {u'Z', 0x1D4F},   {0x0430, 0x1F77},  {0x0410, 0x1F78},  {0x4E00, 0x64BB},
        {0xFFFE, 0xFFFE}, {0xFFFF, 0xFFFF},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.weight, Poids(r.unit)) << "U+" << std::hex << static_cast<unsigned>(r.unit);
}

TEST(UCS2FastSort, DigitsThenEachLetterLowerUpperAccented)
{
    // Every digit before every letter of Latin-1 and Cyrillic.
    unsigned maxDigit = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        maxDigit = std::max(maxDigit, Poids(d));
        if (d > u'0') {
            EXPECT_LT(Poids(d - 1), Poids(d));
        }
    }
    for (char16_t u : std::u16string(u"aAzZ\u00AA\u00DF\u00E6\u00FF\u0100\u017E\u0391\u03C9\u0410\u044F\u05D0\u4E00\uAC00"))
        EXPECT_GT(Poids(u), maxDigit) << "U+" << std::hex << static_cast<unsigned>(u);

    // Within a letter: lower, upper, then accented forms, all before the next
    // letter's lower case.
    const char16_t* accented[26] = {
        u"\u00E0\u00C0\u00E1\u00C1\u00E2\u00E4\u00C4\u00E5\u0101\u0105", u"",
        u"\u00E7\u00C7\u0107\u010D",                                      u"\u010F\u010E",
        u"\u00E8\u00C8\u00E9\u00C9\u00EA\u00EB\u0113\u0119\u011B",        u"",
        u"\u011F\u011E",                                                  u"",
        u"\u00EC\u00ED\u00EE\u00EF\u00CF",                                u"",
        u"",                                                              u"\u013E",
        u"",                                                              u"\u00F1\u00D1\u0144",
        u"\u00F2\u00F3\u00F4\u00F5\u00F6\u00D6\u0151",                    u"",
        u"",                                                              u"\u0159",
        u"\u0161\u0160\u015B",                                            u"\u0165",
        u"\u00F9\u00FA\u00FB\u00FC\u00DC\u016F",                          u"",
        u"",                                                              u"",
        u"\u00FD\u00FF\u0178",                                            u"\u017E\u017D",
    };
    for (int i = 0; i < 26; ++i) {
        const char16_t lower = static_cast<char16_t>(u'a' + i), upper = static_cast<char16_t>(u'A' + i);
        EXPECT_LT(Poids(lower), Poids(upper)) << static_cast<char>(lower);
        for (const char16_t* p = accented[i]; *p; ++p)
            EXPECT_LT(Poids(upper), Poids(*p)) << static_cast<char>(lower) << " U+" << std::hex << unsigned(*p);
        if (i < 25) {
            const unsigned next = Poids(static_cast<char16_t>(lower + 1));
            EXPECT_LT(Poids(upper), next);
            for (const char16_t* p = accented[i]; *p; ++p)
                EXPECT_LT(Poids(*p), next) << static_cast<char>(lower) << " U+" << std::hex << unsigned(*p);
        }
    }
}

}  // namespace
