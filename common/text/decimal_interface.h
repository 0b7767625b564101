#pragma once

#include <cstddef>
#include <cstdint>

// The virtual machine's decimal number and the object factory that makes
// it, as the library and the virtual machine exchange them. The machine owns
// both; the library reaches the factory through the machine's "pQueryProxy"
// (asked once with VM_PROXY_FACTORY) and holds decimal objects only through
// runtime values of type 13. Header only: the stand-in virtual machine of the
// tests implements it without linking anything of the library.
//
// A decimal is a signed unscaled integer of at most 38 digits with a
// precision (1 to 38 digits in all) and a scale (0 to precision digits after
// the point): 12.345 is 12345 with scale 3.
//
// Forms exchanged as bytes (all little-endian two's complement):
// - the 18-byte form: bytes 0-15 the unscaled value in 128 bits, byte 16 the
//   precision, byte 17 the scale;
// - the packed form: the unscaled value in IDecimal::mg_PToN[precision]
//   bytes;
// - the key: DECIMAL_KEY_SIZE bytes whose memcmp order is the value order
//   among decimals of one precision and scale.
//
// Results are 0 on success and 100 or more on failure; a failing operation
// leaves the object as it was.

constexpr int VM_PROXY_FACTORY = 102;
constexpr size_t DECIMAL_FORM_SIZE = 18;
constexpr size_t DECIMAL_KEY_SIZE = 32;
constexpr int DECIMAL_MAX_PRECISION = 38;

class IDecimal
{
public:
    // Bytes of the packed form by number of digits (0 to 38): the fewest
    // bytes that hold every signed value of that many digits.
    static constexpr unsigned char mg_PToN[DECIMAL_MAX_PRECISION + 1] = {
        0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 6, 7, 7, 8, 8, 9,
        9, 9, 10, 10, 11, 11, 11, 12, 12, 13, 13, 13, 14, 14, 15, 15, 16, 16, 16};

    // The machine's own first four operations, in this order.
    // 1. Writes the 18-byte form into the buffer.
    virtual void vGetBytes18(unsigned char* pby18) const = 0;
    // 2. Takes the value from n bytes: the 18-byte form (n must be 18).
    virtual int vnSetBytes(const unsigned char* p, unsigned long n) = 0;
    // 3. Becomes a copy of another decimal (null leaves it unchanged).
    virtual void vCopy(const IDecimal* pSrc) = 0;
    // 4. Non-zero when the value is below zero.
    virtual int vbIsNegative() const = 0;

    // The operations the driver adds, in this order.
    // 5, 6. Precision and scale.
    virtual int vnGetPrecision() const = 0;
    virtual int vnGetScale() const = 0;
    // 7. Brings the value to a precision and scale: a smaller scale rounds
    // half away from zero; fails when the integer digits do not fit or the
    // pair is out of range.
    virtual int vnSetPrecisionScale(int nPrecision, int nScale) = 0;
    // 8. Writes the packed form (mg_PToN[precision] bytes) into a buffer of
    // nCapacity bytes and gives its size; fails when the buffer is smaller.
    virtual int vnGetPacked(unsigned char* p, unsigned long nCapacity, unsigned long* pnSize) const = 0;
    // 9. Loads the packed form of that precision and scale (n must be
    // mg_PToN[precision]); fails when the value has more digits.
    virtual int vnSetPacked(const unsigned char* p, unsigned long n, int nPrecision, int nScale) = 0;
    // 10, 11. The smallest and the largest value of the precision and scale.
    virtual void vSetMin() = 0;
    virtual void vSetMax() = 0;
    // 12. Writes the DECIMAL_KEY_SIZE-byte key.
    virtual void vWriteKey(unsigned char* pbyKey) const = 0;

protected:
    // Released through the factory only.
    ~IDecimal() = default;
};

// The object factory that "pQueryProxy" hands out.
class IVMFactory
{
public:
    // 1. A new decimal (0 with precision 1 and scale 0); the argument is 0.
    // May throw when the machine runs out of memory.
    virtual IDecimal* vpclCreateDecimal(int nArg) = 0;
    // 2. Releases a decimal of this factory; null is harmless.
    virtual void vReleaseDecimal(IDecimal* p) = 0;

protected:
    ~IVMFactory() = default;
};
