#pragma once

// The five slots that open every interface the driver and the host exchange:
// the interface's own version, the oldest version it stays compatible with,
// the same two for the native-access framework, and one empty slot. The host
// reads them by position before anything else, so they stay slots 0 to 4 of
// every such interface. Answers are 32-bit: -1 and 0xFFFFFFFF are the same
// bits.
//
// No virtual destructor here nor in any interface built on it: g++ gives a
// virtual destructor two slots where it is declared, which would shift every
// slot after it. The destructors are protected and non-virtual; objects are
// destroyed through their own classes, which declare their destructors after
// the interface's slots.
class INAVersion
{
public:
    virtual int nGetVersion() const = 0;
    virtual int nGetCompatSince() const = 0;
    virtual int nGetNAVersion() const = 0;
    virtual int nGetNACompatSince() const = 0;
    virtual void NAVersion_EmptySlot_3() = 0;

protected:
    INAVersion() = default;
    INAVersion(const INAVersion&) = default;
    INAVersion& operator=(const INAVersion&) = default;
    ~INAVersion() = default;
};
