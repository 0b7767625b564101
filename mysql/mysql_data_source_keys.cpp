// The MySQL table description's keys from the index list. SHOW INDEX gives
// Table, Non_unique, Key_name, Seq_in_index, Column_name first; its rows come
// grouped by key name, each key's columns in their order, so a key is
// complete when the next row names another key or the rows end.
#include "mysql/mysql_data_source_description.h"

#include "mysql/show_result_reader.h"

namespace {

constexpr unsigned short kUnique = 0x4800;
constexpr unsigned short kDuplicates = 0x2800;
constexpr unsigned short kPrimary = 0x8000;
constexpr unsigned short kComposite = 0x1000;
// What the column list writes on an auto-increment primary-key column.
constexpr unsigned short kAutoIncrementMark = 0x8800;

}  // namespace

int CMySQLDataSourceDescription::_bInitKeysFromQueryShowIndex(CNAStatementSQL* pclStatement)
{
    CShowResultReader reader(pclStatement, m_pclError, m_pclConnection);
    if (!reader.bReady())
        return 0;
    CNAItemDescription* pclPending = nullptr;
    CTString csPreviousKey, csPreviousColumn;
    unsigned short wPreviousType = 0;
    int nRows = 0;
    CTString csTable, csNonUnique, csKeyName, csSequence, csColumn;
    int bDone = 1;
    for (;;) {
        const int nRow = reader.nNextRow();
        if (nRow <= 0) {
            bDone = nRow == 0 ? 1 : 0;
            break;
        }
        if (!reader.bRead(0, &csTable) || !reader.bRead(1, &csNonUnique) || !reader.bRead(2, &csKeyName) ||
            !reader.bRead(3, &csSequence) || !reader.bRead(4, &csColumn)) {
            bDone = 0;
            break;
        }
        unsigned short wType = csNonUnique.bEstEgal(L"0") ? kUnique : kDuplicates;
        if (wType == kUnique && csKeyName.bEstEgal(L"PRIMARY"))
            wType |= kPrimary;
        if (nRows > 0) {
            const int bNewKey = csKeyName.bEstEgal(csPreviousKey.pszGet()) ? 0 : 1;
            if (!_bInitKeyDescription(&pclPending, csKeyName.pszGet(), bNewKey, csPreviousColumn.pszGet(),
                                      wPreviousType)) {
                bDone = 0;
                break;
            }
        }
        csPreviousKey.Set(csKeyName.pszGet());
        csPreviousColumn.Set(csColumn.pszGet());
        wPreviousType = wType;
        ++nRows;
    }
    // A failure on the way fails the reading: a key completed from the rows
    // read so far would describe an index the table does not have (part of
    // a composite key, or the column after a failed one taken for a key of
    // its own), and the failure would not show.
    if (bDone && nRows > 0)
        bDone = _bAddKeyDescription(&pclPending, csPreviousColumn.pszGet(), wPreviousType);
    if (pclPending != nullptr)
        pclPending->nRelease();
    return bDone;
}

int CMySQLDataSourceDescription::_bInitKeyDescription(CNAItemDescription** ppclPending, const wchar_t* pszKeyName,
                                                      int bNewKey, const wchar_t* pszColumn, unsigned short wKeyType)
{
    if (bNewKey)
        return _bAddKeyDescription(ppclPending, pszColumn, wKeyType);
    if (*ppclPending == nullptr) {
        *ppclPending = _pclNewItem(pszKeyName, pszGetPhysicalName(), 0, NA_IT_BINAIRE, static_cast<unsigned>(-1),
                                   static_cast<int>(nGetNumKeys()), static_cast<unsigned short>(wKeyType | kComposite),
                                   0, 0);
        if (*ppclPending == nullptr)
            return 0;
    }
    return _bAddKeyComponent(*ppclPending, pszColumn);
}

int CMySQLDataSourceDescription::_bAddKeyDescription(CNAItemDescription** ppclPending, const wchar_t* pszColumn,
                                                     unsigned short wKeyType)
{
    CNAItemDescription* pclKey = *ppclPending;
    if (pclKey == nullptr) {
        // A key of one column is its column's key type; the last index read
        // wins, but a primary key stays one. The mark the column list gave
        // an auto-increment column is not yet its index's type: the index
        // list's replaces it.
        CNAItemDescription* pclItem = pclNAGetItemNoRef(pszColumn, 2);
        if (pclItem != nullptr && pclItem->wGetKeyFlags() == kAutoIncrementMark)
            pclItem->SetKeyFlags(wKeyType);
        else
            (void)_bSetKeyType(pclItem, wKeyType);
        return 1;
    }
    *ppclPending = nullptr;
    int bDone = _bAddKeyComponent(pclKey, pszColumn);
    if (bDone)
        bDone = _AddItem(pclKey);
    pclKey->nRelease();
    return bDone;
}

int CMySQLDataSourceDescription::_bAddKeyComponent(CNAItemDescription* pclKey, const wchar_t* pszColumn)
{
    if (pclNAGetItemNoRef(pszColumn, 2) == nullptr) {
        // A part on an expression, or a column dropped between the two
        // lists: the reading fails, and the host must learn why.
        (void)pclNAGetCorrespondingItem(pszColumn);
        return 0;
    }
    return _bAddItemComponent(pclKey, pszColumn);
}
