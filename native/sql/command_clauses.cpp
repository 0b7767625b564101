// Clauses of a parsed query in a command: where each clause lies (and where
// a missing one would go), the ORDER BY list kept or reversed within the
// connection's limit, and the text that follows the parsed statement.
//
// Every position the host gives (clauses, items, ORDER BY elements, the
// statement's end) is bounded by the text's length and by the running read
// position before anything is copied: a parse that disagrees with its text
// never makes the command read outside it nor copy a piece twice.
#include <cwchar>

#include "native/driver/connection_description.h"
#include "native/model/column_null_exclusions.h"
#include "native/sql/command.h"
#include "native/sql/command_text.h"
#include "native/sql/sql_parser_info.h"

namespace {

long nLength(const wchar_t* psz)
{
    return psz != nullptr ? static_cast<long>(std::wcslen(psz)) : 0;
}

// A position of the host clamped into 0 .. n.
unsigned long nBound(long nAt, unsigned long n)
{
    if (nAt < 0)
        return 0;
    return static_cast<unsigned long>(nAt) > n ? n : static_cast<unsigned long>(nAt);
}

struct stClause
{
    CNASqlElt::eSQLELT eKind;
    long nStart;
    long nStop;
    bool bPresent;
};

}  // namespace

// --- Clause positions --------------------------------------------------------------

int CNACommand::_bGetClausePos(unsigned long* pnStart, unsigned long* pnStop, CSQLParserInfo* pclQuery, eSQLELT eKind)
{
    const wchar_t* pszText = pclQuery != nullptr ? pclQuery->pszGetRequete() : nullptr;
    const long n = nLength(pszText);
    stClause aClauses[5] = {};
    if (pclQuery != nullptr) {
        const int nFrom = pclQuery->nGetFichierFromNbr();
        if (nFrom > 0) {
            const long nFirst = pclQuery->piGetFichierFrom(0)->stGetPosition().nStart;
            const long nLast = pclQuery->piGetFichierFrom(nFrom - 1)->stGetPosition().nStop;
            long nKeyword = nFirst;
            if (nLast >= 1) {
                const long nFound = s_nGetClauseStart(m_pclConnection, pszText, L"FROM", nFirst - 1);
                if (nFound > 0)
                    nKeyword = nFound;
            }
            aClauses[0] = {CNASqlElt::SQLELT_FROM, nKeyword, nLast, nKeyword > 0};
        }
        aClauses[1] = {CNASqlElt::SQLELT_WHERE, pclQuery->nGetWhereStart(), pclQuery->nGetWhereEnd(),
                       pclQuery->nGetWhereStart() > 0};
        const int nGroup = pclQuery->nGetRubriqueClauseGroupeNbr();
        if (nGroup > 0) {
            const IInfoGroupe* piFirst = pclQuery->piEnumRubriqueClauseGroupe(1);
            const IInfoGroupe* piLast = piFirst;
            for (const IInfoGroupe* pi = piFirst; pi != nullptr; pi = pclQuery->piEnumRubriqueClauseGroupe(0))
                piLast = pi;
            const long nFirst = piFirst != nullptr ? piFirst->stGetPosition().nStart : -1;
            const long nLast = piLast != nullptr ? piLast->stGetPosition().nStop : -1;
            long nKeyword = nFirst;
            if (nLast >= 1) {
                const long nFound = s_nGetClauseStart(m_pclConnection, pszText, L"GROUP", nFirst - 1);
                if (nFound > 0)
                    nKeyword = nFound;
            }
            aClauses[2] = {CNASqlElt::SQLELT_GROUPBY, nKeyword, nLast, nKeyword > 0};
        }
        aClauses[3] = {CNASqlElt::SQLELT_HAVING, pclQuery->nGetHavingStart(), pclQuery->nGetHavingEnd(),
                       pclQuery->nGetHavingStart() > 0};
        aClauses[4] = {CNASqlElt::SQLELT_ORDERBY, pclQuery->nGetOrderByStart(), n, pclQuery->nGetOrderByStart() > 0};
    }
    const unsigned long nText = static_cast<unsigned long>(n);
    unsigned long nStart = nText;
    unsigned long nStop = nText;
    for (const stClause& clause : aClauses) {
        if (!clause.bPresent || clause.eKind < eKind)
            continue;
        if (clause.eKind > eKind) {
            nStart = nBound(clause.nStart - 1, nText);
            nStop = nStart;
        } else {
            nStart = nBound(clause.nStart, nText);
            nStop = nBound(clause.nStop, nText);
        }
        break;
    }
    if (pnStart != nullptr)
        *pnStart = nStart;
    if (pnStop != nullptr)
        *pnStop = nStop;
    return 1;
}

unsigned long CNACommand::_nGetClauseStart(CSQLParserInfo* pclQuery, eSQLELT eKind)
{
    unsigned long nStart = 0;
    (void)_bGetClausePos(&nStart, nullptr, pclQuery, eKind);
    return nStart;
}

unsigned long CNACommand::_nGetClauseStop(CSQLParserInfo* pclQuery, eSQLELT eKind)
{
    unsigned long nStop = 0;
    (void)_bGetClausePos(nullptr, &nStop, pclQuery, eKind);
    return nStop;
}

// --- ORDER BY --------------------------------------------------------------------------

int CNACommand::bFormatORDERBY(int bUseItemText, int bKeepDirections)
{
    if (m_pclQuery == nullptr)
        return 1;
    const long nStart = m_pclQuery->nGetOrderByStart();
    if (nStart <= 0)
        return 1;
    const wchar_t* pszText = m_pclQuery->pszGetRequete();
    unsigned long nPosition = nBound(nStart, static_cast<unsigned long>(nLength(pszText)));
    return _bFormatORDERBY(&nPosition, pszText, 1, bKeepDirections, bUseItemText, nullptr);
}

int CNACommand::_bFormatORDERBY(unsigned long* pnPosition, const wchar_t* pszText, int bItemWise, int bKeepDirections,
                                int bUseItemText, int* pbUniqueReached)
{
    const unsigned long n = static_cast<unsigned long>(nLength(pszText));
    unsigned long nPos = *pnPosition > n ? n : *pnPosition;
    const auto copyTo = [&](unsigned long nTo) {
        if (nTo > n)
            nTo = n;
        if (nTo > nPos)
            (void)bComplete(pszText + nPos, nTo - nPos);
    };
    if (m_pclQuery == nullptr) {
        copyTo(n);
        *pnPosition = n;
        return 1;
    }
    if (!bItemWise) {
        copyTo(nBound(m_pclQuery->nGetOrderByStart(), n));
        *pnPosition = n;
        return 1;
    }
    const int nMax = m_pclConnection != nullptr ? m_pclConnection->nGetOrderByMaxExpressionNbr() : 2147483647;
    if (nMax < 1) {
        *pnPosition = nPos;
        return 1;
    }
    int bDone = 1;
    int bUnique = 0;
    int nWritten = 0;
    IInfoOrderBy* piItem = m_pclQuery->piEnumRubriqueClauseOrder(1);
    while (piItem != nullptr && nWritten < nMax) {
        const SQLPosition stItem = piItem->stGetPosition();
        unsigned long nStart = nBound(stItem.nStart, n);
        if (nStart < nPos)
            nStart = nPos;
        // The stop is the item's last character: at least its start, inside
        // the text.
        unsigned long nEnd = stItem.nStop < 0 ? nStart : nBound(stItem.nStop + 1, n);
        if (nEnd < nStart)
            nEnd = nStart;
        copyTo(nStart);
        nPos = nStart;
        const int nIndex = piItem->nGetIndex();
        bDone = _bAddItemInORDERBY(m_pclQuery->piGetRubriqueOUT(nIndex), nIndex, pszText, nStart,
                                   nEnd > nStart ? nEnd - 1 : nStart, bUseItemText, &bUnique);
        nPos = nEnd;
        ++nWritten;
        IInfoOrderBy* piNext = m_pclQuery->piEnumRubriqueClauseOrder(0);
        unsigned long q = nPos;
        while (q < n && pszText[q] == L' ')
            ++q;
        const long nText = static_cast<long>(n);
        if (NA_bMatchWord(pszText, nText, static_cast<long>(q), L"ASC", 3)) {
            if (bKeepDirections)
                copyTo(q + 3);
            else
                (void)bComplete(L" DESC", 5);
            nPos = q + 3;
        } else if (NA_bMatchWord(pszText, nText, static_cast<long>(q), L"DESC", 4)) {
            if (bKeepDirections)
                copyTo(q + 4);
            else
                (void)bComplete(L" ASC", 4);
            nPos = q + 4;
        } else if (q >= n || pszText[q] == L',' || piNext == nullptr) {
            if (bKeepDirections)
                copyTo(q);
            else
                (void)bComplete(L" DESC", 5);
            nPos = q;
        }
        piItem = piNext;
        if (bUnique || !bDone)
            break;
    }
    if (pbUniqueReached != nullptr)
        *pbUniqueReached = bUnique;
    *pnPosition = nPos;
    return bDone;
}

int CNACommand::_bAddItemInORDERBY(IInfoRubrique* piItem, int nIndex, const wchar_t* pszText, unsigned long nStart,
                                   unsigned long nStop, int bUseItemText, int* pbUniqueReached)
{
    const int nKind = piItem != nullptr ? piItem->eGetKind() : -1;
    if (nKind == IInfoRubrique::KIND_ITEM) {
        if (bUseItemText)
            (void)bComplete(piItem->pszGetTexte(), static_cast<unsigned long>(-1));
        else
            _FormatRubriqueAlias(piItem, CNASqlElt::SQLELT_ORDERBY, 1);
        if (pbUniqueReached != nullptr && m_pclQuery != nullptr) {
            // Ordering by a unique key whose NULLs the conditions exclude
            // fixes the order: the items after it add nothing.
            *pbUniqueReached = m_pclQuery->bRubriqueUniqueNotNull(piItem) ||
                               (m_pclQuery->bRubriqueUnique(piItem) && m_pclColumnNull != nullptr &&
                                !m_pclColumnNull->bColumnValuesNullSelected(piItem->pszGetNomRubrique()));
        }
        return 1;
    }
    const bool bByPosition = m_pclConnection != nullptr && m_pclConnection->bOrderByIndiceAllowed();
    if (nKind == IInfoRubrique::KIND_EXPRESSION || nKind == IInfoRubrique::KIND_AGGREGATE) {
        if (bByPosition)
            return bCompleteWithNumber(nIndex + 1);
        return bComplete(piItem->pszGetTexte(), static_cast<unsigned long>(-1));
    }
    if (piItem != nullptr && !bByPosition)
        return bComplete(piItem->pszGetTexte(), static_cast<unsigned long>(-1));
    const unsigned long n = static_cast<unsigned long>(nLength(pszText));
    if (nStart < n) {
        const unsigned long nEnd = nStop + 1 > n ? n : nStop + 1;
        if (nEnd > nStart)
            (void)bComplete(pszText + nStart, nEnd - nStart);
    }
    return 1;
}

// --- End of the statement ----------------------------------------------------------

int CNACommand::bFormatEndOfQuery()
{
    if (m_pclQuery == nullptr || m_bAsWritten)
        return 1;
    long e = m_pclQuery->nGetQueryEnd();
    if (e == -1)
        e = m_pclQuery->nGetHavingEnd();
    if (e == -1)
        e = m_pclQuery->nGetGroupByEnd();
    if (e == -1)
        e = m_pclQuery->nGetWhereEnd();
    const wchar_t* pszText = m_pclQuery->pszGetRequete();
    const long n = nLength(pszText);
    if (e < 1 || n <= e + 1)
        return 1;
    return bComplete(pszText + e + 1, static_cast<unsigned long>(n - e - 1));
}
