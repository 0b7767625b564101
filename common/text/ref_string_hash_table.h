#pragma once

#include <cstdlib>
#include <cwchar>

#include "common/text/ref_hash_table.h"

// The registries keyed by name (connections by identification text, tables
// and statements by name): a CRefHashTable whose keys are wide texts compared
// without regard to case or accents (nStringLogiqueCompare, with the
// matching dwStringLogiqueHashVal), and owned by the table: malloc'd texts
// that the destructor frees. An owner that removes an element frees the key
// handed back (or calls bSupprime, which does both).
//
// The one-entry look-up cache is cleared on every addition, removal, walk
// removal, DeleteAll and parse-set (CRefHashTable), so a freed key or a
// released value is never compared or returned through it.
template <class V, class Hooks = CRefHooks<std::remove_pointer_t<V>>>
class CRefStringHashTable : public CRefHashTable<wchar_t*, V, Hooks>
{
    using Base = CRefHashTable<wchar_t*, V, Hooks>;

public:
    explicit CRefStringHashTable(unsigned int n = 7) : Base(n)
    {
        this->SetCmp(CHashTableBounce::nStringLogiqueCompare);
        this->SetHashVal(CHashTableBounce::dwStringLogiqueHashVal);
    }

    // Walks with removal, releasing each value and freeing each key.
    ~CRefStringHashTable() override
    {
        unsigned int dwCurseur = 0;
        void* pValeur;
        void* pCle;
        while (Base::bParseTable(&dwCurseur, 1, &pValeur, &pCle)) {
            Base::_Release(static_cast<V>(pValeur));
            std::free(pCle);
        }
        this->_ViderCache();
    }

    unsigned int dwGetNumElement() const override { return this->m_dwNbElement; }

    using Base::bAddElement;
    using Base::bDeleteElement;
    using Base::bGetElement;
    using Base::bGetElementRef;

    // Look-ups by a name the caller keeps (the table does not take it).
    int bGetElement(const wchar_t* pszCle, V* pValeur, wchar_t** ppCleStockee = nullptr) const
    {
        return Base::bGetElement(const_cast<wchar_t*>(pszCle), pValeur, ppCleStockee);
    }
    int bGetElementRef(const wchar_t* pszCle, V* pValeur)
    {
        return Base::bGetElementRef(const_cast<wchar_t*>(pszCle), pValeur);
    }
    // Hands back the stored key, which the caller frees.
    int bDeleteElement(const wchar_t* pszCle, V* pValeur, wchar_t** ppCleStockee)
    {
        return Base::bDeleteElement(const_cast<wchar_t*>(pszCle), pValeur, ppCleStockee);
    }

    // Adds the value under a malloc'd copy of the name, taking one reference
    // on it; 0 (nothing added or held) when memory runs out.
    int bAjoute(const wchar_t* pszCle, V valeur)
    {
        const size_t n = pszCle ? std::wcslen(pszCle) : 0;
        auto* cle = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
        if (cle == nullptr) return 0;
        if (n) std::wmemcpy(cle, pszCle, n);
        cle[n] = 0;
        if (!Base::bAddElement(cle, valeur)) {
            std::free(cle);
            return 0;
        }
        Base::_AddRef(valeur);
        return 1;
    }
    // Removes the element of the name: frees its key and releases its value.
    int bSupprime(const wchar_t* pszCle)
    {
        V valeur = nullptr;
        wchar_t* cle = nullptr;
        if (!bDeleteElement(pszCle, &valeur, &cle)) return 0;
        std::free(cle);
        Base::_Release(valeur);
        return 1;
    }
};
