// The values of a MySQL result's current row, handed to a conversion value
// in the form it reads: most as the server's text in the connection's code
// page; dates and times brought to the forms the date converter reads by
// length (a text without an item, the SQL handle's, keeps the server's
// text), a TIME that is no time of day refused by a date or time item;
// binary data as its bytes; text kept in binary columns by the item that
// reads it.
//
// This is the path of every value the driver reads: nothing here allocates
// for an ordinary value, and a column's description is found by its index.
#include <cstdint>
#include <cstring>
#include <vector>

#include "mysql/client_field_types.h"
#include "mysql/mysql_connection.h"
#include "mysql/mysql_error_sites.h"
#include "mysql/mysql_statement_sql.h"
#include "native/model/column_sql.h"
#include "native/model/convert_variant.h"

namespace {

using namespace MySQLField;

// A temporal text is at most "-838:59:59.000000" or a date-time with six
// fraction digits (26 characters); longer texts pass as they come.
constexpr long kLongestTemporal = 32;
// The runtime keeps milliseconds.
constexpr long kFractionDigits = 3;

bool bTemporal(uint32_t nType)
{
    return nType == kTimestamp || nType == kDate || nType == kTime || nType == kDateTime;
}

bool bBlob(uint32_t nType)
{
    return nType >= static_cast<uint32_t>(kTinyBlob) && nType <= static_cast<uint32_t>(kBlob);
}

bool bBinaryItem(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_MEMOBINAIRE || eType == NA_IT_BINAIRE;
}

bool bDateItem(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_DATE6 || eType == NA_IT_DATE8 || eType == NA_IT_HEURE || eType == NA_IT_DATETIME;
}

bool bTextCode(unsigned short nCode)
{
    return (nCode >= 16 && nCode <= 23) || nCode == 81 || nCode == 110 || nCode == 134;
}

// Whether a TIME text is a time of day (00:00:00 to 23:59:59.fff), the only
// TIME a host date, time or date-time holds; beyond it a TIME runs from
// -838:59:59 to 838:59:59.
bool bTimeOfDay(const char* p, long n)
{
    const auto digit = [&](long i) { return i < n && p[i] >= '0' && p[i] <= '9'; };
    return n >= 8 && digit(0) && digit(1) && p[2] == ':' && (p[0] - '0') * 10 + (p[1] - '0') < 24;
}

}  // namespace

long CMySQLStatementSQL::s_nPrepareTemporalText(uint32_t nType, const char* p, long n, char* acOut)
{
    if (n > kLongestTemporal)
        return -1;
    const bool bDateColumn = nType == kDate || nType == kDateTime;
    long nDashes = 0;
    long nPoint = -1;
    for (long i = 0; i < n; ++i) {
        if (p[i] == '-')
            ++nDashes;
        else if (p[i] == '.' && nPoint < 0)
            nPoint = i;
    }
    if (bDateColumn && nDashes == n)
        return 0;
    if (nPoint >= 0) {
        std::memcpy(acOut, p, static_cast<size_t>(nPoint) + 1);
        long nOut = nPoint + 1;
        for (long i = 0; i < kFractionDigits; ++i) {
            const long nFrom = nPoint + 1 + i;
            acOut[nOut++] = nFrom < n ? p[nFrom] : '0';
        }
        return nOut;
    }
    if (!bDateColumn || (n != 10 && n != 19))
        return -1;
    long nOut = 0;
    for (long i = 0; i < n; ++i)
        if (p[i] != '-')
            acOut[nOut++] = p[i];
    return nOut;
}

int CMySQLStatementSQL::bGetValue(CNAConvertVariant* pclValue, unsigned nColumn, unsigned)
{
    if (m_pRow == nullptr || m_pLengths == nullptr || pclValue == nullptr || m_tabColumns == nullptr)
        return 0;
    if (nColumn >= m_nColumnCount) {
        // A reader that expects more columns than the result has (a SHOW
        // result of another form) must fail with the reason, not silently.
        (void)pclGetNAColumnSQL(static_cast<int>(nColumn));
        return 0;
    }
    const char* p = m_pRow[nColumn];
    if (p == nullptr) {
        pclValue->SetNull();
        return 1;
    }
    const long n = static_cast<long>(m_pLengths[nColumn]);
    const CNAColumnSQL& column = m_tabColumns[nColumn];
    const int nCodePage = m_pclConnection->nGetClientTextCodePage();
    const uint32_t nType = column.m_nNativeType;

    if (bTemporal(nType)) {
        const eNA_ITEMTYPE eAnalyse = pclValue->eNAGetItemTypeAnalyse();
        const unsigned short nCode = pclValue->pclGetValue()->nGetTypeCode();
        // A text with no item to fit (the SQL handle's values) is the
        // server's text: the forms below are the date converter's.
        if (eAnalyse == NA_IT_EMPTY && bTextCode(nCode))
            return pclValue->bSetValueDB(p, n, nCodePage);
        if (nType == kTime && (bDateItem(eAnalyse) || !bTextCode(nCode)) && !bTimeOfDay(p, n)) {
            // Read as a time of day it would be another value, or none.
            wchar_t awcText[kLongestTemporal + 1];
            const long nShown = n < kLongestTemporal ? n : kLongestTemporal;
            for (long i = 0; i < nShown; ++i)
                awcText[i] = static_cast<wchar_t>(static_cast<unsigned char>(p[i]));
            awcText[nShown] = 0;
            pclValue->_SetErrorConversionFailed(ZLTYPE_TIMEA, awcText, MySQLSite::kStmtTimeBeyondDay.nSource,
                                                MySQLSite::kStmtTimeBeyondDay.nSite);
            return 0;
        }
        char acText[kLongestTemporal];
        const long nPrepared = s_nPrepareTemporalText(nType, p, n, acText);
        if (nPrepared >= 0)
            return pclValue->bSetValueDB(acText, nPrepared, nCodePage);
        return pclValue->bSetValueDB(p, n, nCodePage);
    }
    if (nType == kYear) {
        // A year read into a date is the first of January of that year (the
        // zero date for 0000); read as a bare time it would be 20:09.
        const eNA_ITEMTYPE eAnalyse = pclValue->eNAGetItemTypeAnalyse();
        if ((eAnalyse == NA_IT_DATE8 || eAnalyse == NA_IT_DATETIME) && n == 4) {
            const bool bZero = std::memcmp(p, "0000", 4) == 0;
            char acDate[8];
            std::memcpy(acDate, p, 4);
            std::memcpy(acDate + 4, bZero ? "0000" : "0101", 4);
            return pclValue->bSetValueDB(acDate, 8, nCodePage);
        }
        return pclValue->bSetValueDB(p, n, nCodePage);
    }
    if (bBlob(nType)) {
        const eNA_ITEMTYPE eAnalyse = pclValue->eNAGetItemTypeAnalyse();
        if (bBinaryItem(eAnalyse))
            return pclValue->bSetValue(reinterpret_cast<const unsigned char*>(p), static_cast<unsigned long>(n));
        const eNA_ITEMTYPE eDatabase = pclValue->eNAGetItemTypeDatabase();
        if (bBinaryItem(eDatabase) || (eDatabase == NA_IT_EMPTY && column.m_nCharsetNumber == kBinaryCharset)) {
            if (eAnalyse == NA_IT_UNICODE || eAnalyse == NA_IT_MEMOUNICODE) {
                // The bytes are wide characters; a row's values lie at any
                // byte, so they are read from an aligned copy when needed.
                const long nChars = n / static_cast<long>(sizeof(wchar_t));
                if (reinterpret_cast<uintptr_t>(p) % alignof(wchar_t) == 0)
                    return pclValue->bSetValueDB(reinterpret_cast<const wchar_t*>(p), nChars);
                std::vector<wchar_t> aligned(static_cast<size_t>(nChars) + 1);
                std::memcpy(aligned.data(), p, static_cast<size_t>(nChars) * sizeof(wchar_t));
                return pclValue->bSetValueDB(aligned.data(), nChars);
            }
            return pclValue->bSetValueDB(p, n, m_pclConnection->nGetRuntimeCodePage());
        }
    }
    // NEWDECIMAL values, as the server writes them (an optional '-',
    // digits, an optional '.'), need no preparing either.
    return pclValue->bSetValueDB(p, n, nCodePage);
}

int CMySQLStatementSQL::bGetValue(unsigned char** ppbyValue, unsigned* pnLength, unsigned nColumn) const
{
    if (m_pRow == nullptr || m_pLengths == nullptr || nColumn >= m_nColumnCount)
        return 0;
    *ppbyValue = reinterpret_cast<unsigned char*>(m_pRow[nColumn]);
    *pnLength = static_cast<unsigned>(m_pLengths[nColumn]);
    return 1;
}
