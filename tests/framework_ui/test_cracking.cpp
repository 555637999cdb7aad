// Every ON_WM_* row cracks its message's parameters into the handler's arguments.
#include <gtest/gtest.h>

#include <string>

#include "framework/ui.h"
#include "tests/framework_ui/ui_test_support.h"

namespace
{

class CrackingWnd : public CWnd
{
public:
    std::string last;

protected:
    void Log(const char* name, long long a = 0, long long b = 0, long long c = 0)
    {
        last = std::string(name) + " " + std::to_string(a) + " " + std::to_string(b) + " " +
               std::to_string(c);
    }
    void OnDestroy() { Log("destroy"); }
    void OnClose() { Log("close"); }
    void OnSize(UINT t, int cx, int cy) { Log("size", t, cx, cy); }
    BOOL OnEraseBkgnd(CDC* dc)
    {
        Log("erase", dc != nullptr);
        return 7;
    }
    void OnLButtonDown(UINT f, CPoint p) { Log("ldown", f, p.x, p.y); }
    void OnLButtonUp(UINT f, CPoint p) { Log("lup", f, p.x, p.y); }
    void OnLButtonDblClk(UINT f, CPoint p) { Log("ldbl", f, p.x, p.y); }
    void OnRButtonDown(UINT f, CPoint p) { Log("rdown", f, p.x, p.y); }
    void OnRButtonUp(UINT f, CPoint p) { Log("rup", f, p.x, p.y); }
    void OnMouseMove(UINT f, CPoint p) { Log("move", f, p.x, p.y); }
    void OnMouseHover(UINT f, CPoint p) { Log("hover", f, p.x, p.y); }
    void OnMouseLeave() { Log("leave"); }
    BOOL OnMouseWheel(UINT f, short z, CPoint p)
    {
        Log("wheel", f, z, p.x);
        return 3;
    }
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar)
    {
        Log("hscroll", code, pos, bar != nullptr);
    }
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar)
    {
        Log("vscroll", code, pos, bar != nullptr);
    }
    void OnContextMenu(CWnd* w, CPoint p) { Log("context", w == this, p.x, p.y); }
    void OnSetFocus(CWnd* w) { Log("setfocus", w == nullptr); }
    void OnKillFocus(CWnd* w) { Log("killfocus", w == nullptr); }
    BOOL OnSetCursor(CWnd* w, UINT hit, UINT msg)
    {
        Log("cursor", w == this, hit, msg);
        return 5;
    }
    void OnKeyDown(UINT ch, UINT rep, UINT flags) { Log("keydown", ch, rep, flags); }
    void OnChar(UINT ch, UINT rep, UINT flags) { Log("char", ch, rep, flags); }
    void OnTimer(UINT_PTR id) { Log("timer", static_cast<long long>(id)); }
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) { Log("drawitem", id, dis->itemID); }
    void OnGetMinMaxInfo(MINMAXINFO* mmi) { Log("minmax", mmi->ptMaxSize.x); }
    void OnShowWindow(BOOL show, UINT status) { Log("show", show, status); }
    void OnCaptureChanged(CWnd* w) { Log("capture", w == this); }
    void OnActivate(UINT state, CWnd* other, BOOL minimized)
    {
        Log("activate", state, other == nullptr, minimized);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CrackingWnd, CWnd)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_MOUSEWHEEL()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_CONTEXTMENU()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_SETCURSOR()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_TIMER()
ON_WM_DRAWITEM()
ON_WM_GETMINMAXINFO()
ON_WM_SHOWWINDOW()
ON_WM_CAPTURECHANGED()
ON_WM_ACTIVATE()
END_MESSAGE_MAP()

TEST(MessageMap, EveryRowCracksItsParameters)
{
    CrackingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "c", WS_CHILD, 0, 0, 50, 50, SharedTopWindow(), nullptr));
    HWND self = wnd.m_hWnd;
    DRAWITEMSTRUCT dis{};
    dis.itemID = 9;
    MINMAXINFO mmi{};
    mmi.ptMaxSize.x = 640;
    HDC screen = ::GetDC(nullptr);
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* logged;
        LRESULT result;
    };
    const Case cases[] = {
        {WM_CLOSE, 0, 0, "close 0 0 0", 0},
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(30, 40), "size 2 30 40", 0},
        {WM_ERASEBKGND, reinterpret_cast<WPARAM>(screen), 0, "erase 1 0 0", 7},
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4), "ldown 1 3 4", 0},
        {WM_LBUTTONUP, 0, MAKELPARAM(-3, -4), "lup 0 -3 -4", 0},
        {WM_LBUTTONDBLCLK, MK_SHIFT, MAKELPARAM(5, 6), "ldbl 4 5 6", 0},
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 8), "rdown 2 7 8", 0},
        {WM_RBUTTONUP, 0, MAKELPARAM(9, 10), "rup 0 9 10", 0},
        {WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(11, 12), "move 8 11 12", 0},
        {WM_MOUSEHOVER, 0, MAKELPARAM(13, 14), "hover 0 13 14", 0},
        {WM_MOUSELEAVE, 0, 0, "leave 0 0 0", 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), MAKELPARAM(15, 16), "wheel 4 -120 15",
         3},
        {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 77), 0, "hscroll 5 77 0", 0},
        {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "vscroll 1 0 0", 0},
        {WM_CONTEXTMENU, reinterpret_cast<WPARAM>(self), MAKELPARAM(100, 200), "context 1 100 200",
         0},
        {WM_SETFOCUS, 0, 0, "setfocus 1 0 0", 0},
        {WM_KILLFOCUS, 0, 0, "killfocus 1 0 0", 0},
        {WM_SETCURSOR, reinterpret_cast<WPARAM>(self), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
         "cursor 1 1 512", 5},
        {WM_KEYDOWN, VK_F2, MAKELPARAM(1, 0x3C), "keydown 113 1 60", 0},
        {WM_CHAR, 'q', MAKELPARAM(2, 0x10), "char 113 2 16", 0},
        {WM_TIMER, 42, 0, "timer 42 0 0", 0},
        {WM_DRAWITEM, 17, reinterpret_cast<LPARAM>(&dis), "drawitem 17 9 0", TRUE},
        {WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi), "minmax 640 0 0", 0},
        {WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, "show 1 3 0", 0},
        {WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(self), "capture 1 0 0", 0},
        {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, "activate 2 1 1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        wnd.last.clear();
        EXPECT_EQ(wnd.SendMessage(c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(wnd.last, c.logged);
    }
    ::ReleaseDC(nullptr, screen);
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.last, "destroy 0 0 0");
}

} // namespace
