#pragma once

#include "common/text/info_locale.h"

// What the library does by itself while the host has published no locale
// interface: the same contract as IInfoLocale, without any language.
//
// Characters are folded one by one: flag 2 removes the accent of the Latin
// letters (U+00C0-U+00FF with the table pToNoAccentUpper_Latin1, and
// Š š Ž ž Ÿ), keeping the case; then flag 1 gives towupper, or, without it,
// flag 0x100 towlower (process LC_CTYPE). Flag 4 drops white space and
// punctuation. Comparison is code-point order of the folded texts (8-bit:
// unsigned bytes of code page 1252), a text that is a prefix of the other
// first; answers are -1, 0, 1. Maps follow the interface's capacity rules.
// The sort key is the text's own bytes. Locale ids are ignored; the current
// code page is 0 (1252), the character set 0, both locale ids 1024.
class CInfoLocaleFallback final : public IInfoLocale
{
public:
    int _vnReserve0() override { return 0; }
    int _vnReserve1() override { return 0; }
    int nGetCurrentCharset() override { return 0; }
    int nGetCurrentCodePage() override { return 0; }
    unsigned nGetCurrentLCID() override { return LOCALE_ID_USER_DEFAULT; }
    int nCompareStringLocaleA(unsigned lcid, unsigned flags, const char* s1, int n1, const char* s2, int n2) override;
    int nCompareStringLocaleW(unsigned lcid, unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) override;
    int nCompareStringA(unsigned flags, const char* s1, int n1, const char* s2, int n2) override;
    int nCompareStringW(unsigned flags, const wchar_t* s1, int n1, const wchar_t* s2, int n2) override;
    int nMapSortKeyA(unsigned lcid, char* dst, int capacity, const char* src, int srcLen) override;
    int _vnReserve10() override { return 0; }
    int nMapStringLocaleA(unsigned lcid, unsigned flags, char* dst, int capacity, const char* src, int srcLen) override;
    int nMapStringLocaleW(unsigned lcid, unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) override;
    int nMapStringA(unsigned flags, char* dst, int capacity, const char* src, int srcLen) override;
    int nMapStringW(unsigned flags, wchar_t* dst, int capacity, const wchar_t* src, int srcLen) override;
    unsigned nGetSafeCurrentLCID() override { return LOCALE_ID_USER_DEFAULT; }

    // One character folded as described above.
    static wchar_t cFoldW(unsigned flags, wchar_t c);
    static unsigned char cFoldA(unsigned flags, unsigned char c);
};
