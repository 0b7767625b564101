// Condition nodes: life cycle, flags, operators, continuations, the
// trivially true bounds and the bounds of a partial date.
#include "native/sql/condition.h"

#include <cstring>
#include <new>

#include "common/text/x_time.h"
#include "native/access/data_access.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/convert_variant.h"
#include "native/model/record.h"
#include "native/sql/host_info_order_by.h"
#include "native/sql/sql_parser_info.h"

namespace {

template <class T>
void Hold(T*& pclField, T* pclNew)
{
    if (pclNew != nullptr)
        REF_AddRef(pclNew);
    T* pclFormer = pclField;
    pclField = pclNew;
    if (pclFormer != nullptr)
        REF_Release(pclFormer);
}

bool bTextItemType(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_TEXTE || eType == NA_IT_MEMOTEXTE || eType == NA_IT_CHAR || eType == NA_IT_UNICODE ||
           eType == NA_IT_MEMOUNICODE;
}

}  // namespace

CNAExpression::CNAExpression(CNAError* pclError) : m_pclError(pclError)
{
    if (m_pclError != nullptr)
        REF_AddRef(m_pclError);
}

CNAExpression::~CNAExpression()
{
    _ReleaseChildren();
    Hold(m_pclColumn, static_cast<CNAColumn*>(nullptr));
    Hold(m_pclValue, static_cast<CNAConvertVariant*>(nullptr));
    Hold(m_pclSourceQuery, static_cast<CSQLParserInfo*>(nullptr));
    delete m_pclColumnNull;
    if (m_pclError != nullptr)
        REF_Release(m_pclError);
}

void CNAExpression::_ReleaseChildren()
{
    Hold(m_pclLeft, static_cast<CNAExpression*>(nullptr));
    Hold(m_pclRight, static_cast<CNAExpression*>(nullptr));
}

CNAExpression* CNAExpression::pclAllocExpression()
{
    return new (std::nothrow) CNAExpression(m_pclError);
}

void CNAExpression::_SetFlag(unsigned nFlags)
{
    m_nFlags = nFlags;
    if (m_pclColumn == nullptr || (nFlags & FLAG_GENERIC) == 0 || (nFlags & FLAG_COMPOSED_KEY) == 0 ||
        !bTextItemType(m_pclColumn->eNAGetItemType()))
        return;
    // A generic bound on a composite key's text component is a prefix only
    // when there is one.
    CAny clValue;
    const wchar_t* pszText = nullptr;
    if (m_pclValue != nullptr && m_pclValue->bGetValue(&clValue))
        pszText = NA_pszWideTextOf(&clValue);
    if (pszText == nullptr || pszText[0] == L'\0')
        m_nFlags &= ~static_cast<unsigned>(FLAG_GENERIC);
}

void CNAExpression::InitExpression(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight, unsigned nFlags)
{
    m_eOperator = eOp;
    Hold(m_pclLeft, pclLeft);
    Hold(m_pclRight, pclRight);
    _SetFlag(nFlags);
}

void CNAExpression::InitExpression(eNAOperator eOp, CNAColumn* pclColumn, CNAConvertVariant* pclValue,
                                   unsigned nFlags)
{
    m_eOperator = eOp;
    Hold(m_pclColumn, pclColumn);
    Hold(m_pclValue, pclValue);
    Hold(m_pclSourceQuery, pclColumn != nullptr ? pclColumn->pclGetSourceQueryNoRef() : nullptr);
    _SetFlag(nFlags);
}

int CNAExpression::InitExpression(ISQLParserInformation* piCondition, unsigned nFlags)
{
    m_eOperator = NA_OP_SQL;
    auto* pclQuery = new (std::nothrow) CSQLParserInfo(m_pclError, piCondition, nullptr, 1);
    Hold(m_pclSourceQuery, pclQuery);
    _SetFlag(nFlags);
    return pclQuery != nullptr;
}

CNAExpression* CNAExpression::pclAllocExpression(eNAOperator eOp, CNAExpression* pclLeft, CNAExpression* pclRight,
                                                 unsigned nFlags)
{
    CNAExpression* pclNew = pclAllocExpression();
    if (pclNew != nullptr)
        pclNew->InitExpression(eOp, pclLeft, pclRight, nFlags);
    return pclNew;
}

CNAExpression* CNAExpression::pclAllocExpression(eNAOperator eOp, CNAColumn* pclColumn, CNAConvertVariant* pclValue,
                                                 unsigned nFlags)
{
    CNAExpression* pclNew = pclAllocExpression();
    if (pclNew != nullptr)
        pclNew->InitExpression(eOp, pclColumn, pclValue, nFlags);
    return pclNew;
}

CNAExpression* CNAExpression::pclAllocExpression(ISQLParserInformation* piCondition, unsigned nFlags)
{
    CNAExpression* pclNew = pclAllocExpression();
    if (pclNew != nullptr && !pclNew->InitExpression(piCondition, nFlags)) {
        delete pclNew;
        return nullptr;
    }
    return pclNew;
}

CNAExpression* CNAExpression::pclAddOperation(eNAOperator eOp, CNAExpression* pclOther)
{
    return pclAllocExpression(eOp, this, pclOther, m_nFlags);
}

CNAExpression* CNAExpression::pclClone()
{
    if (m_eOperator == NA_OP_SQL) {
        CNAExpression* pclNew = pclAllocExpression();
        if (pclNew != nullptr) {
            pclNew->m_eOperator = NA_OP_SQL;
            Hold(pclNew->m_pclSourceQuery, m_pclSourceQuery);
            pclNew->m_nFlags = m_nFlags;
        }
        return pclNew;
    }
    if (m_eOperator > NA_OP_NOT || m_eOperator == NA_OP_NONE)
        return pclAllocExpression(m_eOperator, m_pclColumn, m_pclValue, m_nFlags);
    CNAExpression* pclLeft = m_pclLeft != nullptr ? m_pclLeft->pclClone() : nullptr;
    CNAExpression* pclRight = m_pclRight != nullptr ? m_pclRight->pclClone() : nullptr;
    CNAExpression* pclNew = nullptr;
    if ((m_pclLeft == nullptr || pclLeft != nullptr) && (m_pclRight == nullptr || pclRight != nullptr))
        pclNew = pclAllocExpression(m_eOperator, pclLeft, pclRight, m_nFlags);
    // The children made here that no node took go.
    if (pclNew == nullptr) {
        delete pclLeft;
        delete pclRight;
    }
    return pclNew;
}

void CNAExpression::Insert(CNAExpression* pclOld, CNAExpression* pclNew)
{
    if (pclOld == nullptr)
        return;
    if (m_pclLeft == pclOld)
        Hold(m_pclLeft, pclNew);
    else if (m_pclRight == pclOld)
        Hold(m_pclRight, pclNew);
}

CNAExpression* CNAExpression::pclTransformEqualTo(CNARecord* pclRecord, CNAExpression* pclParent, eNAOperator eOp)
{
    if (m_eOperator == NA_OP_AND || m_eOperator == NA_OP_OR || m_eOperator == NA_OP_NOT) {
        if (m_pclLeft != nullptr)
            (void)m_pclLeft->pclTransformEqualTo(pclRecord, this, eOp);
        if (m_pclRight != nullptr)
            (void)m_pclRight->pclTransformEqualTo(pclRecord, this, eOp);
        return this;
    }
    if (m_eOperator != NA_OP_EQ || m_pclColumn == nullptr)
        return this;
    // The continuation's direction in the query's order: a column sorted
    // descending continues the other way, and the generic text rule below
    // is then chosen for that direction.
    eNAOperator eContinue = eOp;
    if (s_eGetSensTriColonne(pclRecord, m_pclColumn) == 1)
        eContinue = s_eInvertOperator(eOp);
    const eNA_ITEMTYPE eType = m_pclColumn->eNAGetItemType();
    const bool bText = eType == NA_IT_TEXTE || eType == NA_IT_MEMOTEXTE || eType == NA_IT_UNICODE ||
                       eType == NA_IT_MEMOUNICODE;
    CAny clValue;
    const bool bValue = m_pclValue != nullptr && m_pclValue->bGetValue(&clValue) && !clValue.bIsNull();
    if (!bText || !bIsGenerique() || !bValue || (eContinue != NA_OP_GT && eContinue != NA_OP_LT)) {
        m_eOperator = eContinue;
        return this;
    }
    if (eContinue == NA_OP_LT) {
        m_eOperator = NA_OP_LT;
        return this;
    }
    // (NOT (k LIKE p%)) AND (k > p): past the prefix's group.
    CNAExpression* pclGreater = pclAllocExpression(NA_OP_GT, m_pclColumn, m_pclValue, m_nFlags);
    if (pclGreater == nullptr)
        return this;
    CNAExpression* pclNot = pclAllocExpression(NA_OP_NOT, this, nullptr, m_nFlags);
    if (pclNot == nullptr) {
        delete pclGreater;
        return this;
    }
    CNAExpression* pclAnd = pclAllocExpression(NA_OP_AND, pclNot, pclGreater, m_nFlags);
    if (pclAnd == nullptr) {
        delete pclNot;  // releases this node's reference, never the last
        delete pclGreater;
        return this;
    }
    if (pclParent != nullptr)
        pclParent->Insert(this, pclAnd);
    return pclAnd;
}

const wchar_t* CNAExpression::s_pszDumpOp(eNAOperator eOp)
{
    switch (eOp) {
    case NA_OP_OR: return L" OR ";
    case NA_OP_AND: return L" AND ";
    case NA_OP_NOT: return L" NOT ";
    case NA_OP_EQ: return L"=";
    case NA_OP_GT: return L">";
    case NA_OP_LT: return L"<";
    case NA_OP_GE: return L">=";
    case NA_OP_LE: return L"<=";
    case NA_OP_FALSE: return L"0=1";
    case NA_OP_TRUE: return L"1=1";
    case NA_OP_NE: return L"<>";
    case NA_OP_IS_NULL: return L" IS NULL";
    case NA_OP_IS_NOT_NULL: return L"IS NOT NULL";
    default: return L"";
    }
}

eOPEXPRESSION CNAExpression::Convert_eNAOperator_To_eOPEXPRESSION(eNAOperator eOp)
{
    int n = -1;
    switch (eOp) {
    case NA_OP_EQ: n = 9; break;
    case NA_OP_GT: n = 13; break;
    case NA_OP_LT: n = 11; break;
    case NA_OP_GE: n = 14; break;
    case NA_OP_LE: n = 12; break;
    case NA_OP_NE: n = 10; break;
    case NA_OP_IS_NULL: n = 33; break;
    default: break;
    }
    return static_cast<eOPEXPRESSION>(n);
}

eNAOperator CNAExpression::s_eInvertOperator(eNAOperator eOp)
{
    switch (eOp) {
    case NA_OP_GT: return NA_OP_LT;
    case NA_OP_LT: return NA_OP_GT;
    case NA_OP_GE: return NA_OP_LE;
    case NA_OP_LE: return NA_OP_GE;
    default: return eOp;
    }
}

namespace {

bool bTextTypeCode(unsigned short nCode)
{
    return (nCode >= 16 && nCode <= 25) || nCode == 81 || nCode == 110 || nCode == 128 || nCode == 129 ||
           nCode == 134;
}

bool bWideTypeCode(unsigned short nCode)
{
    return nCode == 16 || nCode == 20 || nCode == 24 || nCode == 25 || nCode == 81 || nCode == 110;
}

}  // namespace

int CNAExpression::s_bExpressionTrue(eNAOperator eOp, CNAConnectionDescription* pclConnection, const CAny* pclValue)
{
    if (pclValue == nullptr || (eOp != NA_OP_GE && eOp != NA_OP_LE))
        return 0;
    const unsigned short nCode = pclValue->nGetTypeCode();
    if (nCode == ZLTYPE_BOOL) {
        if (pclValue->bIsNull())
            return 0;
        long n = 0;
        if (pclValue->nGetINT_64(&n) > 99)
            return 0;
        return eOp == NA_OP_GE ? n == 0 : n != 0;
    }
    if (!bTextTypeCode(nCode))
        return 0;
    if (pclValue->bIsNull()) {
        const int bNullFirst = pclConnection == nullptr || pclConnection->bNULLBeforeNotNULL();
        return eOp == NA_OP_GE ? bNullFirst : !bNullFirst;
    }
    if (bWideTypeCode(nCode)) {
        const wchar_t* psz = nullptr;
        if (pclValue->Objet().nGetPCWSTR(&psz) > 99 || psz == nullptr)
            return 0;
        if (eOp == NA_OP_GE)
            return psz[0] == L'\0';
        // The largest code unit of 16-bit text, or of the runtime's own.
        const auto nFirst = static_cast<uint32_t>(psz[0]);
        return nFirst == 0xFFFFu || nFirst == 0xFFFFFFFFu;
    }
    const char* psz = nullptr;
    if (pclValue->Objet().nGetPCASTR(&psz) > 99 || psz == nullptr)
        return 0;
    if (eOp == NA_OP_GE)
        return psz[0] == '\0';
    // Exactly the one byte 0xFF: the second byte is read only once the
    // first is known not to end the text.
    return static_cast<unsigned char>(psz[0]) == 0xFF && psz[1] == '\0';
}

int CNAExpression::s_eGetSensTriColonne(CNARecord* pclRecord, CNAColumn* pclColumn)
{
    if (pclRecord == nullptr || pclColumn == nullptr)
        return 0;
    CNADataAccess* pclAccess = pclRecord->pclGetDataAccessNoRef();
    if (pclAccess == nullptr || !pclAccess->bIsQuery())
        return 0;
    CSQLParserInfo* pclQuery = pclAccess->pclGetSourceQueryNoRef();
    if (pclQuery == nullptr)
        return 0;
    IInfoOrderBy* piOrder = pclQuery->piGetRubriqueClauseOrder(pclColumn);
    return piOrder != nullptr && piOrder->nGetDirection() == 1 ? 1 : 0;
}

namespace {

// The bound as the runtime's text of the item type's full form.
int bBoundText(eNA_ITEMTYPE eType, const CXTime& clTime, CAny* pclOut)
{
    CTString csText;
    if (eType == NA_IT_HEURE)
        clTime.GetZLTimeHHMMSSCCm(csText);
    else if (eType == NA_IT_DATE8)
        clTime.GetZLDate(csText);
    else
        clTime.GetZLTimeAAAAMMJJHHMMSSCCm(csText);
    return NA_bSetWideText(pclOut, ZLTYPE_DSTRW, csText.pszGet());
}

int bDateBound(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclOut, bool bMax)
{
    if (pclValue == nullptr || pclOut == nullptr)
        return 0;
    CAny clText(*pclValue);
    const wchar_t* pszText = NA_pszWideTextOf(&clText);
    if (pszText == nullptr)
        return 0;
    CXTime clTime;
    int bDone;
    if (eType == NA_IT_HEURE)
        bDone = bMax ? clTime.bSetZLTimeMax(pszText, 0) : clTime.bSetZLTimeMin(pszText, 0);
    else
        bDone = bMax ? clTime.bSetZLDateTimeMax(pszText, 0) : clTime.bSetZLDateTimeMin(pszText, 0);
    return bDone && bBoundText(eType, clTime, pclOut);
}

}  // namespace

int CNAExpression::s_bGetBorneRechercheDateMin(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMin)
{
    return bDateBound(eType, pclValue, pclMin, false);
}

int CNAExpression::s_bGetBorneRechercheDateMax(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMax)
{
    return bDateBound(eType, pclValue, pclMax, true);
}

int CNAExpression::s_bGetBorneRechercheDateGenerique(eNA_ITEMTYPE eType, const CAny* pclValue, CAny* pclMin,
                                                     CAny* pclMax)
{
    if (!s_bGetBorneRechercheDateMin(eType, pclValue, pclMin))
        return 0;
    if (!s_bGetBorneRechercheDateMax(eType, pclValue, pclMax))
        pclMax->SetNull();
    return 1;
}
