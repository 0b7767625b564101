// The SQL texts of a statement's writes and table definitions: INSERT and
// UPDATE of the current record, DELETE of the row as read, DELETE of every
// row, DROP TABLE and CREATE TABLE, and what a write brings back into the
// record. Every value goes into the command as a parameter; the connection
// writes it when the command formats its text.
#include <cwctype>
#include <string>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sites.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/item_type.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/model/record_id.h"
#include "native/model/record_value.h"
#include "native/sql/sql_parser_info.h"

namespace {

constexpr NA_WRITEPARSEFLAGS kAutoIdAsHeld = NAParseFlag::kWriteAutoIdAsHeld | NAParseFlag::kWriteAutoIdAsHeld2;
constexpr NA_WRITEPARSEFLAGS kAnyAutoIdFlag = kAutoIdAsHeld | NAParseFlag::kWriteNewAutoId;

int bComplete(CNACommand* pclCommand, const wchar_t* pszText)
{
    return pclCommand->bComplete(pszText, static_cast<unsigned long>(-1));
}

}  // namespace

int CNAStatement::bBuildQuery(eNAQUERYTYPE eKind, CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags)
{
    if (pclCommand == nullptr)
        return 0;
    ResetQuery();
    _SetQuery(pclCommand);
    pclCommand->SetQueryKind(eKind);
    // The statement's own kinds (delete all, create, drop) lie beside the
    // command's enumeration, so the switch is on the number.
    switch (static_cast<int>(eKind)) {
    case NA_QUERY_SELECT:
        return bBuildQuerySELECT(pclCommand, nFlags, nullptr, 1, nullptr);
    case NA_QUERY_UPDATE:
        return bBuildQueryUPDATE(pclCommand, nFlags);
    case NA_QUERY_INSERT:
        return bBuildQueryINSERT(pclCommand, nFlags);
    case NA_QUERY_DELETE:
        return bBuildQueryDELETE(pclCommand, nFlags);
    case NA_QUERY_DELETEALL:
        return bBuildQueryDELETEALL(pclCommand, nFlags);
    case NA_QUERY_CREATE:
        return bBuildQueryCREATE(pclCommand);
    case NA_QUERY_DROPTABLE:
        return bBuildQueryDROPTABLE(pclCommand);
    default:
        return 0;
    }
}

const wchar_t* CNAStatement::_pszSQLTableName() const
{
    if (m_pclDataAccess == nullptr)
        return L"";
    const wchar_t* pszName = m_pclDataAccess->pszGetFormattedDBTableName();
    return pszName != nullptr && *pszName != L'\0' ? pszName : m_pclDataAccess->pszGetDBTableName();
}

int CNAStatement::_bQuerySource() const
{
    return m_pclDataAccess != nullptr && m_pclDataAccess->bIsQuery();
}

int CNAStatement::_bBuildQueryStart(CNACommand* pclCommand, eNAQUERYTYPE eKind)
{
    pclCommand->ResetCommand(0);
    if (pclCommand != m_pclCommand)
        _SetQuery(pclCommand);
    const wchar_t* pszStart = nullptr;
    switch (eKind) {
    case NA_QUERY_INSERT:
        pszStart = L"INSERT INTO ";
        break;
    case NA_QUERY_UPDATE:
        pszStart = L"UPDATE ";
        break;
    case NA_QUERY_DELETE:
        pszStart = L"DELETE FROM ";
        break;
    default:
        return 0;
    }
    if (!bComplete(pclCommand, pszStart))
        return 0;
    pclCommand->SetQueryKind(eKind);
    if (!_bQuerySource())
        return bComplete(pclCommand, _pszSQLTableName());
    CSQLParserInfo* pclQuery = m_pclDataAccess->pclGetSourceQueryNoRef();
    if (pclQuery != nullptr && pclQuery->nGetFichierFromNbr() > 1) {
        CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kWriteOnJoin, pclGetConnectionNoRef(),
                                   _pszLogicalName(), pszGetSearchItemName());
        return 0;
    }
    // A query on one table writes to that table, by the source of its first
    // column.
    CTString csSource;
    m_pclDataAccess->_GetDBSourceName(&csSource);
    return bComplete(pclCommand, csSource.pszGet());
}

int CNAStatement::_bNeedToUpdate(CNAColumn* pclColumn, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags)
{
    if (pclColumn->eGetTypeColonne() != 0)
        return 0;
    if (pclColumn->bIsIdAuto()) {
        if (eKind == NA_QUERY_UPDATE && !pclColumn->bValueModified())
            return 0;
        if ((nFlags & kAnyAutoIdFlag) != 0)
            return 1;
        return !pclColumn->bIsAutoIncrementOnDataBase();
    }
    if (!pclColumn->bUpdatable())
        return 0;
    if (eKind == NA_QUERY_UPDATE)
        return pclColumn->bValueModified();
    return 1;
}

int CNAStatement::_bAddColumnValue(CNACommand* pclCommand, CNAColumn* pclColumn, eNAQUERYTYPE, NA_WRITEPARSEFLAGS nFlags)
{
    if (pclColumn->bIsIdAuto() && (nFlags & kAutoIdAsHeld) == 0 &&
        ((nFlags & NAParseFlag::kWriteNewAutoId) != 0 || !pclColumn->bIsAutoIncrementOnDataBase())) {
        if (m_pclDataAccess == nullptr || !m_pclDataAccess->bSetNewAutoId(pclColumn))
            return 0;
    }
    CAny clValue;
    if (!pclColumn->bGetCurrentValue(&clValue, 0))
        return 0;
    return pclCommand->bAddParameter(&clValue, OPEXP_NONE, 0, pclColumn, 0, CNAParameter::NA_PARAM_IN);
}

int CNAStatement::_bBuildColumnList(std::wstring* pcsColumns, CNACommand* pclValues, eNAQUERYTYPE eKind,
                                    NA_WRITEPARSEFLAGS nFlags, int* pnWritten)
{
    *pnWritten = 0;
    const int bQuery = _bQuerySource();
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn->bIsComposedKey())
            break;
        int bDone = 1;
        if (_bNeedToUpdate(pclColumn, eKind, nFlags))
            bDone = _bAddColumnToList(pcsColumns, pclValues, pclColumn, eKind, nFlags, bQuery, pnWritten);
        // The buffer tells the host which items hold a value, written or not.
        pclColumn->_SetItemValueDefinedInQFRecord(pclColumn->bValueDefined(0), 0);
        if (!bDone)
            return 0;
    }
    return 1;
}

int CNAStatement::_bAddColumnToList(std::wstring* pcsColumns, CNACommand* pclValues, CNAColumn* pclColumn,
                                    eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags, int bQuery, int* pnWritten)
{
    const wchar_t* pszName = bQuery ? pclColumn->pszGetFormatedOriginalName() : pclColumn->pszGetFormatedName();
    if (pszName == nullptr)
        pszName = L"";
    if (*pnWritten > 0) {
        pcsColumns->append(L",");
        if (!bComplete(pclValues, L", "))
            return 0;
    }
    pcsColumns->append(pszName);
    if (eKind == NA_QUERY_UPDATE && !(bComplete(pclValues, pszName) && bComplete(pclValues, L" = ")))
        return 0;
    ++*pnWritten;
    return _bAddColumnValue(pclValues, pclColumn, eKind, nFlags);
}

int CNAStatement::_bBuildQueryInsertUpdate(CNACommand* pclCommand, eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags)
{
    if (pclCommand == nullptr || m_pclCurrentRecord == nullptr || m_pclDataAccess == nullptr)
        return 0;
    if (!_bBuildQueryStart(pclCommand, eKind))
        return 0;
    CNACommand* pclValues = m_pclDataAccess->pclAllocCommand(m_pclError);
    if (pclValues == nullptr)
        return 0;
    REF_AddRef(pclValues);
    std::wstring csColumns;
    int nWritten = 0;
    int bDone = _bBuildColumnList(&csColumns, pclValues, eKind, nFlags, &nWritten);
    if (bDone && nWritten == 0 && eKind == NA_QUERY_INSERT) {
        // Nothing selected: the first column the row can take a value in.
        for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
            CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
            if (pclColumn->bIsComposedKey())
                break;
            if (pclColumn->bUpdatable() && !pclColumn->bIsIdAuto()) {
                bDone = _bAddColumnToList(&csColumns, pclValues, pclColumn, eKind, nFlags, _bQuerySource(), &nWritten);
                break;
            }
        }
    }
    if (bDone && nWritten > 0) {
        if (eKind == NA_QUERY_INSERT)
            bDone = bComplete(pclCommand, L" (") && bComplete(pclCommand, csColumns.c_str()) &&
                    bComplete(pclCommand, L") VALUES ( ") && pclCommand->bAdd(pclValues, CNACommand::ADDMODE_SHARE) &&
                    bComplete(pclCommand, L" )");
        else
            bDone = bComplete(pclCommand, L" SET ") && pclCommand->bAdd(pclValues, CNACommand::ADDMODE_SHARE) &&
                    _bAddWHERELatestRead(pclCommand, 1, nullptr);
        CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
        if (bDone && pclConnection != nullptr && pclConnection->bSupportInsertReturning())
            bDone = _bAddClauseReturning(eKind, nFlags);
    } else if (bDone) {
        if (eKind == NA_QUERY_INSERT) {
            bDone = bComplete(pclCommand, L"VALUES ( DEFAULT )");
        } else {
            // Nothing modified: an empty command, which runs as nothing.
            pclCommand->ResetCommand(0);
        }
    }
    REF_Release(pclValues);
    return bDone;
}

int CNAStatement::bBuildQueryINSERT(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags)
{
    return _bBuildQueryInsertUpdate(pclCommand, NA_QUERY_INSERT, nFlags);
}

int CNAStatement::bBuildQueryUPDATE(CNACommand* pclCommand, NA_WRITEPARSEFLAGS nFlags)
{
    return _bBuildQueryInsertUpdate(pclCommand, NA_QUERY_UPDATE, nFlags);
}

int CNAStatement::_bAddClauseReturning(eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS)
{
    if (eKind != NA_QUERY_INSERT || m_pclCurrentRecord == nullptr || m_pclCommand == nullptr)
        return 1;
    CNAColumn* pclAuto = m_pclCurrentRecord->pclGetColumnIDAutoNoRef();
    if (pclAuto == nullptr)
        return 1;
    return m_pclCommand->bAddReturning(pclAuto->pszGetFormatedName());
}

int CNAStatement::bBuildQueryDELETE(CNACommand* pclCommand, NA_WRITEPARSEFLAGS)
{
    if (pclCommand == nullptr)
        return 0;
    return _bBuildQueryStart(pclCommand, NA_QUERY_DELETE) && _bAddWHERELatestRead(pclCommand, 1, nullptr);
}

int CNAStatement::bBuildQueryDELETEALL(CNACommand* pclCommand, NA_WRITEPARSEFLAGS)
{
    if (pclCommand == nullptr)
        return 0;
    if (_bQuerySource()) {
        CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kDeleteAllOnQuery, pclGetConnectionNoRef(),
                                   _pszLogicalName(), pszGetSearchItemName());
        return 0;
    }
    return _bBuildQueryStart(pclCommand, NA_QUERY_DELETE);
}

int CNAStatement::bBuildQueryDROPTABLE(CNACommand* pclCommand)
{
    if (pclCommand == nullptr)
        return 0;
    bComplete(pclCommand, L"DROP TABLE ");
    bComplete(pclCommand, _pszSQLTableName());
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (pclConnection != nullptr && pclConnection->nGetDBKind() == 1)
        bComplete(pclCommand, L" CASCADE CONSTRAINT");
    return 1;
}

int CNAStatement::bBuildQueryCREATE(CNACommand* pclCommand)
{
    if (pclCommand == nullptr || m_pclCurrentRecord == nullptr)
        return 0;
    if (!bComplete(pclCommand, L"CREATE TABLE ") || !bComplete(pclCommand, _pszSQLTableName()) ||
        !bComplete(pclCommand, L"( "))
        return 0;
    int nWritten = 0;
    for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn->bIsComposedKey())
            continue;
        CTString csDefinition;
        if (!_bBuildSubQueryCREATEColumn(pclColumn, &csDefinition))
            return 0;
        if ((nWritten > 0 && !bComplete(pclCommand, L", ")) || !bComplete(pclCommand, csDefinition.pszGet()))
            return 0;
        ++nWritten;
    }
    return bComplete(pclCommand, L" )");
}

int CNAStatement::_bBuildSubQueryCREATEColumn(CNAColumn* pclColumn, CTString* pcsText)
{
    CTString csType;
    if (!_bGetNativeDataType(pclColumn, &csType))
        return 0;
    CTString csConstraint;
    if (!_bGetNativeConstraint(pclColumn, &csConstraint))
        return 0;
    std::wstring csDefinition = pclColumn->pszGetFormatedName() != nullptr ? pclColumn->pszGetFormatedName() : L"";
    csDefinition += L" ";
    csDefinition += csType.pszGet() != nullptr ? csType.pszGet() : L"";
    if (csConstraint.pszGet() != nullptr && *csConstraint.pszGet() != L'\0') {
        csDefinition += L" ";
        csDefinition += csConstraint.pszGet();
    }
    pcsText->Set(csDefinition.c_str());
    return 1;
}

int CNAStatement::_bGetNativeConstraint(CNAColumn* pclColumn, CTString* pcsConstraint)
{
    pcsConstraint->Set(L"");
    INAItemDescription* piItem = pclColumn->piGetItemNoRef();
    if (piItem == nullptr)
        return 1;
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    if (piItem->bPrimary() || eType == NA_IT_IDAUTO || eType == NA_IT_IDAUTO4) {
        pcsConstraint->Set(L" PRIMARY KEY ");
        return 1;
    }
    std::wstring csText;
    if (piItem->bUnique())
        csText = L" UNIQUE ";
    if (m_piDataSource != nullptr && m_piDataSource->nGetVersion() >= 6 && m_piDataSource->bGetNullSupported() &&
        piItem->nGetVersion() > 8 && !piItem->vbConstraintNullAllowed())
        csText += L" NOT NULL ";
    pcsConstraint->Set(csText.c_str());
    return 1;
}

int CNAStatement::bQueryCREATE_AutoCorrectVarcharMax(CTString* pcsOut, const wchar_t* pszStatement,
                                                     const wchar_t* pszTypeName, long nMaximum,
                                                     const wchar_t* pszReplacement)
{
    if (pcsOut == nullptr || pszStatement == nullptr || pszTypeName == nullptr || *pszTypeName == L'\0')
        return 0;
    const std::wstring csText(pszStatement);
    const std::wstring csType = std::wstring(pszTypeName) + L"(";
    std::wstring csOut;
    size_t nCopied = 0;
    bool bReplaced = false;
    size_t nAt = csText.find(csType);
    while (nAt != std::wstring::npos) {
        size_t nDigits = nAt + csType.size();
        // The size, saturated past the maximum rather than overflowing.
        long long llSize = 0;
        while (nDigits < csText.size() && csText[nDigits] >= L'0' && csText[nDigits] <= L'9') {
            if (llSize <= nMaximum)
                llSize = llSize * 10 + (csText[nDigits] - L'0');
            ++nDigits;
        }
        const bool bHasDigits = nDigits > nAt + csType.size();
        // The type's own name, not the end of a longer one (NVARCHAR is not
        // VARCHAR).
        const bool bWordStart = nAt == 0 || !(std::iswalnum(csText[nAt - 1]) || csText[nAt - 1] == L'_');
        if (bWordStart && bHasDigits && llSize > nMaximum && nDigits < csText.size()) {
            csOut.append(csText, nCopied, nAt - nCopied);
            csOut += pszReplacement != nullptr ? pszReplacement : L"";
            nCopied = nDigits + 1;
            bReplaced = true;
            nAt = csText.find(csType, nCopied);
        } else {
            nAt = csText.find(csType, nAt + 1);
        }
    }
    if (!bReplaced)
        return 0;
    csOut.append(csText, nCopied, std::wstring::npos);
    pcsOut->Set(csOut.c_str());
    return 1;
}

// --- After a write --------------------------------------------------------

int CNAStatement::bUpdateRecordAfterInsert(eNAQUERYTYPE, NA_WRITEPARSEFLAGS nFlags)
{
    CNAColumn* pclAuto = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnIDAutoNoRef() : nullptr;
    if ((nFlags & kAutoIdAsHeld) != 0 || pclAuto == nullptr)
        return 1;
    CAny clValue;
    CNAConnectionDescription* pclConnection = pclGetConnectionNoRef();
    if (pclConnection != nullptr && pclConnection->bSupportInsertReturning()) {
        if (!bGetResultValue(&clValue, 0))
            return 0;
    } else {
        // The value numbered on the client is the numbering object's; the
        // object computes none in this layer, so the record keeps the value
        // it holds.
        return 1;
    }
    return pclAuto->bSetValue(&clValue, 0);
}

int CNAStatement::bUpdateRecordAfterUpdate(eNAQUERYTYPE, NA_WRITEPARSEFLAGS nFlags)
{
    CNAColumn* pclAuto = m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnIDAutoNoRef() : nullptr;
    if ((nFlags & kAutoIdAsHeld) != 0 || pclAuto == nullptr)
        return 1;
    CAny clValue;
    if (!pclAuto->bGetOriginalValue(&clValue, 0))
        return 0;
    return pclAuto->bSetValue(&clValue, 0);
}

// --- Conditions on the row as read ----------------------------------------

int CNAStatement::_bAddWHERELatestRead(CNACommand* pclCommand, int bAddWhere, const CColumnArray* pclColumns)
{
    if (m_pclCurrentRecord == nullptr || !m_pclCurrentRecord->bOriginalSet()) {
        CNAError::g_RaiseSiteError(m_pclError, NAStatementSite::kNoRowRead, pclGetConnectionNoRef(),
                                   _pszLogicalName(), pszGetSearchItemName(), _pszLogicalName());
        return 0;
    }
    CNARecordValue* pclRead = m_pclCurrentRecord->pclGetOriginalRecordValueNoRef();
    const CNARecordId* pclId = pclRead != nullptr ? pclRead->pclGetRecordIDNoRef() : nullptr;
    if (pclId != nullptr && pclId->eGetRecordIdType() == NA_RECORDID_ROWID) {
        if (bAddWhere && !bComplete(pclCommand, L" WHERE "))
            return 0;
        if (!bComplete(pclCommand, L" ROWID="))
            return 0;
        CNAConvertVariant* pclRowId = static_cast<const CNARecordId_RowId*>(pclId)->pclGetValueNoRef();
        return pclRowId != nullptr && pclCommand->bAddParameter(pclRowId, OPEXP_NONE, 0, nullptr, nullptr, 0,
                                                                 CNAParameter::NA_PARAM_IN);
    }
    // The condition is written from the row as read, whatever the host did
    // to the current values since; those come back on every path.
    CNARecordValue* pclCurrent = m_pclCurrentRecord->pclGetCurrentRecordValueNoRef();
    CNARecordValue* pclSaved = pclCurrent != nullptr ? pclCurrent->pclGetClone(CNARecordValue::COPY_ALL) : nullptr;
    if (pclSaved == nullptr)
        return 0;
    REF_AddRef(pclSaved);
    int bDone = m_pclCurrentRecord->bCopyOriginalRecordToCurrentRecord();
    if (bDone)
        bDone = _bAddWHERECurrentRecord(pclCommand, bAddWhere, pclColumns);
    const int bRestored = m_pclCurrentRecord->bCopyToCurrentRecord(pclSaved);
    REF_Release(pclSaved);
    return bDone && bRestored;
}
