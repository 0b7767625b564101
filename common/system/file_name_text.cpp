#include "common/system/file_name_text.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

bool bIsScalar(uint32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// UTF-8 bytes of one scalar value.
size_t nEncodedBytes(uint32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

char* Encode(uint32_t c, char* p)
{
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

// Decodes one well-formed sequence (no overlong forms, no surrogates, at
// most U+10FFFF); advances *pp. False for anything else.
bool bDecode(const unsigned char** pp, uint32_t* pc)
{
    const unsigned char* p = *pp;
    const unsigned char b = p[0];
    uint32_t c;
    int n;
    uint32_t nMin;
    if (b < 0x80) {
        *pc = b;
        *pp = p + 1;
        return true;
    }
    if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F;
        n = 1;
        nMin = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F;
        n = 2;
        nMin = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        c = b & 0x07;
        n = 3;
        nMin = 0x10000;
    } else {
        return false;
    }
    for (int i = 1; i <= n; ++i) {
        if ((p[i] & 0xC0) != 0x80)  // the terminator stops here too
            return false;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < nMin || !bIsScalar(c))
        return false;
    *pc = c;
    *pp = p + n + 1;
    return true;
}

}  // namespace

CSlashName::CSlashName(const wchar_t* pszName)
{
    m_nLen = pszName ? std::wcslen(pszName) : 0;
    if (m_nLen < kStackChars)
        m_psz = m_szStack;
    else
        m_psz = static_cast<wchar_t*>(std::malloc((m_nLen + 1) * sizeof(wchar_t)));
    if (m_psz == nullptr) {
        errno = ENOMEM;
        return;
    }
    for (size_t i = 0; i < m_nLen; ++i)
        m_psz[i] = pszName[i] == L'\\' ? L'/' : pszName[i];
    m_psz[m_nLen] = 0;
}

CSlashName::~CSlashName()
{
    if (m_psz != m_szStack)
        std::free(m_psz);
}

CUTF8Name::CUTF8Name(const wchar_t* pszName)
{
    if (pszName == nullptr) {
        errno = EINVAL;
        return;
    }
    size_t nBytes = 1;
    for (const wchar_t* p = pszName; *p; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (!bIsScalar(c)) {
            errno = EILSEQ;
            return;
        }
        nBytes += nEncodedBytes(c);
    }
    // The stack holds 1023 bytes of text and the terminator.
    char* pOut = nBytes <= kStackBytes ? m_szStack : static_cast<char*>(std::malloc(nBytes));
    if (pOut == nullptr) {
        errno = ENOMEM;
        return;
    }
    char* q = pOut;
    for (const wchar_t* p = pszName; *p; ++p)
        q = Encode(static_cast<uint32_t>(*p), q);
    *q = 0;
    m_psz = pOut;
}

CUTF8Name::~CUTF8Name()
{
    if (m_psz != m_szStack)
        std::free(m_psz);
}

long nUTF8NameLength(const char* pszName)
{
    if (pszName == nullptr)
        return -1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pszName);
    long n = 0;
    while (*p) {
        uint32_t c;
        if (!bDecode(&p, &c))
            return -1;
        ++n;
    }
    return n;
}

bool bUTF8NameToWide(const char* pszName, wchar_t* pszOut, size_t nCapacity)
{
    if (pszName == nullptr || pszOut == nullptr || nCapacity == 0)
        return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pszName);
    size_t n = 0;
    while (*p) {
        uint32_t c;
        if (!bDecode(&p, &c) || n + 1 >= nCapacity)
            return false;
        pszOut[n++] = static_cast<wchar_t>(c);
    }
    pszOut[n] = 0;
    return true;
}
