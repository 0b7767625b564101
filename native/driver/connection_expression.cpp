// Column expressions rendered in the host engine's compact date and time
// texts, so that a search or filter can compare a date or time column with
// a host value: DATE8 as 8 digits (YYYYMMDD), DATETIME as 17 (down to the
// milliseconds), HEURE as 4, 5 to 6, or 7 to 9 digits by the item's size.
// Each kind has its own SQL for it; X below stands for the expression.
#include "common/text/str_compare.h"
#include "common/text/string_concat_aw.h"
#include "native/driver/connection_description.h"
#include "native/model/item_type.h"
#include "native/model/na_item_description.h"

namespace {

// The text written before X and after it.
struct stForm
{
    const wchar_t* pszBefore;
    const wchar_t* pszAfter;
};

// A form by kind; the entry of kind 0 serves every kind without its own.
struct stKindForm
{
    int nKind;
    stForm form;
};

template <size_t N>
const stForm& FormOf(const stKindForm (&forms)[N], int nKind)
{
    for (const stKindForm& f : forms)
        if (f.nKind == nKind)
            return f.form;
    return forms[0].form;
}

constexpr stKindForm kDate8[] = {
    {0, {L"TO_CHAR(", L",'YYYYMMDD')"}},
    {2, {L"REPLACE(CONVERT(varchar(10),", L",20),'-','')"}},
    {3, {L"FORMAT(", L",'YYYYMMdd')"}},
    {4, {L"CONVERT(VARCHAR(8),", L",112)"}},
    {5, {L"DATE_FORMAT(", L",'%Y%m%d')"}},
    {7, {L"REPLACE(CHAR(DATE(", L")), '-', '')"}},
    {11, {L"TO_CHAR(", L",'%Y%m%d')"}},
    {13, {L"strftime('%Y%m%d',", L")"}},
};

constexpr stKindForm kHeure4[] = {
    {0, {L"TO_CHAR(", L",'HH24MI')"}},
    {3, {L"FORMAT(", L",'HHmm')"}},
    {4, {L"STUFF(CONVERT(VARCHAR(5),", L",108), 3, 1, NULL)"}},
    {5, {L"TIME_FORMAT(", L",'%H%i')"}},
    {7, {L"SUBSTR(REPLACE(CHAR(TIME(", L")), '.', ''), 1, 4)"}},
    {11, {L"TO_CHAR(", L",'%H%M')"}},
    {13, {L"strftime('%H%M',", L")"}},
};

constexpr stKindForm kHeure6[] = {
    {0, {L"TO_CHAR(", L",'HH24MISS')"}},
    {2, {L"REPLACE(CONVERT(varchar(8),", L",108),':','')"}},
    {3, {L"FORMAT(", L",'HHmmss')"}},
    {4, {L"STUFF(STUFF(CONVERT(VARCHAR(8),", L",108), 3, 1, NULL), 5, 1, NULL)"}},
    {5, {L"TIME_FORMAT(", L",'%H%i%S')"}},
    {7, {L"REPLACE(CHAR(TIME(", L")), '.', '')"}},
    {11, {L"TO_CHAR(", L",'%H%M%S')"}},
    {13, {L"strftime('%H%M%S',", L")"}},
};

// Kinds 3, 4 and 11 and the other kinds write theirs in code.
constexpr stKindForm kHeure9[] = {
    {0, {nullptr, nullptr}},
    {2, {L"REPLACE(REPLACE(CONVERT(varchar(12),", L",114),':',''),'.','')"}},
    {5, {L"TIME_FORMAT(", L",'%H%i%S%f')"}},
    {6, {L"TO_CHAR(", L",'HH24MISSMS')"}},
    {7, {L"SUBSTR(REPLACE(REPLACE(CHAR(TIMESTAMP_ISO(", L")), '-', ''), '.', ''),9,9)"}},
    {8, {L"TO_CHAR(", L",'HH24MISSMLS')"}},
    {13, {L"REPLACE(strftime('%H%M%f',", L"),'.','')"}},
};

// Kinds 4 and the other kinds write theirs in code.
constexpr stKindForm kDateTime[] = {
    {0, {nullptr, nullptr}},
    {2, {L"REPLACE(REPLACE(REPLACE(REPLACE(CONVERT(varchar(10),", L",20),'-',''),' ',''),':',''),'.','')"}},
    {3, {L"(FORMAT(", L",'YYYYMMddHHmmss') + '000')"}},
    {5, {L"SUBSTR(DATE_FORMAT(", L",'%Y%m%d%H%i%S%f'), 1, 17)"}},
    {6, {L"TO_CHAR(", L",'YYYYMMDDHH24MISSMS')"}},
    {7, {L"SUBSTR(REPLACE(REPLACE(CHAR(TIMESTAMP_ISO(", L")), '-', ''), '.', ''),1,17)"}},
    {8, {L"TO_CHAR(", L",'YYYYMMDDHH24MISSMLS')"}},
    {11, {L"TO_CHAR(", L",'%Y%m%d%H%M%S%F3')"}},
    {13, {L"REPLACE(strftime('%Y%m%d%H%M%f',", L"),'.','')"}},
};

// Writes the expression forms into one builder.
class CExpressionWriter
{
public:
    CExpressionWriter(CTStringConcatAW* pclOut, const wchar_t* pszExpression)
        : m_pclOut(pclOut), m_pszX(pszExpression != nullptr ? pszExpression : L"")
    {
    }

    void Text(const wchar_t* psz) { m_pclOut->Add(psz, -1); }
    void X() { Text(m_pszX); }
    void Number(long n) { m_pclOut->AddNumber(n); }
    void Form(const stForm& form)
    {
        Text(form.pszBefore);
        X();
        Text(form.pszAfter);
    }
    // Where the text to be cut begins.
    long nMark() const { return m_pclOut->nGetNbCar(); }
    // The text written since the mark cut to its first n characters.
    void Cut(long nMark, const wchar_t* pszFunction, int n)
    {
        m_pclOut->Insert(pszFunction, -1, nMark);
        Text(L", 1, ");
        Number(n);
        Text(L")");
    }

private:
    CTStringConcatAW* m_pclOut;
    const wchar_t* m_pszX;
};

bool bSameIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    return STR_nUpCompareW(a, b, 0) == 0;
}

}  // namespace

int CNAConnectionDescription::bConvertExpressionToString(CNAError*, CTStringConcatAW* pclOut,
                                                         const wchar_t* pszExpression, INAItemDescription* piItem,
                                                         INAItemDescription* piSourceItem) const
{
    CExpressionWriter out(pclOut, pszExpression);
    const eNA_ITEMTYPE eType = piItem != nullptr ? piItem->eNAGetItemType() : NA_IT_EMPTY;
    const int nSize = eType == NA_IT_HEURE ? piItem->nGetItemSize() : 0;
    const int nKind = m_nDBKind;

    // Kinds without a milliseconds function of their own: a TIMESTAMP
    // column has the fraction; a DATE column (or one whose type is not
    // known) has it only once cast, on servers from version 9.
    const auto otherKindFraction = [&](const wchar_t* pszWithFraction, const wchar_t* pszWithout) {
        const wchar_t* pszDBType = piSourceItem != nullptr ? piSourceItem->pszGetDBType() : nullptr;
        const bool bNoType = pszDBType == nullptr || pszDBType[0] == 0;
        if (!bNoType && bSameIgnoringCase(pszDBType, L"TIMESTAMP")) {
            out.Text(L"TO_CHAR(");
            out.X();
            out.Text(L",'");
            out.Text(pszWithFraction);
            out.Text(L"')");
        } else if ((bNoType || bSameIgnoringCase(pszDBType, L"DATE")) && m_nServerMajor > 8) {
            out.Text(L"TO_CHAR( CAST(");
            out.X();
            out.Text(L" AS TIMESTAMP),'");
            out.Text(pszWithFraction);
            out.Text(L"')");
        } else {
            out.Text(L"(TO_CHAR(");
            out.X();
            out.Text(L",'");
            out.Text(pszWithout);
            out.Text(L"')+'000')");
        }
    };

    if (eType == NA_IT_DATE8) {
        out.Form(FormOf(kDate8, nKind));
        return 1;
    }

    if (eType == NA_IT_DATETIME) {
        if (nKind == 4) {
            out.Text(L"(CONVERT(VARCHAR(8),");
            out.X();
            out.Text(L",112)+STUFF(STUFF(CONVERT(VARCHAR(8),");
            out.X();
            out.Text(L",108), 3, 1, NULL), 5, 1, NULL)+SUBSTRING(CONVERT(CHAR(4), 1000+DATEPART(ms,");
            out.X();
            out.Text(L")),2,4))");
        } else if (FormOf(kDateTime, nKind).pszBefore != nullptr) {
            out.Form(FormOf(kDateTime, nKind));
        } else {
            otherKindFraction(L"YYYYMMDDHH24MISSFF3", L"YYYYMMDDHH24MISS");
        }
        return 1;
    }

    if (eType == NA_IT_HEURE && nSize == 5 && nKind != 2) {
        out.Form(FormOf(kHeure4, nKind));
        return 1;
    }

    if (eType == NA_IT_HEURE && nSize >= 5 && nSize <= 7) {
        // Kind 2 has no four-digit form: its six-digit one, cut to 4.
        const int n = nSize - 1;
        const long nMark = out.nMark();
        out.Form(FormOf(kHeure6, nKind));
        if (n <= 5)
            out.Cut(nMark, nKind >= 2 && nKind <= 4 ? L"SUBSTRING(" : L"SUBSTR(", n);
        return 1;
    }

    if (eType == NA_IT_HEURE && nSize >= 8 && nSize <= 10) {
        const int n = nSize - 1;
        const long nMark = out.nMark();
        if (nKind == 3) {
            out.Text(L"(FORMAT(");
            out.X();
            out.Text(L",'HHmmss')");
            out.Text(n == 7 ? L" + '0'" : n == 8 ? L" + '00'" : L" + '000'");
            out.Text(L")");
        } else if (nKind == 4) {
            out.Text(L"STUFF(STUFF(CONVERT(VARCHAR(8),");
            out.X();
            out.Text(L",108), 3, 1, NULL), 5, 1, NULL)+SUBSTRING(CONVERT(CHAR(4), 1000+DATEPART(ms,");
            out.X();
            out.Text(L")),2,4)");
        } else if (nKind == 11) {
            out.Text(L"TO_CHAR(");
            out.X();
            out.Text(L",'%H%M%S%F");
            out.Number(n - 6);
            out.Text(L"')");
        } else if (FormOf(kHeure9, nKind).pszBefore != nullptr) {
            out.Form(FormOf(kHeure9, nKind));
        } else {
            otherKindFraction(L"HH24MISSFF3", L"HH24MISS");
        }
        // Kind 5's fraction has six digits: it is cut at 9 too.
        if (nKind != 3 && (n <= 8 || (nKind == 5 && n == 9)))
            out.Cut(nMark, nKind == 2 || nKind == 4 ? L"SUBSTRING(" : L"SUBSTR(", n);
        return 1;
    }

    out.X();
    return 0;
}
