#pragma once

// One join of the host's parsed query: where its condition lies in the text
// (after ON; a join's span never overlaps its tables') and the condition's
// expression tree. Counted like every CVXUnknown; enumerated without a
// reference.
#include "common/system/vx_unknown.h"
#include "native/sql/host_sql_types.h"

class IExpOpExpression;

class IInfoJointure : public CVXUnknown
{
public:
    virtual SQLPosition stGetPosition() const = 0;              // 3
    // Without a reference; null when the join has no condition.
    virtual IExpOpExpression* piGetCondition() const = 0;       // 4
};
