// Writing a comparison: the column's name, the NULL forms and the NULL
// alternative of a browse, and the value as a parameter of the search, as a
// LIKE pattern, as an empty text literal or as the two bounds of a partial
// date.
#include <cwchar>
#include <string>

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/wide_text_value.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/sql/command.h"
#include "native/sql/condition.h"
#include "native/sql/condition_parameters.h"
#include "native/sql/sql_parser_info.h"

namespace {

constexpr unsigned long kUpToEnd = static_cast<unsigned long>(-1);

bool bNullFirst(CNAConnectionDescription* pclConnection)
{
    return pclConnection == nullptr || pclConnection->bNULLBeforeNotNULL();
}

}  // namespace

int CNAExpression::_FormatItemNameExp(CNACommand* pclCommand, eOPEXPRESSION eOperator)
{
    // A calculated column of a query is its expression.
    if (m_pclColumn->eGetTypeColonne() != 0 && m_pclSourceQuery != nullptr &&
        m_pclSourceQuery->piGetInfoRubriqueFromAlias(nullptr, m_pclColumn->pszGetName()) != nullptr)
        return pclCommand->bFormatExpressionColonneCalculee(m_pclSourceQuery, m_pclColumn->pszGetName(),
                                                           CNASqlElt::SQLELT_WHERE);
    return pclCommand->FormatExpressionItemName(m_pclColumn->pszGetAliasNomTable(), m_pclColumn->pszGetOriginalName(),
                                                m_pclColumn->piGetItemNoRef(), CNASqlElt::SQLELT_WHERE, eOperator);
}

int CNAExpression::_bNullAlternative(CNACommand* pclCommand) const
{
    if (m_pclColumn->bUniqueNotNull())
        return 0;
    CNAConnectionDescription* pclConnection = pclCommand->pclGetConnectionNoRef();
    const int nKind = pclConnection != nullptr ? pclConnection->nGetDBKind() : 0;
    if ((nKind == 8 || nKind == 11) && m_pclColumn->eGetTypeColonne() != 0)
        return 0;
    const int bCouldBeNull = m_pclValue != nullptr && m_pclValue->bCouldBeNullOnQF();
    if ((m_nFlags & FLAG_NULL_EQUIVALENT) != 0)
        return (m_eOperator == NA_OP_EQ || m_eOperator == NA_OP_GE) && bCouldBeNull;
    if ((m_nFlags & FLAG_NULL_NEVER) != 0)
        return 0;
    if (bNullFirst(pclConnection))
        return m_eOperator == NA_OP_LE || (m_eOperator == NA_OP_LT && !bCouldBeNull);
    return m_eOperator == NA_OP_GT || m_eOperator == NA_OP_GE;
}

int CNAExpression::_bAddValueParameter(CNACommand* pclCommand, CNAConditionParameters* pclSearch,
                                       const CAny* pclValue, int bLike)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return 0;
    const eOPEXPRESSION eOperator = Convert_eNAOperator_To_eOPEXPRESSION(m_eOperator);
    const int nAsType = bLike ? 0
                              : pclCommand->eGetFormatExpressionColonne(CNASqlElt::SQLELT_WHERE,
                                                                        m_pclColumn->eNAGetItemType(), eOperator, 0);
    // A value the dialect wants in another item type is converted, and
    // bound without its column; any other is typed for the column (a LIKE
    // pattern stays the text it is).
    CNAColumn* pclTyping = nAsType == 0 && !bLike ? m_pclColumn : nullptr;
    CNAConvertVariant* pclVariant =
        pclDriver->pclGetNewVariant_NV_Any(m_pclError, pclCommand->pclGetConnectionNoRef(), pclTyping, pclValue);
    if (pclVariant == nullptr)
        return 0;
    REF_AddRef(pclVariant);
    int bDone = 1;
    if (nAsType != 0)
        bDone = pclVariant->bChangeItemType(static_cast<eNA_ITEMTYPE>(nAsType), bIsGenerique());
    CNAParameter* pclParameter = nullptr;
    if (bDone) {
        CNAConditionParameters clOwn;
        CNAConditionParameters* pclHolder = pclSearch != nullptr ? pclSearch : &clOwn;
        const int nBefore = pclHolder->nGetNbParameter();
        pclParameter = pclHolder->_pclAddParameter(nAsType == 0 ? m_pclColumn : nullptr, pclVariant,
                                                   pclCommand->nGetOriginalLength(),
                                                   bLike ? static_cast<unsigned>(CNAParameter::PARAM_LIKE) : 0u);
        if (pclParameter != nullptr) {
            pclParameter->SetOperator(eOperator);
            bDone = pclCommand->bAddParameter(pclParameter);
            if (!bDone)
                pclHolder->_RemoveParametersFrom(nBefore);
        } else {
            bDone = 0;
        }
    }
    REF_Release(pclVariant);
    if (bDone && bLike)
        pclCommand->vAddEscapeLike(m_pclColumn->eNAGetItemTypeOnDatabaseEx());
    return bDone;
}

int CNAExpression::_bAddNullAlternative(CNACommand* pclCommand)
{
    return pclCommand->bComplete(s_pszDumpOp(NA_OP_OR), kUpToEnd) &&
           _FormatItemNameExp(pclCommand, static_cast<eOPEXPRESSION>(33)) &&
           pclCommand->bComplete(s_pszDumpOp(NA_OP_IS_NULL), kUpToEnd) && pclCommand->bComplete(L")", 1);
}

int CNAExpression::_bGetSQLFromValue(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int* pnDropped)
{
    int nDroppedHere = 0;
    if (pnDropped == nullptr)
        pnDropped = &nDroppedHere;
    *pnDropped = 0;
    if (m_eOperator == NA_OP_FALSE || m_eOperator == NA_OP_TRUE)
        return pclCommand->bComplete(s_pszDumpOp(m_eOperator), kUpToEnd);
    if (m_pclColumn == nullptr)
        return 0;
    CNAConnectionDescription* pclConnection = pclCommand->pclGetConnectionNoRef();

    CAny clValue;
    if (m_pclValue == nullptr || !m_pclValue->bGetValue(&clValue))
        clValue.SetNull();
    const eNA_ITEMTYPE eType = m_pclColumn->eNAGetItemType();
    if ((eType == NA_IT_DATE6 || eType == NA_IT_DATE8) && !clValue.bIsNull() && pclConnection != nullptr &&
        pclConnection->bTreat0000DateAsNULL()) {
        CAny clText(clValue);
        const wchar_t* pszText = NA_pszWideTextOf(&clText);
        if (pszText != nullptr && (pszText[0] == L'\0' || std::wcsncmp(pszText, L"00000000", 8) == 0))
            clValue.SetNull();
    }

    // The NULL forms.
    if (clValue.bIsNull() || m_eOperator == NA_OP_IS_NULL || m_eOperator == NA_OP_IS_NOT_NULL) {
        const bool bFirst = bNullFirst(pclConnection);
        bool bNotNull = false;
        switch (m_eOperator) {
        case NA_OP_GE:
        case NA_OP_LE:
            *pnDropped = NA_OP_TRUE;
            return 1;
        case NA_OP_GT:
            if (!bFirst) {
                *pnDropped = NA_OP_FALSE;
                return 1;
            }
            bNotNull = true;
            break;
        case NA_OP_LT:
            if (bFirst) {
                *pnDropped = NA_OP_FALSE;
                return 1;
            }
            bNotNull = true;
            break;
        case NA_OP_IS_NOT_NULL:
        // Different from NULL: every row that has a value.
        case NA_OP_NE:
            bNotNull = true;
            break;
        default:
            break;
        }
        if (!_FormatItemNameExp(pclCommand, Convert_eNAOperator_To_eOPEXPRESSION(m_eOperator)) ||
            !pclCommand->bComplete(bNotNull ? L" IS NOT NULL" : s_pszDumpOp(NA_OP_IS_NULL), kUpToEnd))
            return 0;
        _MarkColumnNull(!bNotNull);
        return 1;
    }

    const int bAlternative = _bNullAlternative(pclCommand);
    switch (eType) {
    case NA_IT_TEXTE:
    case NA_IT_MEMOTEXTE:
    case NA_IT_CHAR:
    case NA_IT_UNICODE:
    case NA_IT_MEMOUNICODE:
        return _bGetSQLFromValueString(pclCommand, pclSearch, bAlternative);
    case NA_IT_HEURE:
    case NA_IT_DATE8:
    case NA_IT_DATETIME:
        return _bGetSQLFromValueDateTime(pclCommand, pclSearch, bAlternative);
    default:
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, 0, bAlternative);
    }
}

int CNAExpression::_bGetSQLFromValueUsingParameter(CNACommand* pclCommand, CNAConditionParameters* pclSearch,
                                                   int bLike, int bNullAlternative)
{
    CAny clValue;
    if (m_pclValue == nullptr || !m_pclValue->bGetValue(&clValue))
        return 0;
    if (bNullAlternative && !pclCommand->bComplete(L"(", 1))
        return 0;
    if (!_FormatItemNameExp(pclCommand, Convert_eNAOperator_To_eOPEXPRESSION(m_eOperator)))
        return 0;
    if (bLike) {
        if (!pclCommand->bComplete(m_eOperator == NA_OP_EQ ? L" LIKE " : L" NOT LIKE ", kUpToEnd))
            return 0;
        // The value as the engine's LIKE pattern (no escape character),
        // a prefix when generic.
        const wchar_t* pszText = NA_pszWideTextOf(&clValue);
        CXYString<wchar_t> clEscaped;
        if (!pclCommand->bEscapeLIKEParamAsQFParam(&clEscaped, pszText != nullptr ? pszText : L"", 0))
            return 0;
        std::wstring pattern = clEscaped.pszGet() != nullptr ? clEscaped.pszGet() : L"";
        if (bIsGenerique())
            pattern += L'%';
        CAny clPattern;
        if (!NA_bSetWideText(&clPattern, ZLTYPE_DSTRW, pattern.c_str(), static_cast<long>(pattern.size())) ||
            !_bAddValueParameter(pclCommand, pclSearch, &clPattern, 1))
            return 0;
    } else if (!pclCommand->bComplete(s_pszDumpOp(m_eOperator), kUpToEnd) ||
               !_bAddValueParameter(pclCommand, pclSearch, &clValue, 0)) {
        return 0;
    }
    if (bNullAlternative && !_bAddNullAlternative(pclCommand))
        return 0;
    _MarkColumnNull(bNullAlternative);
    return 1;
}

int CNAExpression::_bGetSQLFromValueString(CNACommand* pclCommand, CNAConditionParameters* pclSearch,
                                           int bNullAlternative)
{
    CAny clValue;
    if (m_pclValue == nullptr || !m_pclValue->bGetValue(&clValue))
        return 0;
    const wchar_t* pszText = NA_pszWideTextOf(&clValue);
    const bool bEmpty = pszText == nullptr || pszText[0] == L'\0';
    CNAConnectionDescription* pclConnection = pclCommand->pclGetConnectionNoRef();
    const bool bEqualOrNot = m_eOperator == NA_OP_EQ || m_eOperator == NA_OP_NE;
    const bool bLike =
        bEqualOrNot && (bIsGenerique() || (pclConnection != nullptr && pclConnection->nGetDBKind() == 11));
    const eNA_ITEMTYPE eType = m_pclColumn->eNAGetItemType();
    if (!bEmpty || eType == NA_IT_UNICODE || eType == NA_IT_MEMOUNICODE)
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, bLike ? 1 : 0, bNullAlternative);
    // An empty 8-bit text: a literal.
    if (bNullAlternative && !pclCommand->bComplete(L"(", 1))
        return 0;
    if (!_FormatItemNameExp(pclCommand, Convert_eNAOperator_To_eOPEXPRESSION(m_eOperator)))
        return 0;
    int bDone;
    if (m_eOperator == NA_OP_EQ && bIsGenerique())
        bDone = pclCommand->bComplete(L"LIKE '%%'", kUpToEnd);
    else
        bDone = pclCommand->bComplete(s_pszDumpOp(m_eOperator), kUpToEnd) && pclCommand->bComplete(L"''", 2);
    if (!bDone || (bNullAlternative && !_bAddNullAlternative(pclCommand)))
        return 0;
    _MarkColumnNull(bNullAlternative);
    return 1;
}

int CNAExpression::_bAddBound(CNACommand* pclCommand, CNAConditionParameters* pclSearch, eNAOperator eOp,
                              const CAny* pclBound)
{
    const eNAOperator eNode = m_eOperator;
    m_eOperator = eOp;
    const int bDone = _FormatItemNameExp(pclCommand, Convert_eNAOperator_To_eOPEXPRESSION(eOp)) &&
                      pclCommand->bComplete(s_pszDumpOp(eOp), kUpToEnd) &&
                      _bAddValueParameter(pclCommand, pclSearch, pclBound, 0);
    m_eOperator = eNode;
    return bDone;
}

int CNAExpression::_bGetSQLFromValueDateTime(CNACommand* pclCommand, CNAConditionParameters* pclSearch,
                                             int bNullAlternative)
{
    const bool bEqualOrNot = m_eOperator == NA_OP_EQ || m_eOperator == NA_OP_NE;
    CAny clValue;
    if (!bEqualOrNot || !bIsGenerique() || m_pclValue == nullptr || !m_pclValue->bGetValue(&clValue))
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, 0, bNullAlternative);
    const eNA_ITEMTYPE eType = m_pclColumn->eNAGetItemType();
    CAny clText(clValue);
    const wchar_t* pszText = NA_pszWideTextOf(&clText);
    const size_t nLength = pszText != nullptr ? std::wcslen(pszText) : 0;
    size_t nFull = 17;
    if (eType == NA_IT_HEURE)
        nFull = m_pclColumn->nGetLogicalSize() > 0 ? static_cast<size_t>(m_pclColumn->nGetLogicalSize()) : 0;
    else if (eType == NA_IT_DATE8)
        nFull = 8;
    if (pszText == nullptr || nLength == nFull)
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, 0, bNullAlternative);
    CNAConnectionDescription* pclConnection = pclCommand->pclGetConnectionNoRef();
    // Time items kept as text match their prefix.
    if (eType == NA_IT_HEURE && pclConnection != nullptr && !pclConnection->bSupportItemTime())
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, 1, bNullAlternative);

    CAny clMin;
    CAny clMax;
    if (!s_bGetBorneRechercheDateGenerique(eType, &clText, &clMin, &clMax))
        return _bGetSQLFromValueUsingParameter(pclCommand, pclSearch, 0, bNullAlternative);
    int bDone;
    if (m_eOperator == NA_OP_EQ) {
        // Within [min, max[; without a first instant after the prefix,
        // from min on.
        bDone = _bAddBound(pclCommand, pclSearch, NA_OP_GE, &clMin);
        if (bDone && !clMax.bIsNull())
            bDone = pclCommand->bComplete(s_pszDumpOp(NA_OP_AND), kUpToEnd) &&
                    _bAddBound(pclCommand, pclSearch, NA_OP_LT, &clMax);
    } else if (clMax.bIsNull()) {
        bDone = _bAddBound(pclCommand, pclSearch, NA_OP_LT, &clMin);
    } else {
        // Outside [min, max[.
        bDone = pclCommand->bComplete(L"(", 1) && _bAddBound(pclCommand, pclSearch, NA_OP_LT, &clMin) &&
                pclCommand->bComplete(s_pszDumpOp(NA_OP_OR), kUpToEnd) &&
                _bAddBound(pclCommand, pclSearch, NA_OP_GE, &clMax) && pclCommand->bComplete(L")", 1);
    }
    if (!bDone)
        return 0;
    _MarkColumnNull(0);
    return 1;
}
