// CMiniFrameWnd and CMiniDockFrameWnd: tool-window frames and the floating frame of bars.
#include "framework/mini_frame.h"

#include "framework/dock_context.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

namespace {

constexpr UINT kIdsHide = 61457; // "&Hide", the floating frame's Close item

bool IsSizingHit(LRESULT nHit)
{
    return nHit >= HTLEFT && nHit <= HTBOTTOMRIGHT;
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_WM_NCHITTEST()
    ON_WM_NCACTIVATE()
END_MESSAGE_MAP()
// clang-format on

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                           const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName,
                             DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_bSysMenuBlocked = (dwStyle & MFS_BLOCKSYSMENU) != 0;
    dwStyle &= ~MFS_BLOCKSYSMENU;
    int x = rect.left, y = rect.top;
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT) {
        x = y = 0;
        cx = cy = 0;
    }
    (void)nID;
    return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle, x,
                          y, cx, cy, AfxHwnd(pParentWnd), nullptr);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.style & (MFS_THICKFRAME | MFS_4THICKFRAME))
        cs.style |= WS_THICKFRAME;
    cs.dwExStyle |= WS_EX_TOOLWINDOW;
    return CFrameWnd::PreCreateWindow(cs);
}

void CMiniFrameWnd::CalcBorders(LPRECT lpClientRect, DWORD dwStyle, DWORD dwExStyle)
{
    ::AdjustWindowRectEx(lpClientRect, dwStyle & (WS_THICKFRAME | WS_CAPTION | WS_BORDER), FALSE,
                         dwExStyle | WS_EX_TOOLWINDOW);
}

void CMiniFrameWnd::CalcWindowRect(LPRECT lpClientRect, UINT)
{
    CalcBorders(lpClientRect, GetStyle(), GetExStyle());
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint)
{
    LRESULT nHit = Default();
    const DWORD style = GetStyle();
    if ((style & MFS_MOVEFRAME) && (IsSizingHit(nHit) || nHit == HTBORDER))
        return HTCAPTION;
    if (style & MFS_4THICKFRAME) { // the corners size along one side only
        switch (nHit) {
        case HTTOPLEFT:
        case HTTOPRIGHT:
            return HTTOP;
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
            return HTBOTTOM;
        default:
            break;
        }
    }
    return nHit;
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL bActive)
{
    // With MFS_SYNCACTIVE the caption follows the owner's activation.
    if (GetStyle() & MFS_SYNCACTIVE) {
        HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        if (hOwner != nullptr)
            bActive = bActive || ::GetActiveWindow() == hOwner;
    }
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

// clang-format off
BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()
// clang-format on

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE)
{
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME |
                    MFS_SYNCACTIVE | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
    if (dwBarStyle & CBRS_SIZE_DYNAMIC)
        dwStyle &= ~MFS_MOVEFRAME;
    if (!CMiniFrameWnd::CreateEx(0, nullptr, "", dwStyle, rectDefault, pParent))
        return FALSE;

    // The Close item hides the bars: it says so.
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        char text[64] = "";
        if (::LoadString(AfxGetResourceHandle(), kIdsHide, text, sizeof(text)) == 0)
            lstrcpy(text, "&Hide");
        ::ModifyMenu(hSysMenu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, text);
    }

    // Created as a child of the docking frame, so it joins that frame's bar list, then
    // moved into this frame.
    DWORD dwDockStyle = (dwBarStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    dwDockStyle |= dwBarStyle & CBRS_FLOAT_MULTI;
    if (!m_wndDockBar.Create(pParent, WS_CHILD | WS_VISIBLE | dwDockStyle,
                             AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    m_wndDockBar.SetParent(this);
    return TRUE;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    CMiniFrameWnd::RecalcLayout(bNotify);
    // The caption shows the bar's title (the dock bar took it when the bar docked).
    char title[261] = "";
    ::GetWindowText(m_wndDockBar.m_hWnd, title, sizeof(title));
    char current[261] = "";
    ::GetWindowText(m_hWnd, current, sizeof(current));
    if (lstrcmp(title, current) != 0)
        ::SetWindowText(m_hWnd, title);
}

CControlBar* CMiniDockFrameWnd::GetFirstBar() const
{
    for (int nPos = 1; nPos < m_wndDockBar.m_arrBars.GetSize(); ++nPos)
        if (CControlBar* pBar = m_wndDockBar.GetDockedControlBar(nPos))
            return pBar;
    return nullptr;
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing hides the bars; the frame follows when none is visible.
    m_wndDockBar.ShowAll(FALSE);
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = GetFirstBar();
    const bool single = (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) == 0;
    if (pBar != nullptr && pBar->m_pDockContext != nullptr && single) {
        if (nHitTest == HTCAPTION) {
            if (CWnd* pTop = GetTopLevelFrame())
                ::SetActiveWindow(pTop->m_hWnd);
            pBar->m_pDockContext->StartDrag(point);
            return;
        }
        if (IsSizingHit(nHitTest)) {
            if (CWnd* pTop = GetTopLevelFrame())
                ::SetActiveWindow(pTop->m_hWnd);
            pBar->m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
            return;
        }
    }
    Default();
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint)
{
    CControlBar* pBar = GetFirstBar();
    if (nHitTest == HTCAPTION && pBar != nullptr && pBar->m_pDockContext != nullptr &&
        (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) == 0) {
        pBar->m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

int CMiniDockFrameWnd::OnMouseActivate(CWnd*, UINT nHitTest, UINT)
{
    // A click on the caption or a border activates the docking frame, not the palette.
    if (nHitTest == HTCAPTION || IsSizingHit(nHitTest))
        return MA_NOACTIVATE;
    return static_cast<int>(Default());
}
