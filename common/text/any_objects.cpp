#include "common/text/any_objects.h"

#include <atomic>
#include <cstdint>

namespace {

constexpr int kSlotAjouteRef = 0;      // host objects: first operation
constexpr int kSlotLibere = 1;         // host objects: second operation
constexpr int kSlotLibereCompte = 2;   // counted objects: third operation
constexpr size_t kOffsetCompte = sizeof(void*);

CAny& Owner(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet); }

}  // namespace

void AnyObjetAppelle(void* pObjet, int nSlot)
{
    void* const* ppvTable;
    std::memcpy(&ppvTable, pObjet, sizeof ppvTable);
    reinterpret_cast<void (*)(void*)>(ppvTable[nSlot])(pObjet);
}

void* pAnyObjetAppelleP(void* pObjet, int nSlot)
{
    void* const* ppvTable;
    std::memcpy(&ppvTable, pObjet, sizeof ppvTable);
    return reinterpret_cast<void* (*)(void*)>(ppvTable[nSlot])(pObjet);
}

void AnyObjetCompteAjoute(void* pObjet)
{
    uint32_t* pnCompte = reinterpret_cast<uint32_t*>(static_cast<unsigned char*>(pObjet) + kOffsetCompte);
    std::atomic_ref<uint32_t>(*pnCompte).fetch_add(1);
}

// --- Counted and host objects --------------------------------------------------

namespace {

// How a holder takes and drops its reference: a counted object by an atomic
// add to its count and its third operation, a host object by its first and
// second operations.
struct stRefCompte
{
    static void Prend(void* p) { AnyObjetCompteAjoute(p); }
    static constexpr int kSlotRelache = kSlotLibereCompte;
};

struct stRefHote
{
    static void Prend(void* p) { AnyObjetAppelle(p, kSlotAjouteRef); }
    static constexpr int kSlotRelache = kSlotLibere;
};

// Both take the holder's address only: the holder lies unaligned inside
// its value, so no member of it is reached through a typed pointer.
// The storage no longer names the object when its reference is dropped.
template <class Ref>
void Lache(const void* pHolder)
{
    void* p = TAny_ZLPointeur::s_pLit(pHolder);
    TAny_ZLPointeur::s_Ecrit(pHolder, nullptr);
    if (p != nullptr)
        AnyObjetAppelle(p, Ref::kSlotRelache);
    CAny_Intern::s_Vide(pHolder);
}

// The new reference is taken before the old one is dropped.
template <class Ref>
int nTient(const void* pHolder, const void* p)
{
    void* pNew = const_cast<void*>(p);
    void* pOld = TAny_ZLPointeur::s_pLit(pHolder);
    if (pNew == pOld)
        return ANY_OK;
    if (pNew != nullptr)
        Ref::Prend(pNew);
    TAny_ZLPointeur::s_Ecrit(pHolder, pNew);
    if (pOld != nullptr)
        AnyObjetAppelle(pOld, Ref::kSlotRelache);
    return ANY_OK;
}

}  // namespace

template <unsigned short CODE>
void TAny_ZLObjetCompte<CODE>::vDetruitSupprime()
{
    Lache<stRefCompte>(this);
}

template <unsigned short CODE>
void TAny_ZLObjetCompte<CODE>::vDetruit()
{
    Lache<stRefCompte>(this);
}

template <unsigned short CODE>
void TAny_ZLObjetCompte<CODE>::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, CODE, s_pLit(this), false, 0, true);
}

template <unsigned short CODE>
int TAny_ZLObjetCompte<CODE>::SetValue(const void* p)
{
    return nTient<stRefCompte>(this, p);
}

template class TAny_ZLObjetCompte<ZLTYPE_MEMOIMG>;
template class TAny_ZLObjetCompte<ZLTYPE_CONVOYEUR>;
template class TAny_ZLObjetCompte<ZLTYPE_POLICE>;

template <unsigned short CODE>
void TAny_ZLObjetHote<CODE>::vDetruitSupprime()
{
    Lache<stRefHote>(this);
}

template <unsigned short CODE>
void TAny_ZLObjetHote<CODE>::vDetruit()
{
    Lache<stRefHote>(this);
}

template <unsigned short CODE>
void TAny_ZLObjetHote<CODE>::Duplique(CAny* pTarget) const
{
    s_Duplique(this, pTarget, CODE, s_pLit(this), false, 0, false);
}

template <unsigned short CODE>
int TAny_ZLObjetHote<CODE>::SetValue(const void* p)
{
    return nTient<stRefHote>(this, p);
}

template class TAny_ZLObjetHote<ZLTYPE_OBJET_BASE>;
template class TAny_ZLObjetHote<ZLTYPE_DINO>;

// --- Caller's buffer ------------------------------------------------------------

void CAny_ZLBUFFER::Duplique(CAny* pTarget) const
{
    const CAny& v = Owner(this);
    s_Duplique(this, pTarget, ZLTYPE_BUFFER, v._tLit<void*>(), true, v._tLit<unsigned long>(sizeof(void*)), true);
}

int CAny_ZLBUFFER::nGetDataSize(unsigned long* pn) const
{
    return s_nTaille(pn, Owner(this)._tLit<unsigned long>(sizeof(void*)));
}

int CAny_ZLBUFFER::nGetDataAdr(void** pp) const
{
    *pp = Owner(this)._tLit<void*>();
    return ANY_OK;
}

int CAny_ZLBUFFER::nFillDataBuffer(void* p) const
{
    const CAny& v = Owner(this);
    const unsigned long n = v._tLit<unsigned long>(sizeof(void*));
    if (n > 0)
        std::memcpy(p, v._tLit<void*>(), n);
    return ANY_OK;
}

namespace {

int nSetBuffer(const void* pObjet, const void* p, unsigned long n)
{
    CAny& v = Owner(pObjet);
    v._Ecrit(const_cast<void*>(p));
    v._Ecrit(n, sizeof(void*));
    return ANY_OK;
}

}  // namespace

int CAny_ZLBUFFER::SetValue(const void* p) { return nSetBuffer(this, p, 0); }

int CAny_ZLBUFFER::SetValue(const void* p, unsigned long n) { return nSetBuffer(this, p, n); }
