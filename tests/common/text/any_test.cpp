// The runtime value: type word rules, initial values per type code, typed
// setters, direct getters, copies, and the members working on its strings
// and blocks.
#include <cmath>
#include <functional>

#include "common/text/date_time_base.h"
#include "common/text/duree_base.h"
#include "common/text/manip_aub.h"
#include "common/text/money.h"
#include "common/text/zl_bin.h"
#include "tests/common/text/any_fixture.h"

namespace {

using vxtest::BlockOf;
using vxtest::HasClass;
using vxtest::RefCount;
using vxtest::StorageBytes;
using vxtest::TableOf;
using Bytes = std::vector<unsigned char>;

class AnyValue : public vxtest::StrMemTest
{
};

// The class each code installs.
const void* ExpectedTable(unsigned short code)
{
    switch (code) {
    case 1: return TableOf<CAny_ZLBOOL>();
    case 2: return TableOf<CAny_ZLUI1>();
    case 3: return TableOf<CAny_ZLUI2>();
    case 4: return TableOf<CAny_ZLUI4>();
    case 5: return TableOf<CAny_ZLUI8>();
    case 6: return TableOf<CAny_ZLI1>();
    case 7: return TableOf<CAny_ZLI2>();
    case 8: return TableOf<CAny_ZLI4>();
    case 9:
    case 15: return TableOf<CAny_ZLI8>();
    case 10: return TableOf<CAny_ZLCY>();
    case 11: return TableOf<CAny_ZLR4>();
    case 12: return TableOf<CAny_ZLR8>();
    case 14: return TableOf<CAny_ZLUIX>();
    case 16: return TableOf<CAny_ZLDSTRW>();
    case 17: return TableOf<CAny_ZLCARA>();
    case 18: return TableOf<CAny_ZLPSTRA>();
    case 19: return TableOf<CAny_ZLDSTRA>();
    case 24: return TableOf<CAny_ZLDATEW>();
    case 25: return TableOf<CAny_ZLTIMEW>();
    case 26: return TableOf<CAny_ZLDATETIME>();
    case 27: return TableOf<CAny_ZLDUREE>();
    case 28: return TableOf<CAny_ZLBIN>();
    case 29: return TableOf<CAny_ZLBUFFER>();
    case 30: return TableOf<CAny_ZLMEMOIMG>();
    case 50: return TableOf<CAny_ZLCONVOYEUR>();
    case 65: return TableOf<CAny_ZLPOLICE>();
    case 81: return TableOf<CAny_ZLCARW>();
    case 83: return TableOf<CAny_ZLTABANY>();
    case 108:
    case 141:
    case 142:
    case 143: return TableOf<CAny_ZLOBJET_BASE>();
    case 110: return TableOf<CAny_ZLPSTRW>();
    case 111: return TableOf<CAny_ZLDINO>();
    case 128: return TableOf<CAny_ZLDATEA>();
    case 129: return TableOf<CAny_ZLTIMEA>();
    default: return TableOf<CAny_Intern>();
    }
}

TEST_F(AnyValue, NewValueIsEmpty)
{
    CAny v;
    EXPECT_EQ(0, v.wGetType());
    EXPECT_TRUE(HasClass<CAny_Intern>(v));
    unsigned long n = 9;
    void* p = &n;
    EXPECT_EQ(ANY_ERR_VIDE, v.Objet().nGetSize(&n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(ANY_ERR_VIDE, v.Objet().nGetDataAdr(&p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(ANY_ERR_VIDE, v.Objet().nFillDataBuffer(&n));
    const wchar_t* psz = L"x";
    EXPECT_EQ(ANY_ERR_TYPE, v.Objet().nGetPCWSTR(&psz));
    EXPECT_EQ(nullptr, psz);
    EXPECT_EQ(ANY_ERR_TYPE, v.Objet().nIncremente());
    EXPECT_EQ(1, v.Objet().bIsPositive());
}

// Every code: the class, the stored type word and the sizes of the initial
// value (storage, data, useful).
TEST_F(AnyValue, SetTypeInstallsTheClassAndInitialValueOfEachCode)
{
    struct Case
    {
        unsigned short code;
        unsigned short word;
        unsigned long size, data, useful;
    };
    const Case cases[] = {
        {1, 1, 4, 4, 4},       {2, 2, 1, 1, 1},       {3, 3, 2, 2, 2},        {4, 4, 4, 4, 4},
        {5, 5, 8, 8, 8},       {6, 6, 1, 1, 1},       {7, 7, 2, 2, 2},        {8, 8, 4, 4, 4},
        {9, 9, 8, 8, 8},       {15, 9, 8, 8, 8},      {10, 10, 10, 10, 10},   {11, 11, 4, 4, 4},
        {12, 12, 8, 8, 8},     {14, 14, 8, 8, 8},     {16, 16, 8, 4, 0},      {17, 17, 1, 1, 1},
        {18, 18, 8, 1, 0},     {19, 19, 8, 1, 0},     {24, 24, 32, 36, 32},   {25, 25, 36, 40, 36},
        {26, 26, 8, 8, 8},     {27, 27, 8, 8, 8},     {28, 28, 8, 0, 0},      {29, 29, 8, 0, 0},
        {30, 30, 8, 8, 8},     {50, 50, 8, 8, 8},     {65, 65, 8, 8, 8},      {81, 81, 4, 4, 4},
        {83, 83, 8, 0, 0},     {108, 108, 8, 8, 8},   {141, 141, 8, 8, 8},    {142, 142, 8, 8, 8},
        {143, 143, 8, 8, 8},   {110, 110, 8, 4, 0},   {111, 111, 8, 8, 8},    {128, 128, 8, 9, 8},
        {129, 129, 9, 10, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CAny v;
        // A different class with a value to end first.
        if (c.word == ZLTYPE_I8)
            v.SetI4(-1);
        else
            v.SetI8(-1);
        v.__SetType(c.code, 0);
        EXPECT_EQ(c.word, v.wGetType());
        EXPECT_EQ(ExpectedTable(c.code), v.Objet().pvGetTable());
        unsigned long n = 0;
        EXPECT_EQ(0, v.Objet().nGetSize(&n));
        EXPECT_EQ(c.size, n);
        EXPECT_EQ(0, v.Objet().nGetDataSize(&n));
        EXPECT_EQ(c.data, n);
        EXPECT_EQ(0, v.Objet().nGetUtilDataSize(&n));
        EXPECT_EQ(c.useful, n);
        // Every initial value of these classes is zero bytes, but the times.
        if (c.code != 25 && c.code != 129) {
            EXPECT_EQ(Bytes(40, 0), StorageBytes(v, 40));
        }
    }
    // Codes without a class, and decimals while no factory is bound, give
    // the empty value.
    for (unsigned short code : {0, 13, 20, 21, 22, 23, 31, 82, 109, 144, 200, 255}) {
        CAny v;
        v.SetI4(3);
        v.__SetType(code, 0);
        EXPECT_EQ(0, v.wGetType()) << code;
        EXPECT_TRUE(HasClass<CAny_Intern>(v)) << code;
    }
}

TEST_F(AnyValue, NewTimesReadNineZerosAndNewDatesEmpty)
{
    CAny v;
    const wchar_t* w = nullptr;
    const char* a = nullptr;
    v.__SetType(ZLTYPE_TIMEW, 0);
    ASSERT_EQ(0, v.Objet().nGetPCWSTR(&w));
    EXPECT_STREQ(L"000000000", w);
    v.__SetType(ZLTYPE_TIMEA, 0);
    ASSERT_EQ(0, v.Objet().nGetPCASTR(&a));
    EXPECT_STREQ("000000000", a);
    v.__SetType(ZLTYPE_DATEW, 0);
    ASSERT_EQ(0, v.Objet().nGetPCWSTR(&w));
    EXPECT_STREQ(L"", w);
    v.__SetType(ZLTYPE_DATEA, 0);
    ASSERT_EQ(0, v.Objet().nGetPCASTR(&a));
    EXPECT_STREQ("", a);
}

TEST_F(AnyValue, SetTypeComparesTheWholeTypeWord)
{
    CAny v;
    v.SetI4(7);
    v.__SetType(ZLTYPE_I4, 0);
    int n = 0;
    EXPECT_EQ(0, v.nGetINT(&n));
    EXPECT_EQ(7, n) << "an unchanged type word keeps the value";

    for (unsigned short flag : {ANY_FLAG_NULL, ANY_FLAG_0400}) {
        v.SetI4(7);
        v._SetTypeWord(static_cast<unsigned short>(ZLTYPE_I4 | flag));
        v.__SetType(ZLTYPE_I4, 0);
        EXPECT_EQ(ZLTYPE_I4, v.wGetType()) << "flags cleared";
        EXPECT_EQ(0, v.nGetINT(&n));
        EXPECT_EQ(0, n) << "a flagged value is reset even for the same code";
    }

    // A type word with flags asked for installs its code without them.
    v.SetI4(7);
    v.__SetType(ZLTYPE_I4 | ANY_FLAG_NULL, 0);
    EXPECT_EQ(ZLTYPE_I4, v.wGetType());
    EXPECT_EQ(0, v._tLit<int32_t>());

    // Without initialisation the storage is left for the caller.
    v.SetI4(0x00050005);
    v.__SetType(ZLTYPE_I2, 1);
    EXPECT_EQ(0, v.nGetINT(&n));
    EXPECT_EQ(5, n);
}

TEST_F(AnyValue, TypedSettersStoreAndClearBothFlags)
{
    CMoney money{};
    pstDoubleVersMonetaire(&money, 1.5);
    CDateTimeBase dt;
    dt.Set(2024, 1, 31, 12, 30, 45, 678);
    CDureeBase duree{-90061001};
    const unsigned char bin[] = {1, 2, 3};

    struct Case
    {
        const char* name;
        unsigned short code;
        std::function<int(CAny&)> set;
        Bytes storage;
    };
    const Case cases[] = {
        {"BOOL", 1, [](CAny& v) { return v.SetBOOL(5); }, {5, 0, 0, 0}},
        {"UI1", 2, [](CAny& v) { return v.SetUI1(200); }, {200}},
        {"UI2", 3, [](CAny& v) { return v.SetUI2(0xABCD); }, {0xCD, 0xAB}},
        {"UI4", 4, [](CAny& v) { return v.SetUI4(0xF1020304u); }, {4, 3, 2, 0xF1}},
        {"UI8", 5, [](CAny& v) { return v.SetUI8(0x8000000000000001ul); }, {1, 0, 0, 0, 0, 0, 0, 0x80}},
        {"I1", 6, [](CAny& v) { return v.SetI1(-1); }, {0xFF}},
        {"I2", 7, [](CAny& v) { return v.SetI2(-2); }, {0xFE, 0xFF}},
        {"I4", 8, [](CAny& v) { return v.SetI4(-3); }, {0xFD, 0xFF, 0xFF, 0xFF}},
        {"I8", 9, [](CAny& v) { return v.SetI8(-4); }, {0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"CY", 10, [&](CAny& v) { return v.SetCY(money); }, vxtest::Bytes(&money, 10)},
        {"R4", 11, [](CAny& v) { return v.SetR4(1.5f); }, {0, 0, 0xC0, 0x3F}},
        {"R8", 12, [](CAny& v) { return v.SetR8(-2.25); }, {0, 0, 0, 0, 0, 0, 2, 0xC0}},
        {"DATEW", 24, [](CAny& v) { return v.SetDATEW(L"20240131xyz"); },
         vxtest::Bytes(L"20240131", 36)},
        {"DATE", 24, [](CAny& v) { return v.SetDATE(L"2024"); }, vxtest::Bytes(L"2024\0\0\0\0", 36)},
        {"TIMEW", 25, [](CAny& v) { return v.SetTIMEW(L"1234567891"); }, vxtest::Bytes(L"123456789", 40)},
        {"TIME", 25, [](CAny& v) { return v.SetTIME(L"12"); }, vxtest::Bytes(L"12\0\0\0\0\0\0\0", 40)},
        {"DATEA", 128, [](CAny& v) { return v.SetDATEA("202401319"); }, vxtest::Bytes("20240131", 9)},
        {"TIMEA", 129, [](CAny& v) { return v.SetTIMEA("1234"); }, vxtest::Bytes("1234\0\0\0\0\0", 10)},
        {"DATETIME&", 26, [&](CAny& v) { return v.SetDATETIME(dt); }, vxtest::Bytes(&dt, 8)},
        {"DATETIME*", 26, [&](CAny& v) { return v.SetDATETIME(&dt); }, vxtest::Bytes(&dt, 8)},
        {"DUREE", 27, [&](CAny& v) { return v.SetDUREE(&duree); }, vxtest::Bytes(&duree, 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // From the same type with both flags, and from another type.
        for (unsigned short before : {static_cast<unsigned short>(c.code | ANY_FLAGS), ZLTYPE_PSTRW}) {
            CAny v;
            v.__SetType(before, 0);
            v._SetTypeWord(before);
            EXPECT_EQ(0, c.set(v));
            EXPECT_EQ(c.code, v.wGetType());
            EXPECT_EQ(c.storage, StorageBytes(v, c.storage.size()));
        }
    }

    CAny v;
    v.SetBIN(nullptr, 0);
    v.SetNull();
    EXPECT_EQ(0, v.SetBIN(bin, 3));
    EXPECT_EQ(ZLTYPE_BIN, v.wGetType());
    EXPECT_EQ(Bytes(bin, bin + 3), vxtest::Bytes(BlockOf(v), 3));

    // SetValueByte keeps the type and clears the flags.
    v.SetI2(1);
    v.SetNull();
    v.SetFlag0400();
    const short two = 2;
    EXPECT_EQ(0, v.SetValueByte(&two, 2));
    EXPECT_EQ(ZLTYPE_I2, v.wGetType());
    EXPECT_EQ(2, v._tLit<int16_t>());
}

// Getters test the whole type word: NULL fails like a wrong type.
TEST_F(AnyValue, DirectGettersAcceptTheirCodesOnly)
{
    auto make = [](std::function<void(CAny&)> set, bool null = false) {
        auto v = std::make_unique<CAny>();
        set(*v);
        v->SetNull(null);
        return v;
    };

    struct ByteCase
    {
        const char* name;
        std::unique_ptr<CAny> v;
        int rc;
        unsigned char out;
    };
    ByteCase bytes[] = {
        {"UI1", make([](CAny& v) { v.SetUI1(200); }), 0, 200},
        {"I1 -1", make([](CAny& v) { v.SetI1(-1); }), 0, 255},
        {"UI2 255", make([](CAny& v) { v.SetUI2(255); }), 0, 255},
        {"UI2 256", make([](CAny& v) { v.SetUI2(256); }), 115, 77},
        {"I2 -1", make([](CAny& v) { v.SetI2(-1); }), 115, 77},
        {"I4 7", make([](CAny& v) { v.SetI4(7); }), 0, 7},
        {"UI8 255", make([](CAny& v) { v.SetUI8(255); }), 0, 255},
        {"I8 256", make([](CAny& v) { v.SetI8(256); }), 115, 77},
        {"UIX 3", make([](CAny& v) { v.__SetType(ZLTYPE_UIX, 0); v._Ecrit<uint64_t>(3); }), 0, 3},
        {"BOOL", make([](CAny& v) { v.SetBOOL(1); }), 115, 77},
        {"R8", make([](CAny& v) { v.SetR8(1); }), 115, 77},
        {"NULL UI1", make([](CAny& v) { v.SetUI1(1); }, true), 115, 77},
    };
    for (ByteCase& c : bytes) {
        unsigned char out = 77;
        EXPECT_EQ(c.rc, c.v->nGetBYTE(out)) << c.name;
        EXPECT_EQ(c.out, out) << c.name;
    }

    struct IntCase
    {
        const char* name;
        std::unique_ptr<CAny> v;
        int rcInt;
        int asInt;
        int rcInt64;
        long asInt64;
        int rcBits;
        unsigned long asBits;
    };
    IntCase ints[] = {
        {"BOOL", make([](CAny& v) { v.SetBOOL(1); }), 0, 1, 0, 1, 105, 0},
        {"I4 -5", make([](CAny& v) { v.SetI4(-5); }), 0, -5, 0, -5, 0, static_cast<unsigned long>(-5)},
        {"UI1", make([](CAny& v) { v.SetUI1(200); }), 0, 200, 0, 200, 0, 200},
        {"UI2", make([](CAny& v) { v.SetUI2(65535); }), 0, 65535, 0, 65535, 0, 65535},
        {"I1", make([](CAny& v) { v.SetI1(-1); }), 0, -1, 0, -1, 0, ~0ul},
        {"I2", make([](CAny& v) { v.SetI2(-2); }), 0, -2, 0, -2, 0, static_cast<unsigned long>(-2)},
        {"UI4", make([](CAny& v) { v.SetUI4(4000000000u); }), 105, 0, 0, 4000000000l, 0, 4000000000ul},
        {"I8", make([](CAny& v) { v.SetI8(-1l << 40); }), 105, 0, 0, -1l << 40, 0,
         static_cast<unsigned long>(-1l << 40)},
        {"UI8", make([](CAny& v) { v.SetUI8(~0ul); }), 105, 0, 105, 0, 0, ~0ul},
        {"UIX", make([](CAny& v) { v.__SetType(ZLTYPE_UIX, 0); }), 105, 0, 105, 0, 0, 0},
        {"R8", make([](CAny& v) { v.SetR8(1); }), 105, 0, 105, 0, 105, 0},
        {"NULL I4", make([](CAny& v) { v.SetI4(3); }, true), 105, 0, 105, 0, 105, 0},
    };
    for (IntCase& c : ints) {
        int n = 99;
        long l = 99;
        unsigned long u = 99;
        EXPECT_EQ(c.rcInt, c.v->nGetINT(&n)) << c.name;
        EXPECT_EQ(c.asInt, n) << c.name << ": 0 is written first";
        EXPECT_EQ(c.rcInt64, c.v->nGetINT_64(&l)) << c.name;
        EXPECT_EQ(c.asInt64, l) << c.name;
        EXPECT_EQ(c.rcBits, c.v->nGetBitField_64(u)) << c.name;
        EXPECT_EQ(c.asBits, u) << c.name;
    }

    double d = 9;
    CAny r;
    r.SetR4(1.5f);
    EXPECT_EQ(0, r.nGetREAL(&d));
    EXPECT_EQ(1.5, d);
    r.SetR8(-0.25);
    EXPECT_EQ(0, r.nGetREAL(&d));
    EXPECT_EQ(-0.25, d);
    r.SetNull();
    d = 9;
    EXPECT_EQ(ANY_ERR_TYPE, r.nGetREAL(&d));
    EXPECT_EQ(9, d) << "left unchanged";
    r.SetI4(1);
    EXPECT_EQ(ANY_ERR_TYPE, r.nGetREAL(&d));
    EXPECT_EQ(9, d);
}

// Values of each kind for the copy tests.
std::vector<std::unique_ptr<CAny>> SampleValues()
{
    std::vector<std::unique_ptr<CAny>> values;
    auto add = [&](std::function<void(CAny&)> set) {
        values.push_back(std::make_unique<CAny>());
        set(*values.back());
    };
    static unsigned char buffer[3] = {7, 8, 9};
    add([](CAny&) {});
    add([](CAny& v) { v.SetBOOL(1); });
    add([](CAny& v) { v.SetUI2(513); });
    add([](CAny& v) { v.SetI8(-77); });
    add([](CAny& v) { v.SetR8(2.5); });
    add([](CAny& v) { v.SetTIMEW(L"235959999"); });
    add([](CAny& v) { v.SetDATEA("19991231"); });
    add([](CAny& v) {
        v.__SetType(ZLTYPE_DSTRW, 0);
        v.Objet().SetValue(L"wide", 16);
    });
    add([](CAny& v) {
        v.__SetType(ZLTYPE_DSTRA, 0);
        v.Objet().SetValue("narrow", 6);
    });
    add([](CAny& v) {
        v.__SetType(ZLTYPE_PSTRW, 0);
        v.Objet().SetValue(L"heap");
    });
    add([](CAny& v) {
        v.__SetType(ZLTYPE_PSTRA, 0);
        v.Objet().SetValue("heap8");
    });
    add([](CAny& v) { v.SetBIN(reinterpret_cast<const unsigned char*>("\x01\x02"), 2); });
    add([](CAny& v) {
        v.__SetType(ZLTYPE_BUFFER, 0);
        v.Objet().SetValue(buffer, 3);
    });
    add([](CAny& v) {
        CAny items[2];
        items[0].SetI4(1);
        items[1].__SetType(ZLTYPE_DSTRW, 0);
        items[1].Objet().SetValue(L"in array", 32);
        v.__SetType(ZLTYPE_TABANY, 0);
        v.Objet().SetValue(items, 2);
    });
    return values;
}

// What a value stands for, to compare a copy with its source: the type word
// and the data form's bytes (or, for an array, each element's).
std::string Fingerprint(const CAny& v)
{
    std::string s = std::to_string(v.wGetType());
    s += ':';
    if (v.nGetTypeCode() == ZLTYPE_TABANY) {
        const STTabAny tab = v._tLit<STTabAny>();
        for (uint64_t i = 0; i < tab.m_nNbElement; ++i) {
            s += '[';
            s += Fingerprint(tab.m_pclTab[i]);
            s += ']';
        }
        return s;
    }
    unsigned long n = 0;
    if (v.Objet().nGetDataSize(&n) != 0)
        return s;
    std::vector<unsigned char> data(n + 1);
    if (v.Objet().nFillDataBuffer(data.data()) == 0)
        s.append(reinterpret_cast<const char*>(data.data()), n);
    return s;
}

TEST_F(AnyValue, CopiesHoldTheSameValueAndFlags)
{
    for (auto& src : SampleValues()) {
        for (unsigned short flags : {0, int(ANY_FLAG_NULL), int(ANY_FLAGS)}) {
            src->_SetTypeWord(static_cast<unsigned short>(src->nGetTypeCode() | flags));
            SCOPED_TRACE(Fingerprint(*src));
            CAny constructed(*src);
            EXPECT_EQ(Fingerprint(*src), Fingerprint(constructed));
            CAny assigned;
            assigned.SetI4(5);
            assigned = *src;
            EXPECT_EQ(Fingerprint(*src), Fingerprint(assigned));
            // Assigned to itself, through a second name.
            const CAny& same = assigned;
            assigned = same;
            EXPECT_EQ(Fingerprint(*src), Fingerprint(assigned));
        }
    }
}

TEST_F(AnyValue, CopyFromAnElementOfTheTargetsOwnArray)
{
    auto values = SampleValues();
    CAny& array = *values.back();
    ASSERT_EQ(ZLTYPE_TABANY, array.wGetType());
    array = array._tLit<STTabAny>().m_pclTab[1];
    const wchar_t* psz = nullptr;
    ASSERT_EQ(0, array.Objet().nGetPCWSTR(&psz));
    EXPECT_STREQ(L"in array", psz);
}

TEST_F(AnyValue, ManipAUBGivesTheBlockOfStringsAndBinaries)
{
    CAny v;
    v.__SetType(ZLTYPE_DSTRA, 0);
    v.Objet().SetValue("abc", 3);
    STManipAUB st(reinterpret_cast<unsigned char*>(&v), 99);
    st.m_nReserved = 5;
    EXPECT_EQ(0, v.nGetManipAUB(&st));
    EXPECT_EQ(BlockOf(v), st.m_pbyData);
    EXPECT_EQ(ZLTYPE_DSTRA, st.m_nType);
    EXPECT_EQ(0, st.m_nReserved);
    EXPECT_STREQ("abc", st.pszGetStringA());
    v.SetBIN(nullptr, 0);
    EXPECT_EQ(0, v.nGetManipAUB(&st));
    EXPECT_EQ(nullptr, st.m_pbyData);
    EXPECT_EQ(ZLTYPE_BIN, st.m_nType);
    v.SetNull();
    EXPECT_EQ(ANY_ERR_TYPE, v.nGetManipAUB(&st));
    v.SetI4(1);
    EXPECT_EQ(ANY_ERR_TYPE, v.nGetManipAUB(&st));
}

TEST_F(AnyValue, UnshareGivesEachStringItsOwnBlock)
{
    CXYString<wchar_t> w(L"shared");
    CXYString<char> a("shared");
    for (unsigned short code : {ZLTYPE_DSTRW, ZLTYPE_DSTRA}) {
        CAny v;
        v.__SetType(code, 0);
        v.Objet().SetValue(code == ZLTYPE_DSTRW ? static_cast<const void*>(&w) : &a);
        const unsigned char* before = BlockOf(v);
        ASSERT_EQ(2u, CBaseStrMem::s_nGetRefCount(before));
        EXPECT_EQ(0, v.nUnshare());
        EXPECT_NE(before, BlockOf(v));
        EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(before));
        EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(BlockOf(v)));
        unsigned long n = 0;
        v.Objet().nGetSTRLEN(&n);
        EXPECT_EQ(6u, n);
        const unsigned char* own = BlockOf(v);
        EXPECT_EQ(0, v.nUnshare());
        EXPECT_EQ(own, BlockOf(v)) << "an unshared block stays";
    }
    CAny n;
    n.SetI4(1);
    EXPECT_EQ(0, n.nUnshare());
}

TEST_F(AnyValue, SetStringStoresWideTextAsAnEightBitString)
{
    CAny v;
    v.SetI4(1);
    v.SetNull();
    STOCAW cp1252{1252, 0};
    EXPECT_EQ(0, v.__nSetString(L"h\u00e9llo", -1, &cp1252));
    EXPECT_EQ(ZLTYPE_DSTRA, v.wGetType());
    const char* psz = nullptr;
    ASSERT_EQ(0, v.Objet().nGetPCASTR(&psz));
    EXPECT_STREQ("h\xe9llo", psz);

    STOCAW utf8{65001, 0};
    EXPECT_EQ(0, v.__nSetString(L"h\u00e9llo", 2, &utf8));
    ASSERT_EQ(0, v.Objet().nGetPCASTR(&psz));
    EXPECT_STREQ("h\xc3\xa9", psz);
    EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(BlockOf(v)));

    // Without options, the host's current code page (the stand-in's: 1252).
    EXPECT_EQ(0, v.__nSetString(L"\u00e9", -1, nullptr));
    ASSERT_EQ(0, v.Objet().nGetPCASTR(&psz));
    EXPECT_STREQ("\xe9", psz);
    EXPECT_EQ(0, v.__nSetString(L"", -1, nullptr));
    EXPECT_EQ(ZLTYPE_DSTRA, v.wGetType());
    EXPECT_EQ(nullptr, BlockOf(v));
}

TEST_F(AnyValue, EightByteBinariesBecomeDurationsAndDateTimes)
{
    const int64_t milli = -123456789;
    CDateTimeBase dt;
    dt.Set(2001, 2, 3, 4, 5, 6, 7);
    struct Case
    {
        int (CAny::*cast)();
        unsigned short code;
        Bytes bytes;
    };
    const Case cases[] = {
        {&CAny::nCastFrom_BIN_DUREE_To_DUREE, ZLTYPE_DUREE, vxtest::Bytes(&milli, 8)},
        {&CAny::nCastFrom_BIN_DATEHEURE_To_DATEHEURE, ZLTYPE_DATETIME, vxtest::Bytes(&dt, 8)},
    };
    for (const Case& c : cases) {
        CAny v;
        v.SetBIN(c.bytes.data(), 8);
        CZLBIN other;
        v.Objet().nFillBuffer(&other);  // the block is shared
        v.SetNull();
        EXPECT_EQ(0, (v.*c.cast)());
        EXPECT_EQ(c.code | ANY_FLAG_NULL, v.wGetType()) << "flags kept";
        EXPECT_EQ(c.bytes, StorageBytes(v, 8));
        EXPECT_EQ(1u, RefCount(other)) << "the value's reference is gone";

        CAny seven;
        seven.SetBIN(c.bytes.data(), 7);
        EXPECT_EQ(ANY_ERR_BINAIRE, (seven.*c.cast)());
        EXPECT_EQ(ZLTYPE_BIN, seven.wGetType());
        CAny empty;
        empty.SetBIN(nullptr, 0);
        EXPECT_EQ(ANY_ERR_BINAIRE, (empty.*c.cast)());
        CAny number;
        number.SetI8(milli);
        EXPECT_EQ(ANY_ERR_BINAIRE, (number.*c.cast)());
        EXPECT_EQ(ZLTYPE_I8, number.wGetType());
    }
}

TEST_F(AnyValue, ProcessingInterfaceOfType141Only)
{
    vxtest::FakeHostObject object;
    CAny v;
    v.__SetType(ZLTYPE_OBJET_TRAITEMENT, 0);
    v.Objet().SetValue(&object);
    EXPECT_EQ(&object.processing, v.piGetTraitement());
    v.SetNull();
    EXPECT_EQ(nullptr, v.piGetTraitement());
    v.__SetType(ZLTYPE_OBJET_BASE, 0);
    v.Objet().SetValue(&object);
    EXPECT_EQ(nullptr, v.piGetTraitement());
    v.__SetType(ZLTYPE_OBJET_TRAITEMENT, 0);
    EXPECT_EQ(nullptr, v.piGetTraitement()) << "no object";
    v.__SetType(ZLTYPE_VIDE, 0);
    EXPECT_EQ(1, object.refs);
}

}  // namespace
