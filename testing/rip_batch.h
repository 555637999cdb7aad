// Runs a batch as the progress window does, for tests: start the next waiting job each tick
// while any job waits or runs.
#pragma once

#include "rip/rip_thread_list.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

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

//! A fresh folder under the temporary folder; its files and itself are removed at the end.
class ScratchFolder
{
public:
    explicit ScratchFolder(const char* tag = "rip")
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        char name[96];
        std::snprintf(name, sizeof name, "%s_%lu_%lu", tag, ::GetCurrentProcessId(),
                      ::GetTickCount());
        m_path = std::string(temp) + name;
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((m_path + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                ::DeleteFileA((m_path + "\\" + fd.cFileName).c_str());
            } while (::FindNextFileA(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryA(m_path.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

} // namespace testing_rip
