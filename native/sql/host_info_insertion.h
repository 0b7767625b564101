#pragma once

// One column of a parsed INSERT with the expression of its value. Not
// counted: the parse owns it, and it lives as long as the parse.
#include "native/sql/host_sql_types.h"

class IExpOpExpression;

class IInfoInsertion
{
public:
    virtual const wchar_t* pszGetNomRubrique() const = 0;   // 0
    // The value's expression, without a reference.
    virtual IExpOpExpression* piGetValue() const = 0;       // 1
    // The column's span in the column list.
    virtual SQLPosition stGetPosition() const = 0;          // 2

protected:
    IInfoInsertion() = default;
    ~IInfoInsertion() = default;
};
