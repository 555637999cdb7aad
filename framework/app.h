// The user-interface thread and the application object: message pump with pre-translation
// and idle processing. Classes here: CWinThread, CWinApp, CWaitCursor.
#pragma once

#include <windows.h>

#include "framework/cmd_target.h"
#include "framework/wnd.h"

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    CWinThread();
    ~CWinThread() override;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
    // Pumps until WM_QUIT, calling OnIdle while the queue is empty; returns ExitInstance.
    virtual int Run();
    // One GetMessage, pre-translated and dispatched; false on WM_QUIT.
    virtual BOOL PumpMessage();
    // The walk from the target window up to the main window, then the main window itself.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // lCount counts the calls since the last real message; true asks for more idle time.
    // Count 0 and 1 delete the temporary wrappers.
    virtual BOOL OnIdle(LONG lCount);
    // False for messages that do not end an idle period (mouse moves in place, paint, caret).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

private:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // The one application object; it registers itself as AfxGetApp() and as the creating
    // thread's CWinThread.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszAppName = nullptr;
};

CWinApp* AfxGetApp();
// The current thread's CWinThread (the application on its thread), or null.
CWinThread* AfxGetThread();
// The main window of the current thread's CWinThread, or null.
CWnd* AfxGetMainWnd();
// The pre-translate walk of the current thread (also usable without a CWinThread).
BOOL AfxPreTranslateMessage(MSG* pMsg);
// One message from the queue through the pre-translate walk; false on WM_QUIT.
BOOL AfxPumpMessage();
// The program's entry: InitInstance, then Run (or ExitInstance when InitInstance fails).
int AfxWinMain(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow);

// Shows the wait cursor for the object's lifetime.
class CWaitCursor {
public:
    CWaitCursor() : m_hOld(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { ::SetCursor(m_hOld); }
    // Shows the wait cursor again (after a message box replaced it).
    void Restore() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

private:
    HCURSOR m_hOld;
};
