#pragma once

#include "common/text/any_intern.h"

// Host objects held by pointer in the storage (nGetSize 8, nGetAdr the
// storage). The library only counts references on them:
// - counted objects (30, 50, 65): a 32-bit count right after the object's
//   table pointer, added to atomically; released through their third
//   operation;
// - host objects (108, 111, 141-143): a reference added through their first
//   operation and released through their second.
// Data and useful forms are the 8-byte pointer at the storage's address.
// Setters take the new reference before they drop the old one, and setting
// the held object again changes nothing.

// Operations on host objects, read through their table (they may come from
// any module).
void AnyObjetAppelle(void* pObjet, int nSlot);
void* pAnyObjetAppelleP(void* pObjet, int nSlot);
void AnyObjetCompteAjoute(void* pObjet);

// Common body of the pointer kinds.
class TAny_ZLPointeur : public CAny_Intern
{
public:
    constexpr TAny_ZLPointeur() = default;

    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, sizeof(void*)); }
    int nGetDataSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetDataAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillDataBuffer(void* p) const override { return s_nCopieValeur(this, p, sizeof(void*)); }

    static void* s_pLit(const void* pObjet) { return CAny::s_clDepuisObjet(pObjet)._tLit<void*>(); }
    static void s_Ecrit(const void* pObjet, void* p) { CAny::s_clDepuisObjet(pObjet)._Ecrit(p); }
};

// 30, 50, 65: counted objects. A null pointer is stored without counting.
template <unsigned short CODE>
class TAny_ZLObjetCompte : public TAny_ZLPointeur
{
public:
    constexpr TAny_ZLObjetCompte() = default;

    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int SetValue(const void* p) override;
};

class CAny_ZLMEMOIMG final : public TAny_ZLObjetCompte<ZLTYPE_MEMOIMG>
{
public:
    constexpr CAny_ZLMEMOIMG() = default;
};

class CAny_ZLCONVOYEUR final : public TAny_ZLObjetCompte<ZLTYPE_CONVOYEUR>
{
public:
    constexpr CAny_ZLCONVOYEUR() = default;
};

class CAny_ZLPOLICE final : public TAny_ZLObjetCompte<ZLTYPE_POLICE>
{
public:
    constexpr CAny_ZLPOLICE() = default;
};

// 108 (and 141-143), 111: host objects. Copies always have code CODE and
// neither NULL nor 0x400.
template <unsigned short CODE>
class TAny_ZLObjetHote : public TAny_ZLPointeur
{
public:
    constexpr TAny_ZLObjetHote() = default;

    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int SetValue(const void* p) override;
};

class CAny_ZLOBJET_BASE final : public TAny_ZLObjetHote<ZLTYPE_OBJET_BASE>
{
public:
    constexpr CAny_ZLOBJET_BASE() = default;
};

class CAny_ZLDINO final : public TAny_ZLObjetHote<ZLTYPE_DINO>
{
public:
    constexpr CAny_ZLDINO() = default;
};

// 29: a caller's buffer (not owned): its pointer, then its 64-bit size.
class CAny_ZLBUFFER final : public CAny_Intern
{
public:
    constexpr CAny_ZLBUFFER() = default;

    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    // Copies the buffer's pointer.
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, sizeof(void*)); }
    // The buffer itself: its size, its address, a copy of its bytes.
    int nGetDataSize(unsigned long* pn) const override;
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    // Pointer p, size 0 / size n.
    int SetValue(const void* p) override;
    int SetValue(const void* p, unsigned long n) override;
};
