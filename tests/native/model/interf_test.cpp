#include <gtest/gtest.h>

#include "native/model/interf.h"

namespace {

class Counted : public CInterf
{
public:
    explicit Counted(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
    ~Counted() override { ++*m_pDestroyed; }

private:
    int* m_pDestroyed;
};

TEST(Interf, ReleaseRules)
{
    struct Case { uint32_t count, hold; unsigned result; bool destroyed; };
    const Case cases[] = {
        {0, 0, 0, false},  // already 0: nothing
        {1, 0, 0, true},
        {1, 1, 0, false},  // held: survives
        {3, 0, 2, false},
    };
    for (const Case& c : cases) {
        int destroyed = 0;
        auto* p = new Counted(&destroyed);
        p->m_dwRefCount = c.count;
        p->m_dwHoldCount = c.hold;
        EXPECT_EQ(c.result, p->nRelease());
        EXPECT_EQ(c.destroyed ? 1 : 0, destroyed);
        if (!c.destroyed) delete p;
    }
}

TEST(Interf, HooksCountPlainly)
{
    int destroyed = 0;
    auto* p = new Counted(&destroyed);
    REF_AddRef(p);
    REF_AddRef(p);
    EXPECT_EQ(2u, p->m_dwRefCount);
    EXPECT_EQ(0, p->_NotToBeCalled());
    REF_Release(p);
    EXPECT_EQ(0, destroyed);
    REF_Release(p);
    EXPECT_EQ(1, destroyed);
}

}  // namespace
