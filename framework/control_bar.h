// Control bars and the layout request that places them around a frame's client window.
// Classes here: CControlBar, CDockBar; AFX_SIZEPARENTPARAMS and the bar style constants.
//
// A frame lays out its children by sending each one WM_SIZEPARENT with a shared
// AFX_SIZEPARENTPARAMS record: every bar takes its strip off the record's rectangle, and
// what is left goes to the pane (CWnd::RepositionBars). A record without a deferred-positioning
// handle is a query: bars report their sizes and move nothing.
//
// A dock bar keeps its docked bars in m_arrBars, row by row: the array starts with a null
// entry and a null entry ends every row. An entry that is a small integer instead of a
// pointer is a placeholder, the control id of a bar that floated away and may come back.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/collections.h"
#include "framework/wnd.h"

class CControlBarInfo;
class CDockBar;
class CDockContext;
class CFrameWnd;

// Layout request (wParam 0, lParam an AFX_SIZEPARENTPARAMS*). The framework's fixed ids are
// plain #defines, spelled exactly as everywhere else they are defined.
#define WM_SIZEPARENT 0x0361

struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;      // null: a query, nothing moves
    RECT rect;      // what is still free, in the parent's client coordinates
    SIZE sizeTotal; // the bars' total extent (read back by queries without stretch)
    BOOL bStretch;  // bars stretch across the whole free length
};

// Moves hWnd to lpRect (parent client coordinates) through the record's deferred positioning;
// nothing when the record is a query or the window is already there.
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

// Bar styles (the low word of m_dwStyle; the window style keeps only WS_* bits).
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
constexpr DWORD CBRS_BORDER_3D = 0x0080;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_NOALIGN = 0;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Modes of CalcDynamicLayout.
constexpr DWORD LM_STRETCH = 0x01;  // stretch across the whole length
constexpr DWORD LM_HORZ = 0x02;     // horizontal orientation
constexpr DWORD LM_MRUWIDTH = 0x04; // the most recently used width
constexpr DWORD LM_HORZDOCK = 0x08; // docked on a horizontal side
constexpr DWORD LM_VERTDOCK = 0x10; // docked on a vertical side
constexpr DWORD LM_LENGTHY = 0x20;  // nLength is a height, not a width
constexpr DWORD LM_COMMIT = 0x40;   // keep the computed size

// Control ids of the frame's standard windows.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_PANE_FIRST 0xE900

// Sent at idle time to every bar (wParam: disable commands without handler).
#define WM_IDLEUPDATECMDUI 0x0363

// The bar's own control bar: layout, borders, delayed visibility, docking state.
class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    // Bar style (CBRS_*) and the sides it accepts (CBRS_ALIGN_* and CBRS_FLOAT_MULTI).
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    // Makes the bar dockable on the given sides (0: never docks) and gives it a drag
    // context. A bar without an owner gets its parent as owner.
    void EnableDocking(DWORD dwDockStyle);

    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    CRect GetBorders() const
    {
        return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
    }

    // The window that gets the bar's commands and notifications: the owner, else the parent.
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = AfxHwnd(pOwnerWnd); }

    // The frame whose layout holds the bar: the floating frame while floating.
    CFrameWnd* GetDockingFrame() const;
    BOOL IsFloating() const;
    // Visible, counting a pending delayed show or hide.
    BOOL IsVisible() const;
    virtual BOOL IsDockBar() const { return FALSE; }

    // Size of the bar in the given orientation, borders included. bStretch: across the
    // whole length (the length is then 32767).
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // Size for a requested length (-1: the natural one) and LM_* mode.
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Shrinks a window rectangle to the area inside the borders and the gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
    // Draws the CBRS_BORDER_* edges on the rectangle and shrinks it to what lies inside.
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    virtual void DrawGripper(CDC* pDC, const CRect& rect);
    // Paints the client area; the base draws the gripper.
    virtual void DoPaint(CDC* pDC);
    // Idle-time update of the bar's command states; pTarget routes the commands.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {}
    // Index of the tool under a client point, -1 over none (a drag may start there).
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const { return -1; }

    // The bar's part of a saved docking layout, and its restoration (the bar moves to the
    // recorded place and shows or hides as recorded).
    virtual void GetBarInfo(CControlBarInfo* pInfo);
    virtual void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd);

    // Marks the bar to be shown or hidden at the dock bar's next layout.
    void DelayShow(BOOL bShow);
    // Carries out a delayed show or hide through the layout record (only records the new
    // state for a query); returns the window style as it is after the layout.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // State flags of m_nStateFlags.
    enum StateFlags : UINT { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };

    BOOL m_bAutoDelete = FALSE; // the object deletes itself after its window is gone
    int m_cxLeftBorder = 6, m_cxRightBorder = 6;
    int m_cyTopBorder = 1, m_cyBottomBorder = 1;
    int m_cxDefaultGap = 2;
    UINT m_nMRUWidth = 32767; // width while floating, for bars that wrap
    UINT m_nStateFlags = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    HWND m_hWndOwner = nullptr;
    CFrameWnd* m_pDockSite = nullptr;        // the frame that docks it (whose list holds it)
    CDockBar* m_pDockBar = nullptr;          // the dock bar holding it now
    CDockContext* m_pDockContext = nullptr;  // owned; made by EnableDocking

protected:
    void PostNcDestroy() override;
    // Joins the dock site's bar list (the parent frame unless m_pDockSite is set already).
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnNcPaint();
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Leaves the dock bar's array and the dock site's list (the window is going away).
    void DetachFromDocking();
};

// The strip along one side of a frame (or inside a floating frame) that docks bars.
class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override = default;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    BOOL IsDockBar() const override { return TRUE; }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    void DoPaint(CDC*) override {}
    // Also the array of bars; SetBarInfo docks the recorded bars here in the recorded rows.
    void GetBarInfo(CControlBarInfo* pInfo) override;
    void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd) override;

    // Docks pBar here: at a screen rectangle (its row and place found from the rectangle's
    // position), or at the end as a new row. The bar leaves its previous dock bar.
    virtual void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes pBar out of the array. nPosExclude: an entry of pBar to leave alone (the bar
    // stays here at its new place). nAddPlaceHolder 1 leaves its id behind. A floating dock
    // bar left with no bar destroys its frame (TRUE is returned then) and with no visible
    // bar hides it.
    virtual BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1,
                                  int nAddPlaceHolder = 0);
    void RemovePlaceHolder(CControlBar* pBar);
    // Drops every entry of a bar whose window is going away; nothing else happens (the
    // frames around may be going away too).
    void ForgetBar(CControlBar* pBar);
    // Shows or hides every docked bar (the floating frame's close).
    void ShowAll(BOOL bShow);

    // The bar at an array index; null for row ends, placeholders and gone windows.
    CControlBar* GetDockedControlBar(int nPos) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    // Index of pBar (or of a placeholder value) other than nPosExclude, -1 when absent.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    // Puts pBar into the array at the row holding ptMid (client coordinates), after the bars
    // that start before rect; a new row when ptMid lies outside every row. Returns the index.
    int Insert(CControlBar* pBar, CRect rect, CPoint ptMid);

    BOOL m_bFloating;
    CPtrArray m_arrBars;
    BOOL m_bLayoutQuery = FALSE; // the current layout only measures
    CRect m_rectLayout;          // the rectangle of the current layout request

protected:
    // Steps of the row layout and of docking, shared with dock bars whose rows hold
    // other kinds of bars as well.
    // How a docked bar is asked for its size.
    static DWORD LayoutMode(const CControlBar* pBar);
    // Places a bar that keeps its size at pt of the current row (room: the length the rows
    // may take): further on where the user put it (bKeepPlace), pulled back to end within
    // the room. FALSE when it must start a new row instead.
    BOOL PlaceBarInRow(CRect& rect, const CRect& rectBar, CPoint pt, CSize sizeBar, int nRoom,
                       BOOL bHorz, BOOL bWrapped, BOOL bKeepPlace, int nPos) const;
    // Moves a placed bar, remembers the place as its last docked one and advances pt and
    // the row's thickness past it.
    void MoveBarInRow(AFX_SIZEPARENTPARAMS* pLayout, CControlBar* pBar, const CRect& rect,
                      const CRect& rectBar, CSize sizeBar, BOOL bHorz, CPoint& pt,
                      int& nThickness);
    // A row of nThickness ends: the size grows by it and pt goes to the next row's start.
    static void EndRow(CPoint& pt, int nThickness, BOOL bHorz, CSize& sizeFixed);
    // The dock bar's own borders, along the sides that have a size.
    void AddBorders(CSize& sizeFixed, BOOL bStretch, BOOL bHorz);
    // The bar takes this dock bar's side and floating state (and the floating frame the
    // bar's title).
    void TakeBarStyle(CControlBar* pBar);
    // Hides a visible bar that comes from another dock bar; TRUE when it was hidden.
    BOOL HideWhileMoving(CControlBar* pBar);
    // Makes this the bar's parent and dock bar, takes it out of the old one (nPos: its new
    // entry here) and shows it again when it was hidden for the move.
    void AdoptBar(CControlBar* pBar, int nPos, BOOL bShow);

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// True when the value stored in a dock bar's array is a placeholder id, not a bar pointer.
inline bool AfxIsPlaceHolder(const void* p)
{
    return p != nullptr && reinterpret_cast<UINT_PTR>(p) <= 0xFFFF;
}
