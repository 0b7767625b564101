#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "common/text/ref_array.h"
#include "native/model/item_description.h"
#include "native/model/na_data_source_description.h"

class CSQLParserInfo;
class IInfoRubrique;

// The description of a table or of a query's result: its names, its items
// in record order, the items that are keys and the memo items, the record
// sizes and each item's offset in the record buffer, and the item browsing
// follows by default. The host reads it through INADataSourceDescription;
// the driver makes new ones through its slot 46 (the database driver's own
// subclass fills the four schema operations, slots 47-50).
//
// Built by hand (bAddItem, _AddItem, keys and components), from the
// database (bInitDataSourceDescriptionFromDB), from a statement's result
// columns (bInitDataSourceDescriptionFromStatement) or by cloning; every
// builder ends with UpdateRecordSize, which fixes the offsets and sizes the
// record buffers are laid out from. Composite keys count in the memory size
// but not in the disk size, yet advance the offsets of the items after them:
// builders add them last.
//
// Three counted lists hold one external reference on each member (a key or
// memo item is in the items list too); the best parse item holds one more.
// Two plain counts as for item descriptions: the description deletes itself
// when a release leaves both at 0. It holds a reference on its connection
// and on its error object, where its errors go.
class CNADataSourceDescription : public INADataSourceDescription
{
public:
    using CItemList = CNARefArray<CNAItemDescription>;

    // How the description was built.
    enum eKIND : int32_t
    {
        KIND_BY_HAND = 0,
        KIND_FROM_DATABASE = 1,
        KIND_FROM_QUERY = 2,
    };

    CNADataSourceDescription(CNAConnectionDescription* pclConnection, CNAError* pclError);
    CNADataSourceDescription(const CNADataSourceDescription&) = delete;
    CNADataSourceDescription& operator=(const CNADataSourceDescription&) = delete;

    // INADataSourceDescription, slots 0-39.
    int nGetVersion() const override { return 6; }
    int nGetCompatSince() const override { return 1; }
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override;
    unsigned nExternalRelease() override;
    const wchar_t* pszGetLogicalName() const override { return m_csName.pszGet(); }
    const wchar_t* pszGetPhysicalName() const override { return m_csName.pszGet(); }
    const wchar_t* pszGetDefaultDirectory() const override { return L""; }
    unsigned nGetDiskRecordSize() const override { return m_nDiskRecordSize; }
    unsigned nGetMemoryRecordSize() const override { return m_nMemoryRecordSize; }
    unsigned nGetNumItems() const override { return static_cast<unsigned>(m_tabItems.nGetNbElement()); }
    unsigned nGetNumKeys() const override { return static_cast<unsigned>(m_tabKeys.nGetNbElement()); }
    unsigned nGetNumMemos() const override { return static_cast<unsigned>(m_tabMemos.nGetNbElement()); }
    unsigned nGetNumItemPhysicallyInFic() const override { return nGetNumItems(); }
    // By name: pclNAGetItem(name, 2). By position, counted from 0: null
    // outside the list. Each with an external reference for the caller.
    INAItemDescription* piNAGetItem(const wchar_t* pszName) override;
    INAItemDescription* piNAGetItem(unsigned nItem) override { return _piGetAt(m_tabItems, nItem); }
    INAItemDescription* piNAGetKey(unsigned nKey) override { return _piGetAt(m_tabKeys, nKey); }
    INAItemDescription* piNAGetMemo(unsigned nMemo) override { return _piGetAt(m_tabMemos, nMemo); }
    int eGetNASubDataType() const override { return 1; }
    const wchar_t* pszGetDBTableName() const override { return m_csDBTableName.pszGet(); }
    // With an external reference for the caller; null without items.
    INAItemDescription* piGetBestParseItemDesc() override;
    const wchar_t* pszGetExtendedInfo() const override { return m_csExtendedInfo.pszGet(); }
    const wchar_t* pszGetType() const override { return m_csType.pszGet(); }
    const wchar_t* pszGetOwner() const override { return m_csOwner.pszGet(); }
    // The connection's default database; an empty text without one.
    const wchar_t* pszGetDefaultDatabase() const override;
    const wchar_t* pszGetExtension() const override { return nullptr; }
    const wchar_t* pszGetCaption() const override { return nullptr; }
    int bGetNullSupported() const override { return 1; }
    void EmptySlot137() override {}
    void EmptySlot138() override {}
    void EmptySlot139() override {}
    void EmptySlot140() override {}
    void EmptySlot141() override {}
    void EmptySlot142() override {}
    void EmptySlot143() override {}
    void EmptySlot144() override {}
    void EmptySlot145() override {}
    void EmptySlot146() override {}

    // Slots 40-41: the lists released (each from its last member), the
    // connection given back, the error object released.
    virtual ~CNADataSourceDescription();
    // The first item whose name equals pszName without regard to case or
    // accents; with option bit 0 trailing blanks of both names are ignored.
    // An external reference for the caller.
    virtual CNAItemDescription* pclNAGetItem(const wchar_t* pszName, int nOptions);                  // 42
    // Every item of the other description that is not a composite key has
    // an item of the same name here; else user error 20 and 0.
    virtual int bAreDescriptionCompatible(INADataSourceDescription* piOther);                       // 43
    // The name followed by n in decimal.
    virtual void MakeNewName(CTString* pcsOut, const wchar_t* pszName, int n);                      // 44
    // A copy from the driver's allocator for the same connection and error
    // object, without a reference; null when none can be made.
    virtual CNADataSourceDescription* pclGetCloneDataSourceDescription(
        CNAItemDescription::eCLONEDESC eOptions);                                                   // 45
    // Items, then keys, from the database; UpdateRecordSize last.
    virtual int _bGetDataSourceInfo(int nContext);                                                  // 46
    // The schema operations of the database: the SQL that lists the
    // table's columns, the items added from its result, the same for its
    // indexes. 0 here.
    virtual int _bGetQueryShowColumns(CXYStringConcat<wchar_t>* pclQuery);                         // 47
    virtual int _bInitItemFromQueryShowColumns(CNAStatementSQL* pclStatement);                      // 48
    virtual int _bGetQueryShowIndex(CXYStringConcat<wchar_t>* pclQuery);                           // 49
    virtual int _bInitKeysFromQueryShowIndex(CNAStatementSQL* pclStatement);                        // 50

    // Counting. A release at 0 does nothing and answers 0.
    void AddRef() { ++m_dwRefCount; }
    unsigned nRelease();
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount; }

    // Look-ups.
    using INADataSourceDescription::piNAGetKey;
    // The first key of that name, trailing blanks of both names ignored.
    INAItemDescription* piNAGetKey(const wchar_t* pszName);
    CNAItemDescription* pclNAGetItemNoRef(const wchar_t* pszName, int nOptions) const;
    CNAItemDescription* pclNAGetItemByPhysicalIndiceDB(unsigned nIndex) const;
    // pclNAGetItem(name, 2); when there is none, user error 26 and null.
    CNAItemDescription* pclNAGetCorrespondingItem(const wchar_t* pszName);
    CNAItemDescription* pclGetItemNoRef(unsigned n) const { return _pclGetAt(m_tabItems, n); }
    CNAItemDescription* pclGetKeyNoRef(unsigned n) const { return _pclGetAt(m_tabKeys, n); }
    CNAItemDescription* pclGetMemoNoRef(unsigned n) const { return _pclGetAt(m_tabMemos, n); }
    // The host engine's type to item type: 15 (MEMOTEXTE) above 41.
    static eNA_ITEMTYPE g_eGetNAItemType(eQFTYPES eQFType);

    // Building.
    // A new item from the driver's allocator, initialised and added; a
    // physical index of -1 becomes the number of items. 0 (no memory) when
    // none can be made.
    int bAddItem(const wchar_t* pszName, const wchar_t* pszSourceName, const wchar_t* pszNameInSource,
                 unsigned nDimension, unsigned nSize, eNA_ITEMTYPE eType, unsigned nPhysicalIndice,
                 int nKeyIndice, unsigned short wKeyFlags, int nIntegerDigits, int nDecimalDigits);
    // Adds the item with the list's own reference: a missing name is
    // generated, a taken one gets the suffix 2, 3 ...; physical index -1
    // appends, 0 while items exist inserts first and renumbers the others.
    // Keys and memos join their lists. 0 when memory runs out.
    int _AddItem(CNAItemDescription* pclItem);
    int _AddKey(CNAItemDescription* pclItem);
    int _bSetKeyType(CNAItemDescription* pclItem, unsigned short wKeyFlags);
    int _bSetKeyType(unsigned nItem, unsigned short wKeyFlags);
    int _bSetKeyType(const wchar_t* pszItem, unsigned short wKeyFlags);
    int _bAddItemComponent(CNAItemDescription* pclKey, unsigned nItem);
    int _bAddItemComponent(CNAItemDescription* pclKey, const wchar_t* pszItem);
    void UpdateRecordSize();
    void SetLogicalName(const wchar_t* psz) { m_csName.Set(psz); }
    void SetDBName(const wchar_t* psz) { m_csDBTableName.Set(psz); }
    void _SetBestParseItem(CNAItemDescription* pclItem);
    void _SetBestParseItem(const wchar_t* pszName);
    int bInitDataSourceDescriptionFromDB(const wchar_t* pszName, int nContext);
    int bInitDataSourceDescriptionFromStatement(CNAStatementSQL* pclStatement);
    // Completes the description (made from a statement's columns, or
    // empty) from the host's parse of the query: each output item completes
    // the item at its position or adds one; keys stay unique only over a
    // single table; the ORDER BY gives the best parse item and the items'
    // directions. 0 when an item cannot be added.
    int bCompleteDescription(CSQLParserInfo* pclQuery);

    eKIND eGetKind() const { return m_eKind; }
    unsigned nGetSubItemCount() const { return m_nSubItemCount; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }

protected:
    // One item per result column of the statement.
    int _bInitItems(CNAStatementSQL* pclStatement);
    int _bImportItems(int nContext);
    int _bImportIndex(int nContext);
    // The query one of the schema operations writes, run on the
    // connection; a result statement is handed to the reader, then
    // released. The reader is not called without a result.
    int _bRunSchemaQuery(int (CNADataSourceDescription::*pfnQuery)(CXYStringConcat<wchar_t>*),
                         int (CNADataSourceDescription::*pfnRead)(CNAStatementSQL*));
    // The best parse item, chosen without a reference.
    CNAItemDescription* _pclChooseBestParseItem() const;
    // Adds an item to the items or the keys by its index there (physical
    // or key index, which pfnNumber sets): -1 appends it under the next
    // index, 0 among existing members puts it first and renumbers the
    // others, any other index appends it. The list takes its reference.
    int _bAddInOrder(CItemList& list, CNAItemDescription* pclItem, int nIndex,
                     void (*pfnNumber)(CNAItemDescription*, int));

    CNAError* m_pclError;
    uint32_t m_dwRefCount = 0;
    uint32_t m_dwExternalRefCount = 0;
    CNAConnectionDescription* m_pclConnection;
    CTString m_csName;
    CTString m_csDBTableName;
    CTString m_csExtendedInfo;
    CTString m_csType;
    CTString m_csOwner;
    uint32_t m_nDiskRecordSize = 0;
    uint32_t m_nMemoryRecordSize = 0;
    uint32_t m_nSubItemCount = 0;
    CItemList m_tabItems{20};
    CItemList m_tabKeys{10};
    CItemList m_tabMemos{10};
    CNAItemDescription* m_pclBestParseItem = nullptr;
    eKIND m_eKind = KIND_BY_HAND;

private:
    static CNAItemDescription* _pclGetAt(const CItemList& list, unsigned n)
    {
        return n < static_cast<unsigned>(list.nGetNbElement()) ? list[static_cast<int>(n)] : nullptr;
    }
    static INAItemDescription* _piGetAt(const CItemList& list, unsigned n);
    // One output item of a parsed query into the item at position n.
    int _bCompleteFromQueryItem(CSQLParserInfo* pclQuery, IInfoRubrique* piInfo, unsigned n, int bUnique);
    // Takes the item out of a list and releases the list's reference;
    // renumbering the keys behind it when the list is the keys.
    void _RemoveFromList(CItemList& list, CNAItemDescription* pclItem, bool bRenumberKeys);
    // Gives the connection back to the driver (nReleaseConnection).
    void _ReleaseConnection();
};
