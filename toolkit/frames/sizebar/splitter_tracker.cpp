// COXRectTracker: limits and drawing of the splitter's moving line.
#include "toolkit/frames/sizebar/splitter_tracker.h"

#include <algorithm>

BOOL COXRectTracker::TrackFromHitTest(int nHitTest, CWnd* pWnd, CPoint point, CWnd* pWndClipTo,
                                      BOOL bAllowInvert)
{
    m_rectAtStart = m_rect;
    m_bAllowInvert = bAllowInvert;
    int nHandle;
    switch (nHitTest) {
    case HTLEFT: nHandle = hitLeft; break;
    case HTRIGHT: nHandle = hitRight; break;
    case HTTOP: nHandle = hitTop; break;
    case HTTOPLEFT: nHandle = hitTopLeft; break;
    case HTTOPRIGHT: nHandle = hitTopRight; break;
    case HTBOTTOM: nHandle = hitBottom; break;
    case HTBOTTOMLEFT: nHandle = hitBottomLeft; break;
    case HTBOTTOMRIGHT: nHandle = hitBottomRight; break;
    default: nHandle = hitMiddle; break;
    }
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    return TrackHandle(nHandle, pWnd, point, pWndClipTo);
}

void COXRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect rect(lpRect);
    rect.NormalizeRect();
    if (pWndClipTo != nullptr && pWnd != nullptr) {
        pWnd->ClientToScreen(&rect);
        pWndClipTo->ScreenToClient(&rect);
    }
    CSize size(2, 2);
    if (m_bFinalErase) {
        size = CSize(0, 0);
    } else if (m_bErase) {
        return; // the next draw moves the line: DrawDragRect erases only the difference
    }
    pDC->DrawDragRect(&rect, size, m_rectLast.IsRectNull() ? nullptr : &m_rectLast, m_sizeLast);
    m_rectLast = rect;
    m_sizeLast = size;
}

void COXRectTracker::AdjustRect(int nHandle, LPRECT lpRect)
{
    CRect& r = *reinterpret_cast<CRect*>(lpRect);
    if (!m_rectLimit.IsRectEmpty()) {
        if (nHandle == hitMiddle) {
            const CSize size = m_rectAtStart.Size();
            const LONG left = std::clamp<LONG>(r.left, m_rectLimit.left,
                                               std::max<LONG>(m_rectLimit.left, m_rectLimit.right));
            const LONG top = std::clamp<LONG>(r.top, m_rectLimit.top,
                                              std::max<LONG>(m_rectLimit.top, m_rectLimit.bottom - 10));
            r = CRect(CPoint(left, top), size);
        } else {
            r.IntersectRect(&r, &m_rectLimit);
        }
    }
    CRectTracker::AdjustRect(nHandle, lpRect);
    if (m_nStyle & OX_TRACK_HORZ_ONLY) {
        r.top = m_rectAtStart.top;
        r.bottom = m_rectAtStart.bottom;
    }
    if (m_nStyle & OX_TRACK_VERT_ONLY) {
        r.left = m_rectAtStart.left;
        r.right = m_rectAtStart.right;
    }
}
