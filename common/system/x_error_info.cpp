// CXError: typed info items.
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/x_error.h"
#include "common/system/x_error_info_types.h"

namespace {

using K = eXErrorInfoKind;

struct InfoType
{
    K eKind;
    const wchar_t* pszDump;
};

constexpr InfoType kInfoTypes[CXError::EIT_LAST + 1] = {
    {K::None, nullptr},
    {K::Text, L"EIT_SRCFILE : <%s>"},
    {K::Text, L"EIT_DSTFILE : <%s>"},
    {K::Text, L"EIT_USERNAME : <%s>"},
    {K::Text, L"EIT_HELPFILE : <%s>"},
    {K::Text, L"EIT_PATHVXD : <%s>"},
    {K::Text, L"EIT_LOGICALTABLENAME : <%s>"},
    {K::Text, L"EIT_ITEMNAME : <%s>"},
    {K::Text, L"EIT_PATHFIC : <%s>"},
    {K::Text, L"EIT_PATHNDX : <%s>"},
    {K::Text, L"EIT_PATHMMO : <%s>"},
    {K::Text, L"EIT_LINKNAME : <%s>"},
    {K::Number64, L"EIT_RECNUM : <%lld>"},
    {K::Text, L"EIT_ODBCCODE : <%s>"},
    {K::Text, L"EIT_ODBCDESCRIPTION : <%s>"},
    {K::Number32, L"EIT_BASECODE : <%d>"},
    {K::Number32, L"EIT_NATIVECODE : <%d>"},
    {K::Number32, L"EIT_ADOCODE : <%d>"},
    {K::Text, L"EIT_BASEMESSAGE : <%s>"},
    {K::Text, L"EIT_NATIVEMESSAGE : <%s>"},
    {K::Text, L"EIT_ADOMESSAGE : <%s>"},
    {K::Unknown, L"EIT_DATAACCESS : <%p>"},
    {K::Text, L"EIT_INFOCLIENT : <%s>"},
    {K::Text, L"EIT_INFOSERVEUR : <%s>"},
    {K::Text, L"EIT_PILEZL :\r\n%s"},
    {K::Text, L"EIT_DATEHEURE : %s"},
    {K::Text, L"EIT_LOCKINFO : %s"},
    {K::Text, L"EIT_CORRIGE_ETAT : %s"},
    {K::Text, L"EIT_INFOCS : <%s>"},
    {K::Pointer, nullptr},
    {K::Number32, L"EIT_XINFO : <%d>"},
    {K::Text, L"EIT_COMPOSANT :\r\n%s"},
    {K::Text, L"EIT_SERVEURCS : <%s>"},
    {K::Text, L"EIT_PILEC :\r\n%s"},
    {K::None, nullptr},
    {K::None, nullptr},
    {K::Number64, L"EIT_HLOCKTIME : <%lld>"},
    {K::Number32, L"EIT_HCNXID : <%d>"},
    {K::Host, L"EIT_EXCEPTIONDOTNET"},
    {K::Text, L"EIT_POSITION_ERREUR : <%s>"},
};

bool bKnown(CXError::eERRORINFOTYPE eType)
{
    return eType >= 0 && eType <= CXError::EIT_LAST;
}

wchar_t* Duplicate(const wchar_t* s)
{
    const size_t n = std::wcslen(s);
    auto* copy = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (copy != nullptr)
        std::wmemcpy(copy, s, n + 1);
    return copy;
}

}  // namespace

eXErrorInfoKind XERR_eInfoKind(CXError::eERRORINFOTYPE eType)
{
    return bKnown(eType) ? kInfoTypes[eType].eKind : K::None;
}

const wchar_t* XERR_pszInfoDumpFormat(CXError::eERRORINFOTYPE eType)
{
    return bKnown(eType) ? kInfoTypes[eType].pszDump : nullptr;
}

const void* CXError::__pInfoValue(const _stERRORINFO& item)
{
    switch (XERR_eInfoKind(item.eType)) {
    case K::Number64:
        return &item.uValue.ll;
    case K::Number32:
        return &item.uValue.dw;
    default:
        return item.uValue.p;
    }
}

bool CXError::__bSetInfoValue(_stERRORINFO& item, const void* pValue)
{
    switch (XERR_eInfoKind(item.eType)) {
    case K::Text: {
        wchar_t* copy = Duplicate(static_cast<const wchar_t*>(pValue));
        if (copy == nullptr)
            return false;
        std::free(item.uValue.psz);
        item.uValue.psz = copy;
        return true;
    }
    case K::Number64:
        std::memcpy(&item.uValue.ll, pValue, sizeof item.uValue.ll);
        return true;
    case K::Number32:
        std::memcpy(&item.uValue.dw, pValue, sizeof item.uValue.dw);
        return true;
    case K::Unknown: {
        auto* pNew = static_cast<CVXUnknown*>(const_cast<void*>(pValue));
        if (pNew == item.uValue.pclUnknown)
            return true;
        pNew->dwAddRef();
        CVXUnknown* pOld = item.uValue.pclUnknown;
        item.uValue.pclUnknown = pNew;
        if (pOld != nullptr)
            pOld->dwRelease();
        return true;
    }
    case K::Host: {
        auto* pNew = static_cast<IXErrorHostObject*>(const_cast<void*>(pValue));
        pNew->vAddRef();
        IXErrorHostObject* pOld = item.uValue.piHost;
        item.uValue.piHost = pNew;
        if (pOld != nullptr)
            pOld->vRelease();
        return true;
    }
    case K::Pointer:
        item.uValue.p = pValue;
        return true;
    case K::None:
        break;
    }
    return false;
}

void CXError::AddInfo(eERRORINFOTYPE eType, const void* pValue)
{
    if (XERR_eInfoKind(eType) == K::None || pValue == nullptr)
        return;
    int i = 0;
    if (__bGetInfoIndice(eType, &i)) {
        __bSetInfoValue(m_tabInfo[i], pValue);
        return;
    }
    _stERRORINFO item;
    item.eType = eType;
    item.uValue.p = nullptr;
    if (!__bSetInfoValue(item, pValue))
        return;
    if (!m_tabInfo.Ajoute(item))
        __FreeInfoItem(item);
}

void CXError::GetInfo(int i, eERRORINFOTYPE* peType, const void** ppValue) const
{
    if (i < 0 || i >= m_tabInfo.nGetNbElement()) {
        if (peType != nullptr)
            *peType = EIT_NONE;
        return;
    }
    const _stERRORINFO& item = m_tabInfo[i];
    const K eKind = XERR_eInfoKind(item.eType);
    if (peType != nullptr)
        *peType = eKind == K::None ? EIT_NONE : item.eType;
    if (ppValue == nullptr)
        return;
    switch (eKind) {
    case K::Number64:
        // Into the caller's 64-bit variable that *ppValue points to.
        if (*ppValue != nullptr)
            std::memcpy(const_cast<void*>(*ppValue), &item.uValue.ll, sizeof item.uValue.ll);
        break;
    case K::Number32:
        // Into the first 4 bytes of the pointer variable itself.
        std::memcpy(static_cast<void*>(ppValue), &item.uValue.dw, sizeof item.uValue.dw);
        break;
    case K::None:
        break;
    default:
        *ppValue = item.uValue.p;
        break;
    }
}

bool CXError::bGetInfo(eERRORINFOTYPE eType, const void** ppValue) const
{
    int i = 0;
    if (!__bGetInfoIndice(eType, &i))
        return false;
    eERRORINFOTYPE eFound;
    GetInfo(i, &eFound, ppValue);
    return true;
}

bool CXError::bHasInfo(eERRORINFOTYPE eType) const
{
    int i = 0;
    return __bGetInfoIndice(eType, &i);
}

bool CXError::__bGetInfoIndice(eERRORINFOTYPE eType, int* pnIndex) const
{
    for (int i = 0; i < m_tabInfo.nGetNbElement(); ++i) {
        if (m_tabInfo[i].eType == eType) {
            if (pnIndex != nullptr)
                *pnIndex = i;
            return true;
        }
    }
    return false;
}

void CXError::DeleteInfo(eERRORINFOTYPE eType)
{
    int i = 0;
    if (!__bGetInfoIndice(eType, &i))
        return;
    _stERRORINFO item = m_tabInfo[i];
    m_tabInfo.Supprime(i, 1);
    __FreeInfoItem(item);
}

void CXError::__FreeInfoItem(_stERRORINFO& item)
{
    switch (XERR_eInfoKind(item.eType)) {
    case K::Text:
        std::free(item.uValue.psz);
        break;
    case K::Unknown: {
        // Cleared first: releasing may run the object's destructor.
        CVXUnknown* pObject = item.uValue.pclUnknown;
        item.eType = EIT_NONE;
        item.uValue.p = nullptr;
        if (pObject != nullptr)
            pObject->dwRelease();
        break;
    }
    case K::Host:
        if (item.uValue.piHost != nullptr)
            item.uValue.piHost->vRelease();
        break;
    default:
        break;
    }
    item.eType = EIT_NONE;
    item.uValue.p = nullptr;
}

void CXError::__FreeInfo()
{
    // Last to first.
    while (m_tabInfo.nGetNbElement() > 0) {
        const int nLast = m_tabInfo.nGetNbElement() - 1;
        _stERRORINFO item = m_tabInfo[nLast];
        m_tabInfo.SupprimeDernier(1);
        __FreeInfoItem(item);
    }
    m_tabInfo.SupprimeToutEtLibere();
}

bool CXError::__bGetXInfo(uint32_t dwBits) const
{
    int i = 0;
    return __bGetInfoIndice(EIT_XINFO, &i) && (m_tabInfo[i].uValue.dw & dwBits) != 0;
}

void CXError::__SetXInfo(uint32_t dwBits, int bSet)
{
    int i = 0;
    uint32_t dw = __bGetInfoIndice(EIT_XINFO, &i) ? m_tabInfo[i].uValue.dw : 0;
    dw = bSet ? (dw | dwBits) : (dw & ~dwBits);
    AddInfo(EIT_XINFO, &dw);
}
