// The drag and resize loops of CDockContext.
#include "framework/dock_context.h"

#include <algorithm>

#include "framework/app.h"
#include "framework/frame.h"
#include "framework/mini_frame.h"

namespace {

bool Horz(DWORD dw)
{
    return (dw & CBRS_ORIENT_HORZ) != 0;
}
bool Vert(DWORD dw)
{
    return (dw & CBRS_ORIENT_VERT) != 0;
}

// Moves a rectangle along x and y just enough that it holds pt.
void AdjustRectangle(CRect& rect, CPoint pt)
{
    int dx = pt.x < rect.left ? pt.x - rect.left : (pt.x > rect.right ? pt.x - rect.right : 0);
    int dy = pt.y < rect.top ? pt.y - rect.top : (pt.y > rect.bottom ? pt.y - rect.bottom : 0);
    rect.OffsetRect(dx, dy);
}

// The window rectangle of a floating frame whose dock bar takes rect.
void GrowToFloatingFrame(CRect& rect)
{
    CMiniFrameWnd::CalcBorders(&rect, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                               WS_EX_TOOLWINDOW);
    rect.InflateRect(-2 * ::GetSystemMetrics(SM_CXBORDER), -2 * ::GetSystemMetrics(SM_CYBORDER));
}

} // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar), m_pDockSite(pBar->m_pDockSite)
{
}

CDockContext::~CDockContext()
{
    if (m_hDesktopDC != nullptr) // destroyed in the middle of a drag
        CancelLoop();
}

void CDockContext::InitLoop()
{
    // Pending paints first, so the tracking rectangle is drawn over a finished screen.
    AfxPumpPaintMessages(); // a WM_QUIT among them ends the tracking loop

    if (m_pDockSite == nullptr)
        m_pDockSite = m_pBar->m_pDockSite;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    m_bForceFrame = m_bFlip = m_bDitherLast = FALSE;
    LockDesktop();
}

void CDockContext::LockDesktop()
{
    m_hWndDesktop = ::GetDesktopWindow();
    if (::LockWindowUpdate(m_hWndDesktop))
        m_hDesktopDC = ::GetDCEx(m_hWndDesktop, nullptr,
                                 DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    else
        m_hDesktopDC = ::GetDCEx(m_hWndDesktop, nullptr, DCX_WINDOW | DCX_CACHE);
    m_pDC = CDC::FromHandle(m_hDesktopDC);
}

void CDockContext::CancelLoop()
{
    DrawFocusRect(TRUE);
    ::ReleaseCapture();
    ::LockWindowUpdate(nullptr);
    if (m_hDesktopDC != nullptr)
        ::ReleaseDC(m_hWndDesktop, m_hDesktopDC);
    m_hDesktopDC = nullptr;
    m_pDC = nullptr;
}

void CDockContext::StartDrag(CPoint pt)
{
    m_bDragging = TRUE;
    InitLoop();
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = pt;
    if (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        // A wrapping bar: each orientation at its own natural size.
        CSize sizeHorz = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK);
        CSize sizeVert = m_pBar->CalcDynamicLayout(0, LM_VERTDOCK);
        CSize sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        m_rectDragHorz = CRect(rect.TopLeft(), sizeHorz);
        m_rectDragVert = CRect(rect.TopLeft(), sizeVert);
        m_rectFrameDragHorz = CRect(rect.TopLeft(), sizeFloat);
        m_rectFrameDragVert = CRect(rect.TopLeft(), sizeFloat);
    } else {
        // The other orientation turns around the grab point.
        const bool bHorz = Horz(m_dwStyle);
        CSize size = m_pBar->CalcDynamicLayout(-1, bHorz ? LM_VERTDOCK : LM_HORZ | LM_HORZDOCK);
        if (bHorz) {
            m_rectDragHorz = rect;
            m_rectDragVert = CRect(CPoint(pt.x - rect.Height() / 2, rect.top), size);
        } else {
            m_rectDragVert = rect;
            m_rectDragHorz = CRect(CPoint(rect.left, pt.y - rect.Width() / 2), size);
        }
        m_rectFrameDragHorz = m_rectDragHorz;
        m_rectFrameDragVert = m_rectDragVert;
    }
    GrowToFloatingFrame(m_rectFrameDragHorz);
    GrowToFloatingFrame(m_rectFrameDragVert);
    AdjustRectangle(m_rectDragHorz, pt);
    AdjustRectangle(m_rectDragVert, pt);
    AdjustRectangle(m_rectFrameDragHorz, pt);
    AdjustRectangle(m_rectFrameDragVert, pt);

    m_dwOverDockStyle = CanDock();
    Move(pt);
    Track();
}

void CDockContext::Move(CPoint pt)
{
    CSize offset = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(offset);
    m_rectFrameDragHorz.OffsetRect(offset);
    m_rectDragVert.OffsetRect(offset);
    m_rectFrameDragVert.OffsetRect(offset);
    m_ptLast = pt;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void CDockContext::OnKey(int nChar, BOOL bDown)
{
    BOOL* pFlag = nChar == VK_CONTROL ? &m_bForceFrame : nChar == VK_SHIFT ? &m_bFlip : nullptr;
    if (pFlag == nullptr || *pFlag == bDown)
        return;
    *pFlag = bDown;
    // Flipping means something only for a bar that docks on both kinds of side.
    m_bFlip = m_bFlip && Horz(m_dwDockStyle) && Vert(m_dwDockStyle);
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

DWORD CDockContext::CanDock()
{
    const bool bStyleHorz = Horz(m_dwStyle) != (m_bFlip != FALSE);
    DWORD dwDock = 0;
    // The current orientation first; the other only when both rectangles agree on a side.
    if (bStyleHorz && Horz(m_dwDockStyle))
        dwDock = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_VERT);
    else if (Vert(m_dwDockStyle))
        dwDock = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
    if (!m_bFlip) {
        if (dwDock == 0 && Horz(m_dwDockStyle)) {
            DWORD dwCurr = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_VERT);
            dwDock = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_VERT);
            dwDock = dwDock == dwCurr ? dwDock : 0;
        }
        if (dwDock == 0 && Vert(m_dwDockStyle)) {
            DWORD dwCurr = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
            dwDock = m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & ~CBRS_ORIENT_HORZ);
            dwDock = dwDock == dwCurr ? dwDock : 0;
        }
    }
    return dwDock;
}

CDockBar* CDockContext::GetDockBar(DWORD dwOverDockStyle)
{
    CDockBar* pDockBar = nullptr;
    DWORD dw = 0;
    if (Horz(dwOverDockStyle))
        dw = m_pDockSite->CanDock(m_rectDragHorz, dwOverDockStyle & ~CBRS_ORIENT_VERT,
                                  &pDockBar);
    if (dw == 0 && Vert(dwOverDockStyle))
        m_pDockSite->CanDock(m_rectDragVert, dwOverDockStyle & ~CBRS_ORIENT_HORZ, &pDockBar);
    return pDockBar;
}

void CDockContext::DrawFocusRect(BOOL bRemoveRect)
{
    if (m_pDC == nullptr)
        return;
    CSize size(::GetSystemMetrics(SM_CXBORDER), ::GetSystemMetrics(SM_CYBORDER));
    CBrush* pWhite = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CBrush* pDither = CDC::GetHalftoneBrush();
    CBrush* pBrush = pWhite;
    CRect rect;
    if (!m_bDragging) {
        rect = m_rectActualFrameSize;
        size = CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1);
        pBrush = pDither;
    } else if (m_dwOverDockStyle != 0) {
        rect = Horz(m_dwOverDockStyle) ? m_rectDragHorz : m_rectDragVert;
    } else {
        // Floating: the thick, dithered outline of the frame it would get.
        size = CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1);
        const bool bHorz = Horz(m_dwStyle) != (m_bFlip != FALSE);
        rect = bHorz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        pBrush = pDither;
    }
    if (bRemoveRect)
        size = CSize(0, 0);
    m_pDC->DrawDragRect(&rect, size, &m_rectLast, m_sizeLast, pBrush,
                        m_bDitherLast ? pDither : pWhite);
    m_rectLast = rect;
    m_sizeLast = size;
    m_bDitherLast = pBrush == pDither;
}

BOOL CDockContext::Track()
{
    // The bar may hold the capture already (a drag that its own button press started).
    if (::GetCapture() != nullptr && ::GetCapture() != m_pBar->m_hWnd)
        return FALSE;
    ::SetCapture(m_pBar->m_hWnd);
    while (::GetCapture() == m_pBar->m_hWnd) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
            if (m_bDragging)
                EndDrag();
            else
                EndResize();
            return TRUE;
        case WM_MOUSEMOVE:
            if (m_bDragging)
                Move(msg.pt);
            else
                Stretch(msg.pt);
            break;
        case WM_KEYUP:
            if (m_bDragging)
                OnKey(static_cast<int>(msg.wParam), FALSE);
            break;
        case WM_KEYDOWN:
            if (m_bDragging)
                OnKey(static_cast<int>(msg.wParam), TRUE);
            if (msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return FALSE;
            }
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            ::DispatchMessage(&msg);
            break;
        }
    }
    CancelLoop();
    return FALSE;
}

void CDockContext::EndDrag()
{
    CancelLoop();
    if (m_dwOverDockStyle != 0) {
        CDockBar* pDockBar = GetDockBar(m_dwOverDockStyle);
        if (pDockBar == nullptr)
            return;
        CRect rect = Vert(m_dwOverDockStyle) ? m_rectDragVert : m_rectDragHorz;
        UINT uID = static_cast<UINT>(pDockBar->GetDlgCtrlID());
        if (uID >= AFX_IDW_DOCKBAR_TOP && uID <= AFX_IDW_DOCKBAR_BOTTOM) {
            m_uMRUDockID = uID;
            m_rectMRUDockPos = rect;
            pDockBar->ScreenToClient(&m_rectMRUDockPos);
        }
        m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
        m_pDockSite->RecalcLayout();
        return;
    }
    const bool bHorz = (m_dwStyle & CBRS_SIZE_DYNAMIC) || (Horz(m_dwStyle) && !m_bFlip) ||
                       (Vert(m_dwStyle) && m_bFlip);
    DWORD dwFloat = (bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | (m_dwDockStyle & CBRS_FLOAT_MULTI);
    CPoint ptFloat = bHorz ? m_rectFrameDragHorz.TopLeft() : m_rectFrameDragVert.TopLeft();
    m_pDockSite->FloatControlBar(m_pBar, ptFloat, dwFloat);
}

void CDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_bDragging = FALSE;
    InitLoop();
    m_nHitTest = nHitTest;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    CRect rectFrame;
    if (CFrameWnd* pFrame = m_pBar->GetParentFrame())
        pFrame->GetWindowRect(&rectFrame);
    m_ptLast = pt;
    m_rectRequestedSize = m_rectActualSize = rect;
    m_rectActualFrameSize = rectFrame;
    m_rectFrameBorders = CRect(rect.left - rectFrame.left, rect.top - rectFrame.top,
                               rectFrame.right - rect.right, rectFrame.bottom - rect.bottom);
    m_dwOverDockStyle = 0;
    Stretch(pt);
    Track();
}

void CDockContext::Stretch(CPoint pt)
{
    CSize offset = pt - m_ptLast;
    int nLength;
    DWORD dwMode = LM_HORZ;
    if (m_nHitTest == HTLEFT || m_nHitTest == HTRIGHT) {
        (m_nHitTest == HTLEFT ? m_rectRequestedSize.left : m_rectRequestedSize.right) += offset.cx;
        nLength = m_rectRequestedSize.Width();
    } else {
        dwMode |= LM_LENGTHY;
        (m_nHitTest == HTTOP ? m_rectRequestedSize.top : m_rectRequestedSize.bottom) += offset.cy;
        nLength = m_rectRequestedSize.Height();
    }
    CSize size = m_pBar->CalcDynamicLayout(std::max(nLength, 0), dwMode);
    const int cxFrame = size.cx + m_rectFrameBorders.left + m_rectFrameBorders.right;
    const int cyFrame = size.cy + m_rectFrameBorders.top + m_rectFrameBorders.bottom;
    // The edge under the mouse moves; the opposite one stays.
    if (m_nHitTest == HTLEFT || m_nHitTest == HTTOP) {
        m_rectActualSize.left = m_rectActualSize.right - size.cx;
        m_rectActualSize.top = m_rectActualSize.bottom - size.cy;
        m_rectActualFrameSize.left = m_rectActualFrameSize.right - cxFrame;
        m_rectActualFrameSize.top = m_rectActualFrameSize.bottom - cyFrame;
    } else {
        m_rectActualSize.right = m_rectActualSize.left + size.cx;
        m_rectActualSize.bottom = m_rectActualSize.top + size.cy;
        m_rectActualFrameSize.right = m_rectActualFrameSize.left + cxFrame;
        m_rectActualFrameSize.bottom = m_rectActualFrameSize.top + cyFrame;
    }
    m_ptLast = pt;
    DrawFocusRect();
}

void CDockContext::EndResize()
{
    CancelLoop();
    m_pBar->CalcDynamicLayout(m_rectActualSize.Width(), LM_HORZ | LM_COMMIT);
    m_pDockSite->FloatControlBar(m_pBar, m_rectActualFrameSize.TopLeft(),
                                 CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI) |
                                     CBRS_SIZE_DYNAMIC);
}

void CDockContext::ToggleDocking()
{
    if (m_pDockSite == nullptr)
        m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == nullptr)
        return;
    if (m_pBar->IsFloating()) {
        if ((m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY) == 0)
            return;
        CDockBar* pDockBar = m_uMRUDockID != 0
                                 ? DYNAMIC_DOWNCAST(CDockBar,
                                                    m_pDockSite->GetControlBar(m_uMRUDockID))
                                 : nullptr;
        if (pDockBar != nullptr && !m_rectMRUDockPos.IsRectEmpty()) {
            CRect rect = m_rectMRUDockPos;
            pDockBar->ClientToScreen(&rect);
            m_pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
        } else {
            m_pDockSite->DockControlBar(m_pBar, pDockBar, nullptr);
        }
        m_pDockSite->RecalcLayout();
        return;
    }
    CPoint ptFloat = m_ptMRUFloatPos;
    if (ptFloat.x <= 0 && ptFloat.y <= 0) { // never floated: where it stands now
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        ptFloat = rect.TopLeft();
    }
    m_pDockSite->FloatControlBar(m_pBar, ptFloat,
                                 m_dwMRUFloatStyle != 0 ? m_dwMRUFloatStyle : CBRS_ALIGN_TOP);
}
