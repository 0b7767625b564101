#pragma once

#include "common/text/any_intern.h"

// Zero-terminated texts on the process heap (malloc), owned by the value
// through the pointer in its storage (null for the empty text). Storage
// form: the 8-byte pointer. Data form: the text with its terminator (the
// empty text when null); useful form: without it.
//
// Every setter makes the new text before it frees the old one, so a text
// may be set from (a part of) the text it replaces; setting the held text
// itself changes nothing. When the new text cannot be made the old one
// stays and 100 is returned.
template <class T>
class TAny_ZLPStr : public CAny_Intern
{
public:
    constexpr TAny_ZLPStr() = default;

    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    // Writes the text pointer (or the empty text's).
    int nFillBuffer(void* p) const override;
    int nGetDataSize(unsigned long* pn) const override;
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    // A copy of the text (null or empty: no text).
    int SetValue(const void* p) override;
    // A copy of its first n characters (n bytes for 8-bit text, n / 4
    // characters for wide text), zero-filled behind a shorter text.
    int SetValue(const void* p, unsigned long n) override;
    int nGetPCASTR(const char** pp) const override;
    int nGetPCWSTR(const wchar_t** pp) const override;
    int nGetSTRLEN(unsigned long* pn) const override;
    int nGetUtilDataSize(unsigned long* pn) const override;
    int nFillUtilDataBuffer(void* p) const override;
    // Bit 0 clear: the first n characters (n passed on as it is); set: a
    // zero-filled buffer of n + 1 characters holding at most the first n of
    // p, for the host to fill.
    int SetValueOption(const void* p, unsigned long n, unsigned int nOptions) override;

    // 29-31, after the slots of every class.
    // Stores a heap copy of the text (null or empty: null); the pointer held
    // before is overwritten, not freed.
    virtual int __CreateStr(const T* psz);
    virtual int __CreateStr(const T* psz, unsigned long n);
    // Frees the text; the pointer becomes null.
    virtual void __DeleteStr();

    // Bodies shared by the slots (pObjet is the object's address).
    static T* s_pszLit(const void* pObjet);
    static void s_Ecrit(const void* pObjet, T* psz);
    // Stores psz and frees the text held before (unless it is psz).
    static void s_Remplace(const void* pObjet, T* psz);
    // A new heap copy: null for a null or empty text or n 0; *pbEchec on
    // memory failure; n is a count of characters (-1: the whole text).
    static T* s_pszCopie(const T* psz, long n, bool* pbEchec);
};

// 18: 8-bit text.
class CAny_ZLPSTRA final : public TAny_ZLPStr<char>
{
public:
    constexpr CAny_ZLPSTRA() = default;
};

// 110: wide text.
class CAny_ZLPSTRW final : public TAny_ZLPStr<wchar_t>
{
public:
    constexpr CAny_ZLPSTRW() = default;
    // 8-bit text (strlen(p) bytes, or n) read in code page 1252, or in the
    // given one; nothing given: the empty text.
    int SetValueFromANSI(const void* p) override;
    int SetValueFromANSI(const void* p, unsigned long n) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n) override;

    // Sets a value of this type from n UTF-16 units, one character each (n
    // below 1: the empty text). 105 for a value of another type.
    static int s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n);
};
