#pragma once

// The host runtime's locale interface. The library only calls it; the host
// implements it. Slot order is the host's: slots 0, 1 and 10 are operations
// this library never calls and are kept only to hold the layout.
//
// Comparisons answer 0 for equal, 1 when the first text is greater and any
// other value when it is smaller. Mappings answer the count of characters
// written (terminator excluded); with a null destination and capacity 0 they
// answer the count needed. A length of -1 means up to the terminator.
class IInfoLocale
{
public:
    virtual int _vnReserve0() = 0;
    virtual int _vnReserve1() = 0;
    virtual int nGetCurrentCharset() = 0;
    virtual int nGetCurrentCodePage() = 0;
    virtual unsigned nGetCurrentLCID() = 0;
    virtual int nCompareStringLocaleA(unsigned lcid, unsigned flags, const char* s1, int n1, const char* s2, int n2) = 0;
    virtual int nCompareStringLocaleW(unsigned lcid, unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) = 0;
    virtual int nCompareStringA(unsigned flags, const char* s1, int n1, const char* s2, int n2) = 0;
    virtual int nCompareStringW(unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) = 0;
    virtual int nMapSortKeyA(unsigned lcid, char* dst, int capacity, const char* src, int srcLen) = 0;
    virtual int _vnReserve10() = 0;
    virtual int nMapStringLocaleA(unsigned lcid, unsigned flags, char* dst, int capacity, const char* src, int srcLen) = 0;
    virtual int nMapStringLocaleW(unsigned lcid, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) = 0;
    virtual int nMapStringA(unsigned flags, char* dst, int capacity, const char* src, int srcLen) = 0;
    virtual int nMapStringW(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) = 0;
    virtual unsigned nGetSafeCurrentLCID() = 0;

protected:
    ~IInfoLocale() = default;
};

// Locale ids the library passes.
constexpr unsigned LOCALE_ID_USER_DEFAULT = 0x400;
constexpr unsigned LOCALE_ID_FRENCH = 0x40C;

// Comparison and mapping flags of the interface.
constexpr unsigned LOCALE_FLAG_IGNORE_CASE = 0x1;      // comparison; upper case when mapping
constexpr unsigned LOCALE_FLAG_IGNORE_ACCENTS = 0x2;
constexpr unsigned LOCALE_FLAG_IGNORE_SYMBOLS = 0x4;
constexpr unsigned LOCALE_FLAG_LOWER_CASE = 0x100;     // mapping only
