// CRipThreadList: starting jobs up to the limit, counting, stopping and deleting them.
#include "rip/rip_thread_list.h"

#include "rip/rip_task.h"

CRipThreadList::CRipThreadList() : m_nMaxConcurrent(1) {}

CRipThreadList::~CRipThreadList()
{
    DeleteAll();
}

int CRipThreadList::AddTask(CRipTask* pTask)
{
    m_jobs.push_back(std::make_unique<CRipThread>(pTask));
    return GetCount() - 1;
}

int CRipThreadList::GetStatus(int n) const
{
    const CRipThread* pJob = GetThread(n);
    return pJob != nullptr ? pJob->GetState() : CRipThread::STATE_ERROR;
}

CRipTask* CRipThreadList::GetTask(int n) const
{
    const CRipThread* pJob = GetThread(n);
    return pJob != nullptr ? pJob->GetTask() : nullptr;
}

CRipThread* CRipThreadList::GetThread(int n) const
{
    if (n < 0 || n >= GetCount())
        return nullptr;
    return m_jobs[static_cast<size_t>(n)].get();
}

int CRipThreadList::CountByState(int nState) const
{
    int nCount = 0;
    for (const auto& pJob : m_jobs)
        if (pJob->GetState() == nState)
            ++nCount;
    return nCount;
}

int CRipThreadList::StartNext()
{
    if (GetRunningCount() >= m_nMaxConcurrent)
        return 0;
    for (const auto& pJob : m_jobs)
        if (pJob->GetState() == CRipThread::STATE_WAITING && pJob->Start())
            return 1;
    return 0;
}

int CRipThreadList::StopAll()
{
    for (const auto& pJob : m_jobs)
        if (pJob->IsActive())
            pJob->Stop();
    return GetCount();
}

void CRipThreadList::DeleteAll()
{
    while (!m_jobs.empty()) {
        std::unique_ptr<CRipThread> pJob = std::move(m_jobs.front());
        m_jobs.erase(m_jobs.begin());
        for (int nTry = 0; nTry < 10 && pJob->IsRunning(); ++nTry) {
            pJob->Stop();
            ::Sleep(100);
        }
        // A worker still running after that is waited for by the job's destructor: every
        // step of a worker is bounded, so the wait ends.
        pJob.reset();
    }
}
