// CDockContext: dragging a control bar to another side or into a floating frame, resizing
// a floating bar, and toggling between its last docked and last floating places.
//
// The drag draws a tracking rectangle on the desktop (thin over a dock side, thick when the
// bar would float) while a local loop owns the mouse capture. Ctrl forces floating, Shift
// flips the orientation of a bar that docks on both kinds of side; Escape or the right
// button cancels.
#pragma once

#include "framework/control_bar.h"

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;
    virtual ~CDockContext();

    // pt: the screen point where the left button went down. Returns after the drag.
    virtual void StartDrag(CPoint pt);
    // nHitTest: the sizing border (HTLEFT...HTBOTTOM) of the floating frame.
    virtual void StartResize(int nHitTest, CPoint pt);
    // Floats a docked bar at its last floating place, docks a floating one at its last
    // docked place (a bar that accepts no side stays floating).
    virtual void ToggleDocking();

    // The drag loop; Track runs it and calls the others (a drag of another kind overrides
    // the drag's steps).
    virtual void Move(CPoint pt);
    virtual void EndDrag();
    void Stretch(CPoint pt);
    void EndResize();
    virtual void OnKey(int nChar, BOOL bDown);
    // The side under the current rectangles, 0 when the bar would float.
    DWORD CanDock();
    CDockBar* GetDockBar(DWORD dwOverDockStyle);
    virtual void DrawFocusRect(BOOL bRemoveRect = FALSE);
    void InitLoop();
    virtual void CancelLoop();
    BOOL Track();

    CPoint m_ptLast;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bDitherLast = FALSE;
    CRect m_rectDragHorz, m_rectDragVert;           // the bar docked on each kind of side
    CRect m_rectFrameDragHorz, m_rectFrameDragVert; // the floating frame in each orientation
    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;     // sides the bar accepts
    DWORD m_dwOverDockStyle = 0; // side under the mouse now
    DWORD m_dwStyle = 0;         // the bar's side when the drag started
    BOOL m_bFlip = FALSE;        // Shift held
    BOOL m_bForceFrame = FALSE;  // Ctrl held
    CDC* m_pDC = nullptr;        // the desktop's window DC during a drag
    BOOL m_bDragging = FALSE;    // a drag (not a resize) was started last
    int m_nHitTest = 0;

    // Where the bar was docked last (dock bar id, rectangle in that dock bar's client
    // coordinates) and floated last (style, screen point of the frame).
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;

    // A resize: the size asked for, the size the bar takes, the floating frame around it.
    CRect m_rectRequestedSize, m_rectActualSize, m_rectActualFrameSize, m_rectFrameBorders;

protected:
    // Locks the desktop and gets its window DC (m_pDC) to draw the tracking rectangles on.
    void LockDesktop();

    HWND m_hWndDesktop = nullptr;
    HDC m_hDesktopDC = nullptr;
};
