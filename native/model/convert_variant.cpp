// The conversion value's life, typing, buffer preparation and information.
#include "native/model/convert_variant.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/text/any_decimal.h"
#include "common/text/charset.h"
#include "common/text/decimal_interface.h"
#include "common/text/str_locale.h"
#include "native/driver/connection_description.h"
#include "native/driver/error_object.h"
#include "native/model/item_description.h"
#include "native/model/na_item_description.h"
#include "native/model/qf_record.h"
#include "native/model/variant_any.h"
#include "native/model/zl_type_groups.h"

CNAConvertVariant::CNAConvertVariant(CNAError* pclError, CNAConnectionDescription* pclConnection)
    : m_pclConnection(pclConnection), m_pclError(pclError)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
}

CNAConvertVariant::~CNAConvertVariant()
{
    ResetVariant();
    if (m_pclError != nullptr)
        m_pclError->nRelease();
}

void CNAConvertVariant::_SetNoMemory() const
{
    if (m_pclError != nullptr)
        m_pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_VARIANT, NASite::kVariantBufferNoMemory,
                                m_pclConnection, pszGetTableName(), pszGetItemName());
}

// --- Typing -------------------------------------------------------------------

void CNAConvertVariant::_SetVarType(eNAVARTYPE eKind)
{
    if (m_eVarType == NA_VT_OWN_BUFFER)
        std::free(m_pbyBuffer);
    m_pbyBuffer = nullptr;
    m_nBufferSize = 0;
    m_nUsedSize = 0;
    SetItemDesc(nullptr, nullptr);
    m_clValue.__SetType(ZLTYPE_VIDE, 0);
    m_eVarType = eKind;
    m_nBindType = 0;
    m_nBindState = eKind == NA_VT_CALLER_BUFFER || eKind == NA_VT_OWN_BUFFER ? 1 : 0;
}

void CNAConvertVariant::InitTypeVariantAny(unsigned short nCode, unsigned long nSize)
{
    _SetVarType(NA_VT_ANY);
    m_clValue.__SetType(nCode, 0);
    m_nBufferSize = nSize;
    m_nUsedSize = nSize;
    m_nBindType = 0;
    m_nBindState = 0;
}

int CNAConvertVariant::bInitTypeVariant(eNAVARTYPE eKind, unsigned char* pbyBuffer, unsigned long nSize,
                                        unsigned short nCode)
{
    _SetVarType(eKind);
    m_clValue.__SetType(nCode, 0);
    return _bInitBufferQF(pbyBuffer, nSize);
}

int CNAConvertVariant::bInitTypeVariantBuffer(unsigned short nCode, unsigned long nSize)
{
    _SetVarType(NA_VT_OWN_BUFFER);
    m_clValue.__SetType(nCode, 0);
    if (!_bInitBufferQF(nullptr, nSize))
        return 0;
    return _bInitTypeBind();
}

int CNAConvertVariant::_bInitBufferQF(unsigned char* pbyBuffer, unsigned long nSize)
{
    switch (m_eVarType) {
    case NA_VT_RECORD:
    case NA_VT_CALLER_BUFFER:
        m_pbyBuffer = pbyBuffer;
        m_nBufferSize = pbyBuffer != nullptr ? nSize : 0;
        // The slot holds a value of its whole size until a store says
        // otherwise.
        m_nUsedSize = m_nBufferSize;
        return 1;
    case NA_VT_OWN_BUFFER:
        // A size from a host description: never more than a value holds.
        m_pbyBuffer = nSize <= ANY_MAX_UNITES
                          ? static_cast<unsigned char*>(std::calloc(nSize > 0 ? nSize : 1, 1))
                          : nullptr;
        if (m_pbyBuffer == nullptr) {
            m_nBufferSize = 0;
            m_nUsedSize = 0;
            _SetNoMemory();
            return 0;
        }
        m_nBufferSize = nSize;
        m_nUsedSize = nSize;
        return 1;
    default:
        return 1;
    }
}

void CNAConvertVariant::SetItemDesc(INAItemDescription* piAnalyse, INAItemDescription* piDatabase)
{
    if (piDatabase != m_piItemDatabase) {
        if (piDatabase != nullptr)
            piDatabase->ExternalAddRef();
        INAItemDescription* piFormer = m_piItemDatabase;
        m_piItemDatabase = piDatabase;
        if (piFormer != nullptr)
            piFormer->nExternalRelease();
    }
    if (piAnalyse != m_piItemAnalyse) {
        if (piAnalyse != nullptr)
            piAnalyse->ExternalAddRef();
        INAItemDescription* piFormer = m_piItemAnalyse;
        m_piItemAnalyse = piAnalyse;
        if (piFormer != nullptr)
            piFormer->nExternalRelease();
        if (piAnalyse != nullptr)
            m_clValue.__SetType(ConverteItemToZLType(piAnalyse), 0);
    }
}

int CNAConvertVariant::bInitBufferDB()
{
    if (m_nBindState != 0)
        return 1;
    if (!_bInitTypeBind())
        return 0;
    switch (m_eVarType) {
    case NA_VT_ANY_UNREAD:
        m_eVarType = NA_VT_ANY;
        return _bInitBufferDB_Any();
    case NA_VT_RECORD:
        return _bInitBufferDB_Ptr();
    case NA_VT_ANY:
        return _bInitBufferDB_Any();
    default:
        return 0;
    }
}

int CNAConvertVariant::_bInitBufferDB_Ptr()
{
    m_nBindState = 1;
    return 1;
}

int CNAConvertVariant::_bInitBufferDB_Any()
{
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (nCode == ZLTYPE_VIDE) {
        m_clValue.SetNull();
    } else if ((nCode >= 1 && nCode <= 14) || nCode == 17 || (nCode >= 24 && nCode <= 27) || nCode == 81 ||
               nCode == 128 || nCode == 129) {
        // These types live in the value's own storage: the database writes
        // straight into it.
        unsigned long nSize = 0;
        m_pbyBuffer = static_cast<unsigned char*>(const_cast<void*>(NA_pGetAnyData(m_clValue, &nSize)));
        m_nBufferSize = m_pbyBuffer != nullptr ? nSize : 0;
    }
    m_nBindState = 1;
    return 1;
}

// --- Information --------------------------------------------------------------

eNA_ITEMTYPE CNAConvertVariant::eNAGetItemTypeAnalyse() const
{
    return m_piItemAnalyse != nullptr ? m_piItemAnalyse->eNAGetItemType() : NA_IT_EMPTY;
}

eNA_ITEMTYPE CNAConvertVariant::eNAGetItemTypeDatabase() const
{
    return m_piItemDatabase != nullptr ? m_piItemDatabase->eNAGetItemType() : NA_IT_EMPTY;
}

eNA_ITEMTYPE CNAConvertVariant::eNAGetItemType() const
{
    return m_piItemAnalyse != nullptr ? eNAGetItemTypeAnalyse() : eNAGetItemTypeDatabase();
}

eNA_ITEMTYPE CNAConvertVariant::eNAGetItemTypeDatabaseEx() const
{
    if (m_piItemDatabase != nullptr)
        return eNAGetItemTypeDatabase();
    if (m_piItemAnalyse != nullptr)
        return eNAGetItemTypeAnalyse();
    return ConvertZLTypeToeItem(m_clValue.nGetTypeCode());
}

int CNAConvertVariant::eNAGetDBType() const
{
    // Only the driver's own descriptions know a database type.
    const CNAItemDescription* pclItem = dynamic_cast<const CNAItemDescription*>(m_piItemDatabase);
    return pclItem != nullptr ? pclItem->eNAGetDBType(m_pclConnection) : 0;
}

unsigned short CNAConvertVariant::eGetZLTypeDB() const
{
    return m_piItemDatabase != nullptr ? ConverteItemToZLType(m_piItemDatabase) : ZLTYPE_VIDE;
}

int CNAConvertVariant::bIsMemo() const
{
    const eNA_ITEMTYPE eType = eNAGetItemType();
    return eType == NA_IT_MEMOTEXTE || eType == NA_IT_MEMOBINAIRE4 || eType == NA_IT_MEMOBINAIRE ||
           eType == NA_IT_MEMOUNICODE;
}

int CNAConvertVariant::bIsMemoBinaire() const
{
    const eNA_ITEMTYPE eType = eNAGetItemType();
    return eType == NA_IT_MEMOBINAIRE4 || eType == NA_IT_MEMOBINAIRE;
}

int CNAConvertVariant::bUnicodeDB() const
{
    const INAItemDescription* piItem = m_piItemDatabase != nullptr ? m_piItemDatabase : m_piItemAnalyse;
    if (piItem != nullptr)
        return bIsTextUnicode(piItem->eNAGetItemType());
    switch (m_clValue.nGetTypeCode()) {
    case 16: case 20: case 24: case 25: case 81: case 110:
        return 1;
    default:
        return 0;
    }
}

const wchar_t* CNAConvertVariant::pszGetTableName() const
{
    const INAItemDescription* piItem = m_piItemAnalyse != nullptr ? m_piItemAnalyse : m_piItemDatabase;
    return piItem != nullptr ? piItem->pszGetSourceName() : nullptr;
}

const wchar_t* CNAConvertVariant::pszGetItemName() const
{
    const INAItemDescription* piItem = m_piItemAnalyse != nullptr ? m_piItemAnalyse : m_piItemDatabase;
    return piItem != nullptr ? piItem->pszGetName() : nullptr;
}

const void* CNAConvertVariant::pGetData() const
{
    switch (m_eVarType) {
    case NA_VT_ANY:
    case NA_VT_ANY_UNREAD: {
        unsigned long n;
        return NA_pGetAnyData(m_clValue, &n);
    }
    case NA_VT_RECORD:
    case NA_VT_CALLER_BUFFER:
    case NA_VT_OWN_BUFFER:
        return m_pbyBuffer;
    default:
        return nullptr;
    }
}

unsigned long CNAConvertVariant::nGetSize() const
{
    if (m_eVarType == NA_VT_ANY) {
        unsigned long n = 0;
        return NA_pGetAnyData(m_clValue, &n) != nullptr ? n : 0;
    }
    return m_nUsedSize;
}

bool CNAConvertVariant::_bUTF16Buffer() const
{
    return m_piItemAnalyse != nullptr && bIsTextUnicode(m_piItemAnalyse->eNAGetItemType());
}

void CNAConvertVariant::_ZeroFrom(unsigned long nFrom)
{
    if (m_pbyBuffer != nullptr && nFrom < m_nBufferSize)
        std::memset(m_pbyBuffer + nFrom, 0, m_nBufferSize - nFrom);
}

unsigned long CNAConvertVariant::nGetUtilDataSize() const
{
    if (m_eVarType == NA_VT_ANY)
        return CNAVariant::nGetUtilDataSize();
    const unsigned short nCode = m_clValue.nGetTypeCode();
    if (m_pbyBuffer == nullptr || !_bBufferKind())
        return NA_bAnsiStringCode(nCode) || NA_bWideStringCode(nCode) ? 0 : m_nUsedSize;
    if (NA_bAnsiStringCode(nCode)) {
        const void* pZero = std::memchr(m_pbyBuffer, 0, m_nBufferSize);
        return pZero != nullptr ? static_cast<unsigned long>(static_cast<const unsigned char*>(pZero) - m_pbyBuffer)
                                : m_nBufferSize;
    }
    if (NA_bWideStringCode(nCode)) {
        unsigned long nChars = 0;
        if (_bUTF16Buffer()) {
            for (unsigned long i = 0; i + 2 <= m_nBufferSize; i += 2) {
                uint16_t w;
                std::memcpy(&w, m_pbyBuffer + i, sizeof w);
                if (w == 0)
                    break;
                // The second unit of a pair is not a character of its own.
                if (!(w >= 0xDC00 && w <= 0xDFFF))
                    ++nChars;
            }
        } else {
            for (unsigned long i = 0; i + sizeof(wchar_t) <= m_nBufferSize; i += sizeof(wchar_t)) {
                uint32_t c;
                std::memcpy(&c, m_pbyBuffer + i, sizeof c);
                if (c == 0)
                    break;
                ++nChars;
            }
        }
        return nChars;
    }
    return m_nUsedSize;
}

int CNAConvertVariant::bGetBufferDB(void** ppBuffer, unsigned long* pnSize, unsigned long** ppnLength)
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    _Fetched();
    if (m_eVarType == NA_VT_ANY) {
        unsigned long n = 0;
        *ppBuffer = const_cast<void*>(NA_pGetAnyData(m_clValue, &n));
        *pnSize = n;
    } else {
        *ppBuffer = m_pbyBuffer;
        *pnSize = m_nBufferSize;
    }
    if (ppnLength != nullptr)
        *ppnLength = &m_nUsedSize;
    return 1;
}

int CNAConvertVariant::bGetDecimalInfo(int* pnPrecision, int* pnScale) const
{
    if (m_piItemAnalyse != nullptr && m_piItemAnalyse->eNAGetItemType() == NA_IT_DECIMAL) {
        *pnPrecision = m_piItemAnalyse->nGetIntegerPart() + m_piItemAnalyse->nGetDecimalPart();
        *pnScale = m_piItemAnalyse->nGetDecimalPart();
        return 1;
    }
    if (m_pclConnection != nullptr && m_pclConnection->nGetDBKind() == 2) {
        *pnPrecision = 0;
        *pnScale = 0;
        if (m_clValue.nGetTypeCode() == ZLTYPE_DECIMAL) {
            const IDecimal* pclDecimal = CAny_ZLDECIMAL::s_pclGetDecimal(m_clValue);
            if (pclDecimal == nullptr)
                return 0;
            *pnPrecision = pclDecimal->vnGetPrecision();
            *pnScale = pclDecimal->vnGetScale();
            return 1;
        }
        return CNAItemDescription::s_bGetDecimalInfo(m_clValue.nGetTypeCode(), pnPrecision, pnScale);
    }
    return CNAVariant::bGetDecimalInfo(pnPrecision, pnScale);
}

int CNAConvertVariant::nGetConnectionCodePage() const
{
    const int nCodePage = m_pclConnection != nullptr
                              ? m_pclConnection->nGetRuntimeCodePage()
                              : static_cast<int>(dwGetCodePageFromCharset(STR_nGetCurrentChangeCharset()));
    // Code page 0 is 1252; an unset one (or UTF-16, which no 8-bit text is
    // in) reads as 1252 too.
    return nCodePage > 0 ? nCodePage : 1252;
}

int CNAConvertVariant::nGetClientCodePage() const
{
    const int nCodePage = m_pclConnection != nullptr ? m_pclConnection->nGetClientTextCodePage() : -1;
    return nCodePage > 0 ? nCodePage : nGetConnectionCodePage();
}

// --- NULL, padding and the record ---------------------------------------------

void CNAConvertVariant::SetNull()
{
    _Fetched();
    NA_SetAnyNull(m_clValue);
    if (m_eVarType == NA_VT_RECORD)
        _ZeroFrom(0);
}

void CNAConvertVariant::SetUnreadYet()
{
    SetNull();
    if (m_eVarType == NA_VT_ANY)
        m_eVarType = NA_VT_ANY_UNREAD;
}

void CNAConvertVariant::CompleteSpaces(int nCount)
{
    if (m_clValue.bIsNull())
        return;
    const unsigned short nCode = m_clValue.nGetTypeCode();
    const bool bAnsi = nCode == ZLTYPE_DSTRA || nCode == ZLTYPE_PSTRA;
    const bool bWide = nCode == ZLTYPE_DSTRW || nCode == ZLTYPE_PSTRW;
    if (!bAnsi && !bWide)
        return;
    if (nCount == -1)
        nCount = static_cast<int>(bAnsi ? std::max<unsigned long>(nGetSize(), 1) - 1 : nGetSize() / sizeof(wchar_t));
    if (nCount <= 0)
        return;
    if (!_bBufferKind()) {
        if (m_eVarType != NA_VT_ANY)
            return;
        // The runtime string grows to the count.
        CAny clPadded;
        if (bAnsi) {
            const char* psz = nullptr;
            const unsigned long n = NA_nGetAnyUtilSize(m_clValue);
            if (n >= static_cast<unsigned long>(nCount) || m_clValue.Objet().nGetPCASTR(&psz) > 99)
                return;
            char* pszNew = static_cast<char*>(std::malloc(static_cast<size_t>(nCount)));
            if (pszNew == nullptr)
                return;
            std::memcpy(pszNew, psz, n);
            std::memset(pszNew + n, ' ', static_cast<size_t>(nCount) - n);
            (void)NA_nSetAnyAnsi(m_clValue, pszNew, static_cast<size_t>(nCount));
            std::free(pszNew);
        } else {
            const wchar_t* psz = nullptr;
            const unsigned long n = NA_nGetAnyUtilSize(m_clValue) / sizeof(wchar_t);
            if (n >= static_cast<unsigned long>(nCount) || m_clValue.Objet().nGetPCWSTR(&psz) > 99)
                return;
            wchar_t* pszNew = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(nCount) * sizeof(wchar_t)));
            if (pszNew == nullptr)
                return;
            std::wmemcpy(pszNew, psz, n);
            std::wmemset(pszNew + n, L' ', static_cast<size_t>(nCount) - n);
            (void)NA_nSetAnyWide(m_clValue, pszNew, static_cast<size_t>(nCount));
            std::free(pszNew);
        }
        return;
    }
    if (m_pbyBuffer == nullptr)
        return;
    if (bAnsi) {
        // A terminator stays behind the last blank.
        const unsigned long nMax = m_nBufferSize > 0 ? m_nBufferSize - 1 : 0;
        const unsigned long nTarget = std::min<unsigned long>(static_cast<unsigned long>(nCount), nMax);
        const unsigned long n = nGetUtilDataSize();
        if (n >= nTarget)
            return;
        std::memset(m_pbyBuffer + n, ' ', nTarget - n);
        m_pbyBuffer[nTarget] = 0;
        m_nUsedSize = nTarget;
        return;
    }
    if (_bUTF16Buffer()) {
        const unsigned long nUnitsMax = m_nBufferSize / 2 > 0 ? m_nBufferSize / 2 - 1 : 0;
        unsigned long nUnits = 0;
        while (nUnits < m_nBufferSize / 2) {
            uint16_t w;
            std::memcpy(&w, m_pbyBuffer + 2 * nUnits, sizeof w);
            if (w == 0)
                break;
            ++nUnits;
        }
        const unsigned long nChars = nGetUtilDataSize();
        if (nChars >= static_cast<unsigned long>(nCount))
            return;
        const unsigned long nTargetUnits = std::min(nUnitsMax, nUnits + (static_cast<unsigned long>(nCount) - nChars));
        if (nTargetUnits <= nUnits)
            return;
        for (unsigned long i = nUnits; i < nTargetUnits; ++i) {
            const uint16_t wBlank = L' ';
            std::memcpy(m_pbyBuffer + 2 * i, &wBlank, sizeof wBlank);
        }
        _ZeroFrom(2 * nTargetUnits);
        m_nUsedSize = 2 * nTargetUnits;
        return;
    }
    const unsigned long nMax = m_nBufferSize / sizeof(wchar_t) > 0 ? m_nBufferSize / sizeof(wchar_t) - 1 : 0;
    const unsigned long nTarget = std::min<unsigned long>(static_cast<unsigned long>(nCount), nMax);
    const unsigned long n = nGetUtilDataSize();
    if (n >= nTarget)
        return;
    for (unsigned long i = n; i < nTarget; ++i) {
        const wchar_t cBlank = L' ';
        std::memcpy(m_pbyBuffer + i * sizeof(wchar_t), &cBlank, sizeof cBlank);
    }
    _ZeroFrom(nTarget * sizeof(wchar_t));
    m_nUsedSize = nTarget * sizeof(wchar_t);
}

int CNAConvertVariant::bConvertDataToDB()
{
    if (m_nBindState == 0 && !bInitBufferDB())
        return 0;
    return 1;
}

int CNAConvertVariant::bConvertDataToQF(CNAQFRecord* pclRecord)
{
    _Fetched();
    if (m_nBindState == 1 && m_eVarType == NA_VT_RECORD && eNAGetItemTypeAnalyse() == NA_IT_TEXTE &&
        eNAGetItemTypeDatabase() == NA_IT_TEXTE && m_pbyBuffer != nullptr) {
        const void* pZero = std::memchr(m_pbyBuffer, 0, m_nBufferSize);
        if (pZero != nullptr)
            _ZeroFrom(static_cast<unsigned long>(static_cast<const unsigned char*>(pZero) - m_pbyBuffer));
    }
    if (pclRecord != nullptr && m_piItemAnalyse != nullptr)
        pclRecord->SetItemValueDefined(m_piItemAnalyse, m_clValue.bIsNull() ? 0 : 1, 0);
    return 1;
}

int CNAConvertVariant::bLoadFile(const wchar_t* pszPath, CNAError* pclError, int bBinary)
{
    if (!CNAVariant::bLoadFile(pszPath, pclError, bBinary))
        return 0;
    _Fetched();
    return 1;
}
