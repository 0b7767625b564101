#pragma once

#include <cstdint>

#include "installer/message_digest.h"

// The common part of the digests: version answers, a plain reference count
// (0 after construction) and the key slots of an unkeyed digest.
class CMessageDigestBase : public IMessageDigest
{
public:
    static constexpr int nVersion = 1;
    static constexpr int nCompatSince = 1;
    static constexpr int nDllNum = 32;

    CMessageDigestBase() = default;
    CMessageDigestBase(const CMessageDigestBase&) = delete;
    CMessageDigestBase& operator=(const CMessageDigestBase&) = delete;
    ~CMessageDigestBase() override = default;

    int nGetVersion() override { return nVersion; }
    int nGetCompatSince() override { return nCompatSince; }
    int nGetDllNum() override { return nDllNum; }
    uint32_t Release() override;
    uint32_t AddRef() override;
    void* pQueryProxy() override { return nullptr; }
    uint32_t dwGetBlockSize() override { return 64; }
    int bHasKey() override { return 0; }
    void SetKey(const unsigned char*, unsigned) override {}

private:
    uint32_t m_dwRefCount = 0;
};
