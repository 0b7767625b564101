#pragma once

#include "common/text/any_intern.h"

// Runtime strings and the binary buffer held by their block pointer in the
// storage (one reference). Storage form: the 8-byte pointer (nGetSize 8,
// nGetAdr the storage). Pointers passed as a CXYString* / CZLBIN* are read
// as the bare block pointer they are, since they may point into another
// value's storage; a null one stands for the empty value.
template <class T>
class TAny_ZLDynStr : public CAny_Intern
{
public:
    constexpr TAny_ZLDynStr() = default;

    // Drop the block's reference.
    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    // p is a CXYString<T>*: it shares this block (nothing when it is this
    // storage).
    int nFillBuffer(void* p) const override;
    // The text with its terminator (the empty text when there is none).
    int nGetDataSize(unsigned long* pn) const override;
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    // p is a CXYString<T>*: this value shares its block.
    int SetValue(const void* p) override;
    // n bytes of text (n / 4 characters for wide text; (unsigned long)-1 and
    // 0xFFFFFFFF mean up to the terminator); a null or empty text empties;
    // more than 0x7FFFFEFF characters gives 108, the value unchanged.
    int SetValue(const void* p, unsigned long n) override;
    int nGetPCASTR(const char** pp) const override;
    int nGetPCWSTR(const wchar_t** pp) const override;
    int nGetSTRLEN(unsigned long* pn) const override;
    // The text without terminator.
    int nGetUtilDataSize(unsigned long* pn) const override;
    int nFillUtilDataBuffer(void* p) const override;
};

// 16: CXYString<wchar_t>.
class CAny_ZLDSTRW final : public TAny_ZLDynStr<wchar_t>
{
public:
    constexpr CAny_ZLDSTRW() = default;
    // 8-bit text (strlen(p) bytes, or n) converted from the host's current
    // code page, or from the given one.
    int SetValueFromANSI(const void* p) override;
    int SetValueFromANSI(const void* p, unsigned long n) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p) override;
    int SetValueFromANSI_CP(int nCodePage, const void* p, unsigned long n) override;
    // A plain wide text up to its terminator (SetValue takes a runtime string).
    int SetValueFromUNICODE(const void* p) override;

    // Sets a value of this type from n UTF-16 units, one character each (n
    // below 1 empties). 105 for a value of another type.
    static int s_SetFromUTF16(CAny* pValue, const unsigned short* p, long n);
};

// 19: CXYString<char>.
class CAny_ZLDSTRA final : public TAny_ZLDynStr<char>
{
public:
    constexpr CAny_ZLDSTRA() = default;
    // A plain 8-bit text up to its terminator (SetValue takes a runtime
    // string).
    int SetValueFromANSI(const void* p) override;
    // Wide text (up to the terminator, or n bytes: n / 4 characters)
    // converted to the host's current code page, or to the given one.
    int SetValueFromUNICODE(const void* p) override;
    int SetValueFromUNICODE(const void* p, unsigned long n) override;
    int SetValueFromUNICODE_CP(int nCodePage, const void* p) override;
    int SetValueFromUNICODE_CP(int nCodePage, const void* p, unsigned long n) override;
};

// 28: CZLBIN.
class CAny_ZLBIN final : public CAny_Intern
{
public:
    constexpr CAny_ZLBIN() = default;

    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    // p is a CZLBIN*: it shares this block (nothing when it is this storage).
    int nFillBuffer(void* p) const override;
    // The bytes: their count, the block (null when empty), a copy.
    int nGetDataSize(unsigned long* pn) const override;
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    // p is a CZLBIN*: this value shares its block.
    int SetValue(const void* p) override;
    // n bytes (108, value unchanged, above 0x7FFFFEFF).
    int SetValue(const void* p, unsigned long n) override;
    // The bytes of a plain text (SetValue takes a binary value): strlen(p)
    // bytes, or the wide text's 4 bytes a character.
    int SetValueFromANSI(const void* p) override;
    int SetValueFromUNICODE(const void* p) override;
};
