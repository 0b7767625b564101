#pragma once

#include <cstdint>

class CXError;

// A message digest: bytes go in, a fixed-size digest comes out. The first six
// slots are the standard version slots; the slot order is fixed.
class IMessageDigest
{
public:
    virtual int nGetVersion() = 0;
    virtual int nGetCompatSince() = 0;
    virtual int nGetDllNum() = 0;
    virtual void StdVersion_EmptySlot_1() {}
    virtual void StdVersion_EmptySlot_2() {}
    virtual void StdVersion_EmptySlot_3() {}
    virtual ~IMessageDigest() = default;
    // Drops a reference and destroys the object at 0; the new count.
    virtual uint32_t Release() = 0;
    virtual uint32_t AddRef() = 0;
    virtual void* pQueryProxy() = 0;
    virtual void AddData(const unsigned char* pbyData, unsigned nLength) = 0;
    // Writes the digest (dwGetDigestSize bytes) and starts a new message.
    virtual void FinalDigest(unsigned char* pbyDigest) = 0;
    virtual void Reset() = 0;
    virtual uint32_t dwGetBlockSize() = 0;
    virtual uint32_t dwGetDigestSize() = 0;
    virtual int bHasKey() = 0;
    virtual void SetKey(const unsigned char* pbyKey, unsigned nLength) = 0;
    virtual void MessageDigest_EmptySlot_1() {}
    virtual void MessageDigest_EmptySlot_2() {}

    // The digest of a whole file (read in 1024-byte pieces until a read
    // gives nothing) into pbyDigest. A file that cannot be opened or read
    // gives false, with the file's error copied into pclError (when given)
    // at level 2.
    bool bDigestFile(const wchar_t* pszPath, unsigned char* pbyDigest, CXError* pclError);
};

static_assert(sizeof(IMessageDigest) == sizeof(void*));
