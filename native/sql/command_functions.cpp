// Function names and arguments by database kind (slots 29 and 26): the
// names some kinds spell otherwise, and the argument texts a rewritten
// function needs. MySQL (kind 5) keeps every name and argument as the host
// wrote them.
#include <cwchar>
#include <cwctype>
#include <string>

#include "native/driver/connection_description.h"
#include "native/sql/command.h"
#include "native/sql/command_query_writer.h"
#include "native/sql/host_expression.h"

namespace {

struct stFunctionName
{
    int nOperator;
    int anKinds[5];   // 0 ends the list
    const wchar_t* pszName;
};

constexpr stFunctionName kNames[] = {
    {7, {11}, L"NVL"},
    {8, {11}, L"NVL"},
    {42, {6}, L"SUBSTRING"},
    {42, {1, 11, 13}, L"SUBSTR"},
    {43, {6}, L"SUBSTRING"},
    {43, {1, 11, 13}, L"SUBSTR"},
    {44, {2, 4, 6}, L"SUBSTRING"},
    {44, {1, 8, 11}, L"SUBSTR"},
    {44, {7}, L"SYSIBM.SUBSTR"},
    {45, {7}, L"UCASE"},
    {46, {7}, L"LCASE"},
    {50, {2, 4, 6}, L"SUBSTRING"},
    {50, {7}, L"SYSIBM.SUBSTR"},
    {51, {7}, L"SYSIBM.SUBSTR"},
    {51, {1, 11, 13}, L"SUBSTR"},
    {52, {11}, L"TRIM"},
    {53, {11}, L"TRIM"},
    {54, {2}, L"LEN"},
    {54, {4}, L"CHAR_LENGTH"},
    {55, {1, 7, 8, 11, 13}, L"LENGTH"},
    {72, {1}, L"CEIL"},
    {75, {1}, L"SUBSTR"},
    {76, {1}, L"SUBSTR"},
    {77, {1}, L"LENGTH"},
    {78, {1}, L"LENGTH"},
    {79, {1}, L"LENGTHB"},
    {89, {1}, L"INSTR"},
    {92, {1}, L"TO_CHAR"},
    {92, {11}, L"SUBSTR(HEX"},
};

// Where in a function's text the walk stands: 0 before the first operand,
// i before operand i (behind operand i-1), the operand count behind the
// last one; -1 when an operand has no place in the text.
int nArgumentGap(IExpOpExpression* piNode, unsigned long nPosition)
{
    const int nOperands = piNode->nGetOperandNbr();
    for (int i = 0; i < nOperands; ++i) {
        IExpOpExpression* piOperand = piNode->piGetOperand(i);
        if (piOperand == nullptr || piOperand->stGetPosition().nStart < 0 || piOperand->stGetPosition().nStop < 0)
            return -1;
        if (nPosition <= static_cast<unsigned long>(piOperand->stGetPosition().nStart))
            return i;
    }
    return nOperands;
}

// The argument rewriting of one function node on one database kind. The
// text is read from the walk's position (never past the node's stop nor
// the text's end); what is written goes to the command.
class CArgumentRewriter
{
public:
    CArgumentRewriter(CNACommand& clCommand, IExpOpExpression* piNode, const wchar_t* pszText,
                      unsigned long* pnPosition)
        : m_clCommand(clCommand), m_clWriter(clCommand, nullptr, pszText, pnPosition), m_piNode(piNode),
          m_pszText(pszText), m_pnPosition(pnPosition), m_nEnd(nEnd(piNode, pszText))
    {
    }

    int nGap() const { return nArgumentGap(m_piNode, *m_pnPosition); }
    unsigned long nPosition() const { return *m_pnPosition; }
    unsigned long nLimit() const { return m_nEnd; }
    wchar_t cAt(unsigned long q) const { return q < m_nEnd ? m_pszText[q] : L'\0'; }
    unsigned long nSkipBlanks(unsigned long q) const
    {
        while (q < m_nEnd && std::iswspace(m_pszText[q]))
            ++q;
        return q;
    }
    // The text from the position up to q, as written; or the position
    // moved on to q. Never past the node.
    void CopyTo(unsigned long q) { m_clWriter.CopyTo(q < m_nEnd ? q : m_nEnd); }
    void SkipTo(unsigned long q) { m_clWriter.SkipTo(q < m_nEnd ? q : m_nEnd); }
    void Write(const wchar_t* psz) { (void)m_clCommand.bComplete(psz, static_cast<unsigned long>(-1)); }
    // An operand's own text, as written.
    std::wstring Operand(int i) const
    {
        IExpOpExpression* piOperand = m_piNode->piGetOperand(i);
        const SQLPosition st = piOperand != nullptr ? piOperand->stGetPosition() : SQLPosition{-1, -1};
        if (st.nStart < 0 || st.nStop < st.nStart || static_cast<unsigned long>(st.nStop) >= m_nEnd)
            return std::wstring();
        return std::wstring(m_pszText + st.nStart, static_cast<size_t>(st.nStop - st.nStart + 1));
    }
    // Before the separator that ends at the next operand: the text up to
    // it is copied and the read position left on it. Answers the
    // separator's length (0: no separator of this kind there).
    unsigned long nSeparator(const wchar_t* pszWord)
    {
        const unsigned long q = nSkipBlanks(*m_pnPosition);
        const size_t nWord = std::wcslen(pszWord);
        for (size_t i = 0; i < nWord; ++i)
            if (std::towupper(cAt(q + i)) != static_cast<wint_t>(pszWord[i]))
                return 0;
        // A keyword separator stands between blanks.
        if (nWord > 1 && (q == *m_pnPosition || !std::iswspace(cAt(q + nWord))))
            return 0;
        CopyTo(nWord > 1 ? *m_pnPosition : q);
        return nWord > 1 ? nSkipBlanks(q + nWord) - *m_pnPosition : nWord;
    }
    // Behind the last operand: the text up to the node's closing
    // parenthesis is copied; false when there is none.
    bool bBeforeClosing()
    {
        if (m_nEnd == 0 || m_pszText[m_nEnd - 1] != L')' || *m_pnPosition >= m_nEnd)
            return false;
        CopyTo(m_nEnd - 1);
        return true;
    }

private:
    static unsigned long nEnd(IExpOpExpression* piNode, const wchar_t* pszText)
    {
        const unsigned long n = static_cast<unsigned long>(std::wcslen(pszText));
        const long nStop = piNode->stGetPosition().nStop;
        return nStop < 0 || static_cast<unsigned long>(nStop) + 1 > n ? n : static_cast<unsigned long>(nStop) + 1;
    }

    CNACommand& m_clCommand;
    CNAQueryWriter m_clWriter;
    IExpOpExpression* m_piNode;
    const wchar_t* m_pszText;
    unsigned long* m_pnPosition;
    unsigned long m_nEnd;
};

}  // namespace

const wchar_t* CNACommand::_FormatExpressionOperator(eOPEXPRESSION eOperator)
{
    const int nKind = m_pclConnection != nullptr ? m_pclConnection->nGetDBKind() : 0;
    if (nKind == 5)
        return nullptr;
    for (const stFunctionName& name : kNames) {
        if (name.nOperator != static_cast<int>(eOperator))
            continue;
        for (int nOf : name.anKinds)
            if (nOf == nKind)
                return name.pszName;
    }
    return nullptr;
}

// Called before each operand of a function and behind its last one. Only
// kinds 1 and 11 rewrite arguments, each function into the form of its own
// kind:
// - kind 11, LTRIM(x) and RTRIM(x): TRIM(LEADING FROM x), TRIM(TRAILING FROM x);
// - kind 11, HEX(x): SUBSTR(HEX(x),3), without the "0x" the kind puts first;
// - kind 1, HEX(x): TO_CHAR(x,'FMX...X');
// - kind 1, CONCAT(a,b,c...) of more than two arguments: (a)||(b)||(c), each
//   argument in parentheses so that its operators bind as written;
// - kind 1, RIGHT(s,n): SUBSTR(s,-LEAST(LENGTH(s), GREATEST(0,n)),n), the
//   second s and n as written, so that n beyond the length gives all of s and
//   n at 0 or below gives nothing;
// - kind 1, the positional forms (SUBSTRING(s FROM p), LOCATE and the like):
//   the word FROM (or FOR) between arguments becomes " , "; the substring
//   from the end takes its position negated, ",-(" p ")".
void CNACommand::_FormatExpressionArgument(IExpOpExpression* piNode, const wchar_t* pszText, unsigned long* pnPosition)
{
    const int nKind = m_pclConnection != nullptr ? m_pclConnection->nGetDBKind() : 0;
    if (piNode == nullptr || pszText == nullptr || pnPosition == nullptr || (nKind != 1 && nKind != 11))
        return;
    CArgumentRewriter clText(*this, piNode, pszText, pnPosition);
    const int nOperator = static_cast<int>(piNode->eGetOperator());
    const int nOperands = piNode->nGetOperandNbr();
    const int nGap = clText.nGap();
    if (nGap < 0 || clText.nPosition() >= clText.nLimit())
        return;
    if (nKind == 11) {
        if ((nOperator == 52 || nOperator == 53) && nGap == 0) {
            const unsigned long q = clText.nSkipBlanks(clText.nPosition());
            if (clText.cAt(q) != L'(')
                return;
            clText.CopyTo(clText.nSkipBlanks(q + 1));
            clText.Write(nOperator == 52 ? L"LEADING FROM " : L"TRAILING FROM ");
        } else if (nOperator == 92 && nGap == nOperands && clText.bBeforeClosing()) {
            clText.Write(L"),3");
        }
        return;
    }
    switch (nOperator) {
    case 92:
        if (nGap == nOperands && clText.bBeforeClosing())
            clText.Write(L",'FMXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX'");
        break;
    case 88:
        if (nOperands <= 2)
            break;
        if (nGap == 0 && clText.cAt(clText.nPosition()) != L'(') {
            // The name goes: the parentheses that held the arguments now
            // hold the whole concatenation.
            clText.SkipTo(clText.nPosition() + NA_nNameLengthAt(pszText, clText.nLimit(), clText.nPosition()));
        } else if (nGap > 0 && nGap < nOperands) {
            const unsigned long nComma = clText.nSeparator(L",");
            if (nComma == 0)
                break;
            clText.SkipTo(clText.nPosition() + nComma);
            clText.Write(L")||(");
        }
        break;
    case 43:
        if (nOperands != 2)
            break;
        if (nGap == 1) {
            const unsigned long nComma = clText.nSeparator(L",");
            if (nComma == 0)
                break;
            clText.SkipTo(clText.nPosition() + nComma);
            clText.Write(L",-LEAST(LENGTH(");
            clText.Write(clText.Operand(0).c_str());
            clText.Write(L"), GREATEST(0,");
        } else if (nGap == 2 && clText.bBeforeClosing()) {
            clText.Write(L")");
            const std::wstring csCount = clText.Operand(1);
            wchar_t* pszEnd = nullptr;
            const long nCount = std::wcstol(csCount.c_str(), &pszEnd, 10);
            if (!csCount.empty() && pszEnd != nullptr && *pszEnd == L'\0' && nCount >= -2147483647L &&
                nCount <= 2147483647L) {
                wchar_t szCount[32];
                std::swprintf(szCount, 32, L"),%d", static_cast<int>(nCount));
                clText.Write(szCount);
            } else {
                clText.Write(L"),");
                clText.Write(csCount.c_str());
            }
        }
        break;
    case 75:
    case 76:
    case 80:
    case 89:
        // The position counted from the end closes behind its operand.
        if (nOperator == 76 && nGap == 2) {
            if (nOperands == 2 && !clText.bBeforeClosing())
                break;
            clText.Write(L")");
        }
        if (nGap > 0 && nGap < nOperands) {
            unsigned long nSeparator = clText.nSeparator(L"FROM");
            if (nSeparator == 0)
                nSeparator = clText.nSeparator(L"FOR");
            const bool bFrom = nSeparator != 0;
            if (!bFrom)
                nSeparator = clText.nSeparator(L",");
            if (nSeparator == 0)
                break;
            if (nOperator == 76 && nGap == 1) {
                clText.SkipTo(clText.nPosition() + nSeparator);
                clText.Write(L",-(");
            } else if (bFrom) {
                clText.SkipTo(clText.nPosition() + nSeparator);
                clText.Write(L" , ");
            }
        }
        break;
    default:
        break;
    }
}
