// The database's date, time and date-time texts into the slot forms of the
// analysis item: DATE8 digits, HEURE digits, or the 8-byte date-time.
//
// A text is recognised by its length alone; its characters are not checked
// to be digits and only the separators named below are. Every other text
// gives a zeroed slot and success: a database text of an unexpected form
// reads as the zero date, time or date-time, never as an error.
#include <algorithm>
#include <cstring>

#include "common/text/date_time_base.h"
#include "native/model/convert_variant.h"
#include "native/model/na_item_description.h"

namespace {

constexpr int kNone = -1;

// Where the fields of one form lie (character positions; kNone: absent).
struct stDateForm
{
    int nYear = kNone, nMonth = kNone, nDay = kNone;
    int nHour = kNone, nMinute = kNone, nSecond = kNone;
    int nFraction = kNone;
    // HEURE takes no fraction digits from this form.
    bool bHeureWithoutFraction = false;
};

// The form of a text of that length; false when there is none.
bool bFormOf(const char* psz, long nLength, stDateForm* pst)
{
    stDateForm& f = *pst;
    const auto time = [&f](int h, int m, int s) {
        f.nHour = h;
        f.nMinute = m;
        f.nSecond = s;
    };
    const auto date = [&f](int y, int m, int d) {
        f.nYear = y;
        f.nMonth = m;
        f.nDay = d;
    };
    switch (nLength) {
    case 4: time(0, 2, kNone); return true;
    case 5:
        if (psz[2] != ':')
            return false;
        time(0, 3, kNone);
        return true;
    case 6: time(0, 2, 4); return true;
    case 8:
        if (psz[2] == ':')
            time(0, 3, 6);
        else
            date(0, 4, 6);
        return true;
    case 10:
        if (psz[4] != '-' || psz[7] != '-')
            return false;
        date(0, 5, 8);
        return true;
    case 11:
    case 12:
        time(0, 3, 6);
        f.nFraction = 9;
        return true;
    case 14:
        date(0, 4, 6);
        time(8, 10, 12);
        return true;
    case 17:
        date(0, 4, 6);
        time(9, 12, 15);
        return true;
    case 19:
    case 21:
    case 22:
    case 23:
    case 26:
        date(0, 5, 8);
        time(11, 14, 17);
        if (nLength > 19 && psz[19] == '.')
            f.nFraction = 20;
        f.bHeureWithoutFraction = nLength == 21 || f.nFraction == kNone;
        return true;
    default:
        return false;
    }
}

// The character at a position of a field, '0' when the form has no such
// field or the text ends before it.
char cDigit(const char* psz, long nLength, int nField, int nOffset)
{
    if (nField == kNone || nField + nOffset >= nLength)
        return '0';
    return psz[nField + nOffset];
}

// The runtime's field reader, with the usual case read in place: a field
// of digits only, wholly inside a text (of nLength characters) that holds no
// zero byte, which is the value of its digits for that reader too.
int nFieldValue(const char* psz, long nLength, bool bNoZero, int nPosition, int nDigits, bool bPartial)
{
    if (bNoZero && nPosition + nDigits <= nLength) {
        int n = 0;
        int i = 0;
        for (; i < nDigits; ++i) {
            const char c = psz[nPosition + i];
            if (c < '0' || c > '9')
                break;
            n = n * 10 + (c - '0');
        }
        if (i == nDigits)
            return n;
    }
    return CDateTimeBase::nGetPropDateTime(psz, nPosition, nDigits, bPartial);
}

int nField(const char* psz, long nLength, bool bNoZero, int nPosition, int nDigits)
{
    return nPosition == kNone ? 0 : nFieldValue(psz, nLength, bNoZero, nPosition, nDigits, false);
}

}  // namespace

bool CNAConvertVariant::_bDateFormTarget()
{
    // The runtime value's own storage is the buffer of kinds 1 and 2.
    if (!_bBufferKind() && m_nBindState == 0)
        (void)bInitBufferDB();
    return m_pbyBuffer != nullptr && m_nBufferSize > 0;
}

int CNAConvertVariant::_bSetValueDB_AndConvertToDate(const char* pszText, long nLength, int)
{
    if (!_bDateFormTarget())
        return 1;
    _ZeroFrom(0);
    m_nUsedSize = 0;
    m_clValue.SetNull(false);
    const eNA_ITEMTYPE eItem = eNAGetItemTypeAnalyse();
    if (eItem != NA_IT_DATE8 && eItem != NA_IT_HEURE && eItem != NA_IT_DATETIME)
        return 1;
    // The longest form has 26 characters; the text gets a terminator for the
    // field readers.
    constexpr long kLongest = 26;
    if (pszText == nullptr || nLength <= 0 || nLength > kLongest)
        return 1;
    char acText[kLongest + 1];
    std::memcpy(acText, pszText, static_cast<size_t>(nLength));
    acText[nLength] = 0;
    stDateForm form;
    if (!bFormOf(acText, nLength, &form))
        return 1;
    // Characters of the 8-bit forms go in only while a terminator stays
    // behind them.
    const unsigned long nRoom = m_nBufferSize - 1;
    char acDigits[9];
    unsigned long nDigits = 0;
    if (eItem == NA_IT_DATE8) {
        if (form.nYear == kNone)
            return 1;
        for (int i = 0; i < 4; ++i)
            acDigits[nDigits++] = acText[form.nYear + i];
        for (int i = 0; i < 2; ++i)
            acDigits[nDigits++] = acText[form.nMonth + i];
        for (int i = 0; i < 2; ++i)
            acDigits[nDigits++] = acText[form.nDay + i];
    } else if (eItem == NA_IT_HEURE) {
        const int anFields[3] = {form.nHour, form.nMinute, form.nSecond};
        for (int nField : anFields)
            for (int i = 0; i < 2; ++i)
                acDigits[nDigits++] = cDigit(acText, nLength, nField, i);
        for (int i = 0; i < 3; ++i)
            acDigits[nDigits++] =
                form.bHeureWithoutFraction ? '0' : cDigit(acText, nLength, form.nFraction, i);
    } else {
        const bool bNoZero = std::memchr(acText, 0, static_cast<size_t>(nLength)) == nullptr;
        const auto field = [&](int nPosition, int nDigits) {
            return nField(acText, nLength, bNoZero, nPosition, nDigits);
        };
        CDateTimeBase dt;
        dt.InitDate();
        const int nMilli =
            form.nFraction == kNone ? 0 : nFieldValue(acText, nLength, bNoZero, form.nFraction, 3, true);
        dt.Set(field(form.nYear, 4), field(form.nMonth, 2), field(form.nDay, 2), field(form.nHour, 2),
               field(form.nMinute, 2), field(form.nSecond, 2), nMilli);
        const unsigned long n = std::min<unsigned long>(m_nBufferSize, sizeof dt);
        std::memcpy(m_pbyBuffer, &dt, n);
        m_nUsedSize = n;
        return 1;
    }
    const unsigned long n = std::min(nDigits, nRoom);
    std::memcpy(m_pbyBuffer, acDigits, n);
    m_nUsedSize = n;
    return 1;
}
