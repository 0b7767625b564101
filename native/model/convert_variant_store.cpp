// Storing into a conversion value: the central conversion of a runtime
// value, the typed setters, the raw store and the text stores of the
// runtime's own texts.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "common/system/time_records.h"
#include "common/text/any_decimal.h"
#include "common/text/any_string.h"
#include "common/text/ct_string.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "common/text/money.h"
#include "common/text/x_time.h"
#include "common/text/zl_bin.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/na_item_description.h"
#include "native/model/variant_any.h"
#include "native/model/variant_text.h"
#include "native/model/zl_type_groups.h"

namespace {

// Whether [p, p + n) overlaps the buffer: a text taken from the value's own
// buffer is copied before the buffer is rewritten.
bool bOverlaps(const void* p, size_t n, const unsigned char* pbyBuffer, unsigned long nSize)
{
    const unsigned char* pby = static_cast<const unsigned char*>(p);
    return pbyBuffer != nullptr && pby < pbyBuffer + nSize && pbyBuffer < pby + n;
}

}  // namespace

// --- Errors -----------------------------------------------------------------------

void CNAConvertVariant::_SetErrorConversionFailed(unsigned short nSourceCode, const wchar_t* pszText, int nSiteMajor,
                                                  int nSiteMinor) const
{
    const stNAErrorSite site{static_cast<eNA_ERRORSOURCE>(nSiteMajor), nSiteMinor, NASite::kConversionFailed.nUserCode,
                             NASite::kConversionFailed.eType};
    eNA_ITEMTYPE eItem = eNAGetItemType();
    if (eItem == NA_IT_EMPTY)
        eItem = ConvertZLTypeToeItem(m_clValue.nGetTypeCode());
    CNAError::g_RaiseSiteError(m_pclError, site, m_pclConnection, pszGetTableName(), pszGetItemName(),
                               static_cast<int>(nSourceCode), static_cast<int>(eItem),
                               pszText != nullptr ? pszText : L"");
}

// --- Writers of the buffer's forms --------------------------------------------------

void CNAConvertVariant::_StoreWide(const wchar_t* psz, size_t nChars)
{
    if (m_pbyBuffer == nullptr || m_nBufferSize == 0) {
        m_nUsedSize = 0;
        return;
    }
    CNAScratch<wchar_t> scratch;
    if (bOverlaps(psz, nChars * sizeof(wchar_t), m_pbyBuffer, m_nBufferSize)) {
        wchar_t* pszCopy = scratch.pGet(nChars);
        if (pszCopy == nullptr) {
            _ZeroFrom(0);
            m_nUsedSize = 0;
            _SetNoMemory();
            return;
        }
        std::memcpy(pszCopy, psz, nChars * sizeof(wchar_t));
        psz = pszCopy;
    }
    if (_bUTF16Buffer()) {
        // One zero unit always stays behind the text.
        const size_t nCapacity = m_nBufferSize / 2 > 0 ? m_nBufferSize / 2 - 1 : 0;
        const size_t nUnits = NA_nWideToUTF16Cut(psz, nChars, m_pbyBuffer, nCapacity);
        m_nUsedSize = 2 * nUnits;
    } else {
        const size_t nCapacity = m_nBufferSize / sizeof(wchar_t) > 0 ? m_nBufferSize / sizeof(wchar_t) - 1 : 0;
        const size_t n = std::min(nChars, nCapacity);
        std::memmove(m_pbyBuffer, psz, n * sizeof(wchar_t));
        m_nUsedSize = n * sizeof(wchar_t);
    }
    _ZeroFrom(m_nUsedSize);
}

bool CNAConvertVariant::_bStoreWideAsAnsi(const wchar_t* psz, size_t nChars, int nCodePage)
{
    if (m_pbyBuffer == nullptr || m_nBufferSize == 0) {
        m_nUsedSize = 0;
        return true;
    }
    CNAScratch<wchar_t> scratch;
    bool bFailed = false;
    if (bOverlaps(psz, nChars * sizeof(wchar_t), m_pbyBuffer, m_nBufferSize)) {
        wchar_t* pszCopy = scratch.pGet(nChars);
        bFailed = pszCopy == nullptr;
        if (!bFailed) {
            std::memcpy(pszCopy, psz, nChars * sizeof(wchar_t));
            psz = pszCopy;
        }
    }
    // The last byte is always the terminator.
    const size_t nBytes =
        bFailed ? 0 : NA_nWideToAnsiCut(psz, nChars, nCodePage, m_pbyBuffer, m_nBufferSize - 1, &bFailed);
    m_nUsedSize = nBytes;
    _ZeroFrom(m_nUsedSize);
    if (bFailed) {
        _SetNoMemory();
        return false;
    }
    return true;
}

void CNAConvertVariant::_StoreDateTime(const CDateTimeBase& dt)
{
    _ZeroFrom(0);
    m_nUsedSize = 0;
    if (m_pbyBuffer == nullptr || m_nBufferSize == 0)
        return;
    // The digits of the slot form, a terminator behind them inside the slot.
    char* psz = reinterpret_cast<char*>(m_pbyBuffer);
    const int nRoom = static_cast<int>(std::min<unsigned long>(m_nBufferSize - 1, 9));
    if (eNAGetItemTypeAnalyse() == NA_IT_DATE8) {
        const int n = std::min(nRoom, 8);
        dt.nVersDate(psz, n);
        m_nUsedSize = static_cast<unsigned long>(n);
    } else {
        dt.nVersHeure(psz, nRoom);
        m_nUsedSize = static_cast<unsigned long>(nRoom);
    }
}

int CNAConvertVariant::_bStoreDecimal(const CAny& clSource)
{
    CAny clCopy(clSource);
    IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(clCopy);
    unsigned long nPacked = 0;
    bool bStored = pclDecimal != nullptr && m_pbyBuffer != nullptr;
    if (bStored) {
        // The item's shape; without a decimal item the value keeps the
        // source's own.
        int nPrecision = pclDecimal->vnGetPrecision();
        int nScale = pclDecimal->vnGetScale();
        if (eNAGetItemTypeAnalyse() == NA_IT_DECIMAL)
            (void)bGetDecimalInfo(&nPrecision, &nScale);
        bStored = pclDecimal->vnSetPrecisionScale(nPrecision, nScale) <= 99 &&
                  pclDecimal->vnGetPacked(m_pbyBuffer, m_nBufferSize, &nPacked) <= 99;
    }
    if (!bStored) {
        CTString csText;
        (void)nGetString(&csText, clSource, nullptr, 0);
        _SetErrorConversionFailed(ZLTYPE_DECIMAL, csText.pszGet(), NA_SRC_VALUE_CONVERSION, 3);
        return 0;
    }
    m_nUsedSize = nPacked;
    _ZeroFrom(nPacked);
    return 1;
}

void CNAConvertVariant::_StoreBinary(const void* pData, unsigned long nLength)
{
    m_nUsedSize = 0;
    if (m_pbyBuffer == nullptr)
        return;
    if (m_nBufferSize < 2 || pData == nullptr) {
        _ZeroFrom(0);
        return;
    }
    // A 16-bit length word: never more than it can count.
    const uint16_t wLength = static_cast<uint16_t>(std::min<unsigned long>({nLength, m_nBufferSize - 2, 0xFFFF}));
    std::memmove(m_pbyBuffer + 2, pData, wLength);
    std::memcpy(m_pbyBuffer, &wLength, sizeof wLength);
    m_nUsedSize = 2u + wLength;
    _ZeroFrom(m_nUsedSize);
}

int CNAConvertVariant::_bStoreSameCode(const CAny& clSource)
{
    const unsigned short nCode = clSource.nGetTypeCode();
    switch (nCode) {
    case ZLTYPE_DECIMAL:
        return _bStoreDecimal(clSource);
    case ZLTYPE_DATETIME: {
        const eNA_ITEMTYPE eItem = eNAGetItemTypeAnalyse();
        if (eItem == NA_IT_DATE8 || eItem == NA_IT_HEURE) {
            CDateTimeBase dt;
            std::memcpy(&dt, clSource._pbyGetValeur(), sizeof dt);
            _StoreDateTime(dt);
        } else if (eItem == NA_IT_DATETIME) {
            return bSetValue(clSource._pbyGetValeur(), sizeof(CDateTimeBase));
        }
        return 1;
    }
    case ZLTYPE_BOOL: {
        // Any non-zero value is true (the runtime's boolean is "0 or not").
        const unsigned char byBool = clSource._tLit<int32_t>() != 0 ? 1 : 0;
        return bSetValue(&byBool, 1);
    }
    case ZLTYPE_DSTRW:
    case ZLTYPE_PSTRW:
    case 20: {
        unsigned long n = 0;
        const void* p = NA_pGetAnyData(clSource, &n);
        _StoreWide(static_cast<const wchar_t*>(p), p != nullptr ? NA_nGetAnyUtilSize(clSource) / sizeof(wchar_t) : 0);
        return 1;
    }
    case ZLTYPE_BIN:
        if (eNAGetItemTypeAnalyse() == NA_IT_BINAIRE) {
            // The slot layout of a binary item: length word, then the bytes.
            unsigned long n = 0;
            const void* p = NA_pGetAnyData(clSource, &n);
            _StoreBinary(p, p != nullptr ? n : 0);
            return 1;
        }
        [[fallthrough]];
    default: {
        unsigned long n = 0;
        const void* p = NA_pGetAnyData(clSource, &n);
        return bSetValue(static_cast<const unsigned char*>(p), p != nullptr ? NA_nGetAnyUtilSize(clSource) : 0);
    }
    }
}

// --- The central conversion ------------------------------------------------------

int CNAConvertVariant::bSetValue(const CAny* pclSource)
{
    _Fetched();
    // A reset value holds nothing; nor is a value stored into itself.
    if (m_eVarType == NA_VT_NONE || pclSource == &m_clValue)
        return 1;
    if (pclSource == nullptr || pclSource->bIsNull() || pclSource->nGetTypeCode() == ZLTYPE_VIDE) {
        SetNull();
        return 1;
    }
    const unsigned short nSource = pclSource->nGetTypeCode();
    if (m_clValue.nGetTypeCode() == ZLTYPE_VIDE && m_eVarType == NA_VT_ANY)
        InitTypeVariantAny(nSource, 0);
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (nSource == nCode) {
        switch (m_eVarType) {
        case NA_VT_ANY:
        case NA_VT_ANY_UNREAD:
            m_clValue = *pclSource;
            return 1;
        case NA_VT_RECORD:
        case NA_VT_OWN_BUFFER:
            m_clValue.SetNull(false);
            return _bStoreSameCode(*pclSource);
        default:
            return 1;
        }
    }
    if (NA_bTextTargetCode(nCode)) {
        unsigned long n = 0;
        const void* p = NA_pGetAnyData(*pclSource, &n);
        if (NA_bAnsiTextCode(nSource))
            return bSetValue(p != nullptr ? static_cast<const char*>(p) : "",
                             p != nullptr ? static_cast<long>(NA_nGetAnyUtilSize(*pclSource)) : 0);
        if (NA_bWideTextCode(nSource))
            return bSetValue(p != nullptr ? static_cast<const wchar_t*>(p) : L"",
                             p != nullptr ? static_cast<long>(NA_nGetAnyUtilSize(*pclSource) / sizeof(wchar_t)) : 0);
    }
    if (nCode == ZLTYPE_DATETIME && (nSource == ZLTYPE_TIMEW || nSource == ZLTYPE_TIMEA)) {
        // A time of day on the date 0.
        CDateTimeBase dt;
        dt.InitDate();
        if (nSource == ZLTYPE_TIMEW)
            dt.__SetPartieHeure(reinterpret_cast<const wchar_t*>(pclSource->_pbyGetValeur()));
        else
            dt.__SetPartieHeure(reinterpret_cast<const char*>(pclSource->_pbyGetValeur()));
        return bSetValue(&dt);
    }
    CAny clCast(*pclSource);
    int nResult;
    if (nCode == ZLTYPE_DUREE && (NA_bStringCode(nSource) || nSource == ZLTYPE_DECIMAL || nSource == ZLTYPE_CY)) {
        // A duration is read from a number of milliseconds.
        nResult = clCast.__nCastTo(ZLTYPE_I8, nullptr, 1);
        if (nResult <= 99)
            nResult = clCast.__nCastTo(ZLTYPE_DUREE, nullptr, 1);
    } else {
        nResult = clCast.__nCastTo(nCode, nullptr, 1);
    }
    if (nResult <= 99 && clCast.nGetTypeCode() == nCode)
        return bSetValue(&clCast);
    CTString csText;
    (void)nGetString(&csText, *pclSource, nullptr, 0);
    _SetErrorConversionFailed(nSource, csText.pszGet(), NA_SRC_VALUE_CONVERSION, 3);
    return 0;
}

// --- Typed setters: wrapped in a runtime value, stored by the same rules --------

namespace {

template <class F>
int nStoreTyped(CNAConvertVariant& v, F set)
{
    CAny clValue;
    set(clValue);
    return v.bSetValue(&clValue);
}

}  // namespace

int CNAConvertVariant::bSetValue(bool b)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetBOOL(b ? 1 : 0); });
}
int CNAConvertVariant::bSetValue(unsigned char n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetUI1(n); });
}
int CNAConvertVariant::bSetValue(char n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetI1(n); });
}
int CNAConvertVariant::bSetValue(unsigned short n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetUI2(n); });
}
int CNAConvertVariant::bSetValue(short n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetI2(n); });
}
int CNAConvertVariant::bSetValue(unsigned int n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetUI4(n); });
}
int CNAConvertVariant::bSetValue(int n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetI4(n); });
}
int CNAConvertVariant::bSetValue(unsigned long n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetUI8(n); });
}
int CNAConvertVariant::bSetValue(long n)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetI8(n); });
}
int CNAConvertVariant::bSetValue(float d)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetR4(d); });
}
int CNAConvertVariant::bSetValue(double d)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetR8(d); });
}
int CNAConvertVariant::bSetValue(const CMoney& money)
{
    return nStoreTyped(*this, [&](CAny& c) { c.SetCY(money); });
}
int CNAConvertVariant::bSetValue(const CDateTimeBase* pclDateTime)
{
    if (pclDateTime == nullptr) {
        SetNull();
        return 1;
    }
    return nStoreTyped(*this, [&](CAny& c) { c.SetDATETIME(pclDateTime); });
}

// --- Raw stores ------------------------------------------------------------------

int CNAConvertVariant::bSetValue(const unsigned char* pbyData, unsigned long nLength)
{
    _Fetched();
    if (pbyData == nullptr)
        nLength = 0;
    switch (m_eVarType) {
    case NA_VT_ANY:
        (void)NA_nSetAnyBytes(m_clValue, pbyData, nLength);
        m_clValue.ClearFlags();
        return 1;
    case NA_VT_CALLER_BUFFER:
        m_pbyBuffer = const_cast<unsigned char*>(pbyData);
        m_nBufferSize = nLength;
        m_nUsedSize = nLength;
        return 1;
    case NA_VT_RECORD:
    case NA_VT_OWN_BUFFER: {
        if (m_pbyBuffer == nullptr)
            return 1;
        const unsigned short nCode = m_clValue.nGetTypeCode();
        unsigned long nMax = m_nBufferSize;
        if (NA_bAnsiTextCode(nCode))
            nMax = m_nBufferSize >= 1 ? m_nBufferSize - 1 : 0;
        else if (NA_bWideTextCode(nCode))
            // Whole units: a zero unit always stays behind.
            nMax = m_nBufferSize >= 2 ? (m_nBufferSize - 2) & ~1ul : 0;
        const unsigned long n = std::min(nLength, nMax);
        if (n > 0)
            std::memmove(m_pbyBuffer, pbyData, n);
        m_nUsedSize = n;
        _ZeroFrom(n);
        m_clValue.SetNull(false);
        return 1;
    }
    default:
        return 1;
    }
}

int CNAConvertVariant::bSetValue(const CZLBIN* pclBinary)
{
    if (pclBinary != nullptr && m_clValue.nGetTypeCode() == ZLTYPE_BIN && m_eVarType == NA_VT_ANY) {
        (void)m_clValue.Objet().SetValue(pclBinary);
        m_clValue.ClearFlags();
        return 1;
    }
    return bSetValue(pclBinary != nullptr ? pclBinary->pbyGet() : nullptr,
                     pclBinary != nullptr ? static_cast<unsigned long>(pclBinary->nGetTailleUtile()) : 0);
}

// --- The runtime's texts ------------------------------------------------------------

int CNAConvertVariant::bSetValue(const char* pszText, long nLength)
{
    _Fetched();
    if (pszText == nullptr)
        nLength = 0;
    const size_t n = nLength < 0 ? std::strlen(pszText) : static_cast<size_t>(nLength);
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (NA_bAnsiTextCode(nCode) || NA_bWideTextCode(nCode))
        return _bSetValue(pszText, static_cast<long>(n), nGetConnectionCodePage());
    CAny clText;
    clText.__SetType(ZLTYPE_DSTRA, 0);
    if (NA_nSetAnyAnsi(clText, pszText, n) > 99) {
        _SetNoMemory();
        return 0;
    }
    return bSetValue(&clText);
}

int CNAConvertVariant::bSetValue(const wchar_t* pszText, long nLength)
{
    _Fetched();
    if (pszText == nullptr)
        nLength = 0;
    const size_t n = nLength < 0 ? std::wcslen(pszText) : static_cast<size_t>(nLength);
    const unsigned short nCode = m_clValue.nGetTypeCode();
    const int nCodePage = nGetConnectionCodePage();
    if (m_eVarType == NA_VT_ANY && NA_bAnsiTextCode(nCode)) {
        // Converted whole: at most four bytes a character in any code page
        // the runtime's texts use, UTF-8 included.
        CNAScratch<unsigned char> scratch;
        unsigned char* pby = n <= ANY_MAX_UNITES / 4 ? scratch.pGet(4 * n + 1) : nullptr;
        bool bFailed = pby == nullptr;
        const size_t nBytes = bFailed ? 0 : NA_nWideToAnsiCut(pszText, n, nCodePage, pby, 4 * n, &bFailed);
        if (bFailed || NA_nSetAnyAnsi(m_clValue, reinterpret_cast<const char*>(pby), nBytes) > 99) {
            _SetNoMemory();
            return 0;
        }
        m_clValue.ClearFlags();
        return 1;
    }
    if (m_eVarType == NA_VT_ANY && NA_bWideTextCode(nCode)) {
        if (NA_nSetAnyWide(m_clValue, pszText, n) > 99) {
            _SetNoMemory();
            return 0;
        }
        m_clValue.ClearFlags();
        return 1;
    }
    if ((m_eVarType == NA_VT_RECORD || m_eVarType == NA_VT_OWN_BUFFER) &&
        (NA_bAnsiTextCode(nCode) || NA_bWideTextCode(nCode))) {
        m_clValue.SetNull(false);
        if (n == 0 || m_pbyBuffer == nullptr) {
            _ZeroFrom(0);
            m_nUsedSize = 0;
            return 1;
        }
        if (nCode == ZLTYPE_CARW) {
            const unsigned long nBytes = std::min<unsigned long>(sizeof(wchar_t), m_nBufferSize);
            std::memmove(m_pbyBuffer, pszText, nBytes);
            m_nUsedSize = nBytes;
            _ZeroFrom(nBytes);
            return 1;
        }
        if (nCode == ZLTYPE_CARA) {
            unsigned char aby[8];
            bool bFailed = false;
            const size_t nBytes = NA_nWideToAnsiCut(pszText, 1, nCodePage, aby, sizeof aby, &bFailed);
            m_pbyBuffer[0] = nBytes == 1 ? aby[0] : static_cast<unsigned char>('?');
            m_nUsedSize = 1;
            _ZeroFrom(1);
            return 1;
        }
        if (NA_bWideTextCode(nCode)) {
            _StoreWide(pszText, n);
            return 1;
        }
        return _bStoreWideAsAnsi(pszText, n, nCodePage) ? 1 : 0;
    }
    CAny clText;
    clText.__SetType(ZLTYPE_DSTRW, 0);
    if (NA_nSetAnyWide(clText, pszText, n) > 99) {
        _SetNoMemory();
        return 0;
    }
    return bSetValue(&clText);
}

int CNAConvertVariant::bSetValue(const _SYSTEMTIME* pstTime)
{
    if (pstTime == nullptr) {
        SetNull();
        return 1;
    }
    if (eNAGetItemType() == NA_IT_TEXTE) {
        const CXTime clTime(*pstTime, -1);
        CTString csText;
        switch (nGetSize()) {
        case 5: clTime.GetZLTimeHHMM(csText); break;
        case 7: clTime.GetZLTimeHHMMSS(csText); break;
        case 9:
            clTime.GetZLTimeHHMMSSCCm(csText);
            csText.Tronque(8);
            break;
        case 10: clTime.GetZLTimeHHMMSSCCm(csText); break;
        default: clTime.GetZLTimeAAAAMMJJ_HHMMSS(csText); break;
        }
        return bSetValue(csText.pszGet() != nullptr ? csText.pszGet() : L"", static_cast<long>(csText.nTaille()));
    }
    CDateTimeBase dt;
    dt.InitDate();
    (void)dt.InitDate(pstTime);
    return bSetValue(&dt);
}
