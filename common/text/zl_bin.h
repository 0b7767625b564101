#pragma once

#include <cstdint>

#include "common/text/str_mem_block.h"

struct STTabAny;

// The runtime's binary value: raw bytes in a reference-counted,
// copy-on-write block of the string allocator (see CBaseStrMem), with its
// length in bytes and no terminator of its own. Copies share the block;
// every change first makes the value's own block.
//
// Unlike the string kinds, the operations that take an allocation flags
// argument pass it on to the allocator (bit 0: exact size). The end-marker
// flag says that the last byte is 0xFF standing for the highest character.
//
// Results are 0 on success, 108 when a block would pass 0x7FFFFEFF bytes
// (checked in 64 bits before the allocator is asked), otherwise the
// allocator's code (100 when none is published).
class CZLBIN : public CBaseStrMem
{
public:
    CZLBIN() = default;
    CZLBIN(const CZLBIN& other) : CBaseStrMem(other) {}  // shares the block
    CZLBIN(CZLBIN&&) noexcept = default;
    // A new block holding the n bytes; with a null source and n above 0, a
    // block of n bytes whose content is not set. Empty on failure.
    CZLBIN(const unsigned char* p, int n);
    CZLBIN& operator=(const CZLBIN& other)
    {
        Assign(&other, -1);
        return *this;
    }
    CZLBIN& operator=(CZLBIN&&) noexcept = default;
    ~CZLBIN() = default;  // drops one reference

    // --- Sharing and assignment --------------------------------------------
    // Shares the source's block, then keeps its first n bytes (Tronque; -1
    // keeps all; a cut of the shared block makes the value's own copy).
    void Assign(const CZLBIN* pSrc, int n);
    // The same for a value under construction (it holds no block yet).
    void _Assign(const CZLBIN* pSrc, int n) { Assign(pSrc, n); }
    // Takes over the source's block without a new reference; the source is
    // left empty, so that the reference is dropped only once.
    void Take(CZLBIN* pSrc);
    // A new block holding the n bytes, for a value under construction;
    // empty for a null source or n 0; 108 for n negative or above the limit.
    int nAssignInit(const unsigned char* p, int n);
    // One byte per element of the array (CAny::nGetBYTE): every element is
    // read before the block is made; 115 (nothing made) on the first that
    // gives no byte, 108 for more elements than a block holds; an empty
    // array gives the empty value.
    int nAssignInit(const STTabAny& tab);
    // n 0 (or a null source) empties; an unshared block is reused (grown to
    // exactly n bytes when too small, end marker cleared), otherwise a new
    // block of exactly n bytes is made. The bytes may lie in the value.
    int nAssign(const unsigned char* p, int n, unsigned flags = 0);
    void Vide() { _Release(); }

    // --- Appending ----------------------------------------------------------
    // Appends n bytes (which may lie in the value); the end marker is
    // cleared. Nothing for n 0; 108 for n negative or a total over the limit.
    int nConcat(const unsigned char* p, int n);
    // Appends another value (which may be this one): an empty target shares
    // its block; the target takes the source's end marker.
    int nConcat(const CZLBIN& other);
    // This value (under construction) becomes A followed by B. With A empty
    // it shares B's block. With flags bit 0 (A is a temporary that may be
    // consumed) it takes A's block, shared when A's count is 2 or more,
    // otherwise taken over (A is left empty), and appends B. Otherwise, with
    // B empty it shares A's block, else a new block holds A then B. The
    // result carries B's end marker when B was appended.
    int nConcatInit(CZLBIN* pA, const CZLBIN* pB, unsigned flags);
    // Appends pOther with pSep between, unless the value is empty and
    // bNothingWhenEmpty is set, the value already ends with pSep, pOther
    // already begins with it, or pOther is empty.
    int nConcatSeparateur(const CZLBIN* pSep, const CZLBIN* pOther, int bNothingWhenEmpty);
    // n copies of the pattern (empty for n 0 or below, or an empty pattern);
    // 108, value unchanged, when the product passes the limit.
    int nRepete(const CZLBIN& pattern, int n);

    // --- Searching and comparing ---------------------------------------------
    // Index of the first occurrence of the n bytes at or after start; -1 when
    // start < 0, n <= 0, the value is empty or start + n exceeds the length.
    int nPos(const unsigned char* p, int n, int start) const;
    // An empty b gives true; a shorter a gives false.
    static bool bCommencePar(const CZLBIN& a, const CZLBIN& b);
    static bool bTerminePar(const CZLBIN& a, const CZLBIN& b);
    static bool bContient(const CZLBIN& a, const CZLBIN& b);
    // Unsigned bytes over the common length, then the shorter is smaller:
    // -1, 0 or 1. With n, the first n bytes (as without n when n exceeds the
    // shorter length or is negative).
    static int nCompare(const CZLBIN& a, const CZLBIN& b);
    static int nCompare(const CZLBIN& a, const CZLBIN& b, int n);

    // --- Parts ----------------------------------------------------------------
    // len bytes from start (len -1 or more than what is left: to the end);
    // empty for start < 0, start at or beyond the length, len 0 or below -1.
    CZLBIN clMilieu(int start, int len) const;
    int nMilieu(CZLBIN* pOut, int start, int len) const;
    // Replaces min(len, length - pos) bytes at pos (len below 0 counts as 0)
    // by the other value's bytes. Nothing when the value is empty, pos is
    // outside it, or the block cannot be prepared.
    void Remplace(int pos, int len, const CZLBIN& with);
    // Keeps the first n bytes and clears the end marker (n equal to the
    // length included); nothing when n < 0 or n exceeds the length. A shared
    // block is left to its other holders: the value gets a new block of its
    // first n bytes, flags 0.
    void Tronque(int n);

    // --- Size -----------------------------------------------------------------
    // Length n bytes after making the block ready for n (a new block when
    // empty); the bytes are not cleared.
    int nSetSize(int n, unsigned flags = 0);
    // Capacity at least n bytes, length unchanged (a new block when empty).
    int nSetMemorySize(int n, unsigned flags = 0);
    // Sets the length word of an existing block (at most its capacity).
    void SetUtilSize(int n);
    // Copies n bytes to offset at and sets the length to at + n; nothing
    // when that passes the block's capacity.
    void __FillDynBin(const unsigned char* p, int n, int at);

    // --- Access ---------------------------------------------------------------
    // The bytes, or four zero bytes when empty.
    const unsigned char* pbyGet() const { return m_pbyData ? m_pbyData : ChaineVide; }
    // The block's bytes for writing (null when empty).
    unsigned char* pbyGetBuffer() { return m_pbyData; }
    int nGetTailleUtile() const { return static_cast<int>(_nLength()); }
    int nGetCapacite() const { return static_cast<int>(_nCapacity()); }
    uint32_t dwGetFlags() const { return _dwFlags(); }
    bool bEndMarker() const { return (_dwFlags() & STRMEM_FLAG_END_MARKER) != 0; }
    // Sets the whole flags word of the value's own block.
    void _SetFlagsWord(uint32_t dwFlags)
    {
        if (m_pbyData)
            _SetFlags(dwFlags);
    }

    // --- Conversions of text into bytes ----------------------------------------
    // Each first empties the value; a null source or a length below 1
    // leaves it empty with 0; 105 when the converter gives nothing.
    // Wide text to bytes in a code page: a block of the converted length +
    // nExtra bytes; *pbUsedDefault tells whether the default character was
    // used.
    int nAffecteToANSI(const wchar_t* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault,
                       int* pbUsedDefault, int nExtra);
    // Wide text held in a binary value; a flagged last character 0xFFFFFFFF
    // becomes the byte 0xFF with the flag set (not for UTF-8).
    int nAffecteToANSI(const CZLBIN* pWide, int nCodePage, int nFlags, const char* pszDefault, int* pbUsedDefault);
    // 8-bit text in a code page to wide text held in the binary value
    // (nLen -1: up to the terminator); length = 4 x characters.
    int nAffecteToUNICODE(const char* psz, int nLen, int nCodePage, int nFlags);

private:
    void _SetEndMarker(bool bOn)
    {
        if (m_pbyData)
            _SetFlags(bOn ? (_dwFlags() | STRMEM_FLAG_END_MARKER) : (_dwFlags() & ~STRMEM_FLAG_END_MARKER));
    }
};

static_assert(sizeof(CZLBIN) == sizeof(void*), "a binary value is one pointer, as the host holds it");
