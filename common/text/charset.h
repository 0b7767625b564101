#pragma once

#include <cstdint>

#include "common/text/stocaw.h"

// Windows character-set numbers (0 ANSI, 128 Shift-JIS, 204 Russian ...),
// their code pages and language ids.

// The code page of a character set; 0 for a number the table does not hold.
// 0 and 255 both give 1252, 65001 gives 65001.
unsigned int dwGetCodePageFromCharset(int nCharset);
// The character set of a code page: 1252 gives 0, 0 gives 127, a code page
// the table does not hold gives -1.
int nGetCharsetFromCodePage(unsigned int nCodePage);
// The language id of a character set from 128 to 238; 0 otherwise.
unsigned short wGetLanguageID(int nCharset);
// The character set of a language id (primary language in the low 10 bits,
// sub-language in the next 6).
int nGetCharsetFromLanguage(unsigned short nLangId);
// The same for the low 16 bits of a 32-bit id.
int GetCharSetFromLanguageID(unsigned int nId);

// Option bit set for the 8-bit types that carry their code page.
constexpr unsigned int STOCAW_OPTION_CODEPAGE_MARK = 64;

// Prepares the conversion of a runtime value of type nType towards wide
// text: fills the code page of the record for the code-page types (121/122:
// 1252, 126/127: 0, 130/131: the host's current code page) and sets option
// bit 64 for them when bMark; returns the type to convert to (16 or 110 for
// those, 19 or 18 for 18, 16 or 110 for 110, chosen by bOther; any other type
// unchanged).
unsigned short PrepareConversionAnsiUnicode(unsigned short nType, unsigned int* pnOptions, STOCAW* pConversion,
                                            int bOther, int bMark);
// For the conversion of wide text to an 8-bit type: fills the code page for
// the six code-page types and returns true; false (record untouched) for
// every other type.
bool PrepareConversionUnicodeAnsi(unsigned short nType, STOCAW* pConversion);

// The code page of a character set. For 161, 162, 177, 178 and 204 it also
// sets the C library's whole locale to a name of the form "<language>.<code
// page>" and returns setlocale's answer (the address of the locale name, 0
// when refused) instead. Process-wide: call at start-up only.
uintptr_t ChangeLocale(int nCharset);
