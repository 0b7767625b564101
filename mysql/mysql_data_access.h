#pragma once

// The MySQL data access of one table or query in one host context: the
// native data access, except that counting the records of a table needs no
// parse (the count is a query of its own).
#include "native/access/data_access.h"

class CMySQLDataAccess : public CNADataAccess
{
public:
    using CNADataAccess::CNADataAccess;

    int bNbEnrNeedParse(int* pbNeedParse, const wchar_t* pszItem) override;
};
