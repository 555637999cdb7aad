// COXSkinnedSpinCtrl and the thread mouse hook that clears its hot arrow.
#include "toolkit/frames/skins/skinned_spin.h"

#include "toolkit/frames/skins/skinned_app.h"

namespace {

HHOOK g_hMouseHook = nullptr;
int g_nHookUsers = 0;
HWND g_hWndLastMove = nullptr;

} // namespace

IMPLEMENT_DYNCREATE(COXSkinnedSpinCtrl, CSpinButtonCtrl)

BEGIN_MESSAGE_MAP(COXSkinnedSpinCtrl, CSpinButtonCtrl)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

COXSkinnedSpinCtrl::COXSkinnedSpinCtrl() = default;

COXSkinnedSpinCtrl::~COXSkinnedSpinCtrl()
{
    ReleaseHook();
}

COXTabSkin* COXSkinnedSpinCtrl::GetTabSkin()
{
    return OXLookupElementSkin<COXTabSkin, COXTabSkinClassic>(&COXSkin::m_pTabSkin, m_pTabSkin);
}

BOOL COXSkinnedSpinCtrl::IsHookInstalled()
{
    return g_hMouseHook != nullptr;
}

void COXSkinnedSpinCtrl::PreSubclassWindow()
{
    CSpinButtonCtrl::PreSubclassWindow();
    if (m_bHooked)
        return;
    // One hook for all spin controls; it stays while any of them is subclassed, so that
    // destroying one does not leave the others' arrows hot.
    if (g_nHookUsers++ == 0)
        g_hMouseHook = ::SetWindowsHookEx(WH_MOUSE, &MouseHookProc, nullptr,
                                          ::GetCurrentThreadId());
    m_bHooked = TRUE;
}

void COXSkinnedSpinCtrl::ReleaseHook()
{
    if (!m_bHooked)
        return;
    m_bHooked = FALSE;
    if (--g_nHookUsers == 0 && g_hMouseHook != nullptr) {
        ::UnhookWindowsHookEx(g_hMouseHook);
        g_hMouseHook = nullptr;
        g_hWndLastMove = nullptr;
    }
}

LRESULT CALLBACK COXSkinnedSpinCtrl::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND hWnd = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        if (g_hWndLastMove != nullptr && g_hWndLastMove != hWnd &&
            DYNAMIC_DOWNCAST(COXSkinnedSpinCtrl, CWnd::FromHandlePermanent(g_hWndLastMove)))
            ::SendMessage(g_hWndLastMove, WM_MOUSEMOVE, 0, 0);
        g_hWndLastMove = hWnd;
    }
    return ::CallNextHookEx(g_hMouseHook, nCode, wParam, lParam);
}

void COXSkinnedSpinCtrl::OnPaint()
{
    GetTabSkin()->OnPaintSpin(this);
}

void COXSkinnedSpinCtrl::OnMouseMove(UINT, CPoint)
{
    Invalidate(TRUE);
    Default();
}

BOOL COXSkinnedSpinCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void COXSkinnedSpinCtrl::OnDestroy()
{
    ReleaseHook();
    Default();
}
