// The mutex: ownership, recursion, time-outs and exclusion, for the in-process lock and the
// named kernel mutex alike.
#include "framework/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace
{

// Runs f on another thread and returns its result.
template <typename F>
auto OnOtherThread(F f)
{
    decltype(f()) result{};
    std::thread([&] { result = f(); }).join();
    return result;
}

std::unique_ptr<CMutex> MakeMutex(bool named)
{
    return named ? std::make_unique<CMutex>(FALSE, "sonoria_test_sync_mutex")
                 : std::make_unique<CMutex>();
}

class Mutex : public ::testing::TestWithParam<bool>
{
};

} // namespace

TEST_P(Mutex, OwnerLocksAgainAndOthersWaitUntilTheLastUnlock)
{
    auto m = MakeMutex(GetParam());
    ASSERT_TRUE(m->Lock(0));
    ASSERT_TRUE(m->Lock(0));
    EXPECT_FALSE(OnOtherThread([&] { return m->Unlock(); })); // not its owner
    EXPECT_FALSE(OnOtherThread([&] { return m->Lock(0); }));
    ASSERT_TRUE(m->Unlock());
    EXPECT_FALSE(OnOtherThread([&] { return m->Lock(0); })); // still held once
    ASSERT_TRUE(m->Unlock());
    EXPECT_FALSE(m->Unlock()); // no longer owned
    EXPECT_TRUE(OnOtherThread([&] {
        const BOOL got = m->Lock(0);
        return got && m->Unlock();
    }));
}

TEST_P(Mutex, AWaitEndsAtItsTimeOutOrWhenTheOwnerReleases)
{
    auto m = MakeMutex(GetParam());
    ASSERT_TRUE(m->Lock());
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(OnOtherThread([&] { return m->Lock(60); }));
    EXPECT_GE(::GetTickCount() - start, 50u);

    std::atomic<int> got{-1};
    std::thread waiter([&] {
        got = m->Lock(20000);
        if (got)
            m->Unlock();
    });
    ::Sleep(50);
    EXPECT_EQ(got.load(), -1); // still waiting while we own it
    ASSERT_TRUE(m->Unlock());
    waiter.join();
    EXPECT_EQ(got.load(), TRUE);
}

TEST_P(Mutex, ExcludesContendingThreads)
{
    auto m = MakeMutex(GetParam());
    long counter = 0; // guarded by the mutex only
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                CSingleLock lock(m.get());
                if (!lock.Lock(10000)) {
                    ++failures;
                    continue;
                }
                const long seen = counter;
                if (i % 97 == 0)
                    ::Sleep(0); // let the others pile up as waiters
                counter = seen + 1;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(counter, 8 * 5000);
}

INSTANTIATE_TEST_SUITE_P(Sync, Mutex, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Named" : "Unnamed"; });

TEST(Mutex, InitiallyOwnedBelongsToItsCreator)
{
    CMutex m(TRUE);
    EXPECT_FALSE(OnOtherThread([&] { return m.Lock(0); }));
    EXPECT_TRUE(m.Unlock());
    EXPECT_TRUE(OnOtherThread([&] {
        const BOOL got = m.Lock(0);
        return got && m.Unlock();
    }));
}
