// A value written into a YEAR column: the date it was read as goes back as
// its year. Written as a date, the server refuses it in strict mode ("Data
// truncated", 1265) and keeps something else without it.
#include "common/text/any.h"
#include "common/text/xy_string.h"
#include "mysql/mysql_column_types.h"
#include "mysql/mysql_statement.h"
#include "native/model/column.h"
#include "native/model/item_description.h"
#include "native/sql/command.h"
#include "native/sql/parameter.h"

namespace {

// The year of a date or a date-time value, from the four digits its text
// begins with (AAAAMMJJ...); false for any other value.
bool bYearOf(const CAny& clValue, int* pnYear)
{
    const unsigned short nCode = clValue.nGetTypeCode();
    if (clValue.bIsNull() || (nCode != ZLTYPE_DATEA && nCode != ZLTYPE_DATEW && nCode != ZLTYPE_DATETIME))
        return false;
    CXYString<wchar_t> clText;
    if (clValue.__nFillString(clText, nullptr) > 99 || clText.pszGet() == nullptr)
        return false;
    const wchar_t* psz = clText.pszGet();
    int nYear = 0;
    for (int i = 0; i < 4; ++i) {
        if (psz[i] < L'0' || psz[i] > L'9')
            return false;
        nYear = nYear * 10 + (psz[i] - L'0');
    }
    *pnYear = nYear;
    return true;
}

}  // namespace

int CMySQLStatement::_bAddColumnValue(CNACommand* pclCommand, CNAColumn* pclColumn, eNAQUERYTYPE eKind,
                                      NA_WRITEPARSEFLAGS nFlags)
{
    // The database's own description of the column knows its type; a
    // host's item may not.
    const INAItemDescription* piItem = pclColumn->piGetImportedItemDescNoRef();
    if (piItem == nullptr)
        piItem = pclColumn->piGetItemNoRef();
    if (piItem == nullptr || !bMySQLYearType(piItem->pszGetDBType()))
        return CNAStatement::_bAddColumnValue(pclCommand, pclColumn, eKind, nFlags);
    CAny clValue;
    if (!pclColumn->bGetCurrentValue(&clValue, 0))
        return 0;
    int nYear = 0;
    if (bYearOf(clValue, &nYear))
        (void)clValue.SetI4(nYear);
    return pclCommand->bAddParameter(&clValue, OPEXP_NONE, 0, pclColumn, 0, CNAParameter::NA_PARAM_IN);
}
