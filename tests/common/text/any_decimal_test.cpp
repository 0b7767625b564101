// Decimal values: their objects come from the stand-in machine's factory,
// and each value releases its own.
#include <new>

#include "common/text/decimal_interface.h"
#include "common/text/vm_binding.h"
#include "tests/common/text/any_fixture.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

class AnyDecimal : public vxtest::StrMemTest
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
        Vm().Reset();
        m_decimalsBefore = Vm().LiveDecimals();
    }

    void TearDown() override
    {
        EXPECT_EQ(m_decimalsBefore, Vm().LiveDecimals()) << "decimals leaked or released twice";
        vxtest::StrMemTest::TearDown();
    }

    static StandinVm Vm() { return StandinVm(*s_host); }
    long Live() const { return Vm().LiveDecimals() - m_decimalsBefore; }

    static IDecimal* DecimalOf(const CAny& v) { return CAny_ZLDECIMAL::s_pclGetDecimal(v); }

    // The 18-byte form of unscaled / 10^scale.
    static std::vector<unsigned char> Form(__int128 unscaled, int precision, int scale)
    {
        std::vector<unsigned char> form(18);
        std::memcpy(form.data(), &unscaled, 16);
        form[16] = static_cast<unsigned char>(precision);
        form[17] = static_cast<unsigned char>(scale);
        return form;
    }

    static StandinHostModule* s_host;
    long m_decimalsBefore = 0;
};

StandinHostModule* AnyDecimal::s_host = nullptr;

TEST_F(AnyDecimal, EachValueOwnsOneObjectOfTheFactory)
{
    {
        CAny v;
        v.__SetType(ZLTYPE_DECIMAL, 0);
        EXPECT_EQ(ZLTYPE_DECIMAL, v.wGetType());
        EXPECT_TRUE(vxtest::HasClass<CAny_ZLDECIMAL>(v));
        EXPECT_EQ(1, Live());
        ASSERT_NE(nullptr, DecimalOf(v));
        EXPECT_EQ(0, v.Objet().SetValue(Form(-12345, 5, 2).data(), 18));

        CAny copy(v);
        EXPECT_EQ(2, Live());
        EXPECT_NE(DecimalOf(v), DecimalOf(copy));
        std::vector<unsigned char> out(20, 0xAA);
        EXPECT_EQ(0, copy.Objet().nFillDataBuffer(out.data()));
        const std::vector<unsigned char> form = Form(-12345, 5, 2);
        std::vector<unsigned char> expected(20, 0xAA);
        std::copy(form.begin(), form.end(), expected.begin());
        EXPECT_EQ(expected, out) << "the 18-byte form, nothing more";
        EXPECT_EQ(0, copy.Objet().bIsPositive());

        // Re-typing releases.
        copy.SetI4(1);
        EXPECT_EQ(1, Live());
    }
    EXPECT_EQ(0, Live());
}

TEST_F(AnyDecimal, StorageAndDataForms)
{
    CAny v;
    v.__SetType(ZLTYPE_DECIMAL, 0);
    unsigned long n = 0;
    EXPECT_EQ(0, v.Objet().nGetSize(&n));
    EXPECT_EQ(8u, n);
    EXPECT_EQ(0, v.Objet().nGetDataSize(&n));
    EXPECT_EQ(18u, n);
    EXPECT_EQ(0, v.Objet().nGetUtilDataSize(&n));
    EXPECT_EQ(18u, n);
    void* p = &n;
    EXPECT_EQ(ANY_ERR_TYPE, v.Objet().nGetDataAdr(&p));
    EXPECT_EQ(nullptr, p);
    IDecimal* object = nullptr;
    EXPECT_EQ(0, v.Objet().nFillBuffer(&object));
    EXPECT_EQ(DecimalOf(v), object);
    EXPECT_EQ(1, v.Objet().bIsPositive()) << "a new decimal is zero";

    // SetValue(p) copies another decimal object.
    CAny other;
    other.__SetType(ZLTYPE_DECIMAL, 0);
    other.Objet().SetValue(Form(42, 2, 0).data(), 18);
    EXPECT_EQ(0, v.Objet().SetValue(DecimalOf(other)));
    std::vector<unsigned char> out(18);
    v.Objet().nFillDataBuffer(out.data());
    EXPECT_EQ(Form(42, 2, 0), out);
    EXPECT_EQ(0, v.Objet().SetValue(DecimalOf(v))) << "itself";
    EXPECT_NE(0, v.Objet().SetValue(Form(0, 2, 0).data(), 17)) << "the machine wants its 18-byte form";
}

// A creation that throws leaves the empty value and the exception goes on;
// a factory that makes nothing leaves the empty value.
TEST_F(AnyDecimal, FailedCreations)
{
    CAny v;
    v.SetI4(3);
    Vm().FactoryThrow(1);
    EXPECT_THROW(v.__SetType(ZLTYPE_DECIMAL, 0), std::bad_alloc);
    EXPECT_EQ(0, v.wGetType());
    EXPECT_TRUE(vxtest::HasClass<CAny_Intern>(v));
    EXPECT_EQ(0, Live());

    Vm().FactoryNull(1);
    v.__SetType(ZLTYPE_DECIMAL, 0);
    EXPECT_EQ(0, v.wGetType());
    EXPECT_EQ(0, Live());

    // A copy that cannot be made leaves the target as it was.
    CAny source;
    source.__SetType(ZLTYPE_DECIMAL, 0);
    CAny target;
    target.SetI4(9);
    Vm().FactoryThrow(1);
    EXPECT_THROW(target = source, std::bad_alloc);
    EXPECT_EQ(ZLTYPE_I4, target.wGetType());
    EXPECT_EQ(9, target._tLit<int32_t>());
    EXPECT_EQ(1, Live());
}

}  // namespace
