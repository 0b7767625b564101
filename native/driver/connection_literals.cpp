// Runtime values written as SQL literals of the connection's kind: NULL,
// booleans, numbers with a decimal point, quoted texts and the date, time
// and date-time forms.
//
// bConvertValueToString empties the builder and writes one literal; the
// pieces it calls (_bEscapeString, _bBoolToString, _bDateToString) append to
// what the builder holds, so that a failed date leaves it as it was.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/system/formatted_output.h"
#include "common/text/ct_string.h"
#include "common/text/string_concat_aw.h"
#include "common/text/utf8_convert.h"
#include "common/text/x_time.h"
#include "common/text/xy_string.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/item_type.h"
#include "native/model/variant_any.h"
#include "native/model/variant_text.h"

namespace {

// Appends a text with every quote doubled: each piece up to and including a
// quote, then one more quote.
template <class T, class FnAdd>
void AddDoublingQuotes(const T* p, size_t n, FnAdd add)
{
    static const T kQuote[1] = {static_cast<T>('\'')};
    size_t nStart = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == kQuote[0]) {
            add(p + nStart, i + 1 - nStart);
            add(kQuote, 1);
            nStart = i + 1;
        }
    }
    if (nStart < n)
        add(p + nStart, n - nStart);
}

void AddText(CTStringConcatAW* pclOut, const wchar_t* psz)
{
    pclOut->Add(psz, -1);
}

// The value's wide text ("," and all), through a copy; false when it has
// none.
bool bWideText(const CAny& clValue, CXYString<wchar_t>* pOut)
{
    return clValue.__nFillString(*pOut, nullptr) <= 99;
}

// The decimal text of an integer value, as the runtime writes it, without
// asking the runtime: a search on a number writes one per statement. False
// for any other type.
bool bAddIntegerText(CTStringConcatAW* pclOut, const CAny& clValue)
{
    int64_t llSigned = 0;
    uint64_t llUnsigned = 0;
    bool bSigned = true;
    switch (clValue.nGetTypeCode()) {
    case ZLTYPE_UI1: llUnsigned = clValue._tLit<uint8_t>(); bSigned = false; break;
    case ZLTYPE_UI2: llUnsigned = clValue._tLit<uint16_t>(); bSigned = false; break;
    case ZLTYPE_UI4: llUnsigned = clValue._tLit<uint32_t>(); bSigned = false; break;
    case ZLTYPE_UI8: llUnsigned = clValue._tLit<uint64_t>(); bSigned = false; break;
    case ZLTYPE_I1: llSigned = clValue._tLit<int8_t>(); break;
    case ZLTYPE_I2: llSigned = clValue._tLit<int16_t>(); break;
    case ZLTYPE_I4: llSigned = clValue._tLit<int32_t>(); break;
    case ZLTYPE_I8: llSigned = clValue._tLit<int64_t>(); break;
    default: return false;
    }
    char acDigits[24];
    const std::to_chars_result r = bSigned ? std::to_chars(acDigits, acDigits + sizeof acDigits, llSigned)
                                           : std::to_chars(acDigits, acDigits + sizeof acDigits, llUnsigned);
    wchar_t awcText[24];
    const long n = static_cast<long>(r.ptr - acDigits);
    for (long i = 0; i < n; ++i)
        awcText[i] = static_cast<wchar_t>(acDigits[i]);
    pclOut->Add(awcText, n);
    return true;
}

}  // namespace

int CNAConnectionDescription::bCopyString(CNAError*, CXYString<wchar_t>* pOut, const CAny* pclValue)
{
    if (pOut != nullptr && pclValue != nullptr)
        (void)bWideText(*pclValue, pOut);
    return 1;
}

int CNAConnectionDescription::_bBoolToString(CNAError*, CTStringConcatAW* pclOut, int bValue)
{
    pclOut->Add(bValue ? L"1" : L"0", 1);
    return 1;
}

int CNAConnectionDescription::_bEscapeString(CNAError* pclError, CTStringConcatAW* pclOut, unsigned short nType,
                                             unsigned char* pData, unsigned long nSize)
{
    if (pData == nullptr || nSize == 0) {
        pclOut->Add(L"''", 2);
        return 1;
    }
    const bool bWide = nType == 16 || nType == 20 || nType == 81 || nType == 110;
    if (!bWide) {
        // 8-bit text up to its first zero byte, within the size: a binary
        // value has no terminator of its own.
        const int nCodePage = m_nRuntimeCodePage > 0 ? m_nRuntimeCodePage : 1252;
        const size_t n = NA_nBoundedLength(pData, nSize);
        pclOut->Add(L"'", 1);
        AddDoublingQuotes(reinterpret_cast<const char*>(pData), n, [&](const char* p, size_t k) {
            pclOut->Add(p, static_cast<long>(k), static_cast<unsigned>(nCodePage));
        });
        pclOut->Add(L"'", 1);
        return 1;
    }
    // Wide text ends at its first NUL character: what follows it would be
    // cut from the statement's text, the closing quote with it.
    const size_t nChars = NA_nBoundedWideLength(pData, nSize);
    CNAScratch<wchar_t> scratch;
    wchar_t* psz = scratch.pGet(nChars + 1);
    if (psz == nullptr) {
        if (pclError != nullptr)
            pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_CONNECTION, 0, this, nullptr, nullptr);
        return 0;
    }
    // The data may lie at any address.
    std::memcpy(psz, pData, nChars * sizeof(wchar_t));
    psz[nChars] = 0;
    const bool bAnyKind = m_nDBKind == 1 || m_nDBKind == 2;
    const unsigned nMaster = pclOut->nGetCodePageMaitre();
    pclOut->Add(bAnyKind ? L"N'" : L"'", -1);
    if (bAnyKind && nMaster != 65001 && nMaster != CTStringConcatAW::kMaitreLarge) {
        CNAScratch<char> utf8;
        char* pszUtf8 = nChars <= 0x1FFFFFFF ? utf8.pGet(4 * nChars + 1) : nullptr;
        if (pszUtf8 == nullptr) {
            if (pclError != nullptr)
                pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_CONNECTION, 0, this, nullptr, nullptr);
            return 0;
        }
        const int nBytes = nWideToUTF8(pszUtf8, static_cast<int>(4 * nChars + 1), psz, static_cast<int>(nChars));
        AddDoublingQuotes(pszUtf8, static_cast<size_t>(nBytes), [&](const char* p, size_t k) {
            pclOut->Add(p, static_cast<long>(k), 65001u);
        });
    } else {
        AddDoublingQuotes(psz, nChars, [&](const wchar_t* p, size_t k) { pclOut->Add(p, static_cast<long>(k)); });
    }
    pclOut->Add(L"'", 1);
    return 1;
}

int CNAConnectionDescription::_bDateToString(CNAError* pclError, CTStringConcatAW* pclOut, const CAny* pclValue,
                                             eNA_ITEMTYPE eType)
{
    const unsigned short nCode = pclValue->nGetTypeCode();
    const bool bDate = nCode == 24 || nCode == 128;
    const bool bTime = nCode == 25 || nCode == 129;
    if (!bDate && !bTime && nCode != 26)
        return 1;
    CXYString<wchar_t> clText;
    if (!bWideText(*pclValue, &clText) || clText.pszGet()[0] == 0) {
        pclOut->Add(L"NULL", 4);
        return 1;
    }
    const wchar_t* pszText = clText.pszGet();
    const bool bEscape = m_nDBKind == 7 || m_nDBKind == 8;
    const bool bZeroDate = m_nDBKind == 5 && std::wcsncmp(pszText, L"00000000", 8) == 0;
    CXTime clTime;
    const bool bRead = bTime ? clTime.bSetZLTimeMin(pszText, -1) != 0 : clTime.bSetZLDateTimeMin(pszText, -1) != 0;
    if (!bRead && !(bDate && bZeroDate)) {
        CNAError::g_RaiseSiteError(pclError, bTime ? NASite::kInvalidDateTimeLiteral : NASite::kInvalidDateLiteral,
                                   this, nullptr, nullptr);
        return 0;
    }
    const struct tm* pTm = clTime.nGetTimeTm();
    const int nYear = pTm->tm_year + 1900, nMonth = pTm->tm_mon + 1, nDay = pTm->tm_mday;
    const int nHour = pTm->tm_hour, nMinute = pTm->tm_min, nSecond = pTm->tm_sec;
    const int nMilli = clTime.nGetMilliseconds();
    // Every form fits here with fields of any int value.
    wchar_t szLiteral[160];
    const auto timeForm = [&] {
        if (bEscape || m_nDBKind == 11)
            swprintfWin(szLiteral, L"'%02d:%02d:%02d'", nHour, nMinute, nSecond);
        else
            swprintfWin(szLiteral, L"'%02d:%02d:%02d.%03d'", nHour, nMinute, nSecond, nMilli);
    };
    const wchar_t* pszOpen = nullptr;
    if (bDate) {
        pszOpen = L"{d ";
        if (bZeroDate)
            swprintfWin(szLiteral, L"'0000-00-00'");
        else if (m_nDBKind == 11)
            swprintfWin(szLiteral, L"MDY(%02d,%02d,%04d)", nMonth, nDay, nYear);
        else
            swprintfWin(szLiteral, L"'%04d-%02d-%02d'", nYear, nMonth, nDay);
    } else if (bTime) {
        pszOpen = L"{t ";
        if (m_nDBKind == 11)
            swprintfWin(szLiteral, L"DATETIME(%02d:%02d) HOUR TO MINUTE", nHour, nMinute);
        else
            timeForm();
    } else if (eType == NA_IT_HEURE) {
        pszOpen = L"{t ";
        timeForm();
    } else {
        pszOpen = L"{ts ";
        if (bZeroDate)
            // The zero date-time as the server keeps it: five zeros in the
            // year, as written.
            swprintfWin(szLiteral, L"'00000-00-00 %02d:%02d:%02d.%03d'", nHour, nMinute, nSecond, nMilli);
        else if (m_nDBKind == 11)
            swprintfWin(szLiteral, L"DATETIME(%04d-%02d-%02d %02d:%02d:%02d.%03d) YEAR TO FRACTION", nYear, nMonth,
                        nDay, nHour, nMinute, nSecond, nMilli);
        else
            swprintfWin(szLiteral, L"'%04d-%02d-%02d %02d:%02d:%02d.%03d'", m_nDBKind == 2 && nYear == 0 ? 1900 : nYear,
                        nMonth, nDay, nHour, nMinute, nSecond, nMilli);
    }
    if (bEscape)
        AddText(pclOut, pszOpen);
    AddText(pclOut, szLiteral);
    if (bEscape)
        pclOut->Add(L"}", 1);
    return 1;
}

int CNAConnectionDescription::bConvertValueToString(CNAError* pclError, CTStringConcatAW* pclOut,
                                                    const CAny* pclValue, eNA_ITEMTYPE eType,
                                                    eNA_ITEMTYPE eSecondType)
{
    if (pclOut == nullptr)
        return 0;
    pclOut->Vide();
    if (pclValue == nullptr || pclValue->bIsNull()) {
        pclOut->Add(L"NULL", 4);
        return 1;
    }
    CAny clValue(*pclValue);
    if (eType != NA_IT_EMPTY) {
        // The strict cast runs against an error object of its own: when it
        // fails the value is written as it was, and its error must not take
        // the place of a later database error of the same statement.
        CNAError clScratch;
        CAny clCast(*pclValue);
        if (bCastCAnyIntoDBType(&clScratch, &clCast, eType, eSecondType, 1))
            clValue = clCast;
    }
    const unsigned short nCode = clValue.nGetTypeCode();
    switch (nCode) {
    case 0:
        pclOut->Add(L"NULL", 4);
        return 1;
    case 1:
        return _bBoolToString(pclError, pclOut, clValue._tLit<int32_t>() != 0);
    case 16: case 17: case 18: case 19: case 28: case 29: case 30: case 81: case 110: {
        unsigned long nSize = 0;
        unsigned char* pData = static_cast<unsigned char*>(const_cast<void*>(NA_pGetAnyData(clValue, &nSize)));
        if (pData == nullptr || (nCode == 17 && pData[0] == 0))
            nSize = 0;
        if (nCode == 81 && pData != nullptr && nSize >= sizeof(wchar_t)) {
            wchar_t c;
            std::memcpy(&c, pData, sizeof c);
            if (c == 0)
                nSize = 0;
        }
        return _bEscapeString(pclError, pclOut, nCode, pData, nSize);
    }
    case 24: case 25: case 26: case 128: case 129:
        return _bDateToString(pclError, pclOut, &clValue, eType);
    default: {
        if (bAddIntegerText(pclOut, clValue))
            return 1;
        CXYString<wchar_t> clText;
        (void)bCopyString(pclError, &clText, &clValue);
        AddText(pclOut, clText.pszGet());
        if (nCode >= 10 && nCode <= 13)
            // A decimal comma of the runtime's text is a point in SQL.
            pclOut->Remplace(L",", 1, L".", 1, 0);
        return 1;
    }
    }
}
