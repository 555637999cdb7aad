// CThread: start argument, stop with and without waiting, exceptions in Run, restart, teardown.
#include "foundation/util/thread.h"

#include "framework/core.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace
{

// Loops until asked to stop, then optionally blocks on a gate before returning.
class CLoopThread : public CThread
{
public:
    ~CLoopThread() override { Stop(TRUE); }

    std::atomic<LPVOID> seenArg{nullptr};
    std::atomic<int> turns{0};
    std::atomic<bool> returned{false};
    HANDLE hGate = nullptr;

protected:
    void Run(LPVOID arg) override
    {
        seenArg = arg;
        while (IsRunning()) {
            ++turns;
            ::Sleep(0);
        }
        if (hGate != nullptr)
            ::WaitForSingleObject(hGate, INFINITE);
        returned = true;
    }
};

// Does a fixed amount of work (the start argument) and ends by itself.
class CCountThread : public CThread
{
public:
    ~CCountThread() override { Stop(TRUE); }
    std::atomic<int> total{0};

protected:
    void Run(LPVOID arg) override
    {
        const int n = static_cast<int>(reinterpret_cast<INT_PTR>(arg));
        for (int i = 0; i < n && IsRunning(); ++i)
            ++total;
    }
};

class CThrowThread : public CThread
{
public:
    ~CThrowThread() override { Stop(TRUE); }
    int kind = 0;

protected:
    void Run(LPVOID) override
    {
        switch (kind) {
        case 0:
            throw std::runtime_error("boom");
        case 1:
            throw 42;
        default:
            AfxThrowFileException(CFileException::diskFull);
        }
    }
};

} // namespace

TEST(Thread, StopOnANeverStartedObjectReturnsAtOnce)
{
    CLoopThread t;
    t.Stop(TRUE);
    t.Stop(FALSE);
    t.WaitForThread();
    EXPECT_FALSE(t.HasThread());
    EXPECT_FALSE(t.IsRunning());
}

TEST(Thread, StopWithWaitReturnsOnlyAfterRunReturned)
{
    // Many rounds: some stops land before the worker has even begun.
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        CLoopThread t;
        t.Start(reinterpret_cast<LPVOID>(static_cast<INT_PTR>(round + 1)));
        EXPECT_TRUE(t.HasThread());
        t.Stop(TRUE);
        ASSERT_TRUE(t.returned.load());
        EXPECT_FALSE(t.HasThread());
        EXPECT_FALSE(t.IsRunning());
        EXPECT_EQ(t.GetThreadId(), 0u);
        EXPECT_EQ(t.seenArg.load(), reinterpret_cast<LPVOID>(static_cast<INT_PTR>(round + 1)));
    }
}

TEST(Thread, StopWithoutWaitOnlyAsks)
{
    CLoopThread t;
    t.hGate = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    t.Start(nullptr);
    t.Start(reinterpret_cast<LPVOID>(7)); // one worker at a time: ignored
    t.Stop(FALSE); // would hang here if it waited: the worker is held at the gate
    EXPECT_FALSE(t.IsRunning());
    EXPECT_FALSE(t.returned.load());
    ::SetEvent(t.hGate);
    t.WaitForThread();
    EXPECT_TRUE(t.returned.load());
    EXPECT_FALSE(t.HasThread());
    EXPECT_EQ(t.seenArg.load(), nullptr);
    ::CloseHandle(t.hGate);
}

TEST(Thread, ExceptionsFromRunEndTheWorkerQuietly)
{
    const char* const kinds[] = {"std exception", "plain value", "framework exception"};
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kinds[kind]);
        CThrowThread t;
        t.kind = kind;
        t.Start(nullptr);
        t.WaitForThread();
        EXPECT_FALSE(t.IsRunning());
        EXPECT_FALSE(t.HasThread());
    }
}

TEST(Thread, RestartsAfterTheWorkerEndedByItself)
{
    CCountThread t;
    t.Start(reinterpret_cast<LPVOID>(1000));
    t.WaitForThread();
    EXPECT_FALSE(t.HasThread());
    EXPECT_EQ(t.total.load(), 1000);
    t.Start(reinterpret_cast<LPVOID>(234));
    t.Stop(TRUE);
    EXPECT_LE(t.total.load(), 1234);
    t.Start(reinterpret_cast<LPVOID>(1));
    t.WaitForThread();
    EXPECT_GE(t.total.load(), 1001);
}

TEST(Thread, DestroyingTheOwnerStopsAndWaitsForTheWorker)
{
    // No destructor of its own: the base's destructor alone must stop and wait.
    struct Shared {
        std::atomic<bool> started{false};
        std::atomic<bool> returned{false};
    };
    class CBareThread : public CThread
    {
    protected:
        void Run(LPVOID arg) override
        {
            auto* shared = static_cast<Shared*>(arg);
            shared->started = true;
            while (IsRunning())
                ::Sleep(1);
            ::Sleep(20); // still inside Run when the owner's destructor begins waiting
            shared->returned = true;
        }
    };
    Shared shared;
    auto* t = new CBareThread;
    t->Start(&shared);
    while (!shared.started.load())
        ::Sleep(1);
    delete t;
    EXPECT_TRUE(shared.returned.load());
}
