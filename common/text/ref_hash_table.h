#pragma once

#include <cstdint>
#include <type_traits>

#include "common/text/hash_table_bounce.h"
#include "common/text/ref_hooks.h"

// Hash table over CHashTableBounce whose values are counted objects (V is a
// pointer to the object's class) and whose keys are pointer-size values: a
// pointer, an integer or an enumeration. Keys hash to their low 32 bits and
// compare by identity unless the owner installs other functions.
//
// References: owners add with _AddRef(value) then bAddElement, and remove with
// bDeleteElement then _Release(value). bGetElement changes no count;
// bGetElementRef adds one reference for the caller. The destructor releases
// every value still held. DeleteAll releases nothing.
//
// bGetElementRef keeps a one-entry cache of the last key and value found. The
// cache holds no reference, so every change of the table clears it: each
// addition (a newer duplicate must not hide behind it), each removal (also
// during walks), DeleteAll and the parse-set operations.
template <class K, class V, class Hooks = CRefHooks<std::remove_pointer_t<V>>>
class CRefHashTable : public CHashTableBounce
{
    static_assert(std::is_pointer_v<V>, "values are pointers to counted objects");
    static_assert((std::is_pointer_v<K> || std::is_integral_v<K> || std::is_enum_v<K>) && sizeof(K) <= sizeof(void*),
                  "keys are pointer-size values");

public:
    explicit CRefHashTable(unsigned int n = 7) : CHashTableBounce(n)
    {
        SetCmp(_nHTBDefaultCompare);
        SetHashVal(_dwHTBDefaultHashVal);
    }

    ~CRefHashTable() override
    {
        // Each value leaves the table before it is released, so a value whose
        // destruction reaches back into the table finds it consistent.
        unsigned int dwCurseur = 0;
        void* pValeur;
        while (CHashTableBounce::bParseTable(&dwCurseur, 1, &pValeur, nullptr)) _Release(static_cast<V>(pValeur));
        _ViderCache();
    }

    unsigned int dwGetNumElement() const override { return m_dwNbElement; }

    // Untyped operations, clearing the cache where the table changes.
    int bAddElement(void* pCle, void* pValeur) override
    {
        _ViderCache();
        return CHashTableBounce::bAddElement(pCle, pValeur);
    }
    int bDeleteElement(void const* pCle, void** ppValeur, void** ppCleStockee) override
    {
        _ViderCache();
        return CHashTableBounce::bDeleteElement(pCle, ppValeur, ppCleStockee);
    }
    int bParseTable(unsigned int* pdwCurseur, int bSupprime, void** ppValeur, void** ppCle) override
    {
        if (bSupprime) _ViderCache();
        return CHashTableBounce::bParseTable(pdwCurseur, bSupprime, ppValeur, ppCle);
    }
    void DeleteAll(unsigned int n) override
    {
        _ViderCache();
        CHashTableBounce::DeleteAll(n);
    }
    int bParseSetElement(unsigned int dwPosition, void* pValeur, void** ppAncienneValeur) override
    {
        _ViderCache();
        return CHashTableBounce::bParseSetElement(dwPosition, pValeur, ppAncienneValeur);
    }
    int bParseSetKey(unsigned int dwPosition, void* pCle, void** ppAncienneCle) override
    {
        _ViderCache();
        return CHashTableBounce::bParseSetKey(dwPosition, pCle, ppAncienneCle);
    }
    using CHashTableBounce::bGetElement;

    // Typed forms.
    int bAddElement(K cle, V valeur) { return bAddElement(_pDeCle(cle), _pDeValeur(valeur)); }
    int bGetElement(K cle, V* pValeur, K* pCleStockee = nullptr) const
    {
        void* pV;
        void* pK;
        if (!CHashTableBounce::bGetElement(_pDeCle(cle), &pV, &pK)) return 0;
        _Rend(pV, pK, pValeur, pCleStockee);
        return 1;
    }
    int bDeleteElement(K cle, V* pValeur, K* pCleStockee = nullptr)
    {
        void* pV;
        void* pK;
        if (!bDeleteElement(_pDeCle(cle), &pV, &pK)) return 0;
        _Rend(pV, pK, pValeur, pCleStockee);
        return 1;
    }
    int bParseTable(unsigned int* pdwCurseur, int bSupprime, V* pValeur, K* pCle)
    {
        void* pV;
        void* pK;
        if (!bParseTable(pdwCurseur, bSupprime, &pV, &pK)) return 0;
        _Rend(pV, pK, pValeur, pCle);
        return 1;
    }

    // Look-up through the one-entry cache; the value comes with one reference
    // added for the caller, who releases it.
    int bGetElementRef(K cle, V* pValeur)
    {
        const void* pCle = _pDeCle(cle);
        if (m_pCacheCle == nullptr || m_pfCmp(pCle, m_pCacheCle) != 0) {
            void* pV;
            void* pK;
            if (!CHashTableBounce::bGetElement(pCle, &pV, &pK)) return 0;
            m_pCacheCle = pK;
            m_pCacheValeur = pV;
        }
        const V valeur = static_cast<V>(m_pCacheValeur);
        _AddRef(valeur);
        if (pValeur != nullptr) *pValeur = valeur;
        return 1;
    }

    static void _AddRef(V p)
    {
        if (p != nullptr) Hooks::AddRef(p);
    }
    static void _Release(V p)
    {
        if (p != nullptr) Hooks::Release(p);
    }

    static unsigned int _dwHTBDefaultHashVal(void const* pCle)
    {
        return static_cast<unsigned int>(reinterpret_cast<uintptr_t>(pCle));
    }
    static int _nHTBDefaultCompare(void const* pA, void const* pB) { return pA == pB ? 0 : 1; }

    static void* _pDeCle(K cle)
    {
        if constexpr (std::is_pointer_v<K>)
            return const_cast<void*>(static_cast<const void*>(cle));
        else
            return reinterpret_cast<void*>(static_cast<intptr_t>(cle));
    }
    static K _CleDe(void* p)
    {
        if constexpr (std::is_pointer_v<K>)
            return static_cast<K>(p);
        else
            return static_cast<K>(reinterpret_cast<intptr_t>(p));
    }

protected:
    static void* _pDeValeur(V valeur) { return const_cast<void*>(static_cast<const void*>(valeur)); }
    static void _Rend(void* pV, void* pK, V* pValeur, K* pCle)
    {
        if (pValeur != nullptr) *pValeur = static_cast<V>(pV);
        if (pCle != nullptr) *pCle = _CleDe(pK);
    }
    void _ViderCache()
    {
        m_pCacheCle = nullptr;
        m_pCacheValeur = nullptr;
    }

    void* m_pCacheCle = nullptr;
    void* m_pCacheValeur = nullptr;
};

// The same table under the driver's native-access name.
template <class K, class V, class Hooks = CRefHooks<std::remove_pointer_t<V>>>
class CNARefHashTable : public CRefHashTable<K, V, Hooks>
{
public:
    explicit CNARefHashTable(unsigned int n = 7) : CRefHashTable<K, V, Hooks>(n) {}
    ~CNARefHashTable() override = default;
    unsigned int dwGetNumElement() const override { return this->m_dwNbElement; }
};
