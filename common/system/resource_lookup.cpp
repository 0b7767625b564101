#include "common/system/resource_block.h"

#include <cstring>

// The block, its size and the index storage are the deliverable's; the index
// is built once, on the first look-up.
CResAnsi32::_stRessource CResAnsi32::m_stRessource = {
    _pbyBufferRes32, &CResAnsi32::nCompareRes, _adwOffsetsRes32, 0, 0,
};

int CResAnsi32::nCompareRes(const void* key, const void* element)
{
    const auto* rec = static_cast<const STRessourceModule*>(key);
    uint32_t offset = 0;
    std::memcpy(&offset, element, sizeof offset);
    const int keyId = static_cast<int>(rec->dwId & 0xFFFF);
    return keyId - static_cast<int>(s_nRead16(m_stRessource.pbyBlock + offset + 2));
}

int bGetResAnsi32(STRessourceModule& rec)
{
    CResAnsi32::_stRessource& index = CResAnsi32::m_stRessource;
    // Host threads build their error texts outside the driver's lock, so
    // two may look up the first text at once: one builds the index, the
    // others wait for it.
    static const bool bIndexed = [] {
        CResAnsi32::_stRessource& index = CResAnsi32::m_stRessource;
        index.nCount = CResAnsi32::s_nWalkBlock(index.pbyBlock, _dwSizeBufferRes32, index.pdwOffsets,
                                                _nNbEntriesRes32 + 1);
        index.bBuilt = 1;
        return true;
    }();
    (void)bIndexed;
    return CResAnsi32::s_bFind(index.pbyBlock, index.pdwOffsets, index.nCount, rec);
}
