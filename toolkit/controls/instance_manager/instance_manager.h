// COXInstanceManager: the list of an application's running instances, shared by all its
// processes through a named page-file mapping, with arrival and departure messages.
#pragma once

#include <windows.h>

#include "framework/core.h"
#include "framework/sync.h"

// Posted to the other instances' main windows; wParam 0, lParam the process id.
#define WM_OX_APP_INSTANCE_ADDED (WM_APP + 200)
#define WM_OX_APP_INSTANCE_REMOVED (WM_APP + 201)

class COXInstanceManager : public CObject
{
    DECLARE_DYNAMIC(COXInstanceManager)

public:
    // Layout of the list block at the start of the mapping (4008 bytes).
    static constexpr DWORD MAX_INSTANCES = 1000;
    struct SInstanceList
    {
        DWORD nMaxAllowed;            // 1 when the block is created
        DWORD nCount;                 // registered instances
        DWORD arPids[MAX_INSTANCES];  // in order of registration; unused slots 0
    };

    // Creates the named mutexes and the mapping and registers the current process.
    // nAdditionalSize: bytes reserved after the list block (rounded to the allocation
    // granularity; never used by the list itself).
    explicit COXInstanceManager(LPCTSTR pszName, DWORD nAdditionalSize = 0);
    // Removes the current process from the list.
    ~COXInstanceManager() override;

    // TRUE when more instances are registered than allowed. With bActivate, the first other
    // instance's main window is brought to the front (and restored when minimised).
    BOOL TooManyInstances(BOOL bActivate = FALSE);
    // FALSE when the list is full or cannot be reached.
    BOOL AddInstance(DWORD dwProcessId);
    // FALSE when the id is not registered or the list cannot be reached.
    BOOL RemoveInstance(DWORD dwProcessId);
    // The first visible, unowned, non-tool top-level window of the process; NULL when none.
    HWND FindMainWindow(DWORD dwProcessId) const;

protected:
    CString m_sName;
    DWORD m_nListSize;
    ULONGLONG m_nAdditionalSize;
    CMutex m_listMutex;
    CMutex m_additionalMutex;
    HANDLE m_hFileMap;
    SInstanceList* m_pList;   // mapped only while an operation runs
    void* m_pAdditional;      // unmapped at destruction when held

private:
    BOOL MapList();
    void UnmapList();
    DWORD RegisteredCount() const;
    void RemoveAt(DWORD nIndex);
    void DropEndedProcesses();
    void PostToRegistered(UINT nMessage, DWORD dwProcessId) const;
};
