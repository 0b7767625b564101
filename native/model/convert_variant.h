#pragma once

// The conversion value: the value object that travels between the database,
// the host engine's record buffer and the runtime's values. A column's value,
// a query parameter, a memo value and the values read by direct statements
// are all conversion values; the driver makes them through its variant
// factory (slot 44).
//
// Where the value lives is its storage kind (eNAVARTYPE): in the runtime
// value (1; 2 while not yet fetched), in an item's slot of a record buffer
// (3), in a caller's buffer (4) or in a buffer of its own (5). In kinds 3 to
// 5 the runtime value only carries the type code (and the NULL flag) and the
// buffer holds the value in the host engine's item layout, S = the buffer
// size bytes:
// - 8-bit texts zero-terminated: every write leaves the last byte 0;
// - wide texts: UTF-16 units up to a zero unit when the analysis item is a
//   Unicode item (the form of the record buffer), 4-byte characters up to a
//   zero character otherwise; every write leaves a zero unit behind;
// - binary (item type 23): a 16-bit little-endian length, the bytes, zeros;
// - DATE8 the digits AAAAMMJJ, HEURE the digits HHMMSSmmm cut to S - 1, both
//   zero-terminated; DATETIME the 8-byte date-time; numbers in their binary
//   form; decimals in the decimal object's packed form.
// Every write stays inside the S bytes and zeroes what it does not fill;
// every read stays inside them, whatever the buffer holds (a record slot may
// have been written by the host).
//
// The object holds an external reference on each of its two item
// descriptions (the host engine's analysis item and the database item) and
// one reference on its error object; the connection is not counted. Counted
// through CInterf, plainly, under the driver-wide lock.
#include <cstddef>
#include <cstdint>

#include "native/model/variant.h"

struct _SYSTEMTIME;
class CDateTimeBase;

// Where a conversion value keeps its value.
enum eNAVARTYPE : int32_t
{
    NA_VT_NONE = 0,
    NA_VT_ANY = 1,
    NA_VT_ANY_UNREAD = 2,
    NA_VT_RECORD = 3,
    NA_VT_CALLER_BUFFER = 4,
    NA_VT_OWN_BUFFER = 5,
};

class CNAConvertVariant : public CNAVariant
{
public:
    // Kind 0, no items, an empty value; one reference taken on the error
    // object.
    CNAConvertVariant(CNAError* pclError, CNAConnectionDescription* pclConnection);
    // Slots 0-1: reset, then the error object's reference dropped.
    ~CNAConvertVariant() override;

    // Slots 3-8.
    // The value read, its text fitted to an HEURE item when it becomes
    // text, then stored into a kind-1 value of the new code.
    int vbChangeZLType(unsigned short nCode, int bFlag) override;
    int vbGetValue(CAny* pclValue) const override { return bGetValue(pclValue); }
    // Kind 0.
    int vbIsEmpty() const override { return m_eVarType == NA_VT_NONE; }
    const void* vpGetData() const override { return pGetData(); }
    unsigned long vnGetSize() const override { return nGetSize(); }
    CNAConnectionDescription* pclGetCnx() const override { return m_pclConnection; }
    // Slots 9-13: the database layer's hooks. 9, 10 and 13 do nothing here;
    // 11 marks the value prepared; 12 points the buffer at the runtime
    // value's storage for the types held there.
    virtual int _bConvertDataToQF() { return 1; }
    virtual int _bConvertDataToDB() { return 1; }
    virtual int _bInitBufferDB_Ptr();
    virtual int _bInitBufferDB_Any();
    virtual int _bInitTypeBind() { return 1; }

    // --- Typing.
    // Frees an own buffer, forgets the buffer, releases both items, empties
    // the value and sets the kind; prepared (bind state 1) for kinds 4 and 5.
    void _SetVarType(eNAVARTYPE eKind);
    void ResetVariant() { _SetVarType(NA_VT_NONE); }
    // Kind 1 of that code; buffer size and used size = nSize.
    void InitTypeVariantAny(unsigned short nCode, unsigned long nSize);
    // The kind, the code, then the buffer (kinds 3 and 4: the caller's;
    // kind 5: an own zero-filled one of nSize bytes). 0 with the
    // out-of-memory error when an own buffer cannot be had.
    int bInitTypeVariant(eNAVARTYPE eKind, unsigned char* pbyBuffer, unsigned long nSize, unsigned short nCode);
    int bInitTypeVariantBuffer(unsigned short nCode, unsigned long nSize);
    int _bInitBufferQF(unsigned char* pbyBuffer, unsigned long nSize);
    // Each description that differs is replaced; a new analysis item
    // retypes the value to the item's runtime type.
    void SetItemDesc(INAItemDescription* piAnalyse, INAItemDescription* piDatabase);
    // Prepares the value for the database once (bind state 0 to 1); 0 for
    // kind 0.
    int bInitBufferDB();
    int nGetTypeBind()
    {
        (void)bInitBufferDB();
        return m_nBindType;
    }

    // --- Information.
    eNAVARTYPE eGetVarType() const { return m_eVarType; }
    int nGetBindState() const { return m_nBindState; }
    unsigned long nGetBufferSize() const { return m_nBufferSize; }
    INAItemDescription* piGetItemAnalyse() const { return m_piItemAnalyse; }
    INAItemDescription* piGetItemDatabase() const { return m_piItemDatabase; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    eNA_ITEMTYPE eNAGetItemTypeAnalyse() const;
    eNA_ITEMTYPE eNAGetItemTypeDatabase() const;
    eNA_ITEMTYPE eNAGetItemType() const;
    eNA_ITEMTYPE eNAGetItemTypeDatabaseEx() const;
    // The database item's database type on this connection; 0 without.
    int eNAGetDBType() const;
    unsigned short eGetZLTypeDB() const;
    int bIsMemo() const;
    int bIsMemoBinaire() const;
    int bUnicodeDB() const;
    const wchar_t* pszGetTableName() const;
    const wchar_t* pszGetItemName() const;
    // Kinds 1 and 2 the runtime value's data, kinds 3 to 5 the buffer.
    const void* pGetData() const;
    void* pGetData() { return const_cast<void*>(static_cast<const CNAConvertVariant*>(this)->pGetData()); }
    // Kind 1 the runtime value's data size, else the used size.
    unsigned long nGetSize() const;
    // Bytes of an 8-bit text, characters of a wide one, else the used size.
    unsigned long nGetUtilDataSize() const;
    // Prepared, then the runtime value's data and size (kind 1) or the
    // buffer and its size; the used size's address. 0 when preparing fails.
    int bGetBufferDB(void** ppBuffer, unsigned long* pnSize, unsigned long** ppnLength);
    int bGetDecimalInfo(int* pnPrecision, int* pnScale) const;

    // --- Values.
    // Kinds 1 and 2: a copy of the runtime value. Kinds 3 and 5: a value of
    // the code read from the buffer (NULL when this value is). 0 for kinds 0
    // and 4, and for a buffer that holds no readable value of the code.
    int bGetValue(CAny* pclValue) const;
    using CNAVariant::bGetValue;
    // The central conversion: a value of this code stores as it is, any
    // other is converted (texts by the text stores, others by the runtime
    // cast). 0 with user error 53 when the cast fails; the value then keeps
    // its content.
    int bSetValue(const CAny* pclSource);
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
    int bSetValue(const CDateTimeBase* pclDateTime);
    // Raw store. Kind 1: the runtime value's set-from-bytes. Kind 4: the
    // bytes become the buffer. Otherwise at most S - 1 bytes for an 8-bit
    // text, S - 2 for a wide text, else S, the rest zeroed.
    int bSetValue(const unsigned char* pbyData, unsigned long nLength);
    int bSetValue(const CZLBIN* pclBinary);
    // Texts (length -1: zero-terminated), in the connection's code page for
    // 8-bit text.
    int bSetValue(const char* pszText, long nLength);
    int bSetValue(const wchar_t* pszText, long nLength);
    // A text item gets the time as text of the value's size, any other a
    // date-time.
    int bSetValue(const _SYSTEMTIME* pstTime);
    // The value emptied, retyped with its code and flagged NULL; a record
    // slot is zeroed.
    void SetNull();
    // The NULL flag cleared, the content kept (a column whose slot the row
    // says is defined).
    void SetNotNull() { m_clValue.SetNull(false); }
    // The runtime value emptied and given that code; the kind, the buffer
    // and the items kept.
    void SetValueType(unsigned short nCode) { m_clValue.__SetType(nCode, 0); }
    // NULL, and a value kept in its runtime value (kind 1) becomes not yet
    // fetched (kind 2). A value bound to a buffer stays bound: it is filled
    // in place when its row is read.
    void SetUnreadYet();
    // Blanks to the end of a non-NULL text, never past the buffer.
    void CompleteSpaces(int nCount);
    int bConvertDataToDB();
    // The text slot zeroed behind its first zero byte (a slot of both an
    // 8-bit analysis and database item), then the record's null flag of the
    // analysis item set from the value. 1.
    int bConvertDataToQF(CNAQFRecord* pclRecord);
    int bLoadFile(const wchar_t* pszPath, CNAError* pclError, int bBinary);

    // Order: the same object 0; same code and size bytewise; two 8-bit or
    // two wide texts as texts; otherwise the runtime comparison (0 when it
    // fails). The runtime-value form is the holder's.
    using CNAVariant::nCmp;
    int nCmp(const CNAConvertVariant* pclOther) const;
    int bEqualsNAVariant(const CNAConvertVariant* pclOther) const;
    int bEqualsNAVariant(const CAny* pclOther) const { return CNAVariant::bEqualsNAVariant(pclOther); }
    // An absent holder, a NULL value and an empty one (kind 0 or code 0)
    // count alike as NULL: two of them are equal, one of them and a value
    // unequal.
    static int g_bEqualsNAVariant(const CNAConvertVariant* a, const CNAConvertVariant* b);
    int bCopyVariant(const CNAConvertVariant* pclSource);
    // A new value from the driver's factory on the same error object and
    // connection, holding a copy; null when none is made.
    CNAConvertVariant* pclGetCloneVariant() const;

    // --- Database texts (convert_variant_db.cpp). Each prepares the value
    // first; a database NULL never comes here (the caller sets NULL).
    // 8-bit text of the given code page (length -1: zero-terminated).
    int bSetValueDB(const char* pszText, long nLength, int nCodePage);
    int bSetValueDB(const wchar_t* pszText, long nLength);
    int bSetValueFromDB(const wchar_t* pszText, long nLength);
    int bSetValueDB(const CAny* pclValue);
    int bSetValueDB(const unsigned char* pbyData, unsigned long nLength);
    // False for a text starting with "F", "f", "0" or empty; true otherwise.
    static int s_bTextToBool(const char* pszText);
    static int s_bTextToBool(const wchar_t* pszText);
    // The text store: 8-bit text of a code page into the value by its code.
    int _bSetValue(const char* pszText, long nLength, int nCodePage);
    // The date, time and date-time forms, recognised by length.
    int _bSetValueDB_AndConvertToDate(const char* pszText, long nLength, int nCodePage);

    // User error 53 for a value that cannot be converted, at the caller's
    // site, into this value's error object.
    void _SetErrorConversionFailed(unsigned short nSourceCode, const wchar_t* pszText, int nSiteMajor,
                                   int nSiteMinor) const;

    // The code page of the runtime's 8-bit text on the connection (1252
    // without one).
    int nGetConnectionCodePage() const;
    // The code page of the client library's text (the connection code page
    // until the connection has one).
    int nGetClientCodePage() const;

private:
    // Kind 2 becomes 1.
    void _Fetched()
    {
        if (m_eVarType == NA_VT_ANY_UNREAD)
            m_eVarType = NA_VT_ANY;
    }
    bool _bBufferKind() const
    {
        return m_eVarType == NA_VT_RECORD || m_eVarType == NA_VT_CALLER_BUFFER || m_eVarType == NA_VT_OWN_BUFFER;
    }
    // A wide buffer holds UTF-16 when the analysis item is a Unicode item.
    bool _bUTF16Buffer() const;
    // The buffer zeroed from an offset to its end.
    void _ZeroFrom(unsigned long nFrom);
    // Wide text into the buffer in its wide form, cut to leave a zero unit;
    // the used size set, the rest zeroed.
    void _StoreWide(const wchar_t* psz, size_t nChars);
    // Wide text converted to the code page into the buffer, at most S - 1
    // bytes cut at a character, the rest zeroed. False without memory.
    bool _bStoreWideAsAnsi(const wchar_t* psz, size_t nChars, int nCodePage);
    // The same-code store of a runtime value into the buffer.
    int _bStoreSameCode(const CAny& clSource);
    // The decimal written packed with the value's precision and scale.
    int _bStoreDecimal(const CAny& clSource);
    // The binary slot form: a 16-bit length L = min(n, S - 2, 65535), the L
    // bytes, zeros.
    void _StoreBinary(const void* pData, unsigned long nLength);
    // The date-time written in the slot form of the analysis item.
    void _StoreDateTime(const CDateTimeBase& dt);
    // A boolean: the runtime value of kinds 1 and 2, else the buffer's first
    // byte and zeros.
    int _bStoreBool(int b);
    // A binary database value: the runtime value of kinds 1 and 2, else the
    // slot form.
    int _bStoreBinaryDB(const void* pData, size_t nLength);
    // A number text cast straight into the buffer (or the runtime value);
    // 0 with user error 53 when it is no number.
    int _bCastNumberText(const wchar_t* psz, size_t nChars, unsigned short nSourceCode);
    // A number's binary form (the width of the value's code) into the
    // buffer, the rest zeroed, or into the runtime value. 1.
    int _bStoreNumber(const unsigned char* pbyBinary);
    // The buffer of the date forms: prepared for kinds 1 and 2.
    bool _bDateFormTarget();
    void _SetNoMemory() const;

    CNAConnectionDescription* m_pclConnection;
    INAItemDescription* m_piItemDatabase = nullptr;
    INAItemDescription* m_piItemAnalyse = nullptr;
    eNAVARTYPE m_eVarType = NA_VT_NONE;
    unsigned char* m_pbyBuffer = nullptr;
    unsigned long m_nUsedSize = 0;
    unsigned long m_nBufferSize = 0;
    int32_t m_nBindType = 0;
    int32_t m_nBindState = 0;
    CNAError* m_pclError;
};
