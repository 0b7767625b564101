// Loading resource texts: the host's loader first, then the module's block.
#include <cstdlib>

#include "common/system/data_compressor.h"
#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "common/text/ct_string.h"

namespace {

// First buffer offered to the host's loader.
constexpr int kFirstHostBuffer = 256;
// Longest text taken from the host's loader: its answer sizes an allocation,
// so it is bounded (far above any message).
constexpr int kMaxHostText = 1 << 24;

// Fills the record for id and asks the descriptor's look-up.
bool bLookUp(const _stMyModuleInfo* info, unsigned int nId, STRessourceModule& rec)
{
    rec = {nId, 0, nullptr, 0, 0, -1};
    return info != nullptr && info->pfnGetRessource != nullptr && info->pfnGetRessource(rec) != 0;
}

}  // namespace

int VXM_nLoadString(unsigned int nId, wchar_t* pszBuffer, int nCapacity)
{
    if (gpfnLoadStringVXM == nullptr)
        return 0;
    return gpfnLoadStringVXM(nId, pszBuffer, nCapacity);
}

int VXM_bLoadString(unsigned int nId, CTString* pOut)
{
    if (gpfnLoadStringVXM == nullptr || pOut == nullptr)
        return 0;
    wchar_t buffer[kFirstHostBuffer + 1] = {};
    const int n = gpfnLoadStringVXM(nId, buffer, kFirstHostBuffer);
    if (n <= 0)
        return 0;
    if (n <= kFirstHostBuffer) {
        pOut->Set(buffer, static_cast<unsigned long>(n));
        return 1;
    }
    if (n > kMaxHostText)
        return 0;
    // Longer than the first buffer: ask again with room for the whole text,
    // and keep the first answer's count (whatever fits in the buffer).
    auto* whole = static_cast<wchar_t*>(std::calloc(static_cast<size_t>(n) + 1, sizeof(wchar_t)));
    if (whole == nullptr)
        return 0;
    if (gpfnLoadStringVXM(nId, whole, n) <= 0) {
        std::free(whole);
        return 0;
    }
    whole[n] = 0;
    pOut->Set(whole, static_cast<unsigned long>(n));
    std::free(whole);
    return 1;
}

int DLLRES_bLoadString(const _stMyModuleInfo* info, unsigned int nId, CTString* pOut)
{
    if (pOut == nullptr)
        return 0;
    if (gpfnLoadStringVXM != nullptr && VXM_bLoadString(nId, pOut))
        return 1;
    STRessourceModule rec;
    if (!bLookUp(info, nId, rec))
        return 0;
    // A text that does not unpack still counts as loaded, as an empty one.
    wchar_t* text = CDataCompressor::s_pszDeCompress(rec);
    pOut->Set(text);
    std::free(text);
    return 1;
}

int DLLRES_nLoadString(const _stMyModuleInfo* info, unsigned int nId, wchar_t* pszBuffer, int nCapacity)
{
    // No room, nothing written: the host sends exactly this to prime the
    // layer.
    if (pszBuffer == nullptr || nCapacity <= 0)
        return 0;
    if (gpfnLoadStringVXM != nullptr) {
        const int n = gpfnLoadStringVXM(nId, pszBuffer, nCapacity);
        if (n > 0)
            return n;
    }
    STRessourceModule rec;
    if (!bLookUp(info, nId, rec))
        return 0;
    int n = nCapacity;
    switch (CDataCompressor::s_nDeCompress(pszBuffer, &n, rec)) {
    case CDataCompressor::nOk:
        return n;
    case CDataCompressor::nTruncated:
        return nCapacity - 1;
    default:
        return 0;
    }
}

int DLLRES_nGetUtilisation(const _stMyModuleInfo* info, unsigned int nId)
{
    STRessourceModule rec;
    if (!bLookUp(info, nId, rec))
        return -1;
    return rec.nUsage;
}
