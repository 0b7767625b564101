#pragma once

// The foreign keys of a table, read from the text the server gives for
// SHOW CREATE TABLE, as the lines of a link list. The text comes from the
// server: the parser reads only inside the length it is given and never
// trusts a terminator.
//
// Layout it reads, for each "CONSTRAINT" (exact case): blanks (spaces and
// tabs), the constraint's name, "FOREIGN KEY" (any case), a name list, then
// "REFERENCES" (any case), the referenced table's name, a name list, and
// optionally "ON DELETE " and "ON UPDATE " with their actions. A name is the
// text between backquotes, a doubled backquote standing for one; a name list
// is "(" then names separated by "," (blanks allowed around each) and ")". A
// referenced table qualified by a database gives the constraint up, as does
// any other text off this layout; the parser then moves on to the next
// "CONSTRAINT" after where it stopped.
//
// A list of several columns is written as the name of the table's composite
// key of exactly those components when there is one; the caller looks it up.
//
// One line per constraint kept, CR LF between lines, fields separated by a
// tab: the constraint's name, the referenced table, its columns, "0,N", the
// listed table, its columns, "0,1", the code of the update rule and the code
// of the delete rule ("2022" cascade, "2023" set null, "2020" no action,
// "2021" anything else or no clause).
#include <cstddef>
#include <functional>

#include "common/text/ct_string.h"
#include "common/text/xy_string_concat.h"

class CNALinkParser
{
public:
    // What a composite-key look-up found.
    enum eKeyLookup
    {
        KEY_NONE = 0,         // no such key: the list stays as it is
        KEY_FOUND = 1,        // *pcsKey holds the key's name
        KEY_UNAVAILABLE = -1  // the table's description cannot be had: the constraint is skipped
    };
    // (table, columns joined by ",", their count, key name out).
    using KeyLookup = std::function<eKeyLookup(const wchar_t*, const wchar_t*, int, CTString*)>;

    // Appends the lines of the text's constraints to the list. pszListedTable
    // is the listed table's field (null: an empty field); pszLookupTable the
    // name its composite keys are looked up by. Without the detailed flag
    // (32) nothing is appended.
    static void g_ExtractLinks(const wchar_t* pszText, size_t nLength, const wchar_t* pszListedTable,
                               const wchar_t* pszLookupTable, unsigned nFlags, const KeyLookup& lookup,
                               CXYStringConcat<wchar_t>* pclList);
};
