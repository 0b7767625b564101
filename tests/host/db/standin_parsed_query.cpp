#include "tests/host/db/standin_parsed_query.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

using namespace vxstandin;

namespace {

bool bSameName(const std::wstring& a, const wchar_t* b)
{
    if (b == nullptr)
        return a.empty();
    size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i)
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

// Writes the name within the capacity, terminator included; 0 when there
// is no name or no room.
int WriteName(const std::wstring& name, wchar_t* pszBuffer, unsigned nCapacity)
{
    if (name.empty() || pszBuffer == nullptr || nCapacity == 0)
        return 0;
    const size_t n = std::min<size_t>(name.size(), nCapacity - 1);
    std::wmemcpy(pszBuffer, name.c_str(), n);
    pszBuffer[n] = L'\0';
    return 1;
}

class Expression final : public IExpOpExpression
{
public:
    explicit Expression(const ExpressionSpec& spec) : m_spec(spec) {}

    std::vector<IExpOpExpression*> operands;

    eOPEXPRESSION eGetOperator() const override { return static_cast<eOPEXPRESSION>(m_spec.eOperator); }
    int nGetOperandNbr() const override { return static_cast<int>(operands.size()); }
    IExpOpExpression* piGetOperand(int n) const override
    {
        return n >= 0 && static_cast<size_t>(n) < operands.size() ? operands[static_cast<size_t>(n)] : nullptr;
    }
    SQLPosition stGetPosition() const override { return m_spec.position; }
    const wchar_t* pszGetNomRubrique() const override { return m_spec.item.c_str(); }
    const wchar_t* pszGetNomTable() const override { return m_spec.table.c_str(); }
    int eGetQFType() const override { return m_spec.eQFType; }
    int bIsOuterJoin() const override { return m_spec.bOuterJoin; }
    wchar_t wGetEscape() const override { return m_spec.wEscape; }
    const CAny* pclGetValue() const override { return m_spec.value.get(); }
    INAItemDescription* piGetItemDescription() const override { return m_spec.description; }

private:
    ExpressionSpec m_spec;
};

}  // namespace

SQLPosition vxstandin::Span(const std::wstring& text, const std::wstring& piece, int nth)
{
    size_t nAt = std::wstring::npos;
    size_t nFrom = 0;
    for (int i = 0; i <= nth; ++i) {
        nAt = text.find(piece, nFrom);
        if (nAt == std::wstring::npos || piece.empty())
            return SQLPosition{-1, -1};
        nFrom = nAt + 1;
    }
    return SQLPosition{static_cast<long>(nAt), static_cast<long>(nAt + piece.size() - 1)};
}

class StandinParsedQuery::Join final : public IInfoJointure
{
public:
    Join(SQLPosition position, IExpOpExpression* pCondition) : m_position(position), m_pCondition(pCondition) {}
    SQLPosition stGetPosition() const override { return m_position; }
    IExpOpExpression* piGetCondition() const override { return m_pCondition; }

private:
    SQLPosition m_position;
    IExpOpExpression* m_pCondition;
};

class StandinParsedQuery::FromTable final : public IInfoFrom
{
public:
    FromTable(const FromSpec& spec, const ThrowSwitch* pThrow) : m_spec(spec), m_pThrow(pThrow)
    {
        if (m_spec.alias.empty())
            m_spec.alias = m_spec.name;
    }

    const FromSpec& Spec() const { return m_spec; }

    const wchar_t* pszGetNom() const override { return m_spec.name.c_str(); }
    const wchar_t* pszGetAlias() const override { return m_spec.alias.c_str(); }
    int bAvecAS() const override { return m_spec.bAs; }
    SQLPosition stGetPosition() const override { return m_spec.position; }
    INADataSourceDescription* piGetNADataSourceDescription() const override { return m_spec.description; }
    int bGetPhysicalName(wchar_t* pszBuffer, unsigned nCapacity) const override
    {
        m_pThrow->Check(THROW_PHYSICAL_NAME);
        return WriteName(m_spec.physicalName, pszBuffer, nCapacity);
    }
    int nEnumElementKind(int bRestart) override
    {
        if (bRestart)
            m_nCursor = 0;
        return m_nCursor < m_spec.elementKinds.size() ? m_spec.elementKinds[m_nCursor++] : -1;
    }

private:
    FromSpec m_spec;
    const ThrowSwitch* m_pThrow;
    size_t m_nCursor = 0;
};

class StandinParsedQuery::OrderElement final : public IInfoOrderBy
{
public:
    explicit OrderElement(const OrderSpec& spec) : m_spec(spec) {}

    int nGetIndex() const override { return m_spec.nIndex; }
    SQLPosition stGetPosition() const override { return m_spec.position; }
    int nGetDirection() const override { return m_spec.nDirection; }

private:
    OrderSpec m_spec;
};

class StandinParsedQuery::GroupElement final : public IInfoGroupe
{
public:
    explicit GroupElement(const GroupSpec& spec) : m_spec(spec) {}

    const wchar_t* pszGetAlias() const override { return m_spec.alias.c_str(); }
    int bIsAvecTable() const override { return m_spec.bAvecTable; }
    const wchar_t* pszGetNomTable() const override { return m_spec.table.c_str(); }
    const wchar_t* pszGetNomRubrique() const override { return m_spec.item.c_str(); }
    SQLPosition stGetPosition() const override { return m_spec.position; }
    const wchar_t* pszGetNomFichier() const override { return m_spec.file.c_str(); }
    const wchar_t* pszGetNomRubriqueAlias() const override { return m_spec.itemAlias.c_str(); }

private:
    GroupSpec m_spec;
};

class StandinParsedQuery::Assignment final : public IInfoAffectation
{
public:
    Assignment(IExpOpExpression* pColumn, IExpOpExpression* pValue, SQLPosition position)
        : m_pColumn(pColumn), m_pValue(pValue), m_position(position)
    {
    }
    ~Assignment() = default;

    IExpOpExpression* piGetColumn() const override { return m_pColumn; }
    IExpOpExpression* piGetValue() const override { return m_pValue; }
    SQLPosition stGetPosition() const override { return m_position; }

private:
    IExpOpExpression* m_pColumn;
    IExpOpExpression* m_pValue;
    SQLPosition m_position;
};

class StandinParsedQuery::InsertItem final : public IInfoInsertion
{
public:
    InsertItem(const std::wstring& item, IExpOpExpression* pValue, SQLPosition position)
        : m_item(item), m_pValue(pValue), m_position(position)
    {
    }
    ~InsertItem() = default;

    const wchar_t* pszGetNomRubrique() const override { return m_item.c_str(); }
    IExpOpExpression* piGetValue() const override { return m_pValue; }
    SQLPosition stGetPosition() const override { return m_position; }

private:
    std::wstring m_item;
    IExpOpExpression* m_pValue;
    SQLPosition m_position;
};

StandinParsedQuery::StandinParsedQuery(const ParsedQuerySpec& spec) : m_spec(spec)
{
    for (const FromSpec& from : m_spec.from) {
        auto* p = new FromTable(from, &m_throw);
        p->dwAddRef();
        m_counted.push_back(p);
        m_from.push_back(p);
    }
    for (size_t i = 0; i < m_spec.items.size(); ++i) {
        const ItemSpec& item = m_spec.items[i];
        auto* p = new StandinInfoRubrique(item.eQFType, item.nFunctionCode, item.nSize, item.dwCalculValue);
        p->dwAddRef();
        m_counted.push_back(p);
        p->item = item.item;
        p->alias = item.alias;
        p->name = !item.name.empty() ? item.name : !item.alias.empty() ? item.alias : item.item;
        p->text = !item.text.empty() ? item.text : item.item;
        p->table = item.table;
        p->tableAlias = !item.tableAlias.empty() ? item.tableAlias : item.table;
        p->eKind = item.eKind;
        p->bAs = item.bAs;
        p->bItem = item.bIsItem;
        p->position = item.position;
        p->nIndex = item.nIndex >= 0 ? item.nIndex : static_cast<int>(i);
        p->description = item.description;
        p->expression = item.expression ? _pMake(*item.expression) : nullptr;
        p->pThrow = &m_throw;
        m_items.push_back(p);
    }
    for (const GroupSpec& group : m_spec.groupBy)
        m_groups.push_back(std::make_unique<GroupElement>(group));
    for (const OrderSpec& order : m_spec.orderBy) {
        auto* p = new OrderElement(order);
        p->dwAddRef();
        m_counted.push_back(p);
        m_orderBy.push_back(p);
    }
    for (const AssignSpec& update : m_spec.updates)
        m_updates.push_back(std::make_unique<Assignment>(_pMake(update.column), _pMake(update.value), update.position));
    for (const InsertSpec& insert : m_spec.inserts)
        m_inserts.push_back(std::make_unique<InsertItem>(insert.item, _pMake(insert.value), insert.position));
    for (const JoinSpec& join : m_spec.joins) {
        auto* p = new Join(join.position, join.condition ? _pMake(*join.condition) : nullptr);
        p->dwAddRef();
        m_counted.push_back(p);
        m_joins.push_back(p);
    }
    if (m_spec.where)
        m_pWhere = _pMake(*m_spec.where);
    if (m_spec.having)
        m_pHaving = _pMake(*m_spec.having);
}

StandinParsedQuery::~StandinParsedQuery()
{
    // Last made first: an expression goes after the nodes above it.
    for (auto it = m_counted.rbegin(); it != m_counted.rend(); ++it)
        (*it)->dwRelease();
}

IExpOpExpression* StandinParsedQuery::_pMake(const ExpressionSpec& spec)
{
    auto* p = new Expression(spec);
    p->dwAddRef();
    m_counted.push_back(p);
    for (const ExpressionSpec& operand : spec.operands)
        p->operands.push_back(_pMake(operand));
    return p;
}

IInfoFrom* StandinParsedQuery::From(size_t n) const
{
    return n < m_from.size() ? m_from[n] : nullptr;
}

StandinInfoRubrique* StandinParsedQuery::Item(size_t n) const
{
    return n < m_items.size() ? m_items[n] : nullptr;
}

IInfoOrderBy* StandinParsedQuery::OrderBy(size_t n) const
{
    return n < m_orderBy.size() ? m_orderBy[n] : nullptr;
}

bool StandinParsedQuery::bBalanced() const
{
    if (Refs().nBalance() != 0)
        return false;
    return std::all_of(m_counted.begin(), m_counted.end(),
                       [](const CVXUnknown* p) { return p->dwGetRefCount() == 1; });
}

int StandinParsedQuery::bCheckVersion(int nMajor, int nMinor, uint32_t* pnVersion)
{
    m_nHandshakeMajor = nMajor;
    m_nHandshakeMinor = nMinor;
    if (!m_spec.bHandshake)
        return 0;
    if (pnVersion != nullptr)
        *pnVersion = m_spec.nVersion;
    return 1;
}

template <class V>
typename V::value_type StandinParsedQuery::_pNext(const V& list, size_t& nCursor, int bRestart)
{
    if (bRestart)
        nCursor = 0;
    return nCursor < list.size() ? list[nCursor++] : nullptr;
}

IInfoJointure* StandinParsedQuery::piEnumJointure(int bRestart)
{
    return _pNext(m_joins, m_nJoinCursor, bRestart);
}

IInfoFrom* StandinParsedQuery::piEnumFrom(int bRestart)
{
    return _pNext(m_from, m_nFromCursor, bRestart);
}

IInfoRubrique* StandinParsedQuery::piEnumRubrique(int bRestart)
{
    m_throw.Check(THROW_ENUM_RUBRIQUE);
    return _pNext(m_items, m_nItemCursor, bRestart);
}

IInfoGroupe* StandinParsedQuery::piEnumGroupe(int bRestart)
{
    if (bRestart)
        m_nGroupCursor = 0;
    return m_nGroupCursor < m_groups.size() ? m_groups[m_nGroupCursor++].get() : nullptr;
}

IInfoOrderBy* StandinParsedQuery::piEnumOrderBy(int bRestart)
{
    return _pNext(m_orderBy, m_nOrderCursor, bRestart);
}

IInfoAffectation* StandinParsedQuery::piEnumAffectation(int bRestart)
{
    if (bRestart)
        m_nUpdateCursor = 0;
    return m_nUpdateCursor < m_updates.size() ? m_updates[m_nUpdateCursor++].get() : nullptr;
}

IInfoInsertion* StandinParsedQuery::piEnumInsertion(int bRestart)
{
    if (bRestart)
        m_nInsertCursor = 0;
    return m_nInsertCursor < m_inserts.size() ? m_inserts[m_nInsertCursor++].get() : nullptr;
}

int StandinParsedQuery::bGetPhysicalName(const wchar_t* pszTable, wchar_t* pszBuffer, unsigned nCapacity) const
{
    m_nLastNameCapacity = nCapacity;
    m_throw.Check(THROW_PHYSICAL_NAME);
    const std::wstring* pName = nullptr;
    for (const auto& entry : m_spec.physicalNames) {
        if (bSameName(entry.first, pszTable)) {
            pName = &entry.second;
            break;
        }
    }
    for (size_t i = 0; pName == nullptr && i < m_from.size(); ++i) {
        const FromSpec& from = m_from[i]->Spec();
        if (!from.physicalName.empty() && (bSameName(from.alias, pszTable) || bSameName(from.name, pszTable)))
            pName = &from.physicalName;
    }
    return pName != nullptr ? WriteName(*pName, pszBuffer, nCapacity) : 0;
}

INADataSourceDescription* StandinParsedQuery::piGetNADataSourceDescription(const wchar_t* pszTable) const
{
    m_throw.Check(THROW_DATA_SOURCE);
    for (const auto& entry : m_spec.descriptions) {
        if (bSameName(entry.first, pszTable))
            return entry.second;
    }
    for (const FromTable* p : m_from) {
        if (bSameName(p->Spec().name, pszTable) && p->Spec().description != nullptr)
            return p->Spec().description;
    }
    return nullptr;
}
