#pragma once

// One value bound into an SQL command: the value (a conversion value), where
// it stands in the command's text (a wide-character position), its name, the
// column or item it stands for, the operator of the host's parser it is
// compared with, its LIKE escape character and its direction. Searches and
// filters make parameters for the values of their conditions; the command
// keeps them in the order of their positions and writes each value as a
// literal when it formats its text. Parameters are made by the driver
// (slot 55, or pclAllocParameter_col with a column), never directly.
//
// The parameter holds one reference on its value and on its column, and
// one external reference on its item. Counted through CInterf, plainly,
// under the driver-wide lock.
#include <cstdint>

#include "common/text/ct_string.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/sql/host_sql_types.h"

class CNAParameter : public CInterf
{
public:
    // The parameter's flags.
    enum : unsigned
    {
        // The value names a file whose content is to be loaded; cleared once
        // loaded.
        PARAM_FILE = 1,
        // The file is text.
        PARAM_FILE_TEXT = 16,
        // The value is the host's bind variable of the parameter's name.
        PARAM_USER = 65536,
        // A LIKE pattern.
        PARAM_LIKE = 0x40000,
        // A literal of the host's query, made a parameter.
        PARAM_QUERY_LITERAL = 0x80000,
    };
    // Direction bits.
    enum eNAPARAMETERINOUT : uint32_t
    {
        NA_PARAM_IN = 1,
        NA_PARAM_OUT = 2,
        NA_PARAM_RETURN = 4,
    };

    // The value referenced; no column nor item, operator 0, escape -1,
    // reserved 0, direction in.
    CNAParameter(CNAConvertVariant* pclValue, unsigned long nPosition, unsigned nFlags, const wchar_t* pszName);
    // Slots 0-1: the value, the column and the item released. Slot 2 is
    // CInterf's.
    ~CNAParameter() override;
    // Slot 3: a new parameter from the driver with one reference, sharing
    // the value, with the same position, flags, name, column, item and
    // operator; escape, reserved field and direction as at construction.
    // Null when the driver makes none.
    virtual CNAParameter* pclGetClone();

    // The old column released, the new one referenced; the item becomes the
    // column's item (none without column).
    void SetColum(CNAColumn* pclColumn);
    // The old item externally released, the new one externally referenced.
    void SetItem(INAItemDescription* piItem);
    int bSetValue(const CAny* pclValue);

    // By the item's type: 10, 11, 14 or 24.
    int bIsDate() const;
    // 2, 15, 29 or 30 (26, a single character, is not counted).
    int bIsText() const;
    int bIsTextUnicode() const;
    // The column's case rule, else the item's; false with neither.
    int bCaseInSensitiveLIKE() const;
    // Whether the host names this parameter an output parameter.
    int bIsParamOUT(INAQueryParametersValue* piValues) const;
    // The database item's type, size, logical size (-1 for a memo),
    // precision and scale: from the value's database item, else the
    // column's imported item; false with neither. True when the size is not
    // 0.
    int bGetDBType(eNA_ITEMTYPE* peType, int* pnSize, int* pnLogicalSize, int* pnPrecision, int* pnScale) const;
    // The item types on the database side and on the analysis side: the
    // column's (true), else the value's (true when either is known).
    int bGetZLTypeInfo(eNA_ITEMTYPE* peDatabase, eNA_ITEMTYPE* peAnalysis) const;
    // The file named by the value's text loaded into the value (as text
    // when both file flags are set); the file flag cleared on success. The
    // failure is recorded in the error object.
    int bLoadFile(CNAError* pclError);
    // The same object, or the same position, flags, value, column (by
    // name), item (by name), operator, reserved field and direction. The
    // escape character is not compared.
    int bEqualsParameter(const CNAParameter* pclOther) const;
    // "(IN)", "(IN|OUT)", "()" ...: the direction bits in that order.
    void TypeParam2String(CXYStringConcat<wchar_t>* pclOut) const;

    CNAConvertVariant* pclGetValueNoRef() const { return m_pclValue; }
    unsigned long nGetPosition() const { return m_nPosition; }
    void SetPosition(unsigned long nPosition) { m_nPosition = nPosition; }
    unsigned nGetFlags() const { return m_nFlags; }
    void SetFlags(unsigned nFlags) { m_nFlags = nFlags; }
    CNAColumn* pclGetColumnNoRef() const { return m_pclColumn; }
    const wchar_t* pszGetName() const { return m_csName.pszGet(); }
    INAItemDescription* piGetItemNoRef() const { return m_piItem; }
    eOPEXPRESSION eGetOperator() const { return m_eOperator; }
    void SetOperator(eOPEXPRESSION eOperator) { m_eOperator = eOperator; }
    // -1 when none was given.
    int nGetEscape() const { return m_nEscape; }
    void SetEscape(int nEscape) { m_nEscape = nEscape; }
    int nGetReserved() const { return m_nReserved; }
    void SetReserved(int nReserved) { m_nReserved = nReserved; }
    unsigned nGetDirection() const { return m_nDirection; }
    void SetDirection(unsigned nDirection) { m_nDirection = nDirection; }
    int bIsUser() const { return (m_nFlags & PARAM_USER) != 0; }
    int bIsLike() const { return (m_nFlags & PARAM_LIKE) != 0; }
    int bIsFile() const { return (m_nFlags & PARAM_FILE) != 0; }
    // No parameter of this driver carries a cursor: the dump and the
    // refresh from the host's values ask all the same.
    int bIsCursor() const { return 0; }

private:
    // The item's type, 0 without item.
    int _nItemType() const;

    CNAConvertVariant* m_pclValue;
    unsigned long m_nPosition;
    unsigned m_nFlags;
    CNAColumn* m_pclColumn = nullptr;
    CTString m_csName;
    INAItemDescription* m_piItem = nullptr;
    eOPEXPRESSION m_eOperator = static_cast<eOPEXPRESSION>(0);
    int32_t m_nEscape = -1;
    int32_t m_nReserved = 0;
    uint32_t m_nDirection = NA_PARAM_IN;
};

inline void REF_AddRef(CNAParameter* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNAParameter* p)
{
    p->nRelease();
}
