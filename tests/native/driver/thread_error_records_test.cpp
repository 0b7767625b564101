// The host threads' records behind a shared error object: each thread
// records and reads its own error through the one object, also while other
// threads reset and fill theirs, and what it was handed stays as it was; a
// thread's entry resets its record only; the records of threads that end,
// and of a shared object that ends, are freed; without records (the module
// ended) the object holds the error itself, as for one thread.
#include <gtest/gtest.h>

#include <barrier>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "native/driver/error_object.h"
#include "native/driver/thread_error_records.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/support/test_environment.h"

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 200;

// A shared error object as the driver makes its own; released at the end.
class SharedError
{
public:
    SharedError()
    {
        m_pclError->AddRef();
        m_pclError->SetPerThread();
    }
    ~SharedError() { m_pclError->nRelease(); }
    SharedError(const SharedError&) = delete;
    SharedError& operator=(const SharedError&) = delete;

    CNAError& operator*() const { return *m_pclError; }
    CNAError* operator->() const { return m_pclError; }

private:
    CNAError* m_pclError = new CNAError;
};

std::wstring Marker(int nThread, int nRound)
{
    return L"<t" + std::to_wstring(nThread) + L"r" + std::to_wstring(nRound) + L">";
}

// Runs the body on threads of their own, all starting together, and waits
// for them to end.
template <class F>
void RunThreads(int nThreads, F body)
{
    std::vector<std::thread> threads;
    for (int n = 0; n < nThreads; ++n)
        threads.emplace_back(body, n);
    for (std::thread& thread : threads)
        thread.join();
}

class ThreadErrorRecords : public ::testing::Test
{
protected:
    void SetUp() override { StartTestDriverModule(); }
};

TEST_F(ThreadErrorRecords, EachThreadReadsItsOwnErrorThroughTheSharedObject)
{
    SharedError shared;
    shared->AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"main");
    // Each round, every thread has recorded before any resets again: what it
    // read is still there after the others' resets and records.
    std::barrier recorded(kThreads);
    std::vector<std::string> failures(kThreads);
    RunThreads(kThreads, [&](int n) {
        const eNA_ERRORTYPE eType = n % 2 ? NA_ERR_DUPLICATE_KEY : NA_ERR_LOCK_TIMEOUT;
        auto fail = [&](int nRound, const char* pszWhat) {
            if (failures[n].empty())
                failures[n] = "round " + std::to_string(nRound) + ": " + pszWhat;
        };
        for (int nRound = 0; nRound < kRounds; ++nRound) {
            shared->Reset();
            if (shared->eGetErrorType() != NA_ERR_NONE || shared->dwGetErrorId() != 0)
                fail(nRound, "not reset");
            const std::wstring sMarker = Marker(n, nRound);
            shared->AddError(eType, 5, 4, nullptr, 14, sMarker.c_str());
            shared->AddDebugMessageNoFormat(L"a later note");
            const wchar_t* pszText = shared->pszGetError();
            const std::wstring sText = pszText;
            CXError* pclError = shared->pclGetXError();
            recorded.arrive_and_wait();
            recorded.arrive_and_wait();
            if (sText.find(sMarker) == std::wstring::npos || sText.find(L"<main>") != std::wstring::npos)
                fail(nRound, "another's error");
            if (std::wstring(pszText) != sText || pclError != shared->pclGetXError() ||
                pclError->nGetUserErrorCode() != 14)
                fail(nRound, "what was handed out changed");
            if (shared->eGetErrorType() != eType || shared->dwGetErrorId() != 14)
                fail(nRound, "another's type or id");
        }
    });
    for (int n = 0; n < kThreads; ++n)
        EXPECT_EQ("", failures[n]) << "thread " << n;
    EXPECT_EQ(NA_ERR_GENERAL, shared->eGetErrorType());
    EXPECT_NE(std::wstring::npos, std::wstring(shared->pszGetError()).find(L"<main>"));
}

TEST_F(ThreadErrorRecords, CopyFromTheSharedObjectToItselfKeepsTheRecord)
{
    SharedError shared;
    shared->AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"kept");
    shared->Copy(&*shared);
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, shared->eGetErrorType());
    EXPECT_EQ(14u, shared->dwGetErrorId());
    // Another object takes the calling thread's error.
    CNAError other;
    other.Copy(&*shared);
    EXPECT_EQ(NA_ERR_DUPLICATE_KEY, other.eGetErrorType());
    EXPECT_NE(std::wstring::npos, std::wstring(other.pszGetError()).find(L"<kept>"));
}

TEST_F(ThreadErrorRecords, RecordsOfEndedThreadsAndOfAnEndedObjectAreFreed)
{
    const unsigned nBefore = CNAThreadErrorRecords::g_nRecords();
    {
        SharedError first;
        std::optional<SharedError> second;
        second.emplace();
        first->Reset();
        EXPECT_EQ(nBefore + 1, CNAThreadErrorRecords::g_nRecords()) << "this thread's record of the first";
        // Threads come and go, each with a record of both objects.
        for (int nWave = 0; nWave < 5; ++nWave) {
            std::barrier allThere(kThreads + 1);
            std::vector<std::thread> threads;
            for (int n = 0; n < kThreads; ++n)
                threads.emplace_back([&] {
                    first->AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"first");
                    (*second)->SetErrorType(NA_ERR_GENERAL);
                    allThere.arrive_and_wait();
                    allThere.arrive_and_wait();
                });
            allThere.arrive_and_wait();
            EXPECT_EQ(nBefore + 1 + 2 * kThreads, CNAThreadErrorRecords::g_nRecords()) << "wave " << nWave;
            allThere.arrive_and_wait();
            for (std::thread& thread : threads)
                thread.join();
            EXPECT_EQ(nBefore + 1, CNAThreadErrorRecords::g_nRecords()) << "after wave " << nWave;
        }
        // A record left by a thread that is still there goes with the object.
        std::barrier ended(2);
        std::thread stays([&] {
            (*second)->Reset();
            ended.arrive_and_wait();
            ended.arrive_and_wait();
        });
        ended.arrive_and_wait();
        EXPECT_EQ(nBefore + 2, CNAThreadErrorRecords::g_nRecords());
        second.reset();
        EXPECT_EQ(nBefore + 1, CNAThreadErrorRecords::g_nRecords()) << "the ended object's records";
        ended.arrive_and_wait();
        stays.join();
    }
    EXPECT_EQ(nBefore, CNAThreadErrorRecords::g_nRecords());
}

// Last: the module's end frees every record; the objects that live on hold
// their error themselves from then on.
TEST_F(ThreadErrorRecords, WithoutRecordsTheObjectHoldsTheErrorItself)
{
    SharedError shared;
    shared->AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"record");
    EXPECT_LT(0u, CNAThreadErrorRecords::g_nRecords());
    CNAThreadErrorRecords::g_End();
    EXPECT_EQ(0u, CNAThreadErrorRecords::g_nRecords());
    EXPECT_EQ(NA_ERR_NONE, shared->eGetErrorType()) << "the record went with the module";
    shared->AddError(NA_ERR_LOCK_TIMEOUT, 5, 4, nullptr, 14, L"itself");
    std::thread([&] { shared->Reset(); }).join();
    EXPECT_EQ(0u, CNAThreadErrorRecords::g_nRecords());
    EXPECT_EQ(NA_ERR_NONE, shared->eGetErrorType()) << "one error for every thread again";
    CNAThreadErrorRecords::g_Start();
}

}  // namespace
