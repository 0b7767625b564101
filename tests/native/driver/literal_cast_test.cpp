// A runtime value cast in place to what a column takes: values left as they
// are, the date and time targets with the time column's completion, the
// numbers a lenient cast leaves alone, and the errors of each kind with the
// site they name.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/connection_description.h"
#include "tests/native/model/variant_fixture.h"

namespace {

class Casts : public vxtest::VariantTest
{
protected:
    int Cast(CAny* v, eNA_ITEMTYPE eType, eNA_ITEMTYPE eSecond = NA_IT_EMPTY, int strict = 1)
    {
        return m_pclConnection->bCastCAnyIntoDBType(m_pclError, v, eType, eSecond, strict);
    }
};

TEST_F(Casts, ValuesTheColumnTakesAsTheyAre)
{
    CAny text = Make(ZLTYPE_PSTRA, L"abc");
    ASSERT_EQ(1, Cast(&text, NA_IT_TEXTE));
    EXPECT_EQ(ZLTYPE_PSTRA, text.wGetType()) << "a heap text for a runtime-string column";
    CAny wide = Make(ZLTYPE_PSTRW, L"abc");
    ASSERT_EQ(1, Cast(&wide, NA_IT_UNICODE));
    EXPECT_EQ(ZLTYPE_PSTRW, wide.wGetType());
    CAny bin;
    bin.SetBIN(reinterpret_cast<const unsigned char*>("ab"), 2);
    ASSERT_EQ(1, Cast(&bin, NA_IT_I4));
    EXPECT_EQ(ZLTYPE_BIN, bin.wGetType());
    // The first item type, else the second.
    CAny n;
    n.SetI4(5);
    ASSERT_EQ(1, Cast(&n, NA_IT_EMPTY, NA_IT_R8));
    EXPECT_EQ(ZLTYPE_R8, n.wGetType());
    // No runtime type to cast to: left alone.
    ASSERT_EQ(1, Cast(&n, NA_IT_EMPTY, NA_IT_EMPTY));
    EXPECT_EQ(ZLTYPE_R8, n.wGetType());
    EXPECT_TRUE(NoError());
}

TEST_F(Casts, LenientNumbersOnlyWithoutTheStrictFlag)
{
    struct Case
    {
        CAny value;
        eNA_ITEMTYPE column;
        bool kept;
    };
    CAny i2, i4, i8small, i8big, r4, r8;
    i2.SetI2(3);
    i4.SetI4(70000);
    i8small.SetI8(2147483646);
    i8big.SetI8(2147483647);
    r4.SetR4(1.5f);
    r8.SetR8(2.5);
    const Case cases[] = {
        {i2, NA_IT_I1, true},       {i2, NA_IT_I2, true},       {i2, NA_IT_I4, false},
        {i4, NA_IT_I2, true},       {i4, NA_IT_R4, true},       {i4, NA_IT_I8, false},
        {i8small, NA_IT_I4, true},  {i8big, NA_IT_I4, false},   {i8small, NA_IT_R8, true},
        {r4, NA_IT_I8, true},       {r4, NA_IT_R8, false},      {r8, NA_IT_R8, true},
        {r8, NA_IT_I4, true},       {r8, NA_IT_MONETAIRE, false},
    };
    for (const Case& c : cases) {
        CAny lenient(c.value);
        ASSERT_EQ(1, Cast(&lenient, c.column, NA_IT_EMPTY, 0));
        EXPECT_EQ(c.kept, lenient.nGetTypeCode() == c.value.nGetTypeCode())
            << c.value.nGetTypeCode() << " for " << c.column;
        // Strict: always the column's type (or an error).
        CAny strict(c.value);
        if (Cast(&strict, c.column) == 1) {
            EXPECT_EQ(ConverteItemToZLType(c.column), strict.nGetTypeCode());
        }
        m_pclError->Reset();
    }
}

TEST_F(Casts, DateAndTimeTargets)
{
    // A date-time stays for any date target; a time for a date-time or a
    // time; a time for a date becomes an empty date.
    CAny dt = Make(ZLTYPE_DATETIME, L"20240131123456000");
    ASSERT_EQ(1, Cast(&dt, NA_IT_DATE8));
    EXPECT_EQ(ZLTYPE_DATETIME, dt.wGetType());
    CAny time = Make(ZLTYPE_TIMEW, L"1234");
    ASSERT_EQ(1, Cast(&time, NA_IT_DATETIME));
    EXPECT_EQ(ZLTYPE_TIMEW, time.wGetType());
    ASSERT_EQ(1, Cast(&time, NA_IT_DATE8));
    EXPECT_EQ(ZLTYPE_DATEA, time.wGetType());
    EXPECT_EQ(L"", Text(time));
    // Other values through 8-bit text.
    CAny text = Make(ZLTYPE_DSTRW, L"20240131");
    ASSERT_EQ(1, Cast(&text, NA_IT_DATE8));
    EXPECT_EQ(ZLTYPE_DATEA, text.wGetType());
    EXPECT_EQ(L"20240131", Text(text));
    // A time column completes a short text with zeros.
    CAny shortTime = Make(ZLTYPE_DSTRW, L"12");
    ASSERT_EQ(1, Cast(&shortTime, NA_IT_DATETIME, NA_IT_HEURE));
    EXPECT_EQ(ZLTYPE_TIMEA, shortTime.wGetType());
    EXPECT_EQ(L"120000000", Text(shortTime));
    EXPECT_TRUE(NoError());
}

TEST_F(Casts, ErrorsNameTheirKindAsTheSite)
{
    struct Case
    {
        const wchar_t* text;
        eNA_ITEMTYPE column, second;
        const wchar_t* site;
    };
    const Case cases[] = {
        {L"12:ab", NA_IT_DATETIME, NA_IT_HEURE, L"1.14"},
        {L"not a date", NA_IT_DATE8, NA_IT_EMPTY, L"1.15"},
        {L"not a number", NA_IT_I4, NA_IT_EMPTY, L"1.16"},
    };
    for (const Case& c : cases) {
        CAny v = Make(ZLTYPE_DSTRW, c.text);
        EXPECT_EQ(0, Cast(&v, c.column, c.second));
        // The runtime's error of a conversion that cannot be made, with the
        // two type codes.
        EXPECT_TRUE(ErrorAt(60, c.site));
        EXPECT_NE(std::wstring::npos, ErrorText().find(std::to_wstring(ConverteItemToZLType(c.column))));
        m_pclError->Reset();
    }
    // No error object: 0 and nothing recorded anywhere.
    CAny v = Make(ZLTYPE_DSTRW, L"x");
    EXPECT_EQ(0, m_pclConnection->bCastCAnyIntoDBType(nullptr, &v, NA_IT_I4, NA_IT_EMPTY, 1));
}

}  // namespace
