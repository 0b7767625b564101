#pragma once

#include <cstdint>

#include "installer/message_digest_base.h"

// The MD5 digest (RFC 1321): 64-byte blocks, 16-byte digest.
class CMD5 : public CMessageDigestBase
{
public:
    static constexpr uint32_t dwDigestSize = 16;

    CMD5() { Reset(); }
    ~CMD5() override = default;

    void AddData(const unsigned char* pbyData, unsigned nLength) override;
    void FinalDigest(unsigned char* pbyDigest) override;
    void Reset() override;
    uint32_t dwGetDigestSize() override { return dwDigestSize; }

private:
    void _Transform(const unsigned char* pbyBlock);

    int m_bDataAdded = 0;
    uint32_t m_adwState[4] = {};
    uint32_t m_adwBitCount[2] = {};  // message length in bits: low, high
    unsigned char m_abyBuffer[64] = {};
};
