// COXSizeControlBar: remembered sizes, the caption and its buttons, the live drag, the
// context menu, and the shared mouse hook.
#include "toolkit/frames/sizebar/size_control_bar.h"

#include "toolkit/frames/sizebar/mdi_frame_size_dock.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/sizebar/drag_dock_context.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_bar_res.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNAMIC(COXSizeControlBar, CControlBar)

CObArray* COXSizeControlBar::s_pDynamicBars = nullptr;
HHOOK COXSizeControlBar::s_hMouseHook = nullptr;
HWND COXSizeControlBar::s_hWndLastHook = nullptr;
CString* COXSizeControlBar::s_pClassName = nullptr;

namespace {

// Size bars whose windows exist: the mouse hook lives while there is one.
int g_nLiveBars = 0;

CString LoadToolkitString(UINT nID, LPCTSTR fallback)
{
    char text[128] = "";
    if (::LoadString(AfxGetResourceHandle(), nID, text, sizeof(text)) == 0)
        return CString(fallback);
    return CString(text);
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(COXSizeControlBar, CControlBar)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_CONTEXTMENU()
    ON_WM_SETCURSOR()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_COMMAND(ID_OX_HIDEBAR, OnHide)
    ON_COMMAND(ID_OX_ALLOWDOCKING, OnAllowDocking)
    ON_COMMAND(ID_OX_FLOATASMDI, OnFloatAsMDI)
    ON_MESSAGE(WM_OX_ADDCONTEXTMENUITEMS, OnAddContextMenuItems)
    ON_MESSAGE(WM_OX_REFRESHFLOATINGMENU, OnRefreshFloatingMenu)
END_MESSAGE_MAP()
// clang-format on

COXSizeControlBar::COXSizeControlBar(DWORD dwSizeBarStyle) : m_dwSizeBarStyle(dwSizeBarStyle)
{
    if (m_dwSizeBarStyle & SZBARF_DLGAUTOSIZE) {
        if (s_pDynamicBars == nullptr)
            s_pDynamicBars = new CObArray;
        s_pDynamicBars->Add(this);
    }
}

COXSizeControlBar::~COXSizeControlBar()
{
    if ((m_dwSizeBarStyle & SZBARF_DLGAUTOSIZE) && s_pDynamicBars != nullptr) {
        for (INT_PTR i = s_pDynamicBars->GetSize() - 1; i >= 0; --i) {
            if (s_pDynamicBars->GetAt(i) == this) {
                s_pDynamicBars->RemoveAt(i);
                break;
            }
        }
        if (s_pDynamicBars->GetSize() == 0) {
            delete s_pDynamicBars;
            s_pDynamicBars = nullptr;
        }
    }
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    delete m_pDockbarSkin;
    m_pDockbarSkin = nullptr;
}

BOOL COXSizeControlBar::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                               const RECT& rect, CWnd* pParentWnd, UINT nID,
                               CCreateContext* pContext)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    CRect r(rect);
    if (r == CFrameWnd::rectDefault && pParentWnd != nullptr) {
        CRect client;
        pParentWnd->GetClientRect(&client);
        const CSize size(client.Width() / 2, client.Height() / 4);
        r = CRect(client.right - size.cx, client.bottom - size.cy, client.right, client.bottom);
    }
    m_sizeFloat = m_sizeHorzDock = r.Size();
    m_sizeVertDock = CSize(r.Height(), r.Width());
    // CBRS_GRIPPER would read as a dialog frame in the window style.
    return CWnd::Create(lpszClassName, lpszWindowName,
                        (dwStyle & ~CBRS_GRIPPER) | WS_CLIPCHILDREN, r, pParentWnd, nID,
                        pContext);
}

BOOL COXSizeControlBar::Create(CWnd* pParentWnd, LPCTSTR lpszTitle, UINT nID, DWORD dwStyle,
                               const RECT& rect)
{
    return Create(nullptr, lpszTitle, dwStyle, rect, pParentWnd, nID, nullptr);
}

BOOL COXSizeControlBar::CreateDefault(CWnd* pParentWnd, LPCTSTR lpszTitle, UINT nID)
{
    if (s_pClassName == nullptr) {
        s_pClassName = new CString(AfxRegisterWndClass(CS_DBLCLKS));
        std::atexit(&DestroySizeBarClassName);
    }
    return Create(*s_pClassName, lpszTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CBRS_RIGHT,
                  CFrameWnd::rectDefault, pParentWnd, nID, nullptr);
}

void COXSizeControlBar::DestroySizeBarClassName()
{
    delete s_pClassName;
    s_pClassName = nullptr;
}

void COXSizeControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (m_pDockContext == nullptr)
        m_pDockContext = new COXDragDockContext(this);
    if (m_hWndOwner == nullptr)
        m_hWndOwner = ::GetParent(m_hWnd);
}

COXDockTabCtrl* COXSizeControlBar::GetTabCtrl() const
{
    auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, m_pDockBar);
    if (pDock == nullptr || pDock->m_wndTabs.m_hWnd == nullptr ||
        pDock->m_wndTabs.FindBar(const_cast<COXSizeControlBar*>(this)) < 0)
        return nullptr;
    return &pDock->m_wndTabs;
}

CSize COXSizeControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    if (IsFloatingState())
        return m_sizeFloat;
    return bHorz ? m_sizeHorzDock : m_sizeVertDock;
}

void COXSizeControlBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    // Floating or docked on another kind of side, the caption strip comes, goes or turns:
    // the frame is measured again even when the size stays the same.
    if (m_hWnd != nullptr && ((dwOldStyle ^ dwNewStyle) & (CBRS_FLOATING | CBRS_ALIGN_ANY)))
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL COXSizeControlBar::IsFloatingState() const
{
    return m_pDockBar == nullptr || (m_dwStyle & CBRS_FLOATING) != 0;
}

BOOL COXSizeControlBar::CanExpand()
{
    auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, m_pDockBar);
    if (pDock == nullptr || pDock->GetTabStripHeight() > 0 || m_hWnd == nullptr)
        return FALSE;
    CRect rect;
    GetWindowRect(&rect);
    return pDock->CountBarsInRow(this, rect) > 0;
}

LRESULT COXSizeControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Commands: the bar's own map first, then the framework's forwarding to the owner.
    return CControlBar::WindowProc(message, wParam, lParam);
}

void COXSizeControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    HWND hFocus = ::GetFocus();
    const BOOL bInside = hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
    if (bInside != m_bActive)
        SetActive(bInside, FALSE);
}

COXDockbarSkin* COXSizeControlBar::GetDockbarSkin()
{
    if (COXSkin* pSkin = OXGetCurrentSkin())
        if (COXDockbarSkin* pCurrent = pSkin->GetDockbarSkin())
            return pCurrent;
    if (m_pDockbarSkin == nullptr)
        m_pDockbarSkin = new COXDockbarSkinClassic;
    return m_pDockbarSkin;
}

void COXSizeControlBar::CalcCaptionRects()
{
    GetDockbarSkin()->LayoutCaption(this);
}

// --- position and painting ---

void COXSizeControlBar::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    CRect rect;
    GetWindowRect(&rect);
    const int nFloat = IsFloatingState() ? 1 : 0;
    int nFlags = 0;
    if (rect.Width() != m_nLastCx || rect.Height() != m_nLastCy)
        nFlags |= 1;
    if (nFloat != m_nLastFloatState)
        nFlags |= 2;
    if (nFlags != 0) {
        m_nLastCx = rect.Width();
        m_nLastCy = rect.Height();
        m_nLastFloatState = nFloat;
        OnSizedOrDocked(m_nLastCx, m_nLastCy, nFloat, nFlags);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    CalcCaptionRects();
    if (m_bExpanded) { // any later move shows the normal face again
        m_bExpanded = FALSE;
        RedrawExpandButton();
    }
}

void COXSizeControlBar::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    Default();
    CRect rect(lpncsp->rgrc[0]);
    GetDockbarSkin()->CalcBarClientRect(bCalcValidRects, rect, this);
    lpncsp->rgrc[0] = rect;
}

void COXSizeControlBar::OnNcPaint()
{
    PaintNonClient();
}

void COXSizeControlBar::PaintNonClient()
{
    CWindowDC dc(this);
    CRect rectClient;
    CRect rectWindow = ClipToNonClient(&dc, &rectClient);
    ::IntersectClipRect(dc, rectWindow.left, rectWindow.top, rectWindow.right, rectWindow.bottom);

    COXDockbarSkin* pSkin = GetDockbarSkin();
    pSkin->DrawBarBackground(&dc, rectWindow, this);
    CalcCaptionRects();
    if ((m_dwSizeBarStyle & SZBARF_NOGRIPPER) == 0)
        DrawGripper(&dc);
    if ((m_dwSizeBarStyle & SZBARF_NOCLOSEBTN) == 0)
        DrawCloseButton(&dc);
    if ((m_dwSizeBarStyle & SZBARF_NORESIZEBTN) == 0)
        DrawExpandButton(&dc);
    if (m_bClientFrame) {
        CRect frame = rectClient;
        frame.InflateRect(1, 1);
        CBrush brush(pSkin->GetClientFrameColor());
        dc.FrameRect(&frame, &brush);
    }
}

void COXSizeControlBar::DrawGripper(CDC* pDC)
{
    GetDockbarSkin()->DrawGripper(pDC, this);
}

void COXSizeControlBar::DrawCloseButton(CDC* pDC)
{
    GetDockbarSkin()->DrawCloseButton(pDC, this);
}

void COXSizeControlBar::DrawExpandButton(CDC* pDC)
{
    GetDockbarSkin()->DrawExpandButton(pDC, this);
}

void COXSizeControlBar::RedrawCaptionButtons()
{
    if (m_hWnd == nullptr || IsFloatingState())
        return;
    CWindowDC dc(this);
    if ((m_dwSizeBarStyle & SZBARF_NOCLOSEBTN) == 0)
        DrawCloseButton(&dc);
    if ((m_dwSizeBarStyle & SZBARF_NORESIZEBTN) == 0)
        DrawExpandButton(&dc);
}

void COXSizeControlBar::RedrawCloseButton()
{
    RedrawWindow(&m_rectClose, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void COXSizeControlBar::RedrawExpandButton()
{
    RedrawWindow(&m_rectExpand, nullptr,
                 RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

BOOL COXSizeControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    ::GetClipBox(*pDC, &rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void COXSizeControlBar::OnPaint()
{
    CPaintDC dc(this); // the children paint themselves
}

BOOL COXSizeControlBar::OnSetCursor(CWnd* pWnd, UINT, UINT)
{
    if (pWnd != this)
        return FALSE; // a child's own cursor applies
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT COXSizeControlBar::OnNcHitTest(CPoint point)
{
    // Docked, the caption and its buttons take client mouse messages.
    if (IsFloatingState())
        return Default();
    CRect rect;
    GetWindowRect(&rect);
    return rect.PtInRect(point) ? HTCLIENT : HTNOWHERE;
}

// --- mouse: caption buttons and the live drag ---

BOOL COXSizeControlBar::AskLiveDrag() const
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain != nullptr && pMain->m_hWnd != nullptr &&
           pMain->SendMessage(WM_OX_QUERYLIVEDRAG) != 0;
}

void COXSizeControlBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (IsFloatingState()) {
        CControlBar::OnLButtonDown(nFlags, point);
        return;
    }
    m_nPressedButton = -1;
    if (m_rectClose.PtInRect(point)) {
        SetCapture();
        m_nPressedButton = -3;
        RedrawCloseButton();
        return;
    }
    if (m_rectExpand.PtInRect(point)) {
        if (!CanExpand())
            return;
        SetCapture();
        m_nPressedButton = -2;
        RedrawExpandButton();
        return;
    }
    if (AskLiveDrag()) {
        m_ptDragStart = point;
        m_bDragPending = TRUE;
        return;
    }
    CControlBar::OnLButtonDown(nFlags, point);
}

void COXSizeControlBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragPending && (nFlags & MK_LBUTTON) &&
        (std::abs(point.x - m_ptDragStart.x) > 3 || std::abs(point.y - m_ptDragStart.y) > 3)) {
        m_bDragPending = FALSE;
        OXBeginLiveDrag(this, point);
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
        return;
    }
    if (m_bTracking) {
        TrackLiveDrag(point, (nFlags & MK_CONTROL) != 0);
        return;
    }
    if (::GetCapture() == m_hWnd) {
        if (m_rectClose.PtInRect(point))
            m_nPressedButton = -3;
        else if (m_rectExpand.PtInRect(point) && CanExpand())
            m_nPressedButton = -2;
        else
            m_nPressedButton = -1;
    }
    RedrawCaptionButtons();
    Default();
}

void COXSizeControlBar::OnLButtonUp(UINT, CPoint point)
{
    m_bDragPending = FALSE;
    if (m_bTracking) {
        m_bTracking = FALSE;
        ::ReleaseCapture();
        return;
    }
    const int nPressed = m_nPressedButton;
    m_nPressedButton = -1;
    if (nPressed == -3)
        RedrawCloseButton();
    else if (nPressed == -2)
        RedrawExpandButton();
    if (::GetCapture() != m_hWnd) {
        Default();
        return;
    }
    ::ReleaseCapture();
    if (nPressed == -3 && m_rectClose.PtInRect(point)) {
        SetVisible(FALSE);
    } else if (nPressed == -2 && m_rectExpand.PtInRect(point) && !IsFloatingState()) {
        if (auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, m_pDockBar))
            pDock->ExpandBar(this, !m_bExpanded);
    }
}

void COXSizeControlBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (!IsFloatingState() && m_pDockContext != nullptr && OnToolHitTest(point, nullptr) == -1) {
        if (COXDockTabCtrl* pTabs = GetTabCtrl(); pTabs != nullptr && AskLiveDrag())
            pTabs->RemoveBar(this);
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

void COXSizeControlBar::SetDragOffset(int x, int y)
{
    CRect rect;
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    double dx;
    int oy;
    const bool bDocked = !IsFloatingState();
    if (bDocked && (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM))) {
        // The caption runs down the bar's left side: its length maps onto the width.
        dx = rect.Height() > 0 ? m_sizeFloat.cx * double(rect.bottom - y) / rect.Height() : 0;
        oy = x - rect.left;
    } else {
        dx = rect.Width() > 0 ? m_sizeFloat.cx * double(x - rect.left) / rect.Width() : 0;
        oy = y - rect.top;
    }
    int ox = static_cast<int>(dx);
    ox = std::max(ox, 5);
    ox = std::min(ox, static_cast<int>(m_sizeFloat.cx) - 20);
    if (bDocked)
        oy = 10;
    m_ptDragOffset = CPoint(ox, oy);
}

void COXSizeControlBar::TrackLiveDrag(CPoint point, bool bFloatOnly)
{
    ClientToScreen(&point);
    if (!OXTrackLiveDrag(this, point, m_ptDragOffset, bFloatOnly)) {
        ::ReleaseCapture();
        m_bTracking = FALSE;
    }
}

bool OXBeginLiveDrag(CControlBar* pBar, CPoint ptClient)
{
    auto begin = [ptClient](auto* p) {
        p->SetDragOffset(ptClient.x, ptClient.y);
        p->SetCapture();
        p->m_bTracking = TRUE;
        return true;
    };
    if (auto* pCool = DYNAMIC_DOWNCAST(COXCoolToolBar, pBar))
        return begin(pCool);
    if (auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, pBar))
        return begin(pSize);
    return false;
}

bool OXTrackLiveDrag(CControlBar* pBar, CPoint ptScreen, CPoint ptDragOffset, bool bFloatOnly)
{
    auto* pMain = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    // The windows the last step uncovered are painted before the bar moves on.
    if (pMain == nullptr || !AfxPumpPaintMessages())
        return false;
    if (pBar->m_pDockContext == nullptr) {
        pMain->FloatControlBar(pBar, ptScreen, CBRS_ALIGN_TOP);
    } else if (COXSizeDockBar* pDockBar = COXSizeDockBar::DockBarFromPoint(ptScreen, pBar);
               pDockBar != nullptr && !bFloatOnly) {
        CRect rect;
        pBar->GetWindowRect(&rect);
        CRect rectDock(ptScreen, rect.Size());
        pMain->DockControlBar(pBar, pDockBar, &rectDock);
    } else {
        auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, pBar);
        if (COXDockTabCtrl* pTabs = pSize != nullptr ? pSize->GetTabCtrl() : nullptr)
            pTabs->RemoveBar(pSize);
        pMain->FloatControlBar(pBar, ptScreen - CSize(ptDragOffset.x, ptDragOffset.y),
                               CBRS_ALIGN_TOP);
    }
    pMain->RecalcLayout(); // the side the bar left closes up while the drag goes on
    if (::GetCapture() != pBar->m_hWnd)
        pBar->SetCapture(); // re-parenting may have taken it
    return true;
}

// --- activation, visibility ---

void COXSizeControlBar::SetActive(BOOL bActive, BOOL bDeactivateOthers)
{
    m_bActive = bActive;
    // The MDI docking frame tells the bar that holds the focus when it is (de)activated.
    if (auto* pMDI = dynamic_cast<COXMDIFrameWndSizeDock*>(m_pDockSite)) {
        if (bActive)
            pMDI->m_pActiveSizeBar = this;
        else if (pMDI->m_pActiveSizeBar == this && bDeactivateOthers)
            pMDI->m_pActiveSizeBar = nullptr;
    }
    if (bActive) {
        HWND hFocus = ::GetFocus();
        if (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus)) {
            ::SetFocus(m_hWnd);
            // The focus goes down the first children until one keeps it.
            for (HWND h = ::GetWindow(m_hWnd, GW_CHILD);
                 h != nullptr && ::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus());
                 h = ::GetWindow(h, GW_CHILD))
                ::SetFocus(h);
        }
    }
    if (bDeactivateOthers && m_pDockSite != nullptr) {
        for (POSITION pos = m_pDockSite->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
            auto* pBar = static_cast<CControlBar*>(m_pDockSite->m_listControlBars.GetNext(pos));
            auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, pBar);
            if (pSize != nullptr && pSize != this && pSize->m_bActive)
                pSize->SetActive(FALSE, FALSE);
        }
    }
    RedrawWindow(&m_rectCaption, nullptr,
                 RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void COXSizeControlBar::SetVisible(BOOL bShow)
{
    if ((IsVisible() != FALSE) == (bShow != FALSE) || m_pDockSite == nullptr)
        return;
    auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, m_pDockBar);
    if (!bShow) {
        m_pDockSite->ShowControlBar(this, FALSE, TRUE);
        if (pDock != nullptr && !IsFloatingState() && pDock->GetTabStripHeight() > 0) {
            m_nTabIndex = pDock->m_wndTabs.FindBar(this);
            pDock->m_wndTabs.RemoveBar(this);
        }
        return;
    }
    if (COXDockTabCtrl* pTabs = GetTabCtrl()) {
        pTabs->SetCurSel(pTabs->FindBar(this));
        pTabs->ActivateSelected();
        return;
    }
    m_pDockSite->ShowControlBar(this, TRUE, TRUE);
    if (pDock != nullptr && !IsFloatingState() && m_nTabIndex >= 0 &&
        pDock->CountAlignedBars(this) >= 2)
        pDock->m_wndTabs.InsertBar(this, m_nTabIndex, TRUE);
}

// --- context menu and its commands ---

void COXSizeControlBar::OnContextMenu(CWnd*, CPoint point)
{
    if ((m_dwSizeBarStyle & SZBARF_ALLOW_MDI_FLOAT_MENU) == 0) {
        Default();
        return;
    }
    if (point.x == -1 && point.y == -1) // from the keyboard
        ::GetCursorPos(&point);
    HMENU hMenu = ::CreatePopupMenu();
    SendMessage(WM_OX_ADDCONTEXTMENUITEMS, 0, reinterpret_cast<LPARAM>(hMenu));
    ::TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
}

LRESULT COXSizeControlBar::OnAddContextMenuItems(WPARAM, LPARAM lParam)
{
    auto hMenu = reinterpret_cast<HMENU>(lParam);
    // Checked while the bar floats as an MDI window.
    if ((m_dwSizeBarStyle & SZBARF_MDI_FLOAT_ITEM) && m_pDockContext != nullptr) {
        CFrameWnd* pParent = GetParentFrame();
        const bool bMDI = pParent != nullptr && OXIsKindOfName(pParent, "COXMDIFloatWnd");
        ::AppendMenu(hMenu, MF_STRING | (bMDI ? MF_CHECKED : 0), ID_OX_FLOATASMDI,
                     LoadToolkitString(ID_OX_FLOATASMDI, "Float as MDI Window"));
    }
    if ((m_dwDockStyle & CBRS_ALIGN_ANY) != 0 || m_dwSavedDockStyle != 0) {
        UINT flags = MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? MF_CHECKED : 0);
        ::AppendMenu(hMenu, flags, ID_OX_ALLOWDOCKING,
                     LoadToolkitString(ID_OX_ALLOWDOCKING, "Allow docking"));
    }
    ::AppendMenu(hMenu, MF_STRING, ID_OX_HIDEBAR, LoadToolkitString(ID_OX_HIDEBAR, "Hide"));
    return 1;
}

LRESULT COXSizeControlBar::OnRefreshFloatingMenu(WPARAM, LPARAM)
{
    if (auto* pFrame = DYNAMIC_DOWNCAST(COXSizableMiniDockFrameWnd, GetParentFrame()))
        pFrame->UpdateSystemMenu();
    return 1;
}

void COXSizeControlBar::OnHide()
{
    if (m_pDockSite != nullptr)
        m_pDockSite->ShowControlBar(this, FALSE, FALSE);
}

void COXSizeControlBar::OnAllowDocking()
{
    if ((m_dwDockStyle & CBRS_ALIGN_ANY) == 0) {
        EnableDocking(m_dwSavedDockStyle);
        return;
    }
    m_dwSavedDockStyle = m_dwDockStyle;
    if (!IsFloatingState() && m_pDockContext != nullptr)
        m_pDockContext->ToggleDocking();
    EnableDocking(0);
}

void COXSizeControlBar::OnFloatAsMDI()
{
    // Acts only under an MDI docking frame: in and out of an MDI float window at its place.
    auto* pFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(m_pDockSite);
    if (pFrame == nullptr)
        return;
    const DWORD dwStyle = (m_dwStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    CFrameWnd* pParent = GetParentFrame();
    if (pParent != nullptr && OXIsKindOfName(pParent, "COXMDIFloatWnd")) {
        pFrame->FloatBarInFrame(this, dwStyle);
        return;
    }
    CRect rect;
    GetWindowRect(&rect);
    pFrame->FloatBarAsMDI(this, rect.TopLeft(), dwStyle, TRUE);
}

// --- creation, destruction, the mouse hook ---

int COXSizeControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    ++g_nLiveBars;
    if (s_hMouseHook == nullptr)
        s_hMouseHook = ::SetWindowsHookEx(WH_MOUSE, &MouseHookProc, nullptr,
                                          ::GetCurrentThreadId());
    return 0;
}

void COXSizeControlBar::OnDestroy()
{
    if (auto* pMDI = dynamic_cast<COXMDIFrameWndSizeDock*>(m_pDockSite);
        pMDI != nullptr && pMDI->m_pActiveSizeBar == this)
        pMDI->m_pActiveSizeBar = nullptr;
    // The hook stays while any size bar is left.
    if (--g_nLiveBars <= 0 && s_hMouseHook != nullptr) {
        g_nLiveBars = 0;
        ::UnhookWindowsHookEx(s_hMouseHook);
        s_hMouseHook = nullptr;
        s_hWndLastHook = nullptr;
    }
    CControlBar::OnDestroy();
}

COXSizeControlBar* COXSizeControlBar::BarFromHandle(HWND hWnd)
{
    for (HWND h = hWnd; h != nullptr && ::IsWindow(h); h = ::GetParent(h)) {
        if (auto* pBar = DYNAMIC_DOWNCAST(COXSizeControlBar, FromHandlePermanent(h)))
            return pBar;
        if ((::GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return nullptr;
}

LRESULT CALLBACK COXSizeControlBar::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND hNow = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        COXSizeControlBar* pLast = BarFromHandle(s_hWndLastHook);
        if (pLast != nullptr && pLast != BarFromHandle(hNow))
            pLast->RedrawCaptionButtons(); // the mouse left it: its buttons lose the hot face
        s_hWndLastHook = hNow;
    }
    return ::CallNextHookEx(s_hMouseHook, nCode, wParam, lParam);
}

void COXSizeControlBar::DestroyFrameBars(CFrameWnd* pFrame)
{
    for (INT_PTR i = s_pDynamicBars != nullptr ? s_pDynamicBars->GetSize() - 1 : -1; i >= 0;
         --i) {
        if (s_pDynamicBars == nullptr || i >= s_pDynamicBars->GetSize())
            continue;
        auto* pBar = static_cast<COXSizeControlBar*>(s_pDynamicBars->GetAt(i));
        if (pBar->m_hWnd != nullptr && ::IsWindow(pBar->m_hWnd)) {
            if (pBar->GetTopLevelFrame() == pFrame)
                pBar->DestroyWindow();
        } else {
            delete pBar; // leaves the list (and deletes it when it empties)
        }
    }
}
