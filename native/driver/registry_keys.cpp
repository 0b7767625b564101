// The keys of the driver's connection and table registries.
#include "native/driver/registry_keys.h"

#include <cstdlib>
#include <cwchar>

#include "common/text/ct_string.h"
#include "common/text/str_locale.h"
#include "common/text/str_map.h"
#include "common/text/xy_string_concat.h"

int CNARegistryKeys::nCompare(void const* pKey, void const* pStoredKey)
{
    const wchar_t* a = static_cast<const wchar_t*>(pKey);
    const wchar_t* b = static_cast<const wchar_t*>(pStoredKey);
    return std::wcscmp(a != nullptr ? a : L"", b != nullptr ? b : L"");
}

unsigned int CNARegistryKeys::dwHashVal(void const* pKey)
{
    // FNV-1a over each code point's four bytes.
    uint32_t dwHash = 2166136261u;
    for (const wchar_t* p = static_cast<const wchar_t*>(pKey); p != nullptr && *p != 0; ++p) {
        uint32_t dwCode = static_cast<uint32_t>(*p);
        for (int i = 0; i < 4; ++i, dwCode >>= 8) {
            dwHash ^= dwCode & 0xFFu;
            dwHash *= 16777619u;
        }
    }
    return dwHash;
}

namespace {

// Appends the name mapped as the registries' name comparison sees it.
bool bAddMappedName(CXYStringConcat<wchar_t>* pclKey, const wchar_t* pszName)
{
    if (pszName == nullptr) {
        pclKey->Add(L"NULL");
        return true;
    }
    if (*pszName == 0)
        return true;
    wchar_t* pszMapped = nullptr;
    STR_nCreateMapString(LOCALE_FLAG_IGNORE_CASE | LOCALE_FLAG_IGNORE_ACCENTS, &pszMapped, pszName);
    if (pszMapped == nullptr)
        return false;
    pclKey->Add(pszMapped);
    std::free(pszMapped);
    return true;
}

bool bFinish(CTString* pcsKey, const CXYStringConcat<wchar_t>& clKey, bool bBuilt)
{
    if (!bBuilt || clKey.bEchec()) {
        pcsKey->Vide();
        return false;
    }
    pcsKey->Set(clKey.pszGet());
    return true;
}

}  // namespace

bool CNARegistryKeys::g_bBuildTableKey(CTString* pcsKey, const wchar_t* pszDBTableName,
                                       const wchar_t* pszIdentification)
{
    CXYStringConcat<wchar_t> clKey;
    clKey.Add(L"Table=");
    const bool bBuilt = bAddMappedName(&clKey, pszDBTableName);
    clKey.Add(L";");
    clKey.Add(pszIdentification != nullptr ? pszIdentification : L"");
    return bFinish(pcsKey, clKey, bBuilt);
}

bool CNARegistryKeys::g_bBuildQueryKey(CTString* pcsKey, uint64_t llContextID, const wchar_t* pszName,
                                       const wchar_t* pszIdentification)
{
    // Twenty digits hold any 64-bit value.
    wchar_t szDigits[24];
    wchar_t* p = szDigits + 23;
    *p = 0;
    do {
        *--p = static_cast<wchar_t>(L'0' + llContextID % 10);
        llContextID /= 10;
    } while (llContextID != 0);
    CXYStringConcat<wchar_t> clKey;
    clKey.Add(L"CTX=");
    clKey.Add(p);
    clKey.Add(L";Table=");
    const bool bBuilt = bAddMappedName(&clKey, pszName);
    clKey.Add(L";");
    clKey.Add(pszIdentification != nullptr ? pszIdentification : L"");
    return bFinish(pcsKey, clKey, bBuilt);
}
