#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

#include "common/system/xmalloc.h"

namespace vxtest {

// Makes the library's heap wrappers (XMALLOC_) fail on demand while it lives.
// Only one may exist at a time.
class XmallocFailures
{
public:
    XmallocFailures()
    {
        s_pActive = this;
        XMALLOC_SetFailureHook(&Hook);
    }
    ~XmallocFailures()
    {
        XMALLOC_SetFailureHook(nullptr);
        s_pActive = nullptr;
    }
    XmallocFailures(const XmallocFailures&) = delete;
    XmallocFailures& operator=(const XmallocFailures&) = delete;

    // The n-th allocation from now fails (1 = the next one); 0 disarms.
    void FailNth(int n) { m_nth = n; }
    // Every allocation fails while on.
    void FailAll(bool on) { m_all = on; }
    // Each allocation fails with probability p (deterministic for a seed).
    void FailRandomly(double p, uint32_t seed)
    {
        m_p = p;
        m_rng.seed(seed);
    }
    int Calls() const { return m_calls; }
    int Failures() const { return m_failures; }

private:
    static bool Hook(size_t)
    {
        XmallocFailures& self = *s_pActive;
        ++self.m_calls;
        bool fail = self.m_all;
        if (self.m_nth > 0 && --self.m_nth == 0) fail = true;
        if (self.m_p > 0 && std::uniform_real_distribution<double>(0, 1)(self.m_rng) < self.m_p) fail = true;
        if (fail) ++self.m_failures;
        return fail;
    }

    static inline XmallocFailures* s_pActive = nullptr;
    int m_nth = 0;
    bool m_all = false;
    double m_p = 0;
    std::mt19937 m_rng;
    int m_calls = 0;
    int m_failures = 0;
};

}  // namespace vxtest
