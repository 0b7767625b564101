// Cutting a printf format to the arguments its caller gave, so that the
// formatter never reads an argument that was not passed (a message text may
// take more inserts than the code that raises it supplies).
//
// The scan is deliberately loose: a conversion is '%', any run of the
// characters that may stand inside a conversion (position, flags, width,
// precision, size prefixes of both conventions) and the first character
// that may not. Each '*' reads an argument, and so does every conversion
// character except "%%", "%m" and characters the C library does not know
// (it knows "%b" and "%B", binary integers). "%n", which writes through its
// argument, is always taken out, with what would be read in turn after it.
// Counting too many only cuts earlier; counting too few would let the C
// library read past the list, so unknown shapes are read generously.
//
// The same scan reads the printf format of a "%n!fmt!" insert, which must
// read exactly the insert's arguments; there each conversion must also have
// the plain shape that the C library reads as the scan does.
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/format_message.h"

namespace {

template <class T>
bool bDigit(T c)
{
    return c >= '0' && c <= '9';
}

template <class T>
bool bSpecChar(T c)
{
    // Flags (glibc's 'I' among them), width and precision, "n$" positions,
    // and the size prefixes h hh l ll L q j z Z t, w and I64 / I32 / I.
    return bDigit(c) || c == '$' || c == '-' || c == '+' || c == ' ' || c == '#' || c == '\'' || c == '*' ||
           c == '.' || c == 'h' || c == 'l' || c == 'L' || c == 'q' || c == 'j' || c == 'z' || c == 'Z' ||
           c == 't' || c == 'w' || c == 'I';
}

template <class T>
bool bReadsArgument(T c)
{
    switch (c) {
    case 'd': case 'i': case 'o': case 'u': case 'x': case 'X': case 'b': case 'B':
    case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
    case 'c': case 'C': case 's': case 'S': case 'p': case 'n':
        return true;
    default:
        return false;
    }
}

// Digits at p followed by '$': the position (1 or more), p moved past the
// '$'; 0 and p unchanged otherwise. Positions beyond any list read as huge.
template <class T>
int nPosition(const T*& p)
{
    const T* q = p;
    long n = 0;
    while (bDigit(*q)) {
        if (n < 1000000)
            n = n * 10 + (*q - '0');
        ++q;
    }
    if (q == p || *q != '$')
        return 0;
    p = q + 1;
    return n > 0 ? static_cast<int>(n) : 1000000;
}

// What one conversion reads, scanned from just past its '%' ("%%" aside).
template <class T>
struct Conversion
{
    const T* pStart = nullptr;  // its first character after the '%'
    const T* pEnd = nullptr;    // past its last character
    int nPosition = 0;          // its "n$" position, 0 without
    int nHighestStar = 0;       // the highest "*n$" position, 0 without
    int nSequential = 0;        // arguments read in turn: '*' without a position, the value without one
    T cConversion = 0;          // the character that ends it, 0 at the end of the format
    bool bReadsValue = false;   // that character reads an argument
};

template <class T>
Conversion<T> ReadConversion(const T*& p)
{
    Conversion<T> c;
    c.pStart = p;
    c.nPosition = nPosition(p);
    while (bSpecChar(*p)) {
        if (*p == '*') {
            ++p;
            const int nStar = nPosition(p);
            if (nStar == 0)
                ++c.nSequential;
            else if (nStar > c.nHighestStar)
                c.nHighestStar = nStar;
            continue;
        }
        ++p;
    }
    c.cConversion = *p;
    c.bReadsValue = *p && bReadsArgument(*p);
    if (c.bReadsValue && c.nPosition == 0)
        ++c.nSequential;
    if (*p)
        ++p;
    c.pEnd = p;
    return c;
}

// Walks the format; writes the cut format to out when out is not null.
// Returns the number of conversions taken out.
template <class T>
size_t Walk(const T* pszFormat, int nArgs, T* out)
{
    size_t nCut = 0;
    size_t n = 0;
    int nUsed = 0;
    bool bExhausted = false;
    const T* p = pszFormat;
    while (*p) {
        if (*p != '%') {
            if (out)
                out[n] = *p;
            ++n;
            ++p;
            continue;
        }
        const T* start = p++;
        if (*p == '%') {
            if (out) {
                out[n] = '%';
                out[n + 1] = '%';
            }
            n += 2;
            ++p;
            continue;
        }
        const Conversion<T> c = ReadConversion(p);
        bool bBeyond = c.nPosition > nArgs || c.nHighestStar > nArgs;
        // "%n" writes through its argument: it is never kept, and the
        // conversions read in turn after it would take its argument.
        if (c.cConversion == 'n')
            bExhausted = bBeyond = true;
        // Read in turn, a conversion that does not fit leaves the following
        // ones without their arguments too.
        if (c.nSequential > 0 && (bExhausted || nUsed + c.nSequential > nArgs)) {
            bExhausted = true;
            bBeyond = true;
        }
        if (bBeyond) {
            ++nCut;
            continue;
        }
        nUsed += c.nSequential;
        while (start < p) {
            if (out)
                out[n] = *start;
            ++n;
            ++start;
        }
    }
    if (out)
        out[n] = 0;
    return nCut;
}

template <class T>
bool bFloating(T c)
{
    return c == 'e' || c == 'E' || c == 'f' || c == 'F' || c == 'g' || c == 'G' || c == 'a' || c == 'A';
}

// A floating conversion whose size the C library reads as a double: none or
// one 'l'. "L", "q" and "ll" (and "I64" and "wl", which become "ll") read a
// long double, from memory the insert does not give.
template <class T>
bool bReadsADouble(const Conversion<T>& c)
{
    int nL = 0;
    for (const T* q = c.pStart; q + 1 < c.pEnd; ++q) {
        if (*q == 'l')
            ++nL;
        else if (!bDigit(*q) && *q != '-' && *q != '+' && *q != ' ' && *q != '#' && *q != '\'' && *q != '*' &&
                 *q != '.')
            return false;
    }
    return nL <= 1;
}

// At most this many digits in a width or precision of an insert: the C
// library refuses one beyond an int, and pads to a smaller one in full
// before the message is cut to its room.
constexpr int kInsertNumberDigits = 5;

// A '*' or a number of at most kInsertNumberDigits digits at q, q moved past
// it; true also for nothing there.
template <class T>
bool bInsertNumber(const T*& q, const T* end)
{
    if (q < end && *q == '*') {
        ++q;
        return true;
    }
    int nDigits = 0;
    while (q < end && bDigit(*q)) {
        ++q;
        ++nDigits;
    }
    return nDigits <= kInsertNumberDigits;
}

// A conversion of an insert written as the C library reads it, and as the
// Windows form is converted for it (windows_format.cpp): flags, a width, a
// precision and one size, in that order, then its character. In another
// shape the scan, the conversion and the C library may end the conversion
// at different places ("%1-%c", "%$%n": the second conversion would read
// or write an argument the insert does not give), or the C library refuses
// the whole format.
template <class T>
bool bPlainShape(const Conversion<T>& c)
{
    if (c.cConversion == 0 || c.cConversion == '%')
        return false;
    const T* q = c.pStart;
    const T* const end = c.pEnd - 1;
    while (q < end && (*q == '-' || *q == '+' || *q == ' ' || *q == '#' || *q == '0' || *q == '\''))
        ++q;
    if (!bInsertNumber(q, end))
        return false;
    if (q < end && *q == '.' && !bInsertNumber(++q, end))
        return false;
    if (q == end)
        return true;
    static constexpr const char* kSizes[] = {"hh", "h", "ll", "l", "w", "I64", "I32",
                                             "I",  "L", "q",  "j", "z", "Z",   "t"};
    for (const char* pszSize : kSizes) {
        const T* r = q;
        while (*pszSize != 0 && r < end && *r == static_cast<T>(*pszSize)) {
            ++r;
            ++pszSize;
        }
        if (*pszSize == 0 && r == end)
            return true;
    }
    return false;
}

template <class T>
T InsertConversion(const T* pszFormat, int nStars)
{
    if (pszFormat == nullptr)
        return 0;
    T cValue = 0;
    const T* p = pszFormat;
    while (*p) {
        if (*p++ != '%')
            continue;
        if (*p == '%') {
            ++p;
            continue;
        }
        const Conversion<T> c = ReadConversion(p);
        // The insert's arguments are handed over in turn: a position would
        // read them out of turn, as other types, or past them.
        if (c.nPosition != 0 || c.nHighestStar != 0 || c.cConversion == 'n')
            return 0;
        if (!bPlainShape(c))
            return 0;
        if (c.nSequential == 0)
            continue;
        if (cValue != 0 || !c.bReadsValue || c.nSequential != nStars + 1)
            return 0;
        if (bFloating(c.cConversion) && !bReadsADouble(c))
            return 0;
        cValue = c.cConversion;
    }
    return cValue;
}

template <class T>
int nCut(const T* pszFormat, int nArgs, T** ppszCut)
{
    *ppszCut = nullptr;
    if (pszFormat == nullptr || nArgs < 0 || Walk<T>(pszFormat, nArgs, nullptr) == 0)
        return 0;
    size_t nLength = 0;
    while (pszFormat[nLength])
        ++nLength;
    // The cut format is never longer than the format.
    T* cut = static_cast<T*>(std::malloc((nLength + 1) * sizeof(T)));
    if (cut == nullptr)
        return -1;
    Walk<T>(pszFormat, nArgs, cut);
    *ppszCut = cut;
    return 1;
}

}  // namespace

int __nCutFormatToArguments(const wchar_t* pszFormat, int nArgs, wchar_t** ppszCut)
{
    return nCut(pszFormat, nArgs, ppszCut);
}

int __nCutFormatToArguments(const char* pszFormat, int nArgs, char** ppszCut)
{
    return nCut(pszFormat, nArgs, ppszCut);
}

wchar_t __cInsertConversion(const wchar_t* pszFormat, int nStars)
{
    return InsertConversion(pszFormat, nStars);
}
