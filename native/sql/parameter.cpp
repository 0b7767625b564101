// Query parameters.
#include "native/sql/parameter.h"

#include <cwchar>

#include "common/text/xy_string_concat.h"
#include "native/driver/driver.h"
#include "native/driver/host_query_parameters.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/model/item_description.h"

CNAParameter::CNAParameter(CNAConvertVariant* pclValue, unsigned long nPosition, unsigned nFlags,
                           const wchar_t* pszName)
    : m_pclValue(pclValue), m_nPosition(nPosition), m_nFlags(nFlags), m_csName(pszName)
{
    if (m_pclValue != nullptr)
        REF_AddRef(m_pclValue);
}

CNAParameter::~CNAParameter()
{
    if (m_pclValue != nullptr)
        REF_Release(m_pclValue);
    if (m_pclColumn != nullptr)
        REF_Release(m_pclColumn);
    if (m_piItem != nullptr)
        m_piItem->nExternalRelease();
}

CNAParameter* CNAParameter::pclGetClone()
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return nullptr;
    CNAParameter* pclClone = pclDriver->pclAllocParameter(m_pclValue, m_nPosition, m_nFlags, m_csName.pszGet());
    if (pclClone == nullptr)
        return nullptr;
    REF_AddRef(pclClone);
    pclClone->SetColum(m_pclColumn);
    // The column's item may differ from this one's, which may have been set
    // on its own.
    pclClone->SetItem(m_piItem);
    pclClone->m_eOperator = m_eOperator;
    return pclClone;
}

void CNAParameter::SetColum(CNAColumn* pclColumn)
{
    if (pclColumn != nullptr)
        REF_AddRef(pclColumn);
    if (m_pclColumn != nullptr)
        REF_Release(m_pclColumn);
    m_pclColumn = pclColumn;
    SetItem(pclColumn != nullptr ? pclColumn->piGetItemNoRef() : nullptr);
}

void CNAParameter::SetItem(INAItemDescription* piItem)
{
    if (piItem != nullptr)
        piItem->ExternalAddRef();
    if (m_piItem != nullptr)
        m_piItem->nExternalRelease();
    m_piItem = piItem;
}

int CNAParameter::bSetValue(const CAny* pclValue)
{
    return m_pclValue != nullptr ? m_pclValue->bSetValue(pclValue) : 0;
}

int CNAParameter::_nItemType() const
{
    return m_piItem != nullptr ? static_cast<int>(m_piItem->eNAGetItemType()) : 0;
}

int CNAParameter::bIsDate() const
{
    const int nType = _nItemType();
    return nType == 10 || nType == 11 || nType == 14 || nType == 24;
}

int CNAParameter::bIsText() const
{
    const int nType = _nItemType();
    return nType == 2 || nType == 15 || nType == 29 || nType == 30;
}

int CNAParameter::bIsTextUnicode() const
{
    const int nType = _nItemType();
    return nType == 29 || nType == 30;
}

int CNAParameter::bCaseInSensitiveLIKE() const
{
    if (m_pclColumn != nullptr)
        return m_pclColumn->bGetIgnoreCase(-1);
    if (m_piItem != nullptr)
        return m_piItem->bGetIgnoreCase(-1);
    return 0;
}

int CNAParameter::bIsParamOUT(INAQueryParametersValue* piValues) const
{
    if (piValues == nullptr)
        return 0;
    const int nKind = piValues->nGetParameterKind(m_csName.pszGet() != nullptr ? m_csName.pszGet() : L"");
    return nKind == INAQueryParametersValue::PARAM_OUT || nKind == INAQueryParametersValue::PARAM_INOUT;
}

int CNAParameter::bGetDBType(eNA_ITEMTYPE* peType, int* pnSize, int* pnLogicalSize, int* pnPrecision,
                             int* pnScale) const
{
    INAItemDescription* piDatabase = m_pclValue != nullptr ? m_pclValue->piGetItemDatabase() : nullptr;
    if (piDatabase == nullptr && m_pclColumn != nullptr)
        piDatabase = m_pclColumn->piGetImportedItemDescNoRef();
    if (piDatabase == nullptr)
        return 0;
    const int nSize = piDatabase->nGetItemSize();
    if (peType != nullptr)
        *peType = piDatabase->eNAGetItemType();
    if (pnSize != nullptr)
        *pnSize = nSize;
    if (pnLogicalSize != nullptr)
        *pnLogicalSize = piDatabase->bMemo() ? -1 : piDatabase->nGetLogicalSize(0);
    if (pnPrecision != nullptr)
        *pnPrecision = piDatabase->nGetIntegerPart();
    if (pnScale != nullptr)
        *pnScale = piDatabase->nGetDecimalPart();
    return nSize != 0;
}

int CNAParameter::bGetZLTypeInfo(eNA_ITEMTYPE* peDatabase, eNA_ITEMTYPE* peAnalysis) const
{
    eNA_ITEMTYPE eDatabase = NA_IT_EMPTY;
    eNA_ITEMTYPE eAnalysis = NA_IT_EMPTY;
    int bKnown = 0;
    if (m_pclColumn != nullptr) {
        eDatabase = m_pclColumn->eNAGetItemTypeOnDatabase();
        eAnalysis = m_pclColumn->eNAGetItemType();
        bKnown = 1;
    } else if (m_pclValue != nullptr) {
        eDatabase = m_pclValue->eNAGetItemTypeDatabase();
        eAnalysis = m_pclValue->eNAGetItemTypeAnalyse();
        bKnown = eDatabase != NA_IT_EMPTY || eAnalysis != NA_IT_EMPTY;
    }
    if (peDatabase != nullptr)
        *peDatabase = eDatabase;
    if (peAnalysis != nullptr)
        *peAnalysis = eAnalysis;
    return bKnown;
}

int CNAParameter::bLoadFile(CNAError* pclError)
{
    if (m_pclValue == nullptr)
        return 0;
    // The path is read from a copy: the load replaces the value it lies in.
    CAny clPath;
    (void)m_pclValue->bGetValue(&clPath);
    const wchar_t* pszPath = NA_pszWideTextOf(&clPath);
    const int bText = (m_nFlags & (PARAM_FILE | PARAM_FILE_TEXT)) == (PARAM_FILE | PARAM_FILE_TEXT);
    if (!m_pclValue->bLoadFile(pszPath != nullptr ? pszPath : L"", pclError, bText ? 0 : 1))
        return 0;
    m_nFlags &= ~static_cast<unsigned>(PARAM_FILE);
    return 1;
}

namespace {

// Two names alike: both absent, or equal character for character.
bool bSameName(const wchar_t* pszA, const wchar_t* pszB)
{
    if (pszA == nullptr || pszB == nullptr)
        return pszA == pszB;
    return std::wcscmp(pszA, pszB) == 0;
}

}  // namespace

int CNAParameter::bEqualsParameter(const CNAParameter* pclOther) const
{
    if (pclOther == this)
        return 1;
    if (pclOther == nullptr)
        return 0;
    if (m_nPosition != pclOther->m_nPosition || m_nFlags != pclOther->m_nFlags)
        return 0;
    if (m_pclValue != pclOther->m_pclValue) {
        if (m_pclValue == nullptr || pclOther->m_pclValue == nullptr ||
            !m_pclValue->bEqualsNAVariant(pclOther->m_pclValue))
            return 0;
    }
    if ((m_pclColumn == nullptr) != (pclOther->m_pclColumn == nullptr))
        return 0;
    if (m_pclColumn != nullptr && !bSameName(m_pclColumn->pszGetName(), pclOther->m_pclColumn->pszGetName()))
        return 0;
    if ((m_piItem == nullptr) != (pclOther->m_piItem == nullptr))
        return 0;
    if (m_piItem != nullptr && !bSameName(m_piItem->pszGetName(), pclOther->m_piItem->pszGetName()))
        return 0;
    return m_eOperator == pclOther->m_eOperator && m_nReserved == pclOther->m_nReserved &&
           m_nDirection == pclOther->m_nDirection;
}

void CNAParameter::TypeParam2String(CXYStringConcat<wchar_t>* pclOut) const
{
    if (pclOut == nullptr)
        return;
    pclOut->Vide();
    pclOut->Add(L"(", 1);
    static const struct
    {
        unsigned nBit;
        const wchar_t* pszName;
    } kDirections[] = {{NA_PARAM_IN, L"IN"}, {NA_PARAM_OUT, L"OUT"}, {NA_PARAM_RETURN, L"RETURN"}};
    bool bFirst = true;
    for (const auto& direction : kDirections) {
        if ((m_nDirection & direction.nBit) == 0)
            continue;
        if (!bFirst)
            pclOut->Add(L"|", 1);
        pclOut->Add(direction.pszName);
        bFirst = false;
    }
    pclOut->Add(L")", 1);
}
