// A data access made the source of an application's query: the parsed form
// kept (or the text sent as written), the description and the first record
// of a SELECT read at once, the command of any other query built. Also the
// questions asked of a query source, the choice of the item a filter
// condition is browsed by, and the host's announcement of its next
// operation.
#include <cwctype>
#include <new>
#include <string>

#include "common/text/cp1252.h"
#include "common/text/str_compare.h"
#include "common/text/str_copy.h"
#include "native/access/data_access.h"
#include "native/access/host_query_execution.h"
#include "native/access/statement.h"
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "native/model/table_cache.h"
#include "native/sql/command.h"
#include "native/sql/host_expression.h"
#include "native/sql/sql_parser_info.h"

namespace {

constexpr unsigned kAsWritten = 4;
constexpr unsigned kWithJoin = 0x80000000u;
constexpr int kCodePageWide = -2;
constexpr int kCodePageUtf8 = 65001;
// The host's item buffer of a filter condition, terminator included.
constexpr size_t kItemBufferCapacity = 255;
constexpr NA_WRITEPARSEFLAGS kExecutionItem = 0x4000;
constexpr NA_WRITEPARSEFLAGS kDefaultItem = 0x20000;
constexpr int kOperationRead = 2;
constexpr int kOperationWrite1 = 1;
constexpr int kOperationWrite3 = 3;
constexpr unsigned kCacheIncompleteMessage = 25667;

bool bIsSelect(eTYPEREQUETE eType)
{
    return eType == TYPEREQUETE_SELECT || eType == TYPEREQUETE_SELECT_2;
}

// " JOIN " after the start of the text, case ignored; the text itself is
// never touched.
bool bHasJoin(const wchar_t* pszText)
{
    if (pszText == nullptr)
        return false;
    std::wstring sUpper(pszText);
    for (wchar_t& c : sUpper)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    const size_t nAt = sUpper.find(L" JOIN ");
    return nAt != std::wstring::npos && nAt > 0;
}

// The items a condition names, in the order its tree lists its columns
// (depth first, left to right); a name "FILE.ITEM" stands for ITEM.
template <class F>
bool WalkConditionItems(const IExpOpExpression* piNode, int nDepth, F&& fnVisit)
{
    if (piNode == nullptr || nDepth > 256)
        return true;
    if (piNode->eGetOperator() == OPEXP_ITEM) {
        const wchar_t* pszName = piNode->pszGetNomRubrique();
        if (pszName == nullptr)
            return true;
        const wchar_t* pszPoint = wcschr(pszName, L'.');
        return fnVisit(pszPoint != nullptr ? pszPoint + 1 : pszName);
    }
    for (int n = 0; n < piNode->nGetOperandNbr(); ++n) {
        if (!WalkConditionItems(piNode->piGetOperand(n), nDepth + 1, fnVisit))
            return false;
    }
    return true;
}

}  // namespace

int CNADataAccess::_bInitQuery(CNACommand** ppclCommand, CTString* pcsItem, const wchar_t* pszName, unsigned nMode,
                               const wchar_t* pszText, ISQLParserInformation* piQuery,
                               const INAQueryExecution* piExecution)
{
    *ppclCommand = nullptr;
    pcsItem->Set(L"");
    // Nothing to run: refused before the source is touched or anything
    // sent.
    if (piQuery == nullptr && pszText == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kQueryWithoutCommand, m_pclConnection, pszName, nullptr,
                                   pszName != nullptr ? pszName : L"", L"");
        return 0;
    }
    if (!_bSetQuery(1, pszName, piQuery, nMode))
        return 0;
    CNADataSourceDescription* pclDescription = _pclAllocDataSource(m_pclConnection, m_pclError);
    if (pclDescription == nullptr)
        return 0;
    pclDescription->AddRef();
    pclDescription->SetLogicalName(pszName);
    pclDescription->SetDBName(pszName);
    _SetDataSource(pclDescription);
    pclDescription->nRelease();

    const eTYPEREQUETE eType = m_pclSourceQuery != nullptr ? m_pclSourceQuery->eGetTypeRequete() : TYPEREQUETE_NONE;
    if (bIsSelect(eType) && !bRequeteSansCorrection()) {
        const int bDescribed = pclDescription->bCompleteDescription(m_pclSourceQuery) && _bInitCurrentRecord();
        NA_WRITEPARSEFLAGS nFlags = kDefaultItem;
        IInfoRubrique* piOut = nullptr;
        if (piExecution != nullptr) {
            const wchar_t* pszAsked = piExecution->pszGetItemName();
            piOut = pszAsked != nullptr && pszAsked[0] != 0 ? m_pclSourceQuery->piEnumRubriqueOUT(pszAsked) : nullptr;
            nFlags = piExecution->nGetFlags() | kExecutionItem | (piOut == nullptr ? kDefaultItem : 0);
        }
        if (piOut == nullptr)
            piOut = m_pclSourceQuery->piGetBestParseItem();
        const wchar_t* pszOut = piOut != nullptr && piOut->pszGetNom() != nullptr ? piOut->pszGetNom() : L"";
        int bResult = bDescribed;
        if (bDescribed) {
            m_bOpened = 1;
            m_csTableCacheItemName.Set(pszOut);
            eNA_LOCKTYPE eLock = static_cast<eNA_LOCKTYPE>(1);
            bResult = bHLitxxx(pszOut, NADirection::kFirst, 1, eLock, &eLock, nFlags);
            const CNAItemDescription* pclItem = bResult ? pclDescription->pclNAGetItemNoRef(pszOut, 2) : nullptr;
            // A calculated column is browsed by its own item's name.
            if (pclItem != nullptr && pclItem->dwGetCalculValue() != 0 &&
                STR_nUpCompareW(pclItem->pszGetName(), pszOut, 3) != 0) {
                const CTString csOut(pszOut);
                m_csTableCacheItemName.Set(pclItem->pszGetName());
                (void)_bChangeStatementKey(pclItem->pszGetName(), csOut.pszGet(), nullptr);
            }
        }
        pcsItem->Set(pszOut);
        m_bReuseLastStatement = 1;
        return bResult;
    }

    CNACommand* pclCommand = pclAllocCommand(m_pclError);
    if (pclCommand == nullptr)
        return 0;
    REF_AddRef(pclCommand);
    pclCommand->SetQueryType(eType);
    const int bBuilt = m_pclSourceQuery != nullptr
                           ? pclCommand->bFormatCondition(m_pclSourceQuery, nullptr, 1, static_cast<int>(m_dwQueryMode))
                           : pclCommand->bSetInternalQuery(pszText, static_cast<unsigned long>(-1));
    if (!bBuilt) {
        REF_Release(pclCommand);
        return 0;
    }
    *ppclCommand = pclCommand;
    return 1;
}

int CNADataAccess::_bSetQuery(int bQuery, const wchar_t* pszName, ISQLParserInformation* piQuery, unsigned nMode)
{
    m_bQuery = bQuery;
    _ResetDataAccess();
    if (!bQuery) {
        m_dwQueryMode = 0;
    } else {
        if (piQuery != nullptr) {
            const int nCodePage = m_pclConnection != nullptr ? m_pclConnection->nGetClientTextCodePage() : kCodePageUtf8;
            const wchar_t* pszText = piQuery->pszGetRequete();
            if ((nMode & kAsWritten) != 0 && nCodePage != kCodePageWide && nCodePage != kCodePageUtf8 &&
                !bAnsiCompatible(pszText, nCodePage)) {
                CNAError::g_RaiseSiteError(
                    m_pclError, NASite::kQueryNotInCodePage, m_pclConnection, pszName, nullptr,
                    pszName != nullptr ? pszName : L"", nCodePage, m_pclConnection->pszGetLogicalConnectionName(),
                    m_pclConnection->pszGetDefaultDataBase(), m_pclConnection->pszGetDataBase());
                if (m_pclError != nullptr)
                    m_pclError->AddDebugMessageNoFormatFirst(pszText);
                return 0;
            }
            // A data access without table has no bind variables.
            INAQueryParametersValue* piValues =
                m_pclTable != nullptr ? m_pclTable->piGetQueryBindVariableNoRef() : nullptr;
            auto* pclQuery = new (std::nothrow) CSQLParserInfo(m_pclError, piQuery, piValues, 0);
            if (pclQuery == nullptr) {
                if (m_pclError != nullptr)
                    m_pclError->pclGetXError()->SetErrorNoMemory();
                return 0;
            }
            _FreeQueryParserInfo();
            REF_AddRef(pclQuery);
            m_pclSourceQuery = pclQuery;
        } else {
            _FreeQueryParserInfo();
            nMode |= kAsWritten;
        }
        if ((nMode & kAsWritten) == 0 && bHasJoin(m_pclSourceQuery->pszGetRequete()))
            nMode |= kWithJoin;
        m_dwQueryMode = nMode;
    }
    _SetExecutionStatement(nullptr);
    return 1;
}

void CNADataAccess::_FreeQueryParserInfo()
{
    if (m_pclSourceQuery != nullptr) {
        CSQLParserInfo* pclQuery = m_pclSourceQuery;
        m_pclSourceQuery = nullptr;
        REF_Release(pclQuery);
    }
}

int CNADataAccess::bSameQuery(ISQLParserInformation* piQuery) const
{
    if (m_pclSourceQuery == nullptr || piQuery == nullptr)
        return 0;
    const wchar_t* pszHeld = m_pclSourceQuery->pszGetRequete();
    const wchar_t* pszOther = piQuery->pszGetRequete();
    return pszHeld != nullptr && pszOther != nullptr && STR_nUpCompareW(pszHeld, pszOther, 0) == 0;
}

eNAQUERYTYPE CNADataAccess::eSourceQueryType() const
{
    return m_pclSourceQuery != nullptr ? CNACommand::eConvertTypeQuery(m_pclSourceQuery->eGetTypeRequete())
                                       : static_cast<eNAQUERYTYPE>(0);
}

int CNADataAccess::bSourceIsQueryOnMultipleTables() const
{
    return m_bQuery && m_pclSourceQuery != nullptr && m_pclSourceQuery->nGetFichierFromNbr() > 1;
}

int CNADataAccess::bFindBestItem(ISQLParserInformation* piCondition, wchar_t* pszItem)
{
    INAItemDescription* piFallback = nullptr;
    INAItemDescription* piKey = nullptr;
    INAItemDescription* piChosen = nullptr;
    const auto Keep = [](INAItemDescription*& piSlot, INAItemDescription* piItem) {
        piItem->ExternalAddRef();
        piSlot = piItem;
    };
    if (piCondition != nullptr && m_piSource != nullptr) {
        WalkConditionItems(piCondition->piGetWhereExpression(), 0, [&](const wchar_t* pszName) {
            INAItemDescription* piItem = m_piSource->piNAGetItem(pszName);
            if (piItem == nullptr)
                return true;
            bool bGoOn = true;
            if (piFallback == nullptr && !piItem->bMemo())
                Keep(piFallback, piItem);
            else if (piItem->bUnique()) {
                Keep(piChosen, piItem);
                bGoOn = false;
            } else if (piKey == nullptr && piItem->bDuplicates())
                Keep(piKey, piItem);
            piItem->nExternalRelease();
            return bGoOn;
        });
    }
    INAItemDescription* piBest = piChosen != nullptr ? piChosen : piKey != nullptr ? piKey : piFallback;
    if (piBest != nullptr)
        piBest->ExternalAddRef();
    else
        piBest = piGetBestParseItemDesc();
    for (INAItemDescription* piHeld : {piChosen, piKey, piFallback}) {
        if (piHeld != nullptr)
            piHeld->nExternalRelease();
    }
    if (piBest == nullptr) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kNoItemForCondition, m_pclConnection, pszGetLogicalName(),
                                   nullptr);
        return 0;
    }
    if (pszItem != nullptr)
        (void)STR_nCopy(pszItem, kItemBufferCapacity, piBest->pszGetName(), -1);
    piBest->nExternalRelease();
    return 1;
}

int CNADataAccess::bSetNextOperation(int eOperation)
{
    m_eNextOperation = eOperation;
    if (m_pclTableCache == nullptr)
        return 1;
    const bool bFull = m_pclTableCache->pclGetFullCacheNoRef() != nullptr;
    if (eOperation == kOperationRead)
        return bFull ? 1 : 0;
    if ((eOperation == kOperationWrite1 || eOperation == kOperationWrite3) &&
        !(bFull && m_pclTableCache->bCacheCompleted())) {
        if (m_pclError != nullptr && m_pclError->eGetErrorLevel() == NA_LEVEL_NOERROR)
            CNAError::g_RaiseSiteError(m_pclError, NASite::kQueryCacheIncomplete, m_pclConnection,
                                       pszGetLogicalName(), nullptr);
        else if (m_pclError != nullptr)
            m_pclError->AddUserMessageFirst(kCacheIncompleteMessage);
        return 0;
    }
    return 1;
}
