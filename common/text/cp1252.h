#pragma once

// Code page 1252 and 7-bit ASCII: tests and character conversions that need
// no iconv. Bytes 0x80 to 0x9F hold the characters Windows-1252 places there;
// the five undefined ones read as U+0081, U+008D, U+008F, U+0090 and U+009D,
// but no character converts back to them.

// True, with the byte, for code points below 128, 160 to 255 and the 27
// characters of 0x80 to 0x9F; false for everything else, U+0080 to U+009F
// included. pByte may be null.
bool STR_bIsCp1252(wchar_t c, unsigned char* pByte);
bool STR_bIsCp1252(wchar_t c);
// Every character passes (an empty or null text passes).
bool STR_bIsCp1252(const wchar_t* pszText);

// Every character below 128 (the first n; n 0 passes, n below 0 is the whole
// text) / the byte below 128.
bool STR_bIsANSI7(const wchar_t* pszText);
bool STR_bIsANSI7(const wchar_t* pszText, int n);
bool STR_bIsANSI7(unsigned char nByte);

// The byte of STR_bIsCp1252, else cDefault, setting *pbUsedDefault to 1 when
// given.
char STR_ToCP1252(wchar_t c, char cDefault, int* pbUsedDefault);
// The value when below 128, else the default.
char STR_ToAnsi7(wchar_t c, char cDefault);
wchar_t STR_FromAnsi7(unsigned char nByte, wchar_t cDefault);
// The code point of a byte of code page 1252.
wchar_t STR_FromCP1252(unsigned char nByte);

// Capacity 0 or no destination: the count needed (n, or the length plus 1
// for -1). Otherwise converts the smaller count (for -1 the terminator
// included) and returns the characters written.
int STR_CP1252ToWideChar(const char* pszSrc, int n, wchar_t* pszDst, int nCapacity);

// True when the wide text survives a round trip through the code page (a
// null or empty text is compatible); a failed conversion gives false.
bool bAnsiCompatible(const wchar_t* pszText, int nCodePage);
bool bLatin1(const wchar_t* pszText);
