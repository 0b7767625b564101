#pragma once

// The host's information on one table of a parsed query's FROM list.
// Counted like every CVXUnknown; the table calls follow its three slots.
#include "common/system/vx_unknown.h"
#include "native/sql/host_sql_types.h"

class INADataSourceDescription;

class IInfoFrom : public CVXUnknown
{
public:
    // The table's name as written.
    virtual const wchar_t* pszGetNom() const = 0;                                   // 3
    // The table's alias; the table's own name when written without one.
    virtual const wchar_t* pszGetAlias() const = 0;                                 // 4
    // Non-zero when the alias is written with "AS".
    virtual int bAvecAS() const = 0;                                                // 5
    virtual SQLPosition stGetPosition() const = 0;                                  // 6
    // The host's description of the table, without a reference; null when
    // the host has none.
    virtual INADataSourceDescription* piGetNADataSourceDescription() const = 0;     // 7
    // Writes the table's physical (database) name into the buffer, at most
    // nCapacity characters with the terminator; 0 when the host knows none.
    // May throw.
    virtual int bGetPhysicalName(wchar_t* pszBuffer, unsigned nCapacity) const = 0; // 8
    // The host's kind of the table's elements, one per call (restart
    // non-zero: from the first); -1 after the last.
    virtual int nEnumElementKind(int bRestart) = 0;                                 // 9
};
