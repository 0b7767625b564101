// Writing a condition tree: constant folding, the inner nodes, the parsed
// condition, taking text and parameters back, and the bookkeeping of the
// columns whose NULL values the written condition still selects.
#include <new>

#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/convert_variant.h"
#include "native/sql/command.h"
#include "native/sql/condition.h"
#include "native/sql/condition_parameters.h"
#include "native/sql/sql_parser_info.h"

namespace {

// No memory for a node's NULL-selection list.
constexpr stNAErrorSite kConditionNullListNoMemory{NA_SRC_EXPRESSION, 1, 12, NA_ERR_GENERAL};

bool bFolds(const CNAExpression* pclNode, eNAOperator eOp)
{
    return pclNode != nullptr && pclNode->eGetOperator() == eOp;
}

}  // namespace

CNAExpression::SWritten CNAExpression::_Mark(CNACommand* pclCommand, CNAConditionParameters* pclSearch)
{
    return {pclCommand->nGetOriginalLength(), pclCommand->nGetParameterNbr(),
            pclSearch != nullptr ? pclSearch->nGetNbParameter() : 0};
}

// By counts, not by positions: a value bound at the very end of the text
// that stays has the position of the cut.
void CNAExpression::_TakeBack(CNACommand* pclCommand, CNAConditionParameters* pclSearch, const SWritten& stMark)
{
    pclCommand->TakeBack(stMark.nLength, stMark.nCommandParameters);
    if (pclSearch != nullptr)
        pclSearch->_RemoveParametersFrom(stMark.nSearchParameters);
}

int CNAExpression::_bEnsureColumnNull()
{
    if (m_pclColumnNull != nullptr)
        return 1;
    m_pclColumnNull = new (std::nothrow) CColumnNullValueExcluded();
    if (m_pclColumnNull != nullptr)
        return 1;
    CNAError::g_RaiseSiteError(m_pclError, kConditionNullListNoMemory, nullptr, nullptr, nullptr);
    return 0;
}

void CNAExpression::_MarkColumnNull(int bSelected)
{
    if (m_pclColumn == nullptr || !_bEnsureColumnNull())
        return;
    m_pclColumnNull->Reset();
    // An unlisted column counts as selecting: only a 0 is listed.
    (void)m_pclColumnNull->bCombineColumnValuesNullSelected(NA_OP_AND, m_pclColumn, bSelected ? 1 : 0);
}

int CNAExpression::bColumnValuesNullSelected(const CNAColumn* pclColumn)
{
    if (m_pclColumnNull != nullptr)
        return m_pclColumnNull->bColumnValuesNullSelected(pclColumn);
    if (pclColumn == nullptr || pclColumn != m_pclColumn || m_pclColumn->bIsComposedKey() || m_pclValue == nullptr)
        return 1;
    if (m_eOperator != NA_OP_EQ && m_eOperator != NA_OP_NE && m_eOperator != NA_OP_GT && m_eOperator != NA_OP_LT)
        return 1;
    const int bNull = m_pclColumn->bNullOrEquivalent(m_pclValue);
    if (m_eOperator == NA_OP_EQ)
        return bNull;
    if (m_eOperator == NA_OP_NE)
        return !bNull;
    CNAConnectionDescription* pclConnection = m_pclColumn->pclGetCnx();
    const int bNullFirst = pclConnection == nullptr || pclConnection->bNULLBeforeNotNULL();
    return (m_eOperator == NA_OP_GT) == (bNullFirst != 0) ? bNull : !bNull;
}

eNAOperator CNAExpression::_eProcessBoolean() const
{
    if (m_eOperator < NA_OP_GT || m_eOperator > NA_OP_LE || m_pclColumn == nullptr || m_pclValue == nullptr ||
        m_pclColumn->eNAGetItemType() != NA_IT_BOOLEEN)
        return NA_OP_NONE;
    CAny clValue;
    if (!m_pclValue->bGetValue(&clValue) || clValue.bIsNull())
        return NA_OP_NONE;
    const unsigned short nCode = clValue.nGetTypeCode();
    if (nCode != ZLTYPE_BOOL && nCode != ZLTYPE_UI4 && nCode != ZLTYPE_I4)
        return NA_OP_NONE;
    long n = 0;
    if (clValue.nGetINT_64(&n) > 99)
        return NA_OP_NONE;
    const bool bTrue = n != 0;
    switch (m_eOperator) {
    case NA_OP_GT: return bTrue ? NA_OP_FALSE : NA_OP_NE;
    case NA_OP_LT: return bTrue ? NA_OP_NE : NA_OP_FALSE;
    case NA_OP_GE: return bTrue ? NA_OP_EQ : NA_OP_TRUE;
    default: return bTrue ? NA_OP_TRUE : NA_OP_EQ;
    }
}

eNAOperator CNAExpression::_eProcessString() const
{
    if (m_pclColumn == nullptr || m_pclValue == nullptr)
        return NA_OP_NONE;
    CAny clValue;
    if (!m_pclValue->bGetValue(&clValue) || clValue.bIsNull())
        return NA_OP_NONE;
    return s_bExpressionTrue(m_eOperator, m_pclColumn->pclGetCnx(), &clValue) ? NA_OP_TRUE : NA_OP_NONE;
}

int CNAExpression::bGetSQL(CNACommand* pclCommand, eNAOperator eParent, CNAConditionParameters* pclSearch,
                           int* pnDropped, CNARecord* pclRecord)
{
    int nDroppedHere = 0;
    if (pnDropped == nullptr)
        pnDropped = &nDroppedHere;
    *pnDropped = 0;
    if (m_pclColumnNull != nullptr)
        m_pclColumnNull->Reset();
    if (m_eOperator == NA_OP_NONE)
        return 1;
    if (pclCommand == nullptr)
        return 0;

    // Constant children fold the node away before anything is written.
    if (m_eOperator == NA_OP_AND || m_eOperator == NA_OP_OR) {
        const eNAOperator eAbsorbing = m_eOperator == NA_OP_AND ? NA_OP_FALSE : NA_OP_TRUE;
        const eNAOperator eNeutral = m_eOperator == NA_OP_AND ? NA_OP_TRUE : NA_OP_FALSE;
        if (bFolds(m_pclLeft, eAbsorbing) || bFolds(m_pclRight, eAbsorbing)) {
            *pnDropped = eAbsorbing;
            return 1;
        }
        CNAExpression* pclOther = nullptr;
        if (bFolds(m_pclLeft, eNeutral))
            pclOther = m_pclRight;
        else if (bFolds(m_pclRight, eNeutral))
            pclOther = m_pclLeft;
        if (pclOther != nullptr || bFolds(m_pclLeft, eNeutral)) {
            if (pclOther == nullptr || bFolds(pclOther, eNeutral)) {
                *pnDropped = eNeutral;
                return 1;
            }
            const int bDone = pclOther->bGetSQL(pclCommand, eParent, pclSearch, pnDropped, pclRecord);
            if (bDone && *pnDropped == 0 && pclOther->m_pclColumnNull != nullptr && _bEnsureColumnNull())
                (void)m_pclColumnNull->bCopyColumnValuesNullSelected(pclOther->m_pclColumnNull, 0);
            return bDone;
        }
    }

    switch (m_eOperator) {
    case NA_OP_NOT:
        return _bGetSQLNot(pclCommand, pclSearch, pnDropped, pclRecord);
    case NA_OP_AND:
    case NA_OP_OR:
        return _bGetSQLAndOr(pclCommand, eParent, pclSearch, pnDropped, pclRecord);
    case NA_OP_SQL:
        return _bGetSQLFromSQL(pclCommand, pclSearch, pclRecord);
    default:
        break;
    }

    // A leaf: a comparison that a boolean or a trivially true bound makes
    // constant writes nothing; one made simpler is written in its simpler
    // form, the node itself unchanged.
    const eNAOperator eWritten = m_eOperator;
    eNAOperator eSimpler = _eProcessBoolean();
    if (eSimpler == NA_OP_NONE)
        eSimpler = _eProcessString();
    if (eSimpler == NA_OP_FALSE || eSimpler == NA_OP_TRUE) {
        *pnDropped = eSimpler;
        return 1;
    }
    if (eSimpler != NA_OP_NONE)
        m_eOperator = eSimpler;
    const int bDone = _bGetSQLFromValue(pclCommand, pclSearch, pnDropped);
    m_eOperator = eWritten;
    return bDone;
}

int CNAExpression::_bGetSQLFromSQL(CNACommand* pclCommand, CNAConditionParameters* pclSearch, CNARecord* pclRecord)
{
    if (m_pclSourceQuery == nullptr)
        return 0;
    if (m_pclSourceQuery->pclGetRecordNoRef() == nullptr && pclRecord != nullptr)
        m_pclSourceQuery->SetRecord(pclRecord);
    const int nFirst = pclCommand->nGetParameterNbr();
    if (!pclCommand->bAddFilterExpression(m_pclSourceQuery))
        return 0;
    if (pclSearch != nullptr)
        pclSearch->GetParameterFromQuery(pclCommand, static_cast<unsigned>(nFirst));
    return 1;
}

int CNAExpression::_bGetSQLNot(CNACommand* pclCommand, CNAConditionParameters* pclSearch, int* pnDropped,
                               CNARecord* pclRecord)
{
    const SWritten stStart = _Mark(pclCommand, pclSearch);
    if (m_pclLeft == nullptr)
        return 1;
    if (!pclCommand->bComplete(s_pszDumpOp(NA_OP_NOT), static_cast<unsigned long>(-1)) ||
        !pclCommand->bComplete(L"(", 1))
        return 0;
    int nChild = 0;
    if (!m_pclLeft->bGetSQL(pclCommand, NA_OP_NOT, pclSearch, &nChild, pclRecord))
        return 0;
    if (nChild != 0) {
        // NOT of a constant is the other constant.
        _TakeBack(pclCommand, pclSearch, stStart);
        *pnDropped = nChild == NA_OP_TRUE ? NA_OP_FALSE : NA_OP_TRUE;
        return 1;
    }
    if (!pclCommand->bComplete(L")", 1))
        return 0;
    if (m_pclLeft->m_pclColumnNull != nullptr) {
        if (!_bEnsureColumnNull())
            return 0;
        if (!m_pclColumnNull->bCopyColumnValuesNullSelected(m_pclLeft->m_pclColumnNull, 1))
            return 0;
    }
    return 1;
}

int CNAExpression::_bGetSQLAndOr(CNACommand* pclCommand, eNAOperator eParent, CNAConditionParameters* pclSearch,
                                 int* pnDropped, CNARecord* pclRecord)
{
    const SWritten stStart = _Mark(pclCommand, pclSearch);
    // Under an AND or a NOT, an AND or OR keeps its own meaning only in
    // parentheses.
    const bool bParentheses = eParent > NA_OP_OR;
    const eNAOperator eAbsorbing = m_eOperator == NA_OP_AND ? NA_OP_FALSE : NA_OP_TRUE;
    if (bParentheses && !pclCommand->bComplete(L"(", 1))
        return 0;
    int nLeft = 0;
    if (m_pclLeft != nullptr && !m_pclLeft->bGetSQL(pclCommand, m_eOperator, pclSearch, &nLeft, pclRecord))
        return 0;
    if (m_pclLeft == nullptr || nLeft != 0) {
        _TakeBack(pclCommand, pclSearch, stStart);
        if (nLeft == eAbsorbing) {
            *pnDropped = eAbsorbing;
            return 1;
        }
        if (m_pclRight == nullptr) {
            *pnDropped = nLeft != 0 ? nLeft : NA_OP_TRUE;
            return 1;
        }
        // The right child alone stands in the node's place.
        if (!m_pclRight->bGetSQL(pclCommand, eParent, pclSearch, pnDropped, pclRecord))
            return 0;
        if (*pnDropped == 0 && m_pclRight->m_pclColumnNull != nullptr) {
            if (!_bEnsureColumnNull() || !m_pclColumnNull->bCopyColumnValuesNullSelected(m_pclRight->m_pclColumnNull, 0))
                return 0;
        }
        return 1;
    }
    const SWritten stAfterLeft = _Mark(pclCommand, pclSearch);
    if (!pclCommand->bComplete(s_pszDumpOp(m_eOperator), static_cast<unsigned long>(-1)))
        return 0;
    int nRight = 0;
    if (m_pclRight != nullptr && !m_pclRight->bGetSQL(pclCommand, m_eOperator, pclSearch, &nRight, pclRecord))
        return 0;
    if (m_pclRight == nullptr || nRight != 0) {
        if (nRight == eAbsorbing) {
            _TakeBack(pclCommand, pclSearch, stStart);
            *pnDropped = eAbsorbing;
            return 1;
        }
        _TakeBack(pclCommand, pclSearch, stAfterLeft);
        if (bParentheses && !pclCommand->bComplete(L")", 1))
            return 0;
        if (m_pclLeft->m_pclColumnNull != nullptr) {
            if (!_bEnsureColumnNull() || !m_pclColumnNull->bCopyColumnValuesNullSelected(m_pclLeft->m_pclColumnNull, 0))
                return 0;
        }
        return 1;
    }
    if (bParentheses && !pclCommand->bComplete(L")", 1))
        return 0;
    // Both written: the lists combined by the operator. Under OR a child
    // without list selects every column's NULL values, so none is kept.
    CColumnNullValueExcluded* pclLeftList = m_pclLeft->m_pclColumnNull;
    CColumnNullValueExcluded* pclRightList = m_pclRight->m_pclColumnNull;
    if (pclLeftList == nullptr && pclRightList == nullptr)
        return 1;
    if (!_bEnsureColumnNull())
        return 0;
    if (m_eOperator == NA_OP_OR && (pclLeftList == nullptr || pclRightList == nullptr))
        return 1;
    if (pclLeftList != nullptr && !m_pclColumnNull->bCopyColumnValuesNullSelected(pclLeftList, 0))
        return 0;
    if (pclRightList != nullptr && !m_pclColumnNull->bCombineColumnValuesNullSelected(m_eOperator, pclRightList))
        return 0;
    return 1;
}
