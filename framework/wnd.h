// CWnd: a window object bound to an HWND through the thread's handle maps, with message-map
// dispatch, subclassing, reflection of child notifications and the pre-translate walk.
// Classes here: CWnd, CScrollBar; the ON_WM_* message-map rows.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "framework/cmd_target.h"
#include "framework/core.h"
#include "framework/gdi.h"

struct CCreateContext;
class CDataExchange;
class CFrameWnd;
class CMenu;
class CScrollBar;
class CWnd;

// The handle of a window object, null for none (callers pass null window pointers freely).
inline HWND AfxHwnd(const CWnd* pWnd);

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    // Destroys a window that is still attached (a permanent object must not outlive it).
    ~CWnd() override;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The permanent object of hWnd, else a temporary wrapper that lives until the next idle
    // time (DeleteTempMap). Both only for windows of the calling thread; null for null.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    // Binds an existing window to this object without subclassing it.
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Binds and routes the window's messages through this object; the old procedure becomes
    // the default. Undone automatically at WM_NCDESTROY.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // The window's procedure: OnWndMsg, then DefWindowProc when nothing handled the message.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The superclass procedure (or ::DefWindowProc) for a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being dispatched now.
    LRESULT Default();
    static const MSG* GetCurrentMessage();
    // Called after WM_NCDESTROY, when the object is detached; may delete the object.
    virtual void PostNcDestroy() {}

    // True when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg) { return FALSE; }
    // Offers pMsg to PreTranslateMessage of its target window and each parent up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Tooltips: while on, mouse messages below this window (in the pump's pre-translate step)
    // ask OnToolHitTest for the tool under the mouse and show it in the thread's tooltip
    // control. A tool with LPSTR_TEXTCALLBACK asks its window with TTN_NEEDTEXT, routed by the
    // control id of a window tool; a request the window leaves unhandled goes on to its
    // parents, up to the top-level window. FALSE when the tooltip control cannot be made.
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    // The tool at a client point, -1 for none. Fills pTI (hwnd, uId, uFlags, rect, lpszText);
    // a text other than LPSTR_TEXTCALLBACK must come from malloc and the caller frees it.
    // The default: a visible child window under the point, as a window tool (TTF_IDISHWND)
    // with callback text; the answer is its control id.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;
    // The frame window holding this one (its nearest CFrameWnd ancestor), or null.
    CFrameWnd* GetParentFrame() const;
    // TRUE for frames, and for windows that take a frame's place as the command target of
    // the bars they own (a bar's idle update routes through such an owner).
    virtual BOOL IsFrameWnd() const { return FALSE; }
    // Sends the message to every child (every descendant with bDeep), also through the
    // permanent objects' WindowProc when bOnlyPerm is set (then only to those).
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);
    // Dialog data exchange: FALSE fills the controls from members, TRUE reads them back.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX) {}
    void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification this window sent to its parent, offered back first; true eats it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Thin wrappers. The control wrappers send through SendMessage, whose assert covers them.
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const
    {
        ASSERT(::IsWindow(m_hWnd));
        return ::SendMessage(m_hWnd, m, w, l);
    }
    BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const
    {
        ASSERT(::IsWindow(m_hWnd)); // a null window would make it a thread message
        return ::PostMessage(m_hWnd, m, w, l);
    }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    CWnd* GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
    // The outermost frame: the parent frames followed up, then through the owner of a
    // floating frame.
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, AfxHwnd(pWndNewParent))); }

    // Lays out the children with ids in [nIDFirst, nIDLast] through WM_SIZEPARENT and gives
    // the child nIDLeftOver what is left. reposQuery moves nothing and reports in
    // lpRectParam the rectangle left over (bStretch) or the bars' total size; reposExtra
    // keeps lpRectParam's edges free around the left-over child.
    enum RepositionFlags : UINT { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver,
                        UINT nFlags = reposDefault, LPRECT lpRectParam = nullptr,
                        LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    // Grows a client rectangle to the window rectangle of this window's styles.
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, AfxHwnd(pWnd)); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void MoveWindow(int x, int y, int w, int h, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, w, h, bRepaint);
    }
    void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, AfxHwnd(pAfter), x, y, cx, cy, nFlags);
    }
    void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const { ::MapWindowPoints(m_hWnd, nullptr, PPOINT(r), 2); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const { ::MapWindowPoints(nullptr, m_hWnd, PPOINT(r), 2); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT r, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, r, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT r = nullptr, HRGN rgn = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, r, rgn, flags);
    }
    void SetWindowText(LPCTSTR s) { ::SetWindowText(m_hWnd, s); }
    void GetWindowText(CString& s) const;
    int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(AfxHandle(pFont)), bRedraw);
    }
    CFont* GetFont() const
    {
        return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const
    {
        return static_cast<DWORD>(::GetWindowLongPtr(m_hWnd, GWL_EXSTYLE));
    }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO p, BOOL bRedraw = TRUE)
    {
        ::SetScrollInfo(m_hWnd, nBar, p, bRedraw);
        return TRUE;
    }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO p) const { return ::GetScrollInfo(m_hWnd, nBar, p); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE)
    {
        return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw);
    }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, ms, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK)
    {
        return ::MessageBox(m_hWnd, text, caption, type);
    }
    // Opens the program's help file (the program's path with ".hlp") for the top-level window.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
    int ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, bRedraw); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // Default handlers: the superclass procedure with the current message. Reached only
    // through message-map rows; derived handlers call them for the default behaviour.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
    void OnMouseHover(UINT, CPoint) { Default(); }
    void OnMouseLeave() { Default(); }
    void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
    void OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
    void OnContextMenu(CWnd*, CPoint) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnCaptureChanged(CWnd*) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    void OnNcPaint() { Default(); }
    void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    BOOL OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
    void OnNcLButtonDown(UINT, CPoint) { Default(); }
    void OnNcLButtonUp(UINT, CPoint) { Default(); }
    void OnNcLButtonDblClk(UINT, CPoint) { Default(); }
    void OnNcRButtonDown(UINT, CPoint) { Default(); }
    void OnNcMouseMove(UINT, CPoint) { Default(); }
    void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnDropFiles(HDROP) { Default(); }
    void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }

    // WF_* flags of the framework.
    UINT m_nFlags = 0;

protected:
    // The procedure that ran before subclassing; null means ::DefWindowProc.
    WNDPROC m_pfnSuper = nullptr;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend void AfxBindCreatedWindow(CWnd*, HWND);
};

// The state of one UpdateData pass; DDX_ functions read or fill one control each.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds rControl to the dialog item nIDC (subclassing it) the first time; later passes do
// nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

inline HWND AfxHwnd(const CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->m_hWnd : nullptr;
}

// A scroll bar control; the parent's OnHScroll/OnVScroll get it (null for window scroll bars).
class CScrollBar : public CWnd {
public:
    int GetScrollPos() const { return static_cast<int>(SendMessage(SBM_GETPOS)); }
};

// Whether hWndChild is hWndParent or lies below it through the parent (or owner) chain.
BOOL AfxIsDescendant(HWND hWndParent, HWND hWndChild);

// Arms the creation hook: the next window the thread creates is bound to pWnd and subclassed
// before its first message. Unhook returns false when no window was bound; the unhook that
// ends the outermost creation removes the thread's hook (the two come in pairs).
void AfxHookWindowCreate(CWnd* pWnd);
bool AfxUnhookWindowCreate();
// Whether the thread's creation hook is installed (only while a creation is underway).
bool AfxIsWindowCreateHooked();
// True while a window made through CreateEx (or a dialog's creation) is being bound to its
// object, which is when its PreSubclassWindow runs; false when SubclassWindow takes over an
// existing window. Controls that set themselves up in WM_CREATE do it in PreSubclassWindow
// only when this is false.
BOOL AfxIsWindowCreationUnderway();

// CWnd::m_nFlags: tooltips are on for the window.
constexpr UINT WF_TOOLTIPS = 0x0001;
// A TOOLINFO flag of the framework, cleared before the tool reaches the tooltip control: the
// tool is no button, so the tip may show while a mouse button is down.
constexpr UINT TTF_NOTBUTTON = 0x80000000;

// The pump's tooltip step (called before the pre-translate walk): relays mouse messages to the
// thread's tooltip control for the nearest window with tooltips on.
void AfxFilterToolTipMessage(const MSG* pMsg);
// The thread's tooltip control (made on first use), null before.
HWND AfxGetThreadToolTip();
// Forgets the tool of a window that is going away.
void AfxToolTipWindowGone(HWND hWnd);
// The command id a TTN_NEEDTEXT request (A or W) is about: its idFrom, or the control id of
// the window it names (TTF_IDISHWND).
UINT AfxToolTipRouteId(const NMHDR* pNMHDR);
// Answers a TTN_NEEDTEXT request in its own 80-character buffer: the text cut to 79
// characters and a zero; the wide request gets the text converted.
void AfxSetToolTipText(NMHDR* pNMHDR, LPCTSTR lpszText);

// The procedure of every window this framework binds.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Name of a registered class with these attributes (registered once per attribute set).
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                            HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
// The default class of windows created without a class name: CS_DBLCLKS, arrow cursor.
LPCTSTR AfxDefaultWndClass();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

#define AFX_WM_POINT                                                                           \
    CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))

// int OnCreate(LPCREATESTRUCT lpCreateStruct)
#define ON_WM_CREATE()                                                                         \
    AFX_MSG_ROW(WM_CREATE, 0, 0, 0,                                                            \
                *pResult = p->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
// void OnDestroy()
#define ON_WM_DESTROY() AFX_MSG_ROW(WM_DESTROY, 0, 0, 0, p->OnDestroy())
// void OnClose()
#define ON_WM_CLOSE() AFX_MSG_ROW(WM_CLOSE, 0, 0, 0, p->OnClose())
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                           \
    AFX_MSG_ROW(WM_SIZE, 0, 0, 0,                                                              \
                p->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),       \
                          static_cast<short>(HIWORD(lParam))))
// void OnPaint()
#define ON_WM_PAINT() AFX_MSG_ROW(WM_PAINT, 0, 0, 0, p->OnPaint())
// BOOL OnEraseBkgnd(CDC* pDC)
#define ON_WM_ERASEBKGND()                                                                     \
    AFX_MSG_ROW(WM_ERASEBKGND, 0, 0, 0,                                                        \
                *pResult = p->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
// void OnXxx(UINT nFlags, CPoint point) for the mouse button and move messages
#define AFX_WM_MOUSE_ROW(msg, fn)                                                              \
    AFX_MSG_ROW(msg, 0, 0, 0, p->fn(static_cast<UINT>(wParam), AFX_WM_POINT))
#define ON_WM_LBUTTONDOWN() AFX_WM_MOUSE_ROW(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_MOUSE_ROW(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_MOUSE_ROW(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_MOUSE_ROW(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_MOUSE_ROW(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() AFX_WM_MOUSE_ROW(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEHOVER() AFX_WM_MOUSE_ROW(WM_MOUSEHOVER, OnMouseHover)
// void OnMouseLeave()
#define ON_WM_MOUSELEAVE() AFX_MSG_ROW(WM_MOUSELEAVE, 0, 0, 0, p->OnMouseLeave())
// BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
#define ON_WM_MOUSEWHEEL()                                                                     \
    AFX_MSG_ROW(WM_MOUSEWHEEL, 0, 0, 0,                                                        \
                *pResult = p->OnMouseWheel(GET_KEYSTATE_WPARAM(wParam),                        \
                                           GET_WHEEL_DELTA_WPARAM(wParam), AFX_WM_POINT))
// void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
#define ON_WM_HSCROLL()                                                                        \
    AFX_MSG_ROW(WM_HSCROLL, 0, 0, 0,                                                           \
                p->OnHScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),               \
                             static_cast<CScrollBar*>(                                         \
                                 CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))))
// void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
#define ON_WM_VSCROLL()                                                                        \
    AFX_MSG_ROW(WM_VSCROLL, 0, 0, 0,                                                           \
                p->OnVScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),               \
                             static_cast<CScrollBar*>(                                         \
                                 CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))))
// void OnContextMenu(CWnd* pWnd, CPoint pos)
#define ON_WM_CONTEXTMENU()                                                                    \
    AFX_MSG_ROW(WM_CONTEXTMENU, 0, 0, 0,                                                       \
                p->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),             \
                                 AFX_WM_POINT))
// void OnSetFocus(CWnd* pOldWnd)
#define ON_WM_SETFOCUS()                                                                       \
    AFX_MSG_ROW(WM_SETFOCUS, 0, 0, 0,                                                          \
                p->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
// void OnKillFocus(CWnd* pNewWnd)
#define ON_WM_KILLFOCUS()                                                                      \
    AFX_MSG_ROW(WM_KILLFOCUS, 0, 0, 0,                                                         \
                p->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                      \
    AFX_MSG_ROW(WM_SETCURSOR, 0, 0, 0,                                                         \
                *pResult = p->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),    \
                                          LOWORD(lParam), HIWORD(lParam)))
// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_KEYDOWN()                                                                        \
    AFX_MSG_ROW(WM_KEYDOWN, 0, 0, 0,                                                           \
                p->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
// void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_CHAR()                                                                           \
    AFX_MSG_ROW(WM_CHAR, 0, 0, 0,                                                              \
                p->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() AFX_MSG_ROW(WM_TIMER, 0, 0, 0, p->OnTimer(static_cast<UINT_PTR>(wParam)))
// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
#define ON_WM_DRAWITEM()                                                                       \
    AFX_MSG_ROW(WM_DRAWITEM, 0, 0, 0,                                                          \
                p->OnDrawItem(static_cast<int>(wParam),                                        \
                              reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));                     \
                *pResult = TRUE)
// void OnGetMinMaxInfo(MINMAXINFO* lpMMI)
#define ON_WM_GETMINMAXINFO()                                                                  \
    AFX_MSG_ROW(WM_GETMINMAXINFO, 0, 0, 0,                                                     \
                p->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))
// void OnShowWindow(BOOL bShow, UINT nStatus)
#define ON_WM_SHOWWINDOW()                                                                     \
    AFX_MSG_ROW(WM_SHOWWINDOW, 0, 0, 0,                                                        \
                p->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
// void OnCaptureChanged(CWnd* pWnd)
#define ON_WM_CAPTURECHANGED()                                                                 \
    AFX_MSG_ROW(WM_CAPTURECHANGED, 0, 0, 0,                                                    \
                p->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))
// void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
#define ON_WM_ACTIVATE()                                                                       \
    AFX_MSG_ROW(WM_ACTIVATE, 0, 0, 0,                                                          \
                p->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                              HIWORD(wParam) != 0))
// void OnNcPaint()
#define ON_WM_NCPAINT() AFX_MSG_ROW(WM_NCPAINT, 0, 0, 0, p->OnNcPaint())
// void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
#define ON_WM_NCCALCSIZE()                                                                     \
    AFX_MSG_ROW(WM_NCCALCSIZE, 0, 0, 0,                                                        \
                p->OnNcCalcSize(static_cast<BOOL>(wParam),                                     \
                                reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)))
// LRESULT OnNcHitTest(CPoint point), screen coordinates
#define ON_WM_NCHITTEST() AFX_MSG_ROW(WM_NCHITTEST, 0, 0, 0, *pResult = p->OnNcHitTest(AFX_WM_POINT))
// BOOL OnNcActivate(BOOL bActive)
#define ON_WM_NCACTIVATE()                                                                     \
    AFX_MSG_ROW(WM_NCACTIVATE, 0, 0, 0, *pResult = p->OnNcActivate(static_cast<BOOL>(wParam)))
// void OnNcXxx(UINT nHitTest, CPoint point) for the non-client mouse messages, screen points
#define AFX_WM_NCMOUSE_ROW(msg, fn)                                                            \
    AFX_MSG_ROW(msg, 0, 0, 0, p->fn(static_cast<UINT>(wParam), AFX_WM_POINT))
#define ON_WM_NCLBUTTONDOWN() AFX_WM_NCMOUSE_ROW(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_WM_NCMOUSE_ROW(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_WM_NCMOUSE_ROW(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_WM_NCMOUSE_ROW(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_NCMOUSEMOVE() AFX_WM_NCMOUSE_ROW(WM_NCMOUSEMOVE, OnNcMouseMove)
// void OnWindowPosChanging(WINDOWPOS* lpwndpos)
#define ON_WM_WINDOWPOSCHANGING()                                                              \
    AFX_MSG_ROW(WM_WINDOWPOSCHANGING, 0, 0, 0,                                                 \
                p->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)))
// void OnWindowPosChanged(WINDOWPOS* lpwndpos)
#define ON_WM_WINDOWPOSCHANGED()                                                               \
    AFX_MSG_ROW(WM_WINDOWPOSCHANGED, 0, 0, 0,                                                  \
                p->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)))
// int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
#define ON_WM_MOUSEACTIVATE()                                                                  \
    AFX_MSG_ROW(WM_MOUSEACTIVATE, 0, 0, 0,                                                     \
                *pResult = p->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                              LOWORD(lParam), HIWORD(lParam)))
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                                     \
    AFX_MSG_ROW(WM_SYSCOMMAND, 0, 0, 0, p->OnSysCommand(static_cast<UINT>(wParam), lParam))
// void OnDropFiles(HDROP hDropInfo)
#define ON_WM_DROPFILES()                                                                      \
    AFX_MSG_ROW(WM_DROPFILES, 0, 0, 0, p->OnDropFiles(reinterpret_cast<HDROP>(wParam)))
// void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
#define ON_WM_INITMENUPOPUP()                                                                  \
    AFX_MSG_ROW(WM_INITMENUPOPUP, 0, 0, 0,                                                     \
                p->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)),         \
                                   LOWORD(lParam), HIWORD(lParam)))
// void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
#define ON_WM_MENUSELECT()                                                                     \
    AFX_MSG_ROW(WM_MENUSELECT, 0, 0, 0,                                                        \
                p->OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam)))
