#pragma once

#include <cstddef>
#include <cstdint>

// The runtime's currency value: an exact count of millionths in 80 bits,
// two's complement, held as five 16-bit words, least significant first. The
// value is units / 1,000,000; the range is -2^79 to 2^79 - 1 units (about
// +/- 6.04 x 10^17). The host keeps it in its values byte for byte.
struct CMoney
{
    uint16_t m_awMot[5];
};

static_assert(sizeof(CMoney) == 10 && alignof(CMoney) == 2, "five 16-bit words, least significant first");

// 1.0, -1.0, and 65,536 units (the factor of the integer conversions).
extern const CMoney gstMillion;
extern const CMoney gstMoinsMillion;
extern const CMoney gstVersLong;

// Characters a text of a currency value may need, terminator included
// (decimal, hexadecimal and octal forms alike).
constexpr size_t MONETAIRE_TAILLE_TEXTE = 32;

// Every function takes the value first: the one read, or the one changed in
// place and returned. A null result means failure (overflow, division by
// zero, a value that cannot be read); the value is then left as it was.

// Text to value: leading blanks (U+0020), an optional sign ('+', '-',
// U+FF0B, U+FF0D), integer digits, then '.' and up to six decimals (later
// digits are ignored, not rounded). The first other character ends the
// number; null when the magnitude reaches 2^79 units.
CMoney* pstChaineVersMonetaire(CMoney* pst, const wchar_t* psz);
// Raw units from hexadecimal digits (after leading blanks, at most the first
// 20 of the run); the caller's text is turned to upper case in place.
CMoney* pstChaineHexaVersMonetaire(CMoney* pst, wchar_t* psz);
// The real number rounded to six decimals; null for infinities, NaN and
// values out of range. Independent of the process's numeric locale.
CMoney* pstDoubleVersMonetaire(CMoney* pst, double d);
CMoney* pstInt32VersMonetaire(CMoney* pst, int n);
CMoney* pstTresLongVersMonetaire(CMoney* pst, long n);
CMoney* pstTresLongSansSigneVersMonetaire(CMoney* pst, unsigned long n);

// Texts into a buffer of at least MONETAIRE_TAILLE_TEXTE characters; each
// returns the buffer. Decimal: "1.5", "-2", "0.000001", "0". Hexadecimal:
// the 80 bits, upper case, leading zeros removed ("0" for zero). Octal: the
// 80 bits sign-extended to 27 digits, leading zeros removed.
wchar_t* pszMonetaireVersChaineC(const CMoney* pst, wchar_t* pszBuffer);
wchar_t* pszMonetaireVersChaineHexa(const CMoney* pst, wchar_t* pszBuffer);
wchar_t* pszMonetaireVersChaineOctale(const CMoney* pst, wchar_t* pszBuffer);
// The nearest double to the decimal value.
double dMonetaireVersDouble(const CMoney* pst);

// units / 1,000,000 rounded to nearest, halves away from zero, then cut to
// the width of the result.
int lMonetaireVersInt32(const CMoney* pst);
long lMonetaireVersTresLong(const CMoney* pst);
unsigned long lMonetaireVersTresLongSansSigne(const CMoney* pst);
// The integer part (toward zero), except that a fraction within 1/131,072
// of the next integer counts as that integer. bMonetaireVersInt32 is false
// (and *pn untouched) when the integer does not fit in an int.
bool bMonetaireVersInt32(const CMoney* pst, int* pn);
bool bMonetaireVersTresLong(const CMoney* pst, long* pn);
// units / 1,000,000 rounded to nearest, as a 64-bit pattern.
bool bMonetaireVersTresLongSansSigne(const CMoney* pst, unsigned long* pn);

// -1, 0 or 1 as signed numbers; a null first operand gives 1, a null second
// -1.
int nCmpMonetaire(const CMoney* a, const CMoney* b);
int nCmpMonetaireEtInt32(const CMoney* pst, int n);
bool bMonetaireZero(const CMoney* pst);

// Arithmetic in place; the other operand may be the same object.
// Addition also refuses a sum equal to the smallest value.
CMoney* pstAddMonetaire(CMoney* pst, const CMoney* pOther);
CMoney* pstSubMonetaire(CMoney* pst, const CMoney* pOther);
// Product and quotient keep six decimals, rounded halves away from zero;
// null when the magnitude reaches 2^79 units, or for a zero divisor.
CMoney* pstMulMonetaire(CMoney* pst, const CMoney* pOther);
CMoney* pstDivMonetaire(CMoney* pst, const CMoney* pOther);
// Adds 1.0 or -1.0; false (value unchanged) on overflow.
bool bIncrementeMonetaire(CMoney* pst);
bool bDecrementeMonetaire(CMoney* pst);

// Two's-complement negation (the smallest value stays as it is).
void NegMonetaire(CMoney* pst);
// Absolute value; null for the smallest value, which has no positive twin.
CMoney* pstAbsMonetaire(CMoney* pst);
// The greatest integer not above the value.
CMoney* pstEntMonetaire(CMoney* pst);
// The fractional digits as a non-negative value (0.xxxxxx).
CMoney* pstDecMonetaire(CMoney* pst);
// Rounds to n decimals, halves away from zero; n outside 0-5 leaves the
// value unchanged.
CMoney* pstArrMonetaire(CMoney* pst, short n);
// Rounds toward minus or plus infinity to n decimals; n outside 0-5 leaves
// the value unchanged.
CMoney* pstArrMonetaireInf(CMoney* pst, short n);
CMoney* pstArrMonetaireSup(CMoney* pst, short n);

// Units times 10; units times a factor plus a digit character's value, on
// the magnitude with the sign kept. False (value unchanged) when the
// magnitude would reach 2^79 units.
bool bMul10Monetaire(CMoney* pst);
bool bMulMonetaireWord(CMoney* pst, unsigned short wFactor, wchar_t cDigit);

void SetMonetaireToMin(CMoney* pst);
void SetMonetaireToMax(CMoney* pst);

// The 10-byte sortable key: the 80 bits big-endian with the top bit flipped,
// so that memcmp orders keys as the values.
void MonetaireVersCleQF(unsigned char* pbyKey, const CMoney* pst);
