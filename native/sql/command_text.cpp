// The command's static tests on SQL text: separators, leading and trailing
// words, SET statements, the keyword search that finds where a clause
// begins, and the row-limit clauses a SELECT already carries.
//
// Keywords are ASCII: letters are compared without regard to case by their
// ASCII forms only, so no other character (a dotless i, a Kelvin sign) can
// pass for a keyword's letter. Every read stays inside the text's length.
#include <cstdint>
#include <cwchar>

#include "native/driver/connection_description.h"
#include "native/model/sql_text_tests.h"
#include "native/sql/command.h"
#include "native/sql/command_text.h"

namespace {

wchar_t cAsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

long nLength(const wchar_t* psz)
{
    return psz != nullptr ? static_cast<long>(std::wcslen(psz)) : 0;
}

}  // namespace

bool NA_bMatchWord(const wchar_t* pszText, long nText, long nAt, const wchar_t* pszWord, long nWord)
{
    if (nAt < 0 || nWord < 0 || nAt > nText || nWord > nText - nAt)
        return false;
    for (long i = 0; i < nWord; ++i) {
        if (cAsciiUpper(pszText[nAt + i]) != cAsciiUpper(pszWord[i]))
            return false;
    }
    return true;
}

long NA_nSkipBlanks(const wchar_t* pszText, long nText, long nAt)
{
    while (nAt < nText && s_bEspaceSQL(pszText[nAt]))
        ++nAt;
    return nAt;
}

bool NA_bReadNumber(const wchar_t* pszText, long nText, long* pnAt, int64_t* pllValue)
{
    long i = *pnAt;
    if (i >= nText || pszText[i] < L'0' || pszText[i] > L'9')
        return false;
    int64_t ll = 0;
    for (; i < nText && pszText[i] >= L'0' && pszText[i] <= L'9'; ++i) {
        const int nDigit = pszText[i] - L'0';
        if (ll > (INT64_MAX - nDigit) / 10)
            return false;
        ll = ll * 10 + nDigit;
    }
    *pnAt = i;
    *pllValue = ll;
    return true;
}

int CNACommand::s_bSeparateur(wchar_t c)
{
    if (s_bEspaceSQL(c))
        return 1;
    switch (c) {
    case L'!': case L'%': case L'(': case L')': case L'*': case L'+': case L',': case L'-': case L'/': case L'=':
        return 1;
    default:
        return 0;
    }
}

int CNACommand::s_nGetPosSuiteRequete(const wchar_t* pszText, const wchar_t* pszWord)
{
    const long nText = nLength(pszText);
    const long nBlanks = NA_nSkipBlanks(pszText, nText, 0);
    if (!NA_bMatchWord(pszText, nText, nBlanks, pszWord, nLength(pszWord)))
        return -1;
    return static_cast<int>(nBlanks);
}

int CNACommand::s_bSuiteRequeteCommencePar(const wchar_t* pszText, const wchar_t* pszWord)
{
    return s_nGetPosSuiteRequete(pszText, pszWord) != -1;
}

int CNACommand::s_bSuiteRequeteCommenceParMot(const wchar_t* pszText, const wchar_t* pszWord)
{
    const int nAt = s_nGetPosSuiteRequete(pszText, pszWord);
    if (nAt == -1)
        return 0;
    const long nAfter = nAt + nLength(pszWord);
    return nAfter >= nLength(pszText) || s_bSeparateur(pszText[nAfter]);
}

int CNACommand::s_bRequeteTerminePar(const wchar_t* pszText, const wchar_t* pszWord)
{
    const long n = nLength(pszText);
    const long w = nLength(pszWord);
    long t = 0;
    while (t < n - 1 && s_bSeparateur(pszText[n - 1 - t]))
        ++t;
    const long s = n - w - t;
    if (s < 2 || !s_bSeparateur(pszText[s - 1]))
        return 0;
    return NA_bMatchWord(pszText, n, s, pszWord, w);
}

int CNACommand::s_bIsQuerySet(const wchar_t* pszText)
{
    const long n = nLength(pszText);
    long p = NA_nSkipBlanks(pszText, n, 0);
    if (p == n || !NA_bMatchWord(pszText, n, p, L"SET", 3))
        return 0;
    p += 3;
    p = NA_nSkipBlanks(pszText, n, p);
    // A name up to an equals sign or a blank, then one word up to a blank.
    while (p < n && pszText[p] != L'=' && !s_bEspaceSQL(pszText[p]))
        ++p;
    p = NA_nSkipBlanks(pszText, n, p);
    while (p < n && !s_bEspaceSQL(pszText[p]))
        ++p;
    while (p < n && (s_bEspaceSQL(pszText[p]) || pszText[p] == L';'))
        ++p;
    return p == n;
}

long CNACommand::s_nGetClauseStart(CNAConnectionDescription* pclConnection, const wchar_t* pszText,
                                   const wchar_t* pszKeyword, long nFrom)
{
    const long n = nLength(pszText);
    const long k = nLength(pszKeyword);
    if (n == 0 || k == 0)
        return -1;
    const wchar_t* pszOpen = pclConnection != nullptr ? pclConnection->csGetOpeningQuote().pszGet() : nullptr;
    const wchar_t* pszClose = pclConnection != nullptr ? pclConnection->csGetClosingQuote().pszGet() : nullptr;
    const long qo = nLength(pszOpen);
    const long qc = nLength(pszClose);
    if (nFrom == -1 || nFrom > n - 1)
        nFrom = n - 1;
    if (nFrom <= 0)
        return -1;
    enum
    {
        OUTSIDE,
        LITERAL,
        IDENTIFIER
    } eState = OUTSIDE;
    // Whether a separator stands at i; the ends of the text are none.
    const auto bSeparatorAt = [&](long i) { return i >= 0 && i < n && s_bSeparateur(pszText[i]); };
    for (long pos = nFrom; pos > 0; --pos) {
        const wchar_t c = pszText[pos];
        switch (eState) {
        case OUTSIDE:
            if (c == L'\'')
                eState = LITERAL;
            else if (qc > 0 && NA_bMatchWord(pszText, n, pos, pszClose, qc) && bSeparatorAt(pos + qc))
                eState = IDENTIFIER;
            else if (NA_bMatchWord(pszText, n, pos, pszKeyword, k) && bSeparatorAt(pos - 1) && bSeparatorAt(pos + k))
                return pos;
            break;
        case LITERAL:
            if (c == L'\'') {
                const wchar_t cBefore = pszText[pos - 1];
                if (cBefore == L'\\' || cBefore == L'\'')
                    --pos;
                else
                    eState = OUTSIDE;
            }
            break;
        case IDENTIFIER:
            if (qo > 0 && NA_bMatchWord(pszText, n, pos, pszOpen, qo) && bSeparatorAt(pos - 1))
                eState = OUTSIDE;
            break;
        }
    }
    return -1;
}

int CNACommand::s_bQueryResultsetLimited(CNAConnectionDescription* pclConnection, const wchar_t* pszText)
{
    const long n = nLength(pszText);
    if (n == 0 || !NA_bMatchWord(pszText, n, 0, L"SELECT", 6))
        return 0;
    if (s_nGetClauseStart(pclConnection, pszText, L"LIMIT", -1) > 0)
        return 1;
    if (n < 12)
        return 0;
    const long p = NA_nSkipBlanks(pszText, n, 6);
    return NA_bMatchWord(pszText, n, p, L"TOP", 3) && p + 3 < n && s_bEspaceSQL(pszText[p + 3]);
}

bool CNACommand::s_bFindSelectTop(const wchar_t* pszText, long nText, long* pnStart, long* pnEnd, int64_t* pllTop)
{
    if (pszText == nullptr || nText < 12 || !NA_bMatchWord(pszText, nText, 0, L"SELECT", 6))
        return false;
    const long p = NA_nSkipBlanks(pszText, nText, 6);
    if (!NA_bMatchWord(pszText, nText, p, L"TOP", 3))
        return false;
    // "TOP", at least one blank, then a number: anything else (TOPIC, a
    // TOP without its number) is a name of the select list and stays.
    if (p + 3 >= nText || !s_bEspaceSQL(pszText[p + 3]))
        return false;
    long q = NA_nSkipBlanks(pszText, nText, p + 3);
    int64_t llTop = 0;
    if (!NA_bReadNumber(pszText, nText, &q, &llTop))
        return false;
    *pnStart = p;
    *pnEnd = q;
    *pllTop = llTop;
    return true;
}
