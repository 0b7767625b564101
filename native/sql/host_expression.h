#pragma once

// One node of an expression tree of the host's parsed query: an operator or
// function over operands, a column (operator 47) or a literal (operator 48).
// Counted like every CVXUnknown; the node calls follow its three slots.
// Operands and every text belong to the node and live as long as it does.
#include "common/system/vx_unknown.h"
#include "native/sql/host_sql_types.h"

class CAny;
class INAItemDescription;

class IExpOpExpression : public CVXUnknown
{
public:
    virtual eOPEXPRESSION eGetOperator() const = 0;                   // 3
    virtual int nGetOperandNbr() const = 0;                           // 4
    // Operand i counted from 0, without a reference; null outside.
    virtual IExpOpExpression* piGetOperand(int nIndex) const = 0;     // 5
    virtual SQLPosition stGetPosition() const = 0;                    // 6
    // For a column: its item name and its table name or alias as written
    // (empty text without one).
    virtual const wchar_t* pszGetNomRubrique() const = 0;             // 7
    virtual const wchar_t* pszGetNomTable() const = 0;                // 8
    // For a column: the host engine's type of the item (eQFTYPES).
    virtual int eGetQFType() const = 0;                               // 9
    // For a column: non-zero when it is the outer side of a join.
    virtual int bIsOuterJoin() const = 0;                             // 10
    // For a LIKE node: its escape character, 0 without one.
    virtual wchar_t wGetEscape() const = 0;                           // 11
    // For a literal: its value; null otherwise.
    virtual const CAny* pclGetValue() const = 0;                      // 12
    // For a column: the description of its item, without a reference;
    // null when the host has none.
    virtual INAItemDescription* piGetItemDescription() const = 0;     // 13
};
