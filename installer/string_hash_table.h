#pragma once

#include <cstdint>
#include <cwchar>

#include "common/text/hash_base.h"

// Chained hash tables from a wide-text key to a small value, over CHashBase.
// The table keeps the key pointer, not a copy: the text must outlive its
// entry. CTHashTableTi compares keys ignoring case (wcscasecmp), CTHashTableT
// exactly (wcscmp).
//
// Keys come from archives, so they are hashed with dwHashNomArchive, not
// with the common library's sum of characters: under a sum, names made of
// the same characters (f00012, f00021, f10002 ...) share one bucket, and
// indexing an archive of such names takes time in the square of their count.

// FNV-1a over the characters (lower-cased with bIgnoreCase, as wcscasecmp
// compares them) from a basis drawn once per process, so that no list of
// names is known in advance to share a bucket.
uint32_t dwHashNomArchive(const wchar_t* psz, bool bIgnoreCase);

template <class V, bool bIgnoreCase>
class CTStringHashTable : public CHashBase
{
    static_assert(sizeof(V) <= sizeof(void*), "values travel in the pair's pointer");

public:
    explicit CTStringHashTable(int nBuckets = 43) : CHashBase(nBuckets) {}

    unsigned int dwVHashVal(void* pCle) const override
    {
        const wchar_t* key = static_cast<const wchar_t*>(pCle);
        return dwHashNomArchive(key, bIgnoreCase);
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
