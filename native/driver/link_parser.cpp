#include "native/driver/link_parser.h"

#include <cwctype>

#include "native/driver/driver_sql.h"

namespace {

using Rule = CNADriverSQL::eSQLForeignKeysRules;

// A cursor over [m_p, m_pEnd) of the server's text.
class CLinkText
{
public:
    CLinkText(const wchar_t* p, size_t n) : m_p(p), m_pEnd(p + n) {}

    bool bAtEnd() const { return m_p >= m_pEnd; }
    wchar_t cPeek() const { return bAtEnd() ? 0 : *m_p; }

    void SkipBlanks()
    {
        while (!bAtEnd() && (*m_p == L' ' || *m_p == L'\t'))
            ++m_p;
    }

    // Consumes the word when the text continues with it (case ignored or
    // exact).
    bool bTake(const wchar_t* pszWord, bool bIgnoreCase)
    {
        const wchar_t* p = m_p;
        for (; *pszWord != 0; ++pszWord, ++p) {
            if (p >= m_pEnd)
                return false;
            const bool bSame = bIgnoreCase ? std::towupper(static_cast<wint_t>(*p)) ==
                                                 std::towupper(static_cast<wint_t>(*pszWord))
                                           : *p == *pszWord;
            if (!bSame)
                return false;
        }
        m_p = p;
        return true;
    }

    // Moves just past the next occurrence of the word (exact case); false,
    // at the end, when there is none.
    bool bFindAfter(const wchar_t* pszWord)
    {
        while (!bAtEnd()) {
            if (bTake(pszWord, false))
                return true;
            ++m_p;
        }
        return false;
    }

    // A name between backquotes, a doubled backquote standing for one.
    bool bReadName(CTString* pcsName)
    {
        if (cPeek() != L'`')
            return false;
        ++m_p;
        const wchar_t* pStart = m_p;
        CXYStringConcat<wchar_t> clName;
        while (!bAtEnd()) {
            if (*m_p != L'`') {
                ++m_p;
                continue;
            }
            clName.Add(pStart, m_p - pStart);
            if (m_p + 1 < m_pEnd && m_p[1] == L'`') {
                clName.Add(L"`");
                m_p += 2;
                pStart = m_p;
                continue;
            }
            ++m_p;
            pcsName->Set(clName.pszGet());
            return true;
        }
        return false;
    }

    // "(" names separated by "," ")", the names joined by "," in *pcsList.
    bool bReadNameList(CTString* pcsList, int* pnCount)
    {
        if (cPeek() != L'(')
            return false;
        ++m_p;
        CXYStringConcat<wchar_t> clList;
        *pnCount = 0;
        for (;;) {
            SkipBlanks();
            CTString csName;
            if (!bReadName(&csName))
                return false;
            if (*pnCount > 0)
                clList.Add(L",");
            clList.Add(csName.pszGet());
            ++*pnCount;
            SkipBlanks();
            if (cPeek() == L',') {
                ++m_p;
                continue;
            }
            if (cPeek() != L')')
                return false;
            ++m_p;
            pcsList->Set(clList.pszGet());
            return true;
        }
    }

    // An optional "ON <event> " clause with its action; no clause, or an
    // action other than these three, gives restrict.
    Rule eReadRule(const wchar_t* pszClause)
    {
        SkipBlanks();
        if (!bTake(pszClause, true))
            return CNADriverSQL::NA_FK_RESTRICT;
        SkipBlanks();
        if (bTake(L"CASCADE", true))
            return CNADriverSQL::NA_FK_CASCADE;
        if (bTake(L"SET NULL", true))
            return CNADriverSQL::NA_FK_SET_NULL;
        if (bTake(L"NO ACTION", true))
            return CNADriverSQL::NA_FK_NO_ACTION;
        // Read over, so that the other clause after it is found.
        if (!bTake(L"RESTRICT", true))
            bTake(L"SET DEFAULT", true);
        return CNADriverSQL::NA_FK_RESTRICT;
    }

private:
    const wchar_t* m_p;
    const wchar_t* m_pEnd;
};

struct stLink
{
    CTString csName;
    CTString csColumns;
    CTString csReferenced;
    CTString csReferencedColumns;
    Rule eDelete = CNADriverSQL::NA_FK_RESTRICT;
    Rule eUpdate = CNADriverSQL::NA_FK_RESTRICT;
};

// The constraint after "CONSTRAINT"; false when the text is off the layout.
bool bReadLink(CLinkText* pclText, stLink* pstLink, int* pnColumns, int* pnReferencedColumns)
{
    pclText->SkipBlanks();
    if (!pclText->bReadName(&pstLink->csName))
        return false;
    pclText->SkipBlanks();
    if (!pclText->bTake(L"FOREIGN KEY", true))
        return false;
    pclText->SkipBlanks();
    if (!pclText->bReadNameList(&pstLink->csColumns, pnColumns))
        return false;
    pclText->SkipBlanks();
    if (!pclText->bTake(L"REFERENCES", true))
        return false;
    pclText->SkipBlanks();
    if (!pclText->bReadName(&pstLink->csReferenced) || pclText->cPeek() == L'.')
        return false;
    pclText->SkipBlanks();
    if (!pclText->bReadNameList(&pstLink->csReferencedColumns, pnReferencedColumns))
        return false;
    pstLink->eDelete = pclText->eReadRule(L"ON DELETE ");
    pstLink->eUpdate = pclText->eReadRule(L"ON UPDATE ");
    return true;
}

// A list of several columns becomes the name of the table's composite key
// of exactly those, when there is one; false when the table's keys cannot
// be had.
bool bNameColumns(const CNALinkParser::KeyLookup& lookup, const wchar_t* pszTable, int nColumns, CTString* pcsColumns)
{
    if (nColumns < 2 || !lookup)
        return true;
    CTString csKey;
    switch (lookup(pszTable, pcsColumns->pszGet(), nColumns, &csKey)) {
    case CNALinkParser::KEY_FOUND: pcsColumns->Set(csKey.pszGet()); return true;
    case CNALinkParser::KEY_NONE: return true;
    default: return false;
    }
}

}  // namespace

void CNALinkParser::g_ExtractLinks(const wchar_t* pszText, size_t nLength, const wchar_t* pszListedTable,
                                   const wchar_t* pszLookupTable, unsigned nFlags, const KeyLookup& lookup,
                                   CXYStringConcat<wchar_t>* pclList)
{
    if (pszText == nullptr || pclList == nullptr || !(nFlags & CNADriverSQL::NA_LIST_DETAILED))
        return;
    CLinkText clText(pszText, nLength);
    while (clText.bFindAfter(L"CONSTRAINT")) {
        stLink link;
        int nColumns = 0;
        int nReferencedColumns = 0;
        if (!bReadLink(&clText, &link, &nColumns, &nReferencedColumns) ||
            !bNameColumns(lookup, pszLookupTable, nColumns, &link.csColumns) ||
            !bNameColumns(lookup, link.csReferenced.pszGet(), nReferencedColumns, &link.csReferencedColumns))
            continue;
        if (pclList->nGetLongueur() > 0)
            pclList->Add(L"\r\n");
        const wchar_t* const apszFields[] = {
            link.csName.pszGet(),
            link.csReferenced.pszGet(),
            link.csReferencedColumns.pszGet(),
            L"0,N",
            pszListedTable != nullptr ? pszListedTable : L"",
            link.csColumns.pszGet(),
            L"0,1",
            CNADriverSQL::s_pszRuleCode(link.eUpdate),
            CNADriverSQL::s_pszRuleCode(link.eDelete),
        };
        bool bFirst = true;
        for (const wchar_t* pszField : apszFields) {
            if (!bFirst)
                pclList->Add(L"\t");
            bFirst = false;
            pclList->Add(pszField);
        }
    }
}
