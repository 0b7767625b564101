// Keys of runtime values cast to the type to key by, as the in-memory
// indexes build them, with NULL values and refused casts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/text/convert_key.h"
#include "tests/common/text/any_vm_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ConvertKeyCast : public vxtest::AnyVmTest
{
protected:
    static Bytes Key(CAny& v, unsigned short type, unsigned long width, unsigned short options = 0x2800,
                     int result = -1)
    {
        Bytes key(width, 0xEE);
        const int n = CConvertKey::nConvertKeyAndGetSize(&v, key.data(), width, type, options, 0, 0);
        if (result >= 0) {
            EXPECT_EQ(result, n);
        }
        return key;
    }
};

TEST_F(ConvertKeyCast, ValuesAreCastToTheTypeToKeyBy)
{
    // The indexes' example: "ab" in a column of 6 wide characters.
    CAny ab = Make(ZLTYPE_DSTRW, L"ab");
    EXPECT_EQ((Bytes{0, 0x61, 0, 0x62, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Key(ab, 0, 14));

    // An integer keyed as a real keys as that real; the caller's value is
    // not changed by the cast.
    CAny i4 = Make(ZLTYPE_I4, L"-42");
    CAny r8 = Make(ZLTYPE_R8, L"-42");
    EXPECT_EQ(Key(r8, ZLTYPE_R8, 8), Key(i4, ZLTYPE_R8, 8));
    EXPECT_EQ(ZLTYPE_I4, i4.wGetType());
    // A text keyed as a number, ascending and descending.
    CAny t = Make(ZLTYPE_PSTRW, L"7");
    CAny seven = Make(ZLTYPE_I4, L"7");
    EXPECT_EQ(Key(seven, ZLTYPE_I4, 4, 0x2800, 4), Key(t, ZLTYPE_I4, 4, 0x2800, 4));
    EXPECT_EQ((Bytes{0x7F, 0xFF, 0xFF, 0xF8}), Key(t, ZLTYPE_I4, 4, 0x2800 | QFKEY_DESCENDANT));
}

TEST_F(ConvertKeyCast, NullAndRefusedCastsKeyAsTheInitialValue)
{
    // A NULL value keys as the initial value of the type to key by, and is
    // left as an empty wide text.
    CAny nul = Make(ZLTYPE_I4, L"5");
    nul.SetNull();
    CAny zero = Make(ZLTYPE_I4, L"0");
    EXPECT_EQ(Key(zero, ZLTYPE_I4, 4), Key(nul, ZLTYPE_I4, 4));
    EXPECT_EQ(ZLTYPE_PSTRW, nul.wGetType());
    const wchar_t* psz = nullptr;
    EXPECT_EQ(0, nul.Objet().nGetPCWSTR(&psz));
    EXPECT_STREQ(L"", psz);

    // Keyed by its own type, a NULL value is an empty wide text; so is the
    // empty value.
    CAny empty = Make(ZLTYPE_DSTRW, L"");
    CAny nulText = Make(ZLTYPE_DSTRW, L"x");
    nulText.SetNull();
    CAny vide;
    EXPECT_EQ(Key(empty, 0, 14), Key(nulText, 0, 14));
    EXPECT_EQ(Key(empty, 0, 14), Key(vide, 0, 14));
    EXPECT_EQ(Bytes(14, 0), Key(vide, 0, 14));

    // A cast the machine refuses: the key of zero, never bytes of the text
    // read as a number.
    CAny word = Make(ZLTYPE_PSTRW, L"not a number");
    EXPECT_EQ(Key(zero, ZLTYPE_I8, 8), Key(word, ZLTYPE_I8, 8));
    CAny i4 = Make(ZLTYPE_I4, L"3");
    Vm().SetResult(kStandinVmConversion, 160);
    EXPECT_EQ((Bytes{0x80, 0, 0, 0, 0, 0, 0, 0}), Key(i4, ZLTYPE_R8, 8));
    Vm().SetResult(kStandinVmConversion, 0);
    EXPECT_EQ(ZLTYPE_I4, i4.wGetType());
}

TEST_F(ConvertKeyCast, AllocatingForm)
{
    CAny v = Make(ZLTYPE_DSTRA, L"AB");
    unsigned char* p = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(3, CConvertKey::nConvertKeyAndGetSize(&v, &p, 0, 0x2800, 0, 0));
    ASSERT_NE(nullptr, p);
    // Width from the size: two characters and the terminator, plus one.
    EXPECT_EQ((Bytes{0x41, 0x42, 0, 0}), Bytes(p, p + 4));
    std::free(p);
}

}  // namespace
