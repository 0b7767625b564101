#pragma once

#include "common/system/vx_unknown.h"
#include "common/text/ref_hooks.h"
#include "common/text/tableau.h"

// Array of T pointers holding one reference on every non-null element. Owners
// add an element with _AddRef then Ajoute (or Insere) and remove it with
// Supprime then _Release. SupprimeTout and the destructor release the elements
// from the last to the first. How a reference is taken and dropped depends on
// T's class (see ref_hooks.h).
template <class T, class Hooks = CRefHooks<T>>
class CRefArray : public CTTableauPtr<T>
{
public:
    explicit CRefArray(int nPas, int nMaxVide = 30) : CTTableauPtr<T>(nPas, nMaxVide) {}
    ~CRefArray() override { SupprimeTout(); }

    void Compacter() override { CTTableauPtr<T>::Compacter(); }

    static void _AddRef(T* p)
    {
        if (p != nullptr) Hooks::AddRef(p);
    }
    static void _Release(T* p)
    {
        if (p != nullptr) Hooks::Release(p);
    }

    // Releases and removes every element, last first. Each element leaves the
    // array before it is released, so an element destroyed by its release
    // never finds itself still listed.
    void SupprimeTout()
    {
        while (this->m_nNbElement > 0) {
            T* p = (*this)[this->m_nNbElement - 1];
            this->SupprimeDernier(1);
            _Release(p);
        }
    }
};

// A CRefArray that is itself a counted object (atomic count of CVXUnknown);
// dwRelease at 0 destroys the array, which releases its elements.
template <class T, class Hooks = CRefHooks<T>>
class CNARefArray : public CRefArray<T, Hooks>, public CVXUnknown
{
public:
    explicit CNARefArray(int nPas, int nMaxVide = 30) : CRefArray<T, Hooks>(nPas, nMaxVide) {}
    ~CNARefArray() override = default;
};
