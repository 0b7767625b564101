#pragma once

#include <cstddef>

// Measuring, stepping, validating and decoding UTF-8. Invalid input never
// stops a decoder: stray continuation bytes and cut sequences give "?", and
// nothing ever steps over a terminator.

// Sequence length by lead byte / 4: 1 for ASCII, 0 for a continuation byte,
// then 2, 3, 4, 5 and 6 by the lead's high bits.
extern const unsigned char TabUTF8len[64];

// Sequence length by lead byte as the resource and record layers count it:
// below 0x80 1, below 0xE0 2 (continuation bytes included), below 0xF0 3,
// below 0xF8 4, below 0xFC 5, below 0xFE 6, 0xFE and 0xFF 1.
int STR_nGetNbByteUTF8(unsigned char nLead);

// Position after the sequence at p: its length by TabUTF8len, cut short at
// the first following byte that is not a continuation byte. A continuation
// byte at p is taken like a six-byte lead.
const char* UTF8next(const char* p);
char* UTF8next(char* p);
// The length UTF8next steps over.
int UTF8Len(const char* p);

// Characters of a text: the bytes before the terminator that are not
// continuation bytes (within the first n bytes; n below 1 gives 0).
size_t StrLenUTF8(const char* pszText);
size_t StrNLenUTF8(const char* pszText, long n);

// Number of UTF8next steps to the terminator.
size_t UTF8ToWideLen(const char* pszText);

// UTF-8 bytes a wide text needs without terminator: 1 below U+0080, 2 below
// U+0800, 3 below U+10000, 4 up to U+10FFFF, 1 (the "?") above.
size_t UTF8ByteLen(const wchar_t* pszText);
// The same over at most n characters, plus 1 for the terminator when the
// text ends within them; n below 1 gives 0.
size_t UTF8ByteLenTotal(const wchar_t* pszText, long n);

// Decodes the first character within *pnLength bytes: stores its byte count
// (1 to 4) in *pnLength and returns its code point; -1 and length 0 for a null
// text, a length below 1, a missing or wrong continuation byte or a lead of
// 0xF8 or more. Leads 0x80 to 0xDF are read as two-byte leads.
int UTF8FirstChar(const char* pszText, int* pnLength);

// 1 when the bytes (nLength -1: up to the terminator) are ASCII or whole,
// well-formed two-, three- and four-byte sequences; a terminator ends the
// check. A null text is valid only with length 0.
int UTF8Valide(const char* pszText, int nLength);

// Decodes the sequence at *pp and advances over it. A continuation byte as
// lead, or a sequence cut short by a byte that is not a continuation byte
// (the terminator included), gives "?" and advances only over the bytes that
// belong to it.
wchar_t UTF8_GetNext(const char** pp);
// The same within *pnRemaining bytes: a sequence longer than the remainder
// gives "?" and sets the remainder to 0 without advancing; otherwise the
// remainder drops by the bytes consumed.
wchar_t UTF8_GetNext(const char** pp, int* pnRemaining);
