#pragma once

#include "common/text/any_intern.h"

// Date and time digit texts held in the storage: NCARS characters of T
// (YYYYMMDD: 8, HHMMSSmmm: 9) and a terminator, zero-filled behind a shorter
// text. Storage form: the NCARS characters; data form: with the terminator;
// useful form: all NCARS characters for a date, the text's own length for a
// time. Every fill writes exactly the size its size operation reports.
template <class T, int NCARS, bool BDATE>
class TAny_ZLDateTexte : public CAny_Intern
{
public:
    static constexpr unsigned long TAILLE = NCARS * sizeof(T);
    static constexpr size_t NCARS_TEXTE = NCARS;

    constexpr TAny_ZLDateTexte() = default;

    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, TAILLE); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, TAILLE); }
    int nGetDataSize(unsigned long* pn) const override { return s_nTaille(pn, TAILLE + sizeof(T)); }
    int nGetDataAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillDataBuffer(void* p) const override { return s_nCopieValeur(this, p, TAILLE + sizeof(T)); }
    // At most NCARS characters (up to the text's terminator), the rest of
    // the storage's text zero-filled.
    int SetValue(const void* p) override;
    int nGetPCASTR(const char** pp) const override;
    int nGetPCWSTR(const wchar_t** pp) const override;
    int nGetUtilDataSize(unsigned long* pn) const override;
    int nFillUtilDataBuffer(void* p) const override;

    // Sets the text from characters already in T (at most n of them).
    static int s_nSetTexte(const void* pObjet, const T* p, size_t n);
    static size_t s_nLongueur(const void* pObjet);
};

// 24: wide date text; 8-bit text setters read code page 1252.
class CAny_ZLDATEW final : public TAny_ZLDateTexte<wchar_t, 8, true>
{
public:
    constexpr CAny_ZLDATEW() = default;
    int SetValueFromANSI(const void* p) override;
    int SetValueFromANSI(const void* p, unsigned long n) override;
};

// 25: wide time text.
class CAny_ZLTIMEW final : public TAny_ZLDateTexte<wchar_t, 9, false>
{
public:
    constexpr CAny_ZLTIMEW() = default;
    int SetValueFromANSI(const void* p) override;
    int SetValueFromANSI(const void* p, unsigned long n) override;
};

// 128: 8-bit date text; the wide text setter writes code page 1252 ('?' for
// what it cannot hold).
class CAny_ZLDATEA final : public TAny_ZLDateTexte<char, 8, true>
{
public:
    constexpr CAny_ZLDATEA() = default;
    int SetValueFromUNICODE(const void* p) override;
};

// 129: 8-bit time text.
class CAny_ZLTIMEA final : public TAny_ZLDateTexte<char, 9, false>
{
public:
    constexpr CAny_ZLTIMEA() = default;
    int SetValueFromUNICODE(const void* p) override;
};
