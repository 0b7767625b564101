// Storing into a conversion value, by storage kind and type code: the same
// code stored as it is, other codes converted by the text stores or the
// runtime cast, NULL, the raw store and its cuts, the typed setters, the
// boolean rule, date-times into digit slots, wide text into Unicode slots,
// padding, and the failed conversion with its error.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/system/time_records.h"
#include "common/text/date_time_base.h"
#include "common/text/money.h"
#include "common/text/zl_bin.h"
#include "native/model/convert_variant.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class ConvertStore : public vxtest::VariantTest
{
protected:
    static CAny DateTime(int y, int mo, int d, int h, int mi, int s, int ms)
    {
        CDateTimeBase dt;
        dt.Set(y, mo, d, h, mi, s, ms);
        CAny v;
        v.SetDATETIME(dt);
        return v;
    }
};

TEST_F(ConvertStore, SameCodeRoundTripsInEveryKind)
{
    struct Case
    {
        eNA_ITEMTYPE item;
        unsigned size;
        unsigned short code;
        const wchar_t* text;
        int digits = 0, decimals = 0;
    };
    const Case cases[] = {
        {NA_IT_I4, 4, ZLTYPE_I4, L"-123456"},
        {NA_IT_I8, 8, ZLTYPE_I8, L"-9000000000000"},
        {NA_IT_UI2, 2, ZLTYPE_UI2, L"65535"},
        {NA_IT_R8, 8, ZLTYPE_R8, L"2.5"},
        {NA_IT_MONETAIRE, 10, ZLTYPE_CY, L"-12.345678"},
        {NA_IT_TEXTE, 21, ZLTYPE_DSTRA, L"O'Hara"},
        {NA_IT_UNICODE, 42, ZLTYPE_DSTRW, L"\u00e9t\u00e9 \u4e2d"},
        {NA_IT_DATE8, 9, ZLTYPE_DATEA, L"20240131"},
        {NA_IT_HEURE, 10, ZLTYPE_TIMEA, L"123456789"},
        {NA_IT_DATETIME, 8, ZLTYPE_DATETIME, L"20240131123456789"},
        {NA_IT_DECIMAL, 9, ZLTYPE_DECIMAL, L"-1234.5600", 6, 4},
        {NA_IT_BINAIRE, 12, ZLTYPE_BIN, L"bytes"},
    };
    for (const Case& c : cases) {
        const CAny source = Make(c.code, c.text);
        const std::wstring expected = Text(source);
        SCOPED_TRACE("item type " + std::to_string(c.item));
        // Kind 1.
        CNAConvertVariant* any = AnyVariant(c.code);
        ASSERT_EQ(1, any->bSetValue(&source));
        EXPECT_EQ(expected, ValueText(*any));
        // Kind 3, a slot of the item.
        CNAConvertVariant* slot = SlotVariant(c.item, c.size, c.digits, c.decimals, 0xEE);
        ASSERT_EQ(1, slot->bSetValue(&source));
        EXPECT_EQ(expected, ValueText(*slot));
        EXPECT_TRUE(NoError());
        // A store from a value of another code goes through the conversions
        // and comes back the same.
        if (c.code != ZLTYPE_BIN) {
            const CAny asText = Make(ZLTYPE_PSTRW, expected.c_str());
            CNAConvertVariant* other = SlotVariant(c.item, c.size, c.digits, c.decimals, 0xEE);
            ASSERT_EQ(1, other->bSetValue(&asText));
            EXPECT_EQ(expected, ValueText(*other));
        }
    }
}

TEST_F(ConvertStore, NullStoresANullOfTheSameCodeAndZeroesTheSlot)
{
    CAny nullText;
    nullText.__SetType(ZLTYPE_DSTRW, 0);
    nullText.SetNull();
    CNAConvertVariant* slot = SlotVariant(NA_IT_I4, 4, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValue(&nullText));
    EXPECT_EQ(ZLTYPE_I4 | ANY_FLAG_NULL, slot->pclGetValue()->wGetType());
    EXPECT_EQ(Octets(4, 0), Slot(slot));
    EXPECT_EQ(L"<NULL>", ValueText(*slot));
    CNAConvertVariant* any = AnyVariant(ZLTYPE_R8);
    ASSERT_EQ(1, any->bSetValue(&nullText));
    EXPECT_EQ(ZLTYPE_R8 | ANY_FLAG_NULL, any->pclGetValue()->wGetType());
    // A store of a value clears it again.
    CAny n;
    n.SetI4(3);
    ASSERT_EQ(1, slot->bSetValue(&n));
    EXPECT_FALSE(IsNull(*slot));
    // An empty source is NULL too.
    const CAny empty;
    ASSERT_EQ(1, slot->bSetValue(&empty));
    EXPECT_TRUE(IsNull(*slot));
}

TEST_F(ConvertStore, TextLongerThanTheSlotKeepsItsTerminator)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 11, 0, 0, 0xEE);
    const CAny text = Make(ZLTYPE_DSTRA, L"abcdefghijklmnopqrst");
    ASSERT_EQ(1, slot->bSetValue(&text));
    EXPECT_EQ("abcdefghij", AnsiText(*slot));
    EXPECT_EQ(0, Slot(slot)[10]);
    EXPECT_EQ(10u, slot->nGetSize());
    EXPECT_EQ(10u, slot->nGetUtilDataSize());
}

TEST_F(ConvertStore, IntegersBecomeTextThroughTheRuntimeCastAndBadTextIsError53)
{
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 8);
    CAny n;
    n.SetI4(-42);
    ASSERT_EQ(1, slot->bSetValue(&n));
    EXPECT_EQ("-42", AnsiText(*slot));

    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 4);
    ASSERT_EQ(1, number->bSetValue(&n));
    const Octets before = Slot(number);
    const CAny text = Make(ZLTYPE_DSTRA, L"douze");
    EXPECT_EQ(0, number->bSetValue(&text));
    EXPECT_TRUE(ErrorAt(53, L"12.3"));
    const std::wstring error = ErrorText();
    EXPECT_NE(std::wstring::npos, error.find(L"douze"));
    EXPECT_NE(std::wstring::npos, error.find(L"type 19"));
    EXPECT_NE(std::wstring::npos, error.find(L"CUSTOMER"));
    EXPECT_NE(std::wstring::npos, error.find(L"ITEM"));
    EXPECT_EQ(before, Slot(number)) << "the value keeps its content";

    // Kind 1 keeps its value too.
    m_pclError->Reset();
    CNAConvertVariant* any = AnyVariant(ZLTYPE_I4);
    any->bSetValue(&n);
    EXPECT_EQ(0, any->bSetValue(&text));
    EXPECT_EQ(L"-42", ValueText(*any));
}

TEST_F(ConvertStore, AnyNonZeroBooleanIsStoredTrue)
{
    for (int b : {0, 1, 2, -1, 256}) {
        CAny value;
        value.SetBOOL(b);
        CNAConvertVariant* slot = SlotVariant(NA_IT_BOOLEEN, 1, 0, 0, 0xEE);
        ASSERT_EQ(1, slot->bSetValue(&value));
        EXPECT_EQ(Octets{static_cast<unsigned char>(b != 0)}, Slot(slot)) << b;
    }
    // The typed setter too.
    CNAConvertVariant* slot = SlotVariant(NA_IT_BOOLEEN, 1);
    ASSERT_EQ(1, slot->bSetValue(true));
    EXPECT_EQ(Octets{1}, Slot(slot));
}

TEST_F(ConvertStore, DurationFromTextGoesThroughAnInteger)
{
    CNAConvertVariant* any = AnyVariant(ZLTYPE_DUREE);
    const CAny text = Make(ZLTYPE_DSTRW, L"1500");
    ASSERT_EQ(1, any->bSetValue(&text));
    EXPECT_EQ(1500, any->pclGetValue()->_tLit<int64_t>());
    const CAny decimal = Make(ZLTYPE_DECIMAL, L"2500.4");
    ASSERT_EQ(1, any->bSetValue(&decimal));
    EXPECT_EQ(2500, any->pclGetValue()->_tLit<int64_t>());
}

TEST_F(ConvertStore, TimeTextIntoADateTimeIsATimeOfDayOnDateZero)
{
    CNAConvertVariant* any = AnyVariant(ZLTYPE_DATETIME);
    const CAny time = Make(ZLTYPE_TIMEW, L"133005250");
    ASSERT_EQ(1, any->bSetValue(&time));
    CDateTimeBase dt;
    std::memcpy(&dt, any->pclGetValue()->_pbyGetValeur(), sizeof dt);
    EXPECT_EQ(0, dt.m_wAnnee);
    EXPECT_EQ(0, dt.m_byMois);
    EXPECT_EQ(13 * 3600000u + 30 * 60000u + 5 * 1000u + 250u, dt.m_dwMilli);
}

TEST_F(ConvertStore, DateTimeKeptAsItsCodeIsWrittenInTheDigitFormOfItsSlot)
{
    const CAny dt = DateTime(2024, 1, 31, 12, 34, 56, 789);
    // A value of code 26 bound to a DATE8 or HEURE slot: the slot gets the
    // 8-bit digits the slot's readers read.
    struct Case
    {
        eNA_ITEMTYPE item;
        unsigned size;
        const char* digits;
    };
    const Case cases[] = {
        {NA_IT_DATE8, 9, "20240131"}, {NA_IT_DATE8, 5, "2024"},   {NA_IT_HEURE, 10, "123456789"},
        {NA_IT_HEURE, 7, "123456"},   {NA_IT_HEURE, 5, "1234"},   {NA_IT_HEURE, 1, ""},
    };
    for (const Case& c : cases) {
        CNAConvertVariant* bound = SlotVariant(c.item, c.size, 0, 0, 0xEE);
        // The item typed the value by its own type; it is made a date-time
        // again, the item kept.
        const_cast<CAny*>(bound->pclGetValue())->__SetType(ZLTYPE_DATETIME, 0);
        ASSERT_EQ(1, bound->bSetValue(&dt));
        EXPECT_EQ(std::string(c.digits), AnsiText(*bound)) << c.size;
        EXPECT_EQ(0, Slot(bound).back()) << "terminator inside the slot";
    }
    // A DATETIME slot takes the 8 bytes.
    CNAConvertVariant* slot = SlotVariant(NA_IT_DATETIME, 8);
    ASSERT_EQ(1, slot->bSetValue(&dt));
    EXPECT_EQ(0, std::memcmp(Slot(slot).data(), dt._pbyGetValeur(), 8));
}

TEST_F(ConvertStore, WideTextInAUnicodeSlotIsUtf16WithPairsNeverSplit)
{
    const std::wstring text = L"a\U0001F600b";
    const CAny source = Make(ZLTYPE_DSTRW, text.c_str());
    // Room for 3 units and the terminator: 'a' and the pair.
    CNAConvertVariant* slot = SlotVariant(NA_IT_UNICODE, 8, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValue(&source));
    EXPECT_EQ(u"a\U0001F600", Units(*slot));
    EXPECT_EQ(6u, slot->nGetSize());
    EXPECT_EQ(L"a\U0001F600", ValueText(*slot));
    EXPECT_EQ(2u, slot->nGetUtilDataSize());
    // Room for 2 units: the pair does not fit and is left out whole.
    CNAConvertVariant* small = SlotVariant(NA_IT_UNICODE, 6, 0, 0, 0xEE);
    ASSERT_EQ(1, small->bSetValue(text.c_str(), -1));
    EXPECT_EQ(u"a", Units(*small));
    EXPECT_EQ(Octets({'a', 0, 0, 0, 0, 0}), Slot(small));
    // A wide own buffer bound to no item keeps 4-byte characters, with a
    // whole zero character behind them.
    CNAConvertVariant* own = OwnBufferVariant(ZLTYPE_DSTRW, 10);
    ASSERT_EQ(1, own->bSetValue(&source));
    EXPECT_EQ(L"a", ValueText(*own));
    EXPECT_EQ(4u, own->nGetSize());
}

TEST_F(ConvertStore, RuntimeTextsByKind)
{
    // Kind 1: 8-bit codes take the text in the connection's code page.
    CNAConvertVariant* ansi = AnyVariant(ZLTYPE_DSTRA);
    ASSERT_EQ(1, ansi->bSetValue(L"caf\u00e9 \u20ac", -1));
    unsigned long n = 0;
    const char* psz = static_cast<const char*>(ansi->pGetData());
    n = ansi->nGetUtilDataSize();
    EXPECT_EQ(std::string("caf\xE9 \x80"), std::string(psz, n));
    CNAConvertVariant* wide = AnyVariant(ZLTYPE_PSTRW);
    ASSERT_EQ(1, wide->bSetValue("caf\xE9", -1));
    EXPECT_EQ(L"caf\u00e9", ValueText(*wide));
    // A text into a number: the runtime cast.
    CNAConvertVariant* number = AnyVariant(ZLTYPE_I2);
    ASSERT_EQ(1, number->bSetValue("-17", -1));
    EXPECT_EQ(L"-17", ValueText(*number));
    ASSERT_EQ(1, number->bSetValue(L"18", 2));
    EXPECT_EQ(L"18", ValueText(*number));
    // Slots: an empty text zeroes; one character codes; a text that does
    // not fit 8-bit is cut between characters with its terminator.
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 4, 0, 0, 0xEE);
    ASSERT_EQ(1, slot->bSetValue(L"xyzw", -1));
    EXPECT_EQ("xyz", AnsiText(*slot));
    ASSERT_EQ(1, slot->bSetValue(L"", -1));
    EXPECT_EQ(Octets(4, 0), Slot(slot));
    CNAConvertVariant* character = SlotVariant(NA_IT_CHAR, 1);
    ASSERT_EQ(1, character->bSetValue(L"\u00e9t\u00e9", -1));
    EXPECT_EQ(Octets{0xE9}, Slot(character));
    ASSERT_EQ(1, character->bSetValue(L"\u4e2d", -1));
    EXPECT_EQ(Octets{'?'}, Slot(character));
    // A UTF-8 runtime code page: never half a character.
    Connection().SetRuntimeCodePage(65001);
    CNAConvertVariant* utf8 = SlotVariant(NA_IT_TEXTE, 5, 0, 0, 0xEE);
    ASSERT_EQ(1, utf8->bSetValue(L"a\u00e9\u00e9", -1));
    EXPECT_EQ("a\xC3\xA9", AnsiText(*utf8));
    EXPECT_EQ(0, Slot(utf8)[3]);
}

TEST_F(ConvertStore, RawStoreCutsByTextKindAndOwnsNothingOfACallerBuffer)
{
    const unsigned char bytes[] = {'1', '2', '3', '4', '5', '6', '7', '8'};
    CNAConvertVariant* ansi = OwnBufferVariant(ZLTYPE_DSTRA, 6);
    ASSERT_EQ(1, ansi->bSetValue(bytes, sizeof bytes));
    EXPECT_EQ(5u, ansi->nGetSize());
    EXPECT_EQ("12345", AnsiText(*ansi));
    CNAConvertVariant* wide = OwnBufferVariant(ZLTYPE_DSTRW, 6);
    ASSERT_EQ(1, wide->bSetValue(bytes, sizeof bytes));
    EXPECT_EQ(4u, wide->nGetSize());
    // An S - 2 cut leaves two zero bytes: the reader stops at the buffer.
    EXPECT_EQ(L"<unread>", ValueText(*NewVariant()));
    (void)ValueText(*wide);
    CNAConvertVariant* other = OwnBufferVariant(ZLTYPE_I8, 6);
    ASSERT_EQ(1, other->bSetValue(bytes, sizeof bytes));
    EXPECT_EQ(6u, other->nGetSize());
    EXPECT_EQ(Octets(bytes, bytes + 6), BufferBytes(*other));
    // Kind 4: the bytes become the buffer.
    CNAConvertVariant* caller = NewVariant();
    ASSERT_EQ(1, caller->bInitTypeVariant(NA_VT_CALLER_BUFFER, nullptr, 0, ZLTYPE_BIN));
    ASSERT_EQ(1, caller->bSetValue(bytes, 3));
    EXPECT_EQ(bytes, caller->pGetData());
    EXPECT_EQ(3u, caller->nGetBufferSize());
    // A binary value: kind 1 holds it, a buffer takes its bytes.
    CZLBIN bin(bytes, 4);
    CNAConvertVariant* any = AnyVariant(ZLTYPE_BIN);
    ASSERT_EQ(1, any->bSetValue(&bin));
    EXPECT_EQ(4u, any->nGetSize());
    CNAConvertVariant* binSlot = SlotVariant(NA_IT_BINAIRE, 8, 0, 0, 0xEE);
    CAny binValue;
    binValue.SetBIN(bytes, 4);
    ASSERT_EQ(1, binSlot->bSetValue(&binValue));
    EXPECT_EQ(Octets({4, 0, '1', '2', '3', '4', 0, 0}), Slot(binSlot)) << "a binary slot keeps its length word";
}

TEST_F(ConvertStore, TypedSettersConvertIntoTheValuesCode)
{
    CNAConvertVariant* text = SlotVariant(NA_IT_TEXTE, 16);
    ASSERT_EQ(1, text->bSetValue(static_cast<short>(-7)));
    EXPECT_EQ("-7", AnsiText(*text));
    ASSERT_EQ(1, text->bSetValue(2.5));
    EXPECT_EQ("2.5", AnsiText(*text));
    CNAConvertVariant* i8 = SlotVariant(NA_IT_I8, 8);
    ASSERT_EQ(1, i8->bSetValue(static_cast<unsigned char>(200)));
    EXPECT_EQ(L"200", ValueText(*i8));
    ASSERT_EQ(1, i8->bSetValue(-5000000000l));
    EXPECT_EQ(L"-5000000000", ValueText(*i8));
    CNAConvertVariant* money = AnyVariant(ZLTYPE_CY);
    ASSERT_EQ(1, money->bSetValue(gstMoinsMillion));
    EXPECT_EQ(L"-1", ValueText(*money));
    CDateTimeBase dt;
    dt.Set(1999, 12, 31, 23, 59, 58, 0);
    CNAConvertVariant* date = SlotVariant(NA_IT_DATE8, 9);
    ASSERT_EQ(1, date->bSetValue(&dt));
    EXPECT_EQ("19991231", AnsiText(*date));
    // A kind-0 value takes nothing.
    CNAConvertVariant* none = NewVariant();
    EXPECT_EQ(1, none->bSetValue(5));
    EXPECT_EQ(ZLTYPE_VIDE, Code(*none));
    EXPECT_TRUE(NoError());
}

TEST_F(ConvertStore, SystemTimeAsTextByTheValuesSizeOrAsADateTime)
{
    SYSTEMTIME st{};
    st.wYear = 2024;
    st.wMonth = 2;
    st.wDay = 29;
    st.wHour = 7;
    st.wMinute = 8;
    st.wSecond = 9;
    st.wMilliseconds = 123;
    struct Case
    {
        unsigned size;
        const char* text;
    };
    // The used size of a slot is its size until a store.
    for (const Case& c : {Case{5, "0708"}, Case{7, "070809"}, Case{9, "07080912"}, Case{10, "070809123"},
                          Case{20, "20240229 070809"}}) {
        CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, c.size);
        ASSERT_EQ(1, slot->bSetValue(&st));
        EXPECT_EQ(std::string(c.text), AnsiText(*slot)) << c.size;
    }
    CNAConvertVariant* dt = SlotVariant(NA_IT_DATETIME, 8);
    ASSERT_EQ(1, dt->bSetValue(&st));
    EXPECT_EQ(L"20240229070809123", ValueText(*dt));
}

TEST_F(ConvertStore, CompleteSpacesPadsWithinTheBuffer)
{
    CNAConvertVariant* ansi = SlotVariant(NA_IT_TEXTE, 6, 0, 0, 0xEE);
    ansi->bSetValue("ab", -1);
    ansi->CompleteSpaces(4);
    EXPECT_EQ(Octets({'a', 'b', ' ', ' ', 0, 0}), Slot(ansi));
    ansi->CompleteSpaces(100);
    EXPECT_EQ(Octets({'a', 'b', ' ', ' ', ' ', 0}), Slot(ansi));
    CNAConvertVariant* unicode = SlotVariant(NA_IT_UNICODE, 8, 0, 0, 0xEE);
    unicode->bSetValue(L"x", -1);
    unicode->CompleteSpaces(10);
    EXPECT_EQ(u"x  ", Units(*unicode));
    EXPECT_EQ(0, Slot(unicode)[6] | Slot(unicode)[7]);
    CNAConvertVariant* own = OwnBufferVariant(ZLTYPE_DSTRW, 12);
    own->bSetValue(L"y", -1);
    // -1: the used size, which the text fills already.
    own->CompleteSpaces(-1);
    EXPECT_EQ(L"y", ValueText(*own));
    // Three characters asked, two and the zero character fit.
    own->CompleteSpaces(3);
    EXPECT_EQ(L"y ", ValueText(*own));
    CNAConvertVariant* any = AnyVariant(ZLTYPE_DSTRA);
    any->bSetValue("z", -1);
    any->CompleteSpaces(3);
    EXPECT_EQ(L"z  ", ValueText(*any));
    // NULL and other codes are left alone.
    CNAConvertVariant* number = SlotVariant(NA_IT_I4, 4, 0, 0, 0xEE);
    number->CompleteSpaces(3);
    EXPECT_EQ(Octets(4, 0xEE), Slot(number));
}

TEST_F(ConvertStore, PreparationPointsAKindOneValueAtItsOwnStorage)
{
    CNAConvertVariant* any = AnyVariant(ZLTYPE_I4);
    void* p = nullptr;
    unsigned long n = 0, *pn = nullptr;
    ASSERT_EQ(1, any->bGetBufferDB(&p, &n, &pn));
    EXPECT_EQ(1, any->nGetBindState());
    EXPECT_EQ(any->pclGetValue()->_pbyGetValeur(), p);
    EXPECT_EQ(4u, n);
    // Texts keep no buffer; a code-0 value becomes NULL.
    CNAConvertVariant* text = AnyVariant(ZLTYPE_DSTRW);
    ASSERT_EQ(1, text->bInitBufferDB());
    CNAConvertVariant* none = AnyVariant(ZLTYPE_VIDE);
    ASSERT_EQ(1, none->bInitBufferDB());
    EXPECT_TRUE(IsNull(*none));
    // Kind 0 cannot be prepared.
    EXPECT_EQ(0, NewVariant()->bInitBufferDB());
    EXPECT_EQ(0, NewVariant()->bConvertDataToDB());
    // An own buffer is prepared from the start.
    EXPECT_EQ(1, OwnBufferVariant(ZLTYPE_I4, 4)->nGetBindState());
}

}  // namespace
