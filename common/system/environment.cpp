#include "common/system/environment.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <new>

#include "common/text/charset.h"
#include "common/text/str_locale.h"
#include "common/text/utf8_code_page.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

int SetEnvironmentVariable(const char* pszName, const char* pszValue)
{
    if (pszName == nullptr)
    {
        errno = EINVAL;
        return 0;
    }
    if (pszValue == nullptr)
    {
        unsetenv(pszName);
        return 1;
    }
    return setenv(pszName, pszValue, 1) == 0;
}

namespace {

// Conversion buffers this small stay on the stack.
constexpr size_t kStackBuffer = 1024;

// A work buffer of n bytes: the stack one when it is large enough.
class WorkBuffer
{
public:
    WorkBuffer(char* pStack, size_t nStack, size_t n)
        : m_p(n <= nStack ? pStack : new (std::nothrow) char[n]), m_bHeap(n > nStack)
    {
    }
    ~WorkBuffer()
    {
        if (m_bHeap)
            delete[] m_p;
    }
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;
    char* Get() const { return m_p; }

private:
    char* m_p;
    bool m_bHeap;
};

// Each 8-bit or UTF-8 byte takes at most this many bytes once converted;
// the slack covers the shift sequences of stateful code pages.
constexpr size_t kGrowth = 4;
constexpr size_t kSlack = 16;

}  // namespace

unsigned int GetEnvironmentVariableW(const wchar_t* pszName, wchar_t* pszBuffer, unsigned int nSize)
{
    if (pszName == nullptr)
        return 0;
    char szStack[kStackBuffer];
    WorkBuffer name(szStack, sizeof szStack, UTF8ByteLen(pszName) + 1);
    if (name.Get() == nullptr)
        return 0;
    WideToUTF8(name.Get(), pszName);
    const char* pszValue = std::getenv(name.Get());
    if (pszValue == nullptr)
        return 0;
    const size_t nLength = UTF8ToWideLen(pszValue);
    if (nSize > 0 && pszBuffer != nullptr)
        UTF8ToWide(pszBuffer, nSize > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(nSize), pszValue);
    return static_cast<unsigned int>(nSize > nLength ? nLength : nLength + 1);
}

unsigned int GetEnvironmentVariableA(const char* pszName, char* pszBuffer, unsigned int nSize)
{
    if (pszName == nullptr)
        return 0;
    const unsigned int nCodePage = dwGetCodePageFromCharset(STR_nGetCurrentChangeCharset());

    const size_t nNameLength = std::strlen(pszName);
    const size_t nNameCapacity = nNameLength * kGrowth + kSlack;
    if (nNameCapacity > INT_MAX)
        return 0;
    char szStack[kStackBuffer];
    WorkBuffer name(szStack, sizeof szStack, nNameCapacity);
    if (name.Get() == nullptr)
        return 0;
    const int nName = MultiByteToUTF8(nCodePage, pszName, static_cast<int>(nNameLength), name.Get(),
                                      static_cast<int>(nNameCapacity) - 1, 0);
    name.Get()[nName] = '\0';
    const char* pszValue = std::getenv(name.Get());
    if (pszValue == nullptr)
        return 0;

    const size_t nValueLength = std::strlen(pszValue);
    const size_t nValueCapacity = nValueLength * kGrowth + kSlack;
    if (nValueCapacity > INT_MAX)
        return 0;
    char szValueStack[kStackBuffer];
    WorkBuffer value(szValueStack, sizeof szValueStack, nValueCapacity);
    if (value.Get() == nullptr)
        return 0;
    const int nValue = nValueLength == 0 ? 0
                                         : UTF8ToMultiByte(nCodePage, pszValue, static_cast<int>(nValueLength),
                                                           value.Get(), static_cast<int>(nValueCapacity) - 1, 0,
                                                           nullptr, nullptr);
    const auto nLength = static_cast<unsigned int>(nValue);
    if (nSize > 0 && pszBuffer != nullptr)
    {
        const unsigned int nCopied = nLength < nSize - 1 ? nLength : nSize - 1;
        std::memcpy(pszBuffer, value.Get(), nCopied);
        pszBuffer[nCopied] = '\0';
    }
    return nSize > nLength ? nLength : nLength + 1;
}
