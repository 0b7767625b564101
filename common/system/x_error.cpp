// CXError: construction, texts, levels, module identity, copies and
// sub-errors.
#include "common/system/x_error.h"

#include <cstdlib>
#include <cwchar>
#include <new>
#include <utility>

#include "common/system/module_info.h"

namespace {

constexpr int kMessageIdStep = 1;
constexpr int kInfoStep = 1;
constexpr int kSubErrorStep = 10;
constexpr int kMaxFreeSlots = 30;

// A malloc copy of s; null for a null s or when memory fails.
wchar_t* Duplicate(const wchar_t* s)
{
    if (s == nullptr)
        return nullptr;
    const size_t n = std::wcslen(s);
    auto* copy = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (copy != nullptr)
        std::wmemcpy(copy, s, n + 1);
    return copy;
}

// Takes src's text: the old one is freed, src's pointer left null.
void MoveText(wchar_t*& dst, wchar_t*& src)
{
    std::free(dst);
    dst = src;
    src = nullptr;
}

}  // namespace

CXError::CXError(const _stMyModuleInfo* info)
    : m_tabMessageId(kMessageIdStep, kMaxFreeSlots), m_tabInfo(kInfoStep, kMaxFreeSlots)
{
    __InitConstructor(info != nullptr ? info->dwModuleId : 0);
}

CXError::CXError(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs, int nArgs) : CXError(info)
{
    SetUserErrorList(info, nCode, pArgs, nArgs);
}

CXError::CXError(const _stMyModuleInfo* info, const wchar_t* pszDebug, unsigned int nCode, va_list* pArgs,
                 int nArgs)
    : CXError(info)
{
    SetUserErrorList(info, nCode, pArgs, nArgs);
    AddDebugMessageNoFormat(pszDebug);
}

CXError::CXError(const _stMyModuleInfo* info, CXError* pSrc, int bLight) : CXError(info)
{
    if (bLight)
        LightCopy(pSrc);
    else if (pSrc != nullptr)
        __Copy(pSrc);
}

CXError::CXError(const _stMyModuleInfo* info, CXError& src, int bLight) : CXError(info, &src, bLight) {}

CXError::CXError(unsigned int nModuleId, CXError* pSrc, int bLight) : CXError(static_cast<const _stMyModuleInfo*>(nullptr))
{
    m_nModuleId = nModuleId;
    if (bLight)
        LightCopy(pSrc);
    else if (pSrc != nullptr)
        __Copy(pSrc);
}

CXError::CXError(const _stMyModuleInfo* info, const CXError& src) : CXError(info)
{
    __Copy(&src);
}

CXError::CXError(const CXError& src)
    : CVXUnknown(), m_tabMessageId(kMessageIdStep, kMaxFreeSlots), m_tabInfo(kInfoStep, kMaxFreeSlots)
{
    __InitConstructor(0);
    __Copy(&src);
}

CXError::~CXError()
{
    RAZ();
    __RAZALL();
}

void CXError::__InitConstructor(unsigned int nModuleId)
{
    m_nModuleId = nModuleId;
    m_eLevel = EL_NOERROR;
    m_nUserErrorCode = 0;
    m_pszUserMessage = nullptr;
    m_pszDebugMessage = nullptr;
    m_pszFunctionName = nullptr;
    m_pszModName = nullptr;
    m_pszModVersion = nullptr;
    m_nFunctionSyntax = 0;
    m_nDetailId = 0;
    m_dwSystemErrorCode = 0;
    m_pszSystemErrorMessage = nullptr;
    m_pszVMCaption = nullptr;
    m_wVMLine = 0;
    m_wVMThread = 0;
    m_ptabSubError = nullptr;
    m_pszVMObject = nullptr;
    m_nUserErrorCode55 = 0;
}

void CXError::__RAZALL()
{
    m_nModuleId = 0;
}

// Texts.

wchar_t* CXError::__vpszAllocString(wchar_t** p, const wchar_t* s)
{
    *p = Duplicate(s);
    return *p;
}

wchar_t* CXError::__vpszReallocString(wchar_t** p, const wchar_t* s)
{
    if (*p == s)
        return *p;
    // The copy is made before the old text goes: s may lie inside it.
    wchar_t* copy = Duplicate(s);
    std::free(*p);
    *p = copy;
    return copy;
}

wchar_t* CXError::__vpszReallocString(wchar_t** p, size_t n)
{
    const bool bNew = *p == nullptr;
    wchar_t* block = nullptr;
    if (n < SIZE_MAX / sizeof(wchar_t) - 1)
        block = static_cast<wchar_t*>(std::realloc(*p, (n + 1) * sizeof(wchar_t)));
    if (block == nullptr) {
        std::free(*p);
        *p = nullptr;
        return nullptr;
    }
    if (bNew)
        block[0] = 0;
    block[n] = 0;
    *p = block;
    return block;
}

wchar_t* CXError::__vpszConcatString(wchar_t** p, const wchar_t* s)
{
    if (s == nullptr || *s == 0)
        return *p;
    const size_t nOld = *p != nullptr ? std::wcslen(*p) : 0;
    const size_t nAdd = std::wcslen(s);
    // s may lie inside the text that is about to move.
    const bool bInside = *p != nullptr && s >= *p && s <= *p + nOld;
    const size_t nOffset = bInside ? static_cast<size_t>(s - *p) : 0;
    auto* block = static_cast<wchar_t*>(std::realloc(*p, (nOld + nAdd + 1) * sizeof(wchar_t)));
    if (block == nullptr)
        return nullptr;
    std::wmemmove(block + nOld, bInside ? block + nOffset : s, nAdd);
    block[nOld + nAdd] = 0;
    *p = block;
    return block;
}

void CXError::__vDeleteString(wchar_t** p)
{
    std::free(*p);
    *p = nullptr;
}

// State.

void CXError::RAZ()
{
    // The driver resets its errors at every host call and finds them clear
    // nearly always: then there is nothing to free nor to set. Otherwise
    // only what is held is freed (texts through their slot).
    const auto Bits = [](const void* p) { return reinterpret_cast<uintptr_t>(p); };
    const uintptr_t nHeld = Bits(m_pszUserMessage) | Bits(m_pszDebugMessage) | Bits(m_pszFunctionName) |
                            Bits(m_pszVMCaption) | Bits(m_pszVMObject) | Bits(m_pszSystemErrorMessage) |
                            Bits(m_pszModName) | Bits(m_pszModVersion) | Bits(m_tabMessageId.pGetBuffer()) |
                            Bits(m_tabInfo.pGetBuffer()) | Bits(m_ptabSubError);
    const uint32_t nSet = m_nUserErrorCode | m_nFunctionSyntax | static_cast<uint32_t>(m_nDetailId) |
                          m_dwSystemErrorCode | m_wVMLine | m_wVMThread | static_cast<uint32_t>(m_nUserErrorCode55);
    if (nHeld == 0 && nSet == 0 && m_eLevel == EL_NOERROR)
        return;
    const auto Delete = [this](wchar_t** p) {
        if (*p != nullptr)
            __vDeleteString(p);
    };
    Delete(&m_pszUserMessage);
    Delete(&m_pszDebugMessage);
    Delete(&m_pszFunctionName);
    Delete(&m_pszVMCaption);
    Delete(&m_pszVMObject);
    Delete(&m_pszSystemErrorMessage);
    Delete(&m_pszModName);
    Delete(&m_pszModVersion);
    if (m_tabMessageId.pGetBuffer() != nullptr)
        m_tabMessageId.SupprimeToutEtLibere();
    if (m_tabInfo.pGetBuffer() != nullptr)
        __FreeInfo();
    if (m_ptabSubError != nullptr)
        __DeleteAllSubError();
    __InitConstructor(m_nModuleId);
}

void CXError::RAZUserMessage()
{
    __vDeleteString(&m_pszUserMessage);
}

void CXError::SetErrorLevel(eERRORLEVEL eLevel)
{
    if (eLevel == m_eLevel)
        return;
    if (eLevel == EL_NOERROR)
        RAZ();
    else
        m_eLevel = eLevel;
}

void CXError::SetFunctionName(const wchar_t* pszName, unsigned char nSyntax)
{
    if (__vpszReallocString(&m_pszFunctionName, pszName) != nullptr)
        m_nFunctionSyntax = nSyntax;
}

void CXError::InitModInfo(const _stMyModuleInfo* info, int bForce)
{
    if (info == nullptr)
        return;
    if (bForce || m_pszModName == nullptr) {
        __vpszReallocString(&m_pszModName, info->pszModuleFileName);
        __vpszReallocString(&m_pszModVersion, info->pszModuleVersion);
    }
}

void CXError::InitModName(const wchar_t* pszName)
{
    __vpszReallocString(&m_pszModName, pszName);
}

void CXError::InitModVersion(const wchar_t* pszVersion)
{
    __vpszReallocString(&m_pszModVersion, pszVersion);
}

void CXError::SetVMContext(const wchar_t* pszCaption, const wchar_t* pszObject, unsigned short nLine,
                           unsigned short nThread)
{
    if (__vpszReallocString(&m_pszVMCaption, pszCaption) == nullptr)
        return;
    if (__vpszReallocString(&m_pszVMObject, pszObject) == nullptr)
        return;
    m_wVMLine = nLine;
    m_wVMThread = nThread;
}

void CXError::SetVMContext(const wchar_t* pszCaption, unsigned short nLine, unsigned short nThread)
{
    __vpszReallocString(&m_pszVMCaption, pszCaption);
    m_wVMLine = nLine;
    m_wVMThread = nThread;
}

void CXError::SetVMContext(const wchar_t* pszObject)
{
    __vpszReallocString(&m_pszVMObject, pszObject);
}

unsigned int CXError::nGetErrorId(int i) const
{
    if (i < 0 || i >= m_tabMessageId.nGetNbElement())
        return 0;
    return m_tabMessageId[i];
}

// Copies.

void CXError::vCopy(const CXError* pSrc)
{
    Copy(pSrc);
}

void CXError::Copy(const CXError* pSrc)
{
    if (pSrc == nullptr || pSrc == this)
        return;
    __Copy(pSrc);
}

void CXError::__Copy(const CXError* pSrc)
{
    if (pSrc == nullptr || pSrc == this)
        return;
    m_eLevel = pSrc->m_eLevel;
    m_nUserErrorCode = pSrc->m_nUserErrorCode;
    m_nUserErrorCode55 = pSrc->m_nUserErrorCode55;
    __vpszReallocString(&m_pszUserMessage, pSrc->m_pszUserMessage);
    __vpszReallocString(&m_pszModName, pSrc->m_pszModName);
    __vpszReallocString(&m_pszModVersion, pSrc->m_pszModVersion);
    __vpszReallocString(&m_pszDebugMessage, pSrc->m_pszDebugMessage);
    __vpszReallocString(&m_pszFunctionName, pSrc->m_pszFunctionName);
    m_dwSystemErrorCode = pSrc->m_dwSystemErrorCode;
    __vpszReallocString(&m_pszSystemErrorMessage, pSrc->m_pszSystemErrorMessage);
    __vpszReallocString(&m_pszVMCaption, pSrc->m_pszVMCaption);
    __vpszReallocString(&m_pszVMObject, pSrc->m_pszVMObject);
    m_nDetailId = pSrc->m_nDetailId;
    m_nFunctionSyntax = pSrc->m_nFunctionSyntax;
    m_wVMLine = pSrc->m_wVMLine;
    m_wVMThread = pSrc->m_wVMThread;
    m_tabMessageId._Duplique(pSrc->m_tabMessageId);

    __FreeInfo();
    for (int i = 0; i < pSrc->m_tabInfo.nGetNbElement(); ++i) {
        const _stERRORINFO& item = pSrc->m_tabInfo[i];
        // A data access belongs to its own module's objects.
        if (item.eType == EIT_DATAACCESS && pSrc->m_nModuleId != m_nModuleId)
            continue;
        AddInfo(item.eType, __pInfoValue(item));
    }
    for (int i = 0; i < pSrc->nGetNbSubError(); ++i)
        __AddSubError((*pSrc->m_ptabSubError)[i], 0, 1);
}

void CXError::LightCopy(CXError* pSrc)
{
    if (pSrc == nullptr || pSrc == this)
        return;
    MoveText(m_pszUserMessage, pSrc->m_pszUserMessage);
    MoveText(m_pszDebugMessage, pSrc->m_pszDebugMessage);
    MoveText(m_pszFunctionName, pSrc->m_pszFunctionName);
    MoveText(m_pszModName, pSrc->m_pszModName);
    MoveText(m_pszModVersion, pSrc->m_pszModVersion);
    MoveText(m_pszSystemErrorMessage, pSrc->m_pszSystemErrorMessage);
    MoveText(m_pszVMCaption, pSrc->m_pszVMCaption);
    MoveText(m_pszVMObject, pSrc->m_pszVMObject);
    m_eLevel = std::exchange(pSrc->m_eLevel, EL_NOERROR);
    m_nUserErrorCode = std::exchange(pSrc->m_nUserErrorCode, 0);
    m_nUserErrorCode55 = std::exchange(pSrc->m_nUserErrorCode55, 0);
    m_dwSystemErrorCode = std::exchange(pSrc->m_dwSystemErrorCode, 0);
    m_nDetailId = std::exchange(pSrc->m_nDetailId, 0);
    m_nFunctionSyntax = std::exchange(pSrc->m_nFunctionSyntax, 0);
    m_wVMLine = std::exchange(pSrc->m_wVMLine, 0);
    m_wVMThread = std::exchange(pSrc->m_wVMThread, 0);
    m_tabMessageId._Duplique(pSrc->m_tabMessageId);
    pSrc->m_tabMessageId.SupprimeToutEtLibere();

    __FreeInfo();
    for (int i = 0; i < pSrc->m_tabInfo.nGetNbElement(); ++i) {
        _stERRORINFO& item = pSrc->m_tabInfo[i];
        const bool bForeignAccess = item.eType == EIT_DATAACCESS && pSrc->m_nModuleId != m_nModuleId;
        // Taken as they are: the references move with them.
        if (bForeignAccess || !m_tabInfo.Ajoute(item))
            pSrc->__FreeInfoItem(item);
    }
    pSrc->m_tabInfo.SupprimeToutEtLibere();

    __DeleteAllSubError();
    m_ptabSubError = std::exchange(pSrc->m_ptabSubError, nullptr);
}

// Sub-errors.

void CXError::__AddSubError(CXError* pSrc, int bLight, int bNoUserMessage)
{
    // Moving an error into its own list would make it its own sub-error.
    if (pSrc == nullptr || (bLight && pSrc == this))
        return;
    if (m_ptabSubError == nullptr) {
        m_ptabSubError = new (std::nothrow) CTTableau<CXError*>(kSubErrorStep, kMaxFreeSlots);
        if (m_ptabSubError == nullptr)
            return;
    }
    CXError* pSub = new (std::nothrow) CXError(m_nModuleId, pSrc, bLight);
    if (pSub == nullptr)
        return;
    if (!m_ptabSubError->Ajoute(pSub)) {
        delete pSub;
        return;
    }
    if (!bNoUserMessage && m_ptabSubError->nGetNbElement() == 1)
        AddUserMessage(pSub->pszGetUserMessage());
}

void CXError::__DeleteAllSubError()
{
    if (m_ptabSubError == nullptr)
        return;
    CTTableau<CXError*>* pList = m_ptabSubError;
    m_ptabSubError = nullptr;
    // Owned outright: deleted, not released.
    for (int i = 0; i < pList->nGetNbElement(); ++i)
        delete (*pList)[i];
    delete pList;
}

CXError* CXError::pclGetSubError(int i) const
{
    if (i < 0 || i >= nGetNbSubError())
        return nullptr;
    return (*m_ptabSubError)[i];
}
