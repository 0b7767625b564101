// The auto-increment values computed on the client: the MAX queries, the
// next value, the current maximum and the message put in front of a
// next-value failure.
#include "native/access/id_auto.h"

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "common/text/xy_string_concat.h"
#include "native/access/data_access.h"
#include "native/access/internal_parse.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"

namespace {

// A MAX query that answered no row at all: logical name, column name.
constexpr stNAErrorSite kMaxQueryWithoutRow{NA_SRC_IDAUTO, 1, 59, NA_ERR_GENERAL};
// "The next automatic value of <table>, item <item>, cannot be computed."
constexpr unsigned kNextValueMessage = 28576;

const wchar_t* pszColumnName(CNAColumn* pclColumn)
{
    const wchar_t* pszName = pclColumn != nullptr ? pclColumn->pszGetName() : nullptr;
    return pszName != nullptr ? pszName : L"";
}

}  // namespace

CNAIDAuto::~CNAIDAuto()
{
    _CloseInternalParseNextValue();
    _CloseInternalParseMaxCurrentValue();
}

void CNAIDAuto::_CloseInternalParseNextValue()
{
    if (m_pclNextValueQuery != nullptr)
        m_pclNextValueQuery->dwRelease();
    m_pclNextValueQuery = nullptr;
}

void CNAIDAuto::_CloseInternalParseMaxCurrentValue()
{
    if (m_pclMaxCurrentValueQuery != nullptr)
        m_pclMaxCurrentValueQuery->dwRelease();
    m_pclMaxCurrentValueQuery = nullptr;
}

int CNAIDAuto::_bBuildQueryGetNextValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess,
                                        CNAColumn* pclColumn)
{
    return _bBuildQueryGetMax(pclText, pclDataAccess, pclColumn, 1);
}

int CNAIDAuto::_bBuildQueryGetMaxCurrentValue(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess,
                                              CNAColumn* pclColumn)
{
    return _bBuildQueryGetMax(pclText, pclDataAccess, pclColumn, 0);
}

int CNAIDAuto::_bBuildQueryGetMax(CXYStringConcat<wchar_t>* pclText, CNADataAccess* pclDataAccess,
                                  CNAColumn* pclColumn, int bNextValue)
{
    if (pclText == nullptr || pclDataAccess == nullptr || pclColumn == nullptr)
        return 0;
    CTString csItem;
    CTString csTable;
    const wchar_t* pszItem = pclColumn->pszGetFormatedOriginalName();
    const wchar_t* pszTable = pclDataAccess->pszGetFormattedDBTableName();
    if (pclDataAccess->bIsQuery()) {
        // A query's item is asked of the table it comes from, by its name
        // there.
        INAItemDescription* piItem = pclColumn->piGetItemNoRef();
        CNAConnectionDescription* pclConnection = pclDataAccess->pclGetConnectionNoRef();
        CNAError* pclError = pclDataAccess->pclGetErrorNoRef();
        if (piItem == nullptr || pclConnection == nullptr ||
            !pclConnection->bFormatItemName(pclError, piItem->pszGetNameInSource(), &csItem) ||
            !pclConnection->bFormatTableName(pclError, piItem->pszGetSourceName(), &csTable))
            return 0;
        pszItem = csItem.pszGet();
        pszTable = csTable.pszGet();
    }
    pclText->Add(L"SELECT MAX(");
    pclText->Add(pszItem);
    pclText->Add(L")");
    if (bNextValue)
        pclText->Add(L"+1");
    pclText->Add(L" FROM ");
    pclText->Add(pszTable);
    return pclText->bEchec() ? 0 : 1;
}

void CNAIDAuto::_PrefixMessageErreur(CNAError* pclError, CNADataAccess* pclDataAccess, CNAColumn* pclColumn)
{
    if (pclError == nullptr)
        return;
    const wchar_t* pszTable = pclDataAccess != nullptr ? pclDataAccess->pszGetLogicalName() : L"";
    pclError->AddUserMessageFirst(kNextValueMessage, pszTable, pszColumnName(pclColumn));
}

int CNAIDAuto::_bAsk(CNAInternalParse** ppclQuery, int bNextValue, CNADataAccess* pclDataAccess,
                     CNAColumn* pclColumn, CNAError* pclError, CAny* pclValue, int* pbNoRow)
{
    *pbNoRow = 0;
    if (*ppclQuery != nullptr) {
        if (!(*ppclQuery)->bReExecute())
            return 0;
    } else {
        CXYStringConcat<wchar_t> clText;
        const int bBuilt = bNextValue ? _bBuildQueryGetNextValue(&clText, pclDataAccess, pclColumn)
                                      : _bBuildQueryGetMaxCurrentValue(&clText, pclDataAccess, pclColumn);
        if (!bBuilt)
            return 0;
        *ppclQuery = CNAInternalParse::s_pclGetNAInternalParse(clText.pszGet(), pclError,
                                                               pclDataAccess->pclGetConnectionNoRef());
        if (*ppclQuery == nullptr)
            return 0;
        (*ppclQuery)->dwAddRef();
    }
    return (*ppclQuery)->bFetchData(NADirection::kFirst, pbNoRow, pclValue, 1);
}

void CNAIDAuto::_RaiseNoRow(CNAError* pclError, CNADataAccess* pclDataAccess, CNAColumn* pclColumn)
{
    const wchar_t* pszTable = pclDataAccess->pszGetLogicalName();
    const wchar_t* pszItem = pszColumnName(pclColumn);
    CNAError::g_RaiseSiteError(pclError, kMaxQueryWithoutRow, pclDataAccess->pclGetConnectionNoRef(), pszTable,
                               pszItem, pszTable, pszItem);
}

int CNAIDAuto::bGetNextValue(CNADataAccess* pclDataAccess, CNAColumn* pclColumn, CNAError* pclError, CAny* pclValue)
{
    int bNoRow = 0;
    int bRead = _bAsk(&m_pclNextValueQuery, 1, pclDataAccess, pclColumn, pclError, pclValue, &bNoRow);
    if (bRead && bNoRow) {
        // A MAX always answers one row; without one no value was read, and
        // success would hand back whatever the value held.
        _RaiseNoRow(pclError, pclDataAccess, pclColumn);
        bRead = 0;
    }
    // An empty table numbers its first row 1.
    if (bRead && pclValue->bIsNull())
        pclValue->SetI8(1);
    _CloseInternalParseNextValue();
    if (!bRead)
        _PrefixMessageErreur(pclError, pclDataAccess, pclColumn);
    return bRead;
}

int CNAIDAuto::bGetMaxCurrentValue(CNADataAccess* pclDataAccess, CNAColumn* pclColumn, CNAError* pclError,
                                   CAny* pclValue)
{
    int bNoRow = 0;
    const int bRead = _bAsk(&m_pclMaxCurrentValueQuery, 0, pclDataAccess, pclColumn, pclError, pclValue, &bNoRow);
    _CloseInternalParseMaxCurrentValue();
    if (!bRead)
        return 0;
    if (!bNoRow)
        return 1;
    _RaiseNoRow(pclError, pclDataAccess, pclColumn);
    return 0;
}
