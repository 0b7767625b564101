#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/text/str_mem_block.h"

// The module's empty texts. Both are four zero bytes long, so that a reader
// expecting the 32-bit terminator of a runtime string finds it.
extern const char gszVideA[4];
extern const wchar_t gszVideW[1];

template <class T>
constexpr const T* XYStringEmptyText()
{
    if constexpr (std::is_same_v<T, char>)
        return gszVideA;
    else
        return gszVideW;
}

// The runtime's string values: CXYString<char> (8-bit text) and
// CXYString<wchar_t> (wide text, four bytes a character). One pointer to the
// text of a reference-counted block (see CBaseStrMem); the length and
// capacity words count bytes, and a 32-bit zero follows the text for both
// kinds. Copies share the block; every change first makes the value's own
// block (copy-on-write). Blocks are exactly the size asked, without reserve.
//
// Results are 0 on success, 108 when a block would pass 0x7FFFFEFF bytes
// (checked before the allocator is asked), otherwise the allocator's code
// (100 when no allocator is published).
template <class T>
class CXYString : public CBaseStrMem
{
    static_assert(std::is_same_v<T, char> || std::is_same_v<T, wchar_t>, "8-bit or wide text only");

public:
    // Points to the empty text of this kind; read accessors return it in
    // place of a null pointer.
    static constexpr const T* ChaineVide = XYStringEmptyText<T>();
    static constexpr int nUnitSize = sizeof(T);

    CXYString() = default;
    // Assigns the text (see Set); on failure the value is empty.
    explicit CXYString(const T* psz) { Set(psz); }
    CXYString(const CXYString&) = default;             // shares the block
    CXYString(CXYString&&) noexcept = default;
    CXYString& operator=(const CXYString&) = default;  // shares the block
    CXYString& operator=(CXYString&&) noexcept = default;
    ~CXYString() = default;                            // drops one reference

    // Drops this value's reference of its block; the value becomes empty.
    void ReleaseDynStr() { _Release(); }
    void Vide() { _Release(); }

    // Replaces the value with a new block of nUnits units holding the first
    // nCopy units of pSrc (when given), terminated. nUnits 0: no block and 0;
    // below 0 or too large: 108. A block the value held is released after the
    // new one is made. The strings pass flags 0.
    int __nNew(int nUnits, const T* pSrc, int nCopy, unsigned flags);

    // Makes the value's own, unshared block ready to hold nUnits units (an
    // empty value gets a new block of that capacity). The text and length are
    // kept, except that a shared value prepared for fewer units than its
    // length keeps only that many. Negative or too large: 108. When a shared
    // block cannot be copied the value is left empty and the code returned.
    int __nPrepareModification(int nUnits);

    // Owns an unshared block afterwards (nothing for an empty value).
    int nUnshare();
    // Room for nUnits units; the text is kept, cut (and re-terminated, with
    // the end marker cleared) when longer. An empty value gets a new block of
    // nUnits units with length 0; nUnits 0 on a shared value empties it.
    int nSetLength(int nUnits);

    // Assignment of text: nLen -1 measures up to the terminator; a null or
    // empty text or a length below 1 empties the value (0). An unshared block
    // is reused (grown to exactly the length when too small), otherwise a new
    // block of exactly the length is made. 108 leaves the value unchanged; a
    // failed growth too; a failed new block leaves it empty.
    int nAffecte(const T* psz, int nLen = -1);
    int nAffecteConversion(const T* psz, int nLen) { return nAffecte(psz, nLen); }
    // As nAffecte up to the terminator; any failure leaves the value empty.
    void Set(const T* psz);
    CXYString& operator=(const T* psz)
    {
        Set(psz);
        return *this;
    }

    // Appends n units of psz (nothing for n below 1 or a null text): an
    // empty value gets a new block of exactly n units; otherwise the block is
    // made ready for length + n (grown to exactly that when unshared, copied
    // when shared), the end marker is cleared and the text appended. The text
    // may lie in the value's own block.
    int nConcat(const T* psz, int n);
    int nConcat(const T* psz);
    void Add(const T* psz) { (void)nConcat(psz); }
    void Add(T ch) { (void)nConcat(&ch, 1); }
    // Appends another value: an empty source changes nothing; an empty
    // target shares the source's block; otherwise the target is made ready
    // for both lengths, takes the source's end marker in its own block, and
    // the source's text is appended.
    int nConcat(const CXYString& src);

    // Appends nCount wide texts given as further arguments (null ones count
    // as empty) with one length computation and at most one new block; an
    // empty value assigns them instead (__nAffecteMultipleArgList). The
    // texts may lie in the value's own block. Wide strings only; defined
    // with the installer's members of the library.
    int __nConcatMultiple(int nCount, ...);
    int __nAffecteMultipleArgList(int nCount, va_list* pArgs);
    // Sum of the lengths of the nCount texts, each noted in pnLengths (which
    // holds nCount values); -1 when the sum passes the block limit.
    static int64_t __nGetLongueurMultiple(int nCount, va_list* pArgs, int64_t* pnLengths);
    // Copies the texts after unit nStart of the value's own block (prepared
    // for nStart + nTotal units), then sets the length and terminator;
    // releases the block when the total is 0.
    int __nConcatMultipleArgList(int nCount, va_list* pArgs, int nStart, const int64_t* pnLengths, int64_t nTotal);

    // Read access.
    const T* pszGet() const { return m_pbyData ? reinterpret_cast<const T*>(m_pbyData) : ChaineVide; }
    // The text buffer for writing after __nNew / nSetLength (null when empty).
    T* ptGetBuffer() { return reinterpret_cast<T*>(m_pbyData); }
    int nGetLongueur() const { return static_cast<int>(_nLength() / sizeof(T)); }
    int nGetTailleUtile() const { return static_cast<int>(_nLength()); }
    int nGetCapacite() const { return static_cast<int>(_nCapacity() / sizeof(T)); }
    uint32_t dwGetFlags() const { return _dwFlags(); }
    bool bEndMarker() const { return (_dwFlags() & STRMEM_FLAG_END_MARKER) != 0; }

    // Copies n units to unit offset at, sets the length to at + n units and
    // writes the terminator; nothing when that passes the block's capacity.
    void __FillDynStr(const T* p, int n, int at);

    // For the conversions that fill the buffer themselves: sets the length
    // (at most the capacity) and writes the terminator; 108 otherwise. A
    // value without a block accepts only 0.
    int _nSetUtilLength(int nUnits);
    // Sets the whole flags word of the value's block (which must be its own).
    void _SetFlagsWord(uint32_t dwFlags)
    {
        if (m_pbyData)
            _SetFlags(dwFlags);
    }

    // --- Conversions from other encodings -----------------------------------
    // Each first empties the value; a null source or a length below 1 (after
    // -1 is measured up to the terminator) leaves it empty with 0. 105 when
    // the converter gives nothing, except for __nConversion, which then keeps
    // a block of length 0 and returns 0. Sizes are checked in 64 bits: 108
    // before any allocation over the limit.

    // 8-bit text in a code page to wide text, with room for nExtra more
    // characters. Code page 1252 with flags 0 uses the module's own table
    // (every byte converts, 0x81 to U+0081); anything else, code page 0
    // included, goes through MultiByteToWideChar.
    int __nConversion(const char* psz, int nLen, int nExtra, int nCodePage, int nFlags, const wchar_t* pszDefault)
        requires std::is_same_v<T, wchar_t>;
    int nAffecteUTF8(const char* psz, int nLen, int nExtra = 0, int nFlags = 0) requires std::is_same_v<T, wchar_t>;
    // UTF-16 or UTF-32 units, each widened to one character (surrogates are
    // not paired).
    int nAffecteUTF16(const unsigned short* p, int nLen) requires std::is_same_v<T, wchar_t>;
    int nAffecteUTF32(const wchar_t* p, int nLen) requires std::is_same_v<T, wchar_t>;
    // Not available for wide text: 0, nothing changed. A template, so that
    // its symbol never equals that of the 8-bit text's forms below, which
    // have the same parameters: the linker would keep either body for both.
    template <class C>
    int nAffecteToUTF8(const C*, int, int) requires std::is_same_v<T, wchar_t>
    {
        return 0;
    }
    // A new malloc'd 8-bit copy in the code page (null for an empty value),
    // for the caller to free; a flagged value ending with 0xFFFFFFFF ends with
    // the byte 0xFF (except in UTF-8). False when the conversion fails.
    bool bCreateY(char*& psz, int nCodePage) const requires std::is_same_v<T, wchar_t>;

    // Wide text to 8-bit text in a code page, with room for nExtra more
    // bytes; pszDefault replaces what the code page cannot hold.
    int __nConversion(const wchar_t* psz, int nLen, int nExtra, int nCodePage, int nFlags, const char* pszDefault,
                      int* pbUsedDefault = nullptr) requires std::is_same_v<T, char>;
    int nAffecteToUTF8(const wchar_t* psz, int nLen, int nExtra = 0) requires std::is_same_v<T, char>;
    int nAffecteUTF32(const wchar_t* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault)
        requires std::is_same_v<T, char>;
    int nAffecteUTF16(const unsigned short* p, int nLen, int nCodePage, int nFlags, const char* pszDefault)
        requires std::is_same_v<T, char>;
    // UTF-8 to a code page (65001: a plain copy).
    int nAffecteUTF8(const char* psz, int nLen, int nCodePage, int nFlags, const char* pszDefault,
                     int* pbUsedDefault) requires std::is_same_v<T, char>;
    // A code page to UTF-8 (65001: a plain copy).
    int nAffecteToUTF8(const char* psz, int nLen, int nCodePage) requires std::is_same_v<T, char>;
    // A new malloc'd wide copy (null for an empty value), for the caller to
    // free; a flagged value whose last byte is 0xFF ends with 0xFFFFFFFF
    // (except in UTF-8). False only when the conversion fails.
    bool bCreateY(wchar_t*& psz, int nCodePage) const requires std::is_same_v<T, char>;

private:
    static int64_t s_nMeasure(const T* psz);
    void _Terminate()
    {
        if (m_pbyData)
            std::memset(m_pbyData + _nLength(), 0, STRMEM_TERMINATOR_BYTES);
    }
};

static_assert(sizeof(CXYString<char>) == sizeof(void*) && sizeof(CXYString<wchar_t>) == sizeof(void*),
              "a runtime string is one pointer, as the host holds it");

extern template class CXYString<char>;
extern template class CXYString<wchar_t>;
