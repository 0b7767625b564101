// The parsed-query adapter: tables, their descriptions and physical names,
// and the questions about output items and record columns.
#include "common/text/str_compare.h"
#include "native/model/column.h"
#include "native/model/item_rules.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/sql/sql_parser_info.h"

namespace {

// Names of tables, items and aliases compare without regard to case or
// accents.
constexpr unsigned kNameCompare = 3;

bool bSameName(const wchar_t* a, const wchar_t* b)
{
    return STR_nCompareW(a, b, kNameCompare) == 0;
}

bool bEmpty(const wchar_t* psz)
{
    return psz == nullptr || *psz == L'\0';
}

// The one buffer the physical names are handed out in.
wchar_t g_szPhysicalName[CSQLParserInfo::PHYSICAL_NAME_CAPACITY];

// The host engine's types of memo items, as an item operand reports them.
bool bMemoQFType(int eQFType)
{
    return eQFType == 15 || eQFType == 16 || eQFType == 29 || eQFType == 30 || eQFType == 40;
}

// A host tree deeper than this is not walked further: the driver's stack is
// not the host's to exhaust.
constexpr int kMaxExpressionDepth = 256;

INADataSourceDescription* piWithRef(INADataSourceDescription* piDescription)
{
    if (piDescription != nullptr)
        piDescription->ExternalAddRef();
    return piDescription;
}

}  // namespace

INADataSourceDescription* CSQLParserInfo::piGetNADataSourceDescription(const wchar_t* pszTable) const
{
    if (m_piParse == nullptr)
        return nullptr;
    try {
        return piWithRef(m_piParse->piGetNADataSourceDescription(pszTable));
    } catch (...) {
        return nullptr;
    }
}

int CSQLParserInfo::bIsTableAlias(const wchar_t* pszName, INADataSourceDescription** ppiDescription) const
{
    if (ppiDescription != nullptr)
        *ppiDescription = nullptr;
    for (int i = 0; i < m_tabFrom.nGetNbElement(); ++i) {
        IInfoFrom* piTable = m_tabFrom[i];
        if (!bSameName(piTable->pszGetAlias(), pszName))
            continue;
        if (!bSameName(piTable->pszGetAlias(), piTable->pszGetNom()))
            return 1;
        if (ppiDescription != nullptr)
            *ppiDescription = piWithRef(piTable->piGetNADataSourceDescription());
        return 0;
    }
    if (ppiDescription != nullptr)
        *ppiDescription = piGetNADataSourceDescription(pszName);
    return 0;
}

const wchar_t* CSQLParserInfo::pszGetPhysicalName(const wchar_t* pszTable) const
{
    g_szPhysicalName[0] = L'\0';
    if (m_piParse == nullptr)
        return nullptr;
    int bFound;
    try {
        bFound = m_piParse->bGetPhysicalName(pszTable, g_szPhysicalName, PHYSICAL_NAME_CAPACITY);
    } catch (...) {
        bFound = 0;
    }
    // The host's writing is not trusted to end the text inside the buffer.
    g_szPhysicalName[PHYSICAL_NAME_CAPACITY - 1] = L'\0';
    return bFound && g_szPhysicalName[0] != L'\0' ? g_szPhysicalName : nullptr;
}

const wchar_t* CSQLParserInfo::pszGetPhysicalName(IInfoRubrique* piItem) const
{
    if (piItem == nullptr)
        return nullptr;
    const wchar_t* pszTable = piItem->pszGetAliasTable();
    if (bEmpty(pszTable))
        pszTable = piItem->pszGetNomTable();
    const wchar_t* pszPhysical = bEmpty(pszTable) ? nullptr : pszGetPhysicalName(pszTable);
    return pszPhysical != nullptr ? pszPhysical : piItem->pszGetNomTable();
}

CTString CSQLParserInfo::csGetFichierFrom_DBTableName(int n) const
{
    CTString csName;
    IInfoFrom* piTable = piGetFichierFrom(n);
    if (piTable == nullptr)
        return csName;
    wchar_t szPhysical[PHYSICAL_NAME_CAPACITY] = {};
    int bFound;
    try {
        bFound = piTable->bGetPhysicalName(szPhysical, PHYSICAL_NAME_CAPACITY);
    } catch (...) {
        bFound = 0;
    }
    szPhysical[PHYSICAL_NAME_CAPACITY - 1] = L'\0';
    if (bFound && szPhysical[0] != L'\0') {
        csName.Set(szPhysical);
        return csName;
    }
    const INADataSourceDescription* piDescription = piTable->piGetNADataSourceDescription();
    if (piDescription != nullptr && !bEmpty(piDescription->pszGetDBTableName()))
        csName.Set(piDescription->pszGetDBTableName());
    else
        csName.Set(piTable->pszGetNom());
    return csName;
}

IInfoRubrique* CSQLParserInfo::piEnumRubriqueOUT(const wchar_t* pszName) const
{
    for (int i = 0; i < m_tabRubriques.nGetNbElement(); ++i) {
        if (bSameName(m_tabRubriques[i]->pszGetNom(), pszName))
            return m_tabRubriques[i];
    }
    return nullptr;
}

IInfoRubrique* CSQLParserInfo::g_piGetInfoRubriqueFromAlias(ISQLParserInformation* piParse,
                                                            const wchar_t* pszTableAlias, const wchar_t* pszItem)
{
    if (piParse == nullptr)
        return nullptr;
    try {
        for (IInfoRubrique* pi = piParse->piEnumRubrique(1); pi != nullptr; pi = piParse->piEnumRubrique(0)) {
            if (!bSameName(pi->pszGetNom(), pszItem))
                continue;
            if (bEmpty(pszTableAlias))
                return pi;
            if (pi->eGetKind() == IInfoRubrique::KIND_ITEM && bSameName(pi->pszGetAliasTable(), pszTableAlias))
                return pi;
        }
    } catch (...) {
    }
    return nullptr;
}

IInfoRubrique* CSQLParserInfo::piGetInfoRubriqueFromAlias(const wchar_t* pszTableAlias, const wchar_t* pszItem) const
{
    return g_piGetInfoRubriqueFromAlias(m_piParse, pszTableAlias, pszItem);
}

INAItemDescription* CSQLParserInfo::piGetItemDescription(const IInfoRubrique* piItem) const
{
    if (piItem == nullptr || !piItem->bIsItem())
        return nullptr;
    INAItemDescription* piDescription;
    try {
        piDescription = piItem->piGetItemDescription();
    } catch (...) {
        return nullptr;
    }
    if (piDescription != nullptr)
        piDescription->ExternalAddRef();
    return piDescription;
}

int CSQLParserInfo::_bRubriqueKey(const IInfoRubrique* piItem, const IInfoRubrique* piKey,
                                  int (*pfnTest)(const INAItemDescription*)) const
{
    if (piKey == nullptr || piItem == nullptr)
        return 0;
    if (piItem == piKey)
        return 1;
    INAItemDescription* piDescription = piGetItemDescription(piItem);
    if (piDescription == nullptr)
        return 0;
    const int bAnswer = pfnTest(piDescription) != 0;
    piDescription->nExternalRelease();
    return bAnswer;
}

int CSQLParserInfo::bRubriqueUnique(const IInfoRubrique* piItem) const
{
    return _bRubriqueKey(piItem, m_piUniqueKey, [](const INAItemDescription* pi) { return pi->bUnique(); });
}

int CSQLParserInfo::bRubriqueUniqueNotNull(const IInfoRubrique* piItem) const
{
    return _bRubriqueKey(piItem, m_piBestKey, &NA_bUniqueNotNull);
}

int CSQLParserInfo::_bExpressionIsMemo(const IExpOpExpression* piNode, int nDepth)
{
    if (piNode == nullptr || nDepth > kMaxExpressionDepth)
        return 0;
    switch (piNode->eGetOperator()) {
    case OPEXP_ITEM:
        return bMemoQFType(piNode->eGetQFType());
    case OPEXP_LITERAL:
    case OPEXP_NULL:
        return 0;
    default:
        break;
    }
    const int nOperands = piNode->nGetOperandNbr();
    for (int i = 0; i < nOperands; ++i) {
        if (_bExpressionIsMemo(piNode->piGetOperand(i), nDepth + 1))
            return 1;
    }
    return 0;
}

int CSQLParserInfo::bRubriqueSourceIsMemo(const CNAColumn* pclColumn) const
{
    if (pclColumn == nullptr)
        return 0;
    const IInfoRubrique* piItem = piEnumRubriqueOUT(pclColumn->pszGetName());
    if (piItem == nullptr)
        return 0;
    const IExpOpExpression* piRoot = piItem->piGetExpression();
    if (piItem->eGetKind() == IInfoRubrique::KIND_ITEM || piRoot == nullptr)
        return pclColumn->bIsMemo();
    return _bExpressionIsMemo(piRoot, 0);
}

IInfoGroupe* CSQLParserInfo::piGetRubriqueClauseGroupe(const CNAColumn* pclColumn) const
{
    if (pclColumn == nullptr)
        return nullptr;
    for (int i = 0; i < m_tabGroupe.nGetNbElement(); ++i) {
        if (bSameName(m_tabGroupe[i]->pszGetNomRubriqueAlias(), pclColumn->pszGetName()))
            return m_tabGroupe[i];
    }
    return nullptr;
}

IInfoOrderBy* CSQLParserInfo::piGetRubriqueClauseOrder(const CNAColumn* pclColumn) const
{
    if (pclColumn == nullptr)
        return nullptr;
    for (int i = 0; i < m_tabOrderBy.nGetNbElement(); ++i) {
        IInfoRubrique* piItem = piGetRubriqueOUT(m_tabOrderBy[i]->nGetIndex());
        if (piItem == nullptr)
            continue;
        if (bSameName(piItem->pszGetNom(), pclColumn->pszGetName()))
            return m_tabOrderBy[i];
        if (!bEmpty(pclColumn->pszGetOriginalName()) &&
            bSameName(piItem->pszGetNomRubrique(), pclColumn->pszGetOriginalName()) &&
            bSameName(pszGetPhysicalName(piItem), pclColumn->pszGetAliasNomTable()))
            return m_tabOrderBy[i];
    }
    return nullptr;
}
