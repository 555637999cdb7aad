// CWnd: handle maps, the creation hook, subclassing, message dispatch and reflection.
#include "framework/wnd.h"

#include <cstring>
#include <map>
#include <string>

#include "framework/app.h"
#include "framework/frame.h"
#include "framework/handle_map.h"
#include "framework/ole.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

void SetWndHandle(CWnd& wnd, HWND h)
{
    wnd.m_hWnd = h;
}
using WndMap = CHandleMap<CWnd, HWND, &SetWndHandle>;

WndMap& Map()
{
    return AfxThreadMap<WndMap>();
}

// Per thread: the object whose window CreateEx is creating now, the CBT hook that binds it,
// and the message being dispatched (for Default()).
struct ThreadState {
    CWnd* pWndInit = nullptr;
    CWnd* pWndBinding = nullptr; // the created window's object while the hook binds it
    HHOOK hHookCbt = nullptr;
    int nHookDepth = 0; // armed creations not yet unhooked (a window's OnCreate may nest one)
    MSG lastMsg{};
};
ThreadState& State()
{
    thread_local ThreadState state;
    return state;
}

bool IsChildNotification(UINT message)
{
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return true;
    default:
        return false;
    }
}

// The control a child notification came from (null when it names none).
HWND NotifyingChild(HWND hParent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM:
        return reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
        return reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_COMPAREITEM:
        return reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        return mis->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(hParent, mis->CtlID);
    }
    default: // WM_CTLCOLOR* and the scroll messages carry the control in lParam
        return reinterpret_cast<HWND>(lParam);
    }
}

bool IsToolTipTextRequest(const NMHDR* pNMHDR)
{
    return pNMHDR->code == TTN_NEEDTEXTA || pNMHDR->code == TTN_NEEDTEXTW;
}


BOOL ReflectToChild(HWND hChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* child = CWnd::FromHandlePermanent(hChild);
    return child != nullptr && child->OnChildNotify(message, wParam, lParam, pResult);
}

} // namespace

// A window tool's request names the window; its handlers are found by its control id.
UINT AfxToolTipRouteId(const NMHDR* pNMHDR)
{
    UINT uFlags = pNMHDR->code == TTN_NEEDTEXTA
                      ? reinterpret_cast<const NMTTDISPINFOA*>(pNMHDR)->uFlags
                      : reinterpret_cast<const NMTTDISPINFOW*>(pNMHDR)->uFlags;
    if (uFlags & TTF_IDISHWND)
        return static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pNMHDR->idFrom)));
    return static_cast<UINT>(pNMHDR->idFrom);
}

void AfxSetToolTipText(NMHDR* pNMHDR, LPCTSTR lpszText)
{
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        auto* pTTT = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        ::lstrcpynA(pTTT->szText, lpszText, 80);
        pTTT->lpszText = pTTT->szText;
        pTTT->hinst = nullptr;
    } else {
        auto* pTTT = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        char text[80];
        ::lstrcpynA(text, lpszText, 80);
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, pTTT->szText, 80);
        pTTT->szText[79] = 0;
        pTTT->lpszText = pTTT->szText;
        pTTT->hinst = nullptr;
    }
}

void AfxBindCreatedWindow(CWnd* pWnd, HWND hWnd)
{
    pWnd->Attach(hWnd);
    pWnd->PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC));
    if (old != &AfxWndProc) {
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
        pWnd->m_pfnSuper = old;
    }
}

// Binds the window under creation before its first message (WM_GETMINMAXINFO, WM_NCCREATE),
// whatever its class, so even system controls see WM_CREATE through their object.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    ThreadState& st = State();
    if (code == HCBT_CREATEWND && st.pWndInit != nullptr) {
        CWnd* pInit = st.pWndInit;
        st.pWndInit = nullptr;
        CWnd* pOuter = st.pWndBinding;
        st.pWndBinding = pInit;
        AfxBindCreatedWindow(pInit, reinterpret_cast<HWND>(wParam));
        st.pWndBinding = pOuter;
    }
    return ::CallNextHookEx(st.hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    ThreadState& st = State();
    if (st.nHookDepth++ == 0 && st.hHookCbt == nullptr)
        st.hHookCbt = ::SetWindowsHookEx(WH_CBT, &AfxCbtFilterHook, nullptr,
                                         ::GetCurrentThreadId());
    st.pWndInit = pWnd;
}

// False when the hook never saw the window (creation refused before HCBT_CREATEWND). The
// outermost creation removes the hook, so the thread's other windows are not filtered.
bool AfxUnhookWindowCreate()
{
    ThreadState& st = State();
    bool bound = st.pWndInit == nullptr;
    st.pWndInit = nullptr;
    if (st.nHookDepth > 0 && --st.nHookDepth == 0 && st.hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(st.hHookCbt);
        st.hHookCbt = nullptr;
    }
    return bound;
}

bool AfxIsWindowCreateHooked()
{
    return State().hHookCbt != nullptr;
}

BOOL AfxIsWindowCreationUnderway()
{
    return State().pWndBinding != nullptr;
}

// Losing the main window ends the thread's message loop.
static void AfxOnMainWindowGone(CWnd* pWnd)
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == pWnd) {
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) // a window of our class created without an object
        return ::DefWindowProc(hWnd, message, wParam, lParam);

    ThreadState& st = State();
    MSG saved = st.lastMsg;
    st.lastMsg = MSG{hWnd, message, wParam, lParam, 0, {}};
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    st.lastMsg = saved;

    if (message == WM_NCDESTROY)
        AfxToolTipWindowGone(hWnd);
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
        COleDropTarget::AfxRevokeOnDestroy(hWnd);
        // Last message: give the window its old procedure back, detach, and let the object
        // go (PostNcDestroy may delete it; nothing touches pWnd after that).
        if (pWnd->m_pfnSuper != nullptr &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hWnd, GWLP_WNDPROC)) == &AfxWndProc)
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        pWnd->m_pfnSuper = nullptr;
        pWnd->Detach();
        AfxOnMainWindowGone(pWnd);
        pWnd->PostNcDestroy();
    }
    return result;
}

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandle(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandle(nullptr);
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::map<std::string, std::string> registered;
    char name[96];
    wsprintf(name, "Sonoria:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
             static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    auto it = registered.find(name);
    if (it != registered.end())
        return it->second.c_str();
    WNDCLASS wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!::RegisterClass(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    return registered.emplace(name, name).first->second.c_str();
}

LPCTSTR AfxDefaultWndClass()
{
    static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    return name;
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return Map().FromHandle(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd != nullptr ? Map().LookupPermanent(hWnd) : nullptr;
}

void CWnd::DeleteTempMap()
{
    Map().DeleteTemp();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWndNew) != nullptr)
        return FALSE;
    m_hWnd = hWndNew;
    Map().SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h != nullptr && FromHandlePermanent(h) == this)
        Map().RemoveHandle(h);
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hControl = ::GetDlgItem(AfxHwnd(pParent), static_cast<int>(nID));
    return hControl != nullptr && SubclassWindow(hControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                    DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, AfxHwnd(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                 static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!AfxUnhookWindowCreate()) // never bound: nothing else will call it
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    HWND h = m_hWnd;
    BOOL ok = ::DestroyWindow(h);
    // A window bound without subclassing never sees WM_NCDESTROY through us.
    if (FromHandlePermanent(h) == this)
        Detach();
    return ok;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (!OnNotify(wParam, lParam, &r))
            return FALSE;
        *pResult = r;
        return TRUE;
    }
    if (const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), message, 0, 0))
        return e->pfn(this, wParam, lParam, pResult) ? TRUE : FALSE;
    // The parent's own handler comes first; otherwise the control handles its notification.
    if (IsChildNotification(message)) {
        HWND hChild = NotifyingChild(m_hWnd, message, wParam, lParam);
        if (hChild != nullptr && ReflectToChild(hChild, message, wParam, lParam, pResult))
            return TRUE;
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

const MSG* CWnd::GetCurrentMessage()
{
    return &State().lastMsg;
}

LRESULT CWnd::Default()
{
    const MSG& m = State().lastMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h != nullptr; h = ::GetParent(h)) {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl != nullptr) {
        LRESULT ignored = 0;
        if (ReflectToChild(hWndCtrl, WM_COMMAND, wParam, lParam, &ignored))
            return TRUE; // eaten by the control
    } else {
        nCode = CN_COMMAND; // menu (0) and accelerator (1) alike
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR == nullptr)
        return FALSE;
    if (ReflectToChild(pNMHDR->hwndFrom, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, pNMHDR};
    const bool tipText = IsToolTipTextRequest(pNMHDR);
    if (OnCmdMsg(tipText ? AfxToolTipRouteId(pNMHDR) : static_cast<UINT>(pNMHDR->idFrom),
                 MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr))
        return TRUE;
    // A tip nobody here answers may be answered by the windows around (a bar's frame).
    HWND hParent = ::GetParent(m_hWnd);
    if (!tipText || hParent == nullptr || !(GetStyle() & WS_CHILD))
        return FALSE;
    *pResult = ::SendMessage(hParent, WM_NOTIFY, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
        return OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr,
                        nullptr);
    if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, pNMHDR};
        return OnCmdMsg(0, MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY), &notify,
                        nullptr);
    }
    const AFX_MSGMAP_ENTRY* e =
        AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + message, 0, 0);
    return e != nullptr && e->pfn(this, wParam, lParam, pResult);
}

void CWnd::GetWindowText(CString& s) const
{
    int n = ::GetWindowTextLength(m_hWnd);
    LPTSTR buf = s.GetBufferSetLength(n);
    ::GetWindowText(m_hWnd, buf, n + 1);
    s.ReleaseBuffer();
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 4)
        return;
    char* dot = strrchr(path, '.');
    char* slash = strrchr(path, '\\');
    if (dot == nullptr || (slash != nullptr && dot < slash))
        dot = path + n;
    strcpy(dot, ".hlp");
    HWND hTop = m_hWnd;
    while (hTop != nullptr && (::GetWindowLongPtr(hTop, GWL_STYLE) & WS_CHILD) != 0)
        hTop = ::GetParent(hTop);
    ::WinHelpA(hTop, path, nCmd, dwData);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT me{}, area{};
    ::GetWindowRect(m_hWnd, &me);
    HWND hOwner = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd
                                             : ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner != nullptr)
        ::GetWindowRect(hOwner, &area);
    else
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, FromHandlePermanent(m_hWnd));
    if (pFrame == nullptr)
        pFrame = GetParentFrame();
    while (pFrame != nullptr) {
        CFrameWnd* pNext = pFrame->GetParentFrame();
        if (pNext == nullptr) // a floating frame continues with its owner's frame
            pNext = DYNAMIC_DOWNCAST(CFrameWnd,
                                     FromHandlePermanent(::GetWindow(pFrame->m_hWnd, GW_OWNER)));
        if (pNext == nullptr || pNext == pFrame)
            break;
        pFrame = pNext;
    }
    return pFrame;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm)
{
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
        if (!bOnlyPerm || FromHandlePermanent(h) != nullptr)
            ::SendMessage(h, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(h) != nullptr) {
            CWnd* pChild = FromHandle(h);
            pChild->SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
        }
    }
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    HWND hControl = ::GetDlgItem(AfxHwnd(pDX->m_pDlgWnd), nIDC);
    ASSERT(hControl != nullptr);
    if (hControl != nullptr)
        rControl.SubclassWindow(hControl);
}

BOOL AfxIsDescendant(HWND hWndParent, HWND hWndChild)
{
    // Top-level windows have owners rather than parents; GetParent gives both.
    for (HWND h = hWndChild; h != nullptr; h = ::GetParent(h))
        if (h == hWndParent)
            return TRUE;
    return FALSE;
}
