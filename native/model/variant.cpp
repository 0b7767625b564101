// The value holder: setters, copy, comparison, equality, checksum,
// emptiness, decimal information and diagnostic text.
#include "native/model/variant.h"

#include <cstring>

#include "common/text/any_calcul.h"
#include "common/text/any_decimal.h"
#include "common/text/any_string.h"
#include "common/text/decimal_interface.h"
#include "common/text/money.h"
#include "native/driver/driver.h"
#include "native/model/convert_variant.h"
#include "native/model/variant_any.h"
#include "native/model/zl_type_groups.h"

namespace {

// The first bytes of the data (at most n), zero-extended.
uint32_t dwFirstBytes(const void* p, unsigned long nSize, size_t n)
{
    uint32_t dw = 0;
    if (p != nullptr)
        std::memcpy(&dw, p, nSize < n ? nSize : n);
    return dw;
}

}  // namespace

int CNAVariant::vbChangeZLType(unsigned short nCode, int)
{
    return m_clValue.__nCastTo(nCode, nullptr, 1) <= 99;
}

int CNAVariant::vbGetValue(CAny* pclValue) const
{
    if (pclValue != &m_clValue)
        *pclValue = m_clValue;
    return 1;
}

int CNAVariant::vbIsEmpty() const
{
    return m_clValue.nGetTypeCode() == ZLTYPE_VIDE;
}

const void* CNAVariant::vpGetData() const
{
    unsigned long n;
    return NA_pGetAnyData(m_clValue, &n);
}

unsigned long CNAVariant::vnGetSize() const
{
    unsigned long n;
    return NA_pGetAnyData(m_clValue, &n) != nullptr ? n : 0;
}

int CNAVariant::bSetValue(bool b)
{
    m_clValue.SetBOOL(b ? 1 : 0);
    return 1;
}
int CNAVariant::bSetValue(unsigned char n)
{
    m_clValue.SetUI1(n);
    return 1;
}
int CNAVariant::bSetValue(char n)
{
    m_clValue.SetI1(n);
    return 1;
}
int CNAVariant::bSetValue(unsigned short n)
{
    m_clValue.SetUI2(n);
    return 1;
}
int CNAVariant::bSetValue(short n)
{
    m_clValue.SetI2(n);
    return 1;
}
int CNAVariant::bSetValue(unsigned int n)
{
    m_clValue.SetUI4(n);
    return 1;
}
int CNAVariant::bSetValue(int n)
{
    m_clValue.SetI4(n);
    return 1;
}
int CNAVariant::bSetValue(unsigned long n)
{
    m_clValue.SetUI8(n);
    return 1;
}
int CNAVariant::bSetValue(long n)
{
    m_clValue.SetI8(n);
    return 1;
}
int CNAVariant::bSetValue(float d)
{
    m_clValue.SetR4(d);
    return 1;
}
int CNAVariant::bSetValue(double d)
{
    m_clValue.SetR8(d);
    return 1;
}
int CNAVariant::bSetValue(const CMoney& money)
{
    m_clValue.SetCY(money);
    return 1;
}

int CNAVariant::bSetValue(const unsigned char* pbyData, unsigned long nLength)
{
    (void)NA_nSetAnyBytes(m_clValue, pbyData, nLength);
    m_clValue.ClearFlags();
    return 1;
}

int CNAVariant::bSetValue(const CAny* pclSource)
{
    if (pclSource != nullptr && pclSource != &m_clValue)
        m_clValue = *pclSource;
    return 1;
}

int CNAVariant::bCopyVariant(const CNAVariant* pclSource)
{
    if (pclSource == nullptr) {
        NA_SetAnyNull(m_clValue);
        return 1;
    }
    return bSetValue(&pclSource->m_clValue);
}

CNAConvertVariant* CNAVariant::pclGetCloneVariant() const
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAConvertVariant* pclClone = pclDriver != nullptr ? pclDriver->pclAllocVariant(nullptr, nullptr) : nullptr;
    if (pclClone == nullptr)
        return nullptr;
    CAny clValue;
    _ReadValue(&clValue);
    pclClone->InitTypeVariantAny(clValue.nGetTypeCode(), 0);
    pclClone->CNAVariant::bSetValue(&clValue);
    return pclClone;
}

int CNAVariant::bChangeItemType(eNA_ITEMTYPE eType, int bFlag)
{
    return vbChangeZLType(ConverteItemToZLType(eType), bFlag);
}

unsigned long CNAVariant::nGetUtilDataSize() const
{
    return NA_nGetAnyUtilSize(m_clValue);
}

void CNAVariant::_ReadValue(CAny* pclOut) const
{
    if (!vbGetValue(pclOut))
        *pclOut = m_clValue;
}

int CNAVariant::nCmp(const CAny* pclOther) const
{
    if (pclOther == nullptr)
        return 1;
    unsigned long nOtherSize = 0;
    const void* pOther = NA_pGetAnyData(*pclOther, &nOtherSize);
    const void* pThis = vpGetData();
    const unsigned long nThisSize = vnGetSize();
    if (pclOther->nGetTypeCode() == m_clValue.nGetTypeCode() && nOtherSize == nThisSize && pThis != nullptr &&
        pOther != nullptr) {
        const int n = std::memcmp(pThis, pOther, nThisSize);
        return n < 0 ? -1 : (n > 0 ? 1 : 0);
    }
    CAny clThis;
    _ReadValue(&clThis);
    int nResult = 0;
    return nCompare(clThis, *pclOther, &nResult, 0) > 99 ? 0 : nResult;
}

int CNAVariant::nCmp(const CNAVariant* pclOther) const
{
    if (pclOther == this)
        return 0;
    if (pclOther == nullptr)
        return 1;
    CAny clOther;
    pclOther->_ReadValue(&clOther);
    return nCmp(&clOther);
}

int CNAVariant::bEqualsNAVariant(const CAny* pclOther) const
{
    CAny clThis;
    _ReadValue(&clThis);
    const bool bThisNone = clThis.bIsNull() || vbIsEmpty() || clThis.nGetTypeCode() == ZLTYPE_VIDE;
    const bool bOtherNone = pclOther == nullptr || pclOther->bIsNull() || pclOther->nGetTypeCode() == ZLTYPE_VIDE;
    if (bThisNone)
        return bOtherNone ? 1 : 0;
    if (pclOther == nullptr)
        return 0;
    int nResult = 0;
    return nEgalite(clThis, *pclOther, &nResult, 0) > 99 ? 0 : (nResult != 0);
}

int CNAVariant::bEqualsNAVariant(const CNAVariant* pclOther) const
{
    if (pclOther == this)
        return 1;
    if (pclOther == nullptr)
        return bEqualsNAVariant(static_cast<const CAny*>(nullptr));
    CAny clOther;
    pclOther->_ReadValue(&clOther);
    if (pclOther->vbIsEmpty())
        clOther.__SetType(ZLTYPE_VIDE, 0);
    return bEqualsNAVariant(&clOther);
}

uint32_t CNAVariant::nChecksum32() const
{
    const unsigned char* pby = static_cast<const unsigned char*>(vpGetData());
    const unsigned long nSize = pby != nullptr ? vnGetSize() : 0;
    uint64_t llSum = 0;
    unsigned long i = 0;
    for (; i + 4 <= nSize; i += 4)
        llSum += static_cast<uint32_t>(pby[i]) | static_cast<uint32_t>(pby[i + 1]) << 8 |
                 static_cast<uint32_t>(pby[i + 2]) << 16 | static_cast<uint32_t>(pby[i + 3]) << 24;
    for (; i < nSize; ++i)
        llSum += pby[i];
    return static_cast<uint32_t>(llSum);
}

namespace {

// The string test of both emptiness forms: the first character of the data,
// read within its size.
int bFirstCharZero(const CNAVariant& v, bool bAnsi)
{
    const void* p = v.vpGetData();
    const unsigned long nSize = p != nullptr ? v.vnGetSize() : 0;
    return dwFirstBytes(p, nSize, bAnsi ? 1 : sizeof(wchar_t)) == 0;
}

}  // namespace

int CNAVariant::bIsEmptyString() const
{
    if (m_clValue.bIsNull() || vbIsEmpty())
        return 1;
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (NA_bAnsiStringCode(nCode))
        return bFirstCharZero(*this, true);
    if (NA_bWideStringCode(nCode))
        return bFirstCharZero(*this, false);
    return 0;
}

int CNAVariant::bIsEmptyStringEx() const
{
    if (m_clValue.bIsNull() || vbIsEmpty())
        return 1;
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (NA_bAnsiTextCode(nCode))
        return bFirstCharZero(*this, true);
    if (NA_bWideTextCode(nCode))
        return bFirstCharZero(*this, false);
    return 0;
}

int CNAVariant::bIsNumeric0() const
{
    if (m_clValue.bIsNull() || vbIsEmpty())
        return 1;
    if (!NA_bNumericCode(m_clValue.nGetTypeCode()))
        return 0;
    CAny clValue;
    if (!vbGetValue(&clValue))
        return 0;
    clValue.ClearFlags();
    double d = 1.0;
    if (clValue.__nCastTo(ZLTYPE_R8, nullptr, 1) > 99 || clValue.nGetREAL(&d) != ANY_OK)
        return 0;
    return d == 0.0;
}

int CNAVariant::bGetDecimalInfo(int* pnPrecision, int* pnScale) const
{
    *pnPrecision = 0;
    *pnScale = 0;
    CAny clValue;
    _ReadValue(&clValue);
    if (clValue.nGetTypeCode() != ZLTYPE_DECIMAL || clValue.bIsNull()) {
        clValue.ClearFlags();
        if (clValue.__nCastTo(ZLTYPE_DECIMAL, nullptr, 1) > 99)
            return 0;
    }
    const IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(clValue);
    if (pclDecimal == nullptr)
        return 0;
    *pnPrecision = pclDecimal->vnGetPrecision();
    *pnScale = pclDecimal->vnGetScale();
    return 1;
}

void CNAVariant::GetString(CXYString<wchar_t>* pOut, const wchar_t* pszPrefix, int bDetail) const
{
    CAny clValue;
    _ReadValue(&clValue);
    (void)nGetString(pOut, clValue, pszPrefix, bDetail);
}

void CNAVariant::GetString(CTString* pOut, const wchar_t* pszPrefix, int bDetail) const
{
    CAny clValue;
    _ReadValue(&clValue);
    (void)nGetString(pOut, clValue, pszPrefix, bDetail);
}
