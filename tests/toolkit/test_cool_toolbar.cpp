// The cool toolbar and the status bar in a real frame, set up as the main window sets them
// up: clicks through the input queue reach the commands, the drop-down arrow opens its menu,
// labels and wrapping follow the layout, the bar floats and docks, and each skin paints it.
// In a frame with sizable docking and the live-drag option on, the bar drags itself. With
// SONORIA_SHOWCASE_SKIN and SONORIA_SHOWCASE_MS set, the frame stays up in that skin for
// scripts/screenshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "framework/combobox.h"
#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "tests/toolkit/toolbar_test_support.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/sizebar/frame_size_dock.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"
#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/toolbar_skin.h"
#include "toolkit/frames/statusbar/ox_status_bar.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

static COXSkinnedApp theApp;

namespace {

const UINT kIndicators[] = {0, ID_TEST_PANE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};

class BarsFrame : public ToolBarFrame {
public:
    COXStatusBar statusBar;
    std::vector<UINT> commands;
    int dropDowns = 0;

    void OnTestCommand(UINT nID) { commands.push_back(nID); }
    void OnUpdateStop(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateOthers(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    void OnDropDown(NMHDR* pNotify, LRESULT* pResult)
    {
        ++dropDowns;
        auto* tb = reinterpret_cast<NMTOOLBAR*>(pNotify);
        CRect rect(tb->rcButton);
        toolBar.ClientToScreen(&rect);
        HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), "MENU_TEST");
        ::TrackPopupMenu(::GetSubMenu(hMenu, 0), TPM_LEFTALIGN, rect.left, rect.bottom, 0,
                         m_hWnd, nullptr);
        ::DestroyMenu(hMenu);
        *pResult = TBDDRET_DEFAULT;
    }
    LRESULT OnLiveDrag(WPARAM, LPARAM) { return 0; } // bars go through the framework's drag

    // As the application's main frame makes its bars.
    BOOL MakeBars()
    {
        if (!CreateToolBar())
            return FALSE;
        toolBar.SetDisabledImageList(
            toolBar.LoadImageListById(IDB_TEST_DISABLED, 16, RGB(255, 0, 255)));
        toolBar.SetButtonStyle(0, toolBar.GetButtonStyle(0) | TBSTYLE_DROPDOWN);
        toolBar.SetDropDownArrow(TRUE);
        toolBar.UpdateSizes();
        toolBar.SetBarStyle(toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                            CBRS_SIZE_DYNAMIC);
        toolBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        if (!statusBar.Create(this) || !statusBar.SetIndicators(kIndicators, 4))
            return FALSE;
        RecalcLayout();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(BarsFrame, ToolBarFrame)
    ON_COMMAND_RANGE(ID_TEST_RIP, ID_TEST_PLAY, OnTestCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_STOP, OnUpdateStop)
    ON_UPDATE_COMMAND_UI(ID_TEST_RIP, OnUpdateOthers)
    ON_UPDATE_COMMAND_UI(ID_TEST_EJECT, OnUpdateOthers)
    ON_UPDATE_COMMAND_UI(ID_TEST_PLAY, OnUpdateOthers)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
    ON_MESSAGE(WM_OX_QUERYLIVEDRAG, OnLiveDrag)
END_MESSAGE_MAP()
// clang-format on

BarsFrame* Frame()
{
    // One top-level frame for the program: making top-level windows is slow without a
    // window manager.
    static BarsFrame* frame = [] {
        auto* f = new BarsFrame;
        f->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 700, 300));
        ::SetMenu(f->m_hWnd, ::LoadMenu(AfxGetResourceHandle(), "MENU_TEST"));
        theApp.m_pMainWnd = f;
        f->MakeBars();
        PumpPending();
        return f;
    }();
    return frame;
}

COLORREF ScreenPixel(CWnd& wnd, CPoint client)
{
    HDC hdc = ::GetDC(wnd.m_hWnd);
    COLORREF c = ::GetPixel(hdc, client.x, client.y);
    ::ReleaseDC(wnd.m_hWnd, hdc);
    return c;
}

class CoolToolBar : public ToolBarTest<BarsFrame> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(UseFrame(Frame()));
        if (frame->toolBar.IsFloating())
            frame->DockControlBar(&frame->toolBar, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        frame->commands.clear();
        frame->IdleUpdate();
    }
};

TEST_F(CoolToolBar, ClickedButtonsReachTheirCommandsAndDisabledOnesDoNot)
{
    COXCoolToolBar& bar = frame->toolBar;
    EXPECT_EQ(bar.GetCount(), 5);
    EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(ID_TEST_STOP)) >> 16 & TBSTATE_ENABLED);
    EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(ID_TEST_PLAY)) >> 16 & TBSTATE_ENABLED);
    for (UINT id : {ID_TEST_PLAY, ID_TEST_STOP, ID_TEST_EJECT}) {
        InputClick(bar.m_hWnd, ItemRect(bar.CommandToIndex(id)).CenterPoint());
        ::Sleep(150);
        PumpPending();
    }
    PumpUntil([&] { return frame->commands.size() >= 2; });
    EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_TEST_PLAY, ID_TEST_EJECT}));
}

TEST_F(CoolToolBar, TheDropDownArrowOpensItsMenu)
{
    COXCoolToolBar& bar = frame->toolBar;
    ASSERT_TRUE(bar.IsDropDownArrow());
    CRect button = ItemRect(0);
    // The bar's own width counts the arrow.
    EXPECT_GT(button.Width(), bar.GetButtonSize().cx - 1);
    DialogAnswerer closeMenu([](HWND, void*) { ::EndMenu(); }, nullptr, "#32768", 5000);
    InputClick(bar.m_hWnd, CPoint(button.right - 4, button.CenterPoint().y));
    PumpUntil([&] { return frame->dropDowns > 0; });
    EXPECT_EQ(frame->dropDowns, 1);
    PumpUntil([&] { return closeMenu.Answered(); }, 400);
    EXPECT_TRUE(closeMenu.Answered());
    EXPECT_TRUE(frame->commands.empty()); // the arrow is not the button
}

TEST_F(CoolToolBar, TextLabelsComeFromTheChosenSource)
{
    COXCoolToolBar& bar = frame->toolBar;
    struct Case {
        int type;
        const char* rip;
        const char* eject;
    };
    const Case cases[] = {
        {0, "Rip the checked tracks", "Eject the disc"},
        {1, "Rip", ""},               // a string without a second part gives nothing
        {2, "&Rip tracks", "&Eject"}, // the menu item up to its tab
        {3, "&Rip tracks", "&Eject"}, // type 3 leaves the texts
        {4, "", ""},
        {9, "", ""}, // above 4 counts as 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, c.type);
        EXPECT_EQ(bar.GetButtonText(bar.CommandToIndex(ID_TEST_RIP)), CString(c.rip));
        EXPECT_EQ(bar.GetButtonText(bar.CommandToIndex(ID_TEST_EJECT)), CString(c.eject));
    }
    EXPECT_EQ(bar.GetTextType(), 4);
}

TEST_F(CoolToolBar, TheDynamicLayoutWrapsRowsToTheWidth)
{
    COXCoolToolBar& bar = frame->toolBar;
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    bar.UpdateSizes();
    auto rows = [&] {
        int n = 1;
        for (int i = 0; i < bar.GetCount(); ++i)
            n += (bar.GetButtonStyle(i) >> 16 & TBSTATE_WRAP) != 0;
        return n;
    };
    CSize wide = bar.CalcDynamicLayout(2000, LM_HORZ | LM_COMMIT);
    EXPECT_EQ(rows(), 1);
    const int button = bar.GetButtonSize().cx;
    CSize two = bar.CalcDynamicLayout(2 * button + 20, LM_HORZ | LM_COMMIT);
    EXPECT_GE(rows(), 2);
    EXPECT_GT(two.cy, wide.cy);
    EXPECT_LT(two.cx, wide.cx);
    CSize one = bar.CalcDynamicLayout(1, LM_HORZ | LM_COMMIT);
    // Every button a row of its own; the separator becomes a line between two rows.
    EXPECT_EQ(rows(), 5);
    EXPECT_TRUE(bar.GetButtonStyle(2) >> 16 & TBSTATE_WRAP);
    EXPECT_GT(one.cy, two.cy);
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 4);
    bar.CalcDynamicLayout(2000, LM_HORZ | LM_COMMIT);
    frame->RecalcLayout();
}

// A drag by the mouse through the input queue, from a helper thread while this thread runs
// the drag loop: pressed at from, moved in steps to to, released there, with a key held from
// before the first move until after the release when heldKey is set. beforeRelease runs on
// the helper thread once the pointer has arrived, with the button still down.
void DragWithKey(POINT from, POINT to, UINT heldKey = 0,
                 const std::function<void()>& beforeRelease = {})
{
    RunInputScript([&] {
        InputMouseMove(from);
        ::Sleep(80);
        InputMouseButton(true);
        ::Sleep(80);
        if (heldKey != 0)
            InputKey(heldKey, true);
        ::Sleep(60);
        for (int i = 1; i <= 10; ++i) {
            // A held key repeats, as a keyboard's does. (Wine also takes the key state from
            // the display when a window appears under the pointer, which forgets an injected
            // key pressed only once.)
            if (heldKey != 0)
                InputKey(heldKey, true);
            InputMouseMove(POINT{from.x + (to.x - from.x) * i / 10,
                                 from.y + (to.y - from.y) * i / 10});
            ::Sleep(30);
        }
        ::Sleep(80);
        if (beforeRelease)
            beforeRelease();
        InputMouseButton(false);
        ::Sleep(80);
        if (heldKey != 0)
            InputKey(heldKey, false);
        ::Sleep(60);
    });
    PumpFor(100);
    // The program's idle step: delayed layouts run.
    CWnd* pMain = AfxGetMainWnd();
    pMain->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    pMain->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    PumpPending();
}

CRect WindowRect(CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect;
}

// Where the bar is: the id of the frame's dock bar holding it, or 0 while it floats.
UINT DockedAt(COXCoolToolBar& bar)
{
    if (bar.IsFloating())
        return 0;
    CWnd* pParent = bar.GetParent();
    return pParent != nullptr ? static_cast<UINT>(pParent->GetDlgCtrlID()) : 0;
}

// The bar's gripper, in screen co-ordinates.
CPoint Gripper(COXCoolToolBar& bar)
{
    CRect window = WindowRect(bar);
    return CPoint(window.left + 3, window.CenterPoint().y);
}

// The caption of the floating frame holding the bar, in screen co-ordinates.
CPoint FloatingCaption(COXCoolToolBar& bar)
{
    CRect frame = WindowRect(*bar.GetParentFrame());
    return CPoint(frame.left + 12,
                  frame.top + ::GetSystemMetrics(SM_CYFRAME) +
                      ::GetSystemMetrics(SM_CYSMCAPTION) / 2);
}

TEST_F(CoolToolBar, DraggedByTheMouseTheBarDocksOnTheOtherSideFloatsAndComesBack)
{
    COXCoolToolBar& bar = frame->toolBar;
    frame->ActivateFrame();
    ::SetForegroundWindow(frame->m_hWnd);
    PumpPending();
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    CWnd* pTop = frame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    CWnd* pBottom = frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_TRUE(pTop != nullptr && pBottom != nullptr);
    // A docked bar lies in its dock bar, reaching over its edges by the framework's 2 pixels.
    auto liesIn = [&](CWnd* pDockBar) {
        CRect dock = WindowRect(*pDockBar), rect = WindowRect(bar);
        dock.InflateRect(2, 2);
        return dock.left <= rect.left && rect.right <= dock.right && dock.top <= rect.top &&
               rect.bottom <= dock.bottom;
    };
    ASSERT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(WindowRect(*pTop).top, client.top);
    EXPECT_TRUE(liesIn(pTop));

    // Down onto the empty bottom dock bar: the bar docks there.
    const int bottomEdge = WindowRect(*pBottom).top;
    DragWithKey(Gripper(bar), CPoint(client.left + 40, bottomEdge - 2));
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_BOTTOM);
    EXPECT_FALSE(bar.GetBarStyle() & CBRS_FLOATING);
    EXPECT_TRUE(liesIn(pBottom));
    EXPECT_GT(WindowRect(bar).top, client.CenterPoint().y);
    EXPECT_EQ(WindowRect(*pTop).Height(), 0); // the top side emptied

    // Into the middle of the frame: it floats in a palette under the pointer.
    const CPoint middle = client.CenterPoint();
    DragWithKey(Gripper(bar), middle);
    ASSERT_EQ(DockedAt(bar), 0u);
    CFrameWnd* pPalette = bar.GetParentFrame();
    ASSERT_NE(pPalette, nullptr);
    EXPECT_TRUE(pPalette->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_TRUE(WindowRect(*pPalette).PtInRect(middle));
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_TOP);
    const HWND hPalette = pPalette->m_hWnd;

    // By the palette's caption up to the top edge (the grab point leads the bar's rectangle
    // there): docked at the top again, the palette gone.
    DragWithKey(FloatingCaption(bar), CPoint(client.left + 60, client.top - 1));
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_FALSE(bar.GetBarStyle() & CBRS_FLOATING);
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_TOP);
    EXPECT_TRUE(liesIn(pTop));
    EXPECT_EQ(WindowRect(*pBottom).Height(), 0);
    EXPECT_EQ(bar.GetParentFrame(), frame);
    EXPECT_FALSE(::IsWindow(hPalette) && ::IsWindowVisible(hPalette));

    // With Ctrl held the bar floats even over a dock bar.
    DragWithKey(Gripper(bar), CPoint(client.left + 40, WindowRect(*pBottom).top - 2),
                VK_CONTROL);
    EXPECT_EQ(DockedAt(bar), 0u);
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    PumpPending();
}

// A frame with sizable docking whose bars drag themselves (the live-drag option on): the cool
// toolbar at the top, a sizable bar on the left, nothing at the bottom.
class LiveDragFrame : public COXFrameWndSizeDock {
public:
    COXCoolToolBar toolBar;
    COXSizeControlBar sizeBar;
    CWnd pane;
    std::vector<UINT> commands;

    BOOL Make()
    {
        // Below the program's other frame, so that neither covers the other.
        if (!Create(nullptr, "Live drag", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                    CRect(40, 330, 40 + 760, 330 + 600)))
            return FALSE;
        pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(), this,
                      AFX_IDW_PANE_FIRST);
        EnableDocking(CBRS_ALIGN_ANY);
        if (!CreateTestToolBar(toolBar, this))
            return FALSE;
        toolBar.SetBarStyle(toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC);
        toolBar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar, AFX_IDW_DOCKBAR_TOP);
        if (!sizeBar.Create(this, "Lyrics", 32774, WS_CHILD | WS_VISIBLE | CBRS_LEFT,
                            CRect(0, 0, 180, 90)))
            return FALSE;
        sizeBar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&sizeBar, AFX_IDW_DOCKBAR_LEFT);
        m_bLiveDrag = TRUE;
        RecalcLayout();
        return TRUE;
    }
    void OnTestCommand(UINT nID) { commands.push_back(nID); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(LiveDragFrame, COXFrameWndSizeDock)
    ON_COMMAND_RANGE(ID_TEST_RIP, ID_TEST_PLAY, OnTestCommand)
END_MESSAGE_MAP()
// clang-format on

LiveDragFrame* LiveFrame()
{
    static LiveDragFrame* frame = [] {
        auto* f = new LiveDragFrame;
        f->Make();
        return f;
    }();
    return frame;
}

// The live-drag frame is the main window during each test (the bars ask it whether to drag
// themselves); the bar starts docked at the top.
class CoolToolBarLiveDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        Frame(); // the program's first frame exists before this one takes over
        ASSERT_TRUE(theApp.SetCurrentSkin("Classic"));
        f = LiveFrame();
        ASSERT_NE(f->toolBar.m_hWnd, nullptr);
        theApp.m_pMainWnd = f;
        if (DockedAt(f->toolBar) != AFX_IDW_DOCKBAR_TOP)
            f->DockControlBar(&f->toolBar, AFX_IDW_DOCKBAR_TOP);
        f->RecalcLayout();
        f->ActivateFrame();
        ::SetForegroundWindow(f->m_hWnd);
        Settle();
        f->commands.clear();
        f->GetClientRect(&client);
        f->ClientToScreen(&client);
    }
    void TearDown() override { theApp.m_pMainWnd = Frame(); }
    // The program's idle step: delayed layouts and command states.
    static void Settle()
    {
        PumpPending();
        AfxGetThread()->OnIdle(0);
        PumpPending();
    }
    COXSizeDockBar* Dock(UINT nID)
    {
        return DYNAMIC_DOWNCAST(COXSizeDockBar, f->GetControlBar(nID));
    }
    // A docked bar lies in its dock bar, reaching over its edges by the framework's 2 pixels.
    bool LiesIn(CWnd* pDockBar)
    {
        CRect dock = WindowRect(*pDockBar), rect = WindowRect(f->toolBar);
        dock.InflateRect(2, 2);
        return dock.left <= rect.left && rect.right <= dock.right && dock.top <= rect.top &&
               rect.bottom <= dock.bottom;
    }
    // Drags the bar and returns the window holding it just before the button came up.
    HWND DragBar(POINT from, POINT to, UINT heldKey = 0)
    {
        const HWND hBar = f->toolBar.m_hWnd;
        HWND hHolder = nullptr;
        DragWithKey(from, to, heldKey, [&] { hHolder = ::GetParent(hBar); });
        Settle();
        EXPECT_FALSE(f->toolBar.m_bTracking);
        EXPECT_EQ(::GetCapture(), nullptr);
        return hHolder;
    }
    LiveDragFrame* f = nullptr;
    CRect client; // the frame's client area on the screen
};

TEST_F(CoolToolBarLiveDrag, DraggedByAnEmptyAreaTheBarDocksAndFloatsAsThePointerMoves)
{
    COXCoolToolBar& bar = f->toolBar;
    COXSizeDockBar* pTop = Dock(AFX_IDW_DOCKBAR_TOP);
    COXSizeDockBar* pBottom = Dock(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_TRUE(pTop != nullptr && pBottom != nullptr);
    CPoint gripper = Gripper(bar);
    bar.ScreenToClient(&gripper);
    ASSERT_EQ(bar.OnToolHitTest(gripper, nullptr), -1); // the gripper is no button
    ASSERT_TRUE(LiesIn(pTop));

    // Through the pane (it floats on the way) down to the empty bottom side: there it docks
    // before the button comes up.
    EXPECT_EQ(DragBar(Gripper(bar), CPoint(client.left + 220, client.bottom - 4)),
              pBottom->m_hWnd);
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ((bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING)),
              static_cast<DWORD>(CBRS_ALIGN_BOTTOM));
    EXPECT_TRUE(LiesIn(pBottom));
    EXPECT_EQ(WindowRect(*pBottom).bottom, client.bottom);
    EXPECT_EQ(WindowRect(*pTop).Height(), 0); // the top side closed up

    // And back up to the top.
    EXPECT_EQ(DragBar(Gripper(bar), CPoint(client.left + 240, client.top + 4)), pTop->m_hWnd);
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ((bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING)),
              static_cast<DWORD>(CBRS_ALIGN_TOP));
    EXPECT_TRUE(LiesIn(pTop));
    EXPECT_EQ(WindowRect(*pTop).top, client.top);
    EXPECT_EQ(WindowRect(*pBottom).Height(), 0);

    // Into the middle of the frame: it floats with the grab point under the pointer.
    const CPoint grab = Gripper(bar), middle = client.CenterPoint();
    const CSize offset = grab - WindowRect(bar).TopLeft();
    const HWND hHolder = DragBar(grab, middle);
    ASSERT_EQ(DockedAt(bar), 0u);
    auto* pPalette = DYNAMIC_DOWNCAST(COXSizableMiniDockFrameWnd, bar.GetParentFrame());
    ASSERT_NE(pPalette, nullptr);
    EXPECT_EQ(hHolder, bar.GetParent()->m_hWnd);
    EXPECT_EQ(WindowRect(*pPalette).TopLeft(), middle - offset);
    EXPECT_TRUE(WindowRect(*pPalette).PtInRect(middle));
    EXPECT_EQ((bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING)),
              static_cast<DWORD>(CBRS_ALIGN_TOP | CBRS_FLOATING));
    EXPECT_EQ(WindowRect(*pTop).Height(), 0);

    // By the floating frame's caption up to the top: the bar docks while the button is still
    // down, and the floating frame goes.
    const HWND hPalette = pPalette->m_hWnd;
    const CPoint caption = FloatingCaption(bar);
    ASSERT_EQ(pPalette->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)),
              HTCAPTION);
    EXPECT_EQ(DragBar(caption, CPoint(client.left + 300, client.top + 2)), pTop->m_hWnd);
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ((bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING)),
              static_cast<DWORD>(CBRS_ALIGN_TOP));
    EXPECT_TRUE(LiesIn(pTop));
    EXPECT_EQ(bar.GetParentFrame(), f);
    EXPECT_FALSE(::IsWindow(hPalette));
    // (The first floating frame the skin painted left its cached objects.)
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();

    // With Ctrl held it floats even over the empty bottom side.
    const CPoint overBottom(client.left + 220, client.bottom - 4);
    EXPECT_NE(DragBar(Gripper(bar), overBottom, VK_CONTROL), pBottom->m_hWnd);
    EXPECT_EQ(DockedAt(bar), 0u);
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
    EXPECT_TRUE(WindowRect(*bar.GetParentFrame()).PtInRect(overBottom));
    EXPECT_EQ(WindowRect(*pBottom).Height(), 0);

    // Docked again, every window and GDI object made on the way is gone.
    f->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    f->RecalcLayout();
    Settle();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(ThreadWindowCount(), windows);
}

// A cool toolbar and sizable bars never share a dock bar: over the left side, which holds the
// sizable bar, or within its 20-pixel margin, the toolbar floats, where a sizable bar would
// dock.
TEST_F(CoolToolBarLiveDrag, TheSideOfASizableBarTakesNoToolbar)
{
    COXCoolToolBar& bar = f->toolBar;
    COXSizeDockBar* pLeft = Dock(AFX_IDW_DOCKBAR_LEFT);
    ASSERT_NE(pLeft, nullptr);
    const CRect left = WindowRect(*pLeft);
    struct Case {
        const char* name;
        CPoint at;
    };
    const Case cases[] = {
        {"inside the left side", CPoint(left.CenterPoint().x, left.CenterPoint().y)},
        {"within its margin", CPoint(left.right + 12, left.CenterPoint().y)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(COXSizeDockBar::DockBarFromPoint(c.at, &f->sizeBar), pLeft);
        EXPECT_EQ(COXSizeDockBar::DockBarFromPoint(c.at, &bar), nullptr);
        if (DockedAt(bar) != AFX_IDW_DOCKBAR_TOP) {
            f->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
            f->RecalcLayout();
            Settle();
        }
        DragBar(Gripper(bar), c.at);
        EXPECT_EQ(DockedAt(bar), 0u);
        EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
        EXPECT_TRUE(WindowRect(*bar.GetParentFrame()).PtInRect(c.at));
        EXPECT_EQ(pLeft->m_arrBars.GetSize(), 3); // [null, the sizable bar, null]
    }
}

// A press on a button is the button's: it clicks, or (moved off) does nothing; the bar stays.
TEST_F(CoolToolBarLiveDrag, APressOnAButtonClicksItInsteadOfDragging)
{
    COXCoolToolBar& bar = f->toolBar;
    const CRect before = WindowRect(bar);
    CRect button;
    bar.GetItemRect(bar.CommandToIndex(ID_TEST_PLAY), &button);
    bar.ClientToScreen(&button);
    const CPoint on = button.CenterPoint();
    DragBar(on, on);
    PumpUntil([&] { return !f->commands.empty(); });
    EXPECT_EQ(f->commands, std::vector<UINT>{ID_TEST_PLAY});
    DragBar(on, on + CSize(30, 160));
    EXPECT_EQ(f->commands, std::vector<UINT>{ID_TEST_PLAY});
    EXPECT_EQ(DockedAt(bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(WindowRect(bar), before);
}

TEST_F(CoolToolBar, EachSkinPaintsTheBarWithItsPalette)
{
    COXCoolToolBar& bar = frame->toolBar;
    const DWORD gdiBefore = GdiObjectCount();
    // A point on the separator's background, off its middle line.
    const CRect separator = ItemRect(2);
    const CPoint empty(separator.left + 1, separator.CenterPoint().y);

    for (const char* skin : {"Classic", "Office XP", "Office 2003", "Classic"}) {
        SCOPED_TRACE(skin);
        ASSERT_TRUE(theApp.SetCurrentSkin(skin));
        bar.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
        PumpPending();
        COLORREF at = ScreenPixel(bar, empty);
        if (CString(skin) == "Classic") {
            EXPECT_EQ(at, ::GetSysColor(COLOR_BTNFACE));
        } else if (CString(skin) == "Office XP") {
            auto* xp = dynamic_cast<COXSkinXP*>(theApp.GetCurrentSkin());
            EXPECT_EQ(at, xp->GetToolbarBackgroundColor());
        } else {
            auto* s = dynamic_cast<COXSkin2003*>(theApp.GetCurrentSkin());
            COLORREF a = s->GetTabGradientLightColor(), b = s->GetTabGradientDarkColor();
            EXPECT_GE(GetRValue(at), std::min(GetRValue(a), GetRValue(b)));
            EXPECT_LE(GetRValue(at), std::max(GetRValue(a), GetRValue(b)));
            EXPECT_GE(GetBValue(at), std::min(GetBValue(a), GetBValue(b)));
            EXPECT_LE(GetBValue(at), std::max(GetBValue(a), GetBValue(b)));
        }
        // The first image's red square shows in every skin.
        CRect rip = ItemRect(0);
        bool red = false;
        for (int x = rip.left; x < rip.right && !red; ++x)
            red = ScreenPixel(bar, CPoint(x, rip.CenterPoint().y)) == RGB(255, 0, 0);
        EXPECT_TRUE(red);
    }
    EXPECT_LE(GdiObjectCount(), gdiBefore);
}

// Windows hosted in the toolbar, painted through the toolbar's skin as a host of such
// windows does: the combo box on WM_PAINT, the edit's frame on WM_NCPAINT.
class HostedCombo : public CComboBox {
public:
    COXCoolToolBar* pBar = nullptr;
    void OnPaint() { pBar->GetToolbarSkin()->OnPaintComboBox(this); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(HostedCombo, CComboBox)
ON_WM_PAINT()
END_MESSAGE_MAP()

class HostedEdit : public CEdit {
public:
    COXCoolToolBar* pBar = nullptr;
    void OnNcPaint()
    {
        Default();
        pBar->GetToolbarSkin()->DrawEditFrame(this);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(HostedEdit, CEdit)
ON_WM_NCPAINT()
END_MESSAGE_MAP()

COLORREF AtScreen(CPoint pt)
{
    HDC hdc = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(hdc, pt.x, pt.y);
    ::ReleaseDC(nullptr, hdc);
    return c;
}

bool Near(COLORREF a, COLORREF b)
{
    auto close = [](int x, int y) { return x - y <= 3 && y - x <= 3; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
           close(GetBValue(a), GetBValue(b));
}

TEST_F(CoolToolBar, HostedComboBoxesAndEditsTakeTheFlatLookOfTheSkin)
{
    COXCoolToolBar& bar = frame->toolBar;
    const int nFirst = bar.GetCount();
    // Two wide separators at the end of the bar, a combo box and an edit over them.
    for (int width : {130, 90}) {
        TBBUTTON sep{};
        sep.iBitmap = width;
        sep.fsStyle = TBSTYLE_SEP;
        sep.iString = -1;
        ASSERT_TRUE(bar.SendMessage(TB_INSERTBUTTON, static_cast<WPARAM>(bar.GetCount()),
                                    reinterpret_cast<LPARAM>(&sep)));
    }
    frame->RecalcLayout();
    CRect slotCombo = ItemRect(nFirst), slotEdit = ItemRect(nFirst + 1);
    slotCombo.DeflateRect(2, 0);
    slotEdit.DeflateRect(2, 2);
    HostedCombo combo;
    combo.pBar = &bar;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN,
                             CRect(slotCombo.left, slotCombo.top, slotCombo.right,
                                   slotCombo.top + 120),
                             &bar, 901));
    combo.AddString("Track 1");
    combo.AddString("Track 2");
    HostedEdit edit;
    edit.pBar = &bar;
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, slotEdit,
                              &bar, 902));
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetComboBoxInfo(combo.m_hWnd, &info));
    auto onCombo = [&](int x, int y) {
        CPoint pt(x, y);
        combo.ClientToScreen(&pt);
        return pt;
    };
    const CRect item(info.rcItem), button(info.rcButton);
    const CPoint comboCorner = onCombo(0, 0);
    const CPoint ring = onCombo(item.left - 1, item.CenterPoint().y);
    const CPoint buttonEdge = onCombo(button.left, button.CenterPoint().y);
    const CPoint buttonInside = onCombo(button.left + 2, button.top + 2);
    const CPoint arrow = onCombo(button.left + (button.Width() - 5) / 2 + 2,
                                 button.top + (button.Height() - 3) / 2);
    CRect editWindow, editClient;
    edit.GetWindowRect(&editWindow);
    edit.GetClientRect(&editClient);
    edit.ClientToScreen(&editClient);
    const CPoint editCorner(editWindow.left, editWindow.CenterPoint().y);
    const CPoint editBand(editClient.left - 1, editClient.CenterPoint().y);
    const CPoint away = [&] {
        CRect client;
        frame->GetClientRect(&client);
        frame->ClientToScreen(&client);
        return CPoint(client.right - 20, client.bottom - 40);
    }();
    auto repaint = [&] {
        for (CWnd* p : {static_cast<CWnd*>(&combo), static_cast<CWnd*>(&edit)})
            p->RedrawWindow(nullptr, nullptr,
                            RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME |
                                RDW_ALLCHILDREN);
        PumpFor(50);
    };
    frame->SetFocus();

    for (const char* skinName : {"Office XP", "Office 2003"}) {
        SCOPED_TRACE(skinName);
        ASSERT_TRUE(theApp.SetCurrentSkin(skinName));
        auto* skin = dynamic_cast<COXSkinXP*>(theApp.GetCurrentSkin());
        ASSERT_NE(skin, nullptr);
        auto* skin2003 = dynamic_cast<COXSkin2003*>(skin);
        bar.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
        // At rest: no border of their own, the bar's background round them, a white ring
        // round the text, a plain arrow.
        InputMouseMove(away);
        PumpFor(60);
        repaint();
        // The toolbar's own background on a row, off the separator's line.
        const CRect sep = ItemRect(2);
        auto barAt = [&](int yScreen) {
            CPoint o(sep.left + 1, 0);
            bar.ClientToScreen(&o);
            return AtScreen(CPoint(o.x, yScreen));
        };
        if (skin2003 == nullptr) {
            EXPECT_EQ(AtScreen(comboCorner), skin->GetToolbarBackgroundColor());
            EXPECT_EQ(AtScreen(buttonInside), skin->GetToolbarBackgroundColor());
            EXPECT_EQ(AtScreen(editCorner), skin->GetToolbarBackgroundColor());
        } else {
            // The gradient runs on from the bar's own at the same height.
            EXPECT_TRUE(Near(AtScreen(comboCorner), barAt(comboCorner.y)))
                << std::hex << AtScreen(comboCorner) << " " << barAt(comboCorner.y);
            EXPECT_TRUE(Near(AtScreen(buttonInside), barAt(buttonInside.y)));
            EXPECT_TRUE(Near(AtScreen(editCorner), barAt(editCorner.y)));
            EXPECT_NE(AtScreen(comboCorner), ::GetSysColor(COLOR_BTNFACE));
        }
        EXPECT_EQ(AtScreen(ring), ::GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(AtScreen(buttonEdge), ::GetSysColor(COLOR_WINDOW));
        EXPECT_EQ(AtScreen(arrow), ::GetSysColor(COLOR_BTNTEXT));
        EXPECT_EQ(AtScreen(editBand), ::GetSysColor(COLOR_WINDOW));

        // The pointer over the combo box: the hot fill, both parts framed.
        InputMouseMove(onCombo(item.CenterPoint().x, item.CenterPoint().y));
        PumpFor(60);
        repaint();
        EXPECT_EQ(AtScreen(ring), skin->GetHighlightBorderColor());
        EXPECT_EQ(AtScreen(buttonEdge), skin->GetHighlightBorderColor());
        // Flat fills unless visual styles give the 2003 skin its fixed gradients.
        const bool flatFills = skin2003 == nullptr || !IsXPThemeActive();
        if (flatFills) {
            EXPECT_TRUE(Near(AtScreen(buttonInside), skin->GetHotItemColor()));
        }
        EXPECT_EQ(AtScreen(arrow), ::GetSysColor(COLOR_BTNTEXT));

        // Over the edit: its frame lights up.
        InputMouseMove(CPoint(editClient.CenterPoint()));
        PumpFor(60);
        repaint();
        EXPECT_EQ(AtScreen(editCorner), skin->GetHighlightBorderColor());
        EXPECT_EQ(AtScreen(editBand), ::GetSysColor(COLOR_WINDOW));

        // A click on the arrow drops the list: the pressed fill and a light arrow.
        InputClick(combo.m_hWnd, button.CenterPoint());
        ASSERT_TRUE(PumpUntil([&] { return combo.SendMessage(CB_GETDROPPEDSTATE) != 0; }));
        repaint();
        if (flatFills) {
            EXPECT_TRUE(Near(AtScreen(buttonInside), skin->GetPressedItemColor()));
        }
        EXPECT_EQ(AtScreen(arrow), ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        combo.SendMessage(CB_SHOWDROPDOWN, FALSE);
        frame->SetFocus();
        PumpFor(60);
    }
    ASSERT_TRUE(theApp.SetCurrentSkin("Classic"));
    combo.DestroyWindow();
    edit.DestroyWindow();
    bar.SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(nFirst + 1));
    bar.SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(nFirst));
    frame->RecalcLayout();
    PumpPending();
}

TEST_F(CoolToolBar, ImageListsAreCachedAndTheCommonControlsVersionIsKnown)
{
    COXCoolToolBar& bar = frame->toolBar;
    HIMAGELIST first = bar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255));
    EXPECT_EQ(bar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255)), first);
    EXPECT_EQ(bar.LoadImageListById(999, 16, RGB(255, 0, 255)), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(first), 4);
    DWORD major = 0, minor = 0;
    EXPECT_EQ(OXGetComCtlVersion(nullptr, &minor), E_INVALIDARG);
    ASSERT_EQ(OXGetComCtlVersion(&major, &minor), S_OK);
    EXPECT_EQ(OXComCtlVersion(), major << 16 | minor);
    EXPECT_GE(OXComCtlVersion(), OX_COMCTL_471);
}

// Not a test: keeps the frame up in one skin for a screenshot.
TEST(CoolToolBarShowcase, Stays)
{
    const char* skin = std::getenv("SONORIA_SHOWCASE_SKIN");
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (skin == nullptr || ms == nullptr)
        GTEST_SKIP();
    theApp.SetCurrentSkin(skin);
    BarsFrame* frame = Frame();
    frame->toolBar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    frame->toolBar.UpdateSizes();
    frame->statusBar.SetPaneText(0, "Ready");
    // A combo box and an edit hosted in the bar, as the skins paint them.
    COXCoolToolBar& bar = frame->toolBar;
    const int nFirst = bar.GetCount();
    for (int width : {130, 90}) {
        TBBUTTON sep{};
        sep.iBitmap = width;
        sep.fsStyle = TBSTYLE_SEP;
        sep.iString = -1;
        bar.SendMessage(TB_INSERTBUTTON, static_cast<WPARAM>(bar.GetCount()),
                        reinterpret_cast<LPARAM>(&sep));
    }
    frame->RecalcLayout();
    CRect slotCombo, slotEdit;
    bar.GetItemRect(nFirst, &slotCombo);
    bar.GetItemRect(nFirst + 1, &slotEdit);
    slotCombo.DeflateRect(2, 0);
    slotEdit.DeflateRect(2, 2);
    HostedCombo combo;
    combo.pBar = &bar;
    combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN,
                 CRect(slotCombo.left, slotCombo.top + 2, slotCombo.right, slotCombo.top + 120),
                 &bar, 901);
    combo.SetWindowText("Track 1");
    HostedEdit edit;
    edit.pBar = &bar;
    edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "Artist", WS_CHILD | WS_VISIBLE, slotEdit, &bar, 902);
    frame->IdleUpdate();
    PumpFor(static_cast<DWORD>(std::atoi(ms)));
}

} // namespace

// The skins draw a drop-down button's arrow with the Marlett glyph "6": a small triangle pointing
// down, each row of solid ink two pixels narrower than the one above and centred under it. A
// system without the font draws the digit instead.
TEST_F(CoolToolBar, SkinsDrawTheDropDownArrowAsATriangle)
{
    COXCoolToolBar& bar = frame->toolBar;
    for (const char* skinName : {"Office XP", "Office 2003"}) {
        SCOPED_TRACE(skinName);
        ASSERT_TRUE(theApp.SetCurrentSkin(skinName));
        CRect client;
        frame->GetClientRect(&client);
        frame->ClientToScreen(&client);
        InputMouseMove(CPoint(client.right - 20, client.bottom - 40)); // nothing hot
        PumpFor(60);
        bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        // Each row's solid ink in the button's right part, where the arrow is: first and
        // last column, or none.
        const CRect button = ItemRect(0);
        std::vector<std::pair<int, int>> rows;
        HDC dc = ::GetDC(bar.m_hWnd);
        for (int y = button.top; y < button.bottom; ++y) {
            int first = -1, last = -1, count = 0;
            for (int x = button.right - 14; x < button.right; ++x) {
                if (::GetPixel(dc, x, y) != ::GetSysColor(COLOR_BTNTEXT))
                    continue;
                if (first < 0)
                    first = x;
                last = x;
                ++count;
            }
            if (count > 0) {
                EXPECT_EQ(count, last - first + 1) << "a gap in row " << y;
                rows.emplace_back(first, last);
            }
        }
        ::ReleaseDC(bar.m_hWnd, dc);
        ASSERT_GE(rows.size(), 2u);
        EXPECT_EQ(rows.back().first, rows.back().second) << "the tip is one pixel";
        for (size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].first, rows[i - 1].first + 1) << "row " << i;
            EXPECT_EQ(rows[i].second, rows[i - 1].second - 1) << "row " << i;
        }
    }
    ASSERT_TRUE(theApp.SetCurrentSkin("Classic"));
}
