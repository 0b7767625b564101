// Reading a conversion value, comparing, copying and retyping it.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "common/text/any_calcul.h"
#include "common/text/any_decimal.h"
#include "common/text/date_time_base.h"
#include "common/text/decimal_interface.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"
#include "native/model/na_item_description.h"
#include "native/model/variant_any.h"
#include "native/model/variant_text.h"
#include "native/model/zl_type_groups.h"

namespace {

// Room for the digits of a date or time slot and a terminator.
constexpr size_t kDigitsRoom = 16;

// The first bytes of a slot as a zero-terminated 8-bit text.
void SlotDigits(const unsigned char* pby, unsigned long nSize, char (&acOut)[kDigitsRoom])
{
    const size_t n = NA_nBoundedLength(pby, std::min<unsigned long>(nSize, kDigitsRoom - 1));
    std::memcpy(acOut, pby, n);
    acOut[n] = 0;
}

// Three-way order of two 8-bit texts, each read up to its zero or its size.
int nCompareBounded(const unsigned char* a, size_t na, const unsigned char* b, size_t nb)
{
    const size_t nA = NA_nBoundedLength(a, na), nB = NA_nBoundedLength(b, nb);
    const int n = std::memcmp(a, b, std::min(nA, nB));
    if (n != 0)
        return n < 0 ? -1 : 1;
    return nA < nB ? -1 : (nA > nB ? 1 : 0);
}

}  // namespace

int CNAConvertVariant::bGetValue(CAny* pclValue) const
{
    switch (m_eVarType) {
    case NA_VT_ANY:
    case NA_VT_ANY_UNREAD:
        return CNAVariant::vbGetValue(pclValue);
    case NA_VT_RECORD:
    case NA_VT_OWN_BUFFER:
        break;
    default:
        return 0;
    }
    const unsigned short nCode = m_clValue.nGetTypeCode();
    pclValue->__SetType(ZLTYPE_VIDE, 0);
    pclValue->__SetType(nCode, 0);
    const unsigned char* pby = m_pbyBuffer;
    const unsigned long nSize = pby != nullptr ? m_nBufferSize : 0;
    static const unsigned char kNothing[sizeof(wchar_t)] = {};
    if (pby == nullptr)
        pby = kNothing;
    const eNA_ITEMTYPE eAnalyse = eNAGetItemTypeAnalyse();
    int bOk = 1;
    switch (nCode) {
    case ZLTYPE_PSTRA:
    case ZLTYPE_DSTRA:
        (void)NA_nSetAnyAnsi(*pclValue, reinterpret_cast<const char*>(pby), NA_nBoundedLength(pby, nSize));
        break;
    case ZLTYPE_DECIMAL: {
        // The packed form of the analysis item's shape.
        IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(*pclValue);
        const int nPrecision = m_piItemAnalyse != nullptr
                                   ? m_piItemAnalyse->nGetIntegerPart() + m_piItemAnalyse->nGetDecimalPart()
                                   : 0;
        const int nScale = m_piItemAnalyse != nullptr ? m_piItemAnalyse->nGetDecimalPart() : 0;
        bOk = pclDecimal != nullptr && nPrecision >= 1 && nPrecision <= DECIMAL_MAX_PRECISION && nScale >= 0 &&
              nScale <= nPrecision && IDecimal::mg_PToN[nPrecision] <= nSize &&
              pclDecimal->vnSetPacked(pby, IDecimal::mg_PToN[nPrecision], nPrecision, nScale) <= 99;
        break;
    }
    case ZLTYPE_DSTRW:
    case ZLTYPE_PSTRW: {
        if (_bUTF16Buffer()) {
            CNAScratch<wchar_t> scratch;
            wchar_t* psz = scratch.pGet(nSize / 2 + 1);
            if (psz == nullptr)
                return 0;
            (void)NA_nSetAnyWide(*pclValue, psz, NA_nUTF16ToWide(pby, nSize / 2, psz));
        } else {
            const size_t nChars = NA_nBoundedWideLength(pby, nSize);
            CNAScratch<wchar_t> scratch;
            wchar_t* psz = scratch.pGet(nChars + 1);
            if (psz == nullptr)
                return 0;
            // The buffer may lie at any address.
            std::memcpy(psz, pby, nChars * sizeof(wchar_t));
            (void)NA_nSetAnyWide(*pclValue, psz, nChars);
        }
        break;
    }
    case ZLTYPE_BIN:
        if (eAnalyse == NA_IT_BINAIRE) {
            uint16_t wLength = 0;
            if (nSize >= 2)
                std::memcpy(&wLength, pby, sizeof wLength);
            const unsigned long nBytes = nSize >= 2 ? std::min<unsigned long>(wLength, nSize - 2) : 0;
            (void)pclValue->SetBIN(pby + 2 * (nSize >= 2), nBytes);
        } else {
            (void)pclValue->SetBIN(pby, nSize);
        }
        break;
    case ZLTYPE_DATETIME: {
        CDateTimeBase dt;
        dt.InitDate();
        char acDigits[kDigitsRoom];
        if (eAnalyse == NA_IT_DATE8) {
            SlotDigits(pby, nSize, acDigits);
            dt.m_wAnnee = static_cast<uint16_t>(CDateTimeBase::nGetPropDateTime(acDigits, 0, 4, false));
            dt.m_byMois = static_cast<uint8_t>(CDateTimeBase::nGetPropDateTime(acDigits, 4, 2, false));
            dt.m_byJour = static_cast<uint8_t>(CDateTimeBase::nGetPropDateTime(acDigits, 6, 2, false));
        } else if (eAnalyse == NA_IT_HEURE) {
            SlotDigits(pby, nSize, acDigits);
            dt.__SetPartieHeure(acDigits);
        } else if (eAnalyse == NA_IT_DATETIME) {
            std::memcpy(&dt, pby, std::min<unsigned long>(nSize, sizeof dt));
        }
        (void)pclValue->SetDATETIME(dt);
        break;
    }
    default:
        (void)NA_nSetAnyBytes(*pclValue, pby, nSize);
        break;
    }
    pclValue->ClearFlags();
    // A value set NULL reads NULL, whatever its slot holds.
    if (m_clValue.bIsNull())
        pclValue->SetNull();
    return bOk;
}

int CNAConvertVariant::nCmp(const CNAConvertVariant* pclOther) const
{
    if (pclOther == this)
        return 0;
    if (pclOther == nullptr)
        return 1;
    const unsigned short nThis = m_clValue.nGetTypeCode();
    const unsigned short nOther = pclOther->m_clValue.nGetTypeCode();
    const void* pThis = pGetData();
    const void* pOther = pclOther->pGetData();
    const unsigned long nThisSize = pThis != nullptr ? nGetSize() : 0;
    const unsigned long nOtherSize = pOther != nullptr ? pclOther->nGetSize() : 0;
    // UTF-16 in a Unicode slot and 4-byte characters elsewhere: their bytes
    // say nothing of the order of their texts, nor always of their equality.
    const bool bWideTexts = NA_bWideTextCode(nThis) && NA_bWideTextCode(nOther);
    const bool bUTF16 = bWideTexts && ((_bUTF16Buffer() && _bBufferKind()) ||
                                       (pclOther->_bUTF16Buffer() && pclOther->_bBufferKind()));
    if (nThis == nOther && nThisSize == nOtherSize && pThis != nullptr && pOther != nullptr && !bUTF16) {
        const int n = std::memcmp(pThis, pOther, nThisSize);
        return n < 0 ? -1 : (n > 0 ? 1 : 0);
    }
    if (NA_bAnsiTextCode(nThis) && NA_bAnsiTextCode(nOther) && pThis != nullptr && pOther != nullptr) {
        // The bytes as far as each value has them: a size is a bound too.
        const size_t nA = _bBufferKind() ? m_nBufferSize : nThisSize;
        const size_t nB = pclOther->_bBufferKind() ? pclOther->m_nBufferSize : nOtherSize;
        return nCompareBounded(static_cast<const unsigned char*>(pThis), nA,
                               static_cast<const unsigned char*>(pOther), nB);
    }
    if (bWideTexts) {
        // The texts as characters, whatever form each buffer keeps them in.
        CAny clThis, clOther;
        if (bGetValue(&clThis) && pclOther->bGetValue(&clOther)) {
            const wchar_t* a = nullptr;
            const wchar_t* b = nullptr;
            unsigned long na = 0, nb = 0;
            a = static_cast<const wchar_t*>(NA_pGetAnyData(clThis, &na));
            b = static_cast<const wchar_t*>(NA_pGetAnyData(clOther, &nb));
            if (a != nullptr && b != nullptr) {
                const size_t nA = NA_nBoundedWideLength(reinterpret_cast<const unsigned char*>(a), na);
                const size_t nB = NA_nBoundedWideLength(reinterpret_cast<const unsigned char*>(b), nb);
                const int n = std::wmemcmp(a, b, std::min(nA, nB));
                if (n != 0)
                    return n < 0 ? -1 : 1;
                return nA < nB ? -1 : (nA > nB ? 1 : 0);
            }
        }
    }
    CAny clThis, clOther;
    if (!bGetValue(&clThis) || !pclOther->bGetValue(&clOther))
        return 0;
    int nResult = 0;
    return nCompare(clThis, clOther, &nResult, 0) > 99 ? 0 : nResult;
}

int CNAConvertVariant::bEqualsNAVariant(const CNAConvertVariant* pclOther) const
{
    if (pclOther == this)
        return 1;
    if (pclOther == nullptr)
        return 0;
    if (m_eVarType == NA_VT_NONE && pclOther->m_eVarType == NA_VT_NONE)
        return 1;
    if (m_clValue.bIsNull() && pclOther->m_clValue.bIsNull())
        return 1;
    if (m_eVarType == pclOther->m_eVarType) {
        if (m_eVarType == NA_VT_ANY)
            return CNAVariant::bEqualsNAVariant(&pclOther->m_clValue);
        if (m_eVarType == NA_VT_ANY_UNREAD)
            return 0;
    }
    return nCmp(pclOther) == 0;
}

int CNAConvertVariant::g_bEqualsNAVariant(const CNAConvertVariant* a, const CNAConvertVariant* b)
{
    const auto bNone = [](const CNAConvertVariant* v) {
        return v == nullptr || v->m_eVarType == NA_VT_NONE || v->m_clValue.bIsNull() ||
               v->m_clValue.nGetTypeCode() == ZLTYPE_VIDE;
    };
    const bool bNoneA = bNone(a), bNoneB = bNone(b);
    if (bNoneA || bNoneB)
        return bNoneA == bNoneB;
    return a->bEqualsNAVariant(b);
}

int CNAConvertVariant::bCopyVariant(const CNAConvertVariant* pclSource)
{
    if (pclSource == nullptr) {
        SetNull();
        return 1;
    }
    if (pclSource == this)
        return 1;
    m_pclConnection = pclSource->m_pclConnection;
    const unsigned short nCode = pclSource->m_clValue.nGetTypeCode();
    const eNAVARTYPE eSource = pclSource->m_eVarType;
    const auto MakeUnread = [this] {
        SetNull();
        m_eVarType = NA_VT_ANY_UNREAD;
    };
    if (m_nBindState == 1 && m_clValue.nGetTypeCode() == nCode) {
        if (eSource == NA_VT_ANY_UNREAD) {
            MakeUnread();
            return 1;
        }
        SetItemDesc(pclSource->m_piItemAnalyse, pclSource->m_piItemDatabase);
        if (eSource == NA_VT_ANY && m_eVarType == NA_VT_ANY) {
            m_clValue = pclSource->m_clValue;
            return 1;
        }
        CAny clValue;
        if (!pclSource->bGetValue(&clValue))
            return 0;
        return bSetValue(&clValue);
    }
    if (eSource == NA_VT_OWN_BUFFER) {
        if (!bInitTypeVariantBuffer(nCode, pclSource->m_nBufferSize))
            return 0;
        const unsigned char* pby = pclSource->m_pbyBuffer;
        unsigned long n = pclSource->m_nUsedSize;
        if (pclSource->eNAGetItemTypeAnalyse() == NA_IT_BINAIRE && pby != nullptr &&
            pclSource->m_nBufferSize >= 2) {
            uint16_t wLength;
            std::memcpy(&wLength, pby, sizeof wLength);
            n = std::min<unsigned long>(wLength, pclSource->m_nBufferSize - 2);
            pby += 2;
        }
        (void)bSetValue(pby, std::min(n, pclSource->m_nBufferSize));
        if (pclSource->m_clValue.bIsNull())
            m_clValue.SetNull();
    } else {
        InitTypeVariantAny(nCode, pclSource->m_nBufferSize);
        SetItemDesc(pclSource->m_piItemAnalyse, pclSource->m_piItemDatabase);
        // A value kept in a slot is read out of it: its runtime value only
        // carries the type.
        CAny clValue;
        if (eSource != NA_VT_ANY && eSource != NA_VT_ANY_UNREAD && pclSource->bGetValue(&clValue))
            m_clValue = clValue;
        else
            m_clValue = pclSource->m_clValue;
    }
    if (eSource == NA_VT_ANY_UNREAD)
        MakeUnread();
    return 1;
}

CNAConvertVariant* CNAConvertVariant::pclGetCloneVariant() const
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAConvertVariant* pclClone =
        pclDriver != nullptr ? pclDriver->pclAllocVariant(m_pclError, m_pclConnection) : nullptr;
    if (pclClone == nullptr)
        return nullptr;
    (void)pclClone->bCopyVariant(this);
    return pclClone;
}

int CNAConvertVariant::vbChangeZLType(unsigned short nCode, int bFlag)
{
    CAny clValue;
    if (!bGetValue(&clValue))
        return 0;
    if (!clValue.bIsNull() && NA_bStringCode(nCode) && eNAGetItemTypeAnalyse() == NA_IT_HEURE) {
        // The time text fitted to the item's digits.
        const long nDigits = m_piItemAnalyse->nGetItemSize() - 1;
        if (clValue.__nCastTo(ZLTYPE_PSTRW, nullptr, 1) > 99)
            return 0;
        const wchar_t* psz = nullptr;
        (void)clValue.Objet().nGetPCWSTR(&psz);
        const long nLength = psz != nullptr ? static_cast<long>(std::wcslen(psz)) : 0;
        if (nDigits >= 0 && (nLength > nDigits || (nLength < nDigits && bFlag == 0))) {
            CNAScratch<wchar_t> scratch;
            wchar_t* pszFitted = scratch.pGet(static_cast<size_t>(nDigits) + 1);
            if (pszFitted == nullptr)
                return 0;
            const long nKeep = std::min(nLength, nDigits);
            std::wmemcpy(pszFitted, psz != nullptr ? psz : L"", static_cast<size_t>(nKeep));
            std::wmemset(pszFitted + nKeep, L'0', static_cast<size_t>(nDigits - nKeep));
            (void)NA_nSetAnyWide(clValue, pszFitted, static_cast<size_t>(nDigits));
        }
    }
    InitTypeVariantAny(nCode, 0);
    return bSetValue(&clValue);
}
