// The per-type classes: sizes and fills, text forms, signs, increments and
// the setters from text.
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

#include "common/text/money.h"
#include "tests/common/text/any_fixture.h"

namespace {

using vxtest::BlockOf;
using vxtest::StorageBytes;
using Bytes = std::vector<unsigned char>;

class AnyClasses : public vxtest::StrMemTest
{
};

std::unique_ptr<CAny> Make(std::function<void(CAny&)> set)
{
    auto v = std::make_unique<CAny>();
    set(*v);
    return v;
}

std::unique_ptr<CAny> Typed(unsigned short code, std::function<void(CAny&)> set = nullptr)
{
    auto v = std::make_unique<CAny>();
    v->__SetType(code, 0);
    if (set)
        set(*v);
    return v;
}

std::wstring WideText(const CAny& v)
{
    const wchar_t* psz = nullptr;
    EXPECT_EQ(0, v.Objet().nGetPCWSTR(&psz));
    return psz ? psz : L"<null>";
}

std::string NarrowText(const CAny& v)
{
    const char* psz = nullptr;
    EXPECT_EQ(0, v.Objet().nGetPCASTR(&psz));
    return psz ? psz : "<null>";
}

// Each fill writes exactly the size that its size operation reports.
TEST_F(AnyClasses, FillsWriteExactlyTheReportedSize)
{
    static unsigned char buffer[5] = {1, 2, 3, 4, 5};
    std::vector<std::unique_ptr<CAny>> values;
    values.push_back(Make([](CAny& v) { v.SetBOOL(1); }));
    values.push_back(Make([](CAny& v) { v.SetUI1(1); }));
    values.push_back(Make([](CAny& v) { v.SetI2(-1); }));
    values.push_back(Make([](CAny& v) { v.SetUI4(9); }));
    values.push_back(Make([](CAny& v) { v.SetI8(-9); }));
    values.push_back(Make([](CAny& v) { v.SetR4(2); }));
    values.push_back(Make([](CAny& v) { v.SetR8(2); }));
    values.push_back(Make([](CAny& v) {
        CMoney m{};
        v.SetCY(*pstDoubleVersMonetaire(&m, -3.25));
    }));
    values.push_back(Typed(ZLTYPE_UIX));
    values.push_back(Typed(ZLTYPE_CARA, [](CAny& v) { v.Objet().SetValue("x"); }));
    values.push_back(Typed(ZLTYPE_CARW, [](CAny& v) { v.Objet().SetValue(L"x"); }));
    values.push_back(Make([](CAny& v) { v.SetDATEW(L"2024"); }));
    values.push_back(Make([](CAny& v) { v.SetDATEW(L"20240229"); }));
    values.push_back(Make([](CAny& v) { v.SetTIMEW(L"1234"); }));
    values.push_back(Make([](CAny& v) { v.SetTIMEW(L"123456789"); }));
    values.push_back(Make([](CAny& v) { v.SetDATEA("2024"); }));
    values.push_back(Make([](CAny& v) { v.SetTIMEA("12"); }));
    values.push_back(Make([](CAny& v) { v.SetTIMEA("123456789"); }));
    values.push_back(Typed(ZLTYPE_DATETIME));
    values.push_back(Typed(ZLTYPE_DUREE));
    values.push_back(Typed(ZLTYPE_DSTRW));
    values.push_back(Typed(ZLTYPE_DSTRW, [](CAny& v) { v.Objet().SetValue(L"abc", 12); }));
    values.push_back(Typed(ZLTYPE_DSTRA));
    values.push_back(Typed(ZLTYPE_DSTRA, [](CAny& v) { v.Objet().SetValue("abc", 3); }));
    values.push_back(Typed(ZLTYPE_PSTRW));
    values.push_back(Typed(ZLTYPE_PSTRW, [](CAny& v) { v.Objet().SetValue(L"abc"); }));
    values.push_back(Typed(ZLTYPE_PSTRA, [](CAny& v) { v.Objet().SetValue("abc"); }));
    values.push_back(Make([](CAny& v) { v.SetBIN(buffer, 5); }));
    values.push_back(Make([](CAny& v) { v.SetBIN(nullptr, 0); }));
    values.push_back(Typed(ZLTYPE_BUFFER, [](CAny& v) { v.Objet().SetValue(buffer, 5); }));
    values.push_back(Typed(ZLTYPE_MEMOIMG));
    values.push_back(Typed(ZLTYPE_OBJET_BASE));

    using SizeFn = int (CAnyObjet::*)(unsigned long*) const;
    using FillFn = int (CAnyObjet::*)(void*) const;
    const std::pair<SizeFn, FillFn> forms[] = {
        {&CAnyObjet::nGetSize, &CAnyObjet::nFillBuffer},
        {&CAnyObjet::nGetDataSize, &CAnyObjet::nFillDataBuffer},
        {&CAnyObjet::nGetUtilDataSize, &CAnyObjet::nFillUtilDataBuffer},
    };
    for (const auto& v : values) {
        for (size_t f = 0; f < 3; ++f) {
            SCOPED_TRACE("type " + std::to_string(v->wGetType()) + ", form " + std::to_string(f));
            unsigned long n = 999;
            ASSERT_EQ(0, (v->Objet().*forms[f].first)(&n));
            ASSERT_LT(n, 64u);
            // Runtime strings given a fill target of their own kind are
            // filled by sharing; the others get raw bytes.
            if (f == 0 && (v->nGetTypeCode() == ZLTYPE_DSTRW || v->nGetTypeCode() == ZLTYPE_DSTRA ||
                           v->nGetTypeCode() == ZLTYPE_BIN))
                continue;
            Bytes out(96, 0xAA);
            ASSERT_EQ(0, (v->Objet().*forms[f].second)(out.data()));
            EXPECT_EQ(Bytes(96 - n, 0xAA), Bytes(out.begin() + static_cast<long>(n), out.end()));
            if (n > 0) {
                EXPECT_NE(Bytes(n, 0xAA), Bytes(out.begin(), out.begin() + static_cast<long>(n)));
            }
        }
    }

    // The useful date forms hold the characters only.
    auto date = Make([](CAny& v) { v.SetDATEW(L"2024"); });
    Bytes out(40, 0xAA);
    date->Objet().nFillUtilDataBuffer(out.data());
    Bytes expected = vxtest::Bytes(L"2024\0\0\0\0", 32);
    expected.resize(40, 0xAA);
    EXPECT_EQ(expected, out);
}

TEST_F(AnyClasses, TextSizesCountTheTerminatorInTheDataFormOnly)
{
    struct Case
    {
        std::unique_ptr<CAny> v;
        unsigned long data, useful, strlen;
        Bytes dataBytes;
    };
    Case cases[] = {
        {Typed(ZLTYPE_DSTRA, [](CAny& v) { v.Objet().SetValue("abc", 3); }), 4, 3, 3, {'a', 'b', 'c', 0}},
        {Typed(ZLTYPE_DSTRW, [](CAny& v) { v.Objet().SetValue(L"abc", 12); }), 16, 12, 3,
         vxtest::Bytes(L"abc", 16)},
        {Typed(ZLTYPE_DSTRW), 4, 0, 0, {0, 0, 0, 0}},
        {Typed(ZLTYPE_DSTRA), 1, 0, 0, {0}},
        {Typed(ZLTYPE_PSTRA, [](CAny& v) { v.Objet().SetValue("ab"); }), 3, 2, 2, {'a', 'b', 0}},
        {Typed(ZLTYPE_PSTRW, [](CAny& v) { v.Objet().SetValue(L"ab"); }), 12, 8, 2, vxtest::Bytes(L"ab", 12)},
        {Typed(ZLTYPE_PSTRW), 4, 0, 0, {0, 0, 0, 0}},
        {Typed(ZLTYPE_PSTRA), 1, 0, 0, {0}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.v->wGetType());
        unsigned long n = 0;
        EXPECT_EQ(0, c.v->Objet().nGetDataSize(&n));
        EXPECT_EQ(c.data, n);
        EXPECT_EQ(0, c.v->Objet().nGetUtilDataSize(&n));
        EXPECT_EQ(c.useful, n);
        EXPECT_EQ(0, c.v->Objet().nGetSTRLEN(&n));
        EXPECT_EQ(c.strlen, n);
        Bytes out(c.data);
        EXPECT_EQ(0, c.v->Objet().nFillDataBuffer(out.data()));
        EXPECT_EQ(c.dataBytes, out);
        void* p = nullptr;
        EXPECT_EQ(0, c.v->Objet().nGetDataAdr(&p));
        EXPECT_EQ(c.dataBytes, vxtest::Bytes(p, c.data)) << "an empty text reads as the empty text";
    }
}

TEST_F(AnyClasses, TextAccessorsOfEachKind)
{
    struct Case
    {
        std::unique_ptr<CAny> v;
        const char* narrow;      // null: 105
        const wchar_t* wide;     // null: 105
        long strlen;             // -1: 105
    };
    Case cases[] = {
        {Typed(ZLTYPE_CARA, [](CAny& v) { v.Objet().SetValue("xy"); }), "x", nullptr, 1},
        {Typed(ZLTYPE_CARW, [](CAny& v) { v.Objet().SetValue(L"\u00e9z"); }), nullptr, L"\u00e9", 1},
        {Make([](CAny& v) { v.SetDATEW(L"20240131"); }), nullptr, L"20240131", -1},
        {Make([](CAny& v) { v.SetTIMEA("1234"); }), "1234", nullptr, -1},
        {Typed(ZLTYPE_DSTRW, [](CAny& v) { v.Objet().SetValue(L"wide", 16); }), nullptr, L"wide", 4},
        {Typed(ZLTYPE_DSTRA, [](CAny& v) { v.Objet().SetValue("eight", 5); }), "eight", nullptr, 5},
        {Typed(ZLTYPE_PSTRA, [](CAny& v) { v.Objet().SetValue("heap"); }), "heap", nullptr, 4},
        {Typed(ZLTYPE_PSTRW), nullptr, L"", 0},
        {Make([](CAny& v) { v.SetI4(5); }), nullptr, nullptr, -1},
        {Make([](CAny& v) { v.SetBIN(reinterpret_cast<const unsigned char*>("b"), 1); }), nullptr, nullptr, -1},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.v->wGetType());
        const char* a = "?";
        const wchar_t* w = L"?";
        unsigned long n = 7;
        EXPECT_EQ(c.narrow ? 0 : ANY_ERR_TYPE, c.v->Objet().nGetPCASTR(&a));
        if (c.narrow)
            EXPECT_STREQ(c.narrow, a);
        else
            EXPECT_EQ(nullptr, a);
        EXPECT_EQ(c.wide ? 0 : ANY_ERR_TYPE, c.v->Objet().nGetPCWSTR(&w));
        if (c.wide)
            EXPECT_STREQ(c.wide, w);
        else
            EXPECT_EQ(nullptr, w);
        EXPECT_EQ(c.strlen < 0 ? ANY_ERR_TYPE : 0, c.v->Objet().nGetSTRLEN(&n));
        EXPECT_EQ(c.strlen < 0 ? 0u : static_cast<unsigned long>(c.strlen), n);
    }
}

TEST_F(AnyClasses, SignOfEachNumberKind)
{
    CMoney negative{};
    pstDoubleVersMonetaire(&negative, -0.000001);
    struct Case
    {
        std::unique_ptr<CAny> v;
        int positive;
    };
    Case cases[] = {
        {Make([](CAny& v) { v.SetI1(-1); }), 0},
        {Make([](CAny& v) { v.SetI2(0); }), 1},
        {Make([](CAny& v) { v.SetI4(-7); }), 0},
        {Make([](CAny& v) { v.SetI8(7); }), 1},
        {Make([&](CAny& v) { v.SetCY(negative); }), 0},
        {Make([](CAny& v) { v.SetR4(-0.5f); }), 0},
        {Make([](CAny& v) { v.SetR8(0.0); }), 1},
        {Make([](CAny& v) { v.SetR8(std::nan("")); }), 0},
        {Make([](CAny& v) { v.SetUI8(~0ul); }), 1},
        {Make([](CAny& v) { v.SetUI1(255); }), 1},
    };
    for (Case& c : cases)
        EXPECT_EQ(c.positive, c.v->Objet().bIsPositive()) << c.v->wGetType();
}

TEST_F(AnyClasses, IncrementsWrapAndReportLeavingTheRange)
{
    CMoney big{};
    pstChaineVersMonetaire(&big, L"123456789012.345678");
    CMoney bigPlusOne{};
    pstChaineVersMonetaire(&bigPlusOne, L"123456789013.345678");
    CMoney max{}, min{};
    const double twoAndAHalf = 2.5;
    SetMonetaireToMax(&max);
    SetMonetaireToMin(&min);

    struct Case
    {
        const char* name;
        std::unique_ptr<CAny> v;
        bool up;
        int rc;
        Bytes after;
    };
    Case cases[] = {
        {"I1 127+1", Make([](CAny& v) { v.SetI1(127); }), true, 1, {0x80}},
        {"I1 -128-1", Make([](CAny& v) { v.SetI1(-128); }), false, 1, {0x7F}},
        {"I1 5+1", Make([](CAny& v) { v.SetI1(5); }), true, 0, {6}},
        {"UI1 255+1", Make([](CAny& v) { v.SetUI1(255); }), true, 1, {0}},
        {"UI1 0-1", Make([](CAny& v) { v.SetUI1(0); }), false, 1, {0xFF}},
        {"UI2 65535+1", Make([](CAny& v) { v.SetUI2(65535); }), true, 1, {0, 0}},
        {"I2 32767+1", Make([](CAny& v) { v.SetI2(32767); }), true, 1, {0, 0x80}},
        {"UI4 0-1", Make([](CAny& v) { v.SetUI4(0); }), false, 1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"I4 max+1", Make([](CAny& v) { v.SetI4(INT32_MAX); }), true, 1, {0, 0, 0, 0x80}},
        {"I4 -1+1", Make([](CAny& v) { v.SetI4(-1); }), true, 0, {0, 0, 0, 0}},
        {"I8 max+1", Make([](CAny& v) { v.SetI8(INT64_MAX); }), true, 0, {0, 0, 0, 0, 0, 0, 0, 0x80}},
        {"UI8 2^63-1+1", Make([](CAny& v) { v.SetUI8(INT64_MAX); }), true, 1, {0, 0, 0, 0, 0, 0, 0, 0x80}},
        {"UI8 0-1", Make([](CAny& v) { v.SetUI8(0); }), false, 1, Bytes(8, 0xFF)},
        {"UI8 5+1", Make([](CAny& v) { v.SetUI8(5); }), true, 0, {6, 0, 0, 0, 0, 0, 0, 0}},
        {"UIX max+1", Typed(ZLTYPE_UIX, [](CAny& v) { v._Ecrit(~0ul); }), true, 0, Bytes(8, 0)},
        {"R8 1.5+1", Make([](CAny& v) { v.SetR8(1.5); }), true, 0, vxtest::Bytes(&twoAndAHalf, 8)},
        {"CY exact", Make([&](CAny& v) { v.SetCY(big); }), true, 0, vxtest::Bytes(&bigPlusOne, 10)},
        {"CY max+1", Make([&](CAny& v) { v.SetCY(max); }), true, 1, vxtest::Bytes(&max, 10)},
        {"CY min-1", Make([&](CAny& v) { v.SetCY(min); }), false, 1, vxtest::Bytes(&min, 10)},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.rc, c.up ? c.v->Objet().nIncremente() : c.v->Objet().nDecremente()) << c.name;
        EXPECT_EQ(c.after, StorageBytes(*c.v, c.after.size())) << c.name;
    }

    // Single precision is computed in double: the largest float plus one
    // rounds back to it; an infinity is beyond the threshold.
    CAny r4;
    r4.SetR4(FLT_MAX);
    EXPECT_EQ(0, r4.Objet().nIncremente());
    EXPECT_EQ(FLT_MAX, r4._tLit<float>());
    r4.SetR4(std::numeric_limits<float>::infinity());
    EXPECT_EQ(1, r4.Objet().nIncremente());
    r4.SetR4(-1.5f);
    EXPECT_EQ(0, r4.Objet().nDecremente());
    EXPECT_EQ(-2.5f, r4._tLit<float>());

    for (unsigned short code : {ZLTYPE_BOOL, ZLTYPE_DATETIME, ZLTYPE_DSTRW, ZLTYPE_VIDE}) {
        CAny v;
        v.__SetType(code, 0);
        EXPECT_EQ(ANY_ERR_TYPE, v.Objet().nIncremente()) << code;
        EXPECT_EQ(ANY_ERR_TYPE, v.Objet().nDecremente()) << code;
    }
}

TEST_F(AnyClasses, BoolTakesAtMostFourBytes)
{
    CAny v;
    v.SetBOOL(-1);
    const unsigned char two[] = {0x12, 0x34};
    EXPECT_EQ(0, v.Objet().SetValue(two, 2));
    EXPECT_EQ((Bytes{0x12, 0x34, 0, 0}), StorageBytes(v, 4));
    const unsigned char six[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(0, v.Objet().SetValue(six, 6));
    EXPECT_EQ((Bytes{1, 2, 3, 4, 0, 0}), StorageBytes(v, 6));
}

TEST_F(AnyClasses, DynamicStringsAssignTextOfAByteCount)
{
    auto w = Typed(ZLTYPE_DSTRW);
    EXPECT_EQ(0, w->Objet().SetValue(L"abcdef", 8));
    EXPECT_EQ(L"ab", WideText(*w)) << "n counts bytes";
    EXPECT_EQ(0, w->Objet().SetValue(L"whole", static_cast<unsigned long>(-1)));
    EXPECT_EQ(L"whole", WideText(*w));
    EXPECT_EQ(0, w->Objet().SetValue(L"also", 0xFFFFFFFFul));
    EXPECT_EQ(L"also", WideText(*w));
    EXPECT_EQ(0, w->Objet().SetValue(L"sentinel", 0x3FFFFFFFCul));
    EXPECT_EQ(L"sentinel", WideText(*w)) << "n / 4 with all 32 bits set";
    EXPECT_EQ(ANY_ERR_TROP_GRAND, w->Objet().SetValue(L"big", 4ul * 0x7FFFFF00ul));
    EXPECT_EQ(L"sentinel", WideText(*w)) << "unchanged";
    // The text may lie in the value's own block.
    const wchar_t* own = nullptr;
    w->Objet().nGetPCWSTR(&own);
    EXPECT_EQ(0, w->Objet().SetValue(own + 4, 16));
    EXPECT_EQ(L"inel", WideText(*w));
    EXPECT_EQ(0, w->Objet().SetValue(L"", static_cast<unsigned long>(-1)));
    EXPECT_EQ(nullptr, BlockOf(*w));

    auto a = Typed(ZLTYPE_DSTRA);
    EXPECT_EQ(0, a->Objet().SetValue("abcdef", 3));
    EXPECT_EQ("abc", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValue("up to zero", 0xFFFFFFFFul));
    EXPECT_EQ("up to zero", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValue("again", static_cast<unsigned long>(-1)));
    EXPECT_EQ("again", NarrowText(*a));
    EXPECT_EQ(ANY_ERR_TROP_GRAND, a->Objet().SetValue("big", 0x7FFFFF00ul));
    EXPECT_EQ("again", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValue(nullptr, 5));
    EXPECT_EQ(nullptr, BlockOf(*a));
}

TEST_F(AnyClasses, SettersFromEightBitAndWideText)
{
    // The wide dynamic string converts strlen(p) bytes: no terminator
    // character is stored.
    auto w = Typed(ZLTYPE_DSTRW);
    EXPECT_EQ(0, w->Objet().SetValueFromANSI("abc"));
    EXPECT_EQ(L"abc", WideText(*w));
    unsigned long n = 0;
    w->Objet().nGetSTRLEN(&n);
    EXPECT_EQ(3u, n);
    EXPECT_EQ(0, w->Objet().SetValueFromANSI_CP(65001, "h\xc3\xa9"));
    EXPECT_EQ(L"h\u00e9", WideText(*w));
    w->Objet().nGetSTRLEN(&n);
    EXPECT_EQ(2u, n);
    EXPECT_EQ(0, w->Objet().SetValueFromANSI("caf\xe9", 3));
    EXPECT_EQ(L"caf", WideText(*w));
    EXPECT_EQ(0, w->Objet().SetValueFromANSI_CP(1252, "\x80!", 2));
    EXPECT_EQ(L"\u20ac!", WideText(*w));
    EXPECT_EQ(0, w->Objet().SetValueFromUNICODE(L"plain wide"));
    EXPECT_EQ(L"plain wide", WideText(*w));

    auto a = Typed(ZLTYPE_DSTRA);
    EXPECT_EQ(0, a->Objet().SetValueFromANSI("plain"));
    EXPECT_EQ("plain", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValueFromUNICODE(L"\u00e9t\u00e9"));
    EXPECT_EQ("\xe9t\xe9", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValueFromUNICODE_CP(65001, L"\u00e9"));
    EXPECT_EQ("\xc3\xa9", NarrowText(*a));
    EXPECT_EQ(0, a->Objet().SetValueFromUNICODE(L"abcdef", 8));
    EXPECT_EQ("ab", NarrowText(*a));

    auto pw = Typed(ZLTYPE_PSTRW);
    EXPECT_EQ(0, pw->Objet().SetValueFromANSI("caf\xe9"));
    EXPECT_EQ(L"caf\u00e9", WideText(*pw));
    EXPECT_EQ(0, pw->Objet().SetValueFromANSI("caf\xe9", 2));
    EXPECT_EQ(L"ca", WideText(*pw));
    EXPECT_EQ(0, pw->Objet().SetValueFromANSI_CP(65001, "\xc3\xa9"));
    EXPECT_EQ(L"\u00e9", WideText(*pw));
    EXPECT_EQ(0, pw->Objet().SetValueFromANSI(nullptr));
    EXPECT_EQ(L"", WideText(*pw));
    EXPECT_EQ(nullptr, pw->_tLit<void*>());

    auto cara = Typed(ZLTYPE_CARA);
    const std::pair<std::function<int(CAny&)>, char> caraCases[] = {
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE(L"\u00e9x"); }, '\xe9'},
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE(L"\u20ac"); }, '\x80'},
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE(L"\u4e00"); }, '?'},
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE_CP(65001, L"\u00e9"); }, '?'},
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE_CP(65001, L"A", 4); }, 'A'},
        {[](CAny& v) { return v.Objet().SetValueFromUNICODE(L"\u20ac", 4); }, '\x80'},
    };
    for (const auto& c : caraCases) {
        EXPECT_EQ(0, c.first(*cara));
        EXPECT_EQ((Bytes{static_cast<unsigned char>(c.second), 0}), StorageBytes(*cara, 2));
    }

    auto carw = Typed(ZLTYPE_CARW);
    EXPECT_EQ(0, carw->Objet().SetValueFromANSI("\x80z"));
    EXPECT_EQ(L"\u20ac", WideText(*carw));
    EXPECT_EQ(0, carw->Objet().SetValueFromANSI_CP(65001, "A"));
    EXPECT_EQ(L"A", WideText(*carw));
    EXPECT_EQ(0, carw->Objet().SetValueFromANSI("B", 0));
    EXPECT_EQ(L"", WideText(*carw));

    auto datew = Typed(ZLTYPE_DATEW);
    EXPECT_EQ(0, datew->Objet().SetValueFromANSI("20240131extra"));
    EXPECT_EQ(L"20240131", WideText(*datew));
    EXPECT_EQ(0, datew->Objet().SetValueFromANSI("20240131", 4));
    EXPECT_EQ(L"2024", WideText(*datew));
    // The code-page forms fall back to the form without one.
    EXPECT_EQ(0, datew->Objet().SetValueFromANSI_CP(65001, "1999"));
    EXPECT_EQ(L"1999", WideText(*datew));
    auto timew = Typed(ZLTYPE_TIMEW);
    EXPECT_EQ(0, timew->Objet().SetValueFromANSI("123456789999"));
    EXPECT_EQ(L"123456789", WideText(*timew));
    auto datea = Typed(ZLTYPE_DATEA);
    EXPECT_EQ(0, datea->Objet().SetValueFromUNICODE(L"2024013199"));
    EXPECT_EQ("20240131", NarrowText(*datea));
    auto timea = Typed(ZLTYPE_TIMEA);
    EXPECT_EQ(0, timea->Objet().SetValueFromUNICODE(L"12\u00e9\u4e00"));
    EXPECT_EQ("12\xe9?", NarrowText(*timea));

    auto bin = Typed(ZLTYPE_BIN);
    EXPECT_EQ(0, bin->Objet().SetValueFromANSI("bytes"));
    EXPECT_EQ(vxtest::Bytes("bytes", 5), vxtest::Bytes(BlockOf(*bin), 5));
    EXPECT_EQ(0, bin->Objet().SetValueFromUNICODE(L"w"));
    unsigned long size = 0;
    bin->Objet().nGetDataSize(&size);
    EXPECT_EQ(4u, size);
}

TEST_F(AnyClasses, HeapTextsByCountAndAsFixedBuffers)
{
    auto pw = Typed(ZLTYPE_PSTRW);
    EXPECT_EQ(0, pw->Objet().SetValue(L"abcdef", 8));
    EXPECT_EQ(L"ab", WideText(*pw)) << "SetValue counts bytes";
    EXPECT_EQ(0, pw->Objet().SetValueOption(L"abcdef", 3, 0));
    EXPECT_EQ(L"abc", WideText(*pw)) << "SetValueOption counts characters";
    EXPECT_EQ(0, pw->Objet().SetValueOption(L"abcdefgh", 5, 1));
    const wchar_t* psz = pw->_tLit<const wchar_t*>();
    EXPECT_EQ(vxtest::Bytes(L"abcde", 24), vxtest::Bytes(psz, 24)) << "6 characters, zero behind";
    EXPECT_EQ(0, pw->Objet().SetValueOption(L"ab", 5, 1));
    psz = pw->_tLit<const wchar_t*>();
    EXPECT_EQ(vxtest::Bytes(L"ab\0\0\0", 24), vxtest::Bytes(psz, 24));
    EXPECT_EQ(ANY_ERR_TROP_GRAND, pw->Objet().SetValueOption(L"x", 0x80000000ul, 1));
    EXPECT_EQ(L"ab", WideText(*pw));

    auto pa = Typed(ZLTYPE_PSTRA);
    EXPECT_EQ(0, pa->Objet().SetValueOption(nullptr, 4, 1));
    const char* a = pa->_tLit<const char*>();
    ASSERT_NE(nullptr, a) << "a buffer for the host to fill";
    EXPECT_EQ(Bytes(5, 0), vxtest::Bytes(a, 5));
    EXPECT_EQ(0, pa->Objet().SetValue("abcdef", 4));
    EXPECT_EQ("abcd", NarrowText(*pa));
    EXPECT_EQ(0, pa->Objet().SetValue(""));
    EXPECT_EQ(nullptr, pa->_tLit<void*>()) << "the empty text is no text";

    // The heap-text slots themselves.
    pa->Objet()._Appel<void>(SLOTANY_DELETESTR);
    EXPECT_EQ(nullptr, pa->_tLit<void*>());
    EXPECT_EQ(0, pa->Objet()._Appel<int>(SLOTANY_CREATESTR, "made"));
    EXPECT_EQ("made", NarrowText(*pa));
    pa->Objet()._Appel<void>(SLOTANY_DELETESTR);
    EXPECT_EQ(0, pa->Objet()._Appel<int>(SLOTANY_CREATESTR_N, "made", 2ul));
    EXPECT_EQ("ma", NarrowText(*pa));
}

TEST_F(AnyClasses, UTF16UnitsSetTextsOfTheirOwnType)
{
    const unsigned short units[] = {'h', 'i', 0xE9, 0xD800};
    auto pw = Typed(ZLTYPE_PSTRW);
    EXPECT_EQ(0, CAny_ZLPSTRW::s_SetFromUTF16(pw.get(), units, 4));
    EXPECT_EQ(std::wstring(L"hi\u00e9") + wchar_t(0xD800), WideText(*pw));
    EXPECT_EQ(0, CAny_ZLPSTRW::s_SetFromUTF16(pw.get(), units, 0));
    EXPECT_EQ(nullptr, pw->_tLit<void*>());

    auto dw = Typed(ZLTYPE_DSTRW);
    EXPECT_EQ(0, CAny_ZLDSTRW::s_SetFromUTF16(dw.get(), units, 2));
    EXPECT_EQ(L"hi", WideText(*dw));
    CXYString<wchar_t> shared;
    dw->Objet().nFillBuffer(&shared);
    EXPECT_EQ(0, CAny_ZLDSTRW::s_SetFromUTF16(dw.get(), units, 3));
    EXPECT_EQ(L"hi\u00e9", WideText(*dw));
    EXPECT_EQ(std::wstring(L"hi"), shared.pszGet()) << "a shared block is left to its other holder";
    EXPECT_EQ(0, CAny_ZLDSTRW::s_SetFromUTF16(dw.get(), units, 0));
    EXPECT_EQ(nullptr, BlockOf(*dw));

    auto cw = Typed(ZLTYPE_CARW);
    EXPECT_EQ(0, CAny_ZLCARW::s_SetFromUTF16(cw.get(), units + 2, 1));
    EXPECT_EQ(L"\u00e9", WideText(*cw));

    CAny other;
    other.SetI4(1);
    EXPECT_EQ(ANY_ERR_TYPE, CAny_ZLPSTRW::s_SetFromUTF16(&other, units, 2));
    EXPECT_EQ(ANY_ERR_TYPE, CAny_ZLDSTRW::s_SetFromUTF16(&other, units, 2));
    EXPECT_EQ(ANY_ERR_TYPE, CAny_ZLCARW::s_SetFromUTF16(&other, units, 2));
    EXPECT_EQ(1, other._tLit<int32_t>());
}

TEST_F(AnyClasses, BuffersAndArraysPointToWhatTheyHold)
{
    unsigned char buffer[4] = {9, 8, 7, 6};
    auto b = Typed(ZLTYPE_BUFFER);
    EXPECT_EQ(0, b->Objet().SetValue(buffer));
    unsigned long n = 9;
    b->Objet().nGetDataSize(&n);
    EXPECT_EQ(0u, n);
    EXPECT_EQ(0, b->Objet().SetValue(buffer, 4));
    void* p = nullptr;
    EXPECT_EQ(0, b->Objet().nGetDataAdr(&p));
    EXPECT_EQ(buffer, p);
    Bytes out(4);
    EXPECT_EQ(0, b->Objet().nFillDataBuffer(out.data()));
    EXPECT_EQ(vxtest::Bytes(buffer, 4), out);
    void* pointer = nullptr;
    EXPECT_EQ(0, b->Objet().nFillBuffer(&pointer));
    EXPECT_EQ(buffer, pointer);

    CAny item;
    item.SetI2(5);
    auto t = Typed(ZLTYPE_TABANY);
    EXPECT_EQ(0, t->Objet().SetValue(&item));
    t->Objet().nGetDataSize(&n);
    EXPECT_EQ(1u, n);
    EXPECT_EQ(0, t->Objet().nGetDataAdr(&p));
    EXPECT_EQ(5, static_cast<CAny*>(p)->_tLit<int16_t>());
    EXPECT_EQ(ANY_ERR_TYPE, t->Objet().nFillDataBuffer(out.data()));
    EXPECT_EQ(ANY_ERR_TYPE, t->Objet().nFillUtilDataBuffer(out.data()));
    EXPECT_EQ(0, t->Objet().SetValue(nullptr, 3));
    t->Objet().nGetDataSize(&n);
    EXPECT_EQ(0u, n);
}

}  // namespace
