#pragma once

#include <cstddef>

// Preparing values for the text of an SQL statement, and undoing it: quotes,
// backslashes and the LIKE wildcards % and _ escaped with a chosen escape
// character E, escapes purged, escaped wildcards rewritten into a database's
// own notation. Each routine exists for 8-bit text (bytes; no code page is
// involved) and wide text, with the same rules. The quote is always ' .
// A null source reads as empty text.
//
// The psz routines return malloc'd text released with free, or null when
// memory runs out; the in-place routines only shorten their text.
//
// Escape alone does not make a MySQL literal safe: F1 doubles or prefixes
// quotes, but a backslash also needs F2 (or F3 with E = backslash). The
// driver's MySQL literals are escaped by the client library.

// Flags of Escape, in argument order:
//   F1 Q before every quote            F5 E before every bare _
//   F2 backslashes doubled (E is not   F6 an escaped % (E %) escaped again
//      the backslash)                  F7 an escaped _ (E _) escaped again
//   F3 the escape character escaped    F8 a doubled E (E E) escaped again
//   F4 E before every bare %
// Left to right, the first rule that fits: a quote (Q first with F1); E %
// (with F6: E if F3, E, E if F4, %; else E %); E _ likewise with F7, F5;
// E E (four E with F8 and F3, else two); E and anything else (two E with F3,
// else one; the next character is examined afresh); a backslash (doubled
// with F2); a bare % or _ (E first with F4 / F5); any other character
// copied. No source character gives more than two, so dst needs room for
// 2 x length + 1 characters (EscapeCapacity). A Q or E of 0 is never written
// nor matched.
void Escape(const char* pszSrc, char* pszDst, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
            char cQ, char cE);
void Escape(const wchar_t* pszSrc, wchar_t* pszDst, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
            wchar_t cQ, wchar_t cE);
char* pszEscape(const char* pszSrc, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8, char cQ,
                char cE);
wchar_t* pszEscape(const wchar_t* pszSrc, int f1, int f2, int f3, int f4, int f5, int f6, int f7, int f8,
                   wchar_t cQ, wchar_t cE);
// Characters Escape may write for a source of n characters, terminator
// included; 0 when that does not fit in a size_t.
size_t EscapeCapacity(size_t n);

// A text of exactly two quotes is left alone. Otherwise, from the last
// character down to the second: a quote preceded by a quote, or by a
// backslash when bBackslash is set, loses that preceding character and the
// scan goes on before it. So '' becomes ', '''' becomes '' and, with the
// flag, \' becomes '.
void PurgeQuote(char* psz, int bBackslash);
void PurgeQuote(wchar_t* psz, int bBackslash);
// Left to right: E followed by E, _ or % is removed and the character after
// it kept without being examined again.
void PurgeEscape(char* psz, char cE);
void PurgeEscape(wchar_t* psz, wchar_t cE);
// The same for E followed by E only.
void PurgeEscapeEscape(char* psz, char cE);
void PurgeEscapeEscape(wchar_t* psz, wchar_t cE);
// The same for a doubled backslash, then PurgeQuote with the backslash flag.
void PurgeEscapeBackSlash(char* psz);
void PurgeEscapeBackSlash(wchar_t* psz);

// Rewrites escaped wildcards: E % becomes R2 R1 R3, E _ becomes R5 R4 R6,
// E E becomes E; any other E and every other character are copied. Null
// replacement texts are empty. dst needs room for ChangeEscapeCapacity.
void ChangeEscape(const char* pszSrc, char* pszDst, const char* r1, const char* r2, const char* r3, const char* r4,
                  const char* r5, const char* r6, char cE);
void ChangeEscape(const wchar_t* pszSrc, wchar_t* pszDst, const wchar_t* r1, const wchar_t* r2, const wchar_t* r3,
                  const wchar_t* r4, const wchar_t* r5, const wchar_t* r6, wchar_t cE);
char* pszChangeEscape(const char* pszSrc, const char* r1, const char* r2, const char* r3, const char* r4,
                      const char* r5, const char* r6, char cE);
wchar_t* pszChangeEscape(const wchar_t* pszSrc, const wchar_t* r1, const wchar_t* r2, const wchar_t* r3,
                         const wchar_t* r4, const wchar_t* r5, const wchar_t* r6, wchar_t cE);
// len x max(|R2|+|R1|+|R3|, |R5|+|R4|+|R6|, 1) + 1 for a source of len
// characters and replacements of those lengths; 0 when it does not fit.
size_t ChangeEscapeCapacity(size_t len, size_t nPercent, size_t nUnderscore);

// Purges doubled and backslash-escaped quotes, puts a backslash before every
// quote, then doubles every E that escapes neither _, % nor E (nor, when E
// is the backslash, a quote). The 8-bit form takes E as the byte code page
// 1252 gives it. Nothing in the driver calls it.
char* pszVerrueEscapeMySQL(const char* pszSrc, wchar_t cE);
wchar_t* pszVerrueEscapeMySQL(const wchar_t* pszSrc, wchar_t cE);
