// A literal of a parsed query adapted to the item it is compared with
// (slot 27). A text compared with "=" or "<>" to a date, time or date-time
// item is read as such, its missing parts at their minimum, and handed to
// the connection in the runtime's text form of the item's type:
//   date (DATE6, DATE8)   "YYYYMMDD"
//   time (HEURE)          "HHMMSSmmm"
//   date-time (DATETIME)  "YYYYMMDDHHMMSSmmm"
// Only a text of digits is read so (a date-time may hold one blank at
// position 8, between its date and its time). A text ending with "%" (a
// pattern), one holding anything else, longer than the full form, and
// every value that is not a text (durations and times compared with a time
// item among them) go to the connection's literal writer unchanged.
#include <cwchar>

#include "common/text/ct_string.h"
#include "common/text/x_time.h"
#include "native/driver/wide_text_value.h"
#include "native/model/convert_variant.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"
#include "native/sql/command.h"

namespace {

bool bTextCode(unsigned n)
{
    return (n >= 16 && n <= 23) || n == 81 || n == 110 || n == 134;
}

// The rewritten text of a date, time or date-time literal; false when the
// text is not one to read.
bool bRuntimeDateText(const wchar_t* psz, int nType, CTString* pcsOut)
{
    const size_t n = std::wcslen(psz);
    const size_t nMax = nType == NA_IT_HEURE ? 9 : nType == NA_IT_DATETIME ? 18 : 8;
    if (n == 0 || n > nMax)
        return false;
    size_t nDigits = 0;
    for (size_t i = 0; i < n; ++i) {
        if (psz[i] >= L'0' && psz[i] <= L'9') {
            ++nDigits;
            continue;
        }
        if (!(nType == NA_IT_DATETIME && i == 8 && psz[i] == L' '))
            return false;
    }
    if (nDigits > (nType == NA_IT_DATETIME ? 17u : nMax))
        return false;
    CXTime clTime;
    if (nType == NA_IT_HEURE) {
        if (!clTime.bSetZLTimeMin(psz, 0))
            return false;
        clTime.GetZLTimeHHMMSSCCm(*pcsOut);
        return true;
    }
    if (!clTime.bSetZLDateTimeMin(psz, 0))
        return false;
    if (nType == NA_IT_DATETIME)
        clTime.GetZLTimeAAAAMMJJHHMMSSCCm(*pcsOut);
    else
        clTime.GetZLDate(*pcsOut);
    return true;
}

}  // namespace

int CNACommand::_FormatExpressionLiteral(CNAParameter* pclParameter, INAItemDescription* piItem,
                                         eOPEXPRESSION eOperator)
{
    if (pclParameter == nullptr || piItem == nullptr || (eOperator != OPEXP_EQUAL && eOperator != OPEXP_DIFFERENT))
        return 1;
    const int nType = static_cast<int>(piItem->eNAGetItemType());
    if (nType != NA_IT_DATE6 && nType != NA_IT_DATE8 && nType != NA_IT_HEURE && nType != NA_IT_DATETIME)
        return 1;
    CNAConvertVariant* pclValue = pclParameter->pclGetValueNoRef();
    if (pclValue == nullptr)
        return 1;
    CAny clCopy;
    if (!pclValue->bGetValue(&clCopy) || clCopy.bIsNull() || !bTextCode(clCopy.nGetTypeCode()))
        return 1;
    const wchar_t* psz = NA_pszWideTextOf(&clCopy);
    CTString csText;
    if (psz == nullptr || !bRuntimeDateText(psz, nType, &csText))
        return 1;
    CAny clText;
    if (!NA_bSetWideText(&clText, 16, csText.pszGet()))
        return 1;
    return pclParameter->bSetValue(&clText);
}
