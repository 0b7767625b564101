#include "native/driver/wide_text_value.h"

#include <cwchar>

int NA_bSetWideText(CAny* pclValue, unsigned short nType, const wchar_t* pszText, long nLen)
{
    if (pclValue == nullptr)
        return 0;
    // A value of the type already keeps its text through __SetType: the
    // setting below replaces it, also by the empty text.
    pclValue->__SetType(nType, 0);
    pclValue->ClearFlags();
    if (pszText == nullptr)
        pszText = L"";
    const size_t n = nLen < 0 ? std::wcslen(pszText) : static_cast<size_t>(nLen);
    // Both kinds take the length in bytes.
    if (n > ANY_MAX_UNITES)
        return 0;
    const int nCode = pclValue->Objet().SetValue(pszText, static_cast<unsigned long>(n * sizeof(wchar_t)));
    pclValue->ClearFlags();
    return nCode == ANY_OK ? 1 : 0;
}

const wchar_t* NA_pszWideTextOf(CAny* pclValue)
{
    if (pclValue == nullptr || pclValue->bIsNull() || pclValue->nGetTypeCode() == ZLTYPE_VIDE)
        return nullptr;
    const wchar_t* pszText = nullptr;
    if (pclValue->__nCastToString(&pszText, nullptr) > 99)
        return nullptr;
    return pszText != nullptr ? pszText : L"";
}
