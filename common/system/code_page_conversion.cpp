#include "common/system/code_page_conversion.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwchar>
#include <iconv.h>

#include "common/system/code_page_engine.h"
#include "common/system/code_page_names.h"
#include "common/system/native_code_pages.h"

namespace {

// Measuring passes convert through a stack scratch and allocate nothing.
constexpr size_t kScratchBytes = 512;

class IconvDescriptor
{
public:
    IconvDescriptor() = default;
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;
    ~IconvDescriptor()
    {
        if (bIsOpen()) iconv_close(m_cd);
    }
    bool bOpen(const char* to, const char* from)
    {
        m_cd = iconv_open(to, from);
        return bIsOpen();
    }
    bool bIsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

constexpr size_t kIconvError = static_cast<size_t>(-1);

// Output of a conversion: the caller's buffer, or a scratch that is counted
// and reused when there is none.
class Output
{
public:
    Output(char* dst, size_t capacity) : m_dst(dst), m_capacity(capacity)
    {
        Reset();
    }
    bool bMeasuring() const { return m_dst == nullptr; }
    char** Ptr() { return &m_out; }
    size_t* Left() { return &m_left; }
    // Counts what the last call wrote into the scratch and empties it.
    void Drain()
    {
        if (bMeasuring()) {
            m_total += static_cast<size_t>(m_out - m_scratch);
            Reset();
        }
    }
    bool bPut(const char* bytes, size_t n)
    {
        if (bMeasuring()) {
            m_total += n;
            return true;
        }
        if (m_left < n) return false;
        std::memcpy(m_out, bytes, n);
        m_out += n;
        m_left -= n;
        return true;
    }
    size_t Total() const { return bMeasuring() ? m_total : m_capacity - m_left; }

private:
    void Reset()
    {
        if (bMeasuring()) {
            m_out = m_scratch;
            m_left = sizeof m_scratch;
        } else {
            m_out = m_dst;
            m_left = m_capacity;
        }
    }

    char* m_dst;
    size_t m_capacity;
    char* m_out = nullptr;
    size_t m_left = 0;
    size_t m_total = 0;
    char m_scratch[kScratchBytes];
};

// Writes the shift sequence that returns a stateful encoding to its initial
// state (nothing for the others).
bool bFlushState(iconv_t cd, Output& out)
{
    const size_t r = iconv(cd, nullptr, nullptr, out.Ptr(), out.Left());
    out.Drain();
    return r != kIconvError;
}

// What to do where iconv stops at input it cannot convert.
enum class eApresInvalide { Echec, Fin, Continue };

// Runs the input through cd into out. A full scratch is drained and the
// conversion goes on. A full destination fails unless the rest of the input
// gives no output at all (dropped bytes and characters): the C library
// checks for room before it looks at the next input, and a destination of the
// measured size must always do. Where the input cannot be converted
// (EILSEQ), onInvalid(input before the call, output) decides.
template <class OnInvalid>
bool bRunIconv(iconv_t cd, char*& in, size_t& inLeft, Output& out, OnInvalid onInvalid)
{
    for (;;) {
        const char* inBefore = in;
        const size_t leftBefore = *out.Left();
        const size_t r = iconv(cd, &in, &inLeft, out.Ptr(), out.Left());
        const bool bProgress = in != inBefore || *out.Left() != leftBefore;
        out.Drain();
        if (r != kIconvError) return true;
        const int e = errno;
        if (e == E2BIG) {
            if (out.bMeasuring()) {
                if (bProgress) continue;
                return false;
            }
            Output rest(nullptr, 0);
            return bRunIconv(cd, in, inLeft, rest, onInvalid) && rest.Total() == 0;
        }
        if (e != EILSEQ) return false;
        const eApresInvalide next = onInvalid(inBefore, out);
        if (next != eApresInvalide::Continue) return next == eApresInvalide::Fin;
    }
}

// Under an //IGNORE name the C library drops invalid input but still
// reports EILSEQ, and only in the call that skipped: a report with all input
// consumed is a success, one that consumed nothing skips the byte it stopped
// at. Without //IGNORE invalid input fails.
bool bConvertToWide(iconv_t cd, bool bIgnore, char*& in, size_t& inLeft, Output& out)
{
    return bRunIconv(cd, in, inLeft, out, [&](const char* inBefore, Output&) {
        if (!bIgnore) return eApresInvalide::Echec;
        if (inLeft == 0) return eApresInvalide::Fin;
        if (in == inBefore) {
            ++in;
            --inLeft;
        }
        return eApresInvalide::Continue;
    });
}

// From wide text: at each character the target cannot hold, the
// replacement goes to the output (after a return of a stateful encoding to
// its initial state: the replacement is plain text) and the character is
// skipped.
bool bConvertFromWide(iconv_t cd, char*& in, size_t& inLeft, const char* def, size_t defLen, bool* pbUsedDefault,
                      Output& out)
{
    return bRunIconv(cd, in, inLeft, out, [&](const char*, Output& to) {
        if (inLeft < sizeof(wchar_t)) return eApresInvalide::Echec;
        *pbUsedDefault = true;
        if (!bFlushState(cd, to) || !to.bPut(def, defLen)) return eApresInvalide::Echec;
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
        return eApresInvalide::Continue;
    });
}

long nToWideByIconv(unsigned int nCodePage, bool bStrict, const char* src, size_t len, wchar_t* dst, size_t capacity)
{
    const char* from = CodePageToIConv(static_cast<int>(nCodePage));
    IconvDescriptor cd;
    bool bIgnore = false;
    for (int i = bStrict ? 4 : 0; i < 8 && !cd.bIsOpen(); ++i) {
        if (cd.bOpen(TabToCode[i], from)) bIgnore = i < 4;
    }
    if (!cd.bIsOpen()) return -1;
    if (dst && capacity > static_cast<size_t>(LONG_MAX) / sizeof(wchar_t)) capacity = LONG_MAX / sizeof(wchar_t);
    Output out(reinterpret_cast<char*>(dst), dst ? capacity * sizeof(wchar_t) : 0);
    char* in = const_cast<char*>(src);
    size_t inLeft = len;
    if (!bConvertToWide(cd.Get(), bIgnore, in, inLeft, out)) return -1;
    return static_cast<long>(out.Total() / sizeof(wchar_t));
}

long nFromWideByIconv(unsigned int nCodePage, const wchar_t* src, size_t n, const char* def, size_t defLen,
                      bool* pbUsedDefault, char* dst, size_t capacity)
{
    const char* to = CodePageToIConv(static_cast<int>(nCodePage));
    IconvDescriptor cd;
    if (!cd.bOpen(to, "UCS4LE") && !cd.bOpen(to, "UTF32LE")) return -1;
    Output out(dst, capacity);
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(src));
    size_t inLeft = n * sizeof(wchar_t);
    if (!bConvertFromWide(cd.Get(), in, inLeft, def, defLen, pbUsedDefault, out)) return -1;
    if (!bFlushState(cd.Get(), out)) return -1;
    return static_cast<long>(out.Total());
}

int nToIntCount(long n)
{
    return (n <= 0 || n > INT_MAX) ? 0 : static_cast<int>(n);
}

}  // namespace

long nMultiByteToWideCharIconv(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, size_t nLen,
                               wchar_t* pszDst, size_t nDstChars)
{
    return nToWideByIconv(nCodePage, (nFlags & MB_ERR_INVALID_CHARS) != 0, pszSrc, nLen, pszDst, nDstChars);
}

long nWideCharToMultiByteIconv(unsigned int nCodePage, const wchar_t* pszSrc, size_t nChars,
                               const char* pszDefault, bool* pbUsedDefault, char* pszDst, size_t nDstBytes)
{
    const char* def = pszDefault ? pszDefault : "?";
    return nFromWideByIconv(nCodePage, pszSrc, nChars, def, std::strlen(def), pbUsedDefault, pszDst, nDstBytes);
}

long nMultiByteToWide(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, size_t nLen,
                      wchar_t* pszDst, size_t nDstChars)
{
    if (!pszSrc) return -1;
    if (nLen == 0) return 0;
    wchar_t* dst = nDstChars ? pszDst : nullptr;
    const bool bStrict = (nFlags & MB_ERR_INVALID_CHARS) != 0;
    const NativeCodePage native = NativeCodePageOf(static_cast<int>(nCodePage));
    if (native != NativeCodePage::kNone) {
        return NativeDecode(native, reinterpret_cast<const unsigned char*>(pszSrc), nLen, bStrict, dst, nDstChars);
    }
    return nToWideByIconv(nCodePage, bStrict, pszSrc, nLen, dst, nDstChars);
}

long nWideToMultiByte(unsigned int nCodePage, const wchar_t* pszSrc, size_t nChars, const char* pszDefault,
                      bool* pbUsedDefault, char* pszDst, size_t nDstBytes)
{
    if (!pszSrc) return -1;
    if (nChars == 0) return 0;
    char* dst = nDstBytes ? pszDst : nullptr;
    const char* def = pszDefault ? pszDefault : "?";
    const size_t defLen = std::strlen(def);
    bool bUsed = false;
    const NativeCodePage native = NativeCodePageOf(static_cast<int>(nCodePage));
    const long r = native != NativeCodePage::kNone
        ? NativeEncode(native, pszSrc, nChars, def, defLen, &bUsed, dst, nDstBytes)
        : nFromWideByIconv(nCodePage, pszSrc, nChars, def, defLen, &bUsed, dst, nDstBytes);
    if (bUsed && pbUsedDefault) *pbUsedDefault = true;
    return r;
}

int MultiByteToWideChar(unsigned int nCodePage, unsigned int nFlags, const char* pszSrc, int nSrcLen,
                        wchar_t* pszDst, int nDstChars)
{
    if (!pszSrc || nSrcLen == 0 || nSrcLen < -1 || nDstChars < 0) return 0;
    const size_t len = nSrcLen == -1 ? std::strlen(pszSrc) + 1 : static_cast<size_t>(nSrcLen);
    const bool bDst = pszDst && nDstChars > 0;
    return nToIntCount(nMultiByteToWide(nCodePage, nFlags, pszSrc, len, bDst ? pszDst : nullptr,
                                        bDst ? static_cast<size_t>(nDstChars) : 0));
}

int WideCharToMultiByte(unsigned int nCodePage, unsigned int /*nFlags*/, const wchar_t* pszSrc, int nSrcChars,
                        char* pszDst, int nDstBytes, const char* pszDefault, int* pbUsedDefault)
{
    if (pbUsedDefault) *pbUsedDefault = 0;
    if (!pszSrc || nSrcChars == 0 || nSrcChars < -1 || nDstBytes < 0) return 0;
    const size_t n = nSrcChars == -1 ? std::wcslen(pszSrc) + 1 : static_cast<size_t>(nSrcChars);
    const bool bDst = pszDst && nDstBytes > 0;
    bool bUsed = false;
    const long r = nWideToMultiByte(nCodePage, pszSrc, n, pszDefault, &bUsed, bDst ? pszDst : nullptr,
                                    bDst ? static_cast<size_t>(nDstBytes) : 0);
    if (pbUsedDefault && bUsed) *pbUsedDefault = 1;
    return nToIntCount(r);
}
unsigned long MultiByteToMultiByte(unsigned int nFromCodePage, const char* pszSrc, unsigned long nSrcLen,
                                   unsigned int nToCodePage, char* pszDst, unsigned long nDstBytes)
{
    if (!pszSrc || nSrcLen == 0) return 0;
    const size_t len = nSrcLen == static_cast<unsigned long>(-1) ? std::strlen(pszSrc) + 1 : nSrcLen;
    IconvDescriptor cd;
    if (!cd.bOpen(CodePageToIConv(static_cast<int>(nToCodePage)), CodePageToIConv(static_cast<int>(nFromCodePage)))) {
        return 0;
    }
    Output out((pszDst && nDstBytes) ? pszDst : nullptr, (pszDst && nDstBytes) ? nDstBytes : 0);
    char* in = const_cast<char*>(pszSrc);
    size_t inLeft = len;
    if (!bConvertToWide(cd.Get(), false, in, inLeft, out) || !bFlushState(cd.Get(), out)) return 0;
    return out.Total();
}

int nGetUTF8Len(const wchar_t* pszText)
{
    return WideCharToMultiByte(CP_UTF8, 0, pszText, -1, nullptr, 0, nullptr, nullptr);
}
