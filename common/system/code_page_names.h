#pragma once

// Windows code page numbers as the C library's iconv knows them.

// The iconv name of a code page: 0 and every number missing from the table
// (negative ones included) are "CP1252", 1 is "CP437", 65001 is "UTF-8".
const char* CodePageToIConv(int nCodePage);

// The wide-side names that MultiByteToWideChar tries, in order; the first
// four drop invalid input, the last four make it fail.
extern const char* const TabToCode[8];
