// CThread: runs one operation of its owner on a worker thread that the owner can ask to stop.
#pragma once

#include <windows.h>

#include <atomic>

// Derive from it (besides any other base) and implement Run, which should poll IsRunning and
// return soon after it turns false. Start, Stop and the destructor belong to the owner's thread.
class CThread
{
public:
    CThread();
    // Stops the worker and waits for it, so the derived parts it uses are never destroyed early
    // by this base; a derived class whose Run touches its own members calls Stop(TRUE) itself.
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Runs Run(arg) on a new worker thread; does nothing while a worker of this object runs.
    // A thread that cannot be created leaves no thread recorded.
    void Start(LPVOID arg);
    BOOL IsRunning() const { return m_bKeepRunning.load() ? TRUE : FALSE; }
    // Clears the keep-running flag; with bWait, returns only once the worker has ended.
    // Does nothing when no thread was ever recorded.
    void Stop(BOOL bWait);
    BOOL HasThread() const { return m_bHasThread.load() ? TRUE : FALSE; }
    // Waits without timeout for the recorded worker; returns at once when there is none.
    void WaitForThread();
    void ResetState();

    DWORD GetThreadId() const { return m_dwThreadId.load(); }

protected:
    virtual void Run(LPVOID arg) = 0;

private:
    struct StartBlock {
        CThread* pOwner;
        LPVOID arg;
    };
    static unsigned __stdcall ThreadProc(void* pStartBlock);
    void ReleaseWorkerHandle();

    std::atomic<bool> m_bKeepRunning;
    // The worker's join handle. Only the owner's thread touches it, so it stays valid through
    // any wait; it is closed after the wait or at the next Start.
    HANDLE m_hWorker;
    std::atomic<bool> m_bHasThread;
    StartBlock m_start;
    std::atomic<HANDLE> m_hThread;
    std::atomic<DWORD> m_dwThreadId;
};
