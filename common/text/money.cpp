#include "common/text/money.h"

#include "common/text/money_units.h"

using namespace money_units;

const CMoney gstMillion = {{0x4240, 0x000F, 0, 0, 0}};
const CMoney gstMoinsMillion = {{0xBDC0, 0xFFF0, 0xFFFF, 0xFFFF, 0xFFFF}};
const CMoney gstVersLong = {{0, 1, 0, 0, 0}};

namespace {

// 10^(6 - n): one unit of the n-th decimal.
UInt nDecimalStep(int n)
{
    UInt step = 1;
    for (int i = n; i < 6; ++i)
        step *= 10;
    return step;
}

// The magnitude of a x b / 1,000,000, rounded halves away from zero, or
// false when it reaches 2^79. The magnitudes are at most 2^79, so the
// product needs up to 158 bits: three 64-bit limbs.
bool bMulMagnitudes(UInt a, UInt b, UInt* pResult)
{
    const uint64_t a0 = static_cast<uint64_t>(a), a1 = static_cast<uint64_t>(a >> 64);
    const uint64_t b0 = static_cast<uint64_t>(b), b1 = static_cast<uint64_t>(b >> 64);
    const UInt p00 = static_cast<UInt>(a0) * b0;
    const UInt mid = static_cast<UInt>(a0) * b1 + static_cast<UInt>(a1) * b0;  // a1, b1 < 2^16: no carry out
    const UInt p11 = static_cast<UInt>(a1) * b1;
    uint64_t limb[3];
    limb[0] = static_cast<uint64_t>(p00);
    UInt carry = (p00 >> 64) + static_cast<uint64_t>(mid);
    limb[1] = static_cast<uint64_t>(carry);
    carry = (carry >> 64) + (mid >> 64) + p11;
    limb[2] = static_cast<uint64_t>(carry);
    // Long division by 1,000,000, top limb first.
    UInt rem = 0;
    uint64_t q[3];
    for (int i = 2; i >= 0; --i) {
        const UInt cur = (rem << 64) | limb[i];
        q[i] = static_cast<uint64_t>(cur / kMillion);
        rem = cur % kMillion;
    }
    if (q[2] != 0)
        return false;
    UInt quotient = (static_cast<UInt>(q[1]) << 64) | q[0];
    if (2 * rem >= static_cast<UInt>(kMillion))
        ++quotient;
    if (quotient >= kMagnitudeLimit)
        return false;
    *pResult = quotient;
    return true;
}

CMoney* pstFromInteger(CMoney* pst, Int n)
{
    return pstStore(pst, n * kMillion);
}

// Integer part toward zero of a magnitude, counting a fraction within
// 1/131,072 of the next integer as that integer.
UInt nScaledInteger(UInt mag)
{
    return RoundedQuotient(mag * 65536, static_cast<UInt>(kMillion)) >> 16;
}

}  // namespace

CMoney* pstInt32VersMonetaire(CMoney* pst, int n) { return pstFromInteger(pst, n); }
CMoney* pstTresLongVersMonetaire(CMoney* pst, long n) { return pstFromInteger(pst, n); }
CMoney* pstTresLongSansSigneVersMonetaire(CMoney* pst, unsigned long n) { return pstFromInteger(pst, static_cast<Int>(n)); }

namespace {

Int nRoundedInteger(const CMoney* pst)
{
    const Int v = Get(pst);
    return Signed(RoundedQuotient(Magnitude(v), static_cast<UInt>(kMillion)), v < 0);
}

}  // namespace

int lMonetaireVersInt32(const CMoney* pst) { return static_cast<int>(static_cast<uint32_t>(nRoundedInteger(pst))); }
long lMonetaireVersTresLong(const CMoney* pst) { return static_cast<long>(static_cast<uint64_t>(nRoundedInteger(pst))); }
unsigned long lMonetaireVersTresLongSansSigne(const CMoney* pst)
{
    return static_cast<unsigned long>(nRoundedInteger(pst));
}

bool bMonetaireVersInt32(const CMoney* pst, int* pn)
{
    const Int v = Get(pst);
    const Int n = Signed(nScaledInteger(Magnitude(v)), v < 0);
    if (n < INT32_MIN || n > INT32_MAX)
        return false;
    *pn = static_cast<int>(n);
    return true;
}

bool bMonetaireVersTresLong(const CMoney* pst, long* pn)
{
    const Int v = Get(pst);
    // |value| < 2^60: always fits.
    *pn = static_cast<long>(Signed(nScaledInteger(Magnitude(v)), v < 0));
    return true;
}

bool bMonetaireVersTresLongSansSigne(const CMoney* pst, unsigned long* pn)
{
    // The quotient's magnitude stays below 2^60, so its top word is 0 or
    // 0xFFFF: it always fits the 64-bit pattern.
    *pn = static_cast<unsigned long>(nRoundedInteger(pst));
    return true;
}

int nCmpMonetaire(const CMoney* a, const CMoney* b)
{
    if (a == nullptr)
        return 1;
    if (b == nullptr)
        return -1;
    const Int x = Get(a), y = Get(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

int nCmpMonetaireEtInt32(const CMoney* pst, int n)
{
    const Int x = Get(pst), y = static_cast<Int>(n) * kMillion;
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool bMonetaireZero(const CMoney* pst)
{
    for (uint16_t w : pst->m_awMot)
        if (w != 0)
            return false;
    return true;
}

CMoney* pstAddMonetaire(CMoney* pst, const CMoney* pOther)
{
    const Int sum = Get(pst) + Get(pOther);
    // The smallest value is kept out of sums: it has no positive twin.
    if (sum == kMin)
        return nullptr;
    return pstStore(pst, sum);
}

CMoney* pstSubMonetaire(CMoney* pst, const CMoney* pOther)
{
    // Subtracted directly: negating the smallest value would give itself.
    return pstStore(pst, Get(pst) - Get(pOther));
}

CMoney* pstMulMonetaire(CMoney* pst, const CMoney* pOther)
{
    const Int a = Get(pst), b = Get(pOther);
    UInt mag;
    if (!bMulMagnitudes(Magnitude(a), Magnitude(b), &mag))
        return nullptr;
    Put(pst, Signed(mag, (a < 0) != (b < 0)));
    return pst;
}

CMoney* pstDivMonetaire(CMoney* pst, const CMoney* pOther)
{
    const Int a = Get(pst), b = Get(pOther);
    if (b == 0)
        return nullptr;
    // At most 2^79 x 10^6 < 2^100: the dividend fits in 128 bits.
    const UInt mag = RoundedQuotient(Magnitude(a) * static_cast<UInt>(kMillion), Magnitude(b));
    if (mag >= kMagnitudeLimit)
        return nullptr;
    Put(pst, Signed(mag, (a < 0) != (b < 0)));
    return pst;
}

bool bIncrementeMonetaire(CMoney* pst) { return pstAddMonetaire(pst, &gstMillion) != nullptr; }
bool bDecrementeMonetaire(CMoney* pst) { return pstAddMonetaire(pst, &gstMoinsMillion) != nullptr; }

void NegMonetaire(CMoney* pst)
{
    Put(pst, -Get(pst));  // the smallest value wraps to itself, in 80 bits
}

CMoney* pstAbsMonetaire(CMoney* pst)
{
    const Int v = Get(pst);
    return pstStore(pst, v < 0 ? -v : v);
}

CMoney* pstEntMonetaire(CMoney* pst)
{
    const Int v = Get(pst);
    Int r = v % kMillion;
    if (r < 0)
        r += kMillion;
    return pstStore(pst, v - r);
}

CMoney* pstDecMonetaire(CMoney* pst)
{
    Put(pst, static_cast<Int>(Magnitude(Get(pst)) % kMillion));
    return pst;
}

CMoney* pstArrMonetaire(CMoney* pst, short n)
{
    if (n < 0 || n > 5)
        return pst;
    const Int v = Get(pst);
    const UInt step = nDecimalStep(n);
    const UInt mag = (Magnitude(v) + step / 2) / step * step;
    return pstStore(pst, Signed(mag, v < 0));
}

namespace {

CMoney* pstArrInfSup(CMoney* pst, short n, bool bUp)
{
    if (n < 0 || n > 5)
        return pst;
    const Int v = Get(pst);
    const Int step = static_cast<Int>(nDecimalStep(n));
    Int r = v % step;
    if (r == 0)
        return pst;
    if (r < 0)
        r += step;
    const Int down = v - r;  // toward minus infinity
    return pstStore(pst, bUp ? down + step : down);
}

}  // namespace

CMoney* pstArrMonetaireInf(CMoney* pst, short n) { return pstArrInfSup(pst, n, false); }
CMoney* pstArrMonetaireSup(CMoney* pst, short n) { return pstArrInfSup(pst, n, true); }

bool bMul10Monetaire(CMoney* pst) { return bMulMonetaireWord(pst, 10, L'0'); }

bool bMulMonetaireWord(CMoney* pst, unsigned short wFactor, wchar_t cDigit)
{
    const Int v = Get(pst);
    const Int mag = static_cast<Int>(Magnitude(v)) * wFactor + (static_cast<Int>(cDigit) - L'0');
    if (mag < 0 || static_cast<UInt>(mag) >= kMagnitudeLimit)
        return false;
    Put(pst, Signed(static_cast<UInt>(mag), v < 0));
    return true;
}

void SetMonetaireToMin(CMoney* pst) { Put(pst, kMin); }
void SetMonetaireToMax(CMoney* pst) { Put(pst, kMax); }

void MonetaireVersCleQF(unsigned char* pbyKey, const CMoney* pst)
{
    for (int i = 0; i < 10; ++i) {
        const uint16_t w = pst->m_awMot[(9 - i) / 2];
        pbyKey[i] = static_cast<unsigned char>((9 - i) % 2 ? w >> 8 : w);
    }
    pbyKey[0] ^= 0x80;
}
