#pragma once

// The current record of a data access: one column per item of the table's
// or query's description, the columns with special roles (auto-increment,
// unique key, memos, composite unique keys), the ORDER BY columns that give
// a stable browse order, and two rows: the current row, whose record buffer
// the host reads and fetches fill, and the original row, kept as the row
// was read for comparison and restore.
//
// The record holds one reference on its error object, its connection
// (handed back through the driver), every column in each list that names
// it, the record buffer and both rows. Its data access owns it and is named
// without a reference. The rows are built from the description with the
// items' default values; the original row's identity comes from the data
// access, and the current row starts as a clone of the original with all
// parts.
//
// A column is found for an item by position for a table, by names for a
// query; a position outside the columns (a host description that does not
// agree with the record) finds none, and the callers treat that as a
// failure. Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "common/text/ref_array.h"
#include "native/driver/na_forward.h"
#include "native/model/column.h"
#include "native/model/interf.h"
#include "native/model/record_value.h"

class CColumnNullValueExcluded;
class CNAPosition;
class CSQLParserInfo;

class CNARecord : public CInterf
{
public:
    using CColumnArray = CNAColumn::CColumnArray;

    // An empty record; one reference on the error object.
    CNARecord(CNAError* pclError, CNADataAccess* pclDataAccess);

    // Slots 0-1: the error object's reference, the columns (last first), the
    // auto-increment and unique-key columns, the rows, the connection (given
    // back to the driver), then the composite-key, memo and ORDER BY lists.
    ~CNARecord() override;
    // The first column whose name equals the name without regard to case
    // or accents; null when none.
    virtual CNAColumn* pclGetColumnNoRef(const wchar_t* pszName);                                     // 3
    // Builds the record from the description (the imported description may
    // be null). 0 when the description has no item (user error 1), the rows
    // cannot be built, a column cannot be made or set up, or a composite
    // key's component has no column (user error 26).
    virtual int bInitRecord(INADataSourceDescription* piSource, CNADataSourceDescription* pclImported,
                            CNAConnectionDescription* pclConnection);                                 // 4
    // The current row's state becomes deleted (128).
    virtual void SetDeleted();                                                                        // 5
    // A new column from the driver (slot 50), without a reference.
    virtual CNAColumn* _pclAllocColumn(CNAError* pclError, INAItemDescription* piItem);              // 6

    // --- Columns.
    // Made (slot 6), appended to the columns, to the memo columns for a
    // memo and to the composite unique keys for a unique composite key, then
    // initialised (its vbInit). 0 when none is made or its set-up fails.
    int bAddColumn(INAItemDescription* piItem, CNAItemDescription* pclImported);
    // Releases and removes every column, last first.
    void DeleteAllColumn();
    int nGetNbColumn() const { return m_tabColumns.nGetNbElement(); }
    // Column n; null outside the columns (inline: asked for every column of
    // every row read).
    CNAColumn* pclGetColumnNoRef(int n)
    {
        return n >= 0 && n < m_tabColumns.nGetNbElement() ? m_tabColumns[n] : nullptr;
    }
    CNAColumn* pclGetColumnNoRef(INAItemDescription* piItem);
    // The first column the database numbers itself.
    CNAColumn* pclGetNAColumnIdentityNoRef() const;
    CNAColumn* pclGetColumnIDAutoNoRef() const { return m_pclIDAutoColumn; }
    CNAColumn* pclGetUniqueKeyNoRef() const { return m_pclUniqueKeyColumn; }
    // The unique-key column when its value is defined, else the first ORDER
    // BY column when unique and defined, else the first unique column in
    // item order whose value is defined; null when none.
    CNAColumn* pclGetUniqueKeyNotNullNoRef();
    int nGetNbColumnOrder() const { return m_tabOrderColumns.nGetNbElement(); }
    CNAColumn* pclGetColumnOrderNoRef(int n) const;
    CColumnArray* pclGetTabColumnMemo() { return &m_tabMemoColumns; }
    CColumnArray* pclGetTabComposedKeyUnique() { return &m_tabComposedKeyUnique; }

    // --- The data access and the connection.
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    // Releases the former connection (given back to the driver) and keeps
    // this one with a reference.
    void _SetConnection(CNAConnectionDescription* pclConnection);
    // The data access's logical name; an empty text without data access.
    const wchar_t* pszGetTableName() const;
    // Whether the data access reads a query, and its query; 0 and null
    // without data access.
    int bSourceIsQuery() const;
    CSQLParserInfo* pclGetSourceQueryNoRef() const;
    // Whether the data access gives its columns their calculation kinds.
    int bColumnKindsEnabled() const;
    // 1; nothing is done.
    int bGetPosition(CNAPosition* pclPosition);

    // --- Rows.
    // Asked for every column of every row: kept inline.
    CNAQFRecord* pclGetNAQFRecord() const
    {
        return m_pclCurrent != nullptr ? m_pclCurrent->pclGetNAQFRecordNoRef() : nullptr;
    }
    CNAQFRecord* pclGetOriginalNAQFRecord() const
    {
        return m_pclOriginal != nullptr ? m_pclOriginal->pclGetNAQFRecordNoRef() : nullptr;
    }
    CNARecordValue* pclGetCurrentRecordValueNoRef() const { return m_pclCurrent; }
    CNARecordValue* pclGetOriginalRecordValueNoRef() const { return m_pclOriginal; }
    int bOriginalSet() const { return m_bOriginalSet; }
    int bEquals(const CNARecordValue* pclOther, int bMemo) const;
    int bCopyToCurrentRecord(const CNARecordValue* pclSource);
    int bCopyOriginalRecordToCurrentRecord();
    int bCopyCurrentRecordToOriginalRecord();
    // Copies the buffer into the current row; then the columns' values
    // follow its null flags.
    int bSetNAQFRecord(CNAQFRecord* pclBuffer);
    void OnNAQFRecordChanged();
    // The rows built again from the description, then every column's
    // value rebound, stopping at the first failure.
    int bUpdateChangedTypeInCurrentRecord(INADataSourceDescription* piSource);
    // The column's value shared into the current row's memo set at the
    // column's memo index; 1 for a column that is not listed.
    int bShareCurrentRecordMemoValue(CNAColumn* pclColumn);
    // The rank of the record among the rows with an equal key.
    int nGetEqualRank() const { return m_nEqualRank; }
    void SetEqualRank(int n) { m_nEqualRank = n; }

    // Whether the list's first n columns complete a composite unique key of
    // the record that holds column n - 1 and is not NULL.
    int bComposedKeyUniqueNotNullAdded(const CColumnArray* pclList, int n,
                                       CColumnNullValueExcluded* pclExclusions);
    // The readable dump of the current row that error reports use.
    void CurrentRecordToString(CXYStringConcat<wchar_t>* pclText);

protected:
    int _bAllocRecordsBuffer(INADataSourceDescription* piSource);
    void _FreeRecordsBuffer();
    // Components of the composite columns from the record's columns; 0
    // with the error recorded when a component has no column.
    int _bInitCompositeKey();
    void _InitOrderBy();
    void _AddColumnOrder(CNAColumn* pclColumn);
    // The list emptied, then holding this column alone.
    void _SetColumnOrder(CNAColumn* pclColumn);
    // Appends with a reference; false when memory runs out.
    static bool _bAppend(CColumnArray& list, CNAColumn* pclColumn);
    static int _nFind(const CColumnArray& list, const CNAColumn* pclColumn);
    // The same column replaces a held role column (counted).
    static void _SetRole(CNAColumn** ppclRole, CNAColumn* pclColumn);

    CNAError* m_pclError;
    CNADataAccess* m_pclDataAccess;
    CNAConnectionDescription* m_pclConnection = nullptr;
    CColumnArray m_tabColumns{20};
    CNAColumn* m_pclIDAutoColumn = nullptr;
    CNAColumn* m_pclUniqueKeyColumn = nullptr;
    CNAQFRecord* m_pclQFRecord = nullptr;
    CNARecordValue* m_pclOriginal = nullptr;
    CNARecordValue* m_pclCurrent = nullptr;
    int32_t m_bOriginalSet = 0;
    CColumnArray m_tabOrderColumns{10};
    CColumnArray m_tabMemoColumns{1};
    CColumnArray m_tabComposedKeyUnique{1};
    int32_t m_nEqualRank = 0;
};

inline void REF_AddRef(CNARecord* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNARecord* p)
{
    p->nRelease();
}
