#pragma once

// The stand-in machine's decimal number and its factory.
#include "common/text/decimal_interface.h"
#include "tests/host/module/vm_numbers.h"

namespace standin_vm {

class Decimal final : public IDecimal
{
public:
    void vGetBytes18(unsigned char* pby18) const override;
    int vnSetBytes(const unsigned char* p, unsigned long n) override;
    void vCopy(const IDecimal* pSrc) override;
    int vbIsNegative() const override;
    int vnGetPrecision() const override;
    int vnGetScale() const override;
    int vnSetPrecisionScale(int nPrecision, int nScale) override;
    int vnGetPacked(unsigned char* p, unsigned long nCapacity, unsigned long* pnSize) const override;
    int vnSetPacked(const unsigned char* p, unsigned long n, int nPrecision, int nScale) override;
    void vSetMin() override;
    void vSetMax() override;
    void vWriteKey(unsigned char* pbyKey) const override;

    // Sets an exact value; false (nothing changed) when it does not fit.
    bool Set(Int128 unscaled, int precision, int scale);
    Int128 Unscaled() const { return m_value; }

    ~Decimal() = default;

private:
    Int128 m_value = 0;
    int m_precision = 1;
    int m_scale = 0;
};

// The factory's object, and a new decimal from it (null when it cannot be
// had; the creation failures armed by the controls apply).
IVMFactory* Factory();
Decimal* NewDecimal();

}  // namespace standin_vm
