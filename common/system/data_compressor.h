#pragma once

#include <cstdint>

struct STRessourceModule;

// Unpacker of the module's resource texts. A packed text is a stream of byte
// pairs, each pair (b1, b2), both 1 to 255, carrying three base-40 digits of
// (b1 - 1) * 255 + (b2 - 1); a single last byte b carries the digit b - 1.
//
//   digit 0-3   shift: the next character digit reads the set of that shift
//   digit 4-7   switch: the active set becomes the set of that digit
//   digit 8-39  character: byte (digit - 8) of the shifted or active set
//
// While the set in use would be set 3 (set 3 active and no shift pending, or
// a shift to set 3 pending while another set is active), digits 38 and 39 are
// escapes instead: 38 takes one raw byte and 39 a count byte and that many
// raw bytes, both read right after the pair; the pair's later digits are
// dropped and a pending shift is used up. The tool that packs the block
// relies on exactly these rules and on the same four sets: it links this
// very code.
//
// One instance per call; the output is bounded by the caller's capacity while
// the position keeps counting, so a short buffer still learns the length.
class CDataCompressor
{
public:
    // Results of nDeCompress.
    static constexpr int nOk = 0;
    static constexpr int nTruncated = 2;
    static constexpr int nCorrupt = 4;        // zero byte in a pair, digit above 39
    static constexpr int nEscapeOverrun = 5;  // raw bytes of an escape missing
    static constexpr int nNoMemory = 6;       // wide decode only: no scratch memory

    static constexpr int nCharsetSize = 32;
    static constexpr int nCharsetCount = 4;
    // Set 3 keeps its last two bytes out of reach of plain digits: in that set
    // digits 38 and 39 are escapes.
    static constexpr int nEscapeCharset = 3;
    static constexpr int nCharsetUsable3 = 30;
    static constexpr int nDigitEscapeByte = 38;
    static constexpr int nDigitEscapeRun = 39;
    static constexpr int nDigitFirstChar = 8;
    static constexpr int nDigitBase = 40;

    CDataCompressor() = default;
    ~CDataCompressor() {}

    // Unpacks `length` packed bytes into `out`, at most capacity - 1 bytes and
    // a terminator. *capacity (bytes) is the room on entry and receives the
    // unpacked length without terminator (-1 on failure). Returns nOk,
    // nTruncated (the text did not fit, or there was no room at all: a null
    // buffer or a capacity of 0 or below writes nothing), nCorrupt or
    // nEscapeOverrun; on failure what was unpacked so far is terminated.
    int nDeCompress(unsigned char* out, int* capacity, const unsigned char* in, int length);

    // Unpacks a looked-up resource into wide text, decoding the unpacked
    // UTF-8 or UTF-16LE bytes through the code-page layer (defined with it,
    // in resource_decode.cpp, not here). *capacity is the room in wide
    // characters, terminator included, and receives the text's length (-1 on
    // failure). Returns nOk; nTruncated when the text does not fit: the
    // buffer then holds its first capacity - 1 characters and a terminator,
    // and a null buffer or a capacity of 0 or below gets nothing written;
    // nCorrupt for bad bytes or an encoding other than UTF-8 and UTF-16LE,
    // nEscapeOverrun, or nNoMemory.
    // s_pszDeCompress returns the whole text in a new malloc block that the
    // caller frees, or null on any failure.
    static int s_nDeCompress(wchar_t* out, int* capacity, STRessourceModule& rec);
    static wchar_t* s_pszDeCompress(STRessourceModule& rec);

    // Packing side, shared with the tool that writes the block.
    static int _nGetCharset(int digit);            // digit above 7 -> -1
    static int _nGetCharsetSwitch(int charset);    // shift digit of a set; above 3 -> 8
    static int _nGetValue(unsigned char byte, int charset);  // character digit or -1

    static const unsigned char* s_pbyCharset(int charset);

private:
    // Stores one output byte while there is room; always counts it.
    void _AddASCIIDigit(unsigned char byte);
    bool _bEscapeState() const;
    int _nHandleDigit(int digit);

    const unsigned char* m_pbyIn = nullptr;
    int64_t m_llInLength = 0;
    unsigned char* m_pbyOut = nullptr;
    int64_t m_llCapacity = 0;
    int64_t m_llPosition = 0;
    int m_nCharset = 0;
    int m_nShift = -1;  // pending shift digit, -1 when none
};
