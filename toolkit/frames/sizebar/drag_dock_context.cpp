// COXDragDockContext: start, loop and drop of the classic drag of sizable bars.
#include "toolkit/frames/sizebar/drag_dock_context.h"

#include <algorithm>

#include "toolkit/frames/sizebar/size_bar_res.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

namespace {

// Moves the rectangle's left or right edge horizontally onto pt when pt lies outside it.
void StretchTo(CRect& rect, CPoint pt)
{
    if (pt.x < rect.left)
        rect.left = pt.x;
    else if (pt.x > rect.right)
        rect.right = pt.x;
}

bool FloatsAsMDI(CControlBar* pBar)
{
    CFrameWnd* pFrame = pBar->GetParentFrame();
    return pFrame != nullptr && OXIsKindOfName(pFrame, "COXMDIFloatWnd");
}

} // namespace

COXDragDockContext::COXDragDockContext(CControlBar* pBar) : CDockContext(pBar) {}

COXDragDockContext::~COXDragDockContext()
{
    if (m_hDesktopDC != nullptr)
        CancelLoop();
}

void COXDragDockContext::ToggleDocking()
{
    if (FloatsAsMDI(m_pBar))
        return;
    CDockContext::ToggleDocking();
}

void COXDragDockContext::StartDrag(CPoint pt)
{
    if (m_pDockSite == nullptr)
        m_pDockSite = m_pBar->m_pDockSite;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
    if (FloatsAsMDI(m_pBar) || m_pDockSite == nullptr)
        return;
    if (::GetCapture() != nullptr && ::GetCapture() != m_pBar->m_hWnd)
        return;
    m_bDragging = TRUE;
    CWnd* pMain = AfxGetMainWnd();
    if ((m_dwDockStyle & CBRS_ALIGN_ANY) == CBRS_ALIGN_ANY && pMain != nullptr)
        pMain->SendMessage(WM_SETMESSAGESTRING, IDS_OX_DRAGDOCKHINT);
    if (!AfxPumpPaintMessages())
        return;
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    m_bDitherLast = m_bFlip = m_bForceFrame = FALSE;
    m_ptLast = m_ptStart = pt;
    CRect R;
    m_pBar->GetWindowRect(&R);

    // The frame's inner area, with the left and right dock bars counted in.
    CRect inner;
    m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &inner);
    m_pDockSite->ClientToScreen(&inner);
    if (CControlBar* p = m_pDockSite->GetControlBar(AFX_IDW_DOCKBAR_LEFT); p && p->IsWindowVisible()) {
        CRect r;
        p->GetWindowRect(&r);
        inner.left -= r.Width();
    }
    if (CControlBar* p = m_pDockSite->GetControlBar(AFX_IDW_DOCKBAR_RIGHT); p && p->IsWindowVisible()) {
        CRect r;
        p->GetWindowRect(&r);
        inner.right += r.Width();
    }

    CSize sizeHorz(R.Size()), sizeVert(R.Size()), sizeFloat(R.Size());
    if (auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, m_pBar)) {
        sizeHorz = pSize->m_sizeHorzDock;
        sizeVert = pSize->m_sizeVertDock;
        sizeFloat = pSize->m_sizeFloat;
    }
    m_rectHorzTarget = CRect(inner.left, R.top, inner.right, R.top + sizeHorz.cy);
    m_rectVertTarget = CRect(R.left, inner.top, R.left + sizeVert.cx, inner.bottom);
    if (sizeHorz.cx >= inner.Width() - 16)
        sizeHorz.cx = inner.Width() / 3;
    if (sizeVert.cy >= inner.Height() - 16)
        sizeVert.cy = inner.Height() / 3;
    m_rectDragHorz = CRect(R.TopLeft(), sizeHorz);
    m_rectDragVert = CRect(R.TopLeft(), sizeVert);
    // The floating frame around the floating size, measured on a frame made for the purpose.
    CRect rectFloat(R.TopLeft(), sizeFloat);
    {
        CMiniDockFrameWnd* pFrame = m_pDockSite->CreateFloatingFrame(
            (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
        pFrame->CalcWindowRect(&rectFloat);
        pFrame->DestroyWindow();
    }
    m_rectFrameDragHorz = m_rectFrameDragVert = rectFloat;
    for (CRect* r : {&m_rectHorzTarget, &m_rectVertTarget, &m_rectDragHorz, &m_rectDragVert,
                     &m_rectFrameDragHorz, &m_rectFrameDragVert})
        StretchTo(*r, pt);

    LockDesktop();
    m_dwOverDockStyle = CanDock();
    Move(pt);
    Track();
}

DWORD COXDragDockContext::CanDock()
{
    m_pTargetDockBar = nullptr;
    CDockBar* pDock = nullptr;
    DWORD dw = 0;
    if (m_dwDockStyle & CBRS_ORIENT_HORZ)
        dw = m_pDockSite->CanDock(m_rectHorzTarget, m_dwDockStyle & ~CBRS_ORIENT_VERT, &pDock);
    if (dw == 0 && (m_dwDockStyle & CBRS_ORIENT_VERT))
        dw = m_pDockSite->CanDock(m_rectVertTarget, m_dwDockStyle & ~CBRS_ORIENT_HORZ, &pDock);
    if (dw == 0)
        return 0;
    const bool bHorz = (dw & CBRS_ORIENT_HORZ) != 0;
    m_rectDock = bHorz ? m_rectHorzTarget : m_rectVertTarget;
    const CRect& rectDrag = bHorz ? m_rectDragHorz : m_rectDragVert;
    const DWORD dwMask = bHorz ? ~CBRS_ORIENT_VERT : ~CBRS_ORIENT_HORZ;
    dw = m_pDockSite->CanDock(rectDrag, m_dwDockStyle & dwMask, &pDock);
    if (dw == 0)
        return 0;
    m_pTargetDockBar = pDock;
    if (auto* pSizeDock = DYNAMIC_DOWNCAST(COXSizeDockBar, pDock)) {
        const int n = pSizeDock->CountBarsInRow(m_pBar, m_rectDock);
        if (n > 0) {
            CRect r = rectDrag;
            if (bHorz)
                r.right = r.left + m_rectDock.Width() / (n + 1);
            else
                r.bottom = r.top + m_rectDock.Height() / (n + 1);
            m_rectDock = r;
        }
    }
    return dw;
}

CDockBar* COXDragDockContext::GetTargetDockBar()
{
    CDockBar* pDock = nullptr;
    const DWORD dwMask = (m_dwOverDockStyle & CBRS_ORIENT_HORZ) ? ~CBRS_ORIENT_VERT : ~CBRS_ORIENT_HORZ;
    m_pDockSite->CanDock(m_rectDock, m_dwOverDockStyle & dwMask, &pDock);
    return pDock;
}

void COXDragDockContext::Move(CPoint pt)
{
    const CPoint d = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(d);
    m_rectDragVert.OffsetRect(d);
    m_rectFrameDragHorz.OffsetRect(d);
    m_rectFrameDragVert.OffsetRect(d);
    m_rectHorzTarget.OffsetRect(0, d.y);
    m_rectVertTarget.OffsetRect(d.x, 0);
    m_ptLast = pt;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void COXDragDockContext::OnKey(int nChar, BOOL bDown)
{
    if (nChar != VK_CONTROL)
        return;
    m_bForceFrame = bDown;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void COXDragDockContext::DrawFocusRect(BOOL bRemove)
{
    if (m_pDC == nullptr)
        return;
    CRect rect;
    CSize size;
    CBrush* pBrush;
    CBrush whiteBrush;
    if (m_dwOverDockStyle != 0) {
        rect = m_rectDock;
        rect.DeflateRect(1, 1);
        size = CSize(1, 1);
        whiteBrush.Attach(::GetStockObject(WHITE_BRUSH));
        pBrush = &whiteBrush;
    } else {
        rect = m_rectFrameDragHorz;
        size = CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1);
        pBrush = CDC::GetHalftoneBrush();
    }
    if (bRemove)
        size = CSize(0, 0);
    // The previous rectangle was drawn with its own brush; a change of kind redraws fully.
    const BOOL bDither = m_dwOverDockStyle == 0;
    if (!m_rectLast.IsRectEmpty() && bDither != m_bDitherLast && !bRemove) {
        CBrush* pLastBrush = m_bDitherLast ? CDC::GetHalftoneBrush() : pBrush;
        m_pDC->DrawDragRect(&m_rectLast, CSize(0, 0), &m_rectLast, m_sizeLast, pLastBrush, pLastBrush);
        m_rectLast.SetRectEmpty();
    }
    m_pDC->DrawDragRect(&rect, size, m_rectLast.IsRectEmpty() ? nullptr : &m_rectLast, m_sizeLast,
                        pBrush, m_bDitherLast ? CDC::GetHalftoneBrush() : pBrush);
    if (whiteBrush.m_hObject != nullptr)
        whiteBrush.Detach();
    m_rectLast = rect;
    m_sizeLast = size;
    m_bDitherLast = bDither;
}

void COXDragDockContext::CancelLoop()
{
    CDockContext::CancelLoop();
    m_rectLast.SetRectEmpty();
    if (CWnd* pMain = AfxGetMainWnd(); pMain != nullptr && pMain->m_hWnd != nullptr)
        pMain->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

void COXDragDockContext::EndDrag()
{
    CancelLoop();
    if (m_ptLast == m_ptStart)
        return;
    m_dwOverDockStyle = (::GetKeyState(VK_CONTROL) & 0x8000) ? 0 : CanDock();
    auto* pSize = DYNAMIC_DOWNCAST(COXSizeControlBar, m_pBar);
    if (m_dwOverDockStyle == 0) {
        m_ptMRUFloatPos = m_rectFrameDragHorz.TopLeft();
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos,
                                     CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI));
        m_pBar->SendMessage(WM_OX_REFRESHFLOATINGMENU);
        return;
    }
    CDockBar* pTarget = GetTargetDockBar();
    if (pTarget == nullptr)
        return;
    CDockBar* pOld = m_pBar->m_pDockBar;
    auto* pOldSize = DYNAMIC_DOWNCAST(COXSizeDockBar, pOld);
    const UINT nOldSignature = pOldSize != nullptr ? pOldSize->GetVisibleSignature() : 0;
    if (pSize != nullptr) {
        if (m_dwOverDockStyle & CBRS_ORIENT_HORZ)
            pSize->m_sizeHorzDock = m_rectDock.Size();
        else
            pSize->m_sizeVertDock = m_rectDock.Size();
    }
    m_pDockSite->DockControlBar(m_pBar, pTarget, &m_rectDock);
    if (auto* pSizeDock = DYNAMIC_DOWNCAST(COXSizeDockBar, pTarget)) {
        if (pSizeDock != pOld || pSizeDock->GetVisibleSignature() != nOldSignature)
            pSizeDock->FitRowOfBar(m_pBar);
        pSizeDock->m_nVisibleSignature = 0;
    }
    m_pDockSite->RecalcLayout();
}
