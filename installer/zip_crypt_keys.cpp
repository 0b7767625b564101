#include "installer/zip_crypt_keys.h"

#include <zlib.h>

#include <cwchar>

#include "installer/zip_records.h"

static_assert(sizeof(z_crc_t) == sizeof(uint32_t));

CZipCryptKeys::CZipCryptKeys() : m_pCrcTable(reinterpret_cast<const uint32_t*>(get_crc_table()))
{
    Init(nullptr);
}

uint32_t CZipCryptKeys::_Crc(uint32_t crc, unsigned char c) const
{
    return m_pCrcTable[(crc ^ c) & 0xFF] ^ (crc >> 8);
}

void CZipCryptKeys::Init(const wchar_t* pszPassword)
{
    m_adwKeys[0] = 0x12345678;
    m_adwKeys[1] = 0x23456789;
    m_adwKeys[2] = 0x34567890;
    if (pszPassword != nullptr)
        for (const wchar_t* p = pszPassword; *p != 0; ++p)
            Update(static_cast<unsigned char>(static_cast<uint32_t>(*p) & 0xFF));
}

void CZipCryptKeys::Update(unsigned char c)
{
    m_adwKeys[0] = _Crc(m_adwKeys[0], c);
    m_adwKeys[1] = (m_adwKeys[1] + (m_adwKeys[0] & 0xFF)) * 134775813u + 1;
    m_adwKeys[2] = _Crc(m_adwKeys[2], static_cast<unsigned char>(m_adwKeys[1] >> 24));
}

unsigned char CZipCryptKeys::_byStream() const
{
    const uint32_t temp = (m_adwKeys[2] & 0xFFFF) | 2;
    return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
}

unsigned char CZipCryptKeys::DecryptByte(unsigned char c)
{
    const unsigned char plain = c ^ _byStream();
    Update(plain);
    return plain;
}

unsigned char CZipCryptKeys::EncryptByte(unsigned char c)
{
    const unsigned char cipher = c ^ _byStream();
    Update(c);
    return cipher;
}

void CZipCryptKeys::Decrypt(unsigned char* p, uint64_t n)
{
    for (uint64_t i = 0; i < n; ++i)
        p[i] = DecryptByte(p[i]);
}

void CZipCryptKeys::Encrypt(unsigned char* p, uint64_t n)
{
    for (uint64_t i = 0; i < n; ++i)
        p[i] = EncryptByte(p[i]);
}

bool CZipCryptKeys::bCheckHeader(unsigned char* pHeader, unsigned char byCheck)
{
    Decrypt(pHeader, ZIP_CRYPT_HEADER_SIZE);
    return pHeader[ZIP_CRYPT_HEADER_SIZE - 1] == byCheck;
}

unsigned char CZipCryptKeys::s_byCheckByte(uint32_t dwFlags, uint32_t dwDosDate, uint32_t dwCrc)
{
    if (dwFlags & ZIP_FLAG_DESCRIPTOR)
        return static_cast<unsigned char>((dwDosDate >> 8) & 0xFF);
    return static_cast<unsigned char>(dwCrc >> 24);
}
