// CFrameWnd: a top-level frame window with its control bars and the layout around its pane.
// Like every frame it deletes its own object after its window is gone (PostNcDestroy), so
// frames are created with new and closed, never deleted.
#pragma once

#include "framework/collections.h"
#include "framework/control_bar.h"
#include "framework/wnd.h"

class CMiniDockFrameWnd;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const RECT rectDefault;

    CFrameWnd() = default;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override { delete this; }
    // Own map first, then the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // Places the control bars and gives the pane what they leave.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Asks for RecalcLayout at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE)
    {
        m_nIdleFlags |= idleLayout | (bNotify ? static_cast<UINT>(idleNotify) : 0U);
    }

    // Docking. EnableDocking makes the dock bars of the given sides (top, bottom, left,
    // right, in that order) and lets bars float in frames of m_pFloatingFrameClass.
    void EnableDocking(DWORD dwDockStyle);
    // Docks pBar into the dock bar with that id (0: the first side the bar accepts), at a
    // screen rectangle or at the end.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    // Floats pBar in a floating frame whose top-left corner is at a screen point.
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // The side (CBRS_ALIGN_*) of the first visible dock bar that takes a screen rectangle
    // for a bar with this dock style, 0 when none; *ppDockBar receives that dock bar.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    CControlBar* GetControlBar(UINT nID);
    void AddControlBar(CControlBar* pBar) { m_listControlBars.AddTail(pBar); }
    void RemoveControlBar(CControlBar* pBar);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);
    // Destroys the floating frames of this frame's bars (they are owned by the top-level
    // window, which may outlive this frame).
    void DestroyDockBars();

    // The bars of this frame in creation order, dock bars and floating dock bars included.
    CPtrList m_listControlBars;
    CRuntimeClass* m_pFloatingFrameClass = nullptr;
    // Extra room kept free around the pane (in client coordinates).
    CRect m_rectBorder;

    enum IdleFlags : UINT { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
