// The sizable control bar in a real frame: two bars docked, dragged with real mouse input
// to other sides and into floating frames, their caption buttons and context menu clicked.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/framework_ui/frame_test.h"
#include "toolkit/frames/sizebar/size_bar_res.h"
#include "toolkit/frames/sizebar/size_control_bar.h"

namespace {

constexpr UINT kIdLeft = 32772, kIdRight = 32773;

// A bar that counts its size and floating-state notifications.
class CountingBar : public COXSizeControlBar {
public:
    explicit CountingBar(DWORD style) : COXSizeControlBar(style) {}
    void OnSizedOrDocked(int cx, int cy, BOOL bFloating, int nFlags) override
    {
        m_last = CSize(cx, cy);
        m_lastFlags = nFlags;
        m_bLastFloating = bFloating;
    }
    CSize m_last;
    int m_lastFlags = 0;
    BOOL m_bLastFloating = FALSE;
};

// The main frame of the test: docking on all sides, a pane, two sizable bars on top.
class SizeDockFrame : public CFrameWnd {
public:
    SizeDockFrame() : m_bar1(0x04 | 0x10), m_bar2(0x04) {}
    // A visible top-level frame, or (bChild) a hidden child of the tests' window, which is
    // much cheaper to make and destroy under Wine.
    BOOL Make(bool bChild = false)
    {
        if (!CreateTestFrame(*this, m_pane, "Sizable bars", CRect(30, 30, 30 + 760, 30 + 560),
                             bChild))
            return FALSE;
        EnableDocking(CBRS_ALIGN_ANY);
        if (!m_bar1.Create(this, "Disc", kIdLeft, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                           CRect(0, 0, 300, 120)) ||
            !m_bar2.Create(this, "Tracks", kIdRight, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                           CRect(0, 0, 260, 100)))
            return FALSE;
        m_bar1.EnableDocking(CBRS_ALIGN_ANY);
        m_bar2.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_bar1);
        DockControlBar(&m_bar2);
        RecalcLayout();
        return TRUE;
    }
    LRESULT OnQueryLiveDrag(WPARAM, LPARAM) { return m_bLiveDrag; }
    CWnd m_pane;
    CountingBar m_bar1, m_bar2;
    BOOL m_bLiveDrag = FALSE;

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(SizeDockFrame, CFrameWnd)
    ON_MESSAGE(WM_OX_QUERYLIVEDRAG, OnQueryLiveDrag)
END_MESSAGE_MAP()
// clang-format on

CRect ScreenRect(const CWnd& w)
{
    CRect r;
    ::GetWindowRect(w.m_hWnd, &r);
    return r;
}

// A caption rectangle's centre on the screen (the rectangles are client coordinates).
CPoint ScreenCentre(CWnd& w, const CRect& rectClient)
{
    CPoint pt = rectClient.CenterPoint();
    w.ClientToScreen(&pt);
    return pt;
}

class SizeBarTest : public FrameTest<SizeDockFrame, true> {
protected:
    // The bar's window size now, checked against the size it keeps for its state.
    static void ExpectStateSize(COXSizeControlBar& bar, const CSize& expected, const char* what)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(ScreenRect(bar).Size(), expected);
    }
};

TEST(SizeBarCreate, DefaultRectangleTakesAShareOfTheParentAndEachStateItsOwnSize)
{
    TestHostWnd host(801, 601);
    COXSizeControlBar bar(0);
    ASSERT_TRUE(bar.Create(&host, "Default", 100));
    EXPECT_EQ(bar.m_sizeFloat, CSize(400, 150));
    EXPECT_EQ(bar.m_sizeHorzDock, CSize(400, 150));
    EXPECT_EQ(bar.m_sizeVertDock, CSize(150, 400));
    CRect r = ScreenRect(bar);
    host.ScreenToClient(&r);
    EXPECT_EQ(r, CRect(401, 451, 801, 601)) << "the bottom-right corner";
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);
    EXPECT_TRUE(bar.GetStyle() & WS_CLIPCHILDREN);

    COXSizeControlBar byDefault(0);
    ASSERT_TRUE(byDefault.CreateDefault(&host, "Right", 101));
    EXPECT_EQ(byDefault.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_RIGHT);
    char cls[64] = "";
    ::GetClassName(byDefault.m_hWnd, cls, sizeof(cls));
    EXPECT_EQ(::GetClassLongPtr(byDefault.m_hWnd, GCL_STYLE) & CS_DBLCLKS,
              static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(::GetClassLongPtr(byDefault.m_hWnd, GCLP_HCURSOR), 0u) << cls;
}

TEST(SizeBarCreate, DragOffsetStaysInsideTheFloatingWidth)
{
    TestHostWnd host(400, 300);
    struct Case {
        const char* name;
        int floatWidth;
        int x;
        int minX, maxX;
    };
    constexpr Case kCases[] = {
        {"grab near the left edge", 300, -4, 5, 280},
        {"narrow float width", 22, 150, -100, 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        COXSizeControlBar bar(0);
        ASSERT_TRUE(bar.Create(&host, "Offset", 102, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                               CRect(0, 0, 300, 100)));
        bar.m_sizeFloat.cx = c.floatWidth;
        bar.SetDragOffset(c.x, 10);
        EXPECT_GE(bar.m_ptDragOffset.x, c.minX);
        EXPECT_LE(bar.m_ptDragOffset.x, c.maxX);
    }
}

TEST_F(SizeBarTest, DockedOnTopWithCaptionStripAtTheLeftAndKeptSizes)
{
    ExpectStateSize(f->m_bar1, CSize(300, 120), "horizontal dock");
    // The strip stands at the bar's left on a top side: close button above expand button.
    EXPECT_LT(f->m_bar1.m_rectClose.top, f->m_bar1.m_rectExpand.top);
    EXPECT_EQ(f->m_bar1.m_rectClose.left, f->m_bar1.m_rectExpand.left);
    EXPECT_EQ(f->m_bar1.m_rectClose.Size(), CSize(11, 11));
    EXPECT_LT(f->m_bar1.m_rectClose.left, 0) << "the caption lies outside the client area";
    EXPECT_EQ(f->m_bar1.m_nLastFloatState, 0);
    EXPECT_FALSE(f->m_bar1.IsFloatingState());
    // A docked bar is grabbed 10 pixels below the floating frame's top.
    f->m_bar1.SetDragOffset(0, 0);
    EXPECT_EQ(f->m_bar1.m_ptDragOffset.y, 10);
}

// The height between the bars docked on top and bottom: what the frame's layout leaves.
int InnerHeight(CFrameWnd* pFrame)
{
    CRect inner;
    pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &inner);
    return inner.Height();
}

TEST_F(SizeBarTest, RealDragsMoveBarsBetweenSidesAndFloatsEachStateKeepingItsSize)
{
    CRect client;
    f->GetClientRect(&client);
    f->ClientToScreen(&client);

    // Bar 1 by its caption to the left edge: docked left, its vertical width kept and its
    // height the whole height between the rows docked on top and bottom (the pane's).
    // Drops low on the sides, clear of the rows docked on top.
    const int low = client.top + client.Height() * 3 / 4;
    const int side1 = InnerHeight(f);
    MouseDrag(ScreenCentre(f->m_bar1, f->m_bar1.m_rectCaption), CPoint(client.left + 4, low));
    ASSERT_NE(f->m_bar1.m_pDockBar, nullptr);
    EXPECT_EQ(f->m_bar1.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT);
    ExpectStateSize(f->m_bar1, CSize(120, side1), "vertical dock");
    EXPECT_TRUE(f->m_bar1.m_lastFlags & 1);

    // Its caption is now a strip at the top: close button right of the expand button.
    EXPECT_GT(f->m_bar1.m_rectClose.left, f->m_bar1.m_rectExpand.left);

    // Bar 2 into the pane: it floats at its floating size.
    MouseDrag(ScreenCentre(f->m_bar2, f->m_bar2.m_rectCaption), client.CenterPoint());
    ASSERT_TRUE(f->m_bar2.IsFloatingState());
    ExpectStateSize(f->m_bar2, CSize(260, 100), "floating");
    EXPECT_TRUE(f->m_bar2.m_bLastFloating);
    EXPECT_TRUE(f->m_bar2.m_lastFlags & 2);
    CFrameWnd* floating = f->m_bar2.GetParentFrame();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->IsWindowVisible());

    // Back to the right side by a double click on the docked bar 1 and the floating frame's
    // toggling: bar 1 floats, bar 2 docks where it last was (top).
    MouseDoubleClick(ScreenCentre(f->m_bar1, f->m_bar1.m_rectCaption));
    EXPECT_TRUE(f->m_bar1.IsFloatingState());
    ExpectStateSize(f->m_bar1, CSize(300, 120), "bar 1 floating");
    f->m_bar2.m_pDockContext->ToggleDocking();
    ASSERT_FALSE(f->m_bar2.IsFloatingState());
    ExpectStateSize(f->m_bar2, CSize(260, 100), "bar 2 back on top");

    // Bar 2 by its caption to the right edge.
    const int side2 = InnerHeight(f);
    MouseDrag(ScreenCentre(f->m_bar2, f->m_bar2.m_rectCaption), CPoint(client.right - 4, low));
    ASSERT_NE(f->m_bar2.m_pDockBar, nullptr);
    EXPECT_EQ(f->m_bar2.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_RIGHT);
    ExpectStateSize(f->m_bar2, CSize(100, side2), "bar 2 on the right");
    // The sizes of the other states are untouched by all of this.
    EXPECT_EQ(f->m_bar1.m_sizeHorzDock, CSize(300, 120));
    EXPECT_EQ(f->m_bar1.m_sizeVertDock, CSize(120, side1));
    EXPECT_EQ(f->m_bar2.m_sizeFloat, CSize(260, 100));
}

TEST_F(SizeBarTest, CloseButtonHidesOnlyWhenReleasedOverIt)
{
    CPoint close = ScreenCentre(f->m_bar1, f->m_bar1.m_rectClose);
    // Pressed on the button, released away from it: stays.
    MouseDrag(close, close + CSize(40, 40), 2);
    IdleUpdate(f);
    EXPECT_TRUE(f->m_bar1.IsWindowVisible());
    EXPECT_EQ(f->m_bar1.m_nPressedButton, -1);
    EXPECT_EQ(::GetCapture(), nullptr);
    // A click on it (late enough not to make a double click): hidden at the next idle
    // layout, and the pane takes its room.
    ::Sleep(::GetDoubleClickTime() + 100);
    CRect paneBefore = ScreenRect(f->m_pane);
    MouseDrag(close, close, 1);
    EXPECT_FALSE(f->m_bar1.IsVisible());
    IdleUpdate(f);
    EXPECT_FALSE(f->m_bar1.IsWindowVisible());
    EXPECT_LT(ScreenRect(f->m_pane).top, paneBefore.top);
}

TEST_F(SizeBarTest, ExpandButtonOfTheOnlyBarOfItsRowDoesNothing)
{
    CRect before = ScreenRect(f->m_bar1);
    MouseDrag(ScreenCentre(f->m_bar1, f->m_bar1.m_rectExpand),
              ScreenCentre(f->m_bar1, f->m_bar1.m_rectExpand), 1);
    EXPECT_FALSE(f->m_bar1.CanExpand());
    EXPECT_FALSE(f->m_bar1.m_bExpanded);
    EXPECT_EQ(ScreenRect(f->m_bar1), before);
    EXPECT_EQ(::GetCapture(), nullptr);
}

std::vector<std::string> MenuItems(HMENU hMenu)
{
    std::vector<std::string> items;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        char text[64] = "";
        ::GetMenuString(hMenu, i, text, sizeof(text), MF_BYPOSITION);
        std::string item = text;
        if (::GetMenuState(hMenu, i, MF_BYPOSITION) & MF_CHECKED)
            item += " [x]";
        items.push_back(item);
    }
    return items;
}

TEST_F(SizeBarTest, ContextMenuItemsFollowTheStyleAndDockingState)
{
    struct Case {
        const char* name;
        DWORD style;
        DWORD dockStyle, saved;
        std::vector<std::string> items;
    };
    const Case kCases[] = {
        {"all items", 0x04 | 0x10, CBRS_ALIGN_ANY, 0,
         {"Float as MDI Window", "Allow docking [x]", "Hide"}},
        {"docking switched off", 0x04, 0, CBRS_ALIGN_ANY, {"Allow docking", "Hide"}},
        {"never dockable, no MDI item", 0x04, 0, 0, {"Hide"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        COXSizeControlBar bar(c.style);
        ASSERT_TRUE(bar.Create(f, "Menu", 200, WS_CHILD | CBRS_TOP, CRect(0, 0, 100, 50)));
        bar.EnableDocking(c.dockStyle);
        bar.m_dwSavedDockStyle = c.saved;
        HMENU hMenu = ::CreatePopupMenu();
        EXPECT_EQ(bar.SendMessage(WM_OX_ADDCONTEXTMENUITEMS, 0, reinterpret_cast<LPARAM>(hMenu)),
                  1);
        EXPECT_EQ(MenuItems(hMenu), c.items);
        ::DestroyMenu(hMenu);
    }
}

TEST_F(SizeBarTest, RightClickShowsTheMenuAndItsCommandsAct)
{
    struct Seen {
        std::vector<std::string> items;
    } seen;
    CPoint at = ScreenRect(f->m_bar2).CenterPoint();
    {
        DialogAnswerer answer(
            [](HWND hMenuWnd, void* ctx) {
                auto hMenu = reinterpret_cast<HMENU>(::SendMessage(hMenuWnd, MN_GETHMENU, 0, 0));
                static_cast<Seen*>(ctx)->items = MenuItems(hMenu);
                InputKey(VK_ESCAPE, true);
                InputKey(VK_ESCAPE, false);
            },
            &seen, "#32768");
        MouseRightClick(at);
    }
    EXPECT_EQ(seen.items, (std::vector<std::string>{"Allow docking [x]", "Hide"}));

    // "Allow docking" off floats the docked bar and refuses sides; on again restores them.
    f->m_bar2.SendMessage(WM_COMMAND, ID_OX_ALLOWDOCKING);
    EXPECT_TRUE(f->m_bar2.IsFloatingState());
    EXPECT_EQ(f->m_bar2.m_dwDockStyle & CBRS_ALIGN_ANY, 0u);
    EXPECT_EQ(f->m_bar2.m_dwSavedDockStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_ANY);
    f->m_bar2.SendMessage(WM_COMMAND, ID_OX_ALLOWDOCKING);
    EXPECT_EQ(f->m_bar2.m_dwDockStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_ANY);
    // "Hide" hides at once.
    f->m_bar2.SendMessage(WM_COMMAND, ID_OX_HIDEBAR);
    EXPECT_FALSE(f->m_bar2.IsWindowVisible());
}

TEST(SizeBarHook, InstalledExactlyWhileABarExists)
{
    TestHostWnd host(300, 200);
    EXPECT_EQ(COXSizeControlBar::GetMouseHook(), nullptr);
    {
        COXSizeControlBar a(0), b(0);
        ASSERT_TRUE(a.Create(&host, "A", 1, WS_CHILD, CRect(0, 0, 50, 50)));
        HHOOK hook = COXSizeControlBar::GetMouseHook();
        EXPECT_NE(hook, nullptr);
        ASSERT_TRUE(b.Create(&host, "B", 2, WS_CHILD, CRect(0, 0, 50, 50)));
        EXPECT_EQ(COXSizeControlBar::GetMouseHook(), hook) << "one hook, shared";
        a.DestroyWindow();
        EXPECT_EQ(COXSizeControlBar::GetMouseHook(), hook) << "B still needs it";
    }
    EXPECT_EQ(COXSizeControlBar::GetMouseHook(), nullptr);
}

TEST(SizeBarDynamic, DynamicBarsAreListedWhileTheyLive)
{
    EXPECT_EQ(COXSizeControlBar::GetDynamicBars(), nullptr);
    {
        COXSizeControlBar a(0x02), plain(0);
        ASSERT_NE(COXSizeControlBar::GetDynamicBars(), nullptr);
        EXPECT_EQ(COXSizeControlBar::GetDynamicBars()->GetSize(), 1);
    }
    EXPECT_EQ(COXSizeControlBar::GetDynamicBars(), nullptr);
}

TEST(SizeBarHandles, NoGrowthOverAHundredFramesWithDockedAndFloatingBars)
{
    auto cycle = [] {
        auto* frame = new SizeDockFrame;
        frame->Make(true);
        frame->FloatControlBar(&frame->m_bar2, CPoint(300, 300));
        frame->m_bar1.PaintNonClient(); // caption, buttons and fonts of the skin
        frame->m_bar1.RedrawCaptionButtons();
        PumpPending();
        frame->DestroyWindow();
        PumpPending();
        CWnd::DeleteTempMap();
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
    };
    cycle();
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_LE(GdiObjectCount(), gdi);
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_EQ(COXSizeControlBar::GetMouseHook(), nullptr);
}

// A docked and a floating bar side by side; with SONORIA_SHOWCASE_MS set the frame stays up
// that long for scripts/screenshot.
TEST_F(SizeBarTest, ShowcaseDockedAndFloating)
{
    f->DockControlBar(&f->m_bar1, AFX_IDW_DOCKBAR_LEFT);
    f->RecalcLayout();
    CRect r = ScreenRect(*f);
    f->FloatControlBar(&f->m_bar2, CPoint(r.left + 330, r.top + 180));
    f->m_bar1.SetActive(TRUE, TRUE);
    f->RedrawWindow(nullptr, nullptr,
                    RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    EXPECT_TRUE(f->m_bar2.GetParentFrame()->IsWindowVisible());
    if (const char* hold = std::getenv("SONORIA_SHOWCASE_MS")) {
        DWORD end = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (::GetTickCount() < end) {
            PumpPending();
            ::Sleep(20);
        }
    }
}

} // namespace
