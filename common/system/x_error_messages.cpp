// CXError: errors from the module's table, user and debug messages.
#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "common/system/ct_string_format_message.h"
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/system/x_error.h"
#include "common/text/ct_string.h"

namespace {

constexpr unsigned int kNoMessage = 0xFFFFFFFFu;
constexpr unsigned int kNoMemoryMessage = 25193;
constexpr unsigned int kNoMemoryErrno = 12;

const _stErrorDef32* pFindRow(const _stMyModuleInfo* info, unsigned int nCode)
{
    if (info == nullptr || info->pstErrorDef == nullptr)
        return nullptr;
    // Linear, first match: a code may be listed twice.
    for (size_t i = 0; i < info->nNbErrorDef; ++i)
        if (info->pstErrorDef[i].dwCode == nCode)
            return &info->pstErrorDef[i];
    return nullptr;
}

}  // namespace

// Table.

void CXError::SetUserErrorList(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs, int nArgs)
{
    RAZ();
    ChangeUserErrorList(info, nCode, pArgs, nArgs);
}

void CXError::ChangeUserErrorList(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs, int nArgs)
{
    InitModInfo(info, 1);
    const _stErrorDef32* pRow = pFindRow(info, nCode);
    if (pRow == nullptr) {
        SetErrorLevel(EL_ERROR);
        AddDebugMessagePrintf(L"##(CXError)-Pas de definition d'erreur dans gstErrorDef pour l'identifiant <%u>##",
                              nCode);
        return;
    }
    m_nUserErrorCode = nCode;
    __AddUserMessageList(info, pRow->dwMessageId, pArgs, nArgs, true);
    m_nDetailId = static_cast<int32_t>(pRow->dwDetailId);
    SetErrorLevel(pRow->nLevel);
}

void CXError::SetUserErrorMessage(const _stMyModuleInfo* info, unsigned int nCode, const wchar_t* pszText)
{
    RAZ();
    ChangeUserErrorMessage(info, nCode, pszText);
}

void CXError::ChangeUserErrorMessage(const _stMyModuleInfo* info, unsigned int nCode, const wchar_t* pszText)
{
    InitModInfo(info, 1);
    const _stErrorDef32* pRow = pFindRow(info, nCode);
    if (pRow == nullptr) {
        SetErrorLevel(EL_ERROR);
        AddDebugMessagePrintf(L"##(CXError)-Pas de definition d'erreur dans gstErrorDef pour l'identifiant <%u>##",
                              nCode);
        return;
    }
    m_nUserErrorCode = nCode;
    AddUserMessageFirst(pszText);
    m_nDetailId = static_cast<int32_t>(pRow->dwDetailId);
    SetErrorLevel(pRow->nLevel);
}

unsigned int CXError::nGetRessourceIdFromUserErrorCode(const _stMyModuleInfo* info, unsigned int nCode)
{
    const _stErrorDef32* pRow = pFindRow(info, nCode);
    return pRow != nullptr ? pRow->dwMessageId : 0;
}

void CXError::SetAnyError(const _stMyModuleInfo* info, int nResult, int a, int b)
{
    unsigned int nCode = 0;
    switch (nResult) {
    case 0:
        RAZ();
        return;
    case 100:
        SetErrorNoMemory();
        return;
    case 1: nCode = 65; break;
    case 101: nCode = 61; break;
    case 104: nCode = 66; break;
    case 105: nCode = 60; break;
    case 106: nCode = 64; break;
    case 107: nCode = 63; break;
    default:
        return;
    }
    SetUserError(info, nCode, a, b);
}

void CXError::SetErrorNoMemory()
{
    RAZ();
    // Level 3 like any error: the reset left level 1, "no error".
    SetErrorLevel(EL_ERROR);
    AddUserMessageFirst(&gstMyModuleInfo32, kNoMemoryMessage);
    __SetSystemError(kNoMemoryErrno, nullptr);
}

// Lines.

void CXError::__AddLine(wchar_t** p, const wchar_t* pszText)
{
    if (pszText == nullptr)
        return;
    if (*p != nullptr && **p != 0 && __vpszConcatString(p, L"\r\n") == nullptr)
        return;
    __vpszConcatString(p, pszText);
}

void CXError::__AddFirst(wchar_t** p, const wchar_t* pszText)
{
    const wchar_t* text = pszText != nullptr ? pszText : L"";
    if (*p == nullptr) {
        __vpszAllocString(p, text);
        return;
    }
    const size_t nText = std::wcslen(text);
    const size_t nOld = std::wcslen(*p);
    // text, "\r\n", the old text and the terminator.
    auto* block = static_cast<wchar_t*>(std::malloc((nText + nOld + 3) * sizeof(wchar_t)));
    if (block == nullptr)
        return;
    std::wmemcpy(block, text, nText);
    block[nText] = L'\r';
    block[nText + 1] = L'\n';
    std::wmemcpy(block + nText + 2, *p, nOld + 1);
    std::free(*p);
    *p = block;
}

void CXError::AddUserMessage(const wchar_t* pszText)
{
    __AddLine(&m_pszUserMessage, pszText);
}

void CXError::AddUserMessageNoFormat(const wchar_t* pszText)
{
    if (pszText == nullptr || *pszText == 0)
        return;
    __AddLine(&m_pszUserMessage, pszText);
}

void CXError::AddUserMessageFirst(const wchar_t* pszText)
{
    __AddFirst(&m_pszUserMessage, pszText);
}

void CXError::AddDebugMessageNoFormat(const wchar_t* pszText)
{
    if (pszText == nullptr || *pszText == 0)
        return;
    __AddLine(&m_pszDebugMessage, pszText);
}

void CXError::AddDebugMessageFirst(const wchar_t* pszText)
{
    if (pszText == nullptr || *pszText == 0)
        return;
    __AddFirst(&m_pszDebugMessage, pszText);
}

void CXError::AddDebugMessagePrintf(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    CTString text;
    text.FormatV(pszFormat, args);
    va_end(args);
    AddDebugMessageNoFormat(text.pszGet());
}

// Resource messages.

bool CXError::__bFormatResource(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs,
                                CTString& out)
{
    CTString format;
    if (!DLLRES_bLoadString(info, nId, &format)) {
        out.printf(L"##(CXError)-Ressource <%u> non charg\u00E9e##", nId);
        return false;
    }
    if (format.nTaille() == 0 || DLLRES_dwFormatMessage(format.pszGet(), &out, pArgs, nArgs) == 0) {
        const unsigned int nLastError = static_cast<unsigned int>(errno);
        out.printf(L"##(CXError)-Ressource <%u> vide. LastError = <%u>##", nId, nLastError);
        return false;
    }
    return true;
}

void CXError::__AddUserMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs,
                                   bool bFirst)
{
    InitModInfo(info, 0);
    if (bFirst)
        m_tabMessageId.Insere(nId, 0);
    else
        m_tabMessageId.Ajoute(nId);
    CTString text;
    if (!__bFormatResource(info, nId, pArgs, nArgs, text)) {
        AddDebugMessageNoFormat(text.pszGet());
        return;
    }
    if (bFirst)
        AddUserMessageFirst(text.pszGet());
    else
        AddUserMessage(text.pszGet());
}

void CXError::AddUserMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs)
{
    __AddUserMessageList(info, nId, pArgs, nArgs, false);
}

void CXError::AddUserMessageListFirst(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs)
{
    __AddUserMessageList(info, nId, pArgs, nArgs, true);
}

void CXError::AddDebugMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs)
{
    if (nId == kNoMessage)
        return;
    // Formatted or not, the line goes in: the text, or why it is missing.
    CTString text;
    __bFormatResource(info, nId, pArgs, nArgs, text);
    AddDebugMessageNoFormat(text.pszGet());
}
