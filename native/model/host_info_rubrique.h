#pragma once

#include "common/system/vx_unknown.h"
#include "native/sql/host_sql_types.h"

class IExpOpExpression;
class INAItemDescription;

// The host's information on one output item of a parsed query. It is
// counted like every CVXUnknown (atomic count, dwRelease deletes at 0), so
// the counted containers hold it through the CVXUnknown reference hooks.
// The item calls follow the three CVXUnknown slots. Texts are empty, never
// null, when the item has no such part.
class IInfoRubrique : public CVXUnknown
{
public:
    // Item kinds (slot 10).
    enum : int
    {
        KIND_ITEM = 0,
        KIND_EXPRESSION = 1,
        KIND_AGGREGATE = 2,
    };

    // The host engine's type of the item's result (0 and 41: none to apply).
    virtual int eGetQFType() const = 0;              // 3
    // The host's calculation function of a computed item, 0 for none.
    virtual int nGetFunctionCode() const = 0;        // 4
    virtual int nGetSize() const = 0;                // 5
    // The host's calculation value; the driver only stores it.
    virtual unsigned dwGetCalculValue() const = 0;   // 6
    // The name the result gives the item: its alias, else its item name.
    virtual const wchar_t* pszGetNom() const = 0;    // 7
    virtual const wchar_t* pszGetAlias() const = 0;  // 8
    // The item as written in the select list, its alias excluded.
    virtual const wchar_t* pszGetTexte() const = 0;  // 9
    // 0 a plain item, 1 and 2 expressions.
    virtual int eGetKind() const = 0;                // 10
    // Non-zero when the alias is written with "AS".
    virtual int bAvecAS() const = 0;                 // 11
    // The item's own name in its table, and that table's name and alias as
    // the query writes them.
    virtual const wchar_t* pszGetNomRubrique() const = 0;   // 12
    virtual const wchar_t* pszGetNomTable() const = 0;      // 13
    virtual const wchar_t* pszGetAliasTable() const = 0;    // 14
    virtual SQLPosition stGetPosition() const = 0;          // 15
    // Position in the select list, from 0.
    virtual int nGetIndex() const = 0;                      // 16
    // The host's item test: non-zero for an item it relates to a table
    // item, 0 for a column it computes.
    virtual int bIsItem() const = 0;                        // 17
    // The table item's description behind a plain item, without a
    // reference; null when there is none. May throw.
    virtual INAItemDescription* piGetItemDescription() const = 0;  // 18
    // The root of the item's expression, without a reference; null for a
    // plain item.
    virtual IExpOpExpression* piGetExpression() const = 0;  // 19
};
