// Synchronisation objects over Win32 kernel mutexes, header only.
// Classes here: CMutex (named or unnamed mutex with timed Lock), CSingleLock (scoped owner).
#pragma once

#include <windows.h>

class CMutex
{
public:
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCSTR lpszName = nullptr,
                    LPSECURITY_ATTRIBUTES lpsa = nullptr)
        : m_hObject(::CreateMutexA(lpsa, bInitiallyOwn, lpszName))
    {
    }
    ~CMutex()
    {
        if (m_hObject != nullptr)
            ::CloseHandle(m_hObject);
    }
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    // TRUE when the calling thread owns the mutex within dwTimeout ms. A mutex whose owner
    // ended without releasing it is granted too (WAIT_ABANDONED): the owner is gone.
    BOOL Lock(DWORD dwTimeout = INFINITE)
    {
        if (m_hObject == nullptr)
            return FALSE;
        const DWORD rc = ::WaitForSingleObject(m_hObject, dwTimeout);
        return rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
    }
    BOOL Unlock() { return m_hObject != nullptr && ::ReleaseMutex(m_hObject); }

    HANDLE m_hObject;
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
