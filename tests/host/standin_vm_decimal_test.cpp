// The stand-in machine's decimals through the interface the library uses:
// the factory from "pQueryProxy", the 18-byte form, precision and scale,
// packed bytes, bounds and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/text/decimal_interface.h"
#include "tests/host/module/standin_vm_loader.h"

namespace {

class StandinVmDecimal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static StandinHostModule host(VX_STANDIN_HOST_PATH);
        ASSERT_TRUE(host.IsLoaded()) << host.Error();
        m_vm = std::make_unique<StandinVm>(host);
        m_vm->Reset();
        m_live = m_vm->LiveDecimals();
        m_factory = static_cast<IVMFactory*>(m_vm->QueryProxy()(VM_PROXY_FACTORY));
        ASSERT_NE(nullptr, m_factory);
    }

    void TearDown() override
    {
        for (IDecimal* d : m_made)
            m_factory->vReleaseDecimal(d);
        EXPECT_EQ(m_live, m_vm->LiveDecimals());
    }

    IDecimal* Make(__int128 unscaled, int precision, int scale)
    {
        IDecimal* d = m_factory->vpclCreateDecimal(0);
        m_made.push_back(d);
        unsigned char form[18];
        std::memcpy(form, &unscaled, 16);
        form[16] = static_cast<unsigned char>(precision);
        form[17] = static_cast<unsigned char>(scale);
        EXPECT_EQ(0, d->vnSetBytes(form, 18));
        return d;
    }

    static __int128 Unscaled(const IDecimal* d)
    {
        unsigned char form[18];
        d->vGetBytes18(form);
        __int128 v;
        std::memcpy(&v, form, 16);
        return v;
    }

    std::unique_ptr<StandinVm> m_vm;
    IVMFactory* m_factory = nullptr;
    std::vector<IDecimal*> m_made;
    long m_live = 0;
};

TEST_F(StandinVmDecimal, FactoryAndForms)
{
    EXPECT_EQ(nullptr, m_vm->QueryProxy()(101));
    IDecimal* zero = m_factory->vpclCreateDecimal(0);
    m_made.push_back(zero);
    EXPECT_EQ(1, zero->vnGetPrecision());
    EXPECT_EQ(0, zero->vnGetScale());
    EXPECT_TRUE(Unscaled(zero) == 0);
    m_factory->vReleaseDecimal(nullptr);

    IDecimal* d = Make(-12345, 5, 2);
    EXPECT_EQ(1, d->vbIsNegative());
    zero->vCopy(d);
    EXPECT_TRUE(Unscaled(zero) == -12345);
    EXPECT_EQ(2, zero->vnGetScale());

    unsigned char form[18] = {};
    form[16] = 2;  // 100 does not fit 2 digits
    form[0] = 100;
    EXPECT_NE(0, d->vnSetBytes(form, 18));
    EXPECT_NE(0, d->vnSetBytes(form, 16));
    EXPECT_TRUE(Unscaled(d) == -12345) << "unchanged";
}

TEST_F(StandinVmDecimal, PrecisionAndScaleRoundHalfAwayFromZero)
{
    IDecimal* d = Make(12345, 5, 3);  // 12.345
    EXPECT_EQ(0, d->vnSetPrecisionScale(4, 2));
    EXPECT_TRUE(Unscaled(d) == 1235);
    IDecimal* n = Make(-12345, 5, 3);
    EXPECT_EQ(0, n->vnSetPrecisionScale(10, 2));
    EXPECT_TRUE(Unscaled(n) == -1235);
    EXPECT_EQ(0, n->vnSetPrecisionScale(10, 5));
    EXPECT_TRUE(Unscaled(n) == -1235000);
    EXPECT_NE(0, n->vnSetPrecisionScale(6, 5)) << "the integer digits no longer fit";
    EXPECT_EQ(10, n->vnGetPrecision());
    EXPECT_NE(0, n->vnSetPrecisionScale(39, 0));
    EXPECT_NE(0, n->vnSetPrecisionScale(3, 4));
}

TEST_F(StandinVmDecimal, PackedBytesRoundTrip)
{
    for (__int128 v : {__int128(0), __int128(99999), __int128(-99999), __int128(-1)}) {
        IDecimal* d = Make(v, 5, 1);
        unsigned char packed[16];
        unsigned long n = 0;
        ASSERT_EQ(0, d->vnGetPacked(packed, sizeof packed, &n));
        EXPECT_EQ(IDecimal::mg_PToN[5], n);
        IDecimal* back = Make(0, 1, 0);
        ASSERT_EQ(0, back->vnSetPacked(packed, n, 5, 1));
        EXPECT_TRUE(Unscaled(back) == v);
        EXPECT_EQ(5, back->vnGetPrecision());
        EXPECT_EQ(1, back->vnGetScale());
        EXPECT_NE(0, d->vnGetPacked(packed, n - 1, &n));
        EXPECT_NE(0, back->vnSetPacked(packed, 2, 5, 1));
    }
    // A packed value with more digits than its precision is refused.
    const unsigned char big[3] = {0xA0, 0x86, 0x01};  // 100000
    IDecimal* d = Make(7, 1, 0);
    EXPECT_NE(0, d->vnSetPacked(big, 3, 5, 0));
    EXPECT_TRUE(Unscaled(d) == 7);
}

TEST_F(StandinVmDecimal, BoundsAndKeysInValueOrder)
{
    IDecimal* d = Make(1, 4, 2);
    d->vSetMax();
    EXPECT_TRUE(Unscaled(d) == 9999);
    d->vSetMin();
    EXPECT_TRUE(Unscaled(d) == -9999);

    std::vector<std::vector<unsigned char>> keys;
    for (__int128 v : {__int128(-9999), __int128(-5), __int128(-1), __int128(0), __int128(3), __int128(9999)}) {
        std::vector<unsigned char> key(DECIMAL_KEY_SIZE + 4, 0xAA);
        Make(v, 4, 2)->vWriteKey(key.data());
        EXPECT_EQ(std::vector<unsigned char>(4, 0xAA), std::vector<unsigned char>(key.end() - 4, key.end()));
        key.resize(DECIMAL_KEY_SIZE);
        keys.push_back(key);
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end()) == keys.end());
}

}  // namespace
