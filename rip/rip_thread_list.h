// CRipThreadList: the batch of jobs of one rip or conversion command.
#pragma once

#include "rip/rip_thread.h"

#include <memory>
#include <vector>

class CRipTask;

// Driven only by the user-interface thread (the progress window's timer): it starts jobs up to
// the concurrency limit, counts them by state, stops them and deletes them.
class CRipThreadList
{
public:
    CRipThreadList();
    virtual ~CRipThreadList();
    CRipThreadList(const CRipThreadList&) = delete;
    CRipThreadList& operator=(const CRipThreadList&) = delete;

    // The greatest number of jobs running at once (1 at construction).
    void SetMaxConcurrent(int n) { m_nMaxConcurrent = n; }
    // The new job takes the task over. Returns its index.
    int AddTask(CRipTask* pTask);
    int GetCount() const { return static_cast<int>(m_jobs.size()); }
    // The state of job n; the error state for an index out of range.
    int GetStatus(int n) const;
    // Null for an index out of range.
    CRipTask* GetTask(int n) const;
    CRipThread* GetThread(int n) const;

    int CountByState(int nState) const;
    int GetWaitingCount() const { return CountByState(CRipThread::STATE_WAITING); }
    int GetRunningCount() const { return CountByState(CRipThread::STATE_RUNNING); }
    int GetErrorCount() const { return CountByState(CRipThread::STATE_ERROR); }
    int GetDoneCount() const { return CountByState(CRipThread::STATE_DONE); }
    int GetActiveCount() const { return GetWaitingCount() + GetRunningCount(); }

    // Starts the first waiting job that starts, while fewer than the limit run: 1, else 0.
    int StartNext();
    // Stops every waiting or running job; returns the number of jobs.
    int StopAll();
    // Stops and deletes every job; a running job is deleted only after its worker ended.
    void DeleteAll();

private:
    std::vector<std::unique_ptr<CRipThread>> m_jobs;
    int m_nMaxConcurrent;
};
