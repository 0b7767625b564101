// CXError: the system error code and its text.
#include <netdb.h>

#include <cstring>

#include "common/system/code_page_conversion.h"
#include "common/system/x_error.h"
#include "common/text/ct_string.h"

namespace {

// The lock conflicts of the file layer travel as these codes; their text is
// that of EAGAIN.
constexpr unsigned int kFirstLockCode = 0x80000000u;
constexpr unsigned int kLastLockCode = 0x80000002u;
constexpr int kLockErrno = 11;

}  // namespace

void CXError::__SetSystemError(unsigned int nCode, va_list*)
{
    m_dwSystemErrorCode = nCode;
    if (nCode == 0) {
        __vDeleteString(&m_pszSystemErrorMessage);
        return;
    }
    // The text of the code stored, not of whatever errno holds now.
    const int nErrno = (nCode >= kFirstLockCode && nCode <= kLastLockCode) ? kLockErrno : static_cast<int>(nCode);
    char buffer[256];
    const char* pszText = strerror_r(nErrno, buffer, sizeof buffer);
    CTString text;
    text.SetANSIEx(pszText, -1, CP_UTF8);
    __vpszReallocString(&m_pszSystemErrorMessage, text.pszGet());
}

void CXError::SetSystemErrorParam(unsigned int nCode, ...)
{
    va_list args;
    va_start(args, nCode);
    __SetSystemError(nCode, &args);
    va_end(args);
}

void CXError::SetSystemError(unsigned int nCode, const wchar_t* pszText)
{
    m_dwSystemErrorCode = nCode;
    __vpszReallocString(&m_pszSystemErrorMessage, pszText);
}

void CXError::SetSystemErrorMessage(unsigned int nCode, const wchar_t* pszText)
{
    SetSystemError(nCode, pszText);
}

void CXError::SetSystemErrorMessage(const wchar_t* pszText)
{
    SetSystemError(0, pszText);
}

void CXError::SetSystemErrorMessagePrintf(unsigned int nCode, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    CTString text;
    text.FormatV(pszFormat, args);
    va_end(args);
    SetSystemError(nCode, text.pszGet());
}

void CXError::SetSystemErrorMessagePrintf(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    CTString text;
    text.FormatV(pszFormat, args);
    va_end(args);
    SetSystemError(0, text.pszGet());
}

void CXError::SetSystemErrorMessageA(const char* pszText)
{
    CTString text;
    if (pszText != nullptr && *pszText != 0)
        text.SetANSIEx(pszText, -1, CP_UTF8);
    SetSystemError(0, text.pszGet());
}

void CXError::SetSystemErrorForGetHostBy(unsigned int nCode)
{
    CTString text;
    text.SetANSIEx(hstrerror(h_errno), -1, CP_UTF8);
    SetSystemError(nCode, text.pszGet());
}

void CXError::__SetSystemErrorMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs)
{
    CTString text;
    __bFormatResource(info, nId, pArgs, nArgs, text);
    SetSystemError(0, text.pszGet());
}
