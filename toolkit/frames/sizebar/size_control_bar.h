// COXSizeControlBar: a control bar the user sizes, docks on any side and floats, which keeps
// one size per state (floating, docked on a horizontal side, docked on a vertical side) and
// draws its own caption with a close and an expand button through the dock-bar skin.
//
// A derived bar places its child windows in OnSizedOrDocked, called whenever its size or
// floating state changes. One thread mouse hook, shared by every size bar while at least one
// exists, repaints the caption buttons of the bar the mouse has just left.
#pragma once

#include "framework/ui.h"
#include "toolkit/frames/skins/dockbar_skin.h"

// Toolkit style bits of a size bar (constructor argument).
constexpr DWORD SZBARF_DESTROY_ON_CLOSE = 0x01; // its floating frame's Close destroys it
constexpr DWORD SZBARF_DLGAUTOSIZE = 0x02;      // dynamic bar, destroyed with its frame
constexpr DWORD SZBARF_ALLOW_MDI_FLOAT_MENU = 0x04; // context menu on right click
constexpr DWORD SZBARF_MDI_FLOAT_ITEM = 0x10;   // the menu offers "Float as MDI Window"
constexpr DWORD SZBARF_NOGRIPPER = 0x20;        // no caption strip
constexpr DWORD SZBARF_NOCLOSEBTN = 0x40;
constexpr DWORD SZBARF_NORESIZEBTN = 0x80;
constexpr DWORD SZBARF_NOCAPTION = 0x100;       // caption without text
constexpr DWORD SZBARF_SOLIDGRIPPER = 0x200;    // caption in the caption colours

// Private messages: the context-menu filling (lParam: the menu) and the floating system-menu
// refresh. WM_OX_QUERYLIVEDRAG is beside the control bar.
constexpr UINT WM_OX_ADDCONTEXTMENUITEMS = 0x80CC;
constexpr UINT WM_OX_REFRESHFLOATINGMENU = 0x80CD;

class COXDockTabCtrl;

class COXSizeControlBar : public CControlBar, public COXSkinnedBar {
    DECLARE_DYNAMIC(COXSizeControlBar)
public:
    explicit COXSizeControlBar(DWORD dwSizeBarStyle = 0);
    ~COXSizeControlBar() override;

    // Keeps dwStyle & CBRS_ALL as the bar style and the rectangle's size for every state
    // (a vertical bar's size is the width and height exchanged); the framework's default
    // rectangle takes half the parent's client width and a quarter of its height.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTitle, UINT nID,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                const RECT& rect = CFrameWnd::rectDefault);
    // A child of pParentWnd on the right side at the default size, in a class of its own.
    BOOL CreateDefault(CWnd* pParentWnd, LPCTSTR lpszTitle, UINT nID);
    // The class name CreateDefault registered, freed at process exit.
    static void DestroySizeBarClassName();

    // The accepted sides and CBRS_FLOAT_MULTI; 0 forbids docking.
    void EnableDocking(DWORD dwDockStyle);
    // The tab group's control when the bar is one of its tabs, else null.
    COXDockTabCtrl* GetTabCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL IsFloatingState() const;
    // nFlags: 1 the size changed, 2 the floating state changed.
    virtual void OnSizedOrDocked(int cx, int cy, BOOL bFloating, int nFlags) {}
    BOOL CanExpand() override;
    virtual void PaintNonClient();
    virtual void DrawGripper(CDC* pDC);
    virtual void DrawCloseButton(CDC* pDC);
    virtual void DrawExpandButton(CDC* pDC);

    COXDockbarSkin* GetDockbarSkin();
    void CalcCaptionRects();
    void RedrawCaptionButtons();
    void RedrawCloseButton();
    void RedrawExpandButton();
    void SetActive(BOOL bActive, BOOL bDeactivateOthers);
    void SetDragOffset(int x, int y);
    void SetVisible(BOOL bShow);
    // The dynamic bars of pFrame: live ones destroyed, gone ones deleted.
    static void DestroyFrameBars(CFrameWnd* pFrame);
    // The process-wide list of dynamic bars (null while empty).
    static CObArray* GetDynamicBars() { return s_pDynamicBars; }
    // The thread mouse hook, installed while a size bar exists.
    static HHOOK GetMouseHook() { return s_hMouseHook; }

    // COXSkinnedBar: what the skin reads and lays out.
    CWnd* GetBarWindow() override { return this; }
    DWORD GetSizeBarStyle() const override { return m_dwSizeBarStyle; }
    DWORD GetBarStyle() const override { return m_dwStyle; }
    BOOL IsBarActive() const override { return m_bActive; }
    BOOL IsBarExpanded() const override { return m_bExpanded; }
    int GetPressedButton() const override { return m_nPressedButton; }
    CRect& GetCaptionRect() override { return m_rectCaption; }
    CRect& GetCloseRect() override { return m_rectClose; }
    CRect& GetExpandRect() override { return m_rectExpand; }
    void SetCaptionPending(BOOL bPending) override { m_bHasCaption = bPending; }
    void DrawBarBorders(CDC* pDC, CRect& rect) override { DrawBorders(pDC, rect); }

    CSize m_sizeFloat;
    CSize m_sizeHorzDock;
    CSize m_sizeVertDock;
    CSize m_sizeBeforeExpand;
    DWORD m_dwSavedDockStyle = 0;
    DWORD m_dwSizeBarStyle;
    int m_nLastCx = 0xFFFF, m_nLastCy = 0xFFFF;
    int m_nLastFloatState = 3; // neither floating (1) nor docked (0) yet
    BOOL m_bTracking = FALSE;
    BOOL m_bDragPending = FALSE;
    int m_nTabIndex = -1;
    CRect m_rectCaption;
    CRect m_rectClose;
    CRect m_rectExpand;
    CPoint m_ptDragOffset;
    BOOL m_bHasCaption = FALSE;
    BOOL m_bClientFrame = FALSE;
    int m_nPressedButton = -1; // -2 expand, -3 close
    BOOL m_bExpanded = FALSE;
    BOOL m_bActive = FALSE;
    CPoint m_ptDragStart;
    COXDockbarSkin* m_pDockbarSkin = nullptr; // owned Classic fallback

protected:
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    void OnPaint();
    LRESULT OnNcHitTest(CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnHide();
    void OnAllowDocking();
    void OnFloatAsMDI();
    LRESULT OnAddContextMenuItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefreshFloatingMenu(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void TrackLiveDrag(CPoint point, bool bFloatOnly);
    BOOL AskLiveDrag() const;
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static COXSizeControlBar* BarFromHandle(HWND hWnd);

    static CObArray* s_pDynamicBars;
    static HHOOK s_hMouseHook;
    static HWND s_hWndLastHook;
    static CString* s_pClassName;
};

// Hands a drag to a bar that drags itself live (a sizable bar or a cool toolbar): the grab
// point in the bar's client, the mouse capture and the bar's tracking flag. False for a null
// or any other bar.
bool OXBeginLiveDrag(CControlBar* pBar, CPoint ptClient);

// One step of such a drag, the cursor at ptScreen: the bar docks into the sizable dock bar
// under it or, with bFloatOnly (Ctrl held) or none there, floats with its grab point
// (ptDragOffset) under the cursor. False when the drag must end (no main frame, or the
// program is quitting).
bool OXTrackLiveDrag(CControlBar* pBar, CPoint ptScreen, CPoint ptDragOffset, bool bFloatOnly);
