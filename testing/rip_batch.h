// Runs a batch as the progress window does, for tests: start the next waiting job each tick
// while any job waits or runs.
#pragma once

#include "rip/rip_thread_list.h"
#include "testing/scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>


namespace testing_rip {

//! Ticks every 10 ms, for at most a minute. With `limit` above 0, checks on every tick that no
//! more jobs run than that. Fails the test when the batch does not end.
inline void RunBatch(CRipThreadList& batch, int limit = 0)
{
    for (int tick = 0; tick < 6000 && batch.GetActiveCount() > 0; ++tick) {
        if (limit > 0) {
            ASSERT_LE(batch.GetRunningCount(), limit);
        }
        if (batch.GetWaitingCount() > 0)
            batch.StartNext();
        ::Sleep(10);
    }
    ASSERT_EQ(batch.GetActiveCount(), 0) << "the batch did not end";
}

//! A fresh folder under the temporary folder, removed with its tree.
using testing_files::ScratchFolder;

} // namespace testing_rip
