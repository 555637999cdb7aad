// CRectTracker: a rectangle the user moves or sizes with the mouse in a local loop that owns
// the capture, drawn as a moving frame until the button is released.
#pragma once

#include "framework/gdi.h"
#include "framework/wnd.h"

class CRectTracker {
public:
    // Styles.
    enum StyleFlags {
        solidLine = 1, dottedLine = 2, hatchedBorder = 4, resizeInside = 8, resizeOutside = 16,
        hatchInside = 32
    };
    // Handles, as HitTest reports them and the tracking loop takes them.
    enum TrackerHit {
        hitNothing = -1, hitTopLeft = 0, hitTopRight = 1, hitBottomRight = 2,
        hitBottomLeft = 3, hitTop = 4, hitRight = 5, hitBottom = 6, hitLeft = 7, hitMiddle = 8
    };

    CRectTracker() = default;
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle) : m_rect(lpSrcRect), m_nStyle(nStyle) {}
    virtual ~CRectTracker() = default;

    // Tracks the handle under point (client coordinates of pWnd; the middle when the point is
    // on none). TRUE when the button was released, FALSE when cancelled (Escape, right
    // button, lost capture); m_rect holds the result.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    int HitTest(CPoint point) const;
    // The handle's rectangle (client coordinates) of the current m_rect.
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;

    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    // Keeps the rectangle at least m_sizeMin (unless inverting is allowed).
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    virtual void OnChangedRect(const CRect& rectOld) {}
    // Which of the eight sizing handles exist (bit n: handle n); all by default.
    virtual UINT GetHandleMask() const { return 0xFF; }

    CRect m_rect;
    UINT m_nStyle = 0;
    CSize m_sizeMin{4, 4};
    int m_nHandleSize = 6;

protected:
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);

    BOOL m_bAllowInvert = FALSE;
    BOOL m_bErase = FALSE;      // the current call erases the last rectangle
    BOOL m_bFinalErase = FALSE; // ... for good, at the end of tracking
};
