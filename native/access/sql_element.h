#pragma once

// One element of an SQL text that a command rewrites: what kind of clause
// or expression it is and where it lies in the text (start and end, end =
// start + length, in characters of the command's text). A command keeps its
// elements in a counted list (CRefArray<CNASqlElt>, which takes one
// reference on each) and sorts them by start before it writes a condition.
//
// Counted through CInterf, plainly, under the driver-wide lock: a release
// at count 0 does nothing, and the element goes when its count falls to 0
// while the host holds none.
#include <cstdint>

#include "common/text/ct_string.h"
#include "native/model/interf.h"

class CNASqlElt : public CInterf
{
public:
    // The kinds of element of a statement being rewritten.
    enum eSQLELT : int32_t
    {
        SQLELT_NONE = 0,
        SQLELT_SELECT = 1,    // the select list, or the column list of an INSERT
        SQLELT_FROM = 2,      // one table of the FROM list
        SQLELT_WHERE = 3,
        SQLELT_GROUPBY = 4,
        SQLELT_HAVING = 5,
        SQLELT_ORDERBY = 6,
        SQLELT_CLAUSE = 7,    // a clause list the host parsed
        SQLELT_JOIN = 8,
        SQLELT_VALUES = 10,   // the values of an INSERT, the SET list of an UPDATE
    };

    // Counts 0, an empty text.
    CNASqlElt(eSQLELT eKind, uint64_t nStart, uint64_t nEnd) : m_eKind(eKind), m_nStart(nStart), m_nEnd(nEnd) {}
    ~CNASqlElt() override = default;

    // The order of qsort over an array of element pointers: by start, as
    // unsigned numbers; equal starts compare 0 (qsort may then leave them
    // in any order).
    static int pfnCmpELT(CNASqlElt* const* ppA, CNASqlElt* const* ppB);

    eSQLELT m_eKind;
    uint64_t m_nStart;
    uint64_t m_nEnd;
    CTString m_csText;
};
