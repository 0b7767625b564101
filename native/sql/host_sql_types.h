#pragma once

// The small types the host's parsed-query interfaces pass around: the span
// of an element in the query text, the host's operator codes of expression
// nodes and its kinds of query. Positions count wide characters of the query
// text; a stop is the element's last character (inclusive).
#include <cstdint>

// A 16-byte span of the query text: first and last character, -1 for none.
struct SQLPosition
{
    long nStart;
    long nStop;
};

static_assert(sizeof(SQLPosition) == 16);

// The host's operator code of an expression node. Only the codes the driver
// tests by value are named; the others are numbered by the host and only
// compared in ranges (aggregates 27-31, functions: see
// CSQLParserInfo::s_bIsFunction).
enum eOPEXPRESSION : int32_t
{
    OPEXP_NONE = -1,
    OPEXP_EQUAL = 9,
    OPEXP_DIFFERENT = 10,
    OPEXP_INFERIOR = 11,
    OPEXP_INFERIOR_EQUAL = 12,
    OPEXP_SUPERIOR = 13,
    OPEXP_SUPERIOR_EQUAL = 14,
    OPEXP_AGGREGATE_FIRST = 27,
    OPEXP_AGGREGATE_LAST = 31,
    OPEXP_LIKE = 32,
    OPEXP_ITEM = 47,
    OPEXP_LITERAL = 48,
    OPEXP_NULL = 49,
    OPEXP_UNAVAILABLE = 73,
};

// The host's kind of a parsed query (its own numbering; the command turns it
// into a query kind of its own).
enum eTYPEREQUETE : int32_t
{
    TYPEREQUETE_NONE = 0,
    TYPEREQUETE_SELECT = 1,
    TYPEREQUETE_SELECT_2 = 2,
    TYPEREQUETE_UPDATE = 3,
    TYPEREQUETE_INSERT = 4,
    TYPEREQUETE_DELETE = 5,
};
