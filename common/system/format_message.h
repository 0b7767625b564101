#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// The two FormatMessage flavours: printf-style (FormatMessageW / A, the
// resource-message layer's) and Windows "%1" inserts (FormatMessageWin).
//
// A va_list does not know how many arguments it holds, and a message text
// chosen by number may take more inserts than its caller gave. Every form
// therefore takes nArgs, the number of arguments the caller put in the list
// (or the array): a conversion or insert that would read past them is
// written as nothing, and its argument is never read. The variadic raise
// functions count their arguments at compile time and pass the count down.
// kFormatArgsUnknown (the default) leaves the format alone: the caller then
// vouches that the list holds what it reads.

constexpr unsigned int FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x100;
constexpr unsigned int FORMAT_MESSAGE_IGNORE_INSERTS = 0x200;
constexpr unsigned int FORMAT_MESSAGE_FROM_STRING = 0x400;
constexpr unsigned int FORMAT_MESSAGE_FROM_HMODULE = 0x800;
constexpr unsigned int FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
constexpr unsigned int FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x2000;
constexpr unsigned int FORMAT_MESSAGE_MAX_WIDTH_MASK = 0xFF;

// errno of a failed allocation in FormatMessageWin.
constexpr int FORMAT_MESSAGE_NO_MEMORY = static_cast<int>(0xC0000017u);
// Result of __FormatMessageWin when the output is full.
constexpr int FORMAT_MESSAGE_OUTPUT_FULL = 75;
constexpr int kFormatArgsUnknown = -1;

// pszSource is the wide format (Windows-style printf, "%s" wide), or with
// FROM_SYSTEM the text of strerror(errno). With ALLOCATE_BUFFER, pszBuffer is
// the address of a wide-text pointer that receives a malloc block (null after
// a failure), grown to nSize characters when nSize exceeds the length;
// otherwise at most nSize characters with the terminator are written there.
// pArgs points to the argument list, which is read through a copy; without
// it the format is taken as it stands. Returns the characters produced, 0 on
// failure (a text that does not fit is a failure).
unsigned int FormatMessageW(unsigned int nFlags, const void* pSource, unsigned int nMessageId, unsigned int nLanguageId,
                            wchar_t* pszBuffer, unsigned int nSize, va_list* pArgs, int nArgs = kFormatArgsUnknown);
// The 8-bit twin (C library printf, strerror(errno) as it is).
unsigned int FormatMessageA(unsigned int nFlags, const void* pSource, unsigned int nMessageId, unsigned int nLanguageId,
                            char* pszBuffer, unsigned int nSize, va_list* pArgs, int nArgs = kFormatArgsUnknown);

// Windows insert syntax: "%1" to "%999" with an optional "!printf-format!"
// (default "s", a wide text; "*" takes width and precision from the next
// arguments; a format that __cInsertConversion refuses, one that would read
// more than its insert's arguments or write through one, writes the insert
// as nothing, as a missing argument does), "%0" ends the message, "%r" CR,
// "%n" CR LF, "%t" a tab, "%b" a blank, "%c" gives c. The arguments are
// 64-bit values (integers or pointers; a floating conversion reads the 64
// bits as a double): from the list *pArgs, or with ARGUMENT_ARRAY from the
// array of 64-bit values that pArgs points to. The maximum line width is
// nFlags & 0xFF (0: line breaks of the text kept; 255: no limit and line
// breaks read as blanks). Needs FROM_STRING or FROM_SYSTEM (then
// strerror(nMessageId), or of errno for 0); FROM_HMODULE is refused.
// Returns the characters produced without the terminator; when the output
// is full, the text cut to nSize - 1 characters; 0 on failure with errno set
// (EINVAL for bad flags or insert syntax, FORMAT_MESSAGE_NO_MEMORY, or the
// code of __FormatMessageWin).
unsigned int FormatMessageWin(unsigned int nFlags, const void* pSource, unsigned int nMessageId,
                              unsigned int nLanguageId, wchar_t* pszBuffer, unsigned int nSize, va_list* pArgs,
                              int nArgs = kFormatArgsUnknown);

// The insert walk: writes the message into output (capacity characters, the
// terminator included) and *pnLength the characters written plus the
// terminator. Returns 0, FORMAT_MESSAGE_OUTPUT_FULL (the output then holds
// the text cut to capacity - 1 and a terminator) or EINVAL.
int __FormatMessageWin(const wchar_t* pszFormat, int nMaxWidth, bool bIgnoreInserts, bool bArgumentArray,
                       va_list* pArgs, int nArgs, wchar_t* pszOutput, size_t nCapacity, size_t* pnLength);

// The printf format (Windows convention, or the C library's for the 8-bit
// form) cut to nArgs arguments: each conversion that would read past them,
// its '*' values counted, is taken out, and in a format without "n$"
// positions every conversion after it too (it would read the arguments out
// of turn); so is "%n", which writes through its argument, with every
// conversion read in turn after it. "%%" and the literal text stay. Returns
// 0 when nothing is taken out (*ppszCut then null), 1 with *ppszCut a malloc
// copy of the cut format, -1 when memory runs out.
int __nCutFormatToArguments(const wchar_t* pszFormat, int nArgs, wchar_t** ppszCut);
int __nCutFormatToArguments(const char* pszFormat, int nArgs, char** ppszCut);

// The printf format of one "%n!fmt!" insert ("%" and fmt, Windows
// convention), read by the scan of the cut. The insert hands the C library
// nStars '*' values (ints) and then its value, nothing more, so the format
// is taken only when one conversion reads arguments, and it reads in turn
// exactly those: its nStars '*' and its value. Refused: a second
// conversion that reads (it would read past the insert's arguments), a '*'
// anywhere else, an "n$" position, "%n" (it writes through its argument),
// a floating conversion with a size other than one 'l' (a long double is
// read from memory the insert does not give), and any conversion, "%%"
// aside, that is not flags, a width, a precision and one size in that
// order before its character, or whose width or precision has more than
// five digits: the C library refuses such a format ("%s%", "%s%-") or
// reads it otherwise than the scan ("%d%$%n" is "%$" then "%n" to it).
// Literal text, "%%" and conversions that read nothing may follow it.
// Returns that conversion's character, which tells how the value is handed
// over (a pointer for s, S and p, a double for a floating conversion, a
// 64-bit integer otherwise), or 0 for a refused format.
wchar_t __cInsertConversion(const wchar_t* pszFormat, int nStars);
