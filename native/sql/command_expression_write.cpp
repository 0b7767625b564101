// Writing a parsed query into a command: the clauses collected as elements
// (select list, FROM tables, joins, WHERE, GROUP BY, HAVING, ORDER BY, a
// host clause list, INSERT and UPDATE lists), sorted and written in text
// order, the text between them copied as written; a further condition
// joined to the WHERE clause; calculated items expanded.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "common/text/ct_string.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/driver/host_tab_val_parser.h"
#include "native/model/host_info_rubrique.h"
#include "native/model/na_data_source_description.h"
#include "native/model/na_item_description.h"
#include "native/sql/command_query_writer.h"
#include "native/sql/host_expression.h"
#include "native/sql/host_info_affectation.h"
#include "native/sql/host_info_from.h"
#include "native/sql/host_info_groupe.h"
#include "native/sql/host_info_insertion.h"
#include "native/sql/host_info_jointure.h"
#include "native/sql/host_sql_parser_information.h"
#include "native/sql/sql_parser_info.h"

namespace {

using eSQLELT = CNASqlElt::eSQLELT;

// One element of the statement: its kind, its span (end exclusive) and
// what it writes.
struct stElement
{
    CNASqlElt* pclElt;
    const void* pvWhat;
};

// A host span's first character and the one behind its last; {-1, -1}
// without a start.
struct stSpan
{
    long nStart;
    long nEnd;
};

stSpan Span(const SQLPosition& st)
{
    if (st.nStart < 0)
        return {-1, -1};
    return {st.nStart, st.nStop >= st.nStart ? st.nStop + 1 : st.nStart};
}

bool bBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// The word at the position, without regard to case, followed by no name
// character.
bool bWordAt(const wchar_t* psz, unsigned long n, unsigned long nAt, const wchar_t* pszWord)
{
    const unsigned long nWord = static_cast<unsigned long>(std::wcslen(pszWord));
    if (nAt + nWord > n)
        return false;
    for (unsigned long i = 0; i < nWord; ++i)
        if (std::towupper(psz[nAt + i]) != std::towupper(pszWord[i]))
            return false;
    return nAt + nWord == n || NA_nNameLengthAt(psz, n, nAt + nWord) == 0 || bBlank(psz[nAt + nWord]);
}

// The earliest of "ORDER BY" and "order by" (those spellings only); -1.
long nFindOrderBy(const wchar_t* psz)
{
    const wchar_t* p1 = std::wcsstr(psz, L"ORDER BY");
    const wchar_t* p2 = std::wcsstr(psz, L"order by");
    const wchar_t* p = p1 == nullptr ? p2 : (p2 == nullptr || p1 < p2 ? p1 : p2);
    return p != nullptr ? static_cast<long>(p - psz) : -1;
}

// The alias part behind an item written (blanks, an optional "AS", the
// alias's name): the name formatted by the connection, the rest copied.
void FormatAlias(CNACommand& clCommand, CNAQueryWriter& clWriter, const wchar_t* pszAlias, unsigned long nLimit)
{
    if (pszAlias == nullptr || pszAlias[0] == L'\0')
        return;
    const wchar_t* psz = clWriter.pszText();
    const unsigned long n = std::min(nLimit, clWriter.nLength());
    unsigned long q = clWriter.nPosition();
    while (q < n && bBlank(psz[q]))
        ++q;
    if (bWordAt(psz, n, q, L"AS")) {
        q += 2;
        while (q < n && bBlank(psz[q]))
            ++q;
    }
    const unsigned long nName = NA_nNameLengthAt(psz, n, q);
    if (q >= n || nName == 0 || q == clWriter.nPosition())
        return;
    clWriter.CopyTo(q);
    CTString csName;
    CNAConnectionDescription* pclConnection = clCommand.pclGetConnectionNoRef();
    if (pclConnection == nullptr || !pclConnection->bFormatItemName(clCommand.pclGetErrorNoRef(), pszAlias, &csName))
        csName.Set(pszAlias);
    (void)clCommand.bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
    clWriter.SkipTo(q + nName);
}

int bFormatSELECTList(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery, unsigned long nEnd)
{
    const int nItems = pclQuery->nGetRubriqueOUTNbr();
    for (int i = 0; i < nItems; ++i) {
        IInfoRubrique* piItem = pclQuery->piGetRubriqueOUT(i);
        const stSpan st = Span(piItem->stGetPosition());
        if (st.nStart < 0)
            continue;
        clWriter.CopyTo(clWriter.nBound(st.nStart));
        if (piItem->eGetKind() == IInfoRubrique::KIND_ITEM) {
            clCommand._FormatRubriqueAlias(piItem, CNASqlElt::SQLELT_SELECT, 1);
        } else if (piItem->piGetExpression() != nullptr) {
            clWriter.m_piCarried = nullptr;
            if (!clWriter.bTree(nullptr, piItem->piGetExpression(), CNASqlElt::SQLELT_SELECT))
                return 0;
        }
        // A plain item is written from its item, an expression as far as
        // its tree reaches; the rest of its span as written.
        if (piItem->eGetKind() == IInfoRubrique::KIND_ITEM)
            clWriter.SkipTo(clWriter.nBound(st.nEnd));
        else
            clWriter.CopyTo(clWriter.nBound(st.nEnd));
        // The alias lies before the next item, or the end of the list.
        unsigned long nLimit = nEnd;
        for (int j = i + 1; j < nItems; ++j) {
            const long nNext = pclQuery->piGetRubriqueOUT(j)->stGetPosition().nStart;
            if (nNext >= 0) {
                nLimit = clWriter.nBound(nNext);
                break;
            }
        }
        if (i + 1 == nItems || nLimit == nEnd)
            nLimit = clWriter.nLength();
        FormatAlias(clCommand, clWriter, piItem->pszGetAlias(), nLimit);
    }
    const CTStringConcatAW& clAdditional = clCommand.clGetAdditionalSelect();
    if (!CNACommand::bBuilderEmpty(clAdditional)) {
        (void)clCommand.bComplete(L",", 1);
        (void)clCommand.bComplete(clAdditional.pszGetW(), static_cast<unsigned long>(-1));
    }
    return 1;
}

int bFormatStarList(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery)
{
    for (int i = 0; i < pclQuery->nGetRubriqueOUTNbr(); ++i) {
        if (i > 0)
            (void)clCommand.bComplete(L",", 1);
        clCommand._FormatRubriqueAlias(pclQuery->piGetRubriqueOUT(i), CNASqlElt::SQLELT_SELECT, 1);
    }
    clWriter.SkipTo(clWriter.nPosition() + 1);
    const CTStringConcatAW& clAdditional = clCommand.clGetAdditionalSelect();
    if (!CNACommand::bBuilderEmpty(clAdditional)) {
        (void)clCommand.bComplete(L",", 1);
        (void)clCommand.bComplete(clAdditional.pszGetW(), static_cast<unsigned long>(-1));
    }
    return 1;
}

void FormatItemName(CNACommand& clCommand, const wchar_t* pszItem)
{
    CTString csName;
    CNAConnectionDescription* pclConnection = clCommand.pclGetConnectionNoRef();
    if (pclConnection == nullptr || !pclConnection->bFormatItemName(clCommand.pclGetErrorNoRef(), pszItem, &csName))
        csName.Set(pszItem);
    (void)clCommand.bComplete(csName.pszGet(), static_cast<unsigned long>(-1));
}

int bFormatINSERTColumns(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery)
{
    for (IInfoInsertion* pi = pclQuery->piEnumRubriqueInsert(1); pi != nullptr; pi = pclQuery->piEnumRubriqueInsert(0)) {
        const stSpan st = Span(pi->stGetPosition());
        if (st.nStart < 0)
            continue;
        clWriter.CopyTo(clWriter.nBound(st.nStart));
        FormatItemName(clCommand, pi->pszGetNomRubrique());
        clWriter.SkipTo(clWriter.nBound(st.nEnd));
    }
    return 1;
}

// The item description of a column of the query's (first) table: it types
// the value written into it.
INAItemDescription* piColumnDescription(CSQLParserInfo* pclQuery, const wchar_t* pszItem)
{
    if (pclQuery->nGetFichierFromNbr() < 1 || pszItem == nullptr)
        return nullptr;
    INADataSourceDescription* piTable = pclQuery->piGetFichierFrom(0)->piGetNADataSourceDescription();
    return piTable != nullptr ? piTable->piNAGetItem(pszItem) : nullptr;
}

int bFormatINSERTUPDATEList(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery)
{
    int bDone = 1;
    if (pclQuery->eGetTypeRequete() == TYPEREQUETE_INSERT) {
        for (IInfoInsertion* pi = pclQuery->piEnumRubriqueInsert(1); pi != nullptr;
             pi = pclQuery->piEnumRubriqueInsert(0)) {
            clWriter.m_piCarried = piColumnDescription(pclQuery, pi->pszGetNomRubrique());
            bDone = clWriter.bTree(nullptr, pi->piGetValue(), CNASqlElt::SQLELT_VALUES) && bDone;
        }
        return bDone;
    }
    const int nKind = clCommand.pclGetConnectionNoRef() != nullptr ? clCommand.pclGetConnectionNoRef()->nGetDBKind() : 0;
    for (IInfoAffectation* pi = pclQuery->piEnumRubriqueUpdate(1); pi != nullptr; pi = pclQuery->piEnumRubriqueUpdate(0)) {
        IExpOpExpression* piColumn = pi->piGetColumn();
        if (piColumn != nullptr) {
            const stSpan st = Span(piColumn->stGetPosition());
            if (st.nStart >= 0)
                clWriter.CopyTo(clWriter.nBound(st.nStart));
            // The table's physical name when the query knows it; some kinds
            // take no table in an UPDATE's column names.
            const wchar_t* pszTable = nullptr;
            if (nKind != 6 && nKind != 8 && nKind != 13) {
                pszTable = piColumn->pszGetNomTable();
                if (pszTable == nullptr || pszTable[0] == L'\0')
                    pszTable = pclQuery->nGetFichierFromNbr() > 0 ? pclQuery->piGetFichierFrom(0)->pszGetNom() : nullptr;
                const wchar_t* pszPhysical = pszTable != nullptr ? pclQuery->pszGetPhysicalName(pszTable) : nullptr;
                if (pszPhysical != nullptr && pszPhysical[0] != L'\0')
                    pszTable = pszPhysical;
            }
            clCommand._FormatTableAndItemName(pszTable, piColumn->pszGetNomRubrique());
            if (piColumn->bIsOuterJoin())
                (void)clCommand.bComplete(L"(+)", 3);
            if (st.nStart >= 0)
                clWriter.SkipTo(clWriter.nBound(st.nEnd));
            clWriter.m_piCarried = piColumn->piGetItemDescription() != nullptr
                                       ? piColumn->piGetItemDescription()
                                       : piColumnDescription(pclQuery, piColumn->pszGetNomRubrique());
        }
        bDone = clWriter.bTree(nullptr, pi->piGetValue(), CNASqlElt::SQLELT_VALUES) && bDone;
    }
    return bDone;
}

int bFormatGROUPBY(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery)
{
    int bDone = 1;
    for (IInfoGroupe* pi = pclQuery->piEnumRubriqueClauseGroupe(1); pi != nullptr && bDone;
         pi = pclQuery->piEnumRubriqueClauseGroupe(0)) {
        const stSpan st = Span(pi->stGetPosition());
        if (st.nStart < 0)
            continue;
        clWriter.CopyTo(clWriter.nBound(st.nStart));
        const wchar_t* pszTable = pi->bIsAvecTable() ? pi->pszGetAlias() : nullptr;
        IInfoRubrique* piOutput = pclQuery->piGetInfoRubriqueFromAlias(pszTable, pi->pszGetNomRubrique());
        if (piOutput != nullptr && piOutput->eGetKind() != IInfoRubrique::KIND_ITEM)
            bDone = clCommand.bFormatExpressionColonneCalculee(pclQuery, piOutput, CNASqlElt::SQLELT_GROUPBY);
        else if (piOutput != nullptr)
            clCommand._FormatRubriqueAlias(piOutput, CNASqlElt::SQLELT_GROUPBY, 1);
        else
            clCommand._FormatTableAndItemName(pszTable, pi->pszGetNomRubrique());
        clWriter.SkipTo(clWriter.nBound(st.nEnd));
    }
    return bDone;
}

// A FROM table: its name by slot 32, the text up to its alias copied, the
// alias by slot 33 when the text holds one; the record-lock hint behind it
// in a select.
int bAddFromClause(CNACommand& clCommand, CNAQueryWriter& clWriter, CSQLParserInfo* pclQuery, IInfoFrom* piFrom)
{
    const stSpan st = Span(piFrom->stGetPosition());
    const unsigned long nEnd = clWriter.nBound(st.nEnd);
    const wchar_t* psz = clWriter.pszText();
    const unsigned long nName = NA_nNameLengthAt(psz, nEnd, clWriter.nPosition());
    clCommand._FormatTableClauseFROM(piFrom->pszGetNom());
    clWriter.SkipTo(clWriter.nPosition() + (nName > 0 ? nName : nEnd - clWriter.nPosition()));
    unsigned long q = clWriter.nPosition();
    while (q < nEnd && bBlank(psz[q]))
        ++q;
    if (bWordAt(psz, nEnd, q, L"AS")) {
        q += 2;
        while (q < nEnd && bBlank(psz[q]))
            ++q;
    }
    const unsigned long nAlias = NA_nNameLengthAt(psz, nEnd, q);
    if (q < nEnd && nAlias > 0 && q > clWriter.nPosition()) {
        clWriter.CopyTo(q);
        const wchar_t* pszAlias = piFrom->pszGetAlias();
        CTString csWritten;
        if (pszAlias == nullptr || pszAlias[0] == L'\0') {
            csWritten.Set(psz + q, nAlias);
            pszAlias = csWritten.pszGet();
        }
        clCommand._FormatTableAliasClauseFROM(pszAlias);
        clWriter.SkipTo(q + nAlias);
    }
    clWriter.CopyTo(nEnd);
    if (pclQuery->eGetTypeRequete() == TYPEREQUETE_SELECT)
        return clCommand.bAddRecordLock();
    return 1;
}

}  // namespace

// --- The whole query ---------------------------------------------------------------

int CNACommand::bFormatCondition(CSQLParserInfo* pclQuery, CNACommand* pclCondition, int bKeepOrderBy, int nMode)
{
    if (pclQuery == nullptr)
        return 0;
    const bool bAsWritten = nMode == 1 || (nMode & 4) != 0;
    m_bAsWritten = bAsWritten ? 1 : 0;
    m_nColumnSelectionMode = 3;
    _SetSQLParserInfo(pclQuery);
    const wchar_t* pszText = pclQuery->pszGetRequete();
    if (pszText == nullptr)
        pszText = L"";
    const long n = static_cast<long>(std::wcslen(pszText));

    std::vector<stElement> elements;
    const auto add = [&](eSQLELT eKind, long nStart, long nEnd, const void* pvWhat) {
        auto* pclElt = new CNASqlElt(eKind, static_cast<uint64_t>(nStart < 0 ? 0 : nStart),
                                     static_cast<uint64_t>(nEnd < nStart ? nStart : nEnd));
        REF_AddRef(pclElt);
        elements.push_back({pclElt, pvWhat});
    };
    const eTYPEREQUETE eType = pclQuery->eGetTypeRequete();
    if (!bAsWritten) {
        if (eType == TYPEREQUETE_INSERT || eType == TYPEREQUETE_UPDATE) {
            stSpan stColumns{-1, -1};
            stSpan stValues{-1, -1};
            const auto widen = [](stSpan& st, const stSpan& add) {
                if (add.nStart < 0)
                    return;
                if (st.nStart < 0 || add.nStart < st.nStart)
                    st.nStart = add.nStart;
                st.nEnd = std::max(st.nEnd, add.nEnd);
            };
            if (eType == TYPEREQUETE_INSERT) {
                for (IInfoInsertion* pi = pclQuery->piEnumRubriqueInsert(1); pi != nullptr;
                     pi = pclQuery->piEnumRubriqueInsert(0)) {
                    widen(stColumns, Span(pi->stGetPosition()));
                    if (pi->piGetValue() != nullptr)
                        widen(stValues, Span(pi->piGetValue()->stGetPosition()));
                }
                if (stColumns.nStart >= 0)
                    add(CNASqlElt::SQLELT_SELECT, stColumns.nStart, stColumns.nEnd, nullptr);
            } else {
                for (IInfoAffectation* pi = pclQuery->piEnumRubriqueUpdate(1); pi != nullptr;
                     pi = pclQuery->piEnumRubriqueUpdate(0))
                    widen(stValues, Span(pi->stGetPosition()));
            }
            if (stValues.nStart >= 0)
                add(CNASqlElt::SQLELT_VALUES, stValues.nStart, stValues.nEnd, nullptr);
        } else {
            stSpan stList{-1, -1};
            for (int i = 0; i < pclQuery->nGetRubriqueOUTNbr(); ++i) {
                const stSpan st = Span(pclQuery->piGetRubriqueOUT(i)->stGetPosition());
                if (st.nStart < 0)
                    continue;
                if (stList.nStart < 0)
                    stList.nStart = st.nStart;
                stList.nEnd = std::max(stList.nEnd, st.nEnd);
            }
            if (stList.nStart >= 0) {
                add(CNASqlElt::SQLELT_SELECT, stList.nStart, stList.nEnd, nullptr);
            } else if (bNeedToReplaceStar() && pclQuery->nGetRubriqueOUTNbr() > 0 &&
                       bWordAt(pszText, static_cast<unsigned long>(n), 0, L"SELECT")) {
                // SELECT *: the star becomes the output items.
                unsigned long q = 6;
                while (q < static_cast<unsigned long>(n) && bBlank(pszText[q]))
                    ++q;
                if (q > 6 && q < static_cast<unsigned long>(n) && pszText[q] == L'*' &&
                    (q + 1 == static_cast<unsigned long>(n) || bBlank(pszText[q + 1])))
                    add(CNASqlElt::SQLELT_SELECT, static_cast<long>(q), static_cast<long>(q + 1), &elements);
            }
        }
        for (int i = 0; i < pclQuery->nGetFichierFromNbr(); ++i) {
            IInfoFrom* piFrom = pclQuery->piGetFichierFrom(i);
            const stSpan st = Span(piFrom->stGetPosition());
            if (st.nStart >= 0)
                add(CNASqlElt::SQLELT_FROM, st.nStart, st.nEnd, piFrom);
        }
        ISQLParserInformation* piParse = pclQuery->piGetSQLParserInformationNoRef();
        if (piParse != nullptr) {
            for (IInfoJointure* pi = piParse->piEnumJointure(1); pi != nullptr; pi = piParse->piEnumJointure(0)) {
                const stSpan st = Span(pi->stGetPosition());
                if (st.nStart >= 0)
                    add(CNASqlElt::SQLELT_JOIN, st.nStart, st.nEnd, pi);
            }
        }
        if (pclQuery->nGetWhereStart() > 0) {
            add(CNASqlElt::SQLELT_WHERE, pclQuery->nGetWhereStart(),
                std::max(pclQuery->nGetWhereEnd() + 1, pclQuery->nGetWhereStart()), nullptr);
        } else if (pclCondition != nullptr && !pclCondition->bIsEmpty()) {
            const long nAt = static_cast<long>(_nGetClauseStart(pclQuery, CNASqlElt::SQLELT_WHERE));
            add(CNASqlElt::SQLELT_WHERE, nAt, nAt, nullptr);
        }
        if (pclQuery->nGetRubriqueClauseGroupeNbr() > 0) {
            stSpan stList{-1, -1};
            for (IInfoGroupe* pi = pclQuery->piEnumRubriqueClauseGroupe(1); pi != nullptr;
                 pi = pclQuery->piEnumRubriqueClauseGroupe(0)) {
                const stSpan st = Span(pi->stGetPosition());
                if (st.nStart < 0)
                    continue;
                if (stList.nStart < 0)
                    stList.nStart = st.nStart;
                stList.nEnd = std::max(stList.nEnd, st.nEnd);
            }
            if (stList.nStart > 0)
                add(CNASqlElt::SQLELT_GROUPBY, stList.nStart, stList.nEnd, nullptr);
        }
        if (pclQuery->nGetHavingStart() > 0)
            add(CNASqlElt::SQLELT_HAVING, pclQuery->nGetHavingStart(),
                std::max(pclQuery->nGetHavingEnd() + 1, pclQuery->nGetHavingStart()), nullptr);
    }
    if (pclQuery->nGetOrderByStart() > 0)
        add(CNASqlElt::SQLELT_ORDERBY, pclQuery->nGetOrderByStart(), n, nullptr);
    CTabValParser* pclList = pclQuery->pclGetClauseList();
    if (pclList != nullptr && (pclList->nNbParam > 0 || pclList->nNbItem > 0)) {
        long nFirst = n;
        for (uint32_t i = 0; i < pclList->nNbParam; ++i)
            nFirst = std::min<long>(nFirst, pclList->ppEntries[i]->nStart);
        for (uint32_t i = 0; i < pclList->nNbItem; ++i)
            nFirst = std::min<long>(nFirst, pclList->ppItems[i]->nStart);
        add(CNASqlElt::SQLELT_CLAUSE, nFirst, n, pclList);
    }

    std::stable_sort(elements.begin(), elements.end(), [](const stElement& a, const stElement& b) {
        return CNASqlElt::pfnCmpELT(&a.pclElt, &b.pclElt) < 0;
    });

    unsigned long nPosition = 0;
    CNAQueryWriter clWriter(*this, pclQuery, pszText, &nPosition);
    int bDone = 1;
    for (const stElement& element : elements) {
        const CNASqlElt& elt = *element.pclElt;
        if (elt.m_nStart < nPosition || elt.m_nEnd > static_cast<uint64_t>(n)) {
            bDone = clWriter.bPositionError();
            break;
        }
        clWriter.CopyTo(static_cast<unsigned long>(elt.m_nStart));
        const unsigned long nEnd = static_cast<unsigned long>(elt.m_nEnd);
        switch (elt.m_eKind) {
        case CNASqlElt::SQLELT_SELECT:
            bDone = element.pvWhat != nullptr    ? bFormatStarList(*this, clWriter, pclQuery)
                    : eType == TYPEREQUETE_INSERT ? bFormatINSERTColumns(*this, clWriter, pclQuery)
                                                  : bFormatSELECTList(*this, clWriter, pclQuery, nEnd);
            break;
        case CNASqlElt::SQLELT_FROM:
            bDone = bAddFromClause(*this, clWriter, pclQuery,
                                   static_cast<IInfoFrom*>(const_cast<void*>(element.pvWhat)));
            break;
        case CNASqlElt::SQLELT_JOIN:
            bDone = clWriter.bTree(nullptr,
                                   static_cast<const IInfoJointure*>(element.pvWhat)->piGetCondition(),
                                   CNASqlElt::SQLELT_JOIN);
            break;
        case CNASqlElt::SQLELT_VALUES:
            bDone = bFormatINSERTUPDATEList(*this, clWriter, pclQuery);
            break;
        case CNASqlElt::SQLELT_GROUPBY:
            bDone = bFormatGROUPBY(*this, clWriter, pclQuery);
            break;
        case CNASqlElt::SQLELT_WHERE:
            bDone = bAddTreeExpression(pclQuery, pclQuery, pszText, nullptr, pclQuery->piGetWhereExpressionNoRef(),
                                       CNASqlElt::SQLELT_WHERE, &nPosition, pclCondition);
            break;
        case CNASqlElt::SQLELT_HAVING:
            bDone = bAddTreeExpression(pclQuery, pclQuery, pszText, nullptr, pclQuery->piGetHavingExpressionNoRef(),
                                       CNASqlElt::SQLELT_HAVING, &nPosition, nullptr);
            break;
        case CNASqlElt::SQLELT_ORDERBY:
            if (bKeepOrderBy)
                bDone = _bFormatORDERBY(&nPosition, pszText, 1, 1, 0, nullptr);
            break;
        case CNASqlElt::SQLELT_CLAUSE:
            bDone = _bAddClause(pclList, pszText, 0);
            clWriter.SkipTo(static_cast<unsigned long>(n));
            break;
        default:
            break;
        }
        if (!bDone)
            break;
        // The rest of the element as written; a dropped ORDER BY is skipped,
        // one kept item-wise stops behind its last item (what follows is
        // copied as written at the end).
        if (elt.m_eKind != CNASqlElt::SQLELT_ORDERBY)
            clWriter.CopyTo(nEnd);
        else if (!bKeepOrderBy)
            clWriter.SkipTo(nEnd);
    }
    for (const stElement& element : elements)
        REF_Release(element.pclElt);
    if (!bDone)
        return 0;
    if (nPosition < static_cast<unsigned long>(n)) {
        long nCut = n;
        if (!bKeepOrderBy && bAsWritten) {
            const long nAt = nFindOrderBy(pszText);
            if (nAt >= 0)
                nCut = nAt;
        }
        clWriter.CopyTo(static_cast<unsigned long>(nCut));
    }
    return 1;
}
