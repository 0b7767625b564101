#pragma once

// Encoding wide text as UTF-8 and decoding UTF-8 into wide text or UTF-16
// units (unsigned short). Code points above U+10FFFF, negative values and
// undecodable bytes become "?".

// One character and a terminator (out holds 5 bytes); returns the bytes
// written without the terminator.
int UTF32ToUTF8(unsigned int c, char* pszOut);

// The whole text and a terminator; the caller sizes dst with UTF8ByteLen + 1.
// A null text writes nothing. Returns the bytes written without terminator.
int WideToUTF8(char* pszDst, const wchar_t* pszText);
// Stops before the first character that would leave no room for the
// terminator; always terminated (capacity 0: nothing written).
int WideToUTF8(char* pszDst, int nCapacity, const wchar_t* pszText);
// n characters (-1: through the terminator, which is encoded too); stops
// before a sequence that does not fit; writes no terminator of its own.
// Returns the bytes written (0 for a null text).
int nWideToUTF8(char* pszDst, int nCapacity, const wchar_t* pszText, int n);

// Capacity 0: nothing; else at most capacity - 1 characters decoded up to the
// text's terminator, then a terminator. Returns the characters decoded.
int UTF8ToWide(wchar_t* pszDst, int nCapacity, const char* pszText);
// Decodes n bytes (-1: through the terminator) while the destination has
// room; returns the characters written.
int nUTF8ToWide(wchar_t* pszDst, int nCapacity, const char* pszText, int n);

// UTF-16 units for n bytes (-1: up to the terminator): one per code point up
// to U+FFFF, two above.
int UTF8ToUTF16Len(const char* pszText, int n);
// Writes one unit per code point up to U+FFFF and a surrogate pair above; a
// pair is written only while at least three units of capacity remain (the
// conversion stops there). No terminator. Returns the units written.
int UTF8ToUTF16(unsigned short* pDst, int nCapacity, const char* pszText, int n);
