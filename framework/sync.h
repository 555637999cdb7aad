// Synchronisation objects, header only.
// Classes here: CMutex (named or unnamed mutex with timed Lock), CSingleLock (scoped owner).
#pragma once

#include <windows.h>

#include <atomic>

class CMutex
{
public:
    // A named mutex (or one with security attributes) is a kernel mutex, shared with every
    // process that opens the name. An unnamed one can only ever be reached from this process:
    // it is a lock of our own that costs no system call unless threads contend, where every
    // kernel wait is a round trip to the system (a wine server call under Wine).
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCSTR lpszName = nullptr,
                    LPSECURITY_ATTRIBUTES lpsa = nullptr)
    {
        if (lpszName != nullptr || lpsa != nullptr) {
            m_hObject = ::CreateMutexA(lpsa, bInitiallyOwn, lpszName);
            return;
        }
        m_hWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (bInitiallyOwn) {
            m_owner = ::GetCurrentThreadId();
            m_nRecursion = 1;
        }
    }
    ~CMutex()
    {
        if (m_hObject != nullptr)
            ::CloseHandle(m_hObject);
        if (m_hWake != nullptr)
            ::CloseHandle(m_hWake);
    }
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    // TRUE when the calling thread owns the mutex within dwTimeout ms; the owner may lock it
    // again and must unlock it as often. A kernel mutex whose owner ended without releasing
    // it is granted too (WAIT_ABANDONED): the owner is gone.
    BOOL Lock(DWORD dwTimeout = INFINITE)
    {
        if (m_hObject != nullptr) {
            const DWORD rc = ::WaitForSingleObject(m_hObject, dwTimeout);
            return rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
        }
        if (m_hWake == nullptr)
            return FALSE;
        const DWORD self = ::GetCurrentThreadId();
        if (m_owner.load() == self) {
            ++m_nRecursion;
            return TRUE;
        }
        for (int spin = 0; spin < 64; ++spin) {
            if (TryTake(self))
                return TRUE;
            YieldProcessor();
        }
        // Counted as a waiter before the last try: a release after that try sees the count
        // and wakes us, so no wake-up is lost. A wake-up nobody took only costs a retry.
        const DWORD start = ::GetTickCount();
        ++m_nWaiters;
        BOOL bTaken = FALSE;
        for (;;) {
            if (TryTake(self)) {
                bTaken = TRUE;
                break;
            }
            DWORD dwWait = INFINITE;
            if (dwTimeout != INFINITE) {
                const DWORD elapsed = ::GetTickCount() - start;
                if (elapsed >= dwTimeout)
                    break;
                dwWait = dwTimeout - elapsed;
            }
            ::WaitForSingleObject(m_hWake, dwWait);
        }
        --m_nWaiters;
        return bTaken;
    }
    // FALSE when the calling thread does not own the mutex.
    BOOL Unlock()
    {
        if (m_hObject != nullptr)
            return ::ReleaseMutex(m_hObject);
        if (m_hWake == nullptr || m_owner.load() != ::GetCurrentThreadId())
            return FALSE;
        if (--m_nRecursion > 0)
            return TRUE;
        m_owner.store(0);
        if (m_nWaiters.load() > 0)
            ::SetEvent(m_hWake);
        return TRUE;
    }

    HANDLE m_hObject = nullptr; // the kernel mutex of a named one

private:
    bool TryTake(DWORD self)
    {
        DWORD expected = 0;
        if (!m_owner.compare_exchange_strong(expected, self))
            return false;
        m_nRecursion = 1;
        return true;
    }

    HANDLE m_hWake = nullptr;          // an unnamed one's waiters sleep on it
    std::atomic<DWORD> m_owner{0};     // the owning thread's id, 0 when free
    std::atomic<LONG> m_nWaiters{0};
    LONG m_nRecursion = 0;             // the owner's count
};

// Owns at most one lock of a CMutex and releases it when it goes out of scope.
class CSingleLock
{
public:
    explicit CSingleLock(CMutex* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject)
    {
        if (bInitialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD dwTimeout = INFINITE)
    {
        if (m_pObject == nullptr || m_bAcquired)
            return m_bAcquired;
        m_bAcquired = m_pObject->Lock(dwTimeout);
        return m_bAcquired;
    }
    BOOL Unlock()
    {
        if (!m_bAcquired)
            return FALSE;
        m_bAcquired = FALSE;
        return m_pObject->Unlock();
    }
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CMutex* m_pObject;
    BOOL m_bAcquired = FALSE;
};
