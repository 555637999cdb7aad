// The message pump, idle processing and the application object.
#include <winsock2.h>

#include "framework/app.h"

#include <cstdlib>

#include "framework/controls.h"
#include "framework/document.h"
#include "framework/frame.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

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

// Command states, titles and delayed layouts of every visible top-level window of the thread
// (the main frame and floating frames alike) and of their children.
BOOL CALLBACK SendIdleUpdate(HWND hWnd, LPARAM)
{
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd))
        return TRUE;
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd)) {
        ::SendMessage(hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
        pWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
    return TRUE;
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
    if (lCount <= 0)
        ::EnumThreadWindows(::GetCurrentThreadId(), &SendIdleUpdate, 0);
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

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandle(nullptr);
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
    } else {
        char path[MAX_PATH] = {};
        ::GetModuleFileName(nullptr, path, MAX_PATH);
        CString name = path;
        name = name.Mid(name.ReverseFind('\\') + 1);
        int dot = name.ReverseFind('.');
        m_strAppName = dot > 0 ? name.Left(dot) : name;
    }
    m_pszAppName = m_strAppName;
    m_strProfileName = m_strAppName;
    m_strProfileName += ".INI";
    m_pszProfileName = m_strProfileName;
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    delete m_pDocManager;
    m_pDocManager = nullptr;
    return CWinThread::ExitInstance();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (m_pDocManager == nullptr)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    return m_pDocManager != nullptr ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager == nullptr || m_pDocManager->SaveAllModified();
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager != nullptr)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager != nullptr)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (m_pDocManager != nullptr)
        m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (lstrcmpi(pszParam, "nologo") == 0)
            m_bShowSplash = FALSE;
        else if (lstrcmpi(pszParam, "regserver") == 0)
            m_nShellCommand = AppRegister;
        else if (lstrcmpi(pszParam, "unregserver") == 0 || lstrcmpi(pszParam, "unregister") == 0)
            m_nShellCommand = AppUnregister;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; ++i) {
        LPCTSTR param = __argv[i];
        BOOL bFlag = param[0] == '-' || param[0] == '/';
        rCmdInfo.ParseParam(bFlag ? param + 1 : param, bFlag, i + 1 == __argc);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        return FALSE;
    }
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND hOwner = AfxHwnd(m_pMainWnd);
    if (hOwner != nullptr)
        hOwner = ::GetLastActivePopup(hOwner);
    else
        hOwner = ::GetActiveWindow();
    if ((nType & MB_ICONMASK) == 0) {
        UINT kind = nType & MB_TYPEMASK;
        nType |= (kind == MB_YESNO || kind == MB_YESNOCANCEL) ? MB_ICONQUESTION
                                                              : MB_ICONEXCLAMATION;
    }
    return ::MessageBox(hOwner, lpszPrompt, m_pszAppName, nType);
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

BOOL AfxPumpPaintMessages()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) { // WM_QUIT comes too
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        ::DispatchMessage(&msg);
    }
    return TRUE;
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

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBox(::GetActiveWindow(), lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

BOOL AfxSocketInit(WSADATA* lpwsaData)
{
    static int started = -1; // -1 not tried, 0 failed, 1 running
    static WSADATA data{};
    if (started < 0) {
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0 ? 1 : 0;
        if (started == 1)
            std::atexit([] { ::WSACleanup(); });
    }
    if (lpwsaData != nullptr)
        *lpwsaData = data;
    return started == 1;
}
