#pragma once

#include <cstdint>

// The traditional PKWARE encryption of ZIP entries: three 32-bit keys from
// the published start values, updated by every plain byte; the CRC-32 step is
// the raw table step over zlib's table (no inversion before or after).
class CZipCryptKeys
{
public:
    CZipCryptKeys();
    // Back to the start values, then each password character by its low 8
    // bits (a null password adds nothing).
    void Init(const wchar_t* pszPassword);
    void Update(unsigned char c);
    // Decrypts or encrypts in place, the keys running on.
    void Decrypt(unsigned char* p, uint64_t n);
    void Encrypt(unsigned char* p, uint64_t n);
    unsigned char DecryptByte(unsigned char c);
    unsigned char EncryptByte(unsigned char c);
    // Decrypts the 12-byte header in place: its last byte must be the check
    // byte.
    bool bCheckHeader(unsigned char* pHeader, unsigned char byCheck);
    // The check byte: the high byte of the 16-bit DOS time with a data
    // descriptor (flag bit 3), else the high byte of the CRC-32.
    static unsigned char s_byCheckByte(uint32_t dwFlags, uint32_t dwDosDate, uint32_t dwCrc);

private:
    unsigned char _byStream() const;
    uint32_t _Crc(uint32_t crc, unsigned char c) const;

    uint32_t m_adwKeys[3];
    const uint32_t* m_pCrcTable;
};
