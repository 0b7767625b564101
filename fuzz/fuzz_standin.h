#pragma once

// What the driver's fuzz targets share: reading a fuzz input as bytes,
// words and blocks, and the stand-in host's string allocator and virtual
// machine started once per process, as the tests load them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/system/information.h"
#include "common/text/vm_binding.h"
#include "tests/host/kit/standin_str_mem_alloc.h"
#include "tests/host/module/standin_vm_loader.h"

namespace vxfuzz {

class Input
{
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool bEmpty() const { return m_at >= m_size; }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    // A heap block of exactly n bytes, from the input (zeros past its end).
    std::vector<uint8_t> Block(size_t n)
    {
        std::vector<uint8_t> block(n, 0);
        for (size_t i = 0; i < n && m_at < m_size; ++i) block[i] = m_data[m_at++];
        return block;
    }
    // The input's next bytes, at most n (fewer at its end).
    std::string Bytes(size_t n)
    {
        const size_t k = std::min(n, m_size - std::min(m_at, m_size));
        std::string s(reinterpret_cast<const char*>(m_data + m_at), k);
        m_at += k;
        return s;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The stand-in host's string allocator and virtual machine, once.
inline void StartHost()
{
    static StandinStrMemAlloc allocator;
    static StandinHostModule host(VX_STANDIN_HOST_PATH);
    static bool started = false;
    if (started)
        return;
    started = true;
    CInformationModule::ms_piStrMemAlloc = &allocator;
    if (!host.IsLoaded() || bInitZLConvFromVM(host.Handle(), 2, 2) != 1)
        std::abort();
    StandinVm(host).SetAllocator(&allocator);
}

}  // namespace vxfuzz
