// An MDI child that can leave the MDI client and become a sizable bar of its MDI frame: its
// active view moves into a COXSizeViewBar (inside a COXSizeBarWrapper while docked) and the
// child window stays hidden; "Dock window" switches between both.
// Classes here: COXMDIChildWndSizeDock, COXSizeViewBar, COXSizeBarWrapper.
// Functions here: OXGetDockMDIChildID.
#pragma once

#include "framework/mdi.h"
#include "framework/ui.h"
#include "toolkit/frames/sizebar/size_control_bar.h"

class COXMDIChildWndSizeDock;
class COXSizeViewBar;

// The command id of "Dock window": the registered window message "_DOCK_MDICHILD_".
UINT OXGetDockMDIChildID();

// To a view bar: its activation changed. wParam active (BOOL), lParam the source.
constexpr UINT WM_OX_VIEWBARACTIVATE = 0x80B6;
constexpr LPARAM OX_ACTIVATE_FLOATFRAME = 1; // the bar's floating frame was (de)activated
constexpr LPARAM OX_ACTIVATE_WRAPPER = 2;    // activation through the wrapper
constexpr LPARAM OX_ACTIVATE_CLICK = 3;      // a click or activation in the floating frame

// Holds the view while its bar is docked and hands mouse input and activation to the bar.
class COXSizeBarWrapper : public CWnd {
    DECLARE_DYNAMIC(COXSizeBarWrapper)
public:
    COXSizeBarWrapper() = default;
    // A visible child as large as the bar's client area, with the bar's text.
    BOOL CreateWrapper(COXSizeViewBar* pBar);
    // Moves pView in (creating the wrapper first when needed; failure throws the framework's
    // resource exception) and sizes it to the bar.
    void AttachView(COXSizeViewBar* pBar, CWnd* pView);
    // Gives the view back to the bar and hides.
    void RestoreView();

    COXSizeViewBar* m_pBar = nullptr;
    CWnd* m_pView = nullptr;
    BOOL m_bDestroying = FALSE;

protected:
    LRESULT OnNcHitTest(CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    LRESULT OnNcDestroyMessage(WPARAM wParam, LPARAM lParam);
    void OnClose();
    BOOL OnNcActivate(BOOL bActive);
    DECLARE_MESSAGE_MAP()
};

// The sizable bar that shows a docked MDI child's view.
class COXSizeViewBar : public COXSizeControlBar {
    DECLARE_DYNAMIC(COXSizeViewBar)
public:
    COXSizeViewBar();
    ~COXSizeViewBar() override;

    // The child's active view moves into this bar (made under the MDI frame on first use),
    // which docks on dwSide or the first side the child allows; FALSE without a view.
    BOOL DockChild(COXMDIChildWndSizeDock* pChild, DWORD dwSide, BOOL bAtLastBar);
    // The view goes back to the child, which becomes an ordinary MDI child again (shown with
    // bShow, when the bar is also hidden); FALSE when the child is gone or not docked.
    BOOL UndockChild(BOOL bShow);
    // TRUE when the bar, view or child is gone, else the document's answer.
    BOOL CanCloseChild();

    INT_PTR OnToolHitTest(CPoint, TOOLINFO*) const override { return -1; }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnSizedOrDocked(int cx, int cy, BOOL bFloating, int nFlags) override;

    COXMDIChildWndSizeDock* m_pChild = nullptr;
    CWnd* m_pView = nullptr;
    COXSizeBarWrapper m_wndWrapper;
    BOOL m_bDestroying = FALSE;

protected:
    // The MDI frame of the child (the bar's dock site once made).
    CMDIFrameWnd* ChildFrame() const;
    BOOL IsChildAlive() const;
    BOOL OnNcActivate(BOOL bActive);
    void OnDestroy();
    LRESULT OnNcDestroyMessage(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddContextMenuItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnViewBarActivate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class COXMDIChildWndSizeDock : public CMDIChildWnd {
    DECLARE_DYNCREATE(COXMDIChildWndSizeDock)
public:
    COXMDIChildWndSizeDock();
    ~COXMDIChildWndSizeDock() override;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CMDIFrameWnd* pParentWnd = nullptr,
                CCreateContext* pContext = nullptr) override;
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // Appends the "Dock window" item (checked while docked).
    virtual void AddDockMenuItem(HMENU hMenu);
    // Appends a separator and the item.
    virtual void AddDockMenuItems(CMenu* pMenu);

    // Only under a COXMDIFrameWndSizeDock; TRUE when already in that state.
    BOOL SetDocked(BOOL bDock, DWORD dwSide = CBRS_ALIGN_TOP, BOOL bAtLastBar = FALSE);
    BOOL IsDocked() const { return m_bDocked; }
    void ToggleDock();
    // The MDI messages to the client; maximizing and restoring do nothing while docked.
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    void MDIDestroy();

    COXSizeViewBar m_wndViewBar;
    BOOL m_bDocked = FALSE;
    CString m_strDockMenu;
    DWORD m_dwDockSides = CBRS_ALIGN_ANY;
    BOOL m_bClosing = FALSE;

protected:
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnClose();
    void OnContextMenu(CWnd* pWnd, CPoint point);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnNcRButtonDown(UINT nHitTest, CPoint point);
    LRESULT OnStyleChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    // The "Dock window" popup at a screen point.
    void TrackDockMenu(CPoint point);
    DECLARE_MESSAGE_MAP()

    friend class COXSizeViewBar;
};
