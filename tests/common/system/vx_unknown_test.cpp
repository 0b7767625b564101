#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/system/vx_unknown.h"

namespace {

class Probe : public CVXUnknown
{
public:
    explicit Probe(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
    ~Probe() override { ++*m_pDestroyed; }

private:
    int* m_pDestroyed;
};

TEST(VXUnknown, CountsFromZeroAndDeletesAtZero)
{
    int destroyed = 0;
    auto* p = new Probe(&destroyed);
    EXPECT_EQ(0u, p->dwGetRefCount());
    EXPECT_EQ(1u, p->dwAddRef());
    EXPECT_EQ(2u, p->dwAddRef());
    EXPECT_EQ(1u, p->dwRelease());
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(0u, p->dwRelease());
    EXPECT_EQ(1, destroyed);
}

TEST(VXUnknown, ConcurrentHoldersCountExactly)
{
    int destroyed = 0;
    auto* p = new Probe(&destroyed);
    p->dwAddRef();  // the creator's reference
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([p] {
            for (int i = 0; i < 20000; ++i) {
                p->dwAddRef();
                p->dwRelease();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(1u, p->dwGetRefCount());
    EXPECT_EQ(0, destroyed);
    p->dwRelease();
    EXPECT_EQ(1, destroyed);
}

}  // namespace
