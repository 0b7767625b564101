// SQL white space, and the bounds of runtime values for key searches.
#include "native/model/sql_text_tests.h"

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>

#include "common/text/any.h"
#include "common/text/any_decimal.h"
#include "common/text/decimal_interface.h"
#include "common/text/xy_string.h"

namespace {

// The last date-time the runtime holds, 29 December 9999 at 23:59:59.999,
// read as the 8 stored bytes in one little-endian 64-bit integer: the
// milliseconds of the day weigh most in that reading.
constexpr uint64_t kLastDateTime = 0x05265BFF270F0C1Dull;

template <class T>
eNACHECKVALUE eBounds(const CAny& v, T tMin, T tMax)
{
    const T t = v._tLit<T>();
    if (t == tMin)
        return NA_CHECKVALUE_MIN;
    if (t == tMax)
        return NA_CHECKVALUE_MAX;
    return NA_CHECKVALUE_NONE;
}

eNACHECKVALUE eMaxWhen(bool b)
{
    return b ? NA_CHECKVALUE_MAX : NA_CHECKVALUE_NONE;
}

// 8-bit text whose last character is 255, within the value's storage or
// its heap text.
eNACHECKVALUE eAnsiText(const CAny& v)
{
    const char* psz = nullptr;
    if (v.Objet().nGetPCASTR(&psz) > 99 || psz == nullptr)
        return NA_CHECKVALUE_NONE;
    const size_t n = v.nGetTypeCode() == ZLTYPE_PSTRA ? std::strlen(psz) : strnlen(psz, CAny::TAILLE_VALEUR);
    return eMaxWhen(n > 0 && static_cast<unsigned char>(psz[n - 1]) == 0xFF);
}

eNACHECKVALUE eWideText(const CAny& v)
{
    const wchar_t* psz = nullptr;
    if (v.Objet().nGetPCWSTR(&psz) > 99 || psz == nullptr)
        return NA_CHECKVALUE_NONE;
    const size_t nMax = v.nGetTypeCode() == ZLTYPE_PSTRW ? SIZE_MAX : CAny::TAILLE_VALEUR / sizeof(wchar_t);
    size_t n = 0;
    while (n < nMax && psz[n] != 0)
        ++n;
    return eMaxWhen(n > 0 && static_cast<uint32_t>(psz[n - 1]) == 0xFFFFFFFFu);
}

template <class T>
eNACHECKVALUE eEndMarker(const CAny& v)
{
    CXYString<T> s;
    if (v.Objet().nFillBuffer(&s) > 99)
        return NA_CHECKVALUE_NONE;
    return eMaxWhen(s.bEndMarker());
}

// The decimal against the smallest and largest values of its own precision
// and scale.
eNACHECKVALUE eDecimal(const CAny& v)
{
    const IDecimal* pclValue = CAny_ZLDECIMAL::s_pclGetDecimal(v);
    if (pclValue == nullptr)
        return NA_CHECKVALUE_NONE;
    unsigned char abyValue[DECIMAL_FORM_SIZE];
    unsigned char abyBound[DECIMAL_FORM_SIZE];
    pclValue->vGetBytes18(abyValue);
    CAny clBound(v);
    IDecimal* pclBound = CAny_ZLDECIMAL::s_pclGetDecimal(clBound);
    if (pclBound == nullptr)
        return NA_CHECKVALUE_NONE;
    pclBound->vSetMin();
    pclBound->vGetBytes18(abyBound);
    if (std::memcmp(abyValue, abyBound, sizeof abyValue) == 0)
        return NA_CHECKVALUE_MIN;
    pclBound->vSetMax();
    pclBound->vGetBytes18(abyBound);
    return eMaxWhen(std::memcmp(abyValue, abyBound, sizeof abyValue) == 0);
}

}  // namespace

int s_bEspaceSQL(wchar_t c)
{
    return c == L'\t' || c == L'\n' || c == L'\r' || c == L' ';
}

eNACHECKVALUE eCheckValue(const CAny* pclValue)
{
    if (pclValue == nullptr || pclValue->bIsNull())
        return NA_CHECKVALUE_NONE;
    const CAny& v = *pclValue;
    switch (v.nGetTypeCode()) {
    case ZLTYPE_UI1:
        return eBounds<uint8_t>(v, 0, UINT8_MAX);
    case ZLTYPE_UI2:
        return eBounds<uint16_t>(v, 0, UINT16_MAX);
    case ZLTYPE_UI4:
        return eBounds<uint32_t>(v, 0, UINT32_MAX);
    case ZLTYPE_UIX:
    case ZLTYPE_UI8:
        return eBounds<uint64_t>(v, 0, UINT64_MAX);
    case ZLTYPE_I1:
        return eBounds<int8_t>(v, INT8_MIN, INT8_MAX);
    case ZLTYPE_I2:
        return eBounds<int16_t>(v, INT16_MIN, INT16_MAX);
    case ZLTYPE_I4:
        return eBounds<int32_t>(v, INT32_MIN, INT32_MAX);
    case ZLTYPE_I8:
        return eBounds<int64_t>(v, INT64_MIN, INT64_MAX);
    case ZLTYPE_R4:
        return eBounds<float>(v, -FLT_MAX, FLT_MAX);
    case ZLTYPE_R8:
        return eBounds<double>(v, -DBL_MAX, DBL_MAX);
    case ZLTYPE_DECIMAL:
        return eDecimal(v);
    case ZLTYPE_CARA:
        return eMaxWhen(v._tLit<uint8_t>() == 0xFF);
    case ZLTYPE_PSTRA:
    case ZLTYPE_DATEA:
    case ZLTYPE_TIMEA:
        return eAnsiText(v);
    case ZLTYPE_DATEW:
    case ZLTYPE_TIMEW:
    case ZLTYPE_PSTRW:
        return eWideText(v);
    case ZLTYPE_CARW:
        return eMaxWhen(v._tLit<uint32_t>() == 0xFFFFFFFFu);
    case ZLTYPE_DSTRW:
        return eEndMarker<wchar_t>(v);
    case ZLTYPE_DSTRA:
        return eEndMarker<char>(v);
    case ZLTYPE_DATETIME: {
        const uint64_t n = v._tLit<uint64_t>();
        if (n == 0)
            return NA_CHECKVALUE_MIN;
        return eMaxWhen(n > kLastDateTime);
    }
    case ZLTYPE_DUREE: {
        // A type word carrying more than the code reads as the smallest.
        if (v.wGetType() != ZLTYPE_DUREE)
            return NA_CHECKVALUE_MIN;
        const int64_t n = v._tLit<int64_t>();
        if (n == 0)
            return NA_CHECKVALUE_MIN;
        return eMaxWhen(n > static_cast<int64_t>(kLastDateTime));
    }
    default:
        return NA_CHECKVALUE_NONE;
    }
}
