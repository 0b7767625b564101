// The database's text forms into a conversion value: every fetched column
// value comes through here, once per row, so the usual paths (numbers,
// booleans, dates, texts of the connection's own code page) write straight
// into the slot without allocating.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/system/code_page_conversion.h"
#include "common/text/cp1252.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/na_item_description.h"
#include "native/model/variant_any.h"
#include "native/model/variant_text.h"
#include "native/model/zl_type_groups.h"

namespace {

// Bytes of the binary form of the numbers cast from text.
unsigned long nNumberWidth(unsigned short nCode)
{
    switch (nCode) {
    case 2: case 6: return 1;
    case 3: case 7: return 2;
    case 1: case 4: case 8: case 11: return 4;
    case 10: return 10;
    default: return 8;
    }
}

// UTF-8 text cut at most n bytes, never inside a character.
size_t nUTF8Cut(const char* psz, size_t nLength, size_t nMax)
{
    if (nLength <= nMax)
        return nLength;
    size_t n = nMax;
    while (n > 0 && (static_cast<unsigned char>(psz[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

bool bDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The binary form (nNumberWidth bytes, little-endian) of a number text in
// the plain form the server writes: a '-' for a signed type, digits without
// a leading zero (but "0" itself), and for money up to six fraction digits
// after a '.'. It is what the runtime's cast makes of such a text. Anything
// else (blanks, '+', exponents, more digits, a value out of the type's
// range, real types) is left to that cast: false.
bool bPlainNumberText(const char* psz, size_t n, unsigned short nCode, unsigned char* pbyOut)
{
    const bool bNegative = n > 0 && psz[0] == '-';
    const size_t nFirst = bNegative ? 1 : 0;
    size_t i = nFirst;
    uint64_t nValue = 0;
    // 19 digits never overflow 64 bits.
    for (; i < n && bDigit(psz[i]); ++i) {
        if (i - nFirst == 19)
            return false;
        nValue = nValue * 10 + static_cast<uint64_t>(psz[i] - '0');
    }
    const size_t nDigits = i - nFirst;
    if (nDigits == 0 || (nDigits > 1 && psz[nFirst] == '0'))
        return false;
    if (nCode == ZLTYPE_CY) {
        // Millionths in 80 bits: twelve integer digits keep them within 63.
        if (nDigits > 12)
            return false;
        int nScale = 0;
        if (i < n && psz[i] == '.') {
            for (++i; i < n && bDigit(psz[i]); ++i) {
                if (nScale == 6)
                    return false;
                nValue = nValue * 10 + static_cast<uint64_t>(psz[i] - '0');
                ++nScale;
            }
            if (nScale == 0)
                return false;
        }
        if (i != n)
            return false;
        for (; nScale < 6; ++nScale)
            nValue *= 10;
        const int64_t nUnits = bNegative ? -static_cast<int64_t>(nValue) : static_cast<int64_t>(nValue);
        std::memcpy(pbyOut, &nUnits, sizeof nUnits);
        pbyOut[8] = pbyOut[9] = nUnits < 0 ? 0xFF : 0;
        return true;
    }
    if (i != n)
        return false;
    uint64_t nMax;
    bool bSigned = true;
    switch (nCode) {
    case ZLTYPE_UI2: nMax = 0xFFFF; bSigned = false; break;
    case ZLTYPE_UI4: nMax = 0xFFFFFFFF; bSigned = false; break;
    case ZLTYPE_UI8: case ZLTYPE_UIX: nMax = UINT64_MAX; bSigned = false; break;
    case ZLTYPE_I1: nMax = INT8_MAX; break;
    case ZLTYPE_I2: nMax = INT16_MAX; break;
    case ZLTYPE_I4: nMax = INT32_MAX; break;
    case ZLTYPE_I8: nMax = INT64_MAX; break;
    default: return false;
    }
    // A signed type reaches one further below zero.
    if (bNegative && (!bSigned || nValue > nMax + 1))
        return false;
    if (!bNegative && nValue > nMax)
        return false;
    const uint64_t nBits = bNegative ? 0 - nValue : nValue;
    std::memcpy(pbyOut, &nBits, sizeof nBits);
    return true;
}

bool bAscii(const char* psz, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(psz[i]) >= 0x80)
            return false;
    return true;
}

}  // namespace

int CNAConvertVariant::s_bTextToBool(const char* pszText)
{
    if (pszText == nullptr)
        return 0;
    const char c = pszText[0];
    return !(c == 'F' || c == 'f' || c == '0' || c == 0);
}

int CNAConvertVariant::s_bTextToBool(const wchar_t* pszText)
{
    if (pszText == nullptr)
        return 0;
    const wchar_t c = pszText[0];
    return !(c == L'F' || c == L'f' || c == L'0' || c == 0);
}

int CNAConvertVariant::_bCastNumberText(const wchar_t* psz, size_t nChars, unsigned short nSourceCode)
{
    const unsigned short nCode = m_clValue.nGetTypeCode();
    // The reader wants a terminated text.
    CNAScratch<wchar_t, 64> scratch;
    wchar_t* pszText = scratch.pGet(nChars + 1);
    if (pszText == nullptr) {
        _SetNoMemory();
        return 0;
    }
    std::wmemcpy(pszText, psz, nChars);
    pszText[nChars] = 0;
    // Cast into a storage of its own: the target may be narrower than the
    // type's binary form.
    alignas(8) unsigned char abyCast[CAny::TAILLE_VALEUR] = {};
    if (CAny::__s_nCastTo(abyCast, pszText, nCode, nullptr) > 99) {
        _SetErrorConversionFailed(nSourceCode, pszText, NA_SRC_VALUE_CONVERSION, 3);
        return 0;
    }
    return _bStoreNumber(abyCast);
}

int CNAConvertVariant::_bStoreNumber(const unsigned char* pbyBinary)
{
    const unsigned long nWidth = nNumberWidth(m_clValue.nGetTypeCode());
    if (m_eVarType == NA_VT_ANY || m_eVarType == NA_VT_ANY_UNREAD) {
        std::memcpy(m_clValue._pbyGetValeur(), pbyBinary, nWidth);
        m_clValue.ClearFlags();
        return 1;
    }
    if (m_pbyBuffer == nullptr)
        return 1;
    const unsigned long n = std::min(nWidth, m_nBufferSize);
    std::memcpy(m_pbyBuffer, pbyBinary, n);
    m_nUsedSize = n;
    _ZeroFrom(n);
    return 1;
}

int CNAConvertVariant::_bStoreBool(int b)
{
    if (!_bBufferKind()) {
        (void)m_clValue.SetBOOL(b);
    } else if (m_pbyBuffer != nullptr && m_nBufferSize > 0) {
        m_pbyBuffer[0] = static_cast<unsigned char>(b);
        m_nUsedSize = 1;
        _ZeroFrom(1);
    }
    return 1;
}

int CNAConvertVariant::_bStoreBinaryDB(const void* pData, size_t nLength)
{
    if (!_bBufferKind())
        (void)m_clValue.SetBIN(static_cast<const unsigned char*>(pData), nLength);
    else
        _StoreBinary(pData, nLength);
    return 1;
}

// --- The text store ------------------------------------------------------------------

int CNAConvertVariant::_bSetValue(const char* pszText, long nLength, int nCodePage)
{
    const size_t n = pszText != nullptr && nLength > 0 ? static_cast<size_t>(nLength) : 0;
    const unsigned short nCode = m_clValue.nGetTypeCode();
    const int nRuntime = nGetConnectionCodePage();
    const bool bWide = NA_bWideTextCode(nCode);
    const bool bRecode = nCodePage == static_cast<int>(CP_UTF8) && nRuntime != static_cast<int>(CP_UTF8);
    if (!_bBufferKind()) {
        if (bWide) {
            CNAScratch<wchar_t> scratch;
            wchar_t* psz = scratch.pGet(n);
            if (psz == nullptr || NA_nSetAnyWide(m_clValue, psz, NA_nAnsiToWide(pszText, n, nCodePage, psz)) > 99) {
                _SetNoMemory();
                return 0;
            }
        } else if (bRecode && !bAscii(pszText, n)) {
            CNAScratch<wchar_t> wide;
            CNAScratch<unsigned char> bytes;
            wchar_t* psz = wide.pGet(n);
            unsigned char* pby = n <= ANY_MAX_UNITES / 4 ? bytes.pGet(4 * n) : nullptr;
            bool bFailed = psz == nullptr || pby == nullptr;
            const size_t nChars = bFailed ? 0 : NA_nAnsiToWide(pszText, n, nCodePage, psz);
            const size_t nBytes = bFailed ? 0 : NA_nWideToAnsiCut(psz, nChars, nRuntime, pby, 4 * n, &bFailed);
            if (bFailed || NA_nSetAnyAnsi(m_clValue, reinterpret_cast<const char*>(pby), nBytes) > 99) {
                _SetNoMemory();
                return 0;
            }
        } else if (NA_nSetAnyAnsi(m_clValue, pszText, n) > 99) {
            _SetNoMemory();
            return 0;
        }
        m_clValue.ClearFlags();
        return 1;
    }
    m_clValue.SetNull(false);
    if (m_pbyBuffer == nullptr || m_nBufferSize == 0) {
        m_nUsedSize = 0;
        return 1;
    }
    if (n == 0) {
        _ZeroFrom(0);
        m_nUsedSize = 0;
        return 1;
    }
    // The text decoded into wide characters, then written by the store.
    const auto storeDecoded = [&](auto store) {
        CNAScratch<wchar_t> scratch;
        wchar_t* psz = scratch.pGet(n);
        if (psz == nullptr) {
            _ZeroFrom(0);
            m_nUsedSize = 0;
            _SetNoMemory();
            return 0;
        }
        return store(psz, NA_nAnsiToWide(pszText, n, nCodePage, psz));
    };
    if (bWide) {
        const bool bUTF16 = _bUTF16Buffer();
        // UTF-8 (the server's text on a Unicode connection) decodes straight
        // into the slot; not a text read from the slot itself, which the
        // writing would overrun. A zero byte met on the way sends the text
        // to the roads below, which write the whole slot again: ASCII and
        // decoded text stop at it differently.
        const auto nText = reinterpret_cast<uintptr_t>(pszText);
        const auto nSlot = reinterpret_cast<uintptr_t>(m_pbyBuffer);
        if (bUTF16 && nCodePage == static_cast<int>(CP_UTF8) && n <= 0x7FFFFFFF &&
            (nText + n <= nSlot || nSlot + m_nBufferSize <= nText)) {
            const size_t nCapacity = m_nBufferSize / 2 > 0 ? m_nBufferSize / 2 - 1 : 0;
            bool bZeroByte = false;
            m_nUsedSize = 2 * NA_nUTF8ToUTF16Cut(pszText, n, m_pbyBuffer, nCapacity, &bZeroByte);
            if (!bZeroByte) {
                _ZeroFrom(m_nUsedSize);
                return 1;
            }
        }
        if (bUTF16 && bAscii(pszText, n)) {
            // ASCII is its own UTF-16, one unit a byte.
            const size_t nUnits = std::min<size_t>(n, m_nBufferSize / 2 > 0 ? m_nBufferSize / 2 - 1 : 0);
            for (size_t i = 0; i < nUnits; ++i) {
                const uint16_t w = static_cast<unsigned char>(pszText[i]);
                std::memcpy(m_pbyBuffer + 2 * i, &w, sizeof w);
            }
            m_nUsedSize = 2 * nUnits;
            _ZeroFrom(m_nUsedSize);
            return 1;
        }
        return storeDecoded([this](const wchar_t* psz, size_t nChars) {
            _StoreWide(psz, nChars);
            return 1;
        });
    }
    if (nCode == ZLTYPE_CARA) {
        m_pbyBuffer[0] = static_cast<unsigned char>(pszText[0]);
        m_nUsedSize = 1;
        _ZeroFrom(1);
        return 1;
    }
    if (bRecode && !(bAscii(pszText, n) && nRuntime == 1252)) {
        // Into the runtime's code page through a temporary: a character that
        // does not fit is left out whole, and the terminator stays.
        return storeDecoded([this, nRuntime](const wchar_t* psz, size_t nChars) {
            return _bStoreWideAsAnsi(psz, nChars, nRuntime) ? 1 : 0;
        });
    }
    const size_t nMax = m_nBufferSize - 1;
    const size_t nCopy = nCodePage == static_cast<int>(CP_UTF8) ? nUTF8Cut(pszText, n, nMax) : std::min(n, nMax);
    std::memmove(m_pbyBuffer, pszText, nCopy);
    m_nUsedSize = nCopy;
    _ZeroFrom(nCopy);
    return 1;
}

// --- Database texts --------------------------------------------------------------------

int CNAConvertVariant::bSetValueDB(const char* pszText, long nLength, int nCodePage)
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    if (pszText == nullptr)
        nLength = 0;
    const size_t n = nLength < 0 ? std::strlen(pszText) : static_cast<size_t>(nLength);
    if (n == 0)
        return bSetValue(static_cast<const unsigned char*>(nullptr), 0);
    if (n > ANY_MAX_UNITES) {
        _SetNoMemory();
        return 0;
    }
    _Fetched();
    m_clValue.SetNull(false);
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if ((nCode >= 16 && nCode <= 23) || nCode == ZLTYPE_CARW || nCode == ZLTYPE_PSTRW || nCode == 134)
        return _bSetValue(pszText, static_cast<long>(n), nCodePage);
    if (nCode == ZLTYPE_BOOL)
        return _bStoreBool(s_bTextToBool(pszText));
    if (nCode >= 3 && nCode <= 14 && nCode != ZLTYPE_DECIMAL) {
        alignas(8) unsigned char abyNumber[16] = {};
        if (bPlainNumberText(pszText, n, nCode, abyNumber))
            return _bStoreNumber(abyNumber);
        CNAScratch<wchar_t, 64> scratch;
        wchar_t* psz = scratch.pGet(n);
        if (psz == nullptr) {
            _SetNoMemory();
            return 0;
        }
        return _bCastNumberText(psz, NA_nAnsiToWide(pszText, n, nCodePage, psz), ZLTYPE_DSTRA);
    }
    if (NA_bDateFormCode(nCode))
        return _bSetValueDB_AndConvertToDate(pszText, static_cast<long>(n), nCodePage);
    if (nCode == ZLTYPE_BIN)
        return _bStoreBinaryDB(pszText, n);
    CAny clText;
    clText.__SetType(ZLTYPE_PSTRA, 0);
    if (NA_nSetAnyAnsi(clText, pszText, n) > 99) {
        _SetNoMemory();
        return 0;
    }
    return bSetValue(&clText);
}

int CNAConvertVariant::bSetValueDB(const wchar_t* pszText, long nLength)
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    return bSetValueFromDB(pszText, nLength);
}

int CNAConvertVariant::bSetValueFromDB(const wchar_t* pszText, long nLength)
{
    if (pszText == nullptr) {
        SetNull();
        return 1;
    }
    _Fetched();
    m_clValue.SetNull(false);
    const size_t n = nLength < 0 ? std::wcslen(pszText) : static_cast<size_t>(nLength);
    if (n > ANY_MAX_UNITES) {
        _SetNoMemory();
        return 0;
    }
    const unsigned short nCode = m_clValue.nGetTypeCode();
    switch (nCode) {
    case ZLTYPE_BOOL:
        return _bStoreBool(n > 0 ? s_bTextToBool(pszText) : 0);
    case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 14:
        return _bCastNumberText(pszText, n, ZLTYPE_DSTRW);
    case 16: case 17: case 18: case 19: case 21: case 22: case 23: case ZLTYPE_CARW: case ZLTYPE_PSTRW:
        return bSetValue(pszText, static_cast<long>(n));
    case ZLTYPE_DATEW: case ZLTYPE_TIMEW: case ZLTYPE_DATETIME: case ZLTYPE_DATEA: case ZLTYPE_TIMEA: {
        // The forms are recognised by length, and none is longer than this:
        // a longer text gives the zero value whatever it holds.
        constexpr size_t kLongestForm = 32;
        char acText[kLongestForm];
        const size_t nConverted = std::min(n, kLongestForm);
        for (size_t i = 0; i < nConverted; ++i)
            acText[i] = STR_ToCP1252(pszText[i], '?', nullptr);
        return _bSetValueDB_AndConvertToDate(acText, static_cast<long>(n <= kLongestForm ? n : kLongestForm + 1),
                                             1252);
    }
    case ZLTYPE_BIN:
        // Bytes taken from the text's memory.
        return _bStoreBinaryDB(pszText, n);
    default: {
        CAny clText;
        clText.__SetType(ZLTYPE_PSTRW, 0);
        if (NA_nSetAnyWide(clText, pszText, n) > 99) {
            _SetNoMemory();
            return 0;
        }
        return bSetValue(&clText);
    }
    }
}

int CNAConvertVariant::bSetValueDB(const CAny* pclValue)
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    if (pclValue == nullptr || pclValue->bIsNull()) {
        SetNull();
        return 1;
    }
    const unsigned short nSource = pclValue->nGetTypeCode();
    if (nSource == m_clValue.nGetTypeCode())
        return bSetValue(pclValue);
    unsigned long nSize = 0;
    const void* p = NA_pGetAnyData(*pclValue, &nSize);
    // The useful size: a terminator counted in would change a text's length,
    // and with it the form a date text is recognised by.
    if (p != nullptr && NA_bAnsiStringCode(nSource))
        return bSetValueDB(static_cast<const char*>(p), static_cast<long>(NA_nGetAnyUtilSize(*pclValue)),
                           nGetClientCodePage());
    if (p != nullptr && NA_bWideStringCode(nSource))
        return bSetValueDB(static_cast<const wchar_t*>(p),
                           static_cast<long>(NA_nGetAnyUtilSize(*pclValue) / sizeof(wchar_t)));
    return bSetValue(pclValue);
}

int CNAConvertVariant::bSetValueDB(const unsigned char* pbyData, unsigned long nLength)
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    _Fetched();
    if (pbyData == nullptr)
        nLength = 0;
    if (!_bBufferKind()) {
        (void)NA_nSetAnyBytes(m_clValue, pbyData, nLength);
        m_clValue.ClearFlags();
        return 1;
    }
    m_clValue.SetNull(false);
    if (m_pbyBuffer == nullptr)
        return 1;
    const unsigned long n = std::min(nLength, m_nBufferSize);
    if (n > 0)
        std::memmove(m_pbyBuffer, pbyData, n);
    m_nUsedSize = n;
    _ZeroFrom(n);
    return 1;
}
