// Keys of decimal values, written by the stand-in machine's decimals.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "common/text/any.h"
#include "common/text/convert_key.h"
#include "common/text/decimal_interface.h"
#include "common/text/vm_binding.h"
#include "tests/common/text/xy_string_fixture.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ConvertKeyDecimal : public vxtest::StrMemTest
{
protected:
    static void SetUpTestSuite()
    {
        s_host = new StandinHostModule(VX_STANDIN_HOST_PATH);
        ASSERT_TRUE(s_host->IsLoaded()) << s_host->Error();
        ASSERT_EQ(1, bInitZLConvFromVM(s_host->Handle(), 2, 2));
    }

    void SetUp() override
    {
        vxtest::StrMemTest::SetUp();
        StandinVm(*s_host).Reset();
        m_decimalsBefore = StandinVm(*s_host).LiveDecimals();
    }

    void TearDown() override
    {
        EXPECT_EQ(m_decimalsBefore, StandinVm(*s_host).LiveDecimals()) << "decimals leaked or released twice";
        vxtest::StrMemTest::TearDown();
    }

    // The key of unscaled / 10^scale in a column of 8 integer and 2 decimal
    // digits.
    static Bytes Key(__int128 unscaled, int precision, int scale, unsigned short options = 0x2800)
    {
        Bytes form(18);
        std::memcpy(form.data(), &unscaled, 16);
        form[16] = static_cast<unsigned char>(precision);
        form[17] = static_cast<unsigned char>(scale);
        CAny v;
        v.__SetType(ZLTYPE_DECIMAL, 0);
        EXPECT_EQ(0, v.Objet().SetValue(form.data(), 18));
        Bytes key(32, 0xEE);
        unsigned char* p = key.data();
        EXPECT_EQ(32, CConvertKey::__nConvertTypedKey(&v, &p, 32, ZLTYPE_DECIMAL, options, 8, 2));
        return key;
    }

    static StandinHostModule* s_host;
    long m_decimalsBefore = 0;
};

StandinHostModule* ConvertKeyDecimal::s_host = nullptr;

TEST_F(ConvertKeyDecimal, KeysOrderValuesOfTheColumn)
{
    std::mt19937_64 rng(5);
    struct Value
    {
        __int128 unscaled;
        int precision, scale;
        __int128 hundredths;  // the value in the column's scale
    };
    std::vector<Value> values{{0, 1, 0, 0}, {-1, 10, 2, -1}, {1, 10, 2, 1}, {9999999999, 10, 2, 9999999999},
                              {-9999999999, 10, 2, -9999999999}, {7, 3, 0, 700}, {-7, 3, 0, -700}};
    while (values.size() < 40) {
        const __int128 u = static_cast<__int128>(static_cast<int64_t>(rng() % 19999999999ULL) - 9999999999LL);
        values.push_back({u, 10, 2, u});
    }
    std::vector<Bytes> up, down;
    for (const Value& v : values) {
        up.push_back(Key(v.unscaled, v.precision, v.scale));
        down.push_back(Key(v.unscaled, v.precision, v.scale, 0x2800 | QFKEY_DESCENDANT));
    }
    for (size_t i = 0; i < values.size(); ++i) {
        for (size_t j = 0; j < values.size(); ++j) {
            const int expected = (values[i].hundredths > values[j].hundredths) - (values[i].hundredths < values[j].hundredths);
            const int got = std::memcmp(up[i].data(), up[j].data(), 32);
            const int gotDown = std::memcmp(down[i].data(), down[j].data(), 32);
            ASSERT_EQ(expected, (got > 0) - (got < 0)) << i << " " << j;
            ASSERT_EQ(-expected, (gotDown > 0) - (gotDown < 0)) << i << " " << j;
        }
    }

    // Too many integer digits for the column: the column's end on that side.
    EXPECT_EQ(Key(9999999999, 10, 2), Key(1000000000000, 13, 0));
    EXPECT_EQ(Key(-9999999999, 10, 2), Key(-1000000000000, 13, 0));

    // NULL keys as 0.
    Bytes key(32, 0xEE);
    unsigned char* p = key.data();
    EXPECT_EQ(32, CConvertKey::__nConvertInitialKey(&p, 32, ZLTYPE_DECIMAL, 0x2800, 8, 2));
    EXPECT_EQ(Key(0, 1, 0), key);
}

TEST_F(ConvertKeyDecimal, RawFormsTheMachineRefusesWriteNothing)
{
    const unsigned char packed[5] = {1, 0, 0, 0, 0};
    Bytes key(32, 0xEE);
    // Too few bytes for the precision, a precision out of range, a key too
    // short, no factory.
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 32, packed, 4, QFIT_DECIMAL, 0, 10, 2, 0, 0));
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 32, packed, 5, QFIT_DECIMAL, 0, 39, 2, 0, 0));
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 31, packed, 5, QFIT_DECIMAL, 0, 10, 2, 0, 0));
    IVMFactory* factory = gpiVMFactory;
    gpiVMFactory = nullptr;
    EXPECT_EQ(0, CQFConvertKey::__nConvertKey(key.data(), 32, packed, 5, QFIT_DECIMAL, 0, 10, 2, 0, 0));
    gpiVMFactory = factory;
    EXPECT_EQ(Bytes(32, 0xEE), key);
    EXPECT_EQ(32, CQFConvertKey::__nConvertKey(key.data(), 32, packed, 5, QFIT_DECIMAL, 0, 10, 2, 0, 0));
}

}  // namespace
