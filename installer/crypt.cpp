#include "installer/crypt.h"

#include <cstring>

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
