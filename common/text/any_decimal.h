#pragma once

#include "common/text/any_intern.h"

class IDecimal;

// 13: a decimal object of the virtual machine, made and released by its
// factory (vm_binding.h), owned by the value through the pointer in its
// storage. Storage form: the pointer; data form: the object's 18-byte form
// (no data address: 105).
class CAny_ZLDECIMAL final : public CAny_Intern
{
public:
    constexpr CAny_ZLDECIMAL() = default;

    // The factory releases the object.
    void vDetruitSupprime() override;
    void vDetruit() override;
    void Duplique(CAny* pTarget) const override;
    int nGetSize(unsigned long* pn) const override { return s_nTaille(pn, sizeof(void*)); }
    int nGetAdr(void** pp) const override { return s_nAdresseValeur(this, pp); }
    // Copies the object pointer.
    int nFillBuffer(void* p) const override { return s_nCopieValeur(this, p, sizeof(void*)); }
    int nGetDataSize(unsigned long* pn) const override { return s_nTaille(pn, 18); }
    int nGetDataAdr(void** pp) const override;
    int nFillDataBuffer(void* p) const override;
    // p is a decimal object: this one becomes its copy.
    int SetValue(const void* p) override;
    // The object takes its value from n bytes (its 18-byte form).
    int SetValue(const void* p, unsigned long n) override;
    int bIsPositive() const override;

    // The value's decimal object (null for another type or none).
    static IDecimal* s_pclGetDecimal(const CAny& v);
};
