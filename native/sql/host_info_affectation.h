#pragma once

// One assignment of a parsed UPDATE's SET list. Not counted: the parse owns
// it, and it lives as long as the parse.
#include "native/sql/host_sql_types.h"

class IExpOpExpression;

class IInfoAffectation
{
public:
    // The column assigned (an item node) and the value's expression, both
    // without a reference.
    virtual IExpOpExpression* piGetColumn() const = 0;    // 0
    virtual IExpOpExpression* piGetValue() const = 0;     // 1
    virtual SQLPosition stGetPosition() const = 0;        // 2

protected:
    IInfoAffectation() = default;
    ~IInfoAffectation() = default;
};
