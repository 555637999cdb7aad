// COXRectTracker: the moving line of a dock-bar splitter, kept within a limit rectangle and,
// by style, to one direction of movement.
#pragma once

#include "framework/rect_tracker.h"

// Tracker styles beyond the framework's: the rectangle only moves along one axis.
constexpr UINT OX_TRACK_HORZ_ONLY = 0x100;
constexpr UINT OX_TRACK_VERT_ONLY = 0x200;

class COXRectTracker : public CRectTracker {
public:
    COXRectTracker() = default;
    ~COXRectTracker() override = default;

    // Tracks the handle of a WM_NCHITTEST code (anything but a border: the whole rectangle).
    BOOL TrackFromHitTest(int nHitTest, CWnd* pWnd, CPoint point, CWnd* pWndClipTo = nullptr,
                          BOOL bAllowInvert = FALSE);

    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override;
    void AdjustRect(int nHandle, LPRECT lpRect) override;

    CRect m_rectLimit; // empty: no limit
    CRect m_rectAtStart;

private:
    CRect m_rectLast;
    CSize m_sizeLast;
};
