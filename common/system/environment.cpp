#include "common/system/environment.h"

#include <cerrno>
#include <cstdlib>
#include <new>

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
