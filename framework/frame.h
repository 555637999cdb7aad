// CFrameWnd: a top-level frame window with a menu, accelerators, an active view, the
// command route view - document - frame - application, and its control bars with the
// layout around its pane. Like every frame it deletes its own
// object after its window is gone (PostNcDestroy), so frames are created with new and closed,
// never deleted. Classes here: CCreateContext, CFrameWnd.
#pragma once

#include <functional>

#include "framework/cmd_ui.h"
#include "framework/collections.h"
#include "framework/control_bar.h"
#include "framework/framework_ids.h"
#include "framework/wnd.h"

class CDockState;
class CDocument;
class CDocTemplate;
class CMiniDockFrameWnd;
class CView;

// What a frame needs to build its view: handed to LoadFrame/Create and on to the view.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// Frame styles (bits of the window style the system leaves free for the class).
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L; // the caption shows "document - application"

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const RECT rectDefault;

    CFrameWnd() = default;
    ~CFrameWnd() override;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);
    // Creates the frame from resource nIDResource: its title (first field of the string of
    // that id), icon, menu and accelerator table; the view comes from pContext.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override { delete this; }
    BOOL IsFrameWnd() const override { return TRUE; }
    // The active view first (which passes on to its document), then the frame's own map,
    // then the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // Places the control bars and gives the pane AFX_IDW_PANE_FIRST what they leave.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Asks for RecalcLayout at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE);

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
    // The bar toggles (ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, or a bar's own id): show the bar
    // when hidden, hide it when shown; FALSE when the frame has no bar of that id, so the
    // command routes on.
    BOOL OnBarCheck(UINT nID);
    // Checks the item while its bar is visible; routes on when there is no such bar.
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    // The side (CBRS_ALIGN_*) of the first visible dock bar that takes a screen rectangle
    // for a bar with this dock style, 0 when none; *ppDockBar receives that dock bar.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    CControlBar* GetControlBar(UINT nID);
    void AddControlBar(CControlBar* pBar) { m_listControlBars.AddTail(pBar); }
    void RemoveControlBar(CControlBar* pBar);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);
    // The (not yet created) dock bar EnableDocking puts on a side.
    virtual CDockBar* NewDockBar();
    // The docking layout: read from the bars, applied to them (floating frames made as
    // needed), and saved to or loaded from the application profile.
    void GetDockState(CDockState& state);
    void SetDockState(const CDockState& state);
    void SaveBarState(LPCTSTR lpszProfileName);
    void LoadBarState(LPCTSTR lpszProfileName);
    // Destroys the floating frames of this frame's bars (they are owned by the top-level
    // window, which may outlive this frame).
    void DestroyDockBars();

    // The bars of this frame in creation order, dock bars and floating dock bars included.
    CPtrList m_listControlBars;
    CRuntimeClass* m_pFloatingFrameClass = nullptr;
    // Extra room kept free around the pane (in client coordinates).
    CRect m_rectBorder;
    BOOL m_bInRecalcLayout = FALSE;
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    virtual CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // The view of pContext, created as child nID; null when it could not be made.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Sends the first update to every view and shows the frame when bMakeVisible is set.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    // Updates the items of a menu about to open through the command route.
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    // The status line. The message bar is the child AFX_IDW_STATUS_BAR (null when there is
    // none); a command's message string is the part of its string resource before the first
    // newline (empty for id 0 or no string).
    virtual CWnd* GetMessageBar();
    virtual void GetMessageString(UINT nID, CString& rMessage) const;

    // The id whose message the status line shows, and the menu item being tracked.
    UINT m_nIDLastMessage = 0;
    UINT m_nIDTracking = 0;

    HACCEL m_hAccelTable = nullptr;
    // Menu items without a command handler (and without an update handler) are greyed.
    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDHelp = 0;

    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // WM_SETMESSAGESTRING: lParam a text, else wParam a string id (AFX_IDS_IDLEMESSAGE the
    // idle prompt, 0 an empty line) for the message bar; returns the previous id.
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    // A menu item's prompt while it is highlighted; the idle prompt when the menu closes.
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    // TTN_NEEDTEXT (A and W) for any id: the part of the command's string after the first
    // newline. FALSE when the command has no such part.
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    void OnUpdateNextPane(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnNextPane(UINT) {}

    // LoadFrame's common part: help id and title from the resource's string, a window class
    // with its icon and hbrBackground, then create(class, title) makes the window; the views
    // get their first update when pContext is null.
    BOOL LoadFrameFromResource(
        UINT nIDResource, HBRUSH hbrBackground, CCreateContext* pContext,
        const std::function<BOOL(LPCTSTR lpszClass, LPCTSTR lpszTitle)>& create);

    CView* m_pViewActive = nullptr;
    CString m_strTitle;

    DECLARE_MESSAGE_MAP()
};

// The frame that holds pWnd (pWnd itself when it is one), or null.
CFrameWnd* AfxGetParentFrame(const CWnd* pWnd);
