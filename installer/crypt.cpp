#include "installer/crypt.h"

#include <cstdlib>
#include <cstring>

#include "installer/password_bytes.h"

int CCrypt::bSetCryptKey(const void* pKey, unsigned long nLength)
{
    std::memset(m_abyKey, 0, sizeof m_abyKey);
    if (pKey != nullptr)
        std::memcpy(m_abyKey, pKey, nLength < nKeySize ? nLength : nKeySize);
    return 1;
}

int CCrypt::bSetCryptKey(Key* pKey)
{
    return CCrypt::bSetCryptKey(pKey, pKey != nullptr ? nKeySize : 0);
}

void CCrypt::BuildCryptKeyAnsi(Key* pKey, const char* pszText)
{
    const size_t length = pszText != nullptr ? strnlen(pszText, UINT32_MAX) : 0;
    BuildCryptKeyBinary(pKey, reinterpret_cast<const unsigned char*>(pszText), static_cast<unsigned>(length));
}

void CCrypt::BuildCryptKey(Key* pKey, const wchar_t* pszText)
{
    unsigned length = 0;
    bool failed = false;
    unsigned char* bytes = pbyPasswordBytes(pszText, &length, &failed);
    // Out of memory the key is left alone rather than made from no bytes.
    if (!failed)
        BuildCryptKeyBinary(pKey, bytes, length);
    std::free(bytes);
}
