// The message pump, idle processing and the application object.
#include "framework/app.h"

#include "framework/controls.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_pApp = nullptr;

CWinThread*& ThreadObject()
{
    thread_local CWinThread* pThread = nullptr;
    return pThread;
}

void DeleteTempMaps()
{
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
}

} // namespace

CWinThread::CWinThread()
{
    if (ThreadObject() == nullptr)
        ThreadObject() = this;
}

CWinThread::~CWinThread()
{
    if (ThreadObject() == this)
        ThreadObject() = nullptr;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = GetMainWnd();
    HWND hMain = AfxHwnd(pMainWnd);
    if (CWnd::WalkPreTranslateTree(hMain, pMsg))
        return TRUE;
    // A message for a window outside the main window (a popup) is still offered to it.
    if (pMainWnd != nullptr && hMain != nullptr && pMsg->hwnd != nullptr &&
        pMsg->hwnd != hMain && !::IsChild(hMain, pMsg->hwnd))
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!AfxPreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        bool same = m_nMsgLast == pMsg->message && m_ptCursorLast.x == pMsg->pt.x &&
                    m_ptCursorLast.y == pMsg->pt.y;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return same ? FALSE : TRUE;
    }
    // WM_SYSTIMER (caret blink) has no public name.
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 1)
        DeleteTempMaps();
    return lCount < 1;
}

int CWinThread::Run()
{
    LONG lIdleCount = 0;
    for (;;) {
        MSG peek;
        while (!::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(lIdleCount++)) {
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur))
                lIdleCount = 0;
        } while (::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandle(nullptr);
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWinThread* AfxGetThread()
{
    return ThreadObject();
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    AfxFilterToolTipMessage(pMsg);
    if (CWinThread* pThread = AfxGetThread())
        return pThread->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxPumpMessage()
{
    if (CWinThread* pThread = AfxGetThread())
        return pThread->PumpMessage();
    MSG msg;
    if (!::GetMessage(&msg, nullptr, 0, 0))
        return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
