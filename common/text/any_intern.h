#pragma once

#include "common/text/any.h"

// The per-type objects of CAny. Each class has no data member: its table
// pointer lies at offset 4 of a CAny and its operations work on the value's
// storage at object + 12 (see CAny). The host calls these operations through
// the table too, so the virtual functions below are declared exactly in the
// host's slot order (eSLOTANY); overloads keep their declaration order.
//
// There is no C++ destructor in the table: slots 1 and 2 are named
// operations that release what the storage owns and make the value empty
// (CAny_Intern, type word 0) without freeing any memory, which is what the
// host expects of them. A C++ virtual destructor would put two slots in the
// other order and call operator delete.
//
// The object lies at offset 4 of a CAny, which the host aligns to 4 bytes
// only: the class is packed to 4 so that its table pointer asks no more, and
// a call of an operation on such an object is a call on an object aligned
// for its class. The bodies still pass `this` on as an address
// (CAny::s_clDepuisObjet) and reach other slots through CAnyObjet.
//
// Sizes are unsigned long; results are the codes of any.h unless stated.
#pragma pack(push, 4)
class CAny_Intern
{
public:
    constexpr CAny_Intern() = default;

    // 1, 2.
    virtual void vDetruitSupprime();
    virtual void vDetruit();
    // 3. Copies this value into a target that already has this type: the
    // base sets the target's NULL and 0x400 bits where this value's are set.
    virtual void Duplique(CAny* pTarget) const;
    // 4-6: the storage form. Base: output 0, 102.
    virtual int nGetSize(unsigned long* pn) const;
    virtual int nGetAdr(void** pp) const;
    virtual int nFillBuffer(void* p) const;
    // 7-9: the data form. Base: output 0, 102.
    virtual int nGetDataSize(unsigned long* pn) const;
    virtual int nGetDataAdr(void** pp) const;
    virtual int nFillDataBuffer(void* p) const;
    // 10, 11. Base: nothing; SetValue(p, n) calls SetValue(p).
    virtual int SetValue(const void* p);
    virtual int SetValue(const void* p, unsigned long n);
    // 12-14: the value's own text. Base: output 0, 105.
    virtual int nGetPCASTR(const char** pp) const;
    virtual int nGetPCWSTR(const wchar_t** pp) const;
    virtual int nGetSTRLEN(unsigned long* pn) const;
    // 15. Non-zero when the value is not negative. Base: true.
    virtual int bIsPositive() const;
    // 16, 17: the useful data (texts without terminator). Base: the data form.
    virtual int nGetUtilDataSize(unsigned long* pn) const;
    virtual int nFillUtilDataBuffer(void* p) const;
    // 18, 19: plus or minus one in place: 0, 1 when the result left the
    // type's range, or 105 (base).
    virtual int nIncremente();
    virtual int nDecremente();
    // 20-27: from 8-bit (ANSI) or wide (UNICODE) text. Base: the forms
    // without a length call SetValue(p), those with one SetValue(p, n); the
    // code-page forms call the same form without the code page.
    virtual int SetValueFromANSI(const void* p);
    virtual int SetValueFromANSI(const void* p, unsigned long n);
    virtual int SetValueFromUNICODE(const void* p);
    virtual int SetValueFromUNICODE(const void* p, unsigned long n);
    virtual int SetValueFromANSI_CP(int nCodePage, const void* p);
    virtual int SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n);
    virtual int SetValueFromUNICODE_CP(int nCodePage, const void* p);
    virtual int SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n);
    // 28. Base: SetValue(p, n).
    virtual int SetValueOption(const void* p, unsigned long n, unsigned int nOptions);

    // An empty text (four zero bytes) for accessors that have no text.
    static const wchar_t ChaineVide[1];

    // --- Helpers for the classes' bodies (static: they take the object's
    // address, never a member call) ---------------------------------------
    // Releases nothing; makes the value empty.
    static void s_Vide(const void* pObjet);
    // The common Duplique: the target gets nCode with its initial value,
    // SetValue(p) (or SetValue(p, n) when bAvecTaille) and this value's flags.
    static void s_Duplique(const void* pObjet, CAny* pTarget, unsigned short nCode, const void* p, bool bAvecTaille,
                           unsigned long n, bool bCopieFlags);
    // Size, address and fills of nTaille bytes at the storage.
    static int s_nTaille(unsigned long* pn, unsigned long nTaille)
    {
        *pn = nTaille;
        return ANY_OK;
    }
    static int s_nAdresseValeur(const void* pObjet, void** pp)
    {
        *pp = CAny::s_clDepuisObjet(pObjet)._pbyGetValeur();
        return ANY_OK;
    }
    static int s_nCopieValeur(const void* pObjet, void* p, size_t nTaille)
    {
        std::memcpy(p, CAny::s_clDepuisObjet(pObjet)._pbyGetValeur(), nTaille);
        return ANY_OK;
    }
    static int s_nEcritValeur(const void* pObjet, const void* p, size_t nTaille)
    {
        std::memcpy(CAny::s_clDepuisObjet(pObjet)._pbyGetValeur(), p, nTaille);
        return ANY_OK;
    }
};

#pragma pack(pop)

static_assert(sizeof(CAny_Intern) == sizeof(void*), "an object is its table pointer only");
static_assert(alignof(CAny_Intern) == 4, "an object at offset 4 of a CAny is aligned for its class");
