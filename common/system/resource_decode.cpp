// The wide decode of a looked-up resource: unpack its bytes, then read them as
// UTF-8 or UTF-16LE. Kept apart from the byte unpacker, which the packing
// tool links without the code-page layer.
#include <cstdlib>
#include <cwchar>

#include "common/system/code_page_conversion.h"
#include "common/system/data_compressor.h"
#include "common/system/resource_block.h"
#include "common/text/unicode_units.h"

namespace {

// Scratch buffers up to this size live on the stack.
constexpr size_t kStackScratch = 255;

// Room that an unpacked text never exceeds: a pair of bytes carries at most
// three characters and a lone byte one, so 1.5 times the packed length and
// a terminator always suffice.
size_t nScratchSize(uint32_t nPackedLength)
{
    return static_cast<size_t>(nPackedLength) * 3 / 2 + 2;
}

// Heap or stack bytes for one call, freed on every way out.
class Scratch
{
public:
    explicit Scratch(size_t n) : m_nSize(n)
    {
        m_p = n <= kStackScratch ? m_aStack : static_cast<unsigned char*>(std::malloc(n));
    }
    ~Scratch()
    {
        if (m_p != m_aStack)
            std::free(m_p);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    unsigned char* Get() const { return m_p; }
    size_t nSize() const { return m_nSize; }

private:
    alignas(8) unsigned char m_aStack[kStackScratch];
    unsigned char* m_p;
    size_t m_nSize;
};

// Wide characters of the unpacked bytes; writes them when dst is given (with
// room for exactly that many).
int nDecode(uint32_t nEncoding, const unsigned char* bytes, int nBytes, wchar_t* dst, int nDst)
{
    if (nBytes <= 0)
        return 0;
    if (nEncoding == RES_ENCODING_UTF8)
        return MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes), nBytes, dst, nDst);
    // A lone last byte is no UTF-16 unit.
    return UTF16ToWideChar(reinterpret_cast<const unsigned short*>(bytes), nBytes / 2, dst, nDst);
}

}  // namespace

int CDataCompressor::s_nDeCompress(wchar_t* out, int* capacity, STRessourceModule& rec)
{
    if (capacity == nullptr)
        return nCorrupt;
    // A null buffer is a buffer without room: nothing is written, the
    // length is still measured.
    const int room = (out != nullptr && *capacity > 0) ? *capacity : 0;
    if (rec.dwEncoding != RES_ENCODING_UTF8 && rec.dwEncoding != RES_ENCODING_UTF16LE) {
        *capacity = -1;
        return nCorrupt;
    }
    if ((rec.pbyData == nullptr && rec.dwPackedLength > 0) || rec.dwPackedLength > RES_MAX_ENTRY_LENGTH) {
        *capacity = -1;
        return nCorrupt;
    }

    Scratch bytes(nScratchSize(rec.dwPackedLength));
    if (bytes.Get() == nullptr) {
        *capacity = -1;
        return nNoMemory;
    }
    int nBytes = static_cast<int>(bytes.nSize());
    CDataCompressor unpacker;
    const int result =
        unpacker.nDeCompress(bytes.Get(), &nBytes, rec.pbyData, static_cast<int>(rec.dwPackedLength));
    if (result == nTruncated) {
        nBytes = static_cast<int>(bytes.nSize()) - 1;
    } else if (result != nOk) {
        *capacity = -1;
        return result;
    }

    // Measured first: the converters write nothing unless the whole text
    // fits, so a short buffer gets its part through a temporary.
    const int needed = nDecode(rec.dwEncoding, bytes.Get(), nBytes, nullptr, 0);
    if (needed < room) {
        if (needed > 0 && nDecode(rec.dwEncoding, bytes.Get(), nBytes, out, needed) != needed) {
            out[0] = 0;
            *capacity = -1;
            return nCorrupt;
        }
        out[needed] = 0;
        *capacity = needed;
        return nOk;
    }
    if (room > 0) {
        auto* whole = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(needed) * sizeof(wchar_t)));
        if (whole == nullptr) {
            out[0] = 0;
            *capacity = -1;
            return nNoMemory;
        }
        if (nDecode(rec.dwEncoding, bytes.Get(), nBytes, whole, needed) != needed) {
            std::free(whole);
            out[0] = 0;
            *capacity = -1;
            return nCorrupt;
        }
        std::wmemcpy(out, whole, static_cast<size_t>(room) - 1);
        out[room - 1] = 0;
        std::free(whole);
    }
    *capacity = needed;
    return nTruncated;
}

wchar_t* CDataCompressor::s_pszDeCompress(STRessourceModule& rec)
{
    // A text never has more wide characters than unpacked bytes, so this
    // always fits.
    const size_t room = nScratchSize(rec.dwPackedLength);
    auto* text = static_cast<wchar_t*>(std::malloc(room * sizeof(wchar_t)));
    if (text == nullptr)
        return nullptr;
    int capacity = static_cast<int>(room);
    if (s_nDeCompress(text, &capacity, rec) != nOk) {
        std::free(text);
        return nullptr;
    }
    return text;
}
