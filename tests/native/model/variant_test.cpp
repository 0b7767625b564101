// The value holder: its slot order, checksum, comparison and equality, the
// emptiness tests, decimal information, typed setters and copies.
#include <gtest/gtest.h>

#include <cstring>

#include "common/text/any_decimal.h"
#include "common/text/ct_string.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/money.h"
#include "native/model/convert_variant.h"
#include "native/model/variant.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/variant_fixture.h"

namespace {

using vxtest::Octets;

class Variant : public vxtest::VariantTest
{
protected:
    // A kind-1 value holding a copy of v.
    CNAConvertVariant* Holding(const CAny& v)
    {
        CNAConvertVariant* p = AnyVariant(v.nGetTypeCode());
        EXPECT_EQ(1, p->bSetValue(&v));
        return p;
    }
};

TEST(VariantSlots, HolderAndConversionValueSlotsInOrder)
{
    vxtest::ExpectSlots("CNAVariant", {
                                          VX_SLOT(CNAVariant, vbChangeZLType, 3),
                                          VX_SLOT(CNAVariant, vbGetValue, 4),
                                          VX_SLOT(CNAVariant, vbIsEmpty, 5),
                                          VX_SLOT(CNAVariant, vpGetData, 6),
                                          VX_SLOT(CNAVariant, vnGetSize, 7),
                                          VX_SLOT(CNAVariant, pclGetCnx, 8),
                                      });
    EXPECT_EQ(9, VX_SLOT_COUNT(CNAVariant));
    vxtest::ExpectSlots("CNAConvertVariant", {
                                                 VX_SLOT(CNAConvertVariant, vbChangeZLType, 3),
                                                 VX_SLOT(CNAConvertVariant, pclGetCnx, 8),
                                                 VX_SLOT(CNAConvertVariant, _bConvertDataToQF, 9),
                                                 VX_SLOT(CNAConvertVariant, _bConvertDataToDB, 10),
                                                 VX_SLOT(CNAConvertVariant, _bInitBufferDB_Ptr, 11),
                                                 VX_SLOT(CNAConvertVariant, _bInitBufferDB_Any, 12),
                                                 VX_SLOT(CNAConvertVariant, _bInitTypeBind, 13),
                                             });
    EXPECT_EQ(14, VX_SLOT_COUNT(CNAConvertVariant));
}

TEST_F(Variant, ChecksumSumsLittleEndianWordsThenTailBytes)
{
    struct Case
    {
        Octets bytes;
        uint32_t expected;
    };
    const Case cases[] = {
        {{0x01, 0x00, 0x00, 0x00, 0x02}, 3},
        {{0x00, 0x00, 0x00, 0x00}, 0},
        {{}, 0},
        {{0x78, 0x56, 0x34, 0x12}, 0x12345678},
        // Words summed in 64 bits: the carry leaves the low 32 bits.
        {{0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}, 1},
        {{0x10, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01}, 0x10 + 0xFF + 0xFF + 0x01},
    };
    for (const Case& c : cases) {
        // Through the derived storage (an own buffer), as the hash of a row
        // identity reads it.
        CNAConvertVariant* v = OwnBufferVariant(ZLTYPE_BIN, c.bytes.size());
        ASSERT_EQ(1, v->bSetValue(c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(c.expected, v->nChecksum32()) << c.bytes.size() << " bytes";
    }
    // And through the runtime value of a kind-1 value.
    CAny bin;
    const unsigned char five[] = {1, 0, 0, 0, 2};
    bin.SetBIN(five, sizeof five);
    EXPECT_EQ(3u, Holding(bin)->nChecksum32());
}

TEST_F(Variant, SameCodeAndSizeCompareBytesElseTheRuntimeDecides)
{
    // 256 and 1 as 32-bit integers: the bytes 00 01 00 00 sort before 01 00
    // 00 00, so the bytewise order is the reverse of the numbers'.
    CAny n256, n1, r75;
    n256.SetI4(256);
    n1.SetI4(1);
    r75.SetR8(7.5);
    CNAConvertVariant* v256 = Holding(n256);
    EXPECT_EQ(-1, v256->nCmp(&n1));
    EXPECT_EQ(0, v256->nCmp(&n256));
    // Different codes: the runtime comparison.
    EXPECT_EQ(1, v256->nCmp(&r75));
    EXPECT_EQ(-1, Holding(n1)->nCmp(&r75));
    // A NULL operand makes the runtime comparison fail: 0.
    const CAny nullR8 = Null(ZLTYPE_R8);
    EXPECT_EQ(0, v256->nCmp(&nullR8));
    // The holder form: the same object is 0, another holder its value.
    EXPECT_EQ(0, v256->CNAVariant::nCmp(v256));
    EXPECT_EQ(-1, v256->CNAVariant::nCmp(Holding(n1)));
}

TEST_F(Variant, EqualityTakesNullAndEmptyAlike)
{
    const CAny nullI4 = Null(ZLTYPE_I4);
    CAny empty, five, fiveReal, six;
    five.SetI4(5);
    fiveReal.SetR8(5.0);
    six.SetI4(6);
    CNAConvertVariant* vNull = Holding(nullI4);
    CNAConvertVariant* vFive = Holding(five);
    EXPECT_EQ(1, vNull->bEqualsNAVariant(&empty));
    EXPECT_EQ(1, vNull->bEqualsNAVariant(&nullI4));
    EXPECT_EQ(0, vNull->bEqualsNAVariant(&five));
    EXPECT_EQ(0, vFive->bEqualsNAVariant(&nullI4));
    EXPECT_EQ(1, vFive->bEqualsNAVariant(&fiveReal));
    EXPECT_EQ(0, vFive->bEqualsNAVariant(&six));

    // Absent holders, NULL values and empty values (kind 0, or code 0) all
    // count as NULL; two of them are equal, one of them and a value not.
    CNAConvertVariant* vKind0 = NewVariant();
    CNAConvertVariant* vCode0 = AnyVariant(ZLTYPE_VIDE);
    CNAConvertVariant* vFiveToo = Holding(fiveReal);
    CNAConvertVariant* vSix = Holding(six);
    struct Case
    {
        const CNAConvertVariant* a;
        const CNAConvertVariant* b;
        int expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, 1}, {nullptr, vNull, 1},  {vNull, vKind0, 1}, {vCode0, nullptr, 1},
        {vKind0, vCode0, 1},   {nullptr, vFive, 0},  {vFive, vNull, 0},  {vKind0, vFive, 0},
        {vFive, vFiveToo, 1},  {vFive, vSix, 0},     {vFive, vFive, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].expected, CNAConvertVariant::g_bEqualsNAVariant(cases[i].a, cases[i].b)) << "case " << i;
}

TEST_F(Variant, EmptinessTestsByTypeCode)
{
    struct Case
    {
        CAny value;
        int emptyString, emptyStringEx, numeric0;
    };
    CAny boolFalse, money0, real0, int5, timeEmpty;
    timeEmpty.SetTIMEW(L"");
    boolFalse.SetBOOL(0);
    money0.SetCY(CMoney{});
    real0.SetR8(0.0);
    int5.SetI4(5);
    const Case cases[] = {
        {Make(ZLTYPE_DSTRA, L""), 1, 1, 0},
        {Make(ZLTYPE_DSTRA, L"a"), 0, 0, 0},
        {Make(ZLTYPE_DSTRW, L""), 1, 1, 0},
        {Make(ZLTYPE_PSTRW, L"x"), 0, 0, 0},
        // A date text counts only for the extended test.
        {Make(ZLTYPE_DATEA, L""), 0, 1, 0},
        {timeEmpty, 0, 1, 0},
        {Make(ZLTYPE_DATEA, L"20240131"), 0, 0, 0},
        {real0, 0, 0, 1},
        {money0, 0, 0, 1},
        {boolFalse, 0, 0, 1},
        {int5, 0, 0, 0},
        // A text "0" is no number 0.
        {Make(ZLTYPE_DSTRA, L"0"), 0, 0, 0},
        {Null(ZLTYPE_I4), 1, 1, 1},
        {CAny(), 1, 1, 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CNAConvertVariant* v = Holding(cases[i].value);
        EXPECT_EQ(cases[i].emptyString, v->bIsEmptyString()) << "case " << i;
        EXPECT_EQ(cases[i].emptyStringEx, v->bIsEmptyStringEx()) << "case " << i;
        EXPECT_EQ(cases[i].numeric0, v->bIsNumeric0()) << "case " << i;
        EXPECT_EQ(cases[i].emptyStringEx || cases[i].numeric0, v->bCouldBeNullOnQF()) << "case " << i;
    }
    // A kind-0 value is empty, whatever it was typed as.
    EXPECT_EQ(1, NewVariant()->bIsEmptyString());
    // The test reads the derived storage: an empty text in a slot.
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 6);
    EXPECT_EQ(1, slot->bIsEmptyString());
    ASSERT_EQ(1, slot->bSetValue("ab", -1));
    EXPECT_EQ(0, slot->bIsEmptyString());
}

TEST_F(Variant, DecimalInformation)
{
    int p = -1, s = -1;
    EXPECT_EQ(1, Holding(Make(ZLTYPE_DECIMAL, L"12.345"))->CNAVariant::bGetDecimalInfo(&p, &s));
    const CAny dec = Make(ZLTYPE_DECIMAL, L"12.345");
    const IDecimal* d = CAny_ZLDECIMAL::s_pclGetDecimal(dec);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(d->vnGetScale(), s);
    EXPECT_EQ(3, s);
    EXPECT_GE(p, 5);
    // Another value cast to a decimal first.
    CAny n;
    n.SetI4(-1234);
    EXPECT_EQ(1, Holding(n)->CNAVariant::bGetDecimalInfo(&p, &s));
    EXPECT_EQ(0, s);
    EXPECT_GE(p, 4);
    // No decimal to be had: both 0.
    EXPECT_EQ(0, Holding(Make(ZLTYPE_DSTRA, L"abc"))->CNAVariant::bGetDecimalInfo(&p, &s));
    EXPECT_EQ(0, p);
    EXPECT_EQ(0, s);
    // A decimal item gives its own digits.
    CNAConvertVariant* slot = SlotVariant(NA_IT_DECIMAL, 9, 12, 4);
    EXPECT_EQ(1, slot->bGetDecimalInfo(&p, &s));
    EXPECT_EQ(16, p);
    EXPECT_EQ(4, s);
}

TEST_F(Variant, TypedSettersSetTheirCodeAndClearTheFlags)
{
    CNAVariant v;
    struct Case
    {
        int (*set)(CNAVariant&);
        unsigned short code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {[](CNAVariant& x) { return x.bSetValue(true); }, 1, L"1"},
        {[](CNAVariant& x) { return x.bSetValue(static_cast<unsigned char>(200)); }, 2, L"200"},
        {[](CNAVariant& x) { return x.bSetValue(static_cast<unsigned short>(60000)); }, 3, L"60000"},
        {[](CNAVariant& x) { return x.bSetValue(4000000000u); }, 4, L"4000000000"},
        {[](CNAVariant& x) { return x.bSetValue(18000000000000000000ul); }, 5, L"18000000000000000000"},
        {[](CNAVariant& x) { return x.bSetValue(static_cast<char>(-5)); }, 6, L"-5"},
        {[](CNAVariant& x) { return x.bSetValue(static_cast<short>(-300)); }, 7, L"-300"},
        {[](CNAVariant& x) { return x.bSetValue(-70000); }, 8, L"-70000"},
        {[](CNAVariant& x) { return x.bSetValue(-9000000000l); }, 9, L"-9000000000"},
        {[](CNAVariant& x) { return x.bSetValue(gstMillion); }, 10, L"1"},
        {[](CNAVariant& x) { return x.bSetValue(1.5f); }, 11, L"1.5"},
        {[](CNAVariant& x) { return x.bSetValue(-2.25); }, 12, L"-2.25"},
    };
    for (const Case& c : cases) {
        const CAny nullValue = Null(ZLTYPE_I4);
        v.bSetValue(&nullValue);
        EXPECT_EQ(1, c.set(v));
        EXPECT_EQ(c.code, v.pclGetValue()->wGetType()) << "no flags left";
        EXPECT_EQ(c.text, Text(*v.pclGetValue()));
    }
    // The raw store keeps the type and reads no more than it is given (two
    // bytes into an 8-byte integer).
    CAny i8;
    i8.SetI8(-1);
    v.bSetValue(&i8);
    const unsigned char two[] = {0x34, 0x12};
    EXPECT_EQ(1, v.bSetValue(two, sizeof two));
    EXPECT_EQ(ZLTYPE_I8, v.pclGetValue()->wGetType());
    EXPECT_EQ(L"4660", Text(*v.pclGetValue()));
}

TEST_F(Variant, CopyRetypeAndClone)
{
    CNAVariant v;
    CAny five;
    five.SetI4(5);
    v.bSetValue(&five);
    // A null source: NULL of the same code.
    EXPECT_EQ(1, v.bCopyVariant(nullptr));
    EXPECT_EQ(ZLTYPE_I4 | ANY_FLAG_NULL, v.pclGetValue()->wGetType());
    // Retyping through the runtime cast; a failed cast leaves the value.
    CNAVariant t;
    const CAny text42 = Make(ZLTYPE_DSTRA, L"42");
    t.bSetValue(&text42);
    EXPECT_EQ(1, t.bChangeItemType(NA_IT_I4, 0));
    EXPECT_EQ(ZLTYPE_I4, t.pclGetValue()->nGetTypeCode());
    EXPECT_EQ(L"42", Text(*t.pclGetValue()));
    CNAVariant bad;
    const CAny textX = Make(ZLTYPE_DSTRA, L"x");
    bad.bSetValue(&textX);
    EXPECT_EQ(0, bad.vbChangeZLType(ZLTYPE_I4, 0));
    EXPECT_EQ(ZLTYPE_DSTRA, bad.pclGetValue()->nGetTypeCode());
    EXPECT_EQ(NA_IT_MEMOTEXTE, bad.eNAGetItemTypeValue());
    // The clone comes from the driver's factory and holds a copy.
    CNAConvertVariant* clone = t.pclGetCloneVariant();
    ASSERT_NE(nullptr, clone);
    REF_AddRef(clone);
    EXPECT_EQ(NA_VT_ANY, clone->eGetVarType());
    EXPECT_EQ(L"42", ValueText(*clone));
    clone->nRelease();
}

TEST_F(Variant, DiagnosticText)
{
    CNAConvertVariant* v = Holding(Make(ZLTYPE_DSTRA, L"abc"));
    CTString text;
    v->GetString(&text, L"Value: ", 0);
    EXPECT_STREQ(L"Value: abc", text.pszGet());
    v->GetString(&text, nullptr, 1);
    EXPECT_NE(nullptr, std::wcsstr(text.pszGet(), L"Type=19"));
    // A slot value is read out of its slot.
    CNAConvertVariant* slot = SlotVariant(NA_IT_TEXTE, 8);
    slot->bSetValue("xyz", -1);
    slot->GetString(&text, L"", 0);
    EXPECT_STREQ(L"xyz", text.pszGet());
}

TEST_F(Variant, DriverMakesTypedValues)
{
    // Slot 44: the error object given, else the driver's own.
    CNAConvertVariant* own = Driver()->pclAllocVariant(nullptr, m_pclConnection);
    ASSERT_NE(nullptr, own);
    REF_AddRef(own);
    EXPECT_EQ(Driver()->pclGetError(), own->pclGetErrorNoRef());
    EXPECT_EQ(NA_VT_NONE, own->eGetVarType());
    own->nRelease();
    // Typed without a column: a kind-1 value of the code.
    CNAConvertVariant* typed = Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, nullptr, ZLTYPE_R8);
    ASSERT_NE(nullptr, typed);
    REF_AddRef(typed);
    EXPECT_EQ(NA_VT_ANY, typed->eGetVarType());
    EXPECT_EQ(ZLTYPE_R8, Code(*typed));
    typed->nRelease();
    // With a value: its code, holding it.
    const CAny text = Make(ZLTYPE_DSTRA, L"held");
    CNAConvertVariant* holding = Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, nullptr, &text);
    ASSERT_NE(nullptr, holding);
    REF_AddRef(holding);
    EXPECT_EQ(L"held", ValueText(*holding));
    holding->nRelease();
    EXPECT_EQ(nullptr,
              Driver()->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, nullptr, static_cast<const CAny*>(nullptr)));
}

}  // namespace
