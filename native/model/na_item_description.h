#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// An item (column) of a table or query description as the host reads it: 55
// slots in the host's order, the five version slots first. The host asks
// vbConstraintNullAllowed (slot 54) only of a description whose nGetVersion
// is above 8. The element argument of the key tests is not used.
//
// The getters are const so that the record buffer and the searches can read
// a description they only borrow.
class INAItemDescription : public INAVersion
{
public:
    // Slots 0-4. The framework versions are this interface's own.
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }

    virtual void ExternalAddRef() = 0;                                    // 5
    virtual unsigned nExternalRelease() = 0;                              // 6
    virtual const wchar_t* pszGetName() const = 0;                        // 7
    virtual int nGetDimension() const = 0;                                // 8
    virtual int nGetItemSize() const = 0;                                 // 9
    virtual int nGetLogicalSize(int nElement) const = 0;                  // 10
    virtual int nGetTotalSize() const = 0;                                // 11
    virtual eNA_ITEMTYPE eNAGetItemType() const = 0;                      // 12
    virtual int nGetPhysicalIndice() const = 0;                           // 13
    virtual int bIsKey() const = 0;                                       // 14
    virtual int bMemo() const = 0;                                        // 15
    virtual int bMemoText() const = 0;                                    // 16
    virtual int bMemoBinary() const = 0;                                  // 17
    virtual int bNumerical() const = 0;                                   // 18
    virtual int bLiteral() const = 0;                                     // 19
    virtual int nGetKeyIndice() const = 0;                                // 20
    virtual int nGetNumComponents() const = 0;                            // 21
    virtual int bPrimary() const = 0;                                     // 22
    virtual int bUnique() const = 0;                                      // 23
    virtual int bDuplicates() const = 0;                                  // 24
    virtual int bIsComposedKey() const = 0;                               // 25
    virtual int bGetAscendant(int nElement) const = 0;                    // 26
    virtual int bGetDescendant(int nElement) const = 0;                   // 27
    virtual int bGetIgnoreCase(int nElement) const = 0;                   // 28
    virtual int bGetIgnorePunctuation(int nElement) const = 0;            // 29
    virtual int bGetIgnoreAccent(int nElement) const = 0;                 // 30
    virtual INAItemDescription* piGetItemComponent(int nComponent) = 0;   // 31
    virtual int nGetOffset(int nElement) const = 0;                       // 32
    virtual int nGetSubItemRecordIndice(int nElement) const = 0;          // 33
    virtual CAny* pclGetDefaultValue(int nElement) const = 0;             // 34
    virtual const wchar_t* pszGetExtendedInfo() const = 0;                // 35
    virtual const wchar_t* pszGetCaption() const = 0;                     // 36
    virtual const wchar_t* pszGetDBType() const = 0;                      // 37
    virtual const wchar_t* pszGetXBaseIndexPath() const = 0;              // 38
    virtual const wchar_t* pszGetXBaseKeyExpression() const = 0;          // 39
    virtual int nGetIntegerPart() const = 0;                              // 40
    virtual int nGetDecimalPart() const = 0;                              // 41
    virtual const wchar_t* pszGetNameInSource() const = 0;                // 42
    virtual const wchar_t* pszGetSourceName() const = 0;                  // 43
    virtual int nGetKeySize() const = 0;                                  // 44
    virtual void SetKeySize(int nSize) = 0;                               // 45
    virtual int nGetComponentKeySize() const = 0;                         // 46
    virtual void SetComponentKeySize(int nSize) = 0;                      // 47
    virtual int bUpdatable() const = 0;                                   // 48
    virtual void SetUpdatable(int bUpdatable) = 0;                        // 49
    virtual void* piGetPrimaryLink() const = 0;                           // 50
    virtual void* piGetForeignLink(int nLink) const = 0;                  // 51
    virtual int nGetNumForeignLink() const = 0;                           // 52
    virtual const wchar_t* pszGetUnicodeLocale() const = 0;               // 53
    virtual int vbConstraintNullAllowed() const = 0;                      // 54

protected:
    INAItemDescription() = default;
    ~INAItemDescription() = default;
};
