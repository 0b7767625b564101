#pragma once

#include "common/text/ct_string.h"
#include "common/text/ref_hash_table.h"
#include "native/model/interf.h"
#include "native/model/item_type.h"

// The SQL type text of a column of each item type, as a connection writes it
// in CREATE TABLE statements and casts. Each connection keeps one map, fills
// it with the generic entries (_Init) and lays its database's own entries
// over them (Add replaces an entry).
//
// An entry's text may hold printf placeholders (its flag is then 1): "%d"
// for a size, or "%d,%d" for the precision and scale of a decimal. The texts
// are the driver's own, never the host's or the database's.

// One entry: the text and whether it takes the item's size or digits.
// Counted through CInterf; the map holds one reference on each entry.
class CNATypeInfo : public CInterf
{
public:
    CNATypeInfo(const wchar_t* pszText, int bFormat) : m_csText(pszText), m_bFormat(bFormat) {}

    // The text, with the item's size (HEURE: its fractional digits, the
    // size less 7; DECIMAL: precision and scale; other types: the logical
    // size of one element) when the flag says so.
    void Format(const INAItemDescription* piItem, CTString* pcsOut) const;
    const wchar_t* pszGetText() const { return m_csText.pszGet(); }
    int bGetFormat() const { return m_bFormat; }

private:
    CTString m_csText;
    int32_t m_bFormat;
};

class CNAMapConvertType : public CNARefHashTable<eNA_ITEMTYPE, CNATypeInfo*>
{
public:
    CNAMapConvertType() = default;
    ~CNAMapConvertType() override = default;

    // The generic entries. Item types 0, 8, 16 and 18 have none.
    virtual void _Init();

    // Puts a new entry for the type in place of any earlier one (whose
    // reference is dropped); the table's add result (0 when memory runs
    // out).
    int Add(eNA_ITEMTYPE eType, const wchar_t* pszText, int bFormat);
    // 1 and the item's SQL type text when its type has an entry; 0 and the
    // text untouched otherwise.
    int bFormat(const INAItemDescription* piItem, CTString* pcsOut);
};
