#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// The reference-counted block behind every runtime value (the two string
// kinds and the binary buffer). The host allocates it and reads it, so the
// header layout is fixed: four 32-bit words immediately before the data.
// The allocator may keep words of its own before the flags word; nothing
// here ever touches them.
struct STStrMemHeader
{
    uint32_t dwFlags;     // bit 0: end marker; other bits kept and copied as they are
    uint32_t nRefCount;   // holders sharing the block; 1 after allocation
    uint32_t nCapacity;   // bytes of data the block holds (four spare bytes follow)
    uint32_t nLength;     // bytes in use, for every kind
};

static_assert(sizeof(STStrMemHeader) == 16, "the block header is four 32-bit words");
static_assert(offsetof(STStrMemHeader, dwFlags) - sizeof(STStrMemHeader) == static_cast<size_t>(-16),
              "flags lie 16 bytes before the data");
static_assert(offsetof(STStrMemHeader, nRefCount) - sizeof(STStrMemHeader) == static_cast<size_t>(-12),
              "the reference count lies 12 bytes before the data");
static_assert(offsetof(STStrMemHeader, nCapacity) - sizeof(STStrMemHeader) == static_cast<size_t>(-8),
              "the capacity lies 8 bytes before the data");
static_assert(offsetof(STStrMemHeader, nLength) - sizeof(STStrMemHeader) == static_cast<size_t>(-4),
              "the length lies 4 bytes before the data");
static_assert(std::atomic_ref<uint32_t>::required_alignment <= alignof(uint32_t),
              "counts are changed in place with atomic operations");

// No block may hold more bytes than this (checked in 64 bits before the
// allocator is asked, so a wide count can never wrap the 32-bit words).
constexpr int64_t STRMEM_MAX_BYTES = 0x7FFFFEFF;
// Result of every value operation whose block would pass that limit.
constexpr int STRMEM_ERR_TOO_LARGE = 108;
// Result of a conversion between code pages that produced nothing from a
// text that was not empty: the converter refused it (bytes not valid in
// the source code page, when the caller asked for them to be refused).
constexpr int STRMEM_ERR_CONVERSION = 105;
// End-marker bit of the flags word.
constexpr uint32_t STRMEM_FLAG_END_MARKER = 0x1;
// Size of the zero terminator behind the text of both string kinds.
constexpr int STRMEM_TERMINATOR_BYTES = 4;

// One pointer to the data of a block (null = the empty value), with the block
// steps shared by the string kinds and the binary buffer. Everything here is
// in bytes and writes no terminator; the string kinds add their units and
// their terminator, the binary buffer passes its caller's allocation flags.
class CBaseStrMem
{
public:
    // Four zero bytes: what byte accessors return in place of a null pointer.
    static const unsigned char ChaineVide[4];

    // Drops one reference of the block; the holder that moves the count from
    // 1 to 0 hands the block back to the allocator. Null does nothing.
    static void s_ReleaseStrMem(unsigned char* pData);
    static void s_AddRef(unsigned char* pData);

    // Header of a block (pData not null). The count is read with an atomic
    // add of 0, as the host does.
    static STStrMemHeader* s_pstHeader(unsigned char* pData)
    {
        return reinterpret_cast<STStrMemHeader*>(pData - sizeof(STStrMemHeader));
    }
    static const STStrMemHeader* s_pstHeader(const unsigned char* pData)
    {
        return reinterpret_cast<const STStrMemHeader*>(pData - sizeof(STStrMemHeader));
    }
    static uint32_t s_nGetRefCount(const unsigned char* pData);
    static uint32_t s_dwGetFlags(const unsigned char* pData) { return s_pstHeader(pData)->dwFlags; }
    static uint32_t s_nGetCapacity(const unsigned char* pData) { return s_pstHeader(pData)->nCapacity; }
    static uint32_t s_nGetLength(const unsigned char* pData) { return s_pstHeader(pData)->nLength; }

    // The raw block pointer (null when empty).
    unsigned char* pbyGetBlock() const { return m_pbyData; }
    bool bEstVide() const { return m_pbyData == nullptr || s_nGetLength(m_pbyData) == 0; }

protected:
    CBaseStrMem() = default;
    // Copies share the block.
    CBaseStrMem(const CBaseStrMem& other) : m_pbyData(other.m_pbyData) { s_AddRef(m_pbyData); }
    CBaseStrMem(CBaseStrMem&& other) noexcept : m_pbyData(other.m_pbyData) { other.m_pbyData = nullptr; }
    CBaseStrMem& operator=(const CBaseStrMem& other)
    {
        _Share(other.m_pbyData);
        return *this;
    }
    CBaseStrMem& operator=(CBaseStrMem&& other) noexcept;
    ~CBaseStrMem() { s_ReleaseStrMem(m_pbyData); }

    void _Release()
    {
        unsigned char* old = m_pbyData;
        m_pbyData = nullptr;
        s_ReleaseStrMem(old);
    }
    // Takes one more reference of pData (null empties) and drops the old block.
    void _Share(unsigned char* pData);

    uint32_t _nLength() const { return m_pbyData ? s_nGetLength(m_pbyData) : 0; }
    uint32_t _nCapacity() const { return m_pbyData ? s_nGetCapacity(m_pbyData) : 0; }
    uint32_t _dwFlags() const { return m_pbyData ? s_dwGetFlags(m_pbyData) : 0; }

    // Replaces the value with a new block of exactly nBytes bytes holding
    // nCopyBytes bytes of pSrc (when pSrc is given; they may lie in the old
    // block, which is released only afterwards). nBytes 0 empties the value.
    // 108 (value unchanged) for a size outside 0..STRMEM_MAX_BYTES or a copy
    // larger than the block; otherwise the allocator's code, the value then
    // being unchanged.
    int _nNewBlock(int64_t nBytes, const void* pSrc, int64_t nCopyBytes, unsigned flags);

    // Makes the value's own block ready to hold nBytes bytes:
    // - empty value: a new block of nBytes bytes with length 0;
    // - unshared: grown in place to exactly nBytes when larger than the
    //   capacity (a failed growth leaves the value as it was);
    // - shared: a new block of nBytes bytes holding the first
    //   min(length, nBytes) bytes and the old flags word, then one reference of
    //   the old block is dropped; when the new block cannot be had the value is
    //   left empty (its reference dropped) and the code returned. A shared
    //   value prepared for 0 bytes becomes empty.
    // When ppRebase points to a source that lies in the value's text, it is
    // moved along with the block, so a caller can keep reading it afterwards.
    // 108 (nothing changed) for nBytes outside 0..STRMEM_MAX_BYTES.
    int _nPrepareModification(int64_t nBytes, unsigned flags, const void** ppRebase = nullptr);

    // Assignment of nBytes bytes (0 or a null source empties): an unshared
    // block is reused (grown to exactly nBytes when too small) with its
    // end-marker bit cleared; a shared block, or none, is replaced by a new
    // block of exactly nBytes bytes. The source may lie in the value's own
    // block. 108 leaves the value unchanged; a failed growth too; a failed new
    // block leaves it empty.
    int _nAssignBytes(const void* pSrc, int64_t nBytes, unsigned flags);

    // Appends nBytes bytes (the source may lie in the value's own block):
    // prepares the block for length + nBytes, then copies. Nothing for a null
    // source or nBytes below 1; the flags word is the caller's business.
    int _nAppendBytes(const void* pSrc, int64_t nBytes, unsigned flags);

    // Sets the length word of an existing block (no check).
    void _SetLength(uint32_t nBytes) { s_pstHeader(m_pbyData)->nLength = nBytes; }
    void _SetFlags(uint32_t dwFlags) { s_pstHeader(m_pbyData)->dwFlags = dwFlags; }

    unsigned char* m_pbyData = nullptr;
};

static_assert(sizeof(CBaseStrMem) == sizeof(void*), "a runtime value is one pointer");
