#pragma once

// Text conversions of the value holders' stores: 8-bit text of a code page
// to wide characters and back, without the system converters for ASCII, code
// page 1252 and UTF-8 (every fetched text goes through here), and the
// writers of a buffer's text forms, which never write past the buffer and
// never split a character.
#include <cstddef>
#include <cstdlib>

// Room for a short text on the stack, a heap block for a longer one.
template <class T, size_t N = 256>
class CNAScratch
{
public:
    CNAScratch() = default;
    CNAScratch(const CNAScratch&) = delete;
    CNAScratch& operator=(const CNAScratch&) = delete;
    ~CNAScratch()
    {
        if (m_pHeap != nullptr)
            std::free(m_pHeap);
    }
    // Room for n elements; null when memory runs out.
    T* pGet(size_t n)
    {
        if (n <= N)
            return m_aLocal;
        if (m_pHeap != nullptr)
            std::free(m_pHeap);
        m_pHeap = n <= static_cast<size_t>(-1) / sizeof(T) ? static_cast<T*>(std::malloc(n * sizeof(T))) : nullptr;
        return m_pHeap;
    }

private:
    T m_aLocal[N];
    T* m_pHeap = nullptr;
};

// The wide characters of n bytes of 8-bit text in a code page (0 is 1252);
// dst holds n characters (a byte never gives more than one). Returns the
// characters written.
size_t NA_nAnsiToWide(const char* psz, size_t n, int nCodePage, wchar_t* pszDst);

// Wide characters into at most nCapacity bytes of a code page, stopping
// before a character that does not fit whole. Characters the code page
// cannot hold become '?'. Returns the bytes written; false in *pbFailed when
// a conversion could not run (no memory). No terminator.
size_t NA_nWideToAnsiCut(const wchar_t* psz, size_t n, int nCodePage, unsigned char* pbyDst, size_t nCapacity,
                         bool* pbFailed);

// Wide characters as UTF-16 units into at most nCapacity units: a character
// above U+FFFF as a surrogate pair, never split (the text is cut before it),
// one beyond U+10FFFF as U+FFFD. Stops at a zero character. Returns the
// units written; no terminator.
size_t NA_nWideToUTF16Cut(const wchar_t* psz, size_t n, unsigned char* pbyDst, size_t nCapacity);

// UTF-8 bytes decoded straight into UTF-16 units: exactly what
// NA_nAnsiToWide (code page 65001) followed by NA_nWideToUTF16Cut gives,
// without the wide temporary. Undecodable bytes become "?" as there, a
// sequence cut by the end of the text gives one "?" and ends it, a zero
// character ends it, a pair is never split. Returns the units written; no
// terminator. Units past those, within the capacity, may have been written
// over (the caller zeroes them). *pbZeroByte (when given) tells whether a
// zero byte ended it.
size_t NA_nUTF8ToUTF16Cut(const char* psz, size_t n, unsigned char* pbyDst, size_t nCapacity,
                          bool* pbZeroByte = nullptr);

// UTF-16 units up to the first zero unit within n units, a surrogate pair
// as one character, a lone surrogate as it is; dst holds n characters.
// Returns the characters written.
size_t NA_nUTF16ToWide(const unsigned char* pbyUnits, size_t nUnits, wchar_t* pszDst);

// Bytes up to the first zero within n.
size_t NA_nBoundedLength(const unsigned char* pby, size_t n);
// 4-byte characters up to the first zero within n bytes.
size_t NA_nBoundedWideLength(const unsigned char* pby, size_t nBytes);
