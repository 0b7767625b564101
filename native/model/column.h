#pragma once

// One column of a record (CNARecord): one item of a table or of a query's
// result. It joins the host engine's item description (the analysis item),
// the database-side description (the imported item, may be null), the
// owning record's current and original rows, and a conversion value that
// lives in the current row's slot of the item (any column but a memo) or in
// its own runtime value (a memo, shared with the current row's memo set at
// the column's memo index). The statement layer derives its own column,
// which fills the value from the database (slot 19).
//
// The column holds one external reference on each item description, one
// reference on its error object and on its value, and its components (a
// composite key's columns, each counted). Its record is named without a
// reference: the record owns its columns.
//
// Record buffers are addressed through the record buffer's checked
// operations only; an item whose slot lies outside the buffer (a host
// description that does not agree with itself) reads as NULL and is never
// written. A composite key's components are found through the record; a
// component that has no column makes the key's value fail, it is never
// dereferenced.
//
// The flags of the value operations are handed to the record buffer as the
// element of the item (0 for a plain item). Counted through CInterf,
// plainly, under the driver-wide lock.
#include <cstddef>
#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_array.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"

class CNARecord;
class CNARecordValue;
class CNAVariant;
class CSQLParserInfo;

class CNAColumn : public CInterf
{
public:
    using CColumnArray = CNARefArray<CNAColumn>;

    // Counts 0, no record, no value; one reference on the error object and
    // one external reference on the item.
    CNAColumn(CNAError* pclError, INAItemDescription* piItem);

    // Slots 0-1: the item, the value, the imported item, the error object
    // and the components released. Slot 2 is CInterf's.
    ~CNAColumn() override;
    // Keeps the record, formats the names, takes the imported item and, but
    // for a composite key, makes the value. 0 when a step fails.
    virtual int vbInit(CNARecord* pclRecord, CNAItemDescription* pclImported);                       // 3
    // The value made when missing (the driver's variant factory, on the
    // record's connection), typed or bound, given both items; a memo's value
    // is shared with the record's current row.
    virtual int bInitVariant(CNARecord* pclRecord);                                                   // 4
    virtual int bSetImportedItemDesc(CNAItemDescription* pclImported);                               // 5
    // Slot 4 again, with the column's record.
    virtual int bUpdateChangedTypeInCurrentRecord();                                                  // 6
    virtual int bIsAutoIncrementOnDataBase() const;                                                   // 7
    virtual const wchar_t* pszGetAliasNomTable() const;                                               // 8
    virtual const wchar_t* pszGetFormatedAliasNomTable() const;                                       // 9
    virtual int bGetCurrentValue(CAny* pclValue, unsigned nFlags);                                    // 10
    virtual int bGetOriginalValue(CAny* pclValue, unsigned nFlags);                                   // 11
    virtual int bCurrentValueToString(CXYStringConcat<wchar_t>* pclText, int bWithName);              // 12
    virtual int bSetValue(const CAny* pclValue, unsigned nFlags);                                     // 13
    virtual int bValueModified();                                                                     // 14
    virtual int bValueDefined(unsigned nFlags);                                                       // 15
    // The item's null flag in the original row.
    virtual int bOriginalValueDefined();                                                              // 16
    virtual int bSameValue(const CAny* pclValue, unsigned nFlags);                                    // 17
    virtual int bCheckAndCorrectQFRecordValues(unsigned nFlags);                                      // 18
    // 0 here: the statement layer's column reads the database.
    virtual int bSetValueFromDB(CNAStatement* pclStatement, unsigned nFlags);                         // 19
    virtual int bHAttacheMemo(const wchar_t* pszPath);                                                // 20
    virtual int bHExtraitMemo(const wchar_t* pszPath);                                                // 21
    virtual int bGetBLOB(CAny* pclValue);                                                             // 22
    virtual int bMustDefine(unsigned nFlags);                                                         // 23
    virtual int bMustBind(unsigned nFlags);                                                           // 24
    virtual int bGetCacheValue(CAny* pclValue, unsigned nFlags);                                      // 25
    virtual CNAConvertVariant* pclGetNAValue();                                                       // 26
    // A clone of the value (a new value, without reference), or null.
    virtual CNAConvertVariant* pclGetVariantClone();                                                  // 27
    virtual int bRestaureOriginalValue(CNAConvertVariant* pclOriginal);                               // 28

    // --- Set-up.
    // The formatted name and formatted original name through the
    // connection's item-name formatting; 0 without connection or when the
    // formatting fails.
    int bFormatName();
    // Appends a component (counted); 0 when memory runs out.
    int AddCompositeKey(CNAColumn* pclComponent);
    // Types a caller's value for this column: kind 1 of the code (0: the
    // item's runtime type) and the item's size (0 for a memo), with both item
    // descriptions. 0 for a null value.
    int bInitVariant_NV_Any(CNAError* pclError, CNAConvertVariant* pclValue, unsigned short nCode);
    void SetAliasNomTable(const wchar_t* pszAlias, const wchar_t* pszFormatedAlias);

    // --- Names and properties.
    const wchar_t* pszGetName() const;
    // The item's name in its source when not empty, else its name.
    const wchar_t* pszGetOriginalName() const;
    const wchar_t* pszGetSourceName() const;
    int nGetPhysicalIndice() const;
    int nGetItemSize() const;
    int nGetValueSize() const;
    int nGetLogicalSize() const;
    int nGetIntegerPart() const;
    int nGetDecimalPart() const;
    eNA_ITEMTYPE eNAGetItemType() const;
    int bIsComposedKey() const;
    int bIsMemo() const;
    int bIsMemoText() const;
    int bIsMemoBin() const;
    int bLiteral() const;
    int bGetDescendantComponent(int n) const;
    unsigned short eGetZLType() const;
    // The item with one external reference for the caller.
    INAItemDescription* piGetItem() const;
    INAItemDescription* piGetItemNoRef() const { return m_piItem; }
    CNAItemDescription* piGetImportedItemDescNoRef() const { return m_pclImported; }
    // The imported item's logical size, -1 without one.
    int nGetLogicalSizeOnDatabase() const;
    // The imported item's database type code, 0 without one.
    int nGetDBType() const;
    // The imported item's database item type on the connection, 0 without.
    eNA_ITEMTYPE eNAGetItemTypeOnDatabase() const;
    // The imported item's type, else the item's.
    eNA_ITEMTYPE eNAGetItemTypeOnDatabaseEx() const;
    int bIsMemoDB() const;
    int bGetIgnoreCase(int n) const;
    int bUpdatable() const;
    int bIsIdAuto() const;
    int bBinaryString() const;
    int bIsUnique() const;
    int bUnique() const { return bIsUnique(); }
    int bPrimary() const;
    int bIsNullable() const;
    int bIsNullableOnDataBase() const;
    int bUniqueNotNull() const;
    // The item's calculation kind (0 for a plain column) when the record's
    // source enables column kinds, else 0.
    int eGetTypeColonne() const;
    int bSourceIsQuery() const;
    CNAConnectionDescription* pclGetCnx() const;
    const wchar_t* pszGetTableName() const;
    CSQLParserInfo* pclGetSourceQueryNoRef() const;
    const wchar_t* pszGetFormatedName() const { return m_csFormatedName.pszGet(); }
    const wchar_t* pszGetFormatedOriginalName() const { return m_csFormatedOriginalName.pszGet(); }
    const wchar_t* pszGetFormatedSelectName(int bFlag);
    CColumnArray* pclGetTabComponent() const { return m_pclComponents; }
    // Whether the column is the record's column of one of the item's
    // components.
    int bIsComposedKeyComponent(const CNAColumn* pclColumn) const;
    // The position among the record's memo columns, -1 when absent.
    int nGetMemoIndice() const;
    CNARecord* pclGetRecordNoRef() const { return m_pclRecord; }
    // The item's slot in the buffer (the record's current row when null).
    unsigned char* pGetValuePtr(CNAQFRecord* pclBuffer) const;
    unsigned char* pGetValuePtr(CNARecord* pclRecord) const;
    int bValueIsUnreadYet() const;
    int bIsModifiedFlag() const { return m_bModified; }
    const wchar_t* pszGetMemoFile() const { return m_csMemoFile.pszGet(); }

    // --- Values.
    // bValueDefined(0) of a column known to be neither memo nor composite
    // key (the record's walk over its columns knows it already).
    int bPlainValueDefined() { return !_bNullOrEquivalent(true); }
    int bSetValueNULL();
    int bNull();
    int bNullOrEquivalent();
    int bNullOrEquivalent(const CAny* pclValue);
    int bNullOrEquivalent(const CNAVariant* pclValue);
    // A memo through _bSetValueMemoToDB, any other column straight into its
    // value (the row buffer left as it is).
    int bSetValueToDB(const CAny* pclValue, unsigned nFlags);
    int _bSetValueMemoToDB(const CAny* pclValue, unsigned nFlags);
    int _bShareCurrentRecordMemoValue(CNARecord* pclRecord);
    int bConvertDataToDB();
    void SetNotModified();
    // The value unread and NULL, the item marked defined in the current row.
    void SetValueIsUnreadYet();
    void _SetItemValueDefinedInQFRecord(int bDefined, unsigned nFlags);
    // The composite key's value: each component's current value at the
    // width its item counted in the key (its logical size, doubled for a
    // Unicode item), copied within the block and zero-padded; with a row,
    // each component's value in that row instead. 0 when a component has no
    // column or its read fails.
    int _bGetComposedKeyValue(unsigned char* pbyBlock, size_t nSize, const CNARecordValue* pclRow = nullptr);
    int _bGetComposedKeyValue(CAny* pclValue, const CNARecordValue* pclRow = nullptr);
    // The column's value in a row of its record's layout (the original row,
    // a cached row): a memo's by its memo index, a composite key's made from
    // the row's component values (the row buffer has no slot for it), any
    // other read from the row's buffer. 0 without row, or when a composite
    // key's value cannot be made.
    int bGetRowValue(CAny* pclValue, const CNARecordValue* pclRow);
    // The width of a component in the composite key's value.
    static size_t s_nComponentWidth(const INAItemDescription* piComponent);

protected:
    // Whether a value of this column may be taken for NULL: the rule of the
    // dates (and, on this server kind, of the texts: pbTexty tells which),
    // and the rule of the binaries.
    bool _bDateOrTextRule(bool* pbTexty);
    bool _bBinaryRule();
    // The same rules for given item types (t the item's, d the database's)
    // and database kind.
    static bool s_bDateOrTextRule(int t, int d, int nKind, bool* pbTexty);
    static bool s_bBinaryRule(int t, int d, int nKind);
    // The NULL-or-equivalent test of a defined value, answered from its slot
    // where the value the test would read shows in the slot's first bytes
    // (texts, dates, date-times) or cannot be NULL (no rule applies and the
    // value is no decimal, the only slot that may read as NULL): the same
    // answer as reading the value. -1 where the value must be read.
    int _nNullOrEquivalentInSlot(const unsigned char* pbySlot, uint32_t nWidth);
    // bNullOrEquivalent() told whether the column is plain (neither memo nor
    // composite key), which its callers often know already.
    int _bNullOrEquivalent(bool bPlain);
    // The current row's and the original row's buffers of the record; null
    // without record.
    CNAQFRecord* _pclCurrentBuffer() const;
    CNAQFRecord* _pclOriginalBuffer() const;
    // The item's null flag in a buffer; 0 without buffer.
    int _bDefinedIn(const CNAQFRecord* pclBuffer, unsigned nFlags) const;
    // A value read from a buffer: NULL of the item's runtime type when the
    // item is undefined there.
    int _bReadFrom(const CNAQFRecord* pclBuffer, CAny* pclValue, unsigned nFlags) const;
    // The record's column of the item's component n (1 to the count), or
    // null.
    CNAColumn* _pclComponentColumn(int n) const;
    // A NULL runtime value of the item's runtime type.
    void _NullValue(CAny* pclValue) const;

    INAItemDescription* m_piItem;
    CNAItemDescription* m_pclImported = nullptr;
    CNAError* m_pclError;
    CTString m_csFormatedName;
    CNARecord* m_pclRecord = nullptr;
    CColumnArray* m_pclComponents = nullptr;
    CTString m_csAliasNomTable;
    CTString m_csFormatedAliasNomTable;
    CTString m_csFormatedOriginalName;
    CTString m_csSelectName;
    CNAConvertVariant* m_pclValue = nullptr;
    int32_t m_bModified = 0;
    CTString m_csMemoFile;
};

// Reference hooks of the counted containers: CInterf's.
inline void REF_AddRef(CNAColumn* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNAColumn* p)
{
    p->nRelease();
}
