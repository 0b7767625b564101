// The direct roads of the database texts against the general ones they
// shortcut: UTF-8 decoded straight into a Unicode slot against decoding into
// wide characters and writing those as UTF-16. Each case must give the same
// result, the same bytes in the whole slot and the same used size.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "native/model/convert_variant.h"
#include "native/model/variant_text.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class DbTextDirect : public vxtest::VariantTest
{
};

// The general road: wide characters first, then UTF-16 units.
size_t GeneralUTF8ToUTF16(const std::string& text, unsigned char* pbyDst, size_t nCapacity)
{
    std::vector<wchar_t> wide(text.size() + 1);
    const size_t nChars = NA_nAnsiToWide(text.data(), text.size(), 65001, wide.data());
    return NA_nWideToUTF16Cut(wide.data(), nChars, pbyDst, nCapacity);
}

// Texts that reach every branch of the decoder: ASCII, two-, three- and
// four-byte characters, the longest value of a pair, beyond U+10FFFF, five-
// and six-byte forms, encoded surrogates, an overlong zero, stray and
// missing continuation bytes, a character cut by the end of the text.
const std::vector<std::string>& Utf8Cases()
{
    static const std::vector<std::string> cases = {
        "",
        "plain ASCII text",
        "Zo\xC3\xAB M\xC3\xBCller #1",
        "Livraison pr\xC3\xA9vue apr\xC3\xA8s r\xC3\xA9" "ception",
        "\xE2\x82\xAC" "12",
        "x\xF0\x9F\x98\x80y\xF0\x9F\x98\x80",
        "\xF4\x8F\xBF\xBF",
        "\xF4\x90\x80\x80z",
        "\xF8\x88\x80\x80\x80",
        "\xFC\x84\x80\x80\x80\x80!",
        "\xFE\x80\x80\x80\x80\x80",
        "\xFF",
        "\xED\xA0\x80\xED\xB0\x80",
        "a\xC0\x80" "b",
        "\x80\xBF" "c",
        "\xC3" "x\xE2\x82" "y",
        "tail \xE2\x82",
        "tail \xF0\x9F\x98",
        "\xC3",
    };
    return cases;
}

TEST_F(DbTextDirect, Utf8DecodesIntoUnitsExactlyAsThroughWideCharacters)
{
    std::vector<std::string> texts = Utf8Cases();
    // Random bytes weighted towards the high half, where the decoder works.
    std::mt19937 random(20261210);
    for (int i = 0; i < 400; ++i) {
        std::string s(random() % 24, '\0');
        for (char& c : s) {
            const unsigned r = random() % 8;
            c = static_cast<char>(r == 0 ? 'a' + random() % 26 : 0x80 + random() % 0x80);
        }
        texts.push_back(s);
    }
    for (const std::string& text : texts) {
        for (size_t nCapacity = 0; nCapacity <= text.size() + 2; ++nCapacity) {
            std::vector<unsigned char> direct(2 * nCapacity + 4, 0xEE);
            std::vector<unsigned char> general(2 * nCapacity + 4, 0xEE);
            const size_t nDirect = NA_nUTF8ToUTF16Cut(text.data(), text.size(), direct.data(), nCapacity);
            const size_t nGeneral = GeneralUTF8ToUTF16(text, general.data(), nCapacity);
            ASSERT_EQ(nGeneral, nDirect) << testing::PrintToString(text) << " capacity " << nCapacity;
            ASSERT_EQ(general, direct) << testing::PrintToString(text) << " capacity " << nCapacity;
        }
    }
}

TEST_F(DbTextDirect, Utf8IntoAUnicodeSlotFillsItAsTheGeneralRoad)
{
    std::vector<std::string> texts = Utf8Cases();
    texts.push_back(std::string(300, 'w') + "\xC3\xA9");
    for (const std::string& text : texts) {
        for (unsigned nSize : {1u, 2u, 3u, 6u, 7u, 10u, 102u, 402u}) {
            CNAConvertVariant* slot = SlotVariant(NA_IT_UNICODE, nSize, 0, 0, 0xEE);
            ASSERT_EQ(1, slot->bSetValueDB(text.data(), static_cast<long>(text.size()), 65001));
            Octets expected(nSize, 0);
            const size_t nCapacity = nSize / 2 > 0 ? nSize / 2 - 1 : 0;
            const size_t nUnits = text.empty() ? 0 : GeneralUTF8ToUTF16(text, expected.data(), nCapacity);
            EXPECT_EQ(expected, Slot(slot)) << testing::PrintToString(text) << " size " << nSize;
            EXPECT_EQ(2 * nUnits, slot->nGetSize()) << testing::PrintToString(text) << " size " << nSize;
            EXPECT_FALSE(IsNull(*slot));
        }
    }
    EXPECT_TRUE(NoError());
    // A zero byte keeps the general roads: ASCII is copied unit for unit,
    // decoded text ends at the zero character.
    CNAConvertVariant* slot = SlotVariant(NA_IT_UNICODE, 12, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("ab\0cd", 5, 65001));
    EXPECT_EQ(Octets({'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0, 0, 0}), Slot(slot));
    EXPECT_EQ(10u, slot->nGetSize());
    ASSERT_EQ(1, slot->bSetValueDB("\xC3\xA9\0cd", 5, 65001));
    EXPECT_EQ(Octets({0xE9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Slot(slot));
    EXPECT_EQ(2u, slot->nGetSize());
}

}  // namespace
