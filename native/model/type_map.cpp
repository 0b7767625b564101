// The SQL type map: its generic entries, replacing an entry, and the text
// of an item's type.
#include "native/model/type_map.h"

#include <algorithm>
#include <new>

#include "native/model/na_item_description.h"

namespace {

struct stGenericEntry
{
    eNA_ITEMTYPE eType;
    const wchar_t* pszText;
    int bFormat;
};

constexpr stGenericEntry kGenericEntries[] = {
    {NA_IT_IDAUTO, L"NUMERIC(19,0)", 0},    {NA_IT_IDAUTO4, L"INTEGER", 0},
    {NA_IT_I1, L"SMALLINT", 0},             {NA_IT_I2, L"SMALLINT", 0},
    {NA_IT_I4, L"INTEGER", 0},              {NA_IT_I8, L"NUMERIC(19,0)", 0},
    {NA_IT_UI1, L"SMALLINT", 0},            {NA_IT_UI2, L"SMALLINT", 0},
    {NA_IT_UI4, L"INTEGER", 0},             {NA_IT_UI8, L"NUMERIC(20,0)", 0},
    {NA_IT_BOOLEEN, L"SMALLINT", 0},        {NA_IT_MONETAIRE, L"NUMERIC(24,6)", 0},
    {NA_IT_DECIMAL, L"NUMERIC(%d,%d)", 1},  {NA_IT_R4, L"REAL", 0},
    {NA_IT_R8, L"FLOAT", 0},                {NA_IT_REELTURBO, L"FLOAT", 0},
    {NA_IT_CHAR, L"CHARACTER", 0},          {NA_IT_IMAGE, L"CHARACTER(%d)", 1},
    {NA_IT_TEXTE, L"VARCHAR(%d)", 1},       {NA_IT_MEMOTEXTE, L"TEXT", 0},
    {NA_IT_UNICODE, L"NVARCHAR(%d)", 1},    {NA_IT_MEMOUNICODE, L"NTEXT", 0},
    {NA_IT_BINAIRE, L"VARBINARY(%d)", 1},   {NA_IT_DATE6, L"DATE", 0},
    {NA_IT_DATE8, L"DATE", 0},              {NA_IT_HEURE, L"TIME", 0},
    {NA_IT_DATETIME, L"TIMESTAMP", 0},      {NA_IT_TIMELENGHT, L"NUMERIC(19,0)", 0},
};

}  // namespace

void CNATypeInfo::Format(const INAItemDescription* piItem, CTString* pcsOut) const
{
    if (pcsOut == nullptr)
        return;
    if (!m_bFormat || piItem == nullptr) {
        *pcsOut = m_csText;
        return;
    }
    switch (piItem->eNAGetItemType()) {
    case NA_IT_HEURE:
        pcsOut->printf(m_csText.pszGet(), std::max(piItem->nGetItemSize() - 7, 0));
        break;
    case NA_IT_DECIMAL:
        pcsOut->printf(m_csText.pszGet(), piItem->nGetIntegerPart() + piItem->nGetDecimalPart(),
                       piItem->nGetDecimalPart());
        break;
    default:
        pcsOut->printf(m_csText.pszGet(), piItem->nGetLogicalSize(0));
        break;
    }
}

void CNAMapConvertType::_Init()
{
    for (const stGenericEntry& entry : kGenericEntries)
        Add(entry.eType, entry.pszText, entry.bFormat);
}

int CNAMapConvertType::Add(eNA_ITEMTYPE eType, const wchar_t* pszText, int bFormat)
{
    CNATypeInfo* pclFormer = nullptr;
    while (bDeleteElement(eType, &pclFormer))
        _Release(pclFormer);
    CNATypeInfo* pclInfo = new (std::nothrow) CNATypeInfo(pszText, bFormat);
    if (pclInfo == nullptr)
        return 0;
    _AddRef(pclInfo);
    const int bAdded = bAddElement(eType, pclInfo);
    if (!bAdded)
        _Release(pclInfo);
    return bAdded;
}

int CNAMapConvertType::bFormat(const INAItemDescription* piItem, CTString* pcsOut)
{
    CNATypeInfo* pclInfo = nullptr;
    if (piItem == nullptr || !bGetElementRef(piItem->eNAGetItemType(), &pclInfo))
        return 0;
    pclInfo->Format(piItem, pcsOut);
    _Release(pclInfo);
    return 1;
}
