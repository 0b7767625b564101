// Database texts into conversion values: the boolean rule, numbers cast
// straight into slots, binary values, the text store in every code page
// pairing (and its cuts, which never split a character nor lose the
// terminator), the wide database text, and runtime values given as
// database values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "native/model/convert_variant.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class DbText : public vxtest::VariantTest
{
};

TEST_F(DbText, BooleanRuleIsFalseOnlyForFfZeroAndEmpty)
{
    struct Case
    {
        const char* text;
        int expected;
    };
    const Case cases[] = {{"F", 0},    {"f", 0},  {"0", 0},    {"", 0},  {"FALSE", 0}, {"T", 1},
                          {"1", 1},    {"Y", 1},  {"-1", 1},   {"x", 1}, {"true", 1},  {"00", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, CNAConvertVariant::s_bTextToBool(c.text)) << c.text;
        const std::wstring wide(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(c.expected, CNAConvertVariant::s_bTextToBool(wide.c_str())) << c.text;
        // Into a boolean slot (the rest of the slot zeroed) and a kind-1
        // value.
        CNAConvertVariant* slot = SlotVariant(NA_IT_BOOLEEN, 2, 0, 0, 0xEE);
        ASSERT_EQ(1, slot->bSetValueDB(c.text, -1, 1252));
        if (*c.text != 0) {
            EXPECT_EQ(Octets({static_cast<unsigned char>(c.expected), 0}), Slot(slot)) << c.text;
        } else {
            EXPECT_EQ(Octets({0, 0}), Slot(slot));
        }
        CNAConvertVariant* any = AnyVariant(ZLTYPE_BOOL);
        ASSERT_EQ(1, any->bSetValueDB(wide.c_str(), -1));
        EXPECT_EQ(c.expected, any->pclGetValue()->_tLit<int32_t>()) << c.text;
    }
}

TEST_F(DbText, NumbersAreCastStraightIntoTheirSlot)
{
    struct Case
    {
        eNA_ITEMTYPE item;
        unsigned size;
        const char* text;
        Octets bytes;
    };
    const Case cases[] = {
        {NA_IT_I2, 2, "-2", {0xFE, 0xFF}},
        {NA_IT_UI2, 2, "65535", {0xFF, 0xFF}},
        {NA_IT_I4, 4, "305419896", {0x78, 0x56, 0x34, 0x12}},
        {NA_IT_I8, 8, "-1", Octets(8, 0xFF)},
        {NA_IT_UI8, 8, "18446744073709551615", Octets(8, 0xFF)},
        {NA_IT_R4, 4, "1.5", {0x00, 0x00, 0xC0, 0x3F}},
        {NA_IT_R8, 8, "-2", {0, 0, 0, 0, 0, 0, 0, 0xC0}},
        {NA_IT_I1, 1, "-128", {0x80}},
    };
    for (const Case& c : cases) {
        CNAConvertVariant* slot = SlotVariant(c.item, c.size, 0, 0, 0xEE);
        ASSERT_EQ(1, slot->bSetValueDB(c.text, static_cast<long>(std::strlen(c.text)), 1252)) << c.text;
        EXPECT_EQ(c.bytes, Slot(slot)) << c.text;
        // The wide database text the same way; and a kind-1 value.
        CNAConvertVariant* wide = SlotVariant(c.item, c.size, 0, 0, 0xEE);
        const std::wstring text(c.text, c.text + std::strlen(c.text));
        ASSERT_EQ(1, wide->bSetValueDB(text.c_str(), -1));
        EXPECT_EQ(c.bytes, Slot(wide)) << c.text;
        CNAConvertVariant* any = AnyVariant(ConverteItemToZLType(c.item));
        ASSERT_EQ(1, any->bSetValueDB(c.text, -1, 65001));
        EXPECT_EQ(0, std::memcmp(any->pclGetValue()->_pbyGetValeur(), c.bytes.data(), c.bytes.size()));
    }
    EXPECT_TRUE(NoError());
    // A slot narrower than the type takes what fits.
    CNAConvertVariant* narrow = SlotVariant(NA_IT_I8, 3, 0, 0, 0xEE);
    ASSERT_EQ(1, narrow->bSetValueDB("65536", -1, 1252));
    EXPECT_EQ(Octets({0, 0, 1}), Slot(narrow));
}

TEST_F(DbText, NumberThatIsNoNumberIsError53AndLeavesTheSlot)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_I4, 4, 0, 0, 0xEE);
    EXPECT_EQ(0, slot->bSetValueDB("12abc", -1, 1252));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
    EXPECT_NE(std::wstring::npos, ErrorText().find(L"12abc"));
    EXPECT_EQ(Octets(4, 0xEE), Slot(slot));
    // Out of the type's range.
    m_pclError->Reset();
    CNAConvertVariant* small = SlotVariant(NA_IT_I1, 1, 0, 0, 0xEE);
    EXPECT_EQ(0, small->bSetValueDB(L"300", -1));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
}

TEST_F(DbText, EmptyTextIsTheRawStoreOfNothing)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 4, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("", 0, 1252));
    EXPECT_EQ(Octets(4, 0), Slot(slot));
    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 4, 0, 0, 0xEE);
    ASSERT_EQ(1, number->bSetValueDB("", 0, 1252));
    EXPECT_EQ(Octets(4, 0), Slot(number));
    CNAConvertVariant* text = AnyVariant(ZLTYPE_DSTRA);
    text->bSetValue("x", -1);
    ASSERT_EQ(1, text->bSetValueDB("", 0, 1252));
    EXPECT_EQ(L"", ValueText(*text));
    EXPECT_EQ(ZLTYPE_DSTRA, Code(*text));
}

TEST_F(DbText, BinaryIsLengthPrefixedAndCutToTheSlot)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_BINAIRE, 6, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("\x01\x02\x00\x04\x05\x06\x07", 7, 1252));
    EXPECT_EQ(Octets({4, 0, 1, 2, 0, 4}), Slot(slot));
    ASSERT_EQ(1, slot->bSetValueDB("\xAA", 1, 1252));
    EXPECT_EQ(Octets({1, 0, 0xAA, 0, 0, 0}), Slot(slot));
    CNAConvertVariant* any = AnyVariant(ZLTYPE_BIN);
    ASSERT_EQ(1, any->bSetValueDB("\x00\x01", 2, 1252));
    EXPECT_EQ(2u, any->nGetSize());
    // From wide text: bytes of the text's memory, as many as the length.
    CNAConvertVariant* fromWide = SlotVariant(NA_IT_BINAIRE, 8, 0, 0, 0xEE);
    ASSERT_EQ(1, fromWide->bSetValueDB(L"AB", 2));
    EXPECT_EQ(Octets({2, 0, 'A', 0, 0, 0, 0, 0}), Slot(fromWide));
    // A slot too small for the length word holds nothing.
    CNAConvertVariant* tiny = SlotVariant(NA_IT_BINAIRE, 1, 0, 0, 0xEE);
    ASSERT_EQ(1, tiny->bSetValueDB("xyz", 3, 1252));
    EXPECT_EQ(Octets{0}, Slot(tiny));
}

TEST_F(DbText, TextStoreIntoEightBitSlots)
{
    // The same code page: copied, cut to S - 1.
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 6, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("caf\xE9 au lait", -1, 1252));
    EXPECT_EQ("caf\xE9 ", AnsiText(*slot));
    EXPECT_EQ(5u, slot->nGetSize());
    EXPECT_EQ(0, Slot(slot)[5]);
    // UTF-8 into a 1252 runtime: converted, the terminator kept when the
    // slot is filled exactly.
    ASSERT_EQ(1, slot->bSetValueDB("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC!", -1, 65001));
    EXPECT_EQ("\xE9t\xE9 \x80", AnsiText(*slot));
    EXPECT_EQ(0, Slot(slot)[5]);
    // A character the code page lacks becomes '?'.
    ASSERT_EQ(1, slot->bSetValueDB("\xE4\xB8\xAD", -1, 65001));
    EXPECT_EQ("?", AnsiText(*slot));
    // A UTF-8 runtime: a UTF-8 text is cut between characters.
    Connection().SetRuntimeCodePage(65001);
    CNAConvertVariant* utf8 = SlotVariant(NA_IT_TEXTE, 5, 0, 0, 0xEE);
    ASSERT_EQ(1, utf8->bSetValueDB("ab\xE2\x82\xAC", -1, 65001));
    EXPECT_EQ("ab", AnsiText(*utf8));
    EXPECT_EQ(Octets({'a', 'b', 0, 0, 0}), Slot(utf8));
    // One character: its first byte.
    CNAConvertVariant* character = SlotVariant(NA_IT_CHAR, 1, 0, 0, 0xEE);
    ASSERT_EQ(1, character->bSetValueDB("xy", 2, 1252));
    EXPECT_EQ(Octets{'x'}, Slot(character));
}

TEST_F(DbText, TextStoreIntoAMultiByteRuntimeNeverSplitsACharacter)
{
    // Shift-JIS: two bytes for each of these characters.
    Connection().SetRuntimeCodePage(932);
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 4, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("\xE6\x97\xA5\xE6\x9C\xAC", -1, 65001));
    const std::string text = AnsiText(*slot);
    ASSERT_EQ(2u, text.size()) << "one whole character, never three bytes";
    EXPECT_EQ(Octets({static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]), 0, 0}), Slot(slot));
}

TEST_F(DbText, TextStoreIntoUnicodeSlotsWritesSurrogatePairs)
{
    // A fetched emoji of a utf8mb4 column: one pair, never its low 16 bits.
    CNAConvertVariant* slot = SlotVariant(NA_IT_UNICODE, 10, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValueDB("x\xF0\x9F\x98\x80y", -1, 65001));
    EXPECT_EQ(u"x\U0001F600y", Units(*slot));
    EXPECT_EQ(8u, slot->nGetSize());
    EXPECT_EQ(L"x\U0001F600y", ValueText(*slot));
    // S/2 - 1 units at most: a pair that does not fit whole is left out.
    CNAConvertVariant* cut = SlotVariant(NA_IT_UNICODE, 6, 0, 0, 0xEE);
    ASSERT_EQ(1, cut->bSetValueDB("x\xF0\x9F\x98\x80y", -1, 65001));
    EXPECT_EQ(Octets({'x', 0, 0, 0, 0, 0}), Slot(cut));
    // ASCII and 1252 texts.
    ASSERT_EQ(1, slot->bSetValueDB("abcdefgh", -1, 1252));
    EXPECT_EQ(u"abcd", Units(*slot));
    EXPECT_EQ(0, Slot(slot)[8] | Slot(slot)[9]);
    ASSERT_EQ(1, slot->bSetValueDB("\xE9\x80", -1, 1252));
    EXPECT_EQ(u"\u00e9\u20ac", Units(*slot));
    // Kind 1 gets the text as wide characters.
    CNAConvertVariant* any = AnyVariant(ZLTYPE_DSTRW);
    ASSERT_EQ(1, any->bSetValueDB("\xF0\x9F\x98\x80", -1, 65001));
    EXPECT_EQ(L"\U0001F600", ValueText(*any));
}

TEST_F(DbText, UTF8IntoAKindOneEightBitValue)
{
    CNAConvertVariant* any = AnyVariant(ZLTYPE_DSTRA);
    ASSERT_EQ(1, any->bSetValueDB("\xC3\xA9t\xC3\xA9", -1, 65001));
    const char* psz = static_cast<const char*>(any->pGetData());
    EXPECT_EQ(std::string("\xE9t\xE9"), std::string(psz, any->nGetUtilDataSize()));
    // In a UTF-8 runtime the bytes stay as they are.
    Connection().SetRuntimeCodePage(65001);
    ASSERT_EQ(1, any->bSetValueDB("\xC3\xA9", -1, 65001));
    psz = static_cast<const char*>(any->pGetData());
    EXPECT_EQ(std::string("\xC3\xA9"), std::string(psz, any->nGetUtilDataSize()));
}

TEST_F(DbText, OtherCodesGoThroughTheRuntimeConversion)
{
    CNAConvertVariant* decimal = SlotVariant(NA_IT_DECIMAL, 9, 6, 2);
    ASSERT_EQ(1, decimal->bSetValueDB("-1234.5", -1, 1252));
    EXPECT_EQ(L"-1234.50", ValueText(*decimal));
    ASSERT_EQ(1, decimal->bSetValueDB(L"7.25", -1));
    EXPECT_EQ(L"7.25", ValueText(*decimal));
    CNAConvertVariant* byte = AnyVariant(ZLTYPE_UI1);
    ASSERT_EQ(1, byte->bSetValueDB("200", -1, 1252));
    EXPECT_EQ(L"200", ValueText(*byte));
    EXPECT_EQ(0, byte->bSetValueDB("x", -1, 1252));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
}

TEST_F(DbText, WideDatabaseTextByCode)
{
    CNAConvertVariant* v = SlotVariant(NA_IT_TEXTE, 8);
    // A null text is NULL.
    ASSERT_EQ(1, v->bSetValueFromDB(nullptr, -1));
    EXPECT_TRUE(IsNull(*v));
    ASSERT_EQ(1, v->bSetValueDB(L"abc\u00e9", -1));
    EXPECT_FALSE(IsNull(*v));
    EXPECT_EQ("abc\xE9", AnsiText(*v));
    // Dates read through code page 1252: a character it lacks is a '?'
    // (not a digit), the form is still the length's.
    CNAConvertVariant* date = SlotVariant(NA_IT_DATE8, 9);
    ASSERT_EQ(1, date->bSetValueDB(L"2024-01-31", -1));
    EXPECT_EQ("20240131", AnsiText(*date));
    ASSERT_EQ(1, date->bSetValueDB(L"", 0));
    EXPECT_EQ(Octets(9, 0), Slot(date));
    // A text longer than every form: a zeroed slot.
    const std::wstring longText(100, L'1');
    ASSERT_EQ(1, date->bSetValueDB(longText.c_str(), -1));
    EXPECT_EQ(Octets(9, 0), Slot(date));
}

TEST_F(DbText, RuntimeValuesAsDatabaseValues)
{
    // A text value's useful bytes: a date text is recognised by its length,
    // which its terminator must not change.
    CNAConvertVariant* date = SlotVariant(NA_IT_DATE8, 9);
    const CAny ansiDate = Make(ZLTYPE_DSTRA, L"2024-01-31");
    ASSERT_EQ(1, date->bSetValueDB(&ansiDate));
    EXPECT_EQ("20240131", AnsiText(*date));
    const CAny wideTime = Make(ZLTYPE_PSTRW, L"13:45");
    CNAConvertVariant* time = SlotVariant(NA_IT_HEURE, 7);
    ASSERT_EQ(1, time->bSetValueDB(&wideTime));
    EXPECT_EQ("134500", AnsiText(*time));
    // A value of the variant's own code is stored as it is; any other by
    // the central conversion.
    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 4);
    CAny n;
    n.SetI4(12);
    ASSERT_EQ(1, number->bSetValueDB(&n));
    EXPECT_EQ(L"12", ValueText(*number));
    CAny r;
    r.SetR8(13.0);
    ASSERT_EQ(1, number->bSetValueDB(&r));
    EXPECT_EQ(L"13", ValueText(*number));
    // Bytes: at most the slot.
    const unsigned char bytes[] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(1, number->bSetValueDB(bytes, sizeof bytes));
    EXPECT_EQ(Octets({1, 2, 3, 4}), Slot(number));
    CNAConvertVariant* any = AnyVariant(ZLTYPE_BIN);
    ASSERT_EQ(1, any->bSetValueDB(bytes, 3));
    EXPECT_EQ(3u, any->nGetSize());
    // Kind 0 cannot be prepared.
    EXPECT_EQ(0, NewVariant()->bSetValueDB("1", 1, 1252));
}

}  // namespace
