#pragma once

// A heap block of exactly a given size, used as a scratch buffer. The two
// bases only carry the block; no operation of theirs is used.
class CSimpleConstBufferBase
{
public:
    virtual ~CSimpleConstBufferBase() = default;
    const void* pGetData() const { return m_pData; }
    unsigned long nGetSize() const { return m_nSize; }

protected:
    void* m_pData = nullptr;
    unsigned long m_nSize = 0;
};

class CSimpleBufferBase : public CSimpleConstBufferBase
{
public:
    ~CSimpleBufferBase() override = default;
    virtual int SetSize(unsigned long n) = 0;
    void* pGetData() { return m_pData; }
};

// Virtual slots: the two destructors, then SetSize.
class CSimpleBuffer : public CSimpleBufferBase
{
public:
    CSimpleBuffer() = default;
    explicit CSimpleBuffer(unsigned long n);
    CSimpleBuffer(void const* pData, unsigned long n);
    explicit CSimpleBuffer(CSimpleBuffer const* pAutre);
    CSimpleBuffer(const CSimpleBuffer&) = delete;
    CSimpleBuffer& operator=(const CSimpleBuffer&) = delete;
    ~CSimpleBuffer() override;

    // Exactly n bytes (none for 0); the contents are kept only when the size
    // does not change. When memory is short the buffer is left empty (size 0)
    // and 0 is answered.
    int SetSize(unsigned long n) override;
    // SetSize(n), then a copy of n bytes; 0 (and an empty buffer) when memory
    // is short.
    int CopyBuffer(void const* pData, unsigned long n);
};

static_assert(sizeof(CSimpleBuffer) == 24);
