// Reading a runtime value's data and setting a value from bytes and texts of
// a given length, never reading past that length.
#include "native/model/variant_any.h"

#include <algorithm>
#include <cstring>

namespace {

// The types whose value lies in the value's own storage and whose setter
// reads a fixed number of bytes (or up to a terminator).
bool bHeldInStorage(unsigned short nCode)
{
    switch (nCode) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12:
    case 14: case 15: case 17: case 24: case 25: case 26: case 27: case 81: case 128: case 129:
        return true;
    default:
        return false;
    }
}

}  // namespace

const void* NA_pGetAnyData(const CAny& clValue, unsigned long* pnSize)
{
    *pnSize = 0;
    void* p = nullptr;
    unsigned long n = 0;
    if (clValue.Objet().nGetDataAdr(&p) > 99 || p == nullptr || clValue.Objet().nGetDataSize(&n) > 99)
        return nullptr;
    *pnSize = n;
    return p;
}

unsigned long NA_nGetAnyUtilSize(const CAny& clValue)
{
    unsigned long n = 0;
    return clValue.Objet().nGetUtilDataSize(&n) > 99 ? 0 : n;
}

int NA_nSetAnyBytes(CAny& clValue, const void* p, unsigned long n)
{
    if (!bHeldInStorage(clValue.nGetTypeCode()))
        return clValue.SetValueByte(p, n);
    // Room for the largest storage and a terminator behind it.
    unsigned char abyLocal[CAny::TAILLE_VALEUR + sizeof(wchar_t)] = {};
    if (p != nullptr)
        std::memcpy(abyLocal, p, std::min<unsigned long>(n, CAny::TAILLE_VALEUR));
    return clValue.SetValueByte(abyLocal, n);
}

int NA_nSetAnyWide(CAny& clValue, const wchar_t* psz, size_t nChars)
{
    // Also keeps the byte count off the runtime string's "up to the
    // terminator" lengths.
    if (nChars > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    switch (clValue.nGetTypeCode()) {
    case ZLTYPE_DSTRW:
    case ZLTYPE_PSTRW:
        // n bytes: the runtime string takes n / 4 characters, the heap text
        // its first n / 4.
        return clValue.SetValueByte(psz, nChars * sizeof(wchar_t));
    default:
        return NA_nSetAnyBytes(clValue, psz, nChars * sizeof(wchar_t));
    }
}

int NA_nSetAnyAnsi(CAny& clValue, const char* psz, size_t nBytes)
{
    if (nBytes > ANY_MAX_UNITES)
        return ANY_ERR_TROP_GRAND;
    switch (clValue.nGetTypeCode()) {
    case ZLTYPE_PSTRA:
    case ZLTYPE_DSTRA:
        return clValue.SetValueByte(psz, nBytes);
    default:
        return NA_nSetAnyBytes(clValue, psz, nBytes);
    }
}

void NA_SetAnyNull(CAny& clValue)
{
    const unsigned short nCode = clValue.nGetTypeCode();
    clValue.__SetType(ZLTYPE_VIDE, 0);
    clValue.__SetType(nCode, 0);
    clValue.SetNull();
}
