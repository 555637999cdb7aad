// COXDragDockContext: the classic drag of a sizable bar with a tracking rectangle drawn on the
// desktop. Its rectangles come from the bar's remembered sizes, a side takes the bar across
// the frame's whole inner width or height, a row already holding bars gives it an equal share,
// and the target row is refitted after the drop.
#pragma once

#include "framework/ui.h"

class COXSizeDockBar;

class COXDragDockContext : public CDockContext {
public:
    explicit COXDragDockContext(CControlBar* pBar);
    ~COXDragDockContext() override;

    void StartDrag(CPoint pt) override;
    void ToggleDocking() override;

    DWORD CanDock();
    CDockBar* GetTargetDockBar();
    void Move(CPoint pt) override;
    void OnKey(int nChar, BOOL bDown) override;
    void DrawFocusRect(BOOL bRemove = FALSE) override;
    void EndDrag() override;
    void CancelLoop() override;

    CRect m_rectDock;
    CRect m_rectHorzTarget;
    CRect m_rectVertTarget;
    CDockBar* m_pTargetDockBar = nullptr;
    CPoint m_ptStart;
};
