// The main window.
#include "app/shell/main_frame.h"

#include "foundation/settings/app_cfg.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CLOSE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszName != nullptr) {
        cs.cx = GetAppCfg().GetMainWndCX();
        cs.cy = GetAppCfg().GetMainWndCY();
    }
    return CFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 300;
    lpMMI->ptMinTrackSize.y = 300;
    Default();
}

void CMainFrame::OnClose()
{
    CAppCfg& cfg = GetAppCfg();
    RECT rc{};
    GetWindowRect(&rc);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(m_hWnd, &wp);
    if (wp.showCmd == SW_SHOWMAXIMIZED) {
        cfg.SetMainWndMax(TRUE);
    } else {
        cfg.SetMainWndMax(FALSE);
        cfg.SetMainWndCX(rc.right - rc.left);
        cfg.SetMainWndCY(rc.bottom - rc.top);
    }
    cfg.Save();
    CFrameWnd::OnClose();
}
