#pragma once

#include <cstdint>

// A password-keyed cipher: a password (wide or 8-bit text, or raw bytes)
// becomes a 16-byte key, and buffers are enciphered and deciphered in place under it.
class CCrypt
{
public:
    static constexpr unsigned nKeySize = 16;
    using Key = unsigned char[nKeySize];

    CCrypt() = default;
    CCrypt(const CCrypt&) = delete;
    CCrypt& operator=(const CCrypt&) = delete;
    virtual ~CCrypt() = default;

    // Copies min(n, 16) bytes and zero-fills the rest (null: all zeros).
    virtual int bSetCryptKey(const void* pKey, unsigned long nLength);
    // Copies the 16 bytes (null: all zeros).
    virtual int bSetCryptKey(Key* pKey);
    // The key of the password's bytes (installer/password_bytes.h: code page
    // 1252 when the text survives it, else UTF-16; null: no bytes).
    virtual void BuildCryptKey(Key* pKey, const wchar_t* pszText);
    // The key of the text's bytes, without terminator (null: no bytes).
    virtual void BuildCryptKeyAnsi(Key* pKey, const char* pszText);
    // Build the key of the password, then bSetCryptKey with it.
    virtual int bSetPassword(const wchar_t* pszText) = 0;
    virtual int bSetPasswordAnsi(const char* pszText) = 0;
    // Sets the key first when one is given, then works in place.
    virtual void Crypt(unsigned char* pbyData, unsigned long nLength, Key* pKey) = 0;
    virtual void Uncrypt(unsigned char* pbyData, unsigned long nLength, Key* pKey) = 0;
    virtual void BuildCryptKeyBinary(Key* pKey, const unsigned char* pbyData, unsigned nLength) = 0;

    const unsigned char* pbyGetKey() const { return m_abyKey; }

protected:
    Key m_abyKey = {};
};
