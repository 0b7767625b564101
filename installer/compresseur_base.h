#pragma once

#include <pthread.h>

#include <cstdint>

// Base of the block compressors. A block starts with its kind byte:
//   0 (copy):           32-bit data length n, then the n bytes as they are;
//   2, 4 (compressed):  32-bit compressed size c, 32-bit original length,
//                       16-bit 0, then the c bytes.
// All numbers little-endian. The derived class supplies the compression and
// decompression steps; the base frames the blocks, does the copy kind itself
// and runs one call at a time per object.
class CCompresseurBase
{
public:
    static constexpr unsigned char byKindCopy = 0;
    static constexpr unsigned char byKindCompressed2 = 2;
    static constexpr unsigned char byKindCompressed4 = 4;
    static constexpr uint32_t dwCopyHeaderSize = 5;
    static constexpr uint32_t dwCompressedHeaderSize = 11;
    static constexpr uint32_t dwUnknown = 0xFFFFFFFF;

    CCompresseurBase();
    CCompresseurBase(const CCompresseurBase&) = delete;
    CCompresseurBase& operator=(const CCompresseurBase&) = delete;
    virtual ~CCompresseurBase();

    // Size of the whole block (header included), read from its header;
    // dwUnknown for an unknown kind or a size beyond 32 bits. The block must
    // hold at least its header.
    virtual uint32_t vdwTailleEntree(const unsigned char* pbyBlock);
    // Length of the block's data once decompressed; dwUnknown for an
    // unknown kind.
    virtual uint32_t dwTailleDecompression(const unsigned char* pbyBlock);
    // Output size to provide for n input bytes (saturates at 0xFFFFFFFF).
    virtual uint32_t dwTailleBufferCompression(uint32_t n);

    // Both run the derived step under the object's lock with the four
    // arguments recorded, and return its count (0: nothing produced).
    uint32_t dwCompression(const unsigned char* pbyIn, uint32_t n, unsigned char* pbyOut, uint32_t dwSize);
    uint32_t dwDecompression(const unsigned char* pbyIn, uint32_t n, unsigned char* pbyOut, uint32_t dwSize);

protected:
    virtual uint32_t vdwCompresse() = 0;
    virtual uint32_t vdwDecompresse() = 0;
    // Writes the header of a block of the given kind for the current input
    // length at the start of the output; 0 (nothing written) for an unknown
    // kind or an output too small for the header.
    virtual int _EcritEntete(unsigned char byKind, uint32_t dwCompressedSize);

    // The copy kind: a header and the input; 0 when the output cannot hold it.
    uint32_t _dwCompresseCopie();
    // The data of a copy block; 0 when the input is not a whole copy block or
    // the output cannot hold its data.
    uint32_t _dwDecompresseCopie();

    const unsigned char* m_pbyEntree = nullptr;
    uint32_t m_dwTailleEntree = 0;
    unsigned char* m_pbySortie = nullptr;
    uint32_t m_dwTailleSortie = 0;

private:
    uint32_t _dwRun(uint32_t (CCompresseurBase::*step)(), const unsigned char* pbyIn, uint32_t n,
                    unsigned char* pbyOut, uint32_t dwSize);

    pthread_mutex_t m_mutex;
};
