// CFrameWnd creation and command routing.
#include "framework/frame.h"

#include "framework/app.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle,
                       CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr)
        hMenu = ::LoadMenu(AfxGetResourceHandle(), lpszMenuName);
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT)
        cx = cy = CW_USEDEFAULT;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                  AfxHwnd(pParentWnd), hMenu, pContext)) {
        if (hMenu != nullptr)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        static LPCTSTR frameClass =
            AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                ::LoadCursor(nullptr, IDC_ARROW),
                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        cs.lpszClass = frameClass;
    }
    return TRUE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
