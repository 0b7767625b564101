// The stand-in virtual machine's conversions, called through its exports the
// way the library calls them: storages of runtime values in, a storage of the
// target type out, and what it made released by FinConversion.
#include <cfloat>
#include <cmath>
#include <functional>

#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/money.h"
#include "tests/common/text/any_fixture.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

using Bytes = std::vector<unsigned char>;

class StandinVmConversion : public vxtest::StrMemTest
{
protected:
    static void SetUpTestSuite()
    {
        s_host = new StandinHostModule(VX_STANDIN_HOST_PATH);
        ASSERT_TRUE(s_host->IsLoaded()) << s_host->Error();
    }

    void SetUp() override
    {
        vxtest::StrMemTest::SetUp();
        Vm().Reset();
        // Blocks the machine makes come from the library's allocator.
        Vm().SetAllocator(&vxtest::Allocator());
        m_decimals = Vm().LiveDecimals();
        m_textsMade = Vm().TextsMade();
        m_textsFinished = Vm().TextsFinished();
    }

    void TearDown() override
    {
        EXPECT_EQ(m_decimals, Vm().LiveDecimals()) << "decimals left or released twice";
        EXPECT_EQ(Vm().TextsMade() - m_textsMade, Vm().TextsFinished() - m_textsFinished) << "heap texts left";
        Vm().Reset();
        vxtest::StrMemTest::TearDown();
    }

    static StandinVm Vm() { return StandinVm(*s_host); }

    static int Convert(const CAny& src, unsigned short type, void* dst, const STOCAW* options = nullptr)
    {
        return Vm().Conversion()(src._pbyGetValeur(), src.nGetTypeCode(), dst, type, 1, options);
    }

    // The text a value converts to (16), or "<rc>" on failure.
    static std::wstring Text(const CAny& src, const STOCAW* options = nullptr)
    {
        unsigned char dst[40] = {};
        const int rc = Convert(src, ZLTYPE_DSTRW, dst, options);
        if (rc != 0)
            return L"<" + std::to_wstring(rc) + L">";
        const unsigned char* block;
        std::memcpy(&block, dst, sizeof block);
        std::wstring text;
        if (block != nullptr) {
            text.resize(CBaseStrMem::s_nGetLength(block) / sizeof(wchar_t));
            std::memcpy(text.data(), block, text.size() * sizeof(wchar_t));
            EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(block));
        }
        Vm().Fin()(dst, ZLTYPE_DSTRW);
        return text;
    }

    // The bytes of a fixed-size result, or the failure code alone.
    static Bytes Fixed(const CAny& src, unsigned short type, size_t n)
    {
        unsigned char dst[40];
        std::memset(dst, 0xCD, sizeof dst);
        const int rc = Convert(src, type, dst);
        if (rc != 0) {
            EXPECT_EQ(Bytes(40, 0xCD), Bytes(dst, dst + 40)) << "a failure leaves the destination alone";
            return Bytes{static_cast<unsigned char>(rc)};
        }
        EXPECT_EQ(Bytes(40 - n, 0xCD), Bytes(dst + n, dst + 40)) << "only the type's storage is written";
        return Bytes(dst, dst + n);
    }

    static StandinHostModule* s_host;
    long m_decimals = 0;
    long m_textsMade = 0;
    long m_textsFinished = 0;
};

StandinHostModule* StandinVmConversion::s_host = nullptr;

std::unique_ptr<CAny> Make(std::function<void(CAny&)> set)
{
    auto v = std::make_unique<CAny>();
    set(*v);
    return v;
}

std::unique_ptr<CAny> Wide(const wchar_t* text)
{
    return Make([text](CAny& v) {
        v.__SetType(ZLTYPE_DSTRW, 0);
        v.Objet().SetValue(text, static_cast<unsigned long>(-1));
    });
}

template <class T>
Bytes B(T t)
{
    return vxtest::Bytes(&t, sizeof t);
}

Bytes Err(int rc) { return Bytes{static_cast<unsigned char>(rc)}; }

TEST_F(StandinVmConversion, EveryValueHasAText)
{
    CMoney money{};
    CDateTimeBase dt;
    dt.Set(2024, 1, 31, 12, 30, 45, 678);
    const int64_t duree = -90061001;  // one day, 01:01:01.001
    struct Case
    {
        std::unique_ptr<CAny> v;
        const wchar_t* text;
    };
    Case cases[] = {
        {Make([](CAny&) {}), L""},
        {Make([](CAny& v) { v.SetI4(-42); }), L"-42"},
        {Make([](CAny& v) { v.SetUI8(~0ul); }), L"18446744073709551615"},
        {Make([](CAny& v) { v.SetI8(INT64_MIN); }), L"-9223372036854775808"},
        {Make([](CAny& v) { v.SetBOOL(5); }), L"1"},
        {Make([](CAny& v) { v.SetR8(0.1); }), L"0.1"},
        {Make([](CAny& v) { v.SetR8(1e21); }), L"1e+21"},
        {Make([](CAny& v) { v.SetR4(0.1f); }), L"0.1"},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, 1.5)); }), L"1.5"},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, -2)); }), L"-2"},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, 0.000001)); }), L"0.000001"},
        {Make([&](CAny& v) { v.SetDATETIME(dt); }), L"20240131123045678"},
        {Make([](CAny& v) { v.SetDATEW(L"20240131"); }), L"20240131"},
        {Make([](CAny& v) { v.SetTIMEA("1234"); }), L"1234"},
        {Make([&](CAny& v) { v.SetDUREE(reinterpret_cast<const CDureeBase*>(&duree)); }), L"-1010101001"},
        {Make([](CAny& v) { v.SetBIN(reinterpret_cast<const unsigned char*>("A\xe9"), 2); }), L"A\u00e9"},
        {Make([](CAny& v) {
             v.__SetType(ZLTYPE_CARA, 0);
             v.Objet().SetValue("x");
         }),
         L"x"},
        {Make([](CAny& v) {
             v.__SetType(ZLTYPE_PSTRW, 0);
             v.Objet().SetValue(L"heap");
         }),
         L"heap"},
        {Make([](CAny& v) {
             v.__SetType(ZLTYPE_DSTRA, 0);
             v.Objet().SetValue("h\xe9", 2);
         }),
         L"h\u00e9"},
        {Wide(L"same"), L"same"},
        {Make([](CAny& v) { v.__SetType(ZLTYPE_MEMOIMG, 0); }), L"<150>"},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.text, Text(*c.v)) << "type " << c.v->wGetType();
}

TEST_F(StandinVmConversion, TextsInTheOptionsCodePage)
{
    auto v = Wide(L"\u00e9\u20ac");
    STOCAW utf8{65001, 0};
    unsigned char dst[40] = {};
    ASSERT_EQ(0, Convert(*v, ZLTYPE_DSTRA, dst, &utf8));
    const unsigned char* block;
    std::memcpy(&block, dst, sizeof block);
    EXPECT_EQ(vxtest::Bytes("\xc3\xa9\xe2\x82\xac", 6), vxtest::Bytes(block, 6)) << "terminated";
    Vm().Fin()(dst, ZLTYPE_DSTRA);

    ASSERT_EQ(0, Convert(*v, ZLTYPE_PSTRA, dst));
    const char* text;
    std::memcpy(&text, dst, sizeof text);
    EXPECT_STREQ("\xe9\x80", text) << "1252 without options";
    Vm().Fin()(dst, ZLTYPE_PSTRA);

    ASSERT_EQ(0, Convert(*Wide(L"\u4e00"), ZLTYPE_PSTRA, dst));
    std::memcpy(&text, dst, sizeof text);
    EXPECT_STREQ("?", text);
    Vm().Fin()(dst, ZLTYPE_PSTRA);

    ASSERT_EQ(0, Convert(*v, ZLTYPE_PSTRW, dst));
    const wchar_t* wide;
    std::memcpy(&wide, dst, sizeof wide);
    EXPECT_STREQ(L"\u00e9\u20ac", wide);
    EXPECT_EQ(1, Vm().TextsMade() - m_textsMade - (Vm().TextsFinished() - m_textsFinished));
    Vm().Fin()(dst, ZLTYPE_PSTRW);

    // The empty text is no text.
    ASSERT_EQ(0, Convert(*Wide(L""), ZLTYPE_PSTRW, dst));
    std::memcpy(&wide, dst, sizeof wide);
    EXPECT_EQ(nullptr, wide);
}

TEST_F(StandinVmConversion, TextsBecomeNumbersOnlyWhenTheWholeTextIsOne)
{
    CMoney exact{};
    pstChaineVersMonetaire(&exact, L"123456789012.345678");
    CMoney micro{};
    pstChaineVersMonetaire(&micro, L"0.000001");
    struct Case
    {
        const wchar_t* text;
        unsigned short type;
        Bytes expected;
    };
    const Case cases[] = {
        {L"123", ZLTYPE_I4, B<int32_t>(123)},
        {L"+7", ZLTYPE_I4, B<int32_t>(7)},
        {L"-5", ZLTYPE_I1, B<int8_t>(-5)},
        {L"", ZLTYPE_I4, B<int32_t>(0)},
        {L"300", ZLTYPE_UI1, Err(152)},
        {L"-1", ZLTYPE_UI4, Err(152)},
        {L"99999999999", ZLTYPE_I4, Err(152)},
        {L"18446744073709551615", ZLTYPE_UI8, B<uint64_t>(~0ul)},
        {L"-9223372036854775808", ZLTYPE_I8, B<int64_t>(INT64_MIN)},
        {L"123456789012345678", ZLTYPE_I8, B<int64_t>(123456789012345678)},
        {L"1234567890123456789x", ZLTYPE_I8, Err(151)},
        {L"12345678901234567x9", ZLTYPE_I8, Err(151)},
        {L"-00000000000000000000000000000000000001", ZLTYPE_I4, B<int32_t>(-1)},
        {L"000000000000000000000000000000000000001", ZLTYPE_I4, Err(151)},
        {L"99999999999999999999999999999999999999", ZLTYPE_I8, Err(152)},
        {L"12x", ZLTYPE_I4, Err(151)},
        {L" 1", ZLTYPE_I4, Err(151)},
        {L"1.5", ZLTYPE_I4, Err(151)},
        {L"-", ZLTYPE_I4, Err(151)},
        {L"0", ZLTYPE_BOOL, B<int32_t>(0)},
        {L"-3", ZLTYPE_BOOL, B<int32_t>(1)},
        {L"1.25", ZLTYPE_R8, B(1.25)},
        {L"-1e3", ZLTYPE_R8, B(-1000.0)},
        {L"abc", ZLTYPE_R8, Err(151)},
        {L"1.5.", ZLTYPE_R8, Err(151)},
        {L"3.4e39", ZLTYPE_R4, Err(152)},
        {L"0.5", ZLTYPE_R4, B(0.5f)},
        {L"123456789012.345678", ZLTYPE_CY, vxtest::Bytes(&exact, 10)},
        {L"0.0000005", ZLTYPE_CY, vxtest::Bytes(&micro, 10)},
        {L"1e3", ZLTYPE_CY, Err(151)},
        {L"1000000000000000000", ZLTYPE_CY, Err(152)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Fixed(*Wide(c.text), c.type, c.expected.size())) << c.text << " to " << c.type;
}

TEST_F(StandinVmConversion, NumbersConvertWhenTheyFit)
{
    CMoney money{};
    // 0.1 as a real is exactly 100000 millionths as currency.
    CMoney tenth{};
    pstChaineVersMonetaire(&tenth, L"0.1");
    struct Case
    {
        std::unique_ptr<CAny> v;
        unsigned short type;
        Bytes expected;
    };
    Case cases[] = {
        {Make([](CAny& v) { v.SetI8(300); }), ZLTYPE_UI1, Err(152)},
        {Make([](CAny& v) { v.SetI8(255); }), ZLTYPE_UI1, B<uint8_t>(255)},
        {Make([](CAny& v) { v.SetI4(-1); }), ZLTYPE_UI4, Err(152)},
        {Make([](CAny& v) { v.SetUI8(~0ul); }), ZLTYPE_I8, Err(152)},
        {Make([](CAny& v) { v.SetR8(2.9); }), ZLTYPE_I4, B<int32_t>(2)},
        {Make([](CAny& v) { v.SetR8(-2.9); }), ZLTYPE_I4, B<int32_t>(-2)},
        {Make([](CAny& v) { v.SetR8(std::nan("")); }), ZLTYPE_I4, Err(152)},
        {Make([](CAny& v) { v.SetR8(3e9); }), ZLTYPE_I4, Err(152)},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, -2.5)); }), ZLTYPE_I4, B<int32_t>(-2)},
        {Make([](CAny& v) { v.SetR8(0.1); }), ZLTYPE_CY, vxtest::Bytes(&tenth, 10)},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, 1.5)); }), ZLTYPE_R8, B(1.5)},
        {Make([](CAny& v) { v.SetI4(7); }), ZLTYPE_CY, vxtest::Bytes(pstInt32VersMonetaire(&money, 7), 10)},
        {Make([](CAny& v) { v.SetUI8(~0ul); }), ZLTYPE_R4, B(static_cast<float>(~0ul))},
        {Make([](CAny& v) { v.SetR8(1e300); }), ZLTYPE_R4, Err(152)},
        {Make([](CAny& v) { v.SetI4(5); }), ZLTYPE_BOOL, B<int32_t>(1)},
        {Make([](CAny& v) { v.SetR8(0.0); }), ZLTYPE_BOOL, B<int32_t>(0)},
        {Make([](CAny& v) { v.SetR8(0.25); }), ZLTYPE_BOOL, B<int32_t>(1)},
        {Make([](CAny& v) { v.SetI4(1500); }), ZLTYPE_DUREE, B<int64_t>(1500)},
        {Make([](CAny& v) { v.SetBIN(reinterpret_cast<const unsigned char*>("1"), 1); }), ZLTYPE_I4, Err(150)},
        {Make([](CAny& v) { v.SetI4(1); }), ZLTYPE_BIN, Err(150)},
        {Make([](CAny& v) { v.SetI4(1); }), ZLTYPE_TABANY, Err(150)},
        {Make([](CAny& v) { v.SetI4(1); }), ZLTYPE_DATETIME, Err(150)},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.expected, Fixed(*c.v, c.type, c.expected.size())) << c.v->wGetType() << " to " << c.type;

    const int64_t milli = 1500;
    auto duree = Make([&](CAny& v) { v.SetDUREE(reinterpret_cast<const CDureeBase*>(&milli)); });
    EXPECT_EQ(B<int64_t>(1500), Fixed(*duree, ZLTYPE_I8, 8));
    EXPECT_EQ(Err(152), Fixed(*duree, ZLTYPE_UI1, 1));
}

TEST_F(StandinVmConversion, DatesTimesAndDurations)
{
    CDateTimeBase dt;
    dt.Set(2024, 1, 31, 12, 30, 45, 678);
    auto dateTime = Make([&](CAny& v) { v.SetDATETIME(dt); });
    EXPECT_EQ(vxtest::Bytes(L"20240131", 36), Fixed(*dateTime, ZLTYPE_DATEW, 36));
    EXPECT_EQ(vxtest::Bytes(L"123045678", 40), Fixed(*dateTime, ZLTYPE_TIMEW, 40));
    EXPECT_EQ(vxtest::Bytes("20240131", 9), Fixed(*dateTime, ZLTYPE_DATEA, 9));
    EXPECT_EQ(vxtest::Bytes("123045678", 10), Fixed(*dateTime, ZLTYPE_TIMEA, 10));
    EXPECT_EQ(B(dt), Fixed(*Wide(L"20240131123045678"), ZLTYPE_DATETIME, 8));
    EXPECT_EQ(B(dt), Fixed(*dateTime, ZLTYPE_DATETIME, 8));

    CDateTimeBase dateOnly;
    dateOnly.Set(2024, 2, 29, 0, 0, 0, 0);
    EXPECT_EQ(B(dateOnly), Fixed(*Make([](CAny& v) { v.SetDATEW(L"20240229"); }), ZLTYPE_DATETIME, 8));
    EXPECT_EQ(B(dateOnly), Fixed(*Wide(L"20240229"), ZLTYPE_DATETIME, 8));
    CDateTimeBase timeOnly;
    timeOnly.Set(0, 0, 0, 23, 59, 59, 999);
    EXPECT_EQ(B(timeOnly), Fixed(*Make([](CAny& v) { v.SetTIMEA("235959999"); }), ZLTYPE_DATETIME, 8));
    EXPECT_EQ(vxtest::Bytes(L"120000000", 40), Fixed(*Wide(L"12"), ZLTYPE_TIMEW, 40)) << "completed with zeros";

    for (const wchar_t* bad : {L"20230229", L"2024013", L"20241301", L"20240131250000000", L"2024O131"})
        EXPECT_EQ(Err(151), Fixed(*Wide(bad), ZLTYPE_DATETIME, 8)) << bad;
    EXPECT_EQ(Err(151), Fixed(*Wide(L"1999"), ZLTYPE_DATEW, 36));
    EXPECT_EQ(Err(151), Fixed(*Wide(L"1260"), ZLTYPE_TIMEA, 10));

    EXPECT_EQ(B<int64_t>(90061001), Fixed(*Wide(L"1010101001"), ZLTYPE_DUREE, 8));
    EXPECT_EQ(B<int64_t>(-1), Fixed(*Wide(L"-000000001"), ZLTYPE_DUREE, 8));
    EXPECT_EQ(B<int64_t>(3600000), Fixed(*Wide(L"010000000"), ZLTYPE_DUREE, 8));
    EXPECT_EQ(Err(151), Fixed(*Wide(L"12"), ZLTYPE_DUREE, 8));
    EXPECT_EQ(Err(151), Fixed(*Wide(L"0006000000"), ZLTYPE_DUREE, 8)) << "60 minutes";
}

// The empty value and the empty text give the target's initial value.
TEST_F(StandinVmConversion, EmptyGivesTheInitialValue)
{
    CAny empty;
    EXPECT_EQ(vxtest::Bytes(L"000000000", 40), Fixed(empty, ZLTYPE_TIMEW, 40));
    EXPECT_EQ(vxtest::Bytes("000000000", 10), Fixed(*Wide(L""), ZLTYPE_TIMEA, 10));
    EXPECT_EQ(Bytes(36, 0), Fixed(empty, ZLTYPE_DATEW, 36));
    EXPECT_EQ(Bytes(8, 0), Fixed(empty, ZLTYPE_DATETIME, 8));
    EXPECT_EQ(Bytes(10, 0), Fixed(*Wide(L""), ZLTYPE_CY, 10));
    EXPECT_EQ(Bytes(8, 0), Fixed(empty, ZLTYPE_BIN, 8)) << "no block";

    unsigned char dst[40] = {};
    ASSERT_EQ(0, Convert(empty, ZLTYPE_DECIMAL, dst));
    IDecimal* decimal;
    std::memcpy(&decimal, dst, sizeof decimal);
    ASSERT_NE(nullptr, decimal);
    EXPECT_EQ(1, Vm().LiveDecimals() - m_decimals);
    EXPECT_EQ(0, decimal->vbIsNegative());
    Vm().Fin()(dst, ZLTYPE_DECIMAL);
}

TEST_F(StandinVmConversion, CharactersHoldOneCharacter)
{
    EXPECT_EQ((Bytes{'a', 0}), Fixed(*Wide(L"a"), ZLTYPE_CARA, 2));
    EXPECT_EQ((Bytes{0xE9, 0}), Fixed(*Wide(L"\u00e9"), ZLTYPE_CARA, 2));
    EXPECT_EQ(Err(152), Fixed(*Wide(L"ab"), ZLTYPE_CARA, 2));
    EXPECT_EQ(vxtest::Bytes(L"\u20ac", 8), Fixed(*Wide(L"\u20ac"), ZLTYPE_CARW, 8));
    EXPECT_EQ(vxtest::Bytes(L"7", 8), Fixed(*Make([](CAny& v) { v.SetI4(7); }), ZLTYPE_CARW, 8));
}

TEST_F(StandinVmConversion, DecimalsFromNumbersAndTexts)
{
    struct Case
    {
        std::unique_ptr<CAny> v;
        __int128 unscaled;
        int precision, scale;
        const wchar_t* text;
    };
    CMoney money{};
    Case cases[] = {
        {Wide(L"12.340"), 12340, 5, 3, L"12.340"},
        {Wide(L"-0.5"), -5, 1, 1, L"-0.5"},
        {Make([](CAny& v) { v.SetI8(-42); }), -42, 2, 0, L"-42"},
        {Make([](CAny& v) { v.SetR8(0.25); }), 25, 2, 2, L"0.25"},
        {Make([&](CAny& v) { v.SetCY(*pstDoubleVersMonetaire(&money, 1.5)); }), 1500000, 7, 6, L"1.500000"},
    };
    for (Case& c : cases) {
        unsigned char dst[40] = {};
        ASSERT_EQ(0, Convert(*c.v, ZLTYPE_DECIMAL, dst));
        IDecimal* decimal;
        std::memcpy(&decimal, dst, sizeof decimal);
        unsigned char form[18];
        decimal->vGetBytes18(form);
        __int128 unscaled;
        std::memcpy(&unscaled, form, 16);
        EXPECT_TRUE(unscaled == c.unscaled) << c.v->wGetType();
        EXPECT_EQ(c.precision, form[16]);
        EXPECT_EQ(c.scale, form[17]);
        // And back to text, from a storage that holds the conversion's object.
        CAny back;
        back.__SetType(ZLTYPE_DECIMAL, 1);
        back._Ecrit(decimal);
        EXPECT_EQ(c.text, Text(back));
        back._Ecrit<IDecimal*>(nullptr);
        Vm().Fin()(dst, ZLTYPE_DECIMAL);
    }
    EXPECT_EQ(Err(151), Fixed(*Wide(L"1.2.3"), ZLTYPE_DECIMAL, 8));
    EXPECT_EQ(Err(151), Fixed(*Wide(L"123456789012345678901234567890123456789"), ZLTYPE_DECIMAL, 8))
        << "39 digits";
}

TEST_F(StandinVmConversion, DecimalsReadAsRealsAsTheirTextsReadAndWriteTheirTexts)
{
    // Exact doubles divided by exact powers of ten, and what is not: more
    // than 53 bits, scales above 22, 38 digits.
    const wchar_t* const texts[] = {
        L"0",
        L"0.00",
        L"-0.5",
        L"0.1",
        L"12.34",
        L"-99999999999.99",
        L"9007199254740.992",
        L"9007199254740.993",
        L"-9007199254740993",
        L"0.0000000000000000000001",
        L"0.00000000000000000000001",
        L"1.2345678901234567890123",
        L"12345678901234567890123456789012345678",
        L"-0.12345678901234567890123456789012345678",
        L"0.00000000000000000000000000000000000001",
        L"123456789.00000000000000000000000000000",
    };
    for (const wchar_t* text : texts) {
        unsigned char dst[40] = {};
        ASSERT_EQ(0, Convert(*Wide(text), ZLTYPE_DECIMAL, dst)) << text;
        IDecimal* decimal;
        std::memcpy(&decimal, dst, sizeof decimal);
        CAny value;
        value.__SetType(ZLTYPE_DECIMAL, 1);
        value._Ecrit(decimal);
        std::string narrow(text, text + std::wcslen(text));
        EXPECT_EQ(B(std::strtod(narrow.c_str(), nullptr)), Fixed(value, ZLTYPE_R8, 8)) << text;
        EXPECT_EQ(text, Text(value)) << "every digit of the scale";
        value._Ecrit<IDecimal*>(nullptr);
        Vm().Fin()(dst, ZLTYPE_DECIMAL);
    }
    // Currency without its trailing zeros.
    const std::pair<const wchar_t*, const wchar_t*> money[] = {
        {L"0.000001", L"0.000001"}, {L"-0.5", L"-0.5"}, {L"100", L"100"}, {L"-100.010", L"-100.01"}, {L"0", L"0"}};
    for (const auto& [text, expected] : money) {
        CMoney units{};
        pstChaineVersMonetaire(&units, text);
        EXPECT_EQ(expected, Text(*Make([&](CAny& v) { v.SetCY(units); }))) << text;
    }
}

TEST_F(StandinVmConversion, TextsOfAnyLengthOneAfterAnother)
{
    // A long text, then short ones: nothing of one conversion shows in the
    // next.
    const std::wstring longText(5000, L'\u00e9');
    const std::wstring longDigits(5000, L'7');
    EXPECT_EQ(longText, Text(*Wide(longText.c_str())));
    EXPECT_EQ(Err(151), Fixed(*Wide(longDigits.c_str()), ZLTYPE_I8, 8));
    EXPECT_EQ(B<int64_t>(12), Fixed(*Wide(L"12"), ZLTYPE_I8, 8));
    EXPECT_EQ(L"ab", Text(*Wide(L"ab")));
    EXPECT_EQ(longDigits, Text(*Wide(longDigits.c_str())));
    EXPECT_EQ(L"", Text(*Wide(L"")));
    EXPECT_EQ(B<int32_t>(0), Fixed(*Wide(L""), ZLTYPE_I4, 4));
    EXPECT_EQ(B(-1.5), Fixed(*Wide(L"-1.5"), ZLTYPE_R8, 8));
}

TEST_F(StandinVmConversion, BinariesAreTheTextsBytes)
{
    unsigned char dst[40] = {};
    const long live = vxtest::Allocator().LiveBlocks();
    ASSERT_EQ(0, Convert(*Wide(L"A\u00e9"), ZLTYPE_BIN, dst));
    const unsigned char* block;
    std::memcpy(&block, dst, sizeof block);
    EXPECT_EQ(2u, CBaseStrMem::s_nGetLength(block));
    EXPECT_EQ(vxtest::Bytes("A\xe9", 2), vxtest::Bytes(block, 2));
    EXPECT_EQ(live + 1, vxtest::Allocator().LiveBlocks());
    Vm().Fin()(dst, ZLTYPE_BIN);
    EXPECT_EQ(live, vxtest::Allocator().LiveBlocks());
}

TEST_F(StandinVmConversion, FinConversionReleasesWhatTheConversionMade)
{
    const long live = vxtest::Allocator().LiveBlocks();
    unsigned char dst[40] = {};
    auto v = Make([](CAny& x) { x.SetI4(12); });
    for (unsigned short type : {ZLTYPE_DSTRW, ZLTYPE_DSTRA}) {
        ASSERT_EQ(0, Convert(*v, type, dst));
        EXPECT_EQ(live + 1, vxtest::Allocator().LiveBlocks());
        Vm().Fin()(dst, type);
        EXPECT_EQ(live, vxtest::Allocator().LiveBlocks());
        EXPECT_EQ(Bytes(8, 0), Bytes(dst, dst + 8)) << "the cell is cleared";
        Vm().Fin()(dst, type);  // a cleared cell is harmless
    }
    // Types that own nothing are left as they are.
    ASSERT_EQ(0, Convert(*v, ZLTYPE_I8, dst));
    Vm().Fin()(dst, ZLTYPE_I8);
    EXPECT_EQ(B<int64_t>(12), Bytes(dst, dst + 8));
    EXPECT_EQ(5, Vm().Calls(kStandinVmFinConversion));
}

TEST_F(StandinVmConversion, ForcedResultsAndCallCounts)
{
    auto v = Make([](CAny& x) { x.SetI4(12); });
    Vm().SetResult(kStandinVmConversion, 160);
    EXPECT_EQ(Err(160), Fixed(*v, ZLTYPE_I8, 8));
    Vm().SetResult(kStandinVmConversion, 7);
    unsigned char dst[40] = {};
    EXPECT_EQ(7, Convert(*v, ZLTYPE_I8, dst)) << "a warning: converted all the same";
    EXPECT_EQ(B<int64_t>(12), Bytes(dst, dst + 8));
    EXPECT_EQ(2, Vm().Calls(kStandinVmConversion));
    Vm().SetResult(kStandinVmConversion, 0);
}

// Every calculation entry point exists and counts its call; the six
// result-type ones answer 0, and a forced failure writes nothing.
TEST_F(StandinVmConversion, CalculationEntryPointsExistAndFailCleanlyWhenForced)
{
    int answer = 77;
    unsigned char a[40] = {}, b[40] = {}, result[40] = {};
    unsigned short type = 77;
    for (int i = 0; i < VM_CALCULATION_COUNT; ++i) {
        void* symbol = s_host->Symbol(gapszVMCalculationNames[i]);
        ASSERT_NE(nullptr, symbol) << gapszVMCalculationNames[i];
        Vm().SetResult(kStandinVmCalculation + i, 180);
        int rc = 0;
        if (i == 0)
            rc = reinterpret_cast<PFN_CanCompareEx>(symbol)(8, 8) == 0 ? 180 : 0;
        else if (i < 6)
            rc = reinterpret_cast<PFN_GetTypeResultatEx>(symbol)(8, 8) == 0 ? 180 : 0;
        else if (i < 23)
            rc = reinterpret_cast<PFN_TestEx>(symbol)(a, 8, b, 8, &answer, 0, nullptr);
        else if (i == 23)
            rc = reinterpret_cast<PFN_NonLogiqueEx>(symbol)(a, 8, &answer, 0, nullptr);
        else if (i == 24)
            rc = reinterpret_cast<PFN_NegationEx>(symbol)(a, 8, result, &type, 0, nullptr);
        else
            rc = reinterpret_cast<PFN_ArithmetiqueEx>(symbol)(a, 8, b, 8, result, &type, 0, nullptr);
        EXPECT_EQ(180, rc) << gapszVMCalculationNames[i];
        EXPECT_EQ(1, Vm().Calls(kStandinVmCalculation + i)) << gapszVMCalculationNames[i];
        Vm().SetResult(kStandinVmCalculation + i, 0);
    }
    EXPECT_EQ(77, answer);
    EXPECT_EQ(77, type);
    EXPECT_EQ(Bytes(40, 0), Bytes(result, result + 40));
}

}  // namespace
