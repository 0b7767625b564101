// The walk of a parsed expression tree: each node's opening text, the node
// written for the connection (a literal as a command parameter, a column by
// its formatted name, an operator or function by the name the connection's
// kind uses), its operands, then its closing text. The item description of
// the last column written is carried along to type the literals next to it.
#include <cwchar>

#include "common/text/ct_string.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/wide_text_value.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"
#include "native/sql/command_query_writer.h"
#include "native/sql/host_expression.h"
#include "native/sql/sql_parser_info.h"

namespace {

// Deeper trees are not walked: the host never builds them, and a walk
// without end must not exhaust the stack.
constexpr int kMaxDepth = 256;

bool bIn(int n, int nLow, int nHigh)
{
    return n >= nLow && n <= nHigh;
}

int nItemType(const INAItemDescription* piItem)
{
    return piItem != nullptr ? static_cast<int>(piItem->eNAGetItemType()) : 0;
}

bool bDateType(int n)
{
    return n == NA_IT_DATE6 || n == NA_IT_DATE8 || n == NA_IT_DATETIME;
}

bool bTextType(int n)
{
    return n == NA_IT_TEXTE || n == NA_IT_MEMOTEXTE || n == NA_IT_UNICODE || n == NA_IT_MEMOUNICODE;
}

// The runtime type codes of text values (a LIKE pattern is one of them).
bool bTextValueCode(unsigned n)
{
    return bIn(static_cast<int>(n), 16, 25) || n == 81 || n == 110 || n == 128 || n == 129 || n == 134;
}

// An empty value that a date compared with stands for NULL: no value at
// all, or a date or text value whose text is empty. A NULL value is not one.
bool bEmptyDateValue(const CAny* pclValue)
{
    if (pclValue == nullptr || pclValue->bIsNull())
        return false;
    const unsigned nCode = pclValue->nGetTypeCode();
    if (nCode == 0)
        return true;
    if (!bTextValueCode(nCode))
        return false;
    CAny clCopy(*pclValue);
    const wchar_t* psz = NA_pszWideTextOf(&clCopy);
    return psz != nullptr && psz[0] == L'\0';
}

}  // namespace

unsigned long NA_nNameLengthAt(const wchar_t* pszText, unsigned long n, unsigned long nAt)
{
    if (pszText == nullptr || nAt >= n)
        return 0;
    const wchar_t c = pszText[nAt];
    if (c == L'[' || c == L'"' || c == L'`') {
        const wchar_t cClose = c == L'[' ? L']' : c;
        for (unsigned long i = nAt + 1; i < n; ++i)
            if (pszText[i] == cClose)
                return i + 1 - nAt;
        return n - nAt;
    }
    unsigned long i = nAt;
    while (i < n && !CNACommand::s_bSeparateur(pszText[i]) && pszText[i] != L',' && pszText[i] != L';')
        ++i;
    return i - nAt;
}

CNAQueryWriter::CNAQueryWriter(CNACommand& clCommand, CSQLParserInfo* pclQuery, const wchar_t* pszText,
                               unsigned long* pnPosition)
    : m_clCommand(clCommand), m_pclQuery(pclQuery), m_pszText(pszText != nullptr ? pszText : L""),
      m_n(static_cast<unsigned long>(std::wcslen(m_pszText))), m_pnPosition(pnPosition)
{
    if (*m_pnPosition > m_n)
        *m_pnPosition = m_n;
}

unsigned long CNAQueryWriter::nBound(long nAt) const
{
    if (nAt < 0)
        return 0;
    return static_cast<unsigned long>(nAt) > m_n ? m_n : static_cast<unsigned long>(nAt);
}

void CNAQueryWriter::CopyTo(unsigned long nTo)
{
    if (nTo > m_n)
        nTo = m_n;
    if (nTo <= *m_pnPosition)
        return;
    (void)m_clCommand.bComplete(m_pszText + *m_pnPosition, nTo - *m_pnPosition);
    *m_pnPosition = nTo;
}

void CNAQueryWriter::SkipTo(unsigned long nTo)
{
    if (nTo > m_n)
        nTo = m_n;
    if (nTo > *m_pnPosition)
        *m_pnPosition = nTo;
}

int CNAQueryWriter::bPositionError()
{
    CNAError::g_RaiseSiteError(m_clCommand.m_pclError, NASite::kCommandParseOutsideText, m_clCommand.m_pclConnection,
                               nullptr, nullptr);
    return 0;
}

void CNAQueryWriter::_Opening(IExpOpExpression* piNode)
{
    const SQLPosition st = piNode->stGetPosition();
    if (st.nStart < 0)
        return;
    const unsigned long nStart = nBound(st.nStart);
    CopyTo(nStart);
    // A character-set marker of the host's own ("utf8" at the node's start)
    // means nothing to the server.
    if (nStart == *m_pnPosition && nStart + 4 <= m_n && std::wcsncmp(m_pszText + nStart, L"utf8", 4) == 0)
        SkipTo(nStart + 4);
}

void CNAQueryWriter::_Closing(IExpOpExpression* piNode)
{
    const SQLPosition st = piNode->stGetPosition();
    if (st.nStart < 0 || st.nStop < 0)
        return;
    CopyTo(nBound(st.nStop + 1));
}

int CNAQueryWriter::bTree(IExpOpExpression* piParent, IExpOpExpression* piRoot, CNASqlElt::eSQLELT eElement)
{
    if (piRoot == nullptr)
        return 1;
    return bNode(piParent, piRoot, eElement, 0);
}

int CNAQueryWriter::bNode(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement,
                          int nIndex)
{
    (void)nIndex;
    if (piNode == nullptr)
        return 1;
    if (m_nDepth >= kMaxDepth)
        return bPositionError();
    ++m_nDepth;
    int bDone = 1;
    switch (static_cast<int>(piNode->eGetOperator())) {
    case OPEXP_LITERAL:
        _Opening(piNode);
        bDone = _bLiteral(piParent, piNode, eElement);
        _Closing(piNode);
        break;
    case OPEXP_ITEM:
        _Opening(piNode);
        bDone = _bColumn(piParent, piNode, eElement);
        _Closing(piNode);
        break;
    case OPEXP_UNAVAILABLE:
        CNAError::g_RaiseSiteError(m_clCommand.m_pclError, NASite::kCommandOperatorNotAvailable,
                                   m_clCommand.m_pclConnection, nullptr, nullptr, L"MySQL");
        bDone = 0;
        break;
    default:
        bDone = _bOperator(piParent, piNode, eElement);
        break;
    }
    _TypeRetour(piNode->eGetOperator());
    --m_nDepth;
    return bDone;
}

int CNAQueryWriter::_bLiteral(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement)
{
    const SQLPosition st = piNode->stGetPosition();
    const CAny* pclValue = piNode->pclGetValue();
    // Kept as written: the connection does not want a parameter here, or
    // the literal has no place to take it from.
    if (pclValue == nullptr || st.nStart < 0 || st.nStop < st.nStart ||
        !m_clCommand._bShouldAddParameter(m_pclQuery, piParent, piNode, eElement, m_piCarried))
        return 1;
    CopyTo(nBound(st.nStart));
    SkipTo(nBound(st.nStop + 1));
    eOPEXPRESSION eOperator = piParent != nullptr ? piParent->eGetOperator() : OPEXP_NONE;
    unsigned nFlags = 524288;
    wchar_t cEscape = 0;
    if (eOperator == OPEXP_LIKE && bTextValueCode(pclValue->nGetTypeCode())) {
        nFlags = 786432;
        cEscape = piParent->wGetEscape();
    }
    // An operand the operator wants as text is handed over as text.
    CAny clText;
    if ((m_nOperandType == NA_IT_TEXTE || m_nOperandType == NA_IT_UNICODE) && !pclValue->bIsNull() &&
        !bTextValueCode(pclValue->nGetTypeCode())) {
        CAny clCopy(*pclValue);
        const wchar_t* psz = NA_pszWideTextOf(&clCopy);
        if (psz != nullptr && NA_bSetWideText(&clText, 16, psz))
            pclValue = &clText;
    }
    m_nOperandType = 0;
    const int nBefore = m_clCommand.nGetParameterNbr();
    if (!m_clCommand.bAddParameter(pclValue, eOperator, nFlags, nullptr, cEscape, CNAParameter::NA_PARAM_IN))
        return 0;
    if (m_clCommand.nGetParameterNbr() <= nBefore)
        return 0;
    CNAParameter* pclParameter = m_clCommand.pclGetParameterNoRef(static_cast<unsigned>(nBefore));
    if (m_piCarried != nullptr) {
        // Bound to the column too when the query's record has one for the
        // item; the item stays the one carried (the column's may differ).
        CNARecord* pclRecord = m_pclQuery != nullptr ? m_pclQuery->pclGetRecordNoRef() : nullptr;
        CNAColumn* pclColumn = pclRecord != nullptr ? pclRecord->pclGetColumnNoRef(m_piCarried) : nullptr;
        if (pclColumn != nullptr)
            pclParameter->SetColum(pclColumn);
        pclParameter->SetItem(m_piCarried);
    }
    return m_clCommand._FormatExpressionLiteral(pclParameter, m_piCarried, eOperator);
}

int CNAQueryWriter::_bColumn(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement)
{
    const SQLPosition st = piNode->stGetPosition();
    const wchar_t* pszTable = piNode->pszGetNomTable();
    const wchar_t* pszItem = piNode->pszGetNomRubrique();
    INAItemDescription* piItem = piNode->piGetItemDescription();
    const eOPEXPRESSION eOperator = piParent != nullptr ? piParent->eGetOperator() : OPEXP_NONE;
    int bDone = 1;
    IInfoRubrique* piOutput =
        m_pclQuery != nullptr ? m_pclQuery->piGetInfoRubriqueFromAlias(pszTable, pszItem) : nullptr;
    if (piOutput != nullptr && piOutput->eGetKind() != IInfoRubrique::KIND_ITEM) {
        // A calculated output item named by its alias: written as its
        // expression.
        bDone = m_clCommand.bFormatExpressionColonneCalculee(m_pclQuery, piOutput, eElement);
        piItem = nullptr;
    } else {
        const bool bOwnName = eElement == CNASqlElt::SQLELT_SELECT || eElement == CNASqlElt::SQLELT_WHERE ||
                              (eElement == CNASqlElt::SQLELT_HAVING && m_clCommand.nGetOption() != 1);
        if (piOutput != nullptr && bOwnName) {
            const wchar_t* pszOwnTable = piOutput->pszGetAliasTable();
            if (pszOwnTable == nullptr || pszOwnTable[0] == L'\0')
                pszOwnTable = piOutput->pszGetNomTable();
            if (pszTable != nullptr && pszTable[0] != L'\0')
                pszTable = pszOwnTable;
            pszItem = piOutput->pszGetNomRubrique();
        }
        bDone = m_clCommand.FormatExpressionItemName(pszTable, pszItem, piItem, eElement, eOperator);
        if (piNode->bIsOuterJoin())
            (void)m_clCommand.bComplete(L"(+)", 3);
    }
    // The column is written from its item, not from the text.
    if (st.nStart >= 0 && st.nStop >= st.nStart)
        SkipTo(nBound(st.nStop + 1));
    m_piCarried = piItem;
    return bDone;
}

int CNAQueryWriter::_nEmptyDate(IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement)
{
    const int nOperator = static_cast<int>(piNode->eGetOperator());
    CNAConnectionDescription* pclConnection = m_clCommand.m_pclConnection;
    if (!bIn(nOperator, OPEXP_EQUAL, OPEXP_SUPERIOR_EQUAL) || pclConnection == nullptr ||
        piNode->nGetOperandNbr() < 2)
        return -1;
    IExpOpExpression* piColumn = piNode->piGetOperand(0);
    IExpOpExpression* piLiteral = piNode->piGetOperand(1);
    if (piColumn == nullptr || piLiteral == nullptr || piColumn->eGetOperator() != OPEXP_ITEM ||
        piLiteral->eGetOperator() != OPEXP_LITERAL || !bDateType(nItemType(piColumn->piGetItemDescription())) ||
        !bEmptyDateValue(piLiteral->pclGetValue()) || !pclConnection->bTreatEmptyDateAsNULL())
        return -1;
    // By operator (= <> < <= > >=): NULL sorting first, then last. A form
    // that starts with "IS" follows the column; the others stand for the
    // whole comparison.
    static const wchar_t* const kForms[6][2] = {
        {L" IS NULL ", L" IS NULL "}, {L" IS NOT NULL ", L" IS NOT NULL "}, {L" 0=1 ", L" IS NOT NULL "},
        {L" IS NULL ", L" 1=1 "},     {L" IS NOT NULL ", L" 0=1 "},          {L" 1=1 ", L" IS NULL "},
    };
    const wchar_t* pszForm = kForms[nOperator - OPEXP_EQUAL][pclConnection->bNULLBeforeNotNULL() ? 0 : 1];
    _Opening(piNode);
    int bDone = 1;
    if (pszForm[1] == L'I')
        bDone = bNode(piNode, piColumn, eElement, 0);
    (void)m_clCommand.bComplete(pszForm, static_cast<unsigned long>(-1));
    const SQLPosition st = piLiteral->stGetPosition();
    if (st.nStop >= 0)
        SkipTo(nBound(st.nStop + 1));
    _Closing(piNode);
    return bDone;
}

int CNAQueryWriter::_bOperator(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement)
{
    (void)piParent;
    const int nEmpty = _nEmptyDate(piNode, eElement);
    if (nEmpty >= 0)
        return nEmpty;
    const eOPEXPRESSION eOperator = piNode->eGetOperator();
    _Opening(piNode);
    // The name the connection's kind uses, in place of the host's.
    const wchar_t* pszName = m_clCommand._FormatExpressionOperator(eOperator);
    if (pszName != nullptr) {
        const SQLPosition st = piNode->stGetPosition();
        if (st.nStart >= 0 && nBound(st.nStart) == *m_pnPosition)
            SkipTo(*m_pnPosition + NA_nNameLengthAt(m_pszText, m_n, *m_pnPosition));
        (void)m_clCommand.bComplete(pszName, static_cast<unsigned long>(-1));
    }
    const bool bFunction = CSQLParserInfo::s_bIsFunction(eOperator) != 0;
    if (bFunction)
        m_clCommand._vConvertirFonction(piNode);
    // A function's arguments may be rewritten for the connection's kind:
    // before each operand and behind the last one.
    const auto arguments = [this, piNode, bFunction]() {
        if (!bFunction)
            return;
        m_clCommand._FormatExpressionArgument(piNode, m_pszText, m_pnPosition);
        if (*m_pnPosition > m_n)
            *m_pnPosition = m_n;
    };
    const int nOperands = piNode->nGetOperandNbr();
    for (int i = 0; i < nOperands; ++i) {
        if (i > 0) {
            if (m_clCommand._vbSkipOperande(piNode, i))
                continue;
            if (eOperator == 0 || eOperator == 2 || eOperator == 4 || eOperator == 5)
                (void)m_clCommand._vbFormatExpressionOperatorEntreOperande(piNode, i);
        }
        arguments();
        m_nOperandType = _eTypeParameter(piNode, i, eElement);
        if (!bNode(piNode, piNode->piGetOperand(i), eElement, i))
            return 0;
    }
    if (nOperands > 0)
        arguments();
    _Closing(piNode);
    return 1;
}

int CNAQueryWriter::_eTypeParameter(IExpOpExpression* piNode, int nIndex, CNASqlElt::eSQLELT eElement)
{
    const int nOperator = static_cast<int>(piNode->eGetOperator());
    const int nLast = piNode->nGetOperandNbr() - 1;
    const auto drop = [this](int nType) {
        m_piCarried = nullptr;
        return nType;
    };
    switch (nOperator) {
    case 1:
    case 3:
        return nIndex == 0 ? nItemType(m_piCarried) : 0;
    case 59:
    case 70:
        return nIndex == 1 ? drop(0) : 0;
    case 74:
    case 107:
        return drop(0);
    case 88: {
        const int nCodePage =
            m_clCommand.m_pclConnection != nullptr ? m_clCommand.m_pclConnection->nGetClientTextCodePage() : 0;
        return drop(nCodePage == 65001 || nCodePage == -2 ? NA_IT_UNICODE : NA_IT_TEXTE);
    }
    case 94:
    case 106:
        if (nIndex == 0)
            return 0;
        return (nIndex % 2 == 0 || nIndex == nLast) ? drop(0) : 0;
    case 98:
        if (nIndex == 0)
            return bDateType(nItemType(m_piCarried)) ? 0 : NA_IT_DATETIME;
        return nIndex == 1 ? drop(NA_IT_I4) : 0;
    case 99:
        return nIndex == 0 ? NA_IT_DATE8 : 0;
    case 100:
        return NA_IT_DATE8;
    case 101:
        if (nIndex == 0)
            return NA_IT_DATE8;
        return nIndex == 1 ? drop(0) : 0;
    case 102:
        if (nIndex == 0)
            return NA_IT_DATETIME;
        return nIndex == 1 || nIndex == 2 ? drop(NA_IT_TEXTE) : 0;
    default:
        if (m_piCarried == nullptr)
            return 0;
        return m_clCommand.eGetFormatExpressionColonne(
            eElement, static_cast<eNA_ITEMTYPE>(nItemType(m_piCarried)), static_cast<eOPEXPRESSION>(nOperator), 0);
    }
}

void CNAQueryWriter::_TypeRetour(eOPEXPRESSION eOperator)
{
    const int n = static_cast<int>(eOperator);
    const int nType = nItemType(m_piCarried);
    bool bKeep = true;
    if (n == 7 || bIn(n, 9, 26) || bIn(n, 31, 33) || n == 48 || n == 49 || bIn(n, 54, 58) || n == 73 || n == 74 ||
        bIn(n, 77, 79) || bIn(n, 89, 96) || n == 100 || bIn(n, 106, 108) || bIn(n, 115, 117) || n == 135 ||
        bIn(n, 150, 155))
        bKeep = false;
    else if (bIn(n, 42, 46) || bIn(n, 50, 53) || n == 75 || n == 76 || bIn(n, 80, 88) || n == 105 ||
             bIn(n, 118, 130))
        bKeep = bTextType(nType);
    else if (bIn(n, 97, 99) || n == 101 || n == 102 || n == 104 || n == 109)
        bKeep = bDateType(nType);
    if (!bKeep)
        m_piCarried = nullptr;
}
