#pragma once

// One node of a search or filter condition (CNAExpression): an operator over
// one or two child nodes, a comparison of a record's column with a value, or
// a condition already parsed by the host's SQL module. Searches and filters
// build trees of these nodes; a tree writes itself into a command as WHERE
// text (bGetSQL), binding its values as parameters of the calling search
// (CNAConditionParameters), folding constant parts away ("1=1", "0=1") and
// keeping track of which columns still select NULL values.
//
// A node that writes nothing says why through its dropped operator (10:
// always false, 11: always true) and leaves the command's text and the
// search's parameters exactly as they were before it.
//
// The writer lives in condition_write.cpp (inner nodes, folding, NULL
// selection), condition_leaf.cpp (comparisons: parameter, text and date
// forms) and condition.cpp (life cycle, flags, operators, continuations,
// trivially true bounds, date bounds).
//
// Counted through CInterf, plainly, under the driver-wide lock. A node holds
// one reference on its error object, children, column, value and source
// query.
#include <cstdint>

#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/model/item_type.h"
#include "native/sql/host_sql_types.h"

class CColumnNullValueExcluded;
class CNAConditionParameters;
class CNARecord;
class CSQLParserInfo;
class ISQLParserInformation;

// The operator of a condition node.
enum eNAOperator : int32_t
{
    NA_OP_NONE = 0,
    NA_OP_OR = 1,
    NA_OP_AND = 2,
    NA_OP_NOT = 3,
    NA_OP_EQ = 4,
    NA_OP_GT = 5,
    NA_OP_LT = 6,
    NA_OP_GE = 7,
    NA_OP_LE = 8,
    NA_OP_SQL = 9,
    NA_OP_FALSE = 10,
    NA_OP_TRUE = 11,
    NA_OP_NE = 12,
    NA_OP_IS_NULL = 13,
    NA_OP_IS_NOT_NULL = 14,
};

class CNAExpression : public CInterf
{
public:
    // Node flags: the option bits of the search.
    enum : unsigned
    {
        FLAG_GENERIC = 1,
        FLAG_ON_RECORD = 2,
        FLAG_SPLIT = 4,
        FLAG_FROM_RECORD = 8,
        FLAG_FIRST_ONLY = 16,
        FLAG_NULL_EQUIVALENT = 0x40,
        FLAG_NULL_NEVER = 0x80,
        FLAG_COMPOSED_KEY = 0x100,
    };

    // An empty node (operator 0) holding a reference on the error object.
    explicit CNAExpression(CNAError* pclError);
    // Slots 0-1: children, column, value, source query, error object
    // released; the NULL-selection list deleted. Slot 2 is CInterf's.
    ~CNAExpression() override;
    // Slot 3: a new empty node with this node's error object (no reference
    // for the caller), or null.
    virtual CNAExpression* pclAllocExpression();
    // Slot 4: the leaf writer.
    virtual int _bGetSQLFromValue(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int* pnDropped);

    // --- Set-up. Each stores the flags through _SetFlag.
    void InitExpression(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight, unsigned nFlags);
    // Also takes the column's source query.
    void InitExpression(eNAOperator eOp, CNAColumn* pclColumn, CNAConvertVariant* pclValue, unsigned nFlags);
    // Operator 9 over a new adapter of the host's parsed condition; 0 when
    // it cannot be made.
    int InitExpression(ISQLParserInformation* piCondition, unsigned nFlags);
    // New nodes (no reference for the caller) through slot 3, initialised;
    // null when none is made.
    CNAExpression* pclAllocExpression(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight,
                                      unsigned nFlags);
    CNAExpression* pclAllocExpression(eNAOperator eOp, CNAColumn* pclColumn, CNAConvertVariant* pclValue,
                                      unsigned nFlags);
    CNAExpression* pclAllocExpression(ISQLParserInformation* piCondition, unsigned nFlags);
    // A new node (no reference for the caller) joining this node and the
    // other with the operator, with this node's flags.
    CNAExpression* pclAddOperation(eNAOperator eOp, CNAExpression* pclOther);
    // A copy (no reference for the caller): a leaf re-made from its
    // operator, column, value and flags (column and value shared), an inner
    // node over clones of its children. Null when memory runs out.
    CNAExpression* pclClone();
    // Replaces the child (left or right) by the new node, counting
    // references.
    void Insert(CNAExpression* pclOld, CNAExpression* pclNew);

    // --- Continuations. Turns a first condition into a continuation with
    // the operator (5 or 6); returns the node that now stands in this
    // node's place (this node, or a new one the parent now holds).
    CNAExpression* pclTransformEqualTo(CNARecord* pclRecord, CNAExpression* pclParent, eNAOperator eOp);

    // --- Writing. The node into the command under the parent operator;
    // the dropped operator 0 when it wrote, else 10 or 11. False when the
    // command refused text or a parameter.
    int bGetSQL(CNACommand* pclCommand, eNAOperator eParent, CNAConditionParameters* pclSearch, int* pnDropped,
                CNARecord* pclRecord);
    // Whether the condition as last written still selects the column's
    // NULL values.
    int bColumnValuesNullSelected(const CNAColumn* pclColumn);

    int bIsGenerique() const { return (m_nFlags & FLAG_GENERIC) != 0; }
    eNAOperator eGetOperator() const { return m_eOperator; }
    void SetOperator(eNAOperator eOp) { m_eOperator = eOp; }
    CNAExpression* pclGetLeftNoRef() const { return m_pclLeft; }
    CNAExpression* pclGetRightNoRef() const { return m_pclRight; }
    CNAColumn* pclGetColumnNoRef() const { return m_pclColumn; }
    CNAConvertVariant* pclGetValueNoRef() const { return m_pclValue; }
    unsigned nGetFlags() const { return m_nFlags; }
    CSQLParserInfo* pclGetSourceQueryNoRef() const { return m_pclSourceQuery; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CColumnNullValueExcluded* pclGetColumnNullNoRef() const { return m_pclColumnNull; }

    // --- Operators.
    // The operator's text; "" for any other value.
    static const wchar_t* s_pszDumpOp(eNAOperator eOp);
    static eOPEXPRESSION Convert_eNAOperator_To_eOPEXPRESSION(eNAOperator eOp);
    // 5 <-> 6, 7 <-> 8; any other unchanged.
    static eNAOperator s_eInvertOperator(eNAOperator eOp);

    // --- Static tests.
    // Whether a bound with the operator and value is always true.
    static int s_bExpressionTrue(eNAOperator eOp, CNAConnectionDescription* pclConnection, const CAny* pclValue);
    // 1 when the record's query sorts the column descending, else 0.
    static int s_eGetSensTriColonne(CNARecord* pclRecord, CNAColumn* pclColumn);
    // The smallest and the first value after a partial date, time or
    // date-time text of the item type: as the runtime's text of the full
    // form (date 8, time by its form, date-time 17). Each false when the
    // text is no valid prefix or the bound cannot be made.
    static int s_bGetBorneRechercheDateMin(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMin);
    static int s_bGetBorneRechercheDateMax(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMax);
    // Both; false when the minimum cannot be made. The maximum is left
    // NULL when it cannot be made (a carry past the last representable
    // value).
    static int s_bGetBorneRechercheDateGenerique(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMin,
                                                 CAny* pclMax);

protected:
    void _SetFlag(unsigned nFlags);
    void _ReleaseChildren();

    // The writer's steps (condition_write.cpp).
    int _bGetSQLFromSQL(CNACommand* pclCommand, CNAConditionParameters* pclSearch, CNARecord* pclRecord);
    int _bGetSQLNot(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int* pnDropped,
                    CNARecord* pclRecord);
    int _bGetSQLAndOr(CNACommand* pclCommand, eNAOperator eParent, CNAConditionParameters* pclSearch,
                      int* pnDropped, CNARecord* pclRecord);
    // The comparison's operator simplified on a boolean or text column; 0
    // when the value gives no simplification.
    eNAOperator _eProcessBoolean() const;
    eNAOperator _eProcessString() const;
    // Where the writing stood: the text's length and both parameter counts.
    struct SWritten
    {
        unsigned long nLength;
        int nCommandParameters;
        int nSearchParameters;
    };
    static SWritten _Mark(CNACommand* pclCommand, CNAConditionParameters* pclSearch);
    // The command's text and parameters and the search's parameters back to
    // the mark.
    static void _TakeBack(CNACommand* pclCommand, CNAConditionParameters* pclSearch, const SWritten& stMark);
    // The NULL-selection list made when missing; 0 (user error 12 raised)
    // when it cannot be.
    int _bEnsureColumnNull();
    // The leaf's own NULL selection of the column.
    void _MarkColumnNull(int bSelected);

    // The leaf's forms (condition_leaf.cpp).
    int _FormatItemNameExp(CNACommand* pclCommand, eOPEXPRESSION eOperator);
    int _bNullAlternative(CNACommand* pclCommand) const;
    int _bGetSQLFromValueUsingParameter(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int bLike,
                                        int bNullAlternative);
    int _bGetSQLFromValueString(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int bNullAlternative);
    int _bGetSQLFromValueDateTime(CNACommand* pclCommand, CNAConditionParameters* pclSearch,
                                  int bNullAlternative);
    // The value bound as a parameter of the search at the end of the
    // command's text (a LIKE pattern flagged as one).
    int _bAddValueParameter(CNACommand* pclCommand, CNAConditionParameters* pclSearch, const CAny* pclValue,
                            int bLike);
    // " OR " name " IS NULL)".
    int _bAddNullAlternative(CNACommand* pclCommand);
    // name, operator, bound.
    int _bAddBound(CNACommand* pclCommand, CNAConditionParameters* pclSearch, eNAOperator eOp, const CAny* pclBound);

    CNAError* m_pclError;
    eNAOperator m_eOperator = NA_OP_NONE;
    CNAExpression* m_pclLeft = nullptr;
    CNAExpression* m_pclRight = nullptr;
    CNAColumn* m_pclColumn = nullptr;
    CNAConvertVariant* m_pclValue = nullptr;
    unsigned m_nFlags = 0;
    CSQLParserInfo* m_pclSourceQuery = nullptr;
    CColumnNullValueExcluded* m_pclColumnNull = nullptr;
};

inline void REF_AddRef(CNAExpression* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNAExpression* p)
{
    p->nRelease();
}
