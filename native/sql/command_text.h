#pragma once

// Bounded readers of SQL text that the command's rewritings share: every
// position is checked against the text's length before it is read.
#include <cstdint>

// Whether nWord characters at nAt equal the word, letters compared by their
// ASCII upper case; false when they do not all lie inside the text.
bool NA_bMatchWord(const wchar_t* pszText, long nText, long nAt, const wchar_t* pszWord, long nWord);
// The first position at or after nAt that is not an SQL blank (nText at
// most).
long NA_nSkipBlanks(const wchar_t* pszText, long nText, long nAt);
// The decimal digits at *pnAt as a number, *pnAt moved behind them; false,
// nothing changed, when no digit stands there or the number passes 64 bits.
bool NA_bReadNumber(const wchar_t* pszText, long nText, long* pnAt, int64_t* pllValue);
