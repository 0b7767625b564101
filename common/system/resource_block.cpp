#include "common/system/resource_block.h"

int CResAnsi32::s_bFind(const unsigned char* block, const uint32_t* offsets, uint32_t count, STRessourceModule& rec)
{
    const uint32_t id = rec.dwId & 0xFFFF;
    uint32_t low = 0;
    uint32_t high = count;
    while (low < high) {
        const uint32_t mid = low + (high - low) / 2;
        const unsigned char* entry = block + offsets[mid];
        const uint32_t entryId = s_nRead16(entry + 2);
        if (entryId == id) {
            const unsigned flags = entry[4];
            rec.pbyData = entry + RES_ENTRY_HEADER;
            rec.dwPackedLength = s_nRead16(entry + 5);
            rec.nUsage = static_cast<int32_t>(flags & RES_FLAG_USAGE_MASK);
            rec.dwEncoding = (flags & RES_FLAG_UTF16LE) != 0 ? RES_ENCODING_UTF16LE : RES_ENCODING_UTF8;
            return 1;
        }
        if (entryId < id)
            low = mid + 1;
        else
            high = mid;
    }
    return 0;
}
