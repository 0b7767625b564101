#include "mysql/mysql_data_access.h"

int CMySQLDataAccess::bNbEnrNeedParse(int* pbNeedParse, const wchar_t* pszItem)
{
    if (bIsQuery())
        return CNADataAccess::bNbEnrNeedParse(pbNeedParse, pszItem);
    if (pbNeedParse != nullptr)
        *pbNeedParse = 0;
    return 1;
}
