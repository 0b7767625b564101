#pragma once

// The host's information on one element of a parsed query's ORDER BY list.
// Counted like every CVXUnknown; the element calls follow its three slots.
#include "common/system/vx_unknown.h"
#include "native/sql/host_sql_types.h"

class IInfoOrderBy : public CVXUnknown
{
public:
    // Index (from 0) of the output item the element designates; -1 when it
    // designates none.
    virtual int nGetIndex() const = 0;                  // 3
    // The element's span, its direction keyword excluded.
    virtual SQLPosition stGetPosition() const = 0;      // 4
    // 1 descending, 0 ascending.
    virtual int nGetDirection() const = 0;              // 5
};
