// COXInstanceManager: the shared instance list and its arrival and departure messages.
#include "toolkit/controls/instance_manager/instance_manager.h"

#include <cstring>
#include <map>
#include <vector>

IMPLEMENT_DYNAMIC(COXInstanceManager, CObject)

static_assert(sizeof(COXInstanceManager::SInstanceList) == 4008, "list block layout");

namespace {

DWORD AllocationGranularity()
{
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    return si.dwAllocationGranularity != 0 ? si.dwAllocationGranularity : 65536;
}

ULONGLONG RoundToGranularity(ULONGLONG nBytes)
{
    const ULONGLONG g = AllocationGranularity();
    return (nBytes + g - 1) / g * g;
}

bool IsMainWindowCandidate(HWND hWnd)
{
    return ::GetWindow(hWnd, GW_OWNER) == nullptr &&
           (::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0 &&
           (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

// An entry whose process is gone would otherwise stay until the block disappears: its id
// may be reused by an unrelated program, which would then get our messages and be brought
// to the front. A process we may not open (another user's) is kept.
bool ProcessHasEnded(DWORD dwProcessId)
{
    if (dwProcessId == ::GetCurrentProcessId())
        return false;
    HANDLE hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, dwProcessId);
    if (hProcess == nullptr)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = ::WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0;
    ::CloseHandle(hProcess);
    return ended;
}

struct SFindOne
{
    DWORD dwProcessId;
    HWND hWnd;
};

BOOL CALLBACK FindOneProc(HWND hWnd, LPARAM lParam)
{
    auto* find = reinterpret_cast<SFindOne*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner != find->dwProcessId || !IsMainWindowCandidate(hWnd))
        return TRUE;
    find->hWnd = hWnd;
    return FALSE;
}

// Main windows of many processes in one pass over the top-level windows.
BOOL CALLBACK FindManyProc(HWND hWnd, LPARAM lParam)
{
    auto* wanted = reinterpret_cast<std::map<DWORD, HWND>*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    auto it = wanted->find(owner);
    if (it != wanted->end() && it->second == nullptr && IsMainWindowCandidate(hWnd))
        it->second = hWnd;
    return TRUE;
}

} // namespace

COXInstanceManager::COXInstanceManager(LPCTSTR pszName, DWORD nAdditionalSize)
    : m_sName(pszName),
      m_nListSize(static_cast<DWORD>(RoundToGranularity(sizeof(SInstanceList)))),
      m_nAdditionalSize(RoundToGranularity(nAdditionalSize)),
      m_listMutex(FALSE, CString("COXInstanceManager_InstanceList_Mutex_") + m_sName),
      m_additionalMutex(FALSE, CString("COXInstanceManager_Additional_Mutex_") + m_sName),
      m_hFileMap(nullptr),
      m_pList(nullptr),
      m_pAdditional(nullptr)
{
    // Creating and initialising the block is one step under the list mutex: otherwise a
    // second process could register between the two and be wiped by the initialisation.
    CSingleLock lock(&m_listMutex, TRUE);
    const ULONGLONG nTotal = m_nListSize + m_nAdditionalSize;
    const CString sMapName = CString("COXInstanceManager_FileMap_") + m_sName;
    m_hFileMap = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, SEC_COMMIT | PAGE_READWRITE,
                                      static_cast<DWORD>(nTotal >> 32),
                                      static_cast<DWORD>(nTotal), sMapName);
    const bool bCreated = m_hFileMap != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
    if (bCreated && MapList()) {
        std::memset(m_pList, 0, sizeof(SInstanceList));
        m_pList->nMaxAllowed = 1;
        UnmapList();
    }
    lock.Unlock();

    AddInstance(::GetCurrentProcessId());
}

COXInstanceManager::~COXInstanceManager()
{
    RemoveInstance(::GetCurrentProcessId());
    UnmapList();
    if (m_pAdditional != nullptr)
        ::UnmapViewOfFile(m_pAdditional);
    if (m_hFileMap != nullptr)
        ::CloseHandle(m_hFileMap);
}

BOOL COXInstanceManager::MapList()
{
    if (m_hFileMap == nullptr)
        return FALSE;
    m_pList = static_cast<SInstanceList*>(
        ::MapViewOfFile(m_hFileMap, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, m_nListSize));
    return m_pList != nullptr;
}

void COXInstanceManager::UnmapList()
{
    if (m_pList != nullptr)
        ::UnmapViewOfFile(m_pList);
    m_pList = nullptr;
}

// The block is shared with every process that opens the name: never trust its count.
DWORD COXInstanceManager::RegisteredCount() const
{
    return m_pList->nCount < MAX_INSTANCES ? m_pList->nCount : MAX_INSTANCES;
}

void COXInstanceManager::RemoveAt(DWORD nIndex)
{
    const DWORD n = RegisteredCount();
    std::memmove(&m_pList->arPids[nIndex], &m_pList->arPids[nIndex + 1],
                 (n - nIndex - 1) * sizeof(DWORD));
    m_pList->arPids[n - 1] = 0;
    m_pList->nCount = n - 1;
}

void COXInstanceManager::DropEndedProcesses()
{
    m_pList->nCount = RegisteredCount();
    std::vector<DWORD> ended;
    for (DWORD i = 0; i < RegisteredCount();) {
        if (ProcessHasEnded(m_pList->arPids[i])) {
            ended.push_back(m_pList->arPids[i]);
            RemoveAt(i);
        } else {
            ++i;
        }
    }
    for (DWORD pid : ended)
        PostToRegistered(WM_OX_APP_INSTANCE_REMOVED, pid);
}

// Posted, never sent: no instance waits for another's window.
void COXInstanceManager::PostToRegistered(UINT nMessage, DWORD dwProcessId) const
{
    const DWORD n = RegisteredCount();
    std::map<DWORD, HWND> windows;
    for (DWORD i = 0; i < n; ++i)
        windows.emplace(m_pList->arPids[i], nullptr);
    if (windows.empty())
        return;
    ::EnumWindows(FindManyProc, reinterpret_cast<LPARAM>(&windows));
    for (DWORD i = 0; i < n; ++i) {
        HWND hWnd = windows[m_pList->arPids[i]];
        if (hWnd != nullptr)
            ::PostMessageA(hWnd, nMessage, 0, static_cast<LPARAM>(dwProcessId));
    }
}

BOOL COXInstanceManager::AddInstance(DWORD dwProcessId)
{
    if (!MapList())
        return FALSE;
    BOOL bAdded = FALSE;
    CSingleLock lock(&m_listMutex);
    if (lock.Lock()) {
        DropEndedProcesses();
        const DWORD n = RegisteredCount();
        if (n < MAX_INSTANCES) {
            PostToRegistered(WM_OX_APP_INSTANCE_ADDED, dwProcessId);
            m_pList->arPids[n] = dwProcessId;
            m_pList->nCount = n + 1;
            bAdded = TRUE;
        }
        lock.Unlock();
    }
    UnmapList();
    return bAdded;
}

BOOL COXInstanceManager::RemoveInstance(DWORD dwProcessId)
{
    if (!MapList())
        return FALSE;
    BOOL bRemoved = FALSE;
    CSingleLock lock(&m_listMutex);
    if (lock.Lock()) {
        const DWORD n = RegisteredCount();
        for (DWORD i = 0; i < n && !bRemoved; ++i) {
            if (m_pList->arPids[i] == dwProcessId) {
                RemoveAt(i);
                bRemoved = TRUE;
            }
        }
        DropEndedProcesses();
        if (bRemoved)
            PostToRegistered(WM_OX_APP_INSTANCE_REMOVED, dwProcessId);
        lock.Unlock();
    }
    UnmapList();
    return bRemoved;
}

BOOL COXInstanceManager::TooManyInstances(BOOL bActivate)
{
    if (!MapList())
        return FALSE;
    BOOL bTooMany = FALSE;
    DWORD dwTarget = 0;
    CSingleLock lock(&m_listMutex);
    if (lock.Lock()) {
        DropEndedProcesses();
        const DWORD n = RegisteredCount();
        bTooMany = m_pList->nMaxAllowed < n;
        if (bTooMany && bActivate && n >= 1) {
            if (m_pList->arPids[0] != ::GetCurrentProcessId())
                dwTarget = m_pList->arPids[0];
            else if (n >= 2)
                dwTarget = m_pList->arPids[1];
        }
        lock.Unlock();
    }
    UnmapList();

    if (dwTarget != 0) {
        HWND hWnd = FindMainWindow(dwTarget);
        if (hWnd != nullptr) {
            ::SetForegroundWindow(hWnd);
            // Async: a hung first instance must not hang the one that is starting.
            if (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_MINIMIZE)
                ::ShowWindowAsync(hWnd, SW_RESTORE);
        }
    }
    return bTooMany;
}

HWND COXInstanceManager::FindMainWindow(DWORD dwProcessId) const
{
    SFindOne find{dwProcessId, nullptr};
    ::EnumWindows(FindOneProc, reinterpret_cast<LPARAM>(&find));
    return find.hWnd;
}
