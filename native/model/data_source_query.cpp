// Completing a data-source description from the host's parse of its query.
#include "common/system/x_error.h"
#include "common/text/str_compare.h"
#include "native/driver/error_object.h"
#include "native/model/data_source_description.h"
#include "native/sql/sql_parser_info.h"

namespace {

// The host's calculation value of an item it computes.
constexpr unsigned kCalculatedItem = 1;

bool bEmpty(const wchar_t* psz)
{
    return psz == nullptr || *psz == L'\0';
}

// The database name of the output item's table: its own table name when
// the query writes it under an alias, else the parse's physical name of
// the alias, else the database name of the module's description of it.
CTString csDBTableName(CSQLParserInfo* pclQuery, IInfoRubrique* piInfo)
{
    CTString csName;
    const wchar_t* pszTable = piInfo->pszGetNomTable();
    const wchar_t* pszAlias = piInfo->pszGetAliasTable();
    if (bEmpty(pszAlias))
        pszAlias = pszTable;
    if (!bEmpty(pszTable) && STR_nCompareW(pszTable, pszAlias, 3) != 0) {
        csName.Set(pszTable);
        return csName;
    }
    if (bEmpty(pszAlias))
        return csName;
    const wchar_t* pszPhysical = pclQuery->pszGetPhysicalName(pszAlias);
    if (pszPhysical != nullptr) {
        csName.Set(pszPhysical);
        return csName;
    }
    INADataSourceDescription* piDescription = pclQuery->piGetNADataSourceDescription(pszAlias);
    if (piDescription != nullptr) {
        csName.Set(piDescription->pszGetDBTableName());
        piDescription->nExternalRelease();
    }
    return csName;
}

}  // namespace

int CNADataSourceDescription::bCompleteDescription(CSQLParserInfo* pclQuery)
{
    m_eKind = KIND_FROM_QUERY;
    if (pclQuery == nullptr)
        return 1;
    // Over a join a key of one table no longer tells the rows apart.
    const int bUnique = pclQuery->piEnumFichierFrom(1) == nullptr || pclQuery->piEnumFichierFrom(0) == nullptr;
    int bResult = 1;
    unsigned n = 0;
    for (IInfoRubrique* piInfo = pclQuery->piEnumRubriqueOUT(1); piInfo != nullptr && bResult;
         piInfo = pclQuery->piEnumRubriqueOUT(0), ++n)
        bResult = _bCompleteFromQueryItem(pclQuery, piInfo, n, bUnique);

    bool bFirst = true;
    for (IInfoOrderBy* piOrder = pclQuery->piEnumRubriqueClauseOrder(1); piOrder != nullptr;
         piOrder = pclQuery->piEnumRubriqueClauseOrder(0)) {
        IInfoRubrique* piInfo = pclQuery->piGetRubriqueOUT(piOrder->nGetIndex());
        CNAItemDescription* pclItem = piInfo != nullptr ? pclNAGetItemNoRef(piInfo->pszGetNom(), 0) : nullptr;
        if (bFirst)
            _SetBestParseItem(pclItem);
        bFirst = false;
        if (pclItem != nullptr)
            pclItem->SetSensTri(piOrder->nGetDirection() == 1 ? CNAItemDescription::SENSTRI_DESCENDANT
                                                              : CNAItemDescription::SENSTRI_ASCENDANT);
    }
    UpdateRecordSize();
    return bResult;
}

int CNADataSourceDescription::_bCompleteFromQueryItem(CSQLParserInfo* pclQuery, IInfoRubrique* piInfo, unsigned n,
                                                      int bUnique)
{
    const bool bCalculated = piInfo->dwGetCalculValue() == kCalculatedItem;
    INAItemDescription* piTableItem = bCalculated ? nullptr : pclQuery->piGetItemDescription(piInfo);
    CNAItemDescription* pclItem = pclGetItemNoRef(n);
    int bResult = 1;

    if (pclItem != nullptr) {
        const bool bWasKey = pclItem->bIsKey() != 0;
        const bool bWasMemo = pclItem->bMemo() != 0;
        if (piTableItem != nullptr) {
            // A key keeps its place in the key list.
            const int nKeyIndice = bWasKey ? pclItem->nGetKeyIndice() : static_cast<int>(nGetNumKeys());
            pclItem->bCompleteDescription(piTableItem, bUnique, static_cast<unsigned>(nKeyIndice));
        } else if (bCalculated) {
            pclItem->bCompleteDescriptionCalcul(piInfo);
        }
        if (!bWasKey && pclItem->bIsKey()) {
            bResult = _AddKey(pclItem);
        } else if (bWasKey && !pclItem->bIsKey()) {
            _RemoveFromList(m_tabKeys, pclItem, true);
        }
        if (bResult && !bWasMemo && pclItem->bMemo()) {
            if (m_tabMemos.Ajoute(pclItem)) {
                CItemList::_AddRef(pclItem);
            } else {
                if (m_pclError != nullptr)
                    m_pclError->pclGetXError()->SetErrorNoMemory();
                bResult = 0;
            }
        } else if (bWasMemo && !pclItem->bMemo()) {
            _RemoveFromList(m_tabMemos, pclItem, false);
        }
    } else if (piTableItem == nullptr) {
        bResult = bAddItem(piInfo->pszGetNom(), L"", piInfo->pszGetNom(), 1, static_cast<unsigned>(piInfo->nGetSize()),
                           g_eGetNAItemType(static_cast<eQFTYPES>(piInfo->eGetQFType())), nGetNumItems(), -1, 0, 0, 0);
        pclItem = bResult ? pclGetItemNoRef(nGetNumItems() - 1) : nullptr;
    } else if (!piTableItem->bIsComposedKey()) {
        // The table item's type, sizes, source names and key: the item is
        // made empty and completed from it, as an existing one would be.
        const wchar_t* pszName = !bEmpty(piInfo->pszGetNom()) ? piInfo->pszGetNom() : piTableItem->pszGetName();
        bResult = bAddItem(pszName, L"", L"", 1, 1, NA_IT_TEXTE, nGetNumItems(), -1, 0, 0, 0);
        pclItem = bResult ? pclGetItemNoRef(nGetNumItems() - 1) : nullptr;
        if (pclItem != nullptr) {
            pclItem->bCompleteDescription(piTableItem, bUnique, nGetNumKeys());
            if (pclItem->bIsKey())
                bResult = _AddKey(pclItem);
            if (bResult && pclItem->bMemo()) {
                bResult = m_tabMemos.Ajoute(pclItem);
                if (bResult)
                    CItemList::_AddRef(pclItem);
                else if (m_pclError != nullptr)
                    m_pclError->pclGetXError()->SetErrorNoMemory();
            }
        }
    }

    if (pclItem != nullptr) {
        pclItem->SetCalculValue(piInfo->dwGetCalculValue());
        if (piTableItem != nullptr)
            pclItem->SetDBTableName(csDBTableName(pclQuery, piInfo).pszGet());
    }
    if (piTableItem != nullptr)
        piTableItem->nExternalRelease();
    return bResult;
}

void CNADataSourceDescription::_RemoveFromList(CItemList& list, CNAItemDescription* pclItem, bool bRenumberKeys)
{
    for (int i = 0; i < list.nGetNbElement(); ++i) {
        if (list[i] != pclItem)
            continue;
        list.Supprime(i, 1);
        if (bRenumberKeys) {
            for (int j = i; j < list.nGetNbElement(); ++j)
                list[j]->bSetKeyIndice(list[j]->nGetKeyIndice() - 1);
        }
        CItemList::_Release(pclItem);
        return;
    }
}
