// Function names and arguments by database kind (slots 29 and 26): the
// names some kinds spell otherwise, and the argument texts a rewritten
// function needs. MySQL (kind 5) keeps every name and argument as the host
// wrote them.
#include <cwctype>

#include "native/driver/connection_description.h"
#include "native/sql/command.h"
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

void CNACommand::_FormatExpressionArgument(IExpOpExpression* piNode, const wchar_t* pszText, unsigned long* pnPosition)
{
    const int nKind = m_pclConnection != nullptr ? m_pclConnection->nGetDBKind() : 0;
    if (piNode == nullptr || pszText == nullptr || pnPosition == nullptr || nKind != 11)
        return;
    const int nOperator = static_cast<int>(piNode->eGetOperator());
    if (nOperator != 52 && nOperator != 53)
        return;
    // LTRIM(x) and RTRIM(x) become TRIM(LEADING FROM x) and TRIM(TRAILING
    // FROM x): the opening parenthesis as written, then the side.
    const long nStop = piNode->stGetPosition().nStop;
    unsigned long q = *pnPosition;
    while (pszText[q] != L'\0' && (nStop < 0 || static_cast<long>(q) <= nStop) && std::iswspace(pszText[q]))
        ++q;
    if (pszText[q] != L'(')
        return;
    (void)bComplete(pszText + *pnPosition, q + 1 - *pnPosition);
    *pnPosition = q + 1;
    (void)bComplete(nOperator == 52 ? L"LEADING FROM " : L"TRAILING FROM ", static_cast<unsigned long>(-1));
}
