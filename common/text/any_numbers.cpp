#include "common/text/any_numbers.h"

#include <cstdint>
#include <limits>

#include "common/text/money.h"

namespace {

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

// Narrow integers: the value widened to 64 bits, one added or subtracted,
// the low bits stored; 1 when the 64-bit result left the type's range.
template <class T>
int nPasEntierEtroit(const void* pObjet, int nPas)
{
    CAny& v = Owner(pObjet);
    const int64_t n = static_cast<int64_t>(v._tLit<T>()) + nPas;
    v._Ecrit(static_cast<T>(n));
    return n < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
                   n > static_cast<int64_t>(std::numeric_limits<T>::max())
               ? 1
               : 0;
}

// 64-bit integers wrap in unsigned arithmetic.
uint64_t nPas64(const void* pObjet, int nPas)
{
    CAny& v = Owner(pObjet);
    const uint64_t n = v._tLit<uint64_t>() + static_cast<uint64_t>(static_cast<int64_t>(nPas));
    v._Ecrit(n);
    return n;
}

template <class T>
int bSigneClair(const void* pObjet)
{
    return Owner(pObjet)._tLit<T>() >= 0 ? 1 : 0;
}

int nPasMonnaie(const void* pObjet, bool bPlus)
{
    CAny& v = Owner(pObjet);
    CMoney st = v._tLit<CMoney>();
    if (pstAddMonetaire(&st, bPlus ? &gstMillion : &gstMoinsMillion) == nullptr)
        return 1;
    v._Ecrit(st);
    return 0;
}

int nPasReel4(const void* pObjet, double dPas)
{
    constexpr double kMax = 3.4028234663852886e38;
    CAny& v = Owner(pObjet);
    const double d = static_cast<double>(v._tLit<float>()) + dPas;
    const bool bHors = d < -kMax || d > kMax;
    // Converting a finite double beyond the float range is undefined: store
    // the infinity it stands for.
    const float f = !bHors || d != d ? static_cast<float>(d)
                                     : (d > 0 ? std::numeric_limits<float>::infinity()
                                              : -std::numeric_limits<float>::infinity());
    v._Ecrit(f);
    return bHors ? 1 : 0;
}

}  // namespace

int CAny_ZLBOOL::SetValue(const void* p, unsigned long n)
{
    unsigned char aby[4] = {0, 0, 0, 0};
    if (p != nullptr)
        std::memcpy(aby, p, n < 4 ? n : 4);
    return s_nEcritValeur(this, aby, 4);
}

int CAny_ZLUI1::nIncremente() { return nPasEntierEtroit<uint8_t>(this, 1); }
int CAny_ZLUI1::nDecremente() { return nPasEntierEtroit<uint8_t>(this, -1); }
int CAny_ZLUI2::nIncremente() { return nPasEntierEtroit<uint16_t>(this, 1); }
int CAny_ZLUI2::nDecremente() { return nPasEntierEtroit<uint16_t>(this, -1); }
int CAny_ZLUI4::nIncremente() { return nPasEntierEtroit<uint32_t>(this, 1); }
int CAny_ZLUI4::nDecremente() { return nPasEntierEtroit<uint32_t>(this, -1); }

int CAny_ZLUI8::nIncremente() { return static_cast<int>(nPas64(this, 1) >> 63); }
int CAny_ZLUI8::nDecremente() { return static_cast<int>(nPas64(this, -1) >> 63); }

int CAny_ZLI1::bIsPositive() const { return bSigneClair<int8_t>(this); }
int CAny_ZLI1::nIncremente() { return nPasEntierEtroit<int8_t>(this, 1); }
int CAny_ZLI1::nDecremente() { return nPasEntierEtroit<int8_t>(this, -1); }
int CAny_ZLI2::bIsPositive() const { return bSigneClair<int16_t>(this); }
int CAny_ZLI2::nIncremente() { return nPasEntierEtroit<int16_t>(this, 1); }
int CAny_ZLI2::nDecremente() { return nPasEntierEtroit<int16_t>(this, -1); }
int CAny_ZLI4::bIsPositive() const { return bSigneClair<int32_t>(this); }
int CAny_ZLI4::nIncremente() { return nPasEntierEtroit<int32_t>(this, 1); }
int CAny_ZLI4::nDecremente() { return nPasEntierEtroit<int32_t>(this, -1); }

int CAny_ZLI8::bIsPositive() const { return bSigneClair<int64_t>(this); }
int CAny_ZLI8::nIncremente()
{
    (void)nPas64(this, 1);
    return 0;
}
int CAny_ZLI8::nDecremente()
{
    (void)nPas64(this, -1);
    return 0;
}

// The sign lies in the last 16-bit word.
int CAny_ZLCY::bIsPositive() const { return (Owner(this)._tLit<CMoney>().m_awMot[4] & 0x8000) == 0 ? 1 : 0; }
int CAny_ZLCY::nIncremente() { return nPasMonnaie(this, true); }
int CAny_ZLCY::nDecremente() { return nPasMonnaie(this, false); }

int CAny_ZLR4::bIsPositive() const { return Owner(this)._tLit<float>() >= 0.0f ? 1 : 0; }
int CAny_ZLR4::nIncremente() { return nPasReel4(this, 1.0); }
int CAny_ZLR4::nDecremente() { return nPasReel4(this, -1.0); }

int CAny_ZLR8::bIsPositive() const { return Owner(this)._tLit<double>() >= 0.0 ? 1 : 0; }
int CAny_ZLR8::nIncremente()
{
    CAny& v = Owner(this);
    v._Ecrit(v._tLit<double>() + 1.0);
    return 0;
}
int CAny_ZLR8::nDecremente()
{
    CAny& v = Owner(this);
    v._Ecrit(v._tLit<double>() - 1.0);
    return 0;
}

int CAny_ZLUIX::nIncremente()
{
    (void)nPas64(this, 1);
    return 0;
}
int CAny_ZLUIX::nDecremente()
{
    (void)nPas64(this, -1);
    return 0;
}
