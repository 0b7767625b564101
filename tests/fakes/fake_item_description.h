#pragma once

// An item description as a host hands one in, for tests of what the driver
// reads of it and whether it lets go of what it takes: its name, item type,
// item size and database type are set by the test, every other slot answers
// 0 or null, and its references are only counted (nRefBalance), so that it
// lives on the test's stack and shows a leaked or extra release.
#include "native/model/na_item_description.h"

class CFakeItemDescription : public INAItemDescription
{
public:
    explicit CFakeItemDescription(int eItemType = 2, const wchar_t* pszName = L"ITEM")
        : m_eItemType(eItemType), m_pszName(pszName)
    {
    }
    CFakeItemDescription(const CFakeItemDescription&) = delete;
    CFakeItemDescription& operator=(const CFakeItemDescription&) = delete;
    ~CFakeItemDescription() = default;

    void SetItemType(int eItemType) { m_eItemType = eItemType; }
    void SetItemSize(int nSize) { m_nItemSize = nSize; }
    // Null: no type.
    void SetDBType(const wchar_t* pszDBType) { m_pszDBType = pszDBType; }
    // Null: no name in the source.
    void SetNameInSource(const wchar_t* pszName) { m_pszNameInSource = pszName; }
    int nRefBalance() const { return m_nRefBalance; }

    int nGetVersion() const override { return 9; }
    int nGetCompatSince() const override { return 1; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override { ++m_nRefBalance; }
    unsigned nExternalRelease() override { return static_cast<unsigned>(--m_nRefBalance); }
    const wchar_t* pszGetName() const override { return m_pszName; }
    int nGetDimension() const override { return 1; }
    int nGetItemSize() const override { return m_nItemSize; }
    int nGetLogicalSize(int) const override { return 0; }
    int nGetTotalSize() const override { return 0; }
    eNA_ITEMTYPE eNAGetItemType() const override { return static_cast<eNA_ITEMTYPE>(m_eItemType); }
    int nGetPhysicalIndice() const override { return 0; }
    int bIsKey() const override { return 0; }
    int bMemo() const override { return 0; }
    int bMemoText() const override { return 0; }
    int bMemoBinary() const override { return 0; }
    int bNumerical() const override { return 0; }
    int bLiteral() const override { return 0; }
    int nGetKeyIndice() const override { return 0; }
    int nGetNumComponents() const override { return 0; }
    int bPrimary() const override { return 0; }
    int bUnique() const override { return 0; }
    int bDuplicates() const override { return 0; }
    int bIsComposedKey() const override { return 0; }
    int bGetAscendant(int) const override { return 0; }
    int bGetDescendant(int) const override { return 0; }
    int bGetIgnoreCase(int) const override { return 0; }
    int bGetIgnorePunctuation(int) const override { return 0; }
    int bGetIgnoreAccent(int) const override { return 0; }
    INAItemDescription* piGetItemComponent(int) override { return nullptr; }
    int nGetOffset(int) const override { return 0; }
    int nGetSubItemRecordIndice(int) const override { return 0; }
    CAny* pclGetDefaultValue(int) const override { return nullptr; }
    const wchar_t* pszGetExtendedInfo() const override { return nullptr; }
    const wchar_t* pszGetCaption() const override { return nullptr; }
    const wchar_t* pszGetDBType() const override { return m_pszDBType; }
    const wchar_t* pszGetXBaseIndexPath() const override { return nullptr; }
    const wchar_t* pszGetXBaseKeyExpression() const override { return nullptr; }
    int nGetIntegerPart() const override { return 0; }
    int nGetDecimalPart() const override { return 0; }
    const wchar_t* pszGetNameInSource() const override { return m_pszNameInSource; }
    const wchar_t* pszGetSourceName() const override { return nullptr; }
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
    int vbConstraintNullAllowed() const override { return 1; }

private:
    int m_eItemType;
    const wchar_t* m_pszName;
    int m_nItemSize = 0;
    const wchar_t* m_pszDBType = nullptr;
    const wchar_t* m_pszNameInSource = nullptr;
    int m_nRefBalance = 0;
};

// The fake itself, for containers that destroy what they hold by its type:
// the host's interface has no virtual destructor, so only a final class may
// be destroyed that way.
class CPlainFakeItemDescription final : public CFakeItemDescription
{
public:
    using CFakeItemDescription::CFakeItemDescription;
};
