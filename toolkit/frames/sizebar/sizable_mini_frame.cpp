// COXSizableMiniDockFrameWnd: sizing border, reduced system menu, caption through the skin.
#include "toolkit/frames/sizebar/sizable_mini_frame.h"

#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNCREATE(COXSizableMiniDockFrameWnd, CMiniDockFrameWnd)

HHOOK COXSizableMiniDockFrameWnd::s_hMouseHook = nullptr;
HWND COXSizableMiniDockFrameWnd::s_hWndLast = nullptr;

namespace {

// Floating frames whose windows exist: the hook lives while there is one.
int g_nLiveFrames = 0;

bool IsSizing(UINT nHit)
{
    return nHit >= HTLEFT && nHit <= HTBOTTOMRIGHT;
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(COXSizableMiniDockFrameWnd, CMiniDockFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_MOUSEACTIVATE()
    ON_WM_NCACTIVATE()
    ON_WM_SYSCOMMAND()
    ON_WM_NCPAINT()
    ON_WM_SETCURSOR()
    ON_WM_NCLBUTTONUP()
    ON_WM_DESTROY()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCMOUSEMOVE()
END_MESSAGE_MAP()
// clang-format on

COXSizableMiniDockFrameWnd::~COXSizableMiniDockFrameWnd()
{
    delete m_pMiniFrameSkin;
}

BOOL COXSizableMiniDockFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~(MFS_4THICKFRAME | MFS_MOVEFRAME);
    cs.style |= MFS_THICKFRAME | WS_THICKFRAME;
    return CMiniDockFrameWnd::PreCreateWindow(cs);
}

COXMiniFrameSkin* COXSizableMiniDockFrameWnd::GetMiniFrameSkin()
{
    if (COXSkin* pSkin = OXGetCurrentSkin())
        if (pSkin->m_pMiniFrameSkin)
            return pSkin->m_pMiniFrameSkin.get();
    if (m_pMiniFrameSkin == nullptr)
        m_pMiniFrameSkin = new COXMiniFrameSkinClassic;
    return m_pMiniFrameSkin;
}

void COXSizableMiniDockFrameWnd::AdjustRectForBorders(CRect& rect, DWORD dwBarStyle)
{
    const int cx = 2 * ::GetSystemMetrics(SM_CXBORDER), cy = 2 * ::GetSystemMetrics(SM_CYBORDER);
    if (dwBarStyle & CBRS_BORDER_LEFT)
        rect.left -= cx;
    if (dwBarStyle & CBRS_BORDER_TOP)
        rect.top -= cy;
    if (dwBarStyle & CBRS_BORDER_RIGHT)
        rect.right += cx;
    if (dwBarStyle & CBRS_BORDER_BOTTOM)
        rect.bottom += cy;
}

bool COXSizableMiniDockFrameWnd::IsSingle() const
{
    return (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) == 0;
}

COXSizeControlBar* COXSizableMiniDockFrameWnd::GetSizeBar() const
{
    return DYNAMIC_DOWNCAST(COXSizeControlBar,
                            COXSizeDockBar::GetDockedBar(1, m_wndDockBar.m_arrBars));
}

int COXSizableMiniDockFrameWnd::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    m_bClosing = FALSE;
    m_nSysMenuState = 0;
    ++g_nLiveFrames;
    if (s_hMouseHook == nullptr)
        s_hMouseHook = ::SetWindowsHookEx(WH_MOUSE, &MouseHookProc, nullptr, ::GetCurrentThreadId());
    return 0;
}

void COXSizableMiniDockFrameWnd::OnDestroy()
{
    // Any floating frame's destruction would leave the others without their caption refresh:
    // the hook goes with the last one.
    if (--g_nLiveFrames <= 0 && s_hMouseHook != nullptr) {
        g_nLiveFrames = 0;
        ::UnhookWindowsHookEx(s_hMouseHook);
        s_hMouseHook = nullptr;
        s_hWndLast = nullptr;
    }
    Default();
}

LRESULT CALLBACK COXSizableMiniDockFrameWnd::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND hNow = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        if (hNow != s_hWndLast && s_hWndLast != nullptr && ::IsWindow(s_hWndLast)) {
            if (auto* pLast = DYNAMIC_DOWNCAST(COXSizableMiniDockFrameWnd,
                                               CWnd::FromHandlePermanent(s_hWndLast)))
                pLast->GetMiniFrameSkin()->DrawMiniFrameCloseButton(pLast);
        }
        s_hWndLast = hNow;
    }
    return ::CallNextHookEx(s_hMouseHook, nCode, wParam, lParam);
}

void COXSizableMiniDockFrameWnd::OnSize(UINT, int cx, int cy)
{
    if (cx == 0 && cy == 0)
        return;
    if (IsSingle()) {
        COXSizeControlBar* pBar = GetSizeBar();
        if (pBar != nullptr && pBar->IsVisible()) {
            CRect rect(0, 0, cx, cy);
            AdjustRectForBorders(rect, pBar->m_dwStyle);
            pBar->m_sizeFloat = rect.Size();
        }
    }
    RecalcLayout();
}

int COXSizableMiniDockFrameWnd::UpdateSystemMenu()
{
    if (m_nSysMenuState != 0)
        return m_nSysMenuState;
    m_nSysMenuState = 1;
    CControlBar* pBar = COXSizeDockBar::GetDockedBar(1, m_wndDockBar.m_arrBars);
    COXSizeControlBar* pSize = GetSizeBar();
    if (IsSingle() && pSize != nullptr) {
        m_nSysMenuState = 2;
        ::GetSystemMenu(m_hWnd, TRUE); // back to the default menu
        HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE);
        for (UINT id : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_TASKLIST})
            ::DeleteMenu(hMenu, id, MF_BYCOMMAND);
        for (int i = ::GetMenuItemCount(hMenu) - 1; i >= 0; --i)
            if (::GetMenuItemID(hMenu, i) == 0)
                ::DeleteMenu(hMenu, i, MF_BYPOSITION);
        if ((pSize->m_dwSizeBarStyle & SZBARF_DESTROY_ON_CLOSE) == 0) {
            char text[64] = "";
            if (::LoadString(AfxGetResourceHandle(), 61457, text, sizeof(text)) == 0)
                lstrcpy(text, "&Hide");
            ::ModifyMenu(hMenu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, text);
        }
        return m_nSysMenuState;
    }
    if (IsSingle() && pBar != nullptr && (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)) {
        ModifyStyle(0, MFS_4THICKFRAME);
        return m_nSysMenuState;
    }
    if (m_nSysMenuState == 1)
        ModifyStyle(WS_THICKFRAME, MFS_MOVEFRAME, SWP_FRAMECHANGED);
    return m_nSysMenuState;
}

void COXSizableMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    const int nState = UpdateSystemMenu();
    CWnd* pTop = GetTopLevelFrame();
    if (nState == 2 && IsSizing(nHitTest)) {
        if (pTop != nullptr)
            ::SetActiveWindow(pTop->m_hWnd);
        Default(); // the system sizes the frame
        return;
    }
    if (nState == 2 && nHitTest == HTSYSMENU) {
        CRect rectWindow, rectClient;
        GetWindowRect(&rectWindow);
        GetClientRect(&rectClient);
        ClientToScreen(&rectClient);
        TPMPARAMS tpm{sizeof(tpm), {rectWindow.left, rectWindow.top, rectWindow.left + 12,
                                    rectClient.top}};
        const UINT nCmd = ::TrackPopupMenuEx(::GetSystemMenu(m_hWnd, FALSE),
                                             TPM_RETURNCMD | TPM_LEFTALIGN, rectClient.left,
                                             rectClient.top, m_hWnd, &tpm);
        if (nCmd != 0)
            SendMessage(WM_SYSCOMMAND, nCmd);
        return;
    }
    if (nHitTest == HTCLOSE) {
        if (GetMiniFrameSkin()->DrawMiniFrameCloseButton(this)) {
            // The skin's own button: the close follows on button up.
            if (::GetMenuItemCount(::GetSystemMenu(m_hWnd, FALSE)) > 0)
                return;
            Default();
            return;
        }
        CMiniDockFrameWnd::OnNcLButtonDown(nHitTest, point);
        return;
    }
    CControlBar* pBar = COXSizeDockBar::GetDockedBar(1, m_wndDockBar.m_arrBars);
    if (IsSizing(nHitTest)) {
        if (pTop != nullptr)
            ::SetActiveWindow(pTop->m_hWnd);
        if (pBar != nullptr && pBar->m_pDockContext != nullptr) {
            pBar->m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
            return;
        }
        Default();
        return;
    }
    if (nHitTest == HTCAPTION) {
        if (pTop != nullptr)
            ::SetActiveWindow(pTop->m_hWnd);
        if (!IsSingle()) {
            Default();
            return;
        }
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != nullptr && pMain->SendMessage(WM_OX_QUERYLIVEDRAG) != 0 && pBar != nullptr) {
            CPoint pt = point;
            pBar->ScreenToClient(&pt);
            if (!OXBeginLiveDrag(pBar, pt))
                Default();
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return;
        }
        CMiniDockFrameWnd::OnNcLButtonDown(nHitTest, point);
        return;
    }
    Default();
}

void COXSizableMiniDockFrameWnd::OnNcLButtonUp(UINT nHitTest, CPoint)
{
    if (nHitTest == HTCLOSE && ::GetMenuItemCount(::GetSystemMenu(m_hWnd, FALSE)) > 0) {
        SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        return;
    }
    Default();
}

void COXSizableMiniDockFrameWnd::OnNcRButtonDown(UINT, CPoint point)
{
    UpdateSystemMenu();
    const UINT nCmd = ::TrackPopupMenu(::GetSystemMenu(m_hWnd, FALSE), TPM_RETURNCMD, point.x,
                                       point.y, 0, m_hWnd, nullptr);
    if (nCmd != 0)
        SendMessage(WM_SYSCOMMAND, nCmd);
}

void COXSizableMiniDockFrameWnd::OnNcMouseMove(UINT, CPoint)
{
    GetMiniFrameSkin()->DrawMiniFrameCloseButton(this);
    Default();
}

int COXSizableMiniDockFrameWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    if (m_nSysMenuState == 2 && IsSizing(nHitTest))
        return static_cast<int>(Default());
    return CMiniDockFrameWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

BOOL COXSizableMiniDockFrameWnd::OnNcActivate(BOOL bActive)
{
    return GetMiniFrameSkin()->OnNcActivateMiniFrame(bActive, this);
}

void COXSizableMiniDockFrameWnd::OnNcPaint()
{
    GetMiniFrameSkin()->OnNcPaintMiniFrame(this);
}

void COXSizableMiniDockFrameWnd::OnSysCommand(UINT, LPARAM)
{
    GetMiniFrameSkin()->DrawMiniFrameCaption(this);
    Default();
}

BOOL COXSizableMiniDockFrameWnd::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    LPCTSTR id = IDC_ARROW;
    switch (nHitTest) {
    case HTLEFT:
    case HTRIGHT: id = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: id = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: id = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: id = IDC_SIZENESW; break;
    default: break;
    }
    ::SetCursor(::LoadCursor(nullptr, id));
    return TRUE;
}

void COXSizableMiniDockFrameWnd::OnClose()
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    const HWND hWnd = m_hWnd;
    COXSizeControlBar* pSize = GetSizeBar();
    if (IsSingle() && pSize != nullptr && (pSize->m_dwSizeBarStyle & SZBARF_DESTROY_ON_CLOSE)) {
        // The bar goes with its frame.
        pSize->DestroyWindow();
        delete pSize;
        if (::IsWindow(hWnd))
            DestroyWindow();
        return;
    }
    CMiniDockFrameWnd::OnClose();
    if (::IsWindow(hWnd))
        m_bClosing = FALSE;
}
