// COXDockTabCtrl: the tab group of a sizable dock bar.
#include "toolkit/frames/sizebar/dock_tab_ctrl.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

// clang-format off
BEGIN_MESSAGE_MAP(COXDockTabCtrl, COXSkinnedTabCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_NOTIFY_REFLECT_EX(TCN_SELCHANGE, OnSelChange)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

COXDockTabCtrl::COXDockTabCtrl(COXSizeDockBar* pDockBar) : m_pDockBar(pDockBar) {}

COXDockTabCtrl::~COXDockTabCtrl()
{
    m_font.DeleteObject();
}

int COXDockTabCtrl::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    m_font.CreatePointFont(80, "MS Sans Serif");
    SetFont(&m_font, TRUE);
    SendMessage(TCM_SETPADDING, 0, MAKELPARAM(12, 4));
    return 0;
}

int COXDockTabCtrl::FindBar(CControlBar* pBar)
{
    if (m_hWnd == nullptr)
        return -1;
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetBar(i) == pBar)
            return i;
    return -1;
}

CControlBar* COXDockTabCtrl::GetBar(int nIndex)
{
    TCITEM item{};
    item.mask = TCIF_PARAM;
    if (!GetItem(nIndex, &item))
        return nullptr;
    return reinterpret_cast<CControlBar*>(item.lParam);
}

int COXDockTabCtrl::TabFromPoint(CPoint ptScreen, CControlBar*)
{
    CRect rect;
    m_pDockBar->GetWindowRect(&rect);
    rect.top = rect.bottom - OX_TAB_DROP_HEIGHT;
    if (!rect.PtInRect(ptScreen))
        return -1;
    TCHITTESTINFO hit{};
    hit.pt = ptScreen;
    ScreenToClient(&hit.pt);
    const int n = HitTest(&hit);
    return n < 0 ? 0 : n;
}

void COXDockTabCtrl::InsertTab(int nIndex, CControlBar* pBar)
{
    char text[257] = "";
    ::GetWindowText(pBar->m_hWnd, text, sizeof(text));
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.lParam = reinterpret_cast<LPARAM>(pBar);
    InsertItem(nIndex, &item);
}

void COXDockTabCtrl::MoveTab(int nFrom, int nTo, CPoint ptScreen)
{
    CRect rectTo;
    if (!GetItemRect(nTo, &rectTo))
        return;
    CPoint pt = ptScreen;
    ScreenToClient(&pt);
    const int mid = rectTo.CenterPoint().x;
    if (nFrom < nTo ? pt.x < mid : pt.x > mid)
        return;
    char text[257] = "";
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 256;
    GetItem(nFrom, &item);
    DeleteItem(nFrom);
    InsertItem(nTo, &item);
    SetCurSel(nTo);
}

void COXDockTabCtrl::InsertBar(CControlBar* pBar, int nIndex, BOOL bActivate)
{
    if (m_pDockBar->CountOtherSizeBars(pBar) == 0)
        return;
    for (int i = 0; i < m_pDockBar->m_arrBars.GetSize(); ++i) {
        CControlBar* p = COXSizeDockBar::GetDockedBar(i, m_pDockBar->m_arrBars);
        if (p == nullptr || p == pBar || !OXIsSizeBar(p) || FindBar(p) >= 0 ||
            !p->IsWindowVisible())
            continue;
        InsertTab(0, p);
    }
    nIndex = std::min(nIndex, GetItemCount());
    InsertTab(nIndex, pBar);
    SetCurSel(nIndex);
    m_pDockBar->PositionTabs();
    if (bActivate) {
        ActivateSelected();
        return;
    }
    for (int i = 0; i < GetItemCount(); ++i)
        if (CControlBar* p = GetBar(i); i != GetCurSel() && p->m_pDockSite != nullptr)
            p->m_pDockSite->ShowControlBar(p, FALSE, TRUE);
}

void COXDockTabCtrl::RemoveBar(CControlBar* pBar)
{
    if (GetItemCount() == 0)
        return;
    const int nIndex = FindBar(pBar);
    if (m_pDockBar->CountOtherSizeBars(pBar) == 1 || (nIndex >= 0 && GetItemCount() == 2)) {
        // The group dissolves: the other bar stands alone again.
        for (int i = GetItemCount() - 1; i >= 0; --i) {
            CControlBar* p = GetBar(i);
            if (p == pBar)
                continue;
            DeleteItem(i);
            if (p->m_pDockSite != nullptr)
                p->m_pDockSite->ShowControlBar(p, TRUE, TRUE);
        }
    }
    if (const int n = FindBar(pBar); n >= 0) {
        DeleteItem(n);
        if (GetItemCount() > 1) {
            SetCurSel(n > 0 ? n - 1 : 0);
            ActivateSelected();
        }
    }
    m_pDockBar->PositionTabs();
    if (CFrameWnd* pFrame = m_pDockBar->GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

COXSizeControlBar* COXDockTabCtrl::ActivateSelected()
{
    const int nSel = GetCurSel();
    CControlBar* pSelected = nullptr;
    for (int i = 0; i < GetItemCount(); ++i) {
        CControlBar* p = GetBar(i);
        if (i == nSel)
            pSelected = p;
        if (p->m_pDockSite != nullptr)
            p->m_pDockSite->ShowControlBar(p, i == nSel, TRUE);
    }
    if (pSelected == nullptr)
        return nullptr;
    auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, pSelected);
    if (m_pDockBar->IsHorz()) {
        auto* pLast = DYNAMIC_DOWNCAST(COXSizeControlBar, m_pLastActiveBar);
        if (pSize != nullptr && pLast != nullptr && pLast != pSize)
            pSize->m_sizeHorzDock.cx = pLast->m_sizeHorzDock.cx;
        m_pLastActiveBar = pSelected;
    } else {
        CRect rect;
        m_pDockBar->GetClientRect(&rect);
        const UINT id = static_cast<UINT>(m_pDockBar->GetDlgCtrlID());
        if (id == AFX_IDW_DOCKBAR_LEFT)
            rect.right -= 3;
        else if (id == AFX_IDW_DOCKBAR_RIGHT)
            rect.left += 4;
        rect.bottom -= m_pDockBar->GetTabStripHeight();
        pSelected->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                SWP_NOZORDER | SWP_NOACTIVATE);
        pSelected->Invalidate();
        if (pSize != nullptr)
            pSize->m_sizeVertDock = CSize(rect.Width(), rect.Height() + 5);
    }
    return pSize;
}

BOOL COXDockTabCtrl::OnSelChange(NMHDR*, LRESULT* pResult)
{
    ActivateSelected();
    *pResult = 0;
    return TRUE;
}

void COXDockTabCtrl::OnLButtonDown(UINT, CPoint point)
{
    m_ptButtonDown = point;
    Default();
}

void COXDockTabCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if ((nFlags & MK_LBUTTON) && (std::abs(point.x - m_ptButtonDown.x) > 3 ||
                                  std::abs(point.y - m_ptButtonDown.y) > 3)) {
        TCHITTESTINFO hit{};
        hit.pt = point;
        const int n = HitTest(&hit);
        if (n >= 0 && OXBeginLiveDrag(GetBar(n), CPoint(0, 0))) {
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
            return;
        }
    }
    Default();
}
