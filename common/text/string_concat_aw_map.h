#pragma once

#include <cstdint>

// Wide-character positions over an 8-bit text in a code page: the map that
// lets CTStringConcatAW take and give positions in wide characters while its
// 8-bit side is the master. A character of the 8-bit text is what the code
// page's decoder makes of it; bytes the decoder drops (invalid input) belong
// to no character and stay with the gap in front of the next one.
//
// Three ways of walking the text:
// - one byte per character: code page 1252 (and every number read as it),
//   or any code page whose decoding gave exactly one character per byte;
// - UTF-8: the decoder's own rules, byte by byte, without converting;
// - any other code page: through the current wide text, the bytes of each
//   character being those of its encoding.
class CCarteMaitreA
{
public:
    // a / na: the 8-bit text; w / nw: its wide form when current (needed
    // only for code pages other than 1252 and UTF-8; nw 0 when stale).
    CCarteMaitreA(const char* a, long na, const wchar_t* w, long nw, unsigned nCodePage);

    // Characters in the text.
    long nNbCar() const { return m_nNbCar; }
    // Byte offset of position nCar: the start of the gap in front of
    // character nCar (0 for 0), the length of the text from nNbCar() on.
    long nOctet(long nCar) const;
    // First byte of character nCar, -1 when there is none.
    long nDebutCar(long nCar) const;
    // Position of a byte offset: the characters that start before it.
    long nCar(long nOctet) const;

    // Each character in order: f(gap start, first byte, end, code point).
    template <class F>
    void Parcours(F f) const;

    // Whether every byte of a text of this code page is one character
    // without decoding it (code page 1252 and the numbers read as it).
    static bool s_bUnOctetParCar(unsigned nCodePage);
    // One UTF-8 step at i, following the decoder: the bytes it covers, and
    // the code point it gives or -1 when those bytes are dropped.
    static long s_nPasUTF8(const unsigned char* s, long i, long n, int32_t* pCar);

private:
    enum class eMode { kOctet, kUTF8, kGenerique };
    long _nOctetsCar(long k) const;
    uint32_t _dwCar(long k) const;

    const char* m_a;
    long m_na;
    const wchar_t* m_w;
    long m_nw;
    unsigned m_nCodePage;
    eMode m_eMode;
    long m_nNbCar;
};

template <class F>
void CCarteMaitreA::Parcours(F f) const
{
    const auto* s = reinterpret_cast<const unsigned char*>(m_a);
    if (m_eMode == eMode::kUTF8) {
        long gap = 0;
        for (long i = 0; i < m_na;) {
            int32_t c = -1;
            const long pas = s_nPasUTF8(s, i, m_na, &c);
            if (c >= 0) {
                f(gap, i, i + pas, static_cast<uint32_t>(c));
                gap = i + pas;
            }
            i += pas;
        }
        return;
    }
    long at = 0;
    for (long k = 0; k < m_nNbCar; ++k) {
        const long n = _nOctetsCar(k);
        // Encoded lengths are those of the wide text; never past the bytes.
        const long fin = n > 0 && at + n <= m_na ? at + n : m_na;
        f(at, at, fin, _dwCar(k));
        at = fin;
    }
}
