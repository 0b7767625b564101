// The SQL dialect of a connection's database kind: the fixed answers by
// kind, the type names, and identifier quoting and splitting. Generic code
// never tests a database by name; it asks these.
#include <climits>

#include "native/driver/connection_description.h"

namespace {

// One answer per kind: column 0 holds the answer of every kind outside 1 to
// 13 (kind 0 is a connection whose subclass set none).
struct stKindAnswers
{
    int bSupportSubQuery;
    int bSupportLimitOrTop;
    int bTreat0000DateAsNULL;
    int nVarCharMaxLen;
    int nNVarCharMaxLen;
    int nOrderByMaxExpressionNbr;
    // A BEGIN sent inside a transaction would commit it (MySQL does so):
    // inner levels become savepoints of the outermost transaction.
    int bNestedTransactionsBySavepoint;
};

constexpr int kNoLimit = INT_MAX;

constexpr stKindAnswers kAnswers[14] = {
    {0, 0, 0, -1, -1, kNoLimit, 0},     // other kinds
    {1, 1, 0, 4000, 2000, kNoLimit, 0}, // 1
    {1, 1, 1, 8000, 4000, kNoLimit, 0}, // 2
    {0, 1, 0, -1, -1, kNoLimit, 0},     // 3
    {1, 0, 0, -1, -1, 31, 0},           // 4
    {0, 1, 0, 255, 255, kNoLimit, 1},   // 5
    {0, 1, 0, -1, -1, kNoLimit, 0},     // 6
    {1, 0, 0, -1, -1, kNoLimit, 0},     // 7
    {0, 0, 0, -1, -1, kNoLimit, 0},     // 8
    {1, 0, 0, -1, -1, kNoLimit, 0},     // 9
    {0, 0, 0, -1, -1, kNoLimit, 0},     // 10
    {0, 0, 0, -1, -1, kNoLimit, 0},     // 11
    {1, 0, 0, -1, -1, kNoLimit, 0},     // 12
    {1, 0, 0, -1, -1, kNoLimit, 0},     // 13
};

const stKindAnswers& Answers(int nKind)
{
    return kAnswers[nKind >= 1 && nKind <= 13 ? nKind : 0];
}

void SetIfGiven(CTString* pcsOut, const wchar_t* psz, long n)
{
    if (pcsOut == nullptr)
        return;
    pcsOut->Set(psz, static_cast<unsigned long>(n));
    pcsOut->SansEspace();
}

}  // namespace

int CNAConnectionDescription::bSupportSubQuery() const
{
    return Answers(m_nDBKind).bSupportSubQuery;
}

int CNAConnectionDescription::bSupportLimitOrTop() const
{
    return Answers(m_nDBKind).bSupportLimitOrTop;
}

int CNAConnectionDescription::bTreat0000DateAsNULL()
{
    return Answers(m_nDBKind).bTreat0000DateAsNULL;
}

int CNAConnectionDescription::nGetVarCharMaxLen() const
{
    return Answers(m_nDBKind).nVarCharMaxLen;
}

int CNAConnectionDescription::nGetNVarCharMaxLen() const
{
    return Answers(m_nDBKind).nNVarCharMaxLen;
}

int CNAConnectionDescription::bNestedTransactionsBySavepoint() const
{
    return Answers(m_nDBKind).bNestedTransactionsBySavepoint;
}

int CNAConnectionDescription::nGetOrderByMaxExpressionNbr()
{
    return Answers(m_nDBKind).nOrderByMaxExpressionNbr;
}

const wchar_t* CNAConnectionDescription::pszGetVarCharType() const
{
    return m_nDBKind == 1 ? L"VARCHAR2" : L"VARCHAR";
}

const wchar_t* CNAConnectionDescription::pszGetNVarCharType() const
{
    return m_nDBKind == 1 ? L"NVARCHAR2" : L"NVARCHAR";
}

// Servers before version 4 (and a server whose version is not known yet,
// major -1) have no large text type of their own.
const wchar_t* CNAConnectionDescription::pszGetCLOBType() const
{
    if (m_nDBKind != 5)
        return L"CLOB";
    return m_nServerMajor < 4 ? L"LONGBLOB" : L"LONGTEXT";
}

const wchar_t* CNAConnectionDescription::pszGetNCLOBType() const
{
    if (m_nDBKind != 5)
        return L"NCLOB";
    return m_nServerMajor < 4 ? L"LONGBLOB" : L"LONGTEXT CHARACTER SET ucs2";
}

CNAIdentifierQuoting CNAConnectionDescription::clGetQuoting() const
{
    return CNAIdentifierQuoting(m_csOpeningQuote.pszGet(), m_nOpeningQuoteLen, m_csClosingQuote.pszGet(),
                                m_nClosingQuoteLen, m_nDBKind);
}

int CNAConnectionDescription::_bNeedFormatName(CNAError*, const wchar_t* pszName) const
{
    return clGetQuoting().bNeedQuotes(pszName) ? 1 : 0;
}

int CNAConnectionDescription::bFormatItemName(CNAError*, const wchar_t* pszName, CTString* pcsOut) const
{
    clGetQuoting().FormatItemName(pszName, pcsOut);
    return 1;
}

int CNAConnectionDescription::bFormatTableName(CNAError*, const wchar_t* pszName, CTString* pcsOut) const
{
    clGetQuoting().FormatTableName(pszName, pcsOut);
    return 1;
}

void CNAConnectionDescription::UnFormatItemName(const wchar_t* pszName, CTString* pcsOut) const
{
    clGetQuoting().UnFormatItemName(pszName, pcsOut);
}

void CNAConnectionDescription::DecomposeTableName(CTString* pcsDataBase, CTString* pcsOwner, CTString* pcsTable,
                                                  const wchar_t* pszName)
{
    // The name may be one of the outputs' own text.
    const CTString csName(pszName);
    const long nFirst = csName.nPos(L'.');
    const long nSecond = nFirst < 0 ? -1 : csName.nPos(L'.', nFirst + 1);
    const wchar_t* psz = csName.pszGet();
    const long n = csName.nTaille();
    if (nFirst < 0) {
        SetIfGiven(pcsDataBase, L"", 0);
        SetIfGiven(pcsOwner, L"", 0);
        SetIfGiven(pcsTable, psz, n);
    } else if (nSecond < 0) {
        SetIfGiven(pcsDataBase, L"", 0);
        SetIfGiven(pcsOwner, psz, nFirst);
        SetIfGiven(pcsTable, psz + nFirst + 1, n - nFirst - 1);
    } else {
        SetIfGiven(pcsDataBase, psz, nFirst);
        SetIfGiven(pcsOwner, psz + nFirst + 1, nSecond - nFirst - 1);
        SetIfGiven(pcsTable, psz + nSecond + 1, n - nSecond - 1);
    }
}

int CNAConnectionDescription::bExtractOwner(const wchar_t* pszOwner, const wchar_t* pszName, CTString* pcsOwnerOut,
                                            CTString* pcsTableOut)
{
    if (pszName == nullptr || pszName[0] == 0)
        return 1;
    const CTString csName(pszName);
    if (pszOwner != nullptr && pszOwner[0] != 0)
        pcsOwnerOut->Set(pszOwner);
    const long nDot = csName.nPos(L'.');
    if (pcsOwnerOut->nTaille() == 0 && nDot >= 0) {
        pcsOwnerOut->Set(csName.pszGet(), static_cast<unsigned long>(nDot));
        pcsTableOut->Set(csName.pszGet() + nDot + 1);
    } else {
        pcsTableOut->Set(csName.pszGet());
    }
    return 1;
}
