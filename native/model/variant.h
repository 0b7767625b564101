#pragma once

// The native-access layer's value holder: a counted object around one runtime
// value (CAny) with typed setters, comparison, equality, a 32-bit checksum of
// the value's bytes, emptiness tests, decimal precision and scale, a
// diagnostic text, and the loading and storing of a value from and to a file.
//
// The holder is never made alone: the conversion value (convert_variant.h)
// derives from it and keeps its value elsewhere for most storage kinds. So
// every operation here that looks at "the value" goes through the virtual
// slots 4 (the value read out), 5 (emptiness), 6 and 7 (data address and
// size), never at m_clValue directly, so that a derived class's storage is
// what is read. The slots are declared in their fixed order; a derived class
// appends its own after slot 8.
//
// Counted through CInterf, plainly, under the driver-wide lock.
#include <cstdint>

#include "common/text/any.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/model/item_type.h"

struct CMoney;
class CZLBIN;

class CNAVariant : public CInterf
{
public:
    CNAVariant() = default;
    // Slots 0-1; slot 2 is CInterf's _NotToBeCalled.
    ~CNAVariant() override = default;

    // Slot 3: the value cast in place to the runtime type code; true when
    // the cast's result is 99 or less. The flag is not used here.
    virtual int vbChangeZLType(unsigned short nCode, int bFlag);
    // Slot 4: a copy of the value (flags included); 1.
    virtual int vbGetValue(CAny* pclValue) const;
    // Slot 5: true when the type code is 0.
    virtual int vbIsEmpty() const;
    // Slots 6-7: address and byte size of the value's data; null and 0 for
    // a value without data.
    virtual const void* vpGetData() const;
    virtual unsigned long vnGetSize() const;
    // Slot 8: null here.
    virtual CNAConnectionDescription* pclGetCnx() const { return nullptr; }

    // --- Typed setters: the value retyped to the setter's code (bool 1,
    // unsigned char 2, unsigned short 3, unsigned int 4, unsigned long 5,
    // char 6, short 7, int 8, long 9, CMoney 10, float 11, double 12), the
    // argument stored, the NULL and 0x400 flags cleared. 1.
    int bSetValue(bool b);
    int bSetValue(unsigned char n);
    int bSetValue(char n);
    int bSetValue(unsigned short n);
    int bSetValue(short n);
    int bSetValue(unsigned int n);
    int bSetValue(int n);
    int bSetValue(unsigned long n);
    int bSetValue(long n);
    int bSetValue(float d);
    int bSetValue(double d);
    int bSetValue(const CMoney& money);
    // The type kept, the bytes stored by the value's own set-from-bytes
    // operation (never read past n), the flags cleared. 1.
    int bSetValue(const unsigned char* pbyData, unsigned long nLength);
    // A copy of the source (flags included); a value given to itself is left
    // alone. 1.
    int bSetValue(const CAny* pclSource);

    // The same copy in the other direction; 1.
    int bGetValue(CAny* pclValue) const { return CNAVariant::vbGetValue(pclValue); }
    int bGetValue(const CAny** ppclValue) const
    {
        *ppclValue = &m_clValue;
        return 1;
    }
    const CAny* pclGetValue() const { return &m_clValue; }

    // Null source: the value becomes NULL keeping its type code. Otherwise
    // the copy of bSetValue(const CAny*) from the source's value. 1.
    int bCopyVariant(const CNAVariant* pclSource);
    // A new value holder from the driver's variant factory, without error
    // object and connection, holding a copy of this value; null when the
    // factory makes none.
    CNAConvertVariant* pclGetCloneVariant() const;

    // vbChangeZLType with the runtime type of the item type.
    int bChangeItemType(eNA_ITEMTYPE eType, int bFlag);
    eNA_ITEMTYPE eNAGetItemTypeValue() const { return ConvertZLTypeToeItem(m_clValue.nGetTypeCode()); }
    const void* pGetData() const { return vpGetData(); }
    unsigned long nGetSize() const { return vnGetSize(); }
    // The useful bytes of the value's data (a text without terminator).
    unsigned long nGetUtilDataSize() const;

    // Three-way comparison: bytewise when the codes and data sizes are equal,
    // else the runtime comparison (0 when it fails, as for a NULL operand).
    int nCmp(const CAny* pclOther) const;
    int nCmp(const CNAVariant* pclOther) const;
    // Equality; a NULL or empty value equals a NULL or empty one.
    int bEqualsNAVariant(const CAny* pclOther) const;
    int bEqualsNAVariant(const CNAVariant* pclOther) const;

    // The little-endian 32-bit words of the data summed in 64 bits, then each
    // tail byte; the low 32 bits. No mixing: 01 00 00 00 02 gives 3.
    uint32_t nChecksum32() const;

    // NULL, empty, or a string whose first character is 0.
    int bIsEmptyString() const;
    // The same with the date and time texts counted as strings.
    int bIsEmptyStringEx() const;
    // NULL, empty, or a number (codes 1-14) equal to 0.0; a text "0" is not.
    int bIsNumeric0() const;
    // What the host engine would store as "no value".
    int bCouldBeNullOnQF() const { return bIsEmptyStringEx() || bIsNumeric0(); }

    // Precision and scale of a decimal, or of the value cast to one; both 0
    // first. 1 when both were given.
    int bGetDecimalInfo(int* pnPrecision, int* pnScale) const;

    // The diagnostic text of the value (read through slot 4) after the
    // prefix; with the flag, its type and length too.
    void GetString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const;
    void GetString(CTString* pOut, const wchar_t* pszPrefix, int bDetail) const;

    // A file's whole content as an 8-bit runtime string (binary 0) or a
    // binary value; the flags cleared. 0 with the error recorded when the
    // file cannot be opened or read or its content cannot be held.
    int bLoadFile(const wchar_t* pszPath, CNAError* pclError, int bBinary);
    static int gbLoadFile(CAny* pclValue, const wchar_t* pszPath, CNAError* pclError, int bBinary);
    // The value's useful data as a file's whole content (created or
    // truncated). 0 with the error recorded when the file cannot be opened
    // or written, 0 for a value without data.
    int bStoreFile(const wchar_t* pszPath, CNAError* pclError) const;
    static int gbStoreFile(const CAny* pclValue, const wchar_t* pszPath, CNAError* pclError);

protected:
    // The value read through slot 4, or the held value when that fails.
    void _ReadValue(CAny* pclOut) const;

    CAny m_clValue;
};
