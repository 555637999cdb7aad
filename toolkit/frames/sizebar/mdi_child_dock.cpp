// The dockable MDI child, the view bar that shows its view while docked and the wrapper that
// holds the view in a docked bar.
#include "toolkit/frames/sizebar/mdi_child_dock.h"

#include "toolkit/frames/sizebar/mdi_frame_size_dock.h"
#include "toolkit/frames/sizebar/size_bar_res.h"

IMPLEMENT_DYNAMIC(COXSizeBarWrapper, CWnd)
IMPLEMENT_DYNAMIC(COXSizeViewBar, COXSizeControlBar)
IMPLEMENT_DYNCREATE(COXMDIChildWndSizeDock, CMDIChildWnd)

namespace {

// Registered when the program starts, as every window that offers the item needs the same id.
const UINT g_nDockMDIChildID = ::RegisterWindowMessageA("_DOCK_MDICHILD_");

COXMDIFrameWndSizeDock* SizeDockFrame(const CMDIChildWnd* pChild)
{
    return pChild != nullptr ? dynamic_cast<COXMDIFrameWndSizeDock*>(pChild->GetMDIFrame())
                             : nullptr;
}

bool IsLive(const CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->m_hWnd != nullptr && ::IsWindow(pWnd->m_hWnd);
}

// The floating-status flags of WM_FLOATSTATUS.
constexpr WPARAM FS_ACTIVATE = 0x0004;
constexpr WPARAM FS_DEACTIVATE = 0x0008;

UINT DockBarOfSide(DWORD dwSide)
{
    switch (dwSide) {
    case CBRS_ALIGN_BOTTOM:
        return AFX_IDW_DOCKBAR_BOTTOM;
    case CBRS_ALIGN_LEFT:
        return AFX_IDW_DOCKBAR_LEFT;
    case CBRS_ALIGN_RIGHT:
        return AFX_IDW_DOCKBAR_RIGHT;
    default:
        return AFX_IDW_DOCKBAR_TOP;
    }
}

void RefreshWindowMenu(CMDIFrameWnd* pFrame)
{
    if (pFrame != nullptr && pFrame->m_hWndMDIClient != nullptr)
        ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    if (pFrame != nullptr)
        ::DrawMenuBar(pFrame->m_hWnd);
}

CString DockMenuText()
{
    char text[64] = "";
    if (::LoadStringA(AfxGetResourceHandle(), IDS_OX_DOCKMDICHILD, text, sizeof(text)) == 0)
        lstrcpyA(text, "Dock window");
    return text;
}

} // namespace

UINT OXGetDockMDIChildID()
{
    return g_nDockMDIChildID;
}

// --- COXSizeBarWrapper ---

// clang-format off
BEGIN_MESSAGE_MAP(COXSizeBarWrapper, CWnd)
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEACTIVATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_NCDESTROY, OnNcDestroyMessage)
    ON_WM_CLOSE()
    ON_WM_NCACTIVATE()
END_MESSAGE_MAP()
// clang-format on

BOOL COXSizeBarWrapper::CreateWrapper(COXSizeViewBar* pBar)
{
    static LPCTSTR cls = [] {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "MDIChildWndDockWrapper";
        ::RegisterClassA(&wc);
        return "MDIChildWndDockWrapper";
    }();
    m_pBar = pBar;
    CRect rect;
    pBar->GetClientRect(&rect);
    CString text;
    pBar->GetWindowText(text);
    if (!CreateEx(0, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                  rect.Width(), rect.Height(), pBar->m_hWnd, nullptr))
        return FALSE;
    SendMessage(WM_NCACTIVATE, TRUE);
    return TRUE;
}

void COXSizeBarWrapper::AttachView(COXSizeViewBar* pBar, CWnd* pView)
{
    if (m_hWnd == nullptr && !CreateWrapper(pBar))
        AfxThrowResourceException();
    m_pBar = pBar;
    m_pView = pView;
    if (pView != nullptr && ::GetParent(pView->m_hWnd) != m_hWnd)
        pView->SetParent(this);
    CRect rect;
    pBar->GetClientRect(&rect);
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow();
}

void COXSizeBarWrapper::RestoreView()
{
    if (m_pView != nullptr && m_pBar != nullptr && IsLive(m_pView) &&
        ::GetParent(m_pView->m_hWnd) == m_hWnd)
        m_pView->SetParent(m_pBar);
    if (m_hWnd != nullptr)
        ShowWindow(SW_HIDE);
}

LRESULT COXSizeBarWrapper::OnNcHitTest(CPoint point)
{
    LRESULT nHit = Default();
    if ((nHit == HTCLIENT || nHit == HTCAPTION) && IsLive(m_pBar))
        return m_pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    return nHit;
}

void COXSizeBarWrapper::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!IsLive(m_pBar))
        return;
    ::MapWindowPoints(m_hWnd, m_pBar->m_hWnd, &point, 1);
    m_pBar->SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void COXSizeBarWrapper::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (!IsLive(m_pBar))
        return;
    ::MapWindowPoints(m_hWnd, m_pBar->m_hWnd, &point, 1);
    m_pBar->SendMessage(WM_LBUTTONDBLCLK, nFlags, MAKELPARAM(point.x, point.y));
}

int COXSizeBarWrapper::OnMouseActivate(CWnd*, UINT, UINT)
{
    const int nResult = static_cast<int>(Default());
    if (nResult != MA_NOACTIVATE && nResult != MA_NOACTIVATEANDEAT && IsLive(m_pBar))
        m_pBar->SendMessage(WM_OX_VIEWBARACTIVATE, TRUE, OX_ACTIVATE_WRAPPER);
    return nResult;
}

void COXSizeBarWrapper::OnDestroy()
{
    m_bDestroying = TRUE;
    // The view is not the wrapper's to destroy: it goes back to the bar.
    if (IsLive(m_pBar) && !m_pBar->m_bDestroying && m_pBar->m_pChild != nullptr &&
        m_pBar->m_pChild->IsDocked())
        RestoreView();
    Default();
}

LRESULT COXSizeBarWrapper::OnNcDestroyMessage(WPARAM, LPARAM)
{
    m_bDestroying = TRUE;
    const LRESULT result = Default();
    if (IsLive(m_pBar) && !m_pBar->m_bDestroying)
        m_pBar->DestroyWindow();
    m_bDestroying = FALSE;
    return result;
}

void COXSizeBarWrapper::OnClose()
{
    if (IsLive(m_pBar) && !m_pBar->CanCloseChild())
        return;
    Default();
}

BOOL COXSizeBarWrapper::OnNcActivate(BOOL bActive)
{
    // Drawn active only while the bar's child is the frame's active child.
    if (bActive && m_pBar != nullptr && m_pBar->m_pChild != nullptr) {
        CMDIFrameWnd* pFrame = m_pBar->m_pChild->GetMDIFrame();
        if (pFrame == nullptr || pFrame->MDIGetActive() != m_pBar->m_pChild)
            return FALSE;
    }
    return static_cast<BOOL>(Default());
}

// --- COXSizeViewBar ---

// clang-format off
BEGIN_MESSAGE_MAP(COXSizeViewBar, COXSizeControlBar)
    ON_WM_NCACTIVATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_NCDESTROY, OnNcDestroyMessage)
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_OX_ADDCONTEXTMENUITEMS, OnAddContextMenuItems)
    ON_MESSAGE(WM_OX_VIEWBARACTIVATE, OnViewBarActivate)
END_MESSAGE_MAP()
// clang-format on

COXSizeViewBar::COXSizeViewBar() : COXSizeControlBar(SZBARF_SOLIDGRIPPER | SZBARF_ALLOW_MDI_FLOAT_MENU)
{
}

COXSizeViewBar::~COXSizeViewBar() = default;

CMDIFrameWnd* COXSizeViewBar::ChildFrame() const
{
    return m_pChild != nullptr ? m_pChild->GetMDIFrame() : nullptr;
}

BOOL COXSizeViewBar::IsChildAlive() const
{
    return IsLive(m_pChild);
}

BOOL COXSizeViewBar::DockChild(COXMDIChildWndSizeDock* pChild, DWORD dwSide, BOOL bAtLastBar)
{
    m_pChild = pChild;
    auto* pFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(pChild->GetMDIFrame());
    CView* pView = pChild->GetActiveView();
    if (pView == nullptr || pFrame == nullptr)
        return FALSE;
    m_pView = pView;

    const BOOL bNew = m_hWnd == nullptr;
    if (bNew) {
        if (!Create(pFrame, "", 1, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
            return FALSE;
        EnableDocking(pChild->m_dwDockSides);
        ShowWindow(SW_HIDE);
    }
    CString text;
    pChild->GetWindowText(text);
    SetWindowText(text);
    pView->SetParent(this);

    if (pFrame->MDIGetActive() == pChild) {
        BOOL bMaximized = FALSE;
        pFrame->CMDIFrameWnd::MDIGetActive(&bMaximized);
        if (bMaximized) {
            // No maximized ghost: the next child takes over before this one is restored.
            pFrame->MDINext();
            pChild->ShowWindow(SW_HIDE);
            ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIRESTORE,
                          reinterpret_cast<WPARAM>(pChild->m_hWnd), 0);
            pChild->ShowWindow(SW_HIDE);
        }
        pFrame->ActivateChild(pChild);
    }
    pChild->ShowWindow(SW_HIDE);

    if (bNew) {
        DWORD dwAllowed = pChild->m_dwDockSides & CBRS_ALIGN_ANY;
        if ((dwSide & dwAllowed) == 0)
            for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
                if (dwAllowed & side) {
                    dwSide = side;
                    break;
                }
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        CControlBar* pLast = nullptr;
        for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
            auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
            if (pBar != this && !pBar->IsDockBar())
                pLast = pBar;
        }
        if (bAtLastBar && pLast != nullptr) {
            CRect rect;
            pLast->GetWindowRect(&rect);
            rect.OffsetRect(1, 1);
            pFrame->DockControlBar(this, DockBarOfSide(dwSide & CBRS_ALIGN_ANY), &rect);
        } else {
            pFrame->DockControlBar(this, DockBarOfSide(dwSide & CBRS_ALIGN_ANY));
        }
    } else {
        pFrame->ShowControlBar(this, TRUE, FALSE);
        pFrame->RecalcLayout();
        CRect rect;
        GetWindowRect(&rect);
        OnSizedOrDocked(rect.Width(), rect.Height(), IsFloatingState(), 2);
    }
    pFrame->RecalcLayout();
    RefreshWindowMenu(pFrame);
    return TRUE;
}

BOOL COXSizeViewBar::UndockChild(BOOL bShow)
{
    if (!IsChildAlive() || !m_pChild->IsDocked())
        return FALSE;
    auto* pFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(m_pChild->GetMDIFrame());
    if (pFrame == nullptr)
        return FALSE;
    if (m_wndWrapper.m_hWnd != nullptr && !IsFloatingState())
        m_wndWrapper.RestoreView();
    auto* pView = dynamic_cast<CView*>(m_pView);
    if (IsLive(m_pView))
        m_pView->SetParent(m_pChild);
    pFrame->SetActiveView(nullptr, FALSE);
    if (pView != nullptr)
        m_pChild->SetActiveView(pView, FALSE);
    if (bShow && m_hWnd != nullptr) {
        if (IsWindowVisible())
            pFrame->ShowControlBar(this, FALSE, FALSE);
        pFrame->RecalcLayout();
    }
    if (pFrame->MDIGetActive() == m_pChild) {
        const BOOL bMaximized = pFrame->IsActiveChildMaximized();
        pFrame->SetActiveDockedChild(nullptr);
        pFrame->CMDIFrameWnd::MDIActivate(m_pChild);
        if (bMaximized)
            ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIMAXIMIZE,
                          reinterpret_cast<WPARAM>(m_pChild->m_hWnd), 0);
    }
    m_pChild->RecalcLayout();
    if (bShow) {
        m_pChild->m_bDocked = FALSE; // lets WS_VISIBLE through
        m_pChild->ShowWindow(SW_SHOW);
        m_pChild->m_bDocked = TRUE;
    }
    RefreshWindowMenu(pFrame);
    return TRUE;
}

BOOL COXSizeViewBar::CanCloseChild()
{
    if (m_hWnd == nullptr || !IsLive(m_pView) || !IsChildAlive())
        return TRUE;
    CDocument* pDocument = m_pChild->GetActiveDocument();
    return pDocument == nullptr || pDocument->CanCloseFrame(m_pChild);
}

void COXSizeViewBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    // The view updates its own commands through its child frame's route; the size bar's
    // focus tracking does not run for a view bar.
    (void)pTarget;
    (void)bDisableIfNoHndler;
}

void COXSizeViewBar::OnSizedOrDocked(int, int, BOOL bFloating, int)
{
    if (!IsChildAlive() || !m_pChild->IsDocked() || !IsLive(m_pView))
        return;
    CRect rect;
    if (bFloating) {
        m_wndWrapper.RestoreView();
        if (CFrameWnd* pFloat = GetParentFrame())
            pFloat->RecalcLayout();
        GetClientRect(&rect);
    } else {
        m_wndWrapper.AttachView(this, m_pView);
        m_wndWrapper.GetClientRect(&rect);
    }
    m_pView->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (CMDIFrameWnd* pFrame = ChildFrame(); pFrame != nullptr && pFrame->MDIGetActive() == m_pChild)
        m_pView->SetFocus();
}

BOOL COXSizeViewBar::OnNcActivate(BOOL)
{
    return static_cast<BOOL>(Default());
}

void COXSizeViewBar::OnDestroy()
{
    m_bDestroying = TRUE;
    COXSizeControlBar::OnDestroy();
    if (IsChildAlive() && m_pChild->IsDocked())
        UndockChild(FALSE);
}

LRESULT COXSizeViewBar::OnNcDestroyMessage(WPARAM, LPARAM)
{
    m_bDestroying = TRUE;
    if (m_wndWrapper.m_hWnd != nullptr && !m_wndWrapper.m_bDestroying)
        m_wndWrapper.DestroyWindow();
    if (IsChildAlive() && m_pChild->IsDocked() && !m_pChild->m_bClosing)
        m_pChild->PostMessage(WM_CLOSE);
    else if (CMDIFrameWnd* pFrame = ChildFrame())
        pFrame->SetActiveView(nullptr, FALSE);
    const LRESULT result = Default();
    m_bDestroying = FALSE;
    return result;
}

void COXSizeViewBar::OnContextMenu(CWnd*, CPoint point)
{
    if ((m_dwSizeBarStyle & SZBARF_ALLOW_MDI_FLOAT_MENU) == 0 || !IsChildAlive()) {
        Default();
        return;
    }
    if (point.x == -1 && point.y == -1)
        ::GetCursorPos(&point);
    m_pChild->TrackDockMenu(point);
}

LRESULT COXSizeViewBar::OnSetText(WPARAM wParam, LPARAM lParam)
{
    // The caption of whatever shows the bar follows.
    if (IsFloatingState()) {
        if (CFrameWnd* pFloat = GetParentFrame(); pFloat != nullptr && pFloat != ChildFrame())
            ::SendMessageA(pFloat->m_hWnd, WM_SETTEXT, wParam, lParam);
    } else if (m_wndWrapper.m_hWnd != nullptr) {
        ::SendMessageA(m_wndWrapper.m_hWnd, WM_SETTEXT, wParam, lParam);
    }
    return Default();
}

LRESULT COXSizeViewBar::OnAddContextMenuItems(WPARAM, LPARAM lParam)
{
    if (IsChildAlive())
        m_pChild->AddDockMenuItem(reinterpret_cast<HMENU>(lParam));
    return 1;
}

LRESULT COXSizeViewBar::OnViewBarActivate(WPARAM wParam, LPARAM lParam)
{
    const BOOL bActive = static_cast<BOOL>(wParam);
    const bool bLive = IsChildAlive() && m_pChild->IsDocked() && IsLive(m_pView);
    if (lParam == OX_ACTIVATE_FLOATFRAME && bLive) {
        if (IsFloatingState()) {
            if (CFrameWnd* pFloat = GetParentFrame()) {
                pFloat->SendMessage(WM_NCACTIVATE, FALSE);
                pFloat->SendMessage(WM_FLOATSTATUS, bActive ? FS_ACTIVATE : FS_DEACTIVATE);
            }
        } else if (m_wndWrapper.m_hWnd != nullptr) {
            m_wndWrapper.SendMessage(WM_NCACTIVATE, bActive);
        }
    } else if ((lParam == OX_ACTIVATE_WRAPPER || lParam == OX_ACTIVATE_CLICK) && bLive &&
               bActive) {
        // A click in the docked view makes its child the frame's active one.
        if (auto* pFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(ChildFrame());
            pFrame != nullptr && pFrame->MDIGetActive() != m_pChild)
            pFrame->ActivateChild(m_pChild);
        m_pView->SetFocus();
    }
    SetActive(bActive, FALSE);
    return 0;
}

// --- COXMDIChildWndSizeDock ---

// clang-format off
BEGIN_MESSAGE_MAP(COXMDIChildWndSizeDock, CMDIChildWnd)
    ON_WM_MOUSEACTIVATE()
    ON_WM_CLOSE()
    ON_WM_CONTEXTMENU()
    ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
    ON_WM_SYSCOMMAND()
    ON_WM_NCRBUTTONDOWN()
    ON_MESSAGE(WM_STYLECHANGING, OnStyleChanging)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    // The id is the registered message, known once the program runs (the table is filled
    // at its first use).
    ON_COMMAND(OXGetDockMDIChildID(), ToggleDock)
END_MESSAGE_MAP()
// clang-format on

COXMDIChildWndSizeDock::COXMDIChildWndSizeDock() : m_strDockMenu(DockMenuText()) {}

COXMDIChildWndSizeDock::~COXMDIChildWndSizeDock()
{
    m_wndViewBar.m_pChild = nullptr;
}

BOOL COXMDIChildWndSizeDock::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                                    DWORD dwStyle, const RECT& rect, CMDIFrameWnd* pParentWnd,
                                    CCreateContext* pContext)
{
    if (!CMDIChildWnd::Create(lpszClassName, lpszWindowName, dwStyle & ~WS_VISIBLE, rect,
                              pParentWnd, pContext))
        return FALSE;
    if (dwStyle & WS_VISIBLE) {
        ::BringWindowToTop(m_hWnd);
        ShowWindow((dwStyle & WS_MINIMIZE)   ? SW_SHOWMINNOACTIVE
                   : (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                             : SW_SHOWNOACTIVATE);
        if (COXMDIFrameWndSizeDock* pFrame = SizeDockFrame(this))
            pFrame->ActivateChild(this);
        else
            CMDIChildWnd::MDIActivate();
        RefreshWindowMenu(GetMDIFrame());
    }
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        CMenu menu;
        menu.Attach(hSysMenu);
        AddDockMenuItems(&menu);
        menu.Detach();
    }
    return TRUE;
}

void COXMDIChildWndSizeDock::AddDockMenuItem(HMENU hMenu)
{
    ::AppendMenuA(hMenu, MF_STRING | (m_bDocked ? MF_CHECKED : MF_UNCHECKED),
                  OXGetDockMDIChildID(), m_strDockMenu);
}

void COXMDIChildWndSizeDock::AddDockMenuItems(CMenu* pMenu)
{
    pMenu->AppendMenu(MF_SEPARATOR);
    AddDockMenuItem(pMenu->m_hMenu);
}

BOOL COXMDIChildWndSizeDock::SetDocked(BOOL bDock, DWORD dwSide, BOOL bAtLastBar)
{
    if (SizeDockFrame(this) == nullptr)
        return FALSE;
    if ((bDock != FALSE) == (m_bDocked != FALSE))
        return TRUE;
    BOOL bDone;
    if (bDock) {
        m_bDocked = TRUE; // the bar's layout already counts the child as docked
        bDone = m_wndViewBar.DockChild(this, dwSide, bAtLastBar);
        if (!bDone)
            m_bDocked = FALSE;
    } else {
        bDone = m_wndViewBar.UndockChild(TRUE);
        if (bDone)
            m_bDocked = FALSE;
    }
    if (!bDone)
        return FALSE;
    RecalcLayout();
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE))
        ::CheckMenuItem(hSysMenu, OXGetDockMDIChildID(),
                        MF_BYCOMMAND | (m_bDocked ? MF_CHECKED : MF_UNCHECKED));
    return TRUE;
}

void COXMDIChildWndSizeDock::ToggleDock()
{
    SetDocked(!m_bDocked, CBRS_ALIGN_TOP, FALSE);
}

void COXMDIChildWndSizeDock::MDIActivate()
{
    CMDIChildWnd::MDIActivate();
}

void COXMDIChildWndSizeDock::MDIMaximize()
{
    if (!m_bDocked)
        CMDIChildWnd::MDIMaximize();
}

void COXMDIChildWndSizeDock::MDIRestore()
{
    if (!m_bDocked)
        CMDIChildWnd::MDIRestore();
}

void COXMDIChildWndSizeDock::MDIDestroy()
{
    CMDIChildWnd::MDIDestroy();
}

void COXMDIChildWndSizeDock::TrackDockMenu(CPoint point)
{
    HMENU hMenu = ::CreatePopupMenu();
    AddDockMenuItem(hMenu);
    ::TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
}

int COXMDIChildWndSizeDock::OnMouseActivate(CWnd*, UINT, UINT)
{
    const int nResult = static_cast<int>(Default());
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    if (CMDIFrameWnd* pFrame = GetMDIFrame(); pFrame != nullptr && pFrame->MDIGetActive() != this) {
        if (COXMDIFrameWndSizeDock* pDock = SizeDockFrame(this))
            pDock->ActivateChild(this);
        else
            MDIActivate();
    }
    return nResult;
}

void COXMDIChildWndSizeDock::OnClose()
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    CDocument* pDocument = GetActiveDocument();
    if (pDocument != nullptr && !pDocument->CanCloseFrame(this)) {
        m_bClosing = FALSE;
        return;
    }
    // The view goes home first: closing the document destroys the frame each view sits in.
    if (m_bDocked) {
        if (m_wndViewBar.m_hWnd != nullptr)
            m_wndViewBar.UndockChild(FALSE);
        m_bDocked = FALSE;
    }
    if (pDocument != nullptr && pDocument->m_bAutoDelete) {
        int nViews = 0;
        for (POSITION pos = pDocument->GetFirstViewPosition(); pos != nullptr;
             pDocument->GetNextView(pos))
            ++nViews;
        if (nViews <= 1) {
            pDocument->OnCloseDocument(); // destroys this frame with its view
            return;
        }
    }
    DestroyWindow();
}

void COXMDIChildWndSizeDock::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1)
        ::GetCursorPos(&point);
    TrackDockMenu(point);
}

LRESULT COXMDIChildWndSizeDock::OnParentNotify(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WM_DESTROY) {
        auto* pView = dynamic_cast<CView*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam)));
        if (pView != nullptr) {
            if (GetActiveView() == pView)
                SetActiveView(nullptr, FALSE);
            if (CMDIFrameWnd* pFrame = GetMDIFrame(); pFrame != nullptr && pFrame->GetActiveView() == pView)
                pFrame->SetActiveView(nullptr, FALSE);
        }
    }
    return Default();
}

void COXMDIChildWndSizeDock::OnSysCommand(UINT nID, LPARAM)
{
    if (nID == OXGetDockMDIChildID() || (nID & 0xFFF0) == (OXGetDockMDIChildID() & 0xFFF0)) {
        ToggleDock();
        return;
    }
    Default();
}

void COXMDIChildWndSizeDock::OnNcRButtonDown(UINT nHitTest, CPoint point)
{
    Default();
    if (nHitTest == HTCAPTION && (GetStyle() & WS_SYSMENU) == 0)
        TrackDockMenu(point);
}

LRESULT COXMDIChildWndSizeDock::OnStyleChanging(WPARAM wParam, LPARAM lParam)
{
    if (m_bDocked && static_cast<int>(wParam) == GWL_STYLE)
        reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew &= ~WS_VISIBLE;
    return Default();
}

LRESULT COXMDIChildWndSizeDock::OnSetText(WPARAM wParam, LPARAM lParam)
{
    if (m_bDocked && m_wndViewBar.m_hWnd != nullptr)
        ::SendMessageA(m_wndViewBar.m_hWnd, WM_SETTEXT, wParam, lParam);
    return Default();
}

BOOL COXMDIChildWndSizeDock::DestroyWindow()
{
    m_bClosing = TRUE;
    if (m_wndViewBar.m_hWnd != nullptr && !m_wndViewBar.m_bDestroying)
        m_wndViewBar.DestroyWindow();
    CMDIFrameWnd* pFrame = GetMDIFrame();
    COXMDIFrameWndSizeDock* pDock = SizeDockFrame(this);
    if (pDock != nullptr && pDock->m_pActiveDockedChild == this)
        pDock->SetActiveDockedChild(nullptr);
    if (pFrame == nullptr)
        return CMDIChildWnd::DestroyWindow();
    // The frame's caption is not rewritten for a child on its way out.
    const DWORD dwAddToTitle = pFrame->GetStyle() & FWS_ADDTOTITLE;
    pFrame->ModifyStyle(dwAddToTitle, 0);
    pFrame->SetActiveView(nullptr, FALSE);
    BOOL bResult = CMDIChildWnd::DestroyWindow(); // this object is gone now
    pFrame->ModifyStyle(0, dwAddToTitle);
    if (pDock != nullptr)
        pDock->RefreshActivation();
    else
        pFrame->OnUpdateFrameTitle(TRUE);
    return bResult;
}

BOOL COXMDIChildWndSizeDock::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_NCLBUTTONDOWN)
        AfxCancelModes(pMsg->hwnd);
    return CMDIChildWnd::PreTranslateMessage(pMsg);
}

void COXMDIChildWndSizeDock::ActivateFrame(int nCmdShow)
{
    if (m_bDocked) {
        if (COXMDIFrameWndSizeDock* pFrame = SizeDockFrame(this))
            pFrame->ActivateChild(this);
        return;
    }
    CMDIChildWnd::ActivateFrame(nCmdShow);
    if (COXMDIFrameWndSizeDock* pFrame = SizeDockFrame(this))
        pFrame->ActivateChild(this);
}

void COXMDIChildWndSizeDock::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    // The base sets "name:n" on the child; a docked child's text reaches its bar (WM_SETTEXT).
    CMDIChildWnd::OnUpdateFrameTitle(bAddToTitle);
}
