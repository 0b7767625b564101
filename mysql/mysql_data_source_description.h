#pragma once

// The description of a MySQL table read from the server: its items from
// "SHOW [FULL] COLUMNS FROM <table>" (name, type, nullability, default, the
// auto-increment key) and its keys from "SHOW INDEX FROM <table>" (the key
// type of each column of a one-column index, one further binary item per
// index of several columns, its columns as components in index order).
//
// The native description drives the reading (bInitDataSourceDescriptionFromDB
// runs the two queries through the driver's SQL-functions object and hands
// each result here); this class writes the queries and reads the rows, and
// adds no field. Results are read through a conversion value of wide text
// from the driver's variant factory.
//
// Key types written: 0x8800 an auto-increment primary-key column (from the
// column list), 0xC800 a PRIMARY index, 0x4800 another unique index, 0x2800
// an index with duplicates, and 0x1000 more on a composite key's item. A
// failure in the middle of the index list fails the whole reading; the key
// being collected is dropped.
#include "native/model/data_source_description.h"

class CMySQLConnection;

class CMySQLDataSourceDescription : public CNADataSourceDescription
{
public:
    CMySQLDataSourceDescription(CNAConnectionDescription* pclConnection, CNAError* pclError);
    ~CMySQLDataSourceDescription() override = default;

    // The queries: the builder's text replaced; 0 (builder untouched) when
    // the table name cannot be written.
    int _bGetQueryShowColumns(CXYStringConcat<wchar_t>* pclQuery) override;
    int _bInitItemFromQueryShowColumns(CNAStatementSQL* pclStatement) override;
    int _bGetQueryShowIndex(CXYStringConcat<wchar_t>* pclQuery) override;
    int _bInitKeysFromQueryShowIndex(CNAStatementSQL* pclStatement) override;

    // 0x8800 for a Key text beginning with "PRI", 0x4800 for "UNI" (three
    // characters, case ignored), else 0.
    static unsigned short _nKeyType(const wchar_t* pszKey);
    // One row's step through the index list: a new key completes the
    // previous one (_bAddKeyDescription); a further row of the same key
    // makes it composite (the pending item, made on its second column) and
    // adds the previous row's column as a component.
    int _bInitKeyDescription(CNAItemDescription** ppclPending, const wchar_t* pszKeyName, int bNewKey,
                             const wchar_t* pszColumn, unsigned short wKeyType);
    // A key's last column: the pending composite item gets it and joins the
    // description; without one the column's item takes the key type (a
    // missing item is passed over). The component's result, or 1.
    int _bAddKeyDescription(CNAItemDescription** ppclPending, const wchar_t* pszColumn, unsigned short wKeyType);
    // A column of a composite key added to it; a column the column list did
    // not give fails with the error of a missing item, naming it.
    int _bAddKeyComponent(CNAItemDescription* pclKey, const wchar_t* pszColumn);

protected:
    CMySQLConnection* _pclMySQLConnection() const;
    // "<prefix><table name as SQL>" into the builder.
    int _bWriteQuery(CXYStringConcat<wchar_t>* pclQuery, const wchar_t* pszPrefix);
    // A new item from the driver with one reference, initialised; null with
    // the out-of-memory error when none can be had.
    CNAItemDescription* _pclNewItem(const wchar_t* pszName, const wchar_t* pszSource, unsigned nSize,
                                    eNA_ITEMTYPE eType, unsigned nPhysical, int nKeyIndex, unsigned short wKeyType,
                                    int nIntegerDigits, int nDecimalDigits);
    // One column's default value on a new item.
    void _SetDefault(CNAItemDescription* pclItem, const CTString& csDefault, bool bNull);
};
