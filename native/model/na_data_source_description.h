#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// A table's or a query's description as the host reads it: 40 slots in the
// host's order, the five version slots first and ten reserved slots last.
// The item look-ups (slots 16-19, 22) hand out the item with one external
// reference for the caller; positions count from 0.
//
// The two overloads of piNAGetItem (by name, by position) are declared in
// slot order: g++ gives each declaration the next slot.
class INADataSourceDescription : public INAVersion
{
public:
    virtual void ExternalAddRef() = 0;                                    // 5
    virtual unsigned nExternalRelease() = 0;                              // 6
    virtual const wchar_t* pszGetLogicalName() const = 0;                 // 7
    virtual const wchar_t* pszGetPhysicalName() const = 0;                // 8
    virtual const wchar_t* pszGetDefaultDirectory() const = 0;            // 9
    virtual unsigned nGetDiskRecordSize() const = 0;                      // 10
    virtual unsigned nGetMemoryRecordSize() const = 0;                    // 11
    virtual unsigned nGetNumItems() const = 0;                            // 12
    virtual unsigned nGetNumKeys() const = 0;                             // 13
    virtual unsigned nGetNumMemos() const = 0;                            // 14
    virtual unsigned nGetNumItemPhysicallyInFic() const = 0;              // 15
    virtual INAItemDescription* piNAGetItem(const wchar_t* pszName) = 0;  // 16
    virtual INAItemDescription* piNAGetItem(unsigned nItem) = 0;          // 17
    virtual INAItemDescription* piNAGetKey(unsigned nKey) = 0;            // 18
    virtual INAItemDescription* piNAGetMemo(unsigned nMemo) = 0;          // 19
    virtual int eGetNASubDataType() const = 0;                            // 20
    virtual const wchar_t* pszGetDBTableName() const = 0;                 // 21
    virtual INAItemDescription* piGetBestParseItemDesc() = 0;             // 22
    virtual const wchar_t* pszGetExtendedInfo() const = 0;                // 23
    virtual const wchar_t* pszGetType() const = 0;                        // 24
    virtual const wchar_t* pszGetOwner() const = 0;                       // 25
    virtual const wchar_t* pszGetDefaultDatabase() const = 0;             // 26
    virtual const wchar_t* pszGetExtension() const = 0;                   // 27
    virtual const wchar_t* pszGetCaption() const = 0;                     // 28
    virtual int bGetNullSupported() const = 0;                            // 29
    // Slots 30-39, reserved: they do nothing.
    virtual void EmptySlot137() = 0;
    virtual void EmptySlot138() = 0;
    virtual void EmptySlot139() = 0;
    virtual void EmptySlot140() = 0;
    virtual void EmptySlot141() = 0;
    virtual void EmptySlot142() = 0;
    virtual void EmptySlot143() = 0;
    virtual void EmptySlot144() = 0;
    virtual void EmptySlot145() = 0;
    virtual void EmptySlot146() = 0;

protected:
    INADataSourceDescription() = default;
    ~INADataSourceDescription() = default;
};
