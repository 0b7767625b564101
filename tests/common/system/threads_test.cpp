// Thread creation over POSIX threads.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "common/system/threads.h"

namespace {

std::atomic<int> gnRuns{0};

unsigned int AddAndAnswer(void* p)
{
    gnRuns += *static_cast<int*>(p);
    return 77;
}

void Plain(void* p)
{
    static_cast<std::atomic<int>*>(p)->store(1);
}

TEST(Threads, JoinableThreadsHandBackTheirResult)
{
    for (size_t nStack : {size_t{0}, size_t{1}, size_t{1} << 20})
    {
        int n = 5;
        unsigned long nId = 0;
        const uintptr_t h = _beginthreadex(nullptr, static_cast<unsigned>(nStack), AddAndAnswer, &n, 0, &nId);
        ASSERT_NE(0u, h) << "a refused stack size keeps the default: " << nStack;
        EXPECT_EQ(h, nId);
        void* pResult = nullptr;
        ASSERT_EQ(0, pthread_join(static_cast<pthread_t>(h), &pResult));
        EXPECT_EQ(77u, reinterpret_cast<uintptr_t>(pResult));

        const uintptr_t h2 = CreateThread(nullptr, nStack, AddAndAnswer, &n, 0, nullptr);
        ASSERT_NE(0u, h2);
        ASSERT_EQ(0, pthread_join(static_cast<pthread_t>(h2), nullptr));
    }
    EXPECT_EQ(30, gnRuns.load());
}

TEST(Threads, DetachedThreadRuns)
{
    std::atomic<int> nDone{0};
    const uintptr_t h = _beginthread(Plain, 0, &nDone);
    ASSERT_NE(static_cast<uintptr_t>(-1), h);
    while (nDone.load() == 0)
        sched_yield();
}

TEST(Threads, PriorityBeyondThePolicyIsRefused)
{
    const auto h = static_cast<uintptr_t>(pthread_self());
    EXPECT_EQ(1, SetThreadPriority(h, 0));
    errno = 0;
    EXPECT_EQ(0, SetThreadPriority(h, 5));
    EXPECT_EQ(EINVAL, errno);
}

}  // namespace
