// Small-caption frames: the tool-window frame and the floating frame of docked bars.
// Classes here: CMiniFrameWnd, CMiniDockFrameWnd; the MFS_* and FWS_SNAPTOBARS styles.
#pragma once

#include "framework/control_bar.h"
#include "framework/frame.h"

// Mini-frame styles, kept in the window style's class-specific low word (except
// MFS_BLOCKSYSMENU, which would read as WS_MAXIMIZEBOX there and is kept apart).
constexpr DWORD MFS_SYNCACTIVE = 0x0100;   // caption active while the owner is active
constexpr DWORD MFS_4THICKFRAME = 0x0200;  // sized on its four sides only, not the corners
constexpr DWORD MFS_THICKFRAME = 0x0400;   // sizable
constexpr DWORD MFS_MOVEFRAME = 0x0800;    // the border moves the frame instead of sizing it
constexpr DWORD MFS_BLOCKSYSMENU = 0x10000; // no system menu on the caption
constexpr DWORD FWS_SNAPTOBARS = 0x4000;   // the frame takes the size of its bars

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;

    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd = nullptr, UINT nID = 0);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Grows a client rectangle to the window rectangle of a mini frame with these styles.
    static void CalcBorders(LPRECT lpClientRect, DWORD dwStyle = WS_THICKFRAME | WS_CAPTION,
                            DWORD dwExStyle = WS_EX_TOOLWINDOW);
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0) override;

    // MFS_BLOCKSYSMENU: the caption offers no system menu (the menu itself still exists for
    // the frame's own use).
    BOOL m_bSysMenuBlocked = FALSE;

    // The frame's own caption activation (skins that leave the caption to the system call it).
    BOOL OnNcActivate(BOOL bActive);

protected:
    LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()
};

// The floating frame of a frame's bars: one floating dock bar, sized to what it holds.
class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();

    // pParent: the docking frame (the owner); dwBarStyle: CBRS_ALIGN_* of the floating
    // orientation, CBRS_SIZE_DYNAMIC and CBRS_FLOAT_MULTI.
    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    void RecalcLayout(BOOL bNotify = TRUE) override;

    // The first bar of the floating dock bar (the one a drag or resize acts on), or null.
    CControlBar* GetFirstBar() const;

    CDockBar m_wndDockBar;

protected:
    void OnClose();
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
