// CRectTracker: hit testing of the handles and the tracking loop.
#include "framework/rect_tracker.h"

#include <algorithm>

int CRectTracker::HitTest(CPoint point) const
{
    CRect rect = m_rect;
    rect.NormalizeRect();
    for (int n = 0; n < 8; ++n) {
        if ((GetHandleMask() & (1u << n)) == 0)
            continue;
        CRect rectHandle;
        GetHandleRect(n, &rectHandle);
        if (rectHandle.PtInRect(point))
            return n;
    }
    return rect.PtInRect(point) ? hitMiddle : hitNothing;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    CRect r = m_rect;
    r.NormalizeRect();
    const int s = m_nHandleSize;
    const int xs[] = {r.left, r.right - s, r.right - s, r.left, r.left + (r.Width() - s) / 2,
                      r.right - s, r.left + (r.Width() - s) / 2, r.left};
    const int ys[] = {r.top, r.top, r.bottom - s, r.bottom - s, r.top,
                      r.top + (r.Height() - s) / 2, r.bottom - s, r.top + (r.Height() - s) / 2};
    if (nHandle < 0 || nHandle > 7) {
        pHandleRect->SetRectEmpty();
        return;
    }
    *pHandleRect = CRect(xs[nHandle], ys[nHandle], xs[nHandle] + s, ys[nHandle] + s);
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    int nHandle = HitTest(point);
    if (nHandle < 0)
        nHandle = hitMiddle;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(nHandle, pWnd, point, pWndClipTo);
}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect rect(lpRect);
    rect.NormalizeRect();
    if (pWndClipTo != nullptr && pWnd != nullptr && pWndClipTo != pWnd) {
        pWnd->ClientToScreen(&rect);
        pWndClipTo->ScreenToClient(&rect);
    }
    pDC->DrawFocusRect(&rect);
}

void CRectTracker::AdjustRect(int nHandle, LPRECT lpRect)
{
    if (nHandle == hitMiddle || m_bAllowInvert)
        return;
    CRect& r = *reinterpret_cast<CRect*>(lpRect);
    // The edge that the handle moves gives way; the other stays.
    if (r.Width() < m_sizeMin.cx) {
        if (nHandle == hitLeft || nHandle == hitTopLeft || nHandle == hitBottomLeft)
            r.left = r.right - m_sizeMin.cx;
        else
            r.right = r.left + m_sizeMin.cx;
    }
    if (r.Height() < m_sizeMin.cy) {
        if (nHandle == hitTop || nHandle == hitTopLeft || nHandle == hitTopRight)
            r.top = r.bottom - m_sizeMin.cy;
        else
            r.bottom = r.top + m_sizeMin.cy;
    }
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    if (::GetCapture() != nullptr)
        return FALSE;
    const CRect rectSave = m_rect;
    CRect rectOld = m_rect;
    pWnd->SetCapture();
    pWnd->UpdateWindow();
    CWnd* pDrawWnd = pWndClipTo != nullptr ? pWndClipTo : pWnd;
    HDC hDC = ::GetDCEx(pDrawWnd->m_hWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    CDC* pDC = CDC::FromHandle(hDC);
    BOOL bMoved = FALSE, bResult = FALSE, bDone = FALSE;
    auto draw = [&](const CRect& r, BOOL bErase, BOOL bFinal) {
        m_bErase = bErase;
        m_bFinalErase = bFinal;
        DrawTrackerRect(&r, pWndClipTo, pDC, pWnd);
    };
    draw(m_rect, FALSE, FALSE);
    while (!bDone) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != pWnd->m_hWnd)
            break;
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            if (msg.hwnd != pWnd->m_hWnd) {
                ::ClientToScreen(msg.hwnd, &pt);
                pWnd->ScreenToClient(&pt);
            }
            CRect r = rectSave;
            const int dx = pt.x - point.x, dy = pt.y - point.y;
            switch (nHandle) {
            case hitMiddle: r.OffsetRect(dx, dy); break;
            case hitTopLeft: r.left += dx; r.top += dy; break;
            case hitTopRight: r.right += dx; r.top += dy; break;
            case hitBottomRight: r.right += dx; r.bottom += dy; break;
            case hitBottomLeft: r.left += dx; r.bottom += dy; break;
            case hitTop: r.top += dy; break;
            case hitRight: r.right += dx; break;
            case hitBottom: r.bottom += dy; break;
            case hitLeft: r.left += dx; break;
            default: break;
            }
            m_rect = r;
            AdjustRect(nHandle, &m_rect);
            if (msg.message == WM_LBUTTONUP) {
                bResult = TRUE;
                bDone = TRUE;
                break;
            }
            if (m_rect != rectOld) {
                draw(rectOld, TRUE, FALSE);
                OnChangedRect(rectOld);
                draw(m_rect, FALSE, FALSE);
                rectOld = m_rect;
                bMoved = TRUE;
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                bDone = TRUE;
            break;
        case WM_RBUTTONDOWN:
            bDone = TRUE;
            break;
        default:
            ::DispatchMessage(&msg);
            break;
        }
    }
    draw(rectOld, TRUE, TRUE);
    ::ReleaseDC(pDrawWnd->m_hWnd, hDC);
    if (::GetCapture() == pWnd->m_hWnd)
        ::ReleaseCapture();
    if (!bResult)
        m_rect = rectSave;
    (void)bMoved;
    return bResult;
}
