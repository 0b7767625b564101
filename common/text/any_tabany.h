#pragma once

#include "common/text/any_intern.h"

// 83: an array of values owned by the value (STTabAny in the storage). The
// array is a malloc block of constructed elements; ending the value ends
// each element in order and frees the block. Storage form: the array
// pointer (nGetSize 8); data and useful sizes: the element count, data
// address: the array; data and useful fills: 105.
class CAny_ZLTABANY final : public CAny_Intern
{
public:
    constexpr CAny_ZLTABANY() = default;

    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, sizeof(void*)); }
    int nGetDataSize(unsigned long* pn) const override;
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    int nFillUtilDataBuffer(void* p) const override;
    // p is a CAny: an array of one copy of it (null: no array).
    int SetValue(const void* p) override;
    // p is an array of n values: an array of copies (null or 0: no array).
    // The array held before is ended after the copies are made; 100, the
    // value unchanged, when memory runs out.
    int SetValue(const void* p, unsigned long n) override;

    // Makes pValue a value of type 83 that takes over the array as it is
    // (nothing copied; the array must be one the value may free, as from
    // s_pclNewTab); an array held before is ended first. Flags cleared.
    static void s_SetDirect(CAny* pValue, const STTabAny& tab);
    // An array of n empty values for s_SetDirect; null for 0 or when memory
    // runs out.
    static CAny* s_pclNewTab(uint64_t n);
    // Ends n elements in order and frees the array.
    static void s_FreeTab(CAny* pTab, uint64_t n);
};
