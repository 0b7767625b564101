// The direct roads of the database texts against the general ones they
// shortcut: UTF-8 decoded straight into a Unicode slot against decoding into
// wide characters and writing those as UTF-16, and plain number texts read
// in place against the runtime's cast (reached through the wide database
// text, which always casts). Each case must give the same result, the same
// bytes in the whole slot, the same used size and the same error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/text/date_time_base.h"
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
    // Random bytes: mostly high ones, where the decoder works, and mostly
    // ASCII runs (taken eight at a time) with a few high and zero bytes.
    std::mt19937 random(20261210);
    for (int i = 0; i < 800; ++i) {
        const bool bRuns = i % 2 == 1;
        std::string s(random() % 40, '\0');
        for (char& c : s) {
            const unsigned r = random() % 32;
            if (bRuns)
                c = static_cast<char>(r == 0 ? 0 : r < 3 ? 0x80 + random() % 0x80 : 0x20 + random() % 0x60);
            else
                c = static_cast<char>(r < 4 ? 'a' + random() % 26 : 0x80 + random() % 0x80);
        }
        texts.push_back(s);
    }
    for (const std::string& text : texts) {
        for (size_t nCapacity = 0; nCapacity <= text.size() + 2; ++nCapacity) {
            std::vector<unsigned char> direct(2 * nCapacity + 4, 0xEE);
            std::vector<unsigned char> general(2 * nCapacity + 4, 0xEE);
            bool bZeroByte = true;
            const size_t nDirect =
                NA_nUTF8ToUTF16Cut(text.data(), text.size(), direct.data(), nCapacity, &bZeroByte);
            const size_t nGeneral = GeneralUTF8ToUTF16(text, general.data(), nCapacity);
            ASSERT_EQ(nGeneral, nDirect) << testing::PrintToString(text) << " capacity " << nCapacity;
            // The units written agree; past the capacity nothing is touched
            // (within it the direct road may write ahead).
            ASSERT_TRUE(std::equal(general.begin(), general.begin() + 2 * nGeneral, direct.begin()))
                << testing::PrintToString(text) << " capacity " << nCapacity;
            const auto untouched = [](unsigned char c) { return c == 0xEE; };
            ASSERT_TRUE(std::all_of(direct.begin() + 2 * nCapacity, direct.end(), untouched))
                << testing::PrintToString(text) << " capacity " << nCapacity;
            // No zero byte, none reported.
            if (text.find('\0') == std::string::npos) {
                ASSERT_FALSE(bZeroByte) << testing::PrintToString(text);
            }
        }
    }
}

TEST_F(DbTextDirect, Utf8IntoAUnicodeSlotFillsItAsTheGeneralRoad)
{
    std::vector<std::string> texts = Utf8Cases();
    // Longer than the largest slot.
    std::string longText(300, 'w');
    longText.append("\xC3\xA9");
    texts.push_back(longText);
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

// One number text into a value of the code through both roads; the
// outcome of each.
struct Outcome
{
    int result;
    Octets bytes;
    unsigned long used;
    unsigned long error;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os)
{
    *os << "result " << o.result << " used " << o.used << " error " << o.error << " bytes "
        << testing::PrintToString(o.bytes);
}

TEST_F(DbTextDirect, PlainNumberTextsGiveWhatTheRuntimeCastGives)
{
    const char* const texts[] = {
        "0", "1", "-1", "7", "919", "-0", "00", "007", "-007", "+5", " 5", "5 ", "", "-", ".", "1.", ".5",
        "127", "128", "-128", "-129", "255", "256", "32767", "32768", "-32768", "-32769", "65535", "65536",
        "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296",
        "9223372036854775807", "9223372036854775808", "-9223372036854775808", "-9223372036854775809",
        "18446744073709551615", "18446744073709551616", "99999999999999999999", "1234567890123456789",
        "1e3", "0x10", "12abc", "1,5", "1047.29", "-1047.29", "0.5", "-0.5", "0.000001", "0.0000001",
        "123456789012.123456", "1234567890123.5", "999999999999.999999", "-999999999999.999999", "1.2.3",
        "-0.00", "10.", "5.50", "\xC3\xA9",
    };
    const unsigned short codes[] = {ZLTYPE_UI2, ZLTYPE_UI4, ZLTYPE_UI8, ZLTYPE_I1, ZLTYPE_I2, ZLTYPE_I4,
                                    ZLTYPE_I8,  ZLTYPE_CY,  ZLTYPE_R4,  ZLTYPE_R8, ZLTYPE_UIX};
    const auto run = [this](unsigned short nCode, unsigned long nSize, const std::string& text, bool bDirect) {
        m_pclError->Reset();
        CNAConvertVariant* v = nSize > 0 ? OwnBufferVariant(nCode, nSize) : AnyVariant(nCode);
        const std::wstring wide(text.begin(), text.end());
        Outcome o;
        o.result = bDirect ? v->bSetValueDB(text.data(), static_cast<long>(text.size()), 65001)
                           : v->bSetValueDB(wide.c_str(), static_cast<long>(wide.size()));
        if (nSize > 0) {
            o.bytes = BufferBytes(*v);
            o.used = v->nGetSize();
        } else {
            const unsigned char* p = v->pclGetValue()->_pbyGetValeur();
            o.bytes.assign(p, p + 10);
            o.used = IsNull(*v) ? 1 : 0;
        }
        o.error = m_pclError->dwGetErrorId();
        return o;
    };
    for (unsigned short nCode : codes) {
        // The type's full width, a narrower buffer, and a kind-1 value.
        for (unsigned long nSize : {16ul, 3ul, 0ul}) {
            for (const char* pszText : texts) {
                const std::string text(pszText);
                // The wide road cannot tell an empty text from the 8-bit
                // one's raw store of nothing, nor non-ASCII bytes.
                if (text.empty() || static_cast<unsigned char>(text[0]) >= 0x80)
                    continue;
                EXPECT_EQ(run(nCode, nSize, text, false), run(nCode, nSize, text, true))
                    << "code " << nCode << " size " << nSize << " text \"" << text << "\"";
            }
        }
    }
}

TEST_F(DbTextDirect, PlainNumberTextsIntoRecordSlots)
{
    // The road's columns: an INT into a 4-byte slot, a DECIMAL(12,2) into a
    // money slot; what is left of the slot is zeroed.
    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 6, 0, 0, 0xEE);
    ASSERT_EQ(1, number->bSetValueDB("-919", 4, 65001));
    EXPECT_EQ(Octets({0x69, 0xFC, 0xFF, 0xFF, 0, 0}), Slot(number));
    EXPECT_EQ(4u, number->nGetSize());
    CNAConvertVariant* money = SlotVariant(NA_IT_MONETAIRE, 10, 0, 0, 0xEE);
    ASSERT_EQ(1, money->bSetValueDB("-1047.29", 8, 65001));
    EXPECT_EQ(L"-1047.29", ValueText(*money));
    ASSERT_EQ(1, money->bSetValueDB("0.01", 4, 65001));
    EXPECT_EQ(Octets({0x10, 0x27, 0, 0, 0, 0, 0, 0, 0, 0}), Slot(money));
    EXPECT_TRUE(NoError());
}

TEST_F(DbTextDirect, DateTimeFieldsReadInPlaceAsTheRuntimesFieldReaderReadsThem)
{
    // Where the fields of the forms lie: year, month, day, hour, minute,
    // second, fraction (-1: absent).
    struct Form
    {
        size_t length;
        int at[7];
    };
    const Form forms[] = {
        {19, {0, 5, 8, 11, 14, 17, -1}},  {21, {0, 5, 8, 11, 14, 17, 20}}, {23, {0, 5, 8, 11, 14, 17, 20}},
        {26, {0, 5, 8, 11, 14, 17, 20}},  {17, {0, 4, 6, 9, 12, 15, -1}},  {14, {0, 4, 6, 8, 10, 12, -1}},
        {12, {-1, -1, -1, 0, 3, 6, 9}},   {8, {-1, -1, -1, 0, 3, 6, -1}},  {22, {0, 5, 8, 11, 14, 17, 20}},
    };
    const std::string texts[] = {
        "2015-01-01 02:11:47", "2015-01-01 02:11:47.5", "2015-01-01 02:11:47.123", "2015-01-01 02:11:47.123456",
        "20150101 02:11:47", "20150101021147", "13:45:59.999", "23:59:59", "0000-00-00 00:00:00",
        " 015-01-01 02:11:47", "-015-01-01 02:11:47", "+015-01-01 02:11:47", "2015-0x-01 02:11:47",
        "2015-01-01 0 :11:47", "2015-01-01 02:11:-7", std::string("2015-01-\0001 02:11:47", 19),
        std::string("20150101 02:11:4\0", 17), "9999-12-31 23:59:59.9", "2015-01-01 02:11:47.-5",
    };
    const auto field = [](const char* psz, int at, int digits, bool bPartial) {
        return at < 0 ? 0 : CDateTimeBase::nGetPropDateTime(psz, at, digits, bPartial);
    };
    for (const std::string& text : texts) {
        const Form* form = nullptr;
        for (const Form& f : forms)
            form = f.length == text.size() ? &f : form;
        ASSERT_NE(nullptr, form) << text;
        // Fractions are read only behind a '.' at 19 in the long forms.
        const bool bFraction = form->at[6] >= 0 && (text.size() < 19 || text[19] == '.');
        CDateTimeBase expected;
        expected.InitDate();
        expected.Set(field(text.c_str(), form->at[0], 4, false), field(text.c_str(), form->at[1], 2, false),
                     field(text.c_str(), form->at[2], 2, false), field(text.c_str(), form->at[3], 2, false),
                     field(text.c_str(), form->at[4], 2, false), field(text.c_str(), form->at[5], 2, false),
                     bFraction ? field(text.c_str(), form->at[6], 3, true) : 0);
        CNAConvertVariant* slot = SlotVariant(NA_IT_DATETIME, 8, 0, 0, 0xEE);
        ASSERT_EQ(1, slot->bSetValueDB(text.data(), static_cast<long>(text.size()), 65001)) << text;
        EXPECT_EQ(0, std::memcmp(Slot(slot).data(), &expected, sizeof expected))
            << testing::PrintToString(text) << ": " << expected.m_wAnnee << "-" << int(expected.m_byMois) << "-"
            << int(expected.m_byJour) << " " << expected.m_dwMilli;
    }
}

}  // namespace
