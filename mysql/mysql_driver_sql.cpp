#include "mysql/mysql_driver_sql.h"

#include <new>

#include "mysql/mysql_statement_sql.h"
#include "native/driver/wide_text_value.h"

const wchar_t* const CMySQLDriverSQL::s_pszColumnTypeList =
    L"bit\t1\r\n"
    L"tinyint\t2\r\n"
    L"tinyint unsigned\t2\r\n"
    L"smallint\t13\r\n"
    L"smallint unsigned\t13\r\n"
    L"mediumint\t12\r\n"
    L"mediumint unsigned\t12\r\n"
    L"integer\t12\r\n"
    L"integer unsigned\t12\r\n"
    L"int\t12\r\n"
    L"int unsigned\t12\r\n"
    L"bigint\t3\r\n"
    L"bigint unsigned\t3\r\n"
    L"numeric\t10\r\n"
    L"decimal\t11\r\n"
    L"real\t15\r\n"
    L"float\t15\r\n"
    L"double\t16\r\n"
    L"char\t9\r\n"
    L"varchar\t20\r\n"
    L"long varchar\t7\r\n"
    L"text\t7\r\n"
    L"mediumtext\t7\r\n"
    L"tinyblob\t4\r\n"
    L"mediumblob\t4\r\n"
    L"blob\t4\r\n"
    L"longblob\t4\r\n"
    L"long varbinary\t4\r\n"
    L"enum\t20\r\n"
    L"set\t20\r\n"
    L"year\t13\r\n"
    L"date\t17\r\n"
    L"time\t18\r\n"
    L"datetime\t19\r\n"
    L"timestamp\t19";

int CMySQLDriverSQL::bGetColumnTypeList(CAny* pclList, int, unsigned)
{
    NA_bSetWideText(pclList, ZLTYPE_DSTRW, s_pszColumnTypeList);
    return 1;
}

CNAStatementSQL* CMySQLDriverSQL::pclAllocStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError)
{
    return new (std::nothrow) CMySQLStatementSQL(pclConnection, pclError);
}
