#pragma once

#include <cstdint>

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "common/text/tableau.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"

// One item (column) of a table or query, or one key: its names, type and
// size, its slot in the record buffer (offset and physical index, assigned by
// the data-source description that lists it), its key flags and sort
// options, its default value and its names in the database. The host reads it
// through INAItemDescription; the driver makes new ones through its slot 57
// (pclAllocItemDescription).
//
// Two plain counts, changed under the driver-wide lock: the internal one
// (AddRef, nRelease) for the driver's own holders (components, columns), the
// external one (ExternalAddRef, nExternalRelease) for the host and for the
// counted arrays of descriptions (the data-source description's lists, see
// REF_AddRef below). The description deletes itself when a release leaves
// both at 0. It holds one internal reference on each of its components.
//
// The key index is 0 after construction: a builder that adds an item which
// is not a key passes -1, or a later key type would take it for a key
// already listed.

// Key flags (16-bit).
constexpr uint16_t NA_KEY_PRIMARY = 0x8000;
constexpr uint16_t NA_KEY_UNIQUE = 0x4000;
constexpr uint16_t NA_KEY_DUPLICATES = 0x2000;
constexpr uint16_t NA_KEY_COMPOSED = 0x1000;
constexpr uint16_t NA_KEY_ASCENDING = 0x0800;
constexpr uint16_t NA_KEY_DESCENDING = 0x0400;
constexpr uint16_t NA_KEY_IGNORE_CASE = 0x0080;
constexpr uint16_t NA_KEY_IGNORE_PUNCTUATION = 0x0040;
constexpr uint16_t NA_KEY_IGNORE_ACCENT = 0x0020;
constexpr uint16_t NA_KEY_ANY = NA_KEY_PRIMARY | NA_KEY_UNIQUE | NA_KEY_DUPLICATES | NA_KEY_COMPOSED;

// Option flags (32-bit).
constexpr uint32_t NA_OPT_AUTO_INCREMENT = 0x01;
constexpr uint32_t NA_OPT_NOT_NULL = 0x02;
constexpr uint32_t NA_OPT_NOT_UPDATABLE = 0x04;
constexpr uint32_t NA_OPT_SPACE_PADDING = 0x08;
constexpr uint32_t NA_OPT_VARIABLE_SCALE = 0x10;

class CNAItemDescription : public INAItemDescription
{
public:
    // Options of a clone: 1 makes every item without key flags (memo texts
    // excepted) a key with duplicates, ascending; 2 makes DATE8 and DATETIME
    // items 8-bit texts of the same size.
    enum eCLONEDESC : int32_t
    {
        CLONE_PLAIN = 0,
        CLONE_ALL_KEYS = 1,
        CLONE_DATES_AS_TEXT = 2,
    };
    // Sort direction: 0 ascending, any other value descending.
    enum eSENSTRI : int32_t
    {
        SENSTRI_ASCENDANT = 0,
        SENSTRI_DESCENDANT = 1,
    };

    CNAItemDescription();
    CNAItemDescription(const CNAItemDescription&) = delete;
    CNAItemDescription& operator=(const CNAItemDescription&) = delete;

    // INAItemDescription, slots 0-54.
    int nGetVersion() const override { return 9; }
    int nGetCompatSince() const override { return 1; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override;
    unsigned nExternalRelease() override;
    const wchar_t* pszGetName() const override { return m_csName.pszGet(); }
    int nGetDimension() const override { return static_cast<int>(m_nDimension); }
    int nGetItemSize() const override { return static_cast<int>(m_nItemSize); }
    // The size the user sees, in characters or bytes: one element, or the
    // whole item for -1. Never negative.
    int nGetLogicalSize(int nElement) const override;
    int nGetTotalSize() const override { return static_cast<int>(m_nDimension * m_nItemSize); }
    eNA_ITEMTYPE eNAGetItemType() const override { return m_eItemType; }
    int nGetPhysicalIndice() const override { return static_cast<int>(m_nPhysicalIndice); }
    int bIsKey() const override { return (m_wKeyFlags & NA_KEY_ANY) != 0; }
    int bMemo() const override { return g_bIsMemo(m_eItemType); }
    int bMemoText() const override { return g_bIsMemoText(m_eItemType); }
    int bMemoBinary() const override { return g_bIsMemoBinary(m_eItemType); }
    int bNumerical() const override;
    int bLiteral() const override { return m_eItemType == NA_IT_TEXTE; }
    int nGetKeyIndice() const override { return m_nKeyIndice; }
    int nGetNumComponents() const override { return m_tabComponents.nGetNbElement(); }
    int bPrimary() const override { return (m_wKeyFlags & NA_KEY_PRIMARY) != 0; }
    int bUnique() const override { return (m_wKeyFlags & (NA_KEY_UNIQUE | NA_KEY_PRIMARY)) != 0; }
    int bDuplicates() const override { return (m_wKeyFlags & NA_KEY_DUPLICATES) != 0; }
    int bIsComposedKey() const override { return (m_wKeyFlags & NA_KEY_COMPOSED) != 0; }
    int bGetAscendant(int) const override { return bIsKey() && !(m_wKeyFlags & NA_KEY_DESCENDING); }
    int bGetDescendant(int) const override { return (m_wKeyFlags & NA_KEY_DESCENDING) != 0; }
    int bGetIgnoreCase(int) const override { return (m_wKeyFlags & NA_KEY_IGNORE_CASE) != 0; }
    int bGetIgnorePunctuation(int) const override { return (m_wKeyFlags & NA_KEY_IGNORE_PUNCTUATION) != 0; }
    int bGetIgnoreAccent(int) const override { return (m_wKeyFlags & NA_KEY_IGNORE_ACCENT) != 0; }
    // Component n counted from 1, with an external reference for the
    // caller; null outside 1 to the number of components.
    INAItemDescription* piGetItemComponent(int nComponent) override;
    int nGetOffset(int nElement) const override
    {
        return static_cast<int>(m_nOffset + m_nItemSize * static_cast<uint32_t>(nElement));
    }
    int nGetSubItemRecordIndice(int nElement) const override
    {
        return static_cast<int>(m_nSubItemRecordIndice + static_cast<uint32_t>(nElement));
    }
    // The one default value, whatever the element.
    CAny* pclGetDefaultValue(int) const override { return const_cast<CAny*>(&m_clDefaultValue); }
    const wchar_t* pszGetExtendedInfo() const override { return m_csExtendedInfo.pszGet(); }
    const wchar_t* pszGetCaption() const override { return m_csCaption.pszGet(); }
    const wchar_t* pszGetDBType() const override { return m_csDBType.pszGet(); }
    const wchar_t* pszGetXBaseIndexPath() const override { return nullptr; }
    const wchar_t* pszGetXBaseKeyExpression() const override { return nullptr; }
    int nGetIntegerPart() const override { return m_nIntegerPart; }
    int nGetDecimalPart() const override { return m_nDecimalPart; }
    const wchar_t* pszGetNameInSource() const override { return m_csNameInSource.pszGet(); }
    const wchar_t* pszGetSourceName() const override { return m_csSourceName.pszGet(); }
    int nGetKeySize() const override { return 0; }
    void SetKeySize(int) override {}
    int nGetComponentKeySize() const override { return 0; }
    void SetComponentKeySize(int) override {}
    int bUpdatable() const override { return !(m_dwOptions & NA_OPT_NOT_UPDATABLE); }
    void SetUpdatable(int bUpdatable) override { _SetOption(NA_OPT_NOT_UPDATABLE, !bUpdatable); }
    void* piGetPrimaryLink() const override { return nullptr; }
    void* piGetForeignLink(int) const override { return nullptr; }
    int nGetNumForeignLink() const override { return 0; }
    const wchar_t* pszGetUnicodeLocale() const override { return nullptr; }
    int vbConstraintNullAllowed() const override { return !(m_dwOptions & NA_OPT_NOT_NULL); }

    // Slots 55-56: one internal reference of each component dropped.
    virtual ~CNAItemDescription();
    virtual void SetIntegerPart(int n) { m_nIntegerPart = n; }                                   // 57
    virtual void SetDecimalPart(int n) { m_nDecimalPart = n; }                                   // 58
    // A copy from the driver's allocator for the target description (null
    // when none can be made), without a reference.
    virtual CNAItemDescription* pclGetCloneItemDescription(CNADataSourceDescription* pclTarget,
                                                           eCLONEDESC eOptions);                 // 59

    // Counting.
    void AddRef() { ++m_dwRefCount; }
    unsigned nRelease();
    unsigned nGetRef() const { return m_dwRefCount; }
    unsigned nGetExternalRef() const { return m_dwExternalRefCount; }

    // Building. Both return 1.
    int bInit(const wchar_t* pszName, const wchar_t* pszSourceName, const wchar_t* pszNameInSource,
              unsigned nDimension, unsigned nSize, eNA_ITEMTYPE eType, unsigned nPhysicalIndice, int nKeyIndice,
              unsigned short wKeyFlags, int nIntegerDigits, int nDecimalDigits);
    int bSetName(const wchar_t* pszName);
    int bSetKey(int nKeyIndice, unsigned short wKeyFlags);
    int bSetKeyIndice(int nKeyIndice);
    void SetKeyFlags(unsigned short wKeyFlags) { m_wKeyFlags = wKeyFlags; }
    void SetSensTri(eSENSTRI eSens);
    void SetIgnoreCase(int bIgnore);
    // 0 sets the flag NULL not allowed.
    void SetNullable(int bNullable) { _SetOption(NA_OPT_NOT_NULL, !bNullable); }
    void SetNotUpdatable() { SetUpdatable(0); }
    void SetSpacePadding() { m_dwOptions |= NA_OPT_SPACE_PADDING; }
    void SetVariableScale() { m_dwOptions |= NA_OPT_VARIABLE_SCALE; }
    // The auto-increment option; I8 and UI8 become IDAUTO, I4 and UI4
    // IDAUTO4.
    void SetAutoIncrement();
    // A copy of the value (unless it is the default itself), cast to the
    // item's runtime type; the cast's result is ignored.
    void SetDefaultValue(const CAny* pclValue, int nElement);
    // The type, and the default value retyped.
    int bChangeTypeMemo(eNA_ITEMTYPE eType);
    void SetPhysicalIndice(unsigned n) { m_nPhysicalIndice = n; }
    void SetPhysicalIndiceDB(int n) { m_nPhysicalIndiceDB = n; }
    void SetOffset(unsigned n) { m_nOffset = n; }
    void SetSubItemRecordIndice(unsigned n) { m_nSubItemRecordIndice = n; }
    void SetDBType(const wchar_t* pszText, int nCode)
    {
        m_csDBType.Set(pszText);
        m_eDBType = nCode;
    }
    void SetExtendedInfo(const wchar_t* psz) { m_csExtendedInfo.Set(psz); }
    void SetCaption(const wchar_t* psz) { m_csCaption.Set(psz); }
    void SetSourceName(const wchar_t* psz) { m_csSourceName.Set(psz); }
    void SetNameInSource(const wchar_t* psz) { m_csNameInSource.Set(psz); }
    void SetDBTableName(const wchar_t* psz) { m_csDBTableName.Set(psz); }
    void SetCalculValue(unsigned dw) { m_dwCalculValue = dw; }

    // Type changes and completion from another description; all return 1.
    int bChangeType(INAItemDescription* piOther, int bKeepAutoIncrement);
    int bChangeType(CNAItemDescription* pclOther, int bKeepAutoIncrement);
    int bCompleteDescription(INAItemDescription* piOther, int bUnique, unsigned nKeyIndice);
    int bCompleteDescriptionCalcul(IInfoRubrique* piInfo);
    // Whether a value of the other item can be stored in this one.
    int bTypeMatch(const INAItemDescription* piOther, int bAnsi, int bLenientDates) const;

    // Appends a component with an internal reference; a composite key grows
    // by the component's logical size (twice that for an UNICODE one).
    int bAddComponent(CNAItemDescription* pclComponent);
    CNAItemDescription* pclGetComponentNoRef(int nIndex) const
    {
        return nIndex >= 0 && nIndex < m_tabComponents.nGetNbElement() ? m_tabComponents[nIndex] : nullptr;
    }

    // Readers of the driver's own.
    int nGetPrecision() const { return m_nIntegerPart + m_nDecimalPart; }
    int nGetScale() const { return m_nDecimalPart; }
    unsigned short eGetItemZLType() const { return ConverteItemToZLType(m_eItemType); }
    // 0 when the database type code is 0 or the connection reports it
    // unknown to its database; else the item type.
    int eNAGetDBType(CNAConnectionDescription* pclConnection) const;
    int eNAGetDBTypeCode() const { return m_eDBType; }
    int nGetPhysicalIndiceDB() const { return m_nPhysicalIndiceDB; }
    unsigned short wGetKeyFlags() const { return m_wKeyFlags; }
    uint32_t dwGetOptions() const { return m_dwOptions; }
    int bAutoIncrement() const { return (m_dwOptions & NA_OPT_AUTO_INCREMENT) != 0; }
    int bSpacePadding() const { return (m_dwOptions & NA_OPT_SPACE_PADDING) != 0; }
    int bGetVariableScale() const { return (m_dwOptions & NA_OPT_VARIABLE_SCALE) != 0; }
    const wchar_t* pszGetDBTableName() const { return m_csDBTableName.pszGet(); }
    unsigned dwGetCalculValue() const { return m_dwCalculValue; }

    // The type rules of the host engine's layout, offered to builders.
    static int g_bIsMemo(eNA_ITEMTYPE eType);
    static int g_bIsMemoText(eNA_ITEMTYPE eType);
    static int g_bIsMemoBinary(eNA_ITEMTYPE eType);
    // The engine's slot width of a type of that declared size and digit
    // count; 0 for types above 31 and for a decimal digit count outside
    // 0-38.
    static uint64_t s_nGetQFSize(eNA_ITEMTYPE eType, uint64_t nSize, int nDigits);
    // UNICODE becomes TEXTE of half the size, MEMOUNICODE MEMOTEXTE.
    static void s_Type2Ansi(eNA_ITEMTYPE* peType, uint32_t* pnSize);
    // The item type and size of a number of that many integer and decimal
    // digits.
    static void s_GetTypeFromFormat(int nIntegerDigits, int nDecimalDigits, eNA_ITEMTYPE* peType, uint32_t* pnSize);
    // The digit and decimal counts of an integral runtime type; 0 for any
    // other type.
    static int s_bGetDecimalInfo(unsigned short nZLType, int* pnDigits, int* pnDecimals);
    // Whether item is one of key's components.
    static int bIsComponentOf(INAItemDescription* piKey, INAItemDescription* piItem);

private:
    void _SetOption(uint32_t dwOption, bool bOn) { m_dwOptions = bOn ? (m_dwOptions | dwOption) : (m_dwOptions & ~dwOption); }
    // The default value cast to the item's runtime type, reset to an empty
    // value of that type when the cast fails.
    void _UpdateDefaultValueType();
    void _CopyTypeFrom(INAItemDescription* piOther, int bKeepAutoIncrement);

    CTString m_csName;
    CTString m_csExtendedInfo;
    CTString m_csCaption;
    CTString m_csDBType;
    int32_t m_eDBType = 0;
    uint32_t m_nDimension = 0;
    uint32_t m_nItemSize = 0;
    int32_t m_nKeyIndice = 0;
    eNA_ITEMTYPE m_eItemType = NA_IT_EMPTY;
    uint32_t m_nPhysicalIndice = 0;
    int32_t m_nPhysicalIndiceDB = -1;
    uint16_t m_wKeyFlags = 0;
    uint32_t m_dwRefCount = 0;
    uint32_t m_dwExternalRefCount = 0;
    uint32_t m_nOffset = UINT32_MAX;
    uint32_t m_nSubItemRecordIndice = UINT32_MAX;
    CAny m_clDefaultValue;
    int32_t m_nIntegerPart = 0;
    int32_t m_nDecimalPart = 0;
    CTString m_csSourceName;
    CTString m_csNameInSource;
    CTString m_csDBTableName;
    uint32_t m_dwCalculValue = 0;
    uint32_t m_dwOptions = 0;
    CTTableauPtr<CNAItemDescription> m_tabComponents{1};
};

// The counted arrays of descriptions hold external references.
inline void REF_AddRef(CNAItemDescription* p)
{
    p->ExternalAddRef();
}
inline void REF_Release(CNAItemDescription* p)
{
    p->nExternalRelease();
}
