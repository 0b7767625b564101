#pragma once

// A query as the host's SQL module would parse it, stood in for: a test
// writes a small description (the text, the host's kind, the FROM tables,
// the output items, GROUP BY and ORDER BY elements, UPDATE and INSERT items,
// the clause positions, the WHERE and HAVING trees) and the stand-in hands
// it out through ISQLParserInformation and the element interfaces.
//
//     const std::wstring text = L"SELECT A FROM T";
//     StandinParsedQuery query({.text = text,
//                               .from = {{.name = L"T", .position = Span(text, L"T", 1)}},
//                               .items = {{.item = L"A", .table = L"T"}}});
//
// Defaults fill what a description leaves out: an item's name is its alias,
// else its item name; its text its item name; its index its place in the
// list; a FROM table's alias its name. Clause starts are 0 and ends -1
// (absent) unless given. Span finds a piece of the text.
//
// The parse is held through its external references (counted, never
// deleting: the test owns it). The elements are CVXUnknown objects the
// stand-in makes and holds one reference on until it is destroyed; the
// driver's references show in bBalanced. Every host call that may throw can
// be told to (SetThrow). The physical name is written into the caller's
// buffer within the capacity the caller gives, which is recorded.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text/any.h"
#include "native/sql/host_expression.h"
#include "native/sql/host_info_affectation.h"
#include "native/sql/host_info_from.h"
#include "native/sql/host_info_groupe.h"
#include "native/sql/host_info_insertion.h"
#include "native/sql/host_info_jointure.h"
#include "native/sql/host_info_order_by.h"
#include "native/sql/host_sql_parser_information.h"
#include "tests/host/db/standin_host_object.h"
#include "tests/host/db/standin_info_rubrique.h"
#include "tests/host/db/standin_throw_switch.h"

namespace vxstandin {

// The span of the nth occurrence (from 0) of a piece of the text: its first
// and last character; {-1, -1} when there is none.
SQLPosition Span(const std::wstring& text, const std::wstring& piece, int nth = 0);

struct ExpressionSpec
{
    int eOperator = OPEXP_ITEM;
    // For a column.
    std::wstring item;
    std::wstring table;
    int eQFType = 0;
    int bOuterJoin = 0;
    SQLPosition position{-1, -1};
    wchar_t wEscape = 0;
    // For a column: its item's description (not owned).
    INAItemDescription* description = nullptr;
    // For a literal.
    std::shared_ptr<CAny> value;
    std::vector<ExpressionSpec> operands;
};

struct FromSpec
{
    std::wstring name;
    std::wstring alias;
    int bAs = 0;
    SQLPosition position{-1, -1};
    // Not owned.
    INADataSourceDescription* description = nullptr;
    std::wstring physicalName;
    // The host's kinds of the table's elements (38 and 24: auto-identifiers).
    std::vector<int> elementKinds;
};

struct ItemSpec
{
    std::wstring name;
    std::wstring alias;
    std::wstring text;
    std::wstring item;
    std::wstring table;
    std::wstring tableAlias;
    int eKind = IInfoRubrique::KIND_ITEM;
    int bAs = 0;
    // The host's item test: 0 for a column it computes.
    int bIsItem = 1;
    SQLPosition position{-1, -1};
    int nIndex = -1;
    // Not owned.
    INAItemDescription* description = nullptr;
    std::optional<ExpressionSpec> expression;
    int eQFType = 0;
    int nFunctionCode = 0;
    int nSize = 0;
    unsigned dwCalculValue = 0;
};

struct GroupSpec
{
    std::wstring alias;
    int bAvecTable = 0;
    std::wstring table;
    std::wstring item;
    SQLPosition position{-1, -1};
    std::wstring file;
    std::wstring itemAlias;
};

struct OrderSpec
{
    int nIndex = -1;
    SQLPosition position{-1, -1};
    int nDirection = 0;
};

struct AssignSpec
{
    ExpressionSpec column;
    ExpressionSpec value;
    SQLPosition position{-1, -1};
};

struct InsertSpec
{
    std::wstring item;
    ExpressionSpec value;
    SQLPosition position{-1, -1};
};

struct JoinSpec
{
    // The condition's span (after ON).
    SQLPosition position{-1, -1};
    std::optional<ExpressionSpec> condition;
};

struct ParsedQuerySpec
{
    std::wstring text;
    int eType = TYPEREQUETE_SELECT;
    std::vector<FromSpec> from;
    std::vector<ItemSpec> items;
    std::vector<GroupSpec> groupBy;
    std::vector<OrderSpec> orderBy;
    std::vector<AssignSpec> updates;
    std::vector<InsertSpec> inserts;
    std::vector<JoinSpec> joins;
    long whereStart = 0;
    long whereEnd = -1;
    long orderByStart = 0;
    long havingStart = 0;
    long havingEnd = -1;
    long end = -1;
    long groupByEnd = -1;
    std::optional<ExpressionSpec> where;
    std::optional<ExpressionSpec> having;
    // Physical names by table name or alias, besides the FROM tables' own.
    std::vector<std::pair<std::wstring, std::wstring>> physicalNames;
    // The module's descriptions by table name (not owned), besides the FROM
    // tables' own.
    std::vector<std::pair<std::wstring, INADataSourceDescription*>> descriptions;
    // Not owned.
    CTabValParser* clauseList = nullptr;
    // The handshake's answer and the version it writes.
    int bHandshake = 1;
    uint32_t nVersion = 32;
};

}  // namespace vxstandin

class StandinParsedQuery final : public StandinHostObject<ISQLParserInformation>
{
public:
    explicit StandinParsedQuery(const vxstandin::ParsedQuerySpec& spec);
    ~StandinParsedQuery();

    // Calls told to throw: a mask of vxstandin::THROW_*.
    void SetThrow(unsigned nMask) { m_throw.nMask = nMask; }

    // The elements handed out, for the test to compare pointers with.
    IInfoFrom* From(size_t n) const;
    StandinInfoRubrique* Item(size_t n) const;
    IInfoOrderBy* OrderBy(size_t n) const;
    IExpOpExpression* Where() const { return m_pWhere; }
    IExpOpExpression* Having() const { return m_pHaving; }

    // Whether the driver gave back every reference it took: on the parse
    // and on each element (the stand-in's own one aside).
    bool bBalanced() const;
    // The capacity the last physical-name look-up was given; the handshake's
    // two numbers.
    unsigned nLastNameCapacity() const { return m_nLastNameCapacity; }
    int nHandshakeMajor() const { return m_nHandshakeMajor; }
    int nHandshakeMinor() const { return m_nHandshakeMinor; }
    // How often the query text was asked for.
    int nTextReads() const { return m_nTextReads; }

    int bCheckVersion(int nMajor, int nMinor, uint32_t* pnVersion) override;
    const wchar_t* pszGetRequete() const override
    {
        ++m_nTextReads;
        return m_spec.text.c_str();
    }
    long nGetWhereStart() const override { return m_spec.whereStart; }
    long nGetWhereEnd() const override { return m_spec.whereEnd; }
    long nGetOrderByStart() const override { return m_spec.orderByStart; }
    eTYPEREQUETE eGetTypeRequete() const override { return static_cast<eTYPEREQUETE>(m_spec.eType); }
    long nGetHavingStart() const override { return m_spec.havingStart; }
    long nGetHavingEnd() const override { return m_spec.havingEnd; }
    IInfoFrom* piEnumFrom(int bRestart) override;
    IInfoRubrique* piEnumRubrique(int bRestart) override;
    IInfoGroupe* piEnumGroupe(int bRestart) override;
    IInfoOrderBy* piEnumOrderBy(int bRestart) override;
    IInfoAffectation* piEnumAffectation(int bRestart) override;
    IInfoInsertion* piEnumInsertion(int bRestart) override;
    IExpOpExpression* piGetWhereExpression() const override { return m_pWhere; }
    IExpOpExpression* piGetHavingExpression() const override { return m_pHaving; }
    int bGetPhysicalName(const wchar_t* pszTable, wchar_t* pszBuffer, unsigned nCapacity) const override;
    INADataSourceDescription* piGetNADataSourceDescription(const wchar_t* pszTable) const override;
    CTabValParser* pclGetClauseList() const override { return m_spec.clauseList; }
    IInfoJointure* piEnumJointure(int bRestart) override;
    void EmptySlot27() override {}
    long nGetEnd() const override { return m_spec.end; }
    void EmptySlot29() override {}
    long nGetGroupByEnd() const override { return m_spec.groupByEnd; }

private:
    class FromTable;
    class OrderElement;
    class GroupElement;
    class Assignment;
    class InsertItem;
    class Join;

    IExpOpExpression* _pMake(const vxstandin::ExpressionSpec& spec);
    template <class V>
    static typename V::value_type _pNext(const V& list, size_t& nCursor, int bRestart);

    vxstandin::ParsedQuerySpec m_spec;
    vxstandin::ThrowSwitch m_throw;
    // Every counted object made, with the stand-in's own reference.
    std::vector<CVXUnknown*> m_counted;
    std::vector<FromTable*> m_from;
    std::vector<StandinInfoRubrique*> m_items;
    std::vector<OrderElement*> m_orderBy;
    std::vector<std::unique_ptr<GroupElement>> m_groups;
    std::vector<std::unique_ptr<Assignment>> m_updates;
    std::vector<std::unique_ptr<InsertItem>> m_inserts;
    std::vector<Join*> m_joins;
    IExpOpExpression* m_pWhere = nullptr;
    IExpOpExpression* m_pHaving = nullptr;
    size_t m_nFromCursor = 0;
    size_t m_nItemCursor = 0;
    size_t m_nGroupCursor = 0;
    size_t m_nOrderCursor = 0;
    size_t m_nUpdateCursor = 0;
    size_t m_nInsertCursor = 0;
    size_t m_nJoinCursor = 0;
    mutable unsigned m_nLastNameCapacity = 0;
    mutable int m_nTextReads = 0;
    int m_nHandshakeMajor = 0;
    int m_nHandshakeMinor = 0;
};
