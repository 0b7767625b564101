// The data access's statements: one per browse item, keyed by the item's
// name without regard to case, the empty name being the default item whose
// statement serves every write, creation, drop and emptying.
#include <cstdlib>
#include <cwchar>

#include "native/access/data_access.h"
#include "native/access/held_references.h"
#include "native/access/id_auto.h"
#include "native/access/statement.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/table_cache.h"
#include "native/sql/filter.h"
#include "native/sql/sql_parser_info.h"

CNAStatement* CNADataAccess::_pclFindStatement(const wchar_t* pszItem)
{
    const wchar_t* pszKey = pszItem != nullptr ? pszItem : L"";
    // The same item as the last look-up: read by read the host names it with
    // the very same text, which needs no comparison by the locale's rules.
    if (m_pszLookupKey != nullptr && (std::wcscmp(m_pszLookupKey, pszKey) == 0 ||
                                      CHashTableBounce::nStringLogiqueCompare(m_pszLookupKey, pszKey) == 0)) {
        REF_AddRef(m_pclLookupStatement);
        return m_pclLookupStatement;
    }
    CNAStatement* pclStatement = nullptr;
    wchar_t* pszStored = nullptr;
    if (!m_tabStatement.bGetElement(pszKey, &pclStatement, &pszStored) || pclStatement == nullptr)
        return nullptr;
    m_pszLookupKey = pszStored;
    m_pclLookupStatement = pclStatement;
    REF_AddRef(pclStatement);
    return pclStatement;
}

CNAStatement* CNADataAccess::_pclInitStatement(const wchar_t* pszItem)
{
    const wchar_t* pszKey = pszItem != nullptr ? pszItem : L"";
    CNAStatement* pclStatement = _pclAllocStatement(this, m_pclError);
    if (pclStatement == nullptr)
        return nullptr;
    // The factory leaves it at count 0: one reference for the caller, and
    // the registry takes its own when it adds it.
    REF_AddRef(pclStatement);
    if (!m_tabStatement.bAjoute(pszKey, pclStatement)) {
        REF_Release(pclStatement);
        return nullptr;
    }
    pclStatement->SetSearchItemName(pszKey);
    pclStatement->SetParseItemName(pszKey);
    return pclStatement;
}

CNAStatement* CNADataAccess::_pclGetNewItemStatement(const wchar_t* pszItem, eNA_PARSEDIRECTION,
                                                     NA_WRITEPARSEFLAGS nFlags)
{
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        pclStatement = _pclInitStatement(pszItem);
    if (pclStatement == nullptr)
        return nullptr;
    CNAStatement* pclPrevious = m_pclLastStatement;
    m_pclLastStatement = pclStatement;
    if ((nFlags & 0x8000) != 0 && pclPrevious != nullptr && pclPrevious != pclStatement)
        (void)_bKeepFilter(pclPrevious, pclStatement);
    return pclStatement;
}

CNAStatement* CNADataAccess::_pclGetLastStatement()
{
    if (m_pclLastStatement != nullptr) {
        REF_AddRef(m_pclLastStatement);
        return m_pclLastStatement;
    }
    const wchar_t* pszItem = pszGetBestParseItemName();
    CNAStatement* pclStatement = _pclFindStatement(pszItem);
    if (pclStatement == nullptr)
        pclStatement = _pclInitStatement(pszItem);
    m_pclLastStatement = pclStatement;
    return pclStatement;
}

CNAStatement* CNADataAccess::_pclGetQueryStatement()
{
    CNAStatement* pclStatement = _pclFindStatement(L"");
    return pclStatement != nullptr ? pclStatement : _pclInitStatement(L"");
}

int CNADataAccess::_bKeepFilter(CNAStatement* pclFrom, CNAStatement* pclTo)
{
    if (pclFrom == nullptr || pclTo == nullptr)
        return 0;
    CNAFilter* pclFilter = pclFrom->pclGetFilter();
    if (pclFilter == nullptr)
        return 1;
    if (pclFilter->bIsFilterActive())
        pclTo->_SetFilter(pclFilter);
    REF_Release(pclFilter);
    return 1;
}

int CNADataAccess::_bChangeStatementKey(const wchar_t* pszNew, const wchar_t* pszOld, CNAStatement* pclStatement)
{
    const wchar_t* pszNewKey = pszNew != nullptr ? pszNew : L"";
    const wchar_t* pszOldKey = pszOld != nullptr ? pszOld : L"";
    if (pclStatement != nullptr)
        REF_AddRef(pclStatement);
    else
        pclStatement = _pclFindStatement(pszOldKey);
    if (pclStatement == nullptr)
        return 1;
    if (m_pclLookupStatement == pclStatement) {
        m_pszLookupKey = nullptr;
        m_pclLookupStatement = nullptr;
    }
    (void)m_tabStatement.bSupprime(pszOldKey);
    (void)m_tabStatement.bAjoute(pszNewKey, pclStatement);
    pclStatement->SetSearchItemName(pszNewKey);
    pclStatement->SetParseItemName(pszNewKey);
    REF_Release(pclStatement);
    return 1;
}

void CNADataAccess::_CloseAllStatement()
{
    m_pclLastStatement = nullptr;
    m_pszLookupKey = nullptr;
    m_pclLookupStatement = nullptr;
    unsigned dwCursor = 0;
    void* pValue = nullptr;
    void* pKey = nullptr;
    while (m_tabStatement.bParseTable(&dwCursor, 1, &pValue, &pKey)) {
        auto* pclStatement = static_cast<CNAStatement*>(pValue);
        // Closed before it goes: another holder may keep it alive, and its
        // row states and record saves belong to this data access.
        pclStatement->Close();
        CNARefHooksOf<CNAStatement>::Release(pclStatement);
        std::free(pKey);
    }
    NA_ReplaceHeld(m_pclIDAuto, static_cast<CNAIDAuto*>(nullptr));
}

void CNADataAccess::ClosingStatement(CNAStatement* pclStatement)
{
    if (m_pclTableCache != nullptr && pclStatement != nullptr && m_pclTableCache->bIsStatementParse(pclStatement))
        _FreeTableCache();
}

void CNADataAccess::_SetExecutionStatement(CNAStatement* pclStatement)
{
    NA_ReplaceHeld(m_pclExecutionStatement, pclStatement);
}

INAItemDescription* CNADataAccess::piGetBestParseItemDesc() const
{
    return m_piSource != nullptr ? m_piSource->piGetBestParseItemDesc() : nullptr;
}

const wchar_t* CNADataAccess::pszGetBestParseItemName() const
{
    INAItemDescription* piItem = piGetBestParseItemDesc();
    if (piItem == nullptr)
        return L"";
    // The description keeps its best item: the name outlives this
    // reference.
    const wchar_t* pszName = piItem->pszGetName();
    piItem->nExternalRelease();
    return pszName != nullptr ? pszName : L"";
}

const wchar_t* CNADataAccess::_pszGetDefaultParseItem() const
{
    if (m_bQuery && m_pclSourceQuery != nullptr) {
        const wchar_t* pszOrderBy = m_pclSourceQuery->pszGetOrderByItem();
        if (pszOrderBy != nullptr && pszOrderBy[0] != 0)
            return pszOrderBy;
    }
    return pszGetBestParseItemName();
}
