#pragma once

// One search of a statement (CNARecherche): an item of the table (a key or
// an ordinary item), a value, a direction and option bits, turned into
// three condition trees: the first condition that finds the records equal
// to the value, and the two continuations that let a browse go on past
// them forwards or backwards. When the statement writes its SELECT, the
// current condition writes the WHERE text into the command and binds its
// values as parameters of this search.
//
// The key-condition builder (the _pclAdd... members, key_condition*.cpp)
// compares one item with one value by an operator: one column, a composite
// key split into its components, or the columns that identify the record.
//
// The search holds one reference on its error object, its connection and
// each condition (its parameter list one on each parameter), and one external reference on its fetch
// item. Counted through CInterf, plainly, under the driver-wide lock.
#include <cstddef>
#include <cstdint>

#include "common/text/any.h"
#include "common/text/ref_array.h"
#include "common/text/tableau.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/sql/condition.h"
#include "native/sql/condition_parameters.h"

class CColumnNullValueExcluded;
class CNAFilter;

// The option bits of a search; they travel on into every condition node as
// the node's flags.
enum : unsigned
{
    // The value is a prefix.
    NA_SEARCH_GENERIC = 1,
    // Position on a record: prefer a unique key whose values are never NULL.
    NA_SEARCH_RECORD = 2,
    // The value is a whole composite key value to split; a component filled
    // with its type's minimum or maximum ends the key.
    NA_SEARCH_SPLIT = 4,
    // The values come from the record's columns.
    NA_SEARCH_FROM_RECORD = 8,
    // The first condition only.
    NA_SEARCH_FIRST_ONLY = 16,
    // (node flags) A filter's lower and upper bound.
    NA_SEARCH_LOWER_BOUND = 0x40,
    NA_SEARCH_UPPER_BOUND = 0x80,
    // (node flags) The search is on a composite key.
    NA_SEARCH_COMPOSED_KEY = 0x100,
};

// Component values of a key: owned CAny objects.
class CNAKeyValues
{
public:
    CNAKeyValues() = default;
    CNAKeyValues(const CNAKeyValues&) = delete;
    CNAKeyValues& operator=(const CNAKeyValues&) = delete;
    ~CNAKeyValues() { Reset(); }

    int nGetCount() const { return m_tab.nGetNbElement(); }
    CAny* pclGet(int n) const { return n >= 0 && n < nGetCount() ? m_tab[n] : nullptr; }
    // A copy appended; 0 when memory runs out.
    int bAdd(const CAny& clValue);
    void Reset();
    // Whether the last value stands for a filler that ended the key.
    int bLastIsFiller() const { return m_bLastIsFiller; }
    void SetLastIsFiller(int b) { m_bLastIsFiller = b; }

private:
    CTTableauPtr<CAny> m_tab{8};
    int m_bLastIsFiller = 0;
};

class CNARecherche : public CInterf, public CNAConditionParameters
{
public:
    using CColumnArray = CNARefArray<CNAColumn>;

    // Inactive (state 0, direction 4), without error object nor connection.
    CNARecherche();
    // Inactive, holding a reference on both.
    CNARecherche(CNAError* pclError, CNAConnectionDescription* pclConnection);
    // Slots 0-1: the conditions, the fetch item, the connection, the error
    // object, the value and the parameters released.
    ~CNARecherche() override;

    // Writes the WHERE text of the current condition, joined to an active
    // filter's condition (filter) AND (search).
    virtual int bGetSQL(CNACommand* pclCommand, CNAFilter* pclFilter, CNARecord* pclRecord);    // 3
    // A new search of the same class sharing the conditions and parameters.
    virtual CNARecherche* pclClone();                                                            // 4
    // A new empty node with this search's error object, without reference.
    virtual CNAExpression* pclAllocExpression();                                                 // 5
    // A new empty search of the same class, without reference.
    virtual CNARecherche* _pclAllocRecherche();                                                  // 6

    // --- Set-up (each returns 1, also when no condition could be built).
    int bSetRecherche(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclValue,
                      eNA_PARSEDIRECTION eDirection, int bExact, int nUnused);
    int bRechercheEnreg(CNARecord* pclRecord, INAItemDescription* piItem, eNA_PARSEDIRECTION eDirection,
                        int bFirstOnly, const CColumnArray* pclColumns);
    int bAddExpression(CNARecord* pclRecord, INAItemDescription* piItem, eNAOperator eOp, const CAny* pclValue,
                       int bGeneric, eNAOperator eJoin, int bSplit);

    // --- State.
    int bSetContinueParcours(int nDirection);
    int bReviensParcoursPrecedent(int nDirection);
    int bPeutContinuerParcours(int nDirection) const;
    int bHTrouve() const { return m_nState == 1 ? 1 : m_bCancelled; }
    void Activate() { m_nState = 1; }
    void Cancel() { m_bCancelled = 1; }
    void Desactivate();
    int nGetState() const { return m_nState; }
    int nGetDirection() const { return m_nDirection; }
    unsigned nGetOptions() const { return m_nOptions; }
    // The first condition with a new reference, or null.
    CNAExpression* pclGetExpression() const;
    CNAExpression* pclGetCurrentExpressionNoRef() const { return m_pclCurrent; }
    CNAExpression* pclGetExpressionNoRef(int n) const;
    int bIsComposedKeySearch() const;
    INAItemDescription* piGetFetchItemNoRef() const { return m_piFetchItem; }
    const CAny* pclGetValue() const { return &m_clValue; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }

    // The parameters bound by the last bGetSQL are the inherited list's.

    // --- Equality.
    int bEqualsSearch(const CNARecherche* pclOther) const;

    // --- Key conditions (key_condition*.cpp). Each returns a new tree
    // without reference, or null when no condition results.
    CNAExpression* _pclAddExpression(CNARecord* pclRecord, INAItemDescription* piItem, eNAOperator eOp,
                                     const CAny* pclValue, unsigned nOptions, const CColumnArray* pclColumns);
    CNAExpression* _pclAddKeyExpression(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                        const CNAKeyValues* pclValues, const CNAColumn* pclComposite, int i, int j,
                                        eNAOperator eOp, unsigned nFlags, eNAOperator eJoin);
    // Whether component i's comparison turns round (see key_condition.cpp).
    static bool _bSortsDescending(CNARecord* pclRecord, const CNAColumn* pclComposite, CNAColumn* pclColumn, int i,
                                  unsigned nFlags);
    // A leaf comparing the column with a value (null: NULL of its type).
    CNAExpression* _pclAddLeaf(CNAColumn* pclColumn, eNAOperator eOp, const CAny* pclValue, unsigned nFlags);
    // Two trees joined by the operator; either alone when the other is
    // null.
    static CNAExpression* _pclJoin(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight);
    CNAExpression* _pclAddBorne(CNARecord* pclRecord, CNAColumn* pclColumn, const CAny* pclValue, eNAOperator eOp,
                                unsigned nFlags, int bDescending);
    CNAExpression* _pclAddKeyExpressionEq(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                          const CNAKeyValues* pclValues, unsigned nFlags);
    CNAExpression* _pclAddKeyExpressionInfSupIndice(int i, CNARecord* pclRecord, const CColumnArray* pclComponents,
                                                    const CNAKeyValues* pclValues, const CNAColumn* pclComposite,
                                                    int n, eNAOperator eOp, unsigned nFlags,
                                                    CColumnNullValueExcluded* pclExclusions);
    CNAExpression* _pclAddKeyExpressionInfSup(CNARecord* pclRecord, const CColumnArray* pclComponents,
                                              const CNAKeyValues* pclValues, const CNAColumn* pclComposite,
                                              eNAOperator eOp, unsigned nFlags, int bEndMin, int bEndMax);

    // The values of a composite value's components, split from its bytes.
    // Every component is read through a zero-filled copy of its width:
    // nothing is read past the value's bytes.
    static void _GetComponentValue(const CColumnArray* pclComponents, const CAny* pclValue, CNAKeyValues* pclValues,
                                   int* pbEndMin, int* pbEndMax, unsigned nOptions);
    // The components' current values in the record.
    static void _GetComponentValueFromRecord(const CColumnArray* pclComponents, CNAKeyValues* pclValues);
    // The columns used to position on the record: the column (or a
    // composite's components) first, then the given columns or else the
    // record's up to its unique never-NULL key, matched by name; cut after
    // the first unique column whose value is not NULL or its equivalent.
    static int _AddAllItem(CNARecord* pclRecord, CNAColumn* pclColumn, CColumnArray* pclList,
                           const CColumnArray* pclGiven = nullptr);
    // The value classified for its column: *pbMin / *pbMax when it is its
    // type's minimum / maximum (a text at its maximum losing its filler);
    // *pbUsable false when nothing is left of it.
    static void _GetValue(CNAColumn* pclColumn, CAny* pclValue, int* pbUsable, int* pbMin, int* pbMax);
    // A text value ending in a NUL character (an exact value).
    static int _bTermineParCaract0(CNAColumn* pclColumn, const CAny* pclValue);
    // A text ending in its type's largest character: that character
    // removed, true.
    static int _bGenericSearchDueTohValMax(CAny* pclValue);

    // The smallest / largest value of the value's own runtime type; other
    // types are left unchanged.
    static void s_SetAnyToMin(CAny* pclValue);
    static void s_SetAnyToMax(CAny* pclValue);
    // Whether a value is its type's minimum / maximum (as s_SetAnyToMin /
    // s_SetAnyToMax make them); false for types they leave unchanged.
    static int s_bIsAnyMin(const CAny* pclValue);
    static int s_bIsAnyMax(const CAny* pclValue);

protected:
    int _bSetRecherche(CNARecord* pclRecord, INAItemDescription* piItem, const CAny* pclValue,
                       eNA_PARSEDIRECTION eDirection, unsigned nOptions, const CColumnArray* pclColumns);
    void _SetContinueParcours(int nDirection);
    // The four conditions released.
    void _DropExpressions();
    static void _SetExpression(CNAExpression** ppclTarget, CNAExpression* pclNode);
    void _SetFetchItem(INAItemDescription* piItem);
    // The command's NULL bookkeeping becomes the written condition's.
    static int _bCopyNullSelection(CNACommand* pclCommand, CNAExpression* pclNode);

    CNAError* m_pclError = nullptr;
    int32_t m_nState = 0;
    int32_t m_nDirection = 4;
    int32_t m_bCancelled = 0;
    uint32_t m_nOptions = 0;
    CNAExpression* m_pclFirst = nullptr;
    CNAExpression* m_pclForward = nullptr;
    CNAExpression* m_pclBackward = nullptr;
    CNAExpression* m_pclCurrent = nullptr;
    CAny m_clValue;
    INAItemDescription* m_piFetchItem = nullptr;
    CNAConnectionDescription* m_pclConnection = nullptr;
};

// A missing search equals an inactive one; two missing ones are equal.
int g_bEqualsSearch(const CNARecherche* pclA, const CNARecherche* pclB);

// Two columns by name, without regard to case (for sorting column lists).
int fnCmpCol(const void* pA, const void* pB);

inline void REF_AddRef(CNARecherche* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNARecherche* p)
{
    p->nRelease();
}
