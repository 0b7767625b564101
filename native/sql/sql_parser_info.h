#pragma once

// The driver's copy of a query that the host's SQL module parsed: the
// parse's FROM tables, output items, GROUP BY and ORDER BY elements, UPDATE
// assignments and INSERT columns are taken once into arrays of its own, the
// item to browse the result by is chosen, and the questions of the data
// access, the statement, the command and the conditions are answered from
// them: which tables and columns, whether a column is unique, memo, grouped
// or ordered, a table's physical name, whether the query may be written
// back, whether it already limits its row count.
//
// Holds the parse and its WHERE and HAVING trees, every listed FROM table,
// output item and ORDER BY element (CVXUnknown counts), its GROUP BY copies,
// the host's bind variables (external reference), the error object and the
// attached record. The best parse item and the keys point into the output
// items without references of their own.
//
// Host calls that may throw (item descriptions, physical names, the alias
// look-up) are caught: the question then answers null or false. The
// physical-name buffer is one for the process, valid until the next call;
// every caller runs under the driver-wide lock.
//
// Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_array.h"
#include "common/text/tableau.h"
#include "native/driver/na_forward.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/interf.h"
#include "native/sql/host_expression.h"
#include "native/sql/host_info_affectation.h"
#include "native/sql/host_info_from.h"
#include "native/sql/host_info_groupe.h"
#include "native/sql/host_info_insertion.h"
#include "native/sql/host_info_order_by.h"
#include "native/sql/host_sql_parser_information.h"
#include "native/sql/host_sql_types.h"
#include "native/sql/info_groupe.h"

class CNARecord;

class CSQLParserInfo : public CInterf
{
public:
    // Capacity of the process-wide physical-name buffer, terminator included.
    static constexpr unsigned PHYSICAL_NAME_CAPACITY = 261;

    // Empty arrays, then Set. One reference on the error object.
    CSQLParserInfo(CNAError* pclError, ISQLParserInformation* piParse, INAQueryParametersValue* piValues,
                   int bWithoutClauses);
    // Slots 0-1: every array element, the parse and its two trees, the bind
    // variables, the record and the error object released.
    ~CSQLParserInfo() override;

    // Takes the parse's lists again (previous ones released). With
    // bWithoutClauses set, GROUP BY, ORDER BY and the HAVING tree are left
    // out.
    void Set(ISQLParserInformation* piParse, INAQueryParametersValue* piValues, int bWithoutClauses);
    // The record whose columns the query reads (former released, new one
    // referenced).
    void SetRecord(CNARecord* pclRecord);

    // --- Enumerations: a non-zero argument restarts at the first element;
    // null after the last. No reference for the caller.
    IInfoFrom* piEnumFichierFrom(int bRestart);
    IInfoRubrique* piEnumRubriqueOUT(int bRestart);
    IInfoGroupe* piEnumRubriqueClauseGroupe(int bRestart);
    IInfoOrderBy* piEnumRubriqueClauseOrder(int bRestart);
    IInfoAffectation* piEnumRubriqueUpdate(int bRestart);
    IInfoInsertion* piEnumRubriqueInsert(int bRestart);
    int nGetFichierFromNbr() const { return m_tabFrom.nGetNbElement(); }
    int nGetRubriqueOUTNbr() const { return m_tabRubriques.nGetNbElement(); }
    int nGetRubriqueClauseGroupeNbr() const { return m_tabGroupe.nGetNbElement(); }
    int nGetRubriqueClauseOrderNbr() const { return m_tabOrderBy.nGetNbElement(); }
    // Null outside the lists.
    IInfoFrom* piGetFichierFrom(int n) const;
    IInfoRubrique* piGetRubriqueOUT(int n) const;
    IInfoOrderBy* piGetRubriqueClauseOrder(int n) const;

    // --- The query.
    ISQLParserInformation* piGetSQLParserInformationNoRef() const { return m_piParse; }
    // The query text; null without a parse.
    const wchar_t* pszGetRequete() const;
    // The host's kind of the query; 0 without a parse.
    eTYPEREQUETE eGetTypeRequete() const { return static_cast<eTYPEREQUETE>(m_eTypeRequete); }
    IExpOpExpression* piGetWhereExpressionNoRef() const { return m_piWhere; }
    IExpOpExpression* piGetHavingExpressionNoRef() const { return m_piFurther; }
    // The clauses' positions as the parse gives them: starts 0 and ends -1
    // when absent or without a parse.
    long nGetWhereStart() const;
    long nGetWhereEnd() const;
    long nGetOrderByStart() const;
    long nGetHavingStart() const;
    long nGetHavingEnd() const;
    long nGetGroupByEnd() const;
    long nGetQueryEnd() const;
    // The host-parsed clause list; null without one.
    CTabValParser* pclGetClauseList() const;

    IInfoRubrique* piGetBestParseItem() const { return m_piBestParseItem; }
    IInfoRubrique* piGetOrderByItem() const { return m_piOrderByItem; }
    IInfoRubrique* piGetBestKey() const { return m_piBestKey; }
    IInfoRubrique* piGetUniqueKey() const { return m_piUniqueKey; }
    IInfoRubrique* piGetKey() const { return m_piKey; }
    // Their names; null without one (the ORDER BY item: without ORDER BY).
    const wchar_t* pszGetBestParseItem() const;
    const wchar_t* pszGetOrderByItem() const;

    // Whether the query text already limits its row count (a LIMIT clause
    // or SELECT TOP), asked once of the command's text test and kept: a
    // later call answers the same whatever the connection.
    int bQueryResultsetLimited(CNAConnectionDescription* pclConnection);
    // False with an aggregate, a GROUP BY, a computed output item, or
    // " DISTINCT " / " distinct " in the text.
    int bHOperationAllowed() const;
    // With exactly one FROM table: whether one of its elements is of the
    // host's auto-identifier kinds 38 or 24.
    int bQueryContainIdAuto() const { return g_bQueryContainIdAuto(m_piParse); }
    static int g_bQueryContainIdAuto(ISQLParserInformation* piParse);
    // Whether the host prepared the query beforehand; 0 without bind
    // variables.
    int bHPrepareRequeteCalled() const;
    // The bind variables with an external reference for the caller; null
    // without.
    INAQueryParametersValue* piGetUserBindVariable() const;
    // The source query of the attached record; null without one.
    CSQLParserInfo* pclGetQueryParserInfoNoRef() const;
    CNARecord* pclGetRecordNoRef() const { return m_pclRecord; }

    // --- Tables and columns (names compared without regard to case or
    // accents).
    // The module's description of a table, with an external reference for
    // the caller; null when it has none or fails.
    INADataSourceDescription* piGetNADataSourceDescription(const wchar_t* pszTable) const;
    // True when the name is the alias of a FROM table other than its own
    // name. Else false, and *ppiDescription (when asked for) receives, with
    // an external reference, the description of the FROM table of that name
    // or, when none is listed, the module's description of such a table.
    int bIsTableAlias(const wchar_t* pszName, INADataSourceDescription** ppiDescription) const;
    // The table's physical name in the process-wide buffer; null when the
    // module gives none or fails. Copy it before the next call.
    const wchar_t* pszGetPhysicalName(const wchar_t* pszTable) const;
    // The physical name of the item's table, or the item's table name.
    const wchar_t* pszGetPhysicalName(IInfoRubrique* piItem) const;
    // The database table name of FROM table n: its physical name, else the
    // database name of its description, else its name; empty outside.
    CTString csGetFichierFrom_DBTableName(int n) const;
    // The first output item of that name; null when none.
    IInfoRubrique* piEnumRubriqueOUT(const wchar_t* pszName) const;
    // Walks the parse's output items: with a table alias, the first plain
    // item whose table alias and name match; without, the first item of
    // that name. Null on none or when the module fails.
    static IInfoRubrique* g_piGetInfoRubriqueFromAlias(ISQLParserInformation* piParse, const wchar_t* pszTableAlias,
                                                       const wchar_t* pszItem);
    IInfoRubrique* piGetInfoRubriqueFromAlias(const wchar_t* pszTableAlias, const wchar_t* pszItem) const;
    // The table item's description behind a plain output item, with an
    // external reference for the caller; null for a computed item or when
    // the module fails.
    INAItemDescription* piGetItemDescription(const IInfoRubrique* piItem) const;
    int bRubriqueUnique(const IInfoRubrique* piItem) const;
    int bRubriqueUniqueNotNull(const IInfoRubrique* piItem) const;
    // Whether the output item of the column's name reads a memo.
    int bRubriqueSourceIsMemo(const CNAColumn* pclColumn) const;
    // The GROUP BY element whose item alias is the column's name.
    IInfoGroupe* piGetRubriqueClauseGroupe(const CNAColumn* pclColumn) const;
    // The ORDER BY element of the column (by its name, or by its original
    // name and its table's physical name); null when none.
    IInfoOrderBy* piGetRubriqueClauseOrder(const CNAColumn* pclColumn) const;

    // Aggregates: the host's operator codes 27 to 31.
    static int s_bIsGroupmentColumn(eOPEXPRESSION eOperator);
    // The host's operator codes of functions.
    static int s_bIsFunction(eOPEXPRESSION eOperator);

private:
    template <class T>
    static T* _pEnum(const CTTableau<T*>& tab, int32_t& nCursor, int bRestart);
    void _Clear();
    // Everything the object holds, given back (the destructor's work).
    void _ReleaseAll();
    void _ChooseKeys(IInfoRubrique* piItem);
    // Without that key false; the key itself true; another item by the
    // test on its description (false for a computed item).
    int _bRubriqueKey(const IInfoRubrique* piItem, const IInfoRubrique* piKey,
                      int (*pfnTest)(const INAItemDescription*)) const;
    // Whether the expression reads a memo item.
    static int _bExpressionIsMemo(const IExpOpExpression* piNode, int nDepth);

    CNAError* m_pclError;
    ISQLParserInformation* m_piParse = nullptr;
    int32_t m_eTypeRequete = 0;
    INAQueryParametersValue* m_piValues = nullptr;
    IInfoRubrique* m_piBestParseItem = nullptr;
    IInfoRubrique* m_piBestKey = nullptr;
    IInfoRubrique* m_piUniqueKey = nullptr;
    IInfoRubrique* m_piKey = nullptr;
    IInfoRubrique* m_piOrderByItem = nullptr;
    CRefArray<IInfoFrom> m_tabFrom{30};
    int32_t m_nFromCursor = -1;
    CRefArray<IInfoRubrique> m_tabRubriques{30};
    int32_t m_nRubriqueCursor = -1;
    int32_t m_bCalculated = 0;
    int32_t m_bAggregate = 0;
    CRefArray<CInfoGroupe> m_tabGroupe{30};
    int32_t m_nGroupeCursor = -1;
    CRefArray<IInfoOrderBy> m_tabOrderBy{30};
    int32_t m_nOrderByCursor = -1;
    CTTableau<IInfoAffectation*> m_tabUpdate{30};
    int32_t m_nUpdateCursor = -1;
    CTTableau<IInfoInsertion*> m_tabInsert{30};
    int32_t m_nInsertCursor = -1;
    IExpOpExpression* m_piWhere = nullptr;
    IExpOpExpression* m_piFurther = nullptr;
    CNARecord* m_pclRecord = nullptr;
    int32_t m_nLimited = -1;
};

inline void REF_AddRef(CSQLParserInfo* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CSQLParserInfo* p)
{
    p->nRelease();
}
