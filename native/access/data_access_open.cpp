// The data access's data source: its current record, its imported
// description and existence in the database, and the operations that open,
// create, drop, empty and close it.
#include <ctime>

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"

namespace {

// Message put in front of the server's error when a table is not found.
constexpr unsigned kTableNotFoundMessage = 28541;
// The server's code of a DROP TABLE on a table that is not there.
constexpr unsigned kUnknownTableCode = 1051;

void SetFailureLevel(CNAError* pclError)
{
    if (pclError != nullptr)
        pclError->SetErrorLevel(NA_LEVEL_WARNING);
}

}  // namespace

// --- Current record.

int CNADataAccess::_bInitCurrentRecord()
{
    if (m_pclCurrentRecord == nullptr) {
        CNARecord* pclRecord = _pclAllocRecord(m_pclError);
        if (pclRecord == nullptr)
            return 0;
        _SetCurrentRecord(pclRecord);
        if (!pclRecord->bInitRecord(m_piSource, m_pclImported, m_pclConnection)) {
            _FreeCurrentRecord();
            return 0;
        }
    } else if (m_pclImported != nullptr && m_pclCurrentRecord->nGetNbColumn() > 0 &&
               m_pclCurrentRecord->pclGetColumnNoRef(0)->piGetImportedItemDescNoRef() == nullptr) {
        for (int i = 0; i < m_pclCurrentRecord->nGetNbColumn(); ++i) {
            CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
            if (pclColumn == nullptr || pclColumn->bIsComposedKey())
                continue;
            CNAItemDescription* pclImported = m_pclImported->pclNAGetItem(pclColumn->pszGetName(), 3);
            const int bSet = pclImported != nullptr && pclColumn->bSetImportedItemDesc(pclImported);
            if (pclImported != nullptr)
                pclImported->nExternalRelease();
            if (!bSet)
                break;
        }
    }
    if (m_pclSourceQuery != nullptr) {
        m_pclSourceQuery->SetRecord(m_pclCurrentRecord);
        if (!bRequeteSansCorrection())
            _InitAliasFichierColonne();
    }
    return 1;
}

void CNADataAccess::_InitAliasFichierColonne()
{
    if (m_pclCurrentRecord == nullptr || m_piSource == nullptr || m_pclConnection == nullptr)
        return;
    const int nColumns = m_pclCurrentRecord->nGetNbColumn();
    for (int i = 0; i < nColumns && static_cast<unsigned>(i) < m_piSource->nGetNumItems(); ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        INAItemDescription* piItem = m_piSource->piNAGetItem(static_cast<unsigned>(i));
        if (piItem == nullptr)
            continue;
        const wchar_t* pszSource = piItem->pszGetSourceName();
        if (pclColumn != nullptr && pszSource != nullptr && pszSource[0] != 0) {
            const wchar_t* pszPhysical =
                m_pclSourceQuery != nullptr ? m_pclSourceQuery->pszGetPhysicalName(pszSource) : nullptr;
            const wchar_t* pszAlias = pszPhysical != nullptr && pszPhysical[0] != 0 ? pszPhysical : pszSource;
            CTString csFormatted;
            (void)m_pclConnection->bFormatTableName(nullptr, pszAlias, &csFormatted);
            pclColumn->SetAliasNomTable(pszAlias, csFormatted.pszGet());
        }
        piItem->nExternalRelease();
    }
}

void CNADataAccess::_GetDBSourceName(INAItemDescription* piItem, CTString* pcsName, int bFormat) const
{
    if (piItem == nullptr || pcsName == nullptr)
        return;
    const wchar_t* pszSource = piItem->pszGetSourceName();
    if (pszSource == nullptr || pszSource[0] == 0)
        return;
    const wchar_t* pszPhysical =
        m_pclSourceQuery != nullptr ? m_pclSourceQuery->pszGetPhysicalName(pszSource) : nullptr;
    const wchar_t* pszTable = pszPhysical != nullptr && pszPhysical[0] != 0 ? pszPhysical : pszSource;
    if (bFormat && m_pclConnection != nullptr)
        (void)m_pclConnection->bFormatTableName(nullptr, pszTable, pcsName);
    else
        pcsName->Set(pszTable);
}

int CNADataAccess::_GetDBSourceName(CTString* pcsName) const
{
    if (m_piSource == nullptr || pcsName == nullptr || m_piSource->nGetNumItems() == 0)
        return 0;
    INAItemDescription* piItem = m_piSource->piNAGetItem(0u);
    if (piItem == nullptr)
        return 0;
    _GetDBSourceName(piItem, pcsName, 1);
    piItem->nExternalRelease();
    return pcsName->nTaille() > 0;
}

// --- Imported description.

int CNADataAccess::_SetImportedDataSourceDesc(CNADataSourceDescription* pclImported)
{
    if (pclImported != nullptr)
        pclImported->ExternalAddRef();
    if (m_pclImported != nullptr)
        m_pclImported->nExternalRelease();
    m_pclImported = pclImported;
    if (pclImported == nullptr)
        return 1;

    const bool bSelf = m_piSource == nullptr || m_piSource == static_cast<INADataSourceDescription*>(pclImported);
    bool bTypeChanged = false;
    const unsigned nItems = pclImported->nGetNumItems();
    for (unsigned i = 0; i < nItems; ++i) {
        INAItemDescription* piImported = pclImported->piNAGetItem(i);
        if (piImported == nullptr)
            continue;
        const int bUpdatable = piImported->bUpdatable();
        if (!bUpdatable)
            m_bReadOnlyItem = 1;
        if (bSelf) {
            piImported->nExternalRelease();
            if (!bUpdatable)
                break;
            continue;
        }
        INAItemDescription* piOwn = m_piSource->piNAGetItem(piImported->pszGetName());
        if (piOwn == nullptr) {
            if (!m_bQuery || i >= m_piSource->nGetNumItems()) {
                piImported->nExternalRelease();
                continue;
            }
            piOwn = m_piSource->piNAGetItem(i);
            auto* pclOwn = dynamic_cast<CNAItemDescription*>(piOwn);
            if (pclOwn != nullptr) {
                (void)pclOwn->bSetName(piImported->pszGetName());
                CNAColumn* pclColumn =
                    m_pclCurrentRecord != nullptr ? m_pclCurrentRecord->pclGetColumnNoRef(static_cast<int>(i)) : nullptr;
                if (pclColumn != nullptr)
                    (void)pclColumn->bFormatName();
            }
        }
        if (piOwn == nullptr) {
            piImported->nExternalRelease();
            continue;
        }
        if (!bUpdatable)
            piOwn->SetUpdatable(0);
        auto* pclOwn = dynamic_cast<CNAItemDescription*>(piOwn);
        auto* pclImportedItem = dynamic_cast<CNAItemDescription*>(piImported);
        if (m_bQuery && pclOwn != nullptr && pclImportedItem != nullptr && pclOwn->dwGetCalculValue() != 0 &&
            pclOwn->bMemo() == pclImportedItem->bMemo()) {
            if (!pclOwn->bTypeMatch(pclImportedItem, 1, 1)) {
                (void)pclOwn->bChangeType(pclImportedItem, 0);
                bTypeChanged = true;
            } else if (!pclOwn->bTypeMatch(pclImportedItem, 0, 1)) {
                bTypeChanged = true;
            }
            if (pclImportedItem->eNAGetItemType() == NA_IT_MEMOBINAIRE) {
                const eNA_ITEMTYPE eOwn = pclOwn->eNAGetItemType();
                if (eOwn == NA_IT_TEXTE || eOwn == NA_IT_MEMOTEXTE)
                    (void)pclImportedItem->bChangeTypeMemo(NA_IT_MEMOTEXTE);
                else if (eOwn == NA_IT_UNICODE || eOwn == NA_IT_MEMOUNICODE)
                    (void)pclImportedItem->bChangeTypeMemo(NA_IT_MEMOUNICODE);
            }
        }
        piOwn->nExternalRelease();
        piImported->nExternalRelease();
    }

    if (m_pclCurrentRecord == nullptr)
        return 1;
    if (bTypeChanged && !_bUpdateChangedTypeInCurrentRecord())
        return 0;
    return _bInitCurrentRecord();
}

int CNADataAccess::_bUpdateChangedTypeInCurrentRecord()
{
    if (m_pclCurrentRecord == nullptr)
        return 1;
    if (auto* pclSource = dynamic_cast<CNADataSourceDescription*>(m_piSource))
        pclSource->UpdateRecordSize();
    if (!m_pclCurrentRecord->bUpdateChangedTypeInCurrentRecord(m_piSource))
        return 0;
    _ResetRecordCache();
    unsigned dwCursor = 0;
    CNAStatement* pclStatement = nullptr;
    while (m_tabStatement.bParseTable(&dwCursor, 0, &pclStatement, nullptr)) {
        if (!pclStatement->bUpdateChangedTypeInCurrentRecord())
            return 0;
    }
    return 1;
}

int CNADataAccess::bInitImportedDataSourceDesc(CNAStatement* pclStatement)
{
    if (pclStatement == nullptr)
        return 0;
    CNADataSourceDescription* pclDescription = _pclAllocDataSource(m_pclConnection, m_pclError);
    if (pclDescription == nullptr)
        return 0;
    pclDescription->AddRef();
    pclDescription->SetLogicalName(pszGetLogicalName());
    pclDescription->SetDBName(pszGetLogicalName());
    const int bFilled = pclStatement->bGetQueryStructure(pclDescription);
    if (bFilled)
        (void)_SetImportedDataSourceDesc(pclDescription);
    pclDescription->nRelease();
    return bFilled;
}

// --- Existence.

CNADataSourceDescription* CNADataAccess::pclGetDataSourceDescriptionFromDB(const wchar_t* pszTable, int nContext)
{
    if (m_pclConnection == nullptr || !m_pclConnection->bOpen(m_pclError))
        return nullptr;
    CNADataSourceDescription* pclDescription = _pclAllocDataSource(m_pclConnection, m_pclError);
    if (pclDescription == nullptr)
        return nullptr;
    pclDescription->AddRef();
    if (!pclDescription->bInitDataSourceDescriptionFromDB(pszTable, nContext)) {
        pclDescription->nRelease();
        return nullptr;
    }
    return pclDescription;
}

int CNADataAccess::bFichierExiste(int* pbExists, int* pbCompatible)
{
    CNADataSourceDescription* pclFound = pclGetDataSourceDescriptionFromDB(pszGetDBTableName(), 1);
    if (pclFound != nullptr) {
        (void)_SetImportedDataSourceDesc(pclFound);
        if (pbExists != nullptr)
            *pbExists = 1;
        if (pbCompatible != nullptr)
            *pbCompatible = m_piSource != nullptr ? pclFound->bAreDescriptionCompatible(m_piSource) : 1;
        pclFound->nRelease();
        return 1;
    }
    if (pbExists != nullptr)
        *pbExists = 0;
    if (pbCompatible != nullptr)
        *pbCompatible = 0;
    if (m_pclError != nullptr) {
        if (m_pclError->eGetErrorLevel() == NA_LEVEL_NOERROR)
            CNAError::g_RaiseSiteError(m_pclError, NASite::kTableNotFound, m_pclConnection, pszGetLogicalName(),
                                       nullptr, pszGetLogicalName(), L"");
        else
            m_pclError->AddUserMessageFirst(kTableNotFoundMessage, pszGetLogicalName(), L"");
    }
    return 0;
}

int CNADataAccess::bCheckCompatibilityWithDatabase()
{
    if (m_bCompatible)
        return 1;
    int bExists = 0;
    int bCompatible = 0;
    if (bFichierExiste(&bExists, &bCompatible) && bExists && bCompatible)
        m_bCompatible = 1;
    return m_bCompatible;
}

// --- Open, create, drop, empty.

int CNADataAccess::bHOuvre(eNA_ACCESS, const wchar_t*)
{
    _SetAliasNameFromContext();
    if (m_bOpened)
        return 1;
    if (!bCheckCompatibilityWithDatabase() || !_bInitCurrentRecord()) {
        SetFailureLevel(m_pclError);
        return 0;
    }
    m_bOpened = 1;
    return 1;
}

int CNADataAccess::bHCreationSiInexistant(eNA_ACCESS eAccess, const wchar_t* pszPassword)
{
    _SetAliasNameFromContext();
    int bExists = 0;
    int bCompatible = 0;
    if (bFichierExiste(&bExists, &bCompatible)) {
        m_bCompatible = bExists && bCompatible ? 1 : 0;
        if (bExists) {
            const int bOpened = bHOuvre(eAccess, pszPassword);
            if (!bOpened)
                SetFailureLevel(m_pclError);
            return bOpened;
        }
    }
    m_bCompatible = 0;
    if (m_pclError != nullptr)
        m_pclError->Reset();
    const int bCreated = bHCreation(pszPassword, 0);
    if (!bCreated)
        SetFailureLevel(m_pclError);
    return bCreated;
}

int CNADataAccess::bHCreation(const wchar_t*, int bDrop)
{
    _SetAliasNameFromContext();
    if (!_bHCreation(bDrop, 1) || !_bInitCurrentRecord()) {
        SetFailureLevel(m_pclError);
        return 0;
    }
    m_bOpened = 1;
    return 1;
}

int CNADataAccess::bSupprimeFichier()
{
    _SetAliasNameFromContext();
    if (!_bHCreation(1, 0)) {
        SetFailureLevel(m_pclError);
        return 0;
    }
    m_bOpened = 0;
    return 1;
}

int CNADataAccess::_bHCreation(int bDrop, int bCreate)
{
    _Close();
    if (m_pclConnection == nullptr || !m_pclConnection->bOpen(m_pclError))
        return 0;
    if (!_bInitCurrentRecord())
        return 0;
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    int bResult = 1;
    if (bDrop && !_bOperation(pclStatement, NA_QUERY_DROPTABLE, 0, nullptr)) {
        if (!bCreate) {
            // A drop only: a table that is not there is dropped already;
            // any other refusal leaves it there and is a failure.
            if (m_pclError != nullptr && m_pclError->dwGetDataBaseErrorCode() == kUnknownTableCode)
                m_pclError->Reset();
            else
                bResult = 0;
        } else if (eGetNAErrorType() == 1) {
            bResult = 0;
        }
    }
    if (bResult && bCreate) {
        bResult = _bOperation(pclStatement, NA_QUERY_CREATE, 0, nullptr);
        if (bResult) {
            if (m_pclError != nullptr)
                m_pclError->Reset();
            (void)_bCreateIndex(pclStatement, m_nIndexMode);
            bResult = bCheckCompatibilityWithDatabase();
        }
    }
    (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bCreateIndex(CNAStatement* pclStatement, int nMode)
{
    if (m_pclCurrentRecord == nullptr || pclStatement == nullptr)
        return 1;
    int bResult = 1;
    CNACommand* pclCommand = nullptr;
    const int nColumns = m_pclCurrentRecord->nGetNbColumn();
    for (int i = 0; i < nColumns; ++i) {
        CNAColumn* pclColumn = m_pclCurrentRecord->pclGetColumnNoRef(i);
        if (pclColumn == nullptr)
            continue;
        INAItemDescription* piItem = pclColumn->piGetItemNoRef();
        CTString csColumns;
        if (pclColumn->bIsComposedKey()) {
            if ((nMode & 2) == 0 || pclColumn->pclGetTabComponent() == nullptr)
                continue;
            const CNAColumn::CColumnArray& tabComponents = *pclColumn->pclGetTabComponent();
            for (int n = 0; n < tabComponents.nGetNbElement(); ++n) {
                if (n > 0)
                    csColumns.Add(L",");
                csColumns.Add(tabComponents[n]->pszGetFormatedName());
            }
        } else if (piItem != nullptr &&
                   ((piItem->bDuplicates() && (nMode & 2) != 0) || (piItem->bUnique() && (nMode & 1) != 0))) {
            csColumns.Set(pclColumn->pszGetFormatedName());
        } else {
            continue;
        }
        CTString csName;
        if (!_bGetUniqueIndexName(pclColumn, &csName))
            bResult = 0;
        if (pclCommand == nullptr) {
            pclCommand = pclAllocCommand(m_pclError);
            if (pclCommand == nullptr)
                return 0;
            REF_AddRef(pclCommand);
        }
        pclCommand->ResetCommand(0);
        const int bUnique = piItem != nullptr && piItem->bUnique();
        const auto add = [pclCommand](const wchar_t* pszText) {
            return pclCommand->bComplete(pszText, static_cast<unsigned long>(-1));
        };
        // A plain index keeps both blanks around the missing "UNIQUE".
        const int bBuilt = add(L"CREATE ") && (!bUnique || add(L"UNIQUE")) && add(L" INDEX ") &&
                           add(csName.pszGet()) && add(L" ON ") && add(m_csDBTableName.pszGet()) && add(L" ( ") &&
                           add(csColumns.pszGet()) && add(L" ) ");
        pclCommand->SetQueryKind(NA_QUERY_CREATE);
        if (!bBuilt || !pclStatement->bExecuteDirectNewCommand(pclCommand, 0))
            bResult = 0;
    }
    if (pclCommand != nullptr)
        REF_Release(pclCommand);
    return bResult;
}

int CNADataAccess::_bGetUniqueIndexName(CNAColumn* pclColumn, CTString* pcsName)
{
    if (pclColumn == nullptr || pcsName == nullptr)
        return 0;
    if (!pclColumn->bIsComposedKey()) {
        _GetGeneratedIndexName(pcsName);
        return 1;
    }
    if (m_pclConnection != nullptr && m_pclConnection->bIndexNamesCommonOnDatabase()) {
        CTString csName(pszGetDBTableName());
        csName.Add(L"_");
        csName.Add(pclColumn->pszGetName());
        return m_pclConnection->bFormatItemName(m_pclError, csName.pszGet(), pcsName);
    }
    pcsName->Set(pclColumn->pszGetFormatedName());
    return 1;
}

void CNADataAccess::_GetGeneratedIndexName(CTString* pcsName)
{
    if (pcsName == nullptr)
        return;
    const auto nSeconds = static_cast<uint32_t>(std::time(nullptr));
    pcsName->printf(L"VXIDX%u%d", nSeconds, static_cast<int>(s_nIndexNameCounter));
    ++s_nIndexNameCounter;
}

int CNADataAccess::bSupprimeTout()
{
    _SetAliasNameFromContext();
    const int bEmptied = _bSupprimeTout();
    if (bEmptied)
        m_bOpened = 0;
    else
        SetFailureLevel(m_pclError);
    return bEmptied;
}

int CNADataAccess::_bSupprimeTout()
{
    _Close();
    if (m_pclConnection == nullptr || !m_pclConnection->bOpen(m_pclError))
        return 0;
    if (m_bQuery)
        return _bSupprimeTout_HSupprime();
    if (!_bInitCurrentRecord())
        return 0;
    CNAStatement* pclStatement = _pclGetQueryStatement();
    if (pclStatement == nullptr)
        return 0;
    const int bResult = _bOperation(pclStatement, NA_QUERY_DELETEALL, 0, nullptr);
    (void)pclStatement->ResetStatement();
    REF_Release(pclStatement);
    return bResult;
}

int CNADataAccess::_bSupprimeTout_HSupprime()
{
    const wchar_t* pszItem = pszGetBestParseItemName();
    const auto eLock = static_cast<eNA_LOCKTYPE>(1);
    if (!bHLitxxx(pszItem, static_cast<eNA_PARSEDIRECTION>(0), 1, eLock, nullptr, 0))
        return 0;
    for (;;) {
        CNAStatement* pclStatement = _pclGetLastStatement();
        int bOut = 1;
        if (pclStatement != nullptr) {
            pclStatement->HEndehors(&bOut);
            REF_Release(pclStatement);
        }
        if (bOut)
            return 1;
        if (!bHSupprime(0, eLock) || !bHLitxxx(pszItem, static_cast<eNA_PARSEDIRECTION>(2), 1, eLock, nullptr, 0))
            return 0;
    }
}
