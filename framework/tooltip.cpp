// Tooltips of framework windows: one tooltip control per thread, fed from the pump's
// pre-translate step with the tool that the nearest window with tooltips on reports.
#include <cstdlib>

#include "framework/wnd.h"

namespace {

// The tool shown now; hOwner null when none.
struct ToolTipState {
    HWND hToolTip = nullptr;
    HWND hHitWnd = nullptr; // the window whose OnToolHitTest answered
    INT_PTR nHit = -1;
    HWND hOwner = nullptr; // TOOLINFO.hwnd of the tool
    UINT_PTR uId = 0;
    UINT uFlags = 0;
};

ToolTipState& State()
{
    thread_local ToolTipState state;
    return state;
}

HWND EnsureToolTip()
{
    ToolTipState& st = State();
    if (st.hToolTip != nullptr && ::IsWindow(st.hToolTip))
        return st.hToolTip;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    st.hToolTip = ::CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   AfxGetInstanceHandle(), nullptr);
    // Texts break only at their own line breaks.
    if (st.hToolTip != nullptr)
        ::SendMessage(st.hToolTip, TTM_SETMAXTIPWIDTH, 0, SHRT_MAX);
    return st.hToolTip;
}

TOOLINFO EmptyToolInfo()
{
    TOOLINFO ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    return ti;
}

void RemoveTool()
{
    ToolTipState& st = State();
    if (st.hOwner != nullptr && st.hToolTip != nullptr) {
        TOOLINFO ti = EmptyToolInfo();
        ti.hwnd = st.hOwner;
        ti.uId = st.uId;
        ::SendMessage(st.hToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    st.hOwner = nullptr;
    st.hHitWnd = nullptr;
    st.nHit = -1;
}

bool IsMouseMessage(UINT m)
{
    return m == WM_MOUSEMOVE || m == WM_NCMOUSEMOVE ||
           (m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK) ||
           (m >= WM_NCLBUTTONDOWN && m <= WM_NCMBUTTONDBLCLK);
}

// The nearest window from hWnd up (within its top-level window) with tooltips on.
CWnd* ToolTipOwner(HWND hWnd)
{
    for (HWND h = hWnd; h != nullptr; h = ::GetParent(h)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && (pWnd->m_nFlags & WF_TOOLTIPS))
            return pWnd;
        if (!(::GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

// The tooltip matches window tools by the message's window and rectangle tools by their
// owner's client co-ordinates, so the relayed copy is addressed to match.
void Relay(const MSG* pMsg)
{
    const ToolTipState& st = State();
    MSG relay = *pMsg;
    relay.hwnd = (st.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(st.uId) : st.hOwner;
    POINT pt = pMsg->pt;
    ::ScreenToClient(relay.hwnd, &pt);
    relay.lParam = MAKELPARAM(pt.x, pt.y);
    if (relay.message >= WM_NCMOUSEMOVE && relay.message <= WM_NCMBUTTONDBLCLK)
        relay.message += WM_MOUSEMOVE - WM_NCMOUSEMOVE;
    ::SendMessage(st.hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

} // namespace

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    if (bEnable) {
        m_nFlags |= WF_TOOLTIPS;
        return EnsureToolTip() != nullptr;
    }
    m_nFlags &= ~WF_TOOLTIPS;
    if (State().hHitWnd == m_hWnd)
        RemoveTool();
    return TRUE;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    HWND hChild = ::ChildWindowFromPointEx(m_hWnd, point,
                                           CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (hChild == nullptr || hChild == m_hWnd)
        return -1;
    if (pTI != nullptr) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(hChild);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return ::GetDlgCtrlID(hChild);
}

void AfxFilterToolTipMessage(const MSG* pMsg)
{
    ToolTipState& st = State();
    if (!IsMouseMessage(pMsg->message))
        return;
    CWnd* pOwner = ToolTipOwner(pMsg->hwnd);
    if (pOwner == nullptr) {
        RemoveTool();
        return;
    }
    HWND hToolTip = EnsureToolTip();
    if (hToolTip == nullptr)
        return;
    POINT pt = pMsg->pt;
    ::ScreenToClient(pOwner->m_hWnd, &pt);
    TOOLINFO ti = EmptyToolInfo();
    INT_PTR nHit = pOwner->OnToolHitTest(CPoint(pt), &ti);
    if (ti.hwnd == nullptr)
        ti.hwnd = pOwner->m_hWnd;
    bool same = nHit == st.nHit && pOwner->m_hWnd == st.hHitWnd &&
                (nHit == -1 || (ti.hwnd == st.hOwner && ti.uId == st.uId));
    if (!same) {
        RemoveTool();
        if (nHit != -1) {
            ti.uFlags &= ~TTF_NOTBUTTON;
            ::SendMessage(hToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
            st.hOwner = ti.hwnd;
            st.uId = ti.uId;
            st.uFlags = ti.uFlags;
        }
        st.hHitWnd = pOwner->m_hWnd;
        st.nHit = nHit;
    }
    if (ti.lpszText != nullptr && ti.lpszText != LPSTR_TEXTCALLBACK)
        std::free(ti.lpszText);
    if (st.hOwner != nullptr)
        Relay(pMsg);
}

HWND AfxGetThreadToolTip()
{
    HWND h = State().hToolTip;
    return h != nullptr && ::IsWindow(h) ? h : nullptr;
}

void AfxToolTipWindowGone(HWND hWnd)
{
    const ToolTipState& st = State();
    if (st.hOwner == nullptr)
        return;
    if (st.hHitWnd == hWnd || st.hOwner == hWnd || reinterpret_cast<HWND>(st.uId) == hWnd)
        RemoveTool();
}
