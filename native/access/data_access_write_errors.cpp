// Naming the item a failed write is about: the unique item whose value is
// already in the table (a duplicate) and the mandatory item left without a
// value. The error object keeps the server's message and code; it gains the
// error type and the data source's logical name and the item's name, which
// the host shows to point at the field.
#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/sql/filter.h"
#include "native/sql/search.h"

namespace {

// The filter "=" on the record's own value of the item.
constexpr int kFilterOnRecordValue = NA_SEARCH_FROM_RECORD;

// The error gains its type and the names of the table and of the item
// found, whose reference goes; 0 when none was found.
int bNameItem(CNAError* pclError, eNA_ERRORTYPE eType, const wchar_t* pszTable, INAItemDescription* piItem)
{
    if (piItem == nullptr)
        return 0;
    pclError->SetErrorType(eType);
    pclError->SetInfoNames(pszTable, piItem->pszGetName());
    piItem->nExternalRelease();
    return 1;
}

}  // namespace

int CNADataAccess::__bDuplicateItem(INAItemDescription* piItem, CNAStatement* pclStatement)
{
    if (piItem == nullptr || pclStatement == nullptr)
        return 0;
    CNAFilter* pclFilter = pclStatement->pclAllocFilter();
    if (pclFilter == nullptr)
        return 0;
    REF_AddRef(pclFilter);
    long llCount = 0;
    int bFound = pclFilter->bSetFilter(m_pclCurrentRecord, piItem, nullptr, 1, nullptr, 1, nullptr,
                                       kFilterOnRecordValue);
    if (bFound) {
        pclFilter->ActivateFilter(1);
        pclStatement->_SetFilter(pclFilter);
        bFound = pclStatement->bGetNbEnr(&llCount, 0, 0) && llCount >= 1;
    }
    REF_Release(pclFilter);
    return bFound;
}

int CNADataAccess::bIsDuplicateItem(int bInsert, CNAColumn* pclColumn, CNAStatement* pclStatement)
{
    if (pclColumn == nullptr || !pclColumn->bIsUnique())
        return 0;
    // A unique index takes any number of NULLs: an item the record leaves
    // without a value cannot be the one that collides.
    if (!pclColumn->bValueDefined(0))
        return 0;
    if (!bInsert && !pclColumn->bValueModified())
        return 0;
    return __bDuplicateItem(pclColumn->piGetItemNoRef(), pclStatement);
}

INAItemDescription* CNADataAccess::piGetDuplicateItem(int bInsert, CNAStatement* pclWritten, NA_WRITEPARSEFLAGS nFlags)
{
    if (m_pclCurrentRecord == nullptr || pclWritten == nullptr)
        return nullptr;
    const eNAQUERYTYPE eKind = bInsert ? NA_QUERY_INSERT : NA_QUERY_UPDATE;
    CNAStatement* pclStatement = _pclAllocStatement(this, m_pclError);
    if (pclStatement == nullptr)
        return nullptr;
    REF_AddRef(pclStatement);
    INAItemDescription* piFound = nullptr;
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn() && piFound == nullptr; ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        // A column the failed statement did not write cannot collide: an
        // identifier the server numbers still holds the row read before.
        if (pclColumn == nullptr || !pclWritten->_bNeedToUpdate(pclColumn, eKind, nFlags))
            continue;
        if (bIsDuplicateItem(bInsert, pclColumn, pclStatement))
            piFound = pclColumn->piGetItem();
    }
    REF_Release(pclStatement);
    return piFound;
}

int CNADataAccess::_bInitErrorDuplicateItemName(CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                                                NA_WRITEPARSEFLAGS nFlags)
{
    return bNameItem(m_pclError, NA_ERR_DUPLICATE_KEY, pszGetLogicalName(),
                     piGetDuplicateItem(eKind == NA_QUERY_INSERT ? 1 : 0, pclStatement, nFlags));
}

INAItemDescription* CNADataAccess::piGetNullItemDesc(CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                                                     NA_WRITEPARSEFLAGS nFlags)
{
    if (m_pclCurrentRecord == nullptr || pclStatement == nullptr)
        return nullptr;
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn == nullptr || pclColumn->bIsComposedKey())
            return nullptr;
        // A column the statement did not write cannot be the one the
        // server refused.
        if (!pclStatement->_bNeedToUpdate(pclColumn, eKind, nFlags))
            continue;
        if (!pclColumn->bIsNullableOnDataBase() && !pclColumn->bValueDefined(0))
            return pclColumn->piGetItem();
    }
    return nullptr;
}

int CNADataAccess::_bInitErrorNeedItemValueItemName(CNAStatement* pclStatement, eNAQUERYTYPE eKind,
                                                   NA_WRITEPARSEFLAGS nFlags)
{
    return bNameItem(m_pclError, NA_ERR_MANDATORY_VALUE, pszGetLogicalName(),
                     piGetNullItemDesc(pclStatement, eKind, nFlags));
}
