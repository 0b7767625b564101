#pragma once

#include <cstdint>

#include "common/system/x_stream.h"

// A stream over a block of memory: a block the caller lends it (bAssociate,
// then opened with creation 0; never grown or freed here), or a block of its
// own that writes grow (opened with creation O_CREAT | O_TRUNC; freed by the
// destructor). Sizes and positions stay within 32 bits; every position is
// computed in 64 bits and a target before the start is refused.
class CMemoryStream : public IXStream
{
public:
    enum eSTATE : int
    {
        MS_FREE = 0,
        MS_ASSOCIATED = 1,  // a lent block is attached
        MS_OPEN_OWN = 2,    // open on its own memory
        MS_OPEN_LENT = 3,   // open on the lent block
    };
    enum eMODE : uint8_t
    {
        MSM_READ = 0x01,
        MSM_WRITE = 0x02,
        MSM_LENT = 0x04,
        MSM_OWNS = 0x08,
        MSM_AUTOEXPAND = 0x10,  // a seek past the end grows the block
    };

    CMemoryStream();
    ~CMemoryStream() override;

    // Access 0 read, 1 write, 2 both. Creation 576 opens on new empty memory
    // of its own (*pbCreated 1); creation 0 opens on the lent block (state 1
    // required; *pbCreated 0); other values fail. Share and flags are not
    // used. The name is kept.
    bool bOpen(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
               int* pbCreated) override;
    // Back to state 0; the memory is kept.
    void Close() override;
    using IXStream::bRead;
    using IXStream::bWrite;
    // Past the end: with a count pointer as much as there is (a lent block)
    // or the block grown by the missing bytes (own memory); without one, a
    // lent block fails the whole call.
    bool bWrite(const void* pBuffer, unsigned nSize, unsigned* pnWritten) override;
    bool bRead(void* pBuffer, unsigned nSize, unsigned* pnRead) override;
    // Origin 0 the start, 1 the position, 2 the end (an offset of 0 or below
    // is added to the size, a positive one counts back from the end); any
    // other origin goes to the start. Before the start fails; past the end
    // fails unless auto-expansion grows the own block to it.
    bool bSeek(int64_t oOffset, eSEEK eOrigin) override;
    int64_t oGetSize() override { return m_dwSize; }
    int64_t oGetSizeFast() override { return m_dwSize; }
    const wchar_t* pszGetName() override { return m_pszName != nullptr ? m_pszName : L""; }
    int64_t oGetOffset() override { return m_pbyBlock != nullptr ? m_pbyPosition - m_pbyBlock : 0; }
    bool bIsOpen() override { return m_eState == MS_OPEN_OWN || m_eState == MS_OPEN_LENT; }
    // 2 read-write, 0 read, 1 write, -1 none.
    int veGetAccess() override;

    // Own slots.
    // Only in state 0: frees owned memory and attaches the caller's block.
    virtual bool bAssociate(unsigned char* pbyBlock, unsigned nSize);
    virtual unsigned char* pGetAddress() { return m_pbyBlock; }
    virtual void __DeleteMemory();

    // Only for a stream open on its own memory.
    bool bSetAutoExpandMode(int bOn);
    eSTATE eGetState() const { return m_eState; }

private:
    // Own block resized to n bytes (0 frees it); the content kept.
    bool _bResize(uint64_t n);

    eSTATE m_eState = MS_FREE;
    uint8_t m_byMode = 0;
    unsigned char* m_pbyBlock = nullptr;
    unsigned char* m_pbyPosition = nullptr;
    uint32_t m_dwSize = 0;
    wchar_t* m_pszName = nullptr;
};
