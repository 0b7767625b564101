// The column's value as readable text, for dumps of the current record in
// error reports. The dump never fails: what cannot be read or converted is
// named in the text.
#include "common/text/any.h"
#include "common/text/any_string.h"
#include "common/text/ct_string.h"
#include "common/text/xy_string_concat.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_any.h"

int CNAColumn::bCurrentValueToString(CXYStringConcat<wchar_t>* pclText, int bWithName)
{
    if (pclText == nullptr)
        return 0;
    pclText->Vide();
    if (bWithName) {
        pclText->Add(L"<");
        pclText->Add(pszGetName());
        pclText->Add(L"> = <");
    }
    int bResult = 1;
    if (bValueIsUnreadYet()) {
        pclText->Add(L"UNREAD YET");
    } else {
        CAny clValue;
        bResult = bGetCurrentValue(&clValue, 0);
        if (!bResult) {
            if (bWithName)
                pclText->Add(L"ERROR RETRIEVING VALUE");
        } else if (clValue.bIsNull()) {
            if (bWithName)
                pclText->Add(L"NULL");
        } else if (clValue.nGetTypeCode() == ZLTYPE_BIN && bWithName) {
            CTString csText;
            (void)nGetString(&csText, clValue, nullptr, 0);
            pclText->Add(csText.pszGet());
        } else {
            const unsigned short nCode = clValue.nGetTypeCode();
            unsigned long nDataSize = 0;
            (void)NA_pGetAnyData(clValue, &nDataSize);
            const wchar_t* pszText = nullptr;
            if (clValue.__nCastToString(&pszText, nullptr) <= 99) {
                pclText->Add(pszText);
            } else if (bWithName) {
                pclText->Add(L"IMPOSSIBLE TEXT CONVERSION (ZL Type=");
                pclText->AddNumber(static_cast<int>(nCode));
                pclText->Add(L", Data Size=");
                pclText->AddNumber(static_cast<long>(nDataSize));
                pclText->Add(L")");
            }
        }
    }
    if (bWithName)
        pclText->Add(L">");
    return bResult;
}
