// The stand-in machine's decimals: a signed 128-bit unscaled value with a
// precision and a scale, made and released by the factory that
// "pQueryProxy"(102) hands out.
#include "tests/host/module/vm_decimal.h"

#include <atomic>
#include <cstring>
#include <new>

#include "tests/host/module/host_controls.h"
#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_state.h"

namespace standin_vm {
namespace {

std::atomic<long> gLive{0};
std::atomic<int> gThrowNext{0};
std::atomic<int> gNullNext{0};

bool Valid(Int128 v, int precision, int scale)
{
    return precision >= 1 && precision <= DECIMAL_MAX_PRECISION && scale >= 0 && scale <= precision &&
           Abs(v) < Pow10(precision);
}

// Takes one armed failure, if any.
bool Take(std::atomic<int>& armed)
{
    int n = armed.load();
    while (n > 0)
        if (armed.compare_exchange_weak(n, n - 1))
            return true;
    return false;
}

class FactoryImpl final : public IVMFactory
{
public:
    IDecimal* vpclCreateDecimal(int) override
    {
        if (Take(gThrowNext))
            throw std::bad_alloc();
        if (Take(gNullNext))
            return nullptr;
        return NewDecimal();
    }
    void vReleaseDecimal(IDecimal* p) override
    {
        if (p == nullptr)
            return;
        delete static_cast<Decimal*>(p);
        gLive.fetch_sub(1);
    }
};

FactoryImpl gFactory;

}  // namespace

IVMFactory* Factory() { return &gFactory; }

Decimal* NewDecimal()
{
    Decimal* p = new (std::nothrow) Decimal();
    if (p != nullptr)
        gLive.fetch_add(1);
    return p;
}

bool Decimal::Set(Int128 unscaled, int precision, int scale)
{
    if (!Valid(unscaled, precision, scale))
        return false;
    m_value = unscaled;
    m_precision = precision;
    m_scale = scale;
    return true;
}

void Decimal::vGetBytes18(unsigned char* pby18) const
{
    std::memcpy(pby18, &m_value, 16);
    pby18[16] = static_cast<unsigned char>(m_precision);
    pby18[17] = static_cast<unsigned char>(m_scale);
}

int Decimal::vnSetBytes(const unsigned char* p, unsigned long n)
{
    if (p == nullptr || n != DECIMAL_FORM_SIZE)
        return kStandinVmErrType;
    Int128 v;
    std::memcpy(&v, p, 16);
    return Set(v, p[16], p[17]) ? 0 : kStandinVmErrOverflow;
}

void Decimal::vCopy(const IDecimal* pSrc)
{
    if (pSrc == nullptr || pSrc == this)
        return;
    const Decimal* src = static_cast<const Decimal*>(pSrc);
    m_value = src->m_value;
    m_precision = src->m_precision;
    m_scale = src->m_scale;
}

int Decimal::vbIsNegative() const { return m_value < 0 ? 1 : 0; }
int Decimal::vnGetPrecision() const { return m_precision; }
int Decimal::vnGetScale() const { return m_scale; }

int Decimal::vnSetPrecisionScale(int nPrecision, int nScale)
{
    if (nPrecision < 1 || nPrecision > DECIMAL_MAX_PRECISION || nScale < 0 || nScale > nPrecision)
        return kStandinVmErrType;
    Int128 v;
    if (!Rescale(m_value, m_scale, nScale, &v) || !Set(v, nPrecision, nScale))
        return kStandinVmErrOverflow;
    return 0;
}

int Decimal::vnGetPacked(unsigned char* p, unsigned long nCapacity, unsigned long* pnSize) const
{
    const unsigned long n = mg_PToN[m_precision];
    if (p == nullptr || nCapacity < n)
        return kStandinVmErrOverflow;
    std::memcpy(p, &m_value, n);
    if (pnSize != nullptr)
        *pnSize = n;
    return 0;
}

int Decimal::vnSetPacked(const unsigned char* p, unsigned long n, int nPrecision, int nScale)
{
    if (p == nullptr || nPrecision < 1 || nPrecision > DECIMAL_MAX_PRECISION || n != mg_PToN[nPrecision])
        return kStandinVmErrType;
    unsigned char bytes[16];
    std::memset(bytes, (p[n - 1] & 0x80) ? 0xFF : 0, sizeof bytes);
    std::memcpy(bytes, p, n);
    Int128 v;
    std::memcpy(&v, bytes, sizeof v);
    return Set(v, nPrecision, nScale) ? 0 : kStandinVmErrOverflow;
}

void Decimal::vSetMin() { m_value = -(Pow10(m_precision) - 1); }
void Decimal::vSetMax() { m_value = Pow10(m_precision) - 1; }

// The value big-endian with its sign bit flipped orders as the value.
void Decimal::vWriteKey(unsigned char* pbyKey) const
{
    std::memset(pbyKey, 0, DECIMAL_KEY_SIZE);
    unsigned __int128 u = static_cast<unsigned __int128>(m_value) ^ (static_cast<unsigned __int128>(1) << 127);
    for (int i = 15; i >= 0; --i) {
        pbyKey[i] = static_cast<unsigned char>(u & 0xFF);
        u >>= 8;
    }
}

}  // namespace standin_vm

extern "C" {

#ifndef STANDIN_VM_WITHOUT_QUERY_PROXY
STANDIN_HOST_API void* pQueryProxy(int nId)
{
    (void)standin_vm::NoteCall(kStandinVmQueryProxy);
    return nId == VM_PROXY_FACTORY ? standin_vm::Factory() : nullptr;
}
#endif

STANDIN_HOST_API long standin_vm_live_decimals() { return standin_vm::gLive.load(); }

STANDIN_HOST_API void standin_vm_factory_throw(int n) { standin_vm::gThrowNext = n; }

STANDIN_HOST_API void standin_vm_factory_null(int n) { standin_vm::gNullNext = n; }

void standin_vm_factory_reset()
{
    standin_vm::gThrowNext = 0;
    standin_vm::gNullNext = 0;
}

}  // extern "C"
