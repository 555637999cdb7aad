// The MDI counterpart of the frame with sizable docking: sizable bars dock, float and group as
// there, a bar can float as an MDI child window (COXMDIFloatWnd), and MDI children can dock as
// bars. A docked child is no real MDI child, so the frame keeps its own active child and routes
// activation, commands, menus, accelerators and the title through it.
// Classes here: COXMDIFrameWndSizeDock, COXMDIFloatWnd.
#pragma once

#include "framework/mdi.h"
#include "framework/ui.h"
#include "toolkit/frames/sizebar/mdi_child_dock.h"

class COXSizeControlBar;

class COXMDIFrameWndSizeDock : public CMDIFrameWnd {
    DECLARE_DYNCREATE(COXMDIFrameWndSizeDock)
public:
    COXMDIFrameWndSizeDock() = default;
    ~COXMDIFrameWndSizeDock() override;

    // Sizable dock bars on the given sides; bars float in sizable floating frames.
    void EnableDocking(DWORD dwDockStyle);
    CDockBar* NewDockBar() override;
    // The layout in the application profile, as the frame with sizable docking keeps it; bars
    // that floated as MDI windows come back as MDI windows at their place.
    void SaveSizeBarState(LPCTSTR lpszProfileName);
    void LoadSizeBarState(LPCTSTR lpszProfileName);

    // The docked child that counts as active, else the real active MDI child; null when that
    // window no longer exists.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const override;
    void SetActiveDockedChild(CWnd* pWnd);
    BOOL IsActiveChildMaximized() const;
    // A docked COXMDIChildWndSizeDock becomes the active docked child; any other is activated
    // as an MDI child.
    void ActivateChild(CMDIChildWnd* pChild);
    // Caption states of the children, the active view and the title after a change.
    void RefreshActivation();
    // Floats pBar in a COXMDIFloatWnd whose top-left corner is at ptScreen, kept inside the
    // MDI client; failure throws the framework's resource exception.
    void FloatBarAsMDI(CControlBar* pBar, CPoint ptScreen, DWORD dwStyle = CBRS_ALIGN_TOP,
                       BOOL bShow = TRUE);
    // Floats a bar that sits in a COXMDIFloatWnd in an ordinary floating frame at that place.
    void FloatBarInFrame(CControlBar* pBar, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Every docked child back to the client area (not shown).
    void UndockAllChildren();

    BOOL DestroyWindow() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CFrameWnd* GetActiveFrame() override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    COXSizeControlBar* m_pActiveSizeBar = nullptr;
    CWnd* m_pActiveDockedChild = nullptr;
    BOOL m_bClosing = FALSE;
    BOOL m_bLiveDrag = FALSE;

protected:
    void OnDestroy();
    void OnClose();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    BOOL OnBarCheck(UINT nID);
    void OnWindowNew();
    LRESULT OnQueryLiveDrag(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// An MDI child holding one sizable bar in a floating dock bar: the MDI form of the floating
// frame.
class COXMDIFloatWnd : public COXMDIChildWndSizeDock {
    DECLARE_DYNCREATE(COXMDIFloatWnd)
public:
    COXMDIFloatWnd();
    ~COXMDIFloatWnd() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwBarStyle);
    void ShowBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void AddDockMenuItem(HMENU) override {}
    void AddDockMenuItems(CMenu*) override {}
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // The bar it holds, or null.
    CControlBar* GetBar() const;

    CDockBar m_wndDockBar;
    // The class name, registered on first use, freed at process exit.
    static CString* s_pClassName;

protected:
    bool IsSingle() const;
    void OnSize(UINT nType, int cx, int cy);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnClose();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bCreating = FALSE;
};
