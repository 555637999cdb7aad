// CThread: worker start, stop request, wait and the worker procedure.
#include "foundation/util/thread.h"

#include "framework/core.h"

#include <process.h>

CThread::CThread()
    : m_bKeepRunning(false), m_hWorker(nullptr), m_bHasThread(false), m_start{this, nullptr},
      m_hThread(nullptr), m_dwThreadId(0)
{
}

CThread::~CThread()
{
    Stop(TRUE);
    ReleaseWorkerHandle();
}

void CThread::Start(LPVOID arg)
{
    if (m_bHasThread)
        return; // a worker of this object still runs: one at a time
    // A previous worker that ended on its own still holds its join handle.
    WaitForThread();
    m_start.pOwner = this;
    m_start.arg = arg;
    // Raised before the thread exists, so a Stop right after Start cannot be undone by the
    // worker's first steps.
    m_bKeepRunning = true;
    m_bHasThread = true;
    unsigned id = 0;
    const uintptr_t h = _beginthreadex(nullptr, 0, &CThread::ThreadProc, &m_start, 0, &id);
    if (h == 0) {
        m_bKeepRunning = false;
        m_bHasThread = false;
        return;
    }
    m_hWorker = reinterpret_cast<HANDLE>(h);
}

void CThread::Stop(BOOL bWait)
{
    if (m_hWorker == nullptr && !m_bHasThread)
        return;
    m_bKeepRunning = false;
    if (bWait)
        WaitForThread();
}

void CThread::WaitForThread()
{
    if (m_hWorker == nullptr)
        return;
    ::WaitForSingleObject(m_hWorker, INFINITE);
    ReleaseWorkerHandle();
}

void CThread::ReleaseWorkerHandle()
{
    if (m_hWorker != nullptr) {
        ::CloseHandle(m_hWorker);
        m_hWorker = nullptr;
    }
}

void CThread::ResetState()
{
    m_bKeepRunning = false;
    HANDLE h = m_hThread.exchange(nullptr);
    if (h != nullptr)
        ::CloseHandle(h);
    m_dwThreadId = 0;
    m_bHasThread = false;
}

unsigned __stdcall CThread::ThreadProc(void* pStartBlock)
{
    const StartBlock* pBlock = static_cast<const StartBlock*>(pStartBlock);
    CThread* pOwner = pBlock->pOwner;
    HANDLE hSelf = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &hSelf, 0,
                      FALSE, DUPLICATE_SAME_ACCESS);
    pOwner->m_hThread = hSelf;
    pOwner->m_dwThreadId = ::GetCurrentThreadId();
    try {
        pOwner->Run(pBlock->arg);
    } catch (CException* e) {
        e->Delete(); // framework exceptions are thrown on the heap
    } catch (...) {
        // Whatever Run throws ends this worker quietly; it never reaches the process.
    }
    pOwner->ResetState();
    return 0;
}
