#include "common/system/data_compressor.h"

#include <climits>

namespace {

using Charset = unsigned char[CDataCompressor::nCharsetSize];

// The four character sets, each sorted (the packing side searches them by
// halves). They favour French text in UTF-8: set 0 lower case, blank, the
// common punctuation and the bytes of "é"; set 1 upper case and the marks of
// "<%s>"; set 2 digits, line ends and the trailing bytes of the other French
// accented letters; set 3 the remaining ASCII signs and lead bytes. Bytes of
// no set travel as escapes. The last two bytes of set 3 are unreachable.
constexpr Charset kCharsets[CDataCompressor::nCharsetCount] = {
    {0x20, 0x27, 0x2C, 0x2E, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C,
     0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0xA9, 0xC3},
    {0x25, 0x28, 0x29, 0x3A, 0x3C, 0x3E, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A,
     0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A},
    {0x0A, 0x0D, 0x21, 0x22, 0x26, 0x2A, 0x2B, 0x2D, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36,
     0x37, 0x38, 0x39, 0x3B, 0x3D, 0x3F, 0x5F, 0xA0, 0xA2, 0xA7, 0xA8, 0xAA, 0xAE, 0xB4, 0xB9, 0xBB},
    {0x09, 0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x87, 0x88,
     0x89, 0x8A, 0x92, 0x93, 0x94, 0x99, 0xA4, 0xAB, 0xAF, 0xB6, 0xBC, 0xC2, 0xC5, 0xE2, 0xFE, 0xFF},
};

// Digits 0-3 shift to, and digits 4-7 switch to, the set of the same rank.
constexpr int kDigitCharset[8] = {0, 1, 2, 3, 0, 1, 2, 3};
constexpr int kCharsetShift[CDataCompressor::nCharsetCount] = {0, 1, 2, 3};

constexpr bool bSorted()
{
    for (const Charset& set : kCharsets)
        for (int i = 1; i < CDataCompressor::nCharsetSize; ++i)
            if (set[i - 1] >= set[i])
                return false;
    return true;
}
static_assert(bSorted(), "the sets are searched by halves");

}  // namespace

int CDataCompressor::_nGetCharset(int digit)
{
    if (digit < 0 || digit > 7)
        return -1;
    return kDigitCharset[digit];
}

int CDataCompressor::_nGetCharsetSwitch(int charset)
{
    if (charset < 0 || charset >= nCharsetCount)
        return 8;
    return kCharsetShift[charset];
}

int CDataCompressor::_nGetValue(unsigned char byte, int charset)
{
    if (charset < 0 || charset >= nCharsetCount)
        return -1;
    const unsigned char* set = kCharsets[charset];
    int low = 0;
    int high = charset == nEscapeCharset ? nCharsetUsable3 : nCharsetSize;
    for (;;) {
        const int mid = (low + high) / 2;
        if (mid >= high)
            return -1;
        if (set[mid] == byte)
            return mid + nDigitFirstChar;
        if (set[mid] > byte) {
            if (high == mid)
                return -1;
            high = mid;
        } else {
            if (low == mid)
                return -1;
            low = mid;
        }
    }
}

const unsigned char* CDataCompressor::s_pbyCharset(int charset)
{
    if (charset < 0 || charset >= nCharsetCount)
        return nullptr;
    return kCharsets[charset];
}

void CDataCompressor::_AddASCIIDigit(unsigned char byte)
{
    if (m_llPosition < m_llCapacity - 1)
        m_pbyOut[m_llPosition] = byte;
    ++m_llPosition;
}

bool CDataCompressor::_bEscapeState() const
{
    return (m_nCharset == nEscapeCharset && m_nShift < 0) ||
           (m_nShift == _nGetCharsetSwitch(nEscapeCharset) && m_nCharset != nEscapeCharset);
}

int CDataCompressor::_nHandleDigit(int digit)
{
    if (digit < 0 || digit >= nDigitBase)
        return nCorrupt;
    if (digit < 4) {
        m_nShift = digit;
    } else if (digit < nDigitFirstChar) {
        m_nCharset = _nGetCharset(digit);
        m_nShift = -1;
    } else {
        const int set = m_nShift >= 0 ? _nGetCharset(m_nShift) : m_nCharset;
        _AddASCIIDigit(kCharsets[set][digit - nDigitFirstChar]);
        m_nShift = -1;
    }
    return nOk;
}

int CDataCompressor::nDeCompress(unsigned char* out, int* capacity, const unsigned char* in, int length)
{
    const int room = capacity != nullptr ? *capacity : 0;
    m_pbyOut = out;
    // Without a buffer nothing may be written: the text is only measured.
    m_llCapacity = (out != nullptr && room > 0) ? room : 0;
    m_pbyIn = in;
    m_llInLength = length;
    m_llPosition = 0;
    m_nCharset = 0;
    m_nShift = -1;

    int result = (length < 0 || (in == nullptr && length > 0)) ? nCorrupt : nOk;
    int64_t i = 0;
    while (result == nOk && m_llInLength - i >= 2) {
        const unsigned b1 = m_pbyIn[i];
        const unsigned b2 = m_pbyIn[i + 1];
        if (b1 == 0 || b2 == 0) {
            result = nCorrupt;
            break;
        }
        const unsigned value = (b1 - 1) * 255 + (b2 - 1);
        const int digits[3] = {static_cast<int>(value / 1600), static_cast<int>(value % 1600 / 40),
                               static_cast<int>(value % 40)};
        int64_t next = i + 2;
        for (const int digit : digits) {
            // A first digit can reach 40: no set has a 33rd byte.
            if (digit >= nDigitBase) {
                result = nCorrupt;
                break;
            }
            if (_bEscapeState() && digit >= nDigitEscapeByte) {
                if (i + 2 >= m_llInLength) {
                    result = nEscapeOverrun;
                    break;
                }
                if (digit == nDigitEscapeByte) {
                    _AddASCIIDigit(m_pbyIn[i + 2]);
                    next = i + 3;
                } else {
                    const int64_t count = m_pbyIn[i + 2];
                    if (i + 2 + count >= m_llInLength) {
                        result = nEscapeOverrun;
                        break;
                    }
                    for (int64_t k = 0; k < count; ++k)
                        _AddASCIIDigit(m_pbyIn[i + 3 + k]);
                    next = i + 3 + count;
                }
                m_nShift = -1;
                break;
            }
            _nHandleDigit(digit);
        }
        i = next;
    }
    if (result == nOk && m_llInLength - i == 1) {
        const int digit = (m_pbyIn[i] - 1) & 0xFF;
        if (digit >= nDigitBase)
            result = nCorrupt;
        else if (_bEscapeState() && digit >= nDigitEscapeByte)
            result = nEscapeOverrun;  // its raw bytes would lie beyond the input
        else
            _nHandleDigit(digit);
    }
    if (result == nOk && m_llPosition > INT_MAX)
        result = nCorrupt;  // the length could not be reported

    if (result != nOk) {
        if (m_llCapacity > 0)
            m_pbyOut[m_llPosition < m_llCapacity ? m_llPosition : m_llCapacity - 1] = 0;
        if (capacity != nullptr)
            *capacity = -1;
        return result;
    }
    if (capacity != nullptr)
        *capacity = static_cast<int>(m_llPosition);
    if (m_llPosition >= m_llCapacity) {
        if (m_llCapacity > 0)
            m_pbyOut[m_llCapacity - 1] = 0;
        return nTruncated;
    }
    m_pbyOut[m_llPosition] = 0;
    return nOk;
}
