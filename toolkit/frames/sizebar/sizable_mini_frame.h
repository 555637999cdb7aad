// COXSizableMiniDockFrameWnd: the floating frame of a frame with sizable docking. Holding one
// sizable bar, it has a resizable border whose client size is the bar's floating size and a
// reduced system menu whose Close reads "&Hide"; its caption is painted by the mini-frame
// skin. With several bars it behaves as the framework's floating frame.
#pragma once

#include "framework/ui.h"
#include "toolkit/frames/skins/frame_skin.h"

class COXSizableMiniDockFrameWnd : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(COXSizableMiniDockFrameWnd)
public:
    COXSizableMiniDockFrameWnd() = default;
    ~COXSizableMiniDockFrameWnd() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Builds the system menu once; 1 for an ordinary bar, 2 for a sizable one.
    int UpdateSystemMenu();
    COXMiniFrameSkin* GetMiniFrameSkin();
    static void AdjustRectForBorders(CRect& rect, DWORD dwBarStyle);
    // The shared mouse hook, installed while a floating frame of this kind exists.
    static HHOOK GetMouseHook() { return s_hMouseHook; }

    BOOL m_bClosing = FALSE;
    int m_nSysMenuState = 0;
    COXMiniFrameSkin* m_pMiniFrameSkin = nullptr;

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonUp(UINT nHitTest, CPoint point);
    void OnNcRButtonDown(UINT nHitTest, CPoint point);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    BOOL OnNcActivate(BOOL bActive);
    void OnNcPaint();
    void OnSysCommand(UINT nID, LPARAM lParam);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool IsSingle() const;
    class COXSizeControlBar* GetSizeBar() const;
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static HHOOK s_hMouseHook;
    static HWND s_hWndLast;
};
