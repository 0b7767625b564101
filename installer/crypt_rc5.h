#pragma once

#include <cstdint>

#include "installer/crypt.h"

// RC5 with 32-bit words and a 16-byte key, in cipher-block chaining from a
// zero vector; the bytes after the last whole 8-byte block go through a
// 4-bit form of the same rounds, each chained on the previous cipher byte.
// Keys come from passwords through a digest of the SHA-0 family.
class CCryptRC5 : public CCrypt
{
public:
    static constexpr unsigned nDefaultRounds = 12;
    static constexpr unsigned nMaxRounds = 255;

    // Rounds outside 1..255 are brought into that range.
    explicit CCryptRC5(unsigned nRounds = nDefaultRounds);
    ~CCryptRC5() override;

    int bSetCryptKey(const void* pKey, unsigned long nLength) override;
    int bSetCryptKey(Key* pKey) override;
    int bSetPassword(const wchar_t* pszText) override;
    int bSetPasswordAnsi(const char* pszText) override;
    void Crypt(unsigned char* pbyData, unsigned long nLength, Key* pKey) override;
    void Uncrypt(unsigned char* pbyData, unsigned long nLength, Key* pKey) override;
    void BuildCryptKeyBinary(Key* pKey, const unsigned char* pbyData, unsigned nLength) override;

    unsigned nGetRounds() const { return m_dwRounds; }
    // Changes the number of rounds and expands the current key again; false
    // for a number outside 1..255 or when the table cannot be allocated.
    int bSetRounds(unsigned nRounds);

    // One block of the key digest: the compression of the 1993 Secure Hash
    // Standard over sixteen words read little-endian.
    static void s_Sha0Block(uint32_t (&adwState)[5], const unsigned char* pbyBlock);

private:
    int _bExpandKey();
    // The expanded table of the current key, made when still missing.
    bool _bReady();
    // Crypt and Uncrypt: the key when given, then the chaining one way.
    void _Chain(unsigned char* pbyData, unsigned long nLength, Key* pKey, bool bEncipher);

    uint32_t m_dwRounds;
    uint32_t* m_pdwTable = nullptr;  // 2 * rounds + 2 words
};
