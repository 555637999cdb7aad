// CDockBar: the bar array, its row layout, docking and undocking; the frame's docking
// functions that pick dock bars and floating frames.
#include "framework/control_bar.h"

#include <algorithm>
#include <vector>

#include "framework/dock_context.h"
#include "framework/frame.h"
#include "framework/mini_frame.h"

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

namespace {

// The frame's sides in the order EnableDocking makes them and DockControlBar tries them.
struct DockSide {
    UINT nID;
    DWORD dwStyle;
};
constexpr DockSide kDockSides[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()
// clang-format on

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    m_arrBars.Add(nullptr); // the leading row end
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_bFloating)
        m_dwStyle |= CBRS_FLOATING;
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // The window style keeps the bar style's low word (side and borders) as well.
    CRect rect;
    return CWnd::Create(cls, nullptr, dwStyle & ~CBRS_GRIPPER, rect, pParentWnd, nID);
}

CControlBar* CDockBar::BarAt(const CPtrArray& arr, int nPos)
{
    if (nPos < 0 || nPos >= arr.GetSize())
        return nullptr;
    void* p = arr[nPos];
    if (p == nullptr || AfxIsPlaceHolder(p))
        return nullptr;
    return static_cast<CControlBar*>(p);
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    CControlBar* pBar = BarAt(m_arrBars, nPos);
    return pBar != nullptr && pBar->m_hWnd != nullptr ? pBar : nullptr;
}

int CDockBar::GetDockedCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (GetDockedControlBar(i) != nullptr)
            ++n;
    return n;
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* pBar = GetDockedControlBar(i); pBar != nullptr && pBar->IsVisible())
            ++n;
    return n;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar)
            return i;
    return -1;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize sizeFixed = CControlBar::CalcFixedLayout(bStretch, bHorz);
    CSize sizeMax;
    if (!m_rectLayout.IsRectEmpty()) {
        sizeMax = m_rectLayout.Size();
    } else if (CFrameWnd* pFrame = GetParentFrame()) {
        CRect rect;
        pFrame->GetClientRect(&rect);
        sizeMax = rect.Size();
    }
    const int bx = BorderX2(), by = BorderY2();
    AFX_SIZEPARENTPARAMS layout{};
    layout.hDWP = m_bLayoutQuery ? nullptr
                                 : ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));

    CPoint pt(-bx, -by); // bars overlap the dock bar's edge and each other by one border
    int nThickness = 0;  // of the current row
    bool bWrapped = false;
    for (int nPos = 0; nPos < m_arrBars.GetSize(); ++nPos) {
        void* pVoid = m_arrBars[nPos];
        CControlBar* pBar = GetDockedControlBar(nPos);
        if (pBar != nullptr && pBar->IsVisible()) {
            const CSize sizeBar = pBar->CalcDynamicLayout(-1, LayoutMode(pBar));
            CRect rect(pt, sizeBar);
            CRect rectBar;
            pBar->GetWindowRect(&rectBar);
            ScreenToClient(&rectBar);
            const int room = (bHorz ? sizeMax.cx : sizeMax.cy);
            if (!PlaceBarInRow(rect, rectBar, pt, sizeBar, room, bHorz, bWrapped, TRUE, nPos)) {
                m_arrBars.InsertAt(nPos, static_cast<void*>(nullptr));
                pBar = nullptr;
                pVoid = nullptr;
                bWrapped = true;
            } else {
                MoveBarInRow(&layout, pBar, rect, rectBar, sizeBar, bHorz, pt, nThickness);
                bWrapped = false;
            }
        }
        if (pBar != nullptr)
            pBar->RecalcDelayShow(&layout);
        const bool rowEnds = pVoid == nullptr || nPos == m_arrBars.GetSize() - 1;
        if (rowEnds && nThickness != 0) {
            EndRow(pt, nThickness, bHorz, sizeFixed);
            nThickness = 0;
        }
    }
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
    AddBorders(sizeFixed, bStretch, bHorz);
    return sizeFixed;
}

DWORD CDockBar::LayoutMode(const CControlBar* pBar)
{
    if ((pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (pBar->m_dwStyle & CBRS_FLOATING))
        return LM_HORZ | LM_MRUWIDTH;
    if (pBar->m_dwStyle & CBRS_ORIENT_HORZ)
        return LM_HORZ | LM_HORZDOCK;
    return LM_VERTDOCK;
}

BOOL CDockBar::PlaceBarInRow(CRect& rect, const CRect& rectBar, CPoint pt, CSize sizeBar,
                             int nRoom, BOOL bHorz, BOOL bWrapped, BOOL bKeepPlace, int nPos) const
{
    // Along the row: a bar keeps a place further on that the user gave it, is pulled back to
    // end at the edge, and wraps when even its insertion point lies beyond.
    const int along = bHorz ? rectBar.left - rect.left : rectBar.top - rect.top;
    if (!bWrapped && !m_bFloating && along > 0 && bKeepPlace)
        rect.OffsetRect(bHorz ? along : 0, bHorz ? 0 : along);
    const int end = bHorz ? rect.right : rect.bottom;
    if (!m_bFloating && end > nRoom) {
        const int start = std::max(static_cast<int>(nRoom - (bHorz ? sizeBar.cx : sizeBar.cy)),
                                   static_cast<int>(bHorz ? pt.x : pt.y));
        if (bHorz)
            rect.OffsetRect(start - rect.left, 0);
        else
            rect.OffsetRect(0, start - rect.top);
    }
    const int first = bHorz ? rect.left : rect.top;
    return m_bFloating || bWrapped || first < nRoom - (bHorz ? BorderX2() : BorderY2()) ||
           nPos <= 0 || m_arrBars[nPos - 1] == nullptr;
}

void CDockBar::MoveBarInRow(AFX_SIZEPARENTPARAMS* pLayout, CControlBar* pBar, const CRect& rect,
                            const CRect& rectBar, CSize sizeBar, BOOL bHorz, CPoint& pt,
                            int& nThickness)
{
    if (rect != rectBar)
        AfxRepositionWindow(pLayout, pBar->m_hWnd, &rect);
    if (!m_bLayoutQuery && !m_bFloating && pBar->m_pDockContext != nullptr) {
        pBar->m_pDockContext->m_uMRUDockID = static_cast<UINT>(GetDlgCtrlID());
        pBar->m_pDockContext->m_rectMRUDockPos = rect;
    }
    if (bHorz) {
        pt.x = rect.left + sizeBar.cx - BorderX2();
        nThickness = std::max(nThickness, static_cast<int>(sizeBar.cy));
    } else {
        pt.y = rect.top + sizeBar.cy - BorderY2();
        nThickness = std::max(nThickness, static_cast<int>(sizeBar.cx));
    }
}

void CDockBar::EndRow(CPoint& pt, int nThickness, BOOL bHorz, CSize& sizeFixed)
{
    if (bHorz) {
        pt.y += nThickness - BorderY2();
        sizeFixed.cx = std::max(sizeFixed.cx, pt.x);
        sizeFixed.cy = std::max(sizeFixed.cy, pt.y);
        pt.x = -BorderX2();
    } else {
        pt.x += nThickness - BorderX2();
        sizeFixed.cx = std::max(sizeFixed.cx, pt.x);
        sizeFixed.cy = std::max(sizeFixed.cy, pt.y);
        pt.y = -BorderY2();
    }
}

void CDockBar::AddBorders(CSize& sizeFixed, BOOL bStretch, BOOL bHorz)
{
    CRect rect;
    CalcInsideRect(rect, bHorz);
    if ((!bStretch || !bHorz) && sizeFixed.cx != 0)
        sizeFixed.cx += rect.left - rect.right;
    if ((!bStretch || bHorz) && sizeFixed.cy != 0)
        sizeFixed.cy += rect.top - rect.bottom;
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const BOOL bQuery = m_bLayoutQuery;
    const CRect rectLayout = m_rectLayout;
    m_bLayoutQuery = lpLayout->hDWP == nullptr;
    m_rectLayout = lpLayout->rect;
    LRESULT result = CControlBar::OnSizeParent(wParam, lParam);
    m_bLayoutQuery = bQuery;
    m_rectLayout = rectLayout;
    return result;
}

int CDockBar::Insert(CControlBar* pBarIns, CRect rect, CPoint ptMid)
{
    const bool bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    const int b = bHorz ? BorderY2() : BorderX2();
    const int across = bHorz ? ptMid.y : ptMid.x;
    int nPosInsAfter = 0;
    int nThickness = 0;
    int nRowsEnd = 0; // far edge of the rows seen so far
    for (int nPos = 0; nPos < m_arrBars.GetSize(); ++nPos) {
        CControlBar* pBar = GetDockedControlBar(nPos);
        if (pBar != nullptr && pBar->IsVisible() && pBar != pBarIns) {
            CRect rectBar;
            pBar->GetWindowRect(&rectBar);
            ScreenToClient(&rectBar);
            nThickness = std::max(nThickness, bHorz ? rectBar.Height() : rectBar.Width());
            if (bHorz ? rect.left > rectBar.left : rect.top > rectBar.top)
                nPosInsAfter = nPos;
        } else if (m_arrBars[nPos] == nullptr) {
            nRowsEnd += nThickness - b;
            nThickness = 0;
            if (across < nRowsEnd) {
                if (nPos == 0) // before the first row: a row of its own
                    m_arrBars.InsertAt(nPosInsAfter + 1, static_cast<void*>(nullptr));
                m_arrBars.InsertAt(nPosInsAfter + 1, pBarIns);
                return nPosInsAfter + 1;
            }
            nPosInsAfter = nPos;
        }
    }
    // Beyond the last row: a new row at the end.
    m_arrBars.InsertAt(nPosInsAfter + 1, static_cast<void*>(nullptr));
    m_arrBars.InsertAt(nPosInsAfter + 1, pBarIns);
    return nPosInsAfter + 1;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    CRect rectBar;
    pBar->GetWindowRect(&rectBar);
    if (pBar->m_pDockBar == this && (lpRect == nullptr || rectBar == *lpRect))
        return;

    TakeBarStyle(pBar);
    const BOOL bShow = HideWhileMoving(pBar);

    int nPos = -1;
    if (lpRect != nullptr) {
        CRect rect(lpRect);
        ScreenToClient(&rect);
        nPos = Insert(pBar, rect, rect.CenterPoint());
        pBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    } else {
        m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
        pBar->SetWindowPos(nullptr, -BorderX2(), -BorderY2(), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }

    AdoptBar(pBar, nPos, bShow);
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

void CDockBar::TakeBarStyle(CControlBar* pBar)
{
    if (m_bFloating && (pBar->m_dwDockStyle & CBRS_FLOAT_MULTI))
        m_dwStyle |= CBRS_FLOAT_MULTI;
    m_dwStyle &= ~(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
    m_dwStyle |= pBar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
    if ((m_dwStyle & CBRS_FLOAT_MULTI) == 0) {
        char szTitle[261] = "";
        ::GetWindowText(pBar->m_hWnd, szTitle, sizeof(szTitle));
        ::SetWindowText(m_hWnd, szTitle);
    }

    DWORD dwStyle = pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
    dwStyle |= (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING;
    pBar->SetBarStyle(dwStyle);
}

BOOL CDockBar::HideWhileMoving(CControlBar* pBar)
{
    // Hidden while it changes dock bars, so it does not flash at its old place.
    if (pBar->m_pDockBar == this || !pBar->IsWindowVisible())
        return FALSE;
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    return TRUE;
}

void CDockBar::AdoptBar(CControlBar* pBar, int nPos, BOOL bShow)
{
    // Re-parent before leaving the old dock bar: an emptied floating frame destroys itself.
    if (::GetParent(pBar->m_hWnd) != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    CDockBar* pOld = pBar->m_pDockBar;
    pBar->m_pDockBar = this;
    if (pOld == this)
        RemoveControlBar(pBar, nPos);
    else if (pOld != nullptr)
        pOld->RemoveControlBar(pBar, -1, m_bFloating && !pOld->m_bFloating);
    if (bShow)
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                               SWP_SHOWWINDOW);
    RemovePlaceHolder(pBar);
}

void CDockBar::ForgetBar(CControlBar* pBar)
{
    for (int nPos = FindBar(pBar); nPos > 0; nPos = FindBar(pBar)) {
        m_arrBars.RemoveAt(nPos);
        if (nPos < m_arrBars.GetSize() && m_arrBars[nPos - 1] == nullptr &&
            m_arrBars[nPos] == nullptr)
            m_arrBars.RemoveAt(nPos); // the row is empty now
    }
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder)
{
    const int nPos = FindBar(pBar, nPosExclude);
    if (nPos <= 0)
        return FALSE;
    const UINT nID = static_cast<UINT>(::GetDlgCtrlID(pBar->m_hWnd));
    if (nAddPlaceHolder == 1 && nID != 0 && nID <= 0xFFFF) {
        auto* pHolder = reinterpret_cast<CControlBar*>(static_cast<UINT_PTR>(nID));
        RemovePlaceHolder(pHolder); // one placeholder per bar
        m_arrBars[FindBar(pBar, nPosExclude)] = pHolder;
    } else {
        m_arrBars.RemoveAt(nPos);
        if (nPos < m_arrBars.GetSize() && m_arrBars[nPos - 1] == nullptr &&
            m_arrBars[nPos] == nullptr)
            m_arrBars.RemoveAt(nPos);
        if (nAddPlaceHolder != -1)
            RemovePlaceHolder(pBar);
    }

    CFrameWnd* pFrame = GetDockingFrame();
    if (pFrame == nullptr)
        return FALSE;
    if (m_bFloating && GetDockedVisibleCount() == 0) {
        if (GetDockedCount() == 0) {
            pFrame->DestroyWindow(); // deletes the floating frame and this dock bar with it
            return TRUE;
        }
        pFrame->ShowWindow(SW_HIDE);
    } else {
        pFrame->DelayRecalcLayout();
    }
    return FALSE;
}

void CDockBar::RemovePlaceHolder(CControlBar* pBar)
{
    // A bar's placeholder is its control id.
    void* pHolder = pBar;
    if (!AfxIsPlaceHolder(pHolder)) {
        if (pBar->m_hWnd == nullptr)
            return;
        pHolder = reinterpret_cast<void*>(static_cast<UINT_PTR>(::GetDlgCtrlID(pBar->m_hWnd)));
        if (!AfxIsPlaceHolder(pHolder))
            return;
    }
    for (int nPos = FindBar(static_cast<CControlBar*>(pHolder)); nPos > 0;
         nPos = FindBar(static_cast<CControlBar*>(pHolder))) {
        m_arrBars.RemoveAt(nPos);
        if (nPos < m_arrBars.GetSize() && m_arrBars[nPos - 1] == nullptr &&
            m_arrBars[nPos] == nullptr)
            m_arrBars.RemoveAt(nPos);
    }
}

void CDockBar::ShowAll(BOOL bShow)
{
    CFrameWnd* pFrame = GetDockingFrame();
    for (int nPos = 0; nPos < m_arrBars.GetSize(); ++nPos) {
        CControlBar* pBar = GetDockedControlBar(nPos);
        if (pBar == nullptr)
            continue;
        if (CFrameWnd* pSite = pBar->m_pDockSite)
            pSite->ShowControlBar(pBar, bShow, FALSE);
        else if (pFrame != nullptr)
            pFrame->ShowControlBar(pBar, bShow, FALSE);
    }
}

// --- the frame's docking functions ---

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (const DockSide& side : kDockSides) {
        if ((side.dwStyle & dwDockStyle & CBRS_ALIGN_ANY) == 0 || GetControlBar(side.nID))
            continue;
        CDockBar* pDock = NewDockBar();
        pDock->m_bAutoDelete = TRUE;
        if (!pDock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                     side.dwStyle,
                           side.nID)) {
            delete pDock;
            AfxThrowResourceException();
        }
    }
}

CDockBar* CFrameWnd::NewDockBar()
{
    return new CDockBar;
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->m_hWnd != nullptr && static_cast<UINT>(::GetDlgCtrlID(pBar->m_hWnd)) == nID)
            return pBar;
    }
    return nullptr;
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    if (POSITION pos = m_listControlBars.Find(pBar))
        m_listControlBars.RemoveAt(pos);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CDockBar* pDockBar = nDockBarID == 0
                             ? nullptr
                             : DYNAMIC_DOWNCAST(CDockBar, GetControlBar(nDockBarID));
    DockControlBar(pBar, pDockBar, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (pDockBar == nullptr) {
        for (const DockSide& side : kDockSides) {
            if ((side.dwStyle & pBar->m_dwDockStyle & CBRS_ALIGN_ANY) == 0)
                continue;
            pDockBar = DYNAMIC_DOWNCAST(CDockBar, GetControlBar(side.nID));
            if (pDockBar != nullptr)
                break;
        }
    }
    ASSERT(pDockBar != nullptr);
    if (pDockBar == nullptr)
        return; // docking not enabled on any side the bar accepts
    pDockBar->DockControlBar(pBar, lpRect);
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle)
{
    CRuntimeClass* pClass = m_pFloatingFrameClass != nullptr ? m_pFloatingFrameClass
                                                              : RUNTIME_CLASS(CMiniDockFrameWnd);
    auto* pFrame = static_cast<CMiniDockFrameWnd*>(pClass->CreateObject());
    if (pFrame == nullptr)
        AfxThrowResourceException();
    if (!pFrame->Create(this, dwStyle))
        AfxThrowResourceException(); // a failed Create has deleted the frame object
    return pFrame;
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (pBar->m_pDockContext != nullptr) {
        pBar->m_pDockContext->m_ptMRUFloatPos = point;
        pBar->m_pDockContext->m_dwMRUFloatStyle = dwStyle;
    }
    // Already alone in a floating frame of that orientation: only move the frame.
    if (CDockBar* pDockBar = pBar->m_pDockBar;
        pDockBar != nullptr && pDockBar->m_bFloating && pDockBar->GetDockedCount() == 1 &&
        (dwStyle & pDockBar->m_dwStyle & CBRS_ALIGN_ANY) != 0) {
        CFrameWnd* pFrame = pDockBar->GetParentFrame();
        pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pFrame->RecalcLayout(TRUE);
        pFrame->UpdateWindow();
        return;
    }
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT) // a wrapping bar floats horizontally
            dwStyle = (dwStyle & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    }
    CMiniDockFrameWnd* pFrame = CreateFloatingFrame(dwStyle);
    pFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->m_wndDockBar.DockControlBar(pBar);
    pFrame->RecalcLayout(TRUE);
    if (GetStyle() & WS_VISIBLE) {
        pFrame->ShowWindow(SW_SHOWNA);
        pFrame->UpdateWindow();
    }
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == nullptr)
        return FALSE;
    ShowControlBar(pBar, (pBar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar == nullptr) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    CFrameWnd* pFrame = pBar->GetDockingFrame();
    if (pFrame == nullptr)
        return;
    if (bDelay) {
        pBar->DelayShow(bShow);
        pFrame->DelayRecalcLayout();
    } else {
        pBar->m_nStateFlags &= ~(CControlBar::delayShow | CControlBar::delayHide);
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        pFrame->RecalcLayout();
    }
    // A floating frame shows while it holds a visible bar (at once: it gets no idle layout
    // of its own while hidden).
    if (pBar->IsFloating()) {
        const int nVisible = pBar->m_pDockBar->GetDockedVisibleCount();
        if (nVisible > 0) {
            pFrame->RecalcLayout();
            if (!pFrame->IsWindowVisible())
                pFrame->ShowWindow(SW_SHOWNA);
        } else if (pFrame->IsWindowVisible()) {
            pFrame->ShowWindow(SW_HIDE);
        }
    }
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar)
{
    // A bar docks into a floating frame only when both allow several bars there.
    dwDockStyle &= CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI;
    if (ppDockBar != nullptr)
        *ppDockBar = nullptr;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pDockBar = static_cast<CDockBar*>(m_listControlBars.GetNext(pos));
        if (!pDockBar->IsDockBar() || !pDockBar->IsWindowVisible() ||
            (pDockBar->m_dwStyle & dwDockStyle & CBRS_ALIGN_ANY) == 0 ||
            (pDockBar->m_bFloating &&
             (dwDockStyle & pDockBar->m_dwStyle & CBRS_FLOAT_MULTI) == 0))
            continue;
        CRect rectBar;
        pDockBar->GetWindowRect(&rectBar);
        if (rectBar.Width() == 0) // an empty side still catches a rectangle touching it
            ++rectBar.right;
        if (rectBar.Height() == 0)
            ++rectBar.bottom;
        if (rectBar.IntersectRect(&rectBar, &rect)) {
            if (ppDockBar != nullptr)
                *ppDockBar = pDockBar;
            return pDockBar->m_dwStyle & dwDockStyle;
        }
    }
    return 0;
}

void CFrameWnd::DestroyDockBars()
{
    // Collected first: each destruction takes its dock bar out of the list.
    std::vector<HWND> floating;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->IsDockBar() && static_cast<CDockBar*>(pBar)->m_bFloating && pBar->m_hWnd)
            if (HWND hFrame = ::GetParent(pBar->m_hWnd); hFrame != m_hWnd)
                floating.push_back(hFrame);
    }
    for (HWND hFrame : floating)
        if (::IsWindow(hFrame))
            ::DestroyWindow(hFrame);
}
