#pragma once

#include <cstdint>
#include <cwchar>

#include "common/text/hash_base.h"
#include "common/text/string_hash.h"

// Chained hash tables from a wide-text key to a small value, over CHashBase.
// The table keeps the key pointer, not a copy: the text must outlive its
// entry. CTHashTableTi compares keys ignoring case (wcscasecmp, hash
// dwHashValTi), CTHashTableT exactly (wcscmp, dwHashValT).
template <class V, bool bIgnoreCase>
class CTStringHashTable : public CHashBase
{
    static_assert(sizeof(V) <= sizeof(void*), "values travel in the pair's pointer");

public:
    explicit CTStringHashTable(int nBuckets = 43) : CHashBase(nBuckets) {}

    unsigned int dwVHashVal(void* pCle) const override
    {
        const wchar_t* key = static_cast<const wchar_t*>(pCle);
        return bIgnoreCase ? dwHashValTi(key) : dwHashValT(key);
    }
    int bCleEgales(void* pCleStockee, void* pCle) const override
    {
        const wchar_t* a = static_cast<const wchar_t*>(pCleStockee);
        const wchar_t* b = static_cast<const wchar_t*>(pCle);
        return (bIgnoreCase ? wcscasecmp(a, b) : std::wcscmp(a, b)) == 0;
    }

    // 1, or 0 when memory is short.
    int bAjoute(const wchar_t* pszKey, V value)
    {
        return AjouteDYN(const_cast<wchar_t*>(pszKey), reinterpret_cast<void*>(static_cast<intptr_t>(value)));
    }
    bool bTrouve(const wchar_t* pszKey, V* pValue)
    {
        void* v = nullptr;
        if (!bRecherche(const_cast<wchar_t*>(pszKey), &v, nullptr))
            return false;
        if (pValue != nullptr)
            *pValue = static_cast<V>(reinterpret_cast<intptr_t>(v));
        return true;
    }
};

template <class V>
using CTHashTableTi = CTStringHashTable<V, true>;
template <class V>
using CTHashTableT = CTStringHashTable<V, false>;
