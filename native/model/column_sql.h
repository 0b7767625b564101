#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "native/model/item_type.h"

// The description of one column of a statement's result, as the execution
// statement reads it from the database client: names, sizes, digits, the
// client's native type and the item type it maps to. A plain holder, every
// field zero or empty when made; the execution statement keeps an array of
// them, one per result column, and the data-source description builds its
// items from them. No base class; its only virtual operations are the
// destructors.
class CNAColumnSQL
{
public:
    CNAColumnSQL() = default;
    CNAColumnSQL(const CNAColumnSQL&) = delete;
    CNAColumnSQL& operator=(const CNAColumnSQL&) = delete;
    virtual ~CNAColumnSQL() = default;

    CTString m_csName;
    int64_t m_llLength = 0;
    uint32_t m_nSize = 0;
    int32_t m_nIntegerDigits = 0;
    uint32_t m_nDecimals = 0;
    uint32_t m_nNativeType = 0;
    // The column's table, empty for a computed column.
    CTString m_csTableName;
    uint32_t m_dwColumnFlags = 0;
    uint32_t m_nCharsetNumber = 0;
    eNA_ITEMTYPE m_eItemType = NA_IT_EMPTY;
    uint16_t m_wKeyFlags = 0;
    // The column's name in its table, empty when it has none.
    CTString m_csNameInTable;
    CTString m_csDBType;
    int32_t m_nDBTypeCode = 0;
};
