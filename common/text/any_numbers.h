#pragma once

#include "common/text/any_intern.h"

// Values of a fixed size held in the storage itself: the storage, data and
// useful forms are the same N bytes; fills copy them and SetValue(p) copies
// them in; addresses are the storage's.
template <size_t N>
class TAny_ZLFixe : public CAny_Intern
{
public:
    static constexpr size_t TAILLE = N;

    constexpr TAny_ZLFixe() = default;

    void Duplique(CAny* pTarget) const override
    {
        s_Duplique(this, pTarget, CAny::s_clDepuisObjet(this).nGetTypeCode(),
                   CAny::s_clDepuisObjet(this)._pbyGetValeur(), false, 0, true);
    }
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, N); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, N); }
    int nGetDataSize(unsigned long* pn) const override { return s_nTaille(pn, N); }
    int nGetDataAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillDataBuffer(void* p) const override { return s_nCopieValeur(this, p, N); }
    int SetValue(const void* p) override { return p ? s_nEcritValeur(this, p, N) : ANY_OK; }
};

// 1: a 32-bit integer, 0 or not.
class CAny_ZLBOOL final : public TAny_ZLFixe<4>
{
public:
    constexpr CAny_ZLBOOL() = default;
    using TAny_ZLFixe<4>::SetValue;
    // The 4 bytes zeroed, then min(n, 4) bytes copied.
    int SetValue(const void* p, unsigned long n) override;
};

// 2, 3, 4: unsigned integers; increments wrap and report 1 when they did.
class CAny_ZLUI1 final : public TAny_ZLFixe<1>
{
public:
    constexpr CAny_ZLUI1() = default;
    int nIncremente() override;
    int nDecremente() override;
};

class CAny_ZLUI2 final : public TAny_ZLFixe<2>
{
public:
    constexpr CAny_ZLUI2() = default;
    int nIncremente() override;
    int nDecremente() override;
};

class CAny_ZLUI4 final : public TAny_ZLFixe<4>
{
public:
    constexpr CAny_ZLUI4() = default;
    int nIncremente() override;
    int nDecremente() override;
};

// 5: increments wrap and answer bit 63 of the new value.
class CAny_ZLUI8 final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLUI8() = default;
    int nIncremente() override;
    int nDecremente() override;
};

// 6, 7, 8: signed integers; increments wrap and report 1 when the true
// result left the type's range.
class CAny_ZLI1 final : public TAny_ZLFixe<1>
{
public:
    constexpr CAny_ZLI1() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

class CAny_ZLI2 final : public TAny_ZLFixe<2>
{
public:
    constexpr CAny_ZLI2() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

class CAny_ZLI4 final : public TAny_ZLFixe<4>
{
public:
    constexpr CAny_ZLI4() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

// 9 (and 15): increments wrap and answer 0.
class CAny_ZLI8 final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLI8() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

// 10: currency (CMoney). Increments add or subtract one unit exactly and
// report 1, the value unchanged, when that overflows.
class CAny_ZLCY final : public TAny_ZLFixe<10>
{
public:
    constexpr CAny_ZLCY() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

// 11: float; increments are computed in double and report 1 when the result
// lies beyond +/-3.4028234663852886e38.
class CAny_ZLR4 final : public TAny_ZLFixe<4>
{
public:
    constexpr CAny_ZLR4() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

// 12: double; increments answer 0.
class CAny_ZLR8 final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLR8() = default;
    int bIsPositive() const override;
    int nIncremente() override;
    int nDecremente() override;
};

// 14: unsigned 64 bits; increments wrap and answer 0.
class CAny_ZLUIX final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLUIX() = default;
    int nIncremente() override;
    int nDecremente() override;
};

// 26: CDateTimeBase, as two 32-bit words.
class CAny_ZLDATETIME final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLDATETIME() = default;
};

// 27: duration in milliseconds (CDureeBase).
class CAny_ZLDUREE final : public TAny_ZLFixe<8>
{
public:
    constexpr CAny_ZLDUREE() = default;
};
