#pragma once

#include <type_traits>

#include "common/text/tableau_de_buffer.h"

// Typed array over CTableauDeBuffer. Elements are copied with memcpy and never
// constructed or destroyed, so T must be trivially copyable: a plain value, a
// plain record or a pointer.
template <class T>
class CTTableau : public CTableauDeBuffer
{
    static_assert(std::is_trivially_copyable_v<T>, "array elements are copied byte for byte, never constructed");

public:
    explicit CTTableau(int nPas, int nMaxVide = 30) : CTableauDeBuffer(static_cast<int>(sizeof(T)), nPas, nMaxVide) {}
    ~CTTableau() override = default;

    // The untyped form stays reachable beside the typed one.
    using CTableauDeBuffer::Initialise;
    // Slot after the five of CTableauDeBuffer.
    virtual int Initialise(T const& element, int n) { return CTableauDeBuffer::Initialise(&element, n); }

    int Ajoute(T const& element) { return CTableauDeBuffer::Ajoute(&element); }
    int Insere(T const& element, int nIndice) { return CTableauDeBuffer::Insere(&element, nIndice); }
    void SetAt(T const& element, int nIndice) { CTableauDeBuffer::SetAt(&element, nIndice); }
    int Etend(int nIndice, T const& element, T const& remplissage)
    {
        return CTableauDeBuffer::Etend(nIndice, &element, &remplissage);
    }

    // No bounds check: nIndice must be below the count.
    T& operator[](int nIndice) { return pGetData()[nIndice]; }
    const T& operator[](int nIndice) const { return pGetData()[nIndice]; }
    T* pGetData() const { return reinterpret_cast<T*>(m_pBuffer); }
};

// Array of T pointers that does not own what they point to.
template <class T>
class CTTableauPtr : public CTTableau<T*>
{
public:
    explicit CTTableauPtr(int nPas, int nMaxVide = 30) : CTTableau<T*>(nPas, nMaxVide) {}
    ~CTTableauPtr() override = default;
};
