// Arbitrary packed texts, capacities and blocks through the unpacker, the
// wide decode and the block index. The first three bytes choose the capacity
// (signed 16 bits), whether the output buffer is missing (bit 0) and the
// encoding of the wide decode (bits 1-2: 0 to 3, of which 1 and 2 are real);
// the rest is the packed text, and is also walked and searched as a block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "common/system/data_compressor.h"
#include "common/system/resource_block.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void FuzzUnpack(const unsigned char* in, int length, int capacity, bool nullBuffer)
{
    // Exactly the capacity: any write beyond it is caught.
    unsigned char* out = nullBuffer ? nullptr : static_cast<unsigned char*>(std::malloc(capacity > 0 ? capacity : 0));
    int reported = capacity;
    CDataCompressor unpacker;
    const int result = unpacker.nDeCompress(out, &reported, in, length);
    Check(result == 0 || result == 2 || result == 4 || result == 5);

    // Measuring alone gives the same verdict and length.
    int measured = 0;
    CDataCompressor measurer;
    const int again = measurer.nDeCompress(nullptr, &measured, in, length);
    if (result == 0 || result == 2) {
        Check(reported >= 0 && again == 2 && measured == reported);
        if (result == 0) {
            Check(out != nullptr && reported < capacity && out[reported] == 0);
        } else if (out != nullptr && capacity > 0) {
            Check(reported >= capacity && out[capacity - 1] == 0);
        }
    } else {
        Check(reported == -1 && again == result && measured == -1);
    }
    std::free(out);
}

// The wide decode with a buffer of exactly the capacity: whole, cut to
// capacity - 1 characters, or nothing written without room; the needed
// length agrees with a measuring call and with the allocating form.
void FuzzWide(const unsigned char* in, int length, int capacity, bool nullBuffer, uint32_t encoding)
{
    STRessourceModule rec = {0, 0, in, static_cast<uint32_t>(length), encoding, 0};
    const size_t room = capacity > 0 ? static_cast<size_t>(capacity) : 0;
    wchar_t* out = nullBuffer ? nullptr : static_cast<wchar_t*>(std::malloc(room * sizeof(wchar_t) + 1));
    int reported = capacity;
    const int result = CDataCompressor::s_nDeCompress(out, &reported, rec);
    Check(result == 0 || result == 2 || result == 4 || result == 5 || result == 6);

    int measured = 0;
    const int again = CDataCompressor::s_nDeCompress(nullptr, &measured, rec);
    wchar_t* whole = CDataCompressor::s_pszDeCompress(rec);
    if (result == 0 || result == 2) {
        Check(again == 2 && measured == reported && reported >= 0);
        Check(whole != nullptr);
        if (result == 0) {
            Check(out != nullptr && reported < capacity && out[reported] == 0);
            Check(std::wmemcmp(out, whole, static_cast<size_t>(reported)) == 0);
        } else if (out != nullptr && capacity > 0) {
            Check(reported >= capacity && out[capacity - 1] == 0);
            Check(std::wmemcmp(out, whole, static_cast<size_t>(capacity) - 1) == 0);
        }
    } else {
        Check(reported == -1 && again == result && measured == -1 && whole == nullptr);
    }
    std::free(whole);
    std::free(out);
}

void FuzzBlock(const unsigned char* block, size_t size)
{
    uint32_t offsets[64];
    const uint32_t count = CResAnsi32::s_nWalkBlock(block, size, offsets, 64);
    Check(count <= 64);
    for (uint32_t k = 0; k < count; ++k) {
        Check(offsets[k] + RES_ENTRY_HEADER <= size);
        STRessourceModule rec = {CResAnsi32::s_nRead16(block + offsets[k] + 2), 0, nullptr, 0, 0, -1};
        if (CResAnsi32::s_bFind(block, offsets, count, rec) == 1) {
            // Whatever entry answered, its packed bytes lie inside the block.
            Check(rec.pbyData >= block && rec.pbyData + rec.dwPackedLength <= block + size);
            Check(rec.nUsage >= 0 && rec.nUsage <= 3);
            FuzzUnpack(rec.pbyData, static_cast<int>(rec.dwPackedLength), 64, false);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    int16_t capacity;
    std::memcpy(&capacity, data, sizeof capacity);
    const bool nullBuffer = (data[2] & 1) != 0;
    const unsigned char* in = data + 3;
    const int length = static_cast<int>(size - 3);
    FuzzUnpack(in, length, capacity, nullBuffer);
    FuzzWide(in, length, capacity, nullBuffer, (data[2] >> 1) & 3);
    FuzzBlock(in, size - 3);
    return 0;
}
