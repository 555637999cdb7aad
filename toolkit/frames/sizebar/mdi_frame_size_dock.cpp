// The MDI frame with sizable docking and the MDI float window.
#include "toolkit/frames/sizebar/mdi_frame_size_dock.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/frames/sizebar/frame_size_dock.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_bar_res.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

IMPLEMENT_DYNCREATE(COXMDIFrameWndSizeDock, CMDIFrameWnd)
IMPLEMENT_DYNCREATE(COXMDIFloatWnd, COXMDIChildWndSizeDock)

namespace {

bool IsLive(const CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->m_hWnd != nullptr && ::IsWindow(pWnd->m_hWnd);
}

// The dockable children in the MDI client, in z-order.
template <class Fn>
void ForEachDockChild(HWND hClient, Fn fn)
{
    if (hClient == nullptr)
        return;
    for (HWND h = ::GetWindow(hClient, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        if (auto* pChild = dynamic_cast<COXMDIChildWndSizeDock*>(CWnd::FromHandlePermanent(h)))
            fn(pChild);
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(COXMDIFrameWndSizeDock, CMDIFrameWnd)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_ACTIVATE()
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
    ON_MESSAGE(WM_OX_QUERYLIVEDRAG, OnQueryLiveDrag)
END_MESSAGE_MAP()
// clang-format on

COXMDIFrameWndSizeDock::~COXMDIFrameWndSizeDock() = default;

void COXMDIFrameWndSizeDock::EnableDocking(DWORD dwDockStyle)
{
    CFrameWnd::EnableDocking(dwDockStyle);
    m_pFloatingFrameClass = RUNTIME_CLASS(COXSizableMiniDockFrameWnd);
}

CDockBar* COXMDIFrameWndSizeDock::NewDockBar()
{
    return new COXSizeDockBar;
}

void COXMDIFrameWndSizeDock::SaveSizeBarState(LPCTSTR lpszProfileName)
{
    OXSaveSizeBarState(this, lpszProfileName);
}

void COXMDIFrameWndSizeDock::LoadSizeBarState(LPCTSTR lpszProfileName)
{
    std::vector<COXSizeControlBar*> mdiFloating;
    OXLoadSizeBarState(this, lpszProfileName, &mdiFloating);
    for (COXSizeControlBar* pBar : mdiFloating) {
        // The layout keeps where the floating dock bar was; the MDI window goes where its
        // own dock bar lands there.
        CDockBar* pDockBar = pBar->m_pDockBar;
        if (pDockBar == nullptr || !pDockBar->m_bFloating)
            continue;
        CRect rectSaved;
        pDockBar->GetWindowRect(&rectSaved);
        const DWORD dwStyle = (pBar->m_dwStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
        const BOOL bShow = pBar->IsWindowVisible();
        FloatBarAsMDI(pBar, rectSaved.TopLeft(), dwStyle, bShow);
        auto* pFloat = dynamic_cast<COXMDIFloatWnd*>(pBar->GetParentFrame());
        if (pFloat == nullptr)
            continue;
        CRect rectWnd, rectDock;
        pFloat->GetWindowRect(&rectWnd);
        pFloat->m_wndDockBar.GetWindowRect(&rectDock);
        CPoint pt = rectWnd.TopLeft() + (rectSaved.TopLeft() - rectDock.TopLeft());
        ::ScreenToClient(m_hWndMDIClient, &pt);
        pFloat->SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT COXMDIFrameWndSizeDock::OnQueryLiveDrag(WPARAM, LPARAM)
{
    return m_bLiveDrag;
}

void COXMDIFrameWndSizeDock::OnDestroy()
{
    if (GetTopLevelFrame() == this || GetTopLevelFrame() == nullptr)
        COXSizeControlBar::DestroyFrameBars(this);
    CFrameWnd::OnDestroy();
}

CMDIChildWnd* COXMDIFrameWndSizeDock::MDIGetActive(BOOL* pbMaximized) const
{
    if (m_pActiveDockedChild != nullptr) {
        if (pbMaximized != nullptr)
            *pbMaximized = FALSE;
        return IsLive(m_pActiveDockedChild) ? dynamic_cast<CMDIChildWnd*>(m_pActiveDockedChild)
                                            : nullptr;
    }
    return CMDIFrameWnd::MDIGetActive(pbMaximized);
}

void COXMDIFrameWndSizeDock::SetActiveDockedChild(CWnd* pWnd)
{
    m_pActiveDockedChild = IsLive(pWnd) ? pWnd : nullptr;
}

BOOL COXMDIFrameWndSizeDock::IsActiveChildMaximized() const
{
    BOOL bMaximized = FALSE;
    CMDIFrameWnd::MDIGetActive(&bMaximized);
    return bMaximized;
}

void COXMDIFrameWndSizeDock::ActivateChild(CMDIChildWnd* pChild)
{
    auto* pDockChild = dynamic_cast<COXMDIChildWndSizeDock*>(pChild);
    if (pDockChild != nullptr && pDockChild->IsDocked()) {
        SetActiveDockedChild(pDockChild);
    } else {
        SetActiveDockedChild(nullptr);
        if (pChild != nullptr)
            ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE,
                          reinterpret_cast<WPARAM>(pChild->m_hWnd), 0);
    }
    RefreshActivation();
}

void COXMDIFrameWndSizeDock::RefreshActivation()
{
    CMDIChildWnd* pActive = MDIGetActive();
    ForEachDockChild(m_hWndMDIClient, [pActive](COXMDIChildWndSizeDock* pChild) {
        pChild->SendMessage(WM_NCACTIVATE, pChild == pActive);
        if (pChild->IsDocked() && pChild->m_wndViewBar.m_wndWrapper.m_hWnd != nullptr)
            pChild->m_wndViewBar.m_wndWrapper.SendMessage(WM_NCACTIVATE, pChild == pActive);
    });
    // A docked child's view is no longer inside the child: the frame holds it as active. A
    // real child keeps its own, so the MDI keys (Ctrl+F4, Ctrl+F6) still reach the client.
    auto* pDocked = dynamic_cast<COXMDIChildWndSizeDock*>(pActive);
    SetActiveView(pDocked != nullptr && pDocked->IsDocked() ? pDocked->GetActiveView() : nullptr,
                  FALSE);
    OnUpdateFrameTitle(TRUE);
}

void COXMDIFrameWndSizeDock::FloatBarAsMDI(CControlBar* pBar, CPoint ptScreen, DWORD dwStyle,
                                           BOOL bShow)
{
    // Kept inside the client area: the window ends at its right and bottom edges at most.
    CPoint pt = ptScreen;
    ::ScreenToClient(m_hWndMDIClient, &pt);
    CRect rectClient, rectBar;
    ::GetClientRect(m_hWndMDIClient, &rectClient);
    pBar->GetClientRect(&rectBar);
    pt.x = std::max<int>(std::min<int>(pt.x, rectClient.Width() - rectBar.Width()), rectClient.left);
    pt.y = std::max<int>(std::min<int>(pt.y, rectClient.Height() - rectBar.Height()),
                         rectClient.top);

    if (CDockBar* pDockBar = pBar->m_pDockBar;
        pDockBar != nullptr && pDockBar->m_bFloating && pDockBar->GetDockedCount() == 1 &&
        (pDockBar->m_dwStyle & CBRS_ALIGN_ANY) == CBRS_ALIGN_ANY &&
        (dwStyle & CBRS_ALIGN_ANY) == CBRS_ALIGN_ANY) {
        if (auto* pFloat = dynamic_cast<COXMDIFloatWnd*>(pDockBar->GetParentFrame())) {
            pFloat->SetWindowPos(nullptr, pt.x, pt.y, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
    }
    auto* pFloat = static_cast<COXMDIFloatWnd*>(RUNTIME_CLASS(COXMDIFloatWnd)->CreateObject());
    if (pFloat == nullptr || !pFloat->Create(this, dwStyle))
        AfxThrowResourceException();
    pFloat->SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (pBar->GetOwner() == nullptr)
        pBar->SetOwner(this);
    pFloat->m_wndDockBar.DockControlBar(pBar);
    pFloat->RecalcLayout(TRUE);
    if (bShow) {
        pFloat->ShowWindow(SW_SHOWNA);
        pFloat->UpdateWindow();
    }
    ::SendMessage(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

void COXMDIFrameWndSizeDock::FloatBarInFrame(CControlBar* pBar, DWORD dwStyle)
{
    CDockBar* pDockBar = pBar->m_pDockBar;
    auto* pFloatWnd =
        pDockBar != nullptr ? dynamic_cast<COXMDIFloatWnd*>(pDockBar->GetParentFrame()) : nullptr;
    if (pFloatWnd == nullptr)
        return;
    CRect rect;
    pFloatWnd->GetWindowRect(&rect);
    CMiniDockFrameWnd* pFrame = CreateFloatingFrame(dwStyle);
    if (pFrame == nullptr)
        AfxThrowResourceException();
    pFrame->SetWindowPos(nullptr, rect.left, rect.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (pBar->GetOwner() == nullptr)
        pBar->SetOwner(this);
    pFrame->m_wndDockBar.DockControlBar(pBar); // the MDI float window goes with its last bar
    pFrame->RecalcLayout(TRUE);
    pFrame->ShowWindow(SW_SHOWNA);
    pFrame->UpdateWindow();
    ::SendMessage(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

void COXMDIFrameWndSizeDock::UndockAllChildren()
{
    ForEachDockChild(m_hWndMDIClient, [](COXMDIChildWndSizeDock* pChild) {
        if (pChild->IsDocked() && pChild->m_wndViewBar.UndockChild(FALSE))
            pChild->m_bDocked = FALSE;
    });
}

BOOL COXMDIFrameWndSizeDock::DestroyWindow()
{
    SetActiveView(nullptr, FALSE);
    return CMDIFrameWnd::DestroyWindow();
}

BOOL COXMDIFrameWndSizeDock::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    // The active child first, docked or not (a docked one is no descendant any more).
    if (CMDIChildWnd* pChild = MDIGetActive();
        pChild != nullptr && lParam == 0 && (nID & 0xF000) != 0xF000 &&
        pChild->OnCommand(wParam, lParam))
        return TRUE;
    if ((nID & 0xF000) == 0xF000 && lParam == 0) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CMDIFrameWnd::OnCommand(wParam, lParam);
}

BOOL COXMDIFrameWndSizeDock::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_NCLBUTTONDOWN)
        AfxCancelModes(pMsg->hwnd);
    if (CMDIChildWnd* pChild = MDIGetActive();
        pChild != nullptr && pChild->PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (m_hAccelTable != nullptr && ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    if (GetActiveView() == nullptr && pMsg->message == WM_KEYDOWN && m_hWndMDIClient != nullptr)
        return ::TranslateMDISysAccel(m_hWndMDIClient, pMsg);
    return FALSE;
}

LRESULT COXMDIFrameWndSizeDock::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The MDI machinery would put a docked child's name in the caption as a maximized one's.
    if (message == WM_SETTEXT) {
        auto* pChild = dynamic_cast<COXMDIChildWndSizeDock*>(MDIGetActive());
        if (pChild != nullptr && pChild->IsDocked())
            return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
    return CMDIFrameWnd::DefWindowProc(message, wParam, lParam);
}

CFrameWnd* COXMDIFrameWndSizeDock::GetActiveFrame()
{
    CMDIChildWnd* pChild = MDIGetActive();
    return pChild != nullptr ? static_cast<CFrameWnd*>(pChild) : this;
}

void COXMDIFrameWndSizeDock::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CMDIFrameWnd::OnUpdateFrameTitle(bAddToTitle);
}

void COXMDIFrameWndSizeDock::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIFrameWnd::OnUpdateFrameMenu(hMenuAlt);
}

BOOL COXMDIFrameWndSizeDock::OnCmdMsg(UINT nID, int nCode, void* pExtra,
                                      AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CMDIFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void COXMDIFrameWndSizeDock::OnWindowNew()
{
    CMDIFrameWnd::OnWindowNew();
    RefreshActivation();
}

BOOL COXMDIFrameWndSizeDock::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    CMDIChildWnd* pActive = MDIGetActive();
    const BOOL bResult = CFrameWnd::OnBarCheck(nID);
    // A bar hidden with the active child's window (a float window's, or a docked child's
    // view bar): that child can no longer be the active one, the next takes over.
    auto* pViewBar = dynamic_cast<COXSizeViewBar*>(pBar);
    const bool bOwned = pBar != nullptr && pActive != nullptr &&
                        (pBar->GetParentFrame() == pActive ||
                         (pViewBar != nullptr && pViewBar->m_pChild == pActive));
    if (bResult && bOwned && IsLive(pBar) && !pBar->IsWindowVisible()) {
        if (m_pActiveDockedChild == pActive)
            SetActiveDockedChild(nullptr);
        MDINext();
        RefreshActivation();
    }
    ::SendMessage(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    return bResult;
}

void COXMDIFrameWndSizeDock::OnActivate(UINT nState, CWnd*, BOOL)
{
    if (nState != WA_CLICKACTIVE && m_pActiveSizeBar != nullptr && IsLive(m_pActiveSizeBar))
        m_pActiveSizeBar->SetActive(nState != WA_INACTIVE, nState != WA_INACTIVE);
    Default();
}

void COXMDIFrameWndSizeDock::OnClose()
{
    if (m_bClosing)
        return;
    m_bClosing = TRUE;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        if (!pApp->SaveAllModified()) {
            m_bClosing = FALSE;
            return;
        }
        // Asked once: the documents close without asking again.
        if (CDocManager* pManager = pApp->m_pDocManager) {
            for (POSITION pos = pManager->GetFirstDocTemplatePosition(); pos != nullptr;) {
                CDocTemplate* pTemplate = pManager->GetNextDocTemplate(pos);
                for (POSITION docPos = pTemplate->GetFirstDocPosition(); docPos != nullptr;)
                    pTemplate->GetNextDoc(docPos)->SetModifiedFlag(FALSE);
            }
        }
        ShowWindow(SW_HIDE);
        UndockAllChildren();
        pApp->CloseAllDocuments(FALSE);
        if (pApp->m_pMainWnd == nullptr)
            return; // already gone with its documents
    }
    DestroyWindow();
}

// --- COXMDIFloatWnd ---

CString* COXMDIFloatWnd::s_pClassName = nullptr;

// clang-format off
BEGIN_MESSAGE_MAP(COXMDIFloatWnd, COXMDIChildWndSizeDock)
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()
// clang-format on

COXMDIFloatWnd::COXMDIFloatWnd() : m_wndDockBar(TRUE) {}

COXMDIFloatWnd::~COXMDIFloatWnd() = default;

BOOL COXMDIFloatWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!COXMDIChildWndSizeDock::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return TRUE;
}

BOOL COXMDIFloatWnd::Create(CWnd* pParentWnd, DWORD dwBarStyle)
{
    if (s_pClassName == nullptr) {
        s_pClassName = new CString(AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
        std::atexit([] {
            delete s_pClassName;
            s_pClassName = nullptr;
        });
    }
    auto* pFrame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    m_bCreating = TRUE;
    const BOOL bCreated = COXMDIChildWndSizeDock::Create(
        *s_pClassName, "", WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW | FWS_SNAPTOBARS,
        rectDefault, pFrame, nullptr);
    if (!bCreated) {
        return FALSE; // deleted itself
    }
    DWORD dwDockStyle = (dwBarStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT
                                                                             : CBRS_ALIGN_TOP;
    dwDockStyle |= dwBarStyle & CBRS_FLOAT_MULTI;
    if (!m_wndDockBar.Create(pParentWnd, WS_CHILD | WS_VISIBLE | dwDockStyle,
                             AFX_IDW_DOCKBAR_FLOAT)) {
        m_bCreating = FALSE;
        DestroyWindow();
        return FALSE;
    }
    m_wndDockBar.SetParent(this);
    m_bCreating = FALSE;
    return TRUE;
}

void COXMDIFloatWnd::ShowBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (CFrameWnd* pFrame = GetMDIFrame())
        pFrame->ShowControlBar(pBar, bShow, bDelay);
}

CControlBar* COXMDIFloatWnd::GetBar() const
{
    for (int nPos = 1; nPos < m_wndDockBar.m_arrBars.GetSize(); ++nPos)
        if (CControlBar* pBar = m_wndDockBar.GetDockedControlBar(nPos))
            return pBar;
    return nullptr;
}

bool COXMDIFloatWnd::IsSingle() const
{
    return m_wndDockBar.m_hWnd != nullptr && (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) == 0;
}

void COXMDIFloatWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bCreating || m_bInRecalcLayout)
        return;
    CFrameWnd::RecalcLayout(bNotify);
    if (m_wndDockBar.m_hWnd == nullptr)
        return;
    // The caption shows the bar's title (the dock bar took it when the bar docked).
    CString title, current;
    m_wndDockBar.GetWindowText(title);
    GetWindowText(current);
    if (title != current)
        SetWindowText(title);
}

void COXMDIFloatWnd::OnSize(UINT nType, int cx, int cy)
{
    if (IsSingle() && nType != SIZE_MINIMIZED && (cx != 0 || cy != 0)) {
        auto* pBar = dynamic_cast<COXSizeControlBar*>(GetBar());
        if (pBar != nullptr && pBar->IsVisible()) {
            CRect rect(0, 0, cx, cy);
            COXSizableMiniDockFrameWnd::AdjustRectForBorders(rect, pBar->m_dwStyle);
            pBar->m_sizeFloat = rect.Size();
        }
    }
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void COXMDIFloatWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    CControlBar* pBar = IsSingle() ? GetBar() : nullptr;
    if (pBar != nullptr && pBar->m_pDockContext != nullptr) {
        CRect rect;
        GetWindowRect(&rect);
        pBar->m_pDockContext->m_ptMRUFloatPos = rect.TopLeft();
    }
}

void COXMDIFloatWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    if (bShow && nStatus == 0)
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void COXMDIFloatWnd::OnClose()
{
    auto* pBar = dynamic_cast<COXSizeControlBar*>(GetBar());
    if (pBar == nullptr)
        return;
    if (pBar->m_dwSizeBarStyle & SZBARF_DESTROY_ON_CLOSE) {
        // The bar goes first; this window may go with it as its dock bar empties.
        HWND hWnd = m_hWnd;
        pBar->DestroyWindow();
        if (::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this)
            DestroyWindow();
        return;
    }
    pBar->SendMessage(WM_COMMAND, ID_OX_HIDEBAR);
}
