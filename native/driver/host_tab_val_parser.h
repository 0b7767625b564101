#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text/any.h"

// The host's table of parameter values of an SQL text, which the driver only
// reads: the number of parameters at byte 20 and, at byte 40, an array of
// that many pointers to entries, in the order the parameters are
// substituted. The other bytes are the host's and are never touched.
//
// Each entry holds the value (a CAny at byte 8), the placeholder's start and
// length in characters in the SQL text, and flags: bit 0 the value names a
// file whose contents are the value; bit 4, with bit 0, read that file as
// 8-bit text rather than binary.
struct CTabValParserEntry
{
    enum : uint32_t
    {
        VALUE_FROM_FILE = 0x1,
        FILE_AS_TEXT = 0x10,
    };

    unsigned char abyHost[8];
    CAny clValue;
    int32_t nStart;
    int32_t nLength;
    uint32_t dwFlags;
};

// A column named in a clause list the host parsed: its place and length in
// characters of the text, its table name (empty without one) and its item
// name. Only a clause list has them.
struct CTabValParserItem
{
    int32_t nStart;
    int32_t nLength;
    const wchar_t* pszTable;
    const wchar_t* pszItem;
};

struct CTabValParser
{
    unsigned char abyHost1[20];
    uint32_t nNbParam;
    unsigned char abyHost2[16];
    CTabValParserEntry** ppEntries;
    // The items of a clause list, in text order (0 and null in a table of
    // parameter values).
    uint32_t nNbItem;
    CTabValParserItem** ppItems;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(CTabValParserEntry, clValue) == 8);
static_assert(offsetof(CTabValParserEntry, nStart) == 64);
static_assert(offsetof(CTabValParserEntry, nLength) == 68);
static_assert(offsetof(CTabValParserEntry, dwFlags) == 72);
#pragma GCC diagnostic pop
static_assert(offsetof(CTabValParser, nNbParam) == 20);
static_assert(offsetof(CTabValParser, ppEntries) == 40);
