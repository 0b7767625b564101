#pragma once

// A table's description written by the host, stood in for: the host hands
// the driver descriptions of its own (a table opened from its analysis), and
// the record buffer, and later the current record, are laid out from them.
// It is built from a table of rows, one per item, and laid out the way the
// host's engine does it: items in row order, physical index = position,
// each item's offset the sum of the total sizes before it, the record size
// their sum. Every field can be changed afterwards, so that a test can hand
// the driver descriptions that do not agree with themselves.
//
// The host owns these objects; the driver only takes and drops references,
// which each object counts (StandinHostObject): a description's and each
// item's balance is 0 when the driver gave back all it took.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "native/model/item_type.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "tests/host/db/standin_host_object.h"

struct StandinItemRow
{
    const wchar_t* pszName;
    eNA_ITEMTYPE eType;
    // The slot width of one element, in the host engine's rule for the type.
    int nItemSize;
    int nDimension = 1;
    int nIntegerPart = 0;
    int nDecimalPart = 0;
    uint16_t wKeyFlags = 0;
};

class StandinItemDescription final : public StandinHostObject<INAItemDescription>
{
public:
    explicit StandinItemDescription(const StandinItemRow& row);

    std::wstring name;
    eNA_ITEMTYPE eType;
    int nItemSize;
    int nDimension;
    int nIntegerPart;
    int nDecimalPart;
    uint16_t wKeyFlags;
    int nOffset = 0;
    int nPhysicalIndice = 0;
    CAny defaultValue;
    // The NULL constraint the host answers; read by the driver only of a
    // description above version 8 (SetVersion).
    int bNullAllowed = 1;

    const wchar_t* pszGetName() const override { return name.c_str(); }
    int nGetDimension() const override { return nDimension; }
    int nGetItemSize() const override { return nItemSize; }
    int nGetLogicalSize(int) const override { return nItemSize; }
    int nGetTotalSize() const override { return nItemSize * nDimension; }
    eNA_ITEMTYPE eNAGetItemType() const override { return eType; }
    int nGetPhysicalIndice() const override { return nPhysicalIndice; }
    int bIsKey() const override { return (wKeyFlags & 0xF000) != 0; }
    int bMemo() const override { return eType == NA_IT_MEMOTEXTE || eType == NA_IT_MEMOBINAIRE || eType == NA_IT_MEMOUNICODE; }
    int bMemoText() const override { return eType == NA_IT_MEMOTEXTE || eType == NA_IT_MEMOUNICODE; }
    int bMemoBinary() const override { return eType == NA_IT_MEMOBINAIRE; }
    int bNumerical() const override { return 0; }
    int bLiteral() const override { return eType == NA_IT_TEXTE; }
    int nGetKeyIndice() const override { return -1; }
    int nGetNumComponents() const override { return 0; }
    int bPrimary() const override { return (wKeyFlags & 0x8000) != 0; }
    int bUnique() const override { return (wKeyFlags & 0xC000) != 0; }
    int bDuplicates() const override { return (wKeyFlags & 0x2000) != 0; }
    int bIsComposedKey() const override { return (wKeyFlags & 0x1000) != 0; }
    int bGetAscendant(int) const override { return bIsKey() && !(wKeyFlags & 0x0400); }
    int bGetDescendant(int) const override { return (wKeyFlags & 0x0400) != 0; }
    int bGetIgnoreCase(int) const override { return (wKeyFlags & 0x0080) != 0; }
    int bGetIgnorePunctuation(int) const override { return (wKeyFlags & 0x0040) != 0; }
    int bGetIgnoreAccent(int) const override { return (wKeyFlags & 0x0020) != 0; }
    INAItemDescription* piGetItemComponent(int) override { return nullptr; }
    int nGetOffset(int nElement) const override { return nOffset + nItemSize * nElement; }
    int nGetSubItemRecordIndice(int nElement) const override { return nElement; }
    CAny* pclGetDefaultValue(int) const override { return const_cast<CAny*>(&defaultValue); }
    const wchar_t* pszGetExtendedInfo() const override { return L""; }
    const wchar_t* pszGetCaption() const override { return L""; }
    const wchar_t* pszGetDBType() const override { return L""; }
    const wchar_t* pszGetXBaseIndexPath() const override { return nullptr; }
    const wchar_t* pszGetXBaseKeyExpression() const override { return nullptr; }
    int nGetIntegerPart() const override { return nIntegerPart; }
    int nGetDecimalPart() const override { return nDecimalPart; }
    const wchar_t* pszGetNameInSource() const override { return name.c_str(); }
    const wchar_t* pszGetSourceName() const override { return L""; }
    int nGetKeySize() const override { return 0; }
    void SetKeySize(int) override {}
    int nGetComponentKeySize() const override { return 0; }
    void SetComponentKeySize(int) override {}
    int bUpdatable() const override { return 1; }
    void SetUpdatable(int) override {}
    void* piGetPrimaryLink() const override { return nullptr; }
    void* piGetForeignLink(int) const override { return nullptr; }
    int nGetNumForeignLink() const override { return 0; }
    const wchar_t* pszGetUnicodeLocale() const override { return nullptr; }
    int vbConstraintNullAllowed() const override { return bNullAllowed; }
};

class StandinDataSourceDescription final : public StandinHostObject<INADataSourceDescription>
{
public:
    StandinDataSourceDescription(std::initializer_list<StandinItemRow> rows, const wchar_t* pszName = L"HOSTTABLE");
    StandinDataSourceDescription(const std::vector<StandinItemRow>& rows, const wchar_t* pszName = L"HOSTTABLE");

    StandinItemDescription& Item(size_t n) { return *m_items.at(n); }
    size_t nItems() const { return m_items.size(); }
    // Offsets, physical indexes and the record size again from the items'
    // sizes, after a test changed them.
    void Layout();
    // Whether the driver gave back every reference it took, on the
    // description and on each item.
    bool bBalanced() const;

    std::wstring name;
    unsigned nDiskRecordSize = 0;
    unsigned nFlagItems = 0;

    const wchar_t* pszGetLogicalName() const override { return name.c_str(); }
    const wchar_t* pszGetPhysicalName() const override { return name.c_str(); }
    const wchar_t* pszGetDefaultDirectory() const override { return L""; }
    unsigned nGetDiskRecordSize() const override { return nDiskRecordSize; }
    unsigned nGetMemoryRecordSize() const override { return nDiskRecordSize; }
    unsigned nGetNumItems() const override { return static_cast<unsigned>(m_items.size()); }
    unsigned nGetNumKeys() const override { return 0; }
    unsigned nGetNumMemos() const override { return 0; }
    unsigned nGetNumItemPhysicallyInFic() const override { return nFlagItems; }
    INAItemDescription* piNAGetItem(const wchar_t* pszName) override;
    INAItemDescription* piNAGetItem(unsigned nItem) override;
    INAItemDescription* piNAGetKey(unsigned) override { return nullptr; }
    INAItemDescription* piNAGetMemo(unsigned) override { return nullptr; }
    int eGetNASubDataType() const override { return 1; }
    const wchar_t* pszGetDBTableName() const override { return name.c_str(); }
    INAItemDescription* piGetBestParseItemDesc() override { return nullptr; }
    const wchar_t* pszGetExtendedInfo() const override { return L""; }
    const wchar_t* pszGetType() const override { return L""; }
    const wchar_t* pszGetOwner() const override { return L""; }
    const wchar_t* pszGetDefaultDatabase() const override { return L""; }
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

private:
    std::vector<std::unique_ptr<StandinItemDescription>> m_items;
};
