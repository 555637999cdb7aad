// CControlBar: borders, delayed visibility, the WM_SIZEPARENT layout step, forwarding to the
// owner and the start of drags; CWnd::RepositionBars, which drives the layout.
#include "framework/control_bar.h"

#include "framework/dock_context.h"
#include "framework/frame.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

namespace {

// Messages a bar passes on to its owner when its own map leaves them.
bool IsOwnerMessage(UINT message)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect)
{
    if (lpLayout->hDWP == nullptr || hWnd == nullptr)
        return;
    HWND hParent = ::GetParent(hWnd);
    CRect rectOld;
    ::GetWindowRect(hWnd, &rectOld);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<LPPOINT>(&rectOld), 2);
    if (rectOld == *lpRect)
        return;
    lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                      lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                      SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT)
{
    ::AdjustWindowRectEx(lpClientRect, GetStyle() & ~WS_CHILD & ~WS_POPUP, FALSE, GetExStyle());
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags,
                          LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    layout.hDWP = nFlags == reposQuery ? nullptr : ::BeginDeferWindowPos(8);

    // Children in z-order: bars created first take the outer strips.
    HWND hWndLeftOver = nullptr;
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
        UINT nID = static_cast<UINT>(::GetDlgCtrlID(h));
        if (nID == nIDLeftOver)
            hWndLeftOver = h;
        else if (nID >= nIDFirst && nID <= nIDLast && FromHandlePermanent(h) != nullptr)
            ::SendMessage(h, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nFlags == reposQuery) {
        if (lpRectParam != nullptr) {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                *lpRectParam = CRect(0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }
    if (nFlags == reposExtra && lpRectParam != nullptr) {
        layout.rect.left += lpRectParam->left;
        layout.rect.top += lpRectParam->top;
        layout.rect.right -= lpRectParam->right;
        layout.rect.bottom -= lpRectParam->bottom;
    }
    if (hWndLeftOver != nullptr) {
        CRect rect(layout.rect);
        if (CWnd* pLeftOver = FromHandlePermanent(hWndLeftOver))
            pLeftOver->CalcWindowRect(&rect);
        AfxRepositionWindow(&layout, hWndLeftOver, &rect);
    }
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
}

// clang-format off
BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCPAINT()
    ON_WM_NCCALCSIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_WINDOWPOSCHANGING()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()
// clang-format on

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    delete m_pDockContext;
    m_pDockContext = nullptr;
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle == dwStyle)
        return;
    DWORD dwOld = m_dwStyle;
    m_dwStyle = dwStyle;
    OnBarStyleChange(dwOld, dwStyle);
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (m_pDockContext == nullptr)
        m_pDockContext = new CDockContext(this);
    if (m_hWndOwner == nullptr)
        m_hWndOwner = ::GetParent(m_hWnd);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

CWnd* CControlBar::GetOwner() const
{
    return FromHandle(m_hWndOwner != nullptr ? m_hWndOwner : ::GetParent(m_hWnd));
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CFrameWnd* pFrame = GetParentFrame();
    return pFrame != nullptr ? pFrame : m_pDockSite;
}

BOOL CControlBar::IsFloating() const
{
    if (IsDockBar())
        return static_cast<const CDockBar*>(this)->m_bFloating;
    return m_pDockBar != nullptr && m_pDockBar->m_bFloating;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayShow)
        return TRUE;
    return (GetStyle() & WS_VISIBLE) != 0 && (m_nStateFlags & delayHide) == 0;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CSize(bStretch && bHorz ? 32767 : 0, bStretch && !bHorz ? 32767 : 0);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    const int cx = BorderX2(), cy = BorderY2();
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += cx;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += cy;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= cx;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= cy;
    // The gaps run along the bar: exchanged when it stands vertically.
    if (bHorz) {
        rect.DeflateRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
        if (m_dwStyle & CBRS_GRIPPER)
            rect.left += 8;
    } else {
        rect.DeflateRect(m_cyTopBorder, m_cxLeftBorder, m_cyBottomBorder, m_cxRightBorder);
        if (m_dwStyle & CBRS_GRIPPER)
            rect.top += 8;
    }
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    const COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const int cx = BorderX2(), cy = BorderY2();
    // Each edge: a shadow line outside, a highlight line inside (an etched groove).
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, cx - 1, rect.Height(), hilite);
        rect.left += cx;
    }
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), cy - 1, hilite);
        rect.top += cy;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - cx, rect.top, cx - 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), hilite);
        rect.right -= cx;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - cy, rect.Width(), cy - 1, shadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, hilite);
        rect.bottom -= cy;
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
    if ((m_dwStyle & CBRS_GRIPPER) == 0 || (m_dwStyle & CBRS_FLOATING) != 0)
        return;
    const COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        int x = rect.left + 2;
        pDC->FillSolidRect(x, rect.top + 2, 3, 1, hilite);
        pDC->FillSolidRect(x, rect.top + 2, 1, rect.Height() - 4, hilite);
        pDC->FillSolidRect(x + 2, rect.top + 2, 1, rect.Height() - 4, shadow);
        pDC->FillSolidRect(x, rect.bottom - 3, 3, 1, shadow);
    } else {
        int y = rect.top + 2;
        pDC->FillSolidRect(rect.left + 2, y, 1, 3, hilite);
        pDC->FillSolidRect(rect.left + 2, y, rect.Width() - 4, 1, hilite);
        pDC->FillSolidRect(rect.left + 2, y + 2, rect.Width() - 4, 1, shadow);
        pDC->FillSolidRect(rect.right - 3, y, 1, 3, shadow);
    }
}

void CControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawGripper(pDC, rect);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    const bool visible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !visible)
        m_nStateFlags |= delayShow;
    else if (!bShow && visible)
        m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = GetStyle();
    if ((m_nStateFlags & (delayShow | delayHide)) == 0)
        return dwStyle;
    const bool show = (m_nStateFlags & delayShow) != 0;
    dwStyle = show ? (dwStyle | WS_VISIBLE) : (dwStyle & ~WS_VISIBLE);
    if (lpLayout->hDWP != nullptr) { // a real layout carries it out; a query only looks
        m_nStateFlags &= ~(delayShow | delayHide);
        lpLayout->hDWP = ::DeferWindowPos(
            lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0,
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    return dwStyle;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        DetachFromDocking();
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    // What the bar's own map leaves goes to the owner (a toolbar's buttons command the frame).
    if (IsOwnerMessage(message)) {
        CWnd* pOwner = GetOwner();
        if (pOwner != nullptr && pOwner->m_hWnd != m_hWnd)
            return pOwner->SendMessage(message, wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

void CControlBar::DetachFromDocking()
{
    if (m_pDockBar != nullptr) {
        m_pDockBar->ForgetBar(this);
        m_pDockBar = nullptr;
    }
    if (m_pDockSite != nullptr) {
        m_pDockSite->RemoveControlBar(this);
        m_pDockSite = nullptr;
    }
}

int CControlBar::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    if (m_pDockSite == nullptr)
        m_pDockSite = DYNAMIC_DOWNCAST(CFrameWnd, FromHandlePermanent(::GetParent(m_hWnd)));
    if (m_pDockSite != nullptr)
        m_pDockSite->AddControlBar(this);
    return 0;
}

void CControlBar::OnDestroy()
{
    Default();
}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    // Only the CBRS_BORDER edges lie outside the client area; gaps and gripper are inside.
    const int cx = BorderX2(), cy = BorderY2();
    RECT& r = lpncsp->rgrc[0];
    if (m_dwStyle & CBRS_BORDER_LEFT)
        r.left += cx;
    if (m_dwStyle & CBRS_BORDER_TOP)
        r.top += cy;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        r.right -= cx;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        r.bottom -= cy;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
}

void CControlBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rectWindow = ClipToNonClient(&dc);
    DrawBorders(&dc, rectWindow);
}

CRect CControlBar::ClipToNonClient(CDC* pDC, CRect* pRectClient)
{
    CRect rectClient, rectWindow;
    GetClientRect(&rectClient);
    ClientToScreen(&rectClient);
    GetWindowRect(&rectWindow);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    ::ExcludeClipRect(pDC->m_hDC, rectClient.left, rectClient.top, rectClient.right,
                      rectClient.bottom);
    if (pRectClient != nullptr)
        *pRectClient = rectClient;
    return rectWindow;
}

void CControlBar::OnLButtonDown(UINT, CPoint point)
{
    // A press outside any tool drags the bar.
    if (m_pDockContext != nullptr && OnToolHitTest(point, nullptr) == -1) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_pDockContext != nullptr && OnToolHitTest(point, nullptr) == -1) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

void CControlBar::OnWindowPosChanging(WINDOWPOS* lpWndPos)
{
    // Bars repaint themselves whole when they move; copied bits would show stale borders.
    Default();
    lpWndPos->flags |= SWP_NOCOPYBITS;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if ((dwStyle & WS_VISIBLE) == 0 || (m_dwStyle & CBRS_ALIGN_ANY) == 0)
        return 0;

    CRect rect(lpLayout->rect);
    const CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        dwMode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = size.cx < sizeAvail.cx ? size.cx : sizeAvail.cx;
    size.cy = size.cy < sizeAvail.cy ? size.cy : sizeAvail.cy;
    if (size.cx < 0)
        size.cx = 0;
    if (size.cy < 0)
        size.cy = 0;

    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        if (size.cx > lpLayout->sizeTotal.cx)
            lpLayout->sizeTotal.cx = size.cx;
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        if (size.cy > lpLayout->sizeTotal.cy)
            lpLayout->sizeTotal.cy = size.cy;
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if ((GetStyle() & WS_VISIBLE) == 0)
        return 0;
    // Commands of a bar are routed through its owner when that acts as a frame (a control
    // that owns a mini toolbar says so through IsFrameWnd); only the command route of the
    // target is used.
    CWnd* pOwner = GetOwner();
    CFrameWnd* pTarget = pOwner != nullptr && pOwner->IsFrameWnd()
                             ? reinterpret_cast<CFrameWnd*>(pOwner)
                             : GetParentFrame();
    if (pTarget != nullptr)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}
