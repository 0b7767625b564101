#pragma once

// A MySQL table's column types as SHOW COLUMNS writes them ("time(6)",
// "bit(64)", "varchar(20)" with its collation): where the framework's rule
// for type names gives an item that cannot hold the column's values, the
// item a MySQL column needs instead, and the one column type whose values
// are written back in another form than they are read (YEAR, read as a
// date, written as its year).
#include "native/model/item_type.h"

// Corrects the item type and size that the framework's type-name rule gave
// for this MySQL column type; any other type is left as it is:
// - TIME: HEURE of 10 bytes, the digits HHMMSSmmm and a terminator;
// - BIT(n): BINAIRE of n + 2 bytes, as the result columns' mapping gives it;
// - BINARY(n): BINAIRE of n + 2 bytes;
// - GEOMETRY and its kinds (POINT, POLYGON ...): MEMOBINAIRE;
// - a UNICODE item of a utf8mb4 column: room for two UTF-16 units a
//   character (those past U+FFFF take two).
void MySQLColumnItemType(const wchar_t* pszType, const wchar_t* pszCollation, eNA_ITEMTYPE* peType,
                         unsigned* pnSize);

// Whether the column type is YEAR.
bool bMySQLYearType(const wchar_t* pszType);
